#pragma once

// The roll calculator without its window: the items of its cells and columns, and the
// worksheet on which a player sorts out what the dice of one army produced in a roll.
//
// Every die of the army becomes a cell holding the number of results its showing face
// gives; the cells are dragged into columns, one per kind of result, and each column's
// header counts the results by the column's cost per result. The worksheet runs each of
// the window's commands whole, asking and showing through TCalcUI, which the calculator
// window implements (and a scripted stand-in in the tests).
//
// A column is kept as the list of its items from the top, so its filled cells always
// form an unbroken run from row 1: every operation inserts into or takes out of that
// list, and the grid only shows it.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TArmyInPlay;
class TDieInPlay;
class TGame;
class TKrException;

// The game the calculator works on, asked for afresh at every use. The window is not
// modal: while it is open the game window may replace its game by a fresh copy (a
// refresh or a download) or free dice (Erase Burial Vault), so the calculator keeps no
// pointer into the game; none means the game is gone.
using TCalcGameSource = std::function<TGame *()>;

// The base of the cell items: the current number of results and the number a reset
// returns to.
class TDieCalcObject
{
public:
    virtual ~TDieCalcObject() = default;
    TDieCalcObject(const TDieCalcObject &) = delete;
    TDieCalcObject &operator=(const TDieCalcObject &) = delete;

    virtual QString GetText() const = 0;

    qint32 Value = 0;
    qint32 BaseValue = 0;

protected:
    explicit TDieCalcObject(qint32 value) : Value(value), BaseValue(value) {}
};

// A die in play. It is found again by its target ID each time it is needed (a game file
// keeps the IDs, so a refreshed copy of the game still has it); the texts it showed last
// stand in for it once it has left the game.
class TDieCalcDie final : public TDieCalcObject
{
public:
    // Holds the count of the die's showing face.
    TDieCalcDie(const TCalcGameSource &source, TDieInPlay &die);
    // Another item for the same die holding the value: the part split off, or a clone.
    TDieCalcDie(const TDieCalcDie &same, qint32 value);

    // None once the die or its game has gone.
    TDieInPlay *Die() const;
    qint32 DieID() const { return FID; }

    // The die's three lines and, with a value above 0, "<value> points" on a fourth.
    QString GetText() const override;
    QString FullName() const;

private:
    // Refreshes the stand-in texts from the die, when it is still there.
    TDieInPlay *Look() const;

    const TCalcGameSource *FSource;
    qint32 FID;
    mutable QString FCellText;
    mutable QString FFullName;
};

// A spell's bonus to a column.
class TDieCalcBonus final : public TDieCalcObject
{
public:
    TDieCalcBonus(const QString &spell, qint32 value) : TDieCalcObject(value), Spell(spell) {}

    // The spell, three line breaks down "<value> bonus".
    QString GetText() const override;

    QString Spell;
};

// A column's kind of result: its name, the cost of one result and the total of its
// cells, kept by recalculation.
class TDieCalcCost
{
public:
    // The name's first character is upper-cased.
    TDieCalcCost(const QString &name, qint32 cost);

    // The header: the name alone at cost 0; else by the number of results n = total div
    // cost: "<n> <name>s" above 1, "1 <name>", "No <name>s" at 0 or below.
    QString GetText() const;

    QString Name;
    qint32 Cost = 0;
    qint32 Total = 0;
};

// The result names a new column offers (22) and the spells a bonus offers (7), in the
// order the dialogs list them.
QStringList CalcResultNames();
QStringList CalcSpellNames();

// The number-and-text dialog of a new column and a bonus: a caption, a prompt for the
// text with its choices (any other text may be typed), a prompt for the number with its
// range and the number it starts at.
struct TNumReasonRequest
{
    QString Caption;
    QString TextPrompt;
    QStringList Choices;
    QString NumberPrompt;
    qint32 Low = 0;
    qint32 High = 0;
    qint32 Initial = 0;
};

struct TNumReasonAnswer
{
    QString Text;
    qint32 Number = 0;
};

// A cell of the worksheet: 1-based column and row; 0 for none.
struct TCalcCell
{
    int Column = 0;
    int Row = 0;

    friend bool operator==(const TCalcCell &, const TCalcCell &) = default;
};

// The window's side of the worksheet's commands.
class TCalcUI
{
public:
    virtual ~TCalcUI() = default;

    // The calculator's status line.
    virtual void Show(const QString &text) = 0;
    virtual void Beep() = 0;
    // A confirmation with Yes and No; true for Yes.
    virtual bool AskYesNo(const QString &question) = 0;
    // The program's input box: the text typed, nothing for Cancel.
    virtual std::optional<QString> InputBox(const QString &caption, const QString &prompt, const QString &text) = 0;
    virtual std::optional<TNumReasonAnswer> AskNumReason(const TNumReasonRequest &request) = 0;
    // "Error <context>." in the main status line and the failure's message in a box.
    virtual void ReportError(const TKrException &failure, const QString &context) = 0;
    // The worksheet changed (cells, headers, marks, rows or columns): show it again.
    // Called after each cell a command changes, so that the grid is up to date while a
    // later question is asked.
    virtual void Changed() = 0;
    // The calculator rolled a die of the game: its face and the game's log changed.
    virtual void DieRolled(TDieInPlay &die) = 0;
};

// The cell commands, numbered as the menu items' tags.
enum class TCalcOperation { Double = 1, Halve = 2, Clear = 3, Increase = 4, Decrease = 5, Reset = 6, Reroll = 7, ChangeRoll = 8 };

class TDieCalcSheet
{
public:
    // An empty worksheet (one column "Unused", one row) until it is opened on an army.
    TDieCalcSheet(TCalcGameSource source, TCalcUI &ui);
    ~TDieCalcSheet();
    TDieCalcSheet(const TDieCalcSheet &) = delete;
    TDieCalcSheet &operator=(const TDieCalcSheet &) = delete;

    // The main result the opening question proposes: "Maneuver" in the maneuver step of
    // a march (step 0), "Hit" otherwise.
    static QString ProposedResult(const TGame &game);
    // Column 1 "Unused" (cost 0) holds a die item for each of the army's dice in its
    // order, column 2 is the main result at cost 1; the cell (1, 1) is current.
    void Open(TArmyInPlay &army, const QString &mainResult);

    // The army's full name as it was at opening.
    const QString &Title() const { return FTitle; }
    int ColumnCount() const { return int(FColumns.size()); }
    // The grid's rows: at least the longest column, never fewer than at opening.
    int RowCount() const { return FRows; }
    // None outside 1..ColumnCount.
    TDieCalcCost *Cost(int column) const;
    int ItemCount(int column) const;
    // The item of a cell; none for an empty cell or a cell outside the worksheet.
    TDieCalcObject *Item(int column, int row) const;
    TCalcCell Find(const TDieCalcObject &item) const;
    // The sum of every item's value, the measure the property tests keep.
    qint64 ValueSum() const;

    // The current cell, as the grid's selection made it.
    TCalcCell Current() const { return FCurrent; }
    void SetCurrent(int column, int row);
    TDieCalcObject *CurrentItem() const { return Item(FCurrent.Column, FCurrent.Row); }
    TDieCalcDie *CurrentDie() const;
    // Split and clone need a die item; a bonus goes onto any item or onto the empty cell
    // in row 1 or directly below the last item.
    bool CanSplit() const { return CurrentDie() != nullptr; }
    bool CanClone() const { return CurrentDie() != nullptr; }
    bool CanBonus() const;

    // Marks, in the order they were made. Only items can be marked.
    const std::vector<TDieCalcObject *> &Marked() const { return FMarks; }
    bool IsMarked(const TDieCalcObject &item) const;
    void Mark(TDieCalcObject &item);
    void Unmark(const TDieCalcObject &item);
    void ClearMarks() { FMarks.clear(); }
    // Follows the marks the grid shows (given in grid order): marks that went are
    // dropped, new ones are added at the end.
    void FollowMarks(const std::vector<TDieCalcObject *> &shown);

    // Commands of the window.
    void RecalcColumns();
    void ModifyValues(TCalcOperation operation);
    void SplitCell();
    void CloneCell();
    void CreateBonus();
    void NewColumn();
    // May a drag (or a cell command) start: some cell is marked, or the current cell
    // holds an item, which is then marked.
    bool VerifySource();
    // The marked cells go, in marking order, into the column at the row dropped on,
    // moved up to just below the column's last item.
    void DropCells(int column, int row);

    // The lines sent to the scratch pad: "Results for <title>", then the header of each
    // column from the second on whose total is above 0.
    QStringList ResultLines() const;
    // The scratch pad's text with the result lines appended (CR LF before each, unless
    // the text is empty). When the user (by his e-mail address) has control of the game,
    // each line also goes to the game's log after "> ".
    QString Transmit(const QString &scratchPad, const QString &userEmail) const;

private:
    struct TColumn
    {
        std::unique_ptr<TDieCalcCost> Cost;
        std::vector<std::unique_ptr<TDieCalcObject>> Items;
    };

    TColumn *ColumnAt(int column);
    void Recalc(TColumn &column);
    // Puts the item into the cell's column at the cell's row (at most one below the
    // last item), moving the items from there down one row.
    void Insert(const TCalcCell &cell, std::unique_ptr<TDieCalcObject> item);
    void Grow();
    // Marks the current item when nothing is marked; whether anything is marked.
    bool MarkCurrentIfNone();
    void Modify(TDieCalcDie &item, TCalcOperation operation);
    // Reroll and change roll; false when the die has left the game.
    bool Reroll(TDieCalcDie &item, bool replace);
    void Guarded(const QString &status, const std::function<void()> &command);

    TCalcGameSource FSource;
    TCalcUI &FUI;
    std::vector<TColumn> FColumns;
    int FRows = 1;
    std::vector<TDieCalcObject *> FMarks;
    TCalcCell FCurrent{1, 1};
    QString FTitle;
};
