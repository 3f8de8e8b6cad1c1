#include "tools/scangrade/Grades.h"

#include <array>

namespace tallyline::scangrade {
namespace {

constexpr int kA = 4;
constexpr int kF = 0;

// The least value that earns grades A, B, C and D; below the last is F.
using Limits = std::array<double, 4>;

int AtLeast(double value, const Limits& limits) {
    int grade = kA;
    for (const double limit : limits) {
        if (value >= limit) return grade;
        --grade;
    }
    return kF;
}

int AtMost(double value, const Limits& limits) {
    int grade = kA;
    for (const double limit : limits) {
        if (value <= limit) return grade;
        --grade;
    }
    return kF;
}

}  // namespace

int GradeSymbolContrast(double symbolContrast) { return AtLeast(symbolContrast, {0.70, 0.55, 0.40, 0.20}); }
int GradeMinReflectance(double rmin, double rmax) { return rmin <= 0.5 * rmax ? kA : kF; }
int GradeMinEdgeContrast(double minEdgeContrast) { return minEdgeContrast >= 0.15 ? kA : kF; }
int GradeModulation(double modulation) { return AtLeast(modulation, {0.70, 0.60, 0.50, 0.40}); }
int GradeDefects(double defects) { return AtMost(defects, {0.15, 0.20, 0.25, 0.30}); }
int GradeDecodability(double decodability) { return AtLeast(decodability, {0.62, 0.50, 0.37, 0.25}); }
int GradeDecode(bool decoded) { return decoded ? kA : kF; }

char Letter(double grade) {
    constexpr Limits kLetterLimits{3.5, 2.5, 1.5, 0.5};
    return "FDCBA"[AtLeast(grade, kLetterLimits)];
}

}  // namespace tallyline::scangrade
