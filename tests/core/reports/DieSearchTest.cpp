#include "reports/DieSearch.h"
#include "TestSupport.h"
#include "dice/Catalogue.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using R = ResultType;
using E = EffectFlag;

class DieSearchTest : public ::testing::Test
{
protected:
    TRace &NewRace(const QString &name, TColorSet colors = {}, RaceType type = RaceType::NormalUnits)
    {
        auto race = std::make_unique<TRace>(Catalogue, Catalogue.NextID(), name);
        race->Colors = colors;
        race->Type = type;
        return Catalogue.AppendRace(std::move(race));
    }

    // A die whose every face shows `melee` copies of the melee symbol.
    TDie &NewDie(TRace &race, const QString &name, int health = 1, int melee = 1,
                 Profession profession = Profession::HeavyTroop)
    {
        auto die = std::make_unique<TDie>(race, name);
        die->SetHealth(health);
        die->SetProfession(profession);
        for (int face = 0; face < die->FaceCount(); ++face)
            die->SetFace(face, BasicIcon::Melee, melee);
        TDie &added = *die;
        race.AddDie(std::move(die));
        return added;
    }

    // Criteria that let every die of the test catalogue through, scoring melee alone.
    static TDieSearchCriteria Open()
    {
        TDieSearchCriteria criteria;
        criteria.MaxHealth = 5;
        criteria.Weights.fill(0.0);
        criteria.Weights[size_t(R::Melee)] = 1.0;
        criteria.Terrain = Land::Flatland;
        return criteria;
    }

    static QStringList Names(const TDieRanking &ranking)
    {
        QStringList names;
        for (const TFoundDie &found : ranking.Found())
            names << found.Die->Name;
        return names;
    }

    QStringList Found(const TDieSearchCriteria &criteria) { return Names(SearchDice(Catalogue, criteria)); }

    TCatalogue Catalogue;
};

} // namespace

TEST_F(DieSearchTest, TiesWithTheLastWantedPlaceStay)
{
    TRace &race = NewRace(u"Reedfolk"_s);
    std::vector<TDie *> dice;
    for (int i = 0; i < 30; ++i)
        dice.push_back(&NewDie(race, u"D%1"_s.arg(i)));

    // Nine better dice and twelve tied for tenth place, arriving mixed: 21 dice.
    TDieRanking ranking(10);
    int next = 0;
    for (int i = 0; i < 6; ++i)
        ranking.Rank(*dice[size_t(next++)], 1.0); // D0..D5 tied
    for (int i = 0; i < 9; ++i)
        ranking.Rank(*dice[size_t(next++)], 2.0 + i); // D6..D14 better
    for (int i = 0; i < 6; ++i)
        ranking.Rank(*dice[size_t(next++)], 1.0); // D15..D20 tied
    ranking.Rank(*dice[size_t(next++)], 0.5);     // D21 below the tenth: not taken
    EXPECT_EQ(ranking.Count(), 21);
    EXPECT_EQ(Names(ranking).mid(0, 9),
              (QStringList{u"D14"_s, u"D13"_s, u"D12"_s, u"D11"_s, u"D10"_s, u"D9"_s, u"D8"_s, u"D7"_s, u"D6"_s}));
    // Equal scores keep their arrival order.
    EXPECT_EQ(Names(ranking).mid(9), (QStringList{u"D0"_s, u"D1"_s, u"D2"_s, u"D3"_s, u"D4"_s, u"D5"_s, u"D15"_s,
                                                  u"D16"_s, u"D17"_s, u"D18"_s, u"D19"_s, u"D20"_s}));

    // One more better die leaves the tenth place to the last of the better ones, and the
    // twelve tied dice go; a later die tied with the new tenth stays beyond it.
    ranking.Rank(*dice[size_t(next++)], 5.5); // D22
    EXPECT_EQ(ranking.Count(), 10);
    EXPECT_EQ(Names(ranking).mid(4, 2), (QStringList{u"D10"_s, u"D22"_s}));
    EXPECT_EQ(Names(ranking).last(), u"D6");
    ranking.Rank(*dice[size_t(next++)], 2.0); // D23
    EXPECT_EQ(ranking.Count(), 11);
    EXPECT_EQ(Names(ranking).last(), u"D23");

    // Scores compare at six decimals: sums that differ in their last bits tie, a
    // millionth more does not.
    TDieRanking close(10);
    close.Rank(*dice[0], 0.3);
    close.Rank(*dice[1], 0.1 + 0.2);
    close.Rank(*dice[2], 0.300001);
    close.Rank(*dice[3], 0.30000049);
    EXPECT_EQ(Names(close), (QStringList{u"D2"_s, u"D0"_s, u"D1"_s, u"D3"_s}));
    EXPECT_EQ(close.Found()[1].ScoreText(), u"0.300000");

    // Below the last die it is only taken while the list is short.
    TDieRanking shortList(10);
    shortList.Rank(*dice[0], -1.0);
    shortList.Rank(*dice[1], -2.0);
    shortList.Rank(*dice[2], 3.0);
    EXPECT_EQ(Names(shortList), (QStringList{u"D2"_s, u"D0"_s, u"D1"_s}));
}

TEST_F(DieSearchTest, ScoresRankDescendingAtTheChosenLand)
{
    TRace &race = NewRace(u"Reedfolk"_s);
    TDie &lesser = NewDie(race, u"Lesser"_s);
    lesser.SetFaceCount(10);
    for (int face = 0; face < 10; ++face)
        lesser.SetFace(face, BasicIcon::Melee, face == 0 ? 3 : 4); // 3.9 melee
    NewDie(race, u"Greater"_s, 2, 5);                              // 5 melee

    TDieSearchCriteria criteria = Open();
    criteria.Weights[size_t(R::Melee)] = 2.5;
    TDieRanking ranking = SearchDice(Catalogue, criteria);
    ASSERT_EQ(Names(ranking), (QStringList{u"Greater"_s, u"Lesser"_s}));
    EXPECT_EQ(ranking.Found()[0].ScoreText(), u"12.500000");
    EXPECT_EQ(ranking.Found()[1].ScoreText(), u"9.750000");

    // Per point of health the two-point die falls behind.
    criteria.PerHealth = true;
    ranking = SearchDice(Catalogue, criteria);
    EXPECT_EQ(Names(ranking), (QStringList{u"Lesser"_s, u"Greater"_s}));
    EXPECT_EQ(ranking.Found()[1].ScoreText(), u"6.250000");

    // The reserves fight no melee; a move weight counts the move face of nobody.
    criteria.Terrain = Land::Reserves;
    criteria.Weights[size_t(R::Move)] = 1.0;
    ranking = SearchDice(Catalogue, criteria);
    ASSERT_EQ(ranking.Count(), 2);
    for (const TFoundDie &found : ranking.Found())
        EXPECT_EQ(found.Score, 0.0);

    // Every weight counts, negative ones too.
    TDie &runner = NewDie(race, u"Runner"_s);
    runner.SetFace(1, BasicIcon::Move, 6); // 5/6 melee, 1 move
    criteria = Open();
    criteria.Weights[size_t(R::Move)] = -6.0;
    ranking = SearchDice(Catalogue, criteria);
    EXPECT_EQ(Names(ranking), (QStringList{u"Greater"_s, u"Lesser"_s, u"Runner"_s}));
    EXPECT_EQ(ranking.Found()[2].ScoreText(), u"-5.166667");
}

TEST_F(DieSearchTest, ZeroWeightsFindEveryCandidateInCatalogueOrder)
{
    TRace &first = NewRace(u"Ashen"_s);
    TRace &second = NewRace(u"Birchkin"_s);
    TRace &wyrms = NewRace(u"Wyrms"_s, {}, RaceType::Dragonkin);
    QStringList expected;
    for (int i = 0; i < 14; ++i) {
        TRace &race = i % 2 ? second : first;
        NewDie(race, u"N%1"_s.arg(i), 1 + i % 4, 1 + i % 3);
    }
    for (const auto &race : Catalogue.Races())
        for (const auto &die : race->Dice())
            expected << die->Name;
    NewDie(first, u"Big"_s, 5);
    NewDie(wyrms, u"Wyrm"_s);

    TDieSearchCriteria criteria;
    criteria.Weights.fill(0.0);
    criteria.NumberToFind = 10;
    QStringList statuses;
    const TDieRanking ranking = SearchDice(Catalogue, criteria, [&statuses](const QString &text) { statuses << text; });
    EXPECT_EQ(Names(ranking), expected);
    ASSERT_EQ(statuses.size(), 14);
    EXPECT_EQ(statuses.first(), u"0 dice found.  Processing N0...");
    EXPECT_EQ(statuses.last(), u"13 dice found.  Processing N13...");
}

TEST_F(DieSearchTest, HealthInventoryProfessionAndRaceType)
{
    TRace &race = NewRace(u"Reedfolk"_s);
    TRace &items = NewRace(u"Trinkets"_s, {}, RaceType::MagicItems);
    for (int health : {1, 2, 3, 4, 5, 10})
        NewDie(race, u"H%1"_s.arg(health), health, health);
    NewDie(items, u"Item"_s, 3, 1);

    TDieSearchCriteria criteria = Open();
    criteria.MaxHealth = 3;
    EXPECT_EQ(Found(criteria), (QStringList{u"H3"_s, u"H2"_s, u"H1"_s}));
    criteria.MaxHealthOnly = true;
    EXPECT_EQ(Found(criteria), (QStringList{u"H3"_s}));
    criteria.RaceTypes = {RaceType::NormalUnits, RaceType::MagicItems};
    EXPECT_EQ(Found(criteria), (QStringList{u"H3"_s, u"Item"_s}));
    criteria.RaceTypes = {RaceType::MagicItems};
    EXPECT_EQ(Found(criteria), (QStringList{u"Item"_s}));
    // Health 10 is above any maximum the finder offers.
    criteria = Open();
    criteria.MaxHealth = TDieSearchCriteria::kHighestMaxHealth;
    EXPECT_EQ(Found(criteria).size(), 5);
    EXPECT_FALSE(Found(criteria).contains(u"H10"_s));

    race.Die(2)->Count = 1;
    race.Die(4)->Count = 3;
    criteria.RestrictToInventory = true;
    EXPECT_EQ(Found(criteria), (QStringList{u"H4"_s, u"H2"_s}));

    criteria.RestrictToInventory = false;
    race.Die(1)->SetProfession(Profession::Mage);
    criteria.Professions.Exclude(Profession::HeavyTroop);
    EXPECT_EQ(Found(criteria), (QStringList{u"H1"_s}));
}

TEST_F(DieSearchTest, ColoursAndEffectsAreAllRequired)
{
    NewRace(u"Black"_s, {MagicColor::Black});
    NewRace(u"BlackRed"_s, {MagicColor::Black, MagicColor::Red});
    NewRace(u"Red"_s, {MagicColor::Red, MagicColor::Gold});
    NewRace(u"All"_s, {MagicColor::Black, MagicColor::Blue, MagicColor::Red});
    for (const auto &race : Catalogue.Races())
        NewDie(*race, race->Name + u" die"_s);
    TDieSearchCriteria criteria = Open();
    criteria.Colors = {MagicColor::Black, MagicColor::Red};
    EXPECT_EQ(Found(criteria), (QStringList{u"BlackRed die"_s, u"All die"_s}));
    criteria.Colors = {};
    EXPECT_EQ(Found(criteria).size(), 4);

    TIconDescriptor symbol;
    symbol.Name = u"Trick"_s;
    symbol.Effects = {E::Cantrip, E::Melee};
    const qint32 trick = Catalogue.Icons().Add(symbol);
    symbol.Effects = {E::Dispel, E::Surprise};
    const qint32 ambush = Catalogue.Icons().Add(symbol);
    Catalogue.Races()[0]->Die(1)->SetFace(3, trick, 1);
    Catalogue.Races()[1]->Die(1)->SetFace(2, trick, 1);
    Catalogue.Races()[1]->Die(1)->SetFace(4, ambush, 1);
    Catalogue.Races()[2]->Die(1)->SetFace(4, ambush, 1);
    criteria.Effects = {E::Cantrip};
    EXPECT_EQ(Found(criteria), (QStringList{u"Black die"_s, u"BlackRed die"_s}));
    criteria.Effects = {E::Cantrip, E::Surprise};
    EXPECT_EQ(Found(criteria), (QStringList{u"BlackRed die"_s}));
    criteria.Effects = {E::Escape};
    EXPECT_TRUE(Found(criteria).isEmpty());
}

TEST_F(DieSearchTest, DiceLeavingTheCatalogueLeaveTheList)
{
    TRace &race = NewRace(u"Reedfolk"_s);
    NewDie(race, u"A"_s, 1, 3);
    TDie &b = NewDie(race, u"B"_s, 1, 2);
    TRace &other = NewRace(u"Ashen"_s);
    NewDie(other, u"C"_s, 1, 1);
    TDieRanking ranking = SearchDice(Catalogue, Open());
    ASSERT_EQ(ranking.Count(), 3);
    EXPECT_EQ(ranking.ForgetMissing(Catalogue), 0);
    race.RemoveDie(&b);
    std::unique_ptr<TRace> removed = Catalogue.RemoveRace(&other);
    EXPECT_EQ(ranking.ForgetMissing(Catalogue), 2);
    EXPECT_EQ(Names(ranking), (QStringList{u"A"_s}));
}

TEST_F(DieSearchTest, WeightsAndTheirTexts)
{
    EXPECT_EQ(TDieSearchCriteria().Weights, (TDieWeights{0.5, 0.5, 0.5, 0.5, 0.5, 1, 1, 1, 0.25, 0.5, 0, 0, 0, 1, 0}));

    TDieSearchCriteria criteria;
    criteria.Colors = {MagicColor::Gold};
    criteria.Effects = {E::Dispel};
    criteria.RaceTypes = {RaceType::Eldarim};
    criteria.Professions = {Profession::Mage};
    criteria.MaxHealth = 2;
    criteria.RestrictToInventory = true;
    criteria.Clear();
    EXPECT_EQ(criteria.Weights, TDieWeights{});
    EXPECT_TRUE(criteria.Colors.IsEmpty());
    EXPECT_TRUE(criteria.Effects.IsEmpty());
    EXPECT_EQ(criteria.RaceTypes, TRaceTypeSet{RaceType::NormalUnits});
    EXPECT_EQ(criteria.Professions.ToBits(), 0x1ff);
    EXPECT_EQ(criteria.MaxHealth, 2);
    EXPECT_TRUE(criteria.RestrictToInventory);

    QStringList texts;
    for (const TWeightChoice &choice : kWeightChoices)
        texts << WeightSetText(R::SaveMelee, choice.Value) + u' ' + WeightText(choice.Value);
    EXPECT_EQ(texts, (QStringList{u"Save/Melee set to 0.   0.00"_s, u"Save/Melee set to 1/5.   0.20"_s,
                                  u"Save/Melee set to 1/3.   0.33"_s, u"Save/Melee set to 1/2.   0.50"_s,
                                  u"Save/Melee set to 1.   1.00"_s}));
    EXPECT_EQ(WeightSetText(R::Move, 12), u"Move set to 12.");
    EXPECT_EQ(WeightSetText(R::Move, -0.0), u"Move set to 0.");
    EXPECT_EQ(WeightSetText(R::Move, -2), u"Move set to -2.");
    EXPECT_EQ(WeightSetText(R::Move, 0.75), u"Move set to 0.75.");
    EXPECT_EQ(WeightSetText(R::Move, 0.333333), u"Move set to 0.333333.");
    EXPECT_EQ(WeightSetText(R::Move, 0.125), u"Move set to 1/8.");
    EXPECT_EQ(WeightText(123.456), u"123.46");
    EXPECT_EQ(WeightPrompt(R::RoutBuffer), u"Enter a new weight for Rout Buffer");
    EXPECT_EQ(WeightEditText(1.0 / 3), u"0.333333");
    EXPECT_EQ(WeightEditText(2), u"2");

    EXPECT_EQ(ParseWeight(u" 1.5 "_s), 1.5);
    EXPECT_EQ(ParseWeight(u"-.25"_s), -0.25);
    for (const QString &bad : {u""_s, u"abc"_s, u"1/3"_s, u"1,5"_s, u"inf"_s, u"nan"_s, u"1e999"_s})
        EXPECT_FALSE(ParseWeight(bad).has_value()) << bad.toStdString();
}
