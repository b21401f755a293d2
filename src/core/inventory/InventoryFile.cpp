// The inventory file (the collection and the trades) and the price list.

#include "inventory/Inventory.h"

#include "dice/Catalogue.h"
#include "io/FileAccess.h"
#include "io/TaggedStream.h"

#include <cmath>
#include <functional>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr qint32 kOldestVersion = 1;
constexpr qint32 kPriceListVersion = 1;

// What the parser hands on, entry by entry, so that the program keeps every entry read
// before a damaged one while krtool collects them all.
struct TInventorySink
{
    std::function<void(const TInventoryFileItem &)> Item;
    std::function<void(qint32)> NextTradeNumber;
    std::function<void(TInventoryFileTrade &&)> Trade;
};

TInventoryFileItem ReadItem(TTaggedReader &reader, qint32 version)
{
    TInventoryFileItem item;
    item.A = reader.ReadInteger();
    item.B = reader.ReadInteger();
    const qint64 countAt = reader.Position();
    const qint64 count = reader.ReadInt64();
    if (count > qint64(std::numeric_limits<quint32>::max()))
        reader.Fail(u"Count %1 is above 4294967295"_s.arg(count), countAt);
    // Copies owned are never fewer than none.
    item.Count = count < 0 ? 0 : quint32(count);
    if (version >= 2)
        item.Locked = reader.ReadBoolean();
    if (version >= 3)
        item.Trading = reader.ReadBoolean();
    if (version == 4) {
        // Version 4 kept prices as fractions of a quarter scale.
        const qint64 priceAt = reader.Position();
        const double stored = reader.ReadFloat();
        const double price = std::trunc(stored) * 4;
        if (!std::isfinite(price) || price < std::numeric_limits<qint32>::min() ||
            price > std::numeric_limits<qint32>::max()) {
            reader.Fail(u"Price %1 is out of range"_s.arg(stored), priceAt);
        }
        item.Price = qint32(price);
    } else if (version >= 5) {
        item.Price = reader.ReadInteger();
    }
    if (version >= 8)
        item.Drawer = reader.ReadString();
    if (version >= 9)
        item.Modifier = reader.ReadInteger();
    return item;
}

TInventoryFileTrade ReadTrade(TTaggedReader &reader, qint32 version)
{
    TInventoryFileTrade trade;
    trade.Number = reader.ReadInteger();
    trade.Name = reader.ReadString();
    trade.Address = reader.ReadString();
    trade.Phone = reader.ReadString();
    trade.EMail = reader.ReadString();
    const qint64 statusAt = reader.Position();
    const qint32 status = reader.ReadInteger();
    if (!IsInVocabulary<TradeStatus>(status))
        reader.Fail(u"Trade status %1 is out of range"_s.arg(status), statusAt);
    trade.Status = TradeStatus(status);
    trade.UseTradeOuts = reader.ReadBoolean();
    trade.Terms = reader.ReadString();
    if (version >= 7)
        trade.Date = reader.ReadDate();
    if (version >= 10)
        trade.Card = reader.ReadString();
    if (version >= 11)
        trade.Notes = reader.ReadString();
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        TInventoryFileLine line;
        line.A = reader.ReadInteger();
        line.B = reader.ReadInteger();
        line.Count = reader.ReadInteger();
        trade.Lines.push_back(line);
    }
    reader.ReadListEnd();
    return trade;
}

qint32 ReadInventory(TTaggedReader &reader, const TInventorySink &sink)
{
    const qint64 versionAt = reader.Position();
    const qint32 version = reader.ReadInteger();
    if (version < kOldestVersion || version > TInventory::kFileVersion)
        reader.Fail(u"Inventory file version %1 is outside 1 to 11"_s.arg(version), versionAt);
    reader.ReadListBegin();
    while (!reader.EndOfList())
        sink.Item(ReadItem(reader, version));
    reader.ReadListEnd();
    if (version < 6)
        return version;
    sink.NextTradeNumber(reader.ReadInteger());
    reader.ReadListBegin();
    while (!reader.EndOfList())
        sink.Trade(ReadTrade(reader, version));
    reader.ReadListEnd();
    return version;
}

// Answers the version, which the program passes over: there has only ever been one
// layout.
qint32 ReadPriceList(TTaggedReader &reader, const std::function<void(const TPriceListEntry &)> &entry)
{
    const qint32 version = reader.ReadInteger();
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        TPriceListEntry read;
        read.A = reader.ReadInteger();
        read.B = reader.ReadInteger();
        read.Price = reader.ReadInteger();
        entry(read);
    }
    reader.ReadListEnd();
    return version;
}

void WriteItem(TTaggedWriter &writer, const TInventoryFileItem &item)
{
    writer.WriteInteger(item.A);
    writer.WriteInteger(item.B);
    writer.WriteInt64(item.Count);
    writer.WriteBoolean(item.Locked);
    writer.WriteBoolean(item.Trading);
    writer.WriteInteger(item.Price);
    writer.WriteString(item.Drawer);
    writer.WriteInteger(item.Modifier);
}

void WriteTrade(TTaggedWriter &writer, const TInventoryFileTrade &trade, QDate today)
{
    writer.WriteInteger(trade.Number);
    writer.WriteString(trade.Name);
    writer.WriteString(trade.Address);
    writer.WriteString(trade.Phone);
    writer.WriteString(trade.EMail);
    writer.WriteInteger(qint32(trade.Status));
    writer.WriteBoolean(trade.UseTradeOuts);
    writer.WriteString(trade.Terms);
    writer.WriteDate(trade.Date ? *trade.Date : QDateTime(today, QTime(0, 0)));
    writer.WriteString(trade.Card);
    writer.WriteString(trade.Notes);
    writer.WriteListBegin();
    for (const TInventoryFileLine &line : trade.Lines) {
        writer.WriteInteger(line.A);
        writer.WriteInteger(line.B);
        writer.WriteInteger(line.Count);
    }
    writer.WriteListEnd();
}

TInventoryFileItem RecordOf(const TInventoryData &item)
{
    TInventoryFileItem record;
    TInventory::ItemReference(item, record.A, record.B);
    record.Count = item.Count;
    record.Locked = item.Locked;
    record.Trading = item.Trading;
    record.Price = item.Price();
    record.Drawer = item.Drawer;
    record.Modifier = item.Modifier;
    return record;
}

TInventoryFileTrade RecordOf(const TTrade &trade)
{
    TInventoryFileTrade record;
    record.Number = trade.Number();
    record.Name = trade.Name;
    record.Address = trade.Address;
    record.Phone = trade.Phone;
    record.EMail = trade.EMail;
    record.Status = trade.Status();
    record.UseTradeOuts = trade.UseTradeOuts();
    record.Terms = trade.Terms;
    record.Date = trade.Date;
    record.Card = trade.Card;
    record.Notes = trade.Notes;
    for (const auto &line : trade.Lines()) {
        TInventoryFileLine written;
        TInventory::ItemReference(line->Item(), written.A, written.B);
        written.Count = line->Count();
        record.Lines.push_back(written);
    }
    return record;
}

} // namespace

void TInventory::ForEachItem(const TCatalogue &catalogue, const std::function<void(const TInventoryData &)> &visit)
{
    TDieTraversal walk(catalogue);
    for (const TDie *die = walk.First(); die; die = walk.Next())
        visit(*die);
    for (int i = 0; i < TTerrain::kMinorCount; ++i) {
        if (const TTerrain *terrain = catalogue.MinorTerrain(i))
            visit(*terrain);
    }
    for (int i = 0; i < TTerrain::kMajorCount; ++i) {
        if (const TTerrain *terrain = catalogue.MajorTerrain(i))
            visit(*terrain);
    }
}

// ---------------------------------------------------------------------------------
// The files as they stand

TInventoryFile TInventoryFile::Read(TTaggedReader &reader)
{
    TInventoryFile file;
    file.Version =
        ReadInventory(reader, {[&](const TInventoryFileItem &item) { file.Items.push_back(item); },
                               [&](qint32 next) { file.NextTradeNumber = next; },
                               [&](TInventoryFileTrade &&trade) { file.Trades.push_back(std::move(trade)); }});
    return file;
}

void TInventoryFile::Write(TTaggedWriter &writer, QDate today) const
{
    writer.WriteInteger(TInventory::kFileVersion);
    writer.WriteListBegin();
    for (const TInventoryFileItem &item : Items)
        WriteItem(writer, item);
    writer.WriteListEnd();
    writer.WriteInteger(NextTradeNumber);
    writer.WriteListBegin();
    for (const TInventoryFileTrade &trade : Trades)
        WriteTrade(writer, trade, today);
    writer.WriteListEnd();
}

TPriceListFile TPriceListFile::Read(TTaggedReader &reader)
{
    TPriceListFile file;
    file.Version = ReadPriceList(reader, [&](const TPriceListEntry &entry) { file.Entries.push_back(entry); });
    return file;
}

void TPriceListFile::Write(TTaggedWriter &writer) const
{
    writer.WriteInteger(kPriceListVersion);
    writer.WriteListBegin();
    for (const TPriceListEntry &entry : Entries) {
        writer.WriteInteger(entry.A);
        writer.WriteInteger(entry.B);
        writer.WriteInteger(entry.Price);
    }
    writer.WriteListEnd();
}

// ---------------------------------------------------------------------------------
// The collection

TInventoryReadResult TInventory::ReadStream(TTaggedReader &reader)
{
    TInventoryReadResult result;
    NextTradeNumber = 0;
    const QDate today = Today();
    auto applyItem = [&](const TInventoryFileItem &entry) {
        TInventoryData *item = ResolveItem(entry.A, entry.B);
        if (!item) {
            ++result.NotFound;
            return;
        }
        item->Count = entry.Count;
        item->Locked = entry.Locked;
        item->Trading = entry.Trading;
        item->SetPrice(entry.Price == 0 ? item->DefaultPrice() : entry.Price);
        item->Drawer = entry.Drawer;
        item->Modifier = entry.Modifier;
        result.Total += entry.Count;
    };
    auto applyTrade = [&](TInventoryFileTrade &&record) {
        auto trade = std::make_unique<TTrade>(*FCatalogue, record.Number, record.Name, today);
        trade->Address = record.Address;
        trade->Phone = record.Phone;
        trade->EMail = record.EMail;
        trade->Terms = record.Terms;
        if (record.Date)
            trade->Date = *record.Date;
        trade->Card = record.Card;
        trade->Notes = record.Notes;
        // Status and use first, so that the lines count where the trade says.
        trade->SetStatus(record.Status);
        trade->SetUseTradeOuts(record.UseTradeOuts);
        for (const TInventoryFileLine &line : record.Lines) {
            if (TInventoryData *item = ResolveItem(line.A, line.B))
                trade->AppendLine(*item, line.Count);
        }
        FTrades.push_back(std::move(trade));
    };
    ReadInventory(reader, {applyItem, [&](qint32 next) { NextTradeNumber = next; }, applyTrade});
    return result;
}

void TInventory::WriteStream(TTaggedWriter &writer) const
{
    writer.WriteInteger(kFileVersion);
    writer.WriteListBegin();
    ForEachItem(*FCatalogue, [&](const TInventoryData &item) { WriteItem(writer, RecordOf(item)); });
    writer.WriteListEnd();
    writer.WriteInteger(NextTradeNumber);
    writer.WriteListBegin();
    const QDate today = Today();
    for (const auto &trade : FTrades)
        WriteTrade(writer, RecordOf(*trade), today);
    writer.WriteListEnd();
}

TInventoryReadResult TInventory::ReadPrices(TTaggedReader &reader)
{
    TInventoryReadResult result;
    ReadPricesInto(reader, result);
    return result;
}

void TInventory::ReadPricesInto(TTaggedReader &reader, TInventoryReadResult &result)
{
    ReadPriceList(reader, [&](const TPriceListEntry &entry) {
        TInventoryData *item = ResolveItem(entry.A, entry.B);
        if (!item) {
            ++result.NotFound;
            return;
        }
        // A price list says what it means: 0 stays 0.
        item->SetPrice(entry.Price);
        ++result.Total;
    });
}

void TInventory::WritePrices(TTaggedWriter &writer) const
{
    writer.WriteInteger(kPriceListVersion);
    writer.WriteListBegin();
    ForEachItem(*FCatalogue, [&](const TInventoryData &item) {
        qint32 a = 0;
        qint32 b = 0;
        ItemReference(item, a, b);
        writer.WriteInteger(a);
        writer.WriteInteger(b);
        writer.WriteInteger(item.Price());
    });
    writer.WriteListEnd();
}

// ---------------------------------------------------------------------------------
// The file commands

TInventoryReadResult TInventory::LoadFile(const QString &path)
{
    FreeTrades();
    ZeroCounts();
    TInventoryReadResult result;
    try {
        ReadFileWith(path, [&](QIODevice &file) {
            TTaggedReader reader(file);
            result = ReadStream(reader);
        });
    } catch (...) {
        InventoryFileName.clear();
        InventoryLogName.clear();
        InventoryModified = false;
        throw;
    }
    InventoryFileName = path;
    InventoryLogName = LogNameFor(path);
    InventoryModified = false;
    return result;
}

void TInventory::SaveFile(const QString &path)
{
    SaveFileWith(path, [&](QIODevice &file) {
        TTaggedWriter writer(file);
        WriteStream(writer);
        writer.Flush();
    });
    InventoryFileName = path;
    InventoryLogName = LogNameFor(path);
    InventoryModified = false;
}

TInventoryReadResult TInventory::ImportPrices(const QString &path)
{
    // Prices are shared through price lists: taking one in is not a change of the
    // collection that asks to be saved.
    TInventoryReadResult result;
    ReadFileWith(path, [&](QIODevice &file) {
        TTaggedReader reader(file);
        ReadPricesInto(reader, result);
    });
    return result;
}

void TInventory::ExportPrices(const QString &path) const
{
    SaveFileWith(path, [&](QIODevice &file) {
        TTaggedWriter writer(file);
        WritePrices(writer);
        writer.Flush();
    });
}
