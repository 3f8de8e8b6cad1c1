#include "platform/printing/CupsJob_p.h"

#include <QStringList>

#include <sys/socket.h>

#include "platform/core/RuntimeError.h"
#include "platform/files/PdfDocument.h"
#include "platform/printing/CupsLibrary_p.h"

namespace tallyline {
namespace {

// How long a print server that is there takes at most to answer a call.
constexpr int kConnectMilliseconds = 5000;

[[noreturn]] void Fail(const QString& why) { throw RuntimeError(ErrorNumber::PrinterError, why.toStdString()); }

// Why the job failed: the server gone, or its own reason for refusing it.
[[noreturn]] void Refused(const Cups& cups) {
    const QString reason = QString::fromUtf8(cups.lastErrorString());
    if (UnreachablePrintServer()) Fail(QStringLiteral("The print server went away"));
    Fail(QStringLiteral("The printer refused the document: ") + reason);
}

int Integer(const Cups& cups, const IppMessage& answer, const char* name, ipp_tag_t tag) {
    ipp_attribute_t* const attribute = answer ? cups.findAttribute(answer.get(), name, tag) : nullptr;
    return attribute != nullptr ? cups.getInteger(attribute, 0) : 0;
}

QString Waiting(const Cups& cups, const QString& printerName, int job) {
    const IppMessage printer = AskAboutPrinter(cups, IPP_OP_GET_PRINTER_ATTRIBUTES, printerName, {"printer-state"});
    if (Integer(cups, printer, "printer-state", IPP_TAG_ENUM) == IPP_PSTATE_STOPPED) {
        return QStringLiteral("the job is queued on a stopped printer: it prints once the printer is started again");
    }
    const IppMessage answer =
        AskAboutPrinter(cups, IPP_OP_GET_JOB_ATTRIBUTES, printerName, {"job-state", "job-state-reasons"}, job);
    if (Integer(cups, answer, "job-state", IPP_TAG_ENUM) != IPP_JSTATE_HELD) return {};
    QStringList reasons;
    if (ipp_attribute_t* const held = cups.findAttribute(answer.get(), "job-state-reasons", IPP_TAG_KEYWORD)) {
        for (int i = 0; i < cups.getCount(held); ++i) reasons << QString::fromUtf8(cups.getString(held, i, nullptr));
    }
    return QStringLiteral("the print server holds the job (%1): it prints once released").arg(reasons.join(u", "));
}

}  // namespace

QString SendJob(const QString& printerName, const QString& title, const JobOptions& options,
                const PdfDocument& document) {
    const Cups* const cups = OpenedCups();
    if (cups == nullptr) Fail(QStringLiteral("Printing needs CUPS, and its library is not installed"));
    const QByteArray name = printerName.section('/', 0, 0).toUtf8();
    const QByteArray titled = title.toUtf8();
    cups_option_t* chosen = nullptr;
    int count = 0;
    for (const auto& [option, value] : options) count = cups->addOption(option, value, count, &chosen);
    const int job = cups->createJob(CUPS_HTTP_DEFAULT, name, titled, count, chosen);
    cups->freeOptions(count, chosen);
    if (job == 0) Refused(*cups);
    try {
        if (cups->startDocument(CUPS_HTTP_DEFAULT, name, job, titled, CUPS_FORMAT_PDF, 1) != HTTP_STATUS_CONTINUE) {
            Refused(*cups);
        }
        document.Read([cups](QByteArrayView piece) {
            if (cups->writeRequestData(CUPS_HTTP_DEFAULT, piece.data(), static_cast<size_t>(piece.size())) !=
                HTTP_STATUS_CONTINUE) {
                Refused(*cups);
            }
        });
        if (cups->finishDocument(CUPS_HTTP_DEFAULT, name) > IPP_STATUS_OK_EVENTS_COMPLETE) Refused(*cups);
    } catch (...) {
        cups->cancelJob(CUPS_HTTP_DEFAULT, name, job, 0);
        throw;
    }
    return Waiting(*cups, printerName, job);
}

std::optional<QString> UnreachablePrintServer() {
    const Cups* const cups = OpenedCups();
    if (cups == nullptr) return std::nullopt;
    http_t* const connection = cups->connect(cups->server(), cups->port(), nullptr, AF_UNSPEC, cups->encryption(), 1,
                                             kConnectMilliseconds, nullptr);
    if (connection != nullptr) {
        cups->close(connection);
        return std::nullopt;
    }
    // libcups closes what it opened before it returns, and errno names that instead.
    return QStringLiteral("The print server %1 cannot be reached").arg(QString::fromUtf8(cups->server()));
}

}  // namespace tallyline
