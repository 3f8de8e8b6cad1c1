"""The window as a screen reader hears it through AT-SPI: every control named, the barcode described by its text and by
what its bars leave out, the copy button one push button whose press copies."""

import pytest

from tallyline_e2e import SAMPLE_TEXT, clipboard, decode, wait_for


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


def test_barcode_described_and_button_pressed(display, heard_window):
    """The barcode is described by its text, and anew as it is typed; the button's Press copies."""
    window, app = heard_window
    barcode = find(app, "image", "Barcode")
    assert wait_for(lambda: barcode.description == f'Code 39 barcode of "{SAMPLE_TEXT}"'), barcode.description
    window.type_text("a#b")
    described = 'Code 39 barcode of "A#B". A scanner will not read these characters from the bars: #'
    assert wait_for(lambda: barcode.description == described), f"described as {barcode.description!r}"
    button = find(app, "push button", "Copy to Clipboard")
    assert button.childCount == 0, "the button's caption shows as a second object"
    actions = button.queryAction()
    actions.doAction([actions.getName(i) for i in range(actions.nActions)].index("Press"))
    assert wait_for(lambda: decode(clipboard(display, "image/png")) == ["AB"]), "the button's Press did not copy"
