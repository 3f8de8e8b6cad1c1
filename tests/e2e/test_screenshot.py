"""The README's picture of the window is made by scripts/screenshot: the window
as it opens, whole, with the sample text's barcode decoding where it stands."""

import pathlib
import tempfile

from tallyline_e2e import SLOW_TIMEOUT, check, crop, decode, main, run

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "screenshot"


def test(binary):
    with tempfile.TemporaryDirectory() as folder:
        picture = pathlib.Path(folder, "window.png")
        made = run(str(SCRIPT), binary, str(picture), timeout=SLOW_TIMEOUT, text=True)
        check(made.returncode == 0, f"the script failed: {made.stderr}")
        size = run("identify", "-format", "%wx%h", str(picture), text=True).stdout
        check(size == "519x213", f"the picture is {size}, not the window's 519x213")
        read = decode(crop(picture.read_bytes(), (8, 48, 26 * 10 + 56, 89)))
        check(read == ["TALLY-2026"], f"the picture's barcode read {read}")


if __name__ == "__main__":
    main(test)
