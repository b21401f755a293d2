#pragma once

#include "dice/DieStatistics.h"

#include <QString>

#include <array>
#include <functional>
#include <vector>

class TDie;

// What one roll of all the dice of an army produces: for each result type and land the
// expected total and its spread, and for each effect from "Spell Resist" to "Surprise"
// the chance that at least one die shows it. Dice are independent and show each face
// with equal chance.
struct TArmyAnalysis
{
    using TTable = std::array<std::array<double, kLandCount>, kResultTypeCount>;
    TTable Mean{};   // [result][land]
    TTable Spread{}; // standard deviation of the total, [result][land]
    std::array<double, kFractionCount> Chance{}; // 0..1, effects 6..22

    // "%4.2f/%4.2f" of the mean and the spread, or with showMinimum of the mean and the
    // minimum (mean less spread, not below 0).
    QString CellText(ResultType result, Land land, bool showMinimum) const;
    // The chance in percent, "%6.2f".
    QString ChanceText(EffectFlag effect) const;
};

// The dice the analysis counts: every entry in order (an entry twice counts twice),
// without the summoned ones unless they are included.
std::vector<const TDie *> AnalysedDice(const std::vector<TDie *> &dice, bool includeSummoned);

// The analysis in one pass over the dice: the sum over pairs of different entries is the
// square of the sum less the sum of the squares. The status callback hears the steps the
// army window shows up to the formatting of the results, which is the window's own.
TArmyAnalysis AnalyzeArmy(const std::vector<const TDie *> &dice,
                          const std::function<void(const QString &)> &status = {});

// The same figures from every ordered pair of entries, as the analysis was first
// described; kept to show that both agree.
TArmyAnalysis AnalyzeArmyPairwise(const std::vector<const TDie *> &dice);
