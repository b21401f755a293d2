#pragma once

#include "army/ArmyData.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class TDie;
class TPrintCanvas;
class TResultMap;
struct TArmyAnalysis;

// Everything a printout of one army shows, as texts: what the army window's grids hold
// and the details the description dialog edits. Rows may be missing cells; a missing
// cell prints as nothing.
struct TArmyPrintData
{
    // The title: name, health of the dice that are not summoned, type and group.
    QString Name;
    qint32 Health = 0;
    ArmyType Type = ArmyType::HordeArmy;
    QString GroupName;
    // "mm/dd/yy hh:nn:ss" of the moment printing started.
    QString PrintedAt;

    // The die grid: its six headers and one row of six cells per die entry, in list order.
    QStringList DiceHeaders;
    std::vector<QStringList> DiceRows;
    // The chance grid: "Effect", "%" and the 17 rows of effect name and percentage.
    QStringList ChanceHeaders;
    std::vector<QStringList> ChanceRows;
    // The result grid turned: "Terrain" and the eight lands, then one row per result type
    // in display order, its name and the eight cell texts.
    QStringList ResultHeaders;
    std::vector<QStringList> ResultRows;

    QString Notes;
    // Empty when the army type stands on no major terrain.
    QString MajorTerrain;
    // The minor terrains in use, 1 to 4.
    QStringList MinorTerrains;
    // Only a home army prints the group's battle size.
    std::optional<quint32> BattleSize;
};

// The six cells of a die's row in the army's die grid: name, race, profession, health,
// spell resistance in percent ("%5.2f") and drawer.
QStringList ArmyDiceRow(const TDie &die);
QStringList ArmyDiceHeaders();
// "mm/dd/yy hh:nn:ss".
QString PrintDateText(const QDateTime &moment);

// The printout of an army from its analysis: the result rows follow the display order of
// the result columns, and each cell is mean and spread, or mean and minimum.
TArmyPrintData MakeArmyPrintData(const TArmy &army, const TArmyAnalysis &analysis, const TResultMap &resultMap,
                                 bool showMinimum, const QDateTime &printedAt);

// One army as one document titled with its name. A failure while printing aborts the
// document and is passed on; so in the group print.
void PrintArmy(TPrintCanvas &canvas, const TArmyPrintData &army);

// The armies of a group as one document titled with the group name, one army per page:
// home armies first, then campaign armies, hordes, promotion pools and summoning pools,
// each kind in the order given. Armies of other groups are left out. printing hears
// each army's name before it is printed.
void PrintArmyGroup(TPrintCanvas &canvas, const QString &groupName, const std::vector<TArmyPrintData> &armies,
                    const std::function<void(const QString &name)> &printing = {});
