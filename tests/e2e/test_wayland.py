"""A smoke test on Wayland, the default session of today's desktops: on a
headless weston of the test's own, the window opens on Qt's wayland platform
and draws the sample text's barcode, read from the compositor's screenshot.
Headless weston takes no input, so the pointer and closing by the title bar
cannot be tried here; the program is ended by a signal."""

import os
import pathlib
import signal
import subprocess
import tempfile

from desktop_session import own_process_group
from tallyline_e2e import SLOW_TIMEOUT, STEP_TIMEOUT, check, crop, decode, main, run, wait_for

SOCKET = "tallyline-wayland"


def screenshot(folder, env):
    """The compositor's screen as a PNG, or nothing."""
    for old in folder.glob("wayland-screenshot-*.png"):
        old.unlink()
    run("weston-screenshooter", env=env, cwd=folder)
    shots = list(folder.glob("wayland-screenshot-*.png"))
    return shots[0].read_bytes() if shots else b""


def barcode_band(png):
    """The bars alone, cut from a screen: the compositor places the window where
    it likes, and the desktop's texture beside the picture would be read as
    bars. The bars are the row with the most pure black, from its first black
    pixel to its last."""
    gray = run("convert", "png:-", "-depth", "8", "gray:-", input=png).stdout
    width = int(run("identify", "-format", "%w", "png:-", input=png).stdout or 0)
    if not gray or not width:
        return b""
    rows = [gray[y:y + width] for y in range(0, len(gray), width)]
    y = max(range(len(rows)), key=lambda row: rows[row].count(0))
    black = [x for x, value in enumerate(rows[y]) if value == 0]
    if not black:
        return b""
    return crop(png, (black[0], y - 10, black[-1] - black[0] + 1, 20))


def test(binary):
    with tempfile.TemporaryDirectory() as folder:
        folder = pathlib.Path(folder)
        runtime = folder / "runtime"
        runtime.mkdir(mode=0o700)
        env = {key: value for key, value in os.environ.items() if key not in ("DISPLAY", "QT_QPA_PLATFORM")}
        env.update(XDG_RUNTIME_DIR=str(runtime), WAYLAND_DISPLAY=SOCKET)
        # The screenshot protocol is open to clients only in debug mode.
        with own_process_group(["weston", "--backend=headless-backend.so", "--use-pixman", f"--socket={SOCKET}",
                                "--debug", "--width=800", "--height=600", "--idle-time=0"], env):
            check(wait_for(lambda: (runtime / SOCKET).exists()), "weston did not start")
            program = subprocess.Popen([binary], env=dict(env, QT_QPA_PLATFORM="wayland"))
            try:
                read = wait_for(lambda: decode(barcode_band(screenshot(folder, env))) == ["TALLY-2026"],
                                timeout=SLOW_TIMEOUT)
                check(read, "no barcode on the compositor's screen")
                check(program.poll() is None, f"the program ended with status {program.returncode}")
            finally:
                program.send_signal(signal.SIGTERM)
                program.wait(timeout=STEP_TIMEOUT)


if __name__ == "__main__":
    main(test)
