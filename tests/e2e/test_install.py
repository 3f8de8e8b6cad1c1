"""The program as it is installed: built as scripts/build-program builds it, with CMake's
default generator (CTest's e2e_install_build makes that build), then installed into a
throw-away root by each documented way, `cmake --install` and the Debian package that
`cpack -G DEB` makes in the build folder, unpacked; checked by Debian's and the desktops'
own validators, and its manual, bash completion and help page read as a user meets them."""

import os
import pathlib
import re
import tempfile

import pytest
from Xlib import display as xdisplay

from tallyline_e2e import LOGO, SLOW_TIMEOUT, centre, run, wait_for


@pytest.fixture(scope="module")
def version(binary):
    return run(binary, "--version", text=True).stdout.split()[-1]


@pytest.fixture(scope="module")
def release():
    """The build folder named by TALLYLINE_RELEASE: scripts/build-program's, as a user makes it."""
    path = pathlib.Path(os.environ.get("TALLYLINE_RELEASE", ""))
    if not (path / "CPackConfig.cmake").is_file():
        pytest.fail(f"TALLYLINE_RELEASE must name a folder that scripts/build-program built, not {str(path)!r}")
    return path


@pytest.fixture(scope="module")
def package(release):
    """The package made from that build folder, outside it."""
    with tempfile.TemporaryDirectory(prefix="tallyline-package-") as folder:
        made = run("cpack", "-G", "DEB", "--config", str(release / "CPackConfig.cmake"), "-B", folder,
                   timeout=SLOW_TIMEOUT, text=True)
        assert made.returncode == 0, made.stdout + made.stderr
        yield next(pathlib.Path(folder).glob("*.deb"))


@pytest.fixture(scope="module")
def root(package):
    """The package's files unpacked into a root of their own."""
    with tempfile.TemporaryDirectory(prefix="tallyline-root-") as folder:
        assert run("dpkg", "-x", str(package), folder).returncode == 0
        yield pathlib.Path(folder)


@pytest.fixture(scope="module", params=["cmake --install", "cpack"])
def installed(request, release, root):
    """Where each documented way installs, and what is there: (the prefix, its folder)."""
    if request.param == "cpack":
        yield pathlib.Path("/usr"), root / "usr"
        return
    with tempfile.TemporaryDirectory(prefix="tallyline-installed-") as folder:
        done = run("cmake", "--install", str(release), "--prefix", "/usr/local", env={**os.environ, "DESTDIR": folder},
                   text=True)
        assert done.returncode == 0, done.stdout + done.stderr
        yield pathlib.Path("/usr/local"), pathlib.Path(folder, "usr/local")


def test_package_name(package, version):
    arch = run("dpkg", "--print-architecture", text=True).stdout.strip()
    assert package.name == f"tallyline_{version}_{arch}.deb"


@pytest.mark.parametrize("path", [
    "bin/tallyline", "share/man/man1/tallyline.1.gz", "share/applications/org.example.tallyline.desktop",
    "share/icons/hicolor/32x32/apps/tallyline.png", "share/icons/hicolor/scalable/apps/tallyline.svg",
    "share/metainfo/org.example.tallyline.metainfo.xml", "share/bash-completion/completions/tallyline",
    "share/doc/tallyline/index.html", "share/doc/tallyline/docs/window.png", "share/doc/tallyline/copyright",
    "share/doc/tallyline/changelog.gz", "share/doc-base/tallyline.tallyline"],
    ids=lambda path: path.rsplit("/", 2)[-2] + "/" + path.rsplit("/", 1)[-1])
def test_holds(installed, path):
    assert (installed[1] / path).is_file()


def test_doc_base_names_the_installed_page(installed):
    prefix, folder = installed
    entry = (folder / "share/doc-base/tallyline.tallyline").read_text()
    page = prefix / "share/doc/tallyline/index.html"
    assert f"\nIndex: {page}\n" in entry and f"\nFiles: {page}\n" in entry, entry


@pytest.mark.parametrize("library", ["libqt6widgets6", "libqt6gui6", "libcups2", "zlib1g", "glabels-data"])
def test_depends_on_what_it_links(package, library):
    depends = run("dpkg-deb", "--field", str(package), "Depends", text=True).stdout
    assert re.search(rf"(^|, ){re.escape(library)}\b", depends), depends


def test_lintian_finds_nothing(package):
    found = run("lintian", "--display-info", "--pedantic", "--tag-display-limit", "0", str(package),
                timeout=SLOW_TIMEOUT, text=True)
    assert found.returncode == 0 and not found.stdout, found.stdout + found.stderr


@pytest.mark.parametrize("command, path", [
    (["appstreamcli", "validate", "--pedantic", "--no-net"], "usr/share/metainfo/org.example.tallyline.metainfo.xml"),
    (["desktop-file-validate"], "usr/share/applications/org.example.tallyline.desktop")],
    ids=["metainfo", "desktop entry"])
def test_validates(root, command, path):
    checked = run(*command, str(root / path), text=True)
    said = checked.stdout.replace("\u2714 Validation was successful.", "").strip()
    assert checked.returncode == 0 and not said, checked.stdout + checked.stderr


def test_window_names_its_desktop_entry(root, start_program):
    """A desktop on X finds the window's entry by the class that the window gives (WM_CLASS)."""
    entry = next((root / "usr/share/applications").glob("*.desktop")).read_text()
    running = start_program(path=str(root / "usr/bin/tallyline"))
    connection = xdisplay.Display(running.display)
    named = connection.create_resource_object("window", int(running.window)).get_wm_class()
    connection.close()
    assert f"\nStartupWMClass={named[1]}\n" in entry, named


def manual(root):
    """The manual as man sets it, through col -b as a reader copies it."""
    return run("sh", "-c", 'man -l "$1" | col -b', "sh", str(root / "usr/share/man/man1/tallyline.1.gz"),
               env={**os.environ, "MANWIDTH": "200"}, text=True).stdout


@pytest.mark.parametrize("section, words", [
    ("BATCH FILE NAMES", "%XX"), ("EXIT STATUS", "a usage error"), ("ENVIRONMENT", "QT_QPA_PLATFORM"),
    ("ENVIRONMENT", "PRINTER"), ("FILES", "Tallyline.conf"), ("EXAMPLES", "--batch"), ("EXAMPLES", "--print"),
    ("SEE ALSO", "zbarimg(1)"), ("SEE ALSO", "lp(1)")], ids=lambda value: value)
def test_manual_section(root, section, words):
    text = manual(root)
    assert f"\n{section}\n" in text
    body = text.split(f"\n{section}\n", 1)[1]
    body = body[:re.search(r"\n[A-Z][A-Z ]+\n", body).start()] if re.search(r"\n[A-Z][A-Z ]+\n", body) else body
    # A justified line spreads its words with tabs and spaces.
    assert words in " ".join(body.split())


def test_manual_sets_each_command_on_a_line(root, binary):
    """The commands in --help (indented, after "$ ") are lines of their own in the manual."""
    commands = re.findall(r"^ +(\$ .+)$", run(binary, "--help", text=True).stdout, re.MULTILINE)
    lines = {line.strip() for line in manual(root).splitlines()}
    assert commands and all(command in lines for command in commands), commands


def complete(root, line, cwd):
    """What bash completion offers for the last word of the line."""
    script = ("source /usr/share/bash-completion/bash_completion; source \"$1\"; COMP_LINE=$2; COMP_POINT=${#2};"
              " read -ra COMP_WORDS <<< \"$2\"; [[ $2 == *' ' ]] && COMP_WORDS+=(''); COMP_CWORD=$((${#COMP_WORDS[@]}-1));"
              " _tallyline; printf '%s\\n' \"${COMPREPLY[@]}\"")
    done = run("bash", "-c", script, "bash", str(root / "usr/share/bash-completion/completions/tallyline"), line,
               cwd=cwd, text=True)
    assert done.returncode == 0, done.stderr
    return sorted(filter(None, done.stdout.splitlines()))


def test_completes_every_option(root, binary, folder):
    offered = set(re.findall(r"(?<![\w-])(--?[\w-]+)", run(binary, "--help", text=True).stdout.split("Options:")[1]
                                                                                  .split("Arguments:")[0]))
    assert set(complete(root, "tallyline -", folder)) == offered


def test_help_page_is_the_readme(root):
    page = (root / "usr/share/doc/tallyline/index.html").read_text()
    readme = (pathlib.Path(__file__).parents[2] / "README.md").read_text()
    for heading in re.findall(r"^## (.+)$", readme, re.MULTILINE):
        assert heading in page
    assert 'src="docs/window.png"' in page


@pytest.mark.parametrize("where", ["installed", "build tree"])
def test_logo_opens_the_help_page(where, binary, root, start_program, folder):
    """The logo hands the help page to the desktop's opener: here one that notes what it is given."""
    opened = folder / "opened"
    opener = folder / "bin" / "xdg-open"
    opener.parent.mkdir()
    opener.write_text(f"#!/bin/sh\nprintf '%s\\n' \"$1\" >> {opened}\n")
    opener.chmod(0o755)
    program = str(root / "usr/bin/tallyline") if where == "installed" else binary
    page = (root / "usr/share/doc/tallyline/index.html" if where == "installed"
            else pathlib.Path(os.environ["TALLYLINE_BUILD"]) / "help/index.html")
    assert page.is_file()
    env = {"PATH": f"{opener.parent}:{os.environ['PATH']}", "XDG_CURRENT_DESKTOP": "", "DESKTOP_SESSION": ""}
    running = start_program(env, path=program)
    running.click(centre(LOGO))
    assert wait_for(lambda: opened.exists() and opened.read_text().strip()), "the opener was not started"
    assert opened.read_text().split() == [page.as_uri()]
