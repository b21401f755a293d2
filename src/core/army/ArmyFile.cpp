#include "army/ArmyFile.h"

#include "dice/Catalogue.h"
#include "io/FileAccess.h"
#include "io/TaggedStream.h"

#include <QFileInfo>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr qint32 kFirstDragonRace = 25;

// A stored number with a fixed range: anything outside would index past the names and
// the terrain items, so it is refused where it stands.
int ReadRanged(TTaggedReader &reader, const QString &what, int low, int high)
{
    const qint64 offset = reader.Position();
    const qint32 value = reader.ReadInteger();
    if (value < low || value > high)
        reader.Fail(u"%1 %2 is out of range"_s.arg(what, QString::number(value)), offset);
    return value;
}

// The list of a group file after its version: records, or paths for the earlier format.
// Versions up to 1 list paths, 2 lists records; a later one may hold what a save would
// drop without a word.
qint32 ReadGroupVersion(TTaggedReader &reader)
{
    const qint64 at = reader.Position();
    const qint32 version = reader.ReadInteger();
    if (version > TGroupFileRecord::kVersion) {
        reader.Fail(u"Group file version %1 is newer than %2"_s.arg(QString::number(version),
                                                                    QString::number(TGroupFileRecord::kVersion)),
                    at);
    }
    return version;
}

void ReadGroupContents(TTaggedReader &reader, qint32 version, const std::function<void()> &record,
                       const std::function<void(const QString &)> &path)
{
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        if (version > 1)
            record();
        else
            path(reader.ReadString());
    }
    reader.ReadListEnd();
}

} // namespace

// ---------------------------------------------------------------------------------
// The records as they stand

TArmyRecord TArmyRecord::Read(TTaggedReader &reader)
{
    TArmyRecord record;
    const qint64 versionAt = reader.Position();
    record.Version = reader.ReadInteger();
    // Versions below 2 all have the first layout. A later version than ours may hold
    // what this program would drop without a word on the next save.
    if (record.Version > TArmy::kRecordVersion) {
        reader.Fail(u"Army record version %1 is newer than %2"_s.arg(QString::number(record.Version),
                                                                     QString::number(TArmy::kRecordVersion)),
                    versionAt);
    }
    record.Name = reader.ReadString();
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        TArmyDieReference die;
        die.Race = reader.ReadInteger();
        die.Die = reader.ReadInteger();
        record.Dice.push_back(die);
    }
    reader.ReadListEnd();
    record.Notes = reader.ReadString();
    if (record.Version < 2)
        return record;

    record.Type = ArmyType(ReadRanged(reader, u"Army type"_s, 0, VocabularyCount<ArmyType>() - 1));
    if (record.Version == 2) {
        for (int i = 0; i < kDragonSlots; ++i)
            record.DragonSlots.push_back(reader.ReadInteger());
    }
    if (record.Version >= 4) {
        // Written through the 64-bit form above 2147483647, so that every size the
        // model holds comes back.
        const qint64 sizeAt = reader.Position();
        const qint64 size = reader.ReadInt64();
        if (size < 0 || size > qint64(std::numeric_limits<quint32>::max()))
            reader.Fail(u"Battle size %1 is out of range"_s.arg(size), sizeAt);
        record.BattleSize = quint32(size);
    }
    record.MajorTerrain = ReadRanged(reader, u"Major terrain"_s, 0, TArmy::kMajorTerrainCount - 1);
    for (int &minor : record.MinorTerrains)
        minor = ReadRanged(reader, u"Minor terrain"_s, 0, TArmy::kNoMinorTerrain);
    record.GroupName = reader.ReadString();
    return record;
}

void TArmyRecord::Write(TTaggedWriter &writer) const
{
    writer.WriteInteger(TArmy::kRecordVersion);
    writer.WriteString(Name);
    writer.WriteListBegin();
    for (const TArmyDieReference &die : AllDice()) {
        writer.WriteInteger(die.Race);
        writer.WriteInteger(die.Die);
    }
    writer.WriteListEnd();
    writer.WriteString(Notes);
    writer.WriteInteger(qint32(Type));
    writer.WriteInt64(BattleSize);
    writer.WriteInteger(MajorTerrain);
    for (int minor : MinorTerrains)
        writer.WriteInteger(minor);
    writer.WriteString(GroupName);
}

std::vector<TArmyDieReference> TArmyRecord::AllDice() const
{
    std::vector<TArmyDieReference> dice = Dice;
    for (qint32 slot : DragonSlots) {
        if (const std::optional<TArmyDieReference> dragon = DragonOfSlot(slot))
            dice.push_back(*dragon);
    }
    return dice;
}

std::optional<TArmyDieReference> DragonOfSlot(qint32 slot)
{
    if (slot < 0 || slot >= 10)
        return std::nullopt;
    return TArmyDieReference{kFirstDragonRace + slot / 2, 11 - slot % 2};
}

TArmyRecord RecordOf(const TArmy &army)
{
    TArmyRecord record;
    record.Name = army.Name();
    for (const TDie *die : army.Dice())
        record.Dice.push_back({die->Race().ID, die->ID()});
    record.Notes = army.Notes();
    record.Type = army.Type();
    record.BattleSize = army.BattleSize();
    record.MajorTerrain = army.MajorTerrain();
    for (int k = 1; k <= int(record.MinorTerrains.size()); ++k)
        record.MinorTerrains[size_t(k - 1)] = army.GetMinorTerrain(k);
    record.GroupName = army.GroupName();
    return record;
}

TGroupFileRecord TGroupFileRecord::Read(TTaggedReader &reader)
{
    TGroupFileRecord group;
    group.Version = ReadGroupVersion(reader);
    ReadGroupContents(
        reader, group.Version, [&] { group.Armies.push_back(TArmyRecord::Read(reader)); },
        [&](const QString &path) { group.ArmyPaths << path; });
    return group;
}

void TGroupFileRecord::Write(TTaggedWriter &writer) const
{
    writer.WriteInteger(IsPathList() ? Version : kVersion);
    writer.WriteListBegin();
    if (IsPathList()) {
        for (const QString &path : ArmyPaths)
            writer.WriteString(path);
    } else {
        for (const TArmyRecord &army : Armies)
            army.Write(writer);
    }
    writer.WriteListEnd();
}

// ---------------------------------------------------------------------------------
// Armies of the program

QString ResolveGroupPath(const QString &written, const QString &groupPath)
{
    if (!written.startsWith(u".\\"_s))
        return written;
    QString folder = QFileInfo(groupPath).absolutePath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    // These lists were written where folders are separated by backslashes; below the
    // group's own folder they are folders here too.
    QString below = written.mid(2);
    below.replace(u'\\', u'/');
    return folder + below;
}

void ReadGroupStream(TTaggedReader &reader, TCatalogue &catalogue, const QString &groupPath, TGroupFile &group)
{
    group.Version = ReadGroupVersion(reader);
    ReadGroupContents(
        reader, group.Version,
        [&] {
            auto army = std::make_unique<TArmy>(catalogue);
            const int lost = army->ReadRecord(reader);
            army->GroupFileName = groupPath;
            group.Armies.push_back(std::move(army));
            group.LostByArmy.push_back(lost);
            group.Lost += lost;
        },
        [&](const QString &path) { group.ArmyPaths << ResolveGroupPath(path, groupPath); });
}

void WriteGroupStream(TTaggedWriter &writer, const std::vector<const TArmy *> &armies,
                      const std::function<void(const TArmy &)> &writing)
{
    writer.WriteInteger(TGroupFileRecord::kVersion);
    writer.WriteListBegin();
    for (const TArmy *army : armies) {
        if (writing)
            writing(*army);
        army->WriteRecord(writer);
    }
    writer.WriteListEnd();
}

std::unique_ptr<TArmy> OpenArmyFile(const QString &path, TCatalogue &catalogue, int &lost)
{
    auto army = std::make_unique<TArmy>(catalogue);
    ReadFileWith(path, [&](QIODevice &file) {
        TTaggedReader reader(file);
        lost = army->ReadRecord(reader);
    });
    army->FileName = path;
    return army;
}

void OpenGroupFile(const QString &path, TCatalogue &catalogue, TGroupFile &group, const TStatusSink &status)
{
    ReadFileWith(path, [&](QIODevice &file) {
        TTaggedReader reader(file);
        ReadGroupStream(reader, catalogue, path, group);
    });
    for (const QString &armyPath : group.ArmyPaths) {
        if (status)
            status(u"Loading "_s + armyPath + u"..."_s);
        int lost = 0;
        try {
            group.Armies.push_back(OpenArmyFile(armyPath, catalogue, lost));
        } catch (const TFileFormatError &failure) {
            // The message alone would not say which of the group's files is damaged.
            throw TFileFormatError(armyPath + u": "_s + failure.Message());
        }
        group.LostByArmy.push_back(lost);
        group.Lost += lost;
    }
}

void SaveArmyFile(TArmy &army, const QString &path)
{
    SaveFileWith(path, [&](QIODevice &file) {
        TTaggedWriter writer(file);
        army.WriteRecord(writer);
        writer.Flush();
    });
    // Only now: an army whose save failed must still ask to be saved.
    army.FileName = path;
    army.Modified = false;
}

void SaveGroupFile(const QString &path, const std::vector<TArmy *> &armies, const TStatusSink &status)
{
    SaveFileWith(path, [&](QIODevice &file) {
        TTaggedWriter writer(file);
        WriteGroupStream(writer, {armies.begin(), armies.end()}, [&](const TArmy &army) {
            if (status)
                status(u"Writing army data for "_s + army.Name() + u"..."_s);
        });
        writer.Flush();
    });
    for (TArmy *army : armies) {
        army->GroupFileName = path;
        army->Modified = false;
    }
}

std::vector<TArmy *> GroupMembers(const std::vector<TArmy *> &openArmies, const QString &groupName)
{
    std::vector<TArmy *> members;
    for (TArmy *army : openArmies) {
        if (army->GroupName() == groupName)
            members.push_back(army);
    }
    return members;
}

QString LostDiceMessage(int lost)
{
    return QString::number(lost) + u" dice lost."_s;
}
