"""Save As... from the pop-up menu, through Qt's own file dialog driven from the
keyboard as a person would: each format saved decodes, the PNG is the command
line's very picture, the folder is remembered for the next start in settings of a
private HOME, and a save that the disk refuses says so in a message while the old
file stays as it was."""

import os
import pathlib
import tempfile

from tallyline_e2e import check, decode_file, headless_env, main, program, run, pixels, wait_for, xvfb

TEXT = "Save As 39"
DIALOG = "^Save Barcode As$"
# The folders a failing save is tried in, each a file system of the program's own
# (root is not stopped by permissions): read-only, and full with its 4 KiB pages
# taken by an old file and a filler.
MOUNTS = r"""
mount -t tmpfs -o size=64k tmpfs "$1" && cp "$3" "$1/old.png" && mount -o remount,ro "$1" &&
mount -t tmpfs -o size=8k tmpfs "$2" && cp "$3" "$2/old.png" && head -c 4096 /dev/zero > "$2/filler" &&
shift 3 && exec "$@"
"""


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
        env = {"HOME": str(home), "XDG_CONFIG_HOME": str(home / ".config")}
        reference = work / "reference.png"
        run(binary, TEXT, "-o", str(reference), env=headless_env(), check=True)

        with program(binary, display, env) as window:
            window.type_text(TEXT)
            for name in ("saved.png", "saved.svg", "saved.pdf"):
                save_as(window, str(saved / name))
                check(wait_for(lambda: decode_file(saved / name) == [TEXT.upper()]), f"{name} did not read")
        check(pixels((saved / "saved.png").read_bytes()) == pixels(reference.read_bytes()),
              "the saved PNG is not the command line's")

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
    check(user_settings() == machine, "the machine's own settings were touched")


if __name__ == "__main__":
    main(test)
