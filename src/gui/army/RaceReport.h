#pragma once

#include "army/RaceBreakdown.h"

#include <QDialog>

class QTableWidget;

// "Race Breakdown": the dice of a group by race and health, with the totals and the mages.
class TfrmRaceBreakdown : public QDialog
{
    Q_OBJECT

public:
    TfrmRaceBreakdown(const TRaceBreakdown &breakdown, QWidget *parent = nullptr);

    QTableWidget &Grid() const { return *grdRaces; }

private:
    QTableWidget *grdRaces;
};
