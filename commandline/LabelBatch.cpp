#include "commandline/LabelBatch_p.h"

#include <functional>
#include <memory>
#include <optional>

#include "commandline/Batch_p.h"
#include "commandline/CommandLineTexts_p.h"
#include "commandline/FileOrOutput_p.h"
#include "commandline/Interruption_p.h"
#include "commandline/LineReader_p.h"
#include "commandline/NamedCharacters_p.h"
#include "commandline/Sheets_p.h"
#include "design/Texts.h"
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

// Hands each text of the list to the document, `copies` times, naming on
// err each text that failed or whose bars leave characters out. Without a
// list, the one text, its failure told as `failed` tells it. Without a
// document, or once the document's own write fails, the texts are only
// counted. While an Interruption lives, a signal stops the work between one
// label and the next.
Tally EachLabel(const LabelTexts& texts, LabelDocument* document, QTextStream& err,
                const std::function<QString(const QString&)>& failed) {
    Tally tally;
    // The same text fails the same way each time: it is told once.
    const auto put = [&](const QString& text, const QString& where) {
        for (int copy = 0; copy < texts.copies && !Interruption::Signal(); ++copy) {
            ++tally.texts;
            if (document == nullptr || !tally.failure.isEmpty()) continue;
            try {
                const Text uncarried = document->Print(text);
                ++tally.done;
                if (!uncarried.empty() && copy == 0)
                    err << kProgram << ": " << where << NotCarried(Named(uncarried)) << '\n';
            } catch (const FileError&) {
                // The document's own write, which no later label can mend.
                tally.failure = DescribeFailure();
            } catch (...) {
                err << kProgram << ": " << where << (where.isEmpty() ? failed(DescribeFailure()) : DescribeFailure())
                    << '\n';
                return;
            }
        }
    };
    if (texts.list.isEmpty()) {
        put(texts.text, QString());
        tally.signal = Interruption::Signal();
        tally.readWhole = tally.signal == 0;
    } else {
        const auto reader = OpenList(texts.list, tally.listName, err);
        if (!reader) {
            tally.lost = true;
            return tally;
        }
        while (!Interruption::Signal()) {
            const auto line = reader->Next();
            if (!line) break;
            const QString where = tally.listName + u':' + QString::number(line->number) + QStringLiteral(": ");
            if (!line->problem.isEmpty()) {
                ++tally.texts;
                err << kProgram << ": " << where << line->problem << '\n';
                continue;
            }
            put(line->text, where);
        }
        tally.signal = Interruption::Signal();
        tally.readWhole = !ReportUnreadRest(*reader, tally.listName, err) && tally.signal == 0;
    }
    tally.lost = !tally.readWhole || tally.done != tally.texts;
    err.flush();
    return tally;
}

// The document that the labels go into: sheets of the layout's template,
// else a page each.
std::unique_ptr<LabelDocument> DocumentOf(const LabelLayout& layout, const PrinterSource& printers, const QString& name,
                                          const DrawingRules& rules, std::optional<QSizeF> paper, bool asTheWindow) {
    if (!layout.sheet) return LabelsOnPages(printers, name, rules, layout.symbol, paper, asTheWindow);
    return LabelsOnSheets(printers, name, rules, layout.symbol, ChosenSheet(*layout.sheet), layout.sheet->first - 1,
                          layout.sheet->outlines);
}

}  // namespace

PrinterSource ChosenPrinter(const PrintSettings& settings) {
    return [settings] {
        auto printer = SystemPrinter(settings.printer);
        printer->setCopyCount(settings.copies);
        return printer;
    };
}

bool WritePdfOfLabels(const QString& path, int dotsPerInch, const LabelOpener& open,
                      const std::function<bool(LabelDocument&)>& fill) {
    const bool toOutput = path == kStandardOutput;
    // Standard output is handed the document from where temporary files go,
    // once it is whole.
    const auto document = open([&] { return PdfPrinter(toOutput ? QString() : path, dotsPerInch); });
    if (!fill(*document)) return false;
    if (toOutput) {
        StandardOutput output;
        document->End([&output](QByteArrayView piece) { output.Write(piece); });
    } else {
        document->End();
    }
    return true;
}

int RunPrintLabels(const LabelTexts& texts, const PrintSettings& print, const DrawingRules& rules,
                   const LabelLayout& layout, const QString& name, QTextStream& out, QTextStream& err) {
    // A list's labels stop between two of them, one text's not at all.
    std::optional<Interruption> interruption;
    if (!texts.list.isEmpty()) interruption.emplace();
    std::unique_ptr<LabelDocument> document;
    QString failure;
    try {
        // On sheets, copies are labels; a print repeats its pages.
        PrintSettings job = print;
        if (layout.sheet) job.copies = 1;
        document = DocumentOf(layout, ChosenPrinter(job), name, rules, std::nullopt, true);
    } catch (const SheetUnusable& refused) {
        err << kProgram << ": " << refused.what() << Qt::endl;
        return kUsageStatus;
    } catch (...) {
        failure = DescribeFailure();
    }
    Tally tally = EachLabel(texts, document.get(), err, PrintFailed);
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
            const QString waiting = document->End();
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
    if (!texts.list.isEmpty()) {
        out << PrintSummary(tally.done, tally.texts, tally.readWhole, tally.listName) << Qt::endl;
    }
    return tally.lost ? 1 : 0;
}

int RunPrintBatch(const PrintBatch& request, QTextStream& out, QTextStream& err) {
    const int copies = request.layout.sheet ? request.print.copies : 1;
    return RunPrintLabels({request.list, QString(), copies}, request.print, request.rules, request.layout,
                          design::PrintDocumentName(request.list), out, err);
}

int RunLabelPdf(const WriteLabelPdf& request, QTextStream& out, QTextStream& err) {
    const Interruption interruption;
    Tally tally;
    try {
        const QString name = design::PrintDocumentName(request.list.isEmpty() ? request.text : request.list);
        const auto open = [&](const PrinterSource& pdf) {
            return DocumentOf(request.layout, pdf, name, request.rules, request.pageMillimetres, false);
        };
        const bool written = WritePdfOfLabels(request.path, request.dotsPerInch, open, [&](LabelDocument& document) {
            tally = EachLabel({request.list, request.text, request.copies}, &document, err,
                              [](const QString& reason) { return reason; });
            // A stopped list leaves no file: a file of some of its labels
            // would pass for all of them. Nor does a document that failed.
            return tally.signal == 0 && tally.done > 0 && tally.failure.isEmpty();
        });
        if (!tally.failure.isEmpty()) err << kProgram << ": " << tally.failure << Qt::endl;
        if (!written) tally.done = 0;
    } catch (const SheetUnusable& refused) {
        err << kProgram << ": " << refused.what() << Qt::endl;
        return kUsageStatus;
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
