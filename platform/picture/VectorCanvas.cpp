#include "platform/picture/VectorCanvas.h"

#include <QPainter>

#include <algorithm>
#include <utility>

#include "platform/picture/LaidOutText.h"

namespace tallyline {

namespace {

// Paints what a canvas hands over, a rectangle list for each colour
// instead of a change of brush for every bar.
class PaintingReader final : public VectorCanvas::Reader {
public:
    explicit PaintingReader(QPainter& painter) : painter_(painter) {}

    void Boxes(QRgb colour, std::span<const QRect> areas) override {
        painter_.setBrush(QColor::fromRgb(colour));
        painter_.drawRects(areas.data(), static_cast<int>(areas.size()));
    }
    void Text(const LaidOutText& text, QPointF origin, QRgb colour) override {
        painter_.setPen(QColor::fromRgb(colour));
        text.Draw(painter_, origin);
        painter_.setPen(Qt::NoPen);
    }

private:
    QPainter& painter_;
};

}  // namespace

void VectorCanvas::Paint(QPainter& painter, const QMargins& margins) const {
    const QRect whole = QRect(QPoint(), extent_).marginsAdded(margins);
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.fillRect(whole, QColor::fromRgb(background_));
    PaintingReader reader(painter);
    Read(reader);
    painter.restore();
}

void VectorCanvas::Read(Reader& reader) const {
    if (!sideBySide_) {
        for (const Item& item : items_) {
            if (item.text) {
                reader.Text(*item.text, item.origin, item.colour);
            } else {
                reader.Boxes(item.colour, std::span(&item.area, 1));
            }
        }
        return;
    }
    // With nothing beneath them but the background, boxes of the
    // background's colour change nothing: a file need not hold the spaces
    // between bars twice.
    std::vector<QRgb> colours;
    for (const Item& item : items_) {
        if (!item.text && item.colour != background_ &&
            std::find(colours.begin(), colours.end(), item.colour) == colours.end()) {
            colours.push_back(item.colour);
        }
    }
    std::vector<QRect> areas;
    for (const QRgb colour : colours) {
        areas.clear();
        for (const Item& item : items_) {
            if (!item.text && item.colour == colour) areas.push_back(item.area);
        }
        reader.Boxes(colour, areas);
    }
    for (const Item& item : items_) {
        if (item.text) reader.Text(*item.text, item.origin, item.colour);
    }
}

void VectorCanvas::Clear(QSize extent, QRgb background) {
    extent_ = extent;
    background_ = background;
    items_.clear();
    sideBySide_ = true;
}

void VectorCanvas::Resize(QSize extent) {
    // Boxes outside a smaller extent are gone, as they are from pixels: a
    // later growth shows background there.
    if (extent.width() < extent_.width() || extent.height() < extent_.height()) {
        const QRect kept(QPoint(), extent);
        for (Item& item : items_) {
            if (!item.text) item.area &= kept;
        }
        std::erase_if(items_, [](const Item& item) { return !item.text && item.area.isEmpty(); });
    }
    extent_ = extent;
}

void VectorCanvas::Fill(int left, int top, int right, int bottom, QRgb colour) {
    const QRect area(QPoint(left, top), QPoint(right - 1, bottom - 1));
    // A run of one colour is one rectangle: a wide space is two boxes side
    // by side, and a file or a printer gains nothing from the seam.
    if (!items_.empty()) {
        Item& last = items_.back();
        const bool sameRows = !last.text && last.area.top() == area.top() && last.area.bottom() == area.bottom();
        if (sameRows && last.colour == colour && last.area.right() + 1 == area.left()) {
            last.area.setRight(area.right());
            return;
        }
        sideBySide_ = sideBySide_ && sameRows && last.area.right() < area.left();
    }
    items_.push_back(Item{area, colour, nullptr, QPointF()});
}

void VectorCanvas::Draw(std::shared_ptr<const LaidOutText> text, QPointF origin, QRgb colour) {
    items_.push_back(Item{QRect(), colour, std::move(text), origin});
}

}  // namespace tallyline
