#include "army/ArmyOdds.h"
#include "TestSupport.h"
#include "army/ArmyAnalysis.h"
#include "dice/Catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

using R = ResultType;
using E = EffectFlag;

constexpr Land kLand = Land::Swampland;

class ArmyOddsTest : public ::testing::Test
{
protected:
    TRace &NewRace(RaceType type = RaceType::NormalUnits)
    {
        TRace &race = Catalogue.AppendRace(std::make_unique<TRace>(Catalogue, Catalogue.NextID(), u"Fenfolk"_s));
        race.Type = type;
        return race;
    }

    TDie &NewDie(TRace &race, const std::vector<std::pair<qint32, int>> &faces, int health = 1,
                 Profession profession = Profession::HeavyTroop)
    {
        auto die = std::make_unique<TDie>(race);
        die->SetHealth(health);
        die->SetProfession(profession);
        die->SetFaceCount(int(faces.size()));
        for (size_t i = 0; i < faces.size(); ++i)
            die->SetFace(int(i), faces[i].first, faces[i].second);
        return *race.Die(race.AddDie(std::move(die)));
    }

    qint32 Symbol(TEffectSet effects)
    {
        TIconDescriptor icon;
        icon.Name = u"S%1"_s.arg(Catalogue.Icons().Count());
        icon.Effects = effects;
        return Catalogue.Icons().Add(icon);
    }

    static QStringList Rows(const TRollOdds &odds)
    {
        QStringList rows;
        for (int row = 0; row < odds.Count(); ++row)
            rows << QString::asprintf("%g %.12f %.12f", odds.Total(row), odds.Exactly(row), odds.AtLeast(row));
        return rows;
    }

    TCatalogue Catalogue;
};

} // namespace

TEST_F(ArmyOddsTest, TwoDiceAreTheConvolutionOfTheirFaces)
{
    using namespace BasicIcon;
    TRace &race = NewRace();
    // Melee 0, 1, 2 a third each; and 0 (four faces) or 3 (two faces).
    TDie &brawler = NewDie(race, {{Move, 1}, {Move, 1}, {Melee, 1}, {Melee, 1}, {Melee, 2}, {Melee, 2}});
    TDie &crusher = NewDie(race, {{Move, 1}, {Move, 1}, {Move, 1}, {Move, 1}, {Melee, 3}, {Melee, 3}});
    const TRollOdds odds = ArmyOdds({&brawler, &crusher}, kLand, R::Melee);
    // By hand: 0, 1 and 2 with 1/3 x 2/3 each; 3, 4 and 5 with 1/3 x 1/3 each.
    EXPECT_EQ(Rows(odds), (QStringList{u"0 0.222222222222 1.000000000000"_s, u"1 0.222222222222 0.777777777778"_s,
                                       u"2 0.222222222222 0.555555555556"_s, u"3 0.111111111111 0.333333333333"_s,
                                       u"4 0.111111111111 0.222222222222"_s, u"5 0.111111111111 0.111111111111"_s}));
    EXPECT_DOUBLE_EQ(odds.Mean(), 2.0);
    EXPECT_EQ(odds.Minimum(), 0);
    EXPECT_EQ(odds.Maximum(), 5);
    // The order of the dice does not matter.
    EXPECT_EQ(Rows(ArmyOdds({&crusher, &brawler}, kLand, R::Melee)), Rows(odds));

    // One die twice rolls twice: 0..4 as 1, 2, 3, 2, 1 ninths.
    EXPECT_EQ(Rows(ArmyOdds({&brawler, &brawler}, kLand, R::Melee)),
              (QStringList{u"0 0.111111111111 1.000000000000"_s, u"1 0.222222222222 0.888888888889"_s,
                           u"2 0.333333333333 0.666666666667"_s, u"3 0.222222222222 0.333333333333"_s,
                           u"4 0.111111111111 0.111111111111"_s}));
    // An army without dice rolls nothing.
    EXPECT_EQ(Rows(ArmyOdds({}, kLand, R::Melee)), QStringList{u"0 1.000000000000 1.000000000000"_s});
    EXPECT_EQ(ArmyOdds({}, kLand, R::Points).Step(), 0.25);
}

TEST_F(ArmyOddsTest, MeansAgreeWithTheAnalysisAndRemaindersAdd)
{
    using namespace BasicIcon;
    TRace &race = NewRace();
    race.Colors = {MagicColor::Gold};
    const qint32 cleave = Symbol({E::Melee, E::RerollMelee});
    const qint32 surge = Symbol({E::Magic, E::RerollMagic});
    TDie &berserk = NewDie(race, {{cleave, 2}, {Melee, 1}, {Melee, 2}, {Move, 1}, {ID, 1}, {Save, 1}});
    TDie &adept =
        NewDie(race, {{surge, 1}, {surge, 2}, {Magic, 1}, {Magic, 3}, {ID, 2}, {Save, 1}, {Move, 1}, {Move, 1}}, 2,
               Profession::Mage);
    TDie &plain = NewDie(race, {{Move, 1}, {Melee, 1}, {Melee, 1}, {ID, 1}, {Save, 2}, {Missile, 1}});
    const std::vector<const TDie *> army{&berserk, &adept, &plain, &berserk, &adept};
    const TArmyAnalysis analysis = AnalyzeArmy(army);
    for (int r = 0; r < kResultTypeCount; ++r) {
        for (int l = 0; l < kLandCount; ++l) {
            const TRollOdds odds = ArmyOdds(army, Land(l), R(r));
            EXPECT_NEAR(odds.Mean(), analysis.Mean[size_t(r)][size_t(l)], 1e-9) << r << ' ' << l;
            double placed = 0;
            for (int row = 0; row < odds.Count(); ++row)
                placed += odds.Exactly(row);
            EXPECT_NEAR(placed, 1.0 - odds.Remainder(), 1e-14) << r << ' ' << l;
        }
    }
    // Two dice with a cut-off series each leave out 1 - (1 - a)(1 - b).
    const double one = RollOdds(berserk, kLand, R::Melee).Remainder();
    ASSERT_GT(one, 0);
    EXPECT_DOUBLE_EQ(ArmyOdds({&berserk, &berserk}, kLand, R::Melee).Remainder(), 2 * one - one * one);
    EXPECT_DOUBLE_EQ(ArmyOdds({&berserk, &plain}, kLand, R::Melee).Remainder(), one);
    EXPECT_EQ(ArmyOdds({&plain, &plain}, kLand, R::Melee).Remainder(), 0);
}

TEST_F(ArmyOddsTest, RulesAndSummonedDiceAsInTheAnalysis)
{
    using namespace BasicIcon;
    TRace &items = NewRace(RaceType::MagicItems);
    items.Colors = {MagicColor::Red};
    // A health-2 mage item: with "Power Magic Items" its red magic gains health - 1.
    TDie &wand =
        NewDie(items, {{Magic, 1}, {Magic, 1}, {Move, 1}, {Move, 1}, {Move, 1}, {Move, 1}}, 2, Profession::Mage);
    EXPECT_EQ(Rows(ArmyOdds({&wand}, kLand, R::RedMagic)),
              (QStringList{u"0 0.666666666667 1.000000000000"_s, u"1 0.333333333333 0.333333333333"_s}));
    Catalogue.Rules.PowerMagicItems = true;
    EXPECT_EQ(Rows(ArmyOdds({&wand}, kLand, R::RedMagic)),
              (QStringList{u"1 0.666666666667 1.000000000000"_s, u"2 0.333333333333 0.333333333333"_s}));

    TRace &wyrms = NewRace(RaceType::Dragonkin);
    TDie &wyrm = NewDie(wyrms, {{Melee, 4}, {Melee, 4}, {Melee, 4}, {Melee, 4}, {Melee, 4}, {Melee, 4}});
    const std::vector<TDie *> army{&wyrm, &wand};
    EXPECT_EQ(Rows(ArmyOdds(AnalysedDice(army, false), kLand, R::Melee)),
              QStringList{u"0 1.000000000000 1.000000000000"_s});
    EXPECT_EQ(Rows(ArmyOdds(AnalysedDice(army, true), kLand, R::Melee)),
              QStringList{u"4 1.000000000000 1.000000000000"_s});
}

TEST_F(ArmyOddsTest, NegativeRoutBuffersTailsAndLimits)
{
    using namespace BasicIcon;
    TRace &race = NewRace();
    // "Rout Buffer": -1 on the ID face, 1 on a save face, else 0.
    TDie &guard = NewDie(race, {{ID, 1}, {Save, 1}, {Move, 1}, {Move, 1}, {Move, 1}, {Move, 1}});
    const TRollOdds two = ArmyOdds({&guard, &guard}, kLand, R::RoutBuffer);
    EXPECT_EQ(Rows(two), (QStringList{u"-2 0.027777777778 1.000000000000"_s, u"-1 0.222222222222 0.972222222222"_s,
                                      u"0 0.500000000000 0.750000000000"_s, u"1 0.222222222222 0.250000000000"_s,
                                      u"2 0.027777777778 0.027777777778"_s}));
    EXPECT_NEAR(two.Mean(), 0.0, 1e-15);

    // Four hundred dice that hit on one face in six: all of them hitting has a chance of
    // 6^-400, below the smallest double, and is not listed; none hitting is.
    TDie &archer = NewDie(race, {{Missile, 1}, {Move, 1}, {Move, 1}, {Move, 1}, {Move, 1}, {Move, 1}});
    const TRollOdds volley = ArmyOdds(std::vector<const TDie *>(400, &archer), kLand, R::Missile);
    EXPECT_EQ(volley.Minimum(), 0);
    EXPECT_NEAR(volley.Exactly(0), std::pow(5.0 / 6, 400), 1e-40);
    EXPECT_GT(volley.Maximum(), 300);
    EXPECT_LT(volley.Maximum(), 400);
    EXPECT_GE(volley.Exactly(volley.Count() - 1), std::numeric_limits<double>::min());
    EXPECT_EQ(volley.Count(), int(volley.Maximum()) + 1);
    EXPECT_NEAR(volley.Mean(), 400.0 / 6, 1e-9);

    // Thousands of dice of thousands of hits: refused before the work starts.
    TDie &giant = NewDie(race, {{Melee, 1}, {Melee, 5000}, {Melee, 9000}, {Move, 1}});
    EXPECT_EQ(FailureOf([&] { ArmyOdds(std::vector<const TDie *>(300, &giant), kLand, R::Melee); }),
              u"The totals of this roll spread too wide to work out its odds.");
}
