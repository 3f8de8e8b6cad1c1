#include "commandline/LabelBatch_p.h"

#include <functional>
#include <memory>

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

bool WritePdfOfLabels(const QString& path, const QString& documentName, const std::function<bool(LabelPrint&)>& draw) {
    const bool toOutput = path == kStandardOutput;
    // Standard output is handed the document from where temporary files go,
    // once it is whole.
    LabelPrint print([&] { return PdfPrinter(toOutput ? QString() : path); }, documentName);
    if (!draw(print)) return false;
    if (toOutput) {
        StandardOutput output;
        print.End([&output](QByteArrayView piece) { output.Write(piece); });
    } else {
        print.End();
    }
    return true;
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
        out << PrintSummary(0, tally.texts, tally.readWhole, tally.listName) << Qt::endl;
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
    out << PrintSummary(tally.done, tally.texts, tally.readWhole, tally.listName) << Qt::endl;
    return tally.lost ? 1 : 0;
}

int RunLabelPdf(const WriteLabelPdf& request, QTextStream& out, QTextStream& err) {
    const Interruption interruption;
    Tally tally;
    try {
        const auto paper = request.pageMillimetres;
        const bool written = WritePdfOfLabels(request.path, design::PrintDocumentName(request.list), [&](LabelPrint& print) {
            tally = EachLabel(request.list, request.rules, [&](const PictureSurface& surface) {
                print.PrintOnPaper(surface, paper);
            }, err);
            // A stopped list leaves no file: a file of some of its labels
            // would pass for all of them. Nor does a document that failed.
            return tally.signal == 0 && tally.done > 0 && tally.failure.isEmpty();
        });
        if (!tally.failure.isEmpty()) err << kProgram << ": " << tally.failure << Qt::endl;
        if (!written) tally.done = 0;
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
