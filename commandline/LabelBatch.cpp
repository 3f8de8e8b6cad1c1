#include "commandline/LabelBatch_p.h"

#include <QFile>
#include <QTemporaryDir>

#include <functional>

#include "commandline/Batch_p.h"
#include "commandline/CommandLineTexts_p.h"
#include "commandline/Interruption_p.h"
#include "commandline/LineReader_p.h"
#include "commandline/NamedCharacters_p.h"
#include "design/Texts.h"
#include "label/BarcodeDrawing.h"
#include "label/LabelPage.h"
#include "platform/core/Failures.h"
#include "platform/files/WholeFile.h"

namespace tallyline::commandline {
namespace {

struct Tally {
    qint64 texts = 0;
    qint64 done = 0;
    bool lost = false;
    // The signal that stopped the list before its end, or 0.
    int signal = 0;
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
    tally.lost = ReportUnreadRest(*reader, listName, err) || tally.done != tally.texts;
    tally.signal = Interruption::Signal();
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
    out << PrintSummary(tally.done, tally.texts) << Qt::endl;
    return tally.lost ? 1 : 0;
}

int RunLabelPdf(const WriteLabelPdf& request, QTextStream& out, QTextStream& err) {
    const Interruption interruption;
    Tally tally;
    try {
        const QTemporaryDir pending;
        if (!pending.isValid()) throw FileError(request.path.toStdString(), pending.errorString().toStdString());
        const QString drawn = pending.filePath(QStringLiteral("labels.pdf"));
        LabelPrint print([&] { return PdfPrinter(drawn); }, design::PrintDocumentName(request.list));
        const auto paper = request.pageMillimetres;
        tally = EachLabel(request.list, request.rules, [&](const PictureSurface& surface) { print.PrintOnPaper(surface, paper); }, err);
        // A stopped list leaves no file: a file of some of its labels would
        // pass for all of them.
        if (tally.signal != 0) {
            tally.done = 0;
        } else {
            print.End();
            if (tally.done > 0) {
                QFile pages(drawn);
                if (!pages.open(QIODevice::ReadOnly)) {
                    throw FileError(drawn.toStdString(), pages.errorString().toStdString());
                }
                WriteWholeFile(request.path, pages.readAll());
            }
        }
    } catch (...) {
        err << kProgram << ": " << QString::fromStdString(DescribeCurrentException()) << Qt::endl;
        tally.done = 0;
        tally.lost = true;
    }
    out << LabelsSummary(tally.done, tally.texts, request.path) << Qt::endl;
    if (tally.signal == 0) return tally.lost ? 1 : 0;
    err << kProgram << ": " << StoppedBeforeFile(tally.signal, request.path, tally.listName) << Qt::endl;
    return StatusOfSignal(tally.signal);
}

}  // namespace tallyline::commandline
