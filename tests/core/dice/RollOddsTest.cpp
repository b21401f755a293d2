#include "dice/RollOdds.h"
#include "TestSupport.h"
#include "dice/Catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

using namespace Qt::StringLiterals;

namespace {

using E = EffectFlag;
using R = ResultType;

constexpr Land kLand = Land::Flatland;

class RollOddsTest : public ::testing::Test
{
protected:
    RollOddsTest() : Race(Catalogue.AppendRace(std::make_unique<TRace>(Catalogue, Catalogue.NextID(), u"Fenfolk"_s))) {}

    qint32 Symbol(TEffectSet effects)
    {
        TIconDescriptor icon;
        icon.Name = u"S%1"_s.arg(Catalogue.Icons().Count());
        icon.Effects = effects;
        return Catalogue.Icons().Add(icon);
    }

    // A die of the race whose faces are (symbol, count) pairs.
    TDie &NewDie(const std::vector<std::pair<qint32, int>> &faces)
    {
        auto die = std::make_unique<TDie>(Race);
        die->SetFaceCount(int(faces.size()));
        for (size_t i = 0; i < faces.size(); ++i)
            die->SetFace(int(i), faces[i].first, faces[i].second);
        return *Race.Die(Race.AddDie(std::move(die)));
    }

    // The rows as "total exactly at-least" with the chances to twelve places.
    static QStringList Rows(const TRollOdds &odds)
    {
        QStringList rows;
        for (int row = 0; row < odds.Count(); ++row) {
            rows << QString::asprintf("%g %.12f %.12f", odds.Total(row), odds.Exactly(row), odds.AtLeast(row));
        }
        return rows;
    }

    static double Placed(const TRollOdds &odds)
    {
        double placed = 0;
        for (int row = 0; row < odds.Count(); ++row)
            placed += odds.Exactly(row);
        return placed;
    }

    TCatalogue Catalogue;
    TRace &Race;
};

} // namespace

TEST_F(RollOddsTest, ADieWithoutRerollFacesIsItsFaceTable)
{
    using namespace BasicIcon;
    // Melee 0, 0, 1, 1, 2, 2.
    const TDie &brawler = NewDie({{Move, 1}, {Move, 1}, {Melee, 1}, {Melee, 1}, {Melee, 2}, {Melee, 2}});
    const TRollOdds melee = RollOdds(brawler, kLand, R::Melee);
    EXPECT_EQ(Rows(melee), (QStringList{u"0 0.333333333333 1.000000000000"_s, u"1 0.333333333333 0.666666666667"_s,
                                        u"2 0.333333333333 0.333333333333"_s}));
    EXPECT_EQ(melee.Minimum(), 0);
    EXPECT_EQ(melee.Maximum(), 2);
    EXPECT_DOUBLE_EQ(melee.Mean(), 1.0);
    EXPECT_EQ(melee.Remainder(), 0);
    EXPECT_EQ(melee.Step(), 1);

    // Totals no face gives are not listed, at the ends or between.
    const TDie &gapped = NewDie({{Move, 1}, {Move, 1}, {Move, 1}, {Melee, 3}, {Melee, 5}, {Move, 2}});
    EXPECT_EQ(Rows(RollOdds(gapped, kLand, R::Melee)),
              (QStringList{u"0 0.666666666667 1.000000000000"_s, u"3 0.166666666667 0.333333333333"_s,
                           u"5 0.166666666667 0.166666666667"_s}));
    EXPECT_EQ(Rows(RollOdds(gapped, kLand, R::Move)),
              (QStringList{u"0 0.333333333333 1.000000000000"_s, u"1 0.500000000000 0.666666666667"_s,
                           u"2 0.166666666667 0.166666666667"_s}));
    // Nothing to roll: a total of 0 for certain.
    EXPECT_EQ(Rows(RollOdds(gapped, kLand, R::Counter)), QStringList{u"0 1.000000000000 1.000000000000"_s});
    EXPECT_EQ(OddsSummaryText(RollOdds(gapped, kLand, R::Counter)), u"Always 0.");
    EXPECT_EQ(OddsSummaryText(melee), u"Totals 0 to 2, mean 1.00.");

    // A die without faces yields nothing, as in its statistics.
    TDie &blank = NewDie({});
    EXPECT_EQ(Rows(RollOdds(blank, kLand, R::Melee)), QStringList{u"0 1.000000000000 1.000000000000"_s});
}

TEST_F(RollOddsTest, OneRerollFaceSumsTheGeometricSeries)
{
    using namespace BasicIcon;
    // Melee 1 that rolls again, then plain faces of melee 1, 1, 2, 0, 0.
    const qint32 cleave = Symbol({E::Melee, E::RerollMelee});
    const TDie &die = NewDie({{cleave, 1}, {Melee, 1}, {Melee, 1}, {Melee, 2}, {Move, 1}, {Move, 1}});
    const TRollOdds odds = RollOdds(die, kLand, R::Melee);

    // By hand: a total t after j rerolls (each adding 1, chance 1/6 each) ends on a plain
    // face of t - j; the plain faces give 0 and 1 with 2/6 each, 2 with 1/6.
    const double q = 1.0 / 6;
    EXPECT_NEAR(odds.Exactly(0), 1.0 / 3, 1e-15);
    EXPECT_NEAR(odds.Exactly(1), 1.0 / 3 + 1.0 / 18, 1e-15);
    EXPECT_NEAR(odds.Exactly(2), 25.0 / 108, 1e-15);
    // Cut off after 16 rounds: (1/6)^15 is still above 1e-12, (1/6)^16 below it.
    EXPECT_NEAR(odds.Remainder(), std::pow(q, 16), 1e-26);
    ASSERT_EQ(odds.Count(), 18); // totals 0 to 15 + 2
    const std::array<double, 3> plain{2 * q, 2 * q, q};
    for (int t = 0; t < odds.Count(); ++t) {
        double expected = 0;
        for (int j = 0; j <= t && j < 16; ++j) {
            if (t - j < 3)
                expected += std::pow(q, j) * plain[size_t(t - j)];
        }
        EXPECT_EQ(odds.Total(t), t);
        EXPECT_NEAR(odds.Exactly(t), expected, 1e-12) << t;
    }
    // What is listed and what is not make up the whole.
    EXPECT_NEAR(Placed(odds), 1.0 - odds.Remainder(), 1e-15);
    EXPECT_NEAR(odds.AtLeast(0), 1.0 - odds.Remainder(), 1e-15);
    EXPECT_DOUBLE_EQ(odds.AtLeast(odds.Count() - 1), odds.Exactly(odds.Count() - 1));
    // The statistics' mean: S / (f - k) = 5 / 5.
    EXPECT_NEAR(odds.Mean(), die.Mean(R::Melee, kLand, false), 1e-9);
    EXPECT_NEAR(odds.Mean(), 1.0, 1e-9);
    EXPECT_EQ(OddsSummaryText(odds), u"Totals 0 to 17, mean 1.00.  Not placed: 3.54e-13.");

    // The reroll face counts only for its own result: for "Move" it is a plain 0.
    const TRollOdds move = RollOdds(die, kLand, R::Move);
    EXPECT_EQ(Rows(move), (QStringList{u"0 0.666666666667 1.000000000000"_s, u"1 0.333333333333 0.333333333333"_s}));
    EXPECT_EQ(move.Remainder(), 0);
}

TEST_F(RollOddsTest, RollsOnceWhereTheStatisticsAddNoIncrement)
{
    using namespace BasicIcon;
    const qint32 cleave = Symbol({E::Melee, E::RerollMelee});
    // Every face a reroll face: one roll.
    const TDie &frenzy = NewDie({{cleave, 1}, {cleave, 1}, {cleave, 2}, {cleave, 2}, {cleave, 3}, {cleave, 3}});
    const TRollOdds all = RollOdds(frenzy, kLand, R::Melee);
    EXPECT_EQ(Rows(all), (QStringList{u"1 0.333333333333 1.000000000000"_s, u"2 0.333333333333 0.666666666667"_s,
                                      u"3 0.333333333333 0.333333333333"_s}));
    EXPECT_EQ(all.Remainder(), 0);
    EXPECT_NEAR(all.Mean(), frenzy.Mean(R::Melee, kLand, false), 1e-12);

    // Reroll faces, but nothing above 0 to roll for: "Rout Buffer" of an "ID" face is -1,
    // and a reroll face that saves nothing adds 0.
    const qint32 steady = Symbol({E::RerollSave});
    const TDie &routed = NewDie({{ID, 1}, {steady, 1}, {Move, 1}, {Move, 1}, {Move, 1}, {Move, 1}});
    const TRollOdds rout = RollOdds(routed, kLand, R::RoutBuffer);
    EXPECT_EQ(Rows(rout), (QStringList{u"-1 0.166666666667 1.000000000000"_s, u"0 0.833333333333 0.833333333333"_s}));
    EXPECT_EQ(rout.Remainder(), 0);
    EXPECT_NEAR(rout.Mean(), -1.0 / 6, 1e-15);
    EXPECT_NEAR(rout.Mean(), routed.Mean(R::RoutBuffer, kLand, false), 1e-12);
    EXPECT_EQ(OddsSummaryText(rout), u"Totals -1 to 0, mean -0.17.");

    // "Points" never rolls again, whatever its faces: melee weighs 1.
    const TDie &cleaver = NewDie({{cleave, 2}, {Melee, 1}, {Move, 1}, {Move, 1}, {Move, 1}, {Move, 1}});
    const TRollOdds points = RollOdds(cleaver, kLand, R::Points);
    EXPECT_EQ(points.Remainder(), 0);
    EXPECT_EQ(Rows(points), (QStringList{u"1 0.833333333333 1.000000000000"_s, u"2 0.166666666667 0.166666666667"_s}));
}

TEST_F(RollOddsTest, PointsComeInQuarters)
{
    // "Save/Missile" weighs a quarter towards "Points".
    const qint32 screen = Symbol({E::SaveMissile});
    const TDie &die = NewDie({{screen, 1}, {screen, 3}, {screen, 1}, {screen, 6}});
    const TRollOdds odds = RollOdds(die, kLand, R::Points);
    EXPECT_EQ(odds.Step(), 0.25);
    EXPECT_EQ(Rows(odds), (QStringList{u"0.25 0.500000000000 1.000000000000"_s, u"0.75 0.250000000000 0.500000000000"_s,
                                       u"1.5 0.250000000000 0.250000000000"_s}));
    EXPECT_EQ(odds.First(), 1); // in quarters
    EXPECT_DOUBLE_EQ(odds.Mean(), die.Mean(R::Points, kLand, false));
    EXPECT_EQ(OddsTotalText(odds.Total(1)), u"0.75");
    EXPECT_EQ(OddsPercentText(odds.Exactly(1)), u"25.00");
    EXPECT_EQ(OddsPercentText(2.0 / 3), u"66.67");

    // Two of them: quarters add up exactly.
    EXPECT_EQ(Rows(Convolve(odds, odds)),
              (QStringList{u"0.5 0.250000000000 1.000000000000"_s, u"1 0.250000000000 0.750000000000"_s,
                           u"1.5 0.062500000000 0.500000000000"_s, u"1.75 0.250000000000 0.437500000000"_s,
                           u"2.25 0.125000000000 0.187500000000"_s, u"3 0.062500000000 0.062500000000"_s}));
}

TEST_F(RollOddsTest, TotalsTooWideToListAreRefused)
{
    // Twelve faces of thousands of hits that roll again: the series would run to
    // hundreds of rounds and tens of millions of totals.
    const qint32 cleave = Symbol({E::Melee, E::RerollMelee});
    std::vector<std::pair<qint32, int>> faces(12, {cleave, 60000});
    faces.push_back({BasicIcon::Melee, 1});
    const TDie &monster = NewDie(faces);
    EXPECT_EQ(FailureOf([&] { RollOdds(monster, kLand, R::Melee); }),
              u"The totals of this roll spread too wide to work out its odds.");
    // One roll of the same die is short enough.
    EXPECT_EQ(RollOdds(monster, kLand, R::Move).Count(), 1);
}
