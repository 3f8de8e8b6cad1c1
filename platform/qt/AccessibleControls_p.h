#pragma once

namespace tallyline {

// Tells Qt's accessibility how screen readers are to see the platform's own
// controls: a control surface as one object of the role its control gives,
// its constituent controls being parts of it, whose press is a click; a
// picture box as a picture; a clickable picture as a link that a press
// follows. Safe to call more than once.
void InstallAccessibleControls();

}  // namespace tallyline
