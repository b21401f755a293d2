// The main window's commands and the services it offers other windows.

#include "shell/MainForm.h"

#include "net/NetService.h"

#include "KrException.h"
#include "army/ArmyForm.h"
#include "controls/MenuItems.h"
#include "dice/IconView.h"
#include "inventory/InventoryForm.h"
#include "shell/About.h"
#include "shell/CatalogueFiles.h"
#include "shell/ChildWindows.h"
#include "shell/HelpWindow.h"
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"
#include "shell/UserInfo.h"
#include "shell/WindowRecord.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

int StateNumber(Qt::WindowStates states)
{
    if (states & Qt::WindowMinimized)
        return 1;
    if (states & Qt::WindowMaximized)
        return 2;
    return 0;
}

Qt::WindowStates StateOf(int number)
{
    switch (number) {
    case 1:
        return Qt::WindowMinimized;
    case 2:
        return Qt::WindowMaximized;
    default:
        return Qt::WindowNoState;
    }
}

// A window whose size the user cannot change keeps the size it was designed with.
bool IsSizeable(const QWidget &window)
{
    return window.minimumSize() != window.maximumSize();
}

} // namespace

void TfrmMain::RestoreWindowPosition(QWidget &window, const QString &name)
{
    ShowStatus(u"Positioning "_s + name + u"..."_s);
    const QString stateName = name + QString::fromUtf16(WindowRecord::kStateSuffix);
    // The bounds go first, so that a window coming back minimised or maximised returns to
    // them, not to the size it was designed with.
    std::optional<QRect> bounds;
    if (FSettings.TypeOf(name) == TSettingType::Binary)
        bounds = WindowRecord::FromBytes(FSettings.Binary(name));
    if (bounds) {
        // Kept on a screen that is no longer there, it comes back onto this one.
        // (at the size it will have: never below its minimum).
        const QSize size = IsSizeable(window) ? bounds->size().expandedTo(window.minimumSizeHint()) : window.size();
        const QRect kept = OntoScreen(*this, QRect(bounds->topLeft(), size));
        window.move(kept.topLeft());
        if (IsSizeable(window))
            window.resize(kept.size());
    } else if (&window != this && window.isWindow()) {
        // The first time, a window opens over the frame, once the frame stands where it
        // will be: centred on it, inside it where it fits, and on the screen.
        PlaceOnFirstShow(window, *this);
    }
    if (FSettings.Exists(stateName))
        window.setWindowState(StateOf(FSettings.ReadIntegerSetting(stateName, 0)));
    ShowStatus(window.windowTitle() + u" repositioned."_s);
}

void TfrmMain::SaveWindowPosition(const QWidget &window, const QString &name)
{
    ShowStatus(u"Saving position of "_s + name + u"..."_s);
    // A minimised or maximised window keeps the bounds it will return to, its top left
    // corner taken at the frame as for a normal window.
    const QPoint frame = window.geometry().topLeft() - window.pos();
    const QRect normal = window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)
                             ? window.normalGeometry().translated(-frame)
                             : QRect(window.pos(), window.size());
    FSettings.WriteBinary(name, WindowRecord::ToBytes(normal.isValid() ? normal : QRect(window.pos(), window.size())));
    FSettings.WriteIntegerSetting(name + QString::fromUtf16(WindowRecord::kStateSuffix),
                                  StateNumber(window.windowState()));
    ShowStatus(u"Position of "_s + window.windowTitle() + u" saved."_s);
}

QString TfrmMain::DocumentDirectory() const
{
    // "ArmyDir" is the user's document directory; until one is set (or when it has gone)
    // that is the documents folder, or the home folder where there is none. An empty
    // start folder would leave each dialog where the platform pleases.
    const QString chosen = FSettings.ReadStringSetting(u"ArmyDir"_s, QString());
    if (!chosen.isEmpty() && QFileInfo(chosen).isDir())
        return chosen;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QFileInfo(documents).isDir())
        return documents;
    return QDir::homePath();
}

bool TfrmMain::ChooseSaveFile(QString &fileName, TFileDialog &dialog, bool alwaysAsk, const QString &defaultName)
{
    if (!alwaysAsk && !fileName.isEmpty())
        return true;
    dialog.Directory = DocumentDirectory();
    dialog.FileName = fileName.isEmpty() ? defaultName : fileName;
    const std::optional<TFileChoice> choice = FPrompts.SaveFile(dialog);
    if (!choice) {
        ShowStatus(u"Save aborted by user."_s);
        return false;
    }
    fileName = choice->Files.value(0);
    dialog.FilterIndex = choice->FilterIndex;
    return true;
}

void TfrmMain::MirrorMenuItem(const QAction &from, QAction &to)
{
    to.setText(from.text());
    to.setEnabled(from.isEnabled());
    to.setVisible(from.isVisible());
}

void TfrmMain::MarkRacesChanged()
{
    FCatalogue.RacesModified = true;
    mnuFileSaveRaces->setEnabled(true);
    if (FInventoryForm)
        FInventoryForm->InvalidateTree();
    emit RacesChanged();
}

void TfrmMain::RefreshSaveRaces()
{
    mnuFileSaveRaces->setEnabled(FCatalogue.RacesModified);
}

void TfrmMain::MoveResultColumn(int from, int to)
{
    if (!FResultMap.MoveResultColumn(from, to))
        return;
    emit ResultColumnsMoved();
    emit ArmyAnalysisInvalid();
}

void TfrmMain::SaveRaceData()
{
    WriteRaceData(FCatalogue, DataSavePath(QString::fromUtf16(kRaceFileName)), *this);
    RefreshSaveRaces();
}

void TfrmMain::RegenerateRaces()
{
    try {
        ShowStatus(u"Regenerating..."_s);
        for (const auto &race : FCatalogue.Races()) {
            ShowStatus(u"Regenerating "_s + race->Name + u"..."_s);
            race->Regenerate();
        }
        ShowStatus(u"Fixing army forms..."_s);
        for (TfrmArmy *army : FArmyForms) {
            ShowStatus(u"Fixing "_s + army->windowTitle() + u"..."_s);
            army->ClearResults();
        }
        ShowStatus(u"Races regenerated."_s);
        emit RacesRegenerated();
    } catch (const TKrException &failure) {
        ReportError(failure, u"regenerating races"_s);
    }
}

void TfrmMain::ToggleOption(QAction *item, bool &flag, const QString &settingName)
{
    flag = !flag;
    item->setChecked(flag);
    FSettings.WriteBoolSetting(settingName, flag);
}

void TfrmMain::ToggleViewPerHealth()
{
    ToggleOption(mnuOptionsPerHealth, FViewPerHealth, u"ViewPerHealth"_s);
    emit ViewPerHealthChanged();
    ShowStatus(u"Die result view mode changed."_s);
}

void TfrmMain::ToggleShowMinimum()
{
    ToggleOption(mnuOptionsShowMin, FShowMinimum, u"ShowMinimum"_s);
    emit ArmyAnalysisInvalid();
    ShowStatus(u"Army result view mode changed."_s);
}

void TfrmMain::ToggleShowPrices()
{
    ToggleOption(mnuOptionsShowPrices, FShowPrices, u"ShowPrices"_s);
    emit InventoryViewChanged();
}

void TfrmMain::ToggleShowPlaying()
{
    ToggleOption(mnuOptionsShowPlay, FShowPlaying, u"ShowPlaying"_s);
    emit InventoryViewChanged();
}

void TfrmMain::ToggleShowVirtual()
{
    ToggleOption(mnuOptionsShowVirtual, FVirtualInventory, u"VirtualInventory"_s);
    emit InventoryViewChanged();
}

void TfrmMain::ChangeRules(QAction *clicked)
{
    // A menu click has flipped the check mark already; a call from code flips it here.
    if (sender() != clicked)
        clicked->setChecked(!clicked->isChecked());
    FCatalogue.Rules.PowerMagicItems = mnuOptionsPowerItems->isChecked();
    FCatalogue.Rules.MonstrousMagicResistance = mnuOptionsMonster->isChecked();
    RegenerateRaces();
}

void TfrmMain::ToggleRule(bool powerItems)
{
    ChangeRules(powerItems ? mnuOptionsPowerItems : mnuOptionsMonster);
}

void TfrmMain::EditUserInfo()
{
    if (!FUserInfoDialog)
        CreateWindows();
    FUserInfoDialog->FormShow(FUserInfo);
    const TSharingSettings servers = FNet->SharingSettings();
    FUserInfoDialog->FormShowServers(servers, FNet->Passwords().Where());
    if (FUserInfoDialog->exec() != QDialog::Accepted)
        return;
    FUserInfo = FUserInfoDialog->StoreUserInfo();
    FNet->StoreSharingSettings(FUserInfoDialog->StoreServers(), servers);
}

void TfrmMain::DownloadGame()
{
    const auto opener = FOpeners.find(u".kgm"_s);
    if (opener == FOpeners.end())
        return;
    FNet->DownloadGame(opener->second);
}

void TfrmMain::FixDirectory()
{
    QString directory = FSettings.ReadStringSetting(u"ArmyDir"_s, QString());
    QString prompt = u"Enter default directory name"_s;
    for (;;) {
        const std::optional<QString> answer = FPrompts.InputBox(u"Fix Directory"_s, prompt, directory);
        if (!answer) {
            ShowStatus(u"Directory fix cancelled by user."_s);
            return;
        }
        directory = *answer;
        if (!directory.isEmpty() && QFileInfo(directory).isDir()) {
            FSettings.WriteStringSetting(u"ArmyDir"_s, directory);
            return;
        }
        prompt = u"Invalid directory specified.  Please re-enter."_s;
    }
}

void TfrmMain::ShowHelp()
{
    if (!FHelp)
        FHelp = new TfrmHelp(this);
    FHelp->ShowTopic(1);
}

void TfrmMain::ShowAbout()
{
    if (!FAbout)
        CreateWindows();
    FAbout->exec();
}

void TfrmMain::ShowIcons()
{
    FIconView->ShowViewer();
}

void TfrmMain::ShowRaceForm()
{
    if (!FRaceWindow)
        return;
    FRaceWindow->showNormal();
    FMdiArea->setActiveSubWindow(FRaceWindow);
}

void TfrmMain::ShowDieFinder()
{
    if (!FDieFinderWindow)
        return;
    FDieFinderWindow->showMaximized();
    FMdiArea->setActiveSubWindow(FDieFinderWindow);
}

void TfrmMain::ShowInventory()
{
    if (!FInventoryWindow)
        return;
    FInventoryWindow->showNormal();
    FMdiArea->setActiveSubWindow(FInventoryWindow);
    // Already the active window: the activation signal does not come again.
    FInventoryForm->Activate();
}

void TfrmMain::ShowInventoryOptions()
{
    mnuOptionsShowPrices->setVisible(true);
    mnuOptionsShowPlay->setVisible(true);
}

void TfrmMain::FillWindowList()
{
    const QList<QAction *> items = FWindowsMenu->actions();
    for (qsizetype i = items.indexOf(FWindowListSeparator) + 1; i < items.size(); ++i)
        delete items.at(i);
    // Windows kept hidden until asked for (the inventory, the die finder) are not open
    // to the user, and a maximized one stays maximized when chosen.
    QList<QMdiSubWindow *> windows = FMdiArea->subWindowList();
    windows.removeIf([](const QMdiSubWindow *window) { return window->isHidden(); });
    FWindowListSeparator->setVisible(!windows.isEmpty());
    int number = 1;
    for (QMdiSubWindow *window : windows) {
        QAction *item =
            FWindowsMenu->addAction(u"&%1 %2"_s.arg(QString::number(number++), MenuCaption(window->windowTitle())));
        item->setCheckable(true);
        item->setChecked(window == FMdiArea->activeSubWindow());
        connect(item, &QAction::triggered, window, [this, window] {
            if (window->isMinimized())
                window->showNormal();
            FMdiArea->setActiveSubWindow(window);
        });
    }
}

void TfrmMain::ArrangeIcons()
{
    // Minimised windows line up along the bottom of the frame, left to right.
    int left = 0;
    for (QMdiSubWindow *window : FMdiArea->subWindowList()) {
        if (!window->isMinimized())
            continue;
        window->move(left, FMdiArea->viewport()->height() - window->height());
        left += window->width();
    }
}
