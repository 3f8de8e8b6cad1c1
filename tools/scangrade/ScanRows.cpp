#include "tools/scangrade/ScanRows_p.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tallyline::scangrade {
namespace {

// The fewest bars a Code 39 symbol has: start and stop, five bars each.
constexpr int kFewestBars = 10;
// Bars whose outer edges wander by more than this between rows are not one symbol.
constexpr int kEdgeWander = 1;
// The band that a scan may cross: 10% to 90% of the bars' height.
constexpr double kBandMargin = 0.1;

struct RowBars {
    int runs = 0;
    int left = 0;
    int right = 0;
};

RowBars DarkRuns(const GreyImage& page, int y, int threshold) {
    RowBars row;
    bool dark = false;
    for (int x = 0; x < page.width; ++x) {
        const bool now = page.At(x, y) < threshold;
        if (now && !dark) {
            if (row.runs++ == 0) row.left = x;
        }
        if (now) row.right = x;
        dark = now;
    }
    return row;
}

bool SameSymbol(const RowBars& a, const RowBars& b) {
    return std::abs(a.left - b.left) <= kEdgeWander && std::abs(a.right - b.right) <= kEdgeWander;
}

}  // namespace

std::vector<int> ScanRows(const GreyImage& page, int count) {
    if (page.width <= 0 || page.height <= 0 || count <= 0) return {};
    const auto [darkest, lightest] = std::minmax_element(page.dots.begin(), page.dots.end());
    const int threshold = (*darkest + *lightest + 1) / 2;

    int bestTop = 0, bestHeight = 0, top = 0, height = 0;
    RowBars first;
    for (int y = 0; y < page.height; ++y) {
        const RowBars row = DarkRuns(page, y, threshold);
        if (row.runs < kFewestBars) {
            height = 0;
            continue;
        }
        if (height == 0 || !SameSymbol(first, row)) {
            top = y;
            height = 0;
            first = row;
        }
        if (++height > bestHeight) {
            bestTop = top;
            bestHeight = height;
        }
    }
    if (bestHeight == 0) return {};

    std::vector<int> rows;
    const double span = (bestHeight - 1) * (1 - 2 * kBandMargin);
    for (int i = 0; i < count; ++i) {
        const double along = count == 1 ? 0.5 : static_cast<double>(i) / (count - 1);
        rows.push_back(bestTop + static_cast<int>(std::lround((bestHeight - 1) * kBandMargin + span * along)));
    }
    return rows;
}

}  // namespace tallyline::scangrade
