#include "army/ArmySort.h"

#include "army/ArmyData.h"
#include "dice/DiceData.h"
#include "shell/QRVUtils.h"

using namespace Qt::StringLiterals;

namespace {

QString Number(qint64 n)
{
    return PadNumber(n, 4);
}

} // namespace

QString ArmySortKey(const TDie &die, ArmySortOrder order)
{
    const QString race = Number(die.Race().ID);
    const QString profession = Number(qint64(die.GetProfession()));
    const QString health = Number(die.Health());
    QString key;
    switch (order) {
    case ArmySortOrder::RaceProfession:
        key = race + u' ' + profession + u' ' + health;
        break;
    case ArmySortOrder::RaceHealth:
        key = race + u' ' + health + u' ' + profession;
        break;
    case ArmySortOrder::ProfessionHealth:
        key = profession + u' ' + health + u' ' + race;
        break;
    case ArmySortOrder::ProfessionRace:
        key = profession + u' ' + race + u' ' + health;
        break;
    case ArmySortOrder::HealthProfession:
        key = health + u' ' + profession + u' ' + race;
        break;
    case ArmySortOrder::HealthRace:
        key = health + u' ' + race + u' ' + profession;
        break;
    case ArmySortOrder::DrawerRace:
        key = die.Drawer.leftJustified(8, u' ') + u' ' + race;
        break;
    }
    return (TArmy::IsSummoned(die) ? u'3' : u'1') + key + u' ' + die.Name;
}

std::vector<TDie *> SortedDice(const std::vector<TDie *> &dice, ArmySortOrder order)
{
    struct TEntry
    {
        QString Key;
        TDie *Die;
    };
    std::vector<TEntry> entries;
    entries.reserve(dice.size());
    for (TDie *die : dice)
        entries.push_back({ArmySortKey(*die, order), die});
    for (size_t i = 1; i < entries.size(); ++i) {
        TEntry moving = std::move(entries[i]);
        size_t j = i;
        for (; j > 0 && entries[j - 1].Key > moving.Key; --j)
            entries[j] = std::move(entries[j - 1]);
        entries[j] = std::move(moving);
    }
    std::vector<TDie *> sorted;
    sorted.reserve(entries.size());
    for (const TEntry &entry : entries)
        sorted.push_back(entry.Die);
    return sorted;
}

void SortArmy(TArmy &army, ArmySortOrder order)
{
    army.Reorder(SortedDice(army.Dice(), order));
}

QString SortCaption(ArmySortOrder order)
{
    return NameOf(order);
}
