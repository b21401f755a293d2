#pragma once

#include "dice/DiceTypes.h"
#include "editors/DieEdit.h"

#include <QMainWindow>

#include <array>
#include <memory>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class TDie;
class TFancyGrid;
class TRace;
class TfrmMain;

// The race window: one race of the catalogue at a time with its properties and a grid of
// its dice showing their results at a chosen land. It edits the race's properties,
// creates, duplicates, renames races, sorts, adds, views and deletes dice. It lives as
// long as the program; closing it asks whether to leave the program.
class TfrmRace : public QMainWindow, public TDiePostListener
{
    Q_OBJECT

public:
    explicit TfrmRace(TfrmMain &main);
    ~TfrmRace() override;

    // The name list, after the race database was read or races were added or renamed.
    void FillRaceNames();
    // Shows another race: its properties, its dice, its name chosen in the list. Edits
    // waiting for regeneration are asked about first; false when the user cancelled,
    // and the race shown stays.
    bool ShowRace(TRace *race);
    TRace *Race() const { return FRace; }
    Land DisplayLand() const { return FLand; }
    bool RegenerationPending() const { return FPending; }

    // Commands of the Edit, Terrain and pop-up menus.
    void ChangeRace(int nameIndex);
    void Regenerate();
    void DuplicateRace();
    void CreateRace();
    void ChangeName();
    void AddDice();
    void ViewDice();
    // Puts the selected die into the current army.
    void AddToArmy();
    void DeleteDie();
    void ChangeDisplayTerrain(Land land);
    void ViewIcons();
    // A left press on a grid title: with Shift or Ctrl the dice are sorted by it.
    void GridMouseDown(int position, Qt::KeyboardModifiers keys);
    // Closing the race window means leaving the program; the main window decides.
    void SuppressClose();
    // Sorts the dice by the text of a grid column: ascending, or descending.
    void SortByColumn(int position, bool descending);
    // The status line of the die at a grid row.
    void CheckSelection(int row);

    // The die viewer posted a die of this race.
    void DiePosted(TDie &die, bool added) override;

    QString StatusText() const;
    QString LandPanelText() const;
    QString RegenPanelText() const;
    TFancyGrid &Grid() const { return *grdDice; }
    // The pop-up menu as it would show for the selected row.
    QMenu &GridPopup();

signals:
    void StatusChanged(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildControls();
    void BuildMenus();
    void DisplayRace(TRace *race);
    void FillProperties();
    void FillGrid();
    void FillRow(int row, const TDie *die);
    void ArrangeResultColumns();
    void PropertiesChanged();
    void ColorsChanged();
    // "Save changes to ...?" while regeneration is pending; false when cancelled.
    bool PendingCheck();
    void ShowStatus(const QString &text);
    void UpdatePopup();
    void SwapColumns(int from, int to);
    TDie *SelectedDie() const;
    int SelectedRow() const;

    TfrmMain &FMain;
    TRace *FRace = nullptr;
    // Races renamed to an empty name left the race list but not the program: the
    // inventory tree, trades and armies may still hold them and their dice.
    std::vector<std::unique_ptr<TRace>> FUnlisted;
    Land FLand = Land::None;
    bool FLoaded = false;
    bool FPending = false;
    bool FFillingNames = false;

    QComboBox *cmbName = nullptr;
    QComboBox *cmbRaceType = nullptr;
    QListWidget *lstColors = nullptr;
    QComboBox *cmbHomeTerrain = nullptr;
    QComboBox *cmbMoveEffect = nullptr;
    QCheckBox *chkTerrainMagic = nullptr;
    QCheckBox *chkMagicDouble = nullptr;
    QCheckBox *chkReserveMagic = nullptr;
    QCheckBox *chkReserveMissiles = nullptr;
    QCheckBox *chkArmored = nullptr;
    QCheckBox *chkIntangible = nullptr;
    QPushButton *btnRegenerate = nullptr;
    TFancyGrid *grdDice = nullptr;
    std::array<QLabel *, 3> barStatus{};
    QMenu *FPopup = nullptr;
    QAction *mnuPopupDelete = nullptr;
    QAction *mnuPopupAdd = nullptr;
    QAction *mnuPopupView = nullptr;
    QAction *mnuPopupPut = nullptr;
};
