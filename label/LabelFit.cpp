#include "label/LabelFit.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "design/ErrorTexts.h"
#include "platform/core/RuntimeError.h"
#include "platform/core/Units.h"

namespace tallyline {
namespace {

// Bars at least this share of their length high: a scan line then crosses
// them all at a slant of 8 degrees.
constexpr double kSlantBarHeight = 0.15;
// A label whose template keeps no margin keeps this much clear of its edges:
// where a label roll wanders under the head, or a sheet under the rollers.
constexpr double kEdgeMillimetres = 1;
// A hair below a whole dot still makes that dot: lengths in millimetres
// rarely land on one exactly.
constexpr double kWholeDot = 1e-6;

// The label seen along the symbol: its length `along`, its height `across`.
// A turn by a quarter swaps them; every shape stays itself.
struct Frame {
    double along;
    double across;
    // The margins at the ends of the symbol's length, and beside it.
    double marginAlong;
    double marginAcross;
    const LabelArea& label;
};

bool Sideways(Turn turn) { return turn == Turn::Quarter || turn == Turn::ThreeQuarters; }

Frame FrameOf(const LabelArea& label, Turn turn) {
    const QSizeF size = Sideways(turn) ? label.size.transposed() : label.size;
    const QSizeF margin = Sideways(turn) ? label.margin.transposed() : label.margin;
    return {size.width(), size.height(), margin.width(), margin.height(), label};
}

// The tallest box of that width that the shape holds inside its margin, and
// how far its middle lies below the label's middle; nothing when none does.
struct Room {
    double height;
    double below;
};

std::optional<Room> TallestBox(const Frame& frame, double width, double bars) {
    const LabelArea& label = frame.label;
    // A shape's margin is the same all round.
    const double margin = frame.marginAcross;
    const double half = width / 2;
    switch (label.shape) {
    case LabelShape::Rectangle: {
        // The quiet zones may lie in the margin: they are blank.
        if (width > frame.along + kWholeDot || bars + 2 * frame.marginAlong > frame.along + kWholeDot) {
            return std::nullopt;
        }
        return Room{frame.across - 2 * margin, 0};
    }
    case LabelShape::Round:
    case LabelShape::Ellipse: {
        const double a = frame.along / 2 - margin;
        const double b = frame.across / 2 - margin;
        if (half >= a) return std::nullopt;
        return Room{2 * b * std::sqrt(1 - (half / a) * (half / a)), 0};
    }
    case LabelShape::Cd: {
        // Above the hole, up to the rim, or the edge of a card that cuts it.
        const double rim = label.radius - margin;
        if (half >= rim || half > frame.along / 2 - margin) return std::nullopt;
        const double top = std::min(std::sqrt(rim * rim - half * half), frame.across / 2 - margin);
        const double bottom = label.hole + margin;
        return Room{top - bottom, -(top + bottom) / 2};
    }
    }
    return std::nullopt;
}

struct Candidate {
    LabelFit fit;
    // Why the finest module fails, when it does: along or across.
    bool tooShort = false;
    double neededAlong = 0;
    double neededAcross = 0;
};

// The symbol at `narrow` dots a module on the frame, or why not.
Candidate TryModule(std::span<const Element> elements, const Frame& frame, Turn turn, int narrow,
                    double millimetresPerDot, const SymbolRules& rules) {
    Candidate candidate;
    SymbolLook& look = candidate.fit.look;
    look.widths = WidthsOf(narrow, millimetresPerDot, rules.ratio);
    look.caption = rules.caption;
    const long bars = SymbolUnits(elements, look.widths);
    const int width = SymbolWidth(bars, look);
    const int band = CaptionBand(look);
    const int lowest = rules.barMillimetres
                           ? std::max(1, static_cast<int>(std::lround(*rules.barMillimetres / millimetresPerDot)))
                           : static_cast<int>(std::ceil(kSlantBarHeight * static_cast<double>(bars)));
    candidate.neededAlong = std::max<double>(width, static_cast<double>(bars) + 2 * frame.marginAlong);
    candidate.neededAcross = lowest + band + 2 * frame.marginAcross;
    const auto room = TallestBox(frame, width, static_cast<double>(bars));
    if (!room) {
        candidate.tooShort = true;
        return candidate;
    }
    const int height = static_cast<int>(std::floor(room->height + kWholeDot));
    if (height < lowest + band) return candidate;
    look.barHeight = rules.barMillimetres ? lowest : height - band;
    // The picture's middle on the room's, its corner on a whole dot.
    const QSizeF picture = Turned(QSize(width, look.barHeight + band), turn);
    const double below = room->below;
    QPointF middle(frame.label.size.width() / 2, frame.label.size.height() / 2);
    switch (turn) {
    case Turn::None: middle += QPointF(0, below); break;
    case Turn::Quarter: middle += QPointF(-below, 0); break;
    case Turn::Half: middle += QPointF(0, -below); break;
    case Turn::ThreeQuarters: middle += QPointF(below, 0); break;
    }
    candidate.fit.corner = QPointF(std::floor(middle.x() - picture.width() / 2 + kWholeDot),
                                   std::floor(middle.y() - picture.height() / 2 + kWholeDot));
    candidate.fit.turn = turn;
    return candidate;
}

double EdgeDots(int dotsPerInch) { return kEdgeMillimetres * dotsPerInch / kMillimetresPerInch; }

}  // namespace

LabelArea AreaOf(const LabelTemplate& sheet, int dotsPerInch) {
    const double dots = dotsPerInch / kPointsPerInch;
    const double margin = sheet.markupMargin > 0 ? sheet.markupMargin * dots : EdgeDots(dotsPerInch);
    return {sheet.shape, sheet.label * dots, QSizeF(margin, margin), sheet.radius * dots, sheet.holeRadius * dots};
}

LabelArea AreaOf(const PageDots& page) {
    const QMargins& unprintable = page.unprintable;
    const double edge = EdgeDots(page.dotsPerInch);
    return {LabelShape::Rectangle, QSizeF(page.paper),
            QSizeF(std::max({edge, double(unprintable.left()), double(unprintable.right())}),
                   std::max({edge, double(unprintable.top()), double(unprintable.bottom())}))};
}

int FinestModuleDots(int dotsPerInch) {
    return std::max(1, static_cast<int>(std::ceil(kFinestModuleMillimetres * dotsPerInch / kMillimetresPerInch)));
}

int LargestModuleDots(double millimetres, int dotsPerInch) {
    return std::max(1, static_cast<int>(std::floor(millimetres * dotsPerInch / kMillimetresPerInch + kWholeDot)));
}

int SymbolRules::WidestModule(int dotsPerInch) const {
    return LargestModuleDots(moduleMillimetres.value_or(DesignModuleMillimetres()), dotsPerInch);
}

SymbolLook UnboundedLook(int narrow, double unitMillimetres, const SymbolRules& rules, int quietZone) {
    SymbolLook look;
    look.widths = WidthsOf(narrow, unitMillimetres, rules.ratio);
    look.quietZone = quietZone;
    look.caption = rules.caption;
    look.barHeight = static_cast<int>(
        std::lround(rules.barMillimetres ? *rules.barMillimetres / unitMillimetres : DesignBarModules() * narrow));
    return look;
}

LabelFit FitOnLabel(std::span<const Element> elements, const LabelArea& label, int dotsPerInch,
                    const SymbolRules& rules) {
    const double millimetresPerDot = kMillimetresPerInch / dotsPerInch;
    const int largest = rules.WidestModule(dotsPerInch);
    // A module asked for below the finest is the user's to ask.
    const int finest = std::min(largest, FinestModuleDots(dotsPerInch));
    std::vector<Turn> turns{rules.turn.value_or(Turn::None)};
    if (!rules.turn) turns.push_back(Turn::Quarter);
    std::optional<LabelFit> best;
    Candidate failed;
    // A label that is longer down than across fails most plainly along its length.
    const Turn told = rules.turn.value_or(label.size.height() > label.size.width() ? Turn::Quarter : Turn::None);
    for (const Turn turn : turns) {
        const Frame frame = FrameOf(label, turn);
        for (int narrow = largest; narrow >= finest; --narrow) {
            Candidate candidate = TryModule(elements, frame, turn, narrow, millimetresPerDot, rules);
            if (candidate.fit.look.barHeight > 0) {
                if (!best || narrow > best->look.widths.narrow) best = candidate.fit;
                break;
            }
            if (narrow == finest && turn == told) failed = candidate;
        }
    }
    if (best) return *best;
    if (label.shape != LabelShape::Rectangle) {
        throw RuntimeError(ErrorNumber::PrinterError,
                           design::ShapeTooSmallNote(finest * millimetresPerDot).toStdString());
    }
    const QSizeF size = Sideways(told) ? label.size.transposed() : label.size;
    // Rounded up to the tenth that the message shows, so that a label of that size does take it.
    const auto tenths = [](double dots, double millimetresPerDot) {
        return std::ceil(dots * millimetresPerDot * 10) / 10;
    };
    // The measure of the label that the symbol's length runs along, or its height.
    const bool alongWidth = failed.tooShort != Sideways(told);
    throw RuntimeError(
        ErrorNumber::PrinterError,
        design::LabelTooSmallNote(alongWidth ? QStringLiteral("wide") : QStringLiteral("high"),
                                  tenths(failed.tooShort ? failed.neededAlong : failed.neededAcross, millimetresPerDot),
                                  (failed.tooShort ? size.width() : size.height()) * millimetresPerDot)
            .toStdString());
}

}  // namespace tallyline
