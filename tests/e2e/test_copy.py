"""Copy and Save As... in the real program. A copy, by pointer or by keyboard, puts on
the X clipboard the command line's PNG, pixel for pixel, and an SVG; never text.
Each format saved through Qt's file dialog decodes, the folder is remembered for the
next start, and a save that a full disk refuses says so and leaves the old file be.
The copy goes with the program, unless a clipboard manager runs to keep it.
Which gestures copy is tst_frmbarcode's and tst_button's to check."""

import os
import pathlib
import tempfile

from Xlib import display as xdisplay

from tallyline_e2e import (check, clipboard, decode, decode_file, headless_env, main, own_process_group, program, run,
                           session_bus, svg_to_png, wait_for, xvfb)

TEXT_TARGETS = {b"text/plain", b"STRING", b"UTF8_STRING", b"TEXT", b"COMPOUND_TEXT", b"text/plain;charset=utf-8"}
COPIES = [("the pop-up menu", "tally line 39", lambda window: window.choose_from_menu(0)),
          ("Tab, Shift+F10", "keys 39", lambda window: window.choose_from_menu(0, "Tab", "shift+F10")),
          ("Alt+C", "alt c 2026", lambda window: window.xdotool("key", "alt+c"))]
DIALOG = "^Save Barcode As$"
# The folder of the failing save is a file system of the program's own (root is not
# stopped by permissions), full: its two 4 KiB pages hold an old file and a filler.
FULL_DISK = r"""mount -t tmpfs -o size=8k tmpfs "$1" && cp "$2" "$1/old.png" && head -c 4096 /dev/zero > "$1/filler" &&
shift 2 && exec "$@"
"""


def pixels(picture):
    return run("convert", "-", "-depth", "8", "-type", "TrueColorAlpha", "txt:-", input=picture).stdout


def save_as(window, path, replace=False):
    window.choose_from_menu(2)
    dialogs = wait_for(lambda: window.others("--name", DIALOG))
    check(dialogs, "Save As... opened no dialog")
    window.xdotool("windowfocus", "--sync", dialogs[0], "key", "ctrl+a", "type", "--delay", "15", "--", path)
    window.xdotool("key", "Return")
    if replace:
        asked = wait_for(lambda: [w for w in window.others("--name", DIALOG) if w != dialogs[0]])
        check(asked, f"replacing {path} was not confirmed")
        window.xdotool("windowfocus", "--sync", asked[0], "key", "y")
    check(wait_for(lambda: not window.others("--name", DIALOG)), f"the dialog stayed open after {path}")


def test(binary):
    with tempfile.TemporaryDirectory() as work, xvfb() as display:
        work = pathlib.Path(work)
        home, saved, full = (work / name for name in ("home", "saved", "full"))
        for folder in (home, saved, full):
            folder.mkdir()
        env, reference = {"HOME": str(home), "XDG_CONFIG_HOME": str(home / ".config")}, work / "reference.png"
        with program(binary, display, env) as window:
            for case, text, copy in COPIES:
                run(binary, text, "-o", str(reference), env=headless_env(), check=True)
                window.type_text(text)
                copy(window)
                # Until the program has handled the copy, the clipboard may still hold the last one.
                check(wait_for(lambda: decode(clipboard(display, "image/png")) == [text.upper()]),
                      lambda: f"{case}: decoded {decode(clipboard(display, 'image/png'))}")
                targets = set(clipboard(display, "TARGETS").split())
                check(b"image/svg+xml" in targets and not targets & TEXT_TARGETS, f"{case}: offered {targets}")
                (work / "copy.svg").write_bytes(clipboard(display, "image/svg+xml"))
                drawn = svg_to_png(work / "copy.svg")
                check(decode(drawn) == [text.upper()], lambda: f"{case}: the SVG decoded as {decode(drawn)}")
                check(pixels(clipboard(display, "image/png")) == pixels(reference.read_bytes()),
                      f"{case}: the bitmap is not the command line's")
            for name in ("saved.png", "saved.svg", "saved.pdf"):
                save_as(window, str(saved / name))
                check(wait_for(lambda: decode_file(saved / name) == ["ALT C 2026"]), f"{name} did not read")
            check(pixels((saved / "saved.png").read_bytes()) == pixels(reference.read_bytes()),
                  "the saved PNG is not the command line's")
            check(window.close() == 0, "the program did not end cleanly")
        check(not clipboard(display, "TARGETS"), "the clipboard kept something with no manager to keep it")

        # Qt's dialogs keep a last folder of their own; only the program's may lead back.
        (home / ".config" / "QtProject.conf").unlink(missing_ok=True)
        launcher = ["unshare", "--mount", "--propagation", "private", "sh", "-c", FULL_DISK, "sh", str(full),
                    str(reference)]
        with program(binary, display, env, launcher) as window:
            # The program's own view of the folder: only its mount namespace has the mount.
            inside = pathlib.Path(f"/proc/{window.process.pid}/root") / full.relative_to("/")
            window.type_text("NEW 39")
            save_as(window, str(full / "old.png"), replace=True)
            # The box's words are left to the command line's tests: the same failure makes them.
            boxes = wait_for(window.boxes)
            check(boxes, "saving on a full disk failed without a message")
            window.close_box(boxes[0])
            left = sorted(p.name for p in inside.iterdir())
            check(left == ["filler", "old.png"] and (inside / "old.png").read_bytes() == reference.read_bytes(),
                  f"after saving on a full disk: {left}")
            # A bare name goes to the folder of the last save that worked, the one before this start.
            save_as(window, "again.png")
            check(wait_for(lambda: decode_file(saved / "again.png") == ["NEW 39"]), f"again.png not saved in {saved}")

        # Where a clipboard manager runs (Xfce's settings daemon, on a session bus of
        # the test's own), Qt hands the copy over at exit and the manager serves it on.
        with session_bus(display) as extra, own_process_group(
                ["xfsettingsd", "--no-daemon", "--sm-client-disable"], dict(os.environ, DISPLAY=display, **extra)):
            connection = xdisplay.Display(display)
            check(wait_for(lambda: connection.get_selection_owner(connection.intern_atom("CLIPBOARD_MANAGER")) != 0),
                  "the clipboard manager did not start")
            connection.close()
            with program(binary, display, extra) as window:
                window.type_text("kept 2")
                window.xdotool("key", "alt+c")
                check(wait_for(lambda: decode(clipboard(display, "image/png")) == ["KEPT 2"]), "Alt+C did not copy")
                check(window.close() == 0, "the program did not end cleanly")
            check(decode(clipboard(display, "image/png")) == ["KEPT 2"], "the copy did not outlive the program")


if __name__ == "__main__":
    main(test)
