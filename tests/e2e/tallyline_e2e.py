"""Real parts for the end-to-end tests: an X server of our own, the program as
its own process, the X clipboard, a CUPS server of our own with a PDF printer,
and a barcode decoder. Everything started here is stopped again, whatever
happens."""

import contextlib
import ctypes
import json
import os
import pathlib
import plistlib
import re
import signal
import subprocess
import sys
import tarfile
import tempfile
import time
import urllib.parse

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

    def __init__(self, process, display, log):
        self.process, self.display, self.log, self.window = process, display, log, None

    def output(self):
        """What the program has written to its standard output and error so far."""
        # pread leaves alone the file offset that the program shares.
        return os.pread(self.log.fileno(), os.fstat(self.log.fileno()).st_size, 0).decode(errors="replace")

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
def program(binary, display, extra_env=None, launcher=()):
    """The program started on a display, once its window shows; killed if still running.
    A launcher is a command that ends by running the program in its own process."""
    env = dict(os.environ, DISPLAY=display, **(extra_env or {}))
    env.pop("QT_QPA_PLATFORM", None)
    # A file, not a pipe: programs that the window starts inherit it and may outlive it.
    with tempfile.TemporaryFile() as log:
        running = Program(subprocess.Popen([*launcher, binary], env=env, stdout=log, stderr=log), display, log)
        try:
            found = wait_for(lambda: running.others("--name", "^ Tallyline$"), timeout=SLOW_TIMEOUT)
            check(found, "the window did not appear")
            running.window = found[0]
            yield running
        finally:
            running.process.kill()
            running.process.wait(timeout=STEP_TIMEOUT)
            sys.stderr.write(running.output())


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


def rasterise(pdf_path, dpi):
    """A PDF's first page as PNG at dpi, smoothed as a printer's raster processor
    would. Unsmoothed, poppler widens every filled shape by the dots its edges
    touch, a dot too wide; smoothed, an edge dot that a shape barely touches
    comes out light grey, and a page binarised at half its reflectance holds
    the shapes' exact dots."""
    return run("pdftoppm", "-r", str(dpi), "-png", "-singlefile", pdf_path, timeout=SLOW_TIMEOUT).stdout


def scan_grade(png):
    """Our verifier's figures for the barcode on a page (tools/scangrade): the grade,
    and each scan line's parameters and bar and space widths in dots."""
    with tempfile.NamedTemporaryFile(suffix=".png") as page:
        page.write(png)
        page.flush()
        graded = run(os.environ["TALLYLINE_SCANGRADE"], page.name, text=True, timeout=SLOW_TIMEOUT)
    check(graded.returncode == 0, f"the page could not be graded: {graded.stderr}")
    return json.loads(graded.stdout)


SCAN_FIGURES = ("symbol_contrast", "min_edge_contrast", "modulation", "defects", "decodability", "module",
                "wide_to_narrow")


def describe_grade(figures):
    """The grade, and the first scan line's figures and distinct widths, for a test's output."""
    if not figures["scans"]:
        return f"grade {figures['grade']:.1f} ({figures['letter']}); no bars found"
    line = figures["scans"][0]
    numbers = ", ".join(f"{name} {line[name]:.2f}" for name in SCAN_FIGURES)
    widths = sorted({round(width, 1) for width in line["widths"]})
    return (f"grade {figures['grade']:.1f} ({figures['letter']}); {numbers}; widths in dots {widths}, "
            f"binarised {sorted(set(line['dot_runs']))}")


def pdf_images(pdf_path):
    """The raster images that a PDF file holds, one line each as pdfimages lists them."""
    listed = run("pdfimages", "-list", pdf_path, text=True).stdout.splitlines()
    return listed[2:]  # below a heading of two lines


def headless_env(**extra):
    """The environment of a shell with no display at all: nothing names an X or
    Wayland server or a Qt platform. The C locale's texts, UTF-8 arguments."""
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    return dict(env, LC_ALL="C.UTF-8", **extra)


def grey(picture):
    """A picture's width, height and grey levels, a byte a pixel, row by row."""
    pgm = run("convert", "-", "-colorspace", "gray", "-depth", "8", "pgm:-", input=picture).stdout
    header = re.match(rb"P5\s+(\d+)\s+(\d+)\s+255\s", pgm)
    check(header, "not a picture ImageMagick reads")
    return int(header[1]), int(header[2]), pgm[header.end():]


def bar_row(picture, y):
    """One row of a picture as "#" for dark and "." for light columns."""
    width, _, levels = grey(picture)
    return "".join("#" if level < 128 else "." for level in levels[y * width:(y + 1) * width])


def svg_to_png(path, *options):
    """An SVG file drawn by librsvg, which shares no code with the program, on white."""
    return run("rsvg-convert", "-b", "white", *options, str(path), timeout=SLOW_TIMEOUT).stdout


def pdf_to_png(path, dots_per_inch, *options):
    """The first page of a PDF drawn by poppler."""
    return run("pdftoppm", "-r", str(dots_per_inch), *options, "-png", "-singlefile", str(path),
               timeout=SLOW_TIMEOUT).stdout


def same_pixels(one, other):
    """Whether two pictures have the same size and every pixel the same colour."""
    with tempfile.TemporaryDirectory() as folder:
        paths = [os.path.join(folder, name) for name in ("one.png", "other.png")]
        for path, picture in zip(paths, (one, other)):
            pathlib.Path(path).write_bytes(picture)
        # The number of differing pixels goes to standard error; a size mismatch is an error.
        result = run("compare", "-metric", "AE", *paths, "null:", text=True)
        return result.returncode == 0 and result.stderr.strip() == "0"


_TMPFS = r"""
set -e
mountpoint=$1 archive=$5
mount -t tmpfs -o "size=$2" tmpfs "$mountpoint"
cp -a "$3/." "$mountpoint/"
if [ "$4" = read-only ]; then mount -o remount,ro "$mountpoint"; fi
shift 5
set +e
"$@"
status=$?
tar -C "$mountpoint" -cf "$archive" .
exit $status
"""


def on_tmpfs(mountpoint, size, command, files=None, read_only=False, **options):
    """Runs a command with a file system of its own mounted at mountpoint: a tmpfs of
    that size holding files (name to contents), made read-only after they are laid
    there if asked. The mount exists only in a private mount namespace, gone with
    everything in it when the command ends; returns the command's result and the
    files (name to contents) that it left there."""
    mountpoint = pathlib.Path(mountpoint)
    with tempfile.TemporaryDirectory() as work:
        stage = pathlib.Path(work, "stage")
        stage.mkdir()
        for name, contents in (files or {}).items():
            (stage / name).write_bytes(contents)
        mountpoint.mkdir(parents=True, exist_ok=True)
        archive = pathlib.Path(work, "left.tar")
        result = run("unshare", "--mount", "--propagation", "private", "sh", "-c", _TMPFS, "sh", str(mountpoint),
                     size, str(stage), "read-only" if read_only else "writable", str(archive), *command,
                     **options)
        check(archive.exists(), f"no file system was made at {mountpoint}: {result.stderr}")
        with tarfile.open(archive) as left:
            found = {member.name.removeprefix("./"): left.extractfile(member).read()
                     for member in left.getmembers() if member.isfile()}
            check(all(member.isfile() or member.isdir() for member in left.getmembers()),
                  f"not only files left in the mount: {left.getnames()}")
        return result, found


def pdf_pages(pdf_path):
    match = re.search(r"^Pages:\s+(\d+)", run("pdfinfo", pdf_path, text=True).stdout, re.MULTILINE)
    return int(match.group(1)) if match else 0


def cups_running():
    status = run("lpstat", "-r", text=True)
    return status.returncode == 0 and "not running" not in status.stdout


def set_environment(values):
    """Sets this process's environment variables; None removes one."""
    for name, value in values.items():
        if value is None:
            os.environ.pop(name, None)
        else:
            os.environ[name] = value


@contextlib.contextmanager
def environment(**values):
    """This process's environment with values set, restored afterwards."""
    saved = {name: os.environ.get(name) for name in values}
    set_environment(values)
    try:
        yield
    finally:
        set_environment(saved)


# How the private printer works. cupsd runs as a server of the test's own:
# cupsd.conf and cups-files.conf in a temporary folder put its ServerRoot,
# spool, cache, state, temporary files, printcap and logs in that folder and
# let it listen only on a socket there; only its filters, backends and data
# are the system's. Clients find it through CUPS_SERVER, and read its printers'
# PPD files (resolutions, page sizes) straight from its ServerRoot through
# CUPS_SERVERROOT, as clients of a local server do. The cups-pdf backend
# reads its settings from /etc/cups/cups-pdf.conf alone (the path is built
# in), so cupsd runs in a mount namespace of its own (unshare -m, as root) in
# which a cups-pdf.conf of ours is bind-mounted over that file: its output,
# spool, log and Ghostscript's temporary files go into the temporary folder.
# The mount exists only inside the namespace and ends with cupsd, so the
# machine's own file, printers and default printer are never touched, and
# runs side by side each have their own server.
CUPSD_CONF = """Listen {root}/cups.sock
LogLevel warn
Browsing No
WebInterface No
DefaultAuthType None
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
"""
CUPS_FILES_CONF = """ServerRoot {root}/conf
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
"""
CUPS_PDF_CONF = """Out {root}/pdf
AnonDirName {root}/pdf
Spool {root}/pdf-spool
GSTmp {root}/pdf-spool
Log {root}/log
"""
# Filters run as lp and write here.
CUPS_SHARED_FOLDERS = ("spool", "spool/tmp", "pdf-spool")
PDF_PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"
PR_SET_PDEATHSIG = 1  # from <sys/prctl.h>


@contextlib.contextmanager
def cups_pdf_printer():
    """A private CUPS server whose default printer "PDF" writes PDF files; yields their
    folder. Meanwhile CUPS_SERVER and CUPS_SERVERROOT point this process and whatever
    it starts (lp, lpadmin, the program) at it, and LPDEST and PRINTER are cleared and
    HOME is a folder of its own, so that a developer's own choice of printer or options
    (~/.cups/lpoptions) cannot redirect or change a print. The server and all it started
    stop afterwards."""
    check(os.geteuid() == 0, "the private CUPS server needs root for its mount namespace")
    with tempfile.TemporaryDirectory(prefix="tallyline-cups-") as folder:
        root = pathlib.Path(folder)
        root.chmod(0o755)
        for name in ("conf", "cache", "state", "log", "pdf", "home") + CUPS_SHARED_FOLDERS:
            (root / name).mkdir(mode=0o755)
        for name in CUPS_SHARED_FOLDERS:
            (root / name).chmod(0o1777)
        for name, text in (("cupsd.conf", CUPSD_CONF), ("cups-files.conf", CUPS_FILES_CONF),
                           ("cups-pdf.conf", CUPS_PDF_CONF)):
            (root / name).write_text(text.format(root=root))
        server = subprocess.Popen(
            ["unshare", "--mount", "sh", "-c",
             'mount --bind "$1" /etc/cups/cups-pdf.conf && exec cupsd -f -c "$2" -s "$3"', "sh",
             root / "cups-pdf.conf", root / "cupsd.conf", root / "cups-files.conf"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True,
            preexec_fn=end_with_parent)
        try:
            with environment(CUPS_SERVER=str(root / "cups.sock"), CUPS_SERVERROOT=str(root / "conf"),
                             LPDEST=None, PRINTER=None, HOME=str(root / "home")):
                check(wait_for(cups_running), "the private cupsd did not start")
                run("lpadmin", "-p", "PDF", "-v", "cups-pdf:/", "-E", "-P", PDF_PPD, check=True)
                run("lpadmin", "-d", "PDF", check=True)
                yield root / "pdf"
        finally:
            stop(server)


def end_with_parent():
    """Has the calling process told to end when its parent dies, even when killed
    outright; runs in a child between fork and exec."""
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def stop(process):
    """Ends a process started in a session of its own, with all it started."""
    for ending in (signal.SIGTERM, signal.SIGKILL):
        with contextlib.suppress(ProcessLookupError):
            os.killpg(process.pid, ending)
        with contextlib.suppress(subprocess.TimeoutExpired):
            process.wait(timeout=STEP_TIMEOUT)
            return


def printer_resolution(printer):
    """The resolution in dots per inch that a CUPS printer offers by default."""
    options = run("lpoptions", "-p", printer, "-l", text=True).stdout
    match = re.search(r"^Resolution/.*\*(\d+)dpi", options, re.MULTILINE)
    check(match, f"{printer} reports no default resolution: {options!r}")
    return int(match.group(1))


def set_default_resolution(printer, choice):
    """Sets the resolution that the printer's server prints a job at unless the job
    says otherwise ("600dpi"); None takes the choice back to the driver's own."""
    if choice:
        run("lpadmin", "-p", printer, "-o", f"Resolution-default={choice}", check=True)
    else:
        run("lpadmin", "-p", printer, "-R", "Resolution-default", check=True)


# Requests to the private server in ipptool's language: the numbers of a
# printer's jobs, then one job's name. A list of jobs leaves out the name of
# a job that is done, which only the job's own attributes give, and only to
# its owner: the user who runs the tests, whose name ipptool calls $user.
IPP_REQUEST = """{{
  OPERATION {operation}
  GROUP operation-attributes-tag
  ATTR charset attributes-charset utf-8
  ATTR naturalLanguage attributes-natural-language en
  ATTR uri printer-uri $uri
  {attributes}
  STATUS successful-ok
}}
"""
JOB_NUMBERS = IPP_REQUEST.format(operation="Get-Jobs", attributes="""ATTR keyword which-jobs all
  ATTR keyword requested-attributes job-id""")
JOB_NAME = IPP_REQUEST.format(operation="Get-Job-Attributes", attributes="""ATTR integer job-id $job
  ATTR name requesting-user-name $user
  ATTR keyword requested-attributes job-name""")


def ask_server(printer, request, wanted, **variables):
    """The values of an attribute, wanted, in the private server's answer to a
    request about a printer, one a job or printer."""
    uri = "ipp://" + urllib.parse.quote(os.environ["CUPS_SERVER"], safe="") + "/printers/" + printer
    defines = [argument for name, value in variables.items() for argument in ("-d", f"{name}={value}")]
    with tempfile.NamedTemporaryFile("w", suffix=".test") as file:
        file.write(request)
        file.flush()
        # As a property list, which holds any value as it is.
        answer = run("ipptool", "-X", *defines, uri, file.name)
    check(answer.returncode == 0, f"the print server did not answer: {answer.stdout!r}{answer.stderr!r}")
    groups = plistlib.loads(answer.stdout)["Tests"][0]["ResponseAttributes"]
    return [group[wanted] for group in groups if wanted in group]


def newest_job_name(printer):
    """The name that the private server's queue gives a printer's newest job."""
    numbers = ask_server(printer, JOB_NUMBERS, "job-id")
    check(numbers, f"{printer} has no jobs")
    return ask_server(printer, JOB_NAME, "job-name", job=max(numbers))


def new_pdfs(folder, before):
    """The PDF files in a folder that are not in before, once complete."""
    def complete():
        fresh = sorted(set(folder.glob("*.pdf")) - before)
        return fresh if fresh and all(pdf_pages(pdf) > 0 for pdf in fresh) else None
    return complete


def main(test):
    """Runs test(binary) with the program's path from the command line. A test that
    is told to end (a timeout, say) still stops what it started."""
    check(len(sys.argv) == 2, "usage: test BINARY")
    signal.signal(signal.SIGTERM, lambda number, frame: sys.exit("FAIL: told to end"))
    test(sys.argv[1])
    print("PASS")
