#include "commandline/LabelBatch_p.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include "commandline/Batch_p.h"
#include "commandline/CommandLineTexts_p.h"
#include "commandline/FileOrOutput_p.h"
#include "commandline/Interruption_p.h"
#include "commandline/LineReader_p.h"
#include "commandline/NamedCharacters_p.h"
#include "design/Texts.h"
#include "label/BarcodeDrawing.h"
#include "label/LabelPage.h"
#include "platform/core/Failures.h"

namespace tallyline::commandline {
namespace {

struct Tally {
    qint64 texts = 0;
    qint64 done = 0;
    bool lost = false;
    // The signal that stopped the list before its end, or 0.
    int signal = 0;
    // Whether the list was read to its end.
    bool readWhole = false;
    QString listName;
};

// Draws each text of the list and hands it to put, one page each, naming on
// err each text that failed or whose bars leave characters out. While an
// Interruption lives, a signal stops the work between one label and the next.
Tally EachLabel(const QString& path, const DrawingRules& rules, const std::function<void(const PictureSurface&)>& put,
                QTextStream& err) {
    Tally tally;
    const QString& listName = tally.listName;
    const auto reader = OpenList(path, tally.listName, err);
    if (!reader) {
        tally.lost = true;
        return tally;
    }
    BarcodeDrawing drawing(PictureSurface::Keeping::Shapes, rules);
    while (!Interruption::Signal()) {
        const auto line = reader->Next();
        if (!line) break;
        ++tally.texts;
        QString report = line->problem;
        if (report.isEmpty()) {
            try {
                const Text uncarried = drawing.Draw(line->text);
                put(drawing.Surface());
                ++tally.done;
                if (!uncarried.empty()) report = NotCarried(Named(uncarried));
            } catch (...) {
                report = DescribeFailure();
            }
        }
        if (!report.isEmpty()) err << kProgram << ": " << listName << ':' << line->number << ": " << report << '\n';
    }
    tally.signal = Interruption::Signal();
    tally.readWhole = !ReportUnreadRest(*reader, listName, err) && tally.signal == 0;
    tally.lost = !tally.readWhole || tally.done != tally.texts;
    err.flush();
    return tally;
}

}  // namespace

PrinterSource ChosenPrinter(const PrintSettings& settings) {
    return [settings] {
        auto printer = SystemPrinter(settings.printer);
        printer->setCopyCount(settings.copies);
        return printer;
    };
}

std::optional<QByteArray> PdfOfLabels(const QString& path, const QString& documentName,
                                      const std::function<bool(LabelPrint&)>& draw) {
    const QTemporaryDir pending;
    if (!pending.isValid()) throw FileError(path.toStdString(), pending.errorString().toStdString());
    const QString drawn = pending.filePath(QStringLiteral("labels.pdf"));
    LabelPrint print([&] { return PdfPrinter(drawn); }, documentName);
    if (!draw(print)) return std::nullopt;
    print.End();
    QFile pages(drawn);
    if (!pages.open(QIODevice::ReadOnly)) throw FileError(drawn.toStdString(), pages.errorString().toStdString());
    return pages.readAll();
}

int RunPrintBatch(const PrintBatch& request, QTextStream& out, QTextStream& err) {
    Tally tally;
    try {
        LabelPrint print(ChosenPrinter(request.print), design::PrintDocumentName(request.list));
        tally = EachLabel(request.list, request.rules, [&print](const PictureSurface& surface) {
            print.Print(surface, PlaceOnPage(surface.PixelSize()));
        }, err);
        print.End();
    } catch (...) {
        err << kProgram << ": " << PrintFailed(DescribeFailure()) << Qt::endl;
        tally.done = 0;
        tally.lost = true;
    }
    out << PrintSummary(tally.done, tally.texts, tally.readWhole, tally.listName) << Qt::endl;
    return tally.lost ? 1 : 0;
}

int RunLabelPdf(const WriteLabelPdf& request, QTextStream& out, QTextStream& err) {
    const Interruption interruption;
    Tally tally;
    try {
        const auto paper = request.pageMillimetres;
        const auto pdf = PdfOfLabels(request.path, design::PrintDocumentName(request.list), [&](LabelPrint& print) {
            tally = EachLabel(request.list, request.rules, [&](const PictureSurface& surface) {
                print.PrintOnPaper(surface, paper);
            }, err);
            // A stopped list leaves no file: a file of some of its labels
            // would pass for all of them.
            return tally.signal == 0 && tally.done > 0;
        });
        if (pdf) {
            WriteFileOrOutput(request.path, *pdf);
        } else {
            tally.done = 0;
        }
    } catch (...) {
        err << kProgram << ": " << QString::fromStdString(DescribeCurrentException()) << Qt::endl;
        tally.done = 0;
    }
    // Whatever the list held, no file is no success: an older file of that
    // name would pass for this list's.
    tally.lost = tally.lost || tally.done == 0;
    out << LabelsSummary(tally.done, tally.texts, request.path, tally.readWhole, tally.listName) << Qt::endl;
    if (tally.signal == 0) return tally.lost ? 1 : 0;
    err << kProgram << ": " << StoppedBeforeFile(tally.signal, request.path, tally.listName) << Qt::endl;
    return StatusOfSignal(tally.signal);
}

}  // namespace tallyline::commandline
