#pragma once

#include <array>
#include <cstdint>

// The 10-byte x87 extended-precision format our data files keep floating-point values
// in. Converted by hand so that the files read the same on every compiler, whatever
// its long double is.
using TExtendedBytes = std::array<std::uint8_t, 10>;

// Exact: every double is representable in the extended format.
TExtendedBytes DoubleToExtended(double value);

// Rounds to nearest, ties to even; out-of-range magnitudes become infinities or zeros.
double ExtendedToDouble(const TExtendedBytes &bytes);
