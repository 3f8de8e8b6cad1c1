#include "platform/printing/CupsResolution_p.h"

#include <QRegularExpression>

#include <cups/cups.h>
#include <dlfcn.h>

#include <memory>

namespace tallyline {
namespace {

constexpr double kCentimetresPerInch = 2.54;

// libcups, opened when a print first asks its server. Linked to the
// program, it and the score of libraries it needs (GnuTLS, Kerberos, Avahi)
// would be loaded, relocated and initialised at every start of the window,
// which seldom prints; by the time a print asks, Qt's print support has
// opened it already.
struct Cups {
    decltype(&::httpAssembleURI) assembleUri;
    decltype(&::ippPort) port;
    decltype(&::ippNewRequest) newRequest;
    decltype(&::ippAddString) addString;
    decltype(&::ippAddStrings) addStrings;
    decltype(&::cupsDoRequest) doRequest;
    decltype(&::ippGetStatusCode) statusCode;
    decltype(&::ippFindAttribute) findAttribute;
    decltype(&::ippGetString) getString;
    decltype(&::ippGetResolution) getResolution;
    decltype(&::ippDelete) deleteMessage;
};

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

// The library's functions, or nothing where it is not installed. It stays
// open for the program's life.
const Cups* OpenedCups() {
    static const std::optional<Cups> cups = []() -> std::optional<Cups> {
        void* const library = dlopen("libcups.so.2", RTLD_LAZY | RTLD_LOCAL);
        if (library == nullptr) return std::nullopt;
        Cups found{};
        if (Find(library, "httpAssembleURI", found.assembleUri) && Find(library, "ippPort", found.port) &&
            Find(library, "ippNewRequest", found.newRequest) && Find(library, "ippAddString", found.addString) &&
            Find(library, "ippAddStrings", found.addStrings) && Find(library, "cupsDoRequest", found.doRequest) &&
            Find(library, "ippGetStatusCode", found.statusCode) &&
            Find(library, "ippFindAttribute", found.findAttribute) &&
            Find(library, "ippGetString", found.getString) &&
            Find(library, "ippGetResolution", found.getResolution) &&
            Find(library, "ippDelete", found.deleteMessage)) {
            return found;
        }
        dlclose(library);
        return std::nullopt;
    }();
    return cups ? &*cups : nullptr;
}

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
    // An instance, after the slash, is the client's own set of choices.
    const QByteArray resource = "/printers/" + printerName.section('/', 0, 0).toUtf8();
    char uri[HTTP_MAX_URI];
    cups->assembleUri(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", cups->port(),
                      resource.constData());
    ipp_t* const request = cups->newRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    cups->addString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    const char* const wanted[] = {"Resolution-default", "printer-resolution-default"};
    cups->addStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
    // The request is the call's to free.
    const std::unique_ptr<ipp_t, decltype(&::ippDelete)> response(cups->doRequest(CUPS_HTTP_DEFAULT, request, "/"),
                                                                  cups->deleteMessage);
    if (!response || cups->statusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE) return std::nullopt;
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
