"""On high-density screens, at Qt scale factors 1.25, 1.5 and 2, the window
grows by the factor, the barcode on screen still decodes from a screenshot,
and no text runs out of its box: the button's caption keeps clear of the
skin's borders and the self-sizing labels stay within their design boxes."""

import re

from tallyline_e2e import check, crop, decode, main, program, run, xvfb

BACKGROUND = (212, 208, 200)
BARCODE = (8, 48, 26 * 10 + 56, 89)   # the sample text's barcode, 10 characters
BUTTON = (384, 168, 97, 33)
LABELS = {"BarCode Text :": (48, 11, 98, 17), "Right-Click to Copy to Clipboard": (96, 155, 222, 16)}
BESIDE = 6  # pixels looked at on each side of a label, where nothing else stands


def scaled(box, factor):
    return tuple(round(value * factor) for value in box)


def pixels(png, box):
    raw = crop(png, box, "rgb")
    width = box[2]
    return [[tuple(raw[i:i + 3]) for i in range(row, row + 3 * width, 3)] for row in range(0, len(raw), 3 * width)]


def ink_columns(rows, is_ink):
    columns = [x for row in rows for x, pixel in enumerate(row) if is_ink(pixel)]
    return (min(columns), max(columns)) if columns else None


def test(binary):
    for factor in [1.25, 1.5, 2]:
        with xvfb() as display, program(binary, display, {"QT_SCALE_FACTOR": str(factor)}) as window:
            size = re.search(r"WIDTH=(\d+)\s+HEIGHT=(\d+)", window.xdotool("getwindowgeometry", "--shell", window.window))
            expected = scaled((519, 213), factor)
            check(all(abs(int(got) - want) <= 1 for got, want in zip(size.groups(), expected)),
                  f"at {factor} the window is {size.groups()}, not {expected}")
            shot = run("import", "-display", display, "-window", window.window, "png:-").stdout
            read = decode(crop(shot, scaled(BARCODE, factor)))
            check(read == ["TALLY-2026"], f"at {factor} the screen's barcode read {read}")

            border = round(3 * factor)
            x, y, width, height = scaled(BUTTON, factor)
            inside = (x + border, y + border, width - 2 * border, height - 2 * border)
            caption = ink_columns(pixels(shot, inside), lambda pixel: sum(pixel) < 3 * 128)
            check(caption and caption[0] > 0 and caption[1] < inside[2] - 1,
                  f"at {factor} the caption spans {caption} of the {inside[2]} pixels between the borders")

            for text, box in LABELS.items():
                x, y, width, height = scaled(box, factor)
                beside = round(BESIDE * factor)
                ink = ink_columns(pixels(shot, (x - beside, y, width + 2 * beside, height)),
                                  lambda pixel: max(abs(a - b) for a, b in zip(pixel, BACKGROUND)) > 40)
                check(ink and ink[0] >= beside and ink[1] < beside + width,
                      f"at {factor} {text!r} inks columns {ink} of its box from {beside} to {beside + width - 1}")


if __name__ == "__main__":
    main(test)
