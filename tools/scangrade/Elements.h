#pragma once

#include <vector>

namespace tallyline::scangrade {

// One bar or space crossed by a scan line.
struct Element {
    bool bar = false;
    // The samples on its side of the global threshold.
    int first = 0;
    int last = 0;
    // A bar's lowest reflectance, a space's highest.
    double reflectance = 0;
    // Its edges in dots from the start of the line, where the profile crosses
    // halfway between this element's reflectance and its neighbour's; the
    // line's ends bound the quiet zones.
    double left = 0;
    double right = 0;
    // The highest peak less the lowest valley inside it: what a spot or a
    // void does to the element.
    double nonuniformity = 0;

    double Width() const { return right - left; }
};

// A scan reflectance profile (reflectance 0 to 1, one sample a dot) cut into
// bars and spaces at the global threshold, halfway between its lowest and
// highest reflectance.
struct Scan {
    double rmin = 0;
    double rmax = 0;
    // Alternating bars and spaces from the line's first sample to its last.
    std::vector<Element> elements;
};

Scan Segment(const std::vector<double>& profile);

// The bars and spaces of a profile as a printer lays dots, each dot either
// there or not: the runs of dots darker and lighter than half the full
// reflectance, from the first dark dot to the last. Unlike the edges
// interpolated above, whose grey edge dots from a smoothed rasteriser move
// them by a fraction, these are whole numbers of dots that can be held to
// exactly the printer's module.
std::vector<int> DotRuns(const std::vector<double>& profile);

}  // namespace tallyline::scangrade
