// The input is an inventory file, read over a small catalogue whose dice the seeds name.
// Whatever the reader keeps (all of it, or the entries and trades before the damage)
// must give plain figures for the alert report, must save, and must read back from what
// was saved into the same collection, which saves to the very same bytes. The trades
// must give back every copy they counted when they go, and krtool's reading of the file
// must agree with the program's.

#include "FuzzCollection.h"
#include "FuzzSupport.h"

#include "KrException.h"

namespace {

constexpr const char *kTarget = "fuzz_inventory_file";

QByteArray Save(const TInventory &inventory)
{
    return WriteToBytes([&](TTaggedWriter &writer) { inventory.WriteStream(writer); });
}

template <typename F> void ForEachItem(const TCatalogue &catalogue, F visit)
{
    TDieTraversal walk(catalogue);
    for (TDie *die = walk.First(); die; die = walk.Next())
        visit(*die);
    for (int i = 0; i < TTerrain::kMinorCount; ++i)
        visit(*catalogue.MinorTerrain(i));
    for (int i = 0; i < TTerrain::kMajorCount; ++i)
        visit(*catalogue.MajorTerrain(i));
}

// The figures the alert report and the trade panel show, under every sort of rule; the
// sanitizers watch the arithmetic.
void CheckFigures(TFuzzCollection &c)
{
    for (const auto &trade : c.Inventory.Trades())
        (void)trade->NetValue();
    for (bool locked : {false, true}) {
        c.Inventory.Rules.LockedAsLiked = locked;
        c.Inventory.Rules.TradeMax = locked ? std::numeric_limits<qint32>::max() : 10;
        ForEachItem(c.Catalogue, [&](TInventoryData &item) {
            if (c.Inventory.Threshold(item) < 0 || c.Inventory.AvailableForWaiting(item) < 0)
                FuzzFault(kTarget, "an item keeps or frees a negative number of copies");
            if (c.Inventory.Surplus(item) > c.Inventory.Rules.TradeMax)
                FuzzFault(kTarget, "a surplus above the trade maximum");
        });
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    TFuzzCollection c;
    bool programRead = true;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { c.Inventory.ReadStream(reader); });
    } catch (const TKrException &) {
        programRead = false; // what came before the damage stays, and may be saved
    }

    bool toolRead = true;
    TInventoryFile raw;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { raw = TInventoryFile::Read(reader); });
    } catch (const TKrException &) {
        toolRead = false;
    }
    if (toolRead != programRead)
        FuzzFault(kTarget, "krtool and the program disagree whether the file reads");
    if (toolRead) {
        const QDate today(2024, 3, 5);
        const QByteArray rawSaved = WriteToBytes([&](TTaggedWriter &writer) { raw.Write(writer, today); });
        TInventoryFile again;
        try {
            ReadFromBytes(rawSaved, [&](TTaggedReader &reader) { again = TInventoryFile::Read(reader); });
        } catch (const TKrException &) {
            FuzzFault(kTarget, "a file krtool built does not read back");
        }
        if (WriteToBytes([&](TTaggedWriter &writer) { again.Write(writer, today); }) != rawSaved)
            FuzzFault(kTarget, "building the re-read file gives other bytes");
    }

    CheckFigures(c);

    const QByteArray saved = Save(c.Inventory);
    TFuzzCollection reread;
    TInventoryReadResult result;
    try {
        ReadFromBytes(saved, [&](TTaggedReader &reader) { result = reread.Inventory.ReadStream(reader); });
    } catch (const TKrException &) {
        FuzzFault(kTarget, "an inventory the program saved does not read back");
    }
    if (result.NotFound != 0 || reread.Inventory.Trades().size() != c.Inventory.Trades().size())
        FuzzFault(kTarget, "the saved inventory reads back with other entries or trades");
    if (Save(reread.Inventory) != saved)
        FuzzFault(kTarget, "saving the re-read inventory gives other bytes");

    for (TFuzzCollection *collection : {&c, &reread}) {
        collection->Inventory.FreeTrades();
        ForEachItem(collection->Catalogue, [&](const TInventoryData &item) {
            if (item.UsedCount != 0 || item.WaitingCount != 0 || item.InPlayCount != 0)
                FuzzFault(kTarget, "freeing the trades leaves copies counted");
        });
    }
    return 0;
}
