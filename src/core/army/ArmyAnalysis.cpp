#include "army/ArmyAnalysis.h"

#include "army/ArmyData.h"
#include "dice/DiceData.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

// A die without faces cannot be rolled; it yields nothing rather than dividing by zero.
double PerFace(double sum, const TDie &die)
{
    return die.FaceCount() > 0 ? sum / die.FaceCount() : 0.0;
}

// Rounding can leave the variance of a total that cannot vary a hair below zero.
double SpreadOf(double second, double mean)
{
    return std::sqrt(std::max(0.0, second - mean * mean));
}

void Notify(const std::function<void(const QString &)> &status, const QString &text)
{
    if (status)
        status(text);
}

QString StepText(int result, int land)
{
    return u"Processing "_s + NameOf(ResultType(result)) + u'/' + NameOf(Land(land)) + u"..."_s;
}

// The chance that at least one die shows the effect, from the chance that none does.
void ChancesFromNone(TArmyAnalysis &analysis, const std::array<double, kFractionCount> &none)
{
    for (size_t e = 0; e < none.size(); ++e)
        analysis.Chance[e] = 1.0 - none[e];
}

} // namespace

QString TArmyAnalysis::CellText(ResultType result, Land land, bool showMinimum) const
{
    const double mean = Mean[size_t(result)][size_t(land)];
    const double spread = Spread[size_t(result)][size_t(land)];
    return FormatResult(mean, showMinimum ? std::max(0.0, mean - spread) : spread);
}

QString TArmyAnalysis::ChanceText(EffectFlag effect) const
{
    const int index = int(effect) - kFirstFractionFlag;
    const double chance = index >= 0 && index < kFractionCount ? Chance[size_t(index)] : 0.0;
    return QString::asprintf("%6.2f", chance * 100.0);
}

std::vector<const TDie *> AnalysedDice(const std::vector<TDie *> &dice, bool includeSummoned)
{
    std::vector<const TDie *> analysed;
    analysed.reserve(dice.size());
    for (const TDie *die : dice) {
        if (die && (includeSummoned || !TArmy::IsSummoned(*die)))
            analysed.push_back(die);
    }
    return analysed;
}

TArmyAnalysis AnalyzeArmy(const std::vector<const TDie *> &dice, const std::function<void(const QString &)> &status)
{
    Notify(status, u"Initializing for analysis..."_s);
    TArmyAnalysis analysis;
    // Per result and land: the sum of the dice's means, of their second moments and of
    // their squared means. The sum over pairs of different entries of m_d m_g is
    // (sum m)^2 - sum m^2, so one pass over the dice gives what the pairs would.
    TArmyAnalysis::TTable secondMoments{};
    TArmyAnalysis::TTable squaredMeans{};
    std::array<double, kFractionCount> none;
    none.fill(1.0);

    for (const TDie *die : dice) {
        Notify(status, u"Processing "_s + die->Name + u"..."_s);
        const TDieStats &stats = die->Statistics();
        for (size_t e = 0; e < none.size(); ++e)
            none[e] *= 1.0 - stats.Fractions[e];
        for (size_t t = 0; t < size_t(kResultTypeCount); ++t) {
            for (size_t l = 0; l < size_t(kLandCount); ++l) {
                const double mean = PerFace(stats.Sum[t][l], *die);
                analysis.Mean[t][l] += mean;
                secondMoments[t][l] += PerFace(stats.SumSq[t][l], *die);
                squaredMeans[t][l] += mean * mean;
            }
        }
    }

    for (int t = 0; t < kResultTypeCount; ++t) {
        for (int l = 0; l < kLandCount; ++l) {
            Notify(status, StepText(t, l));
            const double mean = analysis.Mean[size_t(t)][size_t(l)];
            const double second =
                secondMoments[size_t(t)][size_t(l)] + mean * mean - squaredMeans[size_t(t)][size_t(l)];
            analysis.Spread[size_t(t)][size_t(l)] = SpreadOf(second, mean);
        }
    }

    ChancesFromNone(analysis, none);
    return analysis;
}

TArmyAnalysis AnalyzeArmyPairwise(const std::vector<const TDie *> &dice)
{
    TArmyAnalysis analysis;
    std::array<double, kFractionCount> none;
    none.fill(1.0);
    for (const TDie *die : dice) {
        const TDieStats &stats = die->Statistics();
        for (size_t e = 0; e < none.size(); ++e)
            none[e] *= 1.0 - stats.Fractions[e];
        for (size_t t = 0; t < size_t(kResultTypeCount); ++t)
            for (size_t l = 0; l < size_t(kLandCount); ++l)
                analysis.Mean[t][l] += PerFace(stats.Sum[t][l], *die);
    }

    // Each die's mean is looked up once per result and land, so that the comparison with
    // the one-pass form times the pairs and not the statistics lookups.
    std::vector<double> means(dice.size());
    for (size_t t = 0; t < size_t(kResultTypeCount); ++t) {
        for (size_t l = 0; l < size_t(kLandCount); ++l) {
            for (size_t d = 0; d < dice.size(); ++d)
                means[d] = PerFace(dice[d]->Sum(ResultType(t), Land(l)), *dice[d]);
            double second = 0.0;
            for (size_t d = 0; d < dice.size(); ++d) {
                second += PerFace(dice[d]->SumSq(ResultType(t), Land(l)), *dice[d]);
                for (size_t g = 0; g < dice.size(); ++g) {
                    if (g != d)
                        second += means[d] * means[g];
                }
            }
            analysis.Spread[t][l] = SpreadOf(second, analysis.Mean[t][l]);
        }
    }
    ChancesFromNone(analysis, none);
    return analysis;
}
