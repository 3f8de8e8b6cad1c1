#pragma once

#include <string>

namespace tallyline {

// The hidden names that files are written under until whole, and what a run
// that was killed leaves under them. A run holds each such file (flock) for
// as long as it has that name, so that a file under such a name that no one
// holds is proven a leftover: the process that wrote it is gone.

// A new hidden name beside the file at path.
std::string TemporaryName(const std::string& path);

// Whether the file open at descriptor is the one at path.
bool SameFile(int descriptor, const std::string& path);

// Removes the leftovers in the folder, the first time it is asked for each
// folder; what cannot be removed stays.
void RemoveLeftovers(const std::string& folder);

}  // namespace tallyline
