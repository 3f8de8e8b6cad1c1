"""Real parts for the end-to-end tests: an X server, the program's process, the X
clipboard, a CUPS server with a PDF printer, a session bus and the accessibility
bus, all the test's own, and barcode readers."""

import contextlib
import ctypes
import json
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
# Processes whose parent ends before them come to this one, which reaps them,
# instead of to the machine's first process, which here leaves them as zombies.
LIBC.prctl(36, 1, 0, 0, 0)  # PR_SET_CHILD_SUBREAPER


def check(condition, message):
    if not condition:
        sys.exit("FAIL: " + message)


def wait_for(predicate, timeout=STEP_TIMEOUT):
    """The predicate's first true value, or its last value once the time is up."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()) and time.monotonic() < deadline:
        time.sleep(0.1)
    return value


def run(*command, timeout=STEP_TIMEOUT, **options):
    return subprocess.run(command, capture_output=True, timeout=timeout, **options)


def headless_env(**extra):
    # No display at all: nothing names an X or Wayland server or a Qt platform.
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    return dict(env, LC_ALL="C.UTF-8", **extra)


@contextlib.contextmanager
def own_process_group(command, env=None):
    """A process in a group of its own, ended with all it started, and with the test."""
    process = subprocess.Popen(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                               start_new_session=True, preexec_fn=lambda: LIBC.prctl(1, signal.SIGTERM))
    try:
        yield process
    finally:
        with contextlib.suppress(ProcessLookupError):
            os.killpg(process.pid, signal.SIGTERM)
        process.wait(timeout=STEP_TIMEOUT)
        # Reaps all the group left, killing what outlasts the step.
        deadline = time.monotonic() + STEP_TIMEOUT
        with contextlib.suppress(ChildProcessError, ProcessLookupError):
            while os.waitpid(-process.pid, os.WNOHANG)[0] == 0:
                if time.monotonic() > deadline:
                    os.killpg(process.pid, signal.SIGKILL)
                time.sleep(0.05)


def crop(png, box, format="png"):
    """The part of a picture at box, (x, y, width, height), as a picture of that format."""
    x, y, width, height = box
    return run("convert", "png:-", "-crop", f"{width}x{height}+{x}+{y}", "+repage", "-depth", "8", f"{format}:-",
               input=png).stdout


def grey(picture):
    """A picture's width, height and grey levels, a byte a pixel, row by row."""
    pgm = run("convert", "-", "-colorspace", "gray", "-depth", "8", "pgm:-", input=picture).stdout
    header = re.match(rb"P5\s+(\d+)\s+(\d+)\s+255\s", pgm)
    return int(header[1]), int(header[2]), pgm[header.end():]


def bar_row(picture, y):
    """One row of a picture as "#" for dark and "." for light columns."""
    width, _, levels = grey(picture)
    return "".join("#" if level < 128 else "." for level in levels[y * width:(y + 1) * width])


def pixels(picture):
    """A picture's size and every pixel's colour, as text: the same for the same picture."""
    return run("convert", "-", "-depth", "8", "-type", "TrueColorAlpha", "txt:-", input=picture).stdout


def svg_to_png(path, *options):
    """An SVG file drawn by librsvg, which shares no code with the program, on white."""
    return run("rsvg-convert", "-b", "white", *options, str(path), timeout=SLOW_TIMEOUT).stdout


def pdf_to_png(path, dots_per_inch, *options):
    """The first page of a PDF drawn by poppler. Smoothed, as a printer's raster
    processor would: unsmoothed, poppler widens every shape by the dot its edge touches."""
    return run("pdftoppm", "-r", str(dots_per_inch), *options, "-png", "-singlefile", str(path),
               timeout=SLOW_TIMEOUT).stdout


def decode(png):
    """What zbar reads from a picture laid on a white page."""
    with tempfile.NamedTemporaryFile(suffix=".png") as page:
        run("convert", "png:-", "-bordercolor", "white", "-border", "40", page.name, input=png)
        return run("zbarimg", "-q", "--raw", page.name, text=True).stdout.splitlines()


def decode_file(path):
    """What zbar reads from a PNG, SVG or PDF file; nothing while it is not there."""
    draw = {".svg": svg_to_png, ".pdf": lambda pdf: pdf_to_png(pdf, 300)}.get(path.suffix, pathlib.Path.read_bytes)
    return decode(draw(path)) if path.exists() else []


def scan_grade(png):
    """Our verifier's figures for the barcode on a page (tools/scangrade)."""
    with tempfile.NamedTemporaryFile(suffix=".png") as page:
        page.write(png)
        page.flush()
        graded = run(os.environ["TALLYLINE_SCANGRADE"], page.name, text=True, timeout=SLOW_TIMEOUT)
    check(graded.returncode == 0, f"the page could not be graded: {graded.stderr}")
    return json.loads(graded.stdout)


# Mounts the tmpfs, lays the files there, runs the command and copies out what it left.
_TMPFS = r"""mount -t tmpfs -o "size=$2" tmpfs "$1" && cp -a "$3/." "$1/" || exit 99
if [ "$4" = read-only ]; then mount -o remount,ro "$1" || exit 99; fi
mountpoint=$1 left=$5; shift 5; "$@"; status=$?; cp -a "$mountpoint/." "$left/"; exit $status
"""


def on_tmpfs(mountpoint, size, command, files=None, read_only=False, **options):
    """Runs a command with a tmpfs of that size at mountpoint, in a private mount namespace,
    holding files (name to contents), read-only if asked; returns its result and the files left."""
    mountpoint = pathlib.Path(mountpoint)
    mountpoint.mkdir(parents=True, exist_ok=True)
    with tempfile.TemporaryDirectory() as stage, tempfile.TemporaryDirectory() as left:
        for name, contents in (files or {}).items():
            pathlib.Path(stage, name).write_bytes(contents)
        result = run("unshare", "--mount", "--propagation", "private", "sh", "-c", _TMPFS, "sh", str(mountpoint),
                     size, stage, "read-only" if read_only else "writable", left, *command, **options)
        found = list(pathlib.Path(left).iterdir())
        check(all(path.is_file() and not path.is_symlink() for path in found), f"not only files left: {found}")
        return result, {path.name: path.read_bytes() for path in found}


@contextlib.contextmanager
def xvfb():
    """An X server on a free display that does not reset when a program leaves, which
    would refuse the next one for a moment; yields the display name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    try:
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        yield ":" + number
    finally:
        server.terminate()
        server.wait(timeout=STEP_TIMEOUT)


def clipboard(display, target):
    return run("xclip", "-selection", "clipboard", "-t", target, "-o", env=dict(os.environ, DISPLAY=display)).stdout


def decode_clipboard(display):
    return decode(clipboard(display, "image/png"))


class Program:
    """The program's process and its main window. Points are in the window's client area."""

    def __init__(self, process, display, log):
        self.process, self.display, self.log, self.window = process, display, log, None

    def output(self):
        # pread leaves alone the file offset that the program shares.
        return os.pread(self.log.fileno(), os.fstat(self.log.fileno()).st_size, 0).decode(errors="replace")

    def xdotool(self, *arguments):
        return run("xdotool", *arguments, env=dict(os.environ, DISPLAY=self.display), text=True).stdout

    def others(self, *criteria):
        # A message box has the main window's title, a pop-up menu has none.
        return [w for w in self.xdotool("search", "--onlyvisible", *criteria).split() if w != self.window]

    def boxes(self):
        return self.others("--name", "^ Tallyline$")

    def close_box(self, box):
        self.xdotool("windowfocus", "--sync", box, "key", "Return")
        check(wait_for(lambda: not self.boxes()), "the message did not close")

    def geometry(self, window_id):
        shell = self.xdotool("getwindowgeometry", "--shell", window_id).split()
        return {key: int(value) for key, value in (line.split("=") for line in shell) if key != "SCREEN"}

    def move_to(self, x, y, *then):
        self.xdotool("mousemove", "--window", self.window, str(x), str(y), *then)

    def type_text(self, text):
        """Clicks into Text1 and replaces its text by typing."""
        self.xdotool("windowfocus", "--sync", self.window)
        self.move_to(160 + 124, 8 + 14, "click", "1", "key", "ctrl+a", "BackSpace", "type", "--delay", "15", text)

    def open_menu(self):
        self.move_to(20, 60, "click", "3")
        check(wait_for(lambda: self.others("--classname", "^tallyline$")), "the pop-up menu did not open")

    def choose_from_menu(self, entry):
        self.open_menu()
        self.xdotool("key", *(["Down"] * (entry + 1)), "Return")

    def close(self):
        """Closes the window as its title bar's close button would; the exit status, None if still running."""
        connection = xdisplay.Display(self.display)
        window, atom = connection.create_resource_object("window", int(self.window)), connection.intern_atom
        window.send_event(protocol.event.ClientMessage(window=window, client_type=atom("WM_PROTOCOLS"),
                                                       data=(32, [atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
        # A round trip, not a flush: a request still buffered when the
        # connection closes may never reach the server.
        connection.sync()
        connection.close()
        with contextlib.suppress(subprocess.TimeoutExpired):
            return self.process.wait(timeout=STEP_TIMEOUT)


@contextlib.contextmanager
def program(binary, display, extra_env=None, launcher=()):
    """The program started on a display (by a launcher that ends by running it, if given),
    once its window shows; killed if still running."""
    env = dict(os.environ, DISPLAY=display, **(extra_env or {}))
    env.pop("QT_QPA_PLATFORM", None)
    # A file, not a pipe: programs that the window starts inherit it and may outlive it.
    with tempfile.TemporaryFile() as log:
        running = Program(subprocess.Popen([*launcher, binary], env=env, stdout=log, stderr=log), display, log)
        try:
            found = wait_for(running.boxes, timeout=SLOW_TIMEOUT)
            check(found, "the window did not appear")
            running.window = found[0]
            yield running
        finally:
            running.process.kill()
            running.process.wait(timeout=STEP_TIMEOUT)
            sys.stderr.write(running.output())


# The private cupsd keeps all its files in a temporary folder and listens only
# on a socket there; clients find it through CUPS_SERVER and read its PPD files
# through CUPS_SERVERROOT. The cups-pdf backend reads only /etc/cups/cups-pdf.conf,
# so cupsd runs in a mount namespace of its own with our file bind-mounted over
# that one: the machine's own files and printers are never touched.
CUPS_CONF = {"cupsd.conf": """Listen {root}/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Policy default>
  JobPrivateValues none
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
""", "cups-files.conf": """ServerRoot {root}/conf
RequestRoot {root}/spool
TempDir {root}/spool/tmp
CacheDir {root}/cache
StateDir {root}/state
Printcap {root}/printcap
ErrorLog {root}/log/error_log
AccessLog {root}/log/access_log
PageLog {root}/log/page_log
User lp
Group lp
""", "cups-pdf.conf": """Out {root}/pdf
AnonDirName {root}/pdf
Spool {root}/pdf-spool
GSTmp {root}/pdf-spool
Log {root}/log
"""}
# Filters run as lp and write here.
CUPS_SHARED_FOLDERS = ("spool", "spool/tmp", "pdf-spool")


@contextlib.contextmanager
def cups_pdf_printer():
    """A private CUPS server whose default printer "PDF" writes PDF files; yields their
    folder. Meanwhile this process and all it starts use that server, with LPDEST and
    PRINTER cleared and a HOME of its own, where no ~/.cups/lpoptions can change a print."""
    saved = dict(os.environ)
    with tempfile.TemporaryDirectory(prefix="tallyline-cups-") as folder:
        root = pathlib.Path(folder)
        root.chmod(0o755)
        for name in ("conf", "cache", "state", "log", "pdf", "home") + CUPS_SHARED_FOLDERS:
            (root / name).mkdir()
            (root / name).chmod(0o1777 if name in CUPS_SHARED_FOLDERS else 0o755)
        for name, text in CUPS_CONF.items():
            (root / name).write_text(text.format(root=root))
        try:
            with own_process_group(["unshare", "--mount", "sh", "-c",
                                    'mount --bind "$1" /etc/cups/cups-pdf.conf && exec cupsd -f -c "$2" -s "$3"',
                                    "sh", root / "cups-pdf.conf", root / "cupsd.conf", root / "cups-files.conf"]):
                for name in ("LPDEST", "PRINTER"):
                    os.environ.pop(name, None)
                os.environ.update(CUPS_SERVER=str(root / "cups.sock"), CUPS_SERVERROOT=str(root / "conf"),
                                  HOME=str(root / "home"))
                check(wait_for(lambda: "scheduler is running" in run("lpstat", "-r", text=True).stdout),
                      "the private cupsd did not start")
                run("lpadmin", "-p", "PDF", "-v", "cups-pdf:/", "-E", "-P", "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd",
                    check=True)
                run("lpadmin", "-d", "PDF", check=True)
                yield root / "pdf"
        finally:
            os.environ.clear()
            os.environ.update(saved)


@contextlib.contextmanager
def session_bus(display):
    """A session bus on the display; yields the environment that puts a program on it."""
    with tempfile.TemporaryDirectory() as home:
        runtime = os.path.join(home, "runtime")
        os.mkdir(runtime, 0o700)
        extra = {"HOME": home, "XDG_CONFIG_HOME": os.path.join(home, "config"),
                 "XDG_CACHE_HOME": os.path.join(home, "cache"), "XDG_DATA_HOME": os.path.join(home, "data"),
                 "XDG_RUNTIME_DIR": runtime}
        with own_process_group(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               dict(os.environ, DISPLAY=display, **extra)) as bus:
            address = bus.stdout.readline().strip()
            check(address, "the session bus did not start")
            yield dict(extra, DBUS_SESSION_BUS_ADDRESS=address)


@contextlib.contextmanager
def screen_reader(display):
    """The accessibility bus, read from this process as a screen reader reads it; yields
    the environment that makes the program speak to it, and pyatspi."""
    with session_bus(display) as extra:
        with own_process_group(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                               dict(os.environ, DISPLAY=display, **extra)):
            os.environ.update(extra, DISPLAY=display)
            import pyatspi  # pylint: disable=import-outside-toplevel  # it joins the bus it finds at import
            yield dict(extra, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"), pyatspi


def application(pyatspi, name):
    """The running application of that name as a screen reader sees it, once it shows."""
    found = wait_for(lambda: next((app for app in pyatspi.Registry.getDesktop(0)
                                   if app is not None and app.name == name), None))
    check(found, f"no application {name!r} on the accessibility bus")
    return found


def descendants(accessible):
    for child in (accessible.getChildAtIndex(i) for i in range(accessible.childCount)):
        if child is not None:
            yield child
            yield from descendants(child)


def find(accessible, role, name=None):
    """The first descendant with that role name and, if given, that name; None if none."""
    return next((child for child in descendants(accessible)
                 if child.getRoleName() == role and (name is None or child.name == name)), None)


def main(test):
    """Runs test(binary); a test told to end (a timeout, say) still stops what it started."""
    check(len(sys.argv) == 2, "usage: test BINARY")
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit("FAIL: told to end"))
    test(sys.argv[1])
    print("PASS")
