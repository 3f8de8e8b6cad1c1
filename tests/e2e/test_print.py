"""Print from the pop-up menu and from the command line onto a real CUPS PDF
printer: one document of one page per print, named in the queue for its text,
holding the bars as shapes. Rasterised at the resolution the printer reports,
whichever it is set to, every bar and space is exactly one module of whole dots
or two, and a 23-character text decodes whole, to zbar and on each scan line of
our verifier, which grades it A. A failed print says why, word for word. Closing
the window ends the program after a print that worked and after one that failed."""

import os
import plistlib
import re
import urllib.parse

from tallyline_e2e import (SLOW_TIMEOUT, check, cups_pdf_printer, decode, main, pdf_to_png, program, run, scan_grade,
                           wait_for, xvfb)

TEXT = "CODE39-TALLYLINE/2026.$"
# How each print is made, after setting the printer's default resolution: the
# driver's own (300 dpi), then another chosen on the server, which the next print
# must follow; and the dots a module takes then, the design's 0.529 mm to the
# nearest whole dot.
PRINTS = [("01 from the window, at the driver's resolution", None, 6, "window"),
          ("02 from the window, at a resolution chosen on the server", "600dpi", 12, "window"),
          ("03 from the command line", None, 6, "command line")]
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
    """The names that the private server's queue gives the printer's finished jobs."""
    uri = "ipp://" + urllib.parse.quote(os.environ["CUPS_SERVER"], safe="") + "/printers/PDF"
    answer = run("ipptool", "-X", uri, "get-completed-jobs.test")  # a property list holds any value as it is
    check(answer.returncode == 0, f"the print server did not answer: {answer.stdout!r}{answer.stderr!r}")
    return [job["job-name"] for job in plistlib.loads(answer.stdout)["Tests"][0]["ResponseAttributes"]
            if "job-name" in job]


def check_printed(folder, before, case, module):
    printed = wait_for(lambda: (fresh := sorted(set(folder.glob("*.pdf")) - before))
                       and all(pages(pdf) > 0 for pdf in fresh) and fresh, timeout=SLOW_TIMEOUT)
    check(printed and len(printed) == 1 and pages(printed[0]) == 1, f"{case}: expected one page, got {printed}")
    images = run("pdfimages", "-list", str(printed[0]), text=True).stdout.splitlines()[2:]
    check(not images, f"{case}: the page holds images: {images}")
    named = wait_for(lambda: len(names := job_names()) == int(case[:2]) and names)
    check(named == [f"Tallyline: {TEXT}"] * int(case[:2]), f"{case}: the queue named the jobs {named}")
    options = run("lpoptions", "-p", "PDF", "-l", text=True).stdout
    dpi = re.search(r"^Resolution/.*\*(\d+)dpi", options, re.MULTILINE)
    check(dpi and int(dpi[1]) == 50 * module, f"{case}: the printer's default resolution is not {50 * module}: {options}")
    page = pdf_to_png(printed[0], dpi[1])
    figures = scan_grade(page)
    print(f"{case}: graded {figures['grade']}; the first scan line:",
          {name: value for name, value in figures["scans"][0].items() if not isinstance(value, list)})
    check(decode(page) == [TEXT], f"{case}: decoded {decode(page)} from paper")
    check([line["text"] for line in figures["scans"]] == [TEXT] * 10, f"{case}: our verifier did not read every line")
    runs = [sorted(set(line["dot_runs"])) for line in figures["scans"]]
    check(runs == [[module, 2 * module]] * 10, f"{case}: bars and spaces of {runs} dots, not {module} and {2 * module}")
    check(figures["grade"] == 4.0, f"{case}: graded {figures['grade']}, not 4.0 (A)")


def test(binary):
    with cups_pdf_printer() as folder, xvfb() as display:
        with program(binary, display) as window:
            window.type_text(TEXT)
            for case, resolution, module, where in PRINTS:
                if resolution:
                    run("lpadmin", "-p", "PDF", "-o", f"Resolution-default={resolution}", check=True)
                else:
                    run("lpadmin", "-p", "PDF", "-R", "Resolution-default", check=True)
                before = set(folder.glob("*.pdf"))
                if where == "window":
                    window.choose_from_menu(1)
                else:
                    printing = run(binary, "--print", TEXT, timeout=SLOW_TIMEOUT, text=True)
                    check((printing.returncode, printing.stderr) == (0, ""), f"{case}: {printing}")
                check_printed(folder, before, case, module)
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
