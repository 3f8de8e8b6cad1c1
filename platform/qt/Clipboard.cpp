#include "Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "RuntimeError.h"

namespace tallyline::Clipboard {
namespace {

QClipboard& SystemClipboard() {
    QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::clipboard()
                                : nullptr;
    if (clipboard == nullptr) throw RuntimeError(ErrorNumber::CantOpenClipboard);
    return *clipboard;
}

}  // namespace

void Clear() { SystemClipboard().clear(); }

void SetData(const StdPicture& picture, short format) {
    if (format != kBitmapFormat || picture.IsEmpty()) {
        throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    }
    QClipboard& clipboard = SystemClipboard();
    // setImage offers image types only; a QMimeData with text would add
    // targets that a text editor pastes.
    clipboard.setImage(picture.Image());
    const QMimeData* placed = clipboard.mimeData();
    if (placed == nullptr || !placed->hasImage()) {
        throw RuntimeError(ErrorNumber::CantOpenClipboard);
    }
}

}  // namespace tallyline::Clipboard
