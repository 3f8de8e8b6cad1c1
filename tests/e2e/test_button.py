"""The skinned button as a user meets it: the pointer over it shows the hover
face, moving away brings back the resting face, pressing shows the pressed
face, and a click copies the barcode, which decodes from the clipboard."""

import subprocess
import tempfile

from tallyline_e2e import STEP_TIMEOUT, check, clipboard, decode, main, program, wait_for, xvfb

# xpcmdbutton1 in the window's client area, and a point of its top edge
# beside the caption: rows 1 and 2 there are the inner frame.
BUTTON_LEFT, BUTTON_TOP, BUTTON_WIDTH, BUTTON_HEIGHT = 384, 168, 97, 33
EDGE_X = BUTTON_LEFT + 5

FACES = {
    "resting": ("#FFFFFF", "#FEFEFE"),
    "hover": ("#FFF0CF", "#FDD889"),
    "pressed": ("#D1CCC1", "#DCD8CF"),
}


def frame_rows(window):
    """The colours of rows 1 and 2 of the button's top edge, on screen."""
    with tempfile.NamedTemporaryFile(suffix=".png") as shot:
        subprocess.run(["import", "-display", window.display, "-window", "root", shot.name],
                       check=True, timeout=STEP_TIMEOUT)
        colours = []
        for row in (1, 2):
            x, y = window.left + EDGE_X, window.top + BUTTON_TOP + row
            colour = subprocess.run(["convert", shot.name, "-format", f"%[hex:p{{{x},{y}}}]", "info:-"],
                                    capture_output=True, text=True, check=True, timeout=STEP_TIMEOUT).stdout
            colours.append("#" + colour.strip()[:6].upper())
    return tuple(colours)


def shows(window, face):
    return wait_for(lambda: frame_rows(window) == FACES[face], timeout=5)


def move_to(window, x, y):
    window.xdotool("mousemove", str(window.left + x), str(window.top + y))


def test(binary):
    with xvfb() as display, program(binary, display) as window:
        window.type_text("button 39")
        move_to(window, 10, 10)
        check(shows(window, "resting"), f"the button does not rest: {frame_rows(window)}")

        move_to(window, BUTTON_LEFT + BUTTON_WIDTH // 2, BUTTON_TOP + BUTTON_HEIGHT // 2)
        check(shows(window, "hover"), f"no hover face under the pointer: {frame_rows(window)}")

        move_to(window, 10, 10)
        check(shows(window, "resting"), f"the hover face stayed after leaving: {frame_rows(window)}")

        move_to(window, BUTTON_LEFT + 10, BUTTON_TOP + 10)
        window.xdotool("mousedown", "1")
        check(shows(window, "pressed"), f"no pressed face: {frame_rows(window)}")
        window.xdotool("mouseup", "1")

        targets = wait_for(lambda: set(clipboard(display, "TARGETS").split()) or None)
        check(targets and b"image/png" in targets, f"no picture on the clipboard: {targets}")
        with tempfile.NamedTemporaryFile(suffix=".png") as picture:
            picture.write(clipboard(display, "image/png"))
            picture.flush()
            decoded = decode(picture.name)
        check(decoded == ["BUTTON 39"], f"decoded {decoded}")


if __name__ == "__main__":
    main(test)
