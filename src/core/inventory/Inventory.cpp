#include "inventory/Inventory.h"

#include "dice/Catalogue.h"
#include "shell/Clock.h"
#include "shell/QRVUtils.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

TInventory::TInventory(TCatalogue &catalogue, const TClock &clock) : FCatalogue(&catalogue), FClock(&clock)
{}

TInventory::~TInventory()
{
    FreeTrades();
}

void TInventory::SetObserver(TInventoryObserver *observer)
{
    FObserver = observer;
    FCatalogue->SetInventoryObserver(observer);
}

TInventoryData *TInventory::ResolveItem(const TCatalogue &catalogue, qint32 a, qint32 b)
{
    if (a == kMinorTerrainRef)
        return catalogue.MinorTerrain(b);
    if (a == kMajorTerrainRef)
        return catalogue.MajorTerrain(b);
    const TRace *race = catalogue.FindRaceByID(a);
    return race ? race->DieByID(b) : nullptr;
}

void TInventory::ItemReference(const TInventoryData &item, qint32 &a, qint32 &b)
{
    if (const auto *die = dynamic_cast<const TDie *>(&item)) {
        a = die->Race().ID;
        b = die->ID();
    } else if (const auto *terrain = dynamic_cast<const TTerrain *>(&item)) {
        a = terrain->Major() ? kMajorTerrainRef : kMinorTerrainRef;
        b = terrain->Index();
    } else {
        // Races and group nodes are never entries of a file.
        a = TDie::kNoID;
        b = TDie::kNoID;
    }
}

QDate TInventory::Today() const
{
    return FClock->Now().date();
}

TTrade &TInventory::CreateTrade(const QString &name)
{
    FTrades.push_back(std::make_unique<TTrade>(*FCatalogue, NextTradeNumber, name, Today()));
    // Numbers are never reused; a file that says otherwise stops counting at the top.
    if (NextTradeNumber < std::numeric_limits<qint32>::max())
        ++NextTradeNumber;
    return *FTrades.back();
}

void TInventory::DeleteTrade(const TTrade *trade)
{
    const auto it = std::find_if(FTrades.begin(), FTrades.end(), [&](const auto &t) { return t.get() == trade; });
    if (it == FTrades.end())
        return;
    FTrades.erase(it);
    // The trades are part of the inventory file; without this the deletion would be
    // lost unless something else changed before the program closed.
    InventoryModified = true;
}

void TInventory::FreeTrades()
{
    if (TradesFreeing)
        TradesFreeing();
    while (!FTrades.empty())
        FTrades.pop_back();
}

void TInventory::ZeroCounts()
{
    TDieTraversal walk(*FCatalogue);
    for (TDie *die = walk.First(); die; die = walk.Next())
        die->Count = 0;
    for (int i = 0; i < TTerrain::kMinorCount; ++i) {
        if (TTerrain *terrain = FCatalogue->MinorTerrain(i))
            terrain->Count = 0;
    }
    for (int i = 0; i < TTerrain::kMajorCount; ++i) {
        if (TTerrain *terrain = FCatalogue->MajorTerrain(i))
            terrain->Count = 0;
    }
}

int TInventory::ForgetItem(const TInventoryData &item)
{
    int removed = 0;
    for (const auto &trade : FTrades)
        removed += trade->RemoveLinesOf(item);
    if (removed > 0)
        InventoryModified = true;
    return removed;
}

void TInventory::ItemChanged(TInventoryData &item)
{
    if (FObserver && FObserver->InventoryActive())
        FObserver->ItemChanged(item);
}

bool TInventory::SetItemCount(TInventoryData &item, qint64 count)
{
    const qint64 bounded = std::clamp<qint64>(count, 0, std::numeric_limits<quint32>::max());
    item.Count = quint32(bounded);
    InventoryModified = true;
    ItemChanged(item);
    return bounded != count;
}

void TInventory::SetPrice(TInventoryData &item, qint32 price)
{
    item.SetPrice(price);
    InventoryModified = true;
    ItemChanged(item);
}

void TInventory::SetModifier(TInventoryData &item, qint32 modifier)
{
    item.Modifier = modifier;
    InventoryModified = true;
    ItemChanged(item);
}

void TInventory::SetLocked(TInventoryData &item, bool locked)
{
    item.Locked = locked;
    InventoryModified = true;
}

void TInventory::SetTrading(TInventoryData &item, bool trading)
{
    item.Trading = trading;
    InventoryModified = true;
}

void TInventory::SetDrawer(TInventoryData &item, const QString &drawer)
{
    item.Drawer = drawer;
    InventoryModified = true;
    ItemChanged(item);
}

QString TInventory::LogNameFor(const QString &path)
{
    return ForceExtension(path, u"log"_s);
}

void TInventory::Clear()
{
    FreeTrades();
    ZeroCounts();
    InventoryFileName.clear();
    InventoryLogName.clear();
    InventoryModified = false;
}

QString TInventory::InventoryNotFoundMessage(int notFound)
{
    return QString::number(notFound) + u" dice in the inventory were not found."_s;
}

QString TInventory::PriceListNotFoundMessage(int notFound)
{
    return QString::number(notFound) + u" dice in the price list were not found."_s;
}
