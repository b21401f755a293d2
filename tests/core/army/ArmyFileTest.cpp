#include "army/ArmyFile.h"
#include "ArmyFixture.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Army "A": the scout and race 40's die 1; army "B": no dice, group "G".
const QString kRecordA = u"02 04 06 01 41 01 02 03 02 00 02 28 02 01 00 06 00 02 02 02 24 02 02"
                         " 02 18 02 18 02 18 02 18 06 01 47"_s;
const QString kRecordB = u"02 04 06 01 42 01 00 06 00 02 00 02 24 02 02 02 18 02 18 02 18 02 18 06 01 47"_s;

QStringList Names(const std::vector<std::unique_ptr<TArmy>> &armies)
{
    QStringList names;
    for (const auto &army : armies)
        names << army->Name();
    return names;
}

QByteArray PathList(qint32 version, const QStringList &paths)
{
    TGroupFileRecord group;
    group.Version = version;
    group.ArmyPaths = paths;
    return WriteToBytes([&](TTaggedWriter &writer) { group.Write(writer); });
}

} // namespace

TEST(ArmyFileTest, GroupFilesWriteTheArmiesGivenAsAList)
{
    TArmyCatalogue c;
    TArmy first(c.Catalogue);
    TArmy second(c.Catalogue);
    TArmy third(c.Catalogue);
    first.SetName(u"A"_s);
    first.SetGroupName(u"Group"_s);
    second.SetGroupName(u"group"_s);
    third.SetName(u"C"_s);
    third.SetGroupName(u"Group"_s);
    const std::vector<TArmy *> open{&first, &second, &third};
    const std::vector<TArmy *> members = GroupMembers(open, u"Group"_s);
    ASSERT_EQ(members, (std::vector<TArmy *>{&first, &third})) << "group names match exactly, case and all";
    EXPECT_TRUE(GroupMembers(open, u"GROUP"_s).empty());

    QStringList written;
    const QByteArray two = WriteToBytes([&](TTaggedWriter &writer) {
        WriteGroupStream(writer, {members.begin(), members.end()}, [&](const TArmy &army) { written << army.Name(); });
    });
    EXPECT_EQ(written, (QStringList{u"A"_s, u"C"_s}));
    EXPECT_EQ(two, FromHex(u"02 02 01"_s) + TArmyCatalogue::Record(first) + TArmyCatalogue::Record(third) + '\0');
    // A group of one army keeps the list.
    const QByteArray one = WriteToBytes([&](TTaggedWriter &writer) { WriteGroupStream(writer, {&second}); });
    EXPECT_EQ(one, FromHex(u"02 02 01"_s) + TArmyCatalogue::Record(second) + '\0');
}

TEST(ArmyFileTest, ReadsBothFormats)
{
    TArmyCatalogue c;
    TGroupFile group;
    ReadFromBytes(FromHex(u"02 02 01 "_s + kRecordA + u' ' + kRecordB + u" 00"_s),
                  [&](TTaggedReader &reader) { ReadGroupStream(reader, c.Catalogue, u"/x/y/Mine.KRG"_s, group); });
    EXPECT_EQ(group.Version, 2);
    EXPECT_EQ(Names(group.Armies), (QStringList{u"A"_s, u"B"_s}));
    EXPECT_EQ(group.Lost, 1);
    EXPECT_EQ(group.LostByArmy, (std::vector<int>{1, 0}));
    EXPECT_TRUE(group.ArmyPaths.isEmpty());
    for (const auto &army : group.Armies) {
        EXPECT_EQ(army->GroupFileName, u"/x/y/Mine.KRG");
        EXPECT_TRUE(army->FileName.isEmpty());
        EXPECT_FALSE(army->Modified);
    }
    EXPECT_EQ(c.Used(), (QStringList{u"Marsh Scout=1"_s, u"Coastland Temple (Major)=1"_s}));
    group.Armies.clear();
    EXPECT_TRUE(c.Used().isEmpty());

    // The earlier format: a list of army file paths; ".\" is the group file's folder
    // (its two characters alone: a path of other separators is taken as it stands).
    const QStringList written{u".\\A.KRA"_s, u"/elsewhere/b.kra"_s, u"sub\\c.kra"_s, u"..\\d.kra"_s};
    for (qint32 version : {1, 0, -3}) {
        TGroupFile old;
        ReadFromBytes(PathList(version, written),
                      [&](TTaggedReader &reader) { ReadGroupStream(reader, c.Catalogue, u"/x/y/Mine.KRG"_s, old); });
        EXPECT_EQ(old.Version, version);
        EXPECT_TRUE(old.Armies.empty()) << "reading the list opens no army file";
        EXPECT_EQ(old.ArmyPaths,
                  (QStringList{u"/x/y/A.KRA"_s, u"/elsewhere/b.kra"_s, u"sub\\c.kra"_s, u"..\\d.kra"_s}));
    }

    EXPECT_EQ(ResolveGroupPath(u".\\A.KRA"_s, u"/G.KRG"_s), u"/A.KRA");
    EXPECT_EQ(ResolveGroupPath(u"x.\\A.KRA"_s, u"/G.KRG"_s), u"x.\\A.KRA");
    EXPECT_EQ(ResolveGroupPath(u".\\Spring\\A.KRA"_s, u"/g/G.KRG"_s), u"/g/Spring/A.KRA");

    // As it stands: a path list keeps its version and paths; records are version 2.
    TGroupFileRecord raw;
    ReadFromBytes(PathList(0, written), [&](TTaggedReader &reader) { raw = TGroupFileRecord::Read(reader); });
    EXPECT_TRUE(raw.IsPathList());
    EXPECT_EQ(raw.ArmyPaths, written);
    EXPECT_EQ(WriteToBytes([&](TTaggedWriter &writer) { raw.Write(writer); }), PathList(0, written));
    ReadFromBytes(FromHex(u"02 02 01 "_s + kRecordB + u" 00"_s),
                  [&](TTaggedReader &reader) { raw = TGroupFileRecord::Read(reader); });
    EXPECT_EQ(raw.Version, 2);
    ASSERT_EQ(raw.Armies.size(), 1U);
    EXPECT_EQ(Hex(WriteToBytes([&](TTaggedWriter &writer) { raw.Write(writer); })),
              Hex(FromHex(u"02 02 01 "_s + kRecordB + u" 00"_s)));
}

TEST(ArmyFileTest, DamageKeepsTheArmiesReadBefore)
{
    TArmyCatalogue c;
    TGroupFile group;
    const QString damaged = u"02 02 01 "_s + kRecordA + u" 02 04 06 01 43 01 02 03 02 01 00 06 00 02 09"_s;
    EXPECT_EQ(FailureOf([&] {
                  ReadFromBytes(FromHex(damaged), [&](TTaggedReader &reader) {
                      ReadGroupStream(reader, c.Catalogue, u"g.krg"_s, group);
                  });
              }),
              u"Army type 9 is out of range at offset 50.");
    EXPECT_EQ(Names(group.Armies), QStringList{u"A"_s});
    EXPECT_EQ(c.Used(), QStringList{u"Marsh Scout=1"_s}) << "the damaged army counts nothing";

    // A group file of a later version than the program's is not read at all.
    TGroupFile later;
    EXPECT_EQ(FailureOf([&] {
                  ReadFromBytes(FromHex(u"02 03 01 "_s + kRecordB + u" 00"_s), [&](TTaggedReader &reader) {
                      ReadGroupStream(reader, c.Catalogue, u"g.krg"_s, later);
                  });
              }),
              u"Group file version 3 is newer than 2 at offset 0.");
    EXPECT_TRUE(later.Armies.empty());
    EXPECT_EQ(FailureOf([&] {
                  ReadFromBytes(FromHex(u"02 03 01 00"_s), [](TTaggedReader &reader) { TGroupFileRecord::Read(reader); });
              }),
              u"Group file version 3 is newer than 2 at offset 0.");
}

TEST(ArmyFileTest, OpeningAndSavingFiles)
{
    QTemporaryDir folder;
    const auto path = [&](const QString &name) { return folder.filePath(name); };
    TArmyCatalogue c;

    TArmy fresh(c.Catalogue);
    fresh.Modified = true;
    SaveArmyFile(fresh, path(u"New Army.KRA"_s));
    EXPECT_EQ(Hex(FileBytes(path(u"New Army.KRA"_s))), Hex(TArmyCatalogue::Record(fresh)));
    EXPECT_EQ(fresh.FileName, path(u"New Army.KRA"_s));
    EXPECT_FALSE(fresh.Modified);

    WriteFile(path(u"a.kra"_s), FromHex(kRecordA));
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"other"_s));
    WriteFile(path(u"other/b.kra"_s), FromHex(kRecordB));
    WriteFile(path(u"old.krg"_s), PathList(1, {u".\\a.kra"_s, path(u"other/b.kra"_s)}));
    QStringList statuses;
    TGroupFile group;
    OpenGroupFile(path(u"old.krg"_s), c.Catalogue, group, [&](const QString &text) { statuses << text; });
    EXPECT_EQ(statuses, (QStringList{u"Loading "_s + path(u"a.kra"_s) + u"..."_s,
                                     u"Loading "_s + path(u"other/b.kra"_s) + u"..."_s}));
    EXPECT_EQ(Names(group.Armies), (QStringList{u"A"_s, u"B"_s}));
    EXPECT_EQ(group.Lost, 1);
    EXPECT_EQ(group.LostByArmy, (std::vector<int>{1, 0}));
    EXPECT_EQ(group.Armies[0]->FileName, path(u"a.kra"_s));
    EXPECT_TRUE(group.Armies[0]->GroupFileName.isEmpty());

    // Saving a group writes the armies given, in order, and only then marks them saved.
    std::vector<TArmy *> armies{group.Armies[1].get(), group.Armies[0].get()};
    for (TArmy *army : armies)
        army->Modified = true;
    EXPECT_TRUE(FailureOf([&] { SaveGroupFile(path(u"no/such/G.KRG"_s), armies); }).startsWith(u"Cannot write"_s));
    EXPECT_TRUE(armies[0]->Modified);
    EXPECT_TRUE(armies[0]->GroupFileName.isEmpty());
    statuses.clear();
    SaveGroupFile(path(u"G.KRG"_s), armies, [&](const QString &text) { statuses << text; });
    EXPECT_EQ(statuses, (QStringList{u"Writing army data for B..."_s, u"Writing army data for A..."_s}));
    EXPECT_EQ(Hex(FileBytes(path(u"G.KRG"_s))), Hex(FromHex(u"02 02 01 "_s + kRecordB +
                                                            u" 02 04 06 01 41 01 02 03 02 00 00 06 00 02 02 02 24 02 02"
                                                            " 02 18 02 18 02 18 02 18 06 01 47 00"_s)));
    for (TArmy *army : armies) {
        EXPECT_FALSE(army->Modified);
        EXPECT_EQ(army->GroupFileName, path(u"G.KRG"_s));
    }

    TGroupFile reread;
    OpenGroupFile(path(u"G.KRG"_s), c.Catalogue, reread);
    EXPECT_EQ(Names(reread.Armies), (QStringList{u"B"_s, u"A"_s}));
    EXPECT_EQ(reread.Lost, 0);

    // An army file of a path list that is damaged or missing is named; the armies
    // loaded before it stay loaded.
    WriteFile(path(u"cut.kra"_s), FromHex(kRecordB).left(19));
    WriteFile(path(u"bad.krg"_s), PathList(1, {u".\\a.kra"_s, u".\\cut.kra"_s, u".\\a.kra"_s}));
    TGroupFile bad;
    EXPECT_EQ(FailureOf([&] { OpenGroupFile(path(u"bad.krg"_s), c.Catalogue, bad); }),
              path(u"cut.kra"_s) + u": File ends at offset 19 where an integer was expected."_s);
    EXPECT_EQ(Names(bad.Armies), QStringList{u"A"_s});
    WriteFile(path(u"gone.krg"_s), PathList(0, {u".\\gone.kra"_s}));
    TGroupFile gone;
    EXPECT_TRUE(FailureOf([&] {
                    OpenGroupFile(path(u"gone.krg"_s), c.Catalogue, gone);
                }).startsWith(u"Cannot open \""_s + path(u"gone.kra"_s)));

    int lost = -1;
    const std::unique_ptr<TArmy> single = OpenArmyFile(path(u"a.kra"_s), c.Catalogue, lost);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(single->FileName, path(u"a.kra"_s));
    EXPECT_EQ(LostDiceMessage(lost), u"1 dice lost.");
}
