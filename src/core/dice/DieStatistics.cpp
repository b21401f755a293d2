#include "dice/DieStatistics.h"

#include "dice/DiceData.h"
#include "dice/DiceIcons.h"

#include <cmath>
#include <optional>

namespace {

using E = EffectFlag;
using R = ResultType;

// How much each result counts towards "Points"; results of weight 0 are not evaluated.
constexpr std::array<double, kResultTypeCount> kPointWeights{
    0.5, 0.5, 0.5, 0.5, 0.5, // the five magic colours
    1.0,                     // Missile
    1.0,                     // Melee
    1.0,                     // Move
    0.25,                    // Save/Missile
    0.5,                     // Save/Melee
    0.0, 0.0, 0.0,           // Anti-Magic, Counter, Points
    1.0,                     // Extras
    0.0,                     // Rout Buffer
};

std::optional<Profession> PowerProfession(R r)
{
    if (IsMagicResult(r))
        return Profession::Mage;
    switch (r) {
    case R::Missile:
        return Profession::Archer;
    case R::Melee:
        return Profession::HeavyTroop;
    case R::Move:
        return Profession::Cavalry;
    case R::SaveMissile:
    case R::SaveMelee:
    case R::RoutBuffer:
        return Profession::Defense;
    default:
        return std::nullopt;
    }
}

// The flags whose faces are left out of an effect's fraction.
TEffectSet LeftOutOf(EffectFlag flag)
{
    switch (flag) {
    case E::Cantrip:
        return {E::RerollMissile, E::RerollMelee, E::RerollSave};
    case E::MagicEffect:
        return {E::RerollMagic};
    case E::MissileEffect:
    case E::MissileDamageEffect:
        return {E::RerollMissile};
    case E::MeleeEffect:
    case E::MeleeDamageEffect:
    case E::Surprise:
        return {E::RerollMelee};
    case E::ManeuverEffect:
        return {E::RerollManeuver};
    case E::MissileSaveEffect:
    case E::MeleeSaveEffect:
    case E::MissileSaveDamage:
    case E::MeleeSaveDamage:
        return {E::RerollSave};
    default:
        return {};
    }
}

bool Has(const TIconDescriptor *symbol, EffectFlag flag)
{
    return symbol && symbol->Has(flag);
}

} // namespace

std::optional<EffectFlag> RerollFlag(ResultType r)
{
    if (IsMagicResult(r))
        return E::RerollMagic;
    switch (r) {
    case R::AntiMagic:
        return E::RerollMagic;
    case R::Missile:
        return E::RerollMissile;
    case R::Melee:
        return E::RerollMelee;
    case R::Move:
        return E::RerollManeuver;
    case R::SaveMissile:
    case R::SaveMelee:
    case R::Counter:
    case R::RoutBuffer:
        return E::RerollSave;
    default:
        return std::nullopt;
    }
}

double TDieStats::FractionOf(EffectFlag flag) const
{
    const int index = int(flag) - kFirstFractionFlag;
    if (index < 0 || index >= kFractionCount)
        return 0.0;
    return Fractions[size_t(index)];
}

void FaceValues(const TRace &race, int count, const TIconDescriptor *symbol, Profession profession,
                int health, Land land, const TRulesOptions &rules, TFaceValues &values)
{
    if (!symbol) {
        values.fill(0.0);
        return;
    }

    const bool inReserves = land == Land::Reserves;
    auto rolls = [&](R r) { return !inReserves || race.ReserveAbilities.Contains(r); };
    const bool homeManeuver = land == race.HomeTerrain && symbol->Has(E::Maneuver)
                              && (!symbol->Has(E::DoesNotConvert) || race.MovesAtHome == MoveEffect::Doubled);
    const bool powerItems = race.Type == RaceType::MagicItems && rules.PowerMagicItems;
    auto powerApplies = [&](R r) { return powerItems && PowerProfession(r) == profession; };
    auto withPower = [&](R r, double v) {
        if (powerApplies(r) && health < 4 && !symbol->Has(E::SpecialIcon))
            return v + (health - 1);
        return v;
    };
    // Every entry is set, so the array needs no clearing first.
    auto set = [&](R r, double v) { values[size_t(r)] = rolls(r) ? v : 0.0; };
    const TColorSet landColors = LandColors(land);

    for (int c = 0; c <= int(MagicColor::Red); ++c) {
        const auto colour = MagicColor(c);
        const auto r = R(c);
        double v = 0;
        if (symbol->Has(E::Magic)
            && (race.Colors.Contains(colour) || (race.TerrainMagic && landColors.Contains(colour))
                || symbol->Has(E::Attune))) {
            v = count;
            if (symbol->Has(E::MagicDouble) && race.CanDoubleMagic && landColors.Contains(colour))
                v += count;
        }
        if (race.Colors.Contains(colour))
            v = withPower(r, v);
        set(r, v);
    }

    const bool missile = symbol->Has(E::Missile) || (homeManeuver && race.MovesAtHome == MoveEffect::AsMissile);
    set(R::Missile, withPower(R::Missile, missile ? count : 0));
    set(R::Melee, withPower(R::Melee, symbol->Has(E::Melee) ? count : 0));

    double move = symbol->Has(E::Maneuver) ? count : 0;
    if (homeManeuver && race.MovesAtHome == MoveEffect::Doubled)
        move += count;
    set(R::Move, withPower(R::Move, move));

    for (R r : {R::SaveMissile, R::SaveMelee, R::RoutBuffer}) {
        double v = race.Armored && !symbol->Has(E::Belly) ? health : 0;
        if (race.Intangible && r == R::SaveMissile)
            v += 1;
        const EffectFlag matching = r == R::SaveMissile ? E::SaveMissile : E::SaveMelee;
        if (symbol->Has(matching) || (homeManeuver && race.MovesAtHome == MoveEffect::AsSave))
            v += count;
        v = withPower(r, v);
        if (r == R::RoutBuffer && symbol->Has(E::IDIcon))
            v = -1;
        set(r, v);
    }

    set(R::AntiMagic, symbol->Has(E::MagicDrain) ? count : 0);
    const double counter = symbol->Has(E::CounterDouble) ? 2.0 * count : count;
    set(R::Counter, symbol->Has(E::MeleeCounter) ? counter : 0);
    set(R::Extras, symbol->Points);

    double points = 0;
    for (size_t r = 0; r < kPointWeights.size(); ++r) {
        if (r != size_t(R::Points))
            points += kPointWeights[r] * values[r];
    }
    set(R::Points, points);
}

double FaceValue(const TRace &race, int count, const TIconDescriptor *symbol, Profession profession,
                 int health, Land land, ResultType r, const TRulesOptions &rules)
{
    TFaceValues values;
    FaceValues(race, count, symbol, profession, health, land, rules, values);
    return values[size_t(r)];
}

void DieStatistics(const TDie &die, const TIconTable &icons, const TRulesOptions &rules, TDieStats &stats)
{
    stats = TDieStats();
    const int faces = die.FaceCount();
    const TRace &race = die.Race();
    std::array<const TIconDescriptor *, TDie::kMaxFaces> symbols{};
    std::array<int, TDie::kMaxFaces> counts{};
    for (int i = 0; i < faces; ++i) {
        symbols[size_t(i)] = icons.GetIcon(die.FaceSymbol(i));
        counts[size_t(i)] = die.FaceSymbolCount(i);
    }
    // Which faces are reroll faces depends only on the flag, not on land or result.
    std::array<int, kEffectFlagCount> rerollFaces{};
    for (EffectFlag flag : {E::RerollMagic, E::RerollManeuver, E::RerollMissile, E::RerollMelee, E::RerollSave}) {
        for (int i = 0; i < faces; ++i)
            rerollFaces[size_t(flag)] += Has(symbols[size_t(i)], flag) ? 1 : 0;
    }

    std::array<TFaceValues, TDie::kMaxFaces> values;
    for (int l = 0; l < kLandCount; ++l) {
        for (int i = 0; i < faces; ++i) {
            FaceValues(race, counts[size_t(i)], symbols[size_t(i)], die.GetProfession(), die.Health(), Land(l),
                       rules, values[size_t(i)]);
        }
        for (int r = 0; r < kResultTypeCount; ++r) {
            double total = 0;
            for (int i = 0; i < faces; ++i)
                total += values[size_t(i)][size_t(r)];

            // A reroll face stands for the average of the faces that are not rerolled;
            // when every face is a reroll face there is nothing to spread.
            double rerollBonus = 0;
            const std::optional<EffectFlag> reroll = RerollFlag(R(r));
            if (R(r) != R::Points && total > 0 && reroll) {
                const int rerolls = rerollFaces[size_t(*reroll)];
                if (rerolls > 0 && rerolls < faces)
                    rerollBonus = total / (faces - rerolls);
            }

            double sum = 0;
            double sumSq = 0;
            for (int i = 0; i < faces; ++i) {
                double v = values[size_t(i)][size_t(r)];
                if (rerollBonus != 0 && Has(symbols[size_t(i)], *reroll))
                    v += rerollBonus;
                sum += v;
                sumSq += v * v;
            }
            stats.Sum[size_t(r)][size_t(l)] = sum;
            stats.SumSq[size_t(r)][size_t(l)] = sumSq;
        }
    }

    const bool monstrous = race.Type == RaceType::NormalUnits && faces == 10 && rules.MonstrousMagicResistance;
    const bool natural = race.Armored
                         || (race.Type != RaceType::NormalUnits && race.Type != RaceType::Dragonkin
                             && race.Type != RaceType::Eldarim);
    int resisting = 0;
    for (int i = 0; i < faces; ++i) {
        const TIconDescriptor *symbol = symbols[size_t(i)];
        const bool basic = symbol && symbol->Basic;
        if ((monstrous && !basic) || Has(symbol, E::SpellResist) || (natural && !Has(symbol, E::Belly)))
            ++resisting;
        if (Has(symbol, E::MagicUser))
            stats.MagicUser = true;
    }
    stats.Fractions[0] = faces > 0 ? double(resisting) / faces : 0.0;

    for (int f = kFirstFractionFlag + 1; f <= kLastFractionFlag; ++f) {
        const TEffectSet leftOut = LeftOutOf(EffectFlag(f));
        int showing = 0;
        int counted = 0;
        for (int i = 0; i < faces; ++i) {
            const TIconDescriptor *symbol = symbols[size_t(i)];
            // A face that is rolled again is not seen, whatever it shows.
            if (symbol && symbol->Effects.ContainsAny(leftOut))
                continue;
            ++counted;
            showing += Has(symbol, EffectFlag(f)) ? 1 : 0;
        }
        stats.Fractions[size_t(f - kFirstFractionFlag)] = counted > 0 ? double(showing) / counted : 0.0;
    }
}

TDieStats DieStatistics(const TDie &die, const TIconTable &icons, const TRulesOptions &rules)
{
    TDieStats stats;
    DieStatistics(die, icons, rules, stats);
    return stats;
}

QString FormatResult(double mean, double spread)
{
    return QString::asprintf("%4.2f/%4.2f", mean, spread);
}
