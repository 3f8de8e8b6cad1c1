#include "commandline/RunCommandLine.h"

#include <QFile>
#include <QGuiApplication>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

#include <cerrno>
#include <csignal>
#include <memory>
#include <optional>
#include <unistd.h>

#include "commandline/Batch_p.h"
#include "commandline/CommandLineTexts_p.h"
#include "commandline/CommandLine_p.h"
#include "commandline/FileOrOutput_p.h"
#include "commandline/LabelBatch_p.h"
#include "commandline/NamedCharacters_p.h"
#include "commandline/Sheets_p.h"
#include "commandline/StandardStreams_p.h"
#include "design/Texts.h"
#include "label/BarcodeDrawing.h"
#include "label/LabelDocuments.h"
#include "platform/core/Failures.h"
#include "platform/core/HeapReuse.h"
#include "platform/messages/ToolkitMessages.h"
#include "platform/printing/Printer.h"

namespace tallyline::commandline {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// Files and prints are drawn off screen, the same whatever display there is
// or is not. The toolkit sees the program's name alone: the arguments are
// the user's, and none of them is the toolkit's option.
std::unique_ptr<QGuiApplication> OffscreenApplication(char* program) {
    KeepFreedMemoryForReuse();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Standard error is the command line's report: the toolkit's notes on its
    // surroundings are not for its reader.
    WriteOnlyCriticalMessages();
    static int argc = 1;
    static char* argv[] = {program, nullptr};
    // The toolkit looks for a sandbox's mark in the runtime folder as it
    // starts, making TMPDIR/runtime-USER where none is named, which a run of a
    // tool would leave behind: it looks in an empty folder of ours instead.
    std::optional<QTemporaryDir> runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.emplace().isValid()) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime->path()));
    }
    auto application = std::make_unique<QGuiApplication>(argc, argv);
    if (runtime) qunsetenv("XDG_RUNTIME_DIR");
    QGuiApplication::setApplicationName(kProgram);
    QGuiApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    return application;
}

QStringList ArgumentsOf(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

// Whether all that was written to standard output reached it; if not, says so
// on standard error.
bool Delivered(QTextStream& out, QTextStream& err) {
    out.flush();
    QString reason;
    if (WasClosed(STDOUT_FILENO)) {
        reason = qt_error_string(EBADF);
    } else if (out.status() != QTextStream::Ok) {
        reason = out.device()->errorString();
    } else {
        return true;
    }
    err << kProgram << ": " << CannotWriteOutput(reason) << Qt::endl;
    return false;
}

void Warn(QTextStream& err, TextView uncarried) {
    if (!uncarried.empty()) err << kProgram << ": " << NotCarried(Named(uncarried)) << Qt::endl;
}

// Writes a PDF's page of that size, the text's label drawn on it as --batch
// draws it; the characters that its bars leave out.
Text WriteLabelPage(const WriteOne& request) {
    Text uncarried;
    const auto open = [&](const PrinterSource& pdf) {
        return LabelsOnPages(pdf, design::PrintDocumentName(request.text), request.rules, request.settings.symbol,
                             request.pageMillimetres, false);
    };
    WritePdfOfLabels(request.path, request.settings.dotsPerInch.value_or(kPdfDotsPerInch), open,
                     [&](LabelDocument& document) {
                         uncarried = document.Print(request.text);
                         return true;
                     });
    return uncarried;
}

int Run(const WriteOne& request, QTextStream& err) {
    try {
        if (request.pageMillimetres) {
            Warn(err, WriteLabelPage(request));
            return kDone;
        }
        BarcodeDrawing drawing(request.settings, request.rules);
        const Text uncarried = drawing.Draw(request.text);
        WriteFileOrOutput(request.path, drawing.File(request.settings));
        Warn(err, uncarried);
        if (const QString large = SizeWarning(drawing, request.settings); !large.isEmpty()) {
            err << kProgram << ": " << large << Qt::endl;
        }
        return kDone;
    } catch (...) {
        err << kProgram << ": " << DescribeFailure() << Qt::endl;
        return kFailed;
    }
}

int Carry(int argc, char* argv[], QTextStream& out, QTextStream& err) {
    const Request request = ParseCommandLine(ArgumentsOf(argc, argv), QStringLiteral(PROJECT_VERSION));
    if (const auto* inform = std::get_if<Inform>(&request)) {
        out << inform->text;
        return Delivered(out, err) ? kDone : kUsage;
    }
    if (const auto* usage = std::get_if<UsageError>(&request)) {
        err << kProgram << ": " << usage->message << '\n' << TryHelp() << Qt::endl;
        return kUsage;
    }
    const auto application = OffscreenApplication(argv[0]);
    if (const auto* one = std::get_if<WriteOne>(&request)) return Run(*one, err);
    if (const auto* sheets = std::get_if<ListSheets>(&request)) {
        const int listed = RunListSheets(*sheets, out, err);
        return Delivered(out, err) || listed != kDone ? listed : kFailed;
    }
    int status = kDone;
    if (const auto* batch = std::get_if<WriteBatch>(&request)) {
        status = RunBatch(*batch, out, err);
    } else if (const auto* labels = std::get_if<PrintBatch>(&request)) {
        status = RunPrintBatch(*labels, out, err);
    } else if (const auto* pdf = std::get_if<WriteLabelPdf>(&request)) {
        // Standard output holds the file alone; the summary goes with the reports.
        status = RunLabelPdf(*pdf, pdf->path == kStandardOutput ? err : out, err);
    } else {
        const auto& print = std::get<PrintOne>(request);
        // On sheets, --copies is how many labels the text takes.
        const LabelTexts texts{QString(), print.text, print.layout.sheet ? print.print.copies : 1};
        return RunPrintLabels(texts, print.print, print.rules, print.layout, design::PrintDocumentName(print.text), out,
                              err);
    }
    return Delivered(out, err) || status != kDone ? status : kFailed;
}

}  // namespace

int RunCommandLine(int argc, char* argv[]) {
    GuardStandardStreams();
    // A reader of standard output that went away is output not taken, said
    // on standard error with its status, not a death by SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    QTextStream out(stdout);
    QTextStream err(stderr);
    try {
        return Carry(argc, argv, out, err);
    } catch (...) {
        err << kProgram << ": " << QString::fromStdString(DescribeCurrentException()) << Qt::endl;
        return kFailed;
    }
}

}  // namespace tallyline::commandline
