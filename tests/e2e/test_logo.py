"""Two clicks on the logo start the web browser twice, with the address as one
argument, and the window never waits for either."""

import os
import pathlib
import re
import signal
import tempfile

from tallyline_e2e import check, main, program, wait_for, xvfb

# Records its arguments, one a line, in a file beside itself named by its process
# number, then lingers, as a browser would, far longer than any wait of the test.
STAND_IN = """#!/bin/sh
printf '%s\\n' "$@" > "${0%/*}/.$$" && mv "${0%/*}/.$$" "${0%/*}/$$"
exec sleep 300
"""


def test(binary):
    with tempfile.TemporaryDirectory() as folder, xvfb() as display:
        stand_in = pathlib.Path(folder, "xdg-open")
        stand_in.write_text(STAND_IN)
        stand_in.chmod(0o755)
        def calls(): return list(stand_in.parent.glob("[0-9]*"))
        try:
            with program(binary, display, {"PATH": folder + os.pathsep + os.environ["PATH"]}) as window:
                window.move_to(92 + 60, 171 + 10, "click", "1", "click", "1")
                # The second start comes while the first browser still runs,
                check(wait_for(lambda: len(calls()) == 2), f"expected two starts, got {calls()}")
                for call in calls():
                    arguments = call.read_text().splitlines()
                    check(len(arguments) == 1 and re.fullmatch(r"https?://\S+", arguments[0]),
                          f"the browser got {arguments}")
                # and the window still answers while both run.
                window.open_menu()
        finally:
            for call in calls():
                os.kill(int(call.name), signal.SIGTERM)


if __name__ == "__main__":
    main(test)
