#pragma once

// The game file (.KGM): the whole game, event log included, as one stream of tagged
// values after a version number. The records below are the file as it stands, its dice
// and terrains not resolved against any catalogue: what krtool dumps and builds, and
// what opening a game reads through. A game file usually comes from another player's
// machine, so reading checks everything that the model relies on and names the offset
// of what is wrong.

#include "game/GameData.h"

#include <QStringList>

#include <array>
#include <memory>
#include <vector>

class TClock;
class TTaggedReader;
class TTaggedWriter;

struct TGameDieRecord
{
    qint32 ID = 0;
    qint32 Place = -1;
    qint32 Player = 1;
    qint32 Race = 0;
    qint32 Die = 0;
    qint32 Face = 1;

    friend bool operator==(const TGameDieRecord &, const TGameDieRecord &) = default;
};

struct TGameArmyRecord
{
    qint32 ID = 0;
    qint32 Place = 0;
    qint32 Player = 1;
    qint32 MinorTerrain = -1; // -1 for none
    qint32 MinorTerrainFace = TArmyInPlay::kStartFace;
    bool OwnsTerrain = false;
    std::vector<TGameDieRecord> Dice;

    friend bool operator==(const TGameArmyRecord &, const TGameArmyRecord &) = default;
};

struct TGamePlaceRecord
{
    qint32 ID = 0;
    qint32 Index = 0;
    qint32 MajorTerrain = -1; // -1 for none
    qint32 Face = TTerrainInPlay::kOwnedFace;
    std::vector<TGameDieRecord> Dragons;
    std::vector<TGameArmyRecord> Armies; // players 1..count

    friend bool operator==(const TGamePlaceRecord &, const TGamePlaceRecord &) = default;
};

struct TGameSpellRecord
{
    QString Name;
    qint32 Duration = 0;
    qint32 CasterRace = -1;
    qint32 Round = 0;
    std::vector<qint32> Targets;

    friend bool operator==(const TGameSpellRecord &, const TGameSpellRecord &) = default;
};

struct TGamePlayerRecord
{
    qint32 Number = 1;
    QString Name;
    QString Email;
    std::array<qint32, TPlayer::kMinorSlots> MinorTerrains{TPlayer::kNoMinorTerrain, TPlayer::kNoMinorTerrain,
                                                           TPlayer::kNoMinorTerrain, TPlayer::kNoMinorTerrain};
    std::array<std::vector<TGameSpellRecord>, kSpellDurationCount> Spells;

    friend bool operator==(const TGamePlayerRecord &, const TGamePlayerRecord &) = default;
};

struct TGameRecord
{
    static constexpr qint32 kVersion = 6;

    qint32 Version = kVersion;
    QString Name;
    QString FtpName;
    qint32 Controller = -1;
    qint32 NextTargetID = 0;
    qint32 Round = 0;
    std::vector<qint32> TurnOrder; // player numbers at positions 1..count
    qint32 TurnPosition = 1;
    qint32 Phase = 0;
    qint32 Step = 0;
    QStringList Log;
    std::vector<TGamePlaceRecord> Places; // the six fixed places, then the homes
    qint32 MarchTerrain = -1;
    std::vector<TGameSpellRecord> GameEffects;
    std::vector<TGamePlayerRecord> Players;
    bool FtpGame = false;
    bool StaggeredStart = false;
    bool Utility = false;

    int PlayerCount() const { return int(Players.size()); }

    // Any version up to 6, fields gated by version (older files get the defaults). A
    // TFileFormatError names the offset of anything the game could not hold: a player
    // count outside 1..10, a turn order that is not each player once, a turn position,
    // phase, step, face or duration out of range, a place, army or die whose place or
    // player is not the one it stands under, a target ID that is negative or given
    // twice.
    static TGameRecord Read(TTaggedReader &reader);
    // Always version 6.
    void Write(TTaggedWriter &writer) const;

    friend bool operator==(const TGameRecord &, const TGameRecord &) = default;
};

// The file of a game as the program writes it.
TGameRecord RecordOf(const TGame &game);

// What opening a game file gave, with the dice whose race or die the catalogue lacks
// (left out of the game).
struct TGameOpened
{
    std::unique_ptr<TGame> Game;
    int LostDice = 0;
};

// A game built from its record: terrains by index (an index the terrain tables do not
// have gives none), dice through the catalogue, spells linked to their targets by ID
// once every target exists (IDs that find nothing are passed over). Not modified.
TGameOpened GameFromRecord(const TGameRecord &record, TCatalogue &catalogue, const TClock &clock);

// The open and save commands' work without a window; failures are TKrExceptions naming
// the problem. A failed read gives no game; a failed save leaves the old file whole.
TGameOpened OpenGameFile(const QString &path, TCatalogue &catalogue, const TClock &clock);
void ReadGameStream(TTaggedReader &reader, TCatalogue &catalogue, const TClock &clock, TGameOpened &opened);
void WriteGameStream(TTaggedWriter &writer, const TGame &game);
// On success the game is not modified.
void SaveGameFile(TGame &game, const QString &path);
