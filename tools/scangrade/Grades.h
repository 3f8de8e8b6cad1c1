#pragma once

namespace tallyline::scangrade {

// Grades from 4 (A) down to 0 (F), with the limits that ISO/IEC 15416 sets
// for each parameter of a scan reflectance profile. Reflectances and
// contrasts run from 0 to 1.
int GradeSymbolContrast(double symbolContrast);
int GradeMinReflectance(double rmin, double rmax);
int GradeMinEdgeContrast(double minEdgeContrast);
int GradeModulation(double modulation);
int GradeDefects(double defects);
int GradeDecodability(double decodability);
int GradeDecode(bool decoded);

// A (from 3.5) to F (below 0.5) for a grade, or a mean of grades.
char Letter(double grade);

}  // namespace tallyline::scangrade
