"""Real parts for the end-to-end tests, all the test's own: an X server, the
program's process, the X clipboard, a CUPS server with a PDF printer, the
accessibility bus; and barcode readers that share no code with the program."""

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
    """A message that has to look again (decode a picture, say) is a function, called only on failure."""
    if not condition:
        sys.exit("FAIL: " + (message() if callable(message) else message))


def wait_for(predicate, timeout=STEP_TIMEOUT):
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
    # Ended with all it started, and with the test.
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


def grey(picture):
    pgm = run("convert", "-", "-colorspace", "gray", "-depth", "8", "pgm:-", input=picture).stdout
    header = re.match(rb"P5\s+(\d+)\s+(\d+)\s+255\s", pgm)
    return int(header[1]), int(header[2]), pgm[header.end():]


def bar_row(picture, y):
    # "#" for a dark column, "." for a light one.
    width, _, levels = grey(picture)
    return "".join("#" if level < 128 else "." for level in levels[y * width:(y + 1) * width])


def svg_to_png(path, *options):
    return run("rsvg-convert", "-b", "white", *options, str(path), timeout=SLOW_TIMEOUT).stdout


def pdf_to_png(path, dots_per_inch):
    # Smoothed, as a printer's raster processor would: unsmoothed, poppler
    # widens every shape by the dot its edge touches.
    return run("pdftoppm", "-r", str(dots_per_inch), "-png", "-singlefile", str(path), timeout=SLOW_TIMEOUT).stdout


def decode(png):
    # zbar wants a quiet zone, which a bitmap of the barcode alone lacks.
    with tempfile.NamedTemporaryFile(suffix=".png") as page:
        run("convert", "png:-", "-bordercolor", "white", "-border", "40", page.name, input=png)
        return run("zbarimg", "-q", "--raw", page.name, text=True).stdout.splitlines()


def decode_file(path):
    draw = {".svg": svg_to_png, ".pdf": lambda pdf: pdf_to_png(pdf, 300)}.get(path.suffix, pathlib.Path.read_bytes)
    return decode(draw(path)) if path.exists() else []


def scan_grade(png):
    with tempfile.NamedTemporaryFile(suffix=".png") as page:
        page.write(png)
        page.flush()
        graded = run(os.environ["TALLYLINE_SCANGRADE"], page.name, text=True, timeout=SLOW_TIMEOUT)
    check(graded.returncode == 0, f"the page could not be graded: {graded.stderr}")
    return json.loads(graded.stdout)


@contextlib.contextmanager
def xvfb():
    # -noreset: a reset when a program leaves would refuse the next one for a moment.
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


class Program:
    # Points are in the window's client area.

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

    def type_text(self, text):
        self.xdotool("windowfocus", "--sync", self.window, "mousemove", "--window", self.window, str(160 + 124),
                     str(8 + 14), "click", "1", "key", "ctrl+a", "BackSpace", "type", "--delay", "15", text)

    def choose_from_menu(self, entry, *keys):
        """Opens the pop-up menu by those keys, or by a right click on the picture."""
        opening = ["key", *keys] if keys else ["mousemove", "--window", self.window, "20", "60", "click", "3"]
        self.xdotool(*opening)
        check(wait_for(lambda: self.others("--classname", "^tallyline$")), "the pop-up menu did not open")
        self.xdotool("key", *(["Down"] * (entry + 1)), "Return")

    def close(self):
        # As the title bar's close button would; the exit status, None if still running.
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
    # A launcher, if given, ends by running the program.
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


@contextlib.contextmanager
def cups_pdf_printer():
    # Yields the PDF files' folder. Meanwhile this process and all it starts use the
    # server, with LPDEST and PRINTER cleared and a HOME where no ~/.cups/lpoptions is.
    saved = dict(os.environ)
    with tempfile.TemporaryDirectory(prefix="tallyline-cups-") as folder:
        root = pathlib.Path(folder)
        root.chmod(0o755)
        for name in ("conf", "cache", "state", "log", "pdf", "home", "spool", "spool/tmp", "pdf-spool"):
            (root / name).mkdir()
            (root / name).chmod(0o1777 if "spool" in name else 0o755)  # filters run as lp and write in the spools
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
    """A session bus on the display, with a home of its own; yields the environment that puts a program on it."""
    with tempfile.TemporaryDirectory() as home:
        runtime = os.path.join(home, "runtime")
        os.mkdir(runtime, 0o700)
        extra = {"HOME": home, "XDG_RUNTIME_DIR": runtime, **{f"XDG_{kind.upper()}_HOME": os.path.join(home, kind)
                                                            for kind in ("config", "cache", "data")}}
        with own_process_group(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               dict(os.environ, DISPLAY=display, **extra)) as bus:
            extra["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
            check(extra["DBUS_SESSION_BUS_ADDRESS"], "the session bus did not start")
            yield extra


@contextlib.contextmanager
def screen_reader(display):
    """The accessibility bus on a session bus, read from this process as a screen reader
    reads it; yields the environment that puts the program on them, and pyatspi."""
    with session_bus(display) as extra, own_process_group(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                                          dict(os.environ, DISPLAY=display, **extra)):
        os.environ.update(extra, DISPLAY=display)
        import pyatspi  # pylint: disable=import-outside-toplevel  # it joins the bus it finds at import
        yield dict(extra, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"), pyatspi


def main(test):
    # A test told to end (a timeout, say) still stops what it started.
    check(len(sys.argv) == 2, "usage: test BINARY")
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit("FAIL: told to end"))
    test(sys.argv[1])
    print("PASS")
