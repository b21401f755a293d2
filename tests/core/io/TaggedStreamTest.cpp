#include "TestSupport.h"
#include "io/TaggedStream.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

QString IntegerHex(qint32 value)
{
    return Hex(WriteToBytes([&](TTaggedWriter &w) { w.WriteInteger(value); }));
}

QString Int64Hex(qint64 value)
{
    return Hex(WriteToBytes([&](TTaggedWriter &w) { w.WriteInt64(value); }));
}

QString StringHexPrefix(const QString &text, int bytes)
{
    return Hex(WriteToBytes([&](TTaggedWriter &w) { w.WriteString(text); }).left(bytes));
}

} // namespace

TEST(TaggedWriter, IntegersTakeTheSmallestTag)
{
    EXPECT_EQ(IntegerHex(0), u"02 00");
    EXPECT_EQ(IntegerHex(127), u"02 7F");
    EXPECT_EQ(IntegerHex(-128), u"02 80");
    EXPECT_EQ(IntegerHex(-1), u"02 FF");
    EXPECT_EQ(IntegerHex(128), u"03 80 00");
    EXPECT_EQ(IntegerHex(200), u"03 C8 00");
    EXPECT_EQ(IntegerHex(-129), u"03 7F FF");
    EXPECT_EQ(IntegerHex(32767), u"03 FF 7F");
    EXPECT_EQ(IntegerHex(-32768), u"03 00 80");
    EXPECT_EQ(IntegerHex(32768), u"04 00 80 00 00");
    EXPECT_EQ(IntegerHex(-32769), u"04 FF 7F FF FF");
    EXPECT_EQ(IntegerHex(std::numeric_limits<qint32>::min()), u"04 00 00 00 80");

    // Counts above the 32-bit range take the 64-bit tag; smaller ones the usual tags.
    EXPECT_EQ(Int64Hex(5), u"02 05");
    EXPECT_EQ(Int64Hex(2147483647), u"04 FF FF FF 7F");
    EXPECT_EQ(Int64Hex(2147483648LL), u"13 00 00 00 80 00 00 00 00");
    EXPECT_EQ(Int64Hex(4294967295LL), u"13 FF FF FF FF 00 00 00 00");
}

TEST(TaggedWriter, TextFlagsListsAndFloats)
{
    EXPECT_EQ(StringHexPrefix(QString(), 10), u"06 00");
    EXPECT_EQ(StringHexPrefix(u"abc"_s, 10), u"06 03 61 62 63");
    EXPECT_EQ(StringHexPrefix(QString(255, u'x'), 3), u"06 FF 78");
    // Over 255 plain bytes: the long string with a 4-byte length.
    EXPECT_EQ(StringHexPrefix(QString(300, u'x'), 6), u"0C 2C 01 00 00 78");
    // Anything outside 7-bit text is UTF-8, however short or long.
    EXPECT_EQ(StringHexPrefix(u"\u00e9"_s, 10), u"14 02 00 00 00 C3 A9");
    EXPECT_EQ(StringHexPrefix(QString(300, u'x') + u"\u00e9"_s, 6), u"14 2E 01 00 00 78");

    const QByteArray mixed = WriteToBytes([](TTaggedWriter &w) {
        w.WriteListBegin();
        w.WriteBoolean(true);
        w.WriteBoolean(false);
        w.WriteFloat(1.0);
        w.WriteListEnd();
    });
    EXPECT_EQ(Hex(mixed), u"01 09 08 05 00 00 00 00 00 00 00 80 FF 3F 00");
}

TEST(TaggedReader, ReadsEveryTagBack)
{
    const QByteArray bytes = WriteToBytes([](TTaggedWriter &w) {
        w.WriteInteger(-5);
        w.WriteInteger(1000);
        w.WriteInteger(-100000);
        w.WriteInt64(3000000000LL);
        w.WriteString(u"plain"_s);
        w.WriteString(QString(400, u'y'));
        w.WriteString(u"Caf\u00e9 \u4e16"_s);
        w.WriteFloat(-2.75);
        w.WriteDate(QDateTime(QDate(2024, 2, 29), QTime(18, 0)));
        w.WriteRaw("\x01\x02\x03", 3);
    });
    ReadFromBytes(bytes, [](TTaggedReader &r) {
        EXPECT_EQ(r.ReadInteger(), -5);
        EXPECT_EQ(r.ReadInteger(), 1000);
        EXPECT_EQ(r.ReadInt64(), -100000);
        EXPECT_EQ(r.ReadInt64(), 3000000000LL);
        EXPECT_EQ(r.ReadString(), u"plain");
        EXPECT_EQ(r.ReadString(), QString(400, u'y'));
        EXPECT_EQ(r.ReadString(), u"Caf\u00e9 \u4e16");
        EXPECT_EQ(r.ReadFloat(), -2.75);
        EXPECT_EQ(r.ReadDate(), QDateTime(QDate(2024, 2, 29), QTime(18, 0)));
        EXPECT_EQ(r.ReadRaw(3, u"raw bytes"_s), QByteArray("\x01\x02\x03"));
        EXPECT_TRUE(r.AtEnd());
    });
}

TEST(TaggedReader, AcceptsTheOlderTextAndNumberForms)
{
    // Short and long strings hold 8-bit text of the Western Windows code page from older
    // files; wide strings UTF-16.
    ReadFromBytes(FromHex(u"06 02 41 E9  0C 01 00 00 00 42  12 02 00 00 00 41 00 16 4E"_s), [](TTaggedReader &r) {
        EXPECT_EQ(r.ReadString(), u"A\u00e9");
        EXPECT_EQ(r.ReadString(), u"B");
        EXPECT_EQ(r.ReadString(), u"A\u4e16");
    });
    ReadFromBytes(FromHex(u"06 06 80 92 96 9F 81 A0  0C 02 00 00 00 85 FF"_s), [](TTaggedReader &r) {
        EXPECT_EQ(r.ReadString(), u"\u20ac\u2019\u2013\u0178\u0081\u00a0");
        EXPECT_EQ(r.ReadString(), u"\u2026\u00ff");
    });
    // Such text is saved as UTF-8, and the apostrophe stays an apostrophe.
    EXPECT_EQ(WriteToBytes([](TTaggedWriter &w) { w.WriteString(u"Axe\u2019"_s); }),
              FromHex(u"14 06 00 00 00 41 78 65 E2 80 99"_s));
    // A float may be stored as any integer; an integer written with a wider tag than
    // needed still reads.
    ReadFromBytes(FromHex(u"02 07  03 F4 01  04 01 00 00 00  04 02 00 00 00"_s), [](TTaggedReader &r) {
        EXPECT_EQ(r.ReadFloat(), 7.0);
        EXPECT_EQ(r.ReadFloat(), 500.0);
        EXPECT_EQ(r.ReadFloat(), 1.0);
        EXPECT_EQ(r.ReadInteger(), 2);
    });
    // A flag is true only for the true tag, and any other tag is one byte of false.
    ReadFromBytes(FromHex(u"09 08 02 05"_s), [](TTaggedReader &r) {
        EXPECT_TRUE(r.ReadBoolean());
        EXPECT_FALSE(r.ReadBoolean());
        EXPECT_FALSE(r.ReadBoolean());
        EXPECT_EQ(r.Position(), 3);
        EXPECT_FALSE(r.ReadBoolean());
    });
    ReadFromBytes(FromHex(u"01 02 01 00"_s), [](TTaggedReader &r) {
        r.ReadListBegin();
        EXPECT_FALSE(r.EndOfList());
        EXPECT_EQ(r.ReadInteger(), 1);
        EXPECT_TRUE(r.EndOfList());
        r.ReadListEnd();
        EXPECT_TRUE(r.AtEnd());
    });
}

TEST(TaggedReader, FailuresNameWhatWasExpectedAndWhere)
{
    auto failure = [](const QString &hex, const std::function<void(TTaggedReader &)> &read) {
        return FailureOf([&] { ReadFromBytes(FromHex(hex), read); });
    };
    EXPECT_EQ(failure(u"02 01 06 00"_s, [](TTaggedReader &r) { r.ReadInteger(); r.ReadInteger(); }),
              u"Unexpected value type 6 at offset 2 where an integer was expected.");
    EXPECT_EQ(failure(u"13 00 00 00 00 00 00 00 00"_s, [](TTaggedReader &r) { r.ReadInteger(); }),
              u"Unexpected value type 19 at offset 0 where an integer was expected.");
    EXPECT_EQ(failure(u"02"_s, [](TTaggedReader &r) { r.ReadListBegin(); }),
              u"Unexpected value type 2 at offset 0 where a list was expected.");
    EXPECT_EQ(failure(u"01 02"_s, [](TTaggedReader &r) { r.ReadListBegin(); r.ReadListEnd(); }),
              u"Unexpected value type 2 at offset 1 where the end of a list was expected.");
    EXPECT_EQ(failure(u"02 05"_s, [](TTaggedReader &r) { r.ReadString(); }),
              u"Unexpected value type 2 at offset 0 where a text was expected.");
    EXPECT_EQ(failure(u"06 00"_s, [](TTaggedReader &r) { r.ReadFloat(); }),
              u"Unexpected value type 6 at offset 0 where a floating-point number was expected.");

    EXPECT_EQ(failure(QString(), [](TTaggedReader &r) { r.ReadInteger(); }),
              u"File ends at offset 0 where an integer was expected.");
    EXPECT_EQ(failure(u"02 01"_s, [](TTaggedReader &r) { r.ReadInteger(); r.ReadBoolean(); }),
              u"File ends at offset 2 where a flag was expected.");
    EXPECT_EQ(failure(u"02 01 04 01 02"_s, [](TTaggedReader &r) { r.ReadInteger(); r.ReadInteger(); }),
              u"File ends at offset 5 inside an integer that starts at offset 2.");
    EXPECT_EQ(failure(u"05 00 00 00"_s, [](TTaggedReader &r) { r.ReadFloat(); }),
              u"File ends at offset 4 inside a floating-point number that starts at offset 0.");
    EXPECT_EQ(failure(u"01"_s, [](TTaggedReader &r) { r.ReadListBegin(); r.EndOfList(); }),
              u"File ends at offset 1 where a value was expected.");
    EXPECT_EQ(failure(u"0A 0B"_s, [](TTaggedReader &r) { r.ReadRaw(6, u"an effect set"_s); }),
              u"File ends at offset 2 inside an effect set that starts at offset 0.");
}

TEST(TaggedReader, LengthsAreCheckedBeforeAnythingIsAllocated)
{
    auto failure = [](const QString &hex) {
        return FailureOf([&] { ReadFromBytes(FromHex(hex), [](TTaggedReader &r) { r.ReadString(); }); });
    };
    EXPECT_EQ(failure(u"06 05 41 42"_s), u"The length of a text at offset 0 is 5 bytes but only 2 remain.");
    EXPECT_EQ(failure(u"0C FF FF FF 7F 41"_s),
              u"The length of a text at offset 0 is 2147483647 bytes but only 1 remain.");
    EXPECT_EQ(failure(u"14 00 00 00 40"_s), u"The length of a text at offset 0 is 1073741824 bytes but only 0 remain.");
    // A wide string's length counts characters of two bytes each.
    EXPECT_EQ(failure(u"12 02 00 00 00 41 00 42"_s),
              u"The length of a text at offset 0 is 4 bytes but only 3 remain.");
    EXPECT_EQ(failure(u"0C FE FF FF FF"_s), u"Negative length -2 of a text at offset 0.");
    EXPECT_EQ(failure(u"0C 01 00"_s), u"File ends at offset 3 inside a text that starts at offset 0.");
}

TEST(TaggedStream, ValuesCrossTheBufferBoundaries)
{
    // Enough values that integers, long strings and floats straddle several 4096-byte
    // buffer edges in both directions.
    const QString longText = QString(9000, u'q');
    const QByteArray bytes = WriteToBytes([&](TTaggedWriter &w) {
        for (int i = 0; i < 3000; ++i) {
            w.WriteInteger(i * 37 - 50000);
            if (i % 250 == 0)
                w.WriteString(longText);
            if (i % 7 == 0)
                w.WriteFloat(i / 8.0);
        }
        EXPECT_GT(w.Position(), 3 * kStreamBufferSize);
    });
    ReadFromBytes(bytes, [&](TTaggedReader &r) {
        for (int i = 0; i < 3000; ++i) {
            ASSERT_EQ(r.ReadInteger(), i * 37 - 50000) << "value " << i;
            if (i % 250 == 0) {
                ASSERT_EQ(r.ReadString(), longText);
            }
            if (i % 7 == 0) {
                ASSERT_EQ(r.ReadFloat(), i / 8.0);
            }
        }
        EXPECT_EQ(r.Position(), r.Size());
    });
}
