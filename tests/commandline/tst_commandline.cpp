#include <QtTest>

#include <sys/mman.h>
#include <unistd.h>

#include "commandline/CommandLineTexts_p.h"
#include "commandline/CommandLine_p.h"
#include "commandline/LineReader_p.h"
#include "label/SafeFileNames.h"

using namespace tallyline;
using namespace tallyline::commandline;

namespace {

// What a command line asks for, in a word, with its one telling value.
QString Described(const Request& request) {
    if (const auto* one = std::get_if<WriteOne>(&request))
        return QStringLiteral("write %1 as %2 x%3").arg(one->text, SuffixOf(one->settings.format)).arg(one->settings.scale);
    if (const auto* batch = std::get_if<WriteBatch>(&request))
        return QStringLiteral("batch %1 into %2 as %3 at %4mm")
            .arg(batch->list, batch->folder, SuffixOf(batch->settings.format))
            .arg(batch->settings.moduleMillimetres.value_or(0));
    if (const auto* print = std::get_if<PrintOne>(&request)) {
        return QStringLiteral("print %1 on '%2' x%3").arg(print->text, print->print.printer).arg(print->print.copies);
    }
    if (const auto* labels = std::get_if<PrintBatch>(&request)) {
        return QStringLiteral("print %1 on '%2' x%3").arg(labels->list, labels->print.printer).arg(labels->print.copies);
    }
    if (const auto* pdf = std::get_if<WriteLabelPdf>(&request)) {
        const QSizeF page = pdf->pageMillimetres.value_or(QSizeF());
        return QStringLiteral("labels %1 into %2 on %3x%4").arg(pdf->list, pdf->path).arg(page.width()).arg(page.height());
    }
    return QStringLiteral("usage: ") + std::get<UsageError>(request).message;
}

}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    // Requests, and usage errors word for word.
    void argumentsSayWhatToDo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("request");
        QTest::newRow("01 one file") << QStringList{"A1", "-o", "a.PNG"} << "write A1 as png x1";
        QTest::newRow("02 text after the file") << QStringList{"--output=a.svg", "A1"} << "write A1 as svg x1";
        QTest::newRow("03 text like an option") << QStringList{"-o", "x.y/a.pdf", "--", "-A1"} << "write -A1 as pdf x1";
        QTest::newRow("04 batch") << QStringList{"--batch", "-", "-d", "out", "--format", "svg", "--module-mm", "0.33"}
                               << "batch - into out as svg at 0.33mm";
        QTest::newRow("05 print") << QStringList{"--print", "A1"} << "print A1 on '' x1";
        QTest::newRow("06 nothing to do") << QStringList{"--scale", "2"}
                                       << "usage: say what to write: TEXT -o FILE, --batch LIST -d DIR, or --print TEXT";
        QTest::newRow("07 text alone") << QStringList{"A1"} << "usage: a text needs -o FILE or --print";
        QTest::newRow("08 unknown option") << QStringList{"--colour", "red"} << "usage: Unknown option 'colour'.";
        QTest::newRow("09 two texts") << QStringList{"A", "B", "-o", "a.png"}
                                   << "usage: more than one text given (quote a text that holds blanks)";
        QTest::newRow("10 two modes") << QStringList{"A", "-o", "a.png", "--print"}
                                   << "usage: -o and --print cannot be used together";
        QTest::newRow("11 batch without folder") << QStringList{"--batch", "list"} << "usage: --batch needs -d DIR";
        QTest::newRow("12 batch with a text") << QStringList{"A", "--batch", "list", "-d", "out"}
                                           << "usage: --batch takes its texts from LIST, not from the command line";
        QTest::newRow("13 folder without batch") << QStringList{"A", "-o", "a.png", "-d", "out"} << "usage: -d goes with --batch";
        QTest::newRow("14 format with a file") << QStringList{"A", "-o", "a.png", "--format", "png"}
                                            << "usage: --format goes with --batch and -o -; with -o FILE the file's suffix sets the format";
        QTest::newRow("15 unknown suffix") << QStringList{"A1", "-o", "a.jpg"}
                                        << "usage: a.jpg: unknown format: the name must end in .png, .svg or .pdf";
        QTest::newRow("16 formats are lower case") << QStringList{"--batch", "l", "-d", "o", "--format", "PNG"}
                                                << "usage: unknown format 'PNG': use png, svg or pdf";
        QTest::newRow("17 scale zero") << QStringList{"A", "-o", "a.png", "--scale", "0"}
                                    << "usage: --scale '0': a whole number from 1 to 100 is needed";
        QTest::newRow("18 scale fraction") << QStringList{"A", "-o", "a.png", "--scale", "1.5"}
                                        << "usage: --scale '1.5': a whole number from 1 to 100 is needed";
        QTest::newRow("19 module not a number") << QStringList{"A", "-o", "a.svg", "--module-mm", "nan"}
                                             << "usage: --module-mm 'nan': a number of millimetres from 0.01 to 100 is needed";
        QTest::newRow("20 module too fine") << QStringList{"A", "-o", "a.svg", "--module-mm", "0"}
                                         << "usage: --module-mm '0': a number of millimetres from 0.01 to 100 is needed";
        QTest::newRow("21 largest scale") << QStringList{"A", "-o", "a.png", "--scale", "100"} << "write A as png x100";
        QTest::newRow("22 scale too large") << QStringList{"A", "-o", "a.png", "--scale", "101"}
                                         << "usage: --scale '101': a whole number from 1 to 100 is needed";
        QTest::newRow("23 broadest module") << QStringList{"--batch", "l", "-d", "o", "--format", "svg", "--module-mm", "100"}
                                         << "batch l into o as svg at 100mm";
        QTest::newRow("24 module too broad") << QStringList{"A", "-o", "a.svg", "--module-mm", "100.01"}
                                          << "usage: --module-mm '100.01': a number of millimetres from 0.01 to 100 is needed";
        QTest::newRow("25 list without a name") << QStringList{"--batch", "", "-d", "o"}
                                             << "usage: --batch needs a LIST: a file, or - for standard input";
        QTest::newRow("26 folder without a name") << QStringList{"--batch", "l", "-d", ""} << "usage: -d needs a folder";
        QTest::newRow("27 the toolkit's options are texts after --")
            << QStringList{"-o", "r.png", "--", "-reverse"} << "write -reverse as png x1";
        QTest::newRow("28 printer and copies") << QStringList{"--print", "A1", "--printer", "Labels", "--copies", "999"}
                                               << "print A1 on 'Labels' x999";
        QTest::newRow("29 no copies") << QStringList{"--print", "A1", "--copies", "0"}
                                      << "usage: --copies '0': a whole number from 1 to 999 is needed";
        QTest::newRow("30 too many copies") << QStringList{"--print", "A1", "--copies", "1000"}
                                            << "usage: --copies '1000': a whole number from 1 to 999 is needed";
        QTest::newRow("31 copies of a file") << QStringList{"A1", "-o", "a.png", "--copies", "2"}
                                             << "usage: --copies does nothing for a PNG file: it acts on prints (--print) only";
        QTest::newRow("32 printer without a name") << QStringList{"--print", "A1", "--printer", ""}
                                                   << "usage: --printer needs a printer's name";
        QTest::newRow("33 batch printed") << QStringList{"--batch", "-", "--print", "--copies", "2"} << "print - on '' x2";
        QTest::newRow("34 batch printed with a folder") << QStringList{"--batch", "l", "--print", "-d", "o"}
            << "usage: -d and --format go with --batch LIST -d DIR, not with --print or -o FILE.pdf";
        QTest::newRow("35 labels as a PDF") << QStringList{"--batch", "l", "-o", "l.pdf", "--page-mm", "50.8x25.4"}
                                            << "labels l into l.pdf on 50.8x25.4";
        QTest::newRow("36 labels each their size") << QStringList{"--batch", "l", "-o", "l.pdf"} << "labels l into l.pdf on -1x-1";
        QTest::newRow("37 labels as PNG") << QStringList{"--batch", "l", "-o", "l.png"}
            << "usage: l.png: --batch writes its labels to one file only as PDF: the name must end in .pdf, or -o - needs "
               "--format pdf";
        QTest::newRow("38 page without a height") << QStringList{"--batch", "l", "-o", "l.pdf", "--page-mm", "50"}
            << "usage: --page-mm '50': WIDTHxHEIGHT in millimetres, each from 1 to 5000, is needed";
        QTest::newRow("39 page too small") << QStringList{"--batch", "l", "-o", "l.pdf", "--page-mm", "0.5x20"}
            << "usage: --page-mm '0.5x20': WIDTHxHEIGHT in millimetres, each from 1 to 5000, is needed";
        QTest::newRow("40 page for a print") << QStringList{"--batch", "l", "--print", "--page-mm", "50x20"}
                                             << "usage: --page-mm does nothing for a print: it acts on PDFs of labels only";
        QTest::newRow("41 page for one PDF") << QStringList{"A", "-o", "a.pdf", "--page-mm", "50x20"}
                                             << "write A as pdf x1";
        // Options that would do nothing for what is asked, and standard output.
        QTest::newRow("42 page for a PNG") << QStringList{"A", "-o", "a.png", "--page-mm", "50x20"}
                                           << "usage: --page-mm does nothing for a PNG file: it acts on PDFs of labels only";
        QTest::newRow("43 scale for an SVG") << QStringList{"A", "-o", "a.svg", "--scale", "3"}
                                             << "usage: --scale does nothing for an SVG file: it acts on PNG files only";
        QTest::newRow("44 quiet zone for a print") << QStringList{"--print", "A", "--quiet-zone", "0"}
            << "usage: --quiet-zone does nothing for a print: it acts on PNG files, SVG files and PDF files";
        QTest::newRow("45 module for labels") << QStringList{"--batch", "l", "-o", "l.pdf", "--module-mm", "0.3"}
            << "usage: --module-mm does nothing for a PDF of labels: it acts on SVG files and PDF files";
        QTest::newRow("46 standard output, no format") << QStringList{"A", "-o", "-"}
            << "usage: -o - writes to standard output, which has no suffix: name the format with --format";
        QTest::newRow("47 strict and lenient") << QStringList{"A", "-o", "a.png", "--strict", "--lenient"}
                                               << "usage: --strict and --lenient cannot be used together";
    }
    void argumentsSayWhatToDo() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, request);
        arguments.prepend(QStringLiteral("tallyline"));
        QCOMPARE(Described(ParseCommandLine(arguments, QStringLiteral("9.9"))), request);
    }

    // The quiet zone goes with each file, the rules with every way a text is drawn; a quiet zone
    // out of bounds is a usage error, word for word.
    void drawingOptionsReachEveryRequest_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("drawn");
        const QString badZone = "usage: --quiet-zone '%1': a whole number of modules from 0 to 100 is needed";
        QTest::newRow("01 defaults") << QStringList{"A", "-o", "a.png"} << "zone 10 strict";
        QTest::newRow("02 no quiet zone") << QStringList{"A", "-o", "a.svg", "--quiet-zone", "0"} << "zone 0 strict";
        QTest::newRow("03 widest, batch") << QStringList{"--batch", "l", "-d", "o", "--quiet-zone", "100"} << "zone 100 strict";
        QTest::newRow("04 strict changes nothing, batch") << QStringList{"--batch", "l", "-d", "o", "--strict"} << "zone 10 strict";
        QTest::newRow("05 check digit, file") << QStringList{"A", "-o", "a.pdf", "--check-digit"} << "zone 10 strict check";
        QTest::newRow("06 lenient, full ASCII, print") << QStringList{"--print", "A", "--lenient", "--full-ascii", "--check-digit"}
                                                       << "ascii check";
        QTest::newRow("07 full ASCII, batch") << QStringList{"--batch", "l", "-d", "o", "--full-ascii"} << "zone 10 strict ascii";
        QTest::newRow("08 too wide") << QStringList{"A", "-o", "a.png", "--quiet-zone", "101"} << badZone.arg("101");
        QTest::newRow("09 negative") << QStringList{"A", "-o", "a.png", "--quiet-zone=-1"} << badZone.arg("-1");
        QTest::newRow("10 a fraction") << QStringList{"A", "-o", "a.png", "--quiet-zone", "2.5"} << badZone.arg("2.5");
    }
    void drawingOptionsReachEveryRequest() {
        QFETCH(QStringList, arguments);
        arguments.prepend(QStringLiteral("tallyline"));
        const Request request = ParseCommandLine(arguments, QStringLiteral("9.9"));
        const auto described = [](const std::optional<FileSettings>& settings, const DrawingRules& rules) {
            QStringList words;
            if (settings) words << QStringLiteral("zone %1").arg(settings->quietZone);
            if (rules.strict) words << QStringLiteral("strict");
            if (rules.fullAscii) words << QStringLiteral("ascii");
            if (rules.checkCharacter) words << QStringLiteral("check");
            return words.join(u' ');
        };
        QString drawn;
        if (const auto* one = std::get_if<WriteOne>(&request)) drawn = described(one->settings, one->rules);
        else if (const auto* batch = std::get_if<WriteBatch>(&request)) drawn = described(batch->settings, batch->rules);
        else if (const auto* print = std::get_if<PrintOne>(&request)) drawn = described(std::nullopt, print->rules);
        else drawn = Described(request);
        QTEST(drawn, "drawn");
    }

    // The help names the formats word for word, the default among them.
    void helpNamesTheFormats_data() {
        QTest::addColumn<QString>("help");
        QTest::addColumn<QString>("words");
        QTest::newRow("01 description") << kDescription.section(u'\n', 0, 2)
                                     << "Draws a text as a Code 39 barcode, the same picture the window shows, and writes "
                                        "it as a\nPNG, SVG or PDF file, or prints it on a printer. Without "
                                        "arguments it opens the window, whose text box holds\nat most 23 characters, as "
                                        "designed; the command line takes longer texts.";
        QTest::newRow("02 output") << kOutputHelp
                                << "Write the barcode of the text to FILE; its suffix (.png, .svg or .pdf) sets the format. "
                                   "- writes it to standard output, in the format that --format names. With --batch, "
                                   "FILE.pdf gets one label a page for each line of LIST.";
        QTest::newRow("03 format") << kFormatHelp
                                << "The format of the files that --batch writes, and of -o -, which needs it: png (the "
                                   "default for --batch), svg or pdf.";
    }
    void helpNamesTheFormats() {
        QFETCH(QString, help);
        QTEST(help, "words");
    }

    // A name stays in its folder, never hides, never names a device, is never
    // empty or too long, and is the text's alone: what is not kept is
    // escaped, so that texts that draw different bars never share a name.
    void namesAreSafe_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("stems");
        QTest::newRow("01 plain") << QStringList{"TALLY-2026", "a_b.c"} << QStringList{"TALLY-2026", "A_B.C"};
        QTest::newRow("02 paths") << QStringList{"../x", "/etc/passwd", "a\\b", "~/x"}
                               << QStringList{"%2E.%2FX", "%2FETC%2FPASSWD", "A%5CB", "%7E%2FX"};
        QTest::newRow("03 hidden and dots") << QStringList{".hidden", ".", ".."} << QStringList{"%2EHIDDEN", "%2E", "%2E."};
        QTest::newRow("04 devices") << QStringList{"CON", "nul.txt", "com1", "CONSOLE", "LPT9.A.B"}
                                 << QStringList{"%43ON", "%4EUL.TXT", "%43OM1", "CONSOLE", "%4CPT9.A.B"};
        QTest::newRow("05 escapes of UTF-8") << QStringList{"", "$ %", QStringLiteral("\u00e9\U0001F600"), "a+b"}
                                          << QStringList{"barcode", "%24%20%25", "%C3%89%F0%9F%98%80", "A%2BB"};
        QTest::newRow("06 control characters") << QStringList{QString::fromUtf8("A\nB\0C", 5), "A\tB"}
                                            << QStringList{"A%0AB%00C", "A%09B"};
        QTest::newRow("07 texts that shared a name") << QStringList{"ITEM $7", "ITEM %7", "ITEM _7", "ITEM %247"}
                                                  << QStringList{"ITEM%20%247", "ITEM%20%257", "ITEM%20_7", "ITEM%20%25247"};
        QTest::newRow("08 case draws the same bars") << QStringList{"abc", "ABC", QStringLiteral("\u00e9")}
                                                  << QStringList{"ABC", "ABC", "%C3%89"};
        // The hashes: the first 8 bytes of SHA-256 of the text's UTF-8, as sha256sum gives them.
        QTest::newRow("09 long") << QStringList{QString(500, u'A'), QString(200, u'A'), QString(201, u'A')}
                              << QStringList{QString(183, u'A') + "~E1A00DA865CEF6E0", QString(200, u'A'),
                                             QString(183, u'A') + "~DEA81B358BF5398F"};
        QTest::newRow("10 long, cut between escapes")
            << QStringList{QString(182, u'A') + QString(10, u'$'), QString(181, u'A') + QString(10, u'$')}
            << QStringList{QString(182, u'A') + "~3F7E7DD400D85C12", QString(181, u'A') + "~1204DBB40D7694C2"};
    }
    void namesAreSafe() {
        QFETCH(QStringList, texts);
        QFETCH(QStringList, stems);
        QStringList given;
        for (const QString& text : texts) given.append(SafeFileStem(text));
        QCOMPARE(given, stems);
    }

    // The edges the end-to-end batches do not reach: a CR alone ends no line;
    // the longest line is kept whole, one byte more is skipped and named.
    void listLinesAreRead_data() {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("01 a lone CR stays") << QByteArray("A\rB\n") << QStringList{"1 A\rB"};
        const QByteArray longest(LineReader::kLongestLine, 'A');
        QTest::newRow("02 longest") << longest + "\nB" << QStringList{"1 " + QString::fromLatin1(longest), "2 B"};
        QTest::newRow("03 one byte longer") << longest + "A\nB"
                                  << QStringList{QStringLiteral("1 ! longer than %1 bytes; skipped").arg(LineReader::kLongestLine), "2 B"};
        QTest::newRow("04 longest with CR LF") << longest + "\r\nB" << QStringList{"1 " + QString::fromLatin1(longest), "2 B"};
        QTest::newRow("05 one byte longer with CR LF")
            << longest + "A\r\nB" << QStringList{QStringLiteral("1 ! longer than %1 bytes; skipped").arg(LineReader::kLongestLine), "2 B"};
        QTest::newRow("06 a mark at the start of the list") << QByteArray("\xEF\xBB\xBF" "A\n\xEF\xBB\xBF" "B\n")
                                                         << QStringList{"1 A", QStringLiteral("2 \uFEFFB")};
    }
    void listLinesAreRead() {
        QFETCH(QByteArray, list);
        QFETCH(QStringList, lines);
        const int descriptor = memfd_create("list", MFD_CLOEXEC);
        QVERIFY(descriptor >= 0 && write(descriptor, list.constData(), list.size()) == list.size());
        QCOMPARE(lseek(descriptor, 0, SEEK_SET), 0);
        LineReader reader(descriptor, LineReader::Ownership::Owned);
        QStringList read;
        while (const auto line = reader.Next())
            read.append(QString::number(line->number) + u' ' + (line->problem.isEmpty() ? line->text : "! " + line->problem));
        QCOMPARE(read, lines);
    }
};

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
