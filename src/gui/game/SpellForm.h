#pragma once

#include "game/GameCommands.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// "Apply a Spell or Effect": a description, a duration, the caster and the targets
// (the current army, the marked dice or a terrain), and whether to roll them.
class TfrmCastSpell : public QDialog
{
    Q_OBJECT

public:
    TfrmCastSpell(TGame &game, TArmyInPlay *currentArmy, const std::vector<TDieInPlay *> &marked,
                  QWidget *parent = nullptr);

    bool CanAccept() const;
    TCastRequest Request() const;

    QLineEdit *txtDescription;
    QComboBox *cmbDuration;
    QComboBox *cmbCaster;
    QRadioButton *rbArmy;
    QRadioButton *rbMarked;
    QRadioButton *rbTerrain;
    QListWidget *lstTerrains;
    QCheckBox *chkRoll;
    QPushButton *btnOK;

private:
    void UpdateControls();

    TGame &FGame;
    TArmyInPlay *FArmy;
    std::vector<TDieInPlay *> FMarked;
    std::vector<TTerrainInPlay *> FTerrains;
};
