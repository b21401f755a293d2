#include "game/GameForm.h"

#include "KrException.h"
#include "army/ArmyForm.h"
#include "controls/FancyGrid.h"
#include "game/GameDialogs.h"
#include "game/GameLogWindow.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"

#include <QCloseEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The gap between the button and the notes, used as the margin all round.
constexpr int kMargin = 6;
constexpr int kMinGridWidth = 240;

// A menu's commands are turned on or off one by one: a disabled menu still lets the
// shortcuts of its items through.
void EnableMenu(QMenu *menu, bool enabled)
{
    menu->menuAction()->setEnabled(enabled);
    for (QAction *item : menu->actions())
        item->setEnabled(enabled);
}

TMessageKind PromptKind(TGameMessage kind)
{
    return kind == TGameMessage::Information ? TMessageKind::Information : TMessageKind::Warning;
}

} // namespace

TfrmGame::TfrmGame(TfrmMain &main, std::unique_ptr<TGame> game, const QString &fileName)
    : FMain(main), FDialogs(main.GameDialogs()), FFileName(fileName)
{
    setObjectName(u"frmGame"_s);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(u"Game Simulator"_s);
    BuildControls();
    BuildMenus();
    ReadSettings();
    TakeGame(std::move(game));
    SelectColumn(GamePlace::Reserves + 1);
    UpdateMenus();
}

TfrmGame::~TfrmGame()
{
    // A calculator has nothing to send its results to once the game goes.
    for (TfrmCalculator *calculator : std::exchange(FCalculators, {}))
        calculator->HostClosing();
    FMain.Settings().WriteBoolSetting(u"AutoSave"_s, mnuOptionsAutoSave->isChecked());
    FMain.Settings().WriteIntegerSetting(u"AutoSendInterval"_s, FAutoSendInterval);
    FMain.Settings().WriteIntegerSetting(u"HeightFactor"_s, FHeightFactor);
    if (FLogWindow) {
        FGame->DetachLogView();
        FMain.SaveWindowPosition(*FLogWindow, u"GameLog"_s);
        delete FLogWindow;
    }
    // The grids point at the game's objects.
    grdArmies->FreeData();
    grdTerrains->FreeData();
    FCommands.reset();
    FGame.reset();
    // Closed windows have left already; this is for those the frame takes down.
    FMain.ForgetGame(this);
}

void TfrmGame::ReadSettings()
{
    TSettingsStore &settings = FMain.Settings();
    mnuOptionsAutoSave->setChecked(settings.ReadBoolSetting(u"AutoSave"_s, false));
    FAutoSendInterval = std::clamp(settings.ReadIntegerSetting(u"AutoSendInterval"_s, 0), 0, 120);
    FHeightFactor = std::max(2, settings.ReadIntegerSetting(u"HeightFactor"_s, 3));
    grdTerrains->SetHeightFactor(FHeightFactor);
    grdArmies->SetHeightFactor(FHeightFactor);
    SetAutoSendInterval(FAutoSendInterval);
}

void TfrmGame::BuildControls()
{
    FClient = new QWidget(this);
    FClient->setObjectName(u"pnlClient"_s);
    setCentralWidget(FClient);
    btnNextPhase = new QPushButton(u"NEXT TURN PHASE"_s, FClient);
    btnNextPhase->setObjectName(u"btnNextPhase"_s);
    QFont bold = btnNextPhase->font();
    bold.setBold(true);
    btnNextPhase->setFont(bold);
    btnNextPhase->setDefault(true);
    btnNextPhase->setMinimumWidth(std::max(170, btnNextPhase->sizeHint().width()));
    txtNotes = new QPlainTextEdit(FClient);
    txtNotes->setObjectName(u"txtNotes"_s);
    txtNotes->setReadOnly(true);
    txtScratchPad = new QPlainTextEdit(FClient);
    txtScratchPad->setObjectName(u"txtScratchPad"_s);
    btnTransmit = new QPushButton(u"Transmit To Log"_s, FClient);
    btnTransmit->setObjectName(u"btnTransmit"_s);
    btnClear = new QPushButton(u"Clear"_s, FClient);
    btnClear->setObjectName(u"btnClear"_s);
    lstSpells = new QListWidget(FClient);
    lstSpells->setObjectName(u"lstSpells"_s);
    lstSpells->viewport()->installEventFilter(this);

    grdTerrains = new TFancyGrid(FClient);
    grdTerrains->setObjectName(u"grdTerrains"_s);
    grdTerrains->SetSelectMode(eSelectColumn);
    grdTerrains->SetRowLines(2);
    grdTerrains->SetColMoving(false);
    grdTerrains->SetDefaultColWidth(150);
    grdTerrains->setAcceptDrops(true);
    grdTerrains->setMouseTracking(true);
    grdTerrains->viewport()->setMouseTracking(true);
    grdTerrains->viewport()->installEventFilter(this);
    grdArmies = new TFancyGrid(FClient);
    grdArmies->setObjectName(u"grdArmies"_s);
    grdArmies->SetSelectMode(eSelectCell);
    grdArmies->SetRowLines(3);
    grdArmies->SetColMoving(false);
    grdArmies->SetDefaultColWidth(170);
    grdArmies->SetDblClickMarks(true);
    grdArmies->SetOnlyMarkFull(true);
    grdArmies->installEventFilter(this);
    grdArmies->OnVerifyMark = [this](TFancyGrid &, TCellData &cell) { return VerifyMark(cell); };
    grdArmies->OnVerifyDrag = [this](TFancyGrid &grid) { return grid.AnyMarked() && HasControl(); };
    FClient->installEventFilter(this);

    for (size_t i = 0; i < barStatus.size(); ++i) {
        barStatus[i] = new QLabel(this);
        barStatus[i]->setObjectName(u"barStatus%1"_s.arg(i));
        barStatus[i]->setMinimumWidth(i == 4 ? 200 : 80);
        statusBar()->addWidget(barStatus[i], i == 4 ? 1 : 0);
    }

    FUpdateTimer = new QTimer(this);
    FUpdateTimer->setObjectName(u"tmrUpdate"_s);
    connect(FUpdateTimer, &QTimer::timeout, this, &TfrmGame::AutoUpdate);

    FSpellPopup = new QMenu(this);
    mnuRemoveSpell = FSpellPopup->addAction(u"Remove from Game"_s, this, &TfrmGame::RemoveSpell);
    mnuRemoveSpell->setObjectName(u"mnuRemoveSpell"_s);

    connect(btnNextPhase, &QPushButton::clicked, this, &TfrmGame::NextPhase);
    connect(btnTransmit, &QPushButton::clicked, this, &TfrmGame::ScratchPad);
    connect(btnClear, &QPushButton::clicked, this, &TfrmGame::ClearScratchPad);
    connect(grdTerrains, &TFancyGrid::SelectItem, this, [this](int column, int) { SelectTerrain(column); });
    connect(grdArmies, &TFancyGrid::SelectItem, this, &TfrmGame::SelectArmy);
    connect(grdArmies, &TFancyGrid::Mark, this, &TfrmGame::ProcessMark);
    connect(grdArmies, &TFancyGrid::RightClick, this, &TfrmGame::ViewDie);
    connect(grdArmies, &TFancyGrid::DragStarting, this,
            [](QMimeData *data) { data->setData(u"application/x-krassist-dice"_s, QByteArray("dice")); });
    connect(grdTerrains, &TFancyGrid::DragOver, this, [this](QDragMoveEvent *event) {
        if (event->source() == grdArmies && grdTerrains->CellAt(event->position().toPoint()))
            event->acceptProposedAction();
        else
            event->ignore();
    });
    connect(grdTerrains, &TFancyGrid::DragDrop, this, [this](QDropEvent *event) {
        if (event->source() != grdArmies)
            return;
        event->acceptProposedAction();
        const QPoint at = event->position().toPoint();
        // The drop runs after the drag has ended, so that its questions are not asked
        // from inside the drag.
        QTimer::singleShot(0, this, [this, at] { DropDice(at); });
    });
    resize(1000, 640);
}

void TfrmGame::BuildMenus()
{
    auto add = [this](QMenu *menu, const QString &name, const QString &caption, auto handler,
                      const QKeySequence &keys = {}) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(name);
        item->setShortcut(keys);
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    QMenu *file = menuBar()->addMenu(u"&File"_s);
    add(file, u"mnuGameNewArmy"_s, u"&New Army"_s, [this] { FMain.CreateArmy(); });
    add(file, u"mnuGameOpen"_s, u"&Open"_s, [this] { FMain.OpenFile(); });
    mnuFileSave = add(file, u"mnuGameSave"_s, u"&Save"_s, [this] { SaveGame(); });
    add(file, u"mnuGameSaveAs"_s, u"Save &As"_s, [this] { SaveGameAs(); });
    mnuFileRefresh = add(file, u"mnuGameRefresh"_s, u"Re&fresh"_s, &TfrmGame::RefreshGame);
    file->addSeparator();
    mnuFileUpload = add(file, u"mnuGameUpload"_s, u"&Upload"_s, &TfrmGame::FTPSendFile);
    mnuFileDownload = add(file, u"mnuGameDownloadUpdate"_s, u"&Download Update"_s, &TfrmGame::FTPReceiveFile,
                          QKeySequence(Qt::CTRL | Qt::Key_F3));
    mnuFileDisplayFtp = add(file, u"mnuGameDisplayFtp"_s, u"Display &FTP Name"_s, &TfrmGame::DisplayFTPName);
    mnuFileMail = add(file, u"mnuGameMail"_s, u"Send via &EMAIL"_s, &TfrmGame::MailGame);
    file->addSeparator();
    add(file, u"mnuGameClose"_s, u"&Close"_s, [this] {
        if (auto *frame = parentWidget())
            frame->close();
        else
            close();
    });
    add(file, u"mnuGameCloseArmies"_s, u"Close All Army Files"_s, &TfrmGame::CloseAllArmies);
    add(file, u"mnuGameExit"_s, u"E&xit"_s, [this] { FMain.ConfirmExit(); });

    QMenu *edit = menuBar()->addMenu(u"&Edit"_s);
    mnuEditPlayerData = add(edit, u"mnuGameEditPlayerData"_s, u"&Player Data"_s, &TfrmGame::ChangePlayerData);
    add(edit, u"mnuGameClearMarks"_s, u"Clear Marks"_s, &TfrmGame::ClearArmyMarks, QKeySequence(Qt::CTRL | Qt::Key_M));
    mnuEditTransferArmy = add(edit, u"mnuGameTransferArmy"_s, u"Transfer Army"_s, &TfrmGame::TransferArmy);
    add(edit, u"mnuGameAnalyzeRoll"_s, u"&Analyze Roll"_s, &TfrmGame::ShowCalculator, QKeySequence(Qt::Key_F2));
    mnuEditUnlock = add(edit, u"mnuGameEmergencyUnlock"_s, u"Emergency Unlock"_s, &TfrmGame::EmergencyUnlock);
    edit->addSeparator();
    mnuEditShowLog = add(edit, u"mnuGameShowLog"_s, u"&Show Log"_s, &TfrmGame::ShowLog, QKeySequence(Qt::Key_F4));
    mnuEditShowLog->setCheckable(true);
    add(edit, u"mnuGameCopyLog"_s, u"Copy Log to Clipboard"_s, &TfrmGame::CopyLog);
    mnuEditClearLog = add(edit, u"mnuGameClearLog"_s, u"Clear Log"_s, &TfrmGame::ClearLog);
    mnuEditTransmitPad = add(edit, u"mnuGameTransmitPad"_s, u"Transmit Scratch Pad"_s, &TfrmGame::ScratchPad,
                             QKeySequence(Qt::CTRL | Qt::Key_T));
    mnuEditTransmitStatus = add(edit, u"mnuGameTransmitStatus"_s, u"Transmit Status"_s, &TfrmGame::TransmitStatus);
    add(edit, u"mnuGameCopyStatus"_s, u"Copy Status to Clipboard"_s, &TfrmGame::CopyStatus);

    mnuSetup = menuBar()->addMenu(u"&Setup"_s);
    mnuSetupPlayerData = add(mnuSetup, u"mnuGameSetupPlayerData"_s, u"&Player Data"_s, &TfrmGame::ChangePlayerData);
    mnuSetupPlaceArmies = add(mnuSetup, u"mnuGamePlaceArmies"_s, u"Place Armies"_s, &TfrmGame::ApplyArmy);
    mnuSetupSetTerrain = add(mnuSetup, u"mnuGameSetTerrain"_s, u"&Set Terrain"_s, &TfrmGame::SetTerrain);
    mnuSetupTurnOrder = add(mnuSetup, u"mnuGameTurnOrder"_s, u"Roll for Turn Sequence"_s, &TfrmGame::StartingRoll);
    mnuSetupEraseVault = add(mnuSetup, u"mnuGameEraseVault"_s, u"Erase Burial Vault"_s, &TfrmGame::EraseBurialVault);
    mnuSetupTransferControl =
        add(mnuSetup, u"mnuGameSetupTransferControl"_s, u"Transfer Control"_s, &TfrmGame::TransferControl);
    mnuSetup->addSeparator();
    mnuSetupStart = add(mnuSetup, u"mnuGameStart"_s, u"START GAME"_s, &TfrmGame::StartGame);

    mnuTurns = menuBar()->addMenu(u"&Turns"_s);
    add(mnuTurns, u"mnuGameNextPlayer"_s, u"&Next Player"_s, &TfrmGame::NextPlayer);
    add(mnuTurns, u"mnuGameNextMarch"_s, u"Next &March"_s, &TfrmGame::NextMarch);
    add(mnuTurns, u"mnuGameNextPhase"_s, u"Next &Phase"_s, &TfrmGame::NextPhase, QKeySequence(Qt::CTRL | Qt::Key_N));
    add(mnuTurns, u"mnuGameResetPhase"_s, u"&Reset Phase"_s, &TfrmGame::SamePhase);
    add(mnuTurns, u"mnuGameTurnsTransferControl"_s, u"Transfer Control"_s, &TfrmGame::TransferControl);

    mnuPlay = menuBar()->addMenu(u"&Play"_s);
    add(mnuPlay, u"mnuGameRollDice"_s, u"Roll &Dice"_s, &TfrmGame::RollDice, QKeySequence(Qt::CTRL | Qt::Key_R));
    add(mnuPlay, u"mnuGameCastSpell"_s, u"&Cast Spell"_s, &TfrmGame::CastSpell, QKeySequence(Qt::CTRL | Qt::Key_S));
    add(mnuPlay, u"mnuGameManeuver"_s, u"&Maneuver"_s, &TfrmGame::DoManeuver);
    add(mnuPlay, u"mnuGameRout"_s, u"&Rout"_s, &TfrmGame::Rout);
    mnuPlayBury = add(mnuPlay, u"mnuGameBury"_s, u"&Bury Minor Terrain"_s, &TfrmGame::BuryMinorTerrain);

    mnuUtility = menuBar()->addMenu(u"&Utility"_s);
    mnuUtilityPlaceArmies = add(mnuUtility, u"mnuGameUtilityPlaceArmies"_s, u"&Place Armies"_s, &TfrmGame::ApplyArmy);
    mnuUtilitySetTerrain = add(mnuUtility, u"mnuGameUtilitySetTerrain"_s, u"Set &Terrain"_s, &TfrmGame::SetTerrain);
    mnuUtilityRollMinor =
        add(mnuUtility, u"mnuGameRollMinor"_s, u"&Roll Minor Terrain"_s, &TfrmGame::RollMinorTerrain);
    mnuUtilitySetFace = add(mnuUtility, u"mnuGameSetFace"_s, u"&Set Terrain Face"_s, &TfrmGame::SetTerrainFace);
    mnuUtilityRollTerrain = add(mnuUtility, u"mnuGameRollTerrain"_s, u"Ro&ll Terrain"_s, &TfrmGame::RollTerrain);

    QMenu *options = menuBar()->addMenu(u"&Options"_s);
    mnuOptionsAutoSave = add(options, u"mnuGameAutoSave"_s, u"Auto-Save"_s, &TfrmGame::ToggleAutoSave);
    mnuOptionsAutoSave->setCheckable(true);
    mnuOptionsAutoSend = add(options, u"mnuGameAutoSend"_s, u"Configure Auto-Send"_s, &TfrmGame::ConfigureAutoSend);
    mnuOptionsAutoSend->setCheckable(true);
    add(options, u"mnuGameWiden"_s, u"Widen Grid Rows"_s, [this] { ChangeHeightFactor(1); });
    add(options, u"mnuGameShrink"_s, u"Shrink Grid Rows"_s, [this] { ChangeHeightFactor(-1); });
    add(options, u"mnuGameUserInfo"_s, u"&User Information"_s, &TfrmGame::UserInformation);
}

bool TfrmGame::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FClient && event->type() == QEvent::Resize) {
        ArrangeControls();
    } else if (watched == grdTerrains->viewport() && event->type() == QEvent::MouseMove) {
        ShowData(static_cast<QMouseEvent *>(event)->position().toPoint());
    } else if (watched == grdArmies && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Home && key->modifiers() == Qt::NoModifier) {
            ArmyKeyCheck();
            return true;
        }
    } else if (watched == lstSpells->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        QListWidgetItem *item = lstSpells->itemAt(mouse->position().toPoint());
        const int row = item ? lstSpells->row(item) : -1;
        lstSpells->setCurrentRow(row);
        FSelectedSpell = row >= 0 && size_t(row) < FEffectLines.size() ? FEffectLines[size_t(row)].Spell : nullptr;
        if (mouse->button() == Qt::RightButton && FSelectedSpell) {
            Show(FSelectedSpell->Name() + u" selected."_s);
            mnuRemoveSpell->setText(u"Dispel "_s + FSelectedSpell->Name());
            // Only the user with control may take a spell off the board.
            mnuRemoveSpell->setEnabled(HasControl());
            FSpellPopup->popup(mouse->globalPosition().toPoint());
        }
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmGame::ArrangeControls()
{
    const int width = FClient->width();
    const int height = FClient->height();
    const int left = btnNextPhase->minimumWidth();
    const int buttonHeight = btnNextPhase->sizeHint().height();
    const int minimum = std::max(40, grdArmies->LineHeight() * 3 + 8);
    btnNextPhase->setGeometry(kMargin, kMargin, left, buttonHeight);
    // What is left below the button, the two memos, the button row and the margins:
    // a third each for the notes and the scratch pad, the rest for the spells.
    const int room = std::max(0, height - 2 * buttonHeight - 6 * kMargin);
    const int memo = std::max(minimum, room / 3);
    int y = kMargin + buttonHeight + kMargin;
    txtNotes->setGeometry(kMargin, y, left, memo);
    y += memo + kMargin;
    txtScratchPad->setGeometry(kMargin, y, left, memo);
    y += memo + kMargin;
    const int half = (left - kMargin) / 2;
    btnTransmit->setGeometry(kMargin, y, half, buttonHeight);
    btnClear->setGeometry(kMargin + half + kMargin, y, left - half - kMargin, buttonHeight);
    y += buttonHeight + kMargin;
    lstSpells->setGeometry(kMargin, y, left, std::max(minimum, height - y - kMargin));

    const int gridLeft = kMargin + left + kMargin;
    const int gridWidth = std::max(kMinGridWidth, width - gridLeft - kMargin);
    const int terrainHeight = std::max(minimum, height / 3);
    grdTerrains->setGeometry(gridLeft, kMargin, gridWidth, terrainHeight);
    const int armyTop = kMargin + terrainHeight + kMargin;
    grdArmies->setGeometry(gridLeft, armyTop, gridWidth, std::max(minimum, height - armyTop - kMargin));
}

void TfrmGame::TakeGame(std::unique_ptr<TGame> game)
{
    // The grids and the spell list point at the old game's objects.
    lstSpells->clear();
    FEffectLines.clear();
    FSelectedSpell = nullptr;
    FCurrentArmy = nullptr;
    grdArmies->FreeData();
    grdTerrains->FreeData();
    if (FLogWindow && FGame)
        FGame->DetachLogView();
    FCommands.reset();
    FGame = std::move(game);
    FCommands = std::make_unique<TGameCommands>(*FGame, *this);
    if (FLogWindow)
        FGame->AttachLogView(FLogWindow);
    FStarted = FGame->Round() >= 1;
    RefreshCaption();
    BuildTerrainGrid();
}

QString TfrmGame::Panel(int index) const
{
    return index >= 0 && index < int(barStatus.size()) ? barStatus[size_t(index)]->text() : QString();
}

bool TfrmGame::HasControl() const
{
    return FGame->HasControl(FMain.UserInfo().Email);
}

void TfrmGame::RefreshCaption()
{
    QString caption = FGame->Name();
    if (const TPlayer *controller = FGame->Controller())
        caption += u" ("_s + controller->Name + u')';
    setWindowTitle(caption);
}

void TfrmGame::RefreshStatus()
{
    barStatus[0]->setText(u"Round %1"_s.arg(FGame->Round()));
    barStatus[1]->setText(FGame->CurrentPlayer().Name);
    barStatus[2]->setText(FGame->PhaseName());
    barStatus[3]->setText(HasControl() ? QString() : u"LOCKED"_s);
    RefreshCaption();
}

void TfrmGame::UpdateMenus()
{
    const bool control = HasControl();
    const bool file = !FFileName.isEmpty();
    const bool army = FCurrentArmy != nullptr;
    const TTerrainInPlay *place = SelectedPlace();
    const bool terrain = place && place->IsTerrain();
    const bool armyWindow = FMain.CurrentArmy() != nullptr;
    const bool minor = army && FCurrentArmy->MinorTerrain();
    const bool utility = FGame->Utility;

    mnuSetup->menuAction()->setVisible(!utility);
    mnuTurns->menuAction()->setVisible(!utility);
    mnuUtility->menuAction()->setVisible(utility);
    if (utility) {
        EnableMenu(mnuSetup, false);
        EnableMenu(mnuTurns, false);
        EnableMenu(mnuPlay, true);
        EnableMenu(mnuUtility, true);
        mnuUtilitySetFace->setEnabled(terrain && place->HasTerrainDie());
        mnuUtilityRollTerrain->setEnabled(terrain && place->HasTerrainDie());
        mnuUtilitySetTerrain->setEnabled(terrain);
        mnuUtilityPlaceArmies->setEnabled(armyWindow);
        mnuUtilityRollMinor->setEnabled(control && minor);
    } else if (FStarted) {
        EnableMenu(mnuUtility, false);
        EnableMenu(mnuSetup, false);
        EnableMenu(mnuTurns, control);
        EnableMenu(mnuPlay, control);
    } else {
        EnableMenu(mnuUtility, false);
        EnableMenu(mnuSetup, true);
        EnableMenu(mnuTurns, false);
        EnableMenu(mnuPlay, false);
        mnuSetupPlaceArmies->setEnabled(control && armyWindow);
        mnuSetupSetTerrain->setEnabled(terrain && control);
        for (QAction *item : {mnuSetupPlayerData, mnuSetupStart, mnuSetupTurnOrder, mnuSetupEraseVault,
                              mnuSetupTransferControl})
            item->setEnabled(control);
    }
    mnuFileRefresh->setEnabled(file && control);
    mnuFileUpload->setEnabled(file && control);
    mnuFileMail->setEnabled(file);
    mnuFileDisplayFtp->setEnabled(file && !FGame->FtpName().isEmpty());
    mnuFileDownload->setEnabled(mnuFileDisplayFtp->isEnabled());
    if (mnuPlay->menuAction()->isEnabled())
        mnuPlayBury->setEnabled(control && minor);
    for (QAction *item : {mnuEditClearLog, mnuEditTransmitPad, mnuEditTransmitStatus, mnuEditPlayerData})
        item->setEnabled(control);
    mnuEditUnlock->setEnabled(!control);
    mnuEditTransferArmy->setEnabled(army && armyWindow);
    btnNextPhase->setEnabled(mnuTurns->menuAction()->isVisible() && mnuTurns->menuAction()->isEnabled());
    btnTransmit->setEnabled(mnuEditTransmitPad->isEnabled());
    mnuOptionsAutoSend->setChecked(FAutoSendInterval != 0);
    RefreshStatus();
}

void TfrmGame::Activated()
{
    UpdateMenus();
}

void TfrmGame::Guarded(const QString &status, const QString &context, const std::function<void()> &work)
{
    try {
        work();
    } catch (const TKrException &failure) {
        Show(status);
        FMain.ReportError(failure, context);
    }
}

// ---------------------------------------------------------------------------------
// The window's side of the commands

QString TfrmGame::UserEmail() const
{
    return FMain.UserInfo().Email;
}

void TfrmGame::Show(const QString &text)
{
    barStatus[4]->setText(text);
    if (FLogWindow)
        FLogWindow->ShowLastLine();
    emit StatusChanged(text);
}

TGameAnswer TfrmGame::Ask(const QString &question, TGameButtons buttons, TGameAskKind kind)
{
    const TButtons offered = buttons == TGameButtons::YesNo       ? TButtons::YesNo
                             : buttons == TGameButtons::OKCancel ? TButtons::OkCancel
                                                                 : TButtons::YesNoCancel;
    const TMessageKind icon = kind == TGameAskKind::Warning ? TMessageKind::Warning : TMessageKind::Confirmation;
    switch (FMain.Prompts().Ask(icon, windowTitle(), question, offered)) {
    case TAnswer::Yes:
        return TGameAnswer::Yes;
    case TAnswer::No:
        return TGameAnswer::No;
    case TAnswer::Ok:
        return TGameAnswer::OK;
    case TAnswer::Cancel:
        break;
    }
    return TGameAnswer::Cancel;
}

void TfrmGame::Message(TGameMessage kind, const QString &text)
{
    FMain.Prompts().Message(PromptKind(kind), windowTitle(), text);
}

void TfrmGame::ReportError(const TKrException &failure, const QString &context)
{
    FMain.ReportError(failure, context);
}

void TfrmGame::BeginBusy()
{
    FMain.BeginBusy();
}

void TfrmGame::EndBusy()
{
    FMain.EndBusy();
}

std::optional<int> TfrmGame::ChooseMarch(const QStringList &lines)
{
    return FDialogs.ChooseMarch(this, lines);
}

std::optional<QString> TfrmGame::AskReason(const TReasonRequest &request)
{
    return FDialogs.AskReason(this, request);
}

std::optional<TRollReasonAnswer> TfrmGame::AskRollReason(const TReasonRequest &request, const QStringList &targets)
{
    return FDialogs.AskRollReason(this, request, targets);
}

std::optional<TManeuverChoice> TfrmGame::AskManeuver(TTerrainInPlay *preselected)
{
    return FDialogs.AskManeuver(this, *FGame, preselected);
}

std::optional<TTerrainInPlay *> TfrmGame::AskRout(TTerrainInPlay *preselected)
{
    return FDialogs.AskRout(this, *FGame, preselected);
}

std::optional<int> TfrmGame::AskTerrainDie(const TTerrainInPlay &place)
{
    return FDialogs.AskTerrainDie(this, place);
}

std::optional<int> TfrmGame::AskNumber(const QString &prompt, int low, int high)
{
    const std::optional<qint32> number = FMain.Prompts().AskNumber(windowTitle(), prompt, low, high);
    return number ? std::optional<int>(*number) : std::nullopt;
}

std::optional<TControlChoice> TfrmGame::AskNewController()
{
    return FDialogs.AskNewController(this, *FGame);
}

void TfrmGame::SetStarted()
{
    FStarted = true;
    UpdateMenus();
}

void TfrmGame::AfterAction(bool forced)
{
    txtScratchPad->clear();
    if (mnuOptionsAutoSave->isChecked())
        SaveGame();
    if (FAutoSendInterval == 0 || FGame->FtpName().isEmpty())
        return;
    // Only the user in control sends, unless a turn change hands the game on.
    if (!forced && !HasControl())
        return;
    if (FGame->FtpGame)
        FTPSendFile();
}

void TfrmGame::SendControlChange()
{
    if (FAutoSendInterval != 0 && !FGame->FtpName().isEmpty() && FGame->FtpGame)
        FTPSendFile();
}

void TfrmGame::closeEvent(QCloseEvent *event)
{
    if (!RequestClose()) {
        event->ignore();
        return;
    }
    event->accept();
    // The frame brings another window forward now, while this one is whole: from its
    // destructor the MDI area would report a half-destroyed window as activated.
    FMain.RemoveGame(this);
}
