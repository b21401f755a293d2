#include "inventory/TradeData.h"

#include "dice/Catalogue.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qint32 kLowestCount = -std::numeric_limits<qint32>::max();

// The waiting and in-play counts are plain 32-bit sums over every trade; a damaged file
// with huge lines must not make them wrap, so the change is cut where the sum would.
qint32 BoundedDelta(qint32 current, qint32 delta)
{
    const qint64 wanted = qint64(current) + delta;
    const qint64 bounded =
        std::clamp<qint64>(wanted, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
    return qint32(bounded - current);
}

} // namespace

// ---------------------------------------------------------------------------------
// TTradeItem

TTradeItem::TTradeItem(TTrade &trade, TInventoryData &item) : FTrade(&trade), FItem(&item)
{}

TTradeItem::~TTradeItem()
{
    SetCount(0);
}

void TTradeItem::SetCount(qint32 count)
{
    // -2147483648 has no positive counterpart to add to the used count.
    FCount = std::max(count, kLowestCount);
    Settle();
}

void TTradeItem::Settle()
{
    TCatalogue &catalogue = FTrade->Catalogue();
    const qint32 out = FCount < 0 ? -FCount : 0;

    const qint32 used = FTrade->UseTradeOuts() ? out : 0;
    if (quint32(used) != FUsed) {
        // Given back and taken again, so that the window hears of both steps.
        if (FUsed != 0)
            catalogue.AddUsed(*FItem, -qint32(FUsed));
        FUsed = 0;
        if (used != 0) {
            const quint32 before = FItem->UsedCount;
            catalogue.AddUsed(*FItem, used);
            FUsed = FItem->UsedCount - before;
        }
    }

    const qint32 waiting = FTrade->Status() == TradeStatus::Waiting ? out : 0;
    if (waiting != FWaiting) {
        const qint32 change = BoundedDelta(FItem->WaitingCount, waiting - FWaiting);
        catalogue.AddWaiting(*FItem, change);
        FWaiting += change;
    }

    const qint32 inPlay = FTrade->Status() == TradeStatus::Player ? out : 0;
    if (inPlay != FInPlay) {
        const qint32 change = BoundedDelta(FItem->InPlayCount, inPlay - FInPlay);
        catalogue.IncInPlay(*FItem, change);
        FInPlay += change;
    }
}

bool TTradeItem::TakeForCover()
{
    --CoverCount;
    if (CoverCount < FCount) {
        SetCount(CoverCount);
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------
// TTrade

TTrade::TTrade(TCatalogue &catalogue, qint32 number, QString name, QDate today)
    : Name(std::move(name)), Date(today, QTime(0, 0)), FCatalogue(&catalogue), FNumber(number)
{}

TTrade::~TTrade()
{
    // Each line gives back what it counted as it goes.
    while (!FLines.empty())
        FLines.pop_back();
}

void TTrade::SetStatus(TradeStatus status)
{
    if (status == FStatus)
        return;
    FStatus = status;
    for (const auto &line : FLines)
        line->Settle();
}

void TTrade::SetUseTradeOuts(bool use)
{
    if (use == FUseTradeOuts)
        return;
    FUseTradeOuts = use;
    for (const auto &line : FLines)
        line->Settle();
}

TTradeItem &TTrade::LineFor(TInventoryData &item)
{
    for (const auto &line : FLines) {
        if (&line->Item() == &item)
            return *line;
    }
    return AppendLine(item, 0);
}

TTradeItem &TTrade::AppendLine(TInventoryData &item, qint32 count)
{
    TTradeItem &line = *FLines.emplace_back(std::make_unique<TTradeItem>(*this, item));
    line.SetCount(count);
    return line;
}

qint32 TTrade::CountOf(const TInventoryData &item) const
{
    for (const auto &line : FLines) {
        if (&line->Item() == &item && line->Count() != 0)
            return line->Count();
    }
    return 0;
}

void TTrade::ReplaceLines(const std::vector<std::pair<TInventoryData *, qint32>> &rows)
{
    while (!FLines.empty())
        FLines.pop_back();
    for (const auto &[item, count] : rows) {
        if (item && count != 0)
            AppendLine(*item, count);
    }
}

int TTrade::RemoveLinesOf(const TInventoryData &item)
{
    const auto removed = std::erase_if(FLines, [&](const auto &line) { return &line->Item() == &item; });
    return int(removed);
}

qint64 TTrade::NetValue() const
{
    // Stops at the ends of the range rather than wrap on absurd lines.
    qint64 net = 0;
    for (const auto &line : FLines) {
        const qint64 value = qint64(line->Item().Price()) * line->Count();
        if (__builtin_add_overflow(net, value, &net))
            net = value < 0 ? std::numeric_limits<qint64>::min() : std::numeric_limits<qint64>::max();
    }
    return net;
}

void TTrade::ResetCover()
{
    for (const auto &line : FLines)
        line->CoverCount = 0;
}
