#pragma once

#include "dice/DiceTypes.h"

#include <QString>

#include <array>

class TDie;
class TRace;
class TIconTable;
struct TIconDescriptor;

// The two rules options that change what dice yield. Both start off and are not saved.
struct TRulesOptions
{
    bool PowerMagicItems = false;
    bool MonstrousMagicResistance = false;
};

// The first effect flag with a fraction ("Spell Resist") and the last ("Surprise").
inline constexpr int kFirstFractionFlag = int(EffectFlag::SpellResist);
inline constexpr int kLastFractionFlag = int(EffectFlag::Surprise);
inline constexpr int kFractionCount = kLastFractionFlag - kFirstFractionFlag + 1;

// What a die yields, per result type and land, over its faces.
struct TDieStats
{
    using TTable = std::array<std::array<double, kLandCount>, kResultTypeCount>;
    TTable Sum{};   // [result][land]
    TTable SumSq{}; // [result][land]
    std::array<double, kFractionCount> Fractions{};
    bool MagicUser = false;

    double FractionOf(EffectFlag flag) const;
};

// What one face showing count copies of symbol yields for result r at land. A face
// without a symbol yields nothing.
double FaceValue(const TRace &race, int count, const TIconDescriptor *symbol, Profession profession,
                 int health, Land land, ResultType r, const TRulesOptions &rules);

// The same for all 15 result types at once; the statistics use this form.
using TFaceValues = std::array<double, kResultTypeCount>;
void FaceValues(const TRace &race, int count, const TIconDescriptor *symbol, Profession profession,
                int health, Land land, const TRulesOptions &rules, TFaceValues &values);

// The flag that makes a face a reroll face for the result: a face showing it is rolled
// again. "Points" and "Extras" have none.
std::optional<EffectFlag> RerollFlag(ResultType r);

TDieStats DieStatistics(const TDie &die, const TIconTable &icons, const TRulesOptions &rules);
// The same into an existing record, so that recomputing allocates nothing.
void DieStatistics(const TDie &die, const TIconTable &icons, const TRulesOptions &rules, TDieStats &stats);

// "%4.2f/%4.2f" of mean and spread.
QString FormatResult(double mean, double spread);
