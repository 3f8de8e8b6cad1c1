"""Real parts for the end-to-end tests: an X server of our own, the program as
its own process, the X clipboard, a CUPS server with a PDF printer, and a
barcode decoder. Everything started here is stopped again, whatever happens."""

import contextlib
import fcntl
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay, protocol

STEP_TIMEOUT = 20
# A loaded machine can take long to start the program for the first time, or to print.
SLOW_TIMEOUT = 60


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


def crop(png, box, format="png"):
    """The part of a picture at box, (x, y, width, height), as a picture of that format."""
    x, y, width, height = box
    return run("convert", "png:-", "-crop", f"{width}x{height}+{x}+{y}", "+repage", "-depth", "8", f"{format}:-",
               input=png).stdout


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
        check(number.isdigit(), "Xvfb did not report a display")
        yield ":" + number
    finally:
        server.terminate()
        server.wait(timeout=STEP_TIMEOUT)


class Program:
    """The program's process and its main window. Points are in the window's client area."""

    def __init__(self, process, display):
        self.process, self.display, self.window = process, display, None

    def xdotool(self, *arguments):
        return run("xdotool", *arguments, env=dict(os.environ, DISPLAY=self.display), text=True).stdout

    def others(self, *criteria):
        """The visible windows besides the main one that xdotool search finds by criteria.
        A message box has the main window's title, a pop-up menu has none."""
        return [w for w in self.xdotool("search", "--onlyvisible", *criteria).split() if w != self.window]

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
        """Opens the pop-up menu on Picture1 and chooses an entry by its place."""
        self.open_menu()
        self.xdotool("key", *(["Down"] * (entry + 1)), "Return")

    def close(self):
        """Closes the window as its title bar's close button would."""
        connection = xdisplay.Display(self.display)
        window, atom = connection.create_resource_object("window", int(self.window)), connection.intern_atom
        window.send_event(protocol.event.ClientMessage(window=window, client_type=atom("WM_PROTOCOLS"),
                                                       data=(32, [atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
        # A round trip, not a flush: a request still buffered when the
        # connection closes may never reach the server.
        connection.sync()
        connection.close()

    def exit_status(self):
        with contextlib.suppress(subprocess.TimeoutExpired):
            return self.process.wait(timeout=STEP_TIMEOUT)


@contextlib.contextmanager
def program(binary, display, extra_env=None):
    """The program started on a display, once its window shows; killed if still running."""
    env = dict(os.environ, DISPLAY=display, **(extra_env or {}))
    env.pop("QT_QPA_PLATFORM", None)
    # A file, not a pipe: programs that the window starts inherit it and may outlive it.
    with tempfile.TemporaryFile() as log:
        running = Program(subprocess.Popen([binary], env=env, stdout=log, stderr=log), display)
        try:
            found = wait_for(lambda: running.others("--name", "^ Tallyline$"), timeout=SLOW_TIMEOUT)
            check(found, "the window did not appear")
            running.window = found[0]
            yield running
        finally:
            running.process.kill()
            running.process.wait(timeout=STEP_TIMEOUT)
            log.seek(0)
            sys.stderr.write(log.read().decode(errors="replace"))


def decode_clipboard(display):
    return decode(clipboard(display, "image/png"))


def clipboard(display, target):
    return run("xclip", "-selection", "clipboard", "-t", target, "-o",
               env=dict(os.environ, DISPLAY=display)).stdout


def decode(png):
    """What zbar reads from a picture laid on a white page."""
    with tempfile.NamedTemporaryFile(suffix=".png") as page:
        run("convert", "png:-", "-bordercolor", "white", "-border", "40", page.name, input=png)
        return run("zbarimg", "-q", "--raw", page.name, text=True).stdout.splitlines()


def pdf_pages(pdf_path):
    match = re.search(r"^Pages:\s+(\d+)", run("pdfinfo", pdf_path, text=True).stdout, re.MULTILINE)
    return int(match.group(1)) if match else 0


def cups_running():
    status = run("lpstat", "-r", text=True)
    return status.returncode == 0 and "not running" not in status.stdout


@contextlib.contextmanager
def cups_pdf_printer():
    """A CUPS server whose default printer writes PDF files; yields their folder. Runs
    from other build folders share server and folder, so they take turns."""
    with open(os.path.join(tempfile.gettempdir(), "tallyline-e2e-cups.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        started = None if cups_running() else subprocess.Popen(
            ["cupsd", "-f"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            check(wait_for(cups_running), "cupsd did not start")
            run("lpadmin", "-p", "PDF", "-v", "cups-pdf:/", "-E", "-P",
                "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd", check=True)
            run("lpadmin", "-d", "PDF", check=True)
            yield pathlib.Path.home() / "PDF"
        finally:
            if started is not None:
                started.terminate()
                started.wait(timeout=STEP_TIMEOUT)


def new_pdfs(folder, before):
    """The PDF files in a folder that are not in before, once complete."""
    def complete():
        fresh = sorted(set(folder.glob("*.pdf")) - before)
        return fresh if fresh and all(pdf_pages(pdf) > 0 for pdf in fresh) else None
    return complete


def main(test):
    """Runs test(binary) with the program's path from the command line."""
    check(len(sys.argv) == 2, "usage: test BINARY")
    test(sys.argv[1])
    print("PASS")
