"""Two clicks on the logo start the web browser twice, with the address as one
argument, and the window never waits for either."""

import contextlib
import os
import pathlib
import re
import signal
import tempfile
import time

from tallyline_e2e import check, main, program, wait_for, xvfb

# Records its arguments, one a line, then lingers like a browser would.
STAND_IN = """#!/bin/sh
record="$RECORDS/$(date +%s%N)-$$"
for argument in "$@"; do printf '%s\\n' "$argument"; done > "$record.tmp"
mv "$record.tmp" "$record"
exec sleep 30
"""
LOGO = (92 + 60, 171 + 10)


def test(binary):
    with tempfile.TemporaryDirectory() as folder, xvfb() as display:
        bin_dir = pathlib.Path(folder, "bin")
        records = pathlib.Path(folder, "records")
        bin_dir.mkdir()
        records.mkdir()
        stand_in = bin_dir / "xdg-open"
        stand_in.write_text(STAND_IN)
        stand_in.chmod(0o755)
        env = {"PATH": f"{bin_dir}{os.pathsep}{os.environ['PATH']}", "RECORDS": str(records)}
        with program(binary, display, env) as window:
            started = time.monotonic()
            window.click(*LOGO, 1)
            window.click(*LOGO, 1)
            calls = wait_for(lambda: [p for p in records.iterdir() if not p.name.endswith(".tmp")]
                             if len(list(records.iterdir())) >= 2 else None)
            check(calls and len(calls) == 2, f"expected two starts, got {calls}")
            check(time.monotonic() - started < 10, "the clicks waited for the browser")
            for call in calls:
                arguments = call.read_text().splitlines()
                check(len(arguments) == 1 and re.fullmatch(r"https?://\S+", arguments[0]),
                      f"the browser got {arguments}")
            window.type_text("STILL HERE")
            check(window.process.poll() is None, "the program ended")
        for record in records.iterdir():
            with contextlib.suppress(ProcessLookupError, ValueError):
                os.kill(int(record.name.split("-")[-1].removesuffix(".tmp")), signal.SIGTERM)


if __name__ == "__main__":
    main(test)
