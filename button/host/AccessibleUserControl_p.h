#pragma once

namespace tallyline {

// Tells Qt's accessibility how screen readers are to see a user control: as
// one object of the role its control gives, its constituent controls being
// parts of it, whose press is a click. Safe to call more than once.
void InstallAccessibleUserControl();

}  // namespace tallyline
