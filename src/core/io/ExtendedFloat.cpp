#include "ExtendedFloat.h"

#include <bit>

namespace {

constexpr int kDoubleBias = 1023;
constexpr int kExtendedBias = 16383;
constexpr std::uint64_t kTopBit = std::uint64_t(1) << 63;

TExtendedBytes Pack(bool negative, int exponent, std::uint64_t mantissa)
{
    TExtendedBytes out{};
    for (int i = 0; i < 8; ++i)
        out[i] = std::uint8_t(mantissa >> (8 * i));
    const unsigned signExp = (negative ? 0x8000u : 0u) | unsigned(exponent & 0x7FFF);
    out[8] = std::uint8_t(signExp & 0xFF);
    out[9] = std::uint8_t(signExp >> 8);
    return out;
}

double FromBits(std::uint64_t bits)
{
    return std::bit_cast<double>(bits);
}

} // namespace

TExtendedBytes DoubleToExtended(double value)
{
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const int exponent = int((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t(1) << 52) - 1);

    if (exponent == 0x7FF) {
        if (fraction == 0)
            return Pack(negative, 0x7FFF, kTopBit);
        return Pack(negative, 0x7FFF, kTopBit | (std::uint64_t(1) << 62) | (fraction << 11));
    }
    if (exponent == 0) {
        if (fraction == 0)
            return Pack(negative, 0, 0);
        // A subnormal double is a normal extended number: move its leading bit up to
        // the explicit integer bit.
        const int highBit = 63 - std::countl_zero(fraction);
        return Pack(negative, highBit - 1074 + kExtendedBias, fraction << (63 - highBit));
    }
    return Pack(negative, exponent - kDoubleBias + kExtendedBias, kTopBit | (fraction << 11));
}

double ExtendedToDouble(const TExtendedBytes &bytes)
{
    std::uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa |= std::uint64_t(bytes[i]) << (8 * i);
    const unsigned signExp = unsigned(bytes[8]) | (unsigned(bytes[9]) << 8);
    const std::uint64_t sign = std::uint64_t(signExp >> 15) << 63;
    int exponent = int(signExp & 0x7FFF);

    if (exponent == 0x7FFF) {
        if ((mantissa << 1) == 0)
            return FromBits(sign | (std::uint64_t(0x7FF) << 52));
        return FromBits(sign | (std::uint64_t(0x7FF) << 52) | (std::uint64_t(1) << 51)
                        | ((mantissa << 1) >> 12));
    }
    if (mantissa == 0)
        return FromBits(sign);

    // Denormals (exponent 0) scale like exponent 1; unnormals lack the integer bit.
    // Normalise both so that the value is 1.f x 2^unbiased.
    int unbiased = (exponent == 0 ? 1 : exponent) - kExtendedBias;
    const int shift = std::countl_zero(mantissa);
    mantissa <<= shift;
    unbiased -= shift;

    const std::uint64_t infinity = sign | (std::uint64_t(0x7FF) << 52);
    if (unbiased > 1023)
        return FromBits(infinity);

    // Number of low mantissa bits that do not fit the double.
    const int drop = unbiased >= -1022 ? 11 : 11 + (-1022 - unbiased);
    std::uint64_t kept;
    if (drop >= 65) {
        kept = 0;
    } else if (drop == 64) {
        kept = mantissa > kTopBit ? 1 : 0;
    } else {
        kept = mantissa >> drop;
        const std::uint64_t rest = mantissa & ((std::uint64_t(1) << drop) - 1);
        const std::uint64_t half = std::uint64_t(1) << (drop - 1);
        if (rest > half || (rest == half && (kept & 1) != 0))
            ++kept;
    }

    if (unbiased < -1022) // subnormal; a carry into bit 52 lands on the smallest normal
        return FromBits(sign | kept);

    if (kept == (std::uint64_t(1) << 53)) {
        kept >>= 1;
        ++unbiased;
        if (unbiased > 1023)
            return FromBits(infinity);
    }
    return FromBits(sign | (std::uint64_t(unbiased + kDoubleBias) << 52)
                    | (kept & ((std::uint64_t(1) << 52) - 1)));
}
