#include <QApplication>
#include <cstdio>
#include <memory>

#include "commandline/RunCommandLine.h"
#include "design/Texts.h"
#include "mainwindow/frmBarCode.h"
#include "platform/core/Failures.h"
#include "platform/messages/ToolkitMessages.h"
#include "platform/picture/FaceLoading.h"
#include "platform/printing/Printer.h"
#include "platform/widgets/ErrorReporter.h"

int main(int argc, char* argv[]) {
    // Any argument asks for the command line, which needs no window.
    if (argc > 1) return tallyline::commandline::RunCommandLine(argc, argv);
    try {
        std::unique_ptr<QApplication> app;
        // Declared after the application, so that it is waited for before the application ends.
        const tallyline::FaceLoading faces;
        {
            // Without a display the toolkit would abort with a page of notes.
            const tallyline::HeldMessages held(
                tallyline::design::kProgram +
                QStringLiteral(": no display to open the window on (is DISPLAY or WAYLAND_DISPLAY set?)"));
            app = std::make_unique<QApplication>(argc, argv);
        }
        // The settings (the folder of the last save) go under Tallyline/Tallyline.conf.
        QApplication::setOrganizationName(QStringLiteral("Tallyline"));
        QApplication::setApplicationName(QStringLiteral("Tallyline"));
        QApplication::setApplicationVersion(QStringLiteral(PROJECT_VERSION));
        // The name of the installed desktop entry, by which a desktop finds the window's icon and name.
        QApplication::setDesktopFileName(QStringLiteral(TALLYLINE_DESKTOP_ID));
        tallyline::MessageBoxReporter reporter(tallyline::design::kCaption);
        tallyline::frmBarCode window(reporter, tallyline::DefaultPrinter);
        window.show();
        return QApplication::exec();
    } catch (...) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(tallyline::design::kProgram),
                     tallyline::DescribeCurrentException().c_str());
    }
    return 1;
}
