#pragma once

#include "calc/RollCalc.h"
#include "game/GameCommands.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTimer;
class TCellData;
class TFancyGrid;
class TGameDialogs;
class TfrmGameLog;
class TfrmMain;

// A game window: one game on the board. The terrain grid has a column per place, the
// army grid shows the armies and dragons of the selected place; beside them the notes of
// the face symbol shown, the scratch pad and the spells acting on what is picked. Every
// command runs as the core's TGameCommands runs it; the window is its TGameUI.
class TfrmGame : public QMainWindow, public TGameUI, public TCalculatorHost
{
    Q_OBJECT

public:
    // A new game (no file name yet), or one read from the file named.
    TfrmGame(TfrmMain &main, std::unique_ptr<TGame> game, const QString &fileName = QString());
    // Keeps the window's options in the settings; frees the log window and the game.
    ~TfrmGame() override;

    TGame &Game() const { return *FGame; }
    TGameCommands &Commands() const { return *FCommands; }
    const QString &FileName() const { return FFileName; }
    bool Started() const { return FStarted; }
    TArmyInPlay *CurrentArmy() const { return FCurrentArmy; }
    int SelectedColumn() const { return FSelectedColumn; }
    int HeightFactor() const { return FHeightFactor; }
    int AutoSendInterval() const { return FAutoSendInterval; }
    TfrmGameLog *LogWindow() const { return FLogWindow; }
    TFancyGrid &TerrainGrid() const { return *grdTerrains; }
    TFancyGrid &ArmyGrid() const { return *grdArmies; }
    QPlainTextEdit &ScratchPadMemo() const { return *txtScratchPad; }
    QPlainTextEdit &NotesMemo() const { return *txtNotes; }
    QListWidget &SpellList() const { return *lstSpells; }
    QPushButton &NextPhaseButton() const { return *btnNextPhase; }
    QPushButton &TransmitButton() const { return *btnTransmit; }
    // Status panels 0 to 4: round, player, phase, "LOCKED", the last message.
    QString Panel(int index) const;
    bool HasControl() const;

    // Replaces the window's game with one read from a file (load, refresh, download);
    // throws a TKrException and keeps the old game when the file cannot be read.
    void LoadGame(const QString &fileName);
    // Selects a terrain grid column (1-based: column c shows place c - 1).
    void SelectColumn(int column);
    // The marked dice dropped on a terrain grid column, as a drag from the army grid ends.
    void DropDiceOn(int column);
    // The dice of the marked army grid cells, column by column, each from the top.
    std::vector<TDieInPlay *> MarkedDice() const;

    // File
    bool SaveGame();
    bool SaveGameAs();
    bool Save(bool forceDialog);
    void RefreshGame();
    // The close query: may the window close? Asks about an unsaved game.
    bool RequestClose();
    void CloseAllArmies();
    // Edit
    void ChangePlayerData();
    void ClearArmyMarks();
    void TransferArmy();
    void ShowCalculator();
    void EmergencyUnlock();
    void ShowLog();
    void CopyLog();
    void ClearLog();
    void ScratchPad();
    void ClearScratchPad();
    void TransmitStatus();
    void CopyStatus();
    // Setup, Turns, Play and Utility
    void ApplyArmy();
    void SetTerrain();
    void StartingRoll();
    void EraseBurialVault();
    void TransferControl();
    void StartGame();
    void NextPlayer();
    void NextMarch();
    void NextPhase();
    void SamePhase();
    void RollDice();
    void CastSpell();
    void DoManeuver();
    void Rout();
    void BuryMinorTerrain();
    void RollMinorTerrain();
    void SetTerrainFace();
    void RollTerrain();
    // Sharing (GameFormSharing.cpp)
    void FTPSendFile();
    void FTPReceiveFile();
    void DisplayFTPName();
    void MailGame();
    void ConfigureAutoSend();
    // Seconds between the polls of a locked FTP game, 0 for none.
    void SetAutoSendInterval(int seconds);
    // The poll: a locked copy of an FTP game downloads the controller's last upload.
    void AutoUpdate();
    // Options
    void ToggleAutoSave();
    void ChangeHeightFactor(int change);
    void UserInformation();
    // The menus and status panels follow the game and the user's control.
    void UpdateMenus() override;
    // Removes the spell picked in the spell list.
    void RemoveSpell();

    // The window became the active one.
    void Activated();

    // TGameUI
    QString UserEmail() const override;
    void Show(const QString &text) override;
    TGameAnswer Ask(const QString &question, TGameButtons buttons, TGameAskKind kind) override;
    void Message(TGameMessage kind, const QString &text) override;
    void ReportError(const TKrException &failure, const QString &context) override;
    void BeginBusy() override;
    void EndBusy() override;
    std::optional<int> ChooseMarch(const QStringList &lines) override;
    std::optional<QString> AskReason(const TReasonRequest &request) override;
    std::optional<TRollReasonAnswer> AskRollReason(const TReasonRequest &request,
                                                   const QStringList &targets) override;
    std::optional<TManeuverChoice> AskManeuver(TTerrainInPlay *preselected) override;
    std::optional<TTerrainInPlay *> AskRout(TTerrainInPlay *preselected) override;
    std::optional<int> AskTerrainDie(const TTerrainInPlay &place) override;
    std::optional<int> AskNumber(const QString &prompt, int low, int high) override;
    std::optional<TControlChoice> AskNewController() override;
    void Refresh(const TSpellTarget &target) override;
    void RebuildGrids() override;
    void RebuildArmyGrid() override;
    void RefreshStatus() override;
    void SetStarted() override;
    void AfterAction(bool forced) override;
    void SendControlChange() override;

    // TCalculatorHost
    TGame *CalculatorGame() override { return FGame.get(); }
    QString ScratchPadText() const override;
    void SetScratchPadText(const QString &text) override;
    void ShowGameStatus(const QString &text) override { Show(text); }
    void CalculatorRolled(TDieInPlay &die) override;
    void CalculatorClosed(TfrmCalculator &calculator) override;

signals:
    void StatusChanged(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildControls();
    void BuildMenus();
    void ArrangeControls();
    void ReadSettings();
    void TakeGame(std::unique_ptr<TGame> game);
    void ShowControlMessage();
    void RefreshCaption();
    // Runs a command's work with its failure status and context.
    void Guarded(const QString &status, const QString &context, const std::function<void()> &work);
    bool WriteGame(const QString &fileName);
    // Reads the window's file again; throws when it cannot.
    void ReloadGame();
    void DownloadUpdate();

    // Grids (GameFormGrids.cpp)
    void BuildTerrainGrid();
    void RebuildTerrainColumn(int column);
    void SelectTerrain(int column);
    void SelectArmy(int column, int row);
    // The spells and effects acting on the target (a die lists only its race's).
    void ShowEffects(const TSpellTarget *target);
    void RefreshSpellList();
    bool VerifyMark(TCellData &cell) const;
    void ProcessMark();
    void DropDice(const QPoint &position);
    void ShowData(const QPoint &position);
    void ViewDie();
    void ArmyKeyCheck();
    int ColumnOf(const TTerrainInPlay &place) const;
    TTerrainInPlay *SelectedPlace() const;

    TfrmMain &FMain;
    TGameDialogs &FDialogs;
    std::unique_ptr<TGame> FGame;
    std::unique_ptr<TGameCommands> FCommands;
    QString FFileName;
    QString FLogFileName;
    int FSelectedColumn = 0;
    bool FStarted = false;
    TSpell *FSelectedSpell = nullptr;
    TEffectLines FEffectLines;
    TArmyInPlay *FCurrentArmy = nullptr;
    int FHeightFactor = 3;
    int FAutoSendInterval = 0;
    TfrmGameLog *FLogWindow = nullptr;
    // The calculators open on this window's armies; they go when it goes.
    // Guarded: a calculator may go without closing (its frame taken down with it).
    std::vector<QPointer<TfrmCalculator>> FCalculators;
    QTimer *FUpdateTimer = nullptr;
    bool FClosingChecked = false;

    QWidget *FClient = nullptr;
    QPushButton *btnNextPhase = nullptr;
    QPlainTextEdit *txtNotes = nullptr;
    QPlainTextEdit *txtScratchPad = nullptr;
    QPushButton *btnTransmit = nullptr;
    QPushButton *btnClear = nullptr;
    QListWidget *lstSpells = nullptr;
    TFancyGrid *grdTerrains = nullptr;
    TFancyGrid *grdArmies = nullptr;
    std::array<QLabel *, 5> barStatus{};
    QMenu *FSpellPopup = nullptr;
    QAction *mnuRemoveSpell = nullptr;

    QMenu *mnuSetup = nullptr;
    QMenu *mnuTurns = nullptr;
    QMenu *mnuPlay = nullptr;
    QMenu *mnuUtility = nullptr;
    QAction *mnuFileSave = nullptr;
    QAction *mnuFileRefresh = nullptr;
    QAction *mnuFileUpload = nullptr;
    QAction *mnuFileDownload = nullptr;
    QAction *mnuFileDisplayFtp = nullptr;
    QAction *mnuFileMail = nullptr;
    QAction *mnuEditPlayerData = nullptr;
    QAction *mnuEditTransferArmy = nullptr;
    QAction *mnuEditUnlock = nullptr;
    QAction *mnuEditShowLog = nullptr;
    QAction *mnuEditClearLog = nullptr;
    QAction *mnuEditTransmitPad = nullptr;
    QAction *mnuEditTransmitStatus = nullptr;
    QAction *mnuSetupPlayerData = nullptr;
    QAction *mnuSetupPlaceArmies = nullptr;
    QAction *mnuSetupSetTerrain = nullptr;
    QAction *mnuSetupTurnOrder = nullptr;
    QAction *mnuSetupEraseVault = nullptr;
    QAction *mnuSetupTransferControl = nullptr;
    QAction *mnuSetupStart = nullptr;
    QAction *mnuPlayBury = nullptr;
    QAction *mnuUtilityPlaceArmies = nullptr;
    QAction *mnuUtilitySetTerrain = nullptr;
    QAction *mnuUtilityRollMinor = nullptr;
    QAction *mnuUtilitySetFace = nullptr;
    QAction *mnuUtilityRollTerrain = nullptr;
    QAction *mnuOptionsAutoSave = nullptr;
    QAction *mnuOptionsAutoSend = nullptr;
};
