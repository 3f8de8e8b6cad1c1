"""Started without any display, the program says so in one line and exits
with a non-zero status instead of aborting."""

import os

from tallyline_e2e import check, main, run


def test(binary):
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    result = run(binary, env=env, text=True)
    lines = result.stderr.splitlines()
    check(result.returncode == 1, f"exit status {result.returncode}")
    check(len(lines) == 1 and "display" in lines[0], f"said {lines}")


if __name__ == "__main__":
    main(test)
