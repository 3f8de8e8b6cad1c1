#pragma once

#include <QString>
#include <QStringList>

#include "commandline/CommandLine_p.h"
#include "design/Texts.h"
#include "platform/core/Units.h"
#include "platform/files/PngEncoder.h"
#include "stock/LabelTemplate.h"

// What the command line says: its help, its usage errors and its reports.
// A report starts with the program's name.
namespace tallyline::commandline {

using design::kProgram;
inline const QString kDescription =
    QStringLiteral(
        "Draws a text as a Code 39 barcode, the same picture the window shows, and writes it as a\n"
        "%1 file, or prints it on a printer. Without arguments it opens the window, whose text box holds\n"
        "at most %2 characters, as designed; the command line takes longer texts.\n"
        "\n"
        "Code 39 carries the digits, the capital letters, the space and - . $ / + %. Lower-case letters are\n"
        "drawn as capitals. A text with any other character, * among them, is refused: nothing is written or\n"
        "printed for it, and the characters are named. --full-ascii carries every ASCII character as a pair of\n"
        "Code 39 characters; --lenient draws such a text as the window does, the characters in its caption but\n"
        "not in its bars.\n"
        "Command-line work needs no display.")
        .arg(ListOfFormats([](PictureFormat format) { return SuffixOf(format).toUpper(); }))
        .arg(design::kText1MaxLength);
inline const QString kTextArgument = QStringLiteral("text");
inline const QString kTextHelp = QStringLiteral("The text to draw, for -o or --print.");
inline const QString kTextSyntax = QStringLiteral("[text]");
inline const QString kOutputHelp =
    QStringLiteral(
        "Write the barcode of the text to FILE; its suffix (%1) sets the format. - writes it to "
        "standard output, in the format that --format names. With --batch, FILE.pdf gets one label a "
        "page for each line of LIST.")
        .arg(DottedSuffixList());
inline const QString kBatchHelp = QStringLiteral(
    "Write one file for each line of LIST (UTF-8; - for standard input) into the folder given by -d. Blank "
    "lines are skipped; each file is named after its text, as told below. With --print, print one label for "
    "each line in one job; with -o FILE.pdf, write them as the pages of one PDF.");
inline const QString kDirectoryHelp = QStringLiteral("The folder that --batch writes into; made if missing.");
inline const QString kFormatHelp =
    QStringLiteral("The format of the files that --batch writes, and of -o -, which needs it: %1.")
        .arg(ListOfFormats([](PictureFormat format) {
            return format == FileSettings().format ? SuffixOf(format) + QStringLiteral(" (the default for --batch)")
                                                   : SuffixOf(format);
        }));
inline const QString kHelpHelp = QStringLiteral("Show this help and end.");
inline const QString kVersionHelp = QStringLiteral("Show the program's version and end.");
// What follows the options in --help, and so in the manual made from it: a
// heading ending in ":" becomes a section of the manual there, and help2man
// sets indented lines that start with "$ " as commands, one a line.
inline const QString kAfterOptions = QStringLiteral(
    "\n"
    "Batch file names:\n"
    "  Each file is named after its text as drawn, lower case as capitals: ASCII letters, digits, - _ and .\n"
    "  stay, and every other byte of the text's UTF-8 becomes %XX (\"ITEM $7\" gives ITEM%20%247.png). A name\n"
    "  over 200 bytes keeps its start and a hash of the whole text. Two texts that draw different barcodes\n"
    "  never share a name, in one run or many. A text whose file is there already with the same contents (a\n"
    "  repeat, or an earlier run's) is not written again and is named as such; a file that differs is replaced.\n"
    "  A file appears under its name only once it is whole, so an interrupted batch (SIGHUP, SIGINT, SIGTERM,\n"
    "  even SIGKILL) leaves whole files only; SIGHUP, SIGINT and SIGTERM end it between files, with the status\n"
    "  129, 130 or 143. A FIFO, a socket or a device where a file goes is refused.\n"
    "\n"
    "Printing labels:\n"
    "  A print's page is the medium that the printer's queue is set up with (lpadmin -o PageSize=w144h72 sets a\n"
    "  2 x 1 inch label), at the queue's resolution. On a sheet that holds the window's layout (A4, Letter) the\n"
    "  barcode prints where the window prints it, in the window's look unless --rotate, --ratio, --height-mm,\n"
    "  --no-text or --module-mm change it. On anything smaller, a label, the barcode with its caption and quiet\n"
    "  zones of 10 modules is centred, each module the most whole printer dots not above the window's 0.529 mm\n"
    "  (or --module-mm) that let it fit, and never below 0.19 mm, turned along the label's long side where that\n"
    "  gives a larger module (--rotate auto). Below 0.508 mm a module, the wide elements are the fewest whole\n"
    "  dots that make 2.2 modules. The bars take the height that the label leaves beneath the caption, 1 mm and\n"
    "  what the printer cannot print kept clear of its edges, and at least 15% of their length. A barcode that\n"
    "  does not fit even so is not printed: the message says how large the label would have to be. --batch LIST\n"
    "  -o FILE.pdf lays its labels out the same way on pages of --page-mm, on a grid of 1200 dots per inch or\n"
    "  --dpi. A job is sent only whole, and counts as printed once the print server has taken it; a warning\n"
    "  says when it waits on a stopped printer or is held. A PDF of labels appears only whole. A batch of\n"
    "  labels that SIGINT, SIGTERM or SIGHUP stops, or whose job or PDF cannot be written whole, keeps\n"
    "  nothing: no job is sent, no PDF is written and nothing is left in the temporary folder.\n"
    "    $ tallyline --print --printer Labels --copies 3 \"TALLY-26\"\n"
    "    $ tallyline --print --printer Dymo \"TALLY-2026\"\n"
    "    $ tallyline --batch texts.txt --print --printer Labels\n"
    "    $ tallyline --batch texts.txt -o labels.pdf --page-mm 50.8x25.4 --dpi 203\n"
    "\n"
    "Sheets of labels:\n"
    "  --sheet NAME lays the labels out as a label maker's template says (those of glabels-data, in\n"
    "  /usr/share/libglabels-3.0/templates): each label of each sheet in turn, row by row from the top left,\n"
    "  the first sheet from its --first label. Each label gets the barcode as a printed label does, centred\n"
    "  inside the template's margin; a round, oval or CD label takes it in the largest rectangle inside it.\n"
    "  The pages of the PDF and of the print are the sheet's paper, which a print tells the printer.\n"
    "    $ tallyline --sheets avery\n"
    "    $ tallyline --batch texts.txt -o sheets.pdf --sheet \"Avery 5160\" --first 4\n"
    "    $ tallyline --print --sheet avery-5160 --copies 30 \"TALLY-2026\"\n"
    "\n"
    "Exit status:\n"
    "  0  every file was written, or was there already; every label was printed\n"
    "  1  anything was lost: a file or label that failed or a text that was refused (each is named on\n"
    "     standard error, and everything else is still written or printed), a list that could not be read to\n"
    "     its end, a PDF of labels left unwritten, a file or summary that standard output did not take, or\n"
    "     --sheets WORD that no product holds\n"
    "  2  a usage error, or help that could not be written. An option that would do nothing for what is\n"
    "     asked is one: --scale for an SVG file, --copies without --print or --sheet, --quiet-zone with\n"
    "     --print, --page-mm for a PNG file, --first without --sheet. So is a sheet that cannot be laid out: an\n"
    "     unknown product, a file that is not a template, a --first past the sheet; nothing is then written or\n"
    "     printed\n"
    "  129, 130, 143  a batch that SIGHUP, SIGINT or SIGTERM stopped\n");
inline const QString kPrintHelp = QStringLiteral(
    "Print the barcode of the text on the default printer, as the window's Print does, on the label or sheet "
    "that the printer's queue is set up with.");
inline const QString kPrinterHelp = QStringLiteral(
    "The printer that --print prints on (default: the one that LPDEST or PRINTER names, else the default "
    "printer).");
inline const QString kCopiesHelp =
    QStringLiteral(
        "Print every label N times (a whole number from 1 to %1; default 1); with --sheet, put each "
        "text on N labels.")
        .arg(kMostCopies);
inline const QString kPageSizeHelp = QStringLiteral(
    "The size of the pages of a PDF of labels, from --batch LIST or a text with -o FILE.pdf, in millimetres, "
    "such as 50.8x25.4 (default: each barcode with its quiet zones).");
inline const QString kSheetHelp = QStringLiteral(
    "Lay the labels out on sheets of a label maker's product, such as \"Avery 5160\" or avery-l7160 (case, "
    "spaces and hyphens alike), as its template in glabels-data says; or of the one template in an XML file of "
    "that format. With --print, one job of the sheet's paper; with -o FILE.pdf, pages of it. The texts are "
    "--batch LIST, or the text --copies times.");
inline const QString kSheetsHelp = QStringLiteral(
    "List the products whose brand, part or description holds the text given (all without one): brand and "
    "part, label size, labels per sheet, paper, description.");
inline const QString kFirstHelp = QStringLiteral(
    "Start on the Nth label of the first sheet, row by row from the top left (default 1): the "
    "first free label of a sheet used before.");
inline const QString kOutlinesHelp =
    QStringLiteral("Draw each label's outline on the sheets, for a test print on plain paper.");
inline const QString kAutomaticTurn = QStringLiteral("auto");
inline const QString kRotateHelp = QStringLiteral(
    "Turn the barcode clockwise by 0, 90, 180 or 270 degrees. On labels and sheets the default, auto, turns it "
    "along the label's long side where that gives a larger module; files are not turned unless asked.");
inline const QString kDpiHelp =
    QStringLiteral(
        "Draw a file on a grid of N dots per inch (%1 to %2): every bar, space and quiet zone a whole "
        "number of dots, the module the most whole dots not above --module-mm (or the window's); a PDF "
        "of labels puts its barcodes on that grid (default %3).")
        .arg(kCoarsestGrid)
        .arg(kFinestGrid)
        .arg(kPdfDotsPerInch);
inline const QString kRatioHelp = QStringLiteral(
    "The wide elements' width in narrow ones, from 2.0 to 3.0: the fewest whole dots (or pixels; tenths of a "
    "module in an SVG or PDF off a grid) that make at least N. Default: 2, as the window draws, for modules of "
    "0.508 mm or more; 2.2 below that, which small modules need.");
inline const QString kHeightHelp = QStringLiteral(
    "The bars' height in millimetres (default: on a label, all that it leaves beneath the caption; in a file, "
    "the window's at that module).");
inline const QString kNoCaptionHelp = QStringLiteral("Leave the caption out: bars only.");
inline const QString kScaleHelp =
    QStringLiteral(
        "Make every pixel of a PNG N x N pixels (a whole number from 1 to %1; default 1). Common readers "
        "refuse a PNG wider or taller than %2 pixels by default (ImageMagick, Pillow, and zbar through "
        "them): such a file is still written, with a warning.")
        .arg(kLargestScale)
        .arg(kLargestReadablePng);
inline const QString kModuleHelp = QStringLiteral(
    "The width of the narrow bar in SVG and PDF files and on --dpi's grid, and the widest on labels, in "
    "millimetres (default: the window's, two pixels at 96 per inch, about 0.529).");
inline const QString kQuietZoneHelp =
    QStringLiteral(
        "Leave N modules of background left and right of the bars in a PNG, SVG or PDF file (a whole "
        "number from 0 to %1; default %2, what scanners need). The picture's own background counts: 0 "
        "gives the window's picture as it is, 1 module before the bars and 2 after.")
        .arg(kWidestQuietZone)
        .arg(kStandardQuietZone);
inline const QString kStrictHelp = QStringLiteral(
    "Refuse a text with a character that the bars do not carry, as is done without it: nothing is written or "
    "printed for it, the characters are named, and the exit status is 1.");
inline const QString kLenientHelp = QStringLiteral(
    "Draw a text with characters that the bars do not carry as the window does: they show in the caption, are "
    "left out of the bars, and are named in a warning.");
inline const QString kFullAsciiHelp = QStringLiteral(
    "Draw every ASCII character (codes 0 to 127) with Code 39's full-ASCII pairs: lower case, punctuation and "
    "control characters as two Code 39 characters each (+A for a, /C for #, %U for NUL), the rest as "
    "themselves. The caption shows the text as typed, a control character by its picture (U+2409 for a tab). "
    "A scanner set to full ASCII reads the text back; a character outside ASCII is still refused.");
inline const QString kCheckDigitHelp = QStringLiteral(
    "End the bars with the modulo-43 check character, shown in the caption too. It counts the characters that "
    "the bars carry: lower case as capitals, and with --full-ascii each character of every pair.");

inline QString TryHelp() { return QStringLiteral("Try '%1 --help' for more information.").arg(kProgram); }

// Usage errors.
inline const QString kNothingToDo =
    QStringLiteral("say what to write: TEXT -o FILE, --batch LIST -d DIR, or --print TEXT");
inline const QString kEmptyPrinter = QStringLiteral("--printer needs a printer's name");
inline const QString kLabelsWithDirectory =
    QStringLiteral("-d and --format go with --batch LIST -d DIR, not with --print or -o FILE.pdf");
inline const QString kStrictAndLenient = QStringLiteral("--strict and --lenient cannot be used together");
inline const QString kStandardOutputWithoutFormat =
    QStringLiteral("-o - writes to standard output, which has no suffix: name the format with --format");
inline const QString kTwoTexts = QStringLiteral("more than one text given (quote a text that holds blanks)");
inline const QString kModesTogether = QStringLiteral("-o and --print cannot be used together");
inline const QString kTextWithoutOutput = QStringLiteral("a text needs -o FILE or --print");
inline const QString kTextWithBatch = QStringLiteral("--batch takes its texts from LIST, not from the command line");
inline const QString kNoText = QStringLiteral("-o and --print need a text");
inline const QString kBatchWithoutDirectory = QStringLiteral("--batch needs -d DIR");
inline const QString kEmptyList = QStringLiteral("--batch needs a LIST: a file, or - for standard input");
inline const QString kEmptyFolder = QStringLiteral("-d needs a folder");
inline const QString kDirectoryWithoutBatch = QStringLiteral("-d goes with --batch");
inline const QString kFormatWithoutBatch =
    QStringLiteral("--format goes with --batch and -o -; with -o FILE the file's suffix sets the format");
inline const QString kEmptySheet =
    QStringLiteral("--sheet needs a product, such as \"Avery 5160\", or a template file");
inline const QString kSheetsAlone = QStringLiteral("--sheets lists products and takes no other option");
inline const QString kAutoTurnInFile =
    QStringLiteral("--rotate auto goes with labels and sheets: a file is turned by 0, 90, 180 or 270");
inline QString BadFirst(const QString& first) {
    return QStringLiteral("--first '%1': a label's number from 1 is needed").arg(first);
}
inline QString BadRotate(const QString& angle) {
    return QStringLiteral("--rotate '%1': auto, 0, 90, 180 or 270 is needed").arg(angle);
}
inline QString BadRatio(const QString& ratio) {
    return QStringLiteral("--ratio '%1': a number from %2 to %3 is needed")
        .arg(ratio, QString::number(kNarrowestRatio, 'f', 1), QString::number(kWidestRatio, 'f', 1));
}
inline QString BadHeight(const QString& height) {
    return QStringLiteral("--height-mm '%1': a number of millimetres from %2 to %3 is needed")
        .arg(height, QString::number(kLowestBars), QString::number(kHighestBars));
}
inline QString BadDpi(const QString& dpi) {
    return QStringLiteral("--dpi '%1': a whole number of dots per inch from %2 to %3 is needed")
        .arg(dpi, QString::number(kCoarsestGrid), QString::number(kFinestGrid));
}
// A product as --sheets lists it, by tabs: brand and part, the label's size,
// labels a sheet, paper, description.
inline QString SheetLine(const LabelTemplate& product) {
    const QSizeF label = product.label * kMillimetresPerPoint;
    return QStringLiteral("%1\t%2 x %3 mm\t%4\t%5\t%6")
        .arg(product.Product())
        .arg(label.width(), 0, 'f', 1)
        .arg(label.height(), 0, 'f', 1)
        .arg(product.labels.size())
        .arg(product.paperName, product.description);
}
inline QString NoProductHolds(const QString& word) {
    return QStringLiteral("no label template's brand, part or description holds \"%1\"").arg(word);
}
// A sheet's label that a --first past the sheet names.
inline QString FirstPastSheet(int first, const QString& product, qsizetype labels) {
    return QStringLiteral("--first %1: a sheet of %2 has %3 labels").arg(first).arg(product).arg(labels);
}
inline QString UnknownFormat(const QString& format) {
    return QStringLiteral("unknown format '%1': use %2").arg(format, SuffixList());
}
inline QString UnknownSuffix(const QString& file) {
    return QStringLiteral("%1: unknown format: the name must end in %2").arg(file, DottedSuffixList());
}
inline QString BadScale(const QString& scale) {
    return QStringLiteral("--scale '%1': a whole number from 1 to %2 is needed")
        .arg(scale, QString::number(kLargestScale));
}
inline QString BadQuietZone(const QString& modules) {
    return QStringLiteral("--quiet-zone '%1': a whole number of modules from 0 to %2 is needed")
        .arg(modules, QString::number(kWidestQuietZone));
}
inline QString BadCopies(const QString& copies) {
    return QStringLiteral("--copies '%1': a whole number from 1 to %2 is needed")
        .arg(copies, QString::number(kMostCopies));
}
inline QString BadPageSize(const QString& size) {
    return QStringLiteral("--page-mm '%1': WIDTHxHEIGHT in millimetres, each from %2 to %3, is needed")
        .arg(size, QString::number(kSmallestPage), QString::number(kLargestPage));
}
inline QString LabelsNotPdf(const QString& file) {
    return QStringLiteral(
               "%1: --batch writes its labels to one file only as PDF: the name must end in .pdf, or -o - "
               "needs --format pdf")
        .arg(file);
}
inline QString SheetNotPdf(const QString& file) {
    return QStringLiteral("%1: --sheet writes its sheets only as PDF: the name must end in .pdf").arg(file);
}
inline QString BadModule(const QString& module) {
    return QStringLiteral("--module-mm '%1': a number of millimetres from %2 to %3 is needed")
        .arg(module, QString::number(kFinestModule), QString::number(kBroadestModule));
}

// What an option that does nothing for the output says: what it acts on instead.
inline QString DoesNothing(const QString& option, Output output, Outputs outputs) {
    struct Named {
        Output output;
        const char* one;
        const char* many;
    };
    static constexpr Named kNames[] = {
        {Output::PngFile, "a PNG file", "PNG files"},
        {Output::SvgFile, "an SVG file", "SVG files"},
        {Output::PdfFile, "a PDF file", "PDF files"},
        {Output::LabelPdf, "a PDF of labels", "PDFs of labels"},
        {Output::Print, "a print", "prints (--print)"},
        {Output::SheetPdf, "a PDF of sheets", "PDFs of sheets"},
        {Output::SheetPrint, "a print on sheets", "prints on sheets"},
    };
    QString asked;
    QStringList actedOn;
    for (const Named& name : kNames) {
        if (name.output == output) asked = QString::fromLatin1(name.one);
        if (outputs.testFlag(name.output)) actedOn.append(QString::fromLatin1(name.many));
    }
    const QString last = actedOn.takeLast();
    const QString acts = actedOn.isEmpty() ? last + QStringLiteral(" only")
                                           : actedOn.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    return QStringLiteral("%1 does nothing for %2: it acts on %3").arg(option, asked, acts);
}

// Reports on a text.
inline QString LargePng(QSize size) {
    return QStringLiteral(
               "warning: the PNG is %1 x %2 pixels, larger than the %3 on a side that common readers take; "
               "written all the same")
        .arg(size.width())
        .arg(size.height())
        .arg(kLargestReadablePng);
}
inline QString NotCarried(const QString& characters) {
    return QStringLiteral("warning: the bars leave out %1, which the caption shows (--lenient)").arg(characters);
}
// asciiAmongThem: --full-ascii would carry some of them.
inline QString Refused(const QString& characters, bool asciiAmongThem) {
    return QStringLiteral("refused: the bars do not carry %1; %2, --lenient leaves them out of the bars")
        .arg(characters, asciiAmongThem ? QStringLiteral("--full-ascii carries every ASCII character")
                                        : QStringLiteral("Code 39 carries ASCII characters only"));
}
inline const QString kNotUtf8 = QStringLiteral("not valid UTF-8; skipped");
inline QString LineTooLong(qint64 limit) { return QStringLiteral("longer than %1 bytes; skipped").arg(limit); }
inline QString CannotRead(const QString& list, const QString& reason) {
    return QStringLiteral("cannot read %1: %2").arg(list, reason);
}
inline QString CannotReadPast(const QString& list, qint64 line, const QString& reason) {
    return QStringLiteral("cannot read %1 past line %2: %3; the rest of it was not written")
        .arg(list)
        .arg(line)
        .arg(reason);
}
inline QString CannotMakeFolder(const QString& folder, const QString& reason) {
    return QStringLiteral("cannot make the folder %1: %2").arg(folder, reason);
}
inline QString AlreadyThere(const QString& path) {
    return QStringLiteral("%1 is there already, the same barcode; not written again").arg(path);
}
inline QString Interrupted(int signal, const QString& list) {
    return QStringLiteral("stopped by signal %1; the rest of %2 was not written").arg(signal).arg(list);
}
// A PDF of labels is not written for a list it did not finish.
inline QString StoppedBeforeFile(int signal, const QString& path, const QString& list) {
    return QStringLiteral("stopped by signal %1; %2 was not written: it would have lacked the rest of %3")
        .arg(signal)
        .arg(path, list);
}
// Nor is a print job sent for a list it did not finish.
inline QString StoppedBeforeJob(int signal, const QString& list) {
    return QStringLiteral("stopped by signal %1; nothing was printed: the job would have lacked the rest of %2")
        .arg(signal)
        .arg(list);
}
// A job that the print server took but keeps waiting, and why.
inline QString JobWaits(const QString& why) { return QStringLiteral("warning: %1").arg(why); }
// "1 file", "2 files".
inline QString Counted(qint64 count, const QString& one, const QString& many) {
    return QStringLiteral("%1 %2").arg(count).arg(count == 1 ? one : many);
}
// What follows a summary of a batch that made nothing: of how many texts, or
// that its list, read to its end, held none.
inline QString OfTexts(qint64 texts, bool listReadWhole, const QString& list) {
    if (texts > 0)
        return QStringLiteral(", of %1").arg(Counted(texts, QStringLiteral("text"), QStringLiteral("texts")));
    return listReadWhole ? QStringLiteral(": %1 holds no text").arg(list) : QString();
}
inline QString Summary(qint64 written, qint64 texts, const QString& folder, qint64 alreadyThere, bool listReadWhole,
                       const QString& list) {
    QString summary = written > 0 ? QStringLiteral("%1: wrote %2 of %3 to %4")
                                        .arg(kProgram)
                                        .arg(written)
                                        .arg(Counted(texts, QStringLiteral("file"), QStringLiteral("files")), folder)
                                  : QStringLiteral("%1: no file written to %2").arg(kProgram, folder) +
                                        OfTexts(texts, listReadWhole, list);
    if (alreadyThere == 0) return summary;
    return summary +
           QStringLiteral("; %1 there already, the same")
               .arg(alreadyThere == 1 ? QStringLiteral("1 was") : QStringLiteral("%1 were").arg(alreadyThere));
}
inline QString CannotWriteOutput(const QString& reason) {
    return QStringLiteral("cannot write to standard output: %1").arg(reason);
}
inline QString PrintFailed(const QString& reason) { return QStringLiteral("printing failed: %1").arg(reason); }
inline QString PrintSummary(qint64 printed, qint64 texts, bool listReadWhole, const QString& list) {
    if (printed == 0) return QStringLiteral("%1: no label printed").arg(kProgram) + OfTexts(texts, listReadWhole, list);
    return QStringLiteral("%1: printed %2 of %3")
        .arg(kProgram)
        .arg(printed)
        .arg(Counted(texts, QStringLiteral("label"), QStringLiteral("labels")));
}
// written: how many labels the PDF holds, 0 when it was not written.
inline QString LabelsSummary(qint64 written, qint64 texts, const QString& path, bool listReadWhole,
                             const QString& list) {
    const QString named = path == kStandardOutput ? QStringLiteral("standard output") : path;
    if (written == 0)
        return QStringLiteral("%1: %2 not written").arg(kProgram, named) + OfTexts(texts, listReadWhole, list);
    return QStringLiteral("%1: wrote %2 of %3 to %4")
        .arg(kProgram)
        .arg(written)
        .arg(Counted(texts, QStringLiteral("label"), QStringLiteral("labels")), named);
}

}  // namespace tallyline::commandline
