#include "MainFixture.h"
#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "dice/IconView.h"
#include "inventory/InventoryForm.h"
#include "dice/RaceFile.h"
#include "io/TaggedStream.h"
#include "shell/ChildWindows.h"
#include "shell/HelpWindow.h"
#include "shell/MainForm.h"
#include "reports/DieFinder.h"
#include "army/ArmyForm.h"
#include "editors/RaceData.h"
#include <QScreen>
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"
#include "shell/WindowRecord.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using MainFormTest = TMainFixture;

} // namespace

TEST_F(MainFormTest, FirstStartOnEmptySettings)
{
    TfrmMain &main = Start();
    QStringList basics;
    for (const QString &name : {u"ID"_s, u"Magic"_s, u"Melee"_s, u"Missile"_s, u"Move"_s, u"Save"_s})
        basics << u"Loading icon:  "_s + name + u"..."_s << name + u" icon loaded."_s;
    // The icon viewer is made first and loads the symbols; then the frame's own settings.
    const QStringList expected = QStringList{u"Positioning Icons..."_s, u"Icon Viewer repositioned."_s,
                                             u"Loading effect list..."_s, u"Loading basic icons..."_s}
                                 + basics
                                 + QStringList{u"Loading special icons..."_s, u"Icon viewer initialized."_s,
                                               u"Positioning MainForm..."_s, u"Tarrowind Assistant repositioned."_s,
                                               u"Tarrowind Assistant initialized."_s, u"Reading race data..."_s,
                                               u"Race data read from disk."_s};
    EXPECT_EQ(Statuses, expected);
    EXPECT_EQ(main.windowTitle(), u"Tarrowind Assistant");
    EXPECT_FALSE(main.ViewPerHealth() || main.ShowMinimum() || main.ShowPrices() || main.ShowPlaying()
                 || main.VirtualInventory());
    EXPECT_TRUE(main.UserInfo().Address.isEmpty() && main.UserInfo().Email.isEmpty());
    EXPECT_EQ(main.FtpFileCount(), 0);
    EXPECT_EQ(main.ResultMap().Positions(), TResultMap().Positions());
    EXPECT_EQ(main.size(), QSize(1024, 720));
    ASSERT_EQ(main.Catalogue().RaceCount(), 2);
    EXPECT_EQ(main.Catalogue().Races().front()->Name, u"Reedfolk");
    EXPECT_TRUE(main.Catalogue().HasTerrains());
    EXPECT_EQ(main.Catalogue().MajorTerrain(0)->Name, u"Coastland City");

    // Closing writes the window position, result order and user information.
    Main.reset();
    for (const QString &name : {u"MainForm"_s, u"MainForm State"_s, u"ResultMap"_s, u"UserStuff"_s, u"EMAIL"_s,
                                u"SMTP_Host"_s, u"SMTP_User"_s, u"FTPFileCount"_s})
        EXPECT_TRUE(Settings.Exists(name)) << name.toStdString();
    EXPECT_EQ(Settings.Binary(u"ResultMap"_s).size(), 60);
    EXPECT_EQ(Settings.TypeOf(u"FTPFileCount"_s), TSettingType::Integer);
    EXPECT_EQ(Settings.TypeOf(u"EMAIL"_s), TSettingType::Text);
    // The view options are written when toggled, never here.
    EXPECT_FALSE(Settings.Exists(u"ViewPerHealth"_s));
}

TEST_F(MainFormTest, SettingsComeBackAtTheNextStart)
{
    Settings.WriteInteger(u"ShowMinimum"_s, 7);
    Settings.WriteText(u"ShowPrices"_s, u"1"_s); // text is no flag
    Settings.WriteInteger(u"EMAIL"_s, 42);        // an integer reads as its text
    Settings.WriteText(u"FTPFileCount"_s, u"17"_s);
    Settings.WriteBinary(u"ResultMap"_s, QByteArray(56, '\1'));
    TfrmMain &main = Start({}, false);
    EXPECT_TRUE(main.ShowMinimum());
    EXPECT_TRUE(Item(u"mnuOptionsShowMin"_s).isChecked());
    EXPECT_FALSE(main.ShowPrices());
    EXPECT_EQ(main.UserInfo().Email, u"42");
    EXPECT_EQ(main.FtpFileCount(), 17);
    EXPECT_EQ(main.ResultMap().Positions(), TResultMap().Positions()); // 56 bytes are ignored

    // Toggles are written at once, with their status lines.
    Item(u"mnuOptionsPerHealth"_s).trigger();
    EXPECT_EQ(Settings.TypeOf(u"ViewPerHealth"_s), TSettingType::Integer);
    EXPECT_EQ(Settings.Integer(u"ViewPerHealth"_s), 1);
    EXPECT_EQ(main.StatusText(), u"Die result view mode changed.");
    int cleared = 0;
    QObject::connect(&main, &TfrmMain::ArmyAnalysisInvalid, &main, [&] { ++cleared; });
    Item(u"mnuOptionsShowMin"_s).trigger();
    EXPECT_EQ(Settings.Integer(u"ShowMinimum"_s), 0);
    EXPECT_EQ(main.StatusText(), u"Army result view mode changed.");
    EXPECT_EQ(cleared, 1);
    int inventoryRefreshes = 0;
    QObject::connect(&main, &TfrmMain::InventoryViewChanged, &main, [&] { ++inventoryRefreshes; });
    Item(u"mnuOptionsShowPlay"_s).trigger();
    Item(u"mnuOptionsShowVirtual"_s).trigger();
    EXPECT_EQ(inventoryRefreshes, 2);
    EXPECT_EQ(main.StatusText(), u"Army result view mode changed."); // these two say nothing
    main.MoveResultColumn(3, 1);

    Main.reset();
    TfrmMain &again = Start({}, false);
    EXPECT_TRUE(again.ViewPerHealth());
    EXPECT_TRUE(again.ShowPlaying());
    EXPECT_TRUE(again.VirtualInventory());
    EXPECT_FALSE(again.ShowMinimum());
    EXPECT_EQ(again.ResultMap().Position(ResultType::BlackMagic), 2);
    EXPECT_EQ(again.ResultMap().Position(ResultType::GoldMagic), 1);
}

TEST_F(MainFormTest, RulesOptionsRegenerateAndAreNotKept)
{
    TfrmMain &main = Start();
    Statuses.clear();
    int regenerated = 0;
    QObject::connect(&main, &TfrmMain::RacesRegenerated, &main, [&] { ++regenerated; });
    Item(u"mnuOptionsPowerItems"_s).trigger();
    EXPECT_TRUE(main.Catalogue().Rules.PowerMagicItems);
    EXPECT_FALSE(main.Catalogue().Rules.MonstrousMagicResistance);
    EXPECT_EQ(Statuses, (QStringList{u"Regenerating..."_s, u"Regenerating Reedfolk..."_s,
                                     u"Regenerating Stonekin..."_s, u"Fixing army forms..."_s,
                                     u"Races regenerated."_s}));
    EXPECT_EQ(regenerated, 1);
    main.ChangeRules(&Item(u"mnuOptionsMonster"_s));
    EXPECT_TRUE(main.Catalogue().Rules.MonstrousMagicResistance);
    EXPECT_TRUE(Item(u"mnuOptionsMonster"_s).isChecked());
    EXPECT_TRUE(main.Catalogue().Races().front()->Dice().front()->StatisticsValid());

    Main.reset();
    EXPECT_EQ(Settings.Count(), 8); // the closing values only: no rules options
    TfrmMain &again = Start({}, false);
    EXPECT_FALSE(again.Catalogue().Rules.PowerMagicItems);
}

TEST_F(MainFormTest, ClosingWithUnsavedRaces)
{
    TfrmMain &main = Start();
    const QByteArray original = FileBytes(RaceFile);
    EXPECT_FALSE(Item(u"mnuFileSaveRaces"_s).isEnabled());
    main.Catalogue().Races().front()->Name = u"Marshfolk"_s;
    main.MarkRacesChanged();
    EXPECT_TRUE(Item(u"mnuFileSaveRaces"_s).isEnabled());

    // Cancel keeps everything open and writes nothing.
    Prompts.ExpectAsk(u"Save race changes?"_s, TAnswer::Cancel);
    EXPECT_FALSE(main.close());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(FileBytes(RaceFile), original);
    EXPECT_EQ(Prompts.Transcript.last(), u"ask YesNoCancel Tarrowind Assistant: Save race changes?");

    // No closes without writing.
    Prompts.ExpectAsk(u"Save race changes?"_s, TAnswer::No);
    EXPECT_TRUE(main.RequestClose());
    EXPECT_EQ(FileBytes(RaceFile), original);

    // Yes writes the races, and closes.
    Prompts.ExpectAsk(u"Save race changes?"_s, TAnswer::Yes);
    EXPECT_TRUE(main.close());
    EXPECT_NE(FileBytes(RaceFile).indexOf("Marshfolk"), -1);
    EXPECT_FALSE(main.Catalogue().RacesModified);
    EXPECT_EQ(main.StatusText(), u"Race data written to disk.");
}

TEST_F(MainFormTest, AFailedSaveAtExitKeepsTheProgramOpen)
{
    TfrmMain &main = Start();
    main.MarkRacesChanged();
    // The data folder turns into a place where nothing can be written.
    QFile::remove(RaceFile);
    ASSERT_TRUE(QDir(Data.path()).mkdir(u"KRRACES.DAT"_s));
    Prompts.ExpectAsk(u"Save race changes?"_s, TAnswer::Yes);
    Prompts.ExpectMessage(QString()); // the write failure
    EXPECT_FALSE(main.RequestClose());
    EXPECT_EQ(main.StatusText(), u"Error writing race file.");
    EXPECT_TRUE(Item(u"mnuFileSaveRaces"_s).isEnabled());
}

TEST_F(MainFormTest, TheIconViewerMayHoldTheProgramOpen)
{
    TCatalogue catalogue;
    TIconDescriptor spark;
    spark.Name = u"Spark"_s;
    catalogue.Icons().Add(spark);
    WriteCatalogue(catalogue);
    TfrmMain &main = Start();
    TfrmIconView &view = *main.IconView();
    view.ShowViewer();
    auto &symbols = *view.findChild<QListWidget *>(u"lstSpecialIcons"_s);
    ASSERT_GT(symbols.count(), 0);
    symbols.setCurrentRow(0);
    view.findChild<QPlainTextEdit *>(u"txtDescription"_s)->setPlainText(u"Changed."_s);
    view.findChild<QPushButton *>(u"btnStore"_s)->click();
    ASSERT_TRUE(view.Modified());

    // Cancel, or a write that fails, keeps the program and the changes.
    Prompts.ExpectAsk(u"Save icon changes to disk?"_s, TAnswer::Cancel);
    EXPECT_FALSE(main.RequestClose());
    QFile::remove(IconFile);
    ASSERT_TRUE(QDir(Data.path()).mkdir(u"KRICONS.DAT"_s));
    Prompts.ExpectAsk(u"Save icon changes to disk?"_s, TAnswer::Yes);
    Prompts.ExpectMessage(QString());
    EXPECT_FALSE(main.RequestClose());
    EXPECT_TRUE(view.isVisible());
    EXPECT_TRUE(view.Modified());

    ASSERT_TRUE(QDir(Data.path()).rmdir(u"KRICONS.DAT"_s));
    Prompts.ExpectAsk(u"Save icon changes to disk?"_s, TAnswer::Yes);
    EXPECT_TRUE(main.RequestClose());
    EXPECT_FALSE(view.Modified());
}

TEST_F(MainFormTest, SettingsThatStopReachingTheirFileAreToldAtTheEnd)
{
    // The settings file takes the first values; then a folder stands in its place, and
    // every later write fails.
    const QString file = Data.filePath(u"settings.json"_s);
    TFileSettingsStore store(file);
    ASSERT_TRUE(store.Writable());
    {
        TfrmMain main(store, Prompts, TDataPaths(Data.path()), {});
        main.CreateWindows();
        store.WriteInteger(u"Probe"_s, 1);
        ASSERT_TRUE(store.LastError().isEmpty());
        ASSERT_TRUE(QFile::remove(file));
        ASSERT_TRUE(QDir(Data.path()).mkdir(u"settings.json"_s));
        Prompts.ExpectMessage(QString());
    }
    Prompts.CheckAllUsed();
    ASSERT_FALSE(store.LastError().isEmpty());
    EXPECT_EQ(Prompts.Transcript.last(), u"message Warning Tarrowind Assistant: "_s + store.LastError());
}

TEST_F(MainFormTest, ExitCommands)
{
    TfrmMain &main = Start();
    Prompts.ExpectAsk(u"Exit Tarrowind Assistant?"_s, TAnswer::Cancel);
    main.ConfirmExit();
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(Prompts.Transcript.last(), u"ask OkCancel Tarrowind Assistant: Exit Tarrowind Assistant?");

    main.MarkRacesChanged();
    Prompts.ExpectAsk(u"Exit Tarrowind Assistant?"_s, TAnswer::Ok);
    Prompts.ExpectAsk(u"Save race changes?"_s, TAnswer::No);
    main.ConfirmExit();
    EXPECT_FALSE(main.isVisible());
}

TEST_F(MainFormTest, DieFinderComesMaximizedAndClosingItMeansLeaving)
{
    TfrmMain &main = Start();
    ASSERT_NE(main.DieFinder(), nullptr);
    QMdiSubWindow *window = qobject_cast<QMdiSubWindow *>(main.DieFinder()->parentWidget());
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->isVisible());
    // The Windows menu lists what is open to the user, numbered.
    auto *windows = qobject_cast<QMenu *>(Item(u"mnuWindowTile"_s).associatedObjects().value(0));
    ASSERT_NE(windows, nullptr);
    const auto listed = [windows] {
        emit windows->aboutToShow();
        QStringList texts;
        for (const QAction *item : windows->actions()) {
            if (item->isCheckable())
                texts << item->text();
        }
        return texts;
    };
    EXPECT_EQ(listed(), QStringList{u"&1 Race Form"_s});
    EXPECT_EQ(Item(u"mnuNavigateFinder"_s).shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
    Item(u"mnuNavigateFinder"_s).trigger();
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(main.MdiArea()->activeSubWindow(), window);
    EXPECT_EQ(listed(), (QStringList{u"&1 Die Finder"_s, u"&2 Race Form"_s}));

    // Going back to the races does not maximize the race form as well.
    Item(u"mnuNavigateRaces"_s).trigger();
    EXPECT_FALSE(main.MdiArea()->activeSubWindow()->isMaximized());
    // Chosen from the list, the finder comes back as it was.
    listed();
    for (QAction *item : windows->actions()) {
        if (item->text().endsWith(u"Die Finder"_s))
            item->trigger();
    }
    EXPECT_EQ(main.MdiArea()->activeSubWindow(), window);
    EXPECT_TRUE(window->isMaximized());

    Prompts.ExpectAsk(u"Exit Tarrowind Assistant?"_s, TAnswer::Cancel);
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(Prompts.Transcript.last(), u"ask OkCancel Tarrowind Assistant: Exit Tarrowind Assistant?");
}

TEST_F(MainFormTest, SaveRacesCommand)
{
    TfrmMain &main = Start();
    main.Catalogue().Races().back()->Name = u"Zed"_s;
    main.MarkRacesChanged();
    Statuses.clear();
    Item(u"mnuFileSaveRaces"_s).trigger();
    EXPECT_EQ(Statuses, (QStringList{u"Writing race data..."_s, u"Race data written to disk."_s}));
    EXPECT_FALSE(Item(u"mnuFileSaveRaces"_s).isEnabled());
    TCatalogue reread;
    ReadFromBytes(FileBytes(RaceFile), [&](TTaggedReader &r) { ReadRaceStream(r, reread); });
    EXPECT_EQ(reread.Races().back()->Name, u"Zed");
    // Nothing is asked at the end: the races are saved.
    Main.reset();
}

TEST_F(MainFormTest, WindowPositions)
{
    TfrmMain &main = Start({}, false);
    Statuses.clear();
    main.move(40, 30);
    main.resize(700, 500);
    main.SaveWindowPosition(main, u"MainForm"_s);
    EXPECT_EQ(Statuses, (QStringList{u"Saving position of MainForm..."_s, u"Position of Tarrowind Assistant saved."_s}));
    EXPECT_EQ(Hex(Settings.Binary(u"MainForm"_s)), u"28 00 00 00 1E 00 00 00 E4 02 00 00 12 02 00 00");
    EXPECT_EQ(Settings.Integer(u"MainForm State"_s), 0);

    // A sizeable window gets position and size back; a fixed one only its position.
    QWidget sizeable;
    sizeable.setWindowTitle(u"Viewer"_s);
    Statuses.clear();
    main.RestoreWindowPosition(sizeable, u"MainForm"_s);
    EXPECT_EQ(Statuses, (QStringList{u"Positioning MainForm..."_s, u"Viewer repositioned."_s}));
    EXPECT_EQ(sizeable.pos(), QPoint(40, 30));
    EXPECT_EQ(sizeable.size(), QSize(700, 500));
    QDialog fixed;
    fixed.setFixedSize(200, 100);
    main.RestoreWindowPosition(fixed, u"MainForm"_s);
    EXPECT_EQ(fixed.pos(), QPoint(40, 30));
    EXPECT_EQ(fixed.size(), QSize(200, 100));

    // A minimised window comes back minimised, and returns to the bounds it kept.
    Settings.WriteInteger(u"Viewer State"_s, 1);
    Settings.WriteBinary(u"Viewer"_s, WindowRecord::ToBytes(QRect(5, 5, 50, 50)));
    QWidget minimised;
    minimised.resize(320, 240);
    main.RestoreWindowPosition(minimised, u"Viewer"_s);
    EXPECT_TRUE(minimised.windowState() & Qt::WindowMinimized);
    minimised.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(minimised.size(), QSize(50, 50));
    EXPECT_EQ(minimised.pos(), QPoint(5, 5));

    // A record that is not 16 bytes leaves the bounds alone.
    Settings.WriteBinary(u"Odd"_s, QByteArray(12, '\1'));
    QWidget odd;
    odd.resize(111, 99);
    main.RestoreWindowPosition(odd, u"Odd"_s);
    EXPECT_EQ(odd.size(), QSize(111, 99));
}

TEST_F(MainFormTest, SetDirectoryAsksAgainUntilTheFolderExists)
{
    TfrmMain &main = Start({}, false);
    Settings.WriteText(u"ArmyDir"_s, u"/old"_s);
    const QString missing = Data.filePath(u"no such folder"_s);
    Prompts.ExpectInput(u"Enter default directory name"_s, missing);
    Prompts.ExpectInput(u"Invalid directory specified.  Please re-enter."_s, Data.path());
    main.FixDirectory();
    EXPECT_EQ(Prompts.Transcript, (QStringList{u"input Fix Directory: Enter default directory name [/old]"_s,
                                               u"input Fix Directory: Invalid directory specified.  Please re-enter. ["_s
                                                   + missing + u']'}));
    EXPECT_EQ(Settings.Text(u"ArmyDir"_s), Data.path());

    Prompts.ExpectInput(u"Enter default directory name"_s, std::nullopt);
    main.FixDirectory();
    EXPECT_EQ(main.StatusText(), u"Directory fix cancelled by user.");
    EXPECT_EQ(Settings.Text(u"ArmyDir"_s), Data.path());
}

TEST_F(MainFormTest, CommandLineDocuments)
{
    QStringList opened;
    auto opener = [&](TfrmMain &main) {
        main.RegisterDocumentOpener(QString(), [&](const QString &path) {
            if (path.contains(u"broken"_s))
                throw TKrException(u"The army file is damaged."_s);
            opened << u"army "_s + path;
        });
        main.RegisterDocumentOpener(u".krg"_s, [&](const QString &path) { opened << u"group "_s + path; });
    };

    TfrmMain &one = Start({u"/a/first.kra"_s}, false);
    opener(one);
    one.show();
    EXPECT_EQ(one.StatusText(), u"File /a/first.kra loaded from command line.");
    EXPECT_TRUE(Statuses.contains(u"Loading /a/first.kra..."_s));

    opened.clear();
    Prompts.ExpectMessage(u"The army file is damaged."_s);
    TfrmMain &three = Start({u"x.kra"_s, u"broken.kra"_s, u"TEAM.KRG"_s}, false);
    opener(three);
    three.show();
    EXPECT_EQ(opened, (QStringList{u"army x.kra"_s, u"group TEAM.KRG"_s}));
    EXPECT_TRUE(Statuses.contains(u"Error loading file."_s));
    EXPECT_EQ(three.StatusText(), u"2 files loaded from command line.");
    EXPECT_FALSE(Statuses.contains(u"Loading TEAM.KRG..."_s)); // groups report army by army

    // Without a window for the kind the file is refused, and the start goes on.
    Prompts.ExpectMessage(QString());
    TfrmMain &none = Start({u"y.kgm"_s});
    EXPECT_EQ(none.StatusText(), u"Error loading file.");
    EXPECT_TRUE(Prompts.Transcript.last().contains(u"Cannot open \"y.kgm\""_s));
}

TEST_F(MainFormTest, DamagedRaceDatabaseAtStart)
{
    const QByteArray bytes = FileBytes(RaceFile);
    WriteFile(RaceFile, bytes.left(bytes.indexOf("Stonekin") + 3));
    Prompts.ExpectMessage(QString());
    TfrmMain &main = Start();
    EXPECT_TRUE(Statuses.contains(u"Error reading race file."_s));
    EXPECT_EQ(main.Catalogue().RaceCount(), 1);
    EXPECT_TRUE(Prompts.Transcript.last().startsWith(u"message Warning Tarrowind Assistant: The length of a text"_s));

    // Saving the races read keeps the damaged file beside the new one, and says so.
    Prompts.ExpectMessage(QString());
    main.SaveRaceData();
    EXPECT_TRUE(Prompts.Transcript.last().startsWith(u"message Information Tarrowind Assistant: The race database"_s));
    EXPECT_EQ(main.StatusText(), u"Race data written to disk.");
    EXPECT_EQ(FileBytes(RaceFile + u".damaged"_s), bytes.left(bytes.indexOf("Stonekin") + 3));
}

TEST_F(MainFormTest, MenusAsTheyStand)
{
    Start({}, false);
    for (const QString &name : {u"mnuNavigateCurrent"_s, u"mnuFileSaveRaces"_s})
        EXPECT_FALSE(Item(name).isEnabled()) << name.toStdString();
    for (const QString &name : {u"mnuFileGenerate"_s, u"mnuFileExit"_s, u"mnuOptionsPerHealth"_s,
                                u"mnuOptionsUserInfo"_s, u"mnuOptionsDirectory"_s, u"mnuEditNewRace"_s,
                                u"mnuEditIcons"_s, u"mnuNavigateRaces"_s, u"mnuNavigateInventory"_s,
                                u"mnuNavigateFinder"_s, u"mnuFileNew"_s, u"mnuFileOpen"_s, u"mnuNavigatePrev"_s, u"mnuNavigateNext"_s,
                                u"mnuFileNewGame"_s, u"mnuFileDownload"_s})
        EXPECT_TRUE(Item(name).isEnabled()) << name.toStdString();
    EXPECT_FALSE(Item(u"mnuOptionsShowPrices"_s).isVisible());
    EXPECT_EQ(Item(u"mnuFileSaveRaces"_s).text(), u"Save &Races");
    EXPECT_EQ(Item(u"mnuNavigatePrev"_s).shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F6));
    EXPECT_EQ(Item(u"mnuNavigateNext"_s).shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F7));
    EXPECT_EQ(Item(u"mnuNavigateInventory"_s).shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    EXPECT_EQ(Item(u"mnuGroup4"_s).shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));

    QAction copy;
    TfrmMain::MirrorMenuItem(Item(u"mnuOptionsShowPrices"_s), copy);
    EXPECT_EQ(copy.text(), u"Show Prices");
    EXPECT_FALSE(copy.isVisible());
}

TEST_F(MainFormTest, DialogsStartInTheUsersDocuments)
{
    // A home of its own, with no folder settings of the desktop in it.
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(u".config"_s)));
    TfrmMain &main = Start({}, false);
    const auto startFolders = [&] {
        QStringList folders;
        Prompts.ExpectOpen(std::nullopt);
        main.OpenFile();
        folders << Prompts.LastFileDialog.Directory;
        QString name;
        TFileDialog dialog;
        Prompts.ExpectSave(std::nullopt);
        main.ChooseSaveFile(name, dialog, true, u"Army.kra"_s);
        folders << dialog.Directory;
        Prompts.ExpectOpen(std::nullopt);
        main.ShowInventory();
        main.InventoryForm()->LoadInventory();
        folders << Prompts.LastFileDialog.Directory;
        return folders;
    };
    // No documents folder: the home folder.
    EXPECT_EQ(startFolders(), QStringList(3, home.path()));
    // With one, the documents; also when the folder set has gone since.
    ASSERT_TRUE(QDir(home.path()).mkdir(u"Documents"_s));
    EXPECT_EQ(startFolders(), QStringList(3, home.filePath(u"Documents"_s)));
    Settings.WriteText(u"ArmyDir"_s, home.filePath(u"gone"_s));
    EXPECT_EQ(startFolders(), QStringList(3, home.filePath(u"Documents"_s)));
    // A folder set and there is the one.
    Settings.WriteText(u"ArmyDir"_s, Data.path());
    EXPECT_EQ(startFolders(), QStringList(3, Data.path()));
    qputenv("HOME", oldHome);
    qputenv("XDG_CONFIG_HOME", oldConfig);
    if (oldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
}

TEST_F(MainFormTest, TileAndCascadeKeepEveryWindowInsideTheFrame)
{
    TfrmMain &main = Start();
    main.resize(1024, 720);
    Item(u"mnuNavigateInventory"_s).trigger();
    Item(u"mnuNavigateFinder"_s).trigger(); // maximized
    main.CreateArmy();
    main.CreateArmy().ShowStatus(QString(200, u'x')); // a long status must not widen its window
    QApplication::processEvents();
    const QSize frame = main.size();
    const QRect client = main.MdiArea()->viewport()->rect();
    const auto visible = [&] {
        QList<QMdiSubWindow *> windows = main.MdiArea()->subWindowList();
        windows.removeIf([](const QMdiSubWindow *window) { return window->isHidden(); });
        return windows;
    };
    ASSERT_EQ(visible().size(), 5);
    for (const QString &command : {u"mnuWindowTile"_s, u"mnuWindowCascade"_s, u"mnuWindowTile"_s}) {
        Item(command).trigger();
        QApplication::processEvents();
        EXPECT_EQ(main.size(), frame) << command.toStdString();
        EXPECT_EQ(main.MdiArea()->viewport()->rect(), client) << command.toStdString();
        for (const QMdiSubWindow *window : visible()) {
            EXPECT_TRUE(client.contains(window->geometry())) << command.toStdString() << " "
                                                              << window->windowTitle().toStdString();
            EXPECT_FALSE(window->isMaximized());
            // A cascaded window is big enough to use.
            if (command == u"mnuWindowCascade"_s) {
                EXPECT_GE(window->width(), client.width() * 2 / 3) << window->windowTitle().toStdString();
            }
        }
    }
    // Tiled, five windows take two rows: three above, two sharing the row below.
    const QList<QRect> tiles = TileRects(QRect(0, 0, 900, 600), 5);
    EXPECT_EQ(tiles, (QList<QRect>{QRect(0, 0, 300, 300), QRect(300, 0, 300, 300), QRect(600, 0, 300, 300),
                                   QRect(0, 300, 450, 300), QRect(450, 300, 450, 300)}));
    // Cascaded, the steps start again at the top before a window would pass the foot.
    const QList<QRect> cascade = CascadeRects(QRect(0, 0, 900, 600), 12, 30);
    EXPECT_EQ(cascade.front(), QRect(0, 0, 600, 400));
    EXPECT_EQ(cascade[6], QRect(180, 180, 600, 400));
    EXPECT_EQ(cascade[7], QRect(0, 0, 600, 400));
}

TEST_F(MainFormTest, WindowsOpenOverTheFrameAndOnTheScreen)
{
    TfrmMain &main = Start();
    const QRect screen = main.screen()->availableGeometry();
    main.setGeometry(screen.left() + 20, screen.top() + 30, 760, 700);
    // The die viewer is designed wider than that frame: it opens inside it, centred.
    const auto viewerAt = [&] {
        QRect shown;
        QTimer::singleShot(0, &main, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            shown = dialog->frameGeometry();
            dialog->reject();
        });
        main.RaceForm()->ViewDice();
        return shown;
    };
    const QRect first = viewerAt();
    EXPECT_TRUE(screen.contains(first)) << first.x() << "," << first.y() << " " << first.width() << "x" << first.height();
    EXPECT_TRUE(main.frameGeometry().contains(first)) << first.width() << "x" << first.height();
    EXPECT_LE((first.center() - main.frameGeometry().center()).manhattanLength(), 2);

    // A position kept on a screen that is gone comes back onto this one.
    Settings.WriteBinary(u"Die Viewer"_s, WindowRecord::ToBytes(QRect(screen.right() + 3000, 4000, 720, 660)));
    const QRect kept = viewerAt();
    EXPECT_TRUE(screen.contains(kept)) << kept.x() << "," << kept.y();
    EXPECT_GE(kept.width(), 720);
    EXPECT_GE(kept.height(), 660);
    // One that shows enough of itself stays where it was.
    Settings.WriteBinary(u"Die Viewer"_s, WindowRecord::ToBytes(QRect(screen.left() + 5, screen.top() + 6, 720, 660)));
    EXPECT_EQ(viewerAt().topLeft(), QPoint(screen.left() + 5, screen.top() + 6));

    // Larger than its room, a window is made to fit the screen, and a minimum larger
    // than the frame wins over the frame.
    EXPECT_EQ(FirstPlacement(QRect(0, 0, 600, 400), QRect(0, 0, 800, 800), QSize(1318, 700), QSize(300, 200)),
              QRect(0, 0, 600, 400));
    EXPECT_EQ(FirstPlacement(QRect(100, 100, 400, 300), QRect(0, 0, 800, 800), QSize(900, 700), QSize(500, 200)),
              QRect(50, 100, 500, 300));
    EXPECT_EQ(FirstPlacement(QRect(600, 600, 400, 300), QRect(0, 0, 800, 800), QSize(1318, 1700), QSize(900, 900)),
              QRect(0, 0, 800, 800));
}

TEST_F(MainFormTest, TheGroupMenuBeforeAnyArmy)
{
    TfrmMain &main = Start();
    const QStringList captions{u"&Home Army"_s, u"&Campaign Army"_s, u"H&orde Army"_s, u"&Promotion Pool"_s,
                               u"&Summoning Pool"_s};
    for (int tag = 0; tag < 5; ++tag) {
        EXPECT_EQ(Item(u"mnuGroup%1"_s.arg(tag)).text(), captions[tag]);
        EXPECT_TRUE(Item(u"mnuGroup%1"_s.arg(tag)).isEnabled());
    }
    // Ctrl+H with no army at all: a beep, and why.
    QApplication::setActiveWindow(&main);
    main.MdiArea()->setFocus();
    QTest::keyClick(main.MdiArea(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(Prompts.Beeps, 1);
    EXPECT_EQ(main.StatusText(), u"No army selected.");

    // A current army of no other type leaves them as the group allows.
    main.CreateArmy();
    EXPECT_EQ(Item(u"mnuGroup0"_s).text(), u"No &Home Army");
    EXPECT_FALSE(Item(u"mnuGroup0"_s).isEnabled());
    EXPECT_EQ(Item(u"mnuGroup2"_s).text(), u"New Army");
}

TEST_F(MainFormTest, ServicesForOtherWindows)
{
    TfrmMain &main = Start({}, false);
    Prompts.ExpectMessage(u"Disk on fire."_s);
    main.ReportError(TKrException(u"Disk on fire."_s), u"saving game"_s);
    EXPECT_EQ(main.StatusText(), u"Error saving game.");
    EXPECT_EQ(Prompts.Transcript.last(), u"message Warning Tarrowind Assistant: Disk on fire.");
    Prompts.CheckAllUsed();

    // A known name is used without asking unless the caller always asks.
    TFileDialog dialog{u"Save Army"_s, {}, {}, u"Army Files|*.kra"_s, 1, u"kra"_s, false, false};
    QString name = u"/a/known.kra"_s;
    EXPECT_TRUE(main.ChooseSaveFile(name, dialog, false, u"Army.kra"_s));
    EXPECT_TRUE(Prompts.Transcript.size() == 1);

    Settings.WriteText(u"ArmyDir"_s, Data.path());
    name.clear();
    Prompts.ExpectSave(TFileChoice{{u"/armies/mine.kra"_s}, 1});
    EXPECT_TRUE(main.ChooseSaveFile(name, dialog, false, u"Army.kra"_s));
    EXPECT_EQ(name, u"/armies/mine.kra");
    EXPECT_EQ(Prompts.LastFileDialog.Directory, Data.path());
    EXPECT_EQ(Prompts.LastFileDialog.FileName, u"Army.kra");

    Prompts.ExpectSave(std::nullopt);
    EXPECT_FALSE(main.ChooseSaveFile(name, dialog, true, u"Army.kra"_s));
    EXPECT_EQ(Prompts.LastFileDialog.FileName, u"/armies/mine.kra");
    EXPECT_EQ(main.StatusText(), u"Save aborted by user.");
    EXPECT_EQ(name, u"/armies/mine.kra");

    // Moving result columns: both positions must be real.
    int moves = 0;
    QObject::connect(&main, &TfrmMain::ResultColumnsMoved, &main, [&] { ++moves; });
    int clears = 0;
    QObject::connect(&main, &TfrmMain::ArmyAnalysisInvalid, &main, [&] { ++clears; });
    main.MoveResultColumn(0, 5);
    main.MoveResultColumn(16, 2);
    main.MoveResultColumn(4, 4);
    main.MoveResultColumn(1, 3);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(clears, 1);
    EXPECT_EQ(main.ResultMap().Position(ResultType::BlackMagic), 3);
    EXPECT_EQ(main.ResultMap().Position(ResultType::BlueMagic), 1);
}

TEST_F(MainFormTest, UserInformationIsKeptAtTheEnd)
{
    TfrmMain &main = Start({}, false);
    // The dialog is modal: fill it in and press OK once it is up.
    QTimer::singleShot(0, &main, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPlainTextEdit *>(u"txtUserStuff"_s)->setPlainText(u"A. Player\n1 High Street"_s);
        dialog->findChild<QLineEdit *>(u"txtEMAIL"_s)->setText(u"player@example.org"_s);
        dialog->accept();
    });
    Item(u"mnuOptionsUserInfo"_s).trigger();
    EXPECT_EQ(main.UserInfo().Email, u"player@example.org");
    EXPECT_TRUE(Settings.Text(u"EMAIL"_s).isEmpty()); // not written until the program closes
    Main.reset();
    EXPECT_EQ(Settings.Text(u"EMAIL"_s), u"player@example.org");
    EXPECT_EQ(Settings.Text(u"UserStuff"_s), u"A. Player\n1 High Street");

    TfrmMain &again = Start({}, false);
    QTimer::singleShot(0, &again, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->findChild<QLineEdit *>(u"txtEMAIL"_s)->text(), u"player@example.org");
        dialog->findChild<QLineEdit *>(u"txtEMAIL"_s)->setText(u"changed@example.org"_s);
        dialog->reject();
    });
    again.EditUserInfo();
    EXPECT_EQ(again.UserInfo().Email, u"player@example.org");
}

TEST_F(MainFormTest, HelpShipsWithTheProgram)
{
    TfrmMain &main = Start({}, false);
    Item(u"mnuHelpContents"_s).trigger();
    auto *help = main.findChild<QDialog *>(u"frmHelp"_s);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), u"Tarrowind Assistant Help");
    EXPECT_EQ(static_cast<TfrmHelp *>(help)->DocumentTitle(), u"Tarrowind Assistant Help");
}
