#include "core/real48.h"

#include <cmath>

namespace veldor {

namespace {
constexpr int kSignificantBits = 40;  // 39 stored + the hidden bit
// The six-byte real's exponent byte is biased by 129; 0 means zero.
constexpr int kMinExponent = -128;  // 2^-129 <= |x|: frexp exponent >= -128
constexpr int kMaxExponent = 127;
}  // namespace

double round_real48(double value) {
    if (value == 0 || !std::isfinite(value)) return value;
    int exponent = 0;
    const double mantissa = std::frexp(value, &exponent);  // |mantissa| in [0.5, 1)
    if (exponent < kMinExponent) return 0.0;
    if (exponent > kMaxExponent) return value;
    const double scaled = std::nearbyint(std::ldexp(mantissa, kSignificantBits));
    return std::ldexp(scaled, exponent - kSignificantBits);
}

}  // namespace veldor
