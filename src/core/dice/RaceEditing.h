#pragma once

#include "dice/DiceTypes.h"

#include <QString>

#include <functional>
#include <memory>

class TCatalogue;
class TDie;
class TRace;

// What the race form does to races, apart from showing them.

// Reorders the race's dice by a text key, compared unit by unit: ascending, or descending.
// Dice with equal keys keep their order.
void SortDice(TRace &race, const std::function<QString(const TDie &)> &key, bool descending);

// The reserve abilities the race form writes: both saves always, the five magic colours
// and the missiles when their boxes are checked.
TResultSet ReserveAbilities(bool magic, bool missiles);
// The race form's two boxes for a set of reserve abilities.
bool ReservesMagic(TResultSet abilities);
bool ReservesMissiles(TResultSet abilities);

// The status line of a selected die: name + ":  resistance = 33.3%" and then ", " and the
// inventory text, or a full stop when there is none.
QString DieSummary(const TDie &die, const QString &usageText);

// A new race (numbered from the catalogue) with default properties and the given name,
// holding a copy of every die of the source in order, each numbered by the new race.
// The copying callback hears each die before it is copied. Not yet in the race list.
std::unique_ptr<TRace> DuplicateRace(TCatalogue &catalogue, const TRace &source, const QString &name,
                                     const std::function<void(const TDie &)> &copying = {});
