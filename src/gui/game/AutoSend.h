#pragma once

#include <QDialog>

class QCheckBox;
class QSpinBox;

// "Automatic Send and Receive": whether a shared game is sent and polled automatically,
// and every how many seconds (1 to 120; 30 proposed while it is off).
class TfrmAutoSend : public QDialog
{
    Q_OBJECT

public:
    TfrmAutoSend(int interval, QWidget *parent = nullptr);

    // The seconds chosen, 0 for off.
    int Interval() const;

    QCheckBox *chkEnable;
    QSpinBox *spnSeconds;
};
