#pragma once

#include "inventory/KeepRules.h"
#include "inventory/TradeData.h"

#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TCatalogue;
class TClock;
class TInventoryData;
class TInventoryObserver;
class TTaggedReader;
class TTaggedWriter;

// What reading an inventory or price file found.
struct TInventoryReadResult
{
    qint64 Total = 0;   // copies owned by the entries that were found (a price list: prices set)
    int NotFound = 0;   // entries whose die or terrain is not in the catalogue
};

// An inventory file as it stands, its references not resolved against any catalogue:
// what krtool dumps and builds. References are (race ID, die ID), (-2, minor index) or
// (-3, major index).
struct TInventoryFileItem
{
    qint32 A = 0;
    qint32 B = 0;
    quint32 Count = 0;
    bool Locked = false;
    bool Trading = false;
    qint32 Price = 0; // 0: the item's default price
    QString Drawer;
    qint32 Modifier = 0;
};

struct TInventoryFileLine
{
    qint32 A = 0;
    qint32 B = 0;
    qint32 Count = 0;
};

struct TInventoryFileTrade
{
    qint32 Number = 0;
    QString Name;
    QString Address;
    QString Phone;
    QString EMail;
    TradeStatus Status = TradeStatus::Proposed;
    bool UseTradeOuts = false;
    QString Terms;
    std::optional<QDateTime> Date; // none in files before version 7
    QString Card;
    QString Notes;
    std::vector<TInventoryFileLine> Lines;
};

struct TInventoryFile
{
    qint32 Version = 11;
    std::vector<TInventoryFileItem> Items;
    qint32 NextTradeNumber = 0;
    std::vector<TInventoryFileTrade> Trades;

    // Versions 1 to 11, with the fields a version lacks at their defaults and a
    // version-4 price already converted. A TFileFormatError names the offset.
    static TInventoryFile Read(TTaggedReader &reader);
    // Always version 11. A trade without a date gets today's.
    void Write(TTaggedWriter &writer, QDate today) const;
};

struct TPriceListEntry
{
    qint32 A = 0;
    qint32 B = 0;
    qint32 Price = 0;
};

struct TPriceListFile
{
    qint32 Version = 1;
    std::vector<TPriceListEntry> Entries;

    static TPriceListFile Read(TTaggedReader &reader);
    void Write(TTaggedWriter &writer) const; // always version 1
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

    // The window that redraws items and warns of overused ones; it becomes the
    // catalogue's inventory observer too, so that trades and armies reach it.
    void SetObserver(TInventoryObserver *observer);

    // Items by the references files use: (race ID, die ID), (-2, minor index) or
    // (-3, major index). None when the reference resolves to nothing.
    TInventoryData *ResolveItem(qint32 a, qint32 b) const { return ResolveItem(*FCatalogue, a, b); }
    static TInventoryData *ResolveItem(const TCatalogue &catalogue, qint32 a, qint32 b);
    static void ItemReference(const TInventoryData &item, qint32 &a, qint32 &b);
    // Every die in database order, then the 24 minor and the 48 major terrains by index:
    // the order of the inventory file, the price list and the collection's CSV.
    static void ForEachItem(const TCatalogue &catalogue, const std::function<void(const TInventoryData &)> &visit);

    // The inventory file of the user.
    QString InventoryFileName;
    QString InventoryLogName; // InventoryFileName with the extension "log"
    bool InventoryModified = false;
    qint32 NextTradeNumber = 0;
    const std::vector<std::unique_ptr<TTrade>> &Trades() const { return FTrades; }
    TTrade &CreateTrade(const QString &name);
    void DeleteTrade(const TTrade *trade);
    void FreeTrades();
    // Told before the trades are freed (a load, a clear), so that the trade panel lets go
    // of the trade it shows first.
    std::function<void()> TradesFreeing;
    // Count of every die and terrain set to 0; the other stored fields stay.
    void ZeroCounts();
    // Takes every trade line of the item out (a die about to leave the catalogue), so
    // that no trade points at it afterwards. Sets InventoryModified when there was one.
    int ForgetItem(const TInventoryData &item);

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

    // The setters of the stored fields: each sets InventoryModified and tells the
    // catalogue's inventory observer (except for the two flags). A count below 0 is set
    // to 0 (one above 4294967295 to 4294967295); the answer is then true so that the
    // caller can say so.
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

    // The file commands' work, without the dialogs and status lines. Each throws a
    // TKrException naming the problem.
    // "&Clear": no trades, no copies, no file name, not modified.
    void Clear();
    // "&Load Inventory...": frees the trades, zeroes the counts and reads the file; then
    // InventoryFileName, InventoryLogName and InventoryModified = false. When reading
    // fails, what was read before the damage stays, and the file name is forgotten so
    // that a later save cannot overwrite the file loaded before with this mixture.
    TInventoryReadResult LoadFile(const QString &path);
    // "&Save Inventory": writes through a temporary file (the old one survives a
    // failure); on success InventoryFileName, InventoryLogName and InventoryModified =
    // false.
    void SaveFile(const QString &path);
    // "Import Prices": sets the price of every entry found; the collection does not count
    // as changed by it. Prices set before damage in the file keep their new values.
    TInventoryReadResult ImportPrices(const QString &path);
    void ExportPrices(const QString &path) const;

    // The messages of the load and import commands when references did not resolve.
    static QString InventoryNotFoundMessage(int notFound);
    static QString PriceListNotFoundMessage(int notFound);

private:
    void ItemChanged(TInventoryData &item);
    // Keeps the count of prices set up to date as it goes, for a read that fails.
    void ReadPricesInto(TTaggedReader &reader, TInventoryReadResult &result);
    QDate Today() const;

    TCatalogue *FCatalogue;
    const TClock *FClock;
    TInventoryObserver *FObserver = nullptr;
    std::vector<std::unique_ptr<TTrade>> FTrades;
};
