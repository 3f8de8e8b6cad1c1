"""The command line as a script or a server with no screen uses it: its files, standard output, statuses, messages
and summaries, which never claim a file that was not written. Every file is read back by readers that share no code
with the program (zbar; librsvg and poppler draw SVG and PDF). Failures are made real: a read-only and a full file
system of the test's own."""

import collections
import pathlib
import re
import tempfile

import pytest

from tallyline_e2e import (PAGE, SLOW_TIMEOUT, bar_row, decode, decode_file, headless_env, on_tmpfs, pdf_to_png, run,
                           svg_to_png, tallyline)

ENV = headless_env()
# Whatever a test prints by mistake reaches no print server.
NO_SERVER = headless_env(CUPS_SERVER="/nonexistent/tallyline-print-server")
TEXT = "Tally 39-A/B.$+%"
# Capitals, digits, "-", "_" and "." (not first), and "%" with two hex digits for every other byte.
SAFE_NAME = re.compile(r"(?:[A-Z0-9_-]|%[0-9A-F]{2})(?:[A-Z0-9_.-]|%[0-9A-F]{2})*\.(png|svg|pdf)")
HINT = "; --full-ascii carries every ASCII character, --lenient leaves them out of the bars"
TOO_LONG = "too long: its barcode would be wider than the 32767 pixels a picture can take"


# One of each way the real process ends: its status, its standard error, the files it left and what a reader finds in
# them.
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
                 "prints (--print), PDFs of sheets and prints on sheets\nTry 'tallyline --help' for more information.",
                 {}, id="option doing nothing"),
    pytest.param(["a-1", "-o", "{d}/strict.svg", "--strict"], 0, None, {"strict.svg": ["A-1"]},
                 id="strict writes what the bars carry, lower case as capitals"),
    # zbar reads the check character as part of the data.
    pytest.param(["tally-2026", "-o", "{d}/check.png", "--check-digit"], 0, None, {"check.png": ["TALLY-2026W"]},
                 id="check digit, lower case as capitals"),
]


@pytest.mark.parametrize("arguments, status, message, left", ENDS)
def test_end(binary, folder, arguments, status, message, left):
    result = tallyline(binary, *(a.format(d=folder) for a in arguments))
    said = "" if message is None else f"tallyline: {message.format(d=folder)}\n"
    assert (result.returncode, result.stdout, result.stderr) == (status, "", said)
    assert sorted(path.name for path in folder.iterdir()) == sorted(left)
    for name, read in left.items():
        assert decode_file(folder / name) == read, f"{name} read as {decode_file(folder / name)}"


# Permissions do not stop root, so the folder is a file system of its own: read-only, or full (4 KiB pages). Whatever
# was there before stays as it was, nothing is added.
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


# Lines that try to name something else, read from standard input, the last with no end: none writes outside the
# folder or a hidden file, and each is written or named on standard error with its line number. The names' rules are
# tst_commandline's.
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
                 "-d", str(out), "--lenient", input=b"\n".join(line for line, _ in HOSTILE), env=ENV,
                 timeout=SLOW_TIMEOUT)
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


# Each format drawn at 10 pixels a module: a PNG at scale 5 of its 2-pixel module, the SVG and the PDF at 0.5 mm a
# module drawn at 508 dpi, where --ratio 2 keeps the window's wide elements (below 0.508 mm they would be 2.2
# modules); a platform named in the environment is no display either, and the command ignores it.
AT_TEN_PIXELS = [
    pytest.param("png", ["--scale", "5"], ENV, lambda path: path.read_bytes(), id="PNG"),
    pytest.param("svg", ["--module-mm", "0.5", "--ratio", "2"], ENV,
                 lambda path: svg_to_png(path, "--dpi-x", "508", "--dpi-y", "508"), id="SVG"),
    pytest.param("pdf", ["--module-mm", "0.5", "--ratio", "2"], headless_env(QT_QPA_PLATFORM="xcb"),
                 lambda path: pdf_to_png(path, 508), id="PDF"),
]
PIXELS_A_MODULE = 10
# The quiet zone asked for, and the modules of background then left and right of the bars: none asked for leaves the
# picture's own, one module before the bars and two after.
QUIET_ZONES = [
    pytest.param([], (10, 10), id="default"),
    pytest.param(["--quiet-zone", "0"], (1, 2), id="0: the window's picture"),
    pytest.param(["--quiet-zone", "25"], (25, 25), id="25"),
]


@pytest.fixture(scope="module")
def png_bars(binary):
    """The bars of the PNG's row 50, whose columns every format's bars must take."""
    with tempfile.TemporaryDirectory() as folder:
        png = pathlib.Path(folder, "tally.png")
        tallyline(binary, TEXT, "-o", str(png), "--scale", "5", check=True)
        return bar_row(png.read_bytes(), 50).strip(".")


@pytest.mark.parametrize("zone, modules", QUIET_ZONES)
@pytest.mark.parametrize("suffix, options, env, draw", AT_TEN_PIXELS)
def test_quiet_zone(binary, folder, png_bars, suffix, options, env, draw, zone, modules):
    path = folder / f"zone.{suffix}"
    result = tallyline(binary, TEXT, "-o", str(path), *options, *zone, env=env)
    assert (result.returncode, result.stdout, result.stderr) == (0, "", "")
    picture = draw(path)
    row = bar_row(picture, 50)
    background = (len(row) - len(row.lstrip(".")), len(row) - len(row.rstrip(".")))
    # A PDF page is whole points wide: its right edge may end a few pixels off.
    assert tuple(round(columns / PIXELS_A_MODULE) for columns in background) == modules, \
        f"background {background} pixels: {row}"
    # Bars whole modules wide, from the first bar to the last: the start and stop characters and 13 modules a
    # character between, less the gap before the first bar; each edge where the PNG's is, which paper sizes that were
    # off would move.
    bars = row.strip(".")
    assert len(bars) == PIXELS_A_MODULE * (13 * (len(TEXT) + 2) - 1) and bars == png_bars, \
        f"bars off the PNG's columns:\n{bars}\n{png_bars}"
    if min(modules) >= 10:
        assert decode(picture, margin=0) == [TEXT.upper()], "did not read as written"


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


@pytest.mark.parametrize("arguments, draw", [
    pytest.param(["--format", "png", "A-39"], lambda path: path.read_bytes(), id="PNG"),
    pytest.param(["--format", "svg", "A-39"], svg_to_png, id="SVG"),
    pytest.param(["--format", "pdf", "A-39", "--page-mm", "50.8x25.4"], lambda path: pdf_to_png(path, 300),
                 id="PDF label"),
    pytest.param(["--format", "pdf", "--batch", "-"], lambda path: pdf_to_png(path, 300), id="PDF of labels"),
])
def test_standard_output(binary, folder, arguments, draw):
    """The bytes on standard output are the file, whole; reports go to standard error."""
    done = run(binary, "-o", "-", *arguments, input=b"A-39\n", env=NO_SERVER, timeout=SLOW_TIMEOUT)
    batch = "--batch" in arguments
    assert (done.returncode, done.stderr) == (0, b"tallyline: wrote 1 of 1 label to standard output\n" if batch else b"")
    (folder / "out").write_bytes(done.stdout)
    assert decode(draw(folder / "out")) == ["A-39"]
    if "--page-mm" in arguments:
        assert re.search(r"Page size: +144 x 72 pts", run("pdfinfo", str(folder / "out"), text=True).stdout)


# Batches that made nothing, or one file: status and summary. A PDF of labels that was not
# written is a failure, whatever the list held: an older file of its name would pass for it.
SUMMARIES = [
    pytest.param(["--batch", "{d}/missing.txt", "-o", "{d}/x.pdf"], 1, "{d}/x.pdf not written", id="PDF, no list"),
    pytest.param(["--batch", "/dev/null", "-o", "{d}/x.pdf"], 1, "{d}/x.pdf not written: /dev/null holds no text",
                 id="PDF, empty list"),
    pytest.param(["--batch", "{d}/list", "-o", "{d}/x.pdf"], 1, "{d}/x.pdf not written, of 1 text", id="PDF, refused"),
    pytest.param(["--batch", "/dev/null", "-d", "{d}/out"], 0, "no file written to {d}/out: /dev/null holds no text",
                 id="files, empty list"),
    pytest.param(["--batch", "{d}/list", "-d", "{d}/out", "--lenient"], 0, "wrote 1 of 1 file to {d}/out", id="one"),
    pytest.param(["--batch", "{d}/list", "--print"], 1, "no label printed, of 1 text", id="print, no server"),
]


@pytest.mark.parametrize("arguments, status, summary", SUMMARIES)
def test_summary(binary, folder, arguments, status, summary):
    (folder / "list").write_text("A#1\n")
    done = run(binary, *(a.format(d=folder) for a in arguments), env=NO_SERVER, text=True, timeout=SLOW_TIMEOUT)
    assert (done.returncode, done.stdout) == (status, f"tallyline: {summary.format(d=folder)}\n"), done.stderr
    assert not (folder / "x.pdf").exists()


# Every group of pairs: lower case (+A-+Z), controls ($A-$Z, %A-%E), NUL (%U), DEL (%T),
# punctuation (/A-/L, /O, /Z, %F-%J, %K-%O, %P-%S), @ (%V), ` (%W), and $ % / + as pairs.
PEER_TEXTS = [
    "abcdefghijklm", "nopqrstuvwxyz", "Item #42", "!\"#$%&'()*+,", "-./:;<=>?", "@[\\]^_`", "{|}~\x7f", "A\x00B",
    "\x01\x02\x1a", "\x1b\x1c\x1d\x1e\x1f", "tab\there", "user@example.com", "https://x.test/?q=a&b=c",
    "C:\\Temp\\x_1.txt", "50% off, $9.99 + tax", "MiXeD 39 CaSe", "<tag attr='v'/>", "a*b", "~/.config",
    "ASSET-0042/b", "\x7f\x00",
]
SAFE = set("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_.")


@pytest.fixture(scope="module", params=[[], ["--check-digit"]], ids=["plain", "check digit"])
def ours(binary, request):
    """Each text's PNG from one --full-ascii batch (its names escape every byte but capitals,
    digits, - _ and .), and the options it was drawn with."""
    with tempfile.TemporaryDirectory(prefix="tallyline-e2e-") as folder:
        done = run(binary, "--batch", "-", "-d", folder, "--full-ascii", *request.param, env=headless_env(),
                   input="".join(f"{text}\n" for text in PEER_TEXTS).encode(), timeout=SLOW_TIMEOUT)
        assert done.returncode == 0, done.stderr
        name = lambda text: "".join(chr(b) if chr(b) in SAFE else f"%{b:02X}" for b in text.encode()) + ".png"
        yield {text: pathlib.Path(folder, name(text)) for text in PEER_TEXTS}, request.param


@pytest.mark.parametrize("text", PEER_TEXTS, ids=ascii)
def test_read_as_the_peer(ours, text):
    """--full-ascii against the peer: zbar reads our PNG of each text exactly as it reads zint's extended Code 39
    (-b 9) of it, the pairs as drawn, since zbar does not expand them."""
    files, options = ours
    escaped = "".join("\\\\" if c == "\\" else c if " " <= c < "\x7f" else f"\\x{ord(c):02x}" for c in text)
    peer = run("zint", "-b", "9", "--esc", "--direct", "-d", escaped, *(["--vers=1"] if options else []),
               timeout=SLOW_TIMEOUT).stdout
    assert len(decode(peer)) == 1 and decode_file(files[text]) == decode(peer)
