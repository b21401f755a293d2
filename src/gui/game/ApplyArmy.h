#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class TGameCommands;
class TfrmArmy;
class TfrmMain;

// "Place Armies": puts the dice of an open army window into a player's army at a place,
// or every army of a group where its type stands; "Apply" may be pressed as often as
// needed before "&Close".
class TfrmApplyArmy : public QDialog
{
    Q_OBJECT

public:
    TfrmApplyArmy(TfrmMain &main, TGameCommands &commands, QWidget *parent = nullptr);

    // The army list: each open army of no group by its caption, then each group once.
    QStringList ArmyNames() const;
    void ChoosePlayer(int index);
    void ChoosePlace(int index);
    void ChooseArmy(const QString &name);
    bool CanApply() const;
    void Apply();
    QString StatusText() const;

    QComboBox *cmbPlayer;
    QComboBox *cmbTerrain;
    QComboBox *cmbArmy;
    QPushButton *btnApply;
    QPushButton *btnClose;
    QLabel *lblStatus;

private:
    void UpdateControls();
    bool GroupChosen() const;

    TfrmMain &FMain;
    TGameCommands &FCommands;
    // Per line of the army list: the army window, or none for a group.
    std::vector<TfrmArmy *> FArmies;
};
