#include <QtTest>

#include <sys/mman.h>
#include <unistd.h>

#include "commandline/CommandLine_p.h"
#include "commandline/LineReader_p.h"
#include "label/SafeFileNames.h"

using namespace tallyline;
using namespace tallyline::commandline;

namespace {

// What a command line asks for, in a word, with its telling values: the quiet zone and the rules only where they are
// not the defaults.
QString Described(const Request& request) {
    const auto drawn = [](const DrawingRules& rules, const FileSettings& settings = {}) {
        return (settings.quietZone == FileSettings().quietZone ? QString()
                                                               : QStringLiteral(" zone %1").arg(settings.quietZone)) +
               (rules.strict ? "" : " lenient") + (rules.fullAscii ? " ascii" : "") +
               (rules.checkCharacter ? " check" : "");
    };
    if (const auto* one = std::get_if<WriteOne>(&request))
        return QStringLiteral("write %1 as %2 x%3")
                   .arg(one->text, SuffixOf(one->settings.format))
                   .arg(one->settings.scale) +
               drawn(one->rules, one->settings);
    if (const auto* batch = std::get_if<WriteBatch>(&request))
        return QStringLiteral("batch %1 into %2 as %3 at %4mm")
                   .arg(batch->list, batch->folder, SuffixOf(batch->settings.format))
                   .arg(batch->settings.symbol.moduleMillimetres.value_or(0)) +
               drawn(batch->rules, batch->settings);
    if (const auto* print = std::get_if<PrintOne>(&request))
        return QStringLiteral("print %1 on '%2' x%3").arg(print->text, print->print.printer).arg(print->print.copies) +
               drawn(print->rules);
    if (const auto* labels = std::get_if<PrintBatch>(&request))
        return QStringLiteral("print %1 on '%2' x%3")
                   .arg(labels->list, labels->print.printer)
                   .arg(labels->print.copies) +
               drawn(labels->rules);
    if (const auto* pdf = std::get_if<WriteLabelPdf>(&request)) {
        const QSizeF page = pdf->pageMillimetres.value_or(QSizeF());
        return QStringLiteral("labels %1 into %2 on %3x%4")
                   .arg(pdf->list, pdf->path)
                   .arg(page.width())
                   .arg(page.height()) +
               drawn(pdf->rules);
    }
    return QStringLiteral("usage: ") + std::get<UsageError>(request).message;
}

}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT
private slots:
    // Requests, and usage errors word for word. A row is named by its arguments, split at blanks; '' is an empty
    // argument.
    void argumentsSayWhatToDo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("request");
        const auto row = [](const char* arguments, const QString& request) {
            QStringList split = QString::fromUtf8(arguments).split(u' ');
            split.replaceInStrings(QRegularExpression("^''$"), QString());
            QTest::newRow(arguments) << split << request;
        };
        const QString scale = "usage: --scale '%1': a whole number from 1 to 100 is needed";
        const QString module = "usage: --module-mm '%1': a number of millimetres from 0.01 to 100 is needed";
        const QString copies = "usage: --copies '%1': a whole number from 1 to 999 is needed";
        const QString page = "usage: --page-mm '%1': WIDTHxHEIGHT in millimetres, each from 1 to 5000, is needed";
        const QString zone = "usage: --quiet-zone '%1': a whole number of modules from 0 to 100 is needed";
        row("A1 -o a.PNG", "write A1 as png x1");
        row("--output=a.svg A1", "write A1 as svg x1");
        row("-o x.y/a.pdf -- -A1", "write -A1 as pdf x1");
        row("--batch - -d out --format svg --module-mm 0.33", "batch - into out as svg at 0.33mm");
        row("--print A1", "print A1 on '' x1");
        row("--scale 2", "usage: say what to write: TEXT -o FILE, --batch LIST -d DIR, or --print TEXT");
        row("A1", "usage: a text needs -o FILE or --print");
        row("--colour red", "usage: Unknown option 'colour'.");
        row("A B -o a.png", "usage: more than one text given (quote a text that holds blanks)");
        row("A -o a.png --print", "usage: -o and --print cannot be used together");
        row("--batch list", "usage: --batch needs -d DIR");
        row("A --batch list -d out", "usage: --batch takes its texts from LIST, not from the command line");
        row("A -o a.png -d out", "usage: -d goes with --batch");
        row("A -o a.png --format png",
            "usage: --format goes with --batch and -o -; with -o FILE the file's suffix sets the format");
        row("A1 -o a.jpg", "usage: a.jpg: unknown format: the name must end in .png, .svg or .pdf");
        row("--batch l -d o --format PNG", "usage: unknown format 'PNG': use png, svg or pdf");
        row("A -o a.png --scale 0", scale.arg("0"));
        row("A -o a.png --scale 100", "write A as png x100");
        row("A -o a.png --scale 101", scale.arg("101"));
        row("A -o a.svg --module-mm nan", module.arg("nan"));
        row("A -o a.svg --module-mm 0.01", "write A as svg x1");
        row("--batch l -d o --format svg --module-mm 100", "batch l into o as svg at 100mm");
        row("A -o a.svg --module-mm 100.01", module.arg("100.01"));
        row("--batch '' -d o", "usage: --batch needs a LIST: a file, or - for standard input");
        row("--batch l -d ''", "usage: -d needs a folder");
        row("--print A1 --printer Labels --copies 999", "print A1 on 'Labels' x999");
        row("--print A1 --copies 0", copies.arg("0"));
        row("--print A1 --copies 1000", copies.arg("1000"));
        row("A1 -o a.png --copies 2",
            "usage: --copies does nothing for a PNG file: it acts on prints (--print), PDFs of "
            "sheets and prints on sheets");
        row("--print A1 --printer ''", "usage: --printer needs a printer's name");
        row("--batch - --print --copies 2", "print - on '' x2");
        row("--batch l --print -d o",
            "usage: -d and --format go with --batch LIST -d DIR, not with --print or -o FILE.pdf");
        row("--batch l -o l.pdf --page-mm 50.8x25.4", "labels l into l.pdf on 50.8x25.4");
        row("--batch l -o l.pdf", "labels l into l.pdf on -1x-1");
        row("--batch l -o l.png",
            "usage: l.png: --batch writes its labels to one file only as PDF: the name must end in .pdf, or "
            "-o - needs --format pdf");
        row("--batch l -o l.pdf --page-mm 50", page.arg("50"));
        row("--batch l -o l.pdf --page-mm 0.5x20", page.arg("0.5x20"));
        row("--batch l -o l.pdf --page-mm 50x20x9", page.arg("50x20x9"));
        row("--batch l -o l.pdf --page-mm 1x5000", "labels l into l.pdf on 1x5000");
        row("--batch l --print --page-mm 50x20",
            "usage: --page-mm does nothing for a print: it acts on PDFs of labels only");
        row("A -o a.pdf --page-mm 50x20", "write A as pdf x1");
        row("A -o a.png --page-mm 50x20",
            "usage: --page-mm does nothing for a PNG file: it acts on PDFs of labels only");
        row("A -o a.svg --scale 3", "usage: --scale does nothing for an SVG file: it acts on PNG files only");
        row("--print A --quiet-zone 0",
            "usage: --quiet-zone does nothing for a print: it acts on PNG files, SVG files and PDF files");
        row("A -o a.png --module-mm 0.3",
            "usage: --module-mm does nothing for a PNG file: it acts on SVG files, PDF files, "
            "PDFs of labels, prints (--print), PDFs of sheets and prints on sheets");
        row("A -o -", "usage: -o - writes to standard output, which has no suffix: name the format with --format");
        row("A -o a.png --strict --lenient", "usage: --strict and --lenient cannot be used together");
        row("A -o a.svg --quiet-zone 0", "write A as svg x1 zone 0");
        row("--batch l -d o --quiet-zone 100", "batch l into o as png at 0mm zone 100");
        row("A -o a.png --quiet-zone 101", zone.arg("101"));
        row("A -o a.png --quiet-zone=-1", zone.arg("-1"));
        row("--batch l -d o --strict", "batch l into o as png at 0mm");
        row("--batch l -d o --full-ascii", "batch l into o as png at 0mm ascii");
        row("A -o a.pdf --check-digit", "write A as pdf x1 check");
        row("--print A --lenient --full-ascii --check-digit", "print A on '' x1 lenient ascii check");
        row("--batch l --print --lenient --check-digit", "print l on '' x1 lenient check");
    }
    void argumentsSayWhatToDo() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, request);
        arguments.prepend(QStringLiteral("tallyline"));
        QCOMPARE(Described(ParseCommandLine(arguments, QStringLiteral("9.9"))), request);
    }

    // A name stays in its folder, never hides, never names a device, is never empty or too long, and is the text's
    // alone: what is not kept is escaped, so that texts that draw different bars never share a name.
    void namesAreSafe_data() {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("stems");
        QTest::newRow("01 plain") << QStringList{"TALLY-2026", "a_b.c"} << QStringList{"TALLY-2026", "A_B.C"};
        QTest::newRow("02 paths") << QStringList{"../x", "/etc/passwd", "a\\b", "~/x"}
                                  << QStringList{"%2E.%2FX", "%2FETC%2FPASSWD", "A%5CB", "%7E%2FX"};
        QTest::newRow("03 hidden and dots")
            << QStringList{".hidden", ".", ".."} << QStringList{"%2EHIDDEN", "%2E", "%2E."};
        QTest::newRow("04 devices") << QStringList{"CON", "nul.txt", "com1", "CONSOLE", "LPT9.A.B"}
                                    << QStringList{"%43ON", "%4EUL.TXT", "%43OM1", "CONSOLE", "%4CPT9.A.B"};
        QTest::newRow("05 escapes of UTF-8") << QStringList{"", "$ %", QStringLiteral("\u00e9\U0001F600"), "a+b"}
                                             << QStringList{"barcode", "%24%20%25", "%C3%89%F0%9F%98%80", "A%2BB"};
        QTest::newRow("06 control characters")
            << QStringList{QString::fromUtf8("A\nB\0C", 5), "A\tB"} << QStringList{"A%0AB%00C", "A%09B"};
        QTest::newRow("07 texts that shared a name")
            << QStringList{"ITEM $7", "ITEM %7", "ITEM _7", "ITEM %247"}
            << QStringList{"ITEM%20%247", "ITEM%20%257", "ITEM%20_7", "ITEM%20%25247"};
        QTest::newRow("08 case draws the same bars")
            << QStringList{"abc", "ABC", QStringLiteral("\u00e9")} << QStringList{"ABC", "ABC", "%C3%89"};
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

    // The edges the end-to-end batches do not reach: a CR alone ends no line; the longest line is kept whole, one
    // byte more is skipped and named.
    void listLinesAreRead_data() {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("01 a lone CR stays") << QByteArray("A\rB\n") << QStringList{"1 A\rB"};
        const QByteArray longest(LineReader::kLongestLine, 'A');
        QTest::newRow("02 longest") << longest + "\nB" << QStringList{"1 " + QString::fromLatin1(longest), "2 B"};
        QTest::newRow("03 one byte longer")
            << longest + "A\nB"
            << QStringList{QStringLiteral("1 ! longer than %1 bytes; skipped").arg(LineReader::kLongestLine), "2 B"};
        QTest::newRow("04 longest with CR LF")
            << longest + "\r\nB" << QStringList{"1 " + QString::fromLatin1(longest), "2 B"};
        QTest::newRow("05 one byte longer with CR LF")
            << longest + "A\r\nB"
            << QStringList{QStringLiteral("1 ! longer than %1 bytes; skipped").arg(LineReader::kLongestLine), "2 B"};
        QTest::newRow("06 a mark at the start of the list") << QByteArray(
                                                                   "\xEF\xBB\xBF"
                                                                   "A\n\xEF\xBB\xBF"
                                                                   "B\n")
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
            read.append(QString::number(line->number) + u' ' +
                        (line->problem.isEmpty() ? line->text : "! " + line->problem));
        QCOMPARE(read, lines);
    }
};

QTEST_MAIN(CommandLineTest)
#include "tst_commandline.moc"
