#include "platform/files/VectorFiles.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <span>
#include <stdexcept>
#include <string>

#include "platform/core/RuntimeError.h"
#include "platform/core/Units.h"
#include "platform/files/Decimals_p.h"
#include "platform/picture/DesignFont.h"
#include "platform/picture/LaidOutText.h"
#include "platform/picture/PageAround.h"
#include "platform/picture/Turn.h"
#include "platform/picture/VectorCanvas.h"

namespace tallyline {
namespace {

// SVG sizes are written in micrometres: whole ones keep a picture's size on
// paper within a micrometre, while its units stay the shapes' own pixels.
constexpr long kMicrometresPerMillimetre = 1000;
// Enough for any edge to land within a thousandth of a pixel at any scale.
constexpr int kPdfDotsPerInch = 9600;
// The widest page that PDF readers take without a user unit: 200 inches.
constexpr double kLargestPdfPageMillimetres = 200 * kMillimetresPerInch;

}  // namespace

namespace {

// An SVG file written as it is read off the canvas, into one buffer: numbers
// by std::to_chars, untouched by any locale, and each box a bare rectangle in
// a group that carries its colour once.
class SvgWriter final : public VectorCanvas::Reader {
public:
    explicit SvgWriter(QPoint offset) : offset_(offset) {}

    std::string& Bytes() noexcept { return bytes_; }

    void Boxes(QRgb colour, std::span<const QRect> areas) override {
        bytes_.append("<g fill=\"");
        Colour(colour);
        bytes_.append("\">\n");
        for (const QRect& area : areas) Rectangle(area.translated(offset_));
        bytes_.append("</g>\n");
    }

    void Text(const LaidOutText& text, QPointF origin, QRgb colour) override {
        const QFont& font = text.Font();
        bytes_.append("<text xml:space=\"preserve\" x=\"");
        Number(origin.x() + offset_.x());
        bytes_.append("\" y=\"");
        Number(origin.y() + offset_.y());
        bytes_.append("\" fill=\"");
        Colour(colour);
        // The family asked for, then the faces that the program draws in its
        // place, then any sans serif: a renderer takes the first it has.
        bytes_.append("\" font-family=\"");
        for (const QString& family : QStringList(font.family()) + StandInFaces(font.family())) {
            bytes_ += '\'';
            Escaped(family);
            bytes_.append("', ");
        }
        bytes_.append("sans-serif\" font-size=\"");
        Number(font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * kPixelsPerPoint);
        bytes_.append("\" font-weight=\"");
        Number(font.weight());
        bytes_.append("\">");
        Escaped(text.String());
        bytes_.append("</text>\n");
    }

    void Rectangle(QRect area) {
        bytes_.append("<rect x=\"");
        Number(area.x());
        bytes_.append("\" y=\"");
        Number(area.y());
        bytes_.append("\" width=\"");
        Number(area.width());
        bytes_.append("\" height=\"");
        Number(area.height());
        bytes_.append("\"/>\n");
    }

    void Colour(QRgb colour) {
        constexpr char kDigits[] = "0123456789abcdef";
        const char written[] = {'#',
                                kDigits[qRed(colour) >> 4],
                                kDigits[qRed(colour) & 15],
                                kDigits[qGreen(colour) >> 4],
                                kDigits[qGreen(colour) & 15],
                                kDigits[qBlue(colour) >> 4],
                                kDigits[qBlue(colour) & 15]};
        bytes_.append(written, sizeof written);
    }

    void Number(int value) { AppendNumber(bytes_, value); }
    // To a thousandth of a pixel.
    void Number(double value) { AppendNumber(bytes_, value); }

    // Text as XML takes it: markup's characters escaped, and those that XML
    // has no place for, control characters and lone surrogates, left out.
    void Escaped(const QString& text) {
        QString kept;
        kept.reserve(text.size());
        for (const char32_t character : text.toUcs4()) {
            switch (character) {
            case '&': kept += QLatin1String("&amp;"); continue;
            case '<': kept += QLatin1String("&lt;"); continue;
            case '>': kept += QLatin1String("&gt;"); continue;
            case '\'': kept += QLatin1String("&apos;"); continue;
            case '"': kept += QLatin1String("&quot;"); continue;
            default: break;
            }
            const bool allowed = character == '\t' || character == '\n' || character == '\r' ||
                                 (character >= 0x20 && character < 0xD800) ||
                                 (character >= 0xE000 && character < 0xFFFE) || character >= 0x10000;
            if (!allowed) continue;
            if (QChar::requiresSurrogates(character)) {
                kept += QChar(QChar::highSurrogate(character));
                kept += QChar(QChar::lowSurrogate(character));
            } else {
                kept += QChar(static_cast<char16_t>(character));
            }
        }
        const QByteArray utf8 = kept.toUtf8();
        bytes_.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    }

private:
    QPoint offset_;
    std::string bytes_;
};

// A length in micrometres as millimetres, with no more digits than it needs.
std::string Millimetres(long micrometres) {
    std::string written = std::to_string(micrometres / kMicrometresPerMillimetre);
    if (const long rest = micrometres % kMicrometresPerMillimetre; rest != 0) {
        std::string fraction = std::to_string(rest + kMicrometresPerMillimetre).substr(1);
        while (fraction.back() == '0') fraction.pop_back();
        written += '.' + fraction;
    }
    return written + "mm";
}

}  // namespace

QByteArray SvgFile(const VectorCanvas& shapes, double millimetresPerPixel, const QMargins& margins, Turn turn) {
    const QSize grown = shapes.Extent().grownBy(margins);
    const QSize extent = Turned(grown, turn);
    const double micrometres = millimetresPerPixel * kMicrometresPerMillimetre;
    SvgWriter writer(QPoint(margins.left(), margins.top()));
    std::string& bytes = writer.Bytes();
    bytes.reserve(4096);
    // Edges stay on whole units rather than being smoothed across a device
    // pixel, so that every bar keeps its width on any raster.
    bytes.append(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" shape-rendering=\"crispEdges\" width=\"");
    bytes.append(Millimetres(std::lround(extent.width() * micrometres)));
    bytes.append("\" height=\"");
    bytes.append(Millimetres(std::lround(extent.height() * micrometres)));
    bytes.append("\" viewBox=\"0 0 ");
    writer.Number(extent.width());
    bytes.append(" ");
    writer.Number(extent.height());
    bytes.append("\">\n<title>Barcode</title>\n<desc>Code 39, drawn by Tallyline</desc>\n<g fill=\"");
    writer.Colour(shapes.Background());
    bytes.append("\">\n");
    writer.Rectangle(QRect(QPoint(), extent));
    bytes.append("</g>\n");
    if (turn != Turn::None) {
        const QTransform turning = TurnedInPlace(grown, turn);
        bytes.append("<g transform=\"matrix(");
        // Whole numbers all: a turn by quarters moves whole pixels to whole pixels.
        for (const double value : {turning.m11(), turning.m12(), turning.m21(), turning.m22(), turning.dx()}) {
            writer.Number(static_cast<int>(std::lround(value)));
            bytes.append(" ");
        }
        writer.Number(static_cast<int>(std::lround(turning.dy())));
        bytes.append(")\">\n");
    }
    shapes.Read(writer);
    if (turn != Turn::None) bytes.append("</g>\n");
    bytes.append("</svg>\n");
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

QByteArray PdfFile(const VectorCanvas& shapes, double millimetresPerPixel, const QMargins& margins, Turn turn,
                   PdfPage page) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QSize grown = shapes.Extent().grownBy(margins);
    const QSize extent = Turned(grown, turn);
    const double widest = std::max(extent.width(), extent.height()) * millimetresPerPixel;
    if (widest > kLargestPdfPageMillimetres) {
        throw std::length_error(QStringLiteral("too large for a PDF page: %1 mm, where PDF readers take at most %2 mm")
                                    .arg(std::ceil(widest))
                                    .arg(kLargestPdfPageMillimetres)
                                    .toStdString());
    }
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Tallyline"));
    writer.setResolution(kPdfDotsPerInch);
    writer.setPageMargins(QMarginsF());
    const QSizeF millimetres = QSizeF(extent) * millimetresPerPixel;
    writer.setPageSize(page == PdfPage::Around ? PageAround(millimetres)
                                               : QPageSize(millimetres, QPageSize::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) throw RuntimeError(ErrorNumber::OutOfMemory, "The PDF could not be started");
    const double scale = kPdfDotsPerInch * millimetresPerPixel / kMillimetresPerInch;
    painter.scale(scale, scale);
    painter.setTransform(TurnedInPlace(grown, turn), true);
    painter.translate(margins.left(), margins.top());
    shapes.Paint(painter, margins);
    painter.end();
    return bytes;
}

}  // namespace tallyline
