#pragma once

#include <QPointF>
#include <QSizeF>

#include <optional>
#include <span>

#include "engine/Code39Symbol.h"
#include "label/SymbolPicture.h"
#include "platform/picture/Turn.h"
#include "platform/printing/Printer.h"
#include "stock/LabelTemplate.h"

namespace tallyline {

// The narrowest element that ISO/IEC 16388 lets a printed Code 39 symbol
// have, in millimetres: a label never gets a finer module unless asked.
constexpr double kFinestModuleMillimetres = 0.19;

// The whole dots of a module at that resolution: the finest a label may
// take, and the most that are not above a module of that many millimetres.
int FinestModuleDots(int dotsPerInch);
int LargestModuleDots(double millimetres, int dotsPerInch);

// What the symbol on a label, a sheet's label or in a file is asked to be,
// beyond what the window draws.
struct SymbolRules {
    // Nothing: on a label, the turn that gives the larger module, none on a
    // tie; in a file, none.
    std::optional<Turn> turn;
    // Nothing: WidthsOf's rule.
    std::optional<double> ratio;
    // The widest narrow element; nothing: the window's.
    std::optional<double> moduleMillimetres;
    // Nothing: on a label, all the height that the label leaves; in a file,
    // the window's bars at that module.
    std::optional<double> barMillimetres;
    bool caption = true;

    // The widest module at that resolution: the most whole dots not above
    // the one asked for, else the window's.
    int WidestModule(int dotsPerInch) const;
    // Whether anything is asked beyond the window's look.
    bool Asked() const noexcept { return turn || ratio || moduleMillimetres || barMillimetres || !caption; }
};

// A label's shape in dots of the printer or of the file's grid.
struct LabelArea {
    LabelShape shape = LabelShape::Rectangle;
    // The label's box; a round label's radius is half of it.
    QSizeF size;
    // Kept clear of bars and caption: along the left and right edges (its
    // width), along the top and bottom (its height).
    QSizeF margin;
    // A CD label's circle and hole.
    double radius = 0;
    double hole = 0;
};

// A sheet's label at that many dots per inch, its template's margin kept
// clear, else 1 mm; and the printer's page as a label, 1 mm and what the
// printer cannot print kept clear of its edges.
LabelArea AreaOf(const LabelTemplate& sheet, int dotsPerInch);
LabelArea AreaOf(const PageDots& page);

// Where the symbol goes on a label and how it is drawn.
struct LabelFit {
    Turn turn = Turn::None;
    SymbolLook look;
    // The picture's top-left corner, turned, from the label box's top-left,
    // in dots: whole dots of the label's own grid.
    QPointF corner;
};

// The look of a symbol that no label bounds: its narrow element `narrow`
// units of that many millimetres, its bars as high as the rules set, else as
// the window's at that module.
SymbolLook UnboundedLook(int narrow, double unitMillimetres, const SymbolRules& rules,
                         int quietZone = kStandardQuietZone);

// Fits the symbol of those elements on the label: every module the most
// whole dots not above the rules' module (else the window's 0.529 mm) that
// let it fit, never below kFinestModuleMillimetres, turned as the rules say;
// the symbol with its quiet zones inside the label, its bars and caption
// inside the margin, centred, in the largest rectangle that a round, oval or
// CD label holds (above a CD's hole). The bars take the height that the label
// leaves beneath the caption unless the rules set it, and are at least 15% of
// their length: a scan line then crosses them all at a slant of 8 degrees.
// PrinterError, saying how large the label would have to be, when nothing
// fits.
LabelFit FitOnLabel(std::span<const Element> elements, const LabelArea& label, int dotsPerInch,
                    const SymbolRules& rules);

}  // namespace tallyline
