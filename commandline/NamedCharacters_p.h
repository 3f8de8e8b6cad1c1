#pragma once

#include <QString>

#include "platform/core/Text.h"

namespace tallyline::commandline {

// The characters, quoted, with those that would not show spelt out as U+
// and their number.
QString Named(TextView characters);

// Text for the exception being handled, as DescribeCurrentException gives
// it, save that a text refused for characters that the bars do not carry
// names them. Call only inside a catch.
QString DescribeFailure();

}  // namespace tallyline::commandline
