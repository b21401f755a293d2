#include "dice/DiceIcons.h"

#include "io/TaggedStream.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

constexpr int kEffectBytes = 6;

TIconDescriptor MakeBasic(const QString &name, TEffectSet effects, const QString &description)
{
    TIconDescriptor icon;
    icon.Name = name;
    icon.Description = description;
    icon.Effects = effects;
    icon.Basic = true;
    return icon;
}

} // namespace

void TIconDescriptor::Assign(const TIconDescriptor &source)
{
    Name = source.Name;
    Description = source.Description;
    Effects = source.Effects;
    Points = source.Points;
    Basic = source.Basic;
}

void TIconDescriptor::SetFlags(TEffectSet flags, bool on)
{
    if (on)
        Effects.IncludeAll(flags);
    else
        Effects.ExcludeAll(flags);
}

TIconTable::TIconTable()
{
    Reset();
}

void TIconTable::Reset()
{
    using E = EffectFlag;
    FIcons.clear();
    FIcons.reserve(100);
    Add(MakeBasic(u"ID"_s,
                  {E::Magic, E::Missile, E::Melee, E::Maneuver, E::SaveMelee, E::SaveMissile,
                   E::SpellResist, E::MagicAvoidance, E::MissileAvoidance, E::MeleeAvoidance,
                   E::ManeuverAvoidance, E::SaveAvoidance, E::MagicDouble, E::IDIcon},
                  u"Counts as one point of whatever the owning player is rolling for.  If the owner is "
                  u"rolling for magic and the terrain is compatible, the effect may be doubled.  When "
                  u"defining a die, specify a count equal to the die's health."_s));
    Add(MakeBasic(u"Magic"_s, {E::Magic, E::MagicAvoidance, E::MagicUser}, u"Counts as one spell point."_s));
    Add(MakeBasic(u"Melee"_s, {E::Melee, E::MeleeAvoidance}, u"Counts as one melee hit point."_s));
    Add(MakeBasic(u"Missile"_s, {E::Missile, E::MissileAvoidance}, u"Counts as one missile hit point."_s));
    Add(MakeBasic(u"Move"_s, {E::Maneuver, E::ManeuverAvoidance}, u"Counts as one movement point."_s));
    Add(MakeBasic(u"Save"_s, {E::SaveMelee, E::SaveMissile, E::SpellResist, E::SaveAvoidance},
                  u"Counts as one save point."_s));
}

const TIconDescriptor *TIconTable::GetIcon(qint32 id) const
{
    if (id < 0 || id >= Count())
        return nullptr;
    return &FIcons[size_t(id)];
}

TIconDescriptor *TIconTable::GetIcon(qint32 id)
{
    if (id < 0 || id >= Count())
        return nullptr;
    return &FIcons[size_t(id)];
}

qint32 TIconTable::Add(const TIconDescriptor &icon)
{
    // Copied before appending: the source may be an entry of this table.
    TIconDescriptor added;
    added.Assign(icon);
    added.ID = qint32(FIcons.size());
    FIcons.push_back(std::move(added));
    return FIcons.back().ID;
}

qint32 TIconTable::IconByName(QStringView name) const
{
    for (auto i = qint32(FIcons.size()) - 1; i >= 0; --i) {
        if (FIcons[size_t(i)].Name == name)
            return i;
    }
    return -1;
}

QString TIconTable::FaceText(const TIconDescriptor *icon, int count)
{
    if (!icon)
        return {};
    return QString::number(count) + u' ' + icon->Name;
}

void ReadIconStream(TTaggedReader &reader, TIconTable &table, TIconLoadListener *listener)
{
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        TIconDescriptor icon;
        icon.Name = reader.ReadString();
        if (listener)
            listener->IconLoading(icon.Name);
        icon.Description = reader.ReadString();
        const QByteArray effects = reader.ReadRaw(kEffectBytes, u"an effect set"_s);
        quint64 bits = 0;
        for (int i = 0; i < kEffectBytes; ++i)
            bits |= quint64(quint8(effects[i])) << (8 * i);
        icon.Effects = TEffectSet::FromBits(bits); // bits past the last flag are dropped
        icon.Points = reader.ReadInteger();
        icon.Basic = false;
        const qint32 id = table.Add(icon);
        if (listener)
            listener->IconLoaded(*table.GetIcon(id));
    }
    reader.ReadListEnd();
}

void WriteIconStream(TTaggedWriter &writer, const TIconTable &table)
{
    writer.WriteListBegin();
    for (qint32 id = BasicIcon::Count; id < table.Count(); ++id) {
        const TIconDescriptor &icon = *table.GetIcon(id);
        if (icon.Name.isEmpty())
            continue;
        writer.WriteString(icon.Name);
        writer.WriteString(icon.Description);
        std::array<quint8, kEffectBytes> effects{};
        for (int i = 0; i < kEffectBytes; ++i)
            effects[size_t(i)] = quint8(icon.Effects.ToBits() >> (8 * i));
        writer.WriteRaw(effects.data(), kEffectBytes);
        writer.WriteInteger(icon.Points);
    }
    writer.WriteListEnd();
}
