// The input is an army file, read into a new army over a catalogue that holds the dragons
// of version-2 records. An army that reads must count exactly the dice and terrains it
// holds, must survive sorting, export and the race breakdown, must save and read back
// to the very same bytes, and must give every use back when it goes; a damaged file
// must leave the army as it was. krtool's reading of the file must agree with the
// program's, and what krtool builds from it must read back to the same bytes.

#include "FuzzArmies.h"

#include "KrException.h"
#include "army/ArmyExport.h"
#include "army/ArmyFile.h"
#include "army/ArmySort.h"
#include "army/RaceBreakdown.h"

namespace {

constexpr const char *kTarget = "fuzz_army_file";

QByteArray Save(const TArmy &army)
{
    return WriteToBytes([&](TTaggedWriter &writer) { army.WriteRecord(writer); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    TArmyFuzzCatalogue c;
    std::vector<std::unique_ptr<TArmy>> armies;
    armies.push_back(std::make_unique<TArmy>(c.Catalogue));
    TArmy &army = *armies.front();

    int lost = 0;
    bool programRead = true;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { lost = army.ReadRecord(reader); });
    } catch (const TKrException &) {
        programRead = false;
    }
    TArmyRecord raw;
    bool toolRead = true;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { raw = TArmyRecord::Read(reader); });
    } catch (const TKrException &) {
        toolRead = false;
    }
    if (toolRead != programRead)
        FuzzFault(kTarget, "krtool and the program disagree whether the file reads");
    CheckArmy(kTarget, army);
    CheckUsedCounts(kTarget, c.Catalogue, armies);
    if (!programRead) {
        if (!army.Dice().empty() || army.Modified)
            FuzzFault(kTarget, "a damaged record changed the army");
        return 0;
    }
    if (lost < 0 || size_t(lost) + army.Dice().size() != raw.AllDice().size())
        FuzzFault(kTarget, "the dice kept and lost are not the dice of the file");
    if (army.Modified)
        FuzzFault(kTarget, "an army just read counts as modified");

    const QByteArray rawSaved = WriteToBytes([&](TTaggedWriter &writer) { raw.Write(writer); });
    TArmyRecord again;
    try {
        ReadFromBytes(rawSaved, [&](TTaggedReader &reader) { again = TArmyRecord::Read(reader); });
    } catch (const TKrException &) {
        FuzzFault(kTarget, "a record krtool built does not read back");
    }
    if (WriteToBytes([&](TTaggedWriter &writer) { again.Write(writer); }) != rawSaved)
        FuzzFault(kTarget, "building the re-read record gives other bytes");

    const std::vector<const TArmy *> open{&army};
    (void)GroupExportText(army.GroupName(), open);
    const TRaceBreakdown breakdown(c.Catalogue, army.GroupName(), open);
    if (breakdown.Rows().size() < 3)
        FuzzFault(kTarget, "the race breakdown lacks its header or totals");
    for (int order = 0; order < VocabularyCount<ArmySortOrder>(); ++order)
        SortArmy(army, ArmySortOrder(order));
    CheckArmy(kTarget, army);

    const QByteArray saved = Save(army);
    armies.push_back(std::make_unique<TArmy>(c.Catalogue));
    int lostAgain = -1;
    try {
        ReadFromBytes(saved, [&](TTaggedReader &reader) { lostAgain = armies.back()->ReadRecord(reader); });
    } catch (const TKrException &) {
        FuzzFault(kTarget, "an army the program saved does not read back");
    }
    if (lostAgain != 0 || Save(*armies.back()) != saved)
        FuzzFault(kTarget, "the saved army reads back other than it was");
    CheckUsedCounts(kTarget, c.Catalogue, armies);

    armies.front()->Release();
    armies.erase(armies.begin());
    CheckUsedCounts(kTarget, c.Catalogue, armies);
    armies.clear();
    CheckUsedCounts(kTarget, c.Catalogue, armies);
    return 0;
}
