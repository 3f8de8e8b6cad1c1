"""Copy to Clipboard offers the barcode as SVG beside the bitmap: the SVG read back
with xclip and drawn by librsvg decodes, with its bars on the bitmap's columns,
and the bitmap is, pixel for pixel, the PNG that the command line writes."""

import pathlib
import tempfile

from tallyline_e2e import (bar_row, check, clipboard, decode, headless_env, main, program, run, same_pixels,
                           svg_to_png, wait_for, xvfb)

TEXT = "Copy SVG 39"


def test(binary):
    with tempfile.TemporaryDirectory() as work, xvfb() as display, program(binary, display) as window:
        reference = pathlib.Path(work, "reference.png")
        run(binary, TEXT, "-o", str(reference), env=headless_env(), check=True)
        window.type_text(TEXT)
        window.choose_from_menu(0)
        check(wait_for(lambda: b"image/svg+xml" in clipboard(display, "TARGETS").split()),
              f"no SVG offered: {clipboard(display, 'TARGETS').split()}")
        svg = pathlib.Path(work, "clipboard.svg")
        svg.write_bytes(clipboard(display, "image/svg+xml"))
        drawn, bitmap = svg_to_png(svg), clipboard(display, "image/png")
        check(decode(drawn) == [TEXT.upper()], f"the clipboard's SVG decoded as {decode(drawn)}")
        # The SVG's size is in whole micrometres, a hair over the pixels' at 96 dpi, and
        # librsvg adds a column of background for it.
        check("#" in bar_row(bitmap, 10) and bar_row(drawn, 10).rstrip(".") == bar_row(bitmap, 10).rstrip("."),
              f"the SVG's bars are not the bitmap's:\n{bar_row(drawn, 10)}\n{bar_row(bitmap, 10)}")
        check(same_pixels(bitmap, reference.read_bytes()), "the clipboard's bitmap is not the command line's PNG")


if __name__ == "__main__":
    main(test)
