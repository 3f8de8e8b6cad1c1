#pragma once

#include <QString>
#include <optional>

namespace tallyline {

// The dots per inch across the page at which a CUPS printer prints a job
// that asks for no resolution of its own, as its server sets it: the
// default of the driver's Resolution option, else printer-resolution-default.
// Qt lays out a page for a printer at 1200 dots per inch whatever the
// printer, which a printer of 300 or 203 then resamples; laid out at the
// printer's own resolution, the page's whole dots are the printer's. A user's own choices
// (lpoptions) do not count: Qt's jobs do not carry them. Nothing when the
// server reports no resolution for the printer or cannot be reached.
std::optional<int> CupsDefaultResolution(const QString& printerName);

}  // namespace tallyline
