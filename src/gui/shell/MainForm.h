#pragma once

#include "dice/Catalogue.h"
#include "shell/Clock.h"
#include "shell/DataPaths.h"
#include "shell/ResultMap.h"
#include "shell/ShellServices.h"
#include "shell/UserInfo.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <array>
#include <map>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
struct TFileDialog;
class TPrompts;
class TSettingsStore;
class TfrmAbout;
class TfrmDisclaimer;
class TfrmHelp;
class TfrmArmy;
class TfrmGame;
class TGameDialogs;
class TQtGameDialogs;
class TfrmArmyDescription;
class TfrmDieSearch;
class TfrmIconView;
class TfrmInventory;
class TfrmRace;
class TfrmUserInfo;
class TNetService;
class QMdiSubWindow;

// The main frame: a multiple-document window that owns the catalogue, keeps the
// program's settings and offers the services every other window reports through (the
// status line, the error report, window positions, the file choosers).
class TfrmMain : public QMainWindow, public TShellServices
{
    Q_OBJECT

public:
    // Opens a document of one kind; throws a TKrException when it cannot.
    using TDocumentOpener = std::function<void(const QString &path)>;

    // InitializeMain: reads the symbols and the settings. The data files are read when
    // the window is first shown. The watcher, when given, hears every status line from
    // the very first.
    TfrmMain(TSettingsStore &settings, TPrompts &prompts, TDataPaths paths, QStringList documents = {},
             const std::function<void(const QString &)> &statusWatcher = {}, QWidget *parent = nullptr);
    // TerminateMain: keeps the window position, the result order and the user
    // information in the settings.
    ~TfrmMain() override;

    // The long-lived windows, created after the main frame in the program's fixed order.
    void CreateWindows();

    TCatalogue &Catalogue() { return FCatalogue; }
    TSettingsStore &Settings() { return FSettings; }
    TPrompts &Prompts() { return FPrompts; }
    // Where a data file is read from, and where it is saved: the same folder, except for
    // an installed program, which saves in the user's own data folder.
    QString DataFilePath(const QString &name) const { return FPaths.DataFilePath(name); }
    QString DataSavePath(const QString &name) const { return FPaths.SavePath(name); }
    QMdiArea *MdiArea() const { return FMdiArea; }
    TfrmRace *RaceForm() const { return FRaceForm; }
    TfrmDieSearch *DieFinder() const { return FDieFinder; }
    TfrmInventory *InventoryForm() const { return FInventoryForm; }
    // Game sharing: the FTP and mail clients, the accounts, the transfers.
    TNetService &Net() const { return *FNet; }

    // The open army windows in opening order, and the one the army commands refer to.
    const std::vector<TfrmArmy *> &ArmyForms() const { return FArmyForms; }
    TfrmArmy *CurrentArmy() const { return FCurrentArmy; }
    // Makes the army current and rebuilds the group menu from the armies of its group.
    void SetCurrentArmy(TfrmArmy *army);
    // An army window was renamed: the menus that name it follow.
    void ArmyCaptionChanged(TfrmArmy *army);
    // A new army window, current and shown.
    TfrmArmy &CreateArmy();
    // An army window for an army read from a file (or a group file), registered and current.
    TfrmArmy &AddArmyWindow(std::unique_ptr<TfrmArmy> window);
    // A new document window's first size and place: as large as the frame lets it be,
    // within the bounds, stepped by its index, inside the client area.
    void PlaceDocumentWindow(QMdiSubWindow &frame, const QSize &largest, const QSize &smallest, int index);
    // The army window is going: it leaves the lists (and stops being current).
    void RemoveArmy(TfrmArmy *army);
    // The open game windows in opening order.
    const std::vector<TfrmGame *> &GameForms() const { return FGameForms; }
    // A game window shown in the frame and listed among the games.
    TfrmGame &AddGameWindow(std::unique_ptr<TfrmGame> window);
    // A game window for the game file, as opening it from a menu or the command line does.
    TfrmGame &OpenGameWindow(const QString &path);
    // The game window is going: it leaves the list.
    void RemoveGame(TfrmGame *game);
    // Leaves the list without bringing another window forward.
    void ForgetGame(TfrmGame *game);
    // The game dialogs of every game window; tests hand in a scripted set (null for the
    // real dialogs).
    TGameDialogs &GameDialogs() const { return *FGameDialogs; }
    void SetGameDialogs(TGameDialogs *dialogs);
    // The hourglass around long operations: nested up to 20 deep, each EndBusy giving
    // back the cursor of its BeginBusy.
    void BeginBusy();
    void EndBusy();
    bool Busy() const { return FBusyDepth > 0; }

    const TClock &Clock() const { return FClock; }
    TfrmArmyDescription &ArmyDescription() const { return *FArmyDescription; }
    TfrmIconView *IconView() const { return FIconView; }

    // The status line and the error report.
    void ShowStatus(const QString &text) override;
    void ReportError(const TKrException &failure, const QString &context) override;
    void Beep() override;
    void Inform(const QString &text) override;
    QString StatusText() const;

    // Window positions: a 16-byte record named after the window and its state under the
    // name + " State". A fixed-size window gets back only its position.
    // A window without a kept position opens centred on the frame, within it and the
    // screen; a kept position off every screen comes back onto the screen.
    void RestoreWindowPosition(QWidget &window, const QString &name);
    void SaveWindowPosition(const QWidget &window, const QString &name);

    // The folder every open and save dialog starts in.
    QString DocumentDirectory() const;
    // Asks for a file name to save under unless one is known and alwaysAsk is off. The
    // dialog starts in the user's document directory; an empty name shows defaultName.
    bool ChooseSaveFile(QString &fileName, TFileDialog &dialog, bool alwaysAsk, const QString &defaultName);
    // Copies caption, enabled state and visibility of one menu item onto another.
    static void MirrorMenuItem(const QAction &from, QAction &to);

    // The shared view and rules state.
    bool ViewPerHealth() const { return FViewPerHealth; }
    bool ShowMinimum() const { return FShowMinimum; }
    bool ShowPrices() const { return FShowPrices; }
    bool ShowPlaying() const { return FShowPlaying; }
    bool VirtualInventory() const { return FVirtualInventory; }
    const TResultMap &ResultMap() const { return FResultMap; }
    const TUserInfo &UserInfo() const { return FUserInfo; }
    qint32 FtpFileCount() const { return FFtpFileCount; }
    void SetFtpFileCount(qint32 count) { FFtpFileCount = count; }
    bool Closing() const { return FClosing; }

    // Race data changed: "Save &Races" is offered and windows that list races rebuild.
    void MarkRacesChanged();
    // "Save &Races" follows the catalogue's own flag again (after the races were written
    // by another window).
    void RefreshSaveRaces();
    void MoveResultColumn(int from, int to);

    // Documents by extension: ".krg" army groups, ".kgm" games, any other an army.
    // Windows for each kind register how to open it.
    void RegisterDocumentOpener(const QString &extension, TDocumentOpener opener);
    void OpenDocument(const QString &path);
    // The documents of the command line that could not be opened.
    int DocumentFailures() const { return FDocumentFailures; }

    // The close sequence: may the program end? Asks about unsaved work in order.
    bool RequestClose();
    // "Exit Tarrowind Assistant?" from the exit commands of other windows.
    void ConfirmExit();

    // Menu commands.
    void SaveRaceData();
    void RegenerateRaces();
    void ToggleViewPerHealth();
    void ToggleShowMinimum();
    void ToggleShowPrices();
    void ToggleShowPlaying();
    void ToggleShowVirtual();
    void ChangeRules(QAction *clicked);
    // The army windows' rules items: flips the main window's item and applies it.
    void ToggleRule(bool powerItems);
    // "Drawer and Race (All)": sorts every open army by drawer and race.
    void SortAllArmies();
    void EditUserInfo();
    void FixDirectory();
    void ShowHelp();
    void ShowAbout();
    void MainExit();
    void ShowIcons();
    void ShowRaceForm();
    void ShowDieFinder();
    void ShowInventory();
    void OpenFile();
    void NewGame();
    // "Download Game": a game by its FTP name, opened as a game window.
    void DownloadGame();
    void GotoCurrentArmy();
    void GotoNextArmy();
    void GotoPrevArmy();
    void GotoGroupArmy(int type);
    // After the inventory's first activation its two view options are offered.
    void ShowInventoryOptions();

signals:
    void StatusChanged(const QString &text);
    // Windows showing results per health redraw.
    void ViewPerHealthChanged();
    // Army windows clear their analysis.
    void ArmyAnalysisInvalid();
    // The inventory rebuilds its tree.
    void InventoryViewChanged();
    // Windows with result columns put them in the new order.
    void ResultColumnsMoved();
    // Statistics were recomputed (rules options, regeneration).
    void RacesRegenerated();
    // Races were added, renamed, removed or changed.
    void RacesChanged();
    // Another army (or none) is current, or the current one was renamed.
    void CurrentArmyChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void InitializeMain();
    void BuildChildren();
    void TerminateMain();
    void CreateMenus();
    void CreateFileMenu();
    void CreateOptionsMenu();
    void CreateWindowsMenu();
    // The caption of a group menu item before any army is current.
    static QString GroupArmyCaption(int type);
    void RefreshGroupMenu();
    QAction *AddAction(QMenu *menu, const QString &name, const QString &caption, const QKeySequence &shortcut = {});
    void ToggleOption(QAction *item, bool &flag, const QString &settingName);
    void FillWindowList();
    void ArrangeIcons();
    void OpenCommandLineDocuments();
    void RegisterArmyOpeners();
    void RegisterGameOpener();
    // The active child window's shortcuts win over the frame's: a frame item whose key
    // the child also uses gives it up until another window is active.
    void YieldShortcutsTo(QWidget *child);

    TSettingsStore &FSettings;
    TPrompts &FPrompts;
    TDataPaths FPaths;
    QStringList FDocuments;
    TCatalogue FCatalogue;
    TResultMap FResultMap;
    TUserInfo FUserInfo;
    qint32 FFtpFileCount = 0;
    bool FViewPerHealth = false;
    bool FShowMinimum = false;
    bool FShowPrices = false;
    bool FShowPlaying = false;
    bool FVirtualInventory = false;
    bool FClosing = false;
    bool FCloseApproved = false;
    bool FChildrenBuilt = false;
    int FDocumentFailures = 0;
    std::map<QString, TDocumentOpener> FOpeners;
    std::unique_ptr<TNetService> FNet;

    QMdiArea *FMdiArea = nullptr;
    QLabel *FStatus = nullptr;
    TfrmDisclaimer *FSplash = nullptr;
    TfrmAbout *FAbout = nullptr;
    TfrmArmyDescription *FArmyDescription = nullptr;
    TfrmUserInfo *FUserInfoDialog = nullptr;
    TfrmHelp *FHelp = nullptr;
    TfrmIconView *FIconView = nullptr;
    TfrmRace *FRaceForm = nullptr;
    TfrmDieSearch *FDieFinder = nullptr;
    QMdiSubWindow *FDieFinderWindow = nullptr;
    QMdiSubWindow *FRaceWindow = nullptr;
    TfrmInventory *FInventoryForm = nullptr;
    std::vector<TfrmArmy *> FArmyForms;
    TfrmArmy *FCurrentArmy = nullptr;
    std::vector<TfrmGame *> FGameForms;
    std::unique_ptr<TQtGameDialogs> FQtGameDialogs;
    TGameDialogs *FGameDialogs = nullptr;
    int FBusyDepth = 0;
    std::map<QAction *, QKeySequence> FYieldedShortcuts;
    QMdiSubWindow *FInventoryWindow = nullptr;
    QPointer<QMdiSubWindow> FLastActivated;
    TSystemClock FClock;
    QMenu *FWindowsMenu = nullptr;
    QAction *FWindowListSeparator = nullptr;

    QAction *mnuFileNew = nullptr;
    QAction *mnuFileOpen = nullptr;
    QAction *mnuFileNewGame = nullptr;
    QAction *mnuFileDownload = nullptr;
    QAction *mnuFileGenerate = nullptr;
    QAction *mnuFileSaveRaces = nullptr;
    QAction *mnuFileExit = nullptr;
    QAction *mnuEditNewRace = nullptr;
    QAction *mnuEditIcons = nullptr;
    QAction *mnuOptionsPerHealth = nullptr;
    QAction *mnuOptionsShowMin = nullptr;
    QAction *mnuOptionsShowPrices = nullptr;
    QAction *mnuOptionsShowPlay = nullptr;
    QAction *mnuOptionsShowVirtual = nullptr;
    QAction *mnuOptionsPowerItems = nullptr;
    QAction *mnuOptionsMonster = nullptr;
    QAction *mnuOptionsUserInfo = nullptr;
    QAction *mnuOptionsDirectory = nullptr;
    QAction *mnuNavigateCurrent = nullptr;
    QAction *mnuNavigatePrev = nullptr;
    QAction *mnuNavigateNext = nullptr;
    QAction *mnuNavigateRaces = nullptr;
    QAction *mnuNavigateFinder = nullptr;
    QAction *mnuNavigateInventory = nullptr;
    std::array<QAction *, 5> mnuGroup{};
};
