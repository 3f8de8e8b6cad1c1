"""Where the command line's work goes and what it says of it: a file on standard output and
nothing else there, --page-mm for one text, and summaries that never claim a file that was
not written. Whatever a test prints by mistake reaches no print server."""

import re

import pytest

from tallyline_e2e import SLOW_TIMEOUT, decode, headless_env, pdf_to_png, run, svg_to_png

ENV = headless_env(CUPS_SERVER="/nonexistent/tallyline-print-server")


@pytest.mark.parametrize("arguments, draw", [
    pytest.param(["--format", "png", "A-39"], lambda path: path.read_bytes(), id="PNG"),
    pytest.param(["--format", "svg", "A-39"], svg_to_png, id="SVG"),
    pytest.param(["--format", "pdf", "A-39", "--page-mm", "50.8x25.4"], lambda path: pdf_to_png(path, 300),
                 id="PDF label"),
    pytest.param(["--format", "pdf", "--batch", "-"], lambda path: pdf_to_png(path, 300), id="PDF of labels"),
])
def test_standard_output(binary, folder, arguments, draw):
    """The bytes on standard output are the file, whole; reports go to standard error."""
    done = run(binary, "-o", "-", *arguments, input=b"A-39\n", env=ENV, timeout=SLOW_TIMEOUT)
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
    done = run(binary, *(a.format(d=folder) for a in arguments), env=ENV, text=True, timeout=SLOW_TIMEOUT)
    assert (done.returncode, done.stdout) == (status, f"tallyline: {summary.format(d=folder)}\n"), done.stderr
    assert not (folder / "x.pdf").exists()
