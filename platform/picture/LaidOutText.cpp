#include "platform/picture/LaidOutText.h"

#include <QImage>
#include <QPainter>
#include <QTextOption>

#include "platform/core/Units.h"
#include "platform/picture/QtText.h"

namespace tallyline {
namespace {

const QPaintDevice& Typesetter() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(kDesignDotsPerMeter);
        image.setDotsPerMeterY(kDesignDotsPerMeter);
        return image;
    }();
    return device;
}

}  // namespace

QFontMetricsF DesignMetrics(const QFont& font) { return QFontMetricsF(font, &Typesetter()); }

LaidOutText::LaidOutText(const QString& text, const QFont& font) : font_(font), layout_(text, font, &Typesetter()) {
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    layout_.setTextOption(option);
    // Otherwise the layout forgets its glyphs when done and shapes anew to draw.
    layout_.setCacheEnabled(true);
    layout_.beginLayout();
    for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
        line.setLineWidth(0);
        line.setPosition(QPointF(advance_, -line.ascent()));
        advance_ += line.horizontalAdvance();
    }
    layout_.endLayout();
}

void LaidOutText::Draw(QPainter& painter, QPointF origin) const { layout_.draw(&painter, origin); }

std::shared_ptr<const LaidOutText> TextLayouts::Layout(TextView text, const QFont& font) {
    const QString string = ToQString(text);
    if (last_ && last_->String() == string && last_->Font() == font) return last_;
    // Laid out before it replaces the last: a failure keeps nothing half made.
    last_ = std::make_shared<const LaidOutText>(string, font);
    return last_;
}

}  // namespace tallyline
