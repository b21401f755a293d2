// The input is an army group file, read as the program opens one (without opening the
// army files of a path list). The armies read, all of them or those before the damage,
// must count exactly what they hold; a list of records must save and read back to the
// very same bytes and give every use back when it goes. The paths of a path list are
// taken as written, ".\" alone resolved. krtool's reading of the file must agree with
// the program's, and what krtool builds from it must read back to the same bytes.

#include "FuzzArmies.h"

#include "KrException.h"
#include "army/ArmyFile.h"

namespace {

constexpr const char *kTarget = "fuzz_group_file";

const QString kGroupPath = QStringLiteral("/fuzz/groups/Mine.KRG");

std::vector<const TArmy *> Pointers(const TGroupFile &group)
{
    std::vector<const TArmy *> armies;
    for (const auto &army : group.Armies)
        armies.push_back(army.get());
    return armies;
}

QByteArray Save(const TGroupFile &group)
{
    return WriteToBytes([&](TTaggedWriter &writer) { WriteGroupStream(writer, Pointers(group)); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = FuzzBytes(data, size);
    TArmyFuzzCatalogue c;
    TGroupFile group;
    bool programRead = true;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { ReadGroupStream(reader, c.Catalogue, kGroupPath, group); });
    } catch (const TKrException &) {
        programRead = false; // the armies read before the damage stay
    }
    TGroupFileRecord raw;
    bool toolRead = true;
    try {
        ReadFromBytes(input, [&](TTaggedReader &reader) { raw = TGroupFileRecord::Read(reader); });
    } catch (const TKrException &) {
        toolRead = false;
    }
    if (toolRead != programRead)
        FuzzFault(kTarget, "krtool and the program disagree whether the file reads");
    for (const auto &army : group.Armies) {
        CheckArmy(kTarget, *army);
        if (army->GroupFileName != kGroupPath || army->Modified)
            FuzzFault(kTarget, "an army of a group file does not know its file or counts as modified");
    }
    CheckUsedCounts(kTarget, c.Catalogue, group.Armies);
    if (!programRead)
        return 0;

    if (raw.IsPathList()) {
        if (!group.Armies.empty() || group.ArmyPaths.size() != raw.ArmyPaths.size())
            FuzzFault(kTarget, "a path list gave armies or lost paths");
        for (qsizetype i = 0; i < raw.ArmyPaths.size(); ++i) {
            const bool relative = raw.ArmyPaths[i].startsWith(QStringLiteral(".\\"));
            const QString expected =
                relative ? QStringLiteral("/fuzz/groups/") + raw.ArmyPaths[i].mid(2).replace(u'\\', u'/')
                         : raw.ArmyPaths[i];
            if (group.ArmyPaths[i] != expected)
                FuzzFault(kTarget, "a path of a path list resolves wrongly");
        }
    } else {
        if (group.Armies.size() != raw.Armies.size() || !group.ArmyPaths.isEmpty())
            FuzzFault(kTarget, "a list of records gave other armies than krtool reads");
        size_t named = 0;
        size_t kept = 0;
        if (group.LostByArmy.size() != group.Armies.size())
            FuzzFault(kTarget, "an army of a group file has no count of its lost dice");
        for (size_t i = 0; i < raw.Armies.size(); ++i) {
            named += raw.Armies[i].AllDice().size();
            kept += group.Armies[i]->Dice().size();
            if (group.LostByArmy[i] < 0 ||
                size_t(group.LostByArmy[i]) + group.Armies[i]->Dice().size() != raw.Armies[i].AllDice().size())
                FuzzFault(kTarget, "an army's lost dice are not the dice of its record it lacks");
        }
        if (group.Lost < 0 || size_t(group.Lost) + kept != named)
            FuzzFault(kTarget, "the dice kept and lost are not the dice of the file");
    }

    const QByteArray rawSaved = WriteToBytes([&](TTaggedWriter &writer) { raw.Write(writer); });
    TGroupFileRecord again;
    try {
        ReadFromBytes(rawSaved, [&](TTaggedReader &reader) { again = TGroupFileRecord::Read(reader); });
    } catch (const TKrException &) {
        FuzzFault(kTarget, "a group file krtool built does not read back");
    }
    if (WriteToBytes([&](TTaggedWriter &writer) { again.Write(writer); }) != rawSaved)
        FuzzFault(kTarget, "building the re-read group file gives other bytes");

    const QByteArray saved = Save(group);
    TGroupFile reread;
    try {
        ReadFromBytes(saved, [&](TTaggedReader &reader) { ReadGroupStream(reader, c.Catalogue, kGroupPath, reread); });
    } catch (const TKrException &) {
        FuzzFault(kTarget, "a group file the program saved does not read back");
    }
    if (reread.Lost != 0 || reread.Armies.size() != group.Armies.size() || Save(reread) != saved)
        FuzzFault(kTarget, "the saved group file reads back other than it was");

    group.Armies.clear();
    CheckUsedCounts(kTarget, c.Catalogue, reread.Armies);
    reread.Armies.clear();
    CheckUsedCounts(kTarget, c.Catalogue, reread.Armies);
    return 0;
}
