"""The copied picture outlives the program where a clipboard manager runs: at
exit Qt hands it over, and the manager (the one in Xfce's settings daemon,
on a session bus of the test's own) serves it on. Without a manager the
picture goes with the program."""

import contextlib
import os

from Xlib import display as xdisplay

from desktop_session import own_process_group, session_bus
from tallyline_e2e import check, clipboard, decode_clipboard, main, program, wait_for, xvfb


def manager_running(display):
    connection = xdisplay.Display(display)
    try:
        return connection.get_selection_owner(connection.intern_atom("CLIPBOARD_MANAGER")) != 0
    finally:
        connection.close()


def copy_and_close(binary, display, text):
    with program(binary, display) as window:
        window.type_text(text)
        window.xdotool("key", "alt+c")
        check(wait_for(lambda: decode_clipboard(display) == [text.upper()]), f"decoded {decode_clipboard(display)}")
        window.close()
        check(window.exit_status() == 0, "the program did not end cleanly")


def test(binary):
    with xvfb() as display:
        copy_and_close(binary, display, "gone 1")
        check(not clipboard(display, "TARGETS"), "the clipboard kept something with no manager to keep it")
        with session_bus(display) as extra, contextlib.ExitStack() as stack:
            stack.enter_context(own_process_group(["xfsettingsd", "--no-daemon", "--sm-client-disable"],
                                                  dict(os.environ, DISPLAY=display, **extra)))
            check(wait_for(lambda: manager_running(display)), "the clipboard manager did not start")
            copy_and_close(binary, display, "kept 2")
            read = decode_clipboard(display)
            check(read == ["KEPT 2"], f"after the program ended the clipboard read {read}")


if __name__ == "__main__":
    main(test)
