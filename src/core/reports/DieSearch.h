#pragma once

#include "dice/DiceTypes.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <vector>

class TCatalogue;
class TDie;
class TRace;

using TRaceTypeSet = TVocabularySet<RaceType, quint8>;
using TProfessionSet = TVocabularySet<Profession, quint16>;

// How much each result type counts in a die's score, by result type.
using TDieWeights = std::array<double, kResultTypeCount>;

// Magic at a half, missiles, melee, moves and extras whole, saves against missiles at a
// quarter and against melee at a half, the rest not at all.
TDieWeights DefaultDieWeights();

// What the die finder looks for.
struct TDieSearchCriteria
{
    static constexpr int kLowestMaxHealth = 1;
    static constexpr int kHighestMaxHealth = 5;
    static constexpr int kFewestToFind = 10;
    static constexpr int kMostToFind = 100;

    // The land the results are taken at.
    Land Terrain = Land::None;
    // A race must have every one of these colours.
    TColorSet Colors;
    TRaceTypeSet RaceTypes{RaceType::NormalUnits};
    TProfessionSet Professions = TProfessionSet::FromBits(TProfessionSet::AllBits);
    // A die must show each of these effects ("Spell Resist" to "Surprise") on some face.
    TEffectSet Effects;
    // Dice of this health pass, and lower ones unless MaxHealthOnly; higher ones never
    // do (so dice of health 10 are never found).
    int MaxHealth = 4;
    bool MaxHealthOnly = false;
    // Only dice the collection holds at least one of.
    bool RestrictToInventory = false;
    int NumberToFind = 20;
    TDieWeights Weights = DefaultDieWeights();
    // Scores per point of health, as the program's per-health view shows results.
    bool PerHealth = false;

    // "Clear Criteria": every weight 0, no colour and no effect, only "Normal Units",
    // every profession. The land, health, inventory and count choices stay.
    void Clear();

    bool RaceQualifies(const TRace &race) const;
    // The die's own tests; its race is not looked at.
    bool DieQualifies(const TDie &die) const;
    double Score(const TDie &die) const;
};

// A die the search found, with its score.
struct TFoundDie
{
    TDie *Die = nullptr;
    double Score = 0.0;

    // "%6.6f".
    QString ScoreText() const;
};

// The best dice in descending order of score. Scores compare rounded to six decimals,
// so sums that differ only by rounding tie. A die tied with an earlier one goes after
// it; dice tied with the last wanted place all stay, so the list may hold more than
// Wanted dice.
class TDieRanking
{
public:
    // At least one die is always wanted.
    explicit TDieRanking(int wanted) : FWanted(wanted > 1 ? wanted : 1) {}

    int Wanted() const { return FWanted; }
    const std::vector<TFoundDie> &Found() const { return FFound; }
    int Count() const { return int(FFound.size()); }

    void Rank(TDie &die, double score);
    void Clear() { FFound.clear(); }
    // Drops the dice that are no longer in the catalogue (a race or die was deleted
    // since the search); answers how many went.
    int ForgetMissing(const TCatalogue &catalogue);

private:
    int FWanted;
    std::vector<TFoundDie> FFound;
};

// Ranks every qualifying die of the catalogue in race order. The status hears
// "<n> dice found.  Processing <die>..." before each die is ranked.
TDieRanking SearchDice(const TCatalogue &catalogue, const TDieSearchCriteria &criteria,
                       const std::function<void(const QString &)> &status = {});

// A weight as the weights grid shows it, "%6.2f".
QString WeightText(double weight);
// "Melee set to 1." for a whole value, "Melee set to 1/3." for one over a whole number,
// the plain decimal number for any other value.
QString WeightSetText(ResultType result, double weight);
// "Enter a new weight for Melee".
QString WeightPrompt(ResultType result);
// A weight typed by the user: a finite decimal number, blanks around it allowed.
std::optional<double> ParseWeight(const QString &text);
// The weight as the edit box offers it.
QString WeightEditText(double weight);

// The ready-made weights of the weights pop-up, with their captions.
struct TWeightChoice
{
    const char16_t *Caption;
    double Value;
};
inline constexpr std::array<TWeightChoice, 5> kWeightChoices{{{u"Set to &0", 0.0},
                                                              {u"Set to 1/&5", 1.0 / 5},
                                                              {u"Set to 1/&3", 1.0 / 3},
                                                              {u"Set to 1/&2", 1.0 / 2},
                                                              {u"Set to &1", 1.0}}};
