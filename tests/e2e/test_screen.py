"""The window on screen, read from screenshots: the README's picture made by
scripts/screenshot is the whole window as it opens; at Qt scale factors 1.25, 1.5
and 2 the window grows by the factor and no text runs out of its box (at 1 that
is tst_frmbarcode's); on a headless weston (Wayland; it takes no input, so the
program is ended by a signal) the window opens on Qt's wayland platform.
Everywhere the sample text's barcode on screen decodes."""

import os
import pathlib
import signal
import subprocess
import tempfile

from tallyline_e2e import (SLOW_TIMEOUT, STEP_TIMEOUT, check, decode, grey, main, own_process_group, program, run,
                           wait_for, xvfb)

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "screenshot"
SAMPLE = ["TALLY-2026"]
BARCODE = (8, 48, 26 * 10 + 56, 89)   # the sample text's barcode, 10 characters
BACKGROUND = (212, 208, 200)
BUTTON = (384, 168, 97, 33)
LABELS = {"BarCode Text :": (48, 11, 98, 17), "Right-Click to Copy to Clipboard": (96, 155, 222, 16)}
BESIDE = 6  # pixels looked at on each side of a label, where nothing else stands


def crop(png, box, format="png"):
    x, y, width, height = box
    return run("convert", "png:-", "-crop", f"{width}x{height}+{x}+{y}", "+repage", "-depth", "8", f"{format}:-",
               input=png).stdout


def scaled(box, factor):
    return tuple(round(value * factor) for value in box)


def ink_columns(png, box, is_ink):
    raw, width = crop(png, box, "rgb"), box[2]
    columns = [(i // 3) % width for i in range(0, len(raw), 3) if is_ink(tuple(raw[i:i + 3]))]
    return (min(columns), max(columns)) if columns else None


def test_scaling(binary, display, factor):
    with program(binary, display, {"QT_SCALE_FACTOR": str(factor)}) as window:
        shot = run("import", "-display", display, "-window", window.window, "png:-").stdout
        size, expected = grey(shot)[:2], scaled((519, 213), factor)
        check(all(abs(a - b) <= 1 for a, b in zip(size, expected)), f"at {factor} the window is {size}, not {expected}")
        check(decode(crop(shot, scaled(BARCODE, factor))) == SAMPLE, f"at {factor} the screen's barcode did not read")
        border = round(3 * factor)
        x, y, width, height = scaled(BUTTON, factor)
        inside = (x + border, y + border, width - 2 * border, height - 2 * border)
        caption = ink_columns(shot, inside, lambda pixel: sum(pixel) < 3 * 128)
        check(caption and caption[0] > 0 and caption[1] < inside[2] - 1,
              f"at {factor} the caption spans {caption} of the {inside[2]} pixels between the borders")
        for text, box in LABELS.items():
            x, y, width, height = scaled(box, factor)
            beside = round(BESIDE * factor)
            ink = ink_columns(shot, (x - beside, y, width + 2 * beside, height),
                              lambda pixel: max(abs(a - b) for a, b in zip(pixel, BACKGROUND)) > 40)
            check(ink and ink[0] >= beside and ink[1] < beside + width,
                  f"at {factor} {text!r} inks columns {ink} of its box from {beside} to {beside + width - 1}")


def barcode_band(png):
    """The bars alone, cut from a Wayland screen where the compositor places the window
    as it likes: the row with the most pure black, from its first black pixel to its last."""
    width, height, levels = grey(png)
    y = max(range(height), key=lambda row: levels[row * width:(row + 1) * width].count(0))
    black = [x for x in range(width) if levels[y * width + x] == 0]
    return crop(png, (black[0], y - 10, black[-1] - black[0] + 1, 20)) if black else b""


def wayland_screen(env):
    with tempfile.TemporaryDirectory() as shots:
        run("weston-screenshooter", env=env, cwd=shots)
        return next((shot.read_bytes() for shot in pathlib.Path(shots).glob("*.png")), None)


def test_wayland(binary, folder):
    runtime = folder / "runtime"
    runtime.mkdir(mode=0o700)
    env = {key: value for key, value in os.environ.items() if key not in ("DISPLAY", "QT_QPA_PLATFORM")}
    env.update(XDG_RUNTIME_DIR=str(runtime), WAYLAND_DISPLAY="tallyline-wayland")
    # The screenshot protocol is open to clients only in debug mode.
    with own_process_group(["weston", "--backend=headless-backend.so", "--use-pixman", "--socket=tallyline-wayland",
                            "--debug", "--width=800", "--height=600", "--idle-time=0"], env):
        check(wait_for(lambda: (runtime / "tallyline-wayland").exists()), "weston did not start")
        process = subprocess.Popen([binary], env=dict(env, QT_QPA_PLATFORM="wayland"))
        try:
            check(wait_for(lambda: (shot := wayland_screen(env)) and decode(barcode_band(shot)) == SAMPLE,
                           timeout=SLOW_TIMEOUT), "no barcode on the compositor's screen")
            check(process.poll() is None, f"the program ended with status {process.returncode}")
        finally:
            process.send_signal(signal.SIGTERM)
            process.wait(timeout=STEP_TIMEOUT)


def test(binary):
    with tempfile.TemporaryDirectory() as folder:
        made = run(str(SCRIPT), binary, str(pathlib.Path(folder, "window.png")), timeout=SLOW_TIMEOUT, text=True)
        shot = pathlib.Path(folder, "window.png").read_bytes() if made.returncode == 0 else b""
        check(shot and grey(shot)[:2] == (519, 213) and decode(crop(shot, BARCODE)) == SAMPLE,
              f"the script's picture is not the window as it opens: {made.stderr}")
        with xvfb() as display:
            for factor in (1.25, 1.5, 2):
                test_scaling(binary, display, factor)
        test_wayland(binary, pathlib.Path(folder))


if __name__ == "__main__":
    main(test)
