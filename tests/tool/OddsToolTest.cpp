#include "ToolFixture.h"
#include "dice/Catalogue.h"
#include "dice/RollOdds.h"
#include "shell/CatalogueFiles.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// "Cleave" hits once and rolls again for melee; "Screen" only saves against missiles,
// a quarter point a copy.
const QByteArray kIcons = R"js({"kind": "icons", "icons": [
  {"name": "Cleave", "effects": ["Melee", "Reroll Melee", "Special Icon"]},
  {"name": "Screen", "effects": ["Save/Missile"]}
]})js";

// Reedfolk: Gull (melee 0, 1, 2 a third each), Raider (one reroll face), Heron (an ID
// face), Reed Screen (quarter points); the Relics' Ember Wand, a health-2 mage item;
// the summoned Storm Wyrm with melee 4 on its one face.
const QByteArray kRaces = R"js({"races": [
  {"id": 3, "name": "Reedfolk", "dice": [
    {"id": 0, "name": "Gull", "health": 1, "profession": "Light Troop",
     "faces": ["1 Move", "1 Move", "1 Melee", "1 Melee", "2 Melee", "2 Melee"]},
    {"id": 1, "name": "Raider", "health": 1, "profession": "Heavy Troop",
     "faces": ["1 Cleave", "1 Melee", "1 Melee", "2 Melee", "1 Move", "1 Move"]},
    {"id": 2, "name": "Heron", "health": 1, "profession": "Defense",
     "faces": ["1 ID", "1 Save", "1 Move", "1 Move", "1 Move", "1 Move"]},
    {"id": 3, "name": "Reed Screen", "health": 1, "profession": "Defense", "faces": ["1 Screen", "3 Screen"]}]},
  {"id": 5, "name": "Relics", "type": "Magic Items", "colors": ["Red (Fire)"], "dice": [
    {"id": 0, "name": "Ember Wand", "health": 2, "profession": "Mage",
     "faces": ["1 Magic", "1 Magic", "1 Move", "1 Move", "1 Move", "1 Move"]}]},
  {"id": 25, "name": "Skywyrms", "type": "Dragonkin", "dice": [
    {"id": 10, "name": "Storm Wyrm", "health": 5, "profession": "(none)", "faces": ["4 Melee"]}]}
]})js";

// Two Gulls and the wyrm; and one Gull with a die of race 40, which is not there.
const QByteArray kArmy = R"js({"kind": "army", "name": "Ford",
  "dice": [{"race": 3, "die": 0}, {"race": 25, "die": 10}, {"race": 3, "die": 0}]})js";
const QByteArray kLossy = R"js({"kind": "army", "dice": [{"race": 40, "die": 1}, {"race": 3, "die": 0}]})js";

class OddsToolTest : public TToolTest
{
protected:
    void SetUp() override
    {
        WriteFile(Path(u"icons.json"_s), kIcons);
        WriteFile(Path(u"races.json"_s), kRaces);
        WriteFile(Path(u"army.json"_s), kArmy);
        WriteFile(Path(u"lossy.json"_s), kLossy);
        for (const QStringList &build :
             {QStringList{u"build"_s, u"--kind"_s, u"icons"_s, Path(u"icons.json"_s), Path(u"KRICONS.DAT"_s)},
              {u"build"_s, u"--kind"_s, u"races"_s, Path(u"races.json"_s), Path(u"KRRACES.DAT"_s)},
              {u"build"_s, u"--kind"_s, u"army"_s, Path(u"army.json"_s), Path(u"FORD.KRA"_s)},
              {u"build"_s, u"--kind"_s, u"army"_s, Path(u"lossy.json"_s), Path(u"LOSSY.KRA"_s)}}) {
            const TRun run = Run(build);
            ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
        }
    }

    TRun Odds(const QStringList &args)
    {
        return Run(QStringList{u"odds"_s, u"--races"_s, Path(u"KRRACES.DAT"_s)} + args);
    }

    // The output of a run that must succeed silently.
    QString Out(const QStringList &args)
    {
        const TRun run = Odds(args);
        EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
        EXPECT_TRUE(run.Err.isEmpty()) << run.Err.toStdString();
        return run.Out;
    }

    QString DieOdds(const QString &race, const QString &die, const QString &land, const QString &result,
                    const QStringList &more = {})
    {
        return Out(QStringList{u"--race"_s, race, u"--die"_s, die, u"--land"_s, land, u"--result"_s, result} + more);
    }
};

} // namespace

TEST_F(OddsToolTest, OneDie)
{
    EXPECT_EQ(DieOdds(u"3"_s, u"0"_s, u"Coastland"_s, u"Melee"_s),
              u"0\t0.333333333\t1.000000000\n1\t0.333333333\t0.666666667\n2\t0.333333333\t0.333333333\n"
              "remainder\t0\n");
    // The program's names, in any case and without blanks.
    EXPECT_EQ(DieOdds(u"3"_s, u"2"_s, u"(none)"_s, u"rout buffer"_s),
              u"-1\t0.166666667\t1.000000000\n0\t0.666666667\t0.833333333\n1\t0.166666667\t0.166666667\n"
              "remainder\t0\n");
    EXPECT_EQ(DieOdds(u"3"_s, u"3"_s, u"Highland"_s, u"Points"_s),
              u"0.25\t0.500000000\t1.000000000\n0.75\t0.500000000\t0.500000000\nremainder\t0\n");

    // The reroll face: sixteen rounds, and what they leave out.
    const QStringList lines = DieOdds(u"3"_s, u"1"_s, u"Flatland"_s, u"Melee"_s).split(u'\n');
    ASSERT_EQ(lines.size(), 18 + 1 + 1);
    EXPECT_EQ(lines[0], u"0\t0.333333333\t1.000000000");
    EXPECT_EQ(lines[1], u"1\t0.388888889\t0.666666667");
    EXPECT_EQ(lines[2], u"2\t0.231481481\t0.277777778");
    EXPECT_TRUE(lines[17].startsWith(u"17\t0.000000000\t"_s)) << lines[17].toStdString();
    EXPECT_EQ(lines[18], u"remainder\t3.54e-13");
    EXPECT_EQ(lines[19], QString());

    // The rules options as in the statistics.
    EXPECT_EQ(DieOdds(u"5"_s, u"0"_s, u"Swampland"_s, u"Red Magic"_s),
              u"0\t0.666666667\t1.000000000\n1\t0.333333333\t0.333333333\nremainder\t0\n");
    EXPECT_EQ(DieOdds(u"5"_s, u"0"_s, u"Swampland"_s, u"Red Magic"_s, {u"--power-magic-items"_s}),
              u"1\t0.666666667\t1.000000000\n2\t0.333333333\t0.333333333\nremainder\t0\n");
    EXPECT_EQ(DieOdds(u"5"_s, u"0"_s, u"Swampland"_s, u"Red Magic"_s, {u"--monstrous-magic-resistance"_s}),
              u"0\t0.666666667\t1.000000000\n1\t0.333333333\t0.333333333\nremainder\t0\n");
}

TEST_F(OddsToolTest, AnArmy)
{
    const QString twoGulls = u"0\t0.111111111\t1.000000000\n1\t0.222222222\t0.888888889\n2\t0.333333333\t0.666666667\n"
                             "3\t0.222222222\t0.333333333\n4\t0.111111111\t0.111111111\nremainder\t0\n"_s;
    const QStringList melee{Path(u"FORD.KRA"_s), u"--land"_s, u"Feyland"_s, u"--result"_s, u"Melee"_s};
    EXPECT_EQ(Out(melee), twoGulls);
    // The wyrm adds 4 to every total.
    EXPECT_EQ(Out(melee + QStringList{u"--include-summoned"_s}),
              u"4\t0.111111111\t1.000000000\n5\t0.222222222\t0.888888889\n6\t0.333333333\t0.666666667\n"
              "7\t0.222222222\t0.333333333\n8\t0.111111111\t0.111111111\nremainder\t0\n");
    // The lost die is told as the program tells it, and the rest is rolled.
    const TRun lossy = Odds({Path(u"LOSSY.KRA"_s), u"--land"_s, u"Feyland"_s, u"--result"_s, u"Move"_s});
    EXPECT_EQ(lossy.Status, 0);
    EXPECT_EQ(lossy.Err, u"1 dice lost.\n");
    EXPECT_EQ(lossy.Out, u"0\t0.666666667\t1.000000000\n1\t0.333333333\t0.333333333\nremainder\t0\n");
}

TEST_F(OddsToolTest, BadUsageAndMissingThings)
{
    const QString army = Path(u"FORD.KRA"_s);
    const QStringList die{u"--race"_s, u"3"_s, u"--die"_s, u"0"_s};
    const QStringList what{u"--land"_s, u"Feyland"_s, u"--result"_s, u"Melee"_s};
    const QList<std::pair<QStringList, QString>> usage{
        {what, u"odds takes one army file, or --race and --die for one die."_s},
        {QStringList{army, army} + what, u"odds takes one army file, or --race and --die for one die."_s},
        {QStringList{u"--race"_s, u"3"_s} + what, u"odds of one die needs both --race and --die."_s},
        {QStringList{u"--die"_s, u"0"_s} + what, u"odds of one die needs both --race and --die."_s},
        {QStringList{army} + die + what, u"odds of one die takes no army file."_s},
        {die + what + QStringList{u"--include-summoned"_s}, u"--include-summoned is for armies."_s},
        {{army, u"--land"_s, u"Feyland"_s}, u"odds needs --land and --result."_s},
        {{army, u"--result"_s, u"Melee"_s}, u"odds needs --land and --result."_s},
        {{army, u"--land"_s, u"Mountains"_s, u"--result"_s, u"Melee"_s},
         u"--land must be one of \"Coastland\", \"Flatland\", \"Highland\", \"Reserves\", \"Swampland\", "
         "\"Wasteland\", \"Feyland\", \"(none)\", not \"Mountains\"."_s},
        {{army, u"--land"_s, u"Feyland"_s, u"--result"_s, u"Hits"_s}, u"--result must be one of \"Black Magic\""_s},
        {QStringList{u"--race"_s, u"x"_s, u"--die"_s, u"0"_s} + what, u"--race must be a whole number"_s},
        {QStringList{army, u"--bogus"_s} + what, u"odds: Unknown option 'bogus'."_s},
    };
    for (const auto &[args, message] : usage) {
        const TRun run = Odds(args);
        EXPECT_EQ(run.Status, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(run.Out.isEmpty());
        EXPECT_TRUE(run.Err.startsWith(u"krtool: "_s + message)) << run.Err.toStdString();
    }

    const QString races = Path(u"KRRACES.DAT"_s);
    ExpectFailures({
        {QStringList{u"odds"_s, u"--races"_s, races, Path(u"missing.kra"_s)} + what, Path(u"missing.kra"_s) + u": "_s},
        {QStringList{u"odds"_s, u"--races"_s, races, u"--race"_s, u"9"_s, u"--die"_s, u"0"_s} + what,
         races + u": there is no race with ID 9"_s},
        {QStringList{u"odds"_s, u"--races"_s, races, u"--race"_s, u"3"_s, u"--die"_s, u"7"_s} + what,
         races + u": race 3 has no die with ID 7"_s},
        {QStringList{u"odds"_s, u"--races"_s, Path(u"nothing.DAT"_s), army} + what, Path(u"nothing.DAT"_s) + u": "_s},
    });
    EXPECT_TRUE(Run({u"help"_s}).Out.contains(u"  odds --race ID --die ID --land LAND --result RESULT"_s));
}

// Every die of the sample catalogue, at every land and for every result type: the odds
// average what the statistics say, and what they list adds up with what they leave out.
TEST_F(OddsToolTest, TheSampleCatalogueAgreesWithItsStatistics)
{
    const QString data = TestDataPath(u"../../data/"_s);
    ASSERT_TRUE(QDir(Folder.path()).mkdir(u"sample"_s));
    ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"icons"_s, data + u"icons.json"_s, Path(u"sample/KRICONS.DAT"_s)}).Status,
              0);
    ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"races"_s, data + u"races.json"_s, Path(u"sample/KRRACES.DAT"_s)}).Status,
              0);
    TCatalogue catalogue;
    TRecordingShell shell;
    ASSERT_TRUE(ReadIconData(catalogue.Icons(), Path(u"sample/KRICONS.DAT"_s), shell));
    ASSERT_TRUE(ReadRaceData(catalogue, Path(u"sample/KRRACES.DAT"_s), shell));
    for (const bool power : {false, true}) {
        catalogue.Rules.PowerMagicItems = power;
        catalogue.RegenerateRaces();
        int dice = 0;
        int cutOff = 0;
        TDieTraversal walk(catalogue);
        for (const TDie *die = walk.First(); die; die = walk.Next(), ++dice) {
            for (int l = 0; l < kLandCount; ++l) {
                for (int r = 0; r < kResultTypeCount; ++r) {
                    const TRollOdds odds = RollOdds(*die, Land(l), ResultType(r));
                    ASSERT_NEAR(odds.Mean(), die->Mean(ResultType(r), Land(l), false), 1e-9)
                        << die->Name.toStdString() << ' ' << l << ' ' << r;
                    double placed = 0;
                    for (int row = 0; row < odds.Count(); ++row)
                        placed += odds.Exactly(row);
                    ASSERT_NEAR(placed, 1.0 - odds.Remainder(), 1e-14) << die->Name.toStdString();
                    ASSERT_LT(odds.Remainder(), kOddsCutOff);
                    cutOff += odds.Remainder() > 0 ? 1 : 0;
                }
            }
        }
        EXPECT_GT(dice, 50);
        EXPECT_GT(cutOff, 0) << "the sample has reroll faces";
    }
}
