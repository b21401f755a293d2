#pragma once

#include "dice/DiceTypes.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <memory>
#include <vector>

class TCatalogue;
class TInventoryData;
class TTaggedReader;
class TTaggedWriter;
class TTrade;

// Where a trade stands. Stored as one byte; the status list shows them in this order.
enum class TradeStatus : quint8 { Proposed, Accepted, Sent, Received, Complete, Waiting, Player };

template <>
struct TVocabulary<TradeStatus>
{
    static constexpr std::array Names{u"Proposed", u"Accepted", u"Sent", u"Received", u"Complete", u"Waiting",
                                      u"Player"};
    static constexpr int Count = int(Names.size());
};

// One line of a trade: an inventory item and a signed number of copies (positive: coming
// in to the user; negative: going out). Outgoing copies count as used, waiting or in play
// according to the trade.
class TTradeItem
{
public:
    TTradeItem(TTrade &trade, TInventoryData &item);
    ~TTradeItem(); // gives back what the line counted (SetCount(0))
    TTradeItem(const TTradeItem &) = delete;
    TTradeItem &operator=(const TTradeItem &) = delete;

    TInventoryData &Item() const { return *FItem; }
    TTrade &Trade() const { return *FTrade; }
    qint32 Count() const { return FCount; }
    // Moves the line's outgoing copies between the counts as the trade says.
    // -2147483648 is taken as -2147483647, whose copies can be given back.
    void SetCount(qint32 count);
    qint32 CoverCount = 0;
    // One more copy wanted for a loaded army: true when the line had to send one more.
    bool TakeForCover();
    bool IsDirection(bool out) const { return out ? FCount < 0 : FCount > 0; }

private:
    friend class TTrade;
    // Brings what the line adds to the used, waiting and in-play counts in line with
    // its count and its trade's use and status.
    void Settle();

    TTrade *FTrade;
    TInventoryData *FItem;
    qint32 FCount = 0;
    // What the line has added to each count. The counts stop at the ends of their
    // ranges, so a line gives back exactly what it added rather than its count.
    quint32 FUsed = 0;
    qint32 FWaiting = 0;
    qint32 FInPlay = 0;
};

// A proposed or running exchange of dice with one other collector.
class TTrade
{
public:
    // Number from the inventory's next trade number; status Proposed, today's date.
    TTrade(TCatalogue &catalogue, qint32 number, QString name, QDate today);
    ~TTrade();
    TTrade(const TTrade &) = delete;
    TTrade &operator=(const TTrade &) = delete;

    TCatalogue &Catalogue() const { return *FCatalogue; }
    qint32 Number() const { return FNumber; }
    const std::vector<std::unique_ptr<TTradeItem>> &Lines() const { return FLines; }

    QString Name;
    QString Address; // lines separated by CR LF
    QString Phone;
    QString EMail;
    QString Card;
    QString Terms;
    QDateTime Date;
    QString Notes;

    TradeStatus Status() const { return FStatus; }
    bool UseTradeOuts() const { return FUseTradeOuts; }
    // Moves outgoing copies between the waiting and in-play counts as the status changes.
    void SetStatus(TradeStatus status);
    // Outgoing copies start or stop counting as used.
    void SetUseTradeOuts(bool use);

    // The first line of the item, or a new line with count 0 at the end.
    TTradeItem &LineFor(TInventoryData &item);
    // A new line at the end, even when the item has one already (a file may hold two).
    TTradeItem &AppendLine(TInventoryData &item, qint32 count);
    // Takes out every line of the item (a die about to be deleted), giving back what
    // they counted; answers how many there were.
    int RemoveLinesOf(const TInventoryData &item);
    // The count of the first line of the item that is not 0, else 0.
    qint32 CountOf(const TInventoryData &item) const;
    // All lines replaced by one line per row whose count is not 0, in row order.
    void ReplaceLines(const std::vector<std::pair<TInventoryData *, qint32>> &rows);
    // Sum of price x count over the lines (positive: the user gains points).
    qint64 NetValue() const;
    void ResetCover();

private:
    TCatalogue *FCatalogue;
    qint32 FNumber;
    TradeStatus FStatus = TradeStatus::Proposed;
    bool FUseTradeOuts = false;
    std::vector<std::unique_ptr<TTradeItem>> FLines;
};
