"""The window on screen, read from screenshots: the README's picture made by scripts/screenshot is the whole window as
it opens, its barcode decodes; at Qt scale factors from 1 to 2 no text runs out of its box."""

import pathlib

import pytest

from tallyline_e2e import (BARCODE_PICTURE, COPY_BUTTON, HINT_LABEL, SAMPLE_TEXT, SLOW_TIMEOUT, TEXT_LABEL,
                           WINDOW_SIZE, decode, grey, program, run, wait_for)

SCRIPT = pathlib.Path(__file__).resolve().parents[2] / "scripts" / "screenshot"
# The sample text's barcode: the picture's place and height, 26 pixels a character and 56 more.
BARCODE = (*BARCODE_PICTURE[:2], 26 * len(SAMPLE_TEXT) + 56, BARCODE_PICTURE[3])
BACKGROUND = (212, 208, 200)
LABELS = [pytest.param(TEXT_LABEL, id="BarCode Text :"),
          pytest.param(HINT_LABEL, id="Right-Click to Copy to Clipboard")]
BESIDE = 6  # pixels looked at on each side of a label, where nothing else stands
BUTTON_BORDER = 3


def crop(png, box, format="png"):  # pylint: disable=redefined-builtin
    x, y, width, height = box
    return run("convert", "png:-", "-crop", f"{width}x{height}+{x}+{y}", "+repage", "-depth", "8", f"{format}:-",
               input=png).stdout


def scaled(box, factor):
    return tuple(round(value * factor) for value in box)


def ink_columns(png, box, is_ink):
    raw, width = crop(png, box, "rgb"), box[2]
    columns = [(i // 3) % width for i in range(0, len(raw), 3) if is_ink(tuple(raw[i:i + 3]))]
    return (min(columns), max(columns)) if columns else None


def test_script_picture(binary, folder):
    """The README's picture is the window as it opens."""
    made = run(str(SCRIPT), binary, str(folder / "window.png"), timeout=SLOW_TIMEOUT, text=True)
    assert made.returncode == 0, made.stderr
    shot = (folder / "window.png").read_bytes()
    assert grey(shot)[:2] == WINDOW_SIZE
    assert decode(crop(shot, BARCODE)) == [SAMPLE_TEXT]


def settled_screenshot(display, window):
    """The window as shown once it is painted: a window just mapped on a loaded machine
    may still be black, or half drawn, so shots are taken until two in a row agree."""
    shots = [run("import", "-display", display, "-window", window, "png:-").stdout]

    def steady():
        shots.append(run("import", "-display", display, "-window", window, "png:-").stdout)
        levels = grey(shots[-1])
        return levels == grey(shots[-2]) and len(set(levels[2])) > 1

    wait_for(steady, timeout=SLOW_TIMEOUT)
    return shots[-1]


@pytest.fixture(scope="module", params=[1, 1.25, 1.5, 2], ids=lambda factor: f"scale {factor}")
def scaled_shot(request, binary, display):
    """A screenshot of the window as it opens at a Qt scale factor, and the factor."""
    with program(binary, display, {"QT_SCALE_FACTOR": str(request.param)}) as window:
        return request.param, settled_screenshot(display, window.window)


def test_button_caption_inside_borders(scaled_shot):
    factor, shot = scaled_shot
    border = round(BUTTON_BORDER * factor)
    x, y, width, height = scaled(COPY_BUTTON, factor)
    inside = (x + border, y + border, width - 2 * border, height - 2 * border)
    caption = ink_columns(shot, inside, lambda pixel: sum(pixel) < 3 * 128)
    assert caption and caption[0] > 0 and caption[1] < inside[2] - 1, \
        f"the caption spans {caption} of the {inside[2]} pixels between the borders"


@pytest.mark.parametrize("box", LABELS)
def test_label_inside_its_box(scaled_shot, box):
    factor, shot = scaled_shot
    x, y, width, height = scaled(box, factor)
    beside = round(BESIDE * factor)
    ink = ink_columns(shot, (x - beside, y, width + 2 * beside, height),
                      lambda pixel: max(abs(a - b) for a, b in zip(pixel, BACKGROUND)) > 40)
    assert ink and ink[0] >= beside and ink[1] < beside + width, \
        f"inks columns {ink} of its box from {beside} to {beside + width - 1}"
