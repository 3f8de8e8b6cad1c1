#include "tools/scangrade/Elements.h"

#include <algorithm>

namespace tallyline::scangrade {
namespace {

std::vector<Element> SplitAtThreshold(const std::vector<double>& profile, double threshold) {
    std::vector<Element> elements;
    for (int i = 0; i < static_cast<int>(profile.size()); ++i) {
        const double value = profile[i];
        const bool bar = value < threshold;
        if (elements.empty() || elements.back().bar != bar) {
            elements.push_back({.bar = bar, .first = i, .last = i, .reflectance = value});
        }
        Element& element = elements.back();
        element.last = i;
        element.reflectance = bar ? std::min(element.reflectance, value) : std::max(element.reflectance, value);
    }
    return elements;
}

// Where the profile crosses the level between two neighbouring elements,
// sample centres lying at half dots, interpolated linearly.
double EdgeBetween(const std::vector<double>& profile, const Element& before, const Element& after) {
    const double level = (before.reflectance + after.reflectance) / 2;
    const auto onBeforeSide = [&](int i) { return before.bar ? profile[i] < level : profile[i] >= level; };
    int i = before.last;
    while (i > before.first && !onBeforeSide(i)) --i;
    while (i + 1 < after.last && onBeforeSide(i + 1)) ++i;
    const double rise = profile[i + 1] - profile[i];
    const double along = rise == 0 ? 0.5 : std::clamp((level - profile[i]) / rise, 0.0, 1.0);
    return i + 0.5 + along;
}

// Runs of equal samples, so that a flat top counts as one peak.
struct Run {
    double value;
    int start;
};

void MeasureNonuniformity(const std::vector<double>& profile, std::vector<Element>& elements) {
    std::vector<Run> runs;
    for (int i = 0; i < static_cast<int>(profile.size()); ++i) {
        if (runs.empty() || runs.back().value != profile[i]) runs.push_back({profile[i], i});
    }
    std::vector<double> peaks(elements.size(), -1), valleys(elements.size(), 2);
    std::size_t element = 0;
    for (std::size_t r = 1; r + 1 < runs.size(); ++r) {
        while (runs[r].start > elements[element].last) ++element;
        const double value = runs[r].value, left = runs[r - 1].value, right = runs[r + 1].value;
        if (value > left && value > right) peaks[element] = std::max(peaks[element], value);
        if (value < left && value < right) valleys[element] = std::min(valleys[element], value);
    }
    for (std::size_t e = 0; e < elements.size(); ++e) {
        elements[e].nonuniformity = std::max(0.0, peaks[e] - valleys[e]);
    }
}

}  // namespace

Scan Segment(const std::vector<double>& profile) {
    Scan scan;
    if (profile.empty()) return scan;
    const auto [lowest, highest] = std::minmax_element(profile.begin(), profile.end());
    scan.rmin = *lowest;
    scan.rmax = *highest;
    scan.elements = SplitAtThreshold(profile, (scan.rmin + scan.rmax) / 2);

    auto& elements = scan.elements;
    elements.front().left = 0;
    elements.back().right = static_cast<double>(profile.size());
    for (std::size_t e = 0; e + 1 < elements.size(); ++e) {
        const double edge = EdgeBetween(profile, elements[e], elements[e + 1]);
        elements[e].right = edge;
        elements[e + 1].left = edge;
    }
    MeasureNonuniformity(profile, elements);
    return scan;
}

std::vector<int> DotRuns(const std::vector<double>& profile) {
    constexpr double kHalf = 0.5;
    const auto dark = [](double reflectance) { return reflectance < kHalf; };
    const auto first = std::find_if(profile.begin(), profile.end(), dark);
    const auto last = std::find_if(profile.rbegin(), profile.rend(), dark).base();
    std::vector<int> runs;
    for (auto dot = first; dot < last; ++dot) {
        if (dot == first || dark(*dot) != dark(*(dot - 1))) runs.push_back(0);
        ++runs.back();
    }
    return runs;
}

}  // namespace tallyline::scangrade
