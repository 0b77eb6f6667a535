#pragma once
// Values that historically passed through a six-byte real: a 39-bit stored
// mantissa with a hidden leading bit (40 significant bits) and an 8-bit
// exponent. Rounding through it keeps stored translations such as 0.166667
// and the conversion divisors exactly as they were.

namespace veldor {

// Rounds to the nearest six-byte real (ties to even). Magnitudes below the
// smallest six-byte real become 0; values above the largest are returned
// unchanged (they never arise from crystallographic data).
double round_real48(double value);

}  // namespace veldor
