#pragma once

// A small catalogue for the army tests, with the 72 terrains and the dragons that the
// slots of version-2 army records name.

#include "TestSupport.h"
#include "army/ArmyData.h"
#include "dice/Catalogue.h"
#include "io/MemoryStream.h"
#include "io/TaggedStream.h"

#include <memory>

struct TArmyCatalogue
{
    // Race 3 "Reedfolk" (Normal Units): die 0 "Marsh Scout" 1hp Light Troop, die 1 "Reed
    // Archer" 3hp Archer, die 2 "Bog Witch" 2hp Mage (a magic-user).
    // Race 7 "Emberkin" (Dragonkin): die 0 "Ash Drake" 5hp.
    // Race 25 "Skywyrms" and 26 "Deepwyrms" (Dragonkin): dice 10 and 11, 6hp and 10hp.
    // There is no race 27.
    TArmyCatalogue()
    {
        auto reedfolk = std::make_unique<TRace>(Catalogue, 3, QStringLiteral("Reedfolk"));
        AddDie(*reedfolk, QStringLiteral("Marsh Scout"), 1, Profession::LightTroop);
        AddDie(*reedfolk, QStringLiteral("Reed Archer"), 3, Profession::Archer);
        AddDie(*reedfolk, QStringLiteral("Bog Witch"), 2, Profession::Mage).SetFace(1, BasicIcon::Magic, 1);
        Catalogue.InsertRace(std::move(reedfolk));

        auto emberkin = std::make_unique<TRace>(Catalogue, 7, QStringLiteral("Emberkin"));
        emberkin->Type = RaceType::Dragonkin;
        AddDie(*emberkin, QStringLiteral("Ash Drake"), 5, Profession::None);
        Catalogue.InsertRace(std::move(emberkin));

        for (qint32 id : {25, 26}) {
            auto wyrms = std::make_unique<TRace>(Catalogue, id,
                                                 id == 25 ? QStringLiteral("Skywyrms") : QStringLiteral("Deepwyrms"));
            wyrms->Type = RaceType::Dragonkin;
            wyrms->NextDieID = 10;
            AddDie(*wyrms, QStringLiteral("Wyrm %1-10").arg(id), 6, Profession::None);
            AddDie(*wyrms, QStringLiteral("Wyrm %1-11").arg(id), 10, Profession::None);
            Catalogue.InsertRace(std::move(wyrms));
        }
        Catalogue.MakeTerrains();
    }

    TDie &Die(qint32 race, qint32 id) const { return *Catalogue.FindRaceByID(race)->DieByID(id); }
    TDie &Scout() const { return Die(3, 0); }
    TDie &Archer() const { return Die(3, 1); }
    TDie &Witch() const { return Die(3, 2); }
    TDie &Drake() const { return Die(7, 0); }

    quint32 MajorUsed(int index) const { return Catalogue.MajorTerrain(index)->UsedCount; }
    quint32 MinorUsed(int index) const { return Catalogue.MinorTerrain(index)->UsedCount; }

    // The used counts of every die and terrain that is used at all, as "name=n" in
    // catalogue order: dice, then minor and major terrains.
    QStringList Used() const
    {
        QStringList used;
        TDieTraversal walk(Catalogue);
        for (const TDie *die = walk.First(); die; die = walk.Next()) {
            if (die->UsedCount)
                used << die->Name + u'=' + QString::number(die->UsedCount);
        }
        for (int i = 0; i < 24; ++i) {
            if (MinorUsed(i))
                used << Catalogue.MinorTerrain(i)->ListText() + u'=' + QString::number(MinorUsed(i));
        }
        for (int i = 0; i < 48; ++i) {
            if (MajorUsed(i))
                used << Catalogue.MajorTerrain(i)->ListText() + u'=' + QString::number(MajorUsed(i));
        }
        return used;
    }

    static QByteArray Record(const TArmy &army)
    {
        return WriteToBytes([&](TTaggedWriter &writer) { army.WriteRecord(writer); });
    }

    // A fresh army reading the bytes; lost answers the dice the catalogue lacks.
    std::unique_ptr<TArmy> Read(const QByteArray &bytes, int *lost = nullptr)
    {
        auto army = std::make_unique<TArmy>(Catalogue);
        ReadFromBytes(bytes, [&](TTaggedReader &reader) {
            const int read = army->ReadRecord(reader);
            if (lost)
                *lost = read;
        });
        return army;
    }

    TCatalogue Catalogue;
};
