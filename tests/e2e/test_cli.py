"""The command line as a script or a server with no screen uses it. Every file is read
back by readers that share no code with the program (zbar; librsvg and poppler draw
SVG and PDF). Failures are made real: a read-only and a full file system of the
test's own. What the arguments mean is tst_commandline's to check."""

import collections
import pathlib
import random
import re
import tempfile
from urllib.parse import unquote

import pytest

from tallyline_e2e import (PAGE, SLOW_TIMEOUT, bar_row, decode, decode_file, headless_env, on_tmpfs, pdf_to_png, run,
                           svg_to_png)

ENV = headless_env()
TEXT = "Tally 39-A/B.$+%"
# The characters that Code 39's bars carry (ISO/IEC 16388's character table, less its start and stop).
CARRIED = set("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -.$/+%")
# Capitals, digits, "-", "_" and "." (not first), and "%" with two hex digits for every other byte.
SAFE_NAME = re.compile(r"(?:[A-Z0-9_-]|%[0-9A-F]{2})(?:[A-Z0-9_.-]|%[0-9A-F]{2})*\.(png|svg|pdf)")
HINT = "; --full-ascii carries every ASCII character, --lenient leaves them out of the bars"
TOO_LONG = "too long: its barcode would be wider than the 32767 pixels a picture can take"


def tallyline(binary, *arguments, env=ENV, **options):
    return run(binary, *arguments, env=env, text=True, **{"timeout": SLOW_TIMEOUT, **options})


@pytest.fixture(scope="module")
def png_bars(binary):
    """The bars of a row of the PNG at scale 5, where half a module is 5 pixels."""
    with tempfile.TemporaryDirectory() as folder:
        png = pathlib.Path(folder, "tally.png")
        tallyline(binary, TEXT, "-o", str(png), "--scale", "5", check=True)
        return bar_row(png.read_bytes(), 50)


# At 0.5 mm a module, half a module (a pixel of the PNG) is 5 dots at 508 dpi: drawn
# there, every edge of every bar of the SVG and the PDF must land where the PNG's does
# at scale 5. Paper sizes that were off would move them.
FORMATS = [
    pytest.param("png", ["--scale", "5"], ENV, lambda path: path.read_bytes(), id="PNG"),
    pytest.param("svg", ["--module-mm", "0.5"], ENV, lambda path: svg_to_png(path, "--dpi-x", "508", "--dpi-y", "508"),
                 id="SVG"),
    # A platform named in the environment is no display either: the command ignores it.
    pytest.param("pdf", ["--module-mm", "0.5"], headless_env(QT_QPA_PLATFORM="xcb"), lambda path: pdf_to_png(path, 508),
                 id="PDF"),
]


@pytest.mark.parametrize("suffix, options, env, draw", FORMATS)
def test_format(binary, folder, png_bars, suffix, options, env, draw):
    path = folder / f"tally.{suffix}"
    result = tallyline(binary, TEXT, "-o", str(path), *options, env=env)
    assert (result.returncode, result.stdout, result.stderr) == (0, "", "")
    picture = draw(path)
    assert decode(picture) == [TEXT.upper()]
    row = bar_row(picture, 50)
    assert "#" in png_bars and row.rstrip(".") == png_bars.rstrip("."), \
        f"bars off the PNG's columns:\n{row}\n{png_bars}"


# One of each way the real process ends: its status, its standard error, the files it
# left and what a reader finds in them.
ENDS = [
    pytest.param(["x", "-o", "{d}/x.jpg"], 2, "{d}/x.jpg: unknown format: the name must end in .png, .svg or .pdf\n"
                                              "Try 'tallyline --help' for more information.", {}, id="unknown format"),
    pytest.param(["", "-o", "{d}/empty.png"], 1, "the text is empty: there is no barcode to draw", {}, id="empty text"),
    pytest.param(["A" * 1300, "-o", "{d}/long.pdf"], 1, TOO_LONG, {}, id="too long"),
    # 14,400 pt is the widest page that PDF readers take.
    pytest.param(["A" * 900, "-o", "{d}/wide.pdf"], 1,
                 "too large for a PDF page: 6216 mm, where PDF readers take at most 5080 mm", {}, id="too wide a page"),
    pytest.param(["--batch", "{d}/missing.txt", "-d", "{d}/out"], 1,
                 "cannot read {d}/missing.txt: No such file or directory", {}, id="missing list"),
    # With no arguments it is the window, which has no display to open on here.
    pytest.param([], 1, "no display to open the window on (is DISPLAY or WAYLAND_DISPLAY set?)", {}, id="no display"),
    # Written as the window draws it, and read without the emoji: one character, not two halves.
    pytest.param(["ok 👍 ok", "-o", "{d}/emoji.svg", "--lenient"], 0,
                 "warning: the bars leave out '👍', which the caption shows (--lenient)", {"emoji.svg": ["OK  OK"]},
                 id="uncarried emoji"),
    # The start/stop character has no bars inside a text, wherever it stands.
    pytest.param(["*A*B*", "-o", "{d}/star.pdf", "--lenient"], 0, "warning: the bars leave out '*', which the "
                 "caption shows (--lenient)", {"star.pdf": ["AB"]}, id="* at both ends and inside"),
    pytest.param(["a*b#\t", "-o", "{d}/refused.png"], 1,
                 "refused: the bars do not carry '*', '#', U+0009" + HINT, {}, id="refused"),
    pytest.param(["Caf\u00e9 #1", "-o", "{d}/a.png", "--full-ascii"], 1, "refused: the bars do not carry '\u00e9'; "
                 "Code 39 carries ASCII characters only, --lenient leaves them out of the bars", {}, id="not ASCII"),
    pytest.param(["Caf\u00e9 #1", "-o", "{d}/a.png", "--full-ascii", "--lenient"], 0, "warning: the bars leave out "
                 "'\u00e9', which the caption shows (--lenient)", {"a.png": ["C+A+F /C1"]}, id="not ASCII, lenient"),
    pytest.param(["A", "-o", "{d}/x.png", "--copies", "2"], 2, "--copies does nothing for a PNG file: it acts on "
                 "prints (--print) only\nTry 'tallyline --help' for more information.", {}, id="option doing nothing"),
    pytest.param(["a-1", "-o", "{d}/strict.svg", "--strict"], 0, None, {"strict.svg": ["A-1"]},
                 id="strict writes what the bars carry, lower case as capitals"),
    # zbar reads the check character as part of the data.
    pytest.param(["tally-2026", "-o", "{d}/check.png", "--check-digit"], 0, None, {"check.png": ["TALLY-2026W"]},
                 id="check digit, lower case as capitals"),
    pytest.param(["A", "-o", "{d}/zone.png", "--quiet-zone", "101"], 2,
                 "--quiet-zone '101': a whole number of modules from 0 to 100 is needed\n"
                 "Try 'tallyline --help' for more information.", {}, id="quiet zone too wide"),
]


@pytest.mark.parametrize("arguments, status, message, left", ENDS)
def test_end(binary, folder, arguments, status, message, left):
    result = tallyline(binary, *(a.format(d=folder) for a in arguments))
    said = "" if message is None else f"tallyline: {message.format(d=folder)}\n"
    assert (result.returncode, result.stdout, result.stderr) == (status, "", said)
    assert sorted(path.name for path in folder.iterdir()) == sorted(left)
    for name, read in left.items():
        assert decode_file(folder / name) == read, f"{name} read as {decode_file(folder / name)}"


# Permissions do not stop root, so the folder is a file system of its own: read-only,
# or full (4 KiB pages). Whatever was there before stays as it was, nothing is added.
UNWRITABLE = [
    pytest.param(64, {"old.png": "OLD"}, True, "old.png", "Read-only file system", id="read-only, an old file"),
    pytest.param(8, {"old.png": "OLD", "filler": None}, False, "old.png", "No space left on device",
                 id="full, an old file"),
    pytest.param(8, {"filler": None}, False, "new.pdf", "No space left on device", id="full part-way"),
]


@pytest.mark.parametrize("kib, before, read_only, name, reason", UNWRITABLE)
def test_unwritable(binary, folder, kib, before, read_only, name, reason):
    """before names each file there and the text of its barcode, None for a page of zeros."""
    files = {}
    for old, text in before.items():
        if text is None:
            files[old] = b"\0" * PAGE
        else:
            tallyline(binary, text, "-o", str(folder / old), check=True)
            files[old] = (folder / old).read_bytes()
    if not read_only:
        # What it would write must not fit, or nothing is refused.
        elsewhere = folder / "elsewhere"
        elsewhere.mkdir()
        tallyline(binary, "FULL DISK 39", "-o", str(elsewhere / name), check=True)
        free = kib * 1024 - sum(-(-len(contents) // PAGE) * PAGE for contents in files.values())
        assert (elsewhere / name).stat().st_size > free, f"{name} fits in the {free} bytes left"
    disk = folder / "disk"
    result, left = on_tmpfs(disk, f"{kib}k", [binary, "FULL DISK 39", "-o", str(disk / name)], files, read_only)
    assert (result.returncode, result.stderr) == (1, f"tallyline: Cannot write {disk}/{name}: "
                                                     f"{reason.format(d=disk)}\n")
    assert left == files, f"the file system now holds {sorted(left)}"


def test_batch_on_full_disk(binary, folder):
    """A batch that fills the disk: what it wrote is whole, the rest named, the count true."""
    disk, listing = folder / "disk", folder / "list"
    listing.write_text("".join(f"DISK {n}\n" for n in range(1, 9)))
    tallyline(binary, "--batch", str(listing), "-d", str(folder / "whole"), check=True)
    whole = {path.name: path.read_bytes() for path in (folder / "whole").iterdir()}
    result, left = on_tmpfs(disk, "16k", [binary, "--batch", str(listing), "-d", str(disk)], {})
    failed = re.findall(rf"^tallyline: {re.escape(str(listing))}:\d+: Cannot write {re.escape(str(disk))}/(\S+): "
                        "No space left on device$", result.stderr, re.MULTILINE)
    assert (result.returncode == 1 and len(failed) == len(result.stderr.splitlines()) and 0 < len(left) < 8
            and len(left) + len(failed) == 8
            and result.stdout == f"tallyline: wrote {len(left)} of 8 files to {disk}\n"), \
        f"wrote {sorted(left)}: {result.stdout}{result.stderr}"
    assert all(whole.get(name) == contents for name, contents in left.items()), "a file was written part-way"
    assert not set(failed) & set(left), "a file that failed was left"


def test_batch(binary, folder):
    """Some 10,000 texts of every kind, made each its own by the number at its end; some
    lines blank, some ending in CR LF."""
    rng = random.Random(39)
    lines = [rng.choice(["", "  ", "\t"]) if rng.random() < 0.02 else "".join(
        rng.choice("ABCXYZabcxyz0123456789 -.$/+%é#@ü中_") for _ in range(rng.randint(0, 40))) + f" {n}"
        for n in range(10_200)]
    texts = {n: line for n, line in enumerate(lines, 1) if line.strip()}
    listing, out = folder / "list", folder / "out"
    listing.write_bytes(b"".join(line.encode() + rng.choice([b"\n", b"\r\n"]) for line in lines))
    result = tallyline(binary, "--batch", str(listing), "-d", str(out), "--lenient", timeout=240)
    wrote = f"tallyline: wrote {len(texts)} of {len(texts)} files to {out}\n"
    assert (result.returncode, result.stdout) == (0, wrote), result.stderr[:500]
    uncarried = {n: ", ".join(f"'{c}'" for c in dict.fromkeys(c for c in text if c.upper() not in CARRIED))
                 for n, text in texts.items()}
    assert result.stderr == "".join(f"tallyline: {listing}:{n}: warning: the bars leave out {named}, which the caption "
                                    "shows (--lenient)\n" for n, named in uncarried.items() if named), \
        "the warnings do not name each line's characters"
    names = sorted(path.name for path in out.iterdir())
    assert len(names) == len(texts) and all(SAFE_NAME.fullmatch(name) for name in names), \
        f"{len(names)} files, among them {[n for n in names if not SAFE_NAME.fullmatch(n)][:5]}"
    # Each name spells its text as drawn, capitals for lower case (as Python writes
    # these characters' capitals): no two texts share one.
    assert sorted(unquote(name[:-len(".png")]) for name in names) == sorted(text.upper() for text in texts.values())
    # What a reader finds: lower case drawn as capitals, the uncarried characters left out.
    read_as = {"".join(c for c in text.upper() if c in CARRIED) for text in texts.values()}
    for name in rng.sample(names, 12):
        read = decode_file(out / name)
        assert len(read) == 1 and read[0] in read_as, f"{name} decoded as {read}"


# Lines that try to name something else, read from standard input, the last with no
# end: none writes outside the folder or a hidden file, and each is written or named
# on standard error with its line number. The names' rules are tst_commandline's.
HOSTILE = [
    (b"../x", None), (b"/etc/passwd", None), (b".hidden", None), (b"", None), (b"twice", None),
    (b"TWICE", "{out}/TWICE.png is there already, the same barcode; not written again"),
    (b"nul\0byte", "warning: the bars leave out U+0000, which the caption shows (--lenient)"),
    (b"bad \xff\xfe utf-8", "not valid UTF-8; skipped"), (b"B" * 2000, TOO_LONG),
    (b"C" * 70_000, "longer than 65536 bytes; skipped"), (b"link", "Cannot write {out}/LINK.png: it is a symbolic link"),
]


def test_hostile(binary, folder):
    out, outside = folder / "out", folder / "outside.png"
    out.mkdir()
    outside.write_bytes(b"not to be overwritten")
    (out / "LINK.png").symlink_to(outside)
    # /etc read-only for the run, so that a name that escaped could not change the machine.
    result = run("unshare", "--mount", "--propagation", "private", "sh", "-c",
                 'mount --bind /etc /etc && mount -o remount,bind,ro /etc && exec "$@"', "sh", binary, "--batch", "-",
                 "-d", str(out), "--lenient", input=b"\n".join(line for line, _ in HOSTILE), env=ENV, timeout=SLOW_TIMEOUT)
    texts = [line for line, _ in HOSTILE if line.strip()]
    reports = [(n, report.format(out=out)) for n, (_, report) in enumerate(HOSTILE, 1) if report]
    written = len(texts) - sum(1 for _, report in reports if not report.startswith("warning"))
    assert result.returncode == 1 and result.stdout.decode() == f"tallyline: wrote {written} of {len(texts)} files " \
                                                                f"to {out}; 1 was there already, the same\n"
    # The repeat is whichever of "twice" and "TWICE" was written second.
    repeat = f"{out}/TWICE.png is there already"
    stderr = result.stderr.decode().replace(f"standard input:5: {repeat}", f"standard input:6: {repeat}")
    assert stderr == "".join(f"tallyline: standard input:{n}: {report}\n" for n, report in reports)
    assert sorted(p.name for p in folder.iterdir()) == ["out", "outside.png"], "written beside the folder"
    assert outside.read_bytes() == b"not to be overwritten", "written through a link"
    names = sorted(p.name for p in out.iterdir() if p.name != "LINK.png")
    assert len(names) == written and all(SAFE_NAME.fullmatch(n) for n in names), f"file names {names}"
    read = collections.Counter(line for n in names for line in decode_file(out / n))
    assert read == collections.Counter(["../X", "/ETC/PASSWD", ".HIDDEN", "NULBYTE", "TWICE"])


def rgb_rows(picture, rows):
    ppm = run("convert", "png:-", "-depth", "8", "ppm:-", input=picture).stdout
    header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
    width, height = int(header[1]), int(header[2])
    pixels = ppm[header.end():]
    return (width, height), [pixels[y * width * 3:(y + 1) * width * 3] for y in rows]


# The PNG's pixels at scale 1 and 3 against the SVG and the PDF drawn by readers of
# their own at the PNG's pixel size (0.5 mm a module is 0.25 mm a pixel: 101.6 dpi
# at scale 1, 304.8 at scale 3), every row across the bars compared column for
# column; the caption's smoothed text is below them. The SVG lies on an orange page,
# which shows through wherever its picture leaves the page bare. Poppler blends the
# edges of even a whole-dot shape by an eighth of a dot, hence a tolerance of a
# quarter, far below the full difference that a bar one pixel too wide makes.
@pytest.mark.parametrize("scale", [1, 3], ids=["scale 1", "scale 3"])
@pytest.mark.parametrize("suffix, draw", [
    pytest.param("svg", lambda path, dpi: run("rsvg-convert", "-b", "#FF8000", "--dpi-x", dpi, "--dpi-y", dpi, str(path),
                                              timeout=SLOW_TIMEOUT).stdout, id="SVG"),
    pytest.param("pdf", lambda path, dpi: pdf_to_png(path, dpi), id="PDF"),
])
def test_vector_files_match_png_pixels(binary, folder, suffix, draw, scale):
    png, vector = folder / "tally.png", folder / f"tally.{suffix}"
    tallyline(binary, TEXT, "-o", str(png), "--scale", str(scale), check=True)
    tallyline(binary, TEXT, "-o", str(vector), "--module-mm", "0.5", check=True)
    rows = [y * scale for y in range(4, 40)]
    size, expected = rgb_rows(png.read_bytes(), rows)
    drawn_size, drawn = rgb_rows(draw(vector, f"{25.4 * 4 * scale:g}"), rows)
    # A size in whole millimetres or points ends a pixel or two off at the right, in
    # the quiet zone; the bars are all to the left of it.
    assert abs(drawn_size[0] - size[0]) <= 2 and drawn_size[1] == size[1], f"{suffix} drawn {drawn_size}, not {size}"
    for y, want, got in zip(rows, expected, drawn):
        off = [x // 3 for x in range(min(len(want), len(got)) - 3 * 2) if abs(want[x] - got[x]) > 64]
        assert not off, f"row {y}: the {suffix} differs from the PNG in columns {sorted(set(off))[:20]}"


def zbar(png):
    """What zbar reads from the picture exactly as it is, no margin added."""
    with tempfile.NamedTemporaryFile(suffix=".png") as page:
        page.write(png)
        page.flush()
        return run("zbarimg", "-q", "--raw", page.name, text=True).stdout.splitlines()


# Each format drawn at 10 pixels a module: a PNG at scale 5 of its 2-pixel module, the SVG
# and the PDF at 0.5 mm a module drawn at 508 dpi.
AT_TEN_PIXELS = [
    pytest.param("png", ["--scale", "5"], lambda path: path.read_bytes(), id="PNG"),
    pytest.param("svg", ["--module-mm", "0.5"], lambda path: svg_to_png(path, "--dpi-x", "508", "--dpi-y", "508"),
                 id="SVG"),
    pytest.param("pdf", ["--module-mm", "0.5"], lambda path: pdf_to_png(path, 508), id="PDF"),
]
PIXELS_A_MODULE = 10
# The quiet zone asked for, and the modules of background then left and right of the
# bars: none asked for leaves the picture's own, one module before the bars and two after.
QUIET_ZONES = [
    pytest.param([], (10, 10), id="default"),
    pytest.param(["--quiet-zone", "0"], (1, 2), id="0: the window's picture"),
    pytest.param(["--quiet-zone", "4"], (4, 4), id="4"),
    pytest.param(["--quiet-zone", "25"], (25, 25), id="25"),
]


@pytest.mark.parametrize("zone, modules", QUIET_ZONES)
@pytest.mark.parametrize("suffix, options, draw", AT_TEN_PIXELS)
def test_quiet_zone(binary, folder, suffix, options, draw, zone, modules):
    path = folder / f"zone.{suffix}"
    tallyline(binary, TEXT, "-o", str(path), *options, *zone, check=True)
    picture = draw(path)
    row = bar_row(picture, 50)
    bars = row.strip(".")
    background = (len(row) - len(row.lstrip(".")), len(row) - len(row.rstrip(".")))
    # A PDF page is whole points wide: its right edge may end a few pixels off.
    assert tuple(round(columns / PIXELS_A_MODULE) for columns in background) == modules, \
        f"background {background} pixels: {row}"
    # Bars whole modules wide, from the first bar to the last: the start and stop characters
    # and 13 modules a character between, less the gap before the first bar.
    assert len(bars) == PIXELS_A_MODULE * (13 * (len(TEXT) + 2) - 1), f"bars {len(bars)} pixels wide"
    if min(modules) >= 10:
        assert zbar(picture) == [TEXT.upper()], "did not read as written"


def frame(png, pixels_a_module, gap_modules):
    """The picture with a black vertical line, a module wide, gap_modules beyond it on each
    side, all on a white page."""
    return run("convert", "png:-", "-bordercolor", "white", "-border", f"{gap_modules * pixels_a_module}x0",
               "-bordercolor", "black", "-border", f"{pixels_a_module}x0", "-bordercolor", "white", "-border", "40",
               "png:-", input=png).stdout


@pytest.mark.parametrize("suffix, options, draw", AT_TEN_PIXELS)
def test_frame_beside_quiet_zone(binary, folder, suffix, options, draw):
    """A label's frame line two modules beyond the quiet zone leaves the symbol to read."""
    path = folder / f"framed.{suffix}"
    tallyline(binary, TEXT, "-o", str(path), *options, check=True)
    framed = frame(draw(path), PIXELS_A_MODULE, 2)
    frame_and_gap = "." * 40 + "#" * PIXELS_A_MODULE + "." * 2 * PIXELS_A_MODULE
    assert bar_row(framed, 90).startswith(frame_and_gap + "." * 10 * PIXELS_A_MODULE + "#")
    assert zbar(framed) == [TEXT.upper()]


@pytest.mark.parametrize("suffix", ["png", "svg", "pdf"])
def test_check_digit(binary, folder, suffix):
    """The check character ends the bars in every format; zbar reads it as data."""
    path = folder / f"check.{suffix}"
    result = tallyline(binary, "Code 39", "-o", str(path), "--check-digit")
    # C 12 + O 24 + D 13 + E 14 + space 38 + 3 + 9 = 113 = 2 x 43 + 27: R.
    assert (result.returncode, result.stderr, decode_file(path)) == (0, "", ["CODE 39R"])


def test_strict_batch(binary, folder):
    """Each line with a character the bars leave out is refused (--strict changes nothing), the rest written."""
    listing, out = folder / "list", folder / "out"
    listing.write_text("KEPT 1\n*STAR*\nkept 2\nCAF\u00c9\nKEPT 3\n")
    result = tallyline(binary, "--batch", str(listing), "-d", str(out), "--strict", "--check-digit")
    assert (result.returncode, result.stdout, result.stderr) == (
        1, f"tallyline: wrote 3 of 5 files to {out}\n",
        f"tallyline: {listing}:2: refused: the bars do not carry '*'{HINT}\n"
        f"tallyline: {listing}:4: refused: the bars do not carry '\u00c9'; Code 39 carries ASCII characters only, "
        "--lenient leaves them out of the bars\n")
    # KEPT 1: 20 + 14 + 25 + 29 + 38 + 1 = 127 = 2 x 43 + 41: +.
    read = {path.name: decode_file(path) for path in out.iterdir()}
    assert read == {"KEPT%201.png": ["KEPT 1+"], "KEPT%202.png": ["KEPT 2%"], "KEPT%203.png": ["KEPT 30"]}
