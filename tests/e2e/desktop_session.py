"""Parts of a desktop session for the end-to-end tests, each the test's own: a
session bus whose services keep their files in a temporary home, the
accessibility bus that screen readers read, and a clipboard manager. Every
process started here is stopped again, whatever happens."""

import contextlib
import ctypes
import os
import signal
import subprocess
import tempfile
import time

from tallyline_e2e import STEP_TIMEOUT, check, wait_for

# Processes whose parent ends before them come to this one, which reaps them,
# instead of to the machine's first process, which here leaves them as zombies.
PR_SET_CHILD_SUBREAPER = 36
ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)


def reap_group(group):
    """Waits for every process left in the group, killing what outlasts the step."""
    deadline = time.monotonic() + STEP_TIMEOUT
    while True:
        try:
            pid, _ = os.waitpid(-group, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            if time.monotonic() > deadline:
                with contextlib.suppress(ProcessLookupError):
                    os.killpg(group, signal.SIGKILL)
            time.sleep(0.05)


@contextlib.contextmanager
def own_process_group(command, env):
    """A process in a group of its own, so that whatever it starts ends with it."""
    process = subprocess.Popen(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                               start_new_session=True)
    try:
        yield process
    finally:
        with contextlib.suppress(ProcessLookupError):
            os.killpg(process.pid, signal.SIGTERM)
        process.wait(timeout=STEP_TIMEOUT)
        reap_group(process.pid)


@contextlib.contextmanager
def session_bus(display):
    """A session bus on the display; yields the environment that puts a program on
    it. The bus's services see a temporary home, never the machine's own."""
    with tempfile.TemporaryDirectory() as home:
        runtime = os.path.join(home, "runtime")
        os.mkdir(runtime, 0o700)
        extra = {"HOME": home, "XDG_CONFIG_HOME": os.path.join(home, "config"),
                 "XDG_CACHE_HOME": os.path.join(home, "cache"), "XDG_DATA_HOME": os.path.join(home, "data"),
                 "XDG_RUNTIME_DIR": runtime}
        env = dict(os.environ, DISPLAY=display, **extra)
        with own_process_group(["dbus-daemon", "--session", "--nofork", "--print-address=1"], env) as bus:
            address = bus.stdout.readline().strip()
            check(address, "the session bus did not start")
            yield dict(extra, DBUS_SESSION_BUS_ADDRESS=address)


@contextlib.contextmanager
def screen_reader(display):
    """The accessibility bus on a session bus of its own, read from this process
    as a screen reader reads it; yields the environment that makes the program
    speak to it, and pyatspi."""
    with session_bus(display) as extra:
        env = dict(os.environ, DISPLAY=display, **extra)
        with own_process_group(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], env):
            os.environ.update(extra, DISPLAY=display)
            import pyatspi  # pylint: disable=import-outside-toplevel  # it joins the bus it finds at import
            yield dict(extra, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1"), pyatspi


def application(pyatspi, name):
    """The running application of that name as a screen reader sees it, once it shows."""
    def find():
        return next((app for app in pyatspi.Registry.getDesktop(0) if app is not None and app.name == name), None)
    found = wait_for(find)
    check(found, f"no application {name!r} on the accessibility bus")
    return found


def descendants(accessible):
    for index in range(accessible.childCount):
        child = accessible.getChildAtIndex(index)
        if child is not None:
            yield child
            yield from descendants(child)


def find(accessible, role, name=None):
    """The first descendant with that role name and, if given, that name; None if none."""
    return next((child for child in descendants(accessible)
                 if child.getRoleName() == role and (name is None or child.name == name)), None)
