#pragma once

// The trade panel of the inventory window without its widgets: the trader selector, the
// trade it shows, the rows of its grid with their counts as edited, and the Trading
// menu's work on them. Nothing edited reaches the trade before Save.

#include "inventory/TradeData.h"
#include "inventory/TradeLog.h"
#include "inventory/TradeText.h"

#include <QDate>
#include <QString>

#include <functional>
#include <initializer_list>
#include <vector>

class TArmy;
class TInventory;
class TInventoryData;

// What the panel's boxes hold for a trade.
struct TTradeFields
{
    QString Address; // lines separated by CR LF
    QString Phone;
    QString EMail;
    QString Card;
    QString Terms;
    QString Notes;
    QDate Date;
    TradeStatus Status = TradeStatus::Proposed;
    bool UseTradeOuts = false;

    static TTradeFields Of(const TTrade &trade);
};

// How a walk over the selector ended: at a trade that fits, at the end of the list (the
// last trade passed is current), or at once because there are no trades.
enum class TWalk { Found, EndReached, Empty };

class TTradeEditor
{
public:
    explicit TTradeEditor(TInventory &inventory);
    ~TTradeEditor();
    TTradeEditor(const TTradeEditor &) = delete;
    TTradeEditor &operator=(const TTradeEditor &) = delete;

    TInventory &Inventory() const { return *FInventory; }

    // Every trade by name, alphabetically without regard to case; trades of one name in
    // the order of the trade list.
    const std::vector<TTrade *> &Selector() const { return FSelector; }
    int CurrentIndex() const;
    // The selector anew, no trade current and the panel empty.
    void Refill();

    TTrade *Current() const { return FCurrent; }
    // The trade's lines become the rows, one per item (lines of the same item add up),
    // and nothing counts as edited. None empties the panel.
    void Show(TTrade *trade);
    void ShowAt(int index);

    // The grid rows; each item's TradeCount holds its count as edited.
    const std::vector<TInventoryData *> &Rows() const { return FRows; }
    std::vector<TTradeRow> RowCounts() const;
    int RowOf(const TInventoryData &item) const;
    // "Trade I&n" (+1) and "Trade &Out" (-1): the item's row, added at the end when it is
    // not there, counts one more in or out. Answers the row.
    int ChangeRow(TInventoryData &item, qint32 delta);
    void ClearRows();
    // By the column's cell texts, ordinal, ascending or descending; rows of equal text
    // keep their order.
    void SortRows(int column, bool descending);
    // Price x count over the rows as edited.
    qint64 NetValue() const;
    // A die about to be deleted leaves the rows.
    void ForgetItem(const TInventoryData &item);

    bool Edited() const { return FEdited; }
    void SetEdited() { FEdited = true; }

    // "Save Changes": the fields and the rows become the trade's; the trade is shown
    // again.
    void Save(const TTradeFields &fields);

    // "&Create Trade", "D&uplicate Trade" (name, address, phone, e-mail and card of the
    // current trade): the new trade is current and shown.
    TTrade &Create(const QString &name);
    TTrade &Duplicate();
    // A trade made elsewhere (an import) joins the selector and is shown.
    void Adopt(TTrade &trade);
    // The selector refilled with the current trade shown again.
    void Rename(const QString &name);
    // The trade goes, giving back what its lines counted; the selector is refilled.
    void DeleteCurrent();

    // "&Next Trade" (+1) and "&Previous Trade" (-1), wrapping at both ends; false when
    // there are no trades.
    bool Step(int step);
    // From the trade after the current one to the end: the first of these statuses.
    TWalk FindNextWithStatus(std::initializer_list<TradeStatus> statuses);
    // The next waiting trade with a line whose item has a copy free for the waiting
    // list; available is that item.
    TWalk NextWaiting(const TInventoryData *&available);
    // The next trade that counts the item as going out (it uses its outgoing copies or
    // is waiting).
    TWalk NextTradeUsing(const TInventoryData &item);
    // From the first trade: the first whose e-mail address is this one, ASCII case aside.
    TWalk FindByEMail(const QString &email);

    // "&Wait" (+1) and "&Unwait" (-1): one outgoing copy of the item moves between the
    // trader's ordinary trade and waiting trade, whichever of the two is shown (as the
    // status list shows it). The shown trade's row changes as edited; the partner trade
    // at once. Answers the partner, or none when the trader has no such trade.
    TTrade *Transfer(TInventoryData &item, int direction, TradeStatus shownStatus);

    // "Co&ver Armies" after the panel is saved: every item the armies use k times goes
    // out at least k times. Answers how many dice were added; progress hears each step.
    int CoverArmies(const std::vector<const TArmy *> &armies, const TTradeFields &fields,
                    const std::function<void(const QString &)> &progress);

    // ApplyTrade after the panel is saved with "Use Trade Outs" cleared: the trade is
    // dated today, its status moves on and the owned counts of its lines change. Answers
    // the items whose count stopped at 0 (or at the top) on the way.
    std::vector<TInventoryData *> Apply(TApplyKind kind, TTradeFields fields, QDate today);

private:
    void InsertIntoSelector(TTrade &trade);
    TWalk Walk(int from, const std::function<bool(const TTrade &)> &fits);
    void ResetRows();
    // The trades are about to go: nothing may point at them.
    void Forget();

    TInventory *FInventory;
    std::vector<TTrade *> FSelector;
    TTrade *FCurrent = nullptr;
    std::vector<TInventoryData *> FRows;
    bool FEdited = false;
};
