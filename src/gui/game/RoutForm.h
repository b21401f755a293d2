#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class TGame;
class TTerrainInPlay;

// "Rout": the terrain that turns one face down.
class TfrmRout : public QDialog
{
    Q_OBJECT

public:
    TfrmRout(TGame &game, TTerrainInPlay *preselected, QWidget *parent = nullptr);

    TTerrainInPlay *Choice() const;
    void Choose(const TTerrainInPlay *terrain);
    QString StatusText() const;

    QComboBox *cmbTerrain;
    QLabel *lblStatus;
    QPushButton *btnOK;

private:
    void DisplayStatus();

    std::vector<TTerrainInPlay *> FTerrains;
};
