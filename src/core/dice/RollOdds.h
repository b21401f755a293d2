#pragma once

#include "dice/DiceTypes.h"

#include <QString>

#include <vector>

class TDie;
class TIconTable;
struct TRulesOptions;

// The exact chances of the totals one roll gives for one result type at one land: of a
// die, or of every die of an army summed. Totals are whole numbers, or quarters for
// "Points"; they are kept as whole steps so that sums are exact.
class TRollOdds
{
public:
    // The steps of a result type's totals: a quarter for "Points", else 1.
    static double StepOf(ResultType result) { return result == ResultType::Points ? 0.25 : 1.0; }

    // A total of 0 for certain: what an empty army rolls.
    explicit TRollOdds(ResultType result);
    // The chances of the totals first, first + 1, ... (in steps), and the chance not
    // placed. Zero chances at either end are trimmed.
    TRollOdds(ResultType result, qint64 first, std::vector<double> chances, double remainder);

    ResultType Result() const { return FResult; }
    double Step() const { return FStep; }

    // The totals of non-zero chance, lowest first. A chance below the smallest normal
    // double (far out in the tails of a large army) counts as zero.
    int Count() const { return int(FRows.size()); }
    double Total(int row) const { return double(FRows[size_t(row)]) * FStep; }
    double Exactly(int row) const { return FExact[size_t(FRows[size_t(row)] - FFirst)]; }
    // The chance of this total or more, of the chances placed.
    double AtLeast(int row) const { return FAtLeast[size_t(row)]; }

    double Minimum() const { return FRows.empty() ? 0.0 : Total(0); }
    double Maximum() const { return FRows.empty() ? 0.0 : Total(Count() - 1); }
    // The mean of the totals as listed: Σ total × chance.
    double Mean() const { return FMean; }
    // The chance the listing leaves out: the rolls of reroll faces still going on when
    // the series was cut off. The listed chances add up to 1 less this.
    double Remainder() const { return FRemainder; }

    // The whole steps from First(), including the zero chances between the totals; for
    // combining distributions.
    qint64 First() const { return FFirst; }
    const std::vector<double> &Chances() const { return FExact; }

private:
    void Index();

    ResultType FResult;
    double FStep;
    qint64 FFirst = 0;
    std::vector<double> FExact;
    std::vector<qint64> FRows; // the steps of non-zero chance
    std::vector<double> FAtLeast;
    double FRemainder = 0.0;
    double FMean = 0.0;
};

// The series of rerolls is cut off once less than this is left to place.
inline constexpr double kOddsCutOff = 1e-12;
// Totals may span at most this many steps, and working them out may take at most this
// many multiply-adds (about a second): a catalogue with faces of thousands of symbols,
// or an army of tens of thousands of dice, could otherwise ask for gigabytes or hours.
inline constexpr qint64 kMaxOddsSpan = 2'000'000;
inline constexpr double kMaxOddsWork = 1e9;

// One roll of a die. A face that is a reroll face for the result (as the statistics
// count them) adds its value and the die is rolled again, until a face that is not one
// shows; "Points", a die whose faces add up to nothing or less, and a die of reroll
// faces only are rolled once, as the statistics treat them. Its mean is then the
// statistics' mean. Throws a TDiceException for totals spanning too far (also Convolve).
TRollOdds RollOdds(const TDie &die, Land land, ResultType result, const TIconTable &icons, const TRulesOptions &rules);
// The same with the symbols and rules options of the die's catalogue.
TRollOdds RollOdds(const TDie &die, Land land, ResultType result);

// The distribution of the sum of independent totals of the result type: of none, a
// total of 0 for certain.
TRollOdds Convolve(const std::vector<const TRollOdds *> &parts, ResultType result);
TRollOdds Convolve(const TRollOdds &a, const TRollOdds &b);

// The texts the program shows: a total ("%g") and a chance in percent with two decimals.
QString OddsTotalText(double total);
QString OddsPercentText(double chance);
// "Totals 0 to 12, mean 3.50." and, when something was not placed, "Not placed: 1.2e-13."
QString OddsSummaryText(const TRollOdds &odds);
