"""What the end-to-end tests share: the window's geometry as designed, the program's process and the gestures that
drive it, the processes that stand in for a desktop, and readers that share no code with the program. conftest.py's
fixtures start and stop the real parts."""

import contextlib
import ctypes
import os
import pathlib
import re
import signal
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay, protocol

STEP_TIMEOUT = 20
# A loaded machine can take long to start the program for the first time, or to print.
SLOW_TIMEOUT = 60
LIBC = ctypes.CDLL(None, use_errno=True)
PR_SET_PDEATHSIG, PR_SET_CHILD_SUBREAPER = 1, 36
# Processes whose parent ends before them come to this one, which reaps them, instead of to the machine's first
# process, which here leaves them as zombies.
LIBC.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)

# The main window as designed (design/Geometry.h), in twips: the points the tests click and the boxes they
# read on screen follow the design, not a screenshot, so a control that moved is found where it should have stood.
TWIPS_PER_PIXEL = 15


def design_box(left, top, width, height):
    # 15 is odd, so whole twips never fall halfway between two pixels.
    return tuple(round(twips / TWIPS_PER_PIXEL) for twips in (left, top, width, height))


def centre(box):
    x, y, width, height = box
    return x + width // 2, y + height // 2


WINDOW = design_box(150, 1755, 7785, 3195)         # its client area: 519 x 213
BARCODE_PICTURE = design_box(120, 720, 615, 1335)  # as designed; it widens with the text
TEXT_BOX = design_box(2400, 120, 3735, 420)
COPY_BUTTON = design_box(5760, 2520, 1455, 495)
LOGO = design_box(1380, 2566, 3735, 330)
TEXT_LABEL = design_box(720, 165, 1470, 255)       # "BarCode Text :"
HINT_LABEL = design_box(1440, 2325, 3330, 240)     # "Right-Click to Copy to Clipboard"
WINDOW_SIZE = WINDOW[2:]
# Inside the picture however short the text, and so on the barcode.
BARCODE_CENTRE = centre(BARCODE_PICTURE)
TEXT_BOX_CENTRE = centre(TEXT_BOX)
# The pop-up menu, top to bottom.
MENU_ITEMS = ("Copy to Clipboard", "Print", "Save As...")
TITLE = " Tallyline"
SAMPLE_TEXT = "TALLY-2026"  # the text the window opens with


def wait_for(predicate, timeout=STEP_TIMEOUT):
    deadline = time.monotonic() + timeout
    while not (value := predicate()) and time.monotonic() < deadline:
        time.sleep(0.1)
    return value


def run(*command, timeout=STEP_TIMEOUT, **options):
    return subprocess.run(command, capture_output=True, timeout=timeout, **options)


def headless_env(**extra):
    # No display at all: nothing names an X or Wayland server or a Qt platform; and no runtime folder, as in a job
    # without a session, of which Qt complains.
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR")}
    return dict(env, LC_ALL="C.UTF-8", **extra)


# Mounts the tmpfs, lays the files there, runs the command and copies out what it left.
_TMPFS = r"""mount -t tmpfs -o "size=$2" tmpfs "$1" && cp -a "$3/." "$1/" || exit 99
if [ "$4" = read-only ]; then mount -o remount,ro "$1" || exit 99; fi
mountpoint=$1 left=$5; shift 5; "$@"; status=$?; cp -a "$mountpoint/." "$left/"; exit $status
"""
PAGE = 4096  # a tmpfs's unit of space


def on_tmpfs(mountpoint, size, command, files, read_only=False, env=None):
    """Runs a command in a private mount namespace with a tmpfs of that size at mountpoint
    holding files (name to contents); returns its result and the files it left there."""
    mountpoint.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as stage, tempfile.TemporaryDirectory() as left:
        for name, contents in files.items():
            pathlib.Path(stage, name).write_bytes(contents)
        result = run("unshare", "--mount", "--propagation", "private", "sh", "-c", _TMPFS, "sh", str(mountpoint),
                     size, stage, "read-only" if read_only else "writable", left, *command,
                     env=env or headless_env(), text=True)
        found = list(pathlib.Path(left).iterdir())
        assert all(path.is_file() and not path.is_symlink() for path in found), f"not only files left: {found}"
        return result, {path.name: path.read_bytes() for path in found}


def tallyline(binary, *arguments, env=None, **options):
    """The program as a command with no display, its output as text."""
    return run(binary, *arguments, env=env or headless_env(), **{"text": True, "timeout": SLOW_TIMEOUT, **options})


def _session_members(session):
    members = []
    for entry in os.listdir("/proc"):
        with contextlib.suppress(OSError, ValueError, IndexError):
            # Fields after the command's name, which may hold spaces: state, ppid, pgrp, session.
            if entry.isdigit() and int(pathlib.Path("/proc", entry, "stat").read_text().rsplit(")", 1)[1].split()[3]) \
                    == session:
                members.append(int(entry))
    return members


def end_session(process, timeout=STEP_TIMEOUT):
    """Ends a process that leads a session of its own and everything in that session, and waits until each is gone.
    What a bus starts on demand (the accessibility registry) stays in the bus's session, outlives the bus by a
    moment and may still write in its folder: that folder can go only after them."""
    def signal_all(number):
        for pid in [process.pid, *_session_members(process.pid)]:
            with contextlib.suppress(ProcessLookupError):
                os.kill(pid, number)

    signal_all(signal.SIGTERM)
    deadline = time.monotonic() + timeout
    try:
        process.wait(timeout=timeout)
    except subprocess.TimeoutExpired:
        signal_all(signal.SIGKILL)
        process.wait(timeout=STEP_TIMEOUT)
    while members := _session_members(process.pid):
        # Orphans are this process's children, being its subreaper; others' children their parents reap.
        for pid in members:
            with contextlib.suppress(ChildProcessError):
                os.waitpid(pid, os.WNOHANG)
        if time.monotonic() > deadline:
            signal_all(signal.SIGKILL)
        time.sleep(0.05)


@contextlib.contextmanager
def own_session(command, env=None, **options):
    """Runs a command in a session of its own, ended with all it started when the block
    ends, and with this process if that dies first."""
    options = {"stdout": subprocess.PIPE, "stderr": subprocess.DEVNULL, "text": True, **options}
    process = subprocess.Popen(command, env=env, start_new_session=True,
                               preexec_fn=lambda: LIBC.prctl(PR_SET_PDEATHSIG, signal.SIGTERM), **options)
    try:
        yield process
    finally:
        end_session(process)


def grey(picture):
    pgm = run("convert", "-", "-colorspace", "gray", "-depth", "8", "pgm:-", input=picture).stdout
    header = re.match(rb"P5\s+(\d+)\s+(\d+)\s+255\s", pgm)
    return int(header[1]), int(header[2]), pgm[header.end():]


def dark_rows(picture):
    """The picture's rows, "#" for a dark pixel and "." for a light one."""
    width, height, levels = grey(picture)
    dots = levels.translate(bytes(35 if level < 128 else 46 for level in range(256))).decode("ascii")
    return [dots[y * width:(y + 1) * width] for y in range(height)]


def bar_row(picture, y=None):
    """The row y, or else the row across the bars: the one with the most dark pixels."""
    rows = dark_rows(picture)
    return rows[y] if y is not None else max(rows, key=lambda row: row.count("#"))


def widths(row):
    """The widths of the bars and spaces of a row, from its first bar to its last."""
    return [len(element) for element in re.findall(r"#+|\.+", row.strip("."))]


def svg_to_png(path, *options):
    # A renderer may forgive what other readers of XML refuse.
    run("xmllint", "--noout", str(path), check=True)
    return run("rsvg-convert", "-b", "white", *options, str(path), timeout=SLOW_TIMEOUT).stdout


def pdf_to_png(path, dots_per_inch, page=1):
    # Smoothed, as a printer's raster processor would: unsmoothed, poppler widens every shape by the dot its edge
    # touches.
    return run("pdftoppm", "-r", str(dots_per_inch), "-f", str(page), "-l", str(page), "-png", "-singlefile", str(path),
               timeout=SLOW_TIMEOUT).stdout


def decode(picture, margin=40):
    """What zbar reads from the picture on a white page with that margin: a bitmap of
    the barcode alone lacks the quiet zone that zbar wants."""
    with tempfile.NamedTemporaryFile(suffix=".png") as page:
        run("convert", "-", "-bordercolor", "white", "-border", str(margin), page.name, input=picture)
        return run("zbarimg", "-q", "--raw", page.name, text=True).stdout.splitlines()


def decode_file(path):
    draw = {".svg": svg_to_png, ".pdf": lambda pdf: pdf_to_png(pdf, 300)}.get(path.suffix, pathlib.Path.read_bytes)
    return decode(draw(path)) if path.exists() else []


def xdotool(display, *arguments):
    return run("xdotool", *arguments, env=dict(os.environ, DISPLAY=display), text=True).stdout


def visible_windows(display, *criteria):
    return xdotool(display, "search", "--onlyvisible", *criteria).split()


def clipboard(display, target):
    return run("xclip", "-selection", "clipboard", "-t", target, "-o", env=dict(os.environ, DISPLAY=display)).stdout


class Program:
    # Points are in the window's client area.

    def __init__(self, process, display, log):
        self.process, self.display, self.log, self.window = process, display, log, None

    def output(self):
        # pread leaves alone the file offset that the program shares.
        return os.pread(self.log.fileno(), os.fstat(self.log.fileno()).st_size, 0).decode(errors="replace")

    def xdotool(self, *arguments):
        return xdotool(self.display, *arguments)

    def others(self, *criteria):
        # A message box has the main window's title, a pop-up menu has none.
        return [w for w in visible_windows(self.display, *criteria) if w != self.window]

    def boxes(self):
        return self.others("--name", f"^{TITLE}$")

    def close_box(self, box):
        self.xdotool("windowfocus", "--sync", box, "key", "Return")
        assert wait_for(lambda: not self.boxes()), "the message did not close"

    def click(self, point, button=1):
        self.xdotool("mousemove", "--window", self.window, *map(str, point), "click", str(button))

    def type_text(self, text):
        """Replaces the barcode's text, as typed."""
        self.xdotool("windowfocus", "--sync", self.window)
        self.click(TEXT_BOX_CENTRE)
        self.xdotool("key", "ctrl+a", "BackSpace", "type", "--delay", "15", "--", text)

    def choose(self, item, *keys):
        """Chooses an item of the pop-up menu, opened by those keys or by a right click on the barcode."""
        if keys:
            self.xdotool("key", *keys)
        else:
            self.click(BARCODE_CENTRE, button=3)
        assert wait_for(lambda: self.others("--classname", "^tallyline$")), "the pop-up menu did not open"
        # A menu opened from the keyboard starts on its first item; a right press chooses none.
        self.xdotool("key", *["Down"] * (MENU_ITEMS.index(item) + (0 if keys else 1)), "Return")

    def close(self):
        # As the title bar's close button would; the exit status, None if still running.
        connection = xdisplay.Display(self.display)
        window, atom = connection.create_resource_object("window", int(self.window)), connection.intern_atom
        window.send_event(protocol.event.ClientMessage(window=window, client_type=atom("WM_PROTOCOLS"),
                                                       data=(32, [atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
        # A round trip, not a flush: a request still buffered when the connection closes may never reach the server.
        connection.sync()
        connection.close()
        with contextlib.suppress(subprocess.TimeoutExpired):
            return self.process.wait(timeout=STEP_TIMEOUT)


@contextlib.contextmanager
def program(binary, display, extra_env=None, launcher=()):
    """The program's window on the display, with a runtime folder of its own; a launcher,
    if given, ends by running the program. Its output goes to standard error at the end."""
    with tempfile.TemporaryDirectory(prefix="tallyline-run-") as runtime, tempfile.TemporaryFile() as log:
        os.chmod(runtime, 0o700)
        env = {**os.environ, "DISPLAY": display, "XDG_RUNTIME_DIR": runtime, **(extra_env or {})}
        env.pop("QT_QPA_PLATFORM", None)
        # A file, not a pipe: programs that the window starts inherit it and may outlive it.
        with own_session([*launcher, binary], env, stdout=log, stderr=log) as process:
            running = Program(process, display, log)
            try:
                found = wait_for(running.boxes, timeout=SLOW_TIMEOUT)
                assert found, "the window did not appear"
                running.window = found[0]
                yield running
            finally:
                process.kill()
                process.wait(timeout=STEP_TIMEOUT)
                sys.stderr.write(running.output())
        # Gone from the screen too, so that the next program's window is not taken for this one.
        wait_for(lambda: running.window not in visible_windows(display, "--name", f"^{TITLE}$"))
