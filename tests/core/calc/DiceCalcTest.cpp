#include "../game/GameFixture.h"

#include "KrException.h"
#include "calc/DiceCalc.h"
#include "dice/DiceIcons.h"

#include <QStringList>

#include <deque>
#include <limits>
#include <map>
#include <numeric>
#include <random>
#include <set>

using namespace Qt::StringLiterals;

namespace {

// The calculator window's side, played from a script; everything asked and shown is
// recorded in order as one line.
class TScriptedCalcUI final : public TCalcUI
{
public:
    void Show(const QString &text) override { Events << u"show: "_s + text; }
    void Beep() override { Events << u"beep"_s; }
    bool AskYesNo(const QString &question) override
    {
        Events << u"ask: "_s + question;
        return Next(YesNo, false);
    }
    std::optional<QString> InputBox(const QString &caption, const QString &prompt, const QString &) override
    {
        Events << u"input: "_s + caption + u" / "_s + prompt;
        return Next(Inputs, std::optional<QString>());
    }
    std::optional<TNumReasonAnswer> AskNumReason(const TNumReasonRequest &request) override
    {
        Requests.push_back(request);
        Events << u"dialog: "_s + request.Caption;
        if (FailDialog)
            throw TKrException(u"The dialog broke."_s);
        return Next(Dialogs, std::optional<TNumReasonAnswer>());
    }
    void ReportError(const TKrException &failure, const QString &context) override
    {
        Events << u"report: "_s + context + u": "_s + failure.Message();
    }
    void Changed() override { ++Changes; }
    void DieRolled(TDieInPlay &die) override { Events << u"rolled: "_s + die.ReferenceText(); }

    QStringList Take() { return std::exchange(Events, {}); }

    QStringList Events;
    int Changes = 0;
    bool FailDialog = false;
    std::deque<bool> YesNo;
    std::deque<std::optional<QString>> Inputs;
    std::deque<std::optional<TNumReasonAnswer>> Dialogs;
    std::vector<TNumReasonRequest> Requests;

private:
    template <typename T> T Next(std::deque<T> &queue, T none)
    {
        if (queue.empty()) {
            ADD_FAILURE() << "no answer queued for " << Events.back().toStdString();
            return none;
        }
        T answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

// Player 1's army at the Frontier holds a Striker showing 5 Melee, a Warden showing
// 3 Save and a Bog Witch showing 2 Magic (every die shows its face 1 when it is made).
class DiceCalcTest : public ::testing::Test
{
protected:
    DiceCalcTest()
    {
        TDie &striker = C.MakeDie(u"Striker"_s, 2,
                                  {{BasicIcon::Melee, 1}, {BasicIcon::Melee, 5}, {BasicIcon::Save, 2},
                                   {BasicIcon::Missile, 3}, {BasicIcon::Magic, 4}, {BasicIcon::Move, 6}});
        TDie &warden = C.MakeDie(u"Warden"_s, 3, {{BasicIcon::Save, 1}, {BasicIcon::Save, 3}});
        PutDie(Army(), striker);
        PutDie(Army(), warden);
        PutDie(Army(), C.Witch());
    }

    TArmyInPlay &Army() const { return *Game->FixedPlace(GamePlace::Frontier).Army(1); }
    TDieInPlay &Die(int position) const { return *Army().Die(position); }
    TDieCalcObject &Item(int column, int row) const
    {
        TDieCalcObject *item = Sheet.Item(column, row);
        EXPECT_NE(item, nullptr) << column << "," << row;
        return *item;
    }
    QStringList Headers() const
    {
        QStringList headers;
        for (int c = 1; c <= Sheet.ColumnCount(); ++c)
            headers << Sheet.Cost(c)->GetText();
        return headers;
    }
    // The values of a column from the top.
    std::vector<qint32> Values(int column) const
    {
        std::vector<qint32> values;
        for (int r = 1; r <= Sheet.ItemCount(column); ++r)
            values.push_back(Sheet.Item(column, r)->Value);
        return values;
    }
    void Open(const QString &result = u"melee Hit"_s)
    {
        Sheet.Open(Army(), result);
        UI.Take();
    }
    void Mark(int column, int row) { Sheet.Mark(Item(column, row)); }

    TGameCatalogue C;
    std::unique_ptr<TGame> Game = std::make_unique<TGame>(C.Catalogue, C.Clock, 2, u"Calc"_s);
    TGame *Source = Game.get();
    TScriptedCalcUI UI;
    TDieCalcSheet Sheet{[this] { return Source; }, UI};
};

} // namespace

TEST_F(DiceCalcTest, ItemsAndHeadersSayWhatTheyHold)
{
    TDieCalcCost cost(u"melee Hit"_s, 0);
    EXPECT_EQ(cost.Name, u"Melee Hit");
    cost.Total = 7;
    EXPECT_EQ(cost.GetText(), u"Melee Hit") << "cost 0 shows the name whatever the total";
    cost.Cost = 2;
    QStringList texts;
    for (const qint32 total : {5, 4, 3, 1, 0, -6}) {
        cost.Total = total;
        texts << cost.GetText();
    }
    EXPECT_EQ(texts, (QStringList{u"2 Melee Hits"_s, u"2 Melee Hits"_s, u"1 Melee Hit"_s, u"No Melee Hits"_s,
                                  u"No Melee Hits"_s, u"No Melee Hits"_s}));
    EXPECT_EQ(TDieCalcCost(QString(), 1).GetText(), u"No s");

    EXPECT_EQ(TDieCalcBonus(u"Wall of Ice"_s, 3).GetText(), u"Wall of Ice\n\n\n3 bonus");
    const TCalcGameSource source = [this] { return Source; };
    TDieCalcDie striker(source, Die(0));
    EXPECT_EQ(striker.Value, 5);
    EXPECT_EQ(striker.BaseValue, 5);
    EXPECT_EQ(striker.GetText(), u"Reedfolk\nStriker (2)\n5 Melee\n5 points");
    EXPECT_EQ(striker.FullName(), Die(0).FullName());
    striker.Value = 0;
    EXPECT_EQ(striker.GetText(), u"Reedfolk\nStriker (2)\n5 Melee");
    striker.Value = -2;
    EXPECT_EQ(striker.GetText(), u"Reedfolk\nStriker (2)\n5 Melee");

    EXPECT_EQ(CalcResultNames().size(), 22);
    EXPECT_EQ(CalcResultNames().front(), u"Melee Hit");
    EXPECT_EQ(CalcResultNames().back(), u"Wyrmbrood Mana");
    EXPECT_EQ(CalcSpellNames(), (QStringList{u"Watery Double"_s, u"Wall of Ice"_s, u"Wind Walk"_s, u"Stoneskin"_s,
                                             u"Wind Wall"_s, u"Spirit Furnace"_s, u"Armor"_s}));
}

TEST_F(DiceCalcTest, OpensWithTheArmysDiceUnusedAndTheMainResult)
{
    EXPECT_EQ(TDieCalcSheet::ProposedResult(*Game), u"Maneuver") << "phase 0, step 0";
    Game->AdvanceStep(); // the first march's maneuver step
    EXPECT_EQ(TDieCalcSheet::ProposedResult(*Game), u"Maneuver");
    Game->AdvanceStep();
    EXPECT_EQ(TDieCalcSheet::ProposedResult(*Game), u"Hit");

    Open();
    EXPECT_EQ(Sheet.Title(), u"Player 1's Army at Frontier");
    EXPECT_EQ(Headers(), (QStringList{u"Unused"_s, u"No Melee Hits"_s}));
    EXPECT_EQ(Sheet.Cost(1)->Total, 10);
    EXPECT_EQ(Sheet.Cost(2)->Cost, 1);
    EXPECT_EQ(Sheet.RowCount(), 3);
    EXPECT_EQ(Values(1), (std::vector<qint32>{5, 3, 2}));
    EXPECT_EQ(dynamic_cast<TDieCalcDie &>(Item(1, 3)).Die(), &Die(2));
    EXPECT_EQ(Sheet.Current(), (TCalcCell{1, 1}));
    EXPECT_EQ(Sheet.Item(1, 4), nullptr);
    EXPECT_EQ(Sheet.Item(3, 1), nullptr);

    // An army without dice still gives a row, and nothing to process.
    TDieCalcSheet empty([this] { return Source; }, UI);
    empty.Open(*Game->Home(2).Army(2), u"Save"_s);
    EXPECT_EQ(empty.RowCount(), 1);
    empty.ModifyValues(TCalcOperation::Double);
    EXPECT_EQ(UI.Take(), (QStringList{u"beep"_s, u"show: No cells to process."_s}));
}

TEST_F(DiceCalcTest, CellCommandsChangeTheMarkedDiceInMarkingOrder)
{
    Open();
    Sheet.SetCurrent(2, 1);
    UI.Dialogs.push_back(TNumReasonAnswer{u"Armor"_s, 2});
    Sheet.CreateBonus();
    UI.Take();

    // Marked: the Bog Witch, the bonus, the Striker.
    Mark(1, 3);
    Sheet.Mark(Item(2, 1));
    Mark(1, 1);
    Sheet.ModifyValues(TCalcOperation::Double);
    EXPECT_EQ(UI.Take(), (QStringList{u"show: Processing..."_s, u"show: Processing "_s + Die(2).FullName() + u"..."_s,
                                      u"show: Skipping..."_s, u"show: Processing "_s + Die(0).FullName() + u"..."_s,
                                      u"show: 2 processed, 1 skipped."_s}));
    EXPECT_EQ(Values(1), (std::vector<qint32>{10, 3, 4}));
    EXPECT_EQ(Item(2, 1).Value, 2) << "bonuses are never changed";
    EXPECT_TRUE(Sheet.Marked().empty());
    EXPECT_EQ(Sheet.Cost(1)->Total, 17);

    // Without marks the current cell is the one processed.
    const auto apply = [&](int row, qint32 value, TCalcOperation operation) {
        Item(1, row).Value = value;
        Sheet.SetCurrent(1, row);
        Sheet.ModifyValues(operation);
        return Item(1, row).Value;
    };
    EXPECT_EQ(apply(1, 7, TCalcOperation::Halve), 3);
    EXPECT_EQ(apply(1, -3, TCalcOperation::Halve), -1);
    EXPECT_EQ(apply(1, 0, TCalcOperation::Decrease), -1);
    EXPECT_EQ(Item(1, 1).GetText(), u"Reedfolk\nStriker (2)\n5 Melee");
    EXPECT_EQ(apply(1, -1, TCalcOperation::Increase), 0);
    EXPECT_EQ(apply(2, 9, TCalcOperation::Clear), 0);
    EXPECT_EQ(apply(2, 9, TCalcOperation::Reset), 3);
    // Counts stop at the edge of 32 bits instead of turning negative.
    const qint32 most = std::numeric_limits<qint32>::max();
    EXPECT_EQ(apply(1, most, TCalcOperation::Double), most);
    EXPECT_EQ(apply(2, most, TCalcOperation::Increase), most);
    Sheet.RecalcColumns();
    EXPECT_EQ(Sheet.Cost(1)->Total, most);

    // An empty current cell with nothing marked.
    Sheet.SetCurrent(2, 3);
    UI.Take();
    Sheet.ModifyValues(TCalcOperation::Clear);
    EXPECT_EQ(UI.Take(), (QStringList{u"beep"_s, u"show: No cells to process."_s}));
}

TEST_F(DiceCalcTest, RerollsRollTheDieInTheGameAndAsk)
{
    Open();
    Item(1, 1).Value = 8; // doubled before: the reroll adds to what the cell holds
    const auto expectRoll = [&](TDieInPlay &die, bool answer) {
        TRandomizer next = Game->Randomizer();
        const int face = next.Roll(die.Die().FaceCount(), -1);
        UI.YesNo.push_back(answer);
        return face;
    };

    int face = expectRoll(Die(0), true);
    Sheet.SetCurrent(1, 1);
    Sheet.ModifyValues(TCalcOperation::Reroll);
    const int count = Die(0).Die().FaceSymbolCount(face);
    const QString symbol = C.Catalogue.GetIcon(Die(0).Die().FaceSymbol(face))->Name;
    EXPECT_EQ(Die(0).Face(), face);
    EXPECT_EQ(Game->Log().back(), symbol + u' ' + QString::number(count) + u" rolled by "_s + Die(0).FullName() + u'.');
    EXPECT_EQ(UI.Take(), (QStringList{u"show: Processing..."_s, u"show: Processing "_s + Die(0).FullName() + u"..."_s,
                                      u"rolled: "_s + Die(0).ReferenceText(),
                                      u"ask: Use "_s + QString::number(count) + u' ' + symbol + u'?',
                                      u"show: 1 processed, 0 skipped."_s}));
    EXPECT_EQ(Item(1, 1).Value, 8 + count);
    EXPECT_EQ(Item(1, 1).BaseValue, 5 + count);

    // Reroll answered No changes nothing in the cell; the die keeps its new face.
    face = expectRoll(Die(1), false);
    Sheet.SetCurrent(1, 2);
    Sheet.ModifyValues(TCalcOperation::Reroll);
    EXPECT_EQ(Die(1).Face(), face);
    EXPECT_EQ(Item(1, 2).Value, 3);

    // Change roll replaces the value: with Yes the count, with No nothing at all.
    face = expectRoll(Die(1), true);
    Sheet.ModifyValues(TCalcOperation::ChangeRoll);
    EXPECT_EQ(Item(1, 2).Value, Die(1).Die().FaceSymbolCount(face));
    EXPECT_EQ(Item(1, 2).BaseValue, Item(1, 2).Value);
    expectRoll(Die(1), false);
    Sheet.ModifyValues(TCalcOperation::ChangeRoll);
    EXPECT_EQ(Item(1, 2).Value, 0);
    EXPECT_EQ(Item(1, 2).BaseValue, 0);
    EXPECT_EQ(Item(1, 2).GetText(), Die(1).CellText()) << "no points line";
    EXPECT_EQ(Sheet.Cost(1)->Total, Item(1, 1).Value + 2);
    EXPECT_TRUE(Game->Modified());
}

TEST_F(DiceCalcTest, SplitAsksForAPartBelowTheValue)
{
    Open();
    UI.Inputs = {u"two"_s, u"5"_s, u"0"_s, u"2"_s};
    Sheet.SplitCell();
    EXPECT_EQ(UI.Take(), (QStringList{u"input: Enter split amount. / Enter a number between 1 and 4:"_s,
                                      u"input: Enter split amount. / Invalid value.  Enter whole number:"_s,
                                      u"input: Enter split amount. / Value too high.  Enter a number between 1 and 4:"_s,
                                      u"input: Enter split amount. / Value too low.  Enter a number between 1 and 4:"_s}));
    EXPECT_EQ(Values(1), (std::vector<qint32>{2, 3, 3, 2}));
    EXPECT_EQ(Sheet.RowCount(), 4) << "the full column grew a row";
    EXPECT_EQ(dynamic_cast<TDieCalcDie &>(Item(1, 1)).Die(), &Die(0));
    EXPECT_EQ(Item(1, 2).BaseValue, 3);

    // Doubled and reset, each part goes back to its share, not to the whole 5.
    Mark(1, 1);
    Mark(1, 2);
    Sheet.ModifyValues(TCalcOperation::Double);
    Mark(1, 1);
    Mark(1, 2);
    Sheet.ModifyValues(TCalcOperation::Reset);
    EXPECT_EQ(Values(1), (std::vector<qint32>{2, 3, 3, 2}));

    // A cell of value 1 has no part to give: every entry is out of range.
    Sheet.SetCurrent(1, 4);
    Item(1, 4).Value = 1;
    UI.Take();
    UI.Inputs = {u"1"_s, u"0"_s, std::nullopt};
    Sheet.SplitCell();
    EXPECT_EQ(UI.Take(), (QStringList{u"input: Enter split amount. / Enter a number between 1 and 0:"_s,
                                      u"input: Enter split amount. / Value too high.  Enter a number between 1 and 0:"_s,
                                      u"input: Enter split amount. / Value too low.  Enter a number between 1 and 0:"_s,
                                      u"show: Cell split cancelled by user."_s}));
    EXPECT_EQ(Sheet.ItemCount(1), 4);
}

TEST_F(DiceCalcTest, CloneAndBonusAreInsertedAtTheCurrentCell)
{
    Open();
    Item(1, 2).Value = 6;
    Sheet.SetCurrent(1, 2);
    EXPECT_TRUE(Sheet.CanClone());
    Sheet.CloneCell();
    EXPECT_EQ(Values(1), (std::vector<qint32>{5, 6, 6, 2}));
    EXPECT_EQ(Item(1, 2).BaseValue, 3);
    EXPECT_NE(&Item(1, 2), &Item(1, 3));

    // A bonus goes onto an item, or onto the empty cell right below the last one.
    Sheet.SetCurrent(2, 2);
    EXPECT_FALSE(Sheet.CanBonus());
    Sheet.CreateBonus();
    EXPECT_EQ(UI.Take(), QStringList{u"beep"_s});
    Sheet.SetCurrent(2, 1);
    EXPECT_TRUE(Sheet.CanBonus());
    EXPECT_FALSE(Sheet.CanSplit());
    UI.Dialogs = {TNumReasonAnswer{u"Wall of Ice"_s, 3}, std::nullopt};
    Sheet.CreateBonus();
    ASSERT_EQ(UI.Requests.size(), 1U);
    const TNumReasonRequest &request = UI.Requests.front();
    EXPECT_EQ(request.Caption, u"Melee Hit Bonus");
    EXPECT_EQ(request.TextPrompt, u"Enter name of spell:");
    EXPECT_EQ(request.Choices, CalcSpellNames());
    EXPECT_EQ(request.NumberPrompt, u"Enter amount of bonus:");
    EXPECT_EQ(std::pair(request.Low, request.High), std::pair(1, 256));
    EXPECT_EQ(Item(2, 1).GetText(), u"Wall of Ice\n\n\n3 bonus");
    EXPECT_EQ(Headers()[1], u"3 Melee Hits");
    EXPECT_FALSE(Sheet.CanSplit()) << "a bonus is no die";
    Sheet.CreateBonus();
    EXPECT_EQ(UI.Take().back(), u"show: Spell bonus cancelled by user.");
    EXPECT_EQ(Sheet.ItemCount(2), 1);

    // A dialog that fails inserts nothing.
    UI.FailDialog = true;
    Sheet.CreateBonus();
    EXPECT_EQ(UI.Take(), (QStringList{u"dialog: Melee Hit Bonus"_s, u"show: Error creating spell bonus."_s,
                                      u"report: in calculator: The dialog broke."_s}));
    EXPECT_EQ(Sheet.ItemCount(2), 1);
}

TEST_F(DiceCalcTest, NewColumnComesAfterTheCurrentOne)
{
    Open();
    UI.Dialogs = {TNumReasonAnswer{u"save"_s, 2}, std::nullopt};
    Sheet.NewColumn();
    const TNumReasonRequest &request = UI.Requests.front();
    EXPECT_EQ(request.Caption, u"New Column");
    EXPECT_EQ(request.TextPrompt, u"Enter result name for the new column:");
    EXPECT_EQ(request.Choices, CalcResultNames());
    EXPECT_EQ(request.NumberPrompt, u"Enter cost per result:");
    EXPECT_EQ((std::tuple(request.Low, request.High, request.Initial)), std::tuple(0, 12, 1));
    EXPECT_EQ(Headers(), (QStringList{u"Unused"_s, u"No Saves"_s, u"No Melee Hits"_s}));
    EXPECT_EQ(UI.Take().back(), u"show: Column created for Save.");
    Sheet.NewColumn();
    EXPECT_EQ(UI.Take().back(), u"show: Column create cancelled by user.");
    EXPECT_EQ(Sheet.ColumnCount(), 3);
}

TEST_F(DiceCalcTest, DroppedCellsKeepTheirMarkingOrderAndLeaveNoGaps)
{
    Open();
    // Dropped far below an empty column: they go to its top, in marking order.
    Mark(1, 3);
    Mark(1, 1);
    Sheet.DropCells(2, 40);
    EXPECT_EQ(Values(2), (std::vector<qint32>{2, 5}));
    EXPECT_EQ(Values(1), (std::vector<qint32>{3}));
    EXPECT_EQ(Headers()[1], u"7 Melee Hits");
    EXPECT_EQ(Sheet.Cost(1)->Total, 3);
    EXPECT_TRUE(Sheet.Marked().empty());

    // Into the middle of a column: before the cell dropped on.
    Mark(1, 1);
    Sheet.DropCells(2, 2);
    EXPECT_EQ(Values(2), (std::vector<qint32>{2, 3, 5}));
    EXPECT_EQ(Sheet.ItemCount(1), 0);

    // Cells from above the drop row of the same column, marked bottom first, still end
    // in marking order, here below the cell that stays.
    Mark(2, 2);
    Mark(2, 1);
    Sheet.DropCells(2, 4);
    EXPECT_EQ(Values(2), (std::vector<qint32>{5, 3, 2}));
    // Onto itself nothing moves.
    Mark(2, 2);
    Sheet.DropCells(2, 2);
    EXPECT_EQ(Values(2), (std::vector<qint32>{5, 3, 2}));
    EXPECT_EQ(Sheet.RowCount(), 3);

    // A column that outgrows the rows makes the grid grow.
    Sheet.SetCurrent(1, 1);
    UI.Dialogs = {TNumReasonAnswer{u"Armor"_s, 4}};
    Sheet.CreateBonus();
    Sheet.Mark(Item(1, 1));
    Sheet.DropCells(2, 1);
    EXPECT_EQ(Values(2), (std::vector<qint32>{4, 5, 3, 2}));
    EXPECT_EQ(Sheet.RowCount(), 4);
    EXPECT_FALSE(Sheet.VerifySource()) << "the current cell is empty now";
    Sheet.SetCurrent(2, 3);
    EXPECT_TRUE(Sheet.VerifySource());
    EXPECT_EQ(Sheet.Marked(), std::vector<TDieCalcObject *>{&Item(2, 3)});
}

TEST_F(DiceCalcTest, ResultsGoToTheScratchPadAndTheLogWithControl)
{
    Open(u"Melee Hit"_s);
    UI.Dialogs = {TNumReasonAnswer{u"Save"_s, 2}, TNumReasonAnswer{u"Special"_s, 0},
                  TNumReasonAnswer{u"Maneuver"_s, 1}};
    Sheet.SetCurrent(2, 1);
    Sheet.NewColumn(); // column 3 Save
    Sheet.SetCurrent(3, 1);
    Sheet.NewColumn(); // column 4 Special
    Sheet.SetCurrent(4, 1);
    Sheet.NewColumn(); // column 5 Maneuver, left at 0
    Mark(1, 1);
    Sheet.DropCells(2, 1); // Melee Hit: 5
    Item(1, 2).Value = 1;
    Mark(1, 2);
    Sheet.DropCells(3, 1); // Save: 1
    Sheet.SetCurrent(5, 1);
    UI.Dialogs.push_back(TNumReasonAnswer{u"Armor"_s, 2});
    Sheet.CreateBonus();
    Item(5, 1).Value = -2; // Maneuver: below 0
    Item(1, 1).Value = 4;
    Sheet.RecalcColumns();
    EXPECT_EQ(Sheet.Cost(1)->Total, 4) << "the unused column is never sent";
    EXPECT_EQ(Sheet.Cost(5)->Total, -2);

    const QStringList expected{u"Results for Player 1's Army at Frontier"_s, u"5 Melee Hits"_s, u"No Saves"_s};
    EXPECT_EQ(Sheet.ResultLines(), expected);
    const int logged = int(Game->Log().size());
    EXPECT_EQ(Sheet.Transmit(u"Counted twice"_s, u"me@example.org"_s),
              u"Counted twice\r\nResults for Player 1's Army at Frontier\r\n5 Melee Hits\r\nNo Saves"_s);
    EXPECT_EQ(Game->Log().mid(logged), (QStringList{u"> Results for Player 1's Army at Frontier"_s,
                                                    u"> 5 Melee Hits"_s, u"> No Saves"_s}));
    // A cost-0 column with a positive total is sent as its bare name; nothing goes
    // before the first line of an empty pad; without control the log is not touched.
    Mark(1, 1);
    Sheet.DropCells(4, 1);
    Game->Player(2)->Email = u"other@example.org"_s;
    Game->SetController(Game->Player(2));
    const int before = int(Game->Log().size());
    EXPECT_EQ(Sheet.Transmit(QString(), u"me@example.org"_s),
              u"Results for Player 1's Army at Frontier\r\n5 Melee Hits\r\nNo Saves\r\nSpecial"_s);
    EXPECT_EQ(Game->Log().size(), before);
    EXPECT_EQ(Sheet.Transmit(QString(), u"other@example.org"_s).count(u"\r\n"_s), 3);
    EXPECT_EQ(Game->Log().size(), before + 4);
}

TEST_F(DiceCalcTest, DiceThatLeaveTheGameStayAsTheyWereShown)
{
    Open();
    const QString name = dynamic_cast<TDieCalcDie &>(Item(1, 2)).FullName();

    // A refreshed copy of the game has the same dice under the same IDs.
    TGameOpened copy = ReadGame(GameBytes(*Game), C);
    Source = copy.Game.get();
    const int logged = int(Game->Log().size());
    UI.YesNo = {true};
    Sheet.SetCurrent(1, 2);
    Sheet.ModifyValues(TCalcOperation::Reroll);
    EXPECT_EQ(Game->Log().size(), logged);
    EXPECT_TRUE(copy.Game->Log().back().endsWith(u"rolled by "_s + name + u'.'));
    Source = Game.get();
    Item(1, 2).Value = 3;
    const QString text = Item(1, 2).GetText();

    // The game window erased the army while the calculator was open.
    Army().Erase();
    EXPECT_EQ(dynamic_cast<TDieCalcDie &>(Item(1, 2)).Die(), nullptr);
    EXPECT_EQ(Item(1, 2).GetText(), text);
    UI.Take();
    Sheet.ModifyValues(TCalcOperation::Reroll);
    EXPECT_EQ(UI.Take(), (QStringList{u"show: Processing..."_s, u"show: Skipping..."_s,
                                      u"show: 0 processed, 1 skipped."_s}));
    Sheet.ModifyValues(TCalcOperation::Increase);
    EXPECT_EQ(UI.Take()[1], u"show: Processing "_s + name + u"..."_s);
    EXPECT_EQ(Item(1, 2).Value, 4);
    // And the game itself went: the results still reach the pad, and no log.
    Source = nullptr;
    EXPECT_EQ(Sheet.Transmit(u"pad"_s, QString()), u"pad\r\nResults for Player 1's Army at Frontier"_s);
}

TEST_F(DiceCalcTest, ARollThatFailsStopsTheCommandWithWhatItChanged)
{
    TDie &blank = C.MakeDie(u"Blank"_s, 1, {});
    PutDie(Army(), blank);
    Open();
    Mark(1, 1);
    Mark(1, 4);
    Mark(1, 2);
    UI.YesNo = {true};
    Sheet.ModifyValues(TCalcOperation::ChangeRoll);
    const QStringList events = UI.Take();
    ASSERT_GE(events.size(), 3);
    EXPECT_EQ(events[events.size() - 2], u"show: Error in calculator.");
    EXPECT_TRUE(events.back().startsWith(u"report: in calculator: "_s));
    EXPECT_EQ(Item(1, 1).Value, Item(1, 1).BaseValue);
    EXPECT_EQ(Item(1, 2).Value, 3) << "the die after the failure is not processed";
    EXPECT_EQ(Sheet.Marked().size(), 3U) << "the marks stay for another try";
}

// Sixty dice moved, split, cloned, given bonuses and changed at random: after every
// step each column is an unbroken run that fits the grid, no item is lost or doubled,
// every die is still on the sheet, each header's total is its column's sum, and the sum
// of all values only changes by what clones, bonuses and the cell commands add.
TEST_F(DiceCalcTest, RandomWorkKeepsEveryColumnWhole)
{
    TDie &mixed = C.MakeDie(u"Mixed"_s, 2,
                            {{BasicIcon::Melee, 2}, {BasicIcon::Save, 1}, {BasicIcon::Magic, 3}, {BasicIcon::Move, 4}});
    for (int i = 0; i < 57; ++i)
        PutDie(Army(), i % 2 ? mixed : C.Archer());
    Open();
    ASSERT_EQ(Sheet.ItemCount(1), 60);

    std::mt19937 random(20261207);
    const auto pick = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    const auto anyCell = [&]() -> TCalcCell {
        for (;;) {
            const int c = pick(1, Sheet.ColumnCount());
            if (Sheet.ItemCount(c) > 0)
                return {c, pick(1, Sheet.ItemCount(c))};
        }
    };
    const auto markSome = [&] {
        std::vector<TDieCalcObject *> marked;
        for (int n = pick(1, 6); n > 0; --n) {
            const TCalcCell cell = anyCell();
            Sheet.Mark(*Sheet.Item(cell.Column, cell.Row));
        }
        return Sheet.Marked();
    };

    for (int step = 0; step < 1500; ++step) {
        const qint64 before = Sheet.ValueSum();
        qint64 added = 0;
        const int operation = pick(0, 9);
        if (operation <= 3) {
            const std::vector<TDieCalcObject *> marked = markSome();
            const int column = pick(1, Sheet.ColumnCount());
            Sheet.DropCells(column, pick(1, Sheet.RowCount() + 3));
            const TCalcCell first = Sheet.Find(*marked.front());
            ASSERT_EQ(first.Column, column);
            for (size_t i = 0; i < marked.size(); ++i)
                ASSERT_EQ(Sheet.Item(column, first.Row + int(i)), marked[i]) << "step " << step;
        } else if (operation == 4) {
            const TCalcCell cell = anyCell();
            Sheet.SetCurrent(cell.Column, cell.Row);
            const qint32 value = Sheet.CurrentItem()->Value;
            UI.Inputs.push_back(value >= 2 ? std::optional(QString::number(pick(1, value - 1))) : std::nullopt);
            if (Sheet.CanSplit())
                Sheet.SplitCell();
            UI.Inputs.clear();
        } else if (operation == 5) {
            const TCalcCell cell = anyCell();
            Sheet.SetCurrent(cell.Column, cell.Row);
            if (Sheet.CanClone()) {
                added = Sheet.CurrentItem()->Value;
                Sheet.CloneCell();
            }
        } else if (operation == 6) {
            const int column = pick(1, Sheet.ColumnCount());
            Sheet.SetCurrent(column, pick(1, Sheet.ItemCount(column) + 1));
            added = pick(1, 256);
            UI.Dialogs.push_back(TNumReasonAnswer{u"Armor"_s, qint32(added)});
            Sheet.CreateBonus();
        } else if (operation == 7 && Sheet.ColumnCount() < 8) {
            Sheet.SetCurrent(pick(1, Sheet.ColumnCount()), 1);
            UI.Dialogs.push_back(TNumReasonAnswer{CalcResultNames()[pick(0, 21)], pick(0, 12)});
            Sheet.NewColumn();
        } else if (operation >= 8) {
            const std::vector<TDieCalcObject *> marked = markSome();
            std::map<TDieCalcObject *, qint32> bonuses;
            for (TDieCalcObject *item : marked)
                if (!dynamic_cast<TDieCalcDie *>(item))
                    bonuses[item] = item->Value;
            const qint64 markedBefore = std::accumulate(marked.begin(), marked.end(), qint64(0),
                                                        [](qint64 sum, auto *item) { return sum + item->Value; });
            const auto command = TCalcOperation(pick(1, 8));
            for (size_t i = 0; i < marked.size(); ++i)
                UI.YesNo.push_back(pick(0, 1) == 1);
            Sheet.ModifyValues(command);
            UI.YesNo.clear();
            for (const auto &[item, value] : bonuses)
                ASSERT_EQ(item->Value, value);
            const qint64 markedAfter = std::accumulate(marked.begin(), marked.end(), qint64(0),
                                                       [](qint64 sum, auto *item) { return sum + item->Value; });
            added = markedAfter - markedBefore;
            if (command == TCalcOperation::Double) {
                ASSERT_EQ(added, markedBefore - std::accumulate(bonuses.begin(), bonuses.end(), qint64(0),
                                                                [](qint64 sum, auto &each) { return sum + each.second; }));
            }
        }
        UI.Take();

        ASSERT_EQ(Sheet.ValueSum(), before + added) << "step " << step << ", operation " << operation;
        ASSERT_TRUE(Sheet.Marked().empty()) << "step " << step;
        std::set<const TDieCalcObject *> seen;
        std::set<qint32> dice;
        for (int c = 1; c <= Sheet.ColumnCount(); ++c) {
            ASSERT_LE(Sheet.ItemCount(c), Sheet.RowCount());
            qint64 total = 0;
            for (int r = 1; r <= Sheet.RowCount() + 1; ++r) {
                const TDieCalcObject *item = Sheet.Item(c, r);
                ASSERT_EQ(item != nullptr, r <= Sheet.ItemCount(c)) << "a gap in column " << c << " at row " << r;
                if (!item)
                    continue;
                ASSERT_TRUE(seen.insert(item).second) << "an item shown twice";
                if (const auto *die = dynamic_cast<const TDieCalcDie *>(item))
                    dice.insert(die->DieID());
                total += item->Value;
            }
            ASSERT_EQ(Sheet.Cost(c)->Total, total) << "column " << c << " at step " << step;
        }
        ASSERT_EQ(dice.size(), 60U);
    }
}
