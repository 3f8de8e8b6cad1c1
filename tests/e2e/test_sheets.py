"""Labels in every layout: turned along a portrait label's long side on CUPS's own Zebra and
DYMO drivers (read back from the very stream each printer would receive), the wide-to-narrow
ratio of small modules, PDFs on a printer's dot grid, and sheets of labels laid out as the
label makers' templates in glabels-data say, cut out label by label and decoded. Bad input is
refused with a clear message, and nothing is written or printed."""

import itertools
import math
import pathlib
import re
import shlex
import tempfile
import xml.etree.ElementTree as ElementTree

import pytest

from tallyline_e2e import SLOW_TIMEOUT, decode, decode_file, grey, pdf_to_png, run, svg_to_png, tallyline, wait_for
from test_print import labels_of, printed, stamp

TEXT = "TALLY-2026"
ROOT = pathlib.Path(__file__).parents[2]
TEMPLATES = "/usr/share/libglabels-3.0/templates"
POINTS = {"pt": 1, "in": 72, "mm": 72 / 25.4, "cm": 720 / 25.4, "pc": 12}

# Each queue: driver, medium, resolution, and the lines at the label's top that its printer
# cannot print and is not sent (the DYMO driver's 14.9 points). Portrait media are fed narrow
# side first.
QUEUES = {"Zebra 1.5x2in": ("zebra.ppd", "w108h144", 203, 0), "DYMO 1.125x3.5in": ("dymo.ppd", "w81h252", 203, 42),
          "Zebra 2x1in": ("zebra.ppd", "w144h72", 203, 0)}


def elements(dots):
    """The widths of the bars and spaces between the first bar and the last, and the light
    runs before and after them, of a line of dots (1 black)."""
    found = [len(list(group)) for _, group in itertools.groupby(dots)]
    return set(found[1:-1]), found[0], found[-1]


def grey_row(png, fraction=3):
    """A row of dots a third of the way down a picture, dark for a grey level below 128."""
    width, height, levels = grey(png)
    return [int(level < 128) for level in levels[height // fraction * width:(height // fraction + 1) * width]]


def jobs(server, queue):
    return len(server.client("lpstat", "-W", "all", "-o", queue).stdout.splitlines())


def columns(dots):
    return [list(column) for column in zip(*dots)]


def read_turned(rows, width):
    """What zbar reads of a picture of dots (1 black), and whether it read it turned sideways."""
    with tempfile.NamedTemporaryFile(suffix=".pgm") as picture:
        body = bytes(0 if bit else 255 for row in rows for bit in row + [0] * (width - len(row)))
        picture.write(f"P5 {width} {len(rows)} 255\n".encode() + body)
        picture.flush()
        read = run("zbarimg", "-q", "--xml", picture.name, text=True).stdout
    return re.findall(r"<data><!\[CDATA\[(.*?)\]\]></data>", read), bool(re.search(r"orientation=.(RIGHT|LEFT).", read))


def whole_label(label, top):
    """A printed label's dots with the lines at its top that its printer is not sent, and for
    a DYMO printer those after the last dark one: rows, width and length."""
    dots, width, third = label
    length = third if top else len(dots)
    return [[0] * width] * top + dots + [[0] * width] * (length - top - len(dots)), width, length


def fresh_pdf(pdf_printer, before):
    """The one PDF that the PDF printer wrote since `before`, once whole."""
    fresh = wait_for(lambda: (new := set(pdf_printer.glob("*.pdf")) - before) and
                     pdf_pages(next(iter(new)))[0] > 0 and new, timeout=SLOW_TIMEOUT)
    assert fresh and len(fresh) == 1, f"printed {fresh}"
    return next(iter(fresh))


@pytest.fixture(scope="module")
def queues(cups_server):
    output = cups_server.socket.parent / "sheets"
    output.mkdir(mode=0o1777)
    output.chmod(0o1777)
    made = {}
    for name, (driver, medium, dpi, _) in QUEUES.items():
        queue, path = re.sub(r"\W", "_", name), output / f"{medium}.out"
        cups_server.add_label_printer(queue, driver, medium, dpi, path)
        made[name] = (queue, path, driver)
    return made


def print_label(binary, cups_server, queues, monkeypatch, name, *arguments):
    cups_server.use(monkeypatch)
    queue, path, driver = queues[name]
    before = stamp(path)
    done = tallyline(binary, "--print", "--printer", queue, *arguments)
    assert (done.returncode, done.stderr) == (0, ""), done.stderr
    labels = labels_of(driver, printed(cups_server, queue, path, before))
    assert len(labels) == 1, f"{len(labels)} labels"
    return labels[0]


@pytest.mark.parametrize("name, module, wide", [("Zebra 1.5x2in", 2, 5), ("DYMO 1.125x3.5in", 3, 7)])
def test_turned_along_portrait_label(binary, cups_server, queues, monkeypatch, name, module, wide):
    """The bars run down the label, rows of dots: each element 2 or 3 dots and 2.2 times that
    rounded up, the quiet zones of 10 modules on the label above and below them. A ZPL
    printer is sent every line of the label, a DYMO one its length and the lines up to the
    last dark one."""
    label, width, length = whole_label(print_label(binary, cups_server, queues, monkeypatch, name, TEXT),
                                       QUEUES[name][3])
    assert length > width, f"a label of {width} x {length} dots is not portrait"
    widths, above, below = elements(max(columns(label), key=sum))
    assert widths == {module, wide}, f"elements of {sorted(widths)} dots"
    assert min(above, below) >= 10 * module, f"quiet zones of {above} and {below} dots"
    # zbar reads the whole label, turned sideways.
    assert read_turned(label, width) == ([TEXT], True)


@pytest.mark.parametrize("options, wide", [([], 5), (["--ratio", "3"], 6)])
def test_ratio_on_small_modules(binary, cups_server, queues, monkeypatch, folder, options, wide):
    """2 x 1 inch at 203 dpi: 2-dot modules, below 0.508 mm, get wide elements of at least 2.2
    modules; --ratio 3 makes them 3. A 600 dpi PDF of the same label keeps the ratio."""
    dots = print_label(binary, cups_server, queues, monkeypatch, "Zebra 2x1in", "TALLY-26", *options)[0]
    assert elements(max(dots, key=sum))[0] == {2, wide}
    pdf = folder / "label.pdf"
    done = tallyline(binary, "--batch", "-", "-o", str(pdf), "--page-mm", "50.8x25.4", "--dpi", "600", *options,
                     input="TALLY-26\n")
    assert done.returncode == 0, done.stderr
    narrow, wider = sorted(elements(grey_row(pdf_to_png(pdf, 600)))[0])
    assert wider == math.ceil(narrow * (3 if options else 2.2) - 1e-9), f"elements of {narrow} and {wider} dots"


@pytest.mark.parametrize("dpi", [203, 300])
def test_label_pdf_on_printer_grid(binary, folder, dpi):
    pdf = folder / "labels.pdf"
    done = tallyline(binary, "--batch", "-", "-o", str(pdf), "--page-mm", "50.8x25.4", "--dpi", str(dpi),
                     input=f"{TEXT}\n")
    assert done.returncode == 0, done.stderr
    png = pdf_to_png(pdf, dpi)
    assert grey(png)[:2] == (round(2 * dpi), round(dpi))
    widths = elements(grey_row(png))[0]
    assert len(widths) == 2, f"elements of {sorted(widths)} dots"
    assert decode(png) == [TEXT]


def template(product):
    """The template's paper, label size and each label's place, in points, read here apart
    from the program: brand and part, an equivalent part, lengths in their units."""
    brand, part = re.split(r"[ -]", product.lower(), 1)
    found = {}
    for path in sorted(pathlib.Path(TEMPLATES).glob("*-templates.xml")):
        for element in ElementTree.parse(path).getroot().iter("Template"):
            found[(element.get("brand").lower(), element.get("part").lower())] = element
    element = found[(brand, part)]
    while element.get("equiv"):
        element = found[(brand, element.get("equiv").lower())]

    def length(text):
        number, unit = re.fullmatch(r"\s*([\d.]+)\s*([a-z]*)\s*", text).groups()
        return float(number) * POINTS[unit or "pt"]

    label = element.find("Label-rectangle")
    places = [(length(layout.get("x0")) + column * length(layout.get("dx")),
               length(layout.get("y0")) + row * length(layout.get("dy")))
              for layout in label.iter("Layout")
              for row in range(int(layout.get("ny"))) for column in range(int(layout.get("nx")))]
    return element.get("size"), (length(label.get("width")), length(label.get("height"))), places


def cut_labels(pdf, product, page_count):
    """Each label of each page, in reading order, cut out of a 300 dpi rendering."""
    _, (width, height), places = template(product)
    scale = 300 / 72
    labels = []
    for page in range(1, page_count + 1):
        png = pdf_to_png(pdf, 300, page)
        for x, y in sorted(places, key=lambda place: (round(place[1], 2), place[0])):
            crop = f"{round(width * scale)}x{round(height * scale)}+{round(x * scale)}+{round(y * scale)}"
            labels.append(run("convert", "png:-", "-crop", crop, "+repage", "png:-", input=png).stdout)
    return labels


def pdf_pages(pdf):
    """The pages and the size of the first in whole points; none while a PDF is unfinished."""
    info = run("pdfinfo", str(pdf), text=True).stdout
    found = re.search(r"Pages:\s+(\d+)(?:.|\n)*Page size:\s+([\d.]+) x ([\d.]+)", info)
    return (int(found[1]), (round(float(found[2])), round(float(found[3])))) if found else (0, None)


SHEETS = [
    pytest.param("Avery 5160", 35, 4, [], 2, (612, 792), id="Avery 5160 from the 4th"),
    pytest.param("Avery L7160", 21, 1, ["--outlines"], 1, (595, 842), id="Avery L7160 outlined"),
]


@pytest.mark.parametrize("product, count, first, options, page_count, paper", SHEETS)
def test_sheet_pdf(binary, folder, product, count, first, options, page_count, paper):
    texts = [f"ITEM-{n:03}" for n in range(1, count + 1)]
    pdf = folder / "sheets.pdf"
    done = tallyline(binary, "--batch", "-", "-o", str(pdf), "--sheet", product, "--first", str(first), *options,
                     input="".join(f"{text}\n" for text in texts))
    assert (done.returncode, done.stdout) == (0, f"tallyline: wrote {count} of {count} labels to {pdf}\n"), done.stderr
    assert pdf_pages(pdf) == (page_count, paper)
    labels = cut_labels(pdf, product, page_count)
    skipped = first - 1
    for blank in labels[:skipped]:
        _, _, levels = grey(blank)
        assert min(levels) > 200, "a label before --first is not blank"
    read = [decode(label) for label in labels[skipped:skipped + count]]
    assert read == [[text] for text in texts]
    if options:
        # The outline runs along each label's edge, a dot or two in from its cut.
        for label in labels:
            width, height, levels = grey(label)
            assert min(levels[(height // 2) * width:(height // 2) * width + 3]) < 128, "no outline at the left edge"


def test_sheets_listed(binary):
    done = tallyline(binary, "--sheets", "avery 516")
    assert done.returncode == 0 and done.stdout.startswith(
        "Avery 5160\t66.7 x 25.4 mm\t30\tUS Letter\tAddress Labels\nAvery 5161\t101.6 x 25.4 mm\t20\tUS Letter\t"), done
    assert tallyline(binary, "--sheets", "no such word").returncode == 1


# TALLY-2026 at 300 dpi: 6 dots, 0.508 mm, at 2:1; bars of 10 mm, 118 dots, turned to run
# across the picture: rows of dots.
@pytest.mark.parametrize("suffix", [".png", ".svg", ".pdf"])
def test_file_on_grid_turned(binary, folder, suffix):
    path = folder / f"label{suffix}"
    done = tallyline(binary, TEXT, "-o", str(path), "--dpi", "300", "--rotate", "90", "--height-mm", "10", "--no-text")
    assert done.returncode == 0, done.stderr
    png = {".png": path.read_bytes, ".svg": lambda: svg_to_png(path, "-d", "300", "-p", "300"),
           ".pdf": lambda: pdf_to_png(path, 300)}[suffix]()
    width, height, levels = grey(png)
    dots = [[int(level < 128) for level in levels[y * width:(y + 1) * width]] for y in range(height)]
    assert max(sum(row) for row in dots) == 118, "bars not 10 mm long"
    assert elements(max(columns(dots), key=sum))[0] == {6, 12}
    assert read_turned(dots, width) == ([TEXT], True)


def test_vector_file_ratio_in_tenths(binary, folder):
    """Without a grid, an SVG of 0.33 mm modules draws in tenths of one: wide elements of 2.2."""
    path = folder / "label.svg"
    assert tallyline(binary, TEXT, "-o", str(path), "--module-mm", "0.33").returncode == 0
    bars = re.search(r'<g fill="#000000">(.*?)</g>', path.read_text(), re.DOTALL)[1]
    assert set(re.findall(r'width="(\d+)"', bars)) == {"10", "22"}


def test_office_printer_keeps_the_windows_place(binary, cups_server, pdf_printer):
    """On A4 the barcode prints where the window prints it: its bars as high as the window's,
    not the page's, and 6 + 18 dots at --ratio 3 and 300 dpi."""
    before = set(pdf_printer.glob("*.pdf"))
    done = tallyline(binary, "--print", "--ratio", "3", TEXT)
    assert done.returncode == 0, done.stderr
    png = pdf_to_png(fresh_pdf(pdf_printer, before), 300)
    width, height, levels = grey(png)
    dots = [[int(level < 128) for level in levels[y * width:(y + 1) * width]] for y in range(height // 3)]
    barred = [y for y, row in enumerate(dots) if sum(row) > 100]
    assert 150 < len(barred) < 300, f"bars {len(barred)} dots high"
    assert elements(dots[barred[len(barred) // 2]])[0] == {6, 18}
    assert decode(png) == [TEXT]


BAD = [
    pytest.param(["--sheet", "Avery 5161x"], 2, "no label template names \"Avery 5161x\"; the nearest are Avery 5161, ",
                 id="unknown product"),
    pytest.param(["--sheet", "{folder}/own.xml"], 2, "{folder}/own.xml:1: not a template file", id="not a template"),
    pytest.param(["--sheet", "Avery 5160", "--first", "0"], 2, "--first '0': a label's number from 1", id="first 0"),
    pytest.param(["--sheet", "Avery 5160", "--first", "31"], 2, "--first 31: a sheet of Avery 5160 has 30 labels",
                 id="first past the sheet"),
    pytest.param(["--ratio", "1.5"], 2, "--ratio '1.5': a number from 2.0 to 3.0", id="ratio 1.5"),
    pytest.param(["--dpi", "0"], 2, "--dpi '0': a whole number of dots per inch from 72", id="dpi 0"),
    pytest.param(["--rotate", "45"], 2, "--rotate '45': auto, 0, 90, 180 or 270", id="rotate 45"),
]


@pytest.mark.parametrize("made", ["pdf", "print"])
@pytest.mark.parametrize("options, status, message", BAD)
def test_bad_input_makes_nothing(binary, folder, cups_server, queues, monkeypatch, made, options, status, message):
    cups_server.use(monkeypatch)
    (folder / "own.xml").write_text("Avery 5160\n")
    queue = queues["Zebra 2x1in"][0]
    before = jobs(cups_server, queue)
    pdf = folder / "labels.pdf"
    into = ["-o", str(pdf)] if made == "pdf" else ["--print", "--printer", queue]
    done = tallyline(binary, "--batch", "-", *into, *[option.format(folder=folder) for option in options],
                     input=f"{TEXT}\n")
    assert done.returncode == status and message.format(folder=folder) in done.stderr, done.stderr
    assert not pdf.exists()
    assert jobs(cups_server, queue) == before, "something was printed"


# The documented examples of labels in their layouts, told apart from the others by these.
LAYOUTS = ("--sheet", "--dpi", "--rotate", "Dymo")
LISTED = ["ITEM-001", "ITEM-002", "ITEM-003"]


def examples(where, binary):
    """The commands that README, --help or the manual's own part give as examples."""
    if where == "README":
        lines = re.findall(r"^tallyline .+$", (ROOT / "README.md").read_text(), re.MULTILINE)
    elif where == "--help":
        lines = re.findall(r"^ +\$ (tallyline .+)$", tallyline(binary, "--help").stdout, re.MULTILINE)
    else:
        page = (ROOT / "app/tallyline.h2m").read_text().replace("\\-", "-").replace("\\(dq", '"')
        lines = re.findall(r"^\.B (tallyline .+)$", page, re.MULTILINE)
    return [shlex.split(line, comments=True)[1:] for line in lines if any(word in line for word in LAYOUTS)]


@pytest.mark.parametrize("where", ["README", "--help", "manual"])
def test_examples_do_what_they_say(binary, folder, cups_server, pdf_printer, where):
    """Each example runs as written, in a folder with texts.txt, on a queue named Dymo and a
    default PDF printer: what it wrote or printed reads as the texts it was given."""
    dymo = folder / "dymo.out"
    cups_server.add_label_printer("Dymo", "dymo.ppd", "w81h252", 203, dymo)
    (folder / "texts.txt").write_text("".join(f"{text}\n" for text in LISTED))
    commands = examples(where, binary)
    assert len(commands) >= 3, commands
    for arguments in commands:
        before = (stamp(dymo), set(pdf_printer.glob("*.pdf")))
        done = tallyline(binary, *arguments, cwd=folder)
        assert done.returncode == 0, (arguments, done.stderr)
        copies = int(dict(zip(arguments, arguments[1:])).get("--copies", 1))
        texts = LISTED if "--batch" in arguments else [TEXT] * copies
        if "--sheets" in arguments:
            assert arguments[-1] in done.stdout.lower(), done.stdout
        elif "Dymo" in arguments:
            stream = printed(cups_server, "Dymo", dymo, before[0])
            label = whole_label(labels_of("dymo.ppd", stream)[0], QUEUES["DYMO 1.125x3.5in"][3])
            assert read_turned(*label[:2]) == (texts, True)
        elif "--print" in arguments:
            # A sheet of Letter though the PDF printer's queue is set to A4. zbar reads a text once however often
            # a page holds it: each label is read alone.
            pdf = fresh_pdf(pdf_printer, before[1])
            assert pdf_pages(pdf) == (1, (612, 792))
            sheet = arguments[arguments.index("--sheet") + 1]
            assert sum([decode(label) for label in cut_labels(pdf, sheet, 1)], []) == texts
        else:
            made = folder / arguments[arguments.index("-o") + 1]
            read = sorted(decode_file(made))
            assert read == (texts if "--sheet" in arguments or made.suffix != ".pdf" else texts[:1]), (arguments, read)
