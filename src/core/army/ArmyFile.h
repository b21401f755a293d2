#pragma once

// The army file (one army record) and the army group file (a list of records, or in
// its earlier format a list of army file paths).

#include "army/ArmyData.h"

#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A die as a record names it: the race's ID and the die's ID within the race.
struct TArmyDieReference
{
    qint32 Race = 0;
    qint32 Die = 0;

    friend bool operator==(const TArmyDieReference &, const TArmyDieReference &) = default;
};

// An army record as it stands in a file, its dice not resolved against any catalogue:
// what krtool dumps and builds, and what TArmy::ReadRecord reads through. Fields a
// version lacks hold what the program gives them (the defaults of a new army).
struct TArmyRecord
{
    qint32 Version = TArmy::kRecordVersion;
    QString Name = QStringLiteral("New Army");
    std::vector<TArmyDieReference> Dice;
    QString Notes;
    // Version 2 only: five slots of the dragons of earlier files (see DragonOfSlot).
    std::vector<qint32> DragonSlots;
    static constexpr int kDragonSlots = 5;
    ArmyType Type = ArmyType::HordeArmy;
    quint32 BattleSize = TArmy::kDefaultBattleSize;
    int MajorTerrain = 2;
    std::array<int, 4> MinorTerrains{TArmy::kNoMinorTerrain, TArmy::kNoMinorTerrain, TArmy::kNoMinorTerrain,
                                     TArmy::kNoMinorTerrain};
    QString GroupName = QStringLiteral("(none)");

    // Versions 1 to 4. A TFileFormatError names the offset of what is wrong, values out
    // of their ranges included (army type, terrains, a negative battle size), so that no
    // army ever holds one.
    static TArmyRecord Read(TTaggedReader &reader);
    // Always version 4, the dragons of the slots written as the dice they stand for,
    // after the others: what the program saves once it has read the record.
    void Write(TTaggedWriter &writer) const;
    // Every die the record names: the list, then the dragons of the slots.
    std::vector<TArmyDieReference> AllDice() const;
};

// The dragon a slot of a version-2 record stands for: 0 to 9 give race 25 + slot / 2,
// die 11 for an even slot and 10 for an odd one; other values stand for none.
std::optional<TArmyDieReference> DragonOfSlot(qint32 slot);

TArmyRecord RecordOf(const TArmy &army);

// A group file as it stands: the records of the armies (version 2 and above), or the
// paths of the army files as written (version 1 or less).
struct TGroupFileRecord
{
    static constexpr qint32 kVersion = 2;

    qint32 Version = kVersion;
    std::vector<TArmyRecord> Armies;
    QStringList ArmyPaths;

    bool IsPathList() const { return Version <= 1; }
    static TGroupFileRecord Read(TTaggedReader &reader);
    // Version 2 with the armies; a path list keeps its version and its paths.
    void Write(TTaggedWriter &writer) const;
};

// What opening a group file gave. It is filled as the file is read, so that after a
// failure it still holds the armies read before the damage.
struct TGroupFile
{
    qint32 Version = 0;
    // In file order. Armies of a list of records know the group file as their group
    // file; armies of a path list know only their own files.
    std::vector<std::unique_ptr<TArmy>> Armies;
    // A path list: the army files it names, ".\" resolved, in order.
    QStringList ArmyPaths;
    // Dice of the file that the catalogue does not hold, over all armies, and of each
    // army (beside Armies), so that every army window can say what it lost.
    int Lost = 0;
    std::vector<int> LostByArmy;
};

using TStatusSink = std::function<void(const QString &)>;

// A path of a path list: one beginning with ".\" is relative to the group file's folder.
QString ResolveGroupPath(const QString &written, const QString &groupPath);

// A list of records becomes armies (their group file name is groupPath); of a path list
// only the paths are taken, no army file is opened.
void ReadGroupStream(TTaggedReader &reader, TCatalogue &catalogue, const QString &groupPath, TGroupFile &group);
// Version 2 holding the armies given, in their order; writing hears of each army as its
// record is written.
void WriteGroupStream(TTaggedWriter &writer, const std::vector<const TArmy *> &armies,
                      const std::function<void(const TArmy &)> &writing = {});

// The open and save commands' work, without windows. Each throws a TKrException naming
// the problem; nothing is half-saved (the old file survives a failure).

// A new army reading the file's one record; lost counts the dice the catalogue lacks.
std::unique_ptr<TArmy> OpenArmyFile(const QString &path, TCatalogue &catalogue, int &lost);
// A group file; a path list opens every army file it names in turn, saying "Loading
// <path>..." first.
void OpenGroupFile(const QString &path, TCatalogue &catalogue, TGroupFile &group, const TStatusSink &status = {});
// On success the army knows the file and is not modified.
void SaveArmyFile(TArmy &army, const QString &path);
// Writes the armies given; says "Writing army data for <name>..." for each. On success
// every one of them knows the group file and is not modified.
void SaveGroupFile(const QString &path, const std::vector<TArmy *> &armies, const TStatusSink &status = {});

// The armies of a group, in the order given: equal group names, case and all.
std::vector<TArmy *> GroupMembers(const std::vector<TArmy *> &openArmies, const QString &groupName);

// "<n> dice lost."
QString LostDiceMessage(int lost);
