#include "army/ArmyOdds.h"

#include <unordered_map>

TRollOdds ArmyOdds(const std::vector<const TDie *> &dice, Land land, ResultType result)
{
    // Armies hold many copies of few dice: each die's own odds are worked out once.
    std::unordered_map<const TDie *, TRollOdds> own;
    std::vector<const TRollOdds *> parts;
    parts.reserve(dice.size());
    for (const TDie *die : dice) {
        auto found = own.find(die);
        if (found == own.end())
            found = own.emplace(die, RollOdds(*die, land, result)).first;
        parts.push_back(&found->second);
    }
    return Convolve(parts, result);
}
