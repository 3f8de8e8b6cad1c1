#include "commandline/LabelBatch_p.h"

#include <QFile>

#include <functional>
#include <memory>

#include "commandline/Batch_p.h"
#include "commandline/CommandLineTexts_p.h"
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
    QString listName;
    // Why the document that takes the labels failed, after which the rest of
    // the list was only counted; empty while it holds.
    QString failure;
};

// Draws each text of the list and hands it to put, one page each, naming on
// err each text that failed or whose bars leave characters out; without put,
// or once the document that put writes fails, the texts are only counted.
// While an Interruption lives, a signal stops the work between one label
// and the next.
Tally EachLabel(const QString& path, const DrawingRules& rules, const std::function<void(const PictureSurface&)>& put,
                QTextStream& err) {
    Tally tally;
    QFile list;
    const QString& listName = tally.listName;
    if (!OpenList(path, list, tally.listName, err)) {
        tally.lost = true;
        return tally;
    }
    BarcodeDrawing drawing(PictureSurface::Keeping::Shapes, rules);
    LineReader reader(list);
    while (!Interruption::Signal()) {
        const auto line = reader.Next();
        if (!line) break;
        ++tally.texts;
        if (!put || !tally.failure.isEmpty()) continue;
        QString report = line->problem;
        if (report.isEmpty()) {
            try {
                const Text uncarried = drawing.Draw(line->text);
                put(drawing.Surface());
                ++tally.done;
                if (!uncarried.empty()) report = NotCarried(Named(uncarried));
            } catch (const FileError&) {
                // The document's own write, which no later label can mend.
                tally.failure = DescribeFailure();
            } catch (...) {
                report = DescribeFailure();
            }
        }
        if (!report.isEmpty()) err << kProgram << ": " << listName << ':' << line->number << ": " << report << '\n';
    }
    tally.lost = ReportUnreadRest(reader, listName, err) || tally.done != tally.texts;
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
    const Interruption interruption;
    std::unique_ptr<LabelPrint> print;
    QString failure;
    try {
        print = std::make_unique<LabelPrint>(ChosenPrinter(request.print), design::PrintDocumentName(request.list));
    } catch (...) {
        failure = DescribeFailure();
    }
    Tally tally = EachLabel(request.list, request.rules, print ? [&print](const PictureSurface& surface) {
        print->Print(surface, PlaceOnPage(surface.PixelSize()));
    } : std::function<void(const PictureSurface&)>(), err);
    if (failure.isEmpty()) failure = tally.failure;
    // A stopped list sends no job: a job of some of its labels would pass
    // for all of them.
    if (tally.signal != 0) {
        err << kProgram << ": " << StoppedBeforeJob(tally.signal, tally.listName) << Qt::endl;
        out << PrintSummary(0, tally.texts) << Qt::endl;
        return StatusOfSignal(tally.signal);
    }
    if (failure.isEmpty()) {
        try {
            const QString waiting = print->End();
            if (!waiting.isEmpty()) err << kProgram << ": " << JobWaits(waiting) << Qt::endl;
        } catch (...) {
            failure = DescribeFailure();
        }
    }
    if (!failure.isEmpty()) {
        err << kProgram << ": " << PrintFailed(failure) << Qt::endl;
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
        LabelPrint print([&] { return PdfPrinter(request.path); }, design::PrintDocumentName(request.list));
        const auto paper = request.pageMillimetres;
        tally = EachLabel(request.list, request.rules, [&](const PictureSurface& surface) { print.PrintOnPaper(surface, paper); }, err);
        // A stopped list leaves no file: a file of some of its labels would
        // pass for all of them.
        if (tally.signal != 0) {
            tally.done = 0;
        } else if (!tally.failure.isEmpty()) {
            err << kProgram << ": " << tally.failure << Qt::endl;
            tally.done = 0;
        } else {
            print.End();
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
