"""Where the command line's work goes and what it says of it: a file on standard output
and nothing else there, an option that would do nothing refused before anything is
made, --page-mm for one text, and summaries that never claim a file that was not written."""

import re
import subprocess

import pytest

from tallyline_e2e import SLOW_TIMEOUT, decode, headless_env, pdf_to_png, run, svg_to_png

# No print server: a print that a test makes by mistake reaches none of the machine's printers.
ENV = headless_env(CUPS_SERVER="/nonexistent/tallyline-print-server")
USAGE = "\nTry 'tallyline --help' for more information.\n"


def tallyline(binary, *arguments, **options):
    return run(binary, *arguments, env=ENV, **{"timeout": SLOW_TIMEOUT, **options})


@pytest.mark.parametrize("arguments, draw", [
    pytest.param(["--format", "png"], lambda path: path.read_bytes(), id="PNG"),
    pytest.param(["--format", "svg"], svg_to_png, id="SVG"),
    pytest.param(["--format", "pdf"], lambda path: pdf_to_png(path, 300), id="PDF"),
    pytest.param(["--format", "pdf", "--batch", "-"], lambda path: pdf_to_png(path, 300), id="PDF of labels"),
])
def test_standard_output(binary, folder, arguments, draw):
    """The bytes on standard output are the file, whole; reports go to standard error."""
    batch = "--batch" in arguments
    done = tallyline(binary, "-o", "-", *arguments, *([] if batch else ["TALLY-39"]), input=b"TALLY-39\n")
    assert (done.returncode, done.stderr) == \
        (0, b"tallyline: wrote 1 of 1 label to standard output\n" if batch else b""), done.stderr
    (folder / "out").write_bytes(done.stdout)
    assert decode(draw(folder / "out")) == ["TALLY-39"]


def test_standard_output_full(binary):
    with open("/dev/full", "wb") as full:
        done = subprocess.run([binary, "A", "-o", "-", "--format", "png"], env=ENV, stdout=full,
                              stderr=subprocess.PIPE, text=True, timeout=SLOW_TIMEOUT, check=False)
    assert (done.returncode, done.stderr) == (1, "tallyline: cannot write to standard output: No space left on device\n")


# Each a usage error, named: the option would do nothing for what is asked.
SILENT = [
    pytest.param(["A", "-o", "{d}/x.svg", "--scale", "3"], "--scale does nothing for an SVG file: it acts on PNG files only",
                 id="scale, SVG"),
    pytest.param(["A", "-o", "{d}/x.png", "--copies", "2"],
                 "--copies does nothing for a PNG file: it acts on prints (--print) only", id="copies, PNG"),
    pytest.param(["A", "--print", "--module-mm", "0.3"],
                 "--module-mm does nothing for a print: it acts on SVG files and PDF files", id="module, print"),
    pytest.param(["A", "--print", "--quiet-zone", "0"],
                 "--quiet-zone does nothing for a print: it acts on PNG files, SVG files and PDF files",
                 id="quiet zone, print"),
    pytest.param(["A", "-o", "{d}/x.png", "--page-mm", "50x20"],
                 "--page-mm does nothing for a PNG file: it acts on PDFs of labels only", id="page, PNG"),
    pytest.param(["A", "-o", "-"], "-o - writes to standard output, which has no suffix: name the format with --format",
                 id="standard output, no format"),
]


@pytest.mark.parametrize("arguments, said", SILENT)
def test_option_that_would_do_nothing(binary, folder, arguments, said):
    done = tallyline(binary, *(a.format(d=folder) for a in arguments), text=True)
    assert (done.returncode, done.stdout, done.stderr) == (2, "", f"tallyline: {said}{USAGE}")
    assert not list(folder.iterdir())


def test_page_for_one_text(binary, folder):
    pdf = folder / "label.pdf"
    done = tallyline(binary, "TALLY-39", "-o", str(pdf), "--page-mm", "50.8x25.4", text=True)
    assert (done.returncode, done.stdout, done.stderr) == (0, "", "")
    assert re.search(r"Page size: +144 x 72 pts", run("pdfinfo", str(pdf), text=True).stdout)
    assert decode(pdf_to_png(pdf, 600)) == ["TALLY-39"]


# Batches that made nothing, or one file: status and summary. A PDF of labels that was not
# written is a failure, whatever the list held: an older file of its name would pass for it.
SUMMARIES = [
    pytest.param(["--batch", "{d}/missing.txt", "-o", "{d}/x.pdf"], 1, "tallyline: {d}/x.pdf not written\n",
                 id="PDF, no list"),
    pytest.param(["--batch", "/dev/null", "-o", "{d}/x.pdf"], 1,
                 "tallyline: {d}/x.pdf not written: /dev/null holds no text\n", id="PDF, empty list"),
    pytest.param(["--batch", "{d}/list", "-o", "{d}/x.pdf"], 1, "tallyline: {d}/x.pdf not written, of 1 text\n",
                 id="PDF, one text refused"),
    pytest.param(["--batch", "/dev/null", "-d", "{d}/out"], 0,
                 "tallyline: no file written to {d}/out: /dev/null holds no text\n", id="files, empty list"),
    pytest.param(["--batch", "{d}/list", "-d", "{d}/out", "--lenient"], 0, "tallyline: wrote 1 of 1 file to {d}/out\n",
                 id="files, one"),
    pytest.param(["--batch", "{d}/list", "--print", "--printer", "nowhere"], 1, "tallyline: no label printed\n",
                 id="print, no printer"),
]


@pytest.mark.parametrize("arguments, status, summary", SUMMARIES)
def test_summary(binary, folder, arguments, status, summary):
    (folder / "list").write_text("A#1\n")
    done = tallyline(binary, *(a.format(d=folder) for a in arguments), text=True)
    assert (done.returncode, done.stdout) == (status, summary.format(d=folder)), done.stderr
    assert not (folder / "x.pdf").exists()
