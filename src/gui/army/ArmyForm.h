#pragma once

#include "army/ArmyData.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class TDie;
class TFancyGrid;
class TfrmMain;
class TfrmOdds;
struct TArmyAnalysis;
struct TArmyPrintData;

// An army window: the army document itself. It shows the army's dice, runs and shows
// its analysis, saves and loads it, prints and exports it, and offers the army to the
// other windows, which put dice into the main window's current army through AddDie.
class TfrmArmy : public QMainWindow
{
    Q_OBJECT

public:
    // A new army ("New Army"), or the given army (read from a file).
    explicit TfrmArmy(TfrmMain &main, std::unique_ptr<TArmy> army = {});
    ~TfrmArmy() override;

    TArmy &Army() { return *FArmy; }
    const TArmy &Army() const { return *FArmy; }

    // The operations other windows use: each keeps the window's grids and health text in
    // step and clears the analysis.
    void AddDie(TDie &die);
    void RemoveDie(const TDie &die);
    // "<die> added to <army>.  Total health now <h/s>." as other windows report it.
    QString AddedText(const TDie &die) const;

    // Edits that keep the other armies of the group in step.
    void SetGroupName(const QString &name);
    void SetBattleSize(quint32 size);
    void SetMajorTerrain(int index);
    void SetMinorTerrain(int k, int index);
    void SetNotes(const QString &notes);

    // Commands.
    void NewArmy();
    void OpenArmy();
    void ExitProgram();
    void DuplicateDie();
    void DeleteDie();
    void ViewDie();
    void ViewRace();
    void SortArmy(int tag);
    void SortAll();
    void AnalyzeArmy();
    void ClearResults();
    void ToggleSummoned();
    void ToggleShowMin();
    // The rules options of the main window, with their check marks copied here.
    void PowerItemsRule();
    void mnuOptionsMonsterRule();
    void ShowArmyNotes();
    void ShowRaceBreakdown();
    // The exact odds of the army's roll, in a window that follows the army.
    void ShowOdds();
    TfrmOdds *OddsWindow() const { return FOdds; }
    void PrintArmy();
    void PrintGroup();
    void ExportGroup();
    // "&Save" asks for a file only when none is known, "Save &As..." always.
    bool SaveArmyNormal() { return SaveArmy(false); }
    bool SaveArmyRename() { return SaveArmy(true); }
    bool SaveArmy(bool force);
    bool SaveGroup();
    void CloseGroup();
    void CloseAllArmies();
    // The close query: may the window close? Asks about unsaved changes.
    bool CloseQuery();
    // Closes the window through its close query; answers whether it closed.
    bool CloseArmy();

    // The window became the active one: it is the current army.
    void SelectArmy();
    // The caption, the group menu items and the fields, after loading or a group change.
    void RefreshAll();

    int SelectedIndex() const;
    TDie *SelectedDie() const;
    // The selected die; without one the command beeps and does nothing.
    TDie *SelectedDieOrBeep() const;
    bool IncludeSummoned() const { return FIncludeSummoned; }
    QString StatusText() const;
    void ShowStatus(const QString &text);
    TFancyGrid &DiceGrid() const { return *grdDice; }
    TFancyGrid &ResultsGrid() const { return *grdResults; }
    TFancyGrid &ChancesGrid() const { return *grdChances; }
    QMenu &DicePopup();

    // The die grid's row for the dice list entry at index (0-based).
    void FillDiceRows(int from = 0);

signals:
    void StatusChanged(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FreeArmy();
    void BuildControls();
    void BuildMenus();
    void FillResults(const TArmyAnalysis &analysis);
    void DiceChanged(int fromIndex);
    void UpdateGroupItems();
    void ArrangeResultColumns();
    void SwapColumns(int from, int to);
    void Modify();
    bool WriteArmyFile(const QString &path);
    TArmyPrintData PrintData();
    bool WriteGroupFile(const QString &path);
    std::vector<TfrmArmy *> GroupArmies() const;

    TfrmMain &FMain;
    std::unique_ptr<TArmy> FArmy;
    // The figures of the last analysis, for printing; none once they are cleared.
    std::unique_ptr<TArmyAnalysis> FAnalysis;
    bool FIncludeSummoned = false;
    bool FFilling = false;
    TfrmOdds *FOdds = nullptr; // a child window, made on first use

    QLineEdit *txtName = nullptr;
    QLineEdit *txtHealth = nullptr;
    QComboBox *cmbArmyType = nullptr;
    TFancyGrid *grdDice = nullptr;
    QPushButton *btnAnalyze = nullptr;
    QPushButton *btnNotes = nullptr;
    TFancyGrid *grdResults = nullptr;
    TFancyGrid *grdChances = nullptr;
    QLabel *barStatus = nullptr;
    QMenu *FPopup = nullptr;
    QAction *mnuFileSave = nullptr;
    QAction *mnuCloseGroup = nullptr;
    QAction *mnuSaveGroup = nullptr;
    QAction *mnuPrintGroup = nullptr;
    QAction *mnuExportGroup = nullptr;
    QAction *mnuOptionsSummoned = nullptr;
    QAction *mnuOptionsShowMin = nullptr;
    QAction *mnuOptionsPowerItems = nullptr;
    QAction *mnuOptionsMonster = nullptr;
    QAction *mnuPopupDelete = nullptr;
    QAction *mnuPopupDuplicate = nullptr;
    QAction *mnuPopupView = nullptr;
    QAction *mnuPopupViewRace = nullptr;
};
