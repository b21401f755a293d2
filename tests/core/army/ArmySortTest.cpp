#include "army/ArmySort.h"
#include "ArmyFixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList Keys(const std::vector<TDie *> &dice, ArmySortOrder order)
{
    QStringList keys;
    for (const TDie *die : dice)
        keys << ArmySortKey(*die, order);
    return keys;
}

} // namespace

TEST(ArmySortTest, KeysOfEveryOrder)
{
    TArmyCatalogue c;
    const TDie &witch = c.Witch(); // race 3, Mage (6), 2hp
    const QStringList expected{
        u"1   3    6    2 Bog Witch"_s, u"1   3    2    6 Bog Witch"_s, u"1   6    2    3 Bog Witch"_s,
        u"1   6    3    2 Bog Witch"_s, u"1   2    6    3 Bog Witch"_s, u"1   2    3    6 Bog Witch"_s,
        u"1            3 Bog Witch"_s,
    };
    for (int tag = 0; tag < VocabularyCount<ArmySortOrder>(); ++tag)
        EXPECT_EQ(ArmySortKey(witch, ArmySortOrder(tag)), expected[tag]) << tag;

    c.Witch().Drawer = u"Box 2"_s;
    EXPECT_EQ(ArmySortKey(witch, ArmySortOrder::DrawerRace), u"1Box 2       3 Bog Witch");
    c.Witch().Drawer = u"Top Shelf A"_s; // longer than eight: not cut
    EXPECT_EQ(ArmySortKey(witch, ArmySortOrder::DrawerRace), u"1Top Shelf A    3 Bog Witch");
    // Dragonkin come when summoned and sort after the others.
    EXPECT_EQ(ArmySortKey(c.Drake(), ArmySortOrder::RaceProfession), u"3   7    1    5 Ash Drake");
    EXPECT_EQ(ArmySortKey(c.Die(25, 11), ArmySortOrder::HealthRace), u"3  10   25    1 Wyrm 25-11");

    EXPECT_EQ(SortCaption(ArmySortOrder::RaceProfession), u"Race and Profession");
    EXPECT_EQ(SortCaption(ArmySortOrder::DrawerRace), u"Drawer and Race");
}

TEST(ArmySortTest, StableSortWithSummonedLast)
{
    TArmyCatalogue c;
    TRace &reedfolk = *c.Catalogue.FindRaceByID(3);
    TRace &emberkin = *c.Catalogue.FindRaceByID(7);
    // A second "Marsh Scout" of the same race, profession and health: an equal key.
    TDie &twin = AddDie(reedfolk, u"Marsh Scout"_s, 1, Profession::LightTroop);
    TDie &spark = AddDie(emberkin, u"Spark"_s, 1, Profession::None);

    const std::vector<TDie *> dice{&c.Drake(), &twin, &spark, &c.Archer(), &c.Scout(), &c.Witch()};
    const std::vector<TDie *> byHealth = SortedDice(dice, ArmySortOrder::HealthProfession);
    EXPECT_EQ(byHealth, (std::vector<TDie *>{&twin, &c.Scout(), &c.Witch(), &c.Archer(), &spark, &c.Drake()}))
        << Keys(byHealth, ArmySortOrder::HealthProfession).join(u" | "_s).toStdString();
    // The twins keep the order they had.
    const std::vector<TDie *> swapped{&c.Scout(), &c.Drake(), &twin};
    EXPECT_EQ(SortedDice(swapped, ArmySortOrder::RaceHealth), (std::vector<TDie *>{&c.Scout(), &twin, &c.Drake()}));

    // Keys compare by code unit: upper case before lower case.
    c.Archer().Drawer = u"b"_s;
    c.Witch().Drawer = u"C"_s;
    c.Scout().Drawer = u"b"_s;
    EXPECT_EQ(SortedDice({&c.Archer(), &c.Scout(), &c.Witch()}, ArmySortOrder::DrawerRace),
              (std::vector<TDie *>{&c.Witch(), &c.Scout(), &c.Archer()}));
    EXPECT_TRUE(SortedDice({}, ArmySortOrder::DrawerRace).empty());

    TArmy army(c.Catalogue);
    for (TDie *die : dice)
        army.AddDie(*die);
    army.Modified = false;
    army.Analyzed = true;
    SortArmy(army, ArmySortOrder::HealthProfession);
    EXPECT_EQ(army.Dice(), byHealth);
    EXPECT_TRUE(army.Modified);
    EXPECT_TRUE(army.Analyzed) << "the same dice give the same analysis";
    EXPECT_EQ(army.HealthText(), u"7/6");
    EXPECT_EQ(c.Used(), (QStringList{u"Marsh Scout=1"_s, u"Reed Archer=1"_s, u"Bog Witch=1"_s, u"Marsh Scout=1"_s,
                                     u"Ash Drake=1"_s, u"Spark=1"_s}));
}
