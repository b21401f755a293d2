#include "army/ArmyPrint.h"
#include "TestSupport.h"
#include "army/ArmyAnalysis.h"
#include "RecordingCanvas.h"
#include "army/PrintCanvas.h"
#include "dice/Catalogue.h"
#include "dice/DiceData.h"
#include "shell/ResultMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int kH = 16;
constexpr int kMargin = 72;
// Title at the margin, the date two lines down, the headers two more, then the rule
// and 9 units below it the first row.
constexpr int kHeaderY = kMargin + 4 * kH;
constexpr int kRuleY = kHeaderY + kH;
constexpr int kFirstRowY = kRuleY + 9;

const QStringList kChanceNames{u"Spell Resist"_s,
                               u"Cantrip"_s,
                               u"Dispel"_s,
                               u"Magic Effect"_s,
                               u"Missile Effect"_s,
                               u"Melee Effect"_s,
                               u"Maneuver Effect"_s,
                               u"Missile Save Effect"_s,
                               u"Melee Save Effect"_s,
                               u"Missile Damage Effect"_s,
                               u"Melee Damage Effect"_s,
                               u"Missile Save Damage"_s,
                               u"Melee Save Damage"_s,
                               u"Escape"_s,
                               u"Reduce"_s,
                               u"Dragon Effect"_s,
                               u"Surprise"_s};

QStringList Die(const QString &name, const QString &race = u"Goblin"_s)
{
    return {name, race, u"Cavalry"_s, u"2"_s, u" 0.00"_s, u"Drawer 12"_s};
}

TArmyPrintData Army(const QString &name, ArmyType type, std::vector<QStringList> dice = {Die(u"Spearman"_s)})
{
    TArmyPrintData army;
    army.Name = name;
    army.Health = 24;
    army.Type = type;
    army.GroupName = u"Vale"_s;
    army.PrintedAt = u"03/07/24 09:05:01"_s;
    army.DiceHeaders = ArmyDiceHeaders();
    army.DiceRows = std::move(dice);
    army.ChanceHeaders = QStringList{u"Effect"_s, u"%"_s};
    for (const QString &effect : kChanceNames)
        army.ChanceRows.push_back({effect, u"  0.00"_s});
    army.ResultHeaders = QStringList{u"Terrain"_s,   u"Coastland"_s, u"Flatland"_s, u"Highland"_s, u"Reserves"_s,
                                     u"Swampland"_s, u"Wasteland"_s, u"Feyland"_s,  u"(none)"_s};
    for (int i = 0; i < kResultTypeCount; ++i) {
        QStringList row{NameOf(ResultType(i))};
        for (int land = 0; land < kLandCount; ++land)
            row << u"%1.00/0.%2"_s.arg(i).arg(land);
        army.ResultRows.push_back(row);
    }
    if (HasMajorTerrain(type))
        army.MajorTerrain = u"Coastland Temple"_s;
    if (type == ArmyType::HomeArmy)
        army.BattleSize = 36;
    return army;
}

// The y of the line after the rows of an army with the usual 17 chances and at most
// 17 dice lines.
constexpr int kAfterRowsY = kFirstRowY + 17 * kH;

} // namespace

TEST(ArmyPrint, HeadsTheArmyWithTitleDateAndRuledHeaders)
{
    TRecordingCanvas canvas;
    PrintArmy(canvas, Army(u"Iron Host"_s, ArmyType::CampaignArmy));
    EXPECT_EQ(canvas.Events, (QStringList{u"begin Iron Host"_s, u"end"_s}));

    const auto *title = canvas.Find(u"Iron Host:  24 Health Campaign Army for Vale"_s);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->X, kMargin);
    EXPECT_EQ(title->Y, kMargin);
    EXPECT_EQ(title->Font, (TPrintFont{12, true}));
    EXPECT_EQ(canvas.At(0, kMargin + 2 * kH), QStringList{u"03/07/24 09:05:01"_s});
    EXPECT_EQ(canvas.At(0, kHeaderY), (QStringList{u"Name"_s, u"Race"_s, u"Profession"_s, u"HP"_s, u"Resist"_s,
                                                   u"Loc"_s, u"#"_s, u"Effect"_s, u"%"_s}));
    EXPECT_EQ(canvas.Find(u"Name"_s)->Font, (TPrintFont{10, true}));
    EXPECT_EQ(canvas.Find(u"Spearman"_s)->Font, (TPrintFont{10, false}));
    EXPECT_EQ(canvas.Find(u"Spearman"_s)->Y, kFirstRowY);
}

TEST(ArmyPrint, ColumnsAreAsWideAsTheirWidestCell)
{
    TRecordingCanvas canvas;
    // Widest: "Spearman" 56 over "Name"; "Goblin" 42; the header "Profession" 70; "HP"
    // 14; the header "Resist" 42; "Drawer 12" 63; then "999" 21. Gaps are 14.
    PrintArmy(canvas, Army(u"A"_s, ArmyType::HordeArmy, {Die(u"Spearman"_s), Die(u"Ax"_s)}));
    const int name = kMargin, race = name + 56 + 14, profession = race + 42 + 14, hp = profession + 70 + 14,
              resist = hp + 14 + 14, loc = resist + 42 + 14, count = loc + 63 + 14, diceEnd = count + 21;
    // The chances start two gaps further; "Missile Damage Effect" is the widest effect
    // (147) and "  0.00" (42) is wider than "%".
    const int effect = diceEnd + 28, percent = effect + 147 + 14, chanceEnd = percent + 42;

    EXPECT_EQ(canvas.Find(u"Name"_s)->X, name);
    EXPECT_EQ(canvas.Find(u"Race"_s)->X, race);
    EXPECT_EQ(canvas.Find(u"Profession"_s)->X, profession);
    EXPECT_EQ(canvas.Find(u"HP"_s)->X, hp);         // right-aligned, as wide as its column
    EXPECT_EQ(canvas.Find(u"2"_s)->X, hp + 14 - 7); // right-aligned
    EXPECT_EQ(canvas.Find(u"Resist"_s)->X, resist);
    EXPECT_EQ(canvas.Find(u" 0.00"_s)->X, resist + 42 - 35); // right-aligned
    EXPECT_EQ(canvas.Find(u"Loc"_s)->X, loc);
    EXPECT_EQ(canvas.Find(u"#"_s)->X, diceEnd - 7);
    EXPECT_EQ(canvas.Find(u"1"_s)->X, diceEnd - 7);
    EXPECT_EQ(canvas.Find(u"Effect"_s)->X, effect);
    EXPECT_EQ(canvas.Find(u"%"_s)->X, chanceEnd - 7);
    EXPECT_EQ(canvas.Find(u"  0.00"_s)->X, percent);

    ASSERT_EQ(canvas.Lines.size(), 3u); // two under the army's tables, one under the capabilities
    EXPECT_EQ((std::array{canvas.Lines[0].X1, canvas.Lines[0].Y1, canvas.Lines[0].X2, canvas.Lines[0].Y2,
                          canvas.Lines[0].Pen}),
              (std::array{kMargin, kRuleY, diceEnd, kRuleY, 5}));
    EXPECT_EQ((std::array{canvas.Lines[1].X1, canvas.Lines[1].X2, canvas.Lines[1].Pen}),
              (std::array{effect, chanceEnd, 5}));
}

TEST(ArmyPrint, RunsOfTheSameDiePrintAsOneRowWithTheirCount)
{
    TRecordingCanvas canvas;
    PrintArmy(canvas, Army(u"A"_s, ArmyType::HordeArmy,
                           {Die(u"Archer"_s), Die(u"Archer"_s), Die(u"Archer"_s), Die(u"Knight"_s), Die(u"Archer"_s),
                            Die(u"Archer"_s, u"Elf"_s)}));
    const QStringList tail{u"Cavalry"_s, u"2"_s, u" 0.00"_s, u"Drawer 12"_s};
    EXPECT_EQ(canvas.At(0, kFirstRowY),
              (QStringList{u"Archer"_s, u"Goblin"_s} + tail + QStringList{u"3"_s, u"Spell Resist"_s, u"  0.00"_s}));
    EXPECT_EQ(canvas.At(0, kFirstRowY + kH).mid(0, 2), (QStringList{u"Knight"_s, u"Goblin"_s}));
    // The same die again after another one starts a run of its own; the same name of
    // another race is another die.
    EXPECT_EQ(canvas.At(0, kFirstRowY + 2 * kH).mid(0, 2), (QStringList{u"Archer"_s, u"Goblin"_s}));
    EXPECT_EQ(canvas.At(0, kFirstRowY + 2 * kH).value(6), u"1"_s);
    EXPECT_EQ(canvas.At(0, kFirstRowY + 3 * kH).mid(0, 2), (QStringList{u"Archer"_s, u"Elf"_s}));
    EXPECT_EQ(canvas.At(0, kFirstRowY + 4 * kH), (QStringList{u"Missile Effect"_s, u"  0.00"_s}));
}

TEST(ArmyPrint, DiceAndChancesRunSideBySideUntilBothAreUsedUp)
{
    std::vector<QStringList> many;
    for (int i = 0; i < 20; ++i)
        many.push_back(Die(u"Unit %1"_s.arg(i, 2, 10, QChar(u'0'))));
    TRecordingCanvas longer;
    PrintArmy(longer, Army(u"A"_s, ArmyType::HordeArmy, many));
    EXPECT_EQ(longer.At(0, kFirstRowY + 16 * kH).value(0), u"Unit 16"_s);
    EXPECT_EQ(longer.At(0, kFirstRowY + 16 * kH).mid(7), (QStringList{u"Surprise"_s, u"  0.00"_s}));
    for (int line = 17; line < 20; ++line)
        EXPECT_EQ(longer.At(0, kFirstRowY + line * kH), Die(u"Unit %1"_s.arg(line)).mid(0, 6) << u"1"_s);
    // After the last die one blank line, then the terrains (none for this horde), then
    // the capabilities after one more.
    EXPECT_EQ(longer.Find(u"A Capabilities"_s)->Y, kFirstRowY + 20 * kH + 3 * kH);

    TRecordingCanvas shorter;
    PrintArmy(shorter, Army(u"A"_s, ArmyType::HordeArmy, {Die(u"Solo"_s)}));
    EXPECT_EQ(shorter.At(0, kFirstRowY).value(0), u"Solo"_s);
    for (int line = 1; line < 17; ++line)
        EXPECT_EQ(shorter.At(0, kFirstRowY + line * kH), (QStringList{kChanceNames[line], u"  0.00"_s}));
    EXPECT_TRUE(shorter.At(0, kFirstRowY + 17 * kH).isEmpty());
}

TEST(ArmyPrint, TerrainLinesFollowTheArmyType)
{
    TRecordingCanvas home;
    TArmyPrintData homeArmy = Army(u"A"_s, ArmyType::HomeArmy);
    homeArmy.MinorTerrains = QStringList{u"Flatland Bridge"_s, u"Feyland Village"_s};
    PrintArmy(home, homeArmy);
    // The values line up at the width of "Major Terrain:**" (16 characters).
    const int terrainY = kAfterRowsY + 2 * kH;
    EXPECT_EQ(home.At(0, terrainY), (QStringList{u"Major Terrain:  "_s, u"Coastland Temple"_s}));
    EXPECT_EQ(home.Find(u"Coastland Temple"_s)->X, kMargin + 16 * 7);
    EXPECT_EQ(home.At(0, terrainY + kH), (QStringList{u"Minor Terrains:  "_s, u"Flatland Bridge, Feyland Village"_s}));
    EXPECT_TRUE(home.At(0, terrainY + 2 * kH).isEmpty());
    EXPECT_EQ(home.At(0, terrainY + 3 * kH), (QStringList{u"Battle Size:  "_s, u"36"_s}));
    EXPECT_EQ(home.Find(u"36"_s)->X, kMargin + 16 * 7);
    EXPECT_EQ(home.Find(u"A Capabilities"_s)->Y, terrainY + 4 * kH);

    TRecordingCanvas campaign;
    PrintArmy(campaign, Army(u"A"_s, ArmyType::CampaignArmy));
    EXPECT_TRUE(campaign.Shows(u"Major Terrain:  "_s));
    EXPECT_FALSE(campaign.Shows(u"Minor Terrains:  "_s));
    EXPECT_FALSE(campaign.Shows(u"Battle Size:  "_s));

    TRecordingCanvas horde;
    TArmyPrintData hordeArmy = Army(u"A"_s, ArmyType::HordeArmy);
    hordeArmy.MinorTerrains = QStringList{u"Coastland Knoll"_s};
    PrintArmy(horde, hordeArmy);
    EXPECT_FALSE(horde.Shows(u"Major Terrain:  "_s));
    EXPECT_FALSE(horde.Shows(u"Battle Size:  "_s));
    EXPECT_EQ(horde.At(0, terrainY), (QStringList{u"Minor Terrains:  "_s, u"Coastland Knoll"_s}));
}

TEST(ArmyPrint, NotesWrapAtTheWidthOfBothTables)
{
    TRecordingCanvas canvas;
    TArmyPrintData army = Army(u"A"_s, ArmyType::HordeArmy);
    // The tables end 623 units right of the margin: 89 characters.
    army.Notes = QString(100, u'x') + u"\n"_s + u"one "_s + QString(84, u'y') + u" two three"_s + u"\r\n\r\n"_s +
                 QString(89, u'z') + u"   tail"_s;
    PrintArmy(canvas, army);
    ASSERT_EQ(canvas.Lines[1].X2 - kMargin, 623);
    const int notesY = kAfterRowsY + kH;
    const QStringList expected{QString(89, u'x'), QString(11, u'x'), u"one "_s + QString(84, u'y'),
                               u"two three"_s,    QString(),         QString(89, u'z'),
                               u"tail"_s};
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(canvas.At(0, notesY + i * kH), expected[i].isEmpty() ? QStringList() : QStringList{expected[i]})
            << "note line " << i;
    }
    EXPECT_EQ(canvas.Find(u"tail"_s)->X, kMargin);
    EXPECT_EQ(canvas.Find(u"A Capabilities"_s)->Y, notesY + 7 * kH + 2 * kH);
}

TEST(ArmyPrint, CapabilitiesGoToANewPageWhenFewerThanTwentyLinesRemain)
{
    // A home army's capabilities start at 513 plus 16 per note line; they need 320 units
    // above the foot margin at 1028: 12 note lines leave room, 13 do not.
    for (const int notes : {12, 13}) {
        TRecordingCanvas canvas;
        TArmyPrintData army = Army(u"A"_s, ArmyType::HomeArmy);
        QStringList lines;
        for (int i = 0; i < notes; ++i)
            lines << u"note %1"_s.arg(i);
        army.Notes = lines.join(u'\n');
        PrintArmy(canvas, army);
        const auto *capabilities = canvas.Find(u"A Capabilities"_s, notes == 12 ? 0 : 1);
        ASSERT_NE(capabilities, nullptr) << notes;
        EXPECT_EQ(capabilities->Y, notes == 12 ? 705 : kMargin);
        EXPECT_EQ(canvas.Events.count(u"page"_s), notes == 12 ? 0 : 1);
    }
}

TEST(ArmyPrint, CapabilitiesAreTheResultGridTurned)
{
    TRecordingCanvas canvas;
    TArmyPrintData army = Army(u"A"_s, ArmyType::HordeArmy);
    // As the window passes them: in display order, "Melee" moved to the front.
    std::rotate(army.ResultRows.begin(), army.ResultRows.begin() + 6, army.ResultRows.begin() + 7);
    PrintArmy(canvas, army);
    const int titleY = kAfterRowsY + 3 * kH;
    const auto *title = canvas.Find(u"A Capabilities"_s);
    EXPECT_EQ((std::array{title->X, title->Y}), (std::array{kMargin, titleY}));
    EXPECT_EQ(title->Font, (TPrintFont{12, true}));
    EXPECT_EQ(canvas.At(0, titleY + 2 * kH), army.ResultHeaders);
    EXPECT_EQ(canvas.Find(u"Coastland"_s)->Font, (TPrintFont{10, true}));

    // "Save/Missile" (84) is the widest name; every land column is as wide as
    // "99.999/99.999" (91); two blanks (14) between columns.
    const int first = kMargin + 84 + 14;
    EXPECT_EQ(canvas.Find(u"Coastland"_s)->X, first);
    EXPECT_EQ(canvas.Find(u"(none)"_s)->X, first + 7 * (91 + 14));
    const auto &rule = canvas.Lines[2];
    EXPECT_EQ((std::array{rule.X1, rule.Y1, rule.X2, rule.Pen}),
              (std::array{kMargin, titleY + 3 * kH, first + 7 * (91 + 14) + 91, 5}));

    const int rowsY = titleY + 3 * kH + 9;
    EXPECT_EQ(canvas.At(0, rowsY), army.ResultRows[0]);
    EXPECT_EQ(canvas.At(0, rowsY).value(0), u"Melee"_s);
    EXPECT_EQ(canvas.At(0, rowsY + kH).value(0), u"Black Magic"_s);
    EXPECT_EQ(canvas.At(0, rowsY + 14 * kH), army.ResultRows[14]);
    EXPECT_TRUE(canvas.At(0, rowsY + 15 * kH).isEmpty());
    EXPECT_EQ(canvas.Find(u"6.00/0.0"_s)->Font, (TPrintFont{10, false}));

    // On a page too narrow for that (the table must end at the right margin, 72 units
    // from the edge) the columns shrink to the texts shown: the widest land name or
    // figure, "Swampland" and the like (63).
    TRecordingCanvas narrow;
    narrow.Width = 900;
    PrintArmy(narrow, army);
    EXPECT_EQ(narrow.Find(u"(none)"_s)->X, first + 7 * (63 + 14));
    EXPECT_EQ(narrow.Lines[2].X2, first + 7 * (63 + 14) + 63);
    EXPECT_EQ(narrow.Find(u"(none)"_s)->Font, (TPrintFont{10, true}));

    // Narrower still, the table's type gets smaller: at size 9 a character is 6.3
    // units, so "Save/Missile" is 75, two blanks 12 and "Swampland" 56.
    TRecordingCanvas narrower;
    narrower.Width = 800;
    PrintArmy(narrower, army);
    EXPECT_EQ(narrower.Find(u"(none)"_s)->X, kMargin + 75 + 12 + 7 * (56 + 12));
    EXPECT_EQ(narrower.Lines[2].X2, kMargin + 75 + 8 * (12 + 56));
    EXPECT_EQ(narrower.Find(u"(none)"_s)->Font, (TPrintFont{9, true}));
    EXPECT_EQ(narrower.Find(u"6.00/0.0"_s)->Font, (TPrintFont{9, false}));
    EXPECT_EQ(narrower.Find(u"A Capabilities"_s)->Font, (TPrintFont{12, true}));

    // The army's tables above keep to the margin too; the capabilities as well.
    TRecordingCanvas wideArmy;
    wideArmy.Width = 800;
    army.DiceRows = {Die(QString(60, u'n'))};
    PrintArmy(wideArmy, army);
    EXPECT_EQ(wideArmy.Find(u"(none)"_s)->X, kMargin + 75 + 12 + 7 * (56 + 12));
}

TEST(ArmyPrint, RowsThatRunPastTheFootContinueOnTheNextPage)
{
    std::vector<QStringList> many;
    for (int i = 0; i < 70; ++i)
        many.push_back(Die(u"Unit %1"_s.arg(i)));
    TRecordingCanvas canvas;
    PrintArmy(canvas, Army(u"A"_s, ArmyType::HordeArmy, many));
    // Rows from 161 in steps of 16 while they end above the foot margin at 1028.
    const int perPage = (1028 - kFirstRowY) / kH;
    EXPECT_EQ(canvas.Find(u"Unit %1"_s.arg(perPage - 1))->Y, kFirstRowY + (perPage - 1) * kH);
    // The next page heads its rows again.
    EXPECT_EQ(canvas.Find(u"Name"_s, 1)->Y, kMargin);
    EXPECT_EQ(canvas.Find(u"Effect"_s, 1)->Y, kMargin);
    EXPECT_EQ(canvas.Find(u"Unit %1"_s.arg(perPage), 1)->Y, kMargin + kFirstRowY - kHeaderY);
    for (const auto &drawn : canvas.Texts)
        EXPECT_LE(drawn.Y + kH, 1028) << drawn.Text.toStdString();
}

TEST(ArmyPrint, AGroupPrintsHomeToSummoningOneArmyPerPage)
{
    std::vector<TArmyPrintData> armies{
        Army(u"Summoned"_s, ArmyType::SummoningPool), Army(u"Horde"_s, ArmyType::HordeArmy),
        Army(u"Home"_s, ArmyType::HomeArmy),          Army(u"Stranger"_s, ArmyType::CampaignArmy),
        Army(u"Promoted"_s, ArmyType::PromotionPool), Army(u"Campaign"_s, ArmyType::CampaignArmy),
        Army(u"Second Home"_s, ArmyType::HomeArmy)};
    armies[3].GroupName = u"vale"_s; // another group: names compare exactly
    TRecordingCanvas canvas;
    QStringList printing;
    PrintArmyGroup(canvas, u"Vale"_s, armies, [&](const QString &name) { printing << name; });

    const QStringList order{u"Home"_s, u"Second Home"_s, u"Campaign"_s, u"Horde"_s, u"Promoted"_s, u"Summoned"_s};
    EXPECT_EQ(printing, order);
    EXPECT_EQ(canvas.Events,
              (QStringList{u"begin Vale"_s, u"page"_s, u"page"_s, u"page"_s, u"page"_s, u"page"_s, u"end"_s}));
    for (int page = 0; page < order.size(); ++page) {
        const auto &title = canvas.At(page, kMargin);
        ASSERT_EQ(title.size(), 1) << page;
        EXPECT_TRUE(title[0].startsWith(order[page] + u":  "_s)) << title[0].toStdString();
    }
    EXPECT_FALSE(canvas.Shows(u"Stranger Capabilities"_s));
}

TEST(ArmyPrint, AFailureAbortsTheDocument)
{
    TRecordingCanvas canvas;
    canvas.FailOnNewPage = true;
    const QString failure = FailureOf([&] {
        PrintArmyGroup(canvas, u"Vale"_s, {Army(u"One"_s, ArmyType::HomeArmy), Army(u"Two"_s, ArmyType::HomeArmy)});
    });
    EXPECT_EQ(failure, u"out of paper"_s);
    EXPECT_EQ(canvas.Events, (QStringList{u"begin Vale"_s, u"abort"_s}));
}

TEST(ArmyPrint, DataComesFromTheArmyAndItsAnalysis)
{
    TCatalogue catalogue;
    catalogue.MakeTerrains();
    auto race = std::make_unique<TRace>(catalogue, 1, u"Goblin"_s);
    TRace &goblins = catalogue.AppendRace(std::move(race));
    auto die = std::make_unique<TDie>(goblins, u"Spearman"_s);
    die->SetHealth(3);
    die->SetProfession(Profession::HeavyTroop);
    die->Drawer = u"B4"_s;
    TDie &spearman = *die;
    goblins.AddDie(std::move(die));

    TArmy army(catalogue);
    army.SetName(u"Iron Host"_s);
    army.AddDie(spearman);
    army.AddDie(spearman);
    army.SetNotes(u"Hold the ford."_s);
    army.SetMinorTerrain(3, 5);
    TArmyAnalysis analysis = AnalyzeArmy(AnalysedDice(army.Dice(), false));
    TResultMap map;
    map.MoveResultColumn(7, 1); // "Melee" first
    const QDateTime moment(QDate(2024, 3, 7), QTime(9, 5, 1));

    TArmyPrintData horde = MakeArmyPrintData(army, analysis, map, false, moment);
    EXPECT_EQ(horde.PrintedAt, u"03/07/24 09:05:01"_s);
    EXPECT_EQ(horde.Health, 6);
    EXPECT_EQ(horde.DiceHeaders, ArmyDiceHeaders());
    ASSERT_EQ(horde.DiceRows.size(), 2u);
    EXPECT_EQ(horde.DiceRows[0],
              (QStringList{u"Spearman"_s, u"Goblin"_s, u"Heavy Troop"_s, u"3"_s,
                           QString::asprintf("%5.2f", spearman.Fraction(EffectFlag::SpellResist) * 100), u"B4"_s}));
    ASSERT_EQ(horde.ChanceRows.size(), 17u);
    EXPECT_EQ(horde.ChanceRows[16], (QStringList{u"Surprise"_s, analysis.ChanceText(EffectFlag::Surprise)}));
    EXPECT_EQ(horde.ResultHeaders.value(8), u"(none)"_s);
    ASSERT_EQ(horde.ResultRows.size(), 15u);
    EXPECT_EQ(horde.ResultRows[0].value(0), u"Melee"_s);
    EXPECT_EQ(horde.ResultRows[0].value(2), analysis.CellText(ResultType::Melee, Land::Flatland, false));
    EXPECT_EQ(horde.ResultRows[1].value(0), u"Black Magic"_s);
    EXPECT_EQ(horde.MinorTerrains, QStringList{MinorTerrainName(5)});
    EXPECT_TRUE(horde.MajorTerrain.isEmpty());
    EXPECT_FALSE(horde.BattleSize.has_value());
    EXPECT_EQ(horde.Notes, u"Hold the ford."_s);

    army.SetArmyType(ArmyType::HomeArmy);
    const TArmyPrintData home = MakeArmyPrintData(army, analysis, map, true, moment);
    EXPECT_EQ(home.MajorTerrain, MajorTerrainName(2));
    EXPECT_EQ(home.BattleSize, std::optional<quint32>(36));
    EXPECT_EQ(home.ResultRows[0].value(1), analysis.CellText(ResultType::Melee, Land::Coastland, true));
}

namespace {

// The widest a line of the canvas reaches, and whether every text keeps to the page
// within its margins.
QStringList OutsideThePage(const TRecordingCanvas &canvas)
{
    QStringList outside;
    for (const auto &drawn : canvas.Texts) {
        const int right = drawn.X + canvas.TextWidth(drawn.Text, drawn.Font);
        const int bottom = drawn.Y + canvas.TextHeight(drawn.Text, drawn.Font);
        if (drawn.X < kMargin || right > canvas.Width - kMargin || bottom > canvas.Height)
            outside << u"%1 at %2,%3 to %4,%5"_s.arg(drawn.Text).arg(drawn.X).arg(drawn.Y).arg(right).arg(bottom);
    }
    return outside;
}

// A full army of 36 dice with names as long as the catalogue's, notes and terrains.
TArmyPrintData FullArmy(const QString &name, ArmyType type)
{
    std::vector<QStringList> dice;
    const QStringList names{u"Twelve-Sided Footman"_s, u"Deepwater Leviathan"_s, u"Twinstring Marksman"_s,
                            u"Spinebacked Warden"_s, u"Sunthread Acolyte"_s, u"Reed Runner"_s};
    for (int i = 0; i < 36; ++i)
        dice.push_back({names[i % names.size()] + (i % 4 == 0 ? QString() : u" %1"_s.arg(i)),
                        u"Hollowmarsh Folk"_s, u"Light Missile"_s, u"10"_s, u"33.33"_s, u"Drawer 12B"_s});
    TArmyPrintData army = Army(name, type, dice);
    for (QStringList &row : army.ResultRows) {
        for (int land = 1; land < row.size(); ++land)
            row[land] = u"12.75/10.33"_s;
    }
    for (QStringList &row : army.ChanceRows)
        row[1] = u"100.00"_s;
    army.Notes = QString(u"The host waits at the ford until the second march. "_s).repeated(6);
    army.MinorTerrains = QStringList{u"Swampland Village"_s, u"Wasteland Village"_s, u"Coastland Bridge"_s,
                                     u"Highland Forest"_s};
    return army;
}

} // namespace

TEST(ArmyPrint, EveryTableKeepsToA4AndLetterPagesBothWays)
{
    // The printable areas at 96 pixels per inch: A4 is 794 x 1123, Letter 816 x 1056.
    const std::array<std::pair<int, int>, 4> pages{{{794, 1123}, {1123, 794}, {816, 1056}, {1056, 816}}};
    for (const auto &[width, height] : pages) {
        TRecordingCanvas canvas;
        canvas.Width = width;
        canvas.Height = height;
        std::vector<TArmyPrintData> group{FullArmy(u"Coast Raiders"_s, ArmyType::HomeArmy),
                                          FullArmy(u"Fen Horde"_s, ArmyType::HordeArmy)};
        PrintArmyGroup(canvas, u"Vale"_s, group);
        EXPECT_EQ(OutsideThePage(canvas), QStringList()) << width << " x " << height;
        // Every column is whole: each percentage, each land, each figure; no text cut.
        for (int page = 0; page <= canvas.Page; ++page) {
            EXPECT_EQ(std::count_if(canvas.Texts.begin(), canvas.Texts.end(),
                                    [&](const auto &drawn) { return drawn.Text == u"100.00"_s; }),
                      17 * 2)
                << width;
        }
        EXPECT_TRUE(canvas.Shows(u"(none)"_s)) << width;
        EXPECT_EQ(std::count_if(canvas.Texts.begin(), canvas.Texts.end(),
                                [](const auto &drawn) { return drawn.Text == u"12.75/10.33"_s; }),
                  2 * 15 * 8)
            << width;
        EXPECT_FALSE(std::any_of(canvas.Texts.begin(), canvas.Texts.end(),
                                 [](const auto &drawn) { return drawn.Text.endsWith(u"..."_s); }))
            << width;
    }
}

TEST(ArmyPrint, TablesGetSmallerTypeAndCutOnlyWhatMustBeCut)
{
    // An upright A4 page takes the dice in smaller type.
    TRecordingCanvas a4;
    a4.Width = 794;
    a4.Height = 1123;
    PrintArmy(a4, FullArmy(u"Coast Raiders"_s, ArmyType::HomeArmy));
    EXPECT_LT(a4.Find(u"Hollowmarsh Folk"_s)->Font.PointSize, 10);
    EXPECT_FALSE(a4.Find(u"Hollowmarsh Folk"_s)->Font.Bold);
    EXPECT_EQ(a4.Find(u"Name"_s)->Font, (TPrintFont{a4.Find(u"Hollowmarsh Folk"_s)->Font.PointSize, true}));
    // The title and the notes keep their sizes.
    const auto capabilities = std::find_if(a4.Texts.begin(), a4.Texts.end(), [](const auto &drawn) {
        return drawn.Text == u"Coast Raiders Capabilities"_s;
    });
    ASSERT_NE(capabilities, a4.Texts.end());
    EXPECT_EQ(capabilities->Font, (TPrintFont{12, true}));

    // A name no type size makes fit is cut to what room is left, the figures never.
    TRecordingCanvas narrow;
    narrow.Width = 794;
    TArmyPrintData army = FullArmy(u"Coast Raiders"_s, ArmyType::HordeArmy);
    army.DiceRows[0][0] = QString(150, u'n');
    PrintArmy(narrow, army);
    EXPECT_EQ(OutsideThePage(narrow), QStringList());
    const auto cut = std::find_if(narrow.Texts.begin(), narrow.Texts.end(),
                                  [](const auto &drawn) { return drawn.Text.startsWith(u"nnnn"_s); });
    ASSERT_NE(cut, narrow.Texts.end());
    EXPECT_TRUE(cut->Text.endsWith(u"..."_s));
    EXPECT_EQ(cut->Font.PointSize, 6);
    EXPECT_TRUE(narrow.Shows(u"Hollowmarsh Folk"_s));
    EXPECT_TRUE(narrow.Shows(u"33.33"_s));
    EXPECT_TRUE(narrow.Shows(u"Missile Damage Effect"_s));
}
