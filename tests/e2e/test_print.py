"""Print from the pop-up menu and from the command line onto a real CUPS PDF
printer: one document of one page per print, named in the queue for its
text, holding the bars as shapes. Rasterised at the resolution the printer
reports, whichever it is set to, every bar and space is exactly one module
of whole dots or two, and a 23-character text decodes whole, to zbar and on
each scan line of our verifier, which grades it A; the test reports its
figures. A failed print says why, word for word. Closing the window ends the
program after a print that worked and after one that failed."""

from tallyline_e2e import (SLOW_TIMEOUT, check, cups_pdf_printer, decode, describe_grade, main, new_pdfs,
                           newest_job_name, pdf_images, pdf_pages, printer_resolution, program, rasterise, run,
                           scan_grade, set_default_resolution, wait_for, xvfb)

TEXT = "CODE39-TALLYLINE/2026.$"
# The printer's default resolution before each print from the window: the
# driver's own (300 dpi), then another chosen on the server, which the next
# print must follow. The command line prints at the driver's own.
WINDOW_RESOLUTIONS = [None, "600dpi"]
# The dots that a module takes at each resolution: the design's 0.529 mm to
# the nearest whole dot.
MODULE_DOTS = {300: 6, 600: 12}
# What breaks the printer, and the message that the failed print then gives.
FAILURES = [
    (["cupsreject", "PDF"], "Printing the barcode failed.\n\nRun-time error 482: "
                            'The printer refused the document: Destination "PDF" is not accepting jobs.'),
    (["lpadmin", "-x", "PDF"], "Printing the barcode failed.\n\nRun-time error 482: No default printer is set up"),
]


def check_printed(folder, before, how):
    """Checks the one document that a print added to the folder as above."""
    printed = wait_for(new_pdfs(folder, before), timeout=SLOW_TIMEOUT)
    check(printed and len(printed) == 1, f"{how}: expected one new document, got {printed}")
    check(pdf_pages(printed[0]) == 1, f"{how}: {printed[0]} is not one page")
    images = pdf_images(printed[0])
    check(not images, f"{how}: the page holds images: {images}")
    named = newest_job_name("PDF")
    check(named == [f"Tallyline: {TEXT}"], f"{how}: the queue named the job {named}")
    dpi = printer_resolution("PDF")
    page = rasterise(printed[0], dpi)
    figures = scan_grade(page)
    print(f"{how}, printed at {dpi} dpi: {describe_grade(figures)}")
    decoded = decode(page)
    check(decoded == [TEXT], f"{how}: decoded {decoded} from paper, typed {TEXT!r}")
    read = [line["text"] for line in figures["scans"]]
    check(read == [TEXT] * 10, f"{how}: our verifier read {read} across the bars")
    module = MODULE_DOTS[dpi]
    runs = [sorted(set(line["dot_runs"])) for line in figures["scans"]]
    check(runs == [[module, 2 * module]] * 10,
          f"{how}: bars and spaces of {runs} dots at {dpi} dpi, not {module} and {2 * module}")
    check(figures["grade"] == 4.0, f"{how}: graded {figures['grade']}, not 4.0 (A)")


def test(binary):
    with cups_pdf_printer() as folder, xvfb() as display:
        with program(binary, display) as window:
            window.type_text(TEXT)
            for resolution in WINDOW_RESOLUTIONS:
                set_default_resolution("PDF", resolution)
                before = set(folder.glob("*.pdf"))
                window.choose_from_menu(1)
                check_printed(folder, before, "from the window")
            window.close()
            check(window.exit_status() == 0, "closing after a print did not end the program")

        set_default_resolution("PDF", None)
        before = set(folder.glob("*.pdf"))
        printing = run(binary, "--print", TEXT, timeout=SLOW_TIMEOUT, text=True)
        check(printing.returncode == 0 and not printing.stderr,
              f"--print ended with {printing.returncode}, saying {printing.stderr!r}")
        check_printed(folder, before, "from the command line")

        # A printer that refuses the job, then no printer at all.
        for breaking, message in FAILURES:
            run(*breaking, check=True)
            # The print server words its reasons in the client's language.
            with program(binary, display, {"LC_ALL": "C.UTF-8"}) as window:
                window.choose_from_menu(1)
                boxes = wait_for(lambda: window.others("--name", "^ Tallyline$"), timeout=SLOW_TIMEOUT)
                check(boxes, f"a failed print ({breaking[0]}) showed no message")
                # The box's text is written to standard error as well, where it can be read.
                check(f"\n{message}\n" in "\n" + window.output(),
                      f"expected the message {message!r}, the program said {window.output()!r}")
                window.xdotool("windowfocus", "--sync", boxes[0], "key", "Return")
                check(wait_for(lambda: not window.others("--name", "^ Tallyline$")), "the message did not close")
                check(window.process.poll() is None, "the program ended after a failed print")
                window.close()
                check(window.exit_status() == 0, "closing after a failed print did not end the program")


if __name__ == "__main__":
    main(test)
