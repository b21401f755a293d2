#pragma once

// The fixed vocabularies of the catalogue. Their numbers are stored in every data file,
// so neither the order nor the values may ever change.

#include <QString>
#include <QStringView>

#include <array>
#include <initializer_list>
#include <optional>

enum class ResultType : quint8 {
    BlackMagic,
    BlueMagic,
    GoldMagic,
    GreenMagic,
    RedMagic,
    Missile,
    Melee,
    Move,
    SaveMissile,
    SaveMelee,
    AntiMagic,
    Counter,
    Points,
    Extras,
    RoutBuffer,
};

enum class Land : quint8 { Coastland, Flatland, Highland, Reserves, Swampland, Wasteland, Feyland, None };

enum class MagicColor : quint8 { Black, Blue, Gold, Green, Red };

enum class Profession : quint8 {
    Archer,
    None,
    Cavalry,
    Defense,
    HeavyTroop,
    LightTroop,
    Mage,
    LightMage,
    LightMissile,
};

enum class RaceType : quint8 { NormalUnits, MagicItems, Dragonkin, Eldarim, Misprints };

enum class MoveEffect : quint8 { None, AsMissile, AsSave, Doubled };

enum class EffectFlag : quint8 {
    Magic,
    Missile,
    Melee,
    Maneuver,
    SaveMelee,
    SaveMissile,
    SpellResist,
    Cantrip,
    Dispel,
    MagicEffect,
    MissileEffect,
    MeleeEffect,
    ManeuverEffect,
    MissileSaveEffect,
    MeleeSaveEffect,
    MissileDamageEffect,
    MeleeDamageEffect,
    MissileSaveDamage,
    MeleeSaveDamage,
    Escape,
    Reduce,
    DragonEffect,
    Surprise,
    MagicAvoidance,
    MissileAvoidance,
    MeleeAvoidance,
    ManeuverAvoidance,
    SaveAvoidance,
    RerollMagic,
    RerollManeuver,
    RerollMissile,
    RerollMelee,
    RerollSave,
    MagicDouble,
    Belly,
    DoesNotConvert,
    MagicDrain,
    MeleeCounter,
    CounterDouble,
    Attune,
    MagicUser,
    SpecialIcon,
    IDIcon,
};

// The vocabulary of each enumeration: its names in stored-number order.
template <typename E>
struct TVocabulary;

#define KR_VOCABULARY(Enum, ...)                                                                   \
    template <>                                                                                    \
    struct TVocabulary<Enum>                                                                       \
    {                                                                                              \
        static constexpr std::array Names{__VA_ARGS__};                                            \
        static constexpr int Count = int(Names.size());                                            \
    }

KR_VOCABULARY(ResultType, u"Black Magic", u"Blue Magic", u"Gold Magic", u"Green Magic",
              u"Red Magic", u"Missile", u"Melee", u"Move", u"Save/Missile", u"Save/Melee",
              u"Anti-Magic", u"Counter", u"Points", u"Extras", u"Rout Buffer");
KR_VOCABULARY(Land, u"Coastland", u"Flatland", u"Highland", u"Reserves", u"Swampland",
              u"Wasteland", u"Feyland", u"(none)");
KR_VOCABULARY(MagicColor, u"Black (Death)", u"Blue (Air)", u"Gold (Earth)", u"Green (Water)",
              u"Red (Fire)");
KR_VOCABULARY(Profession, u"Archer", u"(none)", u"Cavalry", u"Defense", u"Heavy Troop",
              u"Light Troop", u"Mage", u"Light Mage", u"Light Missile");
KR_VOCABULARY(RaceType, u"Normal Units", u"Magic Items", u"Dragonkin", u"Eldarim",
              u"Misprints");
KR_VOCABULARY(MoveEffect, u"None", u"As Missile", u"As Save", u"Doubled");
KR_VOCABULARY(EffectFlag, u"Magic", u"Missile", u"Melee", u"Maneuver", u"Save/Melee",
              u"Save/Missile", u"Spell Resist", u"Cantrip", u"Dispel", u"Magic Effect",
              u"Missile Effect", u"Melee Effect", u"Maneuver Effect", u"Missile Save Effect",
              u"Melee Save Effect", u"Missile Damage Effect", u"Melee Damage Effect",
              u"Missile Save Damage", u"Melee Save Damage", u"Escape", u"Reduce",
              u"Dragon Effect", u"Surprise", u"Magic Avoidance", u"Missile Avoidance",
              u"Melee Avoidance", u"Maneuver Avoidance", u"Save Avoidance", u"Reroll Magic",
              u"Reroll Maneuver", u"Reroll Missile", u"Reroll Melee", u"Reroll Save",
              u"Magic Double", u"Belly", u"Does Not Convert", u"Magic Drain",
              u"Melee Counter", u"Counter Double", u"Attune", u"Magic-User", u"Special Icon",
              u"ID Icon");

#undef KR_VOCABULARY

inline constexpr int kResultTypeCount = TVocabulary<ResultType>::Count;
inline constexpr int kLandCount = TVocabulary<Land>::Count;
inline constexpr int kEffectFlagCount = TVocabulary<EffectFlag>::Count;

template <typename E>
constexpr int VocabularyCount()
{
    return TVocabulary<E>::Count;
}

template <typename E>
constexpr bool IsInVocabulary(qint64 number)
{
    return number >= 0 && number < TVocabulary<E>::Count;
}

// The stored number's name; empty for a number outside the vocabulary.
template <typename E>
QString NameOf(E value)
{
    const auto index = size_t(value);
    if (index >= TVocabulary<E>::Names.size())
        return {};
    return QString::fromUtf16(TVocabulary<E>::Names[index]);
}

template <typename E>
std::optional<E> FromName(QStringView name)
{
    const auto &names = TVocabulary<E>::Names;
    for (size_t i = 0; i < names.size(); ++i) {
        if (name == QStringView(names[i]))
            return E(i);
    }
    return std::nullopt;
}

// A set of vocabulary values stored as a bit field, bit n for value n.
template <typename E, typename Bits>
class TVocabularySet
{
public:
    static constexpr Bits AllBits = Bits((Bits(1) << (TVocabulary<E>::Count - 1)) * 2 - 1);

    constexpr TVocabularySet() = default;
    constexpr TVocabularySet(std::initializer_list<E> values)
    {
        for (E value : values)
            Include(value);
    }
    static constexpr TVocabularySet FromBits(Bits bits)
    {
        TVocabularySet set;
        set.FBits = Bits(bits & AllBits);
        return set;
    }

    constexpr Bits ToBits() const { return FBits; }
    constexpr bool Contains(E value) const { return (FBits >> unsigned(value)) & 1; }
    constexpr bool ContainsAny(TVocabularySet other) const { return (FBits & other.FBits) != 0; }
    constexpr bool IsEmpty() const { return FBits == 0; }
    constexpr void Include(E value) { FBits = Bits(FBits | (Bits(1) << unsigned(value))); }
    constexpr void Exclude(E value) { FBits = Bits(FBits & ~(Bits(1) << unsigned(value))); }
    constexpr void Set(E value, bool on) { on ? Include(value) : Exclude(value); }
    constexpr void IncludeAll(TVocabularySet other) { FBits = Bits(FBits | other.FBits); }
    constexpr void ExcludeAll(TVocabularySet other) { FBits = Bits(FBits & ~other.FBits); }

    friend constexpr bool operator==(TVocabularySet, TVocabularySet) = default;

private:
    Bits FBits = 0;
};

using TColorSet = TVocabularySet<MagicColor, quint8>;
using TResultSet = TVocabularySet<ResultType, quint16>;
using TEffectSet = TVocabularySet<EffectFlag, quint64>;

// The magic colours at home in each land.
constexpr TColorSet LandColors(Land land)
{
    switch (land) {
    case Land::Coastland:
        return {MagicColor::Blue, MagicColor::Green};
    case Land::Flatland:
        return {MagicColor::Blue, MagicColor::Gold};
    case Land::Highland:
        return {MagicColor::Gold, MagicColor::Red};
    case Land::Swampland:
        return {MagicColor::Gold, MagicColor::Green};
    case Land::Wasteland:
        return {MagicColor::Blue, MagicColor::Red};
    case Land::Feyland:
        return {MagicColor::Green, MagicColor::Red};
    case Land::Reserves:
    case Land::None:
        break;
    }
    return {};
}

// Armies and the inventory tree name these slots and sub-groups by position.
inline constexpr std::array kArmyTypeNames{u"Home Army", u"Campaign Army", u"Horde Army",
                                           u"Promotion Pool", u"Summoning Pool"};
inline constexpr std::array kRarityNames{u"Common", u"Uncommon", u"Rare", u"Special",
                                         u"Dragon", u"", u"", u"", u"", u"White Dragon"};

// The five magic colours are the first five result types, in the same order.
constexpr bool IsMagicResult(ResultType r)
{
    return r <= ResultType::RedMagic;
}
