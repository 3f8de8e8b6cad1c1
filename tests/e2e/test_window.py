"""The window as a screen reader hears it through AT-SPI: every control named, the
barcode described by its text and by what its bars leave out, the copy button
one push button whose press copies. A click on the logo with no web browser to
be found says what failed in a message box centred on the window, and the window
works on; once a browser is there, two clicks start it twice with the address as
one argument, and the window never waits for either."""

import os
import pathlib
import re
import signal
import tempfile

from tallyline_e2e import (application, check, decode_clipboard, descendants, find, main, program, screen_reader,
                           wait_for, xvfb)

HEARD = {("text", "Barcode text"), ("image", "Barcode"), ("link", "Open the web page"),
         ("push button", "Copy to Clipboard")}
MESSAGE = "Opening the web page failed.\n\nRun-time error 53: File not found: xdg-open"
LOGO = (92 + 60, 171 + 10)
# Records its arguments, one a line, in a file beside itself named by its process
# number, then lingers, as a browser would, far longer than any wait of the test.
STAND_IN = """#!/bin/sh
PATH=/usr/bin:/bin
printf '%s\\n' "$@" > "${0%/*}/.$$" && mv "${0%/*}/.$$" "${0%/*}/$$"
exec sleep 300
"""


def centre(geometry):
    return geometry["X"] + geometry["WIDTH"] // 2, geometry["Y"] + geometry["HEIGHT"] // 2


def test(binary):
    with tempfile.TemporaryDirectory() as folder, xvfb() as display, screen_reader(display) as (env, pyatspi), \
            program(binary, display, dict(env, PATH=folder)) as window:
        app = application(pyatspi, "Tallyline")
        heard = {(child.getRoleName(), child.name) for child in descendants(app)}
        check(HEARD <= heard, f"missing: {HEARD - heard}")
        barcode = find(app, "image", "Barcode")
        check(barcode.description == 'Code 39 barcode of "TALLY-2026"', f"described as {barcode.description!r}")
        window.type_text("a#b")
        described = 'Code 39 barcode of "A#B". A scanner will not read these characters from the bars: #'
        check(wait_for(lambda: barcode.description == described), f"described as {barcode.description!r}")
        button = find(app, "push button", "Copy to Clipboard")
        check(button.childCount == 0, "the button's caption shows as a second object")
        actions = button.queryAction()
        actions.doAction([actions.getName(i) for i in range(actions.nActions)].index("Press"))
        check(wait_for(lambda: decode_clipboard(display) == ["AB"]), f"decoded {decode_clipboard(display)}")

        window.move_to(*LOGO, "click", "1")
        boxes = wait_for(window.boxes)
        check(len(boxes) == 1, f"expected one message box, found {boxes}")
        box_centre, window_centre = centre(window.geometry(boxes[0])), centre(window.geometry(window.window))
        # With no window manager to ask, Qt allows for a title bar and frame of
        # its own guess, 40 and 10 pixels, when it centres a box on its window.
        check(abs(box_centre[0] - window_centre[0]) <= 10 and abs(box_centre[1] - window_centre[1]) <= 40,
              f"box centred at {box_centre}, window at {window_centre}")
        check(wait_for(lambda: find(app, "label", MESSAGE)), "the box does not say what failed and why")
        window.close_box(boxes[0])

        stand_in = pathlib.Path(folder, "xdg-open")
        stand_in.write_text(STAND_IN)
        stand_in.chmod(0o755)
        def calls(): return list(stand_in.parent.glob("[0-9]*"))
        try:
            window.move_to(*LOGO, "click", "1", "click", "1")
            # The second start comes while the first browser still runs,
            check(wait_for(lambda: len(calls()) == 2), f"expected two starts, got {calls()}")
            for call in calls():
                arguments = call.read_text().splitlines()
                check(len(arguments) == 1 and re.fullmatch(r"https?://\S+", arguments[0]), f"the browser got {arguments}")
            # and the window still answers while both run.
            window.open_menu()
        finally:
            for call in calls():
                os.kill(int(call.name), signal.SIGTERM)


if __name__ == "__main__":
    main(test)
