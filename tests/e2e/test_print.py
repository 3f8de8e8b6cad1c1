"""Printing through a CUPS server of the test's own. On label printers made of CUPS's own drivers (Zebra ZPL and DYMO)
on file: devices, the very stream each printer would receive is read back: the page is the label loaded on the
queue, the barcode is centred on it with its quiet zones, every bar and space is the narrow or the wide element,
each a whole number of dots, and zbar reads it (turned labels and sheets are test_sheets.py's). On a PDF printer,
from the pop-up menu and from the command line: one page of shapes, 6 dots a module at the driver's 300 dpi. A failed
print says why, word for word, and the window works on."""

import re
import signal
import subprocess
import time

import pytest

from tallyline_e2e import SLOW_TIMEOUT, bar_row, decode, headless_env, pdf_to_png, run, tallyline, wait_for, widths

TEXT = "TALLY-26"
LONGEST = "CODE39-TALLYLINE/2026.$"
# Each queue: its driver, medium (in points), resolution, the label's dots across and down, and the narrow and wide
# elements in dots that the text gets, not turned: the most whole dots not above 0.529 mm that fit, never below
# 0.19 mm, the wide one 2.2 times that rounded up below 0.508 mm. TALLY-26 is 69 narrow and 30 wide elements and 20
# modules of quiet zone: 2 x 1 inch at 203 dpi is 406 dots, 2 + 5 (328; 3 + 7 would be 477); 300 dpi, 600 dots,
# 3 + 7 (477; 4 + 9, 626); 4 x 2 inch, 1,200 dots at 300 dpi, 6 + 12, 0.508 mm at 2:1. DYMO has no 2 x 1 or 4 x 2
# inch medium: 2.25 x 4 inch, 675 dots at 300 dpi, 4 + 9. A DYMO printer gets only the printable part of each line,
# from 2 points in to 160 (its driver's imageable area) in whole bytes: 664 dots from the 8th.
QUEUES = [
    pytest.param("zebra.ppd", "w144h72", 203, (406, 203), (406, 0), (2, 5), id="ZPL 2x1in 203dpi"),
    pytest.param("zebra.ppd", "w144h72", 300, (600, 300), (600, 0), (3, 7), id="ZPL 2x1in 300dpi"),
    pytest.param("zebra.ppd", "w288h144", 300, (1200, 600), (1200, 0), (6, 12), id="ZPL 4x2in 300dpi"),
    pytest.param("dymo.ppd", "w162h288", 300, (675, 1200), (664, 8), (4, 9), id="DYMO 2.25x4in 300dpi"),
]


def hex_digits_of_zpl(data, row_digits):
    """The hex digits of a ZPL ~DG graphic, its compression undone: G to Y repeat the next digit 1 to 19 times and g
    to z 20 to 400, summed; ',' fills the row with 0, '!' with F, ':' repeats the row before."""
    rows, row, count, previous = [], "", 0, None
    for character in data:
        if "G" <= character <= "Y":
            count += ord(character) - ord("G") + 1
        elif "g" <= character <= "z":
            count += (ord(character) - ord("g") + 1) * 20
        elif character in "0123456789ABCDEF":
            row += character * max(count, 1)
            count = 0
        elif character in ",!":
            row = row.ljust(row_digits, "0" if character == "," else "F")
        elif character == ":":
            row = previous
        elif character.isspace():
            continue
        else:
            raise AssertionError(f"unexpected {character!r} in the graphic")
        if len(row) >= row_digits:
            assert len(row) == row_digits, f"a row of {len(row)} digits, not {row_digits}"
            rows.append(row)
            previous, row = row, ""
    assert row == "", "the graphic ends inside a row"
    return rows


def read_zpl(stream):
    """Each label of a ZPL stream: (rows of dots, 1 black, ^PW, copies)."""
    labels = []
    text = stream.decode("ascii")
    for graphic in re.finditer(r"~DG[^,]*,(\d+),(\d+),([^~^]*)(\^XA.*?\^XZ)", text, re.DOTALL):
        total, per_row, data, format_ = int(graphic[1]), int(graphic[2]), graphic[3], graphic[4]
        rows = hex_digits_of_zpl(data, per_row * 2)
        assert len(rows) * per_row == total, "the graphic's rows do not make its size"
        dots = [[int(bit) for digit in row for bit in f"{int(digit, 16):04b}"] for row in rows]
        width = int(re.search(r"\^PW(\d+)", format_)[1])
        # No ^PQ: one copy.
        copies = int((re.search(r"\^PQ(\d+)", format_) or [None, 1])[1])
        labels.append((dots, width, copies))
    return labels


def read_dymo(stream):
    """Each label of a DYMO stream: (rows of dots, 1 black, dots across, label length in
    lines). ESC D sets the bytes a line, SYN starts a line of them, ESC f 1 n skips n blank
    lines, ESC L the label's length, ESC E ends the label."""
    arguments = {ord("@"): 0, ord("L"): 2, ord("D"): 1, ord("e"): 0, ord("h"): 0, ord("i"): 0, ord("q"): 1,
                 ord("f"): 2, ord("E"): 0, ord("B"): 1, ord("A"): 0, ord("Q"): 2, ord("M"): 7, 0x1B: -1}
    labels, rows, per_line, length, i = [], [], 0, 0, 0
    while i < len(stream):
        byte = stream[i]
        if byte == 0x16:
            line = stream[i + 1:i + 1 + per_line]
            rows.append([int(bit) for value in line for bit in f"{value:08b}"])
            i += 1 + per_line
            continue
        assert byte == 0x1B, f"byte {byte:#x} at {i} is neither ESC nor SYN"
        command = stream[i + 1]
        assert command in arguments, f"unknown ESC {chr(command)!r} at {i}"
        if arguments[command] < 0:  # a run of ESC that wakes the printer
            i += 1
            continue
        values = stream[i + 2:i + 2 + arguments[command]]
        if command == ord("D"):
            per_line = values[0]
        elif command == ord("L"):
            length = values[0] * 256 + values[1]
        elif command == ord("f"):
            rows.extend([[0] * per_line * 8 for _ in range(values[1])])
        elif command == ord("E"):
            labels.append((rows, per_line * 8, length))
            rows = []
        i += 2 + arguments[command]
    return labels


def zbar(dots):
    """What zbar reads from a label's dots, black on white, with nothing added around them."""
    height, width = len(dots), max(len(row) for row in dots)
    body = bytes(0 if bit else 255 for row in dots for bit in row + [0] * (width - len(row)))
    return decode(f"P5 {width} {height} 255\n".encode() + body, margin=0)


def check_printed_label(driver, stream, label, sent, elements):
    """One label of TEXT, as large as the label loaded (or its printable part) and as long (ZPL
    sends its rows, DYMO its length), once; the bars of its widest-barred row every one the narrow
    or the wide element, the symbol centred with quiet zones of 10 modules inside the label."""
    labels = labels_of(driver, stream)
    assert len(labels) == 1, f"{len(labels)} labels"
    dots, width, third = labels[0]
    assert (width, third if driver == "dymo.ppd" else len(dots)) == (sent[0], label[1])
    assert driver == "dymo.ppd" or third == 1, f"{third} copies"
    assert zbar(dots) == [TEXT]
    offset = sent[1]
    row = "".join("#" if dot else "." for dot in max(dots, key=sum))
    first, last = row.index("#"), row.rindex("#") + 1
    module = elements[0]
    assert sorted(set(widths(row))) == list(elements), f"elements of {sorted(set(widths(row)))} dots"
    # On the label, of which a printer's raster may leave out the margins it cannot print.
    left, right = offset + first, label[0] - (offset + last)
    assert left >= 10 * module and right >= 10 * module, \
        f"quiet zones of {left} and {right} dots, less than 10 modules of {module}"
    assert abs(left - right) <= 1, f"the bars start at dot {left} of the label and end {right} before its end"


@pytest.fixture(scope="module")
def label_queues(cups_server):
    """A queue for each row of QUEUES, each writing to a file of its own, made once."""
    made = {}
    output = cups_server.socket.parent / "labels"
    output.mkdir(mode=0o1777)
    output.chmod(0o1777)
    for queue in QUEUES:
        driver, page_size, dpi = queue.values[:3]
        name = f"{driver[:-4]}_{page_size}_{dpi}"
        path = output / f"{name}.out"
        cups_server.add_label_printer(name, driver, page_size, dpi, path)
        made[queue.id] = (name, path)
    return made


def stamp(path):
    """What tells a file: device's next job, which writes the file anew."""
    return path.stat().st_mtime_ns if path.exists() else None


def printed(server, queue, path, before):
    """The printer's stream of the queue's job after `before`, once the queue has done it:
    a file that stops growing for a moment on a loaded machine may still be half written."""
    assert wait_for(lambda: stamp(path) != before and not server.client("lpstat", "-o", queue).stdout.strip(),
                    timeout=SLOW_TIMEOUT), f"nothing reached {path}"
    return path.read_bytes()


def completed_jobs(server, queue):
    return len(server.client("lpstat", "-W", "completed", "-o", queue).stdout.splitlines())


def labels_of(driver, stream):
    return read_zpl(stream) if driver == "zebra.ppd" else read_dymo(stream)


@pytest.mark.parametrize("driver, page_size, dpi, label, sent, elements", QUEUES)
def test_label_printed(binary, cups_server, label_queues, monkeypatch, request, driver, page_size, dpi, label, sent,
                       elements):  # pylint: disable=unused-argument
    cups_server.use(monkeypatch)
    name, path = label_queues[request.node.callspec.id]
    before = stamp(path)
    done = tallyline(binary, "--print", "--printer", name, "--rotate", "0", TEXT)
    assert (done.returncode, done.stderr) == (0, "")
    check_printed_label(driver, printed(cups_server, name, path, before), label, sent, elements)


def test_window_prints_on_the_label(start_program, cups_server, label_queues, monkeypatch):
    """The window's Print takes the same label as --print: 2 x 1 inch at 203 dpi, 2 dots a module,
    in the window's look: wide elements of 2 modules."""
    cups_server.use(monkeypatch)
    name, path = label_queues["ZPL 2x1in 203dpi"]
    before = stamp(path)
    window = start_program({"PRINTER": name})
    window.type_text(TEXT)
    window.choose("Print")
    check_printed_label("zebra.ppd", printed(cups_server, name, path, before), (406, 203), (406, 0), (2, 4))
    assert window.close() == 0, "closing after a print did not end the program"


# A ZPL printer repeats a label as ^PQ says; a DYMO one is sent each copy. A * draws no bars.
COPIES_AND_BATCHES = [
    pytest.param("ZPL 4x2in 300dpi", ["--print", "--copies", "3", TEXT], None, [TEXT] * 3, id="three copies, ZPL"),
    pytest.param("DYMO 2.25x4in 300dpi", ["--print", "--copies", "3", TEXT], None, [TEXT] * 3, id="three copies, DYMO"),
    pytest.param("DYMO 2.25x4in 300dpi", ["--batch", "-", "--print", "--lenient"], "TALLY-1\n*TALLY-22\n\nTALLY*-333*\n",
                 ["TALLY-1", "TALLY-22", "TALLY-333"], id="a batch of three"),
    pytest.param("ZPL 4x2in 300dpi", ["--batch", "-", "--print", "--copies", "2"], "A1\nB2\n", ["A1", "A1", "B2", "B2"],
                 id="a batch twice"),
]


@pytest.mark.parametrize("queue, arguments, stdin, texts", COPIES_AND_BATCHES)
def test_labels_in_one_job(binary, cups_server, label_queues, monkeypatch, queue, arguments, stdin, texts):
    cups_server.use(monkeypatch)
    name, path = label_queues[queue]
    driver = "zebra.ppd" if queue.startswith("ZPL") else "dymo.ppd"
    jobs = completed_jobs(cups_server, name)
    before = stamp(path)
    done = tallyline(binary, *arguments, "--printer", name, input=stdin)
    assert done.returncode == 0, done.stderr
    labels = labels_of(driver, printed(cups_server, name, path, before))
    read = [text for dots, _, copies in labels for text in zbar(dots) * (copies if driver == "zebra.ppd" else 1)]
    assert sorted(read) == sorted(texts)
    assert wait_for(lambda: completed_jobs(cups_server, name) == jobs + 1), "not one job"


def test_too_long_for_the_label(binary, cups_server, label_queues, monkeypatch):
    """23 characters are 174 narrow and 75 wide elements and 20 modules of quiet zone, each module at least
    0.19 mm: 3 + 7 dots at 300 dpi, 1,107 dots or 93.8 mm. Nothing reaches the printer."""
    cups_server.use(monkeypatch)
    name, path = label_queues["ZPL 2x1in 300dpi"]
    before = stamp(path)
    done = tallyline(binary, "--print", "--printer", name, LONGEST)
    assert done.returncode == 1
    assert "needs a label at least 93.8 mm wide, and this one is 50.8 mm\n" in done.stderr
    time.sleep(3)
    assert stamp(path) == before, "something was printed"


@pytest.mark.parametrize("accepting", [True, False], ids=["accepting", "refusing the job"])
def test_batch_reports_each_failed_text(binary, cups_server, label_queues, monkeypatch, accepting):
    """A text that does not fit is named and the rest print; a job that the queue refuses
    prints none of them, and the summary says so."""
    cups_server.use(monkeypatch)
    name, path = label_queues["ZPL 2x1in 203dpi"]
    before = stamp(path)
    if not accepting:
        cups_server.client("cupsreject", name)
    try:
        done = tallyline(binary, "--batch", "-", "--print", "--printer", name, input=f"A1\n{LONGEST}\nB2\n")
    finally:
        cups_server.client("cupsaccept", name)
    assert done.returncode == 1
    assert re.search(r"standard input:2: .*needs a label at least 95\.5 mm wide", done.stderr), done.stderr
    summary = "printed 2 of 3 labels" if accepting else "no label printed, of 3 texts"
    assert done.stdout == f"tallyline: {summary}\n", done.stderr
    if accepting:
        labels = read_zpl(printed(cups_server, name, path, before))
        assert sorted(text for dots, _, _ in labels for text in zbar(dots)) == ["A1", "B2"]


@pytest.mark.parametrize("variable", ["--printer", "PRINTER", "LPDEST"])
def test_printer_that_is_not_there(binary, cups_server, monkeypatch, variable):
    cups_server.use(monkeypatch)
    named = ["--printer", "Nowhere"] if variable == "--printer" else []
    env = headless_env(**({} if named else {variable: "Nowhere"}))
    done = run(binary, "--print", *named, TEXT, env=env, text=True, timeout=SLOW_TIMEOUT)
    assert (done.returncode, done.stderr) == \
        (1, f'tallyline: printing failed: There is no printer named "Nowhere" (named by {variable})\n')


# Pages of the labels' own sizes, or all of one size; a list of no label that fits leaves no file.
PDF_PAGES = [
    pytest.param([], "A1\nTALLY-22\n", None, id="each its own size"),
    pytest.param(["--page-mm", "101.6x50.8"], "A1\nTALLY-22\n", (288, 144), id="4 x 2 inch"),
    pytest.param(["--page-mm", "50.8x25.4"], f"{LONGEST}\n", None, id="a text too long for 2 x 1 inch"),
]


@pytest.mark.parametrize("arguments, texts, points", PDF_PAGES)
def test_labels_as_one_pdf(binary, folder, arguments, texts, points):
    pdf = folder / "labels.pdf"
    done = tallyline(binary, "--batch", "-", "-o", str(pdf), *arguments, input=texts)
    if LONGEST in texts:
        assert done.returncode == 1 and "needs a label at least" in done.stderr and not pdf.exists()
        return
    assert (done.returncode, done.stdout) == (0, f"tallyline: wrote 2 of 2 labels to {pdf}\n"), done.stderr
    info = run("pdfinfo", "-f", "1", "-l", "2", str(pdf), text=True).stdout
    sizes = [tuple(float(side) for side in size) for size in re.findall(r"size:\s+([\d.]+) x ([\d.]+)", info)]
    assert len(sizes) == 2
    # Else 2 pixels a module at 96 to the inch, 3/4 point: the symbol with its quiet zones of 4 and 10 characters, in
    # the whole points that a PDF page takes.
    widths = [points[0]] * 2 if points else [((n + 2) * 13 - 1 + 20) * 2 * 0.75 for n in (2, 8)]
    assert all(abs(width - wanted) <= 1 for (width, _), wanted in zip(sizes, widths)), f"pages of {sizes} points"
    if points:
        assert all(abs(height - points[1]) < 0.5 for _, height in sizes), f"pages of {sizes} points"
    for page, text in ((1, "A1"), (2, "TALLY-22")):
        assert decode(pdf_to_png(pdf, 300, page), margin=0) == [text]


@pytest.mark.parametrize("made", ["print", "pdf"])
@pytest.mark.parametrize("number", [signal.SIGINT, signal.SIGTERM, signal.SIGHUP], ids=lambda n: n.name)
def test_stopped_batch_keeps_nothing(binary, folder, cups_server, label_queues, monkeypatch, made, number):
    """A signal keeps nothing of a batch of labels: it stops the batch between two labels,
    saying so, with the status 128 and its number; no job reaches the printer, no PDF is
    written and nothing is left in the temporary folder."""
    cups_server.use(monkeypatch)
    listing, pending, pdf = folder / "list", folder / "pending", folder / "labels.pdf"
    listing.write_text("".join(f"STOP {n}\n" for n in range(100_000)))
    pending.mkdir()
    # The toolkit's own runtime folder, which it would otherwise make among the pending files.
    runtime = folder / "runtime"
    runtime.mkdir(mode=0o700)
    name, path = label_queues["ZPL 2x1in 203dpi"]
    before = stamp(path)
    made_by = ["--print", "--printer", name] if made == "print" else ["-o", str(pdf)]
    with subprocess.Popen([binary, "--batch", str(listing), *made_by],
                          env=headless_env(TMPDIR=str(pending), XDG_RUNTIME_DIR=str(runtime)),
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True) as process:
        time.sleep(1.5)
        process.send_signal(number)
        stdout, stderr = process.communicate(timeout=SLOW_TIMEOUT)
    assert process.returncode == 128 + number, stderr
    lost = f"{pdf} was not written: it" if made == "pdf" else "nothing was printed: the job"
    assert stderr.endswith(f"tallyline: stopped by signal {int(number)}; {lost} would have lacked the rest of "
                           f"{listing}\n"), stderr
    summary = f"{re.escape(str(pdf))} not written" if made == "pdf" else "no label printed"
    assert re.fullmatch(rf"tallyline: {summary}, of \d+ texts\n", stdout), stdout
    assert not list(pending.iterdir()), "pending pages were left"
    assert not list(folder.glob("*labels.pdf*")), "a PDF was left"
    time.sleep(3)
    assert stamp(path) == before, "something was printed"




def pages(pdf):
    match = re.search(r"^Pages:\s+(\d+)", run("pdfinfo", str(pdf), text=True).stdout, re.MULTILINE)
    return int(match.group(1)) if match else 0


class Queue:
    """What the printer had done before a print, to tell the print's own page and job."""

    def __init__(self, server, folder):
        self.server, self.folder = server, folder
        self.files = set(folder.glob("*.pdf"))

    def check_printed(self):
        printed = wait_for(lambda: (fresh := sorted(set(self.folder.glob("*.pdf")) - self.files))
                           and all(pages(pdf) > 0 for pdf in fresh) and fresh, timeout=SLOW_TIMEOUT)
        assert printed and len(printed) == 1 and pages(printed[0]) == 1, f"expected one page, got {printed}"
        images = run("pdfimages", "-list", str(printed[0]), text=True).stdout.splitlines()[2:]
        assert not images, f"the page holds images: {images}"
        page = pdf_to_png(printed[0], 300)
        assert decode(page) == [LONGEST], "decoded from paper"
        dots = sorted(set(widths(bar_row(page))))
        assert dots == [6, 12], f"bars and spaces of {dots} dots, not 6 and 12"


def test_print_from_window(start_program, cups_server, pdf_printer):
    queue = Queue(cups_server, pdf_printer)
    # Started after the printer, to print where it is.
    window = start_program()
    window.type_text(LONGEST)
    window.choose("Print")
    queue.check_printed()
    assert window.close() == 0, "closing after a print did not end the program"


def test_strict_print_refused(binary, cups_server, pdf_printer):
    """A text whose bars leave a character out is refused (--strict changes nothing), and nothing is printed for it:
    the one page and job that follow are the next print's."""
    queue = Queue(cups_server, pdf_printer)
    refused = run(binary, "--print", "--strict", f"{LONGEST}*", timeout=SLOW_TIMEOUT, text=True)
    assert (refused.returncode, refused.stdout, refused.stderr) == \
        (1, "", "tallyline: printing failed: refused: the bars do not carry '*'; --full-ascii carries every ASCII "
                "character, --lenient leaves them out of the bars\n")
    printing = run(binary, "--print", "--strict", LONGEST, timeout=SLOW_TIMEOUT, text=True)
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
