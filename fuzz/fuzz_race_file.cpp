// The input is a race database. Whatever the reader keeps of it (all of it, or the races
// before the damage) must have statistics, must save, and must read back from what was
// saved into a catalogue that saves to the very same bytes.

#include "FuzzSupport.h"

#include "../bench/SyntheticCatalogue.h"
#include "KrException.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"

namespace {

constexpr const char *kTarget = "fuzz_race_file";

// Special symbols beside the basic ones, so that faces naming them reach the effects
// in the statistics rather than an empty slot.
void PrepareCatalogue(TCatalogue &catalogue)
{
    AddSyntheticSymbols(catalogue.Icons());
}

QByteArray Save(const TCatalogue &catalogue)
{
    return WriteToBytes([&](TTaggedWriter &writer) { WriteRaceStream(writer, catalogue); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TCatalogue catalogue;
    PrepareCatalogue(catalogue);
    try {
        ReadFromBytes(FuzzBytes(data, size), [&](TTaggedReader &reader) { ReadRaceStream(reader, catalogue); });
    } catch (const TKrException &) {
        // The races read before the damage stay, and the user may save them.
    }
    CheckStatistics(kTarget, catalogue);

    const QByteArray saved = Save(catalogue);
    TCatalogue again;
    PrepareCatalogue(again);
    try {
        ReadFromBytes(saved, [&](TTaggedReader &reader) { ReadRaceStream(reader, again); });
    } catch (const TKrException &) {
        FuzzFault(kTarget, "a race database the program saved does not read back");
    }
    if (again.RaceCount() != catalogue.RaceCount() || again.PeekNextID() != catalogue.PeekNextID())
        FuzzFault(kTarget, "the saved race database reads back with other races");
    if (Save(again) != saved)
        FuzzFault(kTarget, "saving the re-read race database gives other bytes");
    return 0;
}
