// The input is a special-symbol file. Whatever the reader adds to the table (all of it,
// or the symbols before the damage) must save, and what was saved must read back into
// a table that saves to the very same bytes. The symbols' effects and points come
// straight from the file into the statistics of every die showing them, so dice made
// of them must get plain numbers there too.

#include "FuzzSupport.h"

#include "KrException.h"
#include "dice/Catalogue.h"
#include "dice/DiceIcons.h"

#include <algorithm>

namespace {

constexpr const char *kTarget = "fuzz_icon_file";
// Enough dice to show every symbol of any sensible file; more would only slow the run.
constexpr int kMaxSymbolsOnDice = 60;

QByteArray Save(const TIconTable &table)
{
    return WriteToBytes([&](TTaggedWriter &writer) { WriteIconStream(writer, table); });
}

// One race of every race type, their traits spread so that armour, intangibility,
// terrain magic and each move effect meet the symbols somewhere.
void AddRaces(TCatalogue &catalogue)
{
    for (int type = 0; type < VocabularyCount<RaceType>(); ++type) {
        auto race = catalogue.CreateRace();
        race->Type = RaceType(type);
        race->Colors = TColorSet::FromBits(quint8(0x0B << type));
        race->HomeTerrain = Land(type * 2 % (kLandCount - 1)); // never Reserves nor None
        race->MovesAtHome = MoveEffect(type % VocabularyCount<MoveEffect>());
        race->CanDoubleMagic = type % 2 == 0;
        race->TerrainMagic = type % 3 == 0;
        race->Armored = type % 2 == 1;
        race->Intangible = type >= 3;
        catalogue.InsertRace(std::move(race));
    }
}

// Dice whose faces after the ID face show the special symbols in table order.
void AddDice(TCatalogue &catalogue)
{
    const int last = std::min(catalogue.Icons().Count(), BasicIcon::Count + kMaxSymbolsOnDice);
    for (const auto &race : catalogue.Races()) {
        qint32 symbol = BasicIcon::Count;
        for (int d = 0; symbol < last; ++d) {
            auto die = std::make_unique<TDie>(*race);
            const int health = 1 + d % 4;
            die->SetHealth(health);
            die->SetProfession(Profession(d % VocabularyCount<Profession>()));
            die->SetFaceCount(std::min(TDie::kMaxFaces, 1 + last - symbol));
            die->SetFace(0, BasicIcon::ID, health);
            for (int face = 1; face < die->FaceCount(); ++face, ++symbol)
                die->SetFace(face, symbol, 1 + face % 3);
            race->AddDie(std::move(die));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    TCatalogue catalogue;
    TIconTable &table = catalogue.Icons();
    try {
        ReadFromBytes(FuzzBytes(data, size), [&](TTaggedReader &reader) { ReadIconStream(reader, table); });
    } catch (const TKrException &) {
        // The symbols added before the damage stay in the table.
    }
    for (qint32 id = 0; id < table.Count(); ++id) {
        const TIconDescriptor *icon = table.GetIcon(id);
        if (!icon || icon->ID != id || icon->Basic != (id < BasicIcon::Count))
            FuzzFault(kTarget, "a symbol's ID is not its place in the table");
    }

    AddRaces(catalogue);
    AddDice(catalogue);
    CheckStatistics(kTarget, catalogue);
    catalogue.Rules.PowerMagicItems = true;
    catalogue.Rules.MonstrousMagicResistance = true;
    catalogue.RegenerateRaces();
    CheckStatistics(kTarget, catalogue);

    const QByteArray saved = Save(table);
    TIconTable again;
    try {
        ReadFromBytes(saved, [&](TTaggedReader &reader) { ReadIconStream(reader, again); });
    } catch (const TKrException &) {
        FuzzFault(kTarget, "a symbol file the program saved does not read back");
    }
    if (Save(again) != saved)
        FuzzFault(kTarget, "saving the re-read symbol file gives other bytes");
    return 0;
}
