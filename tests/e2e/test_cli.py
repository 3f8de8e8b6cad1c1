"""The command line as a script or a server with no screen uses it. Every file is read
back by readers that share no code with the program (zbar; librsvg and poppler draw
SVG and PDF), and the vector files' bars must fall on the very columns of the PNG's.
Failures are made real: a read-only and a full file system of the test's own."""

import collections
import pathlib
import random
import re
import tempfile

from tallyline_e2e import (SLOW_TIMEOUT, bar_row, check, decode, decode_file, grey, headless_env, main, on_tmpfs,
                           pdf_to_png, run, svg_to_png)

ENV = headless_env()
TRY_HELP = "Try 'tallyline --help' for more information.\n"
TEXT = "Tally 39-A/B.$+%"
# The characters that Code 39's bars carry (ISO/IEC 16388's character table, less its start and stop).
CARRIED = set("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -.$/+%")
SAFE_NAME = re.compile(r"[A-Za-z0-9_+-][A-Za-z0-9_.+-]*\.(png|svg|pdf)")


def tallyline(binary, *arguments, env=ENV, **options):
    options.setdefault("timeout", SLOW_TIMEOUT)
    if not isinstance(options.get("input"), bytes):
        options["text"] = True
    return run(binary, *arguments, env=env, **options)


# A module size, a resolution at which half a module (a pixel of the PNG) is a whole
# number of dots, and that number: at any module every edge of every bar must land
# where it is in the PNG at that scale. By default a module is 2 pixels at 96 dpi.
MODULES = [("01 the default module", None, 288, 3), ("02 --module-mm 0.5", "0.5", 508, 5),
           ("03 --module-mm 0.3", "0.3", 508, 3), ("04 --module-mm 1.016", "1.016", 100, 2)]


def test_formats(binary, folder):
    for case, module, dpi, scale in MODULES:
        png, svg, pdf = (folder / f"{case[:2]}.{suffix}" for suffix in ("png", "svg", "pdf"))
        option = ["--module-mm", module] if module else []
        # A platform named in the environment is no display either: the command ignores it.
        for path, options, env in ((png, ["--scale", str(scale)], ENV), (svg, option, ENV),
                                   (pdf, option, headless_env(QT_QPA_PLATFORM="xcb"))):
            result = tallyline(binary, TEXT, "-o", str(path), *options, env=env)
            check((result.returncode, result.stdout, result.stderr) == (0, "", ""), f"{case}, {path.name}: {result}")
        width, height, _ = grey(png.read_bytes())
        if module:
            millimetres = (width / scale * float(module) / 2, height / scale * float(module) / 2)
            size = re.search(r'<svg[^>]* width="([\d.]+)mm" height="([\d.]+)mm"', svg.read_text())
            check(size and all(abs(float(found) - wanted) < 0.0006 for found, wanted in zip(size.groups(), millimetres)),
                  f"{case}: SVG size {size and size.groups()}, wanted {millimetres} mm")
            page = re.search(r"Page size:\s+([\d.]+) x ([\d.]+) pts", run("pdfinfo", str(pdf), text=True).stdout)
            # Qt makes a PDF page a whole number of points.
            points = [mm / 25.4 * 72 for mm in millimetres]
            check(page and all(abs(float(found) - wanted) <= 0.5 for found, wanted in zip(page.groups(), points)),
                  f"{case}: PDF page {page and page.groups()} pt, wanted {points}")
        expected = bar_row(png.read_bytes(), 10 * scale)
        drawn_svg = svg_to_png(svg, "--dpi-x", str(dpi), "--dpi-y", str(dpi))
        for name, picture in (("PNG", png.read_bytes()), ("SVG", drawn_svg), ("PDF", pdf_to_png(pdf, dpi))):
            check(decode(picture) == [TEXT.upper()], f"{case}: the {name} decoded as {decode(picture)}")
            row = bar_row(picture, 10 * scale)
            check("#" in expected and row.rstrip(".") == expected.rstrip("."),
                  f"{case}: {name} bars off the PNG's columns:\n{row}\n{expected}")
        width, _, levels = grey(drawn_svg)
        check(set(levels[10 * scale * width:(10 * scale + 1) * width]) == {0, 255},
              f"{case}: the SVG's bar edges are smoothed, not on whole pixels")


USAGE_ERRORS = [
    (["x", "-o", "{d}/x.jpg"], "{d}/x.jpg: unknown format: the name must end in .png, .svg or .pdf"),
    (["x", "-o", "{d}/png"], "{d}/png: unknown format: the name must end in .png, .svg or .pdf"),
    *((["x", "-o", "{d}/x.png", "--scale", scale], f"--scale '{scale}': a whole number from 1 to 100 is needed")
      for scale in ("0", "101", "1.5", "-2", "three", "")),
    *((["x", "-o", "{d}/x.svg", "--module-mm", module],
       f"--module-mm '{module}': a number of millimetres from 0.01 to 100 is needed")
      for module in ("0", "0.001", "100.5", "-1", "nan", "inf", "wide")),
    (["--batch", "{d}/list", "-d", "{d}/out", "--format", "jpg"], "unknown format 'jpg': use png, svg or pdf"),
]
# Texts whose bars leave characters out: written as the window draws them, with a
# warning that names those characters, and read without them. A star draws the
# symbol's own end inside it, so nothing reads.
UNCARRIED = [("Größe#1", "'ö', 'ß', '#'", ["GRE1"]), ("tab\there", "U+0009", ["TABHERE"]),
             ("ok 👍 ok", "'👍'", ["OK  OK"]), ("zero\u200bwidth", "U+200B", ["ZEROWIDTH"]), ("*STAR*", "'*'", [])]
# Commands that fail with status 1 and write nothing.
FAILURES = [
    *(([text, "-o", f"{{d}}/undrawable.{suffix}"], message) for suffix in ("png", "svg", "pdf") for text, message in (
        ("", "the text is empty: there is no barcode to draw"),
        ("A" * 1300, "too long: its barcode would be wider than the 32767 pixels a picture can take"))),
    (["--batch", "{d}/missing", "-d", "{d}/out"], "cannot read {d}/missing: No such file or directory"),
    (["--batch", "{d}", "-d", "{d}/out"], "cannot read {d}: file to open is a directory"),
    (["x", "-o", "{d}/missing/x.png"], "Cannot write {d}/missing/x.png: No such file or directory"),
    (["x", "-o", "{d}/directory.png"], "Cannot write {d}/directory.png: Filename refers to a directory"),
]


def test_messages(binary, folder):
    for arguments, message in USAGE_ERRORS:
        result = tallyline(binary, *(a.format(d=folder) for a in arguments))
        check((result.returncode, result.stdout, result.stderr) ==
              (2, "", f"tallyline: {message.format(d=folder)}\n{TRY_HELP}"), f"{arguments}: {result}")
    check(not list(folder.iterdir()), f"a usage error wrote {list(folder.iterdir())}")
    (folder / "directory.png").mkdir()
    for arguments, message in FAILURES:
        result = tallyline(binary, *(a.format(d=folder) for a in arguments))
        check((result.returncode, result.stderr) == (1, f"tallyline: {message.format(d=folder)}\n"),
              f"{arguments[:3]}: {result}")
        check([p.name for p in folder.iterdir()] == ["directory.png"] and not list((folder / "directory.png").iterdir()),
              f"{arguments[:3]} wrote {list(folder.iterdir())}")
    for number, (text, named, read) in enumerate(UNCARRIED):
        result = tallyline(binary, text, "-o", str(folder / f"uncarried-{number}.png"))
        check((result.returncode, result.stderr) ==
              (0, f"tallyline: warning: the bars do not carry {named}; written as the window draws it\n"),
              f"{text!r}: {result}")
        check(decode_file(folder / f"uncarried-{number}.png") == read, f"{text!r} did not read as {read}")
    result = tallyline(binary, "--help")
    check(result.returncode == 0 and all(o in result.stdout for o in ("--batch", "--module-mm", "--scale", "-o,")),
          f"--help: {result}")
    result = tallyline(binary, "--version")
    check(result.returncode == 0 and re.fullmatch(r"tallyline \d+(\.\d+)*\n", result.stdout), f"--version: {result}")
    # With no arguments it is the window, which has no display to open on here.
    result = tallyline(binary)
    check((result.returncode, result.stderr) ==
          (1, "tallyline: no display to open the window on (is DISPLAY or WAYLAND_DISPLAY set?)\n"),
          f"no display: {result}")


def test_unwritable(binary, folder):
    """Permissions do not stop root, so the folder is a file system of its own: read-only,
    or full (4 KiB pages). Whatever was there before stays as it was, nothing is added."""
    tallyline(binary, "OLD", "-o", str(folder / "old.png"), check=True)
    old, filler = {"old.png": (folder / "old.png").read_bytes()}, {"filler": b"\0" * 4096}
    tallyline(binary, "FULL DISK 39", "-o", str(folder / "big.pdf"), check=True)
    check((folder / "big.pdf").stat().st_size > 4096, "the PDF fits in a page: nothing is written part-way")
    disk, listing = folder / "disk", folder / "list"
    listing.write_text("".join(f"DISK {n}\n" for n in range(1, 9)))
    cases = [("01 read-only, a new file", "64k", old, True, "new.png", "Cannot write {d}/new.png: Read-only file system"),
             ("02 read-only, an old file", "64k", old, True, "old.png", "Cannot write {d}/old.png: Existing file "
                                                                        "{d}/old.png is not writable"),
             ("03 full, a new file", "4k", filler, False, "new.png", "Cannot write {d}/new.png: No space left on device"),
             ("04 full, an old file", "8k", old | filler, False, "old.png", "Cannot write {d}/old.png: No space left "
                                                                             "on device"),
             ("05 full part-way", "8k", filler, False, "new.pdf", "Cannot write {d}/new.pdf: No space left on device"),
             ("06 a batch's folder that cannot be made", "64k", {}, True, None, "cannot make the folder {d}/sub")]
    for case, size, files, read_only, name, message in cases:
        command = ["FULL DISK 39", "-o", str(disk / name)] if name else ["--batch", str(listing), "-d", str(disk / "sub")]
        result, left = on_tmpfs(disk, size, [binary, *command], files=files, read_only=read_only, env=ENV, text=True)
        check((result.returncode, result.stderr) == (1, f"tallyline: {message.format(d=disk)}\n"),
              f"{case}: {result.returncode} {result.stderr}")
        check(left == files, f"{case}: the file system now holds {sorted(left)}")

    # A batch that fills the disk: what it wrote is whole, the rest named, the count true.
    tallyline(binary, "--batch", str(listing), "-d", str(folder / "whole"), check=True)
    whole = {path.name: path.read_bytes() for path in (folder / "whole").iterdir()}
    result, left = on_tmpfs(disk, "16k", [binary, "--batch", str(listing), "-d", str(disk)], env=ENV, text=True)
    failed = re.findall(rf"^tallyline: {re.escape(str(listing))}:\d+: Cannot write {re.escape(str(disk))}/(\S+): "
                        "No space left on device$", result.stderr, re.MULTILINE)
    check(result.returncode == 1 and len(failed) == len(result.stderr.splitlines()) and 0 < len(left) < 8
          and len(left) + len(failed) == 8 and result.stdout == f"tallyline: wrote {len(left)} of 8 files to {disk}\n",
          f"batch on a full disk wrote {sorted(left)}: {result.stdout}{result.stderr}")
    check(all(whole.get(name) == contents for name, contents in left.items()), "a file was written part-way")
    check(not set(failed) & set(left), "a file that failed was left")


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
    result = tallyline(binary, "--batch", str(listing), "-d", str(out), timeout=240)
    check((result.returncode, result.stdout) == (0, f"tallyline: wrote {len(texts)} of {len(texts)} files to {out}\n"),
          f"batch: {result.returncode} {result.stdout} {result.stderr[:500]}")
    uncarried = {n: ", ".join(f"'{c}'" for c in dict.fromkeys(c for c in text if c.upper() not in CARRIED))
                 for n, text in texts.items()}
    check(result.stderr == "".join(f"tallyline: {listing}:{n}: warning: the bars do not carry {named}; written as the "
                                   "window draws it\n" for n, named in uncarried.items() if named),
          "the warnings do not name each line's characters")
    names = sorted(path.name for path in out.iterdir())
    check(len(names) == len(texts) and all(SAFE_NAME.fullmatch(name) for name in names),
          f"{len(names)} files, among them {[n for n in names if not SAFE_NAME.fullmatch(n)][:5]}")
    # What a reader finds: lower case drawn as capitals, the uncarried characters left out.
    read_as = {"".join(c for c in text.upper() if c in CARRIED) for text in texts.values()}
    for name in rng.sample(names, 12):
        read = decode_file(out / name)
        check(len(read) == 1 and read[0] in read_as, f"{name} decoded as {read}")


# Lines that try to name something else, read from standard input, the last with no
# end: none writes outside the folder or a hidden file, and each is written or named
# on standard error with its line number.
HOSTILE = [
    (b"../x", None), (b"/etc/passwd", None), (b".hidden", None), (b"..", None), (b"a/b/c", None), (b"con", None),
    (b"", None), (b" \t ", None), (b"A" * 500, None), (b"crlf\r", None),
    (b"nul\0byte", "warning: the bars do not carry U+0000; written as the window draws it"),
    (b"bad \xff\xfe utf-8", "not valid UTF-8; skipped"),
    (b"twice", None), (b"twice", None), (b"TWICE", None),
    (b"B" * 2000, "too long: its barcode would be wider than the 32767 pixels a picture can take"),
    (b"C" * 70_000, "longer than 65536 bytes; skipped"),
    (b"link", "Cannot write {out}/link.png: it is a symbolic link"),
]


def test_hostile(binary, folder):
    out, outside = folder / "out", folder / "outside.png"
    out.mkdir()
    outside.write_bytes(b"not to be overwritten")
    (out / "link.png").symlink_to(outside)
    # /etc read-only for the run, so that a name that escaped could not change the machine.
    result = run("unshare", "--mount", "--propagation", "private", "sh", "-c",
                 'mount --bind /etc /etc && mount -o remount,bind,ro /etc && exec "$@"', "sh", binary, "--batch", "-",
                 "-d", str(out), input=b"\n".join(line for line, _ in HOSTILE), env=ENV, timeout=SLOW_TIMEOUT)
    texts = [line for line, _ in HOSTILE if line.strip()]
    reports = [(n, report.format(out=out)) for n, (_, report) in enumerate(HOSTILE, 1) if report]
    written = len(texts) - sum(1 for _, report in reports if not report.startswith("warning"))
    check(result.returncode == 1 and result.stdout.decode() == f"tallyline: wrote {written} of {len(texts)} files "
          f"to {out}\n", f"hostile lines: {result.returncode} {result.stdout}")
    check(result.stderr.decode() == "".join(f"tallyline: standard input:{n}: {report}\n" for n, report in reports),
          f"hostile lines reported:\n{result.stderr.decode()}")
    check(sorted(p.name for p in folder.iterdir()) == ["out", "outside.png"],
          f"written beside the folder: {sorted(p.name for p in folder.iterdir())}")
    check(outside.read_bytes() == b"not to be overwritten", "written through a link")
    names = sorted(p.name for p in out.iterdir() if p.name != "link.png")
    check(len(names) == written and all(SAFE_NAME.fullmatch(n) and len(n.encode()) <= 255 for n in names),
          f"file names {names}")
    long_ones = [n for n in names if len(n) > 100]
    read = collections.Counter(line for n in names if n not in long_ones for line in decode_file(out / n))
    check(len(long_ones) == 1 and read == collections.Counter(
        ["../X", "/ETC/PASSWD", ".HIDDEN", "..", "A/B/C", "CON", "CRLF", "NULBYTE", "TWICE", "TWICE", "TWICE"]),
        f"read {read} from the files, {len(long_ones)} long")



def test(binary):
    for part in (test_formats, test_messages, test_unwritable, test_batch, test_hostile):
        with tempfile.TemporaryDirectory() as folder:
            part(binary, pathlib.Path(folder))


if __name__ == "__main__":
    main(test)
