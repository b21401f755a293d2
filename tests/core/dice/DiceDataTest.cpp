#include "TestSupport.h"
#include "dice/Catalogue.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TRace &AddRace(TCatalogue &catalogue, qint32 id, const QString &name, RaceType type = RaceType::NormalUnits)
{
    auto race = std::make_unique<TRace>(catalogue, id, name);
    race->Type = type;
    return catalogue.AppendRace(std::move(race));
}

QStringList FaceTexts(const TDie &die)
{
    QStringList texts;
    for (int i = 0; i < die.FaceCount(); ++i)
        texts << die.FaceText(i);
    return texts;
}

class TRecordingObserver : public TInventoryObserver
{
public:
    bool InventoryActive() const override { return Active; }
    void ItemChanged(TInventoryData &item) override { Events << u"changed "_s + item.Name; }
    void LimitExceeded(TInventoryData &item) override { Events << u"exceeded "_s + item.Name; }

    bool Active = false;
    QStringList Events;
};

} // namespace

TEST(Die, NewDieAndItsFaces)
{
    TCatalogue catalogue;
    TRace &race = AddRace(catalogue, 1, u"Reedfolk"_s);
    TDie die(race);
    EXPECT_EQ(die.Name, u"New Unit");
    EXPECT_EQ(die.ID(), -1);
    EXPECT_EQ(die.Health(), 1);
    EXPECT_EQ(die.GetProfession(), Profession::Cavalry);
    EXPECT_EQ(die.Price(), 2);
    EXPECT_EQ(FaceTexts(die),
              (QStringList{u"1 ID"_s, u"1 Move"_s, u"1 Move"_s, u"1 Move"_s, u"1 Move"_s, u"1 Move"_s}));

    // Growing adds "Save" faces of count 1; shrinking keeps the first faces, and growing
    // again does not bring the dropped faces back.
    die.SetFace(5, BasicIcon::Melee, 3);
    die.SetFaceCount(8);
    EXPECT_EQ(FaceTexts(die).mid(5), (QStringList{u"3 Melee"_s, u"1 Save"_s, u"1 Save"_s}));
    die.SetFaceCount(4);
    die.SetFaceCount(6);
    EXPECT_EQ(FaceTexts(die),
              (QStringList{u"1 ID"_s, u"1 Move"_s, u"1 Move"_s, u"1 Move"_s, u"1 Save"_s, u"1 Save"_s}));

    EXPECT_EQ(FailureOf([&] { die.FaceSymbol(6); }), u"\"New Unit\" has 6 faces.  Index 6 is invalid.");
    EXPECT_EQ(FailureOf([&] { die.SetFace(-1, 0, 1); }), u"\"New Unit\" has 6 faces.  Index -1 is invalid.");
    EXPECT_EQ(FailureOf([&] { die.SetFaceCount(14); }), u"\"New Unit\" cannot have 14 faces; a die has at most 13.");

    // A face whose symbol is not in the table has no text.
    die.SetFace(1, 99, 2);
    EXPECT_EQ(die.FaceText(1), QString());

    die.AssignID(4);
    EXPECT_EQ(FailureOf([&] { die.AssignID(5); }), u"Cannot assign a new ID to \"New Unit\".");
    EXPECT_EQ(die.ID(), 4);

    // Counts and health are kept in 16 bits and a byte, as the file keeps them.
    die.SetFace(0, BasicIcon::ID, 65537);
    EXPECT_EQ(die.FaceSymbolCount(0), 1);
    die.SetHealth(258);
    EXPECT_EQ(die.Health(), 2);
}

TEST(Die, CopiesAndTexts)
{
    TCatalogue catalogue;
    TRace &race = AddRace(catalogue, 1, u"Reedfolk"_s);
    TRace &other = AddRace(catalogue, 2, u"Stonekin"_s);
    TDie &die = AddDie(race, u"Marsh Scout"_s, 3, Profession::LightTroop);
    die.UltraRare = true;
    die.SetFaceCount(8);
    die.SetFace(7, BasicIcon::Missile, 2);

    TDie copy(die, other);
    EXPECT_EQ(copy.Name, u"Marsh Scout");
    EXPECT_EQ(copy.ID(), -1);
    EXPECT_FALSE(copy.UltraRare);
    EXPECT_EQ(copy.Health(), 3);
    EXPECT_EQ(copy.GetProfession(), Profession::LightTroop);
    EXPECT_EQ(FaceTexts(copy), FaceTexts(die));
    EXPECT_EQ(&copy.Race(), &other);

    EXPECT_EQ(die.LongText(), u"Marsh Scout of Reedfolk, 3hp Light Troop.");
    EXPECT_EQ(die.ShortText(), u"Marsh Scout, Light Troop");
    EXPECT_EQ(die.GroupText(), u"Reedfolk");
    EXPECT_EQ(die.KindText(), u"Light Troop");
    EXPECT_EQ(die.SizeText(), u"3");
    EXPECT_EQ(die.ListText(), u"Marsh Scout, Reedfolk Light Troop, 3hp");
    EXPECT_FALSE(die.IsVirtual());
    die.SetProfession(Profession::None);
    EXPECT_EQ(die.ListText(), u"Marsh Scout, Reedfolk, 3hp");

    // Through the base, so that the slots are the ones callers reach.
    const TInventoryData &item = die;
    EXPECT_EQ(item.LongText(), u"Marsh Scout of Reedfolk, 3hp (none).");
    const TInventoryData &plain = race;
    EXPECT_EQ(plain.LongText(), u"Reedfolk");
    EXPECT_EQ(plain.ListText(), u"Reedfolk");
    EXPECT_EQ(plain.GroupText(), QString());
    EXPECT_EQ(plain.DefaultPrice(), 4);

    // Health 1 to 5 as the game prices them; 0 as the smallest, above 5 as the largest.
    QList<qint32> prices;
    for (int health : {0, 1, 2, 3, 4, 5, 6, 10}) {
        die.SetHealth(health);
        prices << die.DefaultPrice();
    }
    EXPECT_EQ(prices, (QList<qint32>{1, 1, 4, 12, 12, 20, 20, 20}));
}

TEST(Die, PricesTypedByTheUser)
{
    EXPECT_EQ(TInventoryData::ParsePrice(u"12"_s), 12);
    EXPECT_EQ(TInventoryData::ParsePrice(u"007"_s), 7);
    for (const QString &bad : {u""_s, u"0"_s, u"-3"_s, u"+3"_s, u"1.5"_s, u" 7"_s, u"7 "_s, u"abc"_s, u"99999999999"_s})
        EXPECT_FALSE(TInventoryData::ParsePrice(bad).has_value()) << bad.toStdString();
}

TEST(Race, DiceGetIdsOnceAndInOrder)
{
    TCatalogue catalogue;
    TRace &race = AddRace(catalogue, 7, u"Reedfolk"_s);
    EXPECT_EQ(race.AddDie(std::make_unique<TDie>(race, u"A"_s)), 1);
    EXPECT_EQ(race.AddDie(std::make_unique<TDie>(race, u"B"_s)), 2);
    EXPECT_EQ(race.Die(1)->ID(), 0);
    EXPECT_EQ(race.Die(2)->ID(), 1);
    race.RemoveDie(race.Die(1));
    EXPECT_EQ(race.AddDie(std::make_unique<TDie>(race, u"C"_s)), 2);
    EXPECT_EQ(race.DieByID(2)->Name, u"C");
    EXPECT_EQ(race.DieByID(0), nullptr);
    EXPECT_EQ(race.Die(0), nullptr);
    EXPECT_EQ(race.Die(3), nullptr);
    EXPECT_EQ(race.NextDieID, 3);

    // A die that already has an ID is refused and not added.
    auto numbered = std::make_unique<TDie>(race, u"D"_s);
    numbered->AssignID(40);
    EXPECT_EQ(FailureOf([&] { race.AddDie(std::move(numbered)); }), u"Cannot assign a new ID to \"D\".");
    EXPECT_EQ(race.DieCount(), 2);

    // A counter behind the dice of a damaged file never hands out an ID in use.
    auto read = std::make_unique<TDie>(race, u"E"_s);
    read->AssignID(9);
    race.AppendDie(std::move(read));
    race.NextDieID = 1;
    race.AddDie(std::make_unique<TDie>(race, u"F"_s));
    EXPECT_EQ(race.DieByID(10)->Name, u"F");
    // The last ID is not handed out: nothing could follow it.
    race.NextDieID = 2147483646;
    race.AddDie(std::make_unique<TDie>(race, u"G"_s));
    EXPECT_EQ(race.DieByID(2147483646)->Name, u"G");
    EXPECT_EQ(FailureOf([&] { race.AddDie(std::make_unique<TDie>(race, u"H"_s)); }),
              u"No die ID is left in Reedfolk.");
    race.RemoveDie(race.DieByID(2147483646));
    race.RemoveDie(race.DieByID(9));
    race.RemoveDie(race.DieByID(10));
    race.NextDieID = 3;

    QStringList walked;
    int cursor = 0;
    for (TDie *die = race.FirstDie(cursor); die; die = race.NextDie(cursor))
        walked << die->Name;
    EXPECT_EQ(walked, (QStringList{u"B"_s, u"C"_s}));

    race.ResetBreakdown();
    race.CountBreakdown(2);
    race.CountBreakdown(2);
    race.CountBreakdown(10);
    EXPECT_EQ(race.BreakdownCount(2), 2);
    EXPECT_EQ(race.BreakdownCount(10), 1);
    EXPECT_EQ(race.BreakdownCount(11), 0);
    EXPECT_EQ(race.BreakdownTotal(), 14);

    EXPECT_EQ(race.ReserveAbilities.ToBits(), 0x031F);
    EXPECT_EQ(race.HomeTerrain, Land::None);
    EXPECT_TRUE(race.CanDoubleMagic);
}

TEST(Catalogue, RaceListOrderAndIds)
{
    TCatalogue catalogue;
    catalogue.SetNextID(5);
    auto fresh = catalogue.CreateRace();
    EXPECT_EQ(fresh->ID, 5);
    EXPECT_EQ(fresh->Name, u"New Race");
    EXPECT_EQ(catalogue.NextID(), 6);
    EXPECT_EQ(catalogue.PeekNextID(), 7);

    // By type, then by name byte by byte (upper case first); equal keys keep their order.
    auto insert = [&](qint32 id, const QString &name, RaceType type) {
        auto race = std::make_unique<TRace>(catalogue, id, name);
        race->Type = type;
        catalogue.InsertRace(std::move(race));
    };
    insert(1, u"walkers"_s, RaceType::MagicItems);
    insert(2, u"ashfolk"_s, RaceType::NormalUnits);
    insert(3, u"Ashfolk"_s, RaceType::NormalUnits);
    insert(4, u"Twin"_s, RaceType::NormalUnits);
    insert(5, u"Twin"_s, RaceType::NormalUnits);
    insert(6, u"Ancient"_s, RaceType::Misprints);
    insert(7, u"Zed"_s, RaceType::NormalUnits);
    QStringList order;
    for (const auto &race : catalogue.Races())
        order << QString::number(race->ID) + u':' + race->Name;
    EXPECT_EQ(order, (QStringList{u"3:Ashfolk"_s, u"4:Twin"_s, u"5:Twin"_s, u"7:Zed"_s, u"2:ashfolk"_s, u"1:walkers"_s,
                                  u"6:Ancient"_s}));

    EXPECT_EQ(catalogue.FindRaceByID(7)->Name, u"Zed");
    EXPECT_EQ(catalogue.FindRaceByID(99), nullptr);
    // A stored counter behind the races passes over the IDs in use.
    catalogue.SetNextID(6);
    EXPECT_EQ(catalogue.NextID(), 8);
    catalogue.SetNextID(2147483647);
    EXPECT_EQ(FailureOf([&] { catalogue.NextID(); }), u"No race ID is left.");
    std::unique_ptr<TRace> removed = catalogue.RemoveRace(catalogue.FindRaceByID(4));
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->ID, 4);
    EXPECT_EQ(catalogue.RaceCount(), 6);
    EXPECT_EQ(catalogue.RemoveRace(removed.get()), nullptr);
}

TEST(Catalogue, TraversalSkipsRacesWithoutDice)
{
    TCatalogue catalogue;
    {
        TDieTraversal empty(catalogue);
        EXPECT_EQ(empty.First(), nullptr);
        EXPECT_EQ(empty.Next(), nullptr);
    }
    AddRace(catalogue, 1, u"A"_s);
    TRace &b = AddRace(catalogue, 2, u"B"_s);
    AddRace(catalogue, 3, u"C"_s);
    TRace &d = AddRace(catalogue, 4, u"D"_s);
    AddRace(catalogue, 5, u"E"_s);
    AddDie(b, u"b1"_s, 1, Profession::Archer);
    AddDie(b, u"b2"_s, 1, Profession::Archer);
    AddDie(d, u"d1"_s, 1, Profession::Archer);

    TDieTraversal walk(catalogue);
    QStringList names;
    for (TDie *die = walk.First(); die; die = walk.Next())
        names << walk.CurrentRace()->Name + u'/' + die->Name;
    EXPECT_EQ(names, (QStringList{u"B/b1"_s, u"B/b2"_s, u"D/d1"_s}));
    EXPECT_EQ(walk.Next(), nullptr);
}

TEST(Catalogue, UsedCountsAndTheInventoryObserver)
{
    TCatalogue catalogue;
    TRace &race = AddRace(catalogue, 1, u"Reedfolk"_s);
    TDie &die = AddDie(race, u"Scout"_s, 1, Profession::Cavalry);
    die.Count = 2;

    // Without an active inventory the counts move silently and there is no usage text.
    catalogue.AddUsed(die, 3);
    EXPECT_EQ(die.UsedCount, 3u);
    EXPECT_EQ(catalogue.UsageText(die), QString());

    TRecordingObserver observer;
    catalogue.SetInventoryObserver(&observer);
    catalogue.AddUsed(die, -1);
    EXPECT_TRUE(observer.Events.isEmpty());
    observer.Active = true;
    catalogue.AddUsed(die, -1);
    catalogue.AddUsed(die, 2);
    EXPECT_EQ(observer.Events, (QStringList{u"changed Scout"_s, u"changed Scout"_s, u"exceeded Scout"_s}));

    // Giving back more than was taken stops at zero rather than wrapping round.
    catalogue.AddUsed(die, -10);
    EXPECT_EQ(die.UsedCount, 0u);

    catalogue.AddWaiting(die, 2);
    catalogue.IncInPlay(die, 1);
    EXPECT_EQ(catalogue.UsageText(die), u"2 in inventory, 0 used, 1 in play.");
    EXPECT_EQ(die.WaitingCount, 2);
}
