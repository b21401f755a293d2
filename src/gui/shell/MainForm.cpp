#include "shell/MainForm.h"

#include "KrException.h"
#include "army/ArmyDescription.h"
#include "reports/DieFinder.h"
#include "army/ArmyForm.h"
#include "game/GameDialogs.h"
#include "game/GameForm.h"
#include "dice/IconView.h"
#include "editors/RaceData.h"
#include "inventory/InventoryForm.h"
#include "net/NetService.h"
#include "shell/About.h"
#include "shell/CatalogueFiles.h"
#include "shell/ChildWindows.h"
#include "shell/Disclaimer.h"
#include "shell/MenuMerge.h"
#include "shell/ProgramIcon.h"
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>

using namespace Qt::StringLiterals;

namespace {

// The frame's own title; its window title gains the name of a maximized child window.
const QString kTitle = u"Tarrowind Assistant"_s;

} // namespace

TfrmMain::TfrmMain(TSettingsStore &settings, TPrompts &prompts, TDataPaths paths, QStringList documents,
                   const std::function<void(const QString &)> &statusWatcher, QWidget *parent)
    : QMainWindow(parent), FSettings(settings), FPrompts(prompts), FPaths(std::move(paths)),
      FDocuments(std::move(documents))
{
    setObjectName(u"frmMain"_s);
    setWindowTitle(kTitle);
    // Every window and dialog without an icon of its own shows the application's.
    QApplication::setWindowIcon(ProgramIcon());
    SetGameDialogs(nullptr);
    resize(1024, 720); // the design size, kept unless a stored position says otherwise
    FMdiArea = new QMdiArea(this);
    FMdiArea->setObjectName(u"MDIClient"_s);
    // The die finder works maximized; the race form and the army windows keep their own size.
    FMdiArea->setOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    setCentralWidget(FMdiArea);
    // Created before the child windows, so that it hears their first activations.
    new TMenuMerger(*this, *FMdiArea);
    // One simple panel; a label keeps its text until the next status, which
    // showMessage's temporary messages would not.
    FStatus = new QLabel(this);
    FStatus->setObjectName(u"barStatus"_s);
    statusBar()->addWidget(FStatus, 1);
    FNet = std::make_unique<TNetService>(*this);
    KeepNarrow(*FStatus);
    CreateMenus();
    if (statusWatcher)
        connect(this, &TfrmMain::StatusChanged, this, statusWatcher);
    InitializeMain();
}

TfrmMain::~TfrmMain()
{
    TerminateMain();
}

void TfrmMain::InitializeMain()
{
    // The icon viewer owns the loading of the face symbols, which come before any race.
    FIconView = new TfrmIconView(*this, this);
    RestoreWindowPosition(*this, u"MainForm"_s);

    FViewPerHealth = FSettings.ReadBoolSetting(u"ViewPerHealth"_s, false);
    FShowMinimum = FSettings.ReadBoolSetting(u"ShowMinimum"_s, false);
    FVirtualInventory = FSettings.ReadBoolSetting(u"VirtualInventory"_s, false);
    FShowPlaying = FSettings.ReadBoolSetting(u"ShowPlaying"_s, false);
    FShowPrices = FSettings.ReadBoolSetting(u"ShowPrices"_s, false);
    mnuOptionsPerHealth->setChecked(FViewPerHealth);
    mnuOptionsShowMin->setChecked(FShowMinimum);
    mnuOptionsShowVirtual->setChecked(FVirtualInventory);
    mnuOptionsShowPlay->setChecked(FShowPlaying);
    mnuOptionsShowPrices->setChecked(FShowPrices);

    FUserInfo.Address = FSettings.ReadStringSetting(u"UserStuff"_s, QString());
    FUserInfo.Email = FSettings.ReadStringSetting(u"EMAIL"_s, QString());
    FUserInfo.SmtpHost = FSettings.ReadStringSetting(u"SMTP_Host"_s, QString());
    FUserInfo.SmtpUser = FSettings.ReadStringSetting(u"SMTP_User"_s, QString());
    FFtpFileCount = FSettings.ReadIntegerSetting(u"FTPFileCount"_s, 0);
    FResultMap.Load(FSettings);

    ShowStatus(u"Tarrowind Assistant initialized."_s);
}

void TfrmMain::CreateWindows()
{
    FSplash = new TfrmDisclaimer(this);
    FAbout = new TfrmAbout(this);
    FArmyDescription = new TfrmArmyDescription(this);
    FDieFinder = new TfrmDieSearch(*this);
    FDieFinderWindow = FMdiArea->addSubWindow(FDieFinder);
    FDieFinderWindow->resize(980, 600);
    // Its search is the user's to start; until asked for it stays out of the race form's way.
    FDieFinderWindow->hide();
    FRaceForm = new TfrmRace(*this);
    FRaceWindow = FMdiArea->addSubWindow(FRaceForm);
    FRaceWindow->resize(980, 560);
    FRaceWindow->show();
    FInventoryForm = new TfrmInventory(*this);
    FInventoryWindow = FMdiArea->addSubWindow(FInventoryForm);
    // The tree on the left, the trades on the right.
    FInventoryWindow->resize(980, 600);
    // Kept out of sight until asked for: its tree is built at its first activation.
    FInventoryWindow->hide();
    FUserInfoDialog = new TfrmUserInfo(this);
    FUserInfoDialog->SetPrompts(FPrompts);
    mnuEditNewRace->setEnabled(true);
    mnuNavigateRaces->setEnabled(true);
    mnuNavigateInventory->setEnabled(true);
    mnuNavigateFinder->setEnabled(true);
    connect(FMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *window) {
        // On a desktop the MDI area activates the window in front once more after every
        // dialog: that is no new activation, and must not wipe what the command just wrote.
        if (!window || window == FLastActivated)
            return;
        FLastActivated = window;
        YieldShortcutsTo(window->widget());
        if (window == FInventoryWindow)
            FInventoryForm->Activate();
        else if (auto *army = window ? qobject_cast<TfrmArmy *>(window->widget()) : nullptr)
            army->SelectArmy();
        else if (auto *game = window ? qobject_cast<TfrmGame *>(window->widget()) : nullptr)
            game->Activated();
    });
    RegisterArmyOpeners();
    RegisterGameOpener();
    mnuFileNewGame->setEnabled(true);
    connect(this, &TfrmMain::InventoryViewChanged, FInventoryForm, [this] {
        if (!FInventoryForm->FirstActivation())
            FInventoryForm->RebuildTree();
        else
            FInventoryForm->InvalidateTree();
    });
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!FChildrenBuilt) {
        FChildrenBuilt = true;
        BuildChildren();
    }
}

void TfrmMain::BuildChildren()
{
    if (!FSplash)
        CreateWindows();
    FSplash->show();
    QApplication::processEvents();
    const bool read = ReadRaceData(FCatalogue, DataFilePath(QString::fromUtf16(kRaceFileName)), *this, FSplash);
    FRaceForm->FillRaceNames();
    FCatalogue.MakeTerrains();
    FSplash->hide();
    // The race form opens on the first race.
    FRaceForm->ShowRace(FCatalogue.RaceCount() > 0 ? FCatalogue.Races().front().get() : nullptr);
    ShowRaceForm();
    emit RacesChanged();
    // An installed program reads its catalogue from one of two places: the user should
    // know which one the windows show. A failed read keeps its error on the line.
    if (read && !FPaths.SourceText().isEmpty())
        ShowStatus(FPaths.SourceText());
    OpenCommandLineDocuments();
}

void TfrmMain::OpenCommandLineDocuments()
{
    int loaded = 0;
    QString last;
    for (const QString &path : std::as_const(FDocuments)) {
        try {
            OpenDocument(path);
            ++loaded;
            last = path;
        } catch (const TKrException &failure) {
            ++FDocumentFailures;
            ReportError(failure, u"loading file"_s);
        }
    }
    if (loaded == 1)
        ShowStatus(u"File "_s + last + u" loaded from command line."_s);
    else if (FDocuments.size() > 1)
        ShowStatus(QString::number(loaded) + u" files loaded from command line."_s);
}

void TfrmMain::RegisterDocumentOpener(const QString &extension, TDocumentOpener opener)
{
    FOpeners[extension.toLower()] = std::move(opener);
    // A downloaded game needs a game window to open in.
    mnuFileDownload->setEnabled(FOpeners.count(u".kgm"_s) > 0);
}

void TfrmMain::OpenDocument(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString extension = dot >= 0 ? path.mid(dot).toLower() : QString();
    const QString kind = extension == u".krg"_s || extension == u".kgm"_s ? extension : QString();
    const auto opener = FOpeners.find(kind);
    if (opener == FOpeners.end()) {
        throw TKrException(u"Cannot open \"%1\": this version of the program has no game window."_s.arg(path));
    }
    // A group file reports its own progress, army by army.
    if (kind != u".krg"_s)
        ShowStatus(u"Loading "_s + path + u"..."_s);
    opener->second(path);
    ShowStatus(path + u" loaded."_s);
}

void TfrmMain::CreateMenus()
{
    CreateFileMenu();
    QMenu *edit = menuBar()->addMenu(u"&Edit"_s);
    mnuEditNewRace = AddAction(edit, u"mnuEditNewRace"_s, u"Create New Race..."_s);
    mnuEditIcons = AddAction(edit, u"mnuEditIcons"_s, u"&Icons"_s);
    // The race form is made after the main frame.
    mnuEditNewRace->setEnabled(false);
    // The new race appears in the race form, which comes forward for it.
    connect(mnuEditNewRace, &QAction::triggered, this, [this] {
        ShowRaceForm();
        FRaceForm->CreateRace();
    });
    connect(mnuEditIcons, &QAction::triggered, this, &TfrmMain::ShowIcons);
    CreateOptionsMenu();
    CreateWindowsMenu();

    QMenu *help = menuBar()->addMenu(u"&Help"_s);
    connect(AddAction(help, u"mnuHelpContents"_s, u"&Contents"_s), &QAction::triggered, this, &TfrmMain::ShowHelp);
    connect(AddAction(help, u"mnuHelpAbout"_s, u"&About"_s), &QAction::triggered, this, &TfrmMain::ShowAbout);
}

void TfrmMain::CreateFileMenu()
{
    QMenu *file = menuBar()->addMenu(u"&File"_s);
    mnuFileNew = AddAction(file, u"mnuFileNew"_s, u"&New Army"_s);
    connect(mnuFileNew, &QAction::triggered, this, [this] { CreateArmy(); });
    mnuFileOpen = AddAction(file, u"mnuFileOpen"_s, u"&Open"_s);
    connect(mnuFileOpen, &QAction::triggered, this, &TfrmMain::OpenFile);
    // Games bring their commands to life; until then they are shown, disabled.
    mnuFileNewGame = AddAction(file, u"mnuFileNewGame"_s, u"New Game"_s);
    mnuFileDownload = AddAction(file, u"mnuFileDownload"_s, u"&Download Game"_s);
    for (QAction *item : {mnuFileNewGame, mnuFileDownload})
        item->setEnabled(false);
    connect(mnuFileDownload, &QAction::triggered, this, &TfrmMain::DownloadGame);
    connect(mnuFileNewGame, &QAction::triggered, this, &TfrmMain::NewGame);
    file->addSeparator();
    mnuFileGenerate = AddAction(file, u"mnuFileGenerate"_s, u"&Regenerate Races"_s);
    connect(mnuFileGenerate, &QAction::triggered, this, &TfrmMain::RegenerateRaces);
    mnuFileSaveRaces = AddAction(file, u"mnuFileSaveRaces"_s, u"Save &Races"_s);
    mnuFileSaveRaces->setEnabled(false);
    connect(mnuFileSaveRaces, &QAction::triggered, this, &TfrmMain::SaveRaceData);
    file->addSeparator();
    mnuFileExit = AddAction(file, u"mnuFileExit"_s, u"E&xit"_s);
    connect(mnuFileExit, &QAction::triggered, this, &TfrmMain::MainExit);
}

void TfrmMain::CreateOptionsMenu()
{
    QMenu *options = menuBar()->addMenu(u"&Options"_s);
    mnuOptionsPerHealth = AddAction(options, u"mnuOptionsPerHealth"_s, u"Show &Per Health"_s);
    mnuOptionsShowMin = AddAction(options, u"mnuOptionsShowMin"_s, u"Show &Minimum"_s);
    mnuOptionsShowPrices = AddAction(options, u"mnuOptionsShowPrices"_s, u"Show Prices"_s);
    mnuOptionsShowPlay = AddAction(options, u"mnuOptionsShowPlay"_s, u"Show Dice in Play"_s);
    mnuOptionsShowVirtual = AddAction(options, u"mnuOptionsShowVirtual"_s, u"Show &Virtual Inventory"_s);
    options->addSeparator();
    mnuOptionsPowerItems = AddAction(options, u"mnuOptionsPowerItems"_s, u"Power Magic Items"_s);
    mnuOptionsMonster = AddAction(options, u"mnuOptionsMonster"_s, u"Monstrous Magic Resistance"_s);
    options->addSeparator();
    mnuOptionsUserInfo = AddAction(options, u"mnuOptionsUserInfo"_s, u"&User Information"_s);
    mnuOptionsDirectory = AddAction(options, u"mnuOptionsDirectory"_s, u"&Set Directory"_s);
    for (QAction *item : {mnuOptionsPerHealth, mnuOptionsShowMin, mnuOptionsShowPrices, mnuOptionsShowPlay,
                          mnuOptionsShowVirtual, mnuOptionsPowerItems, mnuOptionsMonster})
        item->setCheckable(true);
    // Offered once the inventory has been opened.
    mnuOptionsShowPrices->setVisible(false);
    mnuOptionsShowPlay->setVisible(false);

    connect(mnuOptionsPerHealth, &QAction::triggered, this, &TfrmMain::ToggleViewPerHealth);
    connect(mnuOptionsShowMin, &QAction::triggered, this, &TfrmMain::ToggleShowMinimum);
    connect(mnuOptionsShowPrices, &QAction::triggered, this, &TfrmMain::ToggleShowPrices);
    connect(mnuOptionsShowPlay, &QAction::triggered, this, &TfrmMain::ToggleShowPlaying);
    connect(mnuOptionsShowVirtual, &QAction::triggered, this, &TfrmMain::ToggleShowVirtual);
    connect(mnuOptionsPowerItems, &QAction::triggered, this, [this] { ChangeRules(mnuOptionsPowerItems); });
    connect(mnuOptionsMonster, &QAction::triggered, this, [this] { ChangeRules(mnuOptionsMonster); });
    connect(mnuOptionsUserInfo, &QAction::triggered, this, &TfrmMain::EditUserInfo);
    connect(mnuOptionsDirectory, &QAction::triggered, this, &TfrmMain::FixDirectory);
}

void TfrmMain::CreateWindowsMenu()
{
    FWindowsMenu = menuBar()->addMenu(u"&Windows"_s);
    connect(AddAction(FWindowsMenu, u"mnuWindowArrange"_s, u"&Arrange Icons"_s), &QAction::triggered, this,
            &TfrmMain::ArrangeIcons);
    connect(AddAction(FWindowsMenu, u"mnuWindowTile"_s, u"&Tile"_s), &QAction::triggered, this,
            [this] { TileChildWindows(*FMdiArea); });
    connect(AddAction(FWindowsMenu, u"mnuWindowCascade"_s, u"&Cascade"_s), &QAction::triggered, this,
            [this] { CascadeChildWindows(*FMdiArea); });

    QMenu *navigate = FWindowsMenu->addMenu(u"&Navigate"_s);
    mnuNavigateCurrent = AddAction(navigate, u"mnuNavigateCurrent"_s, u"&Current Army"_s, QKeySequence(Qt::Key_F6));
    mnuNavigatePrev = AddAction(navigate, u"mnuNavigatePrev"_s, u"&Prev Army"_s, QKeySequence(Qt::SHIFT | Qt::Key_F6));
    mnuNavigateNext = AddAction(navigate, u"mnuNavigateNext"_s, u"&Next Army"_s, QKeySequence(Qt::SHIFT | Qt::Key_F7));
    mnuNavigateRaces = AddAction(navigate, u"mnuNavigateRaces"_s, u"&Races"_s, QKeySequence(Qt::CTRL | Qt::Key_R));
    mnuNavigateFinder =
        AddAction(navigate, u"mnuNavigateFinder"_s, u"&Die Finder"_s, QKeySequence(Qt::CTRL | Qt::Key_F));
    mnuNavigateInventory =
        AddAction(navigate, u"mnuNavigateInventory"_s, u"&Inventory"_s, QKeySequence(Qt::CTRL | Qt::Key_I));
    // Each comes to life with the window it shows.
    for (QAction *item : {mnuNavigateCurrent, mnuNavigateRaces, mnuNavigateFinder, mnuNavigateInventory})
        item->setEnabled(false);
    connect(mnuNavigateCurrent, &QAction::triggered, this, &TfrmMain::GotoCurrentArmy);
    connect(mnuNavigatePrev, &QAction::triggered, this, &TfrmMain::GotoPrevArmy);
    connect(mnuNavigateNext, &QAction::triggered, this, &TfrmMain::GotoNextArmy);
    connect(mnuNavigateRaces, &QAction::triggered, this, &TfrmMain::ShowRaceForm);
    connect(mnuNavigateInventory, &QAction::triggered, this, &TfrmMain::ShowInventory);
    connect(mnuNavigateFinder, &QAction::triggered, this, &TfrmMain::ShowDieFinder);

    QMenu *group = FWindowsMenu->addMenu(u"&Group"_s);
    const std::array<QKeySequence, 5> keys{QKeySequence(Qt::CTRL | Qt::Key_H), QKeySequence(Qt::CTRL | Qt::Key_C),
                                           QKeySequence(Qt::CTRL | Qt::Key_O), QKeySequence(Qt::CTRL | Qt::Key_P),
                                           QKeySequence(Qt::CTRL | Qt::Key_S)};
    for (size_t tag = 0; tag < mnuGroup.size(); ++tag) {
        // Enabled from the start, so that without a current army the keys beep and say so.
        mnuGroup[tag] = AddAction(group, u"mnuGroup%1"_s.arg(tag), GroupArmyCaption(int(tag)), keys[tag]);
        mnuGroup[tag]->setData(int(tag));
        connect(mnuGroup[tag], &QAction::triggered, this, [this, tag] { GotoGroupArmy(int(tag)); });
    }

    // The list of open windows follows, rebuilt each time the menu opens.
    FWindowListSeparator = FWindowsMenu->addSeparator();
    connect(FWindowsMenu, &QMenu::aboutToShow, this, &TfrmMain::FillWindowList);
}

QAction *TfrmMain::AddAction(QMenu *menu, const QString &name, const QString &caption, const QKeySequence &shortcut)
{
    QAction *item = menu->addAction(caption);
    item->setObjectName(name);
    if (!shortcut.isEmpty())
        item->setShortcut(shortcut);
    return item;
}

void TfrmMain::ShowStatus(const QString &text)
{
    FStatus->setText(text);
    // Long operations report as they go: paint the line now, not after the work.
    FStatus->repaint();
    emit StatusChanged(text);
}

QString TfrmMain::StatusText() const
{
    return FStatus->text();
}

void TfrmMain::ReportError(const TKrException &failure, const QString &context)
{
    ShowStatus(u"Error "_s + context + u'.');
    FPrompts.Warning(kTitle, failure.Message());
}

void TfrmMain::Beep()
{
    FPrompts.Beep();
}

void TfrmMain::Inform(const QString &text)
{
    FPrompts.Information(kTitle, text);
}

bool TfrmMain::RequestClose()
{
    // The icon viewer may save its symbols. Cancel there, or a failed write, keeps the
    // program open: its changes would otherwise go, and the race file could be saved
    // below pointing at symbols the icon file does not have.
    if (FIconView && FIconView->isVisible() && !FIconView->CloseIconViewerQuery())
        return false;
    bool mayClose = !FInventoryForm || FInventoryForm->QuerySaveInventory();
    if (mayClose && FCatalogue.RacesModified) {
        switch (FPrompts.Confirm(kTitle, u"Save race changes?"_s, TButtons::YesNoCancel)) {
        case TAnswer::Yes:
            // Changes that could not be written must not be thrown away by closing.
            mayClose = WriteRaceData(FCatalogue, DataSavePath(QString::fromUtf16(kRaceFileName)), *this);
            mnuFileSaveRaces->setEnabled(FCatalogue.RacesModified);
            break;
        case TAnswer::No:
            break;
        default:
            mayClose = false;
            break;
        }
    }
    // Each army from the front asks about itself; the first that stays stops the closing.
    for (TfrmArmy *army : std::vector<TfrmArmy *>(FArmyForms)) {
        if (!mayClose)
            break;
        mayClose = army->CloseArmy();
    }
    for (TfrmGame *game : std::vector<TfrmGame *>(FGameForms)) {
        if (!mayClose)
            break;
        mayClose = game->RequestClose();
    }
    return mayClose;
}

void TfrmMain::ConfirmExit()
{
    if (FClosing)
        return;
    if (FPrompts.Confirm(kTitle, u"Exit Tarrowind Assistant?"_s, TButtons::OkCancel) != TAnswer::Ok)
        return;
    if (FInventoryForm && !FInventoryForm->QuerySaveInventory())
        return;
    if (!RequestClose())
        return;
    FCloseApproved = true;
    close();
}

void TfrmMain::MainExit()
{
    if (!RequestClose())
        return;
    FCloseApproved = true;
    close();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    // A transfer waits for its server on this window's event loop: the window stays
    // until it has ended, within its timeouts.
    if (FNet->Busy() || TCurlSession::AnyRunning()) {
        ShowStatus(u"Wait for the transfer to end."_s);
        event->ignore();
        return;
    }
    if (!FCloseApproved && !RequestClose()) {
        event->ignore();
        return;
    }
    FCloseApproved = true;
    event->accept();
}

void TfrmMain::TerminateMain()
{
    SaveWindowPosition(*this, u"MainForm"_s);
    FResultMap.Save(FSettings);
    FSettings.WriteStringSetting(u"UserStuff"_s, FUserInfo.Address);
    FSettings.WriteStringSetting(u"EMAIL"_s, FUserInfo.Email);
    FSettings.WriteStringSetting(u"SMTP_Host"_s, FUserInfo.SmtpHost);
    FSettings.WriteStringSetting(u"SMTP_User"_s, FUserInfo.SmtpUser);
    FSettings.WriteIntegerSetting(u"FTPFileCount"_s, FFtpFileCount);
    FClosing = true;
    // From here the windows go one by one, and the MDI area reports each half-destroyed
    // one as activated: nothing of the frame may look at them any more.
    FMdiArea->disconnect(this);
    // The windows that show the catalogue's objects go before the objects do; the
    // games hold dice of the armies' catalogue, so they go first.
    while (!FGameForms.empty()) {
        TfrmGame *game = FGameForms.front();
        FGameForms.erase(FGameForms.begin());
        delete game->parentWidget();
    }
    while (!FArmyForms.empty()) {
        TfrmArmy *army = FArmyForms.front();
        FArmyForms.erase(FArmyForms.begin());
        delete army->parentWidget();
    }
    FCurrentArmy = nullptr;
    delete FDieFinderWindow;
    FDieFinderWindow = nullptr;
    FDieFinder = nullptr;
    delete FInventoryWindow;
    FInventoryWindow = nullptr;
    FInventoryForm = nullptr;
    delete FRaceWindow;
    FRaceWindow = nullptr;
    FRaceForm = nullptr;
    FCatalogue.ClearRaces();
    // The last values are written (the grids keep their layouts as their windows go).
    // A settings file that stopped taking them during the run would otherwise leave the
    // user to find positions and options gone at the next start; one that could not be
    // used at all was reported at start.
    if (FSettings.Writable() && !FSettings.LastError().isEmpty())
        FPrompts.Warning(kTitle, FSettings.LastError());
}
