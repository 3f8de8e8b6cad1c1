"""Real parts for the end-to-end tests: an X server of our own, the program as
its own process, the X clipboard, a CUPS server with a PDF printer, and a
barcode decoder. Everything started here is stopped again, whatever happens."""

import contextlib
import os
import pathlib
import re
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay, protocol

WINDOW_TITLE = "^ Tallyline$"
STEP_TIMEOUT = 20
# A loaded machine can take long to start the program for the first time.
START_TIMEOUT = 60


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)


def wait_for(predicate, timeout=STEP_TIMEOUT, interval=0.1):
    """The predicate's first true value, or None once the time is up."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(interval)


@contextlib.contextmanager
def xvfb():
    """An X server on a free display; yields the display name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
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


def xdotool(display, *arguments):
    result = subprocess.run(["xdotool", *arguments], env=dict(os.environ, DISPLAY=display),
                            capture_output=True, text=True, timeout=STEP_TIMEOUT)
    return result.stdout


class Program:
    """The program running on a display, with its main window found."""

    def __init__(self, binary, display, extra_env=None):
        env = dict(os.environ, DISPLAY=display)
        env.pop("QT_QPA_PLATFORM", None)
        env.update(extra_env or {})
        self.display = display
        # A file, not a pipe: programs that the window starts inherit it and
        # may outlive it.
        self.log = tempfile.TemporaryFile()
        self.process = subprocess.Popen([binary], env=env, stdout=self.log, stderr=self.log)

    def find_window(self):
        found = wait_for(lambda: self.xdotool("search", "--onlyvisible", "--name", WINDOW_TITLE).split(),
                         timeout=START_TIMEOUT)
        check(found, "the window did not appear")
        self.window = found[0]
        geometry = dict(line.split("=") for line in self.xdotool("getwindowgeometry", "--shell", self.window).split())
        self.left, self.top = int(geometry["X"]), int(geometry["Y"])

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait(timeout=STEP_TIMEOUT)
        self.log.seek(0)
        sys.stderr.write(self.log.read().decode(errors="replace"))
        self.log.close()

    def xdotool(self, *arguments):
        return xdotool(self.display, *arguments)

    def click(self, x, y, button):
        """Clicks at a point of the window's client area."""
        self.xdotool("mousemove", str(self.left + x), str(self.top + y))
        self.xdotool("click", str(button))

    def type_text(self, text):
        """Clicks into Text1 and replaces its text by typing."""
        self.xdotool("windowfocus", "--sync", self.window)
        self.click(160 + 124, 8 + 14, 1)
        self.xdotool("key", "ctrl+a", "BackSpace")
        self.xdotool("type", "--delay", "15", text)

    def choose_from_menu(self, entry):
        """Opens the pop-up menu on Picture1 and chooses an entry by its place."""
        self.click(20, 60, 3)
        check(wait_for(self.popup_open, timeout=5), "the pop-up menu did not open")
        self.xdotool("key", *(["Down"] * (entry + 1)), "Return")

    def popup_open(self):
        return len(self.xdotool("search", "--onlyvisible", "--name", ".*").split()) > 1 or None

    def close(self):
        """Closes the window as its title bar's close button would."""
        connection = xdisplay.Display(self.display)
        try:
            window = connection.create_resource_object("window", int(self.window))
            protocols = connection.intern_atom("WM_PROTOCOLS")
            delete = connection.intern_atom("WM_DELETE_WINDOW")
            message = protocol.event.ClientMessage(window=window, client_type=protocols,
                                                   data=(32, [delete, X.CurrentTime, 0, 0, 0]))
            window.send_event(message)
            # A round trip, not a flush: a request still buffered when the
            # connection closes may never reach the server.
            connection.sync()
        finally:
            connection.close()

    def wait_for_exit(self, timeout=10):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            return None


@contextlib.contextmanager
def program(binary, display, extra_env=None):
    running = Program(binary, display, extra_env)
    try:
        running.find_window()
        yield running
    finally:
        running.stop()


def clipboard(display, target):
    result = subprocess.run(["xclip", "-selection", "clipboard", "-t", target, "-o"],
                            env=dict(os.environ, DISPLAY=display), capture_output=True,
                            timeout=STEP_TIMEOUT)
    return result.stdout


def decode(picture_path):
    """What zbar reads from a picture laid on a white page."""
    with tempfile.TemporaryDirectory() as folder:
        page = os.path.join(folder, "page.png")
        subprocess.run(["convert", picture_path, "-bordercolor", "white", "-border", "40", page],
                       check=True, timeout=STEP_TIMEOUT)
        result = subprocess.run(["zbarimg", "-q", "--raw", page], capture_output=True, text=True,
                                timeout=STEP_TIMEOUT)
    return result.stdout.splitlines()


def decode_pdf(pdf_path):
    """What zbar reads from a printed page, rasterised at 300 dots per inch."""
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["pdftoppm", "-r", "300", "-png", "-singlefile", str(pdf_path),
                        os.path.join(folder, "page")], check=True, timeout=60)
        return decode(os.path.join(folder, "page.png"))


def pdf_pages(pdf_path):
    info = subprocess.run(["pdfinfo", str(pdf_path)], capture_output=True, text=True,
                          timeout=STEP_TIMEOUT).stdout
    match = re.search(r"^Pages:\s+(\d+)", info, re.MULTILINE)
    return int(match.group(1)) if match else 0


def cups_running():
    result = subprocess.run(["lpstat", "-r"], capture_output=True, text=True, timeout=STEP_TIMEOUT)
    return "not running" not in result.stdout and result.returncode == 0


@contextlib.contextmanager
def cups_pdf_printer():
    """A CUPS server whose default printer writes PDF files; yields the
    folder the files appear in. A server started here is stopped again."""
    started = None
    if not cups_running():
        started = subprocess.Popen(["cupsd", "-f"], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        check(wait_for(cups_running), "cupsd did not start")
    try:
        subprocess.run(["lpadmin", "-p", "PDF", "-v", "cups-pdf:/", "-E", "-P",
                        "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"],
                       check=True, capture_output=True, timeout=STEP_TIMEOUT)
        subprocess.run(["lpadmin", "-d", "PDF"], check=True, capture_output=True,
                       timeout=STEP_TIMEOUT)
        yield pathlib.Path.home() / "PDF"
    finally:
        if started is not None:
            started.terminate()
            started.wait(timeout=STEP_TIMEOUT)


def new_pdfs(folder, before):
    """The PDF files in a folder that are not in before, once complete."""
    def complete():
        if not folder.is_dir():
            return None
        fresh = sorted(set(folder.glob("*.pdf")) - before)
        return fresh if fresh and all(pdf_pages(pdf) > 0 for pdf in fresh) else None
    return complete


def main(test):
    """Runs test(binary) with the program's path from the command line."""
    check(len(sys.argv) == 2, "usage: test BINARY")
    test(sys.argv[1])
    print("PASS")
