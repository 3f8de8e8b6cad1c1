"""Every way to copy, by pointer and by keyboard alone, puts on the X clipboard a
bitmap that is the command line's PNG pixel for pixel and decodes to the text
upper-cased, and beside it an SVG whose bars (drawn by librsvg) fall on the
bitmap's columns; never text. The skinned button shows its faces as the
pointer moves. The copy outlives the program only where a clipboard manager
(the one in Xfce's settings daemon) takes it over at exit."""

import os
import pathlib
import re
import tempfile

from Xlib import display as xdisplay

from desktop_session import session_bus
from tallyline_e2e import (bar_row, check, clipboard, decode, decode_clipboard, headless_env, main, own_process_group,
                           program, pixels, run, svg_to_png, wait_for, xvfb)

TEXT_TARGETS = {b"text/plain", b"STRING", b"UTF8_STRING", b"TEXT", b"COMPOUND_TEXT", b"text/plain;charset=utf-8"}
# Where the pointer goes, in the window's client area, and rows 1 and 2 of the
# inner frame of xpcmdbutton1 (at 384, 168), beside its caption, on screen then.
RESTING = ["#FFFFFF", "#FEFEFE"]
FACES = [("resting", (10, 10), [], RESTING),
         ("hover", (384 + 48, 168 + 16), [], ["#FFF0CF", "#FDD889"]),
         ("resting after leaving", (10, 10), [], RESTING),
         ("pressed", (384 + 10, 168 + 10), ["mousedown", "1"], ["#D1CCC1", "#DCD8CF"])]


def frame_rows(window):
    return re.findall(r"#[0-9A-F]{6}\b", run("import", "-display", window.display, "-window", window.window,
                                            "-crop", "1x2+389+169", "-depth", "8", "txt:-", text=True).stdout)


def by_menu(window, text):
    window.choose_from_menu(0)


def by_keys(menu_key):
    """Tab to the picture, open its menu by a key and take the first entry. The menu
    opens at the picture's middle (26 pixels a character and 56 more wide), not at the
    pointer, which the typing left on the text box."""
    def copy(window, text):
        window.xdotool("key", "Tab", menu_key)
        menus = wait_for(lambda: window.others("--classname", "^tallyline$"))
        check(menus, f"{menu_key} opened no menu")
        origin, at = window.geometry(window.window), window.geometry(menus[0])
        expected = (origin["X"] + 8 + (26 * len(text) + 55) // 2, origin["Y"] + 48 + 44)
        check(abs(at["X"] - expected[0]) <= 1 and abs(at["Y"] - expected[1]) <= 1,
              f"menu at {at}, picture's middle {expected}")
        window.xdotool("key", "Down", "Return")
    return copy


def by_button(window, text):
    for face, point, action, rows in FACES:
        window.move_to(*point, *action)
        check(wait_for(lambda: frame_rows(window) == rows), f"not {face}: {frame_rows(window)}")
    window.xdotool("mouseup", "1")


COPIES = [("01 pop-up menu; lower case drawn as capitals", "tally line 39", by_menu),
          ("02 pop-up menu; every sign the bars carry", "CODE39-TALLYLINE/2026.$", by_menu),
          ("03 Shift+F10", "keys 39", by_keys("shift+F10")),
          ("04 the Menu key", "menu key", by_keys("Menu")),
          ("05 Alt+C presses the button", "alt c 2026", lambda window, text: window.xdotool("key", "alt+c")),
          ("06 a click on the button", "button 39", by_button)]


def manager_running(display):
    connection = xdisplay.Display(display)
    try:
        return connection.get_selection_owner(connection.intern_atom("CLIPBOARD_MANAGER")) != 0
    finally:
        connection.close()


def test(binary):
    with tempfile.TemporaryDirectory() as work, xvfb() as display:
        work = pathlib.Path(work)
        with program(binary, display) as window:
            for case, text, copy in COPIES:
                reference = run(binary, text, "-o", str(work / "reference.png"), env=headless_env())
                window.type_text(text)
                copy(window, text)
                # Until the program has handled the copy, the clipboard may still hold the last one.
                check(wait_for(lambda: decode_clipboard(display) == [text.upper()]),
                      f"{case}: decoded {decode_clipboard(display)}")
                targets = set(clipboard(display, "TARGETS").split())
                check(b"image/svg+xml" in targets and not targets & TEXT_TARGETS, f"{case}: offered {targets}")
                (work / "copy.svg").write_bytes(clipboard(display, "image/svg+xml"))
                drawn, bitmap = svg_to_png(work / "copy.svg"), clipboard(display, "image/png")
                check(decode(drawn) == [text.upper()], f"{case}: the SVG decoded as {decode(drawn)}")
                # The SVG's size is in whole micrometres, a hair over the pixels' at 96 dpi,
                # and librsvg adds a column of background for it.
                check("#" in bar_row(bitmap, 10) and bar_row(drawn, 10).rstrip(".") == bar_row(bitmap, 10).rstrip("."),
                      f"{case}: the SVG's bars are not the bitmap's:\n{bar_row(drawn, 10)}\n{bar_row(bitmap, 10)}")
                check(reference.returncode == 0 and pixels(bitmap) == pixels((work / "reference.png").read_bytes()),
                      f"{case}: the bitmap is not the command line's PNG")
            check(window.close() == 0, "the program did not end cleanly")
        check(not clipboard(display, "TARGETS"), "the clipboard kept something with no manager to keep it")

        with session_bus(display) as extra, \
                own_process_group(["xfsettingsd", "--no-daemon", "--sm-client-disable"],
                                  dict(os.environ, DISPLAY=display, **extra)):
            check(wait_for(lambda: manager_running(display)), "the clipboard manager did not start")
            with program(binary, display) as window:
                window.type_text("kept 2")
                window.xdotool("key", "alt+c")
                check(wait_for(lambda: decode_clipboard(display) == ["KEPT 2"]), f"decoded {decode_clipboard(display)}")
                check(window.close() == 0, "the program did not end cleanly")
            read = decode_clipboard(display)
            check(read == ["KEPT 2"], f"after the program ended the clipboard read {read}")


if __name__ == "__main__":
    main(test)
