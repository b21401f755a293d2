#include "MainFixture.h"
#include "army/ArmyDescription.h"
#include "army/ArmyFile.h"
#include "army/ArmyForm.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "editors/RaceData.h"
#include "inventory/InventoryForm.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Reedfolk (Gull health 1, Heron health 3) and the summoned Drakes (Wyrmling health 2).
class ArmyFormTest : public TMainFixture
{
protected:
    ArmyFormTest()
    {
        TCatalogue catalogue;
        auto reed = catalogue.CreateRace();
        reed->Name = u"Reedfolk"_s;
        for (const auto &[name, health] : {std::pair{u"Gull"_s, 1}, std::pair{u"Heron"_s, 3}}) {
            auto die = std::make_unique<TDie>(*reed, name);
            die->SetHealth(health);
            reed->AddDie(std::move(die));
        }
        catalogue.InsertRace(std::move(reed));
        auto drakes = catalogue.CreateRace();
        drakes->Name = u"Drakes"_s;
        drakes->Type = RaceType::Dragonkin;
        auto wyrmling = std::make_unique<TDie>(*drakes, u"Wyrmling"_s);
        wyrmling->SetHealth(2);
        drakes->AddDie(std::move(wyrmling));
        catalogue.InsertRace(std::move(drakes));
        WriteCatalogue(catalogue);
        Settings.WriteText(u"ArmyDir"_s, Data.path());
        Start();
    }

    TDie &Die(int race, int position) { return *Main->Catalogue().FindRaceByID(race)->Die(position); }

    TfrmArmy &NewArmy(const QString &name)
    {
        TfrmArmy &army = Main->CreateArmy();
        army.Army().SetName(name);
        army.RefreshAll();
        return army;
    }

    QStringList Column(const TfrmArmy &army, int column)
    {
        QStringList texts;
        for (int row = 1; row <= army.DiceGrid().Rows(); ++row)
            texts << army.DiceGrid().Column(column)->Cell(row)->Text();
        return texts;
    }
};

} // namespace

TEST_F(ArmyFormTest, PuttingDiceIntoTheCurrentArmy)
{
    TfrmArmy &army = Main->CreateArmy();
    EXPECT_EQ(army.windowTitle(), u"New Army");
    EXPECT_EQ(Main->CurrentArmy(), &army);
    EXPECT_EQ(Main->StatusText(), u"New Army selected.");
    EXPECT_EQ(Item(u"mnuGroup2"_s).text(), u"New Army");
    EXPECT_TRUE(Item(u"mnuGroup2"_s).isEnabled());
    EXPECT_FALSE(Item(u"mnuGroup0"_s).isEnabled());

    // From the race form: the selected die, with the race form's report.
    TfrmRace &races = *Main->RaceForm();
    races.ShowRace(Main->Catalogue().FindRaceByID(0));
    races.Grid().SelectCell(1, 2);
    QMenu &popup = races.GridPopup();
    EXPECT_TRUE(popup.actions().at(3)->isVisible());
    EXPECT_EQ(popup.actions().at(3)->text(), u"&Put Heron in New Army");
    races.AddToArmy();
    EXPECT_EQ(races.StatusText(), u"Heron added to New Army.  Total health now 3/0.");
    army.AddDie(Die(1, 1));
    army.AddDie(Die(0, 2));
    EXPECT_EQ(army.findChild<QLineEdit *>(u"txtHealth"_s)->text(), u"6/2");
    EXPECT_EQ(Column(army, 1), (QStringList{u"Heron"_s, u"Wyrmling"_s, u"Heron"_s, QString()}));
    EXPECT_EQ(Column(army, 5).front(), u"16.67");
    EXPECT_EQ(Die(0, 2).UsedCount, 2u);
    EXPECT_TRUE(army.Army().Modified);

    // An edit in the catalogue shows at once.
    Die(0, 2).SetHealth(4);
    Main->MarkRacesChanged();
    EXPECT_EQ(army.findChild<QLineEdit *>(u"txtHealth"_s)->text(), u"8/2");
    EXPECT_EQ(Column(army, 4).front(), u"4");
    Die(0, 2).SetHealth(3);
    Main->MarkRacesChanged();

    // From the inventory: the Edit item names the die and the army.
    TfrmInventory &inventory = *Main->InventoryForm();
    Main->ShowInventory();
    inventory.SelectNewNode(Die(0, 1).TreeNode);
    EXPECT_EQ(inventory.findChild<QAction *>(u"mnuInvAddToArmy"_s)->text(), u"&Add Gull to New Army");
    inventory.AddToArmy();
    EXPECT_EQ(inventory.StatusText(), u"Gull added to New Army.  Total health now 7/2.");
    // The item follows the current army while the die stays selected.
    Main->SetCurrentArmy(nullptr);
    EXPECT_EQ(inventory.findChild<QAction *>(u"mnuInvAddToArmy"_s)->text(), u"&Add to Army");
    EXPECT_FALSE(inventory.findChild<QAction *>(u"mnuInvAddToArmy"_s)->isEnabled());
    Main->SetCurrentArmy(&army);
    EXPECT_EQ(inventory.findChild<QAction *>(u"mnuInvAddToArmy"_s)->text(), u"&Add Gull to New Army");
    // Renaming the current army renames it there too.
    emit army.findChild<QLineEdit *>(u"txtName"_s)->textEdited(u"Vanguard"_s);
    EXPECT_EQ(inventory.findChild<QAction *>(u"mnuInvAddToArmy"_s)->text(), u"&Add Gull to Vanguard");
    emit army.findChild<QLineEdit *>(u"txtName"_s)->textEdited(u"New Army"_s);

    // Duplicating and deleting work on the selected row; deleting gives the use back.
    army.DiceGrid().SelectCell(1, 1);
    army.DuplicateDie();
    army.DiceGrid().SelectCell(1, 3);
    army.DeleteDie();
    EXPECT_EQ(Column(army, 1), (QStringList{u"Heron"_s, u"Wyrmling"_s, u"Gull"_s, u"Heron"_s, QString()}));
    EXPECT_EQ(Die(0, 2).UsedCount, 2u);
    army.DiceGrid().SelectCell(1, 1);
    EXPECT_EQ(army.DicePopup().actions().at(3)->text(), u"View Reedfolk");
}

TEST_F(ArmyFormTest, NavigationAndTheGroupMenu)
{
    TfrmArmy &a = NewArmy(u"A"_s);
    TfrmArmy &b = NewArmy(u"B"_s);
    TfrmArmy &c = NewArmy(u"C"_s);
    Main->SetCurrentArmy(&b);
    Main->GotoNextArmy();
    EXPECT_EQ(Main->CurrentArmy(), &c);
    Main->GotoNextArmy();
    EXPECT_EQ(Main->CurrentArmy(), &a);
    Main->GotoPrevArmy();
    EXPECT_EQ(Main->CurrentArmy(), &c);

    // Two armies of one group, a home army and a horde: exactly those two items.
    a.SetGroupName(u"Vale"_s);
    c.Army().SetArmyType(ArmyType::HomeArmy);
    c.SetGroupName(u"Vale"_s);
    EXPECT_EQ(Main->CurrentArmy(), &c);
    EXPECT_EQ(Item(u"mnuGroup0"_s).text(), u"C");
    EXPECT_EQ(Item(u"mnuGroup2"_s).text(), u"A");
    EXPECT_FALSE(Item(u"mnuGroup1"_s).isEnabled());
    EXPECT_EQ(Item(u"mnuGroup3"_s).text(), u"No &Promotion Pool");
    Main->GotoGroupArmy(2);
    EXPECT_EQ(Main->CurrentArmy(), &a);
    Main->GotoGroupArmy(4);
    EXPECT_EQ(Main->StatusText(), u"Army not found.");
    EXPECT_EQ(Prompts.Beeps, 1);

    // A group name differing only in case is another group.
    b.SetGroupName(u"vale"_s);
    EXPECT_EQ(Item(u"mnuGroup2"_s).text(), u"B");
    EXPECT_FALSE(Item(u"mnuGroup0"_s).isEnabled());
}

TEST_F(ArmyFormTest, SavingOpeningAndClosing)
{
    TfrmArmy &army = Main->CreateArmy();
    // An army without changes closes without a word.
    EXPECT_TRUE(army.CloseArmy());
    EXPECT_TRUE(Main->ArmyForms().empty());
    EXPECT_EQ(Main->CurrentArmy(), nullptr);

    TfrmArmy &fresh = Main->CreateArmy();
    fresh.AddDie(Die(0, 1));
    const QString path = Data.filePath(u"Scouts.kra"_s);
    Prompts.ExpectSave(TFileChoice{{path}, 1});
    EXPECT_TRUE(fresh.SaveArmy(false));
    EXPECT_EQ(Prompts.LastFileDialog.FileName, u"New Army.KRA");
    EXPECT_EQ(Prompts.LastFileDialog.Directory, Data.path());
    EXPECT_EQ(fresh.StatusText(), u"Army saved to "_s + path + u'.');
    EXPECT_FALSE(fresh.Army().Modified);
    EXPECT_EQ(FileBytes(path).size(), 42); // the 38 bytes of a new army and one die (02 00 02 00)

    // Changed with a file: Cancel keeps it, No discards; Yes would save.
    fresh.AddDie(Die(0, 2));
    Prompts.ExpectAsk(u"Save changes to New Army?"_s, TAnswer::Cancel);
    EXPECT_FALSE(fresh.CloseArmy());
    Prompts.ExpectAsk(u"Save changes to New Army?"_s, TAnswer::No);
    EXPECT_TRUE(fresh.CloseArmy());
    EXPECT_EQ(Die(0, 1).UsedCount, 0u);
    EXPECT_EQ(Die(0, 2).UsedCount, 0u);

    // Opening the file brings the army and its uses back.
    Main->OpenDocument(path);
    ASSERT_EQ(Main->ArmyForms().size(), 1u);
    TfrmArmy &opened = *Main->ArmyForms().front();
    EXPECT_EQ(opened.Army().FileName, path);
    EXPECT_EQ(Die(0, 1).UsedCount, 1u);
    EXPECT_EQ(Main->StatusText(), path + u" loaded."_s);

    // A new army never saved: the save dialog, and when it is cancelled a last question.
    TfrmArmy &unsaved = Main->CreateArmy();
    unsaved.AddDie(Die(0, 1));
    Prompts.ExpectSave(std::nullopt);
    Prompts.ExpectAsk(u"Close without saving New Army?"_s, TAnswer::No);
    EXPECT_FALSE(unsaved.CloseArmy());
    Prompts.ExpectSave(std::nullopt);
    Prompts.ExpectAsk(u"Close without saving New Army?"_s, TAnswer::Yes);
    EXPECT_TRUE(Main->RequestClose());
    EXPECT_TRUE(Main->ArmyForms().empty());
}

TEST_F(ArmyFormTest, GroupsSaveAndOpenTogether)
{
    TfrmArmy &home = NewArmy(u"Keep"_s);
    home.Army().SetArmyType(ArmyType::HomeArmy);
    home.AddDie(Die(0, 1));
    home.SetGroupName(u"Vale"_s);
    TfrmArmy &horde = NewArmy(u"Raiders"_s);
    horde.AddDie(Die(0, 2));
    horde.SetGroupName(u"Vale"_s);
    NewArmy(u"Stranger"_s);

    // The battle size reaches every army of the group.
    horde.SetBattleSize(60);
    EXPECT_EQ(horde.StatusText(), u"Battle size set to 60.  1 armies updated in group.");
    EXPECT_EQ(home.Army().BattleSize(), 60u);

    // A cancelled group save leaves no file name behind for the next plain save.
    Prompts.ExpectSave(std::nullopt);
    EXPECT_FALSE(horde.SaveGroup());
    EXPECT_TRUE(horde.Army().GroupFileName.isEmpty());

    const QString path = Data.filePath(u"Vale.KRG"_s);
    Prompts.ExpectSave(TFileChoice{{path}, 1});
    EXPECT_TRUE(horde.SaveGroup());
    EXPECT_EQ(Prompts.LastFileDialog.FileName, u"Vale.KRG");
    EXPECT_EQ(horde.StatusText(), u"Army group saved to "_s + path + u'.');
    EXPECT_FALSE(home.Army().Modified);
    EXPECT_EQ(home.Army().GroupFileName, path);

    // Closing the group closes both, and the stranger stays.
    horde.CloseGroup();
    ASSERT_EQ(Main->ArmyForms().size(), 1u);
    EXPECT_EQ(Main->ArmyForms().front()->Army().Name(), u"Stranger");

    // The die of the home army has left the catalogue since: that army says so.
    Main->Catalogue().FindRaceByID(0)->RemoveDie(&Die(0, 1));
    Main->OpenDocument(path);
    ASSERT_EQ(Main->ArmyForms().size(), 3u);
    EXPECT_EQ(Main->ArmyForms()[1]->Army().Name(), u"Keep");
    EXPECT_EQ(Main->ArmyForms()[1]->StatusText(), u"1 dice lost.");
    EXPECT_EQ(Main->ArmyForms()[2]->StatusText(), u" ");
    EXPECT_EQ(Main->ArmyForms()[2]->Army().BattleSize(), 60u);
    EXPECT_EQ(Main->CurrentArmy(), Main->ArmyForms()[2]);
}

TEST_F(ArmyFormTest, AnalysisAndItsClearing)
{
    TfrmArmy &army = Main->CreateArmy();
    army.AddDie(Die(0, 1));
    army.AddDie(Die(1, 1)); // summoned: left out unless included
    QStringList statuses;
    const auto recording =
        QObject::connect(&army, &TfrmArmy::StatusChanged, [&statuses](const QString &text) { statuses << text; });
    army.AnalyzeArmy();
    QObject::disconnect(recording);
    ASSERT_EQ(statuses.size(), 1 + 1 + 120 + 2) << "the summoned die is not processed";
    EXPECT_EQ(statuses.front(), u"Initializing for analysis...");
    EXPECT_EQ(statuses.mid(122), (QStringList{u"Formatting results..."_s, u"Analysis complete."_s}));
    EXPECT_TRUE(army.Army().Analyzed);
    const int move = 2 + int(ResultType::Move);
    EXPECT_EQ(army.ResultsGrid().Column(move)->Title(), u"Move");
    EXPECT_EQ(army.ResultsGrid().Column(move)->Cell(1)->Text(), u"1.00/0.00");
    EXPECT_EQ(army.ChancesGrid().Column(2)->Cell(1)->Text(), u" 16.67");

    army.ToggleSummoned();
    EXPECT_EQ(army.StatusText(), u"Summoned creatures will be included in the next analysis.");
    EXPECT_FALSE(army.Army().Analyzed);
    EXPECT_EQ(army.ResultsGrid().Column(move)->Cell(1)->Text(), QString());
    army.AnalyzeArmy();
    EXPECT_EQ(army.ResultsGrid().Column(move)->Cell(1)->Text(), u"2.00/0.00");

    // Figures of an earlier dice list never stay on screen.
    army.AddDie(Die(0, 1));
    EXPECT_EQ(army.ResultsGrid().Column(move)->Cell(1)->Text(), QString());
    EXPECT_EQ(army.ChancesGrid().Column(2)->Cell(1)->Text(), QString());
    army.AnalyzeArmy();
    army.RemoveDie(Die(0, 1));
    EXPECT_EQ(army.ResultsGrid().Column(move)->Title(), QString());
    army.AnalyzeArmy();

    // The minimum option clears every army's figures.
    Item(u"mnuOptionsShowMin"_s).trigger();
    EXPECT_FALSE(army.Army().Analyzed);
    EXPECT_EQ(army.ResultsGrid().Column(move)->Title(), QString());

    // Moving a result column moves it everywhere.
    army.ResultsGrid().Column(move)->SetPosition(1);
    emit army.ResultsGrid().ColumnMoved(8, 1);
    EXPECT_EQ(Main->ResultMap().Position(ResultType::Move), 1);
}

TEST_F(ArmyFormTest, DescriptionSortAndBreakdown)
{
    TfrmArmy &army = NewArmy(u"Keep"_s);
    army.AddDie(Die(0, 2));
    army.AddDie(Die(1, 1));
    army.AddDie(Die(0, 1));
    army.SortArmy(4); // health and profession
    EXPECT_EQ(army.StatusText(), u"Army sorted by Health and Profession.");
    EXPECT_EQ(Column(army, 1), (QStringList{u"Gull"_s, u"Heron"_s, u"Wyrmling"_s, QString()}));

    TfrmArmyDescription &dialog = Main->ArmyDescription();
    dialog.Load(army);
    EXPECT_EQ(dialog.windowTitle(), u"Keep Description");
    EXPECT_FALSE(dialog.findChild<QWidget *>(u"pnlTerrain"_s)->isVisibleTo(&dialog));
    army.Army().Modified = false;
    dialog.SaveArmyData(); // nothing changed: nothing written
    EXPECT_FALSE(army.Army().Modified);
    dialog.findChild<QPlainTextEdit *>(u"txtNotes"_s)->setPlainText(u"Holds the ford."_s);
    dialog.findChild<QComboBox *>(u"cmbMinorTerrain2"_s)->setCurrentIndex(10);
    emit dialog.findChild<QComboBox *>(u"cmbMinorTerrain2"_s)->activated(10);
    dialog.SaveArmyData();
    EXPECT_EQ(army.Army().Notes(), u"Holds the ford.");
    EXPECT_EQ(army.Army().GetMinorTerrain(2), 10);
    EXPECT_EQ(Main->Catalogue().MinorTerrain(10)->UsedCount, 1u);
    EXPECT_TRUE(army.Army().Modified);
}

TEST_F(ArmyFormTest, TheDescriptionDialogKeepsItsEditsHoweverItCloses)
{
    TfrmArmy &army = NewArmy(u"Keep"_s);
    auto *notes = army.findChild<QPushButton *>(u"btnNotes"_s);
    // Opens the dialog with a click, types into it as a user does, and closes it.
    const auto edit = [&](const QString &typed, const QString &size, const std::function<void(QDialog &)> &close) {
        QTimer::singleShot(0, &army, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto *memo = dialog->findChild<QPlainTextEdit *>(u"txtNotes"_s);
            memo->setFocus();
            QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(memo, typed);
            dialog->findChild<QComboBox *>(u"cmbSize"_s)->setCurrentText(size);
            close(*dialog);
        });
        QTest::mouseClick(notes, Qt::LeftButton);
    };
    edit(u"Hold the ford."_s, u"60"_s, [](QDialog &dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(army.Army().Notes(), u"Hold the ford.");
    EXPECT_EQ(army.Army().BattleSize(), 60u);
    EXPECT_TRUE(army.Army().Modified);

    // The title bar's close button; a battle size that is no whole number stays unwritten.
    edit(u" Then retreat."_s, u"6o"_s, [](QDialog &dialog) { dialog.close(); });
    EXPECT_EQ(army.Army().Notes(), u"Hold the ford. Then retreat.");
    EXPECT_EQ(army.Army().BattleSize(), 60u);
}

TEST_F(ArmyFormTest, StatusesOutliveTheDialogsOfTheirCommands)
{
    TfrmArmy &army = NewArmy(u"Keep"_s);
    Main->show();
    QApplication::setActiveWindow(Main.get());
    auto *frame = qobject_cast<QMdiSubWindow *>(army.parentWidget());
    Main->MdiArea()->setActiveSubWindow(frame);
    QApplication::processEvents();
    ASSERT_EQ(Main->CurrentArmy(), &army);

    QTimer::singleShot(0, &army, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QComboBox *>(u"cmbSize"_s)->setCurrentText(u"40"_s);
        dialog->findChild<QPushButton *>(u"btnClose"_s)->click();
    });
    QTest::mouseClick(army.findChild<QPushButton *>(u"btnNotes"_s), Qt::LeftButton);
    Main->ShowStatus(u"Marker."_s);
    // On a desktop the frame gets the activation back from the closed dialog, and the
    // MDI area activates the army window once more (offscreen it does not).
    emit Main->MdiArea()->subWindowActivated(frame);
    QApplication::processEvents();
    EXPECT_EQ(army.StatusText(), u"Battle size set to 40.  0 armies updated in group.");
    EXPECT_EQ(Main->StatusText(), u"Marker.");
    EXPECT_EQ(Main->CurrentArmy(), &army);

    // Another army made current by its activation says so, as before.
    TfrmArmy &other = NewArmy(u"Other"_s);
    Main->MdiArea()->setActiveSubWindow(frame);
    QApplication::processEvents();
    EXPECT_EQ(Main->CurrentArmy(), &army);
    EXPECT_EQ(Main->StatusText(), u"Keep selected.");
    EXPECT_EQ(army.StatusText(), u" ");
    (void)other;
}

TEST_F(ArmyFormTest, CommandsWithoutASelectedDieBeep)
{
    TfrmArmy &army = NewArmy(u"Keep"_s);
    army.AddDie(Die(0, 1));
    army.Army().Modified = false;
    QApplication::setActiveWindow(Main.get());
    army.DiceGrid().setFocus();
    army.DiceGrid().SelectCell(1, 2); // the empty row after the last die
    ASSERT_EQ(army.SelectedDie(), nullptr);
    int beeps = Prompts.Beeps;
    // Ctrl+Ins, Ctrl+Del and Ctrl+F2 as the user presses them; no die viewer comes up.
    for (const auto key : {Qt::Key_Insert, Qt::Key_Delete, Qt::Key_F2}) {
        QTest::keyClick(&army.DiceGrid(), key, Qt::ControlModifier);
        EXPECT_EQ(Prompts.Beeps, ++beeps) << key;
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
    EXPECT_EQ(army.Army().Dice().size(), 1u);
    EXPECT_FALSE(army.Army().Modified);

    // With a die the same keys act.
    army.DiceGrid().SelectCell(1, 1);
    QTest::keyClick(&army.DiceGrid(), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(army.Army().Dice().size(), 2u);
    EXPECT_EQ(Prompts.Beeps, beeps);
}

TEST_F(ArmyFormTest, CaptionsShowAmpersandsOfNamesAndFollowRenames)
{
    Die(0, 1).Name = u"Salt & Pepper"_s;
    TfrmArmy &army = NewArmy(u"Coast & Bay"_s);
    army.AddDie(Die(0, 1));
    army.DiceGrid().SelectCell(1, 1);
    const QList<QAction *> popup = army.DicePopup().actions();
    EXPECT_EQ(popup.at(0)->text(), u"Delete Salt && Pepper");
    EXPECT_EQ(popup.at(2)->text(), u"View Salt && Pepper");
    EXPECT_EQ(Item(u"mnuGroup2"_s).text(), u"Coast && Bay");

    // Typed into the name box, the new name reaches the group menu and the window list.
    auto *name = army.findChild<QLineEdit *>(u"txtName"_s);
    name->selectAll();
    QTest::keyClicks(name, u"Coast Raiders"_s);
    EXPECT_EQ(army.windowTitle(), u"Coast Raiders");
    EXPECT_EQ(Item(u"mnuGroup2"_s).text(), u"Coast Raiders");
    auto *windows = qobject_cast<QMenu *>(Item(u"mnuWindowTile"_s).associatedObjects().value(0));
    ASSERT_NE(windows, nullptr);
    emit windows->aboutToShow();
    QStringList listed;
    for (const QAction *item : windows->actions()) {
        if (item->isCheckable())
            listed << item->text();
    }
    EXPECT_EQ(listed.filter(u" Coast Raiders"_s).size(), 1) << listed.join(u", "_s).toStdString();

    // Another army of the group renamed while this one is current: its item follows too.
    TfrmArmy &home = NewArmy(u"Hold"_s);
    home.Army().SetArmyType(ArmyType::HomeArmy);
    home.RefreshAll();
    Main->SetCurrentArmy(&army);
    EXPECT_EQ(Item(u"mnuGroup0"_s).text(), u"Hold");
    home.findChild<QLineEdit *>(u"txtName"_s)->selectAll();
    QTest::keyClicks(home.findChild<QLineEdit *>(u"txtName"_s), u"Keep"_s);
    EXPECT_EQ(Item(u"mnuGroup0"_s).text(), u"Keep");
}

TEST_F(ArmyFormTest, SaveDialogsOfferTheKindOfFileTheyWrite)
{
    TfrmArmy &army = NewArmy(u"Coast Raiders"_s);
    Prompts.ExpectSave(std::nullopt);
    army.SaveArmyRename();
    EXPECT_EQ(Prompts.LastFileDialog.Filter, u"KRA Army File|*.kra|KRA Army Group File|*.krg|All Files|*.*");
    EXPECT_EQ(Prompts.LastFileDialog.DefaultExtension, u"kra");
    EXPECT_EQ(Prompts.LastFileDialog.FileName, u"Coast Raiders.KRA");

    army.SetGroupName(u"Vale"_s);
    Prompts.ExpectSave(std::nullopt);
    army.SaveGroup();
    EXPECT_EQ(Prompts.LastFileDialog.Filter, u"KRA Army Group File|*.krg|All Files|*.*");
    EXPECT_EQ(Prompts.LastFileDialog.DefaultExtension, u"krg");
    EXPECT_EQ(Prompts.LastFileDialog.FileName, u"Vale.KRG");
    EXPECT_EQ(Main->StatusText(), u"Save aborted by user.");
}

TEST_F(ArmyFormTest, AMaximizedArmyShowsItsMenusInTheFramesRow)
{
    TfrmArmy &army = NewArmy(u"Keep"_s);
    army.AddDie(Die(0, 1));
    auto *frame = qobject_cast<QMdiSubWindow *>(army.parentWidget());
    const auto titles = [this] {
        QStringList texts;
        for (const QAction *item : Main->menuBar()->actions())
            texts << item->text();
        return texts;
    };
    const QStringList own = titles();
    ASSERT_EQ(own, (QStringList{u"&File"_s, u"&Edit"_s, u"&Options"_s, u"&Windows"_s, u"&Help"_s}));

    frame->showMaximized();
    Main->MdiArea()->setActiveSubWindow(frame);
    QApplication::processEvents();
    // One row: the army's menus merged into the frame's, the army's own row hidden.
    EXPECT_FALSE(army.menuBar()->isVisible());
    EXPECT_EQ(titles(), (QStringList{u"&File"_s, u"&Edit"_s, u"&Sort"_s, u"&Options"_s, u"&Windows"_s, u"&Help"_s}));
    QStringList file;
    for (const QAction *item : Main->menuBar()->actions().at(0)->menu()->actions())
        file << item->text();
    EXPECT_EQ(file.first(), u"&New Army"_s);
    EXPECT_TRUE(file.contains(u"&Save"_s));
    EXPECT_TRUE(file.contains(u"Save &Races"_s)); // the frame's own, after the army's
    EXPECT_EQ(file.count(u"E&xit"_s), 1);
    EXPECT_EQ(file.filter(u"Open"_s).size(), 1);

    // The army's keys and the frame's still work.
    QApplication::setActiveWindow(Main.get());
    army.DiceGrid().setFocus();
    army.DiceGrid().SelectCell(1, 1);
    QTest::keyClick(&army.DiceGrid(), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(army.Army().Dice().size(), 2u);

    // Restored, each window has its own row again.
    frame->showNormal();
    QApplication::processEvents();
    EXPECT_EQ(titles(), own);
    EXPECT_TRUE(army.menuBar()->isVisibleTo(&army));
    army.DiceGrid().setFocus();
    army.DiceGrid().SelectCell(1, 1);
    QTest::keyClick(&army.DiceGrid(), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(army.Army().Dice().size(), 3u);

    // Maximized again, a key of the frame's (Ctrl+R, the races) reaches it, and the
    // race form taking the activation gives the frame its own row back.
    frame->showMaximized();
    Main->MdiArea()->setActiveSubWindow(frame);
    army.DiceGrid().setFocus();
    QApplication::processEvents();
    ASSERT_EQ(titles().size(), 6);
    QTest::keyClick(&army.DiceGrid(), Qt::Key_R, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(Main->MdiArea()->activeSubWindow()->widget(), Main->RaceForm());
    EXPECT_EQ(titles(), own);
}
