#pragma once

namespace tallyline {

// Tells Qt's accessibility how screen readers are to see the platform's own
// controls: a picture box as a picture; a clickable picture as a link that a
// press follows. Safe to call more than once.
void InstallAccessibleControls();

}  // namespace tallyline
