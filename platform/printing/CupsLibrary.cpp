#include "platform/printing/CupsLibrary_p.h"

#include <dlfcn.h>

#include <optional>
#include <vector>

namespace tallyline {
namespace {

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

}  // namespace

const Cups* OpenedCups() {
    static const std::optional<Cups> cups = []() -> std::optional<Cups> {
        void* const library = dlopen("libcups.so.2", RTLD_LAZY | RTLD_LOCAL);
        if (library == nullptr) return std::nullopt;
        Cups found{};
        if (Find(library, "httpAssembleURI", found.assembleUri) && Find(library, "httpConnect2", found.connect) &&
            Find(library, "httpClose", found.close) && Find(library, "cupsEncryption", found.encryption) &&
            Find(library, "cupsServer", found.server) && Find(library, "ippPort", found.port) &&
            Find(library, "ippNewRequest", found.newRequest) && Find(library, "ippAddString", found.addString) &&
            Find(library, "ippAddStrings", found.addStrings) && Find(library, "ippAddInteger", found.addInteger) &&
            Find(library, "cupsDoRequest", found.doRequest) && Find(library, "ippGetStatusCode", found.statusCode) &&
            Find(library, "ippFindAttribute", found.findAttribute) && Find(library, "ippGetString", found.getString) &&
            Find(library, "ippGetInteger", found.getInteger) && Find(library, "ippGetCount", found.getCount) &&
            Find(library, "ippGetResolution", found.getResolution) && Find(library, "ippDelete", found.deleteMessage) &&
            Find(library, "cupsAddOption", found.addOption) && Find(library, "cupsFreeOptions", found.freeOptions) &&
            Find(library, "cupsCreateJob", found.createJob) &&
            Find(library, "cupsStartDocument", found.startDocument) &&
            Find(library, "cupsWriteRequestData", found.writeRequestData) &&
            Find(library, "cupsFinishDocument", found.finishDocument) &&
            Find(library, "cupsCancelJob2", found.cancelJob) && Find(library, "cupsLastError", found.lastError) &&
            Find(library, "cupsLastErrorString", found.lastErrorString)) {
            return found;
        }
        dlclose(library);
        return std::nullopt;
    }();
    return cups ? &*cups : nullptr;
}

QByteArray PrinterUri(const Cups& cups, const QString& printerName) {
    const QByteArray resource = "/printers/" + printerName.section('/', 0, 0).toUtf8();
    char uri[HTTP_MAX_URI];
    cups.assembleUri(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", cups.port(),
                     resource.constData());
    return uri;
}

IppMessage AskAboutPrinter(const Cups& cups, ipp_op_t operation, const QString& printerName,
                           std::initializer_list<const char*> wanted, int job) {
    ipp_t* const request = cups.newRequest(operation);
    cups.addString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, PrinterUri(cups, printerName));
    if (job != 0) cups.addInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "job-id", job);
    const std::vector<const char*> names(wanted);
    cups.addStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", static_cast<int>(names.size()),
                    nullptr, names.data());
    // The request is the call's to free.
    IppMessage response(cups.doRequest(CUPS_HTTP_DEFAULT, request, "/"), cups.deleteMessage);
    if (response && cups.statusCode(response.get()) > IPP_STATUS_OK_EVENTS_COMPLETE) response.reset();
    return response;
}

}  // namespace tallyline
