"""The skinned button as a user meets it: the pointer over it shows the hover
face, moving away brings back the resting face, pressing shows the pressed
face, and a click copies the barcode, which decodes from the clipboard."""

import re

from tallyline_e2e import check, decode_clipboard, main, program, run, wait_for, xvfb

# What the pointer does, in the window's client area, and rows 1 and 2 of the
# inner frame of xpcmdbutton1 (at 384, 168), beside its caption, on screen then.
RESTING = ["#FFFFFF", "#FEFEFE"]
STEPS = [("resting", (10, 10), [], RESTING),
         ("hover", (384 + 48, 168 + 16), [], ["#FFF0CF", "#FDD889"]),
         ("resting after leaving", (10, 10), [], RESTING),
         ("pressed", (384 + 10, 168 + 10), ["mousedown", "1"], ["#D1CCC1", "#DCD8CF"])]


def frame_rows(window):
    return re.findall(r"#[0-9A-F]{6}\b", run("import", "-display", window.display, "-window", window.window,
                                            "-crop", "1x2+389+169", "-depth", "8", "txt:-", text=True).stdout)


def test(binary):
    with xvfb() as display, program(binary, display) as window:
        window.type_text("button 39")
        for face, point, action, rows in STEPS:
            window.move_to(*point, *action)
            check(wait_for(lambda: frame_rows(window) == rows), f"not {face}: {frame_rows(window)}")
        window.xdotool("mouseup", "1")
        check(wait_for(lambda: decode_clipboard(display) == ["BUTTON 39"]), f"decoded {decode_clipboard(display)}")


if __name__ == "__main__":
    main(test)
