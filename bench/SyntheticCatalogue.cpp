#include "SyntheticCatalogue.h"

#include "dice/Catalogue.h"

#include <array>

using namespace Qt::StringLiterals;

namespace {

// splitmix64: tiny, good enough, and the same everywhere, unlike std:: distributions.
class TSequence
{
public:
    explicit TSequence(quint64 seed) : FState(seed) {}

    quint64 Next()
    {
        quint64 z = (FState += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int Below(int bound) { return int(Next() % quint64(bound)); }
    bool OneIn(int odds) { return Below(odds) == 0; }

private:
    quint64 FState;
};

struct TSymbolPlan
{
    const char16_t *Name;
    TEffectSet Effects;
    qint32 Points;
};

void AddSymbol(TIconTable &icons, const TSymbolPlan &plan)
{
    TIconDescriptor icon;
    icon.Name = QString::fromUtf16(plan.Name);
    icon.Description = u"Synthetic symbol \"%1\" for timing and fuzzing."_s.arg(icon.Name);
    icon.Effects = plan.Effects;
    icon.Effects.Include(EffectFlag::SpecialIcon);
    icon.Points = plan.Points;
    icons.Add(icon);
}

// 20 x 10 syllables give exactly the 200 distinct names of the large shape.
constexpr std::array kNameStarts{u"Ash", u"Bryn", u"Cor", u"Dun", u"Eld", u"Fen", u"Gal",  u"Hol", u"Isk", u"Jor",
                                 u"Kel", u"Lun",  u"Mor", u"Nar", u"Oth", u"Pel", u"Quen", u"Ruk", u"Sel", u"Tor"};
constexpr std::array kNameEnds{u"mark", u"vale", u"hold", u"fen", u"reach", u"moor", u"wick", u"gard", u"ston", u"ley"};
// Indexed by Profession.
constexpr std::array kRoles{u"Bowman",     u"Herald", u"Rider",       u"Warden", u"Brute",
                            u"Skirmisher", u"Adept",  u"Hedge Witch", u"Slinger"};
constexpr std::array kHealths{1, 2, 3, 4, 5, 10};
// Reserves is where units wait, never a race's home.
constexpr std::array kHomeLands{Land::Coastland, Land::Flatland, Land::Highland, Land::Swampland,
                                Land::Wasteland, Land::Feyland,  Land::None};

QString RaceName(int index)
{
    const auto start = kNameStarts[size_t(index % int(kNameStarts.size()))];
    const auto end = kNameEnds[size_t(index / int(kNameStarts.size()) % int(kNameEnds.size()))];
    QString name = QString::fromUtf16(start) + QString::fromUtf16(end);
    if (index >= int(kNameStarts.size() * kNameEnds.size()))
        name += u' ' + QString::number(index);
    // A few names outside 7-bit ASCII, so that UTF-8 text is in the mix.
    if (index % 25 == 7)
        name += u" \u00c6lfr\u00f8d"_s;
    return name;
}

qint32 PickSymbol(TSequence &sequence, Profession profession, int specialCount)
{
    if (specialCount > 0 && sequence.OneIn(5))
        return BasicIcon::Count + sequence.Below(specialCount);
    // Lean towards what the profession is about, as real dice do.
    if (sequence.OneIn(2)) {
        switch (profession) {
        case Profession::Archer:
        case Profession::LightMissile:
            return BasicIcon::Missile;
        case Profession::Mage:
        case Profession::LightMage:
            return BasicIcon::Magic;
        case Profession::Cavalry:
            return BasicIcon::Move;
        case Profession::Defense:
            return BasicIcon::Save;
        case Profession::HeavyTroop:
        case Profession::LightTroop:
        case Profession::None:
            return BasicIcon::Melee;
        }
    }
    return BasicIcon::Magic + sequence.Below(BasicIcon::Count - BasicIcon::Magic);
}

void AddDice(TRace &race, TSequence &sequence, int dicePerRace, int specialCount)
{
    for (int d = 0; d < dicePerRace; ++d) {
        const auto profession = Profession(d % VocabularyCount<Profession>());
        const int health = kHealths[size_t(sequence.Below(int(kHealths.size())))];
        auto die = std::make_unique<TDie>(
            race, u"%1 %2 %3"_s.arg(race.Name, QString::fromUtf16(kRoles[size_t(profession)]), QString::number(d + 1)));
        die->SetHealth(health);
        die->SetProfession(profession);
        die->UltraRare = sequence.OneIn(17);
        const int faces = 4 + sequence.Below(9);
        die->SetFaceCount(faces);
        die->SetFace(0, BasicIcon::ID, health);
        for (int face = 1; face < faces; ++face) {
            const qint32 symbol = PickSymbol(sequence, profession, specialCount);
            die->SetFace(face, symbol, 1 + sequence.Below(std::min(health, 4)));
        }
        race.AddDie(std::move(die));
    }
}

} // namespace

void AddSyntheticSymbols(TIconTable &icons)
{
    using E = EffectFlag;
    const std::array<TSymbolPlan, 12> plans{{
        {u"Hail of Shafts", {E::Missile, E::MissileAvoidance, E::RerollMissile}, 2},
        {u"Rending Charge", {E::Melee, E::MeleeAvoidance, E::RerollMelee}, 3},
        {u"Shieldwall", {E::SaveMelee, E::SaveMissile, E::SpellResist, E::SaveAvoidance, E::RerollSave}, 2},
        {u"Thornhide", {E::SaveMelee, E::MeleeCounter}, 2},
        {u"Barbed Retort", {E::SaveMelee, E::MeleeCounter, E::CounterDouble}, 4},
        {u"Soul Siphon", {E::MagicDrain, E::MagicEffect}, 3},
        {u"Tuned Chant", {E::Magic, E::Attune, E::MagicUser, E::MagicAvoidance}, 2},
        {u"Soft Underside", {E::Belly}, 0},
        {u"Swift Current", {E::Maneuver, E::DoesNotConvert, E::RerollManeuver}, 2},
        {u"Double Weave", {E::Magic, E::MagicDouble, E::RerollMagic, E::MagicUser}, 3},
        {u"Ambush", {E::Surprise, E::MeleeEffect, E::Escape}, 3},
        {u"Warding Glyph", {E::SpellResist, E::Dispel, E::Cantrip}, 2},
    }};
    for (const TSymbolPlan &plan : plans)
        AddSymbol(icons, plan);
}

void MakeSyntheticCatalogue(TCatalogue &catalogue, int raceCount, int dicePerRace, quint64 seed)
{
    catalogue.ClearRaces();
    catalogue.Icons().Reset();
    AddSyntheticSymbols(catalogue.Icons());
    const int specialCount = catalogue.Icons().Count() - BasicIcon::Count;
    catalogue.SetNextID(1);

    TSequence sequence(seed);
    for (int r = 0; r < raceCount; ++r) {
        auto race = std::make_unique<TRace>(catalogue, catalogue.NextID(), RaceName(r));
        race->Type = RaceType(r % VocabularyCount<RaceType>());
        // One or two colours, now and then none at all.
        TColorSet colors;
        if (!sequence.OneIn(20)) {
            colors.Include(MagicColor(sequence.Below(VocabularyCount<MagicColor>())));
            if (sequence.OneIn(2))
                colors.Include(MagicColor(sequence.Below(VocabularyCount<MagicColor>())));
        }
        race->Colors = colors;
        race->HomeTerrain = kHomeLands[size_t(r / VocabularyCount<RaceType>() % int(kHomeLands.size()))];
        race->MovesAtHome = MoveEffect(sequence.Below(VocabularyCount<MoveEffect>()));
        race->CanDoubleMagic = !sequence.OneIn(4);
        race->TerrainMagic = sequence.OneIn(3);
        race->Armored = sequence.OneIn(4);
        race->Intangible = sequence.OneIn(6);
        if (sequence.OneIn(3)) {
            race->ReserveAbilities.Include(ResultType::Melee);
            race->ReserveAbilities.Include(ResultType::Missile);
        }
        AddDice(*race, sequence, dicePerRace, specialCount);
        catalogue.InsertRace(std::move(race));
    }
    catalogue.RacesModified = false;
}

int CountDice(const TCatalogue &catalogue)
{
    int dice = 0;
    for (const auto &race : catalogue.Races())
        dice += race->DieCount();
    return dice;
}
