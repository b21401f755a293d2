#include "InventoryFixture.h"
#include "army/ArmyData.h"
#include "inventory/TradeEditor.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString Rows(const TTradeEditor &editor)
{
    QStringList rows;
    for (const TTradeRow &row : editor.RowCounts())
        rows << row.Item->Name + u' ' + QString::number(row.Count);
    return rows.join(u", "_s);
}

QStringList Names(const TTradeEditor &editor)
{
    QStringList names;
    for (const TTrade *trade : editor.Selector())
        names << trade->Name + u'#' + QString::number(trade->Number());
    return names;
}

struct TEditorTest : ::testing::Test
{
    TEditorTest()
    {
        c.Archer().SetPrice(12);
        c.Scout().SetPrice(1);
    }

    // A trade of Pat's with Reed Archer going out twice and Marsh Scout coming in three
    // times, saved with these fields.
    TTrade &SavedTrade(TTradeFields fields = {})
    {
        TTrade &trade = editor.Create(u"Pat"_s);
        editor.ChangeRow(c.Archer(), -1);
        editor.ChangeRow(c.Archer(), -1);
        for (int i = 0; i < 3; ++i)
            editor.ChangeRow(c.Scout(), +1);
        if (!fields.Date.isValid())
            fields.Date = trade.Date.date();
        editor.Save(fields);
        return trade;
    }

    TSmallCollection c;
    TTradeEditor editor{c.Inventory};
};

} // namespace

TEST_F(TEditorTest, SavedFieldsDecideWhereOutgoingCopiesCount)
{
    TTradeFields fields;
    fields.UseTradeOuts = true;
    fields.Terms = u"even"_s;
    TTrade &trade = SavedTrade(fields);
    EXPECT_EQ(Lines(trade), u"Reed Archer -2, Marsh Scout 3");
    EXPECT_EQ(Counts(c.Archer()), u"2/0/0");
    EXPECT_EQ(Counts(c.Scout()), u"0/0/0");
    EXPECT_EQ(trade.Terms, u"even");
    EXPECT_TRUE(c.Inventory.InventoryModified);
    EXPECT_FALSE(editor.Edited());
    EXPECT_EQ(editor.NetValue(), -21);

    // Edits count for nothing until they are saved.
    editor.ChangeRow(c.Archer(), -1);
    EXPECT_TRUE(editor.Edited());
    EXPECT_EQ(Counts(c.Archer()), u"2/0/0");
    EXPECT_EQ(editor.NetValue(), -33);
    editor.Show(&trade); // "Cancel"
    EXPECT_EQ(Rows(editor), u"Reed Archer -2, Marsh Scout 3");
    EXPECT_FALSE(editor.Edited());

    fields.Status = TradeStatus::Waiting;
    editor.Save(fields);
    EXPECT_EQ(Counts(c.Archer()), u"2/2/0");
    fields.Status = TradeStatus::Player;
    editor.Save(fields);
    EXPECT_EQ(Counts(c.Archer()), u"2/0/2");
    fields.Status = TradeStatus::Proposed;
    fields.UseTradeOuts = false;
    editor.Save(fields);
    EXPECT_EQ(Counts(c.Archer()), u"0/0/0");

    // A day left as it was keeps the time of day the file gave it; another day starts at 0:00.
    trade.Date = QDateTime(QDate(2023, 1, 2), QTime(6, 0));
    fields.Date = QDate(2023, 1, 2);
    editor.Save(fields);
    EXPECT_EQ(trade.Date, QDateTime(QDate(2023, 1, 2), QTime(6, 0)));
    fields.Date = QDate(2023, 1, 3);
    editor.Save(fields);
    EXPECT_EQ(trade.Date, QDateTime(QDate(2023, 1, 3), QTime(0, 0)));

    // Deleting the trade gives back what it counted.
    fields.UseTradeOuts = true;
    editor.Save(fields);
    editor.DeleteCurrent();
    EXPECT_EQ(Counts(c.Archer()), u"0/0/0");
    EXPECT_TRUE(c.Inventory.Trades().empty());
    EXPECT_EQ(editor.Current(), nullptr);
    EXPECT_EQ(c.Archer().TradeCount, 0);
}

TEST_F(TEditorTest, RowsCountAsEditedAndSortByTheirCells)
{
    editor.Create(u"Pat"_s);
    editor.ChangeRow(c.Archer(), -1);
    editor.ChangeRow(c.Archer(), -1);
    EXPECT_EQ(editor.ChangeRow(c.Archer(), +1), 0);
    c.Archer().Drawer = u"B4"_s;
    EXPECT_EQ(TradeGridRow(c.Archer(), c.Archer().TradeCount),
              (QStringList{u"  (1)"_s, u"B4"_s, u"Reed Archer"_s, u"Reedfolk"_s, u"Archer"_s, u"   3"_s, u"  12"_s,
                           u" -12"_s}));
    EXPECT_EQ(editor.ChangeRow(c.Scout(), +1), 1);
    EXPECT_EQ(TradeGridRow(c.Scout(), c.Scout().TradeCount).first(), u"   1 ");
    EXPECT_EQ(TradeGridRow(*c.Catalogue.MajorTerrain(5), 0),
              (QStringList{u"   0 "_s, QString(), u"Flatland Standing Stones"_s, u"Flatland"_s, u"Standing Stones"_s,
                           u"   T"_s, u"   2"_s, u"   0"_s}));
    EXPECT_EQ(TradeGridHeaders(),
              (QStringList{u"  #"_s, u"Loc"_s, u"Name"_s, u"Race"_s, u"Type"_s, u"  sz"_s, u" pts"_s, u" net"_s}));

    // Ordinal order of the cell texts ("   1 " before "  (1)"); equal texts keep their
    // order both ways.
    editor.ChangeRow(c.Drake(), +1);
    editor.ChangeRow(c.Blot(), -1);
    editor.SortRows(2, false);
    EXPECT_EQ(Rows(editor), u"Ash Drake 1, Blot -1, Marsh Scout 1, Reed Archer -1");
    editor.SortRows(0, true);
    EXPECT_EQ(Rows(editor), u"Blot -1, Reed Archer -1, Ash Drake 1, Marsh Scout 1");
    editor.SortRows(0, false);
    EXPECT_EQ(Rows(editor), u"Ash Drake 1, Marsh Scout 1, Blot -1, Reed Archer -1");

    // A die deleted from the catalogue leaves the rows.
    editor.ForgetItem(c.Blot());
    EXPECT_EQ(Rows(editor), u"Ash Drake 1, Marsh Scout 1, Reed Archer -1");
    EXPECT_EQ(c.Blot().TradeCount, 0);
}

TEST_F(TEditorTest, TwoLinesOfOneItemShowAndSaveAsOne)
{
    TTrade &trade = editor.Create(u"Pat"_s);
    trade.SetUseTradeOuts(true);
    trade.AppendLine(c.Archer(), -1);
    trade.AppendLine(c.Scout(), 1);
    trade.AppendLine(c.Archer(), -2);
    editor.Show(&trade);
    EXPECT_EQ(Rows(editor), u"Reed Archer -3, Marsh Scout 1");
    TTradeFields fields = TTradeFields::Of(trade);
    editor.Save(fields);
    EXPECT_EQ(Lines(trade), u"Reed Archer -3, Marsh Scout 1");
    EXPECT_EQ(Counts(c.Archer()), u"3/0/0");
}

TEST_F(TEditorTest, SendingAndReceivingMoveCountsAndStatus)
{
    c.Archer().Count = 5;
    TTradeFields fields;
    fields.UseTradeOuts = true;
    fields.Status = TradeStatus::Received;
    TTrade &trade = SavedTrade(fields);
    trade.Date = QDateTime(QDate(2020, 1, 1), QTime(0, 0));
    c.Inventory.InventoryModified = false;
    const QDate today(2024, 3, 5);

    // The panel's fields are saved with "Use Trade Outs" cleared.
    fields.Terms = u"by post"_s;
    EXPECT_TRUE(editor.Apply(TApplyKind::Send, fields, today).empty());
    EXPECT_EQ(c.Archer().Count, 3u);
    EXPECT_EQ(c.Scout().Count, 0u);
    EXPECT_EQ(trade.Status(), TradeStatus::Complete);
    EXPECT_FALSE(trade.UseTradeOuts());
    EXPECT_EQ(Counts(c.Archer()), u"0/0/0");
    EXPECT_EQ(trade.Terms, u"by post");
    EXPECT_EQ(trade.Date, QDateTime(today, QTime(0, 0)));
    EXPECT_TRUE(c.Inventory.InventoryModified);

    // Undoing gives the copies back and leaves the status alone.
    fields = TTradeFields::Of(trade);
    editor.Apply(TApplyKind::UndoSend, fields, today);
    EXPECT_EQ(c.Archer().Count, 5u);
    EXPECT_EQ(trade.Status(), TradeStatus::Complete);

    fields.Status = TradeStatus::Proposed;
    editor.Apply(TApplyKind::Send, fields, today);
    EXPECT_EQ(trade.Status(), TradeStatus::Sent);
    editor.Apply(TApplyKind::Receive, TTradeFields::Of(trade), today);
    EXPECT_EQ(trade.Status(), TradeStatus::Complete);
    EXPECT_EQ(c.Scout().Count, 3u);
    fields = TTradeFields::Of(trade);
    fields.Status = TradeStatus::Accepted;
    editor.Apply(TApplyKind::Receive, fields, today);
    EXPECT_EQ(trade.Status(), TradeStatus::Received);
    EXPECT_EQ(c.Scout().Count, 6u);

    // Taking back more than is left stops at 0 and says which.
    c.Scout().Count = 4;
    const std::vector<TInventoryData *> stopped = editor.Apply(TApplyKind::UndoReceive, TTradeFields::Of(trade), today);
    EXPECT_EQ(c.Scout().Count, 1u);
    EXPECT_TRUE(stopped.empty());
    EXPECT_EQ(editor.Apply(TApplyKind::UndoReceive, TTradeFields::Of(trade), today),
              std::vector<TInventoryData *>{&c.Scout()});
    EXPECT_EQ(c.Scout().Count, 0u);
    EXPECT_EQ(c.Archer().Count, 3u);
}

TEST_F(TEditorTest, TheSelectorSortsByNameAndWalksWrapAround)
{
    for (const QString &name : {u"bob"_s, u"Alice"_s, u"Carl"_s, u"alice"_s})
        c.Inventory.CreateTrade(name);
    editor.Refill();
    EXPECT_EQ(Names(editor), (QStringList{u"Alice#1"_s, u"alice#3"_s, u"bob#0"_s, u"Carl#2"_s}));
    EXPECT_EQ(editor.Current(), nullptr);

    // Forward from none is the first; back from the first is the last and on.
    EXPECT_TRUE(editor.Step(+1));
    EXPECT_EQ(editor.CurrentIndex(), 0);
    editor.Step(-1);
    EXPECT_EQ(editor.CurrentIndex(), 3);
    editor.Step(+1);
    EXPECT_EQ(editor.CurrentIndex(), 0);

    // A new trade takes its place by name, after the others of its name.
    editor.Create(u"BOB"_s);
    EXPECT_EQ(Names(editor), (QStringList{u"Alice#1"_s, u"alice#3"_s, u"bob#0"_s, u"BOB#4"_s, u"Carl#2"_s}));
    EXPECT_EQ(editor.CurrentIndex(), 3);

    // Renaming sorts it again and keeps it shown.
    editor.Rename(u"Aaron"_s);
    EXPECT_EQ(editor.Current()->Name, u"Aaron");
    EXPECT_EQ(editor.CurrentIndex(), 0);

    TInventory none(c.Catalogue, c.Clock);
    TTradeEditor empty(none);
    EXPECT_FALSE(empty.Step(+1));
    EXPECT_EQ(empty.FindNextWithStatus({TradeStatus::Sent}), TWalk::Empty);
    EXPECT_EQ(empty.FindByEMail(QString()), TWalk::Empty);
}

TEST_F(TEditorTest, FindingTradesByStatusAddressAndUse)
{
    // Selector order: Ann (Sent), Bea (Waiting, no free copy), Cyd (Proposed, uses outs),
    // Dee (Waiting, a free copy of Reed Archer).
    auto make = [&](const QString &name, TradeStatus status, const QString &email) -> TTrade & {
        TTrade &trade = c.Inventory.CreateTrade(name);
        trade.SetStatus(status);
        trade.EMail = email;
        return trade;
    };
    make(u"Ann"_s, TradeStatus::Sent, u"ann@example.org"_s);
    make(u"Bea"_s, TradeStatus::Waiting, u"Bea@Example.org"_s).AppendLine(c.Scout(), -1);
    TTrade &cyd = make(u"Cyd"_s, TradeStatus::Proposed, QString());
    cyd.SetUseTradeOuts(true);
    cyd.AppendLine(c.Archer(), -1);
    make(u"Dee"_s, TradeStatus::Waiting, QString()).AppendLine(c.Archer(), -1);
    editor.Refill();

    EXPECT_EQ(editor.FindNextWithStatus({TradeStatus::Proposed, TradeStatus::Sent}), TWalk::Found);
    EXPECT_EQ(editor.Current()->Name, u"Ann");
    EXPECT_EQ(editor.FindNextWithStatus({TradeStatus::Proposed, TradeStatus::Sent}), TWalk::Found);
    EXPECT_EQ(editor.Current()->Name, u"Cyd");
    // None further: the last trade passed stays current.
    EXPECT_EQ(editor.FindNextWithStatus({TradeStatus::Proposed, TradeStatus::Sent}), TWalk::EndReached);
    EXPECT_EQ(editor.Current()->Name, u"Dee");

    // A waiting trade whose copies are all spoken for is passed over. Of 4 Reed Archers
    // the rules keep 2 and Cyd's trade uses 1, which leaves one for Dee.
    c.Archer().Count = 4;
    c.Scout().Count = 0;
    const TInventoryData *available = nullptr;
    editor.ShowAt(0);
    EXPECT_EQ(editor.NextWaiting(available), TWalk::Found);
    EXPECT_EQ(editor.Current()->Name, u"Dee");
    EXPECT_EQ(available, &c.Archer());
    EXPECT_EQ(editor.NextWaiting(available), TWalk::EndReached);
    EXPECT_EQ(available, nullptr);

    // The e-mail address whatever its case, from the first trade on.
    EXPECT_EQ(editor.FindByEMail(u"BEA@example.ORG"_s), TWalk::Found);
    EXPECT_EQ(editor.Current()->Name, u"Bea");
    EXPECT_EQ(editor.FindByEMail(u"nobody@example.org"_s), TWalk::EndReached);
    EXPECT_EQ(editor.Current()->Name, u"Dee");

    // Trades that count the die as going out: using their outs, or waiting.
    editor.ShowAt(0);
    EXPECT_EQ(editor.NextTradeUsing(c.Archer()), TWalk::Found);
    EXPECT_EQ(editor.Current()->Name, u"Cyd");
    EXPECT_EQ(editor.NextTradeUsing(c.Archer()), TWalk::Found);
    EXPECT_EQ(editor.Current()->Name, u"Dee");
    EXPECT_EQ(editor.NextTradeUsing(c.Archer()), TWalk::EndReached);
    editor.ShowAt(0);
    EXPECT_EQ(editor.NextTradeUsing(c.Drake()), TWalk::EndReached);
}

TEST_F(TEditorTest, WaitMovesACopyToTheTradersWaitingTrade)
{
    TTrade &ordinary = editor.Create(u"Pat"_s);
    // No waiting trade of Pat's: nothing moves.
    EXPECT_EQ(editor.Transfer(c.Archer(), +1, TradeStatus::Proposed), nullptr);
    EXPECT_EQ(Rows(editor), QString());
    EXPECT_FALSE(editor.Edited());

    // Names must match exactly; the first match in the trade list is the partner.
    c.Inventory.CreateTrade(u"pat"_s).SetStatus(TradeStatus::Waiting);
    TTrade &waiting = c.Inventory.CreateTrade(u"Pat"_s);
    waiting.SetStatus(TradeStatus::Waiting);
    c.Inventory.CreateTrade(u"Pat"_s).SetStatus(TradeStatus::Waiting);
    editor.ChangeRow(c.Archer(), -2);
    c.Inventory.InventoryModified = false;
    EXPECT_EQ(editor.Transfer(c.Archer(), +1, TradeStatus::Proposed), &waiting);
    EXPECT_EQ(Rows(editor), u"Reed Archer -1");
    EXPECT_EQ(Lines(waiting), u"Reed Archer -1");
    EXPECT_EQ(Counts(c.Archer()), u"0/1/0");
    EXPECT_TRUE(c.Inventory.InventoryModified);

    // Shown as waiting, the partner is the ordinary trade and "Unwait" moves the copy back.
    editor.Show(&waiting);
    ordinary.SetStatus(TradeStatus::Proposed);
    EXPECT_EQ(editor.Transfer(c.Archer(), -1, TradeStatus::Waiting), &ordinary);
    EXPECT_EQ(Rows(editor), u"Reed Archer 0");
    EXPECT_EQ(Lines(ordinary), u"Reed Archer -1");
    EXPECT_EQ(Counts(c.Archer()), u"0/1/0"); // the waiting trade's change is not saved yet
}

TEST_F(TEditorTest, CoveringArmiesSendsWhatTheyUse)
{
    TArmy home(c.Catalogue);
    home.SetName(u"Home Guard"_s);
    home.SetArmyType(ArmyType::HomeArmy);
    home.SetMajorTerrain(5);
    home.SetMinorTerrain(1, 2);
    home.AddDie(c.Archer());
    home.AddDie(c.Archer());
    home.AddDie(c.Scout());
    TArmy pool(c.Catalogue);
    pool.SetName(u"Pool"_s);
    pool.SetArmyType(ArmyType::SummoningPool);
    pool.AddDie(c.Drake());

    TTrade &trade = editor.Create(u"Pat"_s);
    editor.ChangeRow(c.Archer(), -3);
    editor.ChangeRow(c.Scout(), +1);
    TTradeFields fields = TTradeFields::Of(trade);
    QStringList steps;
    const int added =
        editor.CoverArmies({&home, &pool}, fields, [&](const QString &step) { steps << step; });
    // Three archers already go; the scout coming in now goes out; the drake and the
    // home army's terrains are added.
    EXPECT_EQ(Lines(trade),
              u"Reed Archer -3, Marsh Scout -1, Coastland Knoll -1, Flatland Standing Stones -1, Ash Drake -1");
    EXPECT_EQ(added, 2);
    EXPECT_EQ(steps, (QStringList{u"Analyzing Home Guard dice..."_s, u"Analyzing Home Guard minor terrains..."_s,
                                  u"Analyzing Home Guard major terrain..."_s, u"Analyzing Pool dice..."_s}));
    EXPECT_EQ(Rows(editor), Lines(trade));
    EXPECT_FALSE(editor.Edited());

    // Covered already: nothing more is added.
    EXPECT_EQ(editor.CoverArmies({&home, &pool}, TTradeFields::Of(trade), [](const QString &) {}), 0);
    EXPECT_EQ(Lines(trade),
              u"Reed Archer -3, Marsh Scout -1, Coastland Knoll -1, Flatland Standing Stones -1, Ash Drake -1");
}

TEST_F(TEditorTest, FreeingTheTradesEmptiesThePanel)
{
    editor.Create(u"Pat"_s);
    editor.ChangeRow(c.Archer(), -1);
    c.Inventory.FreeTrades();
    EXPECT_EQ(editor.Current(), nullptr);
    EXPECT_TRUE(editor.Selector().empty());
    EXPECT_TRUE(editor.Rows().empty());
    EXPECT_FALSE(editor.Edited());
    EXPECT_EQ(c.Archer().TradeCount, 0);

    // Loading a collection goes the same way.
    editor.Create(u"Pat"_s);
    c.Load(c.Save());
    EXPECT_EQ(editor.Current(), nullptr);
    editor.Refill();
    EXPECT_EQ(Names(editor), QStringList{u"Pat#1"_s});
}

TEST_F(TEditorTest, DuplicateCopiesTheTradersDetailsOnly)
{
    TTradeFields fields;
    fields.Address = u"1 Mill Lane"_s;
    fields.Phone = u"555"_s;
    fields.EMail = u"pat@example.org"_s;
    fields.Card = u"visa"_s;
    fields.Terms = u"even"_s;
    fields.Notes = u"slow"_s;
    fields.Status = TradeStatus::Accepted;
    SavedTrade(fields);
    const TTrade &copy = editor.Duplicate();
    EXPECT_EQ(editor.Current(), &copy);
    EXPECT_EQ(copy.Number(), 1);
    const TTradeFields shown = TTradeFields::Of(copy);
    EXPECT_EQ(QStringList({shown.Address, shown.Phone, shown.EMail, shown.Card, shown.Terms, shown.Notes}),
              (QStringList{u"1 Mill Lane"_s, u"555"_s, u"pat@example.org"_s, u"visa"_s, QString(), QString()}));
    EXPECT_EQ(shown.Status, TradeStatus::Proposed);
    EXPECT_TRUE(copy.Lines().empty());
    EXPECT_EQ(Names(editor), (QStringList{u"Pat#0"_s, u"Pat#1"_s}));
}
