#pragma once

#include <cstdint>

// The platform's arithmetic: conversions and 16-bit products that fail loudly
// instead of wrapping or producing infinities.
namespace tallyline {

// Nearest integer, ties to the even one; Overflow when out of range or NaN.
std::int16_t CInt(double value);

// Signed 16-bit product; Overflow instead of wrapping.
std::int16_t Mul16(std::int16_t a, std::int16_t b);

// Floating division; "Division by zero" for a zero divisor, Overflow for a
// quotient that is not finite.
double Divide(double dividend, double divisor);

// Narrowing to single precision; Overflow when the value does not fit.
float CSng(double value);

}  // namespace tallyline
