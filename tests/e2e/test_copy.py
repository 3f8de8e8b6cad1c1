"""Typed text, copied from the pop-up menu, is read back from the X clipboard
as a picture that decodes to the text upper-cased, and as nothing else."""

from tallyline_e2e import check, clipboard, decode_clipboard, main, program, wait_for, xvfb

TEXT_TARGETS = {b"text/plain", b"STRING", b"UTF8_STRING", b"TEXT", b"COMPOUND_TEXT",
                b"text/plain;charset=utf-8"}


def test(binary):
    with xvfb() as display, program(binary, display) as window:
        for text in ["tally line 39", "CODE39-TALLYLINE/2026.$"]:
            window.type_text(text)
            window.choose_from_menu(0)
            # Until the program has handled the choice, the clipboard may still hold the last copy.
            check(wait_for(lambda: decode_clipboard(display) == [text.upper()]),
                  f"decoded {decode_clipboard(display)}, typed {text!r}")
            targets = set(clipboard(display, "TARGETS").split())
            check(not targets & TEXT_TARGETS, f"text offered on the clipboard: {targets & TEXT_TARGETS}")


if __name__ == "__main__":
    main(test)
