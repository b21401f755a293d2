#include "ArmyFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString kNewArmy = u"02 04 06 08 4E 65 77 20 41 72 6D 79 01 00 06 00 02 02 02 24 02 02"
                         " 02 18 02 18 02 18 02 18 06 06 28 6E 6F 6E 65 29"_s;

QStringList Names(const TArmy &army)
{
    QStringList names;
    for (const TDie *die : army.Dice())
        names << die->Name;
    return names;
}

} // namespace

TEST(ArmyDataTest, NewArmyIsTheThirtyEightBytesAndCountsNothing)
{
    TArmyCatalogue c;
    TArmy army(c.Catalogue);
    const QByteArray bytes = TArmyCatalogue::Record(army);
    EXPECT_EQ(bytes.size(), 38);
    EXPECT_EQ(Hex(bytes), kNewArmy);
    EXPECT_FALSE(army.Modified);
    EXPECT_EQ(army.HealthText(), u"0/0");
    EXPECT_EQ(army.GetMinorTerrain(1), 24);
    EXPECT_EQ(army.GetMinorTerrain(0), 24);
    EXPECT_EQ(army.GetMinorTerrain(5), 24);
    EXPECT_TRUE(c.Used().isEmpty()) << "a horde without minor terrains uses no terrain";
}

TEST(ArmyDataTest, DiceCountAsUsedAndRemovingTakesTheFirstEntry)
{
    TArmyCatalogue c;
    TArmy army(c.Catalogue);
    army.Analyzed = true;
    army.AddDie(c.Scout());
    EXPECT_TRUE(army.Modified);
    EXPECT_FALSE(army.Analyzed);
    army.AddDie(c.Archer());
    army.AddDie(c.Scout());
    army.AddDie(c.Drake());
    EXPECT_EQ(army.HealthText(), u"5/5");
    EXPECT_EQ(c.Used(), (QStringList{u"Marsh Scout=2"_s, u"Reed Archer=1"_s, u"Ash Drake=1"_s}));

    army.Modified = false;
    army.Analyzed = true;
    EXPECT_FALSE(army.RemoveDie(c.Witch()));
    EXPECT_FALSE(army.Modified) << "removing a die that is not there changes nothing";
    EXPECT_TRUE(army.Analyzed);
    ASSERT_TRUE(army.RemoveDie(c.Scout()));
    EXPECT_EQ(Names(army), (QStringList{u"Reed Archer"_s, u"Marsh Scout"_s, u"Ash Drake"_s}));
    EXPECT_TRUE(army.Modified);
    EXPECT_FALSE(army.Analyzed);
    EXPECT_EQ(army.HealthText(), u"4/5");
    EXPECT_EQ(c.Used(), (QStringList{u"Marsh Scout=1"_s, u"Reed Archer=1"_s, u"Ash Drake=1"_s}));

    army.RemoveAt(2);
    army.RemoveAt(7); // past the end: nothing
    army.RemoveAt(-1);
    EXPECT_EQ(army.HealthText(), u"4/0");
    EXPECT_EQ(Names(army), (QStringList{u"Reed Archer"_s, u"Marsh Scout"_s}));

    // The editors may change a die or its race while the army holds it; the totals follow.
    const int scoutHealth = c.Scout().Health();
    c.Scout().SetHealth(scoutHealth + 2);
    EXPECT_EQ(army.Health(), 6);
    const RaceType reedfolk = c.Scout().Race().Type;
    c.Scout().Race().Type = RaceType::Dragonkin;
    EXPECT_EQ(army.HealthText(), u"0/6");
    c.Scout().Race().Type = reedfolk;
    c.Scout().SetHealth(scoutHealth);
    EXPECT_EQ(army.HealthText(), u"4/0");

    int cursor = 5;
    QStringList walked;
    for (TDie *die = army.FirstDie(cursor); die; die = army.NextDie(cursor))
        walked << die->Name;
    EXPECT_EQ(walked, Names(army));
    EXPECT_EQ(cursor, 2);

    // A new order must hold the very same entries, or health and counts would drift.
    EXPECT_EQ(FailureOf([&] {
                  army.Reorder({&c.Archer(), &c.Archer()});
              }),
              u"The new order of \"New Army\" does not hold the army's dice.");
    army.Modified = false;
    army.Reorder({&c.Scout(), &c.Archer()});
    EXPECT_EQ(Names(army), (QStringList{u"Marsh Scout"_s, u"Reed Archer"_s}));
    EXPECT_TRUE(army.Modified);
}

TEST(ArmyDataTest, ArmyTypeAndTerrainsCountTheirUse)
{
    TArmyCatalogue c;
    TArmy army(c.Catalogue);
    army.SetMajorTerrain(5);
    EXPECT_EQ(c.MajorUsed(5), 0U) << "a horde stands on no major terrain";
    army.SetArmyType(ArmyType::HomeArmy);
    EXPECT_EQ(c.MajorUsed(5), 1U);
    army.SetArmyType(ArmyType::CampaignArmy);
    EXPECT_EQ(c.MajorUsed(5), 1U);
    army.SetMajorTerrain(47);
    EXPECT_EQ(c.Used(), QStringList{u"Feyland Vortex (Major)=1"_s});
    army.SetArmyType(ArmyType::HordeArmy);
    EXPECT_TRUE(c.Used().isEmpty());
    army.SetArmyType(ArmyType::HomeArmy);

    army.SetMinorTerrain(1, 3);
    army.SetMinorTerrain(4, 3);
    army.SetMinorTerrain(2, 23);
    army.SetMinorTerrain(0, 7); // only k = 1..4 exist
    army.SetMinorTerrain(5, 7);
    EXPECT_EQ(c.Used(), (QStringList{u"Coastland Village (Minor)=2"_s, u"Feyland Village (Minor)=1"_s,
                                     u"Feyland Vortex (Major)=1"_s}));
    army.SetMinorTerrain(4, 24);
    EXPECT_EQ(c.MinorUsed(3), 1U);
    EXPECT_EQ(army.GetMinorTerrain(4), 24);

    army.Modified = false;
    EXPECT_EQ(FailureOf([&] { army.SetMajorTerrain(48); }), u"There is no major terrain 48.");
    EXPECT_EQ(FailureOf([&] { army.SetMinorTerrain(1, 25); }), u"There is no minor terrain 25.");
    EXPECT_EQ(FailureOf([&] { army.SetArmyType(ArmyType(5)); }), u"There is no army type 5.");
    EXPECT_EQ(army.MajorTerrain(), 47);
    EXPECT_FALSE(army.Modified);

    for (auto set : std::initializer_list<std::function<void()>>{
             [&] { army.SetName(u"X"_s); }, [&] { army.SetNotes(u"n"_s); }, [&] { army.SetGroupName(u"G"_s); },
             [&] { army.SetBattleSize(60); }, [&] { army.SetArmyType(ArmyType::SummoningPool); }}) {
        army.Modified = false;
        army.Analyzed = true;
        set();
        EXPECT_TRUE(army.Modified);
        EXPECT_TRUE(army.Analyzed) << "only a change of the dice clears the analysis";
    }
    EXPECT_EQ(c.MajorUsed(47), 0U);
}

TEST(ArmyDataTest, ReleaseGivesEverythingBackOnce)
{
    TArmyCatalogue c;
    TArmy other(c.Catalogue);
    other.AddDie(c.Scout());
    other.SetArmyType(ArmyType::HomeArmy);
    {
        TArmy army(c.Catalogue);
        army.AddDie(c.Scout());
        army.AddDie(c.Drake());
        army.SetArmyType(ArmyType::HomeArmy);
        army.SetMinorTerrain(2, 0);
        EXPECT_EQ(c.Used(), (QStringList{u"Marsh Scout=2"_s, u"Ash Drake=1"_s, u"Coastland Bridge (Minor)=1"_s,
                                         u"Coastland Temple (Major)=2"_s}));
        army.Release();
        // Released, the army keeps its contents but counts nothing, whatever changes.
        EXPECT_EQ(army.Dice().size(), 2U);
        army.AddDie(c.Archer());
        army.SetMinorTerrain(3, 9);
        army.SetArmyType(ArmyType::HordeArmy);
        army.RemoveDie(c.Scout());
        EXPECT_EQ(army.HealthText(), u"3/5");
        EXPECT_EQ(c.Used(), (QStringList{u"Marsh Scout=1"_s, u"Coastland Temple (Major)=1"_s}));
    }
    EXPECT_EQ(c.Used(), (QStringList{u"Marsh Scout=1"_s, u"Coastland Temple (Major)=1"_s}))
        << "the destructor must not give back a second time";
}

TEST(ArmyDataTest, ReadsEveryVersion)
{
    TArmyCatalogue c;
    int lost = -1;

    // Version 1: name "Old", three dice of which the catalogue lacks race 40, notes;
    // everything else as in a new army.
    auto v1 = c.Read(FromHex(u"02 01 06 03 4F 6C 64 01 02 03 02 00 02 28 02 01 02 03 02 01 00 06 01 6E"_s), &lost);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(v1->Name(), u"Old");
    EXPECT_EQ(Names(*v1), (QStringList{u"Marsh Scout"_s, u"Reed Archer"_s}));
    EXPECT_EQ(v1->Notes(), u"n");
    EXPECT_EQ(v1->Type(), ArmyType::HordeArmy);
    EXPECT_EQ(v1->BattleSize(), 36U);
    EXPECT_EQ(v1->MajorTerrain(), 2);
    EXPECT_EQ(v1->GroupName(), u"(none)");
    EXPECT_FALSE(v1->Modified);
    EXPECT_EQ(TArmyCatalogue::Record(*v1).right(22), FromHex(kNewArmy).right(22));
    v1.reset();
    EXPECT_TRUE(c.Used().isEmpty());
    // Any version below 2 has that layout.
    for (const QString &version : {u"00"_s, u"FF"_s}) {
        auto old = c.Read(FromHex(u"02 "_s + version + u" 06 01 4F 01 02 03 02 00 00 06 00"_s), &lost);
        EXPECT_EQ(Names(*old), QStringList{u"Marsh Scout"_s});
        EXPECT_EQ(old->Type(), ArmyType::HordeArmy);
    }

    // Version 2: a campaign army; the slots 0 and 3 are dragons, 10 and -1 nothing, 4
    // names race 27, which the catalogue lacks.
    auto v2 = c.Read(FromHex(u"02 02 06 03 4F 6C 64 01 02 03 02 00 00 06 00 02 01"
                             " 02 00 02 03 02 0A 02 FF 02 04"
                             " 02 05 02 03 02 18 02 18 02 17 06 01 47"_s),
                     &lost);
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(Names(*v2), (QStringList{u"Marsh Scout"_s, u"Wyrm 25-11"_s, u"Wyrm 26-10"_s}));
    EXPECT_EQ(v2->HealthText(), u"1/16");
    EXPECT_EQ(v2->Type(), ArmyType::CampaignArmy);
    EXPECT_EQ(v2->BattleSize(), 36U);
    EXPECT_EQ(v2->GroupName(), u"G");
    EXPECT_EQ(c.Used(),
              (QStringList{u"Marsh Scout=1"_s, u"Wyrm 26-10=1"_s, u"Wyrm 25-11=1"_s, u"Coastland Village (Minor)=1"_s,
                           u"Feyland Village (Minor)=1"_s, u"Flatland Standing Stones (Major)=1"_s}));
    // Saved, the dragons are ordinary entries of a version-4 record.
    EXPECT_EQ(Hex(TArmyCatalogue::Record(*v2)),
              u"02 04 06 03 4F 6C 64 01 02 03 02 00 02 19 02 0B 02 1A 02 0A 00 06 00 02 01 02 24"
              " 02 05 02 03 02 18 02 18 02 17 06 01 47");
    v2.reset();
    EXPECT_TRUE(c.Used().isEmpty());

    // Version 3: a home army with no battle size in the file.
    auto v3 = c.Read(FromHex(u"02 03 06 01 41 01 00 06 00 02 00 02 1A 02 00 02 18 02 18 02 18 06 01 47"_s), &lost);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(v3->BattleSize(), 36U);
    EXPECT_EQ(v3->Type(), ArmyType::HomeArmy);
    EXPECT_EQ(c.Used(), (QStringList{u"Coastland Bridge (Minor)=1"_s, u"Coastland Grove (Major)=1"_s}));
}

TEST(ArmyDataTest, VersionFourGoesRoundExactly)
{
    TArmyCatalogue c;
    TArmy army(c.Catalogue);
    army.SetName(u"\u00c6lfr\u00f8d's Host"_s);
    army.AddDie(c.Witch());
    army.AddDie(c.Drake());
    army.AddDie(c.Witch());
    army.SetNotes(u"Line one\r\nLine two"_s);
    army.SetArmyType(ArmyType::PromotionPool);
    army.SetBattleSize(std::numeric_limits<quint32>::max());
    army.SetMajorTerrain(40);
    army.SetMinorTerrain(3, 11);
    army.SetGroupName(u"Group"_s);
    const QByteArray bytes = TArmyCatalogue::Record(army);
    // Above 2147483647 the battle size takes the 64-bit form.
    EXPECT_TRUE(Hex(bytes).contains(u"13 FF FF FF FF 00 00 00 00 02 28"_s)) << Hex(bytes).toStdString();

    auto again = c.Read(bytes);
    EXPECT_EQ(TArmyCatalogue::Record(*again), bytes);
    EXPECT_EQ(again->Name(), army.Name());
    EXPECT_EQ(again->Notes(), army.Notes());
    EXPECT_EQ(again->BattleSize(), std::numeric_limits<quint32>::max());
    EXPECT_EQ(again->GetMinorTerrain(3), 11);
    EXPECT_EQ(again->HealthText(), u"4/5");
    EXPECT_FALSE(again->Modified);

    // A released army reads again into counting.
    again->Release();
    EXPECT_EQ(c.Used(), (QStringList{u"Bog Witch=2"_s, u"Ash Drake=1"_s, u"Highland Village (Minor)=1"_s}));
    ReadFromBytes(bytes, [&](TTaggedReader &reader) { again->ReadRecord(reader); });
    EXPECT_EQ(c.Used(), (QStringList{u"Bog Witch=4"_s, u"Ash Drake=2"_s, u"Highland Village (Minor)=2"_s}));
}

TEST(ArmyDataTest, DamagedRecordsFailWithTheOffsetAndChangeNothing)
{
    TArmyCatalogue c;
    const QString head = u"02 04 06 00 01 02 03 02 00 00 06 00 "_s; // type at offset 12
    const QList<std::pair<QString, QString>> cases{
        {u"02 05"_s, u"Army record version 5 is newer than 4 at offset 0."_s},
        {head + u"02 05"_s, u"Army type 5 is out of range at offset 12."_s},
        {head + u"02 02 02 FF"_s, u"Battle size -1 is out of range at offset 14."_s},
        {head + u"02 02 04 00 00 00 80"_s, u"Battle size -2147483648 is out of range at offset 14."_s},
        {head + u"02 02 02 24 02 30"_s, u"Major terrain 48 is out of range at offset 16."_s},
        {head + u"02 02 02 24 02 FF"_s, u"Major terrain -1 is out of range at offset 16."_s},
        {head + u"02 02 02 24 02 00 02 18 02 19"_s, u"Minor terrain 25 is out of range at offset 20."_s},
        {u"02 04 06 00 01 06 00"_s, u"Unexpected value type 6 at offset 5 where an integer was expected."_s},
        {u"02 04 06 00 01 02 03"_s, u"File ends at offset 7 where an integer was expected."_s},
        {kNewArmy.left(kNewArmy.size() - 3), u"The length of a text at offset 30 is 6 bytes but only 5 remain."_s},
    };
    for (const auto &[hex, message] : cases) {
        TArmy army(c.Catalogue);
        EXPECT_EQ(
            FailureOf([&] { ReadFromBytes(FromHex(hex), [&](TTaggedReader &reader) { army.ReadRecord(reader); }); }),
            message)
            << hex.toStdString();
        EXPECT_EQ(army.Dice().size(), 0U);
        EXPECT_EQ(army.Name(), u"New Army");
        EXPECT_TRUE(c.Used().isEmpty()) << hex.toStdString();
    }
}

TEST(ArmyDataTest, TerrainNames)
{
    EXPECT_EQ(MajorTerrainName(0), u"Coastland City");
    EXPECT_EQ(MajorTerrainName(2), u"Coastland Temple");
    EXPECT_EQ(MajorTerrainName(13), u"Swampland Standing Stones");
    EXPECT_EQ(MajorTerrainName(24), u"Coastland Castle");
    EXPECT_EQ(MajorTerrainName(47), u"Feyland Vortex");
    EXPECT_EQ(MajorTerrainName(48), QString());
    EXPECT_EQ(MinorTerrainName(0), u"Coastland Bridge");
    EXPECT_EQ(MinorTerrainName(23), u"Feyland Village");
    EXPECT_EQ(MinorTerrainName(24), u"(not used)");
    EXPECT_EQ(MinorTerrainName(-1), QString());
    // The same names as the inventory's terrain items.
    TArmyCatalogue c;
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(MajorTerrainName(i), c.Catalogue.MajorTerrain(i)->Name);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(MinorTerrainName(i), c.Catalogue.MinorTerrain(i)->Name);
}
