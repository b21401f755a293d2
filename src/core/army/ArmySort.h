#pragma once

// The sort orders of the army window's Sort menu.

#include "dice/DiceTypes.h"

#include <QString>

#include <vector>

class TArmy;
class TDie;

// The menu items' tags are the values.
enum class ArmySortOrder : quint8 {
    RaceProfession,
    RaceHealth,
    ProfessionHealth,
    ProfessionRace,
    HealthProfession,
    HealthRace,
    DrawerRace,
};

// The menu captions.
template <> struct TVocabulary<ArmySortOrder>
{
    static constexpr std::array Names{u"Race and Profession", u"Race and Health",       u"Profession and Health",
                                      u"Profession and Race", u"Health and Profession", u"Health and Race",
                                      u"Drawer and Race"};
    static constexpr int Count = int(Names.size());
};

// The key a die sorts by: "1" (or "3" for a summoned die, so that those come last),
// then three numbers "%4d" and the die's name, blank-separated, in the order's
// sequence; the drawer order is the drawer left-aligned in eight places, the race ID and
// the name.
QString ArmySortKey(const TDie &die, ArmySortOrder order);

// A stable insertion sort by key: each entry goes behind the nearest entry before it
// whose key is not greater (keys compared by UTF-16 code unit, case-sensitive).
std::vector<TDie *> SortedDice(const std::vector<TDie *> &dice, ArmySortOrder order);

// Puts the army's dice in the order; the army counts as modified.
void SortArmy(TArmy &army, ArmySortOrder order);

// The menu item's caption.
QString SortCaption(ArmySortOrder order);
