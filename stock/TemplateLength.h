#pragma once

#include <QStringView>

#include <optional>

namespace tallyline {

// A length as label templates write it, in points: a number and one of the
// units pt, in, mm, cm and pc, points when none is written. Nothing for
// anything else: a negative length, or one longer than any paper (200 in).
std::optional<double> TemplateLength(QStringView written);

}  // namespace tallyline
