#include "ArmyJson.h"

#include "JsonFields.h"
#include "dice/Catalogue.h"

#include <QJsonArray>

#include <cmath>
#include <functional>
#include <limits>

using namespace Qt::StringLiterals;
using namespace JsonFields;

namespace {

// A value given by name or by its stored number.
int NamedValue(const QJsonValue &value, const QString &path, int count, const std::function<QString(int)> &name)
{
    if (value.isString()) {
        for (int i = 0; i < count; ++i) {
            if (name(i) == value.toString())
                return i;
        }
    } else if (const double number = value.toDouble();
               value.isDouble() && number >= 0 && number < count && number == std::trunc(number)) {
        return int(number);
    }
    Invalid(path, u"\"%1\" to \"%2\" or a number from 0 to %3 is expected"_s.arg(name(0), name(count - 1),
                                                                                 QString::number(count - 1)));
}

QString TypeName(int type)
{
    return NameOf(ArmyType(type));
}

void AddArmy(TJsonOut &json, const TArmyRecord &army, const TCatalogue &names)
{
    json.Add(u"version"_s, army.Version);
    json.Add(u"name"_s, army.Name);
    TJsonOut &dice = json.Add(u"dice"_s, TJsonOut::Array());
    for (const TArmyDieReference &reference : army.Dice) {
        TJsonOut &die = dice.Append(TJsonOut::Object());
        die.Add(u"race"_s, reference.Race);
        die.Add(u"die"_s, reference.Die);
        if (const TRace *race = names.FindRaceByID(reference.Race)) {
            if (const TDie *found = race->DieByID(reference.Die))
                die.Add(u"name"_s, found->ListText());
        }
    }
    if (!army.DragonSlots.empty()) {
        TJsonOut &dragonSlots = json.Add(u"dragonSlots"_s, TJsonOut::Array());
        for (qint32 slot : army.DragonSlots)
            dragonSlots.Append(slot);
    }
    json.Add(u"notes"_s, army.Notes);
    json.Add(u"type"_s, NameOf(army.Type));
    json.Add(u"battleSize"_s, qint64(army.BattleSize));
    json.Add(u"majorTerrain"_s, MajorTerrainName(army.MajorTerrain));
    TJsonOut &minors = json.Add(u"minorTerrains"_s, TJsonOut::Array());
    for (int minor : army.MinorTerrains)
        minors.Append(MinorTerrainName(minor));
    json.Add(u"group"_s, army.GroupName);
}

TArmyRecord ArmyBodyFromJson(TMembers &members)
{
    TArmyRecord army;
    army.Name = members.Text(u"name"_s, army.Name);
    if (members.Has(u"dice"_s)) {
        const QJsonArray dice = members.List(u"dice"_s);
        for (qsizetype i = 0; i < dice.size(); ++i) {
            TMembers die(dice[i], At(At(members.Path(), u"dice"_s), i));
            army.Dice.push_back({die.Integer32(u"race"_s), die.Integer32(u"die"_s)});
            die.PassOver(u"name"_s);
            die.CheckAllUsed();
        }
    }
    if (members.Has(u"dragonSlots"_s)) {
        // Only the version-2 record had them, always five.
        const QString slotsPath = At(members.Path(), u"dragonSlots"_s);
        if (members.Has(u"version"_s) && members.Integer(u"version"_s, kMin32, kMax32) != 2)
            Invalid(slotsPath, u"only a version-2 army has dragon slots"_s);
        const QJsonArray dragonSlots = members.List(u"dragonSlots"_s);
        if (dragonSlots.size() != TArmyRecord::kDragonSlots)
            Invalid(slotsPath, u"five slots are expected"_s);
        for (qsizetype i = 0; i < dragonSlots.size(); ++i) {
            const double slot = dragonSlots[i].toDouble();
            if (!dragonSlots[i].isDouble() || slot < kMin32 || slot > kMax32 || slot != std::trunc(slot))
                Invalid(At(At(members.Path(), u"dragonSlots"_s), i), u"a whole number is expected"_s);
            army.DragonSlots.push_back(qint32(slot));
        }
    }
    army.Notes = members.Text(u"notes"_s, army.Notes);
    if (members.Has(u"type"_s)) {
        army.Type = ArmyType(
            NamedValue(members.Value(u"type"_s), At(members.Path(), u"type"_s), VocabularyCount<ArmyType>(), TypeName));
    }
    if (members.Has(u"battleSize"_s))
        army.BattleSize = quint32(members.Integer(u"battleSize"_s, 0, std::numeric_limits<quint32>::max()));
    if (members.Has(u"majorTerrain"_s)) {
        army.MajorTerrain = NamedValue(members.Value(u"majorTerrain"_s), At(members.Path(), u"majorTerrain"_s),
                                       TArmy::kMajorTerrainCount, MajorTerrainName);
    }
    if (members.Has(u"minorTerrains"_s)) {
        const QString path = At(members.Path(), u"minorTerrains"_s);
        const QJsonArray minors = members.List(u"minorTerrains"_s);
        if (minors.size() != qsizetype(army.MinorTerrains.size()))
            Invalid(path, u"four minor terrains are expected"_s);
        for (qsizetype i = 0; i < minors.size(); ++i)
            army.MinorTerrains[size_t(i)] =
                NamedValue(minors[i], At(path, i), TArmy::kNoMinorTerrain + 1, MinorTerrainName);
    }
    army.GroupName = members.Text(u"group"_s, army.GroupName);
    return army;
}

} // namespace

TJsonOut ArmyToJson(const TArmyRecord &army, const TCatalogue &names)
{
    TJsonOut json = TJsonOut::Object();
    json.Add(u"kind"_s, u"army"_s);
    AddArmy(json, army, names);
    return json;
}

TArmyRecord ArmyFromJson(const QJsonObject &json)
{
    TMembers members(json, QString());
    // Every version below 2 has the first layout, as the program reads it.
    ReadHeader(members, u"army"_s, kMin32, TArmy::kRecordVersion);
    TArmyRecord army = ArmyBodyFromJson(members);
    members.CheckAllUsed();
    return army;
}

TJsonOut GroupToJson(const TGroupFileRecord &group, const TCatalogue &names)
{
    TJsonOut json = TJsonOut::Object();
    json.Add(u"kind"_s, u"group"_s);
    json.Add(u"version"_s, group.Version);
    if (group.IsPathList()) {
        TJsonOut &paths = json.Add(u"paths"_s, TJsonOut::Array());
        for (const QString &path : group.ArmyPaths)
            paths.Append(path);
    } else {
        TJsonOut &armies = json.Add(u"armies"_s, TJsonOut::Array());
        for (const TArmyRecord &army : group.Armies)
            AddArmy(armies.Append(TJsonOut::Object()), army, names);
    }
    return json;
}

TGroupFileRecord GroupFromJson(const QJsonObject &json)
{
    TMembers members(json, QString());
    if (members.Has(u"kind"_s) && members.Text(u"kind"_s) != u"group")
        Invalid(u"kind"_s, ThisIsNotA(u"group"_s));
    if (members.Has(u"armies"_s) == members.Has(u"paths"_s))
        throw TKrException(u"give either \"armies\" or \"paths\""_s);
    TGroupFileRecord group;
    if (members.Has(u"paths"_s)) {
        // The earlier format keeps its version: 1 or less.
        group.Version = members.Has(u"version"_s) ? qint32(members.Integer(u"version"_s, kMin32, 1)) : 1;
        const QJsonArray paths = members.List(u"paths"_s);
        for (qsizetype i = 0; i < paths.size(); ++i) {
            if (!paths[i].isString())
                Invalid(At(u"paths"_s, i), u"a text is expected"_s);
            group.ArmyPaths << paths[i].toString();
        }
    } else {
        if (members.Has(u"version"_s))
            members.Integer(u"version"_s, 2, TGroupFileRecord::kVersion);
        const QJsonArray armies = members.List(u"armies"_s);
        for (qsizetype i = 0; i < armies.size(); ++i) {
            TMembers army(armies[i], At(u"armies"_s, i));
            if (army.Has(u"version"_s))
                army.Integer(u"version"_s, kMin32, TArmy::kRecordVersion);
            group.Armies.push_back(ArmyBodyFromJson(army));
            army.CheckAllUsed();
        }
    }
    members.CheckAllUsed();
    return group;
}
