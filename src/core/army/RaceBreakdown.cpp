#include "army/RaceBreakdown.h"

#include "army/ArmyData.h"
#include "dice/Catalogue.h"
#include "shell/QRVUtils.h"

using namespace Qt::StringLiterals;

namespace {

QString Cell(qint64 n)
{
    return PadNumber(n, 4);
}

} // namespace

TRaceBreakdown::TRaceBreakdown(const TCatalogue &catalogue, QString groupName,
                               const std::vector<const TArmy *> &openArmies)
    : FGroupName(std::move(groupName))
{
    for (const auto &race : catalogue.Races())
        race->ResetBreakdown();
    for (const TArmy *army : openArmies) {
        const bool pool = army->Type() == ArmyType::PromotionPool || army->Type() == ArmyType::SummoningPool;
        if (pool || army->GroupName() != FGroupName)
            continue;
        for (const TDie *die : army->Dice()) {
            const int health = die->Health();
            die->Race().CountBreakdown(health);
            if (health >= 1 && health <= kHealths && die->MagicUser())
                ++FMages[size_t(health - 1)];
        }
    }
    FRows = MakeRows(catalogue);
}

int TRaceBreakdown::Mages(int health) const
{
    if (health < 1 || health > kHealths)
        return 0;
    return FMages[size_t(health - 1)];
}

int TRaceBreakdown::MageHealth() const
{
    int total = 0;
    for (int h = 1; h <= kHealths; ++h)
        total += h * Mages(h);
    return total;
}

QString TRaceBreakdown::Caption() const
{
    return FGroupName + u" Race Breakdown"_s;
}

QList<QStringList> TRaceBreakdown::MakeRows(const TCatalogue &catalogue) const
{
    QList<QStringList> rows;
    QStringList header{u"Race"_s};
    for (int h = 1; h <= kHealths; ++h)
        header << Cell(h);
    header << u"   T"_s;
    rows << header;

    std::array<qint64, kHealths> counts{};
    qint64 total = 0;
    for (const auto &race : catalogue.Races()) {
        if (race->BreakdownTotal() == 0)
            continue;
        QStringList row{race->Name};
        for (int h = 1; h <= kHealths; ++h) {
            row << Cell(race->BreakdownCount(h));
            counts[size_t(h - 1)] += race->BreakdownCount(h);
        }
        row << Cell(race->BreakdownTotal());
        total += race->BreakdownTotal();
        rows << row;
    }

    QStringList totals{u"TOTALS"_s};
    for (qint64 count : counts)
        totals << Cell(count);
    totals << Cell(total);
    rows << totals;

    QStringList mages{u"MAGES"_s};
    for (int h = 1; h <= kHealths; ++h)
        mages << Cell(Mages(h));
    mages << Cell(MageHealth());
    rows << mages;
    return rows;
}
