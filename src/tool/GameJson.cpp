#include "GameJson.h"

#include "JsonFields.h"
#include "army/ArmyData.h"
#include "dice/Catalogue.h"
#include "io/MemoryStream.h"
#include "io/TaggedStream.h"

#include <cmath>
#include <functional>

using namespace Qt::StringLiterals;
using namespace JsonFields;

namespace {

const QString kNone = u"(none)"_s;

QString MinorName(int index)
{
    return index >= 0 && index < TTerrain::kMinorCount ? MinorTerrainName(index) : QString();
}

// A terrain by its name, "(none)" for the value that stands for none, and any other
// value by its number, which is data of the file even when no terrain has it.
TJsonOut TerrainOut(qint32 index, qint32 none, const std::function<QString(int)> &name)
{
    if (index == none)
        return kNone;
    const QString text = name(index);
    return text.isEmpty() ? TJsonOut(qint64(index)) : TJsonOut(text);
}

qint32 TerrainIn(const QJsonValue &value, const QString &path, qint32 none, int count,
                 const std::function<QString(int)> &name)
{
    if (value.isString()) {
        if (value.toString() == kNone)
            return none;
        for (int i = 0; i < count; ++i) {
            if (name(i) == value.toString())
                return i;
        }
    } else if (const double number = value.toDouble();
               value.isDouble() && number >= kMin32 && number <= kMax32 && number == std::trunc(number)) {
        return qint32(number);
    }
    Invalid(path, u"a terrain name, \"(none)\" or a whole number is expected"_s);
}

TJsonOut DurationOut(qint32 duration)
{
    if (duration >= 0 && duration < kSpellDurationCount)
        return NameOf(SpellDuration(duration));
    return qint64(duration);
}

qint32 DurationIn(const QJsonValue &value, const QString &path)
{
    if (value.isString()) {
        if (const auto duration = FromName<SpellDuration>(value.toString()))
            return qint32(*duration);
    } else if (const double number = value.toDouble();
               value.isDouble() && number >= kMin32 && number <= kMax32 && number == std::trunc(number)) {
        return qint32(number);
    }
    Invalid(path, u"a duration from \"Start of next turn\" to \"Instant\" or its number is expected"_s);
}

TJsonOut DieOut(const TGameDieRecord &die, bool withPlayer, const TCatalogue &names)
{
    TJsonOut json = TJsonOut::Object();
    json.Add(u"id"_s, die.ID);
    if (withPlayer)
        json.Add(u"player"_s, die.Player);
    json.Add(u"race"_s, die.Race);
    json.Add(u"die"_s, die.Die);
    json.Add(u"face"_s, die.Face);
    if (const TRace *race = names.FindRaceByID(die.Race)) {
        if (const TDie *found = race->DieByID(die.Die))
            json.Add(u"name"_s, race->Name + u' ' + found->Name);
    }
    return json;
}

TJsonOut DiceOut(const std::vector<TGameDieRecord> &dice, bool withPlayer, const TCatalogue &names)
{
    TJsonOut json = TJsonOut::Array();
    for (const TGameDieRecord &die : dice)
        json.Append(DieOut(die, withPlayer, names));
    return json;
}

TJsonOut SpellsOut(const std::vector<TGameSpellRecord> &spells)
{
    TJsonOut json = TJsonOut::Array();
    for (const TGameSpellRecord &spell : spells) {
        TJsonOut &out = json.Append(TJsonOut::Object());
        out.Add(u"name"_s, spell.Name);
        out.Add(u"duration"_s, DurationOut(spell.Duration));
        out.Add(u"casterRace"_s, spell.CasterRace);
        out.Add(u"round"_s, spell.Round);
        TJsonOut &targets = out.Add(u"targets"_s, TJsonOut::Array());
        for (qint32 id : spell.Targets)
            targets.Append(id);
    }
    return json;
}

// Reading back: each list item is an object whose keys are all checked.
void ForEachIn(const QJsonArray &list, const QString &path, const std::function<void(TMembers &)> &item)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        TMembers element(list[i], At(path, i));
        item(element);
        element.CheckAllUsed();
    }
}

void ForEach(TMembers &members, const QString &key, const std::function<void(TMembers &)> &item)
{
    if (members.Has(key))
        ForEachIn(members.List(key), At(members.Path(), key), item);
}

std::vector<TGameDieRecord> DiceIn(TMembers &members, const QString &key, qint32 place, qint32 player)
{
    std::vector<TGameDieRecord> dice;
    ForEach(members, key, [&](TMembers &die) {
        TGameDieRecord record;
        record.ID = die.Integer32(u"id"_s);
        record.Place = place;
        record.Player = player > 0 ? player : die.Integer32(u"player"_s);
        record.Race = die.Integer32(u"race"_s);
        record.Die = die.Integer32(u"die"_s);
        record.Face = die.Integer32(u"face"_s, record.Face);
        die.PassOver(u"name"_s);
        dice.push_back(record);
    });
    return dice;
}

// A player's spells last, unless their record says otherwise, as long as the list they
// stand in says.
std::vector<TGameSpellRecord> SpellsIn(const QJsonArray &list, const QString &path, qint32 duration)
{
    std::vector<TGameSpellRecord> spells;
    ForEachIn(list, path, [&](TMembers &spell) {
        TGameSpellRecord record;
        record.Duration = duration;
        record.Name = spell.Text(u"name"_s, QString());
        if (spell.Has(u"duration"_s))
            record.Duration = DurationIn(spell.Value(u"duration"_s), At(spell.Path(), u"duration"_s));
        record.CasterRace = spell.Integer32(u"casterRace"_s, -1);
        record.Round = spell.Integer32(u"round"_s, 0);
        if (spell.Has(u"targets"_s)) {
            const QJsonArray targets = spell.List(u"targets"_s);
            for (qsizetype i = 0; i < targets.size(); ++i) {
                const double id = targets[i].toDouble();
                if (!targets[i].isDouble() || id < kMin32 || id > kMax32 || id != std::trunc(id))
                    Invalid(At(At(spell.Path(), u"targets"_s), i), u"a whole number is expected"_s);
                record.Targets.push_back(qint32(id));
            }
        }
        spells.push_back(std::move(record));
    });
    return spells;
}

} // namespace

TJsonOut GameToJson(const TGameRecord &game, const TCatalogue &names)
{
    TJsonOut json = TJsonOut::Object();
    json.Add(u"kind"_s, u"game"_s);
    json.Add(u"version"_s, game.Version);
    json.Add(u"name"_s, game.Name);
    json.Add(u"ftpName"_s, game.FtpName);
    json.Add(u"controller"_s, game.Controller);
    json.Add(u"nextTargetId"_s, game.NextTargetID);
    json.Add(u"round"_s, game.Round);
    TJsonOut &order = json.Add(u"turnOrder"_s, TJsonOut::Array());
    for (qint32 player : game.TurnOrder)
        order.Append(player);
    json.Add(u"turnPosition"_s, game.TurnPosition);
    json.Add(u"phase"_s, game.Phase);
    json.Add(u"step"_s, game.Step);
    TJsonOut &log = json.Add(u"log"_s, TJsonOut::Array());
    for (const QString &line : game.Log)
        log.Append(line);
    TJsonOut &places = json.Add(u"places"_s, TJsonOut::Array());
    for (const TGamePlaceRecord &place : game.Places) {
        TJsonOut &out = places.Append(TJsonOut::Object());
        out.Add(u"id"_s, place.ID);
        out.Add(u"index"_s, place.Index);
        out.Add(u"majorTerrain"_s, TerrainOut(place.MajorTerrain, -1, MajorTerrainName));
        out.Add(u"face"_s, place.Face);
        out.Add(u"dragons"_s, DiceOut(place.Dragons, true, names));
        TJsonOut &armies = out.Add(u"armies"_s, TJsonOut::Array());
        for (const TGameArmyRecord &army : place.Armies) {
            TJsonOut &armyOut = armies.Append(TJsonOut::Object());
            armyOut.Add(u"id"_s, army.ID);
            armyOut.Add(u"player"_s, army.Player);
            armyOut.Add(u"minorTerrain"_s, TerrainOut(army.MinorTerrain, -1, MinorName));
            armyOut.Add(u"minorTerrainFace"_s, army.MinorTerrainFace);
            armyOut.Add(u"ownsTerrain"_s, army.OwnsTerrain);
            armyOut.Add(u"dice"_s, DiceOut(army.Dice, false, names));
        }
    }
    json.Add(u"marchTerrain"_s, game.MarchTerrain);
    json.Add(u"gameEffects"_s, SpellsOut(game.GameEffects));
    TJsonOut &players = json.Add(u"players"_s, TJsonOut::Array());
    for (const TGamePlayerRecord &player : game.Players) {
        TJsonOut &out = players.Append(TJsonOut::Object());
        out.Add(u"number"_s, player.Number);
        out.Add(u"name"_s, player.Name);
        out.Add(u"email"_s, player.Email);
        TJsonOut &minors = out.Add(u"minorTerrains"_s, TJsonOut::Array());
        for (qint32 minor : player.MinorTerrains)
            minors.Append(TerrainOut(minor, TPlayer::kNoMinorTerrain, MinorName));
        TJsonOut &spells = out.Add(u"spells"_s, TJsonOut::Array());
        for (const auto &list : player.Spells)
            spells.Append(SpellsOut(list));
    }
    json.Add(u"ftpGame"_s, game.FtpGame);
    json.Add(u"staggeredStart"_s, game.StaggeredStart);
    json.Add(u"utility"_s, game.Utility);
    return json;
}

TGameRecord GameFromJson(const QJsonObject &json)
{
    TMembers members(json, QString());
    ReadHeader(members, u"game"_s, kMin32, TGameRecord::kVersion);
    TGameRecord game;
    game.Name = members.Text(u"name"_s, game.Name);
    game.FtpName = members.Text(u"ftpName"_s, game.FtpName);
    game.Controller = members.Integer32(u"controller"_s, game.Controller);
    game.NextTargetID = members.Integer32(u"nextTargetId"_s, game.NextTargetID);
    game.Round = members.Integer32(u"round"_s, game.Round);
    const QJsonArray order = members.List(u"turnOrder"_s);
    for (qsizetype i = 0; i < order.size(); ++i) {
        const double player = order[i].toDouble();
        if (!order[i].isDouble() || player < kMin32 || player > kMax32 || player != std::trunc(player))
            Invalid(At(u"turnOrder"_s, i), u"a whole number is expected"_s);
        game.TurnOrder.push_back(qint32(player));
    }
    game.TurnPosition = members.Integer32(u"turnPosition"_s, game.TurnPosition);
    game.Phase = members.Integer32(u"phase"_s, game.Phase);
    game.Step = members.Integer32(u"step"_s, game.Step);
    if (members.Has(u"log"_s)) {
        const QJsonArray log = members.List(u"log"_s);
        for (qsizetype i = 0; i < log.size(); ++i) {
            if (!log[i].isString())
                Invalid(At(u"log"_s, i), u"a text is expected"_s);
            game.Log.append(log[i].toString());
        }
    }
    qint32 index = 0;
    ForEach(members, u"places"_s, [&](TMembers &place) {
        TGamePlaceRecord record;
        record.ID = place.Integer32(u"id"_s);
        record.Index = place.Integer32(u"index"_s, index);
        if (place.Has(u"majorTerrain"_s)) {
            record.MajorTerrain = TerrainIn(place.Value(u"majorTerrain"_s), At(place.Path(), u"majorTerrain"_s), -1,
                                            TTerrain::kMajorCount, MajorTerrainName);
        }
        record.Face = place.Integer32(u"face"_s, record.Face);
        record.Dragons = DiceIn(place, u"dragons"_s, record.Index, 0);
        qint32 player = 1;
        ForEach(place, u"armies"_s, [&](TMembers &army) {
            TGameArmyRecord armyRecord;
            armyRecord.ID = army.Integer32(u"id"_s);
            armyRecord.Place = record.Index;
            armyRecord.Player = army.Integer32(u"player"_s, player);
            if (army.Has(u"minorTerrain"_s)) {
                armyRecord.MinorTerrain = TerrainIn(army.Value(u"minorTerrain"_s), At(army.Path(), u"minorTerrain"_s),
                                                    -1, TTerrain::kMinorCount, MinorName);
            }
            armyRecord.MinorTerrainFace = army.Integer32(u"minorTerrainFace"_s, armyRecord.MinorTerrainFace);
            armyRecord.OwnsTerrain = army.Boolean(u"ownsTerrain"_s, false);
            armyRecord.Dice = DiceIn(army, u"dice"_s, record.Index, armyRecord.Player);
            record.Armies.push_back(std::move(armyRecord));
            ++player;
        });
        game.Places.push_back(std::move(record));
        ++index;
    });
    game.MarchTerrain = members.Integer32(u"marchTerrain"_s, game.MarchTerrain);
    if (members.Has(u"gameEffects"_s))
        game.GameEffects = SpellsIn(members.List(u"gameEffects"_s), u"gameEffects"_s,
                                    qint32(SpellDuration::Permanent));
    qint32 number = 1;
    ForEach(members, u"players"_s, [&](TMembers &player) {
        TGamePlayerRecord record;
        record.Number = player.Integer32(u"number"_s, number);
        record.Name = player.Text(u"name"_s, u"Player "_s + QString::number(number));
        record.Email = player.Text(u"email"_s, QString());
        if (player.Has(u"minorTerrains"_s)) {
            const QString path = At(player.Path(), u"minorTerrains"_s);
            const QJsonArray minors = player.List(u"minorTerrains"_s);
            if (minors.size() != TPlayer::kMinorSlots)
                Invalid(path, u"four minor terrains are expected"_s);
            for (qsizetype i = 0; i < minors.size(); ++i) {
                record.MinorTerrains[size_t(i)] =
                    TerrainIn(minors[i], At(path, i), TPlayer::kNoMinorTerrain, TTerrain::kMinorCount, MinorName);
            }
        }
        if (player.Has(u"spells"_s)) {
            const QString path = At(player.Path(), u"spells"_s);
            const QJsonArray lists = player.List(u"spells"_s);
            if (lists.size() != kSpellDurationCount)
                Invalid(path, u"six lists of spells, one per duration, are expected"_s);
            for (qsizetype d = 0; d < lists.size(); ++d) {
                if (!lists[d].isArray())
                    Invalid(At(path, d), u"a list is expected"_s);
                record.Spells[size_t(d)] = SpellsIn(lists[d].toArray(), At(path, d), qint32(d));
            }
        }
        game.Players.push_back(std::move(record));
        ++number;
    });
    // The file has no counts of its own: the number of players decides how much is read.
    const int count = game.PlayerCount();
    if (game.Places.size() != size_t(GamePlace::FixedCount + count))
        Invalid(u"places"_s, u"%1 places are expected for %2 players"_s.arg(GamePlace::FixedCount + count).arg(count));
    for (size_t i = 0; i < game.Places.size(); ++i) {
        if (game.Places[i].Armies.size() != size_t(count))
            Invalid(At(At(u"places"_s, qsizetype(i)), u"armies"_s), u"an army per player is expected"_s);
    }
    if (game.TurnOrder.size() != size_t(count))
        Invalid(u"turnOrder"_s, u"a position per player is expected"_s);
    game.FtpGame = members.Boolean(u"ftpGame"_s, false);
    game.StaggeredStart = members.Boolean(u"staggeredStart"_s, false);
    game.Utility = members.Boolean(u"utility"_s, false);
    members.CheckAllUsed();

    // The program must be able to open what is built: every check of the reader holds.
    const QByteArray bytes = WriteToBytes([&](TTaggedWriter &writer) { game.Write(writer); });
    try {
        ReadFromBytes(bytes, [](TTaggedReader &reader) { TGameRecord::Read(reader); });
    } catch (const TKrException &failure) {
        throw TKrException(u"the game would not open: "_s + failure.Message());
    }
    return game;
}
