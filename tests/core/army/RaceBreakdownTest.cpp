#include "army/RaceBreakdown.h"
#include "ArmyFixture.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList Row(const QString &first, std::initializer_list<int> numbers)
{
    QStringList row{first};
    for (int n : numbers)
        row << QString::number(n).rightJustified(4, u' ');
    return row;
}

} // namespace

TEST(RaceBreakdownTest, CountsTheFightingArmiesOfTheGroup)
{
    TArmyCatalogue c;
    TArmy horde(c.Catalogue);
    horde.SetGroupName(u"Raid"_s);
    for (TDie *die : {&c.Scout(), &c.Witch(), &c.Scout(), &c.Drake(), &c.Die(25, 11)})
        horde.AddDie(*die);
    TArmy home(c.Catalogue);
    home.SetGroupName(u"Raid"_s);
    home.SetArmyType(ArmyType::HomeArmy);
    home.AddDie(c.Archer());
    home.AddDie(c.Witch());
    TArmy pool(c.Catalogue);
    pool.SetGroupName(u"Raid"_s);
    pool.SetArmyType(ArmyType::PromotionPool);
    pool.AddDie(c.Witch());
    pool.AddDie(c.Die(26, 10));
    TArmy summoning(c.Catalogue);
    summoning.SetGroupName(u"Raid"_s);
    summoning.SetArmyType(ArmyType::SummoningPool);
    summoning.AddDie(c.Drake());
    TArmy stranger(c.Catalogue);
    stranger.SetGroupName(u"raid"_s);
    stranger.AddDie(c.Witch());
    stranger.AddDie(c.Archer());
    const std::vector<const TArmy *> open{&horde, &pool, &stranger, &home, &summoning};

    const TRaceBreakdown raid(c.Catalogue, u"Raid"_s, open);
    EXPECT_EQ(raid.Caption(), u"Raid Race Breakdown");
    EXPECT_EQ(raid.Mages(2), 2);
    EXPECT_EQ(raid.Mages(0), 0);
    EXPECT_EQ(raid.MageHealth(), 4);
    // Deepwyrms have dice only in the promotion pool: no row.
    const QList<QStringList> expected{
        Row(u"Race"_s, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}) << u"   T"_s,
        Row(u"Reedfolk"_s, {2, 2, 1, 0, 0, 0, 0, 0, 0, 0, 9}),
        Row(u"Emberkin"_s, {0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 5}),
        Row(u"Skywyrms"_s, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 10}),
        Row(u"TOTALS"_s, {2, 2, 1, 0, 1, 0, 0, 0, 0, 1, 24}),
        Row(u"MAGES"_s, {0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 4}),
    };
    EXPECT_EQ(raid.Rows(), expected);
    EXPECT_EQ(c.Catalogue.FindRaceByID(3)->BreakdownTotal(), 9);

    // Another breakdown clears the races' counters first; the first keeps its rows.
    const TRaceBreakdown lower(c.Catalogue, u"raid"_s, open);
    EXPECT_EQ(lower.Rows(), (QList<QStringList>{expected[0], Row(u"Reedfolk"_s, {0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 5}),
                                                Row(u"TOTALS"_s, {0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 5}),
                                                Row(u"MAGES"_s, {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 2})}));
    EXPECT_EQ(raid.Rows(), expected);
    EXPECT_EQ(c.Catalogue.FindRaceByID(7)->BreakdownTotal(), 0);

    const TRaceBreakdown nobody(c.Catalogue, u"Nobody"_s, open);
    EXPECT_EQ(nobody.Rows().size(), 3);
}
