// The main window's part in games: the list of game windows, New Game, opening game
// files, and the busy cursor the long operations show.

#include "shell/MainForm.h"

#include "KrException.h"
#include "game/GameDialogs.h"
#include "game/GameFile.h"
#include "game/GameForm.h"
#include "game/GameSetup.h"
#include "shell/Prompts.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {

constexpr int kMaxBusyDepth = 20;

} // namespace

TfrmGame &TfrmMain::AddGameWindow(std::unique_ptr<TfrmGame> window)
{
    TfrmGame *game = window.release();
    QMdiSubWindow *frame = FMdiArea->addSubWindow(game);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    const QSize room = FMdiArea->viewport()->size();
    frame->resize(std::min(1100, std::max(room.width(), 480)), std::min(720, std::max(room.height(), 360)));
    FGameForms.push_back(game);
    frame->show();
    game->UpdateMenus();
    return *game;
}

TfrmGame &TfrmMain::OpenGameWindow(const QString &path)
{
    TGameOpened opened = OpenGameFile(path, FCatalogue, FClock);
    const int lost = opened.LostDice;
    TfrmGame &game = AddGameWindow(std::make_unique<TfrmGame>(*this, std::move(opened.Game), path));
    if (lost > 0)
        game.Show(QString::number(lost) + u" dice lost."_s);
    if (const std::optional<QString> message = ControlMessage(game.Game(), FUserInfo.Email))
        FPrompts.Information(game.windowTitle(), *message);
    return game;
}

void TfrmMain::RemoveGame(TfrmGame *game)
{
    ForgetGame(game);
    if (!FClosing)
        ShowRaceForm();
}

void TfrmMain::ForgetGame(TfrmGame *game)
{
    std::erase(FGameForms, game);
}

void TfrmMain::SetGameDialogs(TGameDialogs *dialogs)
{
    if (!FQtGameDialogs)
        FQtGameDialogs = std::make_unique<TQtGameDialogs>();
    FGameDialogs = dialogs ? dialogs : FQtGameDialogs.get();
}

void TfrmMain::NewGame()
{
    try {
        const std::optional<TNewGame> choice = FGameDialogs->AskNewGame(this);
        if (!choice)
            return;
        TfrmGame &game = AddGameWindow(
            std::make_unique<TfrmGame>(*this, CreateGame(FCatalogue, FClock, *choice, FUserInfo.Email)));
        if (const std::optional<QString> message = ControlMessage(game.Game(), FUserInfo.Email))
            FPrompts.Information(game.windowTitle(), *message);
    } catch (const TKrException &failure) {
        ReportError(failure, u"creating game"_s);
    }
}

void TfrmMain::RegisterGameOpener()
{
    RegisterDocumentOpener(u".kgm"_s, [this](const QString &path) { OpenGameWindow(path); });
}

void TfrmMain::YieldShortcutsTo(QWidget *child)
{
    for (const auto &[item, keys] : FYieldedShortcuts)
        item->setShortcut(keys);
    FYieldedShortcuts.clear();
    if (!child)
        return;
    // Two items of one key in the frame would both be found, and Qt then runs neither.
    QList<QKeySequence> taken;
    for (const QAction *item : child->findChildren<QAction *>()) {
        if (!item->shortcut().isEmpty())
            taken << item->shortcut();
    }
    for (QAction *item : menuBar()->findChildren<QAction *>()) {
        if (!item->shortcut().isEmpty() && taken.contains(item->shortcut())) {
            FYieldedShortcuts[item] = item->shortcut();
            item->setShortcut(QKeySequence());
        }
    }
}

void TfrmMain::BeginBusy()
{
    // Past the depth the cursor stays as it is; the count still balances.
    if (FBusyDepth < kMaxBusyDepth)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    ++FBusyDepth;
}

void TfrmMain::EndBusy()
{
    if (FBusyDepth == 0)
        return;
    --FBusyDepth;
    if (FBusyDepth < kMaxBusyDepth)
        QApplication::restoreOverrideCursor();
}
