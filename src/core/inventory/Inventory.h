#pragma once

#include "inventory/KeepRules.h"
#include "inventory/TradeData.h"

#include <QString>

#include <memory>
#include <vector>

class TCatalogue;
class TClock;
class TInventoryData;
class TTaggedReader;
class TTaggedWriter;

// What reading an inventory or price file found.
struct TInventoryReadResult
{
    qint64 Total = 0;   // copies owned by the entries that were found
    int NotFound = 0;   // entries whose die or terrain is not in the catalogue
};

// The user's collection: the inventory record on every die and terrain of the catalogue,
// the trades under negotiation, and the inventory file that keeps both. The window that
// shows it translates gestures into calls here.
class TInventory
{
public:
    static constexpr qint32 kFileVersion = 11;
    static constexpr qint32 kMinorTerrainRef = -2;
    static constexpr qint32 kMajorTerrainRef = -3;

    TInventory(TCatalogue &catalogue, const TClock &clock);
    ~TInventory();

    TCatalogue &Catalogue() const { return *FCatalogue; }
    TKeepRules Rules;

    // Items by the references files use: (race ID, die ID), (-2, minor index) or
    // (-3, major index). None when the reference resolves to nothing.
    TInventoryData *ResolveItem(qint32 a, qint32 b) const;
    static void ItemReference(const TInventoryData &item, qint32 &a, qint32 &b);

    // The inventory file of the user.
    QString FileName;
    QString LogName; // FileName with the extension "log"
    bool Modified = false;
    qint32 NextTradeNumber = 0;
    const std::vector<std::unique_ptr<TTrade>> &Trades() const { return FTrades; }
    TTrade &CreateTrade(const QString &name);
    void DeleteTrade(const TTrade *trade);
    void FreeTrades();
    // Count of every die and terrain set to 0; the other stored fields stay.
    void ZeroCounts();

    // Reads an inventory file's contents over the catalogue (versions 1 to 11). The
    // caller has freed the trades and zeroed the counts first.
    TInventoryReadResult ReadStream(TTaggedReader &reader);
    // Version 11: every die in database order, the 24 minor and 48 major terrains, then
    // the trades.
    void WriteStream(TTaggedWriter &writer) const;
    // The price list: version 1, then (reference, price) for the same items in the same
    // order. Reading sets the price of every entry found (0 included).
    TInventoryReadResult ReadPrices(TTaggedReader &reader);
    void WritePrices(TTaggedWriter &writer) const;

    // The setters of the stored fields: each sets Modified and tells the catalogue's
    // inventory observer (except for the two flags). A count below 0 is set to 0; the
    // answer is then true so that the caller can say so.
    bool SetItemCount(TInventoryData &item, qint64 count);
    void SetPrice(TInventoryData &item, qint32 price);
    void SetModifier(TInventoryData &item, qint32 modifier);
    void SetLocked(TInventoryData &item, bool locked);
    void SetTrading(TInventoryData &item, bool trading);
    void SetDrawer(TInventoryData &item, const QString &drawer);

    qint32 Threshold(const TInventoryData &item) const { return ::Threshold(item, Rules); }
    qint32 Surplus(const TInventoryData &item) const { return ::Surplus(item, Rules); }
    qint32 AvailableForWaiting(const TInventoryData &item) const { return ::AvailableForWaiting(item, Rules); }

    // The file name with its extension replaced by "log".
    static QString LogNameFor(const QString &path);

private:
    TCatalogue *FCatalogue;
    const TClock *FClock;
    std::vector<std::unique_ptr<TTrade>> FTrades;
};
