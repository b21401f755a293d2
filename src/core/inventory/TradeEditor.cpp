#include "inventory/TradeEditor.h"

#include "army/ArmyData.h"
#include "dice/Catalogue.h"
#include "inventory/Inventory.h"

#include <QSet>

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kLargestCount = std::numeric_limits<qint32>::max();

qint32 BoundedCount(qint64 count)
{
    return qint32(std::clamp(count, -kLargestCount, kLargestCount));
}

bool SameIgnoringAsciiCase(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    auto lower = [](char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; };
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (lower(a[i].unicode()) != lower(b[i].unicode()))
            return false;
    }
    return true;
}

bool SortsBefore(const TTrade *a, const TTrade *b)
{
    return a->Name.compare(b->Name, Qt::CaseInsensitive) < 0;
}

} // namespace

TTradeFields TTradeFields::Of(const TTrade &trade)
{
    TTradeFields fields;
    fields.Address = trade.Address;
    fields.Phone = trade.Phone;
    fields.EMail = trade.EMail;
    fields.Card = trade.Card;
    fields.Terms = trade.Terms;
    fields.Notes = trade.Notes;
    fields.Date = trade.Date.date();
    fields.Status = trade.Status();
    fields.UseTradeOuts = trade.UseTradeOuts();
    return fields;
}

TTradeEditor::TTradeEditor(TInventory &inventory) : FInventory(&inventory)
{
    FInventory->TradesFreeing = [this] { Forget(); };
}

TTradeEditor::~TTradeEditor()
{
    FInventory->TradesFreeing = nullptr;
    ResetRows();
}

int TTradeEditor::CurrentIndex() const
{
    const auto it = std::find(FSelector.begin(), FSelector.end(), FCurrent);
    return FCurrent && it != FSelector.end() ? int(it - FSelector.begin()) : -1;
}

void TTradeEditor::Refill()
{
    FSelector.clear();
    for (const auto &trade : FInventory->Trades())
        FSelector.push_back(trade.get());
    std::stable_sort(FSelector.begin(), FSelector.end(), SortsBefore);
    Show(nullptr);
}

void TTradeEditor::InsertIntoSelector(TTrade &trade)
{
    FSelector.insert(std::upper_bound(FSelector.begin(), FSelector.end(), &trade, SortsBefore), &trade);
}

void TTradeEditor::Forget()
{
    FSelector.clear();
    FCurrent = nullptr;
    ResetRows();
    FEdited = false;
}

void TTradeEditor::ResetRows()
{
    for (TInventoryData *item : FRows)
        item->TradeCount = 0;
    FRows.clear();
}

void TTradeEditor::Show(TTrade *trade)
{
    ResetRows();
    FCurrent = trade;
    if (trade) {
        // A file may hold two lines of one item; a row each would count them twice when
        // the rows are saved back.
        QSet<const TInventoryData *> shown;
        for (const auto &line : trade->Lines()) {
            TInventoryData &item = line->Item();
            if (!shown.contains(&item)) {
                shown.insert(&item);
                FRows.push_back(&item);
                item.TradeCount = line->Count();
            } else {
                item.TradeCount = BoundedCount(qint64(item.TradeCount) + line->Count());
            }
        }
    }
    FEdited = false;
}

void TTradeEditor::ShowAt(int index)
{
    Show(index >= 0 && index < int(FSelector.size()) ? FSelector[size_t(index)] : nullptr);
}

std::vector<TTradeRow> TTradeEditor::RowCounts() const
{
    std::vector<TTradeRow> rows;
    rows.reserve(FRows.size());
    for (TInventoryData *item : FRows)
        rows.push_back({item, item->TradeCount});
    return rows;
}

int TTradeEditor::RowOf(const TInventoryData &item) const
{
    const auto it = std::find(FRows.begin(), FRows.end(), &item);
    return it == FRows.end() ? -1 : int(it - FRows.begin());
}

int TTradeEditor::ChangeRow(TInventoryData &item, qint32 delta)
{
    int row = RowOf(item);
    if (row < 0) {
        item.TradeCount = 0;
        FRows.push_back(&item);
        row = int(FRows.size()) - 1;
    }
    item.TradeCount = BoundedCount(qint64(item.TradeCount) + delta);
    FEdited = true;
    return row;
}

void TTradeEditor::ClearRows()
{
    ResetRows();
    FEdited = true;
}

void TTradeEditor::SortRows(int column, bool descending)
{
    std::vector<std::pair<QString, TInventoryData *>> keyed;
    keyed.reserve(FRows.size());
    for (TInventoryData *item : FRows)
        keyed.emplace_back(TradeGridRow(*item, item->TradeCount).value(column), item);
    std::stable_sort(keyed.begin(), keyed.end(), [descending](const auto &a, const auto &b) {
        return descending ? a.first.compare(b.first) > 0 : a.first.compare(b.first) < 0;
    });
    for (size_t i = 0; i < keyed.size(); ++i)
        FRows[i] = keyed[i].second;
    FEdited = true;
}

qint64 TTradeEditor::NetValue() const
{
    return RowsNetValue(RowCounts());
}

void TTradeEditor::ForgetItem(const TInventoryData &item)
{
    const int row = RowOf(item);
    if (row < 0)
        return;
    FRows[size_t(row)]->TradeCount = 0;
    FRows.erase(FRows.begin() + row);
}

void TTradeEditor::Save(const TTradeFields &fields)
{
    if (!FCurrent)
        return;
    TTrade &trade = *FCurrent;
    trade.Address = fields.Address;
    trade.Terms = fields.Terms;
    trade.Phone = fields.Phone;
    trade.EMail = fields.EMail;
    // The picker shows the day only: a day left as it was keeps its time of day.
    if (fields.Date != trade.Date.date())
        trade.Date = QDateTime(fields.Date, QTime(0, 0));
    trade.Card = fields.Card;
    trade.Notes = fields.Notes;
    trade.SetStatus(fields.Status);
    trade.SetUseTradeOuts(fields.UseTradeOuts);
    std::vector<std::pair<TInventoryData *, qint32>> rows;
    rows.reserve(FRows.size());
    for (TInventoryData *item : FRows)
        rows.emplace_back(item, item->TradeCount);
    trade.ReplaceLines(rows);
    FInventory->InventoryModified = true;
    Show(&trade);
}

TTrade &TTradeEditor::Create(const QString &name)
{
    TTrade &trade = FInventory->CreateTrade(name);
    Adopt(trade);
    return trade;
}

TTrade &TTradeEditor::Duplicate()
{
    const TTrade &source = *FCurrent;
    TTrade &trade = FInventory->CreateTrade(source.Name);
    trade.Address = source.Address;
    trade.Phone = source.Phone;
    trade.EMail = source.EMail;
    trade.Card = source.Card;
    Adopt(trade);
    return trade;
}

void TTradeEditor::Adopt(TTrade &trade)
{
    InsertIntoSelector(trade);
    Show(&trade);
}

void TTradeEditor::Rename(const QString &name)
{
    TTrade *trade = FCurrent;
    if (!trade)
        return;
    trade->Name = name;
    FInventory->InventoryModified = true;
    Refill();
    Show(trade);
}

void TTradeEditor::DeleteCurrent()
{
    TTrade *trade = FCurrent;
    Show(nullptr);
    FInventory->DeleteTrade(trade);
    Refill();
}

bool TTradeEditor::Step(int step)
{
    const int count = int(FSelector.size());
    if (count == 0)
        return false;
    const int index = CurrentIndex();
    if (index < 0)
        ShowAt(step > 0 ? 0 : count - 1);
    else
        ShowAt(((index + step) % count + count) % count);
    return true;
}

TWalk TTradeEditor::Walk(int from, const std::function<bool(const TTrade &)> &fits)
{
    if (FSelector.empty())
        return TWalk::Empty;
    const int count = int(FSelector.size());
    for (int i = std::max(from, 0); i < count; ++i) {
        if (fits(*FSelector[size_t(i)])) {
            ShowAt(i);
            return TWalk::Found;
        }
    }
    // Each trade passed was current in its turn: the last one stays.
    if (from < count)
        ShowAt(count - 1);
    return TWalk::EndReached;
}

TWalk TTradeEditor::FindNextWithStatus(std::initializer_list<TradeStatus> statuses)
{
    const std::vector<TradeStatus> wanted(statuses);
    return Walk(CurrentIndex() + 1, [&](const TTrade &trade) {
        return std::find(wanted.begin(), wanted.end(), trade.Status()) != wanted.end();
    });
}

TWalk TTradeEditor::NextWaiting(const TInventoryData *&available)
{
    available = nullptr;
    for (;;) {
        const TWalk walk = FindNextWithStatus({TradeStatus::Waiting});
        if (walk != TWalk::Found)
            return walk;
        for (const auto &line : FCurrent->Lines()) {
            if (FInventory->AvailableForWaiting(line->Item()) >= 1) {
                available = &line->Item();
                return TWalk::Found;
            }
        }
    }
}

TWalk TTradeEditor::NextTradeUsing(const TInventoryData &item)
{
    return Walk(CurrentIndex() + 1, [&](const TTrade &trade) {
        return (trade.UseTradeOuts() || trade.Status() == TradeStatus::Waiting) && trade.CountOf(item) < 0;
    });
}

TWalk TTradeEditor::FindByEMail(const QString &email)
{
    return Walk(0, [&](const TTrade &trade) { return SameIgnoringAsciiCase(trade.EMail, email); });
}

TTrade *TTradeEditor::Transfer(TInventoryData &item, int direction, TradeStatus shownStatus)
{
    if (!FCurrent)
        return nullptr;
    int d = direction;
    TradeStatus partnerStatus = TradeStatus::Waiting;
    if (shownStatus == TradeStatus::Waiting) {
        partnerStatus = TradeStatus::Proposed;
        d = -d;
    }
    TTrade *partner = nullptr;
    for (const auto &trade : FInventory->Trades()) {
        if (trade.get() != FCurrent && trade->Status() == partnerStatus && trade->Name == FCurrent->Name) {
            partner = trade.get();
            break;
        }
    }
    if (!partner)
        return nullptr;
    ChangeRow(item, d);
    TTradeItem &line = partner->LineFor(item);
    line.SetCount(BoundedCount(qint64(line.Count()) - d));
    FInventory->InventoryModified = true;
    return partner;
}

int TTradeEditor::CoverArmies(const std::vector<const TArmy *> &armies, const TTradeFields &fields,
                              const std::function<void(const QString &)> &progress)
{
    if (!FCurrent)
        return 0;
    Save(fields);
    TTrade &trade = *FCurrent;
    const TCatalogue &catalogue = FInventory->Catalogue();
    trade.ResetCover();
    int added = 0;
    for (const TArmy *army : armies) {
        progress(u"Analyzing "_s + army->Name() + u" dice..."_s);
        int cursor = 0;
        for (TDie *die = army->FirstDie(cursor); die; die = army->NextDie(cursor)) {
            if (trade.LineFor(*die).TakeForCover())
                ++added;
        }
        if (HasMinorTerrains(army->Type())) {
            progress(u"Analyzing "_s + army->Name() + u" minor terrains..."_s);
            for (int k = 1; k <= 4; ++k) {
                const int index = army->GetMinorTerrain(k);
                if (index == TArmy::kNoMinorTerrain)
                    continue;
                if (TTerrain *terrain = catalogue.MinorTerrain(index))
                    trade.LineFor(*terrain).TakeForCover();
            }
        }
        if (HasMajorTerrain(army->Type())) {
            progress(u"Analyzing "_s + army->Name() + u" major terrain..."_s);
            if (TTerrain *terrain = catalogue.MajorTerrain(army->MajorTerrain()))
                trade.LineFor(*terrain).TakeForCover();
        }
    }
    Show(&trade);
    FInventory->InventoryModified = true;
    return added;
}

std::vector<TInventoryData *> TTradeEditor::Apply(TApplyKind kind, TTradeFields fields, QDate today)
{
    std::vector<TInventoryData *> stopped;
    if (!FCurrent)
        return stopped;
    // The outgoing lines no longer count as used once the copies are gone.
    fields.UseTradeOuts = false;
    Save(fields);
    TTrade &trade = *FCurrent;
    trade.Date = QDateTime(today, QTime(0, 0));
    trade.SetStatus(AppliedStatus(kind, trade.Status()));
    for (const auto &line : trade.Lines()) {
        if (!AppliesToLine(kind, line->Count()))
            continue;
        TInventoryData &item = line->Item();
        if (FInventory->SetItemCount(item, qint64(item.Count) + OwnedChange(kind, line->Count())))
            stopped.push_back(&item);
    }
    Show(&trade);
    return stopped;
}
