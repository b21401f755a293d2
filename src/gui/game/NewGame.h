#pragma once

#include "game/GameSetup.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "New Game": the game's name, the number of players, the first player's name, the
// play mode and how the game starts.
class TdlgNewGame : public QDialog
{
    Q_OBJECT

public:
    explicit TdlgNewGame(QWidget *parent = nullptr);

    TNewGame Choice() const;
    void SetMode(TPlayMode mode);
    bool CanAccept() const;

    QLineEdit *txtName;
    QSpinBox *spnPlayers;
    QLineEdit *txtPlayerName;
    QRadioButton *rbEmail;
    QRadioButton *rbFtp;
    QRadioButton *rbUtility;
    QCheckBox *chkStaggered;
    QCheckBox *chkUncontrolled;
    QPushButton *btnOK;

private:
    void ModeChanged();
    void UpdateOK();
};
