#include "platform/widgets/TextBox.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QStyleOptionFrame>

namespace tallyline {
namespace {

// The application's style, with a text box's panel drawn from the pixmap
// cache: everything the panel's look depends on is in the key.
class KeptPanelStyle : public QProxyStyle {
public:
    KeptPanelStyle() : QProxyStyle(QApplication::style()->name()) {}

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
        if (element != PE_PanelLineEdit || frame == nullptr || frame->rect.isEmpty()) {
            QProxyStyle::drawPrimitive(element, option, painter, widget);
            return;
        }
        const qreal ratio = painter->device()->devicePixelRatio();
        const QString key = QStringLiteral("tallyline-text-box-%1-%2x%3-%4-%5-%6-%7-%8")
                                .arg(baseStyle()->name())
                                .arg(frame->rect.width())
                                .arg(frame->rect.height())
                                .arg(ratio)
                                .arg(static_cast<int>(frame->state))
                                .arg(frame->palette.cacheKey())
                                .arg(frame->lineWidth)
                                .arg(static_cast<int>(frame->direction));
        QPixmap panel;
        if (!QPixmapCache::find(key, &panel)) {
            panel = QPixmap(frame->rect.size() * ratio);
            panel.setDevicePixelRatio(ratio);
            panel.fill(Qt::transparent);
            QStyleOptionFrame atOrigin = *frame;
            atOrigin.rect.moveTopLeft(QPoint());
            QPainter onPanel(&panel);
            QProxyStyle::drawPrimitive(element, &atOrigin, &onPanel, widget);
            onPanel.end();
            QPixmapCache::insert(key, panel);
        }
        painter->drawPixmap(frame->rect.topLeft(), panel);
    }
};

}  // namespace

TextBox::TextBox(QWidget* parent) : QLineEdit(parent), style_(std::make_unique<KeptPanelStyle>()) {
    setStyle(style_.get());
}

TextBox::~TextBox() {
    // Back to the application's style while this one still exists.
    setStyle(nullptr);
}

}  // namespace tallyline
