#include "CatalogueJson.h"
#include "JsonFields.h"

#include "dice/Catalogue.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

using JsonFields::At;
using JsonFields::Invalid;

// The members of one object of the catalogue JSON: the shared reader, and the names of
// the catalogue's vocabularies.
class TFields : public JsonFields::TMembers
{
public:
    using TMembers::TMembers;
    using TMembers::Boolean;

    bool Boolean(const QString &key)
    {
        const QJsonValue value = Value(key);
        if (!value.isBool())
            Invalid(At(Path(), key), u"true or false is expected"_s);
        return value.toBool();
    }

    template <typename E>
    E Vocabulary(const QString &key)
    {
        return ParseVocabulary<E>(Value(key), At(Path(), key));
    }

    template <typename E, typename Set>
    Set VocabularySet(const QString &key)
    {
        Set set;
        const QJsonArray names = List(key);
        for (qsizetype i = 0; i < names.size(); ++i)
            set.Include(ParseVocabulary<E>(names[i], At(At(Path(), key), i)));
        return set;
    }

    template <typename E>
    static E ParseVocabulary(const QJsonValue &value, const QString &path)
    {
        if (value.isString()) {
            if (const std::optional<E> found = FromName<E>(value.toString()))
                return *found;
            Invalid(path, u"\"%1\" is not one of: %2"_s.arg(value.toString(), AllNames<E>()));
        }
        // Range first: a double beyond 64 bits does not convert.
        const double number = value.toDouble(-1);
        if (value.isDouble() && number == std::trunc(number) && number >= 0 && number < VocabularyCount<E>() &&
            IsInVocabulary<E>(qint64(number)))
            return E(qint64(number));
        Invalid(path, u"expected one of: %1"_s.arg(AllNames<E>()));
    }

private:
    template <typename E>
    static QString AllNames()
    {
        QStringList names;
        for (int i = 0; i < VocabularyCount<E>(); ++i)
            names << u'"' + NameOf(E(i)) + u'"';
        return names.join(u", "_s);
    }
};

template <typename E, typename Set>
TJsonOut NamesOf(Set set)
{
    TJsonOut names = TJsonOut::Array();
    for (int i = 0; i < VocabularyCount<E>(); ++i) {
        if (set.Contains(E(i)))
            names.Append(NameOf(E(i)));
    }
    return names;
}

TJsonOut FaceToJson(const TIconTable &icons, qint32 symbol, int count)
{
    const TIconDescriptor *icon = icons.GetIcon(symbol);
    if (icon && !icon->Name.isEmpty() && icons.IconByName(icon->Name) == symbol)
        return TIconTable::FaceText(icon, count);
    TJsonOut face = TJsonOut::Object();
    face.Add(u"symbol"_s, symbol);
    face.Add(u"count"_s, count);
    return face;
}

void FaceFromJson(const QJsonValue &value, const QString &path, const TIconTable &icons, TDie &die, int face)
{
    if (value.isString()) {
        const QString text = value.toString();
        const qsizetype blank = text.indexOf(u' ');
        bool ok = false;
        const int count = blank > 0 ? text.left(blank).toInt(&ok) : 0;
        if (!ok || count < 0 || count > 65535)
            Invalid(path, u"\"%1\" is not a count, a blank and a symbol name"_s.arg(text));
        const QString name = text.mid(blank + 1);
        const qint32 symbol = icons.IconByName(name);
        if (symbol < 0)
            Invalid(path, u"there is no face symbol named \"%1\" (is the icon file at hand?)"_s.arg(name));
        die.SetFace(face, symbol, count);
        return;
    }
    TFields fields(value, path);
    const qint32 symbol = fields.Integer32(u"symbol"_s);
    const auto count = int(fields.Integer(u"count"_s, 0, 65535));
    fields.CheckAllUsed();
    die.SetFace(face, symbol, count);
}

TJsonOut DieToJson(const TIconTable &icons, const TDie &die)
{
    TJsonOut json = TJsonOut::Object();
    json.Add(u"id"_s, die.ID());
    json.Add(u"name"_s, die.Name);
    json.Add(u"health"_s, die.Health());
    json.Add(u"profession"_s, NameOf(die.GetProfession()));
    json.Add(u"ultraRare"_s, die.UltraRare);
    TJsonOut &faces = json.Add(u"faces"_s, TJsonOut::Array());
    for (int face = 0; face < die.FaceCount(); ++face)
        faces.Append(FaceToJson(icons, die.FaceSymbol(face), die.FaceSymbolCount(face)));
    return json;
}

void DieFromJson(const QJsonValue &value, const QString &path, TRace &race)
{
    TFields fields(value, path);
    auto die = std::make_unique<TDie>(race, fields.Text(u"name"_s));
    die->SetHealth(int(fields.Integer(u"health"_s, 0, 255)));
    die->SetProfession(fields.Vocabulary<Profession>(u"profession"_s));
    if (fields.Has(u"ultraRare"_s))
        die->UltraRare = fields.Boolean(u"ultraRare"_s);
    const QJsonArray faces = fields.List(u"faces"_s);
    if (faces.size() > TDie::kMaxFaces)
        Invalid(At(path, u"faces"_s), u"a die has at most %1 faces"_s.arg(TDie::kMaxFaces));
    die->SetFaceCount(int(faces.size()));
    for (qsizetype i = 0; i < faces.size(); ++i)
        FaceFromJson(faces[i], At(At(path, u"faces"_s), i), race.Catalogue().Icons(), *die, int(i));
    if (fields.Has(u"id"_s)) {
        die->AssignID(fields.Integer32(u"id"_s));
        race.AppendDie(std::move(die));
    } else {
        race.AddDie(std::move(die));
    }
    fields.CheckAllUsed();
}

TJsonOut RaceToJson(const TRace &race)
{
    const TIconTable &icons = race.Catalogue().Icons();
    TJsonOut json = TJsonOut::Object();
    json.Add(u"id"_s, race.ID);
    json.Add(u"name"_s, race.Name);
    json.Add(u"type"_s, NameOf(race.Type));
    json.Add(u"colors"_s, NamesOf<MagicColor>(race.Colors));
    json.Add(u"homeTerrain"_s, NameOf(race.HomeTerrain));
    json.Add(u"movesAtHome"_s, NameOf(race.MovesAtHome));
    json.Add(u"canDoubleMagic"_s, race.CanDoubleMagic);
    json.Add(u"terrainMagic"_s, race.TerrainMagic);
    json.Add(u"armored"_s, race.Armored);
    json.Add(u"intangible"_s, race.Intangible);
    json.Add(u"reserveAbilities"_s, NamesOf<ResultType>(race.ReserveAbilities));
    json.Add(u"nextDieId"_s, race.NextDieID);
    TJsonOut &dice = json.Add(u"dice"_s, TJsonOut::Array());
    for (const auto &die : race.Dice())
        dice.Append(DieToJson(icons, *die));
    return json;
}

// Keys left out of a race take the values of a new race; dice without an "id" are
// numbered as the race form numbers new dice.
void RaceFromJson(const QJsonValue &value, const QString &path, TCatalogue &catalogue)
{
    TFields fields(value, path);
    auto race = std::make_unique<TRace>(catalogue, fields.Integer32(u"id"_s), fields.Text(u"name"_s));
    if (fields.Has(u"type"_s))
        race->Type = fields.Vocabulary<RaceType>(u"type"_s);
    if (fields.Has(u"colors"_s))
        race->Colors = fields.VocabularySet<MagicColor, TColorSet>(u"colors"_s);
    if (fields.Has(u"homeTerrain"_s))
        race->HomeTerrain = fields.Vocabulary<Land>(u"homeTerrain"_s);
    if (fields.Has(u"movesAtHome"_s))
        race->MovesAtHome = fields.Vocabulary<MoveEffect>(u"movesAtHome"_s);
    if (fields.Has(u"canDoubleMagic"_s))
        race->CanDoubleMagic = fields.Boolean(u"canDoubleMagic"_s);
    if (fields.Has(u"terrainMagic"_s))
        race->TerrainMagic = fields.Boolean(u"terrainMagic"_s);
    if (fields.Has(u"armored"_s))
        race->Armored = fields.Boolean(u"armored"_s);
    if (fields.Has(u"intangible"_s))
        race->Intangible = fields.Boolean(u"intangible"_s);
    if (fields.Has(u"reserveAbilities"_s))
        race->ReserveAbilities = fields.VocabularySet<ResultType, TResultSet>(u"reserveAbilities"_s);
    const bool explicitNext = fields.Has(u"nextDieId"_s);
    if (explicitNext)
        race->NextDieID = fields.Integer32(u"nextDieId"_s);
    if (fields.Has(u"dice"_s)) {
        const QJsonArray dice = fields.List(u"dice"_s);
        for (qsizetype i = 0; i < dice.size(); ++i)
            DieFromJson(dice[i], At(At(path, u"dice"_s), i), *race);
    }
    if (!explicitNext) {
        for (const auto &die : race->Dice())
            race->NextDieID = std::max(race->NextDieID, die->ID() + 1);
    }
    fields.CheckAllUsed();
    catalogue.AppendRace(std::move(race));
}

void CheckKind(const QJsonObject &json, const QString &kind)
{
    if (json.contains(u"kind"_s) && json.value(u"kind"_s).toString() != kind)
        Invalid(u"kind"_s, JsonFields::ThisIsNotA(kind));
}

} // namespace

TJsonOut RacesToJson(const TCatalogue &catalogue)
{
    TJsonOut json = TJsonOut::Object();
    json.Add(u"kind"_s, u"races"_s);
    json.Add(u"nextId"_s, catalogue.PeekNextID());
    TJsonOut &races = json.Add(u"races"_s, TJsonOut::Array());
    for (const auto &race : catalogue.Races())
        races.Append(RaceToJson(*race));
    return json;
}

void RacesFromJson(const QJsonObject &json, TCatalogue &catalogue)
{
    CheckKind(json, u"races"_s);
    TFields fields(json, QString());
    if (fields.Has(u"kind"_s))
        fields.Text(u"kind"_s);
    const QJsonArray races = fields.List(u"races"_s);
    for (qsizetype i = 0; i < races.size(); ++i)
        RaceFromJson(races[i], At(u"races"_s, i), catalogue);
    if (fields.Has(u"nextId"_s)) {
        catalogue.SetNextID(fields.Integer32(u"nextId"_s));
    } else {
        qint32 next = 0;
        for (const auto &race : catalogue.Races())
            next = std::max(next, race->ID + 1);
        catalogue.SetNextID(next);
    }
    fields.CheckAllUsed();
}

TJsonOut IconsToJson(const TIconTable &table)
{
    TJsonOut json = TJsonOut::Object();
    json.Add(u"kind"_s, u"icons"_s);
    TJsonOut &icons = json.Add(u"icons"_s, TJsonOut::Array());
    for (qint32 id = BasicIcon::Count; id < table.Count(); ++id) {
        const TIconDescriptor &icon = *table.GetIcon(id);
        TJsonOut &entry = icons.Append(TJsonOut::Object());
        entry.Add(u"id"_s, id);
        entry.Add(u"name"_s, icon.Name);
        entry.Add(u"description"_s, icon.Description);
        entry.Add(u"effects"_s, NamesOf<EffectFlag>(icon.Effects));
        entry.Add(u"points"_s, icon.Points);
    }
    return json;
}

void IconsFromJson(const QJsonObject &json, TIconTable &table)
{
    CheckKind(json, u"icons"_s);
    TFields fields(json, QString());
    if (fields.Has(u"kind"_s))
        fields.Text(u"kind"_s);
    const QJsonArray icons = fields.List(u"icons"_s);
    for (qsizetype i = 0; i < icons.size(); ++i) {
        TFields entry(icons[i], At(u"icons"_s, i));
        TIconDescriptor icon;
        icon.Name = entry.Text(u"name"_s);
        if (icon.Name.isEmpty())
            Invalid(At(entry.Path(), u"name"_s), u"a symbol needs a name"_s);
        if (entry.Has(u"description"_s))
            icon.Description = entry.Text(u"description"_s);
        icon.Effects = entry.VocabularySet<EffectFlag, TEffectSet>(u"effects"_s);
        if (entry.Has(u"points"_s))
            icon.Points = entry.Integer32(u"points"_s);
        if (entry.Has(u"id"_s) && entry.Integer32(u"id"_s) != table.Count()) {
            Invalid(At(entry.Path(), u"id"_s),
                    u"symbols are numbered by position; this one would be %1"_s.arg(table.Count()));
        }
        entry.CheckAllUsed();
        table.Add(icon);
    }
    fields.CheckAllUsed();
}
