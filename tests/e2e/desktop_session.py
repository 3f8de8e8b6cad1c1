"""Parts of a desktop session for the end-to-end tests, each the test's own: a
session bus whose services keep their files in a temporary home, and the
accessibility bus that screen readers read."""

import contextlib
import os
import tempfile

from tallyline_e2e import check, own_process_group, wait_for


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
