#include "platform/core/Numeric.h"

#include <cmath>
#include <limits>

#include "platform/core/RuntimeError.h"

namespace tallyline {

std::int16_t CInt(double value) {
    // Checked before rounding: -32768.5 rounds to even (-32768) and fits, but
    // NaN and infinities must not reach the cast.
    constexpr double kLow = std::numeric_limits<std::int16_t>::min() - 0.5;
    constexpr double kHigh = std::numeric_limits<std::int16_t>::max() + 0.5;
    if (!(value >= kLow && value <= kHigh)) throw RuntimeError(ErrorNumber::Overflow);
    const double rounded = std::nearbyint(value);  // the default mode rounds ties to even
    if (rounded < std::numeric_limits<std::int16_t>::min() || rounded > std::numeric_limits<std::int16_t>::max()) {
        throw RuntimeError(ErrorNumber::Overflow);
    }
    return static_cast<std::int16_t>(rounded);
}

std::int16_t Mul16(std::int16_t a, std::int16_t b) {
    const std::int32_t product = std::int32_t{a} * std::int32_t{b};
    if (product < std::numeric_limits<std::int16_t>::min() || product > std::numeric_limits<std::int16_t>::max()) {
        throw RuntimeError(ErrorNumber::Overflow);
    }
    return static_cast<std::int16_t>(product);
}

double Divide(double dividend, double divisor) {
    if (divisor == 0.0) throw RuntimeError(ErrorNumber::DivisionByZero);
    const double quotient = dividend / divisor;
    if (!std::isfinite(quotient)) throw RuntimeError(ErrorNumber::Overflow);
    return quotient;
}

float CSng(double value) {
    if (std::isnan(value) || std::fabs(value) > std::numeric_limits<float>::max()) {
        throw RuntimeError(ErrorNumber::Overflow);
    }
    return static_cast<float>(value);
}

}  // namespace tallyline
