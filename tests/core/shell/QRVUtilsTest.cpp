#include "TestSupport.h"
#include "shell/QRVUtils.h"
#include "shell/WindowRecord.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(QRVUtils, NamesNumbersAndCountedLines)
{
    EXPECT_EQ(ForceExtension(u"army.kra"_s, u"krg"_s), u"army.krg");
    EXPECT_EQ(ForceExtension(u"my.army.kra"_s, u"log"_s), u"my.army.log");
    EXPECT_EQ(ForceExtension(u"army"_s, u"kra"_s), u"army.kra");
    EXPECT_EQ(ForceExtension(u"army."_s, u"kra"_s), u"army.kra");
    // A dot in a folder name is not the file's.
    EXPECT_EQ(ForceExtension(u"/home/a.b/army"_s, u"kra"_s), u"/home/a.b/army.kra");
    EXPECT_EQ(ForceExtension(u"C:\\games.old\\Collection"_s, u"log"_s), u"C:\\games.old\\Collection.log");

    EXPECT_EQ(PadNumber(7, 4), u"   7");
    EXPECT_EQ(PadNumber(-12, 4), u" -12");
    EXPECT_EQ(PadNumber(123456, 4), u"123456");

    QStringList lines;
    AddCountedLine(lines, 3, u"Reedfolk"_s);
    AddCountedLine(lines, 0, u"Nobody"_s);
    AddCountedLine(lines, 1200, u"Many"_s);
    EXPECT_EQ(lines, (QStringList{u"   3 Reedfolk"_s, u"1200 Many"_s}));
}

TEST(QRVUtils, BoundedNumberAsksAgainUntilItFits)
{
    QStringList asked;
    QStringList answers{u"twelve"_s, u"0"_s, u"99"_s, u" 5 "_s};
    auto box = [&](const QString &prompt, const QString &text) -> std::optional<QString> {
        asked << prompt + u" ["_s + text + u']';
        if (answers.isEmpty())
            return std::nullopt;
        return answers.takeFirst();
    };
    EXPECT_EQ(AskBoundedNumber(box, u"Enter a number between 1 and 9:"_s, 1, 9, u"3"_s), 5);
    EXPECT_EQ(asked, (QStringList{u"Enter a number between 1 and 9: [3]"_s,
                                  u"Invalid value.  Enter whole number: [twelve]"_s,
                                  u"Value too low.  Enter a number between 1 and 9: [0]"_s,
                                  u"Value too high.  Enter a number between 1 and 9: [99]"_s}));

    asked.clear();
    EXPECT_EQ(AskBoundedNumber(box, u"Enter amount of bonus:"_s, 1, 256, QString()), std::nullopt);
    EXPECT_EQ(asked, QStringList{u"Enter amount of bonus: []"_s});
}

TEST(WindowRecord, SixteenBytesOfBounds)
{
    const QByteArray bytes = WindowRecord::ToBytes(QRect(10, -20, 300, 200));
    EXPECT_EQ(Hex(bytes), u"0A 00 00 00 EC FF FF FF 36 01 00 00 B4 00 00 00");
    EXPECT_EQ(WindowRecord::FromBytes(bytes), QRect(10, -20, 300, 200));
    EXPECT_EQ(WindowRecord::FromBytes(bytes.left(15)), std::nullopt);
    EXPECT_EQ(WindowRecord::FromBytes(bytes + '\0'), std::nullopt);
    // A right edge far from the left one gives no width a window could have.
    EXPECT_EQ(WindowRecord::FromBytes(FromHex(u"FF FF FF FF 00 00 00 00 FF FF FF 7F 10 00 00 00"_s)), std::nullopt);
    EXPECT_EQ(WindowRecord::FromBytes(FromHex(u"00 00 00 80 00 00 00 00 10 00 00 00 10 00 00 00"_s)), std::nullopt);
    // A right edge past 32 bits is kept as the record can hold it.
    EXPECT_EQ(Hex(WindowRecord::ToBytes(QRect(QPoint(2147483000, 0), QPoint(2147483647, 9)))),
              u"78 FD FF 7F 00 00 00 00 00 00 00 80 0A 00 00 00"_s);
}
