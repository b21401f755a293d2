#pragma once

// A small catalogue for the inventory tests: a few races of different types with dice of
// different healths, optionally the 72 terrains, and an inventory on a fixed clock.

#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "inventory/Inventory.h"
#include "io/MemoryStream.h"
#include "io/TaggedStream.h"
#include "shell/Clock.h"

#include <QDateTime>

struct TSmallCollection
{
    // Race 3 "Reedfolk" (Normal Units): die 0 "Marsh Scout" 1hp Light Troop, die 1
    // "Reed Archer" 3hp Archer, die 5 "Tide Lord" 4hp ultra-rare.
    // Race 7 "Emberkin" (Dragonkin): die 0 "Ash Drake" 5hp, die 1 "White Wyrm" 10hp.
    // Race 9 "Oddments" (Misprints): die 0 "Blot" 2hp ultra-rare.
    explicit TSmallCollection(bool terrains = true)
        : Clock(QDateTime(QDate(2024, 3, 5), QTime(14, 30))), Inventory(Catalogue, Clock)
    {
        auto reedfolk = std::make_unique<TRace>(Catalogue, 3, QStringLiteral("Reedfolk"));
        AddDie(*reedfolk, QStringLiteral("Marsh Scout"), 1, Profession::LightTroop);
        AddDie(*reedfolk, QStringLiteral("Reed Archer"), 3, Profession::Archer);
        reedfolk->NextDieID = 5;
        AddDie(*reedfolk, QStringLiteral("Tide Lord"), 4, Profession::HeavyTroop).UltraRare = true;
        Catalogue.InsertRace(std::move(reedfolk));

        auto emberkin = std::make_unique<TRace>(Catalogue, 7, QStringLiteral("Emberkin"));
        emberkin->Type = RaceType::Dragonkin;
        AddDie(*emberkin, QStringLiteral("Ash Drake"), 5, Profession::None);
        AddDie(*emberkin, QStringLiteral("White Wyrm"), 10, Profession::None);
        Catalogue.InsertRace(std::move(emberkin));

        auto oddments = std::make_unique<TRace>(Catalogue, 9, QStringLiteral("Oddments"));
        oddments->Type = RaceType::Misprints;
        AddDie(*oddments, QStringLiteral("Blot"), 2, Profession::Mage).UltraRare = true;
        Catalogue.InsertRace(std::move(oddments));

        if (terrains)
            Catalogue.MakeTerrains();
    }

    TDie &Die(qint32 race, qint32 id) const { return *Catalogue.FindRaceByID(race)->DieByID(id); }
    TDie &Scout() const { return Die(3, 0); }
    TDie &Archer() const { return Die(3, 1); }
    TDie &TideLord() const { return Die(3, 5); }
    TDie &Drake() const { return Die(7, 0); }
    TDie &Wyrm() const { return Die(7, 1); }
    TDie &Blot() const { return Die(9, 0); }

    QByteArray Save() const
    {
        return WriteToBytes([&](TTaggedWriter &writer) { Inventory.WriteStream(writer); });
    }
    TInventoryReadResult Load(const QByteArray &bytes)
    {
        TInventoryReadResult result;
        Inventory.FreeTrades();
        Inventory.ZeroCounts();
        ReadFromBytes(bytes, [&](TTaggedReader &reader) { result = Inventory.ReadStream(reader); });
        return result;
    }

    TCatalogue Catalogue;
    TFixedClock Clock;
    TInventory Inventory;
};

// used/waiting/in play of an item.
inline QString Counts(const TInventoryData &item)
{
    return QStringLiteral("%1/%2/%3").arg(item.UsedCount).arg(item.WaitingCount).arg(item.InPlayCount);
}

// "Reed Archer -2, Marsh Scout 3".
inline QString Lines(const TTrade &trade)
{
    QStringList lines;
    for (const auto &line : trade.Lines())
        lines << line->Item().Name + u' ' + QString::number(line->Count());
    return lines.join(QStringLiteral(", "));
}
