#include "platform/printing/CupsResolution_p.h"

#include <QRegularExpression>

#include <cups/cups.h>

#include <memory>

namespace tallyline {
namespace {

constexpr double kCentimetresPerInch = 2.54;

struct IppDelete {
    void operator()(ipp_t* message) const { ippDelete(message); }
};
using IppMessage = std::unique_ptr<ipp_t, IppDelete>;

// A driver's choice of Resolution is named "600dpi" or "600x300dpi", across first.
std::optional<int> ChoiceDotsPerInch(const char* choice) {
    static const QRegularExpression kChoice(QStringLiteral("^(\\d+)(x\\d+)?dpi$"));
    const QRegularExpressionMatch match = kChoice.match(QString::fromUtf8(choice));
    if (!match.hasMatch() || match.captured(1).toInt() <= 0) return std::nullopt;
    return match.captured(1).toInt();
}

std::optional<int> DotsPerInch(ipp_attribute_t* resolution) {
    int down = 0;
    ipp_res_t units = IPP_RES_PER_INCH;
    const int across = ippGetResolution(resolution, 0, &down, &units);
    if (across <= 0) return std::nullopt;
    return units == IPP_RES_PER_CM ? static_cast<int>(across * kCentimetresPerInch + 0.5) : across;
}

}  // namespace

std::optional<int> CupsDefaultResolution(const QString& printerName) {
    // An instance, after the slash, is the client's own set of choices.
    const QByteArray name = printerName.section('/', 0, 0).toUtf8();
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(), "/printers/%s",
                     name.constData());
    ipp_t* const request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    const char* const wanted[] = {"Resolution-default", "printer-resolution-default"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
    // The request is the call's to free.
    const IppMessage response(cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/"));
    if (!response || ippGetStatusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE) return std::nullopt;
    // A default chosen on the server for the driver's option is what the
    // driver prints at; the printer's own default stays as it was.
    if (ipp_attribute_t* const choice = ippFindAttribute(response.get(), "Resolution-default", IPP_TAG_ZERO)) {
        if (const auto dotsPerInch = ChoiceDotsPerInch(ippGetString(choice, 0, nullptr))) return dotsPerInch;
    }
    if (ipp_attribute_t* const resolution =
            ippFindAttribute(response.get(), "printer-resolution-default", IPP_TAG_RESOLUTION)) {
        return DotsPerInch(resolution);
    }
    return std::nullopt;
}

}  // namespace tallyline
