#pragma once

#include "dice/RaceFile.h"

#include <QDialog>

class QLabel;
class QProgressBar;

// The splash window shown while the catalogue loads: a notice, a progress bar and a
// status panel that names the race being read.
class TfrmDisclaimer : public QDialog, public TRaceLoadListener
{
    Q_OBJECT

public:
    explicit TfrmDisclaimer(QWidget *parent = nullptr);

    void RaceLoading(const QString &name) override;
    void RaceLoaded(const TRace &race, int percent) override;

    QString StatusText() const;
    int Progress() const;

private:
    QLabel *txtDisclaimer;
    QProgressBar *barProgress;
    QLabel *pnlStatus;
};
