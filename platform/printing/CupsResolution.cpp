#include "platform/printing/CupsResolution_p.h"

#include <QRegularExpression>

#include "platform/printing/CupsLibrary_p.h"

namespace tallyline {
namespace {

constexpr double kCentimetresPerInch = 2.54;

// A driver's choice of Resolution is named "600dpi" or "600x300dpi", across first.
std::optional<int> ChoiceDotsPerInch(const char* choice) {
    static const QRegularExpression kChoice(QStringLiteral("^(\\d+)(x\\d+)?dpi$"));
    const QRegularExpressionMatch match = kChoice.match(QString::fromUtf8(choice));
    if (!match.hasMatch() || match.captured(1).toInt() <= 0) return std::nullopt;
    return match.captured(1).toInt();
}

std::optional<int> DotsPerInch(const Cups& cups, ipp_attribute_t* resolution) {
    int down = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    const int across = cups.getResolution(resolution, 0, &down, &units);
    if (across <= 0) return std::nullopt;
    return units == IPP_RES_PER_CM ? static_cast<int>(across * kCentimetresPerInch + 0.5) : across;
}

}  // namespace

std::optional<int> CupsDefaultResolution(const QString& printerName) {
    const Cups* const cups = OpenedCups();
    if (cups == nullptr) return std::nullopt;
    const IppMessage response = AskAboutPrinter(*cups, IPP_OP_GET_PRINTER_ATTRIBUTES, printerName,
                                                {"Resolution-default", "printer-resolution-default"});
    if (!response) return std::nullopt;
    // A default chosen on the server for the driver's option is what the
    // driver prints at; the printer's own default stays as it was.
    if (ipp_attribute_t* const choice = cups->findAttribute(response.get(), "Resolution-default", IPP_TAG_ZERO)) {
        if (const auto dotsPerInch = ChoiceDotsPerInch(cups->getString(choice, 0, nullptr))) return dotsPerInch;
    }
    if (ipp_attribute_t* const resolution =
            cups->findAttribute(response.get(), "printer-resolution-default", IPP_TAG_RESOLUTION)) {
        return DotsPerInch(*cups, resolution);
    }
    return std::nullopt;
}

}  // namespace tallyline
