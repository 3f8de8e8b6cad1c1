#pragma once

#include <vector>

namespace tallyline {

// Lets the families that the designs name, which a free desktop lacks, be
// drawn in free faces that keep their look and their widths: the designs
// still ask for their own families, and a machine that has them gets them.
// Safe to call more than once.
void InstallFontSubstitutes();

// The free faces that stand in for those families.
std::vector<const char*> SubstituteFaces();

}  // namespace tallyline
