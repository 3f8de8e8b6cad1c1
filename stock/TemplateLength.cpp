#include "stock/TemplateLength.h"

#include <QLocale>

#include <array>
#include <utility>

#include "platform/core/Units.h"

namespace tallyline {
namespace {

constexpr double kPointsPerPica = 12;
// Longer than any paper, and than a PDF page may be.
constexpr double kLongest = 200 * kPointsPerInch;
constexpr std::array<std::pair<const char16_t*, double>, 5> kUnits{{
    {u"pt", 1},
    {u"in", kPointsPerInch},
    {u"mm", kPointsPerInch / kMillimetresPerInch},
    {u"cm", 10 * kPointsPerInch / kMillimetresPerInch},
    {u"pc", kPointsPerPica},
}};

}  // namespace

std::optional<double> TemplateLength(QStringView written) {
    QStringView number = written.trimmed();
    double pointsPerUnit = 1;
    for (const auto& [unit, points] : kUnits) {
        if (number.endsWith(QStringView(unit))) {
            number = number.chopped(2).trimmed();
            pointsPerUnit = points;
            break;
        }
    }
    bool read = false;
    const double value = QLocale::c().toDouble(number, &read);
    // Written so that a value that is not a number lies nowhere.
    if (!read || !(value >= 0 && value * pointsPerUnit <= kLongest)) return std::nullopt;
    return value * pointsPerUnit;
}

}  // namespace tallyline
