"""The real parts the end-to-end tests run on, each the test's own and each stopped, and waited for, by the fixture
that started it: an X server, the program, a session bus with the accessibility bus, and a CUPS server with a PDF
printer and label printers. Nothing the machine runs or keeps is used or changed.

CTest runs each file (ctest -L e2e); by hand, from tests/e2e, with the build in build/:
  TALLYLINE_PROGRAM=$PWD/../../build/app/tallyline \\
  PYTHONDONTWRITEBYTECODE=1 /usr/bin/python3 -m pytest -p no:cacheprovider test_copy.py -k "Alt+C"
"""

import contextlib
import os
import pathlib
import signal
import subprocess
import tempfile

import pytest

# Before the harness is first imported, so that its own checks explain their failures too.
pytest.register_assert_rewrite("tallyline_e2e")

from tallyline_e2e import own_session, program, run, wait_for  # pylint: disable=wrong-import-position


def pytest_configure(config):  # pylint: disable=unused-argument
    # A run told to end still stops what its fixtures started.
    signal.signal(signal.SIGTERM, lambda number, frame: pytest.exit("told to end", returncode=1))


@pytest.fixture(scope="session")
def binary():
    """The program under test, named by TALLYLINE_PROGRAM."""
    path = os.environ.get("TALLYLINE_PROGRAM")
    if not path or not os.access(path, os.X_OK):
        pytest.fail(f"TALLYLINE_PROGRAM must name the program to test, not {path!r}")
    return path


@pytest.fixture
def folder():
    # Not pytest's tmp_path, which keeps the last runs' folders.
    with tempfile.TemporaryDirectory(prefix="tallyline-e2e-") as path:
        yield pathlib.Path(path)


@pytest.fixture(scope="module")
def display():
    """An X server of the module's own; yields its name, ":N"."""
    # -displayfd: the server picks a free display and writes its number, in two writes: read up to the newline.
    # -noreset: a reset when a program leaves would refuse the next one for a moment.
    read_end, write_end = os.pipe()
    with own_session(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                      "-noreset"], pass_fds=[write_end], stdout=subprocess.DEVNULL):
        os.close(write_end)
        with os.fdopen(read_end) as numbers:
            number = numbers.readline().strip()
        assert number, "Xvfb did not start"
        yield ":" + number


@pytest.fixture
def start_program(binary, display):
    """Starts the program on the module's display: start_program(env, launcher, path) gives a
    Program whose window is showing; path names another build of it. Every program started
    is killed at the end of the test, and its output written to the test's standard error."""
    with contextlib.ExitStack() as started:
        def start(extra_env=None, launcher=(), path=None):
            return started.enter_context(program(path or binary, display, extra_env, launcher))
        yield start


@pytest.fixture
def window(start_program):
    """The program as it opens."""
    return start_program()


@pytest.fixture(scope="module")
def session_bus(display):
    """A session bus on the display, with a home of its own; yields the environment that
    puts a program on it. What the bus starts on demand ends with it."""
    with tempfile.TemporaryDirectory(prefix="tallyline-bus-") as home:
        runtime = os.path.join(home, "runtime")
        os.mkdir(runtime, 0o700)
        extra = {"HOME": home, "XDG_RUNTIME_DIR": runtime, **{f"XDG_{kind.upper()}_HOME": os.path.join(home, kind)
                                                            for kind in ("config", "cache", "data")}}
        with own_session(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                         dict(os.environ, DISPLAY=display, **extra)) as bus:
            address = bus.stdout.readline().strip()
            assert address, "the session bus did not start"
            yield dict(extra, DBUS_SESSION_BUS_ADDRESS=address)


@pytest.fixture(scope="module")
def accessibility_bus(display, session_bus):
    """The accessibility bus beside the session bus; yields the environment that puts a
    program on both, its accessibility on."""
    with own_session(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                     dict(os.environ, DISPLAY=display, **session_bus), stdout=subprocess.DEVNULL):
        yield dict(session_bus, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")


@pytest.fixture(scope="module")
def screen_reader(display, session_bus, accessibility_bus):  # pylint: disable=unused-argument
    """pyatspi, reading the accessibility bus as a screen reader would. It joins the bus
    that the environment names when it is first imported and first asked, and never
    another: one module of a run may use it. The environment is restored at once."""
    with pytest.MonkeyPatch.context() as patch:
        for name, value in session_bus.items():
            patch.setenv(name, value)
        patch.setenv("DISPLAY", display)
        import pyatspi  # pylint: disable=import-outside-toplevel
        pyatspi.Registry.getDesktop(0)
    return pyatspi


# The private cupsd keeps all its files in a temporary folder and listens only on a socket there; clients find it
# through CUPS_SERVER and read its PPD files through CUPS_SERVERROOT. The cups-pdf backend reads only
# /etc/cups/cups-pdf.conf, so cupsd runs in a mount namespace of its own with our file bind-mounted over that one: the
# machine's own files and printers are never touched.
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
FileDevice Yes
""", "cups-pdf.conf": """Out {root}/pdf
AnonDirName {root}/pdf
Spool {root}/pdf-spool
GSTmp {root}/pdf-spool
Log {root}/log
"""}
PDF_PPD = "/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd"


class CupsServer:
    def __init__(self, root):
        self.socket, self.pdf_folder = root / "cups.sock", root / "pdf"
        # What points a client at this server and its printers alone: no LPDEST or PRINTER, and a HOME where no
        # ~/.cups/lpoptions is.
        self.env = {"CUPS_SERVER": str(self.socket), "CUPS_SERVERROOT": str(root / "conf"), "HOME": str(root / "home")}
        self.unset = ("LPDEST", "PRINTER")

    def client(self, *command):
        env = {name: value for name, value in os.environ.items() if name not in self.unset}
        return run(*command, env={**env, **self.env}, text=True)

    def add_pdf_printer(self):
        # Made again whole: enabled, accepting jobs and the default, whatever a test broke.
        for command in (["lpadmin", "-p", "PDF", "-v", "cups-pdf:/", "-E", "-P", PDF_PPD], ["lpadmin", "-d", "PDF"]):
            done = self.client(*command)
            assert done.returncode == 0, f"{command}: {done.stderr}"


    def add_label_printer(self, name, driver, page_size, resolution, output):
        """A queue of one of CUPS's own label drivers on a file: device, writing to output
        exactly the stream its printer would receive, its medium and resolution set on the server."""
        command = ["lpadmin", "-p", name, "-E", "-v", f"file://{output}", "-m", f"drv:///sample.drv/{driver}",
                   "-o", f"PageSize={page_size}", "-o", f"Resolution={resolution}dpi"]
        done = self.client(*command)
        assert done.returncode == 0, f"{command}: {done.stderr}"

    def use(self, monkeypatch):
        """Points this process and all it starts at this server alone, for the test."""
        for name in self.unset:
            monkeypatch.delenv(name, raising=False)
        for name, value in self.env.items():
            monkeypatch.setenv(name, value)


@pytest.fixture(scope="module")
def cups_server():
    """A CUPS server of the module's own."""
    with private_cups_server() as server:
        yield server


@contextlib.contextmanager
def private_cups_server():
    """A CUPS server of its own, in a temporary folder, stopped when the block ends."""
    with tempfile.TemporaryDirectory(prefix="tallyline-cups-") as path:
        root = pathlib.Path(path)
        root.chmod(0o755)
        for name in ("conf", "cache", "state", "log", "pdf", "home", "spool", "spool/tmp", "pdf-spool"):
            (root / name).mkdir()
            (root / name).chmod(0o1777 if "spool" in name else 0o755)  # filters run as lp and write in the spools
        for name, text in CUPS_CONF.items():
            (root / name).write_text(text.format(root=root))
        with own_session(["unshare", "--mount", "sh", "-c",
                          'mount --bind "$1" /etc/cups/cups-pdf.conf && exec cupsd -f -c "$2" -s "$3"',
                          "sh", root / "cups-pdf.conf", root / "cupsd.conf", root / "cups-files.conf"],
                         stdout=subprocess.DEVNULL):
            server = CupsServer(root)
            assert wait_for(lambda: "scheduler is running" in server.client("lpstat", "-r").stdout), \
                "the private cupsd did not start"
            yield server


@pytest.fixture
def pdf_printer(cups_server, monkeypatch):
    """The server's PDF printer, the default, ready for jobs; yields the folder its PDF
    files go to. For the test, this process and all it starts print on that server alone."""
    cups_server.use(monkeypatch)
    cups_server.add_pdf_printer()
    return cups_server.pdf_folder
