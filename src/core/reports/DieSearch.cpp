#include "reports/DieSearch.h"

#include "dice/Catalogue.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

using namespace Qt::StringLiterals;

namespace {

// Scores are sums of products of fractions; rounding them to the six decimals the
// score text shows keeps sums that differ only in their last bits from ranking apart.
double Rounded(double score)
{
    return std::round(score * 1e6);
}

// A whole number without decimals; negative zero reads as 0.
QString WholeText(double value)
{
    return QString::number(value + 0.0, 'f', 0);
}

} // namespace

TDieWeights DefaultDieWeights()
{
    return {0.5,  0.5, 0.5, 0.5, 0.5, // the five magic colours
            1.0,                      // Missile
            1.0,                      // Melee
            1.0,                      // Move
            0.25,                     // Save/Missile
            0.5,                      // Save/Melee
            0.0,  0.0, 0.0,           // Anti-Magic, Counter, Points
            1.0,                      // Extras
            0.0};                     // Rout Buffer
}

void TDieSearchCriteria::Clear()
{
    Weights.fill(0.0);
    Colors = {};
    Effects = {};
    RaceTypes = {RaceType::NormalUnits};
    Professions = TProfessionSet::FromBits(TProfessionSet::AllBits);
}

bool TDieSearchCriteria::RaceQualifies(const TRace &race) const
{
    return (race.Colors.ToBits() & Colors.ToBits()) == Colors.ToBits() && RaceTypes.Contains(race.Type);
}

bool TDieSearchCriteria::DieQualifies(const TDie &die) const
{
    if (RestrictToInventory && die.Count == 0)
        return false;
    if (die.Health() > MaxHealth || (MaxHealthOnly && die.Health() < MaxHealth))
        return false;
    if (!Professions.Contains(die.GetProfession()))
        return false;
    // Last, because it needs the die's statistics.
    for (int e = kFirstFractionFlag; e <= kLastFractionFlag; ++e) {
        if (Effects.Contains(EffectFlag(e)) && !(die.Fraction(EffectFlag(e)) > 0.0))
            return false;
    }
    return true;
}

double TDieSearchCriteria::Score(const TDie &die) const
{
    double score = 0.0;
    for (int t = 0; t < kResultTypeCount; ++t) {
        const double weight = Weights[size_t(t)];
        if (weight != 0.0)
            score += weight * die.Mean(ResultType(t), Terrain, PerHealth);
    }
    return score;
}

QString TFoundDie::ScoreText() const
{
    return QString::asprintf("%6.6f", Score);
}

void TDieRanking::Rank(TDie &die, double score)
{
    const double key = Rounded(score);
    if (!FFound.empty() && key < Rounded(FFound.back().Score)) {
        if (Count() < FWanted)
            FFound.push_back({&die, score});
        return;
    }
    // After the last die that scores at least as much, so that ties keep arrival order.
    const auto at = std::partition_point(FFound.begin(), FFound.end(),
                                         [key](const TFoundDie &found) { return Rounded(found.Score) >= key; });
    FFound.insert(at, {&die, score});
    if (Count() <= FWanted)
        return;
    // The dice past the wanted number all tied with the last wanted one before; those
    // that no longer do are the lowest, at the end.
    const double last = Rounded(FFound[size_t(FWanted - 1)].Score);
    while (Count() > FWanted && Rounded(FFound.back().Score) != last)
        FFound.pop_back();
}

int TDieRanking::ForgetMissing(const TCatalogue &catalogue)
{
    std::unordered_set<const TDie *> present;
    TDieTraversal walk(catalogue);
    for (const TDie *die = walk.First(); die; die = walk.Next())
        present.insert(die);
    const auto gone = std::remove_if(FFound.begin(), FFound.end(),
                                     [&present](const TFoundDie &found) { return !present.contains(found.Die); });
    const int count = int(FFound.end() - gone);
    FFound.erase(gone, FFound.end());
    return count;
}

TDieRanking SearchDice(const TCatalogue &catalogue, const TDieSearchCriteria &criteria,
                       const std::function<void(const QString &)> &status)
{
    TDieRanking ranking(criteria.NumberToFind);
    for (const auto &race : catalogue.Races()) {
        if (!criteria.RaceQualifies(*race))
            continue;
        for (const auto &die : race->Dice()) {
            if (!criteria.DieQualifies(*die))
                continue;
            if (status)
                status(QString::number(ranking.Count()) + u" dice found.  Processing "_s + die->Name + u"..."_s);
            ranking.Rank(*die, criteria.Score(*die));
        }
    }
    return ranking;
}

QString WeightText(double weight)
{
    return QString::asprintf("%6.2f", weight);
}

QString WeightSetText(ResultType result, double weight)
{
    const QString prefix = NameOf(result) + u" set to "_s;
    if (std::isfinite(weight) && weight == std::floor(weight))
        return prefix + WholeText(weight) + u'.';
    if (weight > 0.0) {
        const double whole = std::round(1.0 / weight);
        if (whole >= 2.0 && std::abs(1.0 / whole - weight) <= weight * 1e-12)
            return prefix + u"1/"_s + WholeText(whole) + u'.';
    }
    return prefix + QString::number(weight, 'g', 6) + u'.';
}

QString WeightPrompt(ResultType result)
{
    return u"Enter a new weight for "_s + NameOf(result);
}

std::optional<double> ParseWeight(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString WeightEditText(double weight)
{
    return QString::number(weight, 'g', 6);
}
