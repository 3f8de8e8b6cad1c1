"""Typed text, copied from the pop-up menu, is read back from the X clipboard
as a picture that decodes to the text upper-cased, and as nothing else."""

import tempfile

from tallyline_e2e import check, clipboard, decode, main, program, wait_for, xvfb

TEXT_TARGETS = {b"text/plain", b"STRING", b"UTF8_STRING", b"TEXT", b"COMPOUND_TEXT",
                b"text/plain;charset=utf-8"}


def test(binary):
    with xvfb() as display, program(binary, display) as window:
        for text in ["tally line 39", "CODE39-TALLYLINE/2026.$"]:
            window.type_text(text)
            window.choose_from_menu(0)
            targets = wait_for(lambda: set(clipboard(display, "TARGETS").split()) or None)
            check(targets and b"image/png" in targets, f"no picture on the clipboard: {targets}")
            check(not targets & TEXT_TARGETS, f"text offered on the clipboard: {targets & TEXT_TARGETS}")
            with tempfile.NamedTemporaryFile(suffix=".png") as picture:
                picture.write(clipboard(display, "image/png"))
                picture.flush()
                decoded = decode(picture.name)
            check(decoded == [text.upper()], f"decoded {decoded}, typed {text!r}")


if __name__ == "__main__":
    main(test)
