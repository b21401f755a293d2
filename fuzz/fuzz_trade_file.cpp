// The input is a trade file (".btr"), imported into a small collection as "Import Trade
// From File" does. The program and krtool agree whether it reads; what krtool reads
// builds to bytes that read back the same; the trade the import leaves (whole, or what
// came before the damage) saves with the collection and reads back to the same bytes,
// and gives back every copy it counted when it goes.

#include "FuzzCollection.h"
#include "FuzzSupport.h"

#include "KrException.h"
#include "inventory/TradeFile.h"

namespace {

constexpr const char *kTarget = "fuzz_trade_file";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    TFuzzCollection c;
    bool programRead = true;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { ImportTradeStream(c.Inventory, reader); });
    } catch (const TKrException &) {
        programRead = false;
    }
    if (c.Inventory.Trades().size() > 1)
        FuzzFault(kTarget, "one trade file made more than one trade");

    bool toolRead = true;
    TTradeFile raw;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { raw = TTradeFile::Read(reader); });
    } catch (const TKrException &) {
        toolRead = false;
    }
    if (toolRead != programRead)
        FuzzFault(kTarget, "krtool and the program disagree whether the file reads");
    if (toolRead) {
        const QByteArray built = WriteToBytes([&](TTaggedWriter &writer) { raw.Write(writer); });
        TTradeFile again;
        try {
            ReadFromBytes(built, [&](TTaggedReader &reader) { again = TTradeFile::Read(reader); });
        } catch (const TKrException &) {
            FuzzFault(kTarget, "a trade file krtool built does not read back");
        }
        if (WriteToBytes([&](TTaggedWriter &writer) { again.Write(writer); }) != built)
            FuzzFault(kTarget, "building the re-read trade file gives other bytes");
        if (again.Address != raw.Address || again.EMail != raw.EMail || again.Lines.size() != raw.Lines.size())
            FuzzFault(kTarget, "a built trade file reads back with other contents");
    }

    CheckCollectionRoundTrip(kTarget, c);
    return 0;
}
