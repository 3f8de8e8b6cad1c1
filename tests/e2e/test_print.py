"""Print from the pop-up menu and from the command line onto a real CUPS PDF
printer: one page of shapes per print, named in the queue for its text, whose
bars at the driver's 300 dpi are 6 dots a module (other resolutions are
tst_printquality's) and which our verifier reads on every line and grades A.
A failed print says why, word for word, and the window works on."""

import plistlib
import re
import urllib.parse

import pytest

from tallyline_e2e import SLOW_TIMEOUT, decode, headless_env, pdf_to_png, run, scan_grade, wait_for

TEXT = "CODE39-TALLYLINE/2026.$"
JOB_NAME = f"Tallyline: {TEXT}"


def pages(pdf):
    match = re.search(r"^Pages:\s+(\d+)", run("pdfinfo", str(pdf), text=True).stdout, re.MULTILINE)
    return int(match.group(1)) if match else 0


def job_names(server):
    uri = "ipp://" + urllib.parse.quote(str(server.socket), safe="") + "/printers/PDF"
    answer = run("ipptool", "-X", uri, "get-completed-jobs.test")  # a property list holds any value as it is
    assert answer.returncode == 0, f"the print server did not answer: {answer.stdout!r}{answer.stderr!r}"
    return [job["job-name"] for job in plistlib.loads(answer.stdout)["Tests"][0]["ResponseAttributes"]
            if "job-name" in job]


class Queue:
    """What the printer had done before a print, to tell the print's own page and job."""

    def __init__(self, server, folder):
        self.server, self.folder = server, folder
        self.files, self.jobs = set(folder.glob("*.pdf")), len(job_names(server))

    def check_printed(self):
        printed = wait_for(lambda: (fresh := sorted(set(self.folder.glob("*.pdf")) - self.files))
                           and all(pages(pdf) > 0 for pdf in fresh) and fresh, timeout=SLOW_TIMEOUT)
        assert printed and len(printed) == 1 and pages(printed[0]) == 1, f"expected one page, got {printed}"
        images = run("pdfimages", "-list", str(printed[0]), text=True).stdout.splitlines()[2:]
        assert not images, f"the page holds images: {images}"
        # Every job of this queue printed the same text.
        named = wait_for(lambda: len(names := job_names(self.server)) == self.jobs + 1 and names)
        assert named == [JOB_NAME] * (self.jobs + 1), f"the queue named the jobs {named}"
        page = pdf_to_png(printed[0], 300)
        figures = scan_grade(page)
        assert decode(page) == [TEXT], "decoded from paper"
        assert [line["text"] for line in figures["scans"]] == [TEXT] * 10, "our verifier did not read every line"
        runs = [sorted(set(line["dot_runs"])) for line in figures["scans"]]
        assert runs == [[6, 12]] * 10, f"bars and spaces of {runs} dots, not 6 and 12"
        assert figures["grade"] == 4.0, f"graded {figures['grade']}, not 4.0 (A)"


def test_print_from_window(start_program, cups_server, pdf_printer):
    queue = Queue(cups_server, pdf_printer)
    # Started after the printer, to print where it is.
    window = start_program()
    window.type_text(TEXT)
    window.choose("Print")
    queue.check_printed()
    assert window.close() == 0, "closing after a print did not end the program"


def test_print_from_command_line(binary, cups_server, pdf_printer):
    queue = Queue(cups_server, pdf_printer)
    printing = run(binary, "--print", TEXT, timeout=SLOW_TIMEOUT, text=True)
    assert (printing.returncode, printing.stderr) == (0, "")
    queue.check_printed()


def test_strict_print_refused(binary, cups_server, pdf_printer):
    """A text whose bars leave a character out is refused (--strict changes nothing), and
    nothing is printed for it: the one page and job that follow are the next print's."""
    queue = Queue(cups_server, pdf_printer)
    refused = run(binary, "--print", "--strict", f"{TEXT}*", timeout=SLOW_TIMEOUT, text=True)
    assert (refused.returncode, refused.stdout, refused.stderr) == \
        (1, "", "tallyline: printing failed: refused: the bars do not carry '*'; --full-ascii carries every ASCII "
                "character, --lenient leaves them out of the bars\n")
    printing = run(binary, "--print", "--strict", TEXT, timeout=SLOW_TIMEOUT, text=True)
    assert (printing.returncode, printing.stderr) == (0, "")
    queue.check_printed()


# What breaks the printer, and the message that the failed print then gives.
FAILURES = [
    pytest.param(["cupsreject", "PDF"], "Printing the barcode failed.\n\n"
                                        'The printer refused the document: Destination "PDF" is not accepting jobs.',
                 id="not accepting jobs"),
    pytest.param(["lpadmin", "-x", "PDF"], "Printing the barcode failed.\n\n"
                                           "No default printer is set up", id="no printer"),
]


@pytest.mark.parametrize("breaking, message", FAILURES)
def test_failed_print(start_program, pdf_printer, breaking, message):  # pylint: disable=unused-argument
    run(*breaking, check=True)
    # The print server words its reasons in the client's language.
    window = start_program({"LC_ALL": "C.UTF-8"})
    window.choose("Print")
    boxes = wait_for(window.boxes, timeout=SLOW_TIMEOUT)
    assert boxes, "a failed print showed no message"
    # The box's text is written to standard error as well, where it can be read.
    assert f"\n{message}\n" in "\n" + window.output()
    window.close_box(boxes[0])
    assert window.process.poll() is None, "the program ended after a failed print"
    assert window.close() == 0, "closing after a failed print did not end the program"


def test_print_without_printer(binary, cups_server, monkeypatch):
    """--print with no printer set up: the reason, and the status of a failure."""
    cups_server.use(monkeypatch)
    cups_server.client("lpadmin", "-x", "PDF")  # the next test's fixture makes it again
    result = run(binary, "--print", TEXT, env=headless_env(), text=True, timeout=SLOW_TIMEOUT)
    assert (result.returncode, result.stdout, result.stderr) == \
        (1, "", "tallyline: printing failed: No default printer is set up\n")
