#include "TestSupport.h"
#include "shell/ResultMap.h"
#include "shell/SettingsStore.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

std::vector<qint32> Order(const TResultMap &map)
{
    return std::vector<qint32>(map.Positions().begin(), map.Positions().end());
}

const std::vector<qint32> kIdentity{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};

// Positions 1..15 as stored: 15 little-endian 32-bit integers.
QByteArray Stored(const std::vector<qint32> &positions)
{
    QByteArray bytes;
    for (const qint32 position : positions) {
        const auto value = quint32(position);
        for (int b = 0; b < 4; ++b)
            bytes.append(char(quint8(value >> (8 * b))));
    }
    return bytes;
}

} // namespace

TEST(ResultMap, StartsAsTheIdentity)
{
    const TResultMap map;
    EXPECT_EQ(Order(map), kIdentity);
    EXPECT_EQ(map.Position(ResultType::BlackMagic), 1);
    EXPECT_EQ(map.Position(ResultType::RoutBuffer), 15);
    EXPECT_EQ(map.ResultAt(1), ResultType::BlackMagic);
    EXPECT_EQ(map.ResultAt(7), ResultType::Melee);
    EXPECT_EQ(map.ResultAt(15), ResultType::RoutBuffer);
}

TEST(ResultMap, MoveResultColumnShiftsTheColumnsBetween)
{
    TResultMap left;
    left.MoveResultColumn(3, 1);
    EXPECT_EQ(Order(left), (std::vector<qint32>{2, 3, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));

    TResultMap right;
    right.MoveResultColumn(1, 3);
    EXPECT_EQ(Order(right), (std::vector<qint32>{3, 1, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));

    // The whole width, both ways: moving back restores the order.
    TResultMap wide;
    wide.MoveResultColumn(15, 1);
    EXPECT_EQ(Order(wide), (std::vector<qint32>{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 1}));
    EXPECT_EQ(wide.ResultAt(1), ResultType::RoutBuffer);
    wide.MoveResultColumn(1, 15);
    EXPECT_EQ(Order(wide), kIdentity);

    // Moves compose on positions, not on result types.
    TResultMap twice;
    twice.MoveResultColumn(3, 1); // Gold Magic first
    twice.MoveResultColumn(2, 5); // then Black Magic, now second, to fifth
    EXPECT_EQ(Order(twice), (std::vector<qint32>{5, 2, 1, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));

    TResultMap same;
    EXPECT_FALSE(same.MoveResultColumn(4, 4));
    EXPECT_TRUE(same.MoveResultColumn(4, 5));
    EXPECT_TRUE(same.MoveResultColumn(5, 4));
    EXPECT_EQ(Order(same), kIdentity);

    // Anything but two real positions changes nothing.
    for (const auto &[from, to] : std::vector<std::pair<int, int>>{{0, 5}, {5, 0}, {-1, 3}, {3, -1}, {16, 1},
                                                                   {1, 16}, {20, 30}}) {
        TResultMap map;
        map.MoveResultColumn(3, 1);
        map.MoveResultColumn(from, to);
        EXPECT_EQ(Order(map), (std::vector<qint32>{2, 3, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}))
            << from << " to " << to;
    }
}

TEST(ResultMap, ResultAtIsTheInverseOfPosition)
{
    TResultMap map;
    map.MoveResultColumn(3, 1);
    map.MoveResultColumn(14, 6);
    map.MoveResultColumn(2, 11);
    for (int i = 0; i < kResultTypeCount; ++i) {
        const auto result = ResultType(i);
        EXPECT_EQ(map.ResultAt(map.Position(result)), result) << i;
    }
    for (int position = 1; position <= kResultTypeCount; ++position)
        EXPECT_EQ(map.Position(map.ResultAt(position)), position) << position;
}

TEST(ResultMap, SavesSixtyLittleEndianBytes)
{
    TResultMap map;
    map.MoveResultColumn(3, 1);
    TMemorySettingsStore store;
    map.Save(store);
    ASSERT_EQ(store.TypeOf(u"ResultMap"_s), TSettingType::Binary);
    const QByteArray bytes = store.Binary(u"ResultMap"_s);
    EXPECT_EQ(bytes.size(), 60);
    EXPECT_EQ(Hex(bytes), u"02 00 00 00 03 00 00 00 01 00 00 00 04 00 00 00 05 00 00 00 "
                          "06 00 00 00 07 00 00 00 08 00 00 00 09 00 00 00 0A 00 00 00 "
                          "0B 00 00 00 0C 00 00 00 0D 00 00 00 0E 00 00 00 0F 00 00 00"_s);
    EXPECT_EQ(map.ToBytes(), bytes);

    TResultMap loaded;
    loaded.Load(store);
    EXPECT_EQ(Order(loaded), Order(map));
}

TEST(ResultMap, LoadReadsAValidOrder)
{
    const std::vector<qint32> reversed{15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1};
    TMemorySettingsStore store;
    store.WriteBinary(u"ResultMap"_s, Stored(reversed));
    TResultMap map;
    map.Load(store);
    EXPECT_EQ(Order(map), reversed);
    EXPECT_EQ(map.ResultAt(1), ResultType::RoutBuffer);

    // A missing value gives the identity, even over an order moved before.
    TMemorySettingsStore empty;
    map.Load(empty);
    EXPECT_EQ(Order(map), kIdentity);
}

TEST(ResultMap, LoadIgnoresValuesThatAreNotAnOrder)
{
    const std::vector<qint32> valid{2, 3, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    std::vector<qint32> repeated = valid;
    repeated[4] = 2;
    std::vector<qint32> zero = valid;
    zero[0] = 0;
    std::vector<qint32> sixteen = valid;
    sixteen[14] = 16;
    std::vector<qint32> negative = valid;
    negative[3] = -4;

    QByteArray highByte = Stored(valid); // 0x01000002 in the first entry
    highByte[3] = 0x01;

    const std::vector<QByteArray> rejected{
        Stored(valid).left(56),         // one entry short
        Stored(valid) + QByteArray(4, '\0'), // one entry too many
        QByteArray(),
        Stored(repeated),
        Stored(zero),
        Stored(sixteen),
        Stored(negative),
        highByte,
    };
    for (size_t i = 0; i < rejected.size(); ++i) {
        TMemorySettingsStore store;
        store.WriteBinary(u"ResultMap"_s, rejected[i]);
        TResultMap map;
        map.MoveResultColumn(1, 15); // whatever was there, the identity is what stays
        map.Load(store);
        EXPECT_EQ(Order(map), kIdentity) << "case " << i;
    }

    // A value of another type is no order either.
    TMemorySettingsStore text;
    text.WriteText(u"ResultMap"_s, QString::fromLatin1(Stored(valid).toHex()));
    TResultMap fromText;
    fromText.Load(text);
    EXPECT_EQ(Order(fromText), kIdentity);

    TMemorySettingsStore number;
    number.WriteInteger(u"ResultMap"_s, 2);
    TResultMap fromNumber;
    fromNumber.Load(number);
    EXPECT_EQ(Order(fromNumber), kIdentity);

    // Reading bytes directly reports whether they were taken, and keeps the map when not.
    TResultMap direct;
    direct.MoveResultColumn(3, 1);
    EXPECT_FALSE(direct.FromBytes(Stored(repeated)));
    EXPECT_EQ(Order(direct), valid);
    EXPECT_TRUE(direct.FromBytes(Stored(kIdentity)));
    EXPECT_EQ(Order(direct), kIdentity);
}

TEST(ResultMap, SurvivesTheSettingsFile)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(u"settings.json"_s);
    TResultMap map;
    map.MoveResultColumn(1, 3);
    map.MoveResultColumn(15, 8);
    {
        TFileSettingsStore store(path);
        map.Save(store);
    }
    const TFileSettingsStore reopened(path);
    TResultMap loaded;
    loaded.Load(reopened);
    EXPECT_EQ(Order(loaded), (std::vector<qint32>{3, 1, 2, 4, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 8}));
}
