#include "army/ArmyExport.h"
#include "ArmyFixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString Word(char16_t letter, int length)
{
    return QString(length, QChar(letter));
}

QList<qsizetype> Lengths(const QStringList &lines)
{
    QList<qsizetype> lengths;
    for (const QString &line : lines)
        lengths << line.size();
    return lengths;
}

} // namespace

TEST(ArmyExportTest, NotesWrapAtSixtyFiveAndCutAtSixtySix)
{
    EXPECT_EQ(WrapExportNotes(QString()), QStringList{QString()});
    EXPECT_EQ(WrapExportNotes(u"Hold the ford."_s), QStringList{u"Hold the ford."_s});
    EXPECT_EQ(Lengths(WrapExportNotes(Word(u'a', 65))), QList<qsizetype>{65});

    // Without a blank: cut at 66.
    const QStringList cut = WrapExportNotes(Word(u'a', 70));
    EXPECT_EQ(cut, (QStringList{Word(u'a', 66), Word(u'a', 4)}));
    // The remainder is the last line, even an empty one.
    EXPECT_EQ(WrapExportNotes(Word(u'a', 66)), (QStringList{Word(u'a', 66), QString()}));
    EXPECT_EQ(WrapExportNotes(Word(u'a', 140)), (QStringList{Word(u'a', 66), Word(u'a', 66), Word(u'a', 8)}));
    EXPECT_EQ(WrapExportNotes(Word(u'a', 66) + u" x"_s), (QStringList{Word(u'a', 66), u"x"_s}));
    EXPECT_EQ(WrapExportNotes(Word(u'a', 60) + u"       "_s), (QStringList{Word(u'a', 60) + u"     "_s, QString()}));
    // A blank leading the notes is the last blank within 65: the first line is empty.
    EXPECT_EQ(WrapExportNotes(u' ' + Word(u'a', 70)), (QStringList{QString(), Word(u'a', 66), Word(u'a', 4)}));

    // The last blank that keeps the line within 65.
    EXPECT_EQ(WrapExportNotes(Word(u'a', 65) + u" cc"_s), (QStringList{Word(u'a', 65), u"cc"_s}));
    EXPECT_EQ(WrapExportNotes(Word(u'a', 60) + u" bbbb"_s), QStringList{Word(u'a', 60) + u" bbbb"_s});
    EXPECT_EQ(WrapExportNotes(Word(u'a', 60) + u" bbbbb"_s), (QStringList{Word(u'a', 60), u"bbbbb"_s}));
    EXPECT_EQ(WrapExportNotes(u"ab cd "_s + Word(u'e', 60) + u" fg"_s),
              (QStringList{u"ab cd"_s, Word(u'e', 60) + u" fg"_s}));
    // Blanks at the start of a continued line are skipped; those before the break stay.
    EXPECT_EQ(WrapExportNotes(Word(u'a', 60) + u"     "_s + Word(u'b', 10)),
              (QStringList{Word(u'a', 60) + u"    "_s, Word(u'b', 10)}));

    // A line break of the notes starts a line.
    EXPECT_EQ(WrapExportNotes(u"one\r\ntwo\nthree\r\r\nfour"_s),
              (QStringList{u"one"_s, u"two"_s, u"three"_s, QString(), u"four"_s}));
}

TEST(ArmyExportTest, GroupTextOrdersArmiesByTypeAndCountsRuns)
{
    TArmyCatalogue c;
    TArmy horde(c.Catalogue);
    horde.SetName(u"Horde"_s);
    horde.SetGroupName(u"Raid"_s);
    horde.SetNotes(u"Strike fast."_s);
    for (TDie *die : {&c.Scout(), &c.Scout(), &c.Archer(), &c.Scout(), &c.Drake()})
        horde.AddDie(*die);
    horde.SetMinorTerrain(1, 3);
    horde.SetMinorTerrain(2, 0);
    TArmy other(c.Catalogue);
    other.SetName(u"Other"_s);
    other.SetGroupName(u"raid"_s);
    TArmy pool(c.Catalogue);
    pool.SetName(u"P\u00f8\u00f8l"_s);
    pool.SetGroupName(u"Raid"_s);
    pool.SetArmyType(ArmyType::SummoningPool);
    pool.AddDie(c.Drake());
    TArmy keep(c.Catalogue);
    keep.SetName(u"Keep"_s);
    keep.SetGroupName(u"Raid"_s);
    keep.SetArmyType(ArmyType::HomeArmy);
    keep.SetMinorTerrain(4, 23);
    const std::vector<const TArmy *> open{&horde, &other, &pool, &keep};

    const QStringList expected{
        u"Raid"_s,
        u""_s,
        u"** Keep:  0/0 Home Army"_s,
        u""_s,
        u""_s,
        u""_s,
        u""_s,
        u"Terrain:  Coastland Temple"_s,
        u""_s,
        u"Feyland Village"_s,
        u""_s,
        u"** Horde:  6/5 Horde Army"_s,
        u""_s,
        u"Strike fast."_s,
        u""_s,
        u"   2 Marsh Scout, Reedfolk Light Troop, 1hp"_s,
        u"   1 Reed Archer, Reedfolk Archer, 3hp"_s,
        u"   1 Marsh Scout, Reedfolk Light Troop, 1hp"_s,
        u"   1 Ash Drake, Emberkin, 5hp"_s,
        u""_s,
        u"Coastland Village, Coastland Bridge"_s,
        u""_s,
        u"** P\u00f8\u00f8l:  0/5 Summoning Pool"_s,
        u""_s,
        u""_s,
        u""_s,
        u"   1 Ash Drake, Emberkin, 5hp"_s,
        u""_s,
    };
    EXPECT_EQ(GroupExportLines(u"Raid"_s, open), expected);
    const QString text = GroupExportText(u"Raid"_s, open);
    EXPECT_EQ(text, expected.join(u"\r\n"_s) + u"\r\n"_s);

    QTemporaryDir folder;
    const QString path = folder.filePath(u"raid.msg"_s);
    ExportGroup(path, u"Raid"_s, open);
    EXPECT_EQ(FileBytes(path), text.toUtf8());
    EXPECT_TRUE(FailureOf([&] {
                    ExportGroup(folder.filePath(u"no/raid.msg"_s), u"Raid"_s, open);
                }).startsWith(u"Cannot write"_s));
}
