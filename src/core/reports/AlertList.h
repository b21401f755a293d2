#pragma once

// The inventory alert list: the dice and terrains that match one of the searches of the
// alert report, each with the number to offer (its Diff), and the printout of the list.

#include "dice/DiceTypes.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class TCatalogue;
class TInventoryData;
class TKeepRules;
class TPrintCanvas;

// The searches, in the order of the "Search For" list; the number is the stored
// "IRSearchType".
enum class TAlertSearch : quint8 {
    Shortage,
    Surplus,
    Trade,
    UltraRare,
    Trading,
    All,
    Announce,
    Locked,
    Owned,
    Used,
    Looking,
};

template <>
struct TVocabulary<TAlertSearch>
{
    static constexpr std::array Names{u"Shortage", u"Surplus",  u"Trade",  u"Ultra-Rare", u"Trading", u"All",
                                      u"Announce", u"Locked",   u"Owned",  u"Used",       u"Looking"};
    static constexpr int Count = int(Names.size());
};

// A stored search number outside the list is the first search.
TAlertSearch AlertSearchOf(qint32 number);

// Whether a search lists an item whose surplus is diff.
bool AlertListed(TAlertSearch search, const TInventoryData &item, qint32 diff, qint32 lookLimit);

class TAlertList
{
public:
    static constexpr int kColumns = 8;

    // Empties the list, then walks every die in database order, the 24 minor and the 48
    // major terrains: each gets its Diff from the rules and is listed when the search
    // holds and it is not virtual. status hears every step.
    void Run(const TCatalogue &catalogue, const TKeepRules &rules,
             const std::function<void(const QString &)> &status = {});

    const std::vector<TInventoryData *> &Items() const { return FItems; }
    int Count() const { return int(FItems.size()); }
    // By 0-based index; none outside the list.
    TInventoryData *Item(int index) const;
    void Remove(int index);
    void Clear() { FItems.clear(); }
    // Sorts by the texts of one grid column (0 to 7), ascending or descending, in
    // ordinal order; items with equal texts keep their order.
    void Sort(int column, bool ascending);
    // Drops the items that are no longer dice or terrains of the catalogue (a die
    // deleted, the race database read again); answers how many went.
    int ForgetMissing(const TCatalogue &catalogue);

    static QStringList Headers();
    // The grid's text of an item in a column: the trading mark, name, race or land,
    // profession or terrain kind, size, count/used, signed Diff and points.
    static QString CellText(const TInventoryData &item, int column);
    static QStringList RowTexts(const TInventoryData &item);

private:
    std::vector<TInventoryData *> FItems;
};

// What the printout of the alert list shows, as texts.
struct TAlertPrintData
{
    QStringList Headers;
    // One row of eight cells per listed item, in list order.
    std::vector<QStringList> Rows;
    // The first line of the user's address; empty when there is none.
    QString Address;
    // "mm/dd/yy hh:nn:ss" of the moment printing started.
    QString PrintedAt;
};

TAlertPrintData MakeAlertPrintData(const TAlertList &list, const QString &userAddress, const QString &printedAt);

// The list as one document titled "Tarrowind Inventory", headed on every page. A failure
// while printing aborts the document and is passed on.
void PrintAlertList(TPrintCanvas &canvas, const TAlertPrintData &data);
