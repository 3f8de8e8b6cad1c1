"""Copy and Save As..., as a person does them with pointer and keyboard. Every way to
copy puts on the X clipboard a bitmap that is the command line's PNG pixel for pixel
and decodes to the text upper-cased, and an SVG whose bars (drawn by librsvg) fall
on its columns; never text. The copy outlives the program only where a clipboard
manager (Xfce's settings daemon) takes it over at exit. Each format saved through
Qt's file dialog decodes, the folder is remembered for the next start in settings
of a private HOME, and a save that the disk refuses says so while the old file
stays as it was."""

import os
import pathlib
import re
import tempfile

from Xlib import display as xdisplay

from tallyline_e2e import (bar_row, check, clipboard, decode, decode_clipboard, decode_file, headless_env, main,
                           own_process_group, pixels, program, run, session_bus, svg_to_png, wait_for, xvfb)

TEXT_TARGETS = {b"text/plain", b"STRING", b"UTF8_STRING", b"TEXT", b"COMPOUND_TEXT", b"text/plain;charset=utf-8"}
# Where the pointer goes, in the window's client area, and rows 1 and 2 of the
# inner frame of xpcmdbutton1 (at 384, 168), beside its caption, on screen then.
RESTING = ["#FFFFFF", "#FEFEFE"]
FACES = [("resting", (10, 10), [], RESTING), ("hover", (384 + 48, 168 + 16), [], ["#FFF0CF", "#FDD889"]),
         ("resting after leaving", (10, 10), [], RESTING),
         ("pressed", (384 + 10, 168 + 10), ["mousedown", "1"], ["#D1CCC1", "#DCD8CF"])]
DIALOG = "^Save Barcode As$"
# The folders a failing save is tried in, each a file system of the program's own
# (root is not stopped by permissions): read-only, and full with its 4 KiB pages
# taken by an old file and a filler.
MOUNTS = r"""
mount -t tmpfs -o size=64k tmpfs "$1" && cp "$3" "$1/old.png" && mount -o remount,ro "$1" &&
mount -t tmpfs -o size=8k tmpfs "$2" && cp "$3" "$2/old.png" && head -c 4096 /dev/zero > "$2/filler" &&
shift 3 && exec "$@"
"""


def frame_rows(window):
    return re.findall(r"#[0-9A-F]{6}\b", run("import", "-display", window.display, "-window", window.window,
                                            "-crop", "1x2+389+169", "-depth", "8", "txt:-", text=True).stdout)


def by_keys(menu_key):
    """Tab to the picture, open its menu by a key and take the first entry. The menu opens
    at the picture's middle (26 pixels a character and 56 more wide), not at the pointer."""
    def copy(window, text):
        window.xdotool("key", "Tab", menu_key)
        menus = wait_for(lambda: window.others("--classname", "^tallyline$"))
        check(menus, f"{menu_key} opened no menu")
        origin, at = window.geometry(window.window), window.geometry(menus[0])
        expected = (origin["X"] + 8 + (26 * len(text) + 55) // 2, origin["Y"] + 48 + 44)
        check(abs(at["X"] - expected[0]) <= 1 and abs(at["Y"] - expected[1]) <= 1, f"menu at {at}, not {expected}")
        window.xdotool("key", "Down", "Return")
    return copy


def by_button(window, text):
    for face, point, action, rows in FACES:
        window.move_to(*point, *action)
        check(wait_for(lambda: frame_rows(window) == rows), f"not {face}: {frame_rows(window)}")
    window.xdotool("mouseup", "1")


COPIES = [("01 pop-up menu; lower case drawn as capitals", "tally line 39", lambda w, t: w.choose_from_menu(0)),
          ("02 pop-up menu; every sign the bars carry", "CODE39-TALLYLINE/2026.$", lambda w, t: w.choose_from_menu(0)),
          ("03 Shift+F10", "keys 39", by_keys("shift+F10")),
          ("04 the Menu key", "menu key", by_keys("Menu")),
          ("05 Alt+C presses the button", "alt c 2026", lambda w, t: w.xdotool("key", "alt+c")),
          ("06 the button's faces, then a click on it", "button 39", by_button)]


def save_as(window, *typed, replace=False):
    """Chooses Save As..., types each name into the dialog's file-name field and presses
    Return after it, confirming the replacement of a file that exists if asked to."""
    window.choose_from_menu(2)
    dialogs = wait_for(lambda: window.others("--name", DIALOG))
    check(dialogs, "Save As... opened no dialog")
    window.xdotool("windowfocus", "--sync", dialogs[0])
    for name in typed:
        window.xdotool("key", "ctrl+a", "type", "--delay", "15", "--", name)
        window.xdotool("key", "Return")
    if replace:
        asked = wait_for(lambda: [w for w in window.others("--name", DIALOG) if w != dialogs[0]])
        check(asked, f"replacing {typed} was not confirmed")
        window.xdotool("windowfocus", "--sync", asked[0], "key", "y")
    check(wait_for(lambda: not window.others("--name", DIALOG)), f"the dialog stayed open after {typed}")


def user_settings():
    """What the machine's own user settings hold of the program and of Qt's dialogs."""
    config = pathlib.Path(os.environ.get("XDG_CONFIG_HOME", pathlib.Path.home() / ".config"))
    return {path: path.stat().st_mtime_ns if path.exists() else None
            for path in (config / "Tallyline", config / "Tallyline" / "Tallyline.conf", config / "QtProject.conf")}


def test(binary):
    machine = user_settings()
    with tempfile.TemporaryDirectory() as work, xvfb() as display:
        work = pathlib.Path(work)
        home, saved, locked, full = (work / name for name in ("home", "saved", "locked", "full"))
        for folder in (home, saved, locked, full):
            folder.mkdir()
        env, reference = {"HOME": str(home), "XDG_CONFIG_HOME": str(home / ".config")}, work / "reference.png"
        with program(binary, display, env) as window:
            for case, text, copy in COPIES:
                run(binary, text, "-o", str(reference), env=headless_env(), check=True)
                window.type_text(text)
                copy(window, text)
                # Until the program has handled the copy, the clipboard may still hold the last one.
                check(wait_for(lambda: decode_clipboard(display) == [text.upper()]),
                      f"{case}: decoded {decode_clipboard(display)}")
                targets = set(clipboard(display, "TARGETS").split())
                check(b"image/svg+xml" in targets and not targets & TEXT_TARGETS, f"{case}: offered {targets}")
                (work / "copy.svg").write_bytes(clipboard(display, "image/svg+xml"))
                drawn, bitmap = svg_to_png(work / "copy.svg"), clipboard(display, "image/png")
                check(decode(drawn) == [text.upper()], f"{case}: the SVG decoded as {decode(drawn)}")
                # The SVG's size is in whole micrometres, a hair over the pixels' at 96 dpi,
                # and librsvg adds a column of background for it.
                check("#" in bar_row(bitmap, 10) and bar_row(drawn, 10).rstrip(".") == bar_row(bitmap, 10).rstrip("."),
                      f"{case}: the SVG's bars are not the bitmap's:\n{bar_row(drawn, 10)}\n{bar_row(bitmap, 10)}")
                check(pixels(bitmap) == pixels(reference.read_bytes()), f"{case}: the bitmap is not the command line's")
            for name in ("saved.png", "saved.svg", "saved.pdf"):
                save_as(window, str(saved / name))
                check(wait_for(lambda: decode_file(saved / name) == ["BUTTON 39"]), f"{name} did not read")
            check(pixels((saved / "saved.png").read_bytes()) == pixels(reference.read_bytes()),
                  "the saved PNG is not the command line's")
            check(window.close() == 0, "the program did not end cleanly")
        check(not clipboard(display, "TARGETS"), "the clipboard kept something with no manager to keep it")

        # Qt's dialogs keep a last folder of their own; only the program's may lead back.
        (home / ".config" / "QtProject.conf").unlink(missing_ok=True)
        launcher = ["unshare", "--mount", "--propagation", "private", "sh", "-c", MOUNTS, "sh", str(locked), str(full),
                    str(reference)]
        with program(binary, display, env, launcher) as window:
            # The program's own view of the folders: only its mount namespace has the mounts.
            inside = pathlib.Path(f"/proc/{window.process.pid}/root")
            window.type_text("NEW 39")
            for path in (locked / "old.png", locked / "new.png", full / "old.png", full / "new.png"):
                save_as(window, str(path), replace=path.name == "old.png")
                # Qt copies a box's text only on Windows, so its words are left to the
                # command line's tests: the same failure makes them.
                boxes = wait_for(window.boxes)
                check(boxes, f"saving {path} failed without a message")
                window.close_box(boxes[0])
                folder = inside / path.parent.relative_to("/")
                left = sorted(p.name for p in folder.iterdir())
                check(left == (["filler", "old.png"] if folder.name == "full" else ["old.png"])
                      and (folder / "old.png").read_bytes() == reference.read_bytes(), f"after saving {path}: {left}")
            # A bare name goes to the folder of the last save that worked, the one before this start.
            save_as(window, "again.png")
            check(wait_for(lambda: decode_file(saved / "again.png") == ["NEW 39"]), f"again.png not saved in {saved}")
            # A folder's name opens the folder, and a name typed then goes into it.
            (saved / "folder.png").mkdir()
            save_as(window, str(saved / "folder.png"), "inner.png")
            check(wait_for(lambda: (saved / "folder.png" / "inner.png").exists()), "nothing saved in the folder")
            check(not window.boxes(), "a message was shown for a folder")

        with session_bus(display) as extra, own_process_group(["xfsettingsd", "--no-daemon", "--sm-client-disable"],
                                                              dict(os.environ, DISPLAY=display, **extra)):
            connection = xdisplay.Display(display)
            manager = connection.intern_atom("CLIPBOARD_MANAGER")
            check(wait_for(lambda: connection.get_selection_owner(manager) != 0), "the clipboard manager did not start")
            connection.close()
            with program(binary, display) as window:
                window.type_text("kept 2")
                window.xdotool("key", "alt+c")
                check(wait_for(lambda: decode_clipboard(display) == ["KEPT 2"]), f"decoded {decode_clipboard(display)}")
                check(window.close() == 0, "the program did not end cleanly")
            read = decode_clipboard(display)
            check(read == ["KEPT 2"], f"after the program ended the clipboard read {read}")
    check(user_settings() == machine, "the machine's own settings were touched")


if __name__ == "__main__":
    main(test)
