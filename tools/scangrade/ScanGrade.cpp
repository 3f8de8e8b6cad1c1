#include "tools/scangrade/ScanGrade.h"

#include <algorithm>
#include <cmath>

#include "tools/scangrade/Elements.h"
#include "tools/scangrade/Grades.h"
#include "tools/scangrade/ScanRows_p.h"

namespace tallyline::scangrade {
namespace {

constexpr int kScanLines = 10;
constexpr double kFullScale = 255;

std::vector<double> Profile(const GreyImage& page, int row) {
    std::vector<double> profile(static_cast<std::size_t>(page.width));
    for (int x = 0; x < page.width; ++x) profile[x] = page.At(x, row) / kFullScale;
    return profile;
}

}  // namespace

int ParameterGrades::Lowest() const {
    return std::min({symbolContrast, minReflectance, minEdgeContrast, modulation, defects, decode, decodability});
}

ScanLineGrade GradeScanLine(const std::vector<double>& profile) {
    ScanLineGrade line;
    const Scan scan = Segment(profile);
    line.rmin = scan.rmin;
    line.rmax = scan.rmax;
    line.symbolContrast = scan.rmax - scan.rmin;

    const auto& elements = scan.elements;
    double greatestNonuniformity = 0;
    for (std::size_t e = 0; e < elements.size(); ++e) {
        greatestNonuniformity = std::max(greatestNonuniformity, elements[e].nonuniformity);
        if (e == 0) continue;
        const double contrast = std::abs(elements[e].reflectance - elements[e - 1].reflectance);
        line.minEdgeContrast = e == 1 ? contrast : std::min(line.minEdgeContrast, contrast);
    }
    const auto firstBar = std::find_if(elements.begin(), elements.end(), [](const Element& e) { return e.bar; });
    const auto lastBar = std::find_if(elements.rbegin(), elements.rend(), [](const Element& e) { return e.bar; });
    if (firstBar != elements.end()) {
        for (auto e = firstBar; e != lastBar.base(); ++e) line.widths.push_back(e->Width());
    }
    if (line.symbolContrast > 0) {
        line.modulation = line.minEdgeContrast / line.symbolContrast;
        line.defects = greatestNonuniformity / line.symbolContrast;
    } else {
        line.defects = 1;
    }
    line.dotRuns = DotRuns(profile);
    line.decoded = DecodeCode39(elements);

    line.grades = {
        .symbolContrast = GradeSymbolContrast(line.symbolContrast),
        .minReflectance = GradeMinReflectance(line.rmin, line.rmax),
        .minEdgeContrast = GradeMinEdgeContrast(line.minEdgeContrast),
        .modulation = GradeModulation(line.modulation),
        .defects = GradeDefects(line.defects),
        .decode = GradeDecode(line.decoded.ok),
        .decodability = GradeDecodability(line.decoded.decodability),
    };
    line.grade = line.grades.Lowest();
    return line;
}

SymbolGrade GradeSymbol(const GreyImage& page) {
    SymbolGrade symbol;
    double sum = 0;
    for (const int row : ScanRows(page, kScanLines)) {
        ScanLineGrade line = GradeScanLine(Profile(page, row));
        line.row = row;
        sum += line.grade;
        symbol.scans.push_back(std::move(line));
    }
    if (!symbol.scans.empty()) symbol.grade = sum / static_cast<double>(symbol.scans.size());
    return symbol;
}

}  // namespace tallyline::scangrade
