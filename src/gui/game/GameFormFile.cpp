// The game window's file and log commands, and the commands it hands to the core.

#include "game/GameForm.h"

#include "KrException.h"
#include "army/ArmyForm.h"
#include "controls/FancyGrid.h"
#include "game/GameDialogs.h"
#include "game/GameFile.h"
#include "game/GameLog.h"
#include "game/GameLogWindow.h"
#include "game/GameSetup.h"
#include "net/NetService.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

namespace {

TFileDialog GameFileDialog()
{
    TFileDialog dialog;
    dialog.Title = u"Save Game"_s;
    dialog.Filter = u"KRA Game File|*.kgm|Log Files|*.log|All Files|*.*"_s;
    dialog.DefaultExtension = u"kgm"_s;
    return dialog;
}

} // namespace

// ---------------------------------------------------------------------------------
// Loading and saving

void TfrmGame::LoadGame(const QString &fileName)
{
    const TBusy busy(*this);
    TGameOpened opened = OpenGameFile(fileName, FMain.Catalogue(), FMain.Clock());
    const int column = FSelectedColumn;
    TakeGame(std::move(opened.Game));
    FFileName = fileName;
    FSelectedColumn = 0;
    SelectColumn(column);
    if (opened.LostDice > 0)
        Show(QString::number(opened.LostDice) + u" dice lost."_s);
    UpdateMenus();
    ShowControlMessage();
}

void TfrmGame::ShowControlMessage()
{
    if (const std::optional<QString> message = ControlMessage(*FGame, UserEmail()))
        FMain.Prompts().Information(windowTitle(), *message);
}

bool TfrmGame::SaveGame()
{
    return Save(false);
}

bool TfrmGame::SaveGameAs()
{
    return Save(true);
}

bool TfrmGame::Save(bool forceDialog)
{
    QString fileName = FFileName;
    TFileDialog dialog = GameFileDialog();
    if (!FMain.ChooseSaveFile(fileName, dialog, forceDialog, FGame->Name() + u".KGM"_s))
        return false;
    return WriteGame(fileName);
}

bool TfrmGame::WriteGame(const QString &fileName)
{
    try {
        const TBusy busy(*this);
        Show(u"Writing game file..."_s);
        SaveGameFile(*FGame, fileName);
        FFileName = fileName;
        if (FLogWindow)
            FMain.SaveWindowPosition(*FLogWindow, u"GameLog"_s);
        Show(u"Game data written to "_s + fileName + u'.');
        UpdateMenus();
        return true;
    } catch (const TKrException &failure) {
        FMain.ReportError(failure, u"saving game"_s);
        return false;
    }
}

void TfrmGame::ReloadGame()
{
    // The log window shows the old game's log; it opens again on the new one.
    const bool logOpen = FLogWindow != nullptr;
    if (logOpen)
        ShowLog();
    Show(u"Re-reading game from "_s + FFileName + u"..."_s);
    try {
        LoadGame(FFileName);
    } catch (const TKrException &) {
        if (logOpen)
            ShowLog();
        throw;
    }
    Show(u"Game updated from disk file."_s);
    if (logOpen)
        ShowLog();
}

void TfrmGame::RefreshGame()
{
    try {
        ReloadGame();
    } catch (const TKrException &failure) {
        Show(u"Error refreshing game from disk file."_s);
        FMain.ReportError(failure, u"refreshing game"_s);
    }
}

bool TfrmGame::RequestClose()
{
    if (FMain.Net().Busy()) {
        FMain.Beep();
        return false;
    }
    if (!FFileName.isEmpty()) {
        if (!FGame->Modified())
            return true;
        switch (Ask(u"Save changes to "_s + FGame->Name() + u'?', TGameButtons::YesNoCancel,
                    TGameAskKind::Confirmation)) {
        case TGameAnswer::Yes:
            return SaveGame();
        case TGameAnswer::No:
            return true;
        default:
            return false;
        }
    }
    // A game never saved: its name proposes the file.
    QString fileName = FGame->Name() + u".KGM"_s;
    TFileDialog dialog = GameFileDialog();
    if (FMain.ChooseSaveFile(fileName, dialog, true, fileName) && WriteGame(fileName))
        return true;
    return Ask(u"Close without saving "_s + FGame->Name() + u'?', TGameButtons::YesNo, TGameAskKind::Confirmation) ==
           TGameAnswer::Yes;
}

void TfrmGame::CloseAllArmies()
{
    while (!FMain.ArmyForms().empty()) {
        if (!FMain.ArmyForms().front()->CloseArmy())
            break;
    }
    if (auto *frame = parentWidget()) {
        frame->raise();
        frame->setFocus();
    }
    activateWindow();
}

// ---------------------------------------------------------------------------------
// The log and the scratch pad

void TfrmGame::ShowLog()
{
    if (FLogWindow) {
        TfrmGameLog *log = std::exchange(FLogWindow, nullptr);
        mnuEditShowLog->setChecked(false);
        FGame->DetachLogView();
        FMain.SaveWindowPosition(*log, u"GameLog"_s);
        log->deleteLater();
        return;
    }
    FLogWindow = new TfrmGameLog(this);
    mnuEditShowLog->setChecked(true);
    FGame->AttachLogView(FLogWindow);
    FMain.RestoreWindowPosition(*FLogWindow, u"GameLog"_s);
    // Closing it by its own title bar is the same as the menu item.
    connect(FLogWindow, &TfrmGameLog::Closing, this, [this] {
        if (FLogWindow)
            ShowLog();
    });
    FLogWindow->show();
}

void TfrmGame::CopyLog()
{
    QGuiApplication::clipboard()->setText(JoinLines(FGame->Log()));
    Show(u"Game event log copied to clipboard."_s);
}

void TfrmGame::ClearLog()
{
    QString fileName = FLogFileName.isEmpty() ? FGame->Name() + u".LOG"_s : FLogFileName;
    TFileDialog dialog = GameFileDialog();
    dialog.FilterIndex = 2;
    dialog.DefaultExtension = u"log"_s;
    if (!FMain.ChooseSaveFile(fileName, dialog, true, fileName))
        return;
    try {
        AppendLogFile(fileName, FGame->Log());
        FLogFileName = fileName;
        FGame->ClearLog();
    } catch (const TKrException &failure) {
        Show(u"Error writing log file."_s);
        FMain.ReportError(failure, u"saving game log"_s);
    }
}

void TfrmGame::ScratchPad()
{
    const QString text = txtScratchPad->toPlainText();
    const QStringList lines = text.isEmpty() ? QStringList() : text.split(u'\n');
    for (const QString &line : lines)
        FGame->LogLine(u">> "_s + line);
    txtScratchPad->clear();
    Show(QString::number(lines.size()) + u" lines transferred to log."_s);
}

void TfrmGame::ClearScratchPad()
{
    txtScratchPad->clear();
}

void TfrmGame::TransmitStatus()
{
    try {
        const TBusy busy(*this);
        Show(u"Building game status description..."_s);
        for (const QString &line : GameStatusLines(*FGame))
            FCommands->LogAndShow(line);
        Show(u"Game status dumped to log."_s);
    } catch (const TKrException &failure) {
        Show(u"Error dumping game status to event log."_s);
        FMain.ReportError(failure, u"dumping status"_s);
    }
}

void TfrmGame::CopyStatus()
{
    try {
        const TBusy busy(*this);
        Show(u"Building game status description..."_s);
        QGuiApplication::clipboard()->setText(JoinLines(GameStatusLines(*FGame)));
        Show(u"Game status written to clipboard."_s);
    } catch (const TKrException &failure) {
        Show(u"Error transmitting game status to clipboard."_s);
        FMain.ReportError(failure, u"dumping status"_s);
    }
}

// ---------------------------------------------------------------------------------
// Commands run by the core

void TfrmGame::ChangePlayerData()
{
    Guarded(u"Error changing player data."_s, u"changing player data"_s, [&] {
        FDialogs.EditPlayers(this, FMain.Prompts(), *FGame, FStarted);
        const int column = FSelectedColumn;
        BuildTerrainGrid();
        FSelectedColumn = 0;
        SelectColumn(column);
        UpdateMenus();
    });
}

void TfrmGame::TransferArmy()
{
    TfrmArmy *window = FMain.CurrentArmy();
    if (!FCurrentArmy || !window) {
        FMain.Beep();
        return;
    }
    FCommands->TransferArmy(*FCurrentArmy, window->Army(), [window](TDie &die) { window->AddDie(die); });
}

void TfrmGame::EmergencyUnlock()
{
    FCommands->EmergencyUnlock();
}

void TfrmGame::ApplyArmy()
{
    Guarded(u"Error applying armies."_s, u"applying armies"_s, [&] {
        FDialogs.PlaceArmies(this, FMain, *FCommands);
        UpdateMenus();
    });
}

void TfrmGame::SetTerrain()
{
    if (TTerrainInPlay *place = SelectedPlace())
        FCommands->SetTerrain(*place);
}

void TfrmGame::StartingRoll()
{
    FCommands->StartingRoll();
}

void TfrmGame::EraseBurialVault()
{
    FCommands->EraseBurialVault();
}

void TfrmGame::TransferControl()
{
    FCommands->TransferControl(FStarted);
}

void TfrmGame::StartGame()
{
    FCommands->StartGame();
}

void TfrmGame::NextPlayer()
{
    FCommands->NextPlayer();
}

void TfrmGame::NextMarch()
{
    FCommands->NextMarch();
    UpdateMenus();
}

void TfrmGame::NextPhase()
{
    FCommands->NextPhase();
    UpdateMenus();
}

void TfrmGame::SamePhase()
{
    FCommands->SamePhase();
    UpdateMenus();
}

void TfrmGame::RollDice()
{
    const std::vector<TDieInPlay *> marked = MarkedDice();
    grdArmies->ClearMarks();
    FCommands->RollDice(marked, FCurrentArmy);
    UpdateMenus();
}

void TfrmGame::CastSpell()
{
    const std::optional<TCastRequest> request = FDialogs.AskCast(this, *FGame, FCurrentArmy, MarkedDice());
    if (!request)
        return;
    FCommands->CastSpell(*request);
    if (FLogWindow)
        FLogWindow->ShowLastLine();
    // The army picked stays picked; its spells are listed anew, and the spell's status
    // stays on the line.
    RefreshSpellList();
    UpdateMenus();
}

void TfrmGame::RemoveSpell()
{
    if (!FSelectedSpell || !HasControl())
        return;
    const TSpell *spell = std::exchange(FSelectedSpell, nullptr);
    FCommands->RemoveSpell(*spell);
    RefreshSpellList();
}

void TfrmGame::DoManeuver()
{
    FCommands->Maneuver(FCurrentArmy);
    UpdateMenus();
}

void TfrmGame::Rout()
{
    FCommands->Rout(FCurrentArmy);
    if (FLogWindow)
        FLogWindow->ShowLastLine();
    UpdateMenus();
}

void TfrmGame::BuryMinorTerrain()
{
    FCommands->BuryMinorTerrain(FCurrentArmy);
    UpdateMenus();
}

void TfrmGame::RollMinorTerrain()
{
    FCommands->RollMinorTerrain(FCurrentArmy);
}

void TfrmGame::SetTerrainFace()
{
    if (TTerrainInPlay *place = SelectedPlace())
        FCommands->SetTerrainFace(*place);
}

void TfrmGame::RollTerrain()
{
    if (TTerrainInPlay *place = SelectedPlace())
        FCommands->RollTerrain(*place);
}

// ---------------------------------------------------------------------------------
// Options

void TfrmGame::ToggleAutoSave()
{
    // The item checks itself; the setting is kept when the window goes.
}

void TfrmGame::ChangeHeightFactor(int change)
{
    const int factor = FHeightFactor + change;
    if (factor < 2) {
        FMain.Beep();
        return;
    }
    FHeightFactor = factor;
    grdTerrains->SetHeightFactor(factor);
    grdArmies->SetHeightFactor(factor);
    ArrangeControls();
}

void TfrmGame::UserInformation()
{
    FMain.EditUserInfo();
    UpdateMenus();
}

void TfrmGame::ShowCalculator()
{
    if (TfrmCalculator *calculator = TfrmCalculator::ShowCalculator(*this, FMain, *FGame, FCurrentArmy))
        FCalculators.push_back(calculator);
}

QString TfrmGame::ScratchPadText() const
{
    return txtScratchPad->toPlainText();
}

void TfrmGame::SetScratchPadText(const QString &text)
{
    txtScratchPad->setPlainText(text);
}

void TfrmGame::CalculatorRolled(TDieInPlay &die)
{
    Refresh(die);
    UpdateMenus();
}

void TfrmGame::CalculatorClosed(TfrmCalculator &calculator)
{
    std::erase_if(FCalculators, [&](const QPointer<TfrmCalculator> &kept) { return !kept || kept == &calculator; });
    if (auto *frame = parentWidget()) {
        frame->show();
        frame->raise();
    }
}
