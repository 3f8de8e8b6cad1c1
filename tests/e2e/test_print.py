"""Print from the pop-up menu and from the command line onto a real CUPS PDF
printer: one page of shapes per print, named in the queue for its text, whose
bars at the driver's 300 dpi are 6 dots a module (other resolutions are
tst_printquality's) and which our verifier reads on every line and grades A.
A failed print says why, word for word, and the window works on."""

import os
import plistlib
import re
import urllib.parse

from tallyline_e2e import (SLOW_TIMEOUT, check, cups_pdf_printer, decode, main, pdf_to_png, program, run, scan_grade,
                           wait_for, xvfb)

TEXT = "CODE39-TALLYLINE/2026.$"
# What breaks the printer, and the message that the failed print then gives.
FAILURES = [
    (["cupsreject", "PDF"], "Printing the barcode failed.\n\nRun-time error 482: "
                            'The printer refused the document: Destination "PDF" is not accepting jobs.'),
    (["lpadmin", "-x", "PDF"], "Printing the barcode failed.\n\nRun-time error 482: No default printer is set up"),
]


def pages(pdf):
    match = re.search(r"^Pages:\s+(\d+)", run("pdfinfo", str(pdf), text=True).stdout, re.MULTILINE)
    return int(match.group(1)) if match else 0


def job_names():
    uri = "ipp://" + urllib.parse.quote(os.environ["CUPS_SERVER"], safe="") + "/printers/PDF"
    answer = run("ipptool", "-X", uri, "get-completed-jobs.test")  # a property list holds any value as it is
    check(answer.returncode == 0, f"the print server did not answer: {answer.stdout!r}{answer.stderr!r}")
    return [job["job-name"] for job in plistlib.loads(answer.stdout)["Tests"][0]["ResponseAttributes"]
            if "job-name" in job]


def check_printed(folder, before, jobs, case):
    printed = wait_for(lambda: (fresh := sorted(set(folder.glob("*.pdf")) - before))
                       and all(pages(pdf) > 0 for pdf in fresh) and fresh, timeout=SLOW_TIMEOUT)
    check(printed and len(printed) == 1 and pages(printed[0]) == 1, f"{case}: expected one page, got {printed}")
    images = run("pdfimages", "-list", str(printed[0]), text=True).stdout.splitlines()[2:]
    check(not images, f"{case}: the page holds images: {images}")
    named = wait_for(lambda: len(names := job_names()) == jobs and names)
    check(named == [f"Tallyline: {TEXT}"] * jobs, f"{case}: the queue named the jobs {named}")
    page = pdf_to_png(printed[0], 300)
    figures = scan_grade(page)
    check(decode(page) == [TEXT], lambda: f"{case}: decoded {decode(page)} from paper")
    check([line["text"] for line in figures["scans"]] == [TEXT] * 10, f"{case}: our verifier did not read every line")
    runs = [sorted(set(line["dot_runs"])) for line in figures["scans"]]
    check(runs == [[6, 12]] * 10, f"{case}: bars and spaces of {runs} dots, not 6 and 12")
    check(figures["grade"] == 4.0, f"{case}: graded {figures['grade']}, not 4.0 (A)")


def test(binary):
    with cups_pdf_printer() as folder, xvfb() as display:
        with program(binary, display) as window:
            window.type_text(TEXT)
            before = set(folder.glob("*.pdf"))
            window.choose_from_menu(1)
            check_printed(folder, before, 1, "from the window")
            before = set(folder.glob("*.pdf"))
            printing = run(binary, "--print", TEXT, timeout=SLOW_TIMEOUT, text=True)
            check((printing.returncode, printing.stderr) == (0, ""), f"from the command line: {printing}")
            check_printed(folder, before, 2, "from the command line")
            check(window.close() == 0, "closing after a print did not end the program")

        for breaking, message in FAILURES:
            run(*breaking, check=True)
            # The print server words its reasons in the client's language.
            with program(binary, display, {"LC_ALL": "C.UTF-8"}) as window:
                window.choose_from_menu(1)
                boxes = wait_for(window.boxes, timeout=SLOW_TIMEOUT)
                check(boxes, f"a failed print ({breaking[0]}) showed no message")
                # The box's text is written to standard error as well, where it can be read.
                check(f"\n{message}\n" in "\n" + window.output(), f"expected {message!r}, said {window.output()!r}")
                window.close_box(boxes[0])
                check(window.process.poll() is None, "the program ended after a failed print")
                check(window.close() == 0, "closing after a failed print did not end the program")


if __name__ == "__main__":
    main(test)
