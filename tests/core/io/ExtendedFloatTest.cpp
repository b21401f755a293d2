#include "TestSupport.h"
#include "io/ExtendedFloat.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString ToHex(double value)
{
    const TExtendedBytes bytes = DoubleToExtended(value);
    return Hex(QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size())));
}

double FromExtendedHex(const QString &hex)
{
    const QByteArray raw = FromHex(hex);
    TExtendedBytes bytes{};
    std::copy(raw.begin(), raw.end(), bytes.begin());
    return ExtendedToDouble(bytes);
}

} // namespace

TEST(ExtendedFloat, KnownEncodings)
{
    EXPECT_EQ(ToHex(1.0), u"00 00 00 00 00 00 00 80 FF 3F");
    EXPECT_EQ(ToHex(-2.0), u"00 00 00 00 00 00 00 80 00 C0");
    EXPECT_EQ(ToHex(0.5), u"00 00 00 00 00 00 00 80 FE 3F");
    EXPECT_EQ(ToHex(0.0), u"00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(ToHex(-0.0), u"00 00 00 00 00 00 00 00 00 80");
    EXPECT_EQ(ToHex(2.9), u"00 98 99 99 99 99 99 B9 00 40");
    EXPECT_EQ(ToHex(45000.75), u"00 00 00 00 00 C0 C8 AF 0E 40");
    EXPECT_EQ(ToHex(std::numeric_limits<double>::infinity()), u"00 00 00 00 00 00 00 80 FF 7F");
    // The smallest subnormal double is an ordinary extended number.
    EXPECT_EQ(ToHex(std::numeric_limits<double>::denorm_min()), u"00 00 00 00 00 00 00 80 CD 3B");
}

TEST(ExtendedFloat, ReadingRoundsToTheNearestDouble)
{
    // 2.9 as a program with real extended precision stores it.
    EXPECT_EQ(FromExtendedHex(u"9A 99 99 99 99 99 99 B9 00 40"_s), 2.9);
    // Exactly half way between two doubles: ties go to the even one.
    EXPECT_EQ(FromExtendedHex(u"00 04 00 00 00 00 00 80 FF 3F"_s), 1.0);
    EXPECT_EQ(FromExtendedHex(u"00 0C 00 00 00 00 00 80 FF 3F"_s), 1.0 + 2 * std::ldexp(1.0, -52));
    // All ones rounds up into the next power of two.
    EXPECT_EQ(FromExtendedHex(u"FF FF FF FF FF FF FF FF FF 3F"_s), 2.0);
    // Beyond the double range: infinity; far below it: zero, keeping the sign.
    EXPECT_EQ(FromExtendedHex(u"00 00 00 00 00 00 00 80 FE 7F"_s), std::numeric_limits<double>::infinity());
    const double tiny = FromExtendedHex(u"00 00 00 00 00 00 00 80 01 80"_s);
    EXPECT_EQ(tiny, 0.0);
    EXPECT_TRUE(std::signbit(tiny));
    // An unnormal (no integer bit) still means what its bits say: 0.5 x 2^1.
    EXPECT_EQ(FromExtendedHex(u"00 00 00 00 00 00 00 40 00 40"_s), 1.0);
    // Not-a-number stays not-a-number.
    EXPECT_TRUE(std::isnan(FromExtendedHex(u"00 00 00 00 00 00 00 C0 FF 7F"_s)));
    // Half of the smallest subnormal rounds to zero (even), just above half to it.
    EXPECT_EQ(FromExtendedHex(u"00 00 00 00 00 00 00 80 CC 3B"_s), 0.0);
    EXPECT_EQ(FromExtendedHex(u"01 00 00 00 00 00 00 80 CC 3B"_s), std::numeric_limits<double>::denorm_min());
}

TEST(ExtendedFloat, EveryDoubleSurvivesTheRoundTrip)
{
    // A spread of bit patterns: normals of every exponent, subnormals, both signs.
    quint64 bits = 0x9E3779B97F4A7C15ULL;
    for (int i = 0; i < 20000; ++i) {
        bits = bits * 6364136223846793005ULL + 1442695040888963407ULL;
        const double value = std::bit_cast<double>(bits);
        if (std::isnan(value))
            continue;
        ASSERT_EQ(std::bit_cast<quint64>(ExtendedToDouble(DoubleToExtended(value))), bits) << value;
    }
    for (double value : {std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                         -std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::infinity()})
        EXPECT_EQ(ExtendedToDouble(DoubleToExtended(value)), value);
}
