// Writes the program's help page: the README rendered to HTML, so the page
// installed with the program says what the tree's front page says.
// Usage: tallyline-helppage README.md PAGE.html
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char* argv[]) {
    // Laying out the document needs fonts, and fonts need an application;
    // a build machine has no display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: tallyline-helppage README.md PAGE.html\n", stderr);
        return 2;
    }
    QFile readme(arguments.at(1));
    if (!readme.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    QTextDocument page;
    page.setMarkdown(QString::fromUtf8(readme.readAll()));
    page.setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Tallyline"));
    QSaveFile html(arguments.at(2));
    if (!html.open(QIODevice::WriteOnly) || html.write(page.toHtml().toUtf8()) < 0 || !html.commit()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments.at(2)));
        return 1;
    }
    return 0;
}
