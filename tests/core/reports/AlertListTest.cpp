#include "reports/AlertList.h"
#include "RecordingCanvas.h"
#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "inventory/KeepRules.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class TVirtualDie : public TDie
{
public:
    using TDie::TDie;
    bool IsVirtual() const override { return true; }
};

class InvReportTest : public ::testing::Test
{
protected:
    InvReportTest() { Catalogue.MakeTerrains(); }

    TRace &NewRace(const QString &name, RaceType type = RaceType::NormalUnits)
    {
        auto race = std::make_unique<TRace>(Catalogue, Catalogue.NextID(), name);
        race->Type = type;
        return Catalogue.AppendRace(std::move(race));
    }
    TDie &NewDie(TRace &race, const QString &name, int health, quint32 count,
                 Profession profession = Profession::HeavyTroop)
    {
        TDie &die = AddDie(race, name, health, profession);
        die.Count = count;
        die.SetPrice(die.DefaultPrice());
        return die;
    }
    // Terrains keep no copies, so that only the dice of a test show.
    void KeepNoTerrains()
    {
        Rules.MajorTerrain = 0;
        Rules.MinorTerrain = 0;
    }
    QStringList Names(TAlertSearch search)
    {
        Rules.SearchType = qint32(search);
        List.Run(Catalogue, Rules);
        QStringList names;
        for (const TInventoryData *item : List.Items())
            names << item->Name;
        return names;
    }

    TCatalogue Catalogue;
    TKeepRules Rules;
    TAlertList List;
};

} // namespace

TEST_F(InvReportTest, TheGridShowsEachItemAsTheWindowDoes)
{
    TRace &kin = NewRace(u"Ember Kin"_s);
    TDie &runner = NewDie(kin, u"Ash Runner"_s, 1, 10, Profession::LightTroop); // 10 - 8 = 2
    runner.UsedCount = 0;
    TDie &lord = NewDie(kin, u"Forge Lord"_s, 3, 5); // 5 - 2 = 3, locked: 0
    lord.Locked = true;
    lord.Trading = true;
    TDie &adept = NewDie(kin, u"Flame Adept"_s, 2, 0, Profession::Mage); // 0 - 4
    adept.SetPrice(1234567);
    TRace &quiet = NewRace(u"Quiet Ones"_s, RaceType::Eldarim);
    TDie &watcher = NewDie(quiet, u"Still Watcher"_s, 4, 3, Profession::Defense); // keeps 0
    watcher.UsedCount = 1;
    KeepNoTerrains();
    Catalogue.MinorTerrain(5)->Count = 2;

    EXPECT_EQ(Names(TAlertSearch::Trade),
              (QStringList{u"Ash Runner"_s, u"Flame Adept"_s, u"Still Watcher"_s, u"Flatland Forest"_s}));
    EXPECT_EQ(TAlertList::Headers(), (QStringList{QString(), u"Name"_s, u"Type"_s, u"Profession"_s, u"SZ"_s,
                                                  u"Count"_s, u"Diff"_s, u"Points"_s}));
    EXPECT_EQ(TAlertList::RowTexts(runner), (QStringList{u" "_s, u"Ash Runner"_s, u"Ember Kin"_s, u"Light Troop"_s,
                                                         u"1"_s, u"10/0"_s, u"+  2"_s, u"     1"_s}));
    EXPECT_EQ(TAlertList::RowTexts(adept), (QStringList{u" "_s, u"Flame Adept"_s, u"Ember Kin"_s, u"Mage"_s, u"2"_s,
                                                        u"0/0"_s, u"-  4"_s, u"1234567"_s}));
    EXPECT_EQ(TAlertList::RowTexts(watcher), (QStringList{u" "_s, u"Still Watcher"_s, u"Quiet Ones"_s, u"Defense"_s,
                                                          u"4"_s, u"3/1"_s, u"+  2"_s, u"    12"_s}));
    EXPECT_EQ(TAlertList::RowTexts(*Catalogue.MinorTerrain(5)),
              (QStringList{u" "_s, u"Flatland Forest"_s, u"Flatland"_s, u"Forest"_s, u"m"_s, u"2/0"_s, u"+  2"_s,
                           u"     2"_s}));

    // A locked die spares nothing unless locked items count as liked.
    EXPECT_EQ(Names(TAlertSearch::Locked), QStringList{u"Forge Lord"_s});
    EXPECT_EQ(TAlertList::RowTexts(lord).mid(0, 7), (QStringList{u"*"_s, u"Forge Lord"_s, u"Ember Kin"_s,
                                                                 u"Heavy Troop"_s, u"3"_s, u"5/0"_s, u"   0"_s}));
    Rules.LockedAsLiked = true;
    Names(TAlertSearch::Locked);
    EXPECT_EQ(TAlertList::CellText(lord, 6), u"+  3"_s);
    // The trade maximum bounds what is offered.
    Rules.TradeMax = 1;
    Names(TAlertSearch::All);
    EXPECT_EQ(TAlertList::CellText(lord, 6), u"+  1"_s);
    EXPECT_EQ(TAlertList::CellText(runner, 6), u"+  1"_s);
    EXPECT_EQ(TAlertList::CellText(adept, 6), u"-  4"_s);
    lord.Diff = -1000;
    EXPECT_EQ(TAlertList::CellText(lord, 6), u"-1000"_s);
    lord.Diff = std::numeric_limits<qint32>::min();
    EXPECT_EQ(TAlertList::CellText(lord, 6), u"-2147483648"_s);
}

TEST_F(InvReportTest, EachSearchListsItsItemsInCatalogueOrder)
{
    TRace &kin = NewRace(u"Ember Kin"_s);
    NewDie(kin, u"Spare"_s, 1, 10);                  // +2
    NewDie(kin, u"Short"_s, 1, 7);                   // -1
    NewDie(kin, u"Even"_s, 2, 4);                    // 0
    NewDie(kin, u"Big Short"_s, 3, 1);               // -1, health 3
    NewDie(kin, u"Big Even"_s, 3, 2).Trading = true; // 0
    TDie &flare = NewDie(kin, u"Flare"_s, 1, 3);     // ultra-rare: 3 - 1
    flare.UltraRare = true;
    TDie &used = NewDie(kin, u"Used"_s, 2, 6);       // 6 - 1 - 4
    used.UsedCount = 1;
    used.Locked = true;
    auto ghost = std::make_unique<TVirtualDie>(kin, u"Ghost"_s);
    ghost->Count = 50;
    kin.AddDie(std::move(ghost));
    KeepNoTerrains();
    Catalogue.MajorTerrain(0)->Modifier = 1; // wanted: 0 - 1

    EXPECT_EQ(Names(TAlertSearch::Shortage), (QStringList{u"Short"_s, u"Big Short"_s, u"Coastland City"_s}));
    EXPECT_EQ(Names(TAlertSearch::Surplus), (QStringList{u"Spare"_s, u"Flare"_s}));
    EXPECT_EQ(Names(TAlertSearch::Trade),
              (QStringList{u"Spare"_s, u"Short"_s, u"Big Short"_s, u"Flare"_s, u"Coastland City"_s}));
    EXPECT_EQ(Names(TAlertSearch::UltraRare), QStringList{u"Flare"_s});
    EXPECT_EQ(Names(TAlertSearch::Trading), QStringList{u"Big Even"_s});
    // Announced: terrains, ultra-rare dice and dice of health 3 or more, that are spare
    // or missing.
    EXPECT_EQ(Names(TAlertSearch::Announce), (QStringList{u"Big Short"_s, u"Flare"_s, u"Coastland City"_s}));
    EXPECT_EQ(Names(TAlertSearch::Locked), QStringList{u"Used"_s});
    EXPECT_EQ(Names(TAlertSearch::Used), QStringList{u"Used"_s});
    EXPECT_EQ(Names(TAlertSearch::Owned).size(), 7);
    // Looking with limit 0: everything without surplus, the 71 idle terrains included.
    const QStringList looking = Names(TAlertSearch::Looking);
    EXPECT_EQ(looking.size(), 5 + 72);
    EXPECT_EQ(looking.mid(0, 6), (QStringList{u"Short"_s, u"Even"_s, u"Big Short"_s, u"Big Even"_s, u"Used"_s,
                                              Catalogue.MinorTerrain(0)->Name}));
    Rules.LookLimit = 1;
    EXPECT_EQ(Names(TAlertSearch::Looking).size(), 5 + 72);
    Rules.LookLimit = 2;
    EXPECT_EQ(Names(TAlertSearch::Looking).size(), 7 + 72);
    // All: every die but the virtual one, the 24 minor terrains, then the 48 major ones.
    const QStringList all = Names(TAlertSearch::All);
    ASSERT_EQ(all.size(), 7 + 72);
    EXPECT_FALSE(all.contains(u"Ghost"_s));
    EXPECT_EQ(all[7], Catalogue.MinorTerrain(0)->Name);
    EXPECT_EQ(all[7 + 24], Catalogue.MajorTerrain(0)->Name);
    // A stored search number beyond the list is the first search.
    EXPECT_EQ(AlertSearchOf(11), TAlertSearch::Shortage);
    EXPECT_EQ(AlertSearchOf(-1), TAlertSearch::Shortage);
    EXPECT_EQ(NameOf(AlertSearchOf(10)), u"Looking"_s);
}

TEST_F(InvReportTest, RunTellsEachStepAndSetsEveryDiff)
{
    TRace &kin = NewRace(u"Ember Kin"_s);
    TDie &spare = NewDie(kin, u"Spare"_s, 1, 10);
    spare.Diff = 99;
    QStringList statuses;
    Rules.SearchType = qint32(TAlertSearch::Surplus);
    List.Run(Catalogue, Rules, [&](const QString &text) { statuses << text; });
    ASSERT_EQ(statuses.size(), 2 + 1 + 24 + 1 + 48);
    EXPECT_EQ(statuses[0], u"Processing army dice..."_s);
    EXPECT_EQ(statuses[1], u"Processing Spare..."_s);
    EXPECT_EQ(statuses[2], u"Processing minor terrains..."_s);
    EXPECT_EQ(statuses[3], u"Processing "_s + Catalogue.MinorTerrain(0)->Name + u"..."_s);
    EXPECT_EQ(statuses[27], u"Processing major terrains..."_s);
    EXPECT_EQ(statuses.back(), u"Processing "_s + Catalogue.MajorTerrain(47)->Name + u"..."_s);
    EXPECT_EQ(spare.Diff, 2);
    // Items that are not listed get their Diff too.
    EXPECT_EQ(Catalogue.MajorTerrain(3)->Diff, -2);
    // A new run starts from an empty list.
    List.Run(Catalogue, Rules);
    EXPECT_EQ(List.Count(), 1);
}

TEST_F(InvReportTest, SortingKeepsEqualTextsInOrderAndRemovingForgets)
{
    TRace &kin = NewRace(u"Kin"_s);
    NewDie(kin, u"beta"_s, 1, 9);
    NewDie(kin, u"Alpha"_s, 2, 0);
    NewDie(kin, u"alpha"_s, 1, 7);
    NewDie(kin, u"Gamma"_s, 1, 8);
    TDie &delta = NewDie(kin, u"Delta"_s, 3, 5);
    KeepNoTerrains();
    Rules.SearchType = qint32(TAlertSearch::All);
    List.Run(Catalogue, Rules);
    List.Remove(int(List.Count()) - 1);
    ASSERT_EQ(List.Count(), 5 + 71);
    for (int i = 0; i < 71; ++i)
        List.Remove(5);
    EXPECT_EQ(List.Item(5), nullptr);
    const auto names = [this] {
        QStringList result;
        for (const TInventoryData *item : List.Items())
            result << item->Name;
        return result;
    };
    // Ordinal: capitals before small letters.
    List.Sort(1, true);
    EXPECT_EQ(names(), (QStringList{u"Alpha"_s, u"Delta"_s, u"Gamma"_s, u"alpha"_s, u"beta"_s}));
    List.Sort(1, false);
    EXPECT_EQ(names(), (QStringList{u"beta"_s, u"alpha"_s, u"Gamma"_s, u"Delta"_s, u"Alpha"_s}));
    // The three dice of health 1 keep the order they had, either way.
    List.Sort(4, true);
    EXPECT_EQ(names(), (QStringList{u"beta"_s, u"alpha"_s, u"Gamma"_s, u"Alpha"_s, u"Delta"_s}));
    List.Sort(4, false);
    EXPECT_EQ(names(), (QStringList{u"Delta"_s, u"Alpha"_s, u"beta"_s, u"alpha"_s, u"Gamma"_s}));
    // By the Diff texts: " " before "+" before "-".
    List.Sort(6, true);
    EXPECT_EQ(names(), (QStringList{u"Gamma"_s, u"beta"_s, u"Delta"_s, u"alpha"_s, u"Alpha"_s}));

    // A die leaving the catalogue leaves the list.
    kin.RemoveDie(&delta);
    EXPECT_EQ(List.ForgetMissing(Catalogue), 1);
    EXPECT_EQ(names(), (QStringList{u"Gamma"_s, u"beta"_s, u"alpha"_s, u"Alpha"_s}));
    EXPECT_EQ(List.ForgetMissing(Catalogue), 0);
}

namespace {

TAlertPrintData PrintData(int rows, const QString &address)
{
    TAlertPrintData data;
    data.Headers = TAlertList::Headers();
    for (int i = 0; i < rows; ++i)
        data.Rows.push_back(
            {i == 0 ? u"*"_s : u" "_s, u"Die %1"_s.arg(i), u"Kin"_s, u"Mage"_s, u"1"_s, u"10/0"_s, u"+  2"_s,
             u"     4"_s});
    data.Address = address;
    data.PrintedAt = u"03/07/24 09:05:01"_s;
    return data;
}

constexpr int kH = 16; // "SAMPLE" is 14 high, times 8 / 7
constexpr int kMargin = 72;

} // namespace

TEST(InvReportPrint, EveryPageIsHeadedAndTheNumbersAlignRight)
{
    TRecordingCanvas canvas;
    PrintAlertList(canvas, PrintData(60, u"Pat Doe"_s));
    EXPECT_EQ(canvas.Events, (QStringList{u"begin Tarrowind Inventory"_s, u"page"_s, u"end"_s}));

    const int addressY = kMargin + 3 * kH;
    const int headerY = addressY + 2 * kH;
    const int ruleY = headerY + kH;
    const int firstRowY = ruleY + 9;
    for (int page = 0; page < 2; ++page) {
        const auto *title = canvas.Find(u"Inventory Alert List:  03/07/24 09:05:01 page %1"_s.arg(page + 1), page);
        ASSERT_NE(title, nullptr) << page;
        EXPECT_EQ(title->X, kMargin);
        EXPECT_EQ(title->Y, kMargin);
        EXPECT_EQ(title->Font, (TPrintFont{12, true}));
        EXPECT_EQ(canvas.At(page, addressY), QStringList{u"Pat Doe"_s});
        EXPECT_EQ(canvas.At(page, headerY),
                  (QStringList{u"Name"_s, u"Type"_s, u"Profession"_s, u"SZ"_s, u"Count"_s, u"Diff"_s, u"Points"_s}));
    }

    // Column widths: mark 7 (the header is empty), "Die 10" 42, "Type" 28,
    // "Profession" 70, "SZ" 14, "Count" 35, "Diff" and "+  2" 28, "Points" 42; three
    // blanks (21) between columns.
    const int sz = kMargin + 7 + 21 + 42 + 21 + 28 + 21 + 70 + 21;
    const int count = sz + 14 + 21;
    const int right = count + 35 + 21 + 28 + 21 + 42;
    const auto *one = canvas.Find(u"1"_s);
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->X, sz + 7);
    EXPECT_EQ(one->Y, firstRowY);
    EXPECT_EQ(one->Font, (TPrintFont{10, false}));
    EXPECT_EQ(canvas.Find(u"10/0"_s)->X, count + 7);
    EXPECT_EQ(canvas.Find(u"SZ"_s)->X, sz);
    EXPECT_EQ(canvas.Find(u"SZ"_s)->Font, (TPrintFont{10, true}));
    EXPECT_EQ(canvas.Find(u"Die 0"_s)->X, kMargin + 7 + 21);
    EXPECT_EQ(canvas.Find(u"*"_s)->X, kMargin);

    // The header's rule, then one thin rule under each row and a unit of space.
    ASSERT_FALSE(canvas.Lines.empty());
    const auto &head = canvas.Lines[0];
    EXPECT_EQ((std::array{head.X1, head.Y1, head.X2, head.Y2, head.Pen}),
              (std::array{kMargin, ruleY, right, ruleY, 5}));
    const auto &under = canvas.Lines[1];
    EXPECT_EQ((std::array{under.X1, under.Y1, under.X2, under.Y2, under.Pen}),
              (std::array{kMargin, firstRowY + kH, right, firstRowY + kH, 1}));
    EXPECT_EQ(canvas.Find(u"Die 1"_s)->Y, firstRowY + kH + 1);

    // A row starts a new page once the position reaches the bottom margin (1028): rows
    // run 17 apart from 177, so rows 0 to 50 fit and row 51 opens page 2.
    int onFirst = 0;
    for (const auto &text : canvas.Texts)
        onFirst += text.Page == 0 && text.Text.startsWith(u"Die "_s);
    EXPECT_EQ(onFirst, 51);
    const auto *next = canvas.Find(u"Die 51"_s, 1);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->Y, firstRowY);
    EXPECT_EQ(canvas.Lines.size(), size_t(2 + 60));
}

TEST(InvReportPrint, WithoutAnAddressTheHeadersMoveUpAndFailuresAbort)
{
    TRecordingCanvas canvas;
    TAlertList empty;
    const TAlertPrintData data = MakeAlertPrintData(empty, QString(), u"01/02/24 03:04:05"_s);
    PrintAlertList(canvas, data);
    EXPECT_EQ(canvas.At(0, kMargin + 3 * kH),
              (QStringList{u"Name"_s, u"Type"_s, u"Profession"_s, u"SZ"_s, u"Count"_s, u"Diff"_s, u"Points"_s}));
    EXPECT_EQ(canvas.Lines.size(), size_t(1));
    // Only the first line of the address is printed.
    EXPECT_EQ(MakeAlertPrintData(empty, u"Pat Doe\r\n1 Mill Lane"_s, QString()).Address, u"Pat Doe"_s);

    TRecordingCanvas failing;
    failing.FailOnNewPage = true;
    EXPECT_EQ(FailureOf([&] { PrintAlertList(failing, PrintData(60, QString())); }), u"out of paper"_s);
    EXPECT_EQ(failing.Events, (QStringList{u"begin Tarrowind Inventory"_s, u"abort"_s}));
}
