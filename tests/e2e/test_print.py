"""Print from the pop-up menu onto a real CUPS PDF printer: one document of one
page per print, and a 23-character text decodes whole from paper rasterised
at the printer's resolution, to zbar and on each scan line of our verifier,
whose figures the test reports. A failed print says why, word for word.
Closing the window ends the program after a print that worked and after one
that failed."""

from tallyline_e2e import (SLOW_TIMEOUT, check, cups_pdf_printer, decode, describe_grade, main, new_pdfs,
                           pdf_pages, printer_resolution, program, rasterise, run, scan_grade, wait_for, xvfb)

TEXT = "CODE39-TALLYLINE/2026.$"
# What breaks the printer, and the message that the failed print then gives.
FAILURES = [
    (["cupsreject", "PDF"], "Printing the barcode failed.\n\nRun-time error 482: "
                            'The printer refused the document: Destination "PDF" is not accepting jobs.'),
    (["lpadmin", "-x", "PDF"], "Printing the barcode failed.\n\nRun-time error 482: No default printer is set up"),
]


def test(binary):
    with cups_pdf_printer() as folder, xvfb() as display:
        with program(binary, display) as window:
            window.type_text(TEXT)
            for _ in range(2):
                before = set(folder.glob("*.pdf"))
                window.choose_from_menu(1)
                printed = wait_for(new_pdfs(folder, before), timeout=SLOW_TIMEOUT)
                check(printed and len(printed) == 1, f"expected one new document, got {printed}")
                check(pdf_pages(printed[0]) == 1, f"{printed[0]} is not one page")
                dpi = printer_resolution("PDF")
                page = rasterise(printed[0], dpi)
                decoded = decode(page)
                check(decoded == [TEXT], f"decoded {decoded} from paper, typed {TEXT!r}")
                figures = scan_grade(page)
                read = [line["text"] for line in figures["scans"]]
                check(read == [TEXT] * 10, f"our verifier read {read} across the bars")
                print(f"printed at {dpi} dpi: {describe_grade(figures)}")
            window.close()
            check(window.exit_status() == 0, "closing after a print did not end the program")

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
