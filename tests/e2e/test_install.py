"""The program as it is installed: the Debian package that `cpack -G DEB` makes in the
build folder, unpacked into a throw-away root, checked by Debian's and the desktops'
own validators, and its manual, bash completion and help page read as a user meets them."""

import os
import pathlib
import re
import tempfile
import xml.etree.ElementTree as ElementTree

import pytest

from tallyline_e2e import SLOW_TIMEOUT, centre, design_box, run, wait_for

LOGO = design_box(1380, 2566, 3735, 330)


@pytest.fixture(scope="module")
def version(binary):
    return run(binary, "--version", text=True).stdout.split()[-1]


@pytest.fixture(scope="module")
def package():
    """The package made from the build folder named by TALLYLINE_BUILD, outside that folder."""
    with tempfile.TemporaryDirectory(prefix="tallyline-package-") as folder:
        made = run("cpack", "-G", "DEB", "--config", os.path.join(os.environ["TALLYLINE_BUILD"], "CPackConfig.cmake"),
                   "-B", folder, timeout=SLOW_TIMEOUT, text=True)
        assert made.returncode == 0, made.stdout + made.stderr
        yield next(pathlib.Path(folder).glob("*.deb"))


@pytest.fixture(scope="module")
def root(package):
    """The package's files unpacked into a root of their own."""
    with tempfile.TemporaryDirectory(prefix="tallyline-root-") as folder:
        assert run("dpkg", "-x", str(package), folder).returncode == 0
        yield pathlib.Path(folder)


def test_package_name(package, version):
    arch = run("dpkg", "--print-architecture", text=True).stdout.strip()
    assert package.name == f"tallyline_{version}_{arch}.deb"


@pytest.mark.parametrize("path", [
    "usr/bin/tallyline", "usr/share/man/man1/tallyline.1.gz", "usr/share/applications/tallyline.desktop",
    "usr/share/icons/hicolor/32x32/apps/tallyline.png", "usr/share/icons/hicolor/scalable/apps/tallyline.svg",
    "usr/share/metainfo/invalid.tallyline.Tallyline.metainfo.xml", "usr/share/bash-completion/completions/tallyline",
    "usr/share/doc/tallyline/index.html", "usr/share/doc/tallyline/docs/window.png",
    "usr/share/doc/tallyline/copyright", "usr/share/doc/tallyline/changelog.gz"],
    ids=lambda path: path.rsplit("/", 2)[-2] + "/" + path.rsplit("/", 1)[-1])
def test_holds(root, path):
    assert (root / path).is_file()


@pytest.mark.parametrize("library", ["libqt6widgets6", "libqt6gui6", "libcups2", "zlib1g"])
def test_depends_on_what_it_links(package, library):
    depends = run("dpkg-deb", "--field", str(package), "Depends", text=True).stdout
    assert re.search(rf"(^|, ){re.escape(library)}\b", depends), depends


def test_lintian_finds_no_error(package):
    found = run("lintian", "--no-tag-display-limit", str(package), timeout=SLOW_TIMEOUT, text=True)
    errors = [line for line in found.stdout.splitlines() if line.startswith("E:")]
    assert not errors and found.returncode == 0, found.stdout + found.stderr


@pytest.mark.parametrize("command, path", [
    (["appstreamcli", "validate", "--no-net"], "usr/share/metainfo/invalid.tallyline.Tallyline.metainfo.xml"),
    (["desktop-file-validate"], "usr/share/applications/tallyline.desktop")], ids=["metainfo", "desktop entry"])
def test_validates(root, command, path):
    checked = run(*command, str(root / path), text=True)
    assert checked.returncode == 0, checked.stdout + checked.stderr


def test_metainfo_describes_and_launches(root):
    component = ElementTree.parse(root / "usr/share/metainfo/invalid.tallyline.Tallyline.metainfo.xml").getroot()
    assert component.find("description/p").text.strip()
    assert component.find("content_rating").get("type") == "oars-1.1"
    launchable = component.find("launchable")
    assert launchable.get("type") == "desktop-id"
    assert (root / "usr/share/applications" / launchable.text).is_file()


def manual(root):
    return run("man", "-l", str(root / "usr/share/man/man1/tallyline.1.gz"), env={**os.environ, "MANWIDTH": "200"},
               text=True).stdout


@pytest.mark.parametrize("section, words", [
    ("BATCH FILE NAMES", "%XX"), ("EXIT STATUS", "a usage error"), ("ENVIRONMENT", "QT_QPA_PLATFORM"),
    ("ENVIRONMENT", "PRINTER"), ("FILES", "Tallyline.conf"), ("EXAMPLES", "--batch"), ("EXAMPLES", "--print"),
    ("SEE ALSO", "zbarimg(1)"), ("SEE ALSO", "lp(1)")], ids=lambda value: value)
def test_manual_section(root, section, words):
    text = manual(root)
    assert f"\n{section}\n" in text
    body = text.split(f"\n{section}\n", 1)[1]
    body = body[:re.search(r"\n[A-Z][A-Z ]+\n", body).start()] if re.search(r"\n[A-Z][A-Z ]+\n", body) else body
    assert words in body


def test_manual_names_files_as_help_does(root, binary):
    """The naming rules are written once, in --help; the manual follows them."""
    help_text = run(binary, "--help", text=True).stdout
    rules = " ".join(help_text.split("Batch file names:\n", 1)[1].split("\n\n", 1)[0].split())
    assert rules in " ".join(manual(root).replace("\u2010", "-").split())


def test_help_in_the_programs_words(binary):
    help_text = run(binary, "--help", text=True).stdout
    assert "Displays" not in help_text and "Show this help and end." in help_text


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


@pytest.mark.parametrize("line, expected", [
    ("tallyline --format ", ["pdf", "png", "svg"]),
    ("tallyline --format s", ["svg"]),
    ("tallyline x -o ", ["a.pdf", "b.png", "c.svg", "sub"]),
    ("tallyline --batch ", ["a.pdf", "b.png", "c.svg", "d.txt", "sub"]),
    ("tallyline --batch x -d ", ["sub"])], ids=["01 formats", "02 a format begun", "03 output by suffix",
                                               "04 any list", "05 folders"])
def test_completes_values(root, folder, line, expected):
    for name in ("a.pdf", "b.png", "c.svg", "d.txt"):
        (folder / name).touch()
    (folder / "sub").mkdir()
    assert complete(root, line, folder) == expected


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
