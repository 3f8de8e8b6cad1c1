"""A failure is told in a message box centred on the window: with no web
browser to be found, a click on the logo says what failed and why, as a
screen reader reads the box, and the window works on once the box is closed."""

import tempfile

from desktop_session import application, find, screen_reader
from tallyline_e2e import check, main, program, wait_for, xvfb

MESSAGE = "Opening the web page failed.\n\nRun-time error 53: File not found: xdg-open"


def centre(window, window_id):
    geometry = dict(line.split("=") for line in window.xdotool("getwindowgeometry", "--shell", window_id).split())
    return (int(geometry["X"]) + int(geometry["WIDTH"]) // 2, int(geometry["Y"]) + int(geometry["HEIGHT"]) // 2)


def test(binary):
    with tempfile.TemporaryDirectory() as no_programs, xvfb() as display, \
            screen_reader(display) as (env, pyatspi), program(binary, display, dict(env, PATH=no_programs)) as window:
        app = application(pyatspi, "Tallyline")
        window.move_to(92 + 60, 171 + 10, "click", "1")
        boxes = wait_for(lambda: window.others("--name", "^ Tallyline$"))
        check(len(boxes) == 1, f"expected one message box, found {boxes}")
        box_centre, window_centre = centre(window, boxes[0]), centre(window, window.window)
        # With no window manager to ask, Qt allows for a title bar and frame of
        # its own guess, 40 and 10 pixels, when it centres a box on its window.
        check(abs(box_centre[0] - window_centre[0]) <= 10 and abs(box_centre[1] - window_centre[1]) <= 40,
              f"box centred at {box_centre}, window at {window_centre}")
        said = wait_for(lambda: find(app, "label", MESSAGE))
        check(said, "the box does not say what failed and why")
        window.xdotool("key", "--window", boxes[0], "Return")
        check(wait_for(lambda: not window.others("--name", "^ Tallyline$")), "the box did not close")
        window.open_menu()


if __name__ == "__main__":
    main(test)
