"""Copy and Save As... in the real program. A copy, by pointer or by keyboard, puts on the X clipboard the command
line's PNG without a quiet zone, pixel for pixel, and an SVG; never text. A "*" typed in the text has no bars,
wherever it stands. Each format saved through Qt's file dialog decodes, the folder is remembered for the next start,
and a save that a full disk refuses says so and leaves the old file be."""

import pathlib

import pytest

from tallyline_e2e import COPY_BUTTON, centre, clipboard, decode, decode_file, headless_env, run, svg_to_png, wait_for

TEXT_TARGETS = {b"text/plain", b"STRING", b"UTF8_STRING", b"TEXT", b"COMPOUND_TEXT", b"text/plain;charset=utf-8"}
DIALOG = "^Save Barcode As$"
# The folder of the failing save is a file system of the program's own (root is not stopped by permissions), full: its
# two 4 KiB pages hold an old file and a filler.
FULL_DISK = r"""mount -t tmpfs -o size=8k tmpfs "$1" && cp "$2" "$1/old.png" && head -c 4096 /dev/zero > "$1/filler" &&
shift 2 && exec "$@"
"""


def pixels(picture):
    return run("convert", "-", "-depth", "8", "-type", "TrueColorAlpha", "txt:-", input=picture).stdout


def command_line_png(binary, text, path, *options):
    """The command line's PNG of the text, drawn as the window draws it: what the bars do not carry left out of them."""
    run(binary, text, "-o", str(path), "--lenient", *options, env=headless_env(), check=True)
    return path.read_bytes()


def save_as(window, path, replace=False):
    window.choose("Save As...")
    dialogs = wait_for(lambda: window.others("--name", DIALOG))
    assert dialogs, "Save As... opened no dialog"
    window.xdotool("windowfocus", "--sync", dialogs[0], "key", "ctrl+a", "type", "--delay", "15", "--", str(path))
    window.xdotool("key", "Return")
    if replace:
        asked = wait_for(lambda: [w for w in window.others("--name", DIALOG) if w != dialogs[0]])
        assert asked, f"replacing {path} was not confirmed"
        window.xdotool("windowfocus", "--sync", asked[0], "key", "y")
    assert wait_for(lambda: not window.others("--name", DIALOG)), f"the dialog stayed open after {path}"


@pytest.fixture
def home(folder):
    """A home of the test's own, where the program and Qt's dialogs keep what they remember."""
    (folder / "home").mkdir()
    return {"HOME": str(folder / "home"), "XDG_CONFIG_HOME": str(folder / "home" / ".config")}


COPIES = [
    pytest.param("tally line 39", lambda window: window.choose("Copy to Clipboard"), id="pop-up menu"),
    # The menu opens on its first item, Copy to Clipboard: Return alone copies.
    pytest.param("*keys 39", lambda window: window.choose("Copy to Clipboard", "Tab", "shift+F10"),
                 id="Tab, Shift+F10, Return"),
    pytest.param("alt c*2026", lambda window: window.xdotool("key", "alt+c"), id="Alt+C"),
    pytest.param("button 39*", lambda window: window.click(centre(COPY_BUTTON)), id="the button, clicked"),
]


@pytest.mark.parametrize("text, copy", COPIES)
def test_copy(binary, display, window, folder, text, copy):
    # The window's picture as it is: a copy brings no quiet zone, which a file has.
    reference = command_line_png(binary, text, folder / "reference.png", "--quiet-zone", "0")
    read = text.upper().replace("*", "")
    window.type_text(text)
    copy(window)
    # Until the program has handled the copy, the clipboard may still hold the last one.
    assert wait_for(lambda: decode(clipboard(display, "image/png")) == [read]), \
        f"decoded {decode(clipboard(display, 'image/png'))}"
    targets = set(clipboard(display, "TARGETS").split())
    assert b"image/svg+xml" in targets and not targets & TEXT_TARGETS, f"offered {targets}"
    (folder / "copy.svg").write_bytes(clipboard(display, "image/svg+xml"))
    assert decode(svg_to_png(folder / "copy.svg")) == [read], "the SVG did not read"
    assert pixels(clipboard(display, "image/png")) == pixels(reference), "the bitmap is not the command line's"


@pytest.mark.parametrize("name", ["saved.png", "saved.svg", "saved.pdf"])
def test_save_as(binary, start_program, home, folder, name):
    window = start_program(home)
    window.type_text("saved 39")
    save_as(window, folder / name)
    assert wait_for(lambda: decode_file(folder / name) == ["SAVED 39"]), f"{name} did not read"
    if name.endswith(".png"):
        reference = command_line_png(binary, "saved 39", folder / "reference.png")
        assert pixels((folder / name).read_bytes()) == pixels(reference), "the saved PNG is not the command line's"
    assert window.close() == 0, "the program did not end cleanly after a save"


def test_save_on_full_disk(binary, start_program, home, folder):
    """Refused, it says so, leaves the old file as it was and the folder that the last save
    that worked, before this start, used."""
    saved, full = folder / "saved", folder / "full"
    saved.mkdir()
    full.mkdir()
    earlier = start_program(home)
    earlier.type_text("earlier 39")
    save_as(earlier, saved / "earlier.png")
    assert wait_for(lambda: decode_file(saved / "earlier.png") == ["EARLIER 39"]), "the earlier save did not read"
    assert earlier.close() == 0, "the program did not end cleanly after a save"

    # Qt's dialogs keep a last folder of their own; only the program's may lead back.
    pathlib.Path(home["XDG_CONFIG_HOME"], "QtProject.conf").unlink(missing_ok=True)
    old = command_line_png(binary, "OLD 39", folder / "old.png")
    window = start_program(home, ["unshare", "--mount", "--propagation", "private", "sh", "-c", FULL_DISK, "sh",
                                  str(full), str(folder / "old.png")])
    # The program's own view of the folder: only its mount namespace has the mount.
    inside = pathlib.Path(f"/proc/{window.process.pid}/root") / full.relative_to("/")
    window.type_text("NEW 39")
    save_as(window, full / "old.png", replace=True)
    # The box's words are left to the command line's tests: the same failure makes them.
    boxes = wait_for(window.boxes)
    assert boxes, "saving on a full disk failed without a message"
    window.close_box(boxes[0])
    left = sorted(p.name for p in inside.iterdir())
    assert left == ["filler", "old.png"] and (inside / "old.png").read_bytes() == old, \
        f"after saving on a full disk: {left}"
    save_as(window, "again.png")
    assert wait_for(lambda: decode_file(saved / "again.png") == ["NEW 39"]), f"again.png not saved in {saved}"
