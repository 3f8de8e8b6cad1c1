// Grades the Code 39 symbol on a rasterised page and writes the figures as
// JSON: the symbol's grade and, for each of ten scan lines, every parameter
// with its grade and every bar and space width in dots, interpolated and as
// whole dots.
#include <QCoreApplication>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

#include "tools/scangrade/Grades.h"
#include "tools/scangrade/QtPage.h"
#include "tools/scangrade/ScanGrade.h"

using namespace tallyline::scangrade;

namespace {

constexpr int kUsageError = 2;

QJsonObject ToJson(const ScanLineGrade& line) {
    QJsonArray widths;
    for (const double width : line.widths) widths.append(width);
    QJsonArray dotRuns;
    for (const int run : line.dotRuns) dotRuns.append(run);
    const ParameterGrades& g = line.grades;
    return {
        {"row", line.row},
        {"grade", line.grade},
        {"rmin", line.rmin},
        {"rmax", line.rmax},
        {"symbol_contrast", line.symbolContrast},
        {"min_edge_contrast", line.minEdgeContrast},
        {"modulation", line.modulation},
        {"defects", line.defects},
        {"decoded", line.decoded.ok},
        {"text", QString::fromStdString(line.decoded.text)},
        {"problem", QString::fromStdString(line.decoded.problem)},
        {"decodability", line.decoded.decodability},
        {"module", line.decoded.module},
        {"wide_to_narrow", line.decoded.wideToNarrow},
        {"widths", widths},
        {"dot_runs", dotRuns},
        {"grades", QJsonObject{{"symbol_contrast", g.symbolContrast},
                               {"min_reflectance", g.minReflectance},
                               {"min_edge_contrast", g.minEdgeContrast},
                               {"modulation", g.modulation},
                               {"defects", g.defects},
                               {"decode", g.decode},
                               {"decodability", g.decodability}}},
    };
}

}  // namespace

int main(int argc, char* argv[]) {
    const QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: tallyline-scangrade PAGE.png\n");
        return kUsageError;
    }
    const QImage image = ReadPage(arguments[1]);
    if (image.isNull()) {
        std::fprintf(stderr, "tallyline-scangrade: cannot read %s as an image\n", qPrintable(arguments[1]));
        return kUsageError;
    }
    const SymbolGrade symbol = GradeSymbol(GreyPage(image));
    QJsonArray scans;
    for (const ScanLineGrade& line : symbol.scans) scans.append(ToJson(line));
    const QJsonObject result{
        {"grade", symbol.grade},
        {"letter", QString(QChar(Letter(symbol.grade)))},
        {"scans", scans},
    };
    std::fputs(QJsonDocument(result).toJson().constData(), stdout);
    return 0;
}
