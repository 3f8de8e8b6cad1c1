#pragma once

namespace tallyline {

// Qt's widgets need no library to be loaded before a window is made; this
// keeps the windows' Initialize steps where the platform expects them.
void InitCommonControls() noexcept;

}  // namespace tallyline
