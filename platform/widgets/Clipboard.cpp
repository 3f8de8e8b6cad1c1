#include "platform/widgets/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <memory>

#include "platform/core/RuntimeError.h"

namespace tallyline::Clipboard {
namespace {

QClipboard& SystemClipboard() {
    QClipboard* clipboard =
        qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
    if (clipboard == nullptr) throw RuntimeError(ErrorNumber::CantOpenClipboard);
    return *clipboard;
}

}  // namespace

void Clear() { SystemClipboard().clear(); }

void SetData(const StdPicture& picture, short format, const QByteArray& svg) {
    if (format != kBitmapFormat || picture.IsEmpty()) {
        throw RuntimeError(ErrorNumber::InvalidProcedureCall);
    }
    QClipboard& clipboard = SystemClipboard();
    // Image data alone offers image types only; text would add targets that
    // a text editor pastes.
    auto data = std::make_unique<QMimeData>();
    data->setImageData(picture.Image());
    if (!svg.isEmpty()) data->setData(QString::fromLatin1(kSvgType), svg);
    clipboard.setMimeData(data.release());
    const QMimeData* placed = clipboard.mimeData();
    if (placed == nullptr || !placed->hasImage()) {
        throw RuntimeError(ErrorNumber::CantOpenClipboard);
    }
}

}  // namespace tallyline::Clipboard
