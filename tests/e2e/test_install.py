"""cmake --install puts the program, a desktop entry and the icon where a
Linux desktop finds them."""

import configparser
import pathlib
import subprocess
import sys
import tempfile

from tallyline_e2e import check, fail


def test(build_dir):
    with tempfile.TemporaryDirectory() as prefix:
        subprocess.run(["cmake", "--install", build_dir, "--prefix", prefix], check=True,
                       capture_output=True, timeout=60)
        root = pathlib.Path(prefix)
        program = root / "bin" / "tallyline"
        entry = root / "share" / "applications" / "tallyline.desktop"
        icon = root / "share" / "icons" / "hicolor" / "32x32" / "apps" / "tallyline.png"
        for path in (program, entry, icon):
            check(path.is_file(), f"{path.relative_to(root)} was not installed")
        check(program.stat().st_mode & 0o111, "the program is not executable")
        desktop = configparser.ConfigParser(interpolation=None)
        desktop.optionxform = str
        desktop.read(entry)
        section = desktop["Desktop Entry"]
        check(section.get("Type") == "Application", "the entry is not an application")
        check(section.get("Exec", "").split()[0] == program.name, "the entry does not start the program")
        check(section.get("Icon") == icon.stem, "the entry does not name the installed icon")
        check(icon.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n", "the icon is not a PNG")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        fail("usage: test_install.py BUILD_DIR")
    test(sys.argv[1])
    print("PASS")
