#include "MainFixture.h"
#include "army/ArmyForm.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "editors/RaceData.h"
#include "game/GameForm.h"
#include "game/GameSetup.h"
#include "inventory/InventoryForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class RaceFormTest : public TMainFixture
{
protected:
    RaceFormTest()
    {
        // Reedfolk with four dice whose health and names make sorting visible, and an
        // empty race.
        TCatalogue catalogue;
        auto reedfolk = catalogue.CreateRace();
        reedfolk->Name = u"Reedfolk"_s;
        const std::array<std::pair<QString, int>, 4> dice{
            {{u"Wader"_s, 3}, {u"Gull"_s, 1}, {u"Heron"_s, 3}, {u"Eel"_s, 2}}};
        for (const auto &[name, health] : dice) {
            auto die = std::make_unique<TDie>(*reedfolk, name);
            die->SetHealth(health);
            reedfolk->AddDie(std::move(die));
        }
        catalogue.InsertRace(std::move(reedfolk));
        auto stonekin = catalogue.CreateRace();
        stonekin->Name = u"Stonekin"_s;
        stonekin->AddDie(std::make_unique<TDie>(*stonekin, u"Pebble"_s));
        catalogue.InsertRace(std::move(stonekin));
        WriteCatalogue(catalogue);
    }

    TfrmRace &Form()
    {
        if (!Main)
            Start();
        return *Main->RaceForm();
    }

    QStringList Column(int logical)
    {
        QStringList texts;
        const TFancyGrid &grid = Form().Grid();
        for (int row = 1; row <= grid.Rows(); ++row)
            texts << grid.Column(logical)->Cell(row)->Text();
        return texts;
    }

    QComboBox &Names() { return *Form().findChild<QComboBox *>(u"cmbName"_s); }
    QAction &FormItem(const QString &name) { return *Form().findChild<QAction *>(name); }
};

} // namespace

TEST_F(RaceFormTest, StartsOnTheFirstRace)
{
    TfrmRace &form = Form();
    ASSERT_NE(form.Race(), nullptr);
    EXPECT_EQ(form.Race()->Name, u"Reedfolk");
    EXPECT_EQ(form.windowTitle(), u"Race Form");
    EXPECT_EQ(form.StatusText(), u"Reedfolk selected.");
    EXPECT_EQ(form.LandPanelText(), u"(none)");
    EXPECT_EQ(Names().count(), 2);
    EXPECT_EQ(Names().currentText(), u"Reedfolk");
    // Four dice and one empty row; name, profession, health, then the results.
    EXPECT_EQ(Column(1), (QStringList{u"Wader"_s, u"Gull"_s, u"Heron"_s, u"Eel"_s, QString()}));
    EXPECT_EQ(Column(3), (QStringList{u" 3"_s, u" 1"_s, u" 3"_s, u" 2"_s, QString()}));
    EXPECT_EQ(Column(2).first(), u"Cavalry");
    EXPECT_EQ(Form().Grid().Column(4 + int(ResultType::Move))->Cell(1)->Text(), u"1.00/0.00");
    EXPECT_EQ(Form().Grid().Column(4 + int(ResultType::Move))->Title(), u"Move");
    EXPECT_TRUE(Item(u"mnuNavigateRaces"_s).isEnabled());
    EXPECT_TRUE(Item(u"mnuEditNewRace"_s).isEnabled());
}

TEST_F(RaceFormTest, PendingRegenerationIsAskedAbout)
{
    TfrmRace &form = Form();
    form.findChild<QCheckBox *>(u"chkArmored"_s)->setChecked(true);
    EXPECT_TRUE(form.RegenerationPending());
    EXPECT_EQ(form.RegenPanelText(), u"REGEN");
    EXPECT_TRUE(Item(u"mnuFileSaveRaces"_s).isEnabled());
    EXPECT_FALSE(form.Race()->Armored); // written only by regenerating

    // Cancel keeps the race, and the name list goes back to it.
    Prompts.ExpectAsk(u"Save changes to Reedfolk?"_s, TAnswer::Cancel);
    form.ChangeRace(Names().findText(u"Stonekin"_s));
    EXPECT_EQ(form.Race()->Name, u"Reedfolk");
    EXPECT_EQ(Names().currentText(), u"Reedfolk");

    // Yes regenerates first: the armour shows in the saves.
    TRace *reedfolk = form.Race();
    Prompts.ExpectAsk(u"Save changes to Reedfolk?"_s, TAnswer::Yes);
    QStringList statuses;
    QObject::connect(&form, &TfrmRace::StatusChanged, &form, [&](const QString &text) { statuses << text; });
    form.ChangeRace(Names().findText(u"Stonekin"_s));
    EXPECT_TRUE(reedfolk->Armored);
    EXPECT_EQ(reedfolk->ReserveAbilities.ToBits(), 768 + 31);
    EXPECT_EQ(statuses, (QStringList{u"Regenerating Wader..."_s, u"Regenerating Gull..."_s, u"Regenerating Heron..."_s,
                                     u"Regenerating Eel..."_s, u"4 dice regenerated."_s, u"Stonekin selected."_s}));
    EXPECT_EQ(form.Race()->Name, u"Stonekin");
    EXPECT_FALSE(form.RegenerationPending());
}

TEST_F(RaceFormTest, EveryWayToAnotherRaceAsksAboutPendingEdits)
{
    TfrmRace &form = Form();
    TRace *reedfolk = form.Race();
    TRace *stonekin = Main->Catalogue().Races().back().get();
    auto *type = form.findChild<QComboBox *>(u"cmbRaceType"_s);
    type->setCurrentIndex(int(RaceType::Eldarim));
    ASSERT_EQ(form.RegenPanelText(), u"REGEN");
    TfrmArmy &army = Main->CreateArmy();
    army.AddDie(*stonekin->Die(1));
    army.DiceGrid().SelectCell(1, 1);
    Main->ShowInventory();
    TfrmInventory &inventory = *Main->InventoryForm();
    inventory.SelectNewNode(stonekin->TreeNode);

    // Each path: Cancel keeps the race and its edits, which still wait for regeneration.
    const std::vector<std::pair<const char *, std::function<void()>>> paths{
        {"Create New Race in the race form", [&] { FormItem(u"mnuRaceCreate"_s).trigger(); }},
        {"Create New Race in the main menu", [&] { Item(u"mnuEditNewRace"_s).trigger(); }},
        {"View Race of the army window", [&] { army.DicePopup().actions().at(3)->trigger(); }},
        {"View of the inventory", [&] { inventory.findChild<QAction *>(u"mnuInvView"_s)->trigger(); }},
        {"typing a name into Race Name", [&] { QTest::keyClicks(&Names(), u"S"_s); }},
    };
    for (const auto &[path, run] : paths) {
        Prompts.ExpectAsk(u"Save changes to Reedfolk?"_s, TAnswer::Cancel);
        run();
        Prompts.CheckAllUsed();
        EXPECT_EQ(form.Race(), reedfolk) << path;
        EXPECT_EQ(Names().currentText(), u"Reedfolk") << path;
        EXPECT_TRUE(form.RegenerationPending()) << path;
        EXPECT_EQ(form.RegenPanelText(), u"REGEN") << path;
        EXPECT_EQ(type->currentIndex(), int(RaceType::Eldarim)) << path;
    }
    EXPECT_EQ(Main->Catalogue().RaceCount(), 2);

    // Viewing the race already shown keeps its edits without a question.
    army.AddDie(*reedfolk->Die(1));
    army.DiceGrid().SelectCell(1, 2);
    army.ViewRace();
    EXPECT_TRUE(form.RegenerationPending());

    // No lets the edits go; Yes writes them into the race before it goes. (Letters typed
    // in quick succession search as one word.)
    QTest::qWait(QApplication::keyboardInputInterval() + 50);
    Prompts.ExpectAsk(u"Save changes to Reedfolk?"_s, TAnswer::No);
    QTest::keyClicks(&Names(), u"S"_s);
    EXPECT_EQ(form.Race(), stonekin);
    EXPECT_EQ(reedfolk->Type, RaceType::NormalUnits);
    EXPECT_EQ(form.RegenPanelText(), u" ");
    type->setCurrentIndex(int(RaceType::Misprints));
    Prompts.ExpectAsk(u"Save changes to Stonekin?"_s, TAnswer::Yes);
    Prompts.ExpectInput(u"Enter name of new race"_s, u"Saltmarsh"_s);
    Item(u"mnuEditNewRace"_s).trigger();
    EXPECT_EQ(stonekin->Type, RaceType::Misprints);
    EXPECT_EQ(form.Race()->Name, u"Saltmarsh");
}

TEST_F(RaceFormTest, CreatingRenamingAndARaceWithoutDice)
{
    TfrmRace &form = Form();
    Prompts.ExpectInput(u"Enter name of new race"_s, QString()); // nothing happens
    Item(u"mnuEditNewRace"_s).trigger();
    EXPECT_EQ(Names().count(), 2);

    // A race database that has used up its race IDs makes no race.
    const qint32 nextId = Main->Catalogue().PeekNextID();
    Main->Catalogue().SetNextID(2147483647);
    Prompts.ExpectInput(u"Enter name of new race"_s, u"Ashen"_s);
    Prompts.ExpectMessage(u"No race ID is left."_s);
    Item(u"mnuEditNewRace"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"Error creating new race.");
    EXPECT_EQ(Names().count(), 2);
    Main->Catalogue().SetNextID(nextId);

    Prompts.ExpectInput(u"Enter name of new race"_s, u"Ashen"_s);
    Item(u"mnuEditNewRace"_s).trigger();
    EXPECT_EQ(form.StatusText(), u"New race created.");
    EXPECT_EQ(form.Race()->Name, u"Ashen");
    EXPECT_EQ(form.Race()->ID, 2);
    EXPECT_EQ(form.Grid().Rows(), 1);
    EXPECT_TRUE(Main->Catalogue().RacesModified);
    QMenu &popup = form.GridPopup();
    Q_UNUSED(popup);
    EXPECT_FALSE(popup.actions().at(0)->isEnabled()); // Delete
    EXPECT_TRUE(popup.actions().at(1)->isEnabled());  // Add Dice
    EXPECT_FALSE(popup.actions().at(2)->isVisible()); // View Details
    EXPECT_FALSE(popup.actions().at(3)->isVisible()); // Put In Army

    // Renaming to nothing takes the race out of the list; the form still shows it.
    Prompts.ExpectInput(u"Enter new name for this race."_s, QString());
    FormItem(u"mnuRaceRename"_s).trigger();
    EXPECT_EQ(Prompts.Transcript.last(), u"input New Race Name: Enter new name for this race. [Ashen]");
    EXPECT_EQ(Names().findText(u"Ashen"_s), -1);
    EXPECT_EQ(Main->Catalogue().FindRaceByID(2), nullptr);
    EXPECT_EQ(form.Race()->Name, u"Ashen");
    const TRace *ashen = form.Race();

    Prompts.ExpectInput(u"Enter new name for this race."_s, u"Moss Folk"_s);
    form.ChangeRace(Names().findText(u"Stonekin"_s));
    FormItem(u"mnuRaceRename"_s).trigger();
    EXPECT_NE(Names().findText(u"Moss Folk"_s), -1);
    EXPECT_EQ(Main->Catalogue().FindRaceByID(1)->Name, u"Moss Folk");

    // Another race leaving the list keeps the first one alive: the collection, trades and
    // armies may still hold it and its dice.
    Prompts.ExpectInput(u"Enter new name for this race."_s, QString());
    FormItem(u"mnuRaceRename"_s).trigger();
    EXPECT_EQ(Main->Catalogue().FindRaceByID(1), nullptr);
    EXPECT_EQ(ashen->Name, u"Ashen");
}

TEST_F(RaceFormTest, DuplicatingCopiesTheDiceOnly)
{
    TfrmRace &form = Form();
    form.Race()->Armored = true;
    Prompts.ExpectInput(u"Enter name of new race"_s, u"Reedfolk II"_s);
    FormItem(u"mnuRaceDuplicate"_s).trigger();
    EXPECT_EQ(Prompts.Transcript.last(), u"input Duplicate Reedfolk: Enter name of new race []");
    EXPECT_EQ(form.StatusText(), u"Duplicate race created.");
    const TRace &copy = *form.Race();
    EXPECT_EQ(copy.Name, u"Reedfolk II");
    EXPECT_FALSE(copy.Armored);
    ASSERT_EQ(copy.DieCount(), 4);
    EXPECT_EQ(copy.Die(3)->Name, u"Heron");
    EXPECT_EQ(copy.Die(3)->ID(), 2);
    EXPECT_EQ(copy.NextDieID, 4);
}

TEST_F(RaceFormTest, TerrainSortAndSummary)
{
    TfrmRace &form = Form();
    FormItem(u"mnuTerrain5"_s).trigger();
    EXPECT_EQ(form.LandPanelText(), u"Wasteland");
    EXPECT_EQ(form.StatusText(), u"Display terrain changed to Wasteland");
    EXPECT_EQ(form.DisplayLand(), Land::Wasteland);

    // Shift sorts descending, Ctrl ascending; equal health keeps its order.
    const bool modified = Main->Catalogue().RacesModified;
    form.SortByColumn(2, true);
    EXPECT_EQ(Column(1).mid(0, 4), (QStringList{u"Wader"_s, u"Heron"_s, u"Eel"_s, u"Gull"_s}));
    EXPECT_EQ(form.StatusText(), u"Dice sorted by HP.");
    form.SortByColumn(2, false);
    EXPECT_EQ(Column(1).mid(0, 4), (QStringList{u"Gull"_s, u"Eel"_s, u"Wader"_s, u"Heron"_s}));
    EXPECT_EQ(form.Race()->Die(1)->Name, u"Gull");
    EXPECT_EQ(Main->Catalogue().RacesModified, modified);

    // Through the grid: a title press with Ctrl held.
    emit form.Grid().TitleClicked(0, Qt::ControlModifier);
    EXPECT_EQ(Column(1).mid(0, 4), (QStringList{u"Eel"_s, u"Gull"_s, u"Heron"_s, u"Wader"_s}));
    emit form.Grid().TitleClicked(0, Qt::NoModifier);
    EXPECT_EQ(form.StatusText(), u"Dice sorted by Name.");

    form.CheckSelection(1);
    EXPECT_EQ(form.StatusText(), u"Eel:  resistance = 16.7%.");
}

TEST_F(RaceFormTest, DeletingADie)
{
    TfrmRace &form = Form();
    form.Grid().SelectCell(1, 2);
    Prompts.ExpectAsk(u"Delete Gull?"_s, TAnswer::No);
    form.DeleteDie();
    EXPECT_EQ(form.StatusText(), u"Delete aborted by user.");
    EXPECT_EQ(form.Race()->DieCount(), 4);

    // An open army holding the die keeps it from going.
    TfrmArmy &army = Main->CreateArmy();
    form.Grid().SelectCell(1, 2);
    form.AddToArmy();
    Prompts.ExpectMessage(u"\"Gull\" cannot be deleted: it is in the army New Army."_s);
    form.DeleteDie();
    EXPECT_EQ(form.StatusText(), u"Gull kept.");
    EXPECT_EQ(form.Race()->DieCount(), 4);
    army.RemoveDie(*army.Army().Dice().front());

    // So does an open game with the die on its board, in an army or among the dragons.
    TNewGame choice;
    choice.Name = u"Shore War"_s;
    choice.FirstPlayer = u"Ann"_s;
    choice.Uncontrolled = true;
    std::unique_ptr<TGame> played = CreateGame(Main->Catalogue(), Main->Clock(), choice, QString());
    const auto &dice = form.Race()->Dice();
    TDie &gull = **std::find_if(dice.begin(), dice.end(), [](const auto &die) { return die->Name == u"Gull"; });
    TTerrainInPlay &pool = played->FixedPlace(GamePlace::Reserves);
    pool.Army(1)->AddDie(std::make_unique<TDieInPlay>(*played, 1, gull));
    TfrmGame &game = Main->AddGameWindow(std::make_unique<TfrmGame>(*Main, std::move(played)));
    form.Grid().SelectCell(1, 2);
    Prompts.ExpectMessage(u"\"Gull\" cannot be deleted: it is in the game Shore War."_s);
    form.DeleteDie();
    EXPECT_EQ(form.StatusText(), u"Gull kept.");
    pool.Army(1)->Erase();
    TTerrainInPlay &summoning = game.Game().FixedPlace(GamePlace::SummoningPool);
    summoning.AddDragon(std::make_unique<TDieInPlay>(game.Game(), 0, gull));
    Prompts.ExpectMessage(u"\"Gull\" cannot be deleted: it is in the game Shore War."_s);
    form.DeleteDie();
    EXPECT_EQ(form.Race()->DieCount(), 4);
    summoning.TakeDragon(*summoning.Dragon(0));

    form.Grid().SelectCell(1, 2);
    Prompts.ExpectAsk(u"Delete Gull?"_s, TAnswer::Yes);
    form.DeleteDie();
    EXPECT_EQ(form.StatusText(), u"Gull deleted.");
    EXPECT_EQ(Column(1), (QStringList{u"Wader"_s, u"Heron"_s, u"Eel"_s, QString()}));
    EXPECT_TRUE(Main->Catalogue().RacesModified);
}

TEST_F(RaceFormTest, ResultColumnsFollowTheSharedOrder)
{
    TfrmRace &form = Form();
    TFancyGrid &grid = form.Grid();
    const int move = 4 + int(ResultType::Move);
    EXPECT_EQ(grid.Column(move)->Position(), 10);
    // The user drags "Move" to the first result place: the shared order changes.
    grid.Column(move)->SetPosition(3);
    emit grid.ColumnMoved(10, 3);
    EXPECT_EQ(Main->ResultMap().Position(ResultType::Move), 1);
    EXPECT_EQ(Main->ResultMap().Position(ResultType::BlackMagic), 2);
    EXPECT_EQ(grid.Column(move)->Position(), 3);
    EXPECT_EQ(grid.Column(4)->Position(), 4);

    // A move of the name column is put back.
    grid.Column(1)->SetPosition(5);
    emit grid.ColumnMoved(0, 5);
    EXPECT_EQ(grid.Column(1)->Position(), 0);
    EXPECT_EQ(grid.Column(move)->Position(), 3);
}

TEST_F(RaceFormTest, ClosingTheRaceWindowMeansLeaving)
{
    Form();
    Prompts.ExpectAsk(u"Exit Tarrowind Assistant?"_s, TAnswer::Cancel);
    auto *window = qobject_cast<QMdiSubWindow *>(Form().parentWidget());
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(Main->isVisible());
}
