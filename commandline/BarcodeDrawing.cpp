#include "commandline/BarcodeDrawing_p.h"

#include <QStringList>

#include <stdexcept>

#include "commandline/CommandLineTexts_p.h"
#include "engine/DrawBar.h"
#include "engine/UncarriedCharacters.h"
#include "mainwindow/BarcodePicture.h"
#include "platform/core/RuntimeError.h"
#include "platform/qt/QtText.h"

namespace tallyline::commandline {

BarcodeDrawing::BarcodeDrawing(PictureSurface::Keeping keeping) : surface_(keeping) {
    DesignAsBarcodePicture(surface_);
}

BarcodeDrawing::BarcodeDrawing(PictureFormat format)
    : BarcodeDrawing(format == PictureFormat::Png ? PictureSurface::Keeping::Pixels
                                                  : PictureSurface::Keeping::Shapes) {}

Text BarcodeDrawing::Draw(const QString& text) {
    if (text.isEmpty()) throw std::invalid_argument(kEmptyText.toStdString());
    const Text drawn = ToText(text);
    try {
        DrawBarcode(drawn, surface_);
    } catch (const RuntimeError& error) {
        // The one limit a text of any length meets: the picture's width.
        if (error.Number() == ErrorNumber::InvalidPropertyValue) throw std::length_error(kTooLong.toStdString());
        throw;
    }
    return UncarriedCharacters(drawn);
}

QByteArray BarcodeDrawing::File(const FileSettings& settings) const {
    const double millimetresPerPixel =
        settings.moduleMillimetres ? *settings.moduleMillimetres / ModulePixels(surface_)
                                   : kDesignMillimetresPerPixel;
    return PictureFile(surface_, settings.format, settings.scale, millimetresPerPixel);
}

QString Named(TextView characters) {
    QStringList names;
    for (const char32_t character : characters) {
        const bool visible = QChar::isPrint(character) && !QChar::isSpace(character);
        names.append(visible ? QStringLiteral("'%1'").arg(ToQString(TextView(&character, 1)))
                             : QStringLiteral("U+%1").arg(static_cast<uint>(character), 4, 16, QChar(u'0')).toUpper());
    }
    return names.join(QStringLiteral(", "));
}

}  // namespace tallyline::commandline
