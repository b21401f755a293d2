#pragma once

#include "army/ArmyData.h"

#include <QMainWindow>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class TDie;
class TFancyGrid;
class TfrmMain;

// An army window: the army document itself. It shows the army's dice, runs and shows
// its analysis, saves and loads it, and offers the army to the other windows, which put
// dice into the main window's current army through AddDie.
class TfrmArmy : public QMainWindow
{
    Q_OBJECT

public:
    // A new army ("New Army").
    explicit TfrmArmy(TfrmMain &main);
    ~TfrmArmy() override;

    TArmy &Army() { return *FArmy; }
    const TArmy &Army() const { return *FArmy; }

    // The operations other windows use: each keeps the window's grids and health text in
    // step and clears the analysis.
    void AddDie(TDie &die);
    void RemoveDie(const TDie &die);
    // "<die> added to <army>.  Total health now <h/s>." as other windows report it.
    QString AddedText(const TDie &die) const;

    // The close query: may the window close? Asks about unsaved changes.
    bool CloseQuery();
    // Saves the army (or its group, when it was read from or written to a group file);
    // force asks for the file even when one is known.
    bool SaveArmy(bool force);

signals:
    void StatusChanged(const QString &text);

protected:
    TfrmMain &FMain;
    std::unique_ptr<TArmy> FArmy;
};
