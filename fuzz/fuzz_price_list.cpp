// The input is a price list, imported over a small catalogue whose dice the seeds name.
// The prices set before any damage stay; exporting them must give a list that imports
// into a fresh catalogue with every price the same and exports to the very same bytes,
// and krtool's reading of the list must agree with the program's.

#include "FuzzCollection.h"
#include "FuzzSupport.h"

#include "KrException.h"

namespace {

constexpr const char *kTarget = "fuzz_price_list";

QByteArray Export(const TInventory &inventory)
{
    return WriteToBytes([&](TTaggedWriter &writer) { inventory.WritePrices(writer); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    TFuzzCollection c;
    bool programRead = true;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { c.Inventory.ReadPrices(reader); });
    } catch (const TKrException &) {
        programRead = false;
    }

    bool toolRead = true;
    TPriceListFile raw;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { raw = TPriceListFile::Read(reader); });
    } catch (const TKrException &) {
        toolRead = false;
    }
    if (toolRead != programRead)
        FuzzFault(kTarget, "krtool and the program disagree whether the list reads");
    if (toolRead) {
        const QByteArray rawSaved = WriteToBytes([&](TTaggedWriter &writer) { raw.Write(writer); });
        TPriceListFile again;
        try {
            ReadFromBytes(rawSaved, [&](TTaggedReader &reader) { again = TPriceListFile::Read(reader); });
        } catch (const TKrException &) {
            FuzzFault(kTarget, "a list krtool built does not read back");
        }
        if (again.Entries.size() != raw.Entries.size() ||
            WriteToBytes([&](TTaggedWriter &writer) { again.Write(writer); }) != rawSaved)
            FuzzFault(kTarget, "building the re-read list gives other bytes");
    }

    const QByteArray exported = Export(c.Inventory);
    TFuzzCollection other;
    TInventoryReadResult result;
    try {
        ReadFromBytes(exported, [&](TTaggedReader &reader) { result = other.Inventory.ReadPrices(reader); });
    } catch (const TKrException &) {
        FuzzFault(kTarget, "a price list the program exported does not import");
    }
    if (result.NotFound != 0 || result.Total != 9 + 72)
        FuzzFault(kTarget, "the exported list does not name every die and terrain");
    if (Export(other.Inventory) != exported)
        FuzzFault(kTarget, "exporting the imported prices gives other bytes");
    return 0;
}
