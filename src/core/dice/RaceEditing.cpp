#include "dice/RaceEditing.h"

#include "dice/Catalogue.h"

#include <vector>

using namespace Qt::StringLiterals;

void SortDice(TRace &race, const std::function<QString(const TDie &)> &key, bool descending)
{
    std::vector<std::pair<QString, TDie *>> keyed;
    for (const auto &die : race.Dice())
        keyed.emplace_back(key(*die), die.get());
    // An insertion sort, so that equal keys stay in the order they had.
    for (size_t i = 1; i < keyed.size(); ++i) {
        auto item = std::move(keyed[i]);
        size_t j = i;
        while (j > 0) {
            const int order = QStringView(item.first).compare(QStringView(keyed[j - 1].first), Qt::CaseSensitive);
            if (descending ? order <= 0 : order >= 0)
                break;
            keyed[j] = std::move(keyed[j - 1]);
            --j;
        }
        keyed[j] = std::move(item);
    }
    std::vector<TDie *> order;
    for (const auto &[text, die] : keyed)
        order.push_back(die);
    race.ReorderDice(order);
}

TResultSet ReserveAbilities(bool magic, bool missiles)
{
    return TResultSet::FromBits(quint16(768 + (magic ? 31 : 0) + (missiles ? 32 : 0)));
}

bool ReservesMagic(TResultSet abilities)
{
    return (abilities.ToBits() & 31) == 31;
}

bool ReservesMissiles(TResultSet abilities)
{
    return abilities.Contains(ResultType::Missile);
}

QString DieSummary(const TDie &die, const QString &usageText)
{
    QString line = die.Name + u":  resistance = "_s
                   + QString::asprintf("%0.1f", die.Fraction(EffectFlag::SpellResist) * 100) + u'%';
    return usageText.isEmpty() ? line + u'.' : line + u", "_s + usageText;
}

std::unique_ptr<TRace> DuplicateRace(TCatalogue &catalogue, const TRace &source, const QString &name,
                                     const std::function<void(const TDie &)> &copying)
{
    auto race = catalogue.CreateRace();
    race->Name = name;
    for (const auto &die : source.Dice()) {
        if (copying)
            copying(*die);
        race->AddDie(std::make_unique<TDie>(*die, *race));
    }
    return race;
}
