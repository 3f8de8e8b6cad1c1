#pragma once

#include <vector>

#include "tools/scangrade/Code39Decode.h"
#include "tools/scangrade/GreyImage.h"

namespace tallyline::scangrade {

struct ParameterGrades {
    int symbolContrast = 0;
    int minReflectance = 0;
    int minEdgeContrast = 0;
    int modulation = 0;
    int defects = 0;
    int decode = 0;
    int decodability = 0;

    int Lowest() const;
};

// The parameters of one scan reflectance profile, reflectances from 0 to 1.
struct ScanLineGrade {
    int row = 0;
    double rmin = 0;
    double rmax = 0;
    double symbolContrast = 0;
    double minEdgeContrast = 0;
    double modulation = 0;
    // The greatest element nonuniformity over the symbol contrast.
    double defects = 0;
    Decoded decoded;
    // Every bar and space from the first bar to the last, in dots.
    std::vector<double> widths;
    // The same as whole dots, binarised at half the full reflectance.
    std::vector<int> dotRuns;
    ParameterGrades grades;
    // The line's grade: its lowest parameter grade.
    int grade = 0;
};

ScanLineGrade GradeScanLine(const std::vector<double>& profile);

struct SymbolGrade {
    // The mean of the scan lines' grades; 0 when the page shows no bars.
    double grade = 0;
    std::vector<ScanLineGrade> scans;
};

// Grades the symbol on a page over ten scan lines across its bars.
SymbolGrade GradeSymbol(const GreyImage& page);

}  // namespace tallyline::scangrade
