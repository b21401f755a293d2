#include "inventory/TradeFile.h"

#include "inventory/Inventory.h"
#include "inventory/TradeText.h"
#include "io/FileAccess.h"
#include "io/TaggedStream.h"

#include <limits>

using namespace Qt::StringLiterals;

void ReadTradeStream(TTaggedReader &reader, const TTradeFileSink &sink)
{
    // There has only ever been one layout: the program passes over the version.
    const qint32 version = reader.ReadInteger();
    if (sink.Version)
        sink.Version(version);
    reader.ReadListBegin();
    while (!reader.EndOfList())
        sink.AddressLine(reader.ReadString());
    reader.ReadListEnd();
    sink.EMail(reader.ReadString());
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        TTradeFileLine line;
        line.A = reader.ReadInteger();
        line.B = reader.ReadInteger();
        line.Count = reader.ReadInteger();
        sink.Line(line);
    }
    reader.ReadListEnd();
}

TTradeFile TTradeFile::Read(TTaggedReader &reader)
{
    TTradeFile file;
    ReadTradeStream(reader, {[&](qint32 version) { file.Version = version; },
                             [&](const QString &line) { file.Address << line; },
                             [&](const QString &email) { file.EMail = email; },
                             [&](const TTradeFileLine &line) { file.Lines.push_back(line); }});
    return file;
}

void TTradeFile::Write(TTaggedWriter &writer) const
{
    writer.WriteInteger(kVersion);
    writer.WriteListBegin();
    for (const QString &line : Address)
        writer.WriteString(line);
    writer.WriteListEnd();
    writer.WriteString(EMail);
    writer.WriteListBegin();
    for (const TTradeFileLine &line : Lines) {
        writer.WriteInteger(line.A);
        writer.WriteInteger(line.B);
        writer.WriteInteger(line.Count);
    }
    writer.WriteListEnd();
}

TTradeFile MakeTradeFile(const TTrade &trade, const QString &userAddress, const QString &userEMail)
{
    TTradeFile file;
    file.Address = TextLines(userAddress);
    file.EMail = userEMail;
    for (const auto &line : trade.Lines()) {
        TTradeFileLine written;
        TInventory::ItemReference(line->Item(), written.A, written.B);
        written.Count = line->Count();
        file.Lines.push_back(written);
    }
    return file;
}

void ExportTradeFile(const QString &path, const TTradeFile &file)
{
    SaveFileWith(path, [&](QIODevice &device) {
        TTaggedWriter writer(device);
        file.Write(writer);
        writer.Flush();
    });
}

TTrade &ImportTradeStream(TInventory &inventory, TTaggedReader &reader)
{
    TTrade &trade = inventory.CreateTrade(u"*import"_s);
    inventory.InventoryModified = true;
    qint64 addressLines = 0;
    ReadTradeStream(reader, {{},
                             [&](const QString &line) {
                                 if (addressLines == 0)
                                     trade.Name = line;
                                 else
                                     trade.Address += (addressLines > 1 ? kCrLf : QString()) + line;
                                 ++addressLines;
                             },
                             [&](const QString &email) { trade.EMail = email; },
                             [&](const TTradeFileLine &line) {
                                 // -2147483648 has no opposite; the line stops one short of it.
                                 const qint32 count = line.Count == std::numeric_limits<qint32>::min()
                                                          ? std::numeric_limits<qint32>::max()
                                                          : -line.Count;
                                 if (TInventoryData *item = inventory.ResolveItem(line.A, line.B))
                                     trade.AppendLine(*item, count);
                             }});
    return trade;
}

TTrade &ImportTradeFile(TInventory &inventory, const QString &path)
{
    TTrade *trade = nullptr;
    ReadFileWith(path, [&](QIODevice &device) {
        TTaggedReader reader(device);
        trade = &ImportTradeStream(inventory, reader);
    });
    return *trade;
}
