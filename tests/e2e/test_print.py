"""Print from the pop-up menu onto a real CUPS PDF printer: one document of one
page per print, and a 23-character text decodes whole from paper. Closing the
window ends the program after a print that worked and after one that failed."""

import subprocess

from tallyline_e2e import (check, cups_pdf_printer, decode_pdf, main, new_pdfs, pdf_pages,
                           program, wait_for, xvfb)

TEXT = "CODE39-TALLYLINE/2026.$"
PRINT_TIMEOUT = 60


def test(binary):
    with cups_pdf_printer() as folder, xvfb() as display:
        with program(binary, display) as window:
            window.type_text(TEXT)
            for _ in range(2):
                before = set(folder.glob("*.pdf")) if folder.is_dir() else set()
                window.choose_from_menu(1)
                printed = wait_for(new_pdfs(folder, before), timeout=PRINT_TIMEOUT)
                check(printed and len(printed) == 1, f"expected one new document, got {printed}")
                check(pdf_pages(printed[0]) == 1, f"{printed[0]} is not one page")
                decoded = decode_pdf(printed[0])
                check(decoded == [TEXT], f"decoded {decoded} from paper, typed {TEXT!r}")
            window.close()
            check(window.wait_for_exit() == 0, "closing after a print did not end the program")

        # A printer that refuses the job, then no printer at all.
        for breaking in (["cupsreject", "PDF"], ["lpadmin", "-x", "PDF"]):
            subprocess.run(breaking, check=True, capture_output=True, timeout=20)
            with program(binary, display) as window:
                before = set(folder.glob("*.pdf")) if folder.is_dir() else set()
                window.choose_from_menu(1)
                boxes = wait_for(lambda: set(window.xdotool("search", "--onlyvisible", "--name",
                                                             "Tallyline").split()) - {window.window})
                check(boxes, f"a failed print ({breaking[0]}) showed no message")
                box = boxes.pop()
                window.xdotool("windowfocus", "--sync", box)
                window.xdotool("key", "Return")
                check(wait_for(lambda: box not in window.xdotool("search", "--onlyvisible", "--name",
                                                                 "Tallyline").split()),
                      "the message did not close")
                check(window.process.poll() is None, "the program ended after a failed print")
                window.close()
                check(window.wait_for_exit() == 0, "closing after a failed print did not end the program")
                check(not new_pdfs(folder, before)(), "a refused print still came out")

if __name__ == "__main__":
    main(test)
