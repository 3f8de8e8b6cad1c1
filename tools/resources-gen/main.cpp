// Draws the window's fixed images: the application icon (as a bitmap and as
// a scalable picture), the logo and the pointing-hand pointer over the logo.
// The output is kept in resources/;
// run this again only when a design changes:
//   tallyline_resources_gen <resources folder>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <cstdio>

#include "design/Colours.h"
#include "platform/picture/QtColour.h"

namespace {

constexpr QSize kIconSize(32, 32);
constexpr QSize kLogoSize(249, 22);
constexpr QSize kPointerSize(32, 32);

const QColor kIconGround(220, 220, 220);
const QColor kIconDisc(255, 140, 0);
const QColor kLogoInk(0, 51, 102);
const QColor kLogoNote(96, 96, 96);

// Bars of the icon and of the logo's emblem: left edge and width in pixels.
struct Bar {
    int left, width;
};
constexpr Bar kIconBars[] = {{8, 1}, {10, 2}, {13, 1}, {15, 1}, {17, 2}, {20, 1}, {22, 2}};
constexpr Bar kEmblemBars[] = {{4, 1},  {6, 2},  {9, 1},  {11, 1}, {13, 2}, {16, 1},
                               {18, 2}, {21, 1}, {23, 1}, {25, 2}, {28, 1}};

// The icon on its 32-pixel grid, drawn alike as the bitmap and as the
// scalable picture that desktops draw at any size.
void DrawIcon(QPainter& painter) {
    painter.fillRect(QRect(QPoint(), kIconSize), kIconGround);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawEllipse(QRectF(1, 1, 30, 30));
    painter.setBrush(kIconDisc);
    painter.drawEllipse(QRectF(3.5, 3.5, 25, 25));
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Bar bar : kIconBars) painter.fillRect(bar.left, 9, bar.width, 14, Qt::white);
}

QImage Icon() {
    QImage icon(kIconSize, QImage::Format_RGB888);
    QPainter painter(&icon);
    DrawIcon(painter);
    return icon;
}

QImage Logo() {
    QImage logo(kLogoSize, QImage::Format_RGB888);
    logo.fill(tallyline::ToQColor(tallyline::design::kFormBackColor));
    QPainter painter(&logo);
    for (const Bar bar : kEmblemBars) painter.fillRect(bar.left, 3, bar.width, 16, kLogoInk);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont name(QStringLiteral("DejaVu Sans"));
    name.setPixelSize(16);
    name.setBold(true);
    painter.setFont(name);
    painter.setPen(kLogoInk);
    painter.drawText(QRect(36, 0, 100, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Tallyline"));
    QFont note(QStringLiteral("DejaVu Sans"));
    note.setPixelSize(11);
    painter.setFont(note);
    painter.setPen(kLogoNote);
    painter.drawText(QRect(126, 0, 120, 22), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Code 39 barcodes"));
    return logo;
}

QImage PointingHand() {
    QImage hand(kPointerSize, QImage::Format_ARGB32);
    hand.fill(Qt::transparent);
    QPainterPath outline;
    outline.addRoundedRect(QRectF(8, 1, 5, 18), 2.5, 2.5);   // pointing finger
    outline.addRoundedRect(QRectF(12, 9, 5, 10), 2.5, 2.5);  // middle finger
    outline.addRoundedRect(QRectF(16, 10, 5, 9), 2.5, 2.5);  // ring finger
    outline.addRoundedRect(QRectF(20, 12, 4, 8), 2, 2);      // little finger
    outline.addRoundedRect(QRectF(8, 15, 16, 11), 3, 3);     // palm
    QPainterPath thumb;
    thumb.moveTo(9, 25);
    thumb.lineTo(3.5, 18.5);
    thumb.quadTo(2.5, 15, 5.5, 15.5);
    thumb.lineTo(9, 19);
    thumb.closeSubpath();
    outline = outline.united(thumb).simplified();
    QPainter painter(&hand);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(Qt::white);
    painter.drawPath(outline);
    painter.drawLine(QPointF(12.5, 12), QPointF(12.5, 17));
    painter.drawLine(QPointF(16.5, 12), QPointF(16.5, 17));
    painter.drawLine(QPointF(20.5, 14), QPointF(20.5, 17));
    painter.setBrush(Qt::black);
    painter.drawRect(QRectF(9.5, 26.5, 14, 4));  // cuff
    return hand;
}

bool Save(const QImage& image, const QString& folder, const char* name) {
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    if (image.save(path, "PNG")) return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}  // namespace

bool SaveScalableIcon(const QString& folder, const char* name) {
    const QString path = folder + QLatin1Char('/') + QLatin1String(name);
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(kIconSize);
    svg.setViewBox(QRect(QPoint(), kIconSize));
    svg.setTitle(QStringLiteral("Tallyline"));
    QPainter painter;
    if (painter.begin(&svg)) {
        DrawIcon(painter);
        if (painter.end()) return true;
    }
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const bool saved = Save(Icon(), folder, "icon.png") && SaveScalableIcon(folder, "icon.svg") &&
                       Save(Logo(), folder, "logo.png") && Save(PointingHand(), folder, "pointing-hand.png");
    return saved ? 0 : 1;
}
