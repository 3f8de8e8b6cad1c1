#include "platform/widgets/Shell.h"

#include <QDesktopServices>

#include "platform/core/RuntimeError.h"

namespace tallyline {

void Shell(const QUrl& address) {
    if (!QDesktopServices::openUrl(address)) {
        throw RuntimeError(ErrorNumber::FileNotFound, ("Nothing opens " + address.toString()).toStdString());
    }
}

}  // namespace tallyline
