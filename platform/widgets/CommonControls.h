#pragma once

namespace tallyline {

// Qt's widgets need no library to be loaded before a window is made; what
// is left to set up is how screen readers see the platform's own controls.
void InitCommonControls() noexcept;

}  // namespace tallyline
