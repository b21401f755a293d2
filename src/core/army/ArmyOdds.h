#pragma once

#include "dice/RollOdds.h"

#include <vector>

class TDie;

// The chances of the totals one roll of an army gives for a result type at a land: the
// sum of independent rolls of the dice the analysis counts (AnalysedDice: one roll per
// entry, an entry twice rolling twice), each die rolled as RollOdds rolls it, with the
// rules options of its catalogue. No dice roll a total of 0.
TRollOdds ArmyOdds(const std::vector<const TDie *> &dice, Land land, ResultType result);
