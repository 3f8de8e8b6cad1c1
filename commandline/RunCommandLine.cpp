#include "commandline/RunCommandLine.h"

#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>

#include <memory>

#include "commandline/Batch_p.h"
#include "commandline/CommandLineTexts_p.h"
#include "commandline/CommandLine_p.h"
#include "commandline/NamedCharacters_p.h"
#include "design/Texts.h"
#include "label/BarcodeDrawing.h"
#include "label/LabelPage.h"
#include "platform/core/Failures.h"
#include "platform/files/WholeFile.h"
#include "platform/messages/ToolkitMessages.h"
#include "platform/printing/Printer.h"

namespace tallyline::commandline {
namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

// Files and prints are drawn off screen, the same whatever display there is
// or is not.
std::unique_ptr<QGuiApplication> OffscreenApplication(int& argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Standard error is the command line's report: the toolkit's notes on its
    // surroundings are not for its reader.
    WriteOnlyCriticalMessages();
    auto application = std::make_unique<QGuiApplication>(argc, argv);
    QGuiApplication::setApplicationName(kProgram);
    QGuiApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
    return application;
}

void Warn(QTextStream& err, TextView uncarried) {
    if (!uncarried.empty()) err << kProgram << ": " << NotCarried(Named(uncarried)) << Qt::endl;
}

int Run(const WriteOne& request, QTextStream& err) {
    try {
        BarcodeDrawing drawing(request.settings.format);
        const Text uncarried = drawing.Draw(request.text);
        WriteWholeFile(request.path, drawing.File(request.settings));
        Warn(err, uncarried);
        return kDone;
    } catch (...) {
        err << kProgram << ": " << QString::fromStdString(DescribeCurrentException()) << Qt::endl;
        return kFailed;
    }
}

int Run(const PrintOne& request, QTextStream& err) {
    try {
        BarcodeDrawing drawing(PictureSurface::Keeping::Shapes);
        const Text uncarried = drawing.Draw(request.text);
        const PictureSurface& surface = drawing.Surface();
        PrintLabel(surface, PlaceOnPage(surface.PixelSize()), DefaultPrinter, design::PrintDocumentName(request.text));
        Warn(err, uncarried);
        return kDone;
    } catch (...) {
        err << kProgram << ": " << PrintFailed(QString::fromStdString(DescribeCurrentException())) << Qt::endl;
        return kFailed;
    }
}

int Carry(int argc, char* argv[], QTextStream& out, QTextStream& err) {
    const auto application = OffscreenApplication(argc, argv);
    const Request request = ParseCommandLine(QGuiApplication::arguments(), QGuiApplication::applicationVersion());
    if (const auto* inform = std::get_if<Inform>(&request)) {
        out << inform->text;
        return kDone;
    }
    if (const auto* usage = std::get_if<UsageError>(&request)) {
        err << kProgram << ": " << usage->message << '\n' << TryHelp() << Qt::endl;
        return kUsage;
    }
    if (const auto* one = std::get_if<WriteOne>(&request)) return Run(*one, err);
    if (const auto* batch = std::get_if<WriteBatch>(&request)) return RunBatch(*batch, out, err);
    return Run(std::get<PrintOne>(request), err);
}

}  // namespace

int RunCommandLine(int argc, char* argv[]) {
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
