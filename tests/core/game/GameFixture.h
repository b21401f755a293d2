#pragma once

// A small catalogue and a seeded game for the game tests.

#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "game/GameData.h"
#include "game/GameFile.h"
#include "io/MemoryStream.h"
#include "io/TaggedStream.h"
#include "random/Randomizer.h"
#include "shell/Clock.h"

#include <functional>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

struct TGameCatalogue
{
    // Race 3 "Reedfolk" (Normal Units, home Coastland, maneuvers as missile): die 0
    // "Marsh Scout" 1hp, die 1 "Reed Archer" 3hp, die 2 "Bog Witch" 2hp.
    // Race 7 "Emberkin" (Dragonkin, armored): die 0 "Ash Drake" 5hp (a dragon).
    // Race 9 "Stoneborn" (Normal Units, intangible, home Highland, no maneuver effect):
    // die 0 "Quarry Guard" 4hp.
    TGameCatalogue()
    {
        auto reedfolk = std::make_unique<TRace>(Catalogue, 3, QStringLiteral("Reedfolk"));
        reedfolk->HomeTerrain = Land::Coastland;
        reedfolk->MovesAtHome = MoveEffect::AsMissile;
        AddDie(*reedfolk, QStringLiteral("Marsh Scout"), 1, Profession::LightTroop);
        AddDie(*reedfolk, QStringLiteral("Reed Archer"), 3, Profession::Archer);
        AddDie(*reedfolk, QStringLiteral("Bog Witch"), 2, Profession::Mage).SetFace(1, BasicIcon::Magic, 2);
        Catalogue.InsertRace(std::move(reedfolk));

        auto emberkin = std::make_unique<TRace>(Catalogue, 7, QStringLiteral("Emberkin"));
        emberkin->Type = RaceType::Dragonkin;
        emberkin->Armored = true;
        AddDie(*emberkin, QStringLiteral("Ash Drake"), 5, Profession::None);
        Catalogue.InsertRace(std::move(emberkin));

        auto stoneborn = std::make_unique<TRace>(Catalogue, 9, QStringLiteral("Stoneborn"));
        stoneborn->Intangible = true;
        stoneborn->HomeTerrain = Land::Highland;
        AddDie(*stoneborn, QStringLiteral("Quarry Guard"), 4, Profession::HeavyTroop);
        Catalogue.InsertRace(std::move(stoneborn));
        Catalogue.MakeTerrains();
    }

    TDie &Die(qint32 race, qint32 id) const { return *Catalogue.FindRaceByID(race)->DieByID(id); }
    TDie &Scout() const { return Die(3, 0); }
    TDie &Archer() const { return Die(3, 1); }
    TDie &Witch() const { return Die(3, 2); }
    TDie &Drake() const { return Die(7, 0); }
    TDie &Guard() const { return Die(9, 0); }
    const TRace &Race(qint32 id) const { return *Catalogue.FindRaceByID(id); }

    // A die of race 3 with exactly these faces (symbol, count), for rolls whose outcome
    // a test must know.
    TDie &MakeDie(const QString &name, int health, const std::vector<std::pair<qint32, int>> &faces)
    {
        TRace &race = *Catalogue.FindRaceByID(3);
        TDie &die = AddDie(race, name, health, Profession::HeavyTroop);
        die.SetFaceCount(int(faces.size()));
        for (size_t i = 0; i < faces.size(); ++i)
            die.SetFace(int(i), faces[i].first, faces[i].second);
        return die;
    }

    // The first moment of the fixture's day whose generator passes the test, as a clock:
    // for scenarios that need the rolls to come out a certain way.
    TFixedClock ClockWhere(const std::function<bool(TRandomizer &)> &wanted) const
    {
        for (int second = 0; second < 86400; ++second) {
            const TFixedClock clock(QDateTime(QDate(2026, 12, 7), QTime(0, 0).addSecs(second)));
            TRandomizer generator(clock);
            if (wanted(generator))
                return clock;
        }
        ADD_FAILURE() << "no moment of the day rolls as wanted";
        return Clock;
    }

    TCatalogue Catalogue;
    // 2026-12-07 12:00, so that every game of a test rolls the same.
    TFixedClock Clock{QDateTime(QDate(2026, 12, 7), QTime(12, 0))};
};

// Puts a new die of the player into the army, as the game's moves and imports do.
inline TDieInPlay &PutDie(TArmyInPlay &army, TDie &die)
{
    auto made = std::make_unique<TDieInPlay>(army.Game(), army.Player(), die);
    made->SetPlaceIndex(army.PlaceIndex());
    TDieInPlay &put = *made;
    army.AddDie(std::move(made));
    return put;
}

inline TDieInPlay &PutDragon(TTerrainInPlay &place, int player, TDie &die)
{
    auto made = std::make_unique<TDieInPlay>(place.Game(), player, die);
    made->SetPlaceIndex(place.Index());
    TDieInPlay &put = *made;
    place.AddDragon(std::move(made));
    return put;
}

inline QByteArray GameBytes(const TGame &game)
{
    return WriteToBytes([&](TTaggedWriter &writer) { WriteGameStream(writer, game); });
}

inline TGameOpened ReadGame(const QByteArray &bytes, TGameCatalogue &c)
{
    TGameOpened opened;
    ReadFromBytes(bytes, [&](TTaggedReader &reader) { ReadGameStream(reader, c.Catalogue, c.Clock, opened); });
    return opened;
}
