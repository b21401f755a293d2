#pragma once

#include "game/GameCommands.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;

// "Maneuver by <player>": a terrain turned up or down, or a minor terrain placed there.
// What it says and allows follows the core's ManeuverState after every change.
class TfrmManeuver : public QDialog
{
    Q_OBJECT

public:
    TfrmManeuver(TGame &game, TTerrainInPlay *preselected, QWidget *parent = nullptr);

    TManeuverChoice Choice() const;
    // Chooses as the user would; a choice the dialog does not allow stays unchosen.
    void ChooseTerrain(const TTerrainInPlay *terrain);
    void ChooseAction(TManeuverAction action);
    void ChooseMinorTerrain(int slot);
    QString StatusText() const;

    QComboBox *cmbTerrain;
    QRadioButton *rbMoveUp;
    QRadioButton *rbMoveDown;
    QRadioButton *rbMinor;
    QListWidget *lstMinor;
    QLabel *lblStatus;
    QPushButton *btnOK;

private:
    void DisplayStatus();

    TGame &FGame;
    std::vector<TTerrainInPlay *> FTerrains;
    std::vector<int> FSlots;
    bool FShowing = false;
};
