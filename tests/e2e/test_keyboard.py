"""The keyboard alone copies: Tab from the text box to the picture, Shift+F10
or the Menu key opens the pop-up menu at the picture, its first entry copies,
and Alt+C presses the copy button; each copy decodes from the clipboard."""

import re

from tallyline_e2e import check, decode_clipboard, main, program, wait_for, xvfb


def position(window, window_id):
    shell = window.xdotool("getwindowgeometry", "--shell", window_id)
    return tuple(int(re.search(fr"^{axis}=(-?\d+)", shell, re.MULTILINE).group(1)) for axis in "XY")


def test(binary):
    with xvfb() as display, program(binary, display) as window:
        origin = position(window, window.window)
        for text, menu_key in [("keys 39", "shift+F10"), ("menu key", "Menu")]:
            window.type_text(text)
            window.xdotool("key", "Tab", menu_key)
            menus = wait_for(lambda: window.others("--classname", "^tallyline$"))
            check(menus, f"{menu_key} opened no menu")
            # At the middle of the picture, 26 pixels a character and 56 more wide,
            # not at the pointer, which the typing left on the text box.
            width = 26 * len(text) + 56
            expected = (origin[0] + 8 + (width - 1) // 2, origin[1] + 48 + 44)
            at = position(window, menus[0])
            check(all(abs(a - b) <= 1 for a, b in zip(at, expected)), f"menu at {at}, picture's middle {expected}")
            window.xdotool("key", "Down", "Return")
            check(wait_for(lambda: decode_clipboard(display) == [text.upper()]), f"decoded {decode_clipboard(display)}")
        window.type_text("alt c 2026")
        window.xdotool("key", "alt+c")
        check(wait_for(lambda: decode_clipboard(display) == ["ALT C 2026"]), f"decoded {decode_clipboard(display)}")


if __name__ == "__main__":
    main(test)
