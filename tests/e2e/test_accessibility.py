"""What a screen reader hears of the window, read through AT-SPI: every control
named, the barcode described by its text and by what its bars leave out, and
the copy button one push button whose press copies."""

from desktop_session import application, descendants, find, screen_reader
from tallyline_e2e import check, decode_clipboard, main, program, wait_for, xvfb

HEARD = {("text", "Barcode text"), ("image", "Barcode"), ("link", "Open the web page"),
         ("push button", "Copy to Clipboard")}


def test(binary):
    with xvfb() as display, screen_reader(display) as (env, pyatspi), program(binary, display, env) as window:
        app = application(pyatspi, "Tallyline")
        heard = {(child.getRoleName(), child.name) for child in descendants(app)}
        check(HEARD <= heard, f"missing: {HEARD - heard}")
        barcode = find(app, "image", "Barcode")
        check(barcode.description == 'Code 39 barcode of "TALLY-2026"', f"described as {barcode.description!r}")
        window.type_text("a#b")
        described = 'Code 39 barcode of "A#B". A scanner will not read these characters from the bars: #'
        check(wait_for(lambda: barcode.description == described), f"described as {barcode.description!r}")

        button = find(app, "push button", "Copy to Clipboard")
        check(button.childCount == 0, "the button's caption shows as a second object")
        actions = button.queryAction()
        actions.doAction([actions.getName(i) for i in range(actions.nActions)].index("Press"))
        check(wait_for(lambda: decode_clipboard(display) == ["AB"]), f"decoded {decode_clipboard(display)}")


if __name__ == "__main__":
    main(test)
