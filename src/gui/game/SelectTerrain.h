#pragma once

#include <QDialog>

#include <optional>

class QListWidget;
class QPushButton;
class TTerrainInPlay;

// "Select Terrain Die": one of the 48 major terrains for a place.
class TfrmTerrainSelect : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmTerrainSelect(const TTerrainInPlay &place, QWidget *parent = nullptr);

    std::optional<int> Choice() const;
    void Choose(int index);

    QListWidget *lstTerrains;
    QPushButton *btnOK;
};
