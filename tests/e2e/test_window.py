"""The window as a screen reader hears it through AT-SPI: every control named, the barcode described by its text and
what its bars carry, the text box by what they leave out, the copy button one push button whose press copies."""

import pytest

from tallyline_e2e import SAMPLE_TEXT, TEXT_BOX_CENTRE, clipboard, decode, wait_for


def descendants(accessible):
    for child in (accessible.getChildAtIndex(i) for i in range(accessible.childCount)):
        if child is not None:
            yield child
            yield from descendants(child)


def find(accessible, role, name):
    return next((child for child in descendants(accessible) if (child.getRoleName(), child.name) == (role, name)), None)


@pytest.fixture
def heard_window(start_program, accessibility_bus, screen_reader):
    """The program as it opens, and its application as the screen reader finds it."""
    window = start_program(accessibility_bus)
    app = wait_for(lambda: next((app for app in screen_reader.Registry.getDesktop(0)
                                 if app is not None and app.get_process_id() == window.process.pid), None))
    assert app, "the program is not on the accessibility bus"
    assert app.name == "Tallyline"
    return window, app


@pytest.fixture
def app(heard_window):
    return heard_window[1]


@pytest.mark.parametrize("role, name", [("text", "Barcode text"), ("image", "Barcode"), ("frame", "Barcode panel"),
                                        ("link", "Open the help page"), ("push button", "Copy to Clipboard")])
def test_control_named(app, role, name):
    assert find(app, role, name), f"no {role} named {name!r} among " \
        f"{sorted((child.getRoleName(), child.name) for child in descendants(app))}"


def test_described_and_pressed(display, heard_window):
    """The barcode is described by what its bars carry and the text box by what they leave out, anew as the text is
    typed, and the text box's tooltip says the same; the button's Press copies."""
    window, app = heard_window
    barcode, text = find(app, "image", "Barcode"), find(app, "text", "Barcode text")
    assert wait_for(lambda: (barcode.description, text.description) == (f'Code 39 barcode of "{SAMPLE_TEXT}"', "")), \
        f"described as {(barcode.description, text.description)!r}"
    window.type_text("a#b@")
    left_out = "# and @ have no bars and are left out of the barcode"
    described = ('Code 39 barcode of "A#B@": its bars carry only "AB"', left_out)
    assert wait_for(lambda: (barcode.description, text.description) == described), \
        f"described as {(barcode.description, text.description)!r}"
    # The pointer comes to rest over the text box, where the tooltip shows: a move onto it, then one within it.
    for step in (0, 2):
        window.xdotool("mousemove", "--window", window.window, *(str(at + step) for at in TEXT_BOX_CENTRE))
    tip = wait_for(lambda: next((child for child in descendants(app) if child.getRoleName() == "tool tip"), None))
    assert tip and tip.name == left_out, \
        f"tooltip {tip and tip.name!r} among {sorted((c.getRoleName(), c.name) for c in descendants(app))}"
    button = find(app, "push button", "Copy to Clipboard")
    assert button.childCount == 0, "the button's caption shows as a second object"
    actions = button.queryAction()
    actions.doAction([actions.getName(i) for i in range(actions.nActions)].index("Press"))
    assert wait_for(lambda: decode(clipboard(display, "image/png")) == ["AB"]), "the button's Press did not copy"
