// The input is a CSV file imported over the small catalogue whose dice the seeds name.
// An import either refuses with nothing changed or sets what it says; the collection then
// exports to a file that imports into a fresh catalogue with every stored field the same.
// Whatever the parser reads, writing its records back and reading them again gives the
// same fields.

#include "FuzzCollection.h"
#include "FuzzSupport.h"

#include "KrException.h"
#include "inventory/CollectionCsv.h"

namespace {

constexpr const char *kTarget = "fuzz_collection_csv";

void CheckParserRoundTrip(const QByteArray &input)
{
    std::vector<TCsvRecord> records;
    try {
        records = ParseCsv(DecodeCsvBytes(input));
    } catch (const TKrException &) {
        return;
    }
    QString written;
    for (const TCsvRecord &record : records)
        written += CsvLine(record.Fields);
    std::vector<TCsvRecord> again;
    try {
        again = ParseCsv(written);
    } catch (const TKrException &) {
        FuzzFault(kTarget, "records the parser read do not parse once written");
    }
    if (again.size() != records.size())
        FuzzFault(kTarget, "written records read back as another number of records");
    for (size_t i = 0; i < records.size(); ++i) {
        if (again[i].Fields != records[i].Fields)
            FuzzFault(kTarget, "a written record reads back with other fields");
        if (i > 0 && again[i].Line <= again[i - 1].Line)
            FuzzFault(kTarget, "record lines do not grow");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    CheckParserRoundTrip(input);

    TFuzzCollection c;
    const QByteArray before = SaveCollection(c.Inventory);
    TCsvImportResult result;
    try {
        result = TCollectionCsv::Import(c.Inventory, input);
    } catch (const TKrException &failure) {
        if (SaveCollection(c.Inventory) != before || c.Inventory.InventoryModified)
            FuzzFault(kTarget, "a refused import changed the collection");
        if (!failure.Message().startsWith(QStringLiteral("Line ")))
            FuzzFault(kTarget, "a refusal does not name its line");
        return 0;
    }
    if (result.ItemsSet < 0 || result.ItemsSet > 9 + 72)
        FuzzFault(kTarget, "the import set more items than there are");
    if (c.Inventory.InventoryModified != (result.ItemsSet > 0))
        FuzzFault(kTarget, "the changed flag does not follow the items set");
    if (result.Unmatched.empty() != result.UnmatchedMessage().isEmpty())
        FuzzFault(kTarget, "rows without a die and their message disagree");

    const QByteArray exported = TCollectionCsv::Export(c.Inventory);
    TFuzzCollection other;
    TCsvImportResult back;
    try {
        back = TCollectionCsv::Import(other.Inventory, exported);
    } catch (const TKrException &) {
        FuzzFault(kTarget, "a collection the program exported does not import");
    }
    if (back.ItemsSet != 9 + 72 || !back.Unmatched.empty())
        FuzzFault(kTarget, "the export does not name every die and terrain");
    if (SaveCollection(other.Inventory) != SaveCollection(c.Inventory))
        FuzzFault(kTarget, "the imported export gives another collection");
    return 0;
}
