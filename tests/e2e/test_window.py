"""The window as a screen reader hears it through AT-SPI: every control named, the
barcode described by its text and by what its bars leave out, the copy button
one push button whose press copies."""

from tallyline_e2e import check, clipboard, decode, main, program, screen_reader, wait_for, xvfb

HEARD = {("text", "Barcode text"), ("image", "Barcode"), ("link", "Open the web page"),
         ("push button", "Copy to Clipboard")}


def descendants(accessible):
    for child in (accessible.getChildAtIndex(i) for i in range(accessible.childCount)):
        if child is not None:
            yield child
            yield from descendants(child)


def find(accessible, role, name):
    return next((child for child in descendants(accessible) if (child.getRoleName(), child.name) == (role, name)), None)


def test(binary):
    with xvfb() as display, screen_reader(display) as (env, pyatspi), program(binary, display, env) as window:
        app = wait_for(lambda: next((app for app in pyatspi.Registry.getDesktop(0)
                                     if app is not None and app.name == "Tallyline"), None))
        check(app, "the program is not on the accessibility bus")
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
        check(wait_for(lambda: decode(clipboard(display, "image/png")) == ["AB"]), "the button's Press did not copy")


if __name__ == "__main__":
    main(test)
