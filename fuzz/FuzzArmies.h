#pragma once

// The catalogue the army fuzz targets and their seeds share, and the checks every army
// read from damaged bytes must pass.

#include "FuzzSupport.h"

#include "../bench/SyntheticCatalogue.h"
#include "army/ArmyData.h"

#include <map>

// The small synthetic catalogue (races 1 to 3 with dice 0 to 2), the dragons that the
// slots of version-2 records name for races 25 and 26 (race 27 and on are missing), and
// the 72 terrains.
struct TArmyFuzzCatalogue
{
    TArmyFuzzCatalogue()
    {
        MakeSyntheticCatalogue(Catalogue, 3, 3);
        for (qint32 id : {25, 26}) {
            auto race = std::make_unique<TRace>(Catalogue, id, QStringLiteral("Wyrms %1").arg(id));
            race->Type = RaceType::Dragonkin;
            race->NextDieID = 10;
            for (int health : {5, 10}) {
                auto die = std::make_unique<TDie>(*race, QStringLiteral("Wyrm %1").arg(health));
                die->SetHealth(health);
                race->AddDie(std::move(die));
            }
            Catalogue.InsertRace(std::move(race));
        }
        Catalogue.MakeTerrains();
    }

    TCatalogue Catalogue;
};

// The army's health is that of its dice and it holds only values the files can name.
inline void CheckArmy(const char *target, const TArmy &army)
{
    qint64 health = 0;
    qint64 summoned = 0;
    for (const TDie *die : army.Dice())
        (TArmy::IsSummoned(*die) ? summoned : health) += die->Health();
    if (health != army.Health() || summoned != army.SummonedHealth())
        FuzzFault(target, "the army's health is not that of its dice");
    if (army.MajorTerrain() < 0 || army.MajorTerrain() >= TArmy::kMajorTerrainCount)
        FuzzFault(target, "a major terrain out of range");
    for (int k = 1; k <= 4; ++k) {
        if (army.GetMinorTerrain(k) < 0 || army.GetMinorTerrain(k) > TArmy::kNoMinorTerrain)
            FuzzFault(target, "a minor terrain out of range");
    }
    if (int(army.Type()) >= VocabularyCount<ArmyType>())
        FuzzFault(target, "an army type out of range");
}

// Every used count of the catalogue is exactly what the armies hold.
template <typename Armies> void CheckUsedCounts(const char *target, const TCatalogue &catalogue, const Armies &armies)
{
    std::map<const TInventoryData *, quint32> expected;
    for (const auto &army : armies) {
        for (const TDie *die : army->Dice())
            ++expected[die];
        if (HasMajorTerrain(army->Type()))
            ++expected[catalogue.MajorTerrain(army->MajorTerrain())];
        for (int k = 1; k <= 4; ++k) {
            if (const TTerrain *minor = catalogue.MinorTerrain(army->GetMinorTerrain(k)))
                ++expected[minor];
        }
    }
    const auto check = [&](const TInventoryData &item) {
        const auto found = expected.find(&item);
        if (item.UsedCount != (found == expected.end() ? 0U : found->second))
            FuzzFault(target, "a used count is not what the armies hold");
    };
    TDieTraversal walk(catalogue);
    for (const TDie *die = walk.First(); die; die = walk.Next())
        check(*die);
    for (int i = 0; i < TTerrain::kMinorCount; ++i)
        check(*catalogue.MinorTerrain(i));
    for (int i = 0; i < TTerrain::kMajorCount; ++i)
        check(*catalogue.MajorTerrain(i));
}
