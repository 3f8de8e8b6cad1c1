#pragma once

#include <QByteArray>
#include <QString>

#include <cups/cups.h>

#include <memory>

namespace tallyline {

// libcups, opened when a print first asks its server. Linked to the
// program, it and the score of libraries it needs (GnuTLS, Kerberos, Avahi)
// would be loaded, relocated and initialised at every start of the window,
// which seldom prints; by the time a print asks, Qt's print support has
// opened it already.
struct Cups {
    decltype(&::httpAssembleURI) assembleUri;
    decltype(&::httpConnect2) connect;
    decltype(&::httpClose) close;
    decltype(&::cupsEncryption) encryption;
    decltype(&::cupsServer) server;
    decltype(&::ippPort) port;
    decltype(&::ippNewRequest) newRequest;
    decltype(&::ippAddString) addString;
    decltype(&::ippAddStrings) addStrings;
    decltype(&::ippAddInteger) addInteger;
    decltype(&::cupsDoRequest) doRequest;
    decltype(&::ippGetStatusCode) statusCode;
    decltype(&::ippFindAttribute) findAttribute;
    decltype(&::ippGetString) getString;
    decltype(&::ippGetInteger) getInteger;
    decltype(&::ippGetCount) getCount;
    decltype(&::ippGetResolution) getResolution;
    decltype(&::ippDelete) deleteMessage;
    decltype(&::cupsAddOption) addOption;
    decltype(&::cupsFreeOptions) freeOptions;
    decltype(&::cupsCreateJob) createJob;
    decltype(&::cupsStartDocument) startDocument;
    decltype(&::cupsWriteRequestData) writeRequestData;
    decltype(&::cupsFinishDocument) finishDocument;
    decltype(&::cupsCancelJob2) cancelJob;
    decltype(&::cupsLastError) lastError;
    decltype(&::cupsLastErrorString) lastErrorString;
};

// The library's functions, or nothing where it is not installed. It stays
// open for the program's life.
const Cups* OpenedCups();

using IppMessage = std::unique_ptr<ipp_t, decltype(&::ippDelete)>;

// The printer's URI on the server, for a request about it. An instance, after
// the slash of a name, is the client's own set of choices: the server knows
// the printer by what comes before it.
QByteArray PrinterUri(const Cups& cups, const QString& printerName);
// Asks the server about the printer for those attributes; nothing when it
// does not answer or answers with an error.
IppMessage AskAboutPrinter(const Cups& cups, ipp_op_t operation, const QString& printerName,
                           std::initializer_list<const char*> wanted, int job = 0);

}  // namespace tallyline
