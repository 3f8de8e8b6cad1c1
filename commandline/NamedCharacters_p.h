#pragma once

#include <QString>

#include "platform/core/Text.h"

namespace tallyline::commandline {

// The characters, quoted, with those that would not show spelt out as U+
// and their number.
QString Named(TextView characters);

}  // namespace tallyline::commandline
