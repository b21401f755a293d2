#pragma once

// The race breakdown of a group: for every race, its dice by health 1 to 10 and its
// total health, over the group's armies that fight (pools are left out), with the mages
// by health.

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class TArmy;
class TCatalogue;

class TRaceBreakdown
{
public:
    static constexpr int kHealths = 10;

    // Counts into each race's breakdown counters, which are cleared first.
    TRaceBreakdown(const TCatalogue &catalogue, QString groupName, const std::vector<const TArmy *> &openArmies);

    const QString &GroupName() const { return FGroupName; }
    // Mages of health h (1 to 10).
    int Mages(int health) const;
    // The sum of h times the mages of health h.
    int MageHealth() const;

    // "<group> Race Breakdown".
    QString Caption() const;
    // The grid of 12 columns: a header row ("Race", "   1" ... "  10", "   T"), a row
    // per race with dice in the group in race list order, "TOTALS" and "MAGES"; numbers
    // right-aligned in four places.
    // Taken when the breakdown is made, so that a later count cannot change them.
    const QList<QStringList> &Rows() const { return FRows; }

private:
    QList<QStringList> MakeRows(const TCatalogue &catalogue) const;

    QString FGroupName;
    std::array<int, kHealths> FMages{};
    QList<QStringList> FRows;
};
