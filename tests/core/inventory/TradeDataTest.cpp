#include "InventoryFixture.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Records what the inventory window would be told.
class TRecordingObserver : public TInventoryObserver
{
public:
    bool InventoryActive() const override { return Active; }
    void ItemChanged(TInventoryData &item) override { Events << u"changed "_s + item.Name; }
    void LimitExceeded(TInventoryData &item) override { Events << u"limit "_s + item.Name; }

    bool Active = true;
    QStringList Events;
};

} // namespace

TEST(TradeData, OutgoingLinesCountAsUsedWhileTheTradeUsesThem)
{
    TSmallCollection c;
    TDie &x = c.Archer();
    TDie &y = c.Drake();
    TTrade &trade = c.Inventory.CreateTrade(u"Pat"_s);
    trade.SetUseTradeOuts(true);
    trade.AppendLine(x, -2);
    trade.AppendLine(y, 1);
    EXPECT_EQ(Counts(x), u"2/0/0");
    EXPECT_EQ(Counts(y), u"0/0/0");

    trade.SetUseTradeOuts(false);
    EXPECT_EQ(Counts(x), u"0/0/0");
    trade.SetUseTradeOuts(true);
    trade.LineFor(x).SetCount(-3);
    EXPECT_EQ(Counts(x), u"3/0/0");
    trade.LineFor(x).SetCount(1);
    EXPECT_EQ(Counts(x), u"0/0/0");
    trade.LineFor(x).SetCount(-2);

    // Copies used by an army stay used when the trade goes.
    c.Catalogue.AddUsed(x, 1);
    c.Inventory.InventoryModified = false;
    c.Inventory.DeleteTrade(&trade);
    EXPECT_TRUE(c.Inventory.Trades().empty());
    EXPECT_EQ(Counts(x), u"1/0/0");
    EXPECT_TRUE(c.Inventory.InventoryModified);
}

TEST(TradeData, StatusMovesOutgoingCopiesBetweenWaitingAndInPlay)
{
    TSmallCollection c;
    TDie &x = c.Archer();
    TTrade &trade = c.Inventory.CreateTrade(u"Pat"_s);
    trade.AppendLine(x, -2);
    trade.AppendLine(c.Scout(), 3);
    trade.SetStatus(TradeStatus::Waiting);
    EXPECT_EQ(Counts(x), u"0/2/0");
    trade.SetStatus(TradeStatus::Player);
    EXPECT_EQ(Counts(x), u"0/0/2");
    trade.SetStatus(TradeStatus::Proposed);
    EXPECT_EQ(Counts(x), u"0/0/0");
    trade.SetStatus(TradeStatus::Sent);
    EXPECT_EQ(Counts(x), u"0/0/0");
    EXPECT_EQ(Counts(c.Scout()), u"0/0/0");

    // Using trade outs and waiting at once: each count has the copies.
    trade.SetUseTradeOuts(true);
    trade.SetStatus(TradeStatus::Waiting);
    EXPECT_EQ(Counts(x), u"2/2/0");
    trade.LineFor(x).SetCount(-5);
    EXPECT_EQ(Counts(x), u"5/5/0");
    trade.ReplaceLines({{&c.Scout(), 0}, {&x, -1}, {&c.Drake(), 0}, {&c.Blot(), 2}, {&x, -1}});
    EXPECT_EQ(Lines(trade), u"Reed Archer -1, Blot 2, Reed Archer -1");
    EXPECT_EQ(Counts(x), u"2/2/0");
    EXPECT_EQ(trade.CountOf(x), -1);
    EXPECT_EQ(trade.CountOf(c.Scout()), 0);
    c.Inventory.FreeTrades();
    EXPECT_EQ(Counts(x), u"0/0/0");
}

TEST(TradeData, LinesCountOfAndNetValue)
{
    TSmallCollection c;
    TTrade &trade = c.Inventory.CreateTrade(u"Pat"_s);
    TTradeItem &empty = trade.LineFor(c.Scout());
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(&trade.LineFor(c.Scout()), &empty);
    empty.SetCount(0);
    trade.AppendLine(c.Scout(), -4);
    // The first line whose count is not 0.
    EXPECT_EQ(trade.CountOf(c.Scout()), -4);
    EXPECT_TRUE(trade.Lines()[1]->IsDirection(true));
    EXPECT_FALSE(trade.Lines()[1]->IsDirection(false));
    EXPECT_FALSE(empty.IsDirection(true) || empty.IsDirection(false));

    c.Scout().SetPrice(3);
    c.Drake().SetPrice(20);
    trade.AppendLine(c.Drake(), 2);
    EXPECT_EQ(trade.NetValue(), 28);
    c.Drake().SetPrice(std::numeric_limits<qint32>::max());
    trade.LineFor(c.Drake()).SetCount(std::numeric_limits<qint32>::max());
    for (int i = 0; i < 4; ++i)
        trade.AppendLine(c.Drake(), std::numeric_limits<qint32>::max());
    EXPECT_EQ(trade.NetValue(), std::numeric_limits<qint64>::max());
}

TEST(TradeData, CoveringArmiesSendsWhatIsMissing)
{
    TSmallCollection c;
    TTrade &trade = c.Inventory.CreateTrade(u"Pat"_s);
    trade.SetUseTradeOuts(true);
    trade.AppendLine(c.Scout(), -2);
    trade.AppendLine(c.Archer(), 1);
    trade.ResetCover();
    // Two army copies of a die the trade already sends two of: nothing changes.
    EXPECT_FALSE(trade.LineFor(c.Scout()).TakeForCover());
    EXPECT_FALSE(trade.LineFor(c.Scout()).TakeForCover());
    EXPECT_TRUE(trade.LineFor(c.Scout()).TakeForCover());
    EXPECT_EQ(trade.CountOf(c.Scout()), -3);
    EXPECT_EQ(c.Scout().UsedCount, 3u);
    // A line coming in turns to going out.
    EXPECT_TRUE(trade.LineFor(c.Archer()).TakeForCover());
    EXPECT_EQ(trade.CountOf(c.Archer()), -1);
    // A new line for an item the trade did not have.
    EXPECT_TRUE(trade.LineFor(c.Drake()).TakeForCover());
    EXPECT_EQ(Lines(trade), u"Marsh Scout -3, Reed Archer -1, Ash Drake -1");

    trade.ResetCover();
    EXPECT_FALSE(trade.LineFor(c.Scout()).TakeForCover());
    for (const auto &line : trade.Lines())
        EXPECT_EQ(line->CoverCount, line.get() == trade.Lines()[0].get() ? -1 : 0);
}

TEST(TradeData, TradesAreNumberedAndDatedByTheInventory)
{
    TSmallCollection c;
    c.Inventory.NextTradeNumber = 7;
    TTrade &first = c.Inventory.CreateTrade(u"Pat"_s);
    c.Clock.Set(QDateTime(QDate(2024, 12, 31), QTime(23, 59)));
    TTrade &second = c.Inventory.CreateTrade(u"Lee"_s);
    EXPECT_EQ(first.Number(), 7);
    EXPECT_EQ(second.Number(), 8);
    EXPECT_EQ(c.Inventory.NextTradeNumber, 9);
    EXPECT_EQ(first.Date, QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    EXPECT_EQ(second.Date, QDateTime(QDate(2024, 12, 31), QTime(0, 0)));
    EXPECT_EQ(second.Status(), TradeStatus::Proposed);
    EXPECT_FALSE(second.UseTradeOuts());
    EXPECT_FALSE(c.Inventory.InventoryModified) << "creating a trade changes nothing to save yet";

    // The last number is kept rather than wrapping round to negative ones.
    c.Inventory.NextTradeNumber = std::numeric_limits<qint32>::max();
    c.Inventory.CreateTrade(u"A"_s);
    EXPECT_EQ(c.Inventory.NextTradeNumber, std::numeric_limits<qint32>::max());
}

TEST(TradeData, ForgettingADieTakesItsLinesOutOfEveryTrade)
{
    TSmallCollection c;
    TTrade &one = c.Inventory.CreateTrade(u"Pat"_s);
    TTrade &two = c.Inventory.CreateTrade(u"Lee"_s);
    one.SetUseTradeOuts(true);
    one.AppendLine(c.Archer(), -2);
    one.AppendLine(c.Scout(), -1);
    two.SetStatus(TradeStatus::Waiting);
    two.AppendLine(c.Archer(), -1);
    EXPECT_EQ(Counts(c.Archer()), u"2/1/0");
    EXPECT_EQ(c.Inventory.ForgetItem(c.Archer()), 2);
    EXPECT_EQ(Counts(c.Archer()), u"0/0/0");
    EXPECT_EQ(Lines(one), u"Marsh Scout -1");
    EXPECT_TRUE(two.Lines().empty());
    EXPECT_TRUE(c.Inventory.InventoryModified);
}

TEST(TradeData, ExtremeCountsNeitherWrapNorStick)
{
    TSmallCollection c;
    TTrade &one = c.Inventory.CreateTrade(u"Pat"_s);
    TTrade &two = c.Inventory.CreateTrade(u"Lee"_s);
    for (TTrade *trade : {&one, &two}) {
        trade->SetStatus(TradeStatus::Player);
        trade->SetUseTradeOuts(true);
        trade->AppendLine(c.Archer(), std::numeric_limits<qint32>::min());
    }
    EXPECT_EQ(one.Lines()[0]->Count(), -std::numeric_limits<qint32>::max());
    EXPECT_EQ(c.Archer().InPlayCount, std::numeric_limits<qint32>::max());
    EXPECT_EQ(c.Archer().UsedCount, 2u * quint32(std::numeric_limits<qint32>::max()));
    c.Inventory.DeleteTrade(&two);
    c.Inventory.DeleteTrade(&one);
    EXPECT_EQ(c.Archer().UsedCount, 0u);
    EXPECT_EQ(c.Archer().InPlayCount, 0);
}

TEST(TradeData, TheInventoryTellsItsWindow)
{
    TSmallCollection c;
    TRecordingObserver window;
    c.Inventory.SetObserver(&window);
    TDie &die = c.Archer();
    EXPECT_TRUE(c.Inventory.SetItemCount(die, -2));
    EXPECT_EQ(die.Count, 0u);
    EXPECT_TRUE(c.Inventory.InventoryModified);
    EXPECT_FALSE(c.Inventory.SetItemCount(die, 4'000'000'000LL));
    EXPECT_EQ(die.Count, 4'000'000'000U);
    EXPECT_TRUE(c.Inventory.SetItemCount(die, 5'000'000'000LL));
    EXPECT_EQ(die.Count, 4'294'967'295U);
    c.Inventory.SetPrice(die, 9);
    c.Inventory.SetModifier(die, -1);
    c.Inventory.SetDrawer(die, u"top"_s);
    c.Inventory.InventoryModified = false;
    c.Inventory.SetLocked(die, true);
    EXPECT_TRUE(c.Inventory.InventoryModified);
    c.Inventory.SetTrading(die, true);
    EXPECT_EQ(window.Events.size(), 6);
    EXPECT_EQ(window.Events.count(u"changed Reed Archer"_s), 6);

    // Trade lines reach the window through the catalogue, which warns of overuse.
    window.Events.clear();
    c.Inventory.SetItemCount(c.Scout(), 1);
    window.Events.clear();
    TTrade &trade = c.Inventory.CreateTrade(u"Pat"_s);
    trade.SetUseTradeOuts(true);
    trade.AppendLine(c.Scout(), -2);
    EXPECT_EQ(window.Events, (QStringList{u"changed Marsh Scout"_s, u"limit Marsh Scout"_s}));

    window.Active = false;
    window.Events.clear();
    c.Inventory.SetPrice(die, 1);
    EXPECT_TRUE(window.Events.isEmpty());
    c.Inventory.SetObserver(nullptr);
}
