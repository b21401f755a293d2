#include "army/RaceReport.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmRaceBreakdown::TfrmRaceBreakdown(const TRaceBreakdown &breakdown, QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmRaceBreakdown"_s);
    setWindowTitle(breakdown.Caption());
    const QList<QStringList> &rows = breakdown.Rows();
    grdRaces = new QTableWidget(int(rows.size()) - 1, 12, this);
    grdRaces->setObjectName(u"grdRaces"_s);
    // The counts are right-aligned in four places: a fixed-pitch font keeps them in line.
    grdRaces->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    grdRaces->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdRaces->verticalHeader()->hide();
    if (!rows.isEmpty())
        grdRaces->setHorizontalHeaderLabels(rows.front());
    for (qsizetype r = 1; r < rows.size(); ++r) {
        for (qsizetype c = 0; c < rows[r].size() && c < 12; ++c)
            grdRaces->setItem(int(r - 1), int(c), new QTableWidgetItem(rows[r][c]));
    }
    grdRaces->resizeColumnsToContents();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grdRaces);
    resize(620, 420);
}
