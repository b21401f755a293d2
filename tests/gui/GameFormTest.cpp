#include "MainFixture.h"
#include "ScriptedGameDialogs.h"
#include "army/ArmyForm.h"
#include "calc/RollCalc.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "game/ApplyArmy.h"
#include "game/GameFile.h"
#include "game/GameForm.h"
#include "game/GameLogWindow.h"
#include "game/PlayerInfo.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Dice whose every face is the same, so that maneuvers are known whatever the rolls:
// Stonekin Guard (2 health, four moves a face), Reedfolk Scout (2 health, two moves) and
// Archer (2 health, a missile), and the Drakes' Drake (5 health, a dragon).
class GameFormTest : public TMainFixture
{
protected:
    GameFormTest()
    {
        TCatalogue catalogue;
        const auto addRace = [&](const QString &name, RaceType type) -> TRace & {
            auto race = catalogue.CreateRace();
            race->Name = name;
            race->Type = type;
            return catalogue.InsertRace(std::move(race));
        };
        const auto addDie = [](TRace &race, const QString &name, int health, qint32 symbol, int count) {
            auto die = std::make_unique<TDie>(race, name);
            die->SetHealth(health);
            for (int face = 0; face < die->FaceCount(); ++face)
                die->SetFace(face, symbol, count);
            race.AddDie(std::move(die));
        };
        TRace &stonekin = addRace(u"Stonekin"_s, RaceType::NormalUnits);
        addDie(stonekin, u"Guard"_s, 2, BasicIcon::Move, 4);
        TRace &reedfolk = addRace(u"Reedfolk"_s, RaceType::NormalUnits);
        addDie(reedfolk, u"Scout"_s, 2, BasicIcon::Move, 2);
        addDie(reedfolk, u"Archer"_s, 2, BasicIcon::Missile, 1);
        TRace &drakes = addRace(u"Drakes"_s, RaceType::Dragonkin);
        addDie(drakes, u"Drake"_s, 5, BasicIcon::Melee, 3);
        WriteCatalogue(catalogue);
        Settings.WriteText(u"ArmyDir"_s, Data.path());
        Settings.WriteText(u"EMAIL"_s, u"ann@example.org"_s);
    }

    ~GameFormTest() override
    {
        Dialogs.CheckAllUsed();
        Prompts.CheckAllUsed();
    }

    void StartWithDialogs(const QStringList &documents = {})
    {
        Start(documents);
        Main->SetGameDialogs(&Dialogs);
    }

    TDie &Die(const QString &name) const
    {
        TDieTraversal walk(Main->Catalogue());
        for (TDie *die = walk.First(); die; die = walk.Next()) {
            if (die->Name == name)
                return *die;
        }
        ADD_FAILURE() << "no die " << name.toStdString();
        return *walk.First();
    }

    TfrmArmy &Horde(const QString &name, const QStringList &dice)
    {
        TfrmArmy &army = Main->CreateArmy();
        army.Army().SetName(name);
        for (const QString &die : dice)
            army.AddDie(Die(die));
        army.RefreshAll();
        return army;
    }

    TfrmGame &NewGame(TPlayMode mode = TPlayMode::Email, bool uncontrolled = false)
    {
        TNewGame choice;
        choice.Name = u"Border War"_s;
        choice.FirstPlayer = u"Ann"_s;
        choice.Mode = mode;
        choice.Uncontrolled = uncontrolled;
        Dialogs.NewGames.push_back(choice);
        if (!uncontrolled && mode != TPlayMode::Utility)
            Prompts.ExpectMessage(u"You now have control of the game."_s);
        Item(u"mnuFileNewGame"_s).trigger();
        EXPECT_EQ(Main->GameForms().size(), 1u);
        TfrmGame &game = *Main->GameForms().back();
        Activate(game);
        return game;
    }

    void Activate(TfrmGame &game)
    {
        QApplication::setActiveWindow(Main.get());
        Main->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(game.parentWidget()));
        // A window of the frame takes shortcuts only while the focus is inside it.
        game.ArmyGrid().setFocus();
    }

    // A shortcut as the user presses it, in the game window.
    void Key(TfrmGame &game, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        Activate(game);
        QTest::keyClick(&game.ArmyGrid(), key, modifiers);
    }

    static QAction &GameItem(TfrmGame &game, const QString &name)
    {
        auto *item = game.findChild<QAction *>(name);
        EXPECT_NE(item, nullptr) << name.toStdString();
        static QAction missing;
        return item ? *item : missing;
    }

    static QStringList Panels(const TfrmGame &game)
    {
        return {game.Panel(0), game.Panel(1), game.Panel(2), game.Panel(3)};
    }

    static bool MenuEnabled(TfrmGame &game, const QString &title)
    {
        for (QAction *menu : game.menuBar()->actions()) {
            if (menu->text() == title)
                return menu->isEnabled() && menu->isVisible();
        }
        return false;
    }

    // Marks every die of the army grid.
    static void MarkAll(TfrmGame &game)
    {
        TFancyGrid &grid = game.ArmyGrid();
        for (int c = 1; c <= grid.Cols(); ++c) {
            for (int r = 1; r <= grid.Rows(); ++r) {
                if (TCellData *cell = grid.Column(c)->Cell(r); cell && cell->HasData())
                    grid.SetCellMark(*cell, true);
            }
        }
    }

    QStringList LogTail(const TfrmGame &game, int lines) const
    {
        const QStringList &log = game.Game().Log();
        return log.mid(std::max<qsizetype>(0, log.size() - lines));
    }

    TScriptedGameDialogs Dialogs;
};

} // namespace

TEST_F(GameFormTest, ATwoPlayerGameFromTheSetupToTheSecondRound)
{
    StartWithDialogs();
    TfrmArmy &annHorde = Horde(u"Ann's Horde"_s, {u"Guard"_s, u"Archer"_s});
    TfrmArmy &boHorde = Horde(u"Bo's Horde"_s, {u"Scout"_s, u"Archer"_s});
    TfrmGame &window = NewGame();
    TGame &game = window.Game();
    EXPECT_EQ(window.windowTitle(), u"Border War (Ann)"_s);
    EXPECT_EQ(Panels(window), (QStringList{u"Round 0"_s, u"Ann"_s, u"Start"_s, QString()}));
    EXPECT_EQ(window.SelectedColumn(), 5) << "the reserves";
    EXPECT_TRUE(MenuEnabled(window, u"&Setup"_s));
    EXPECT_FALSE(MenuEnabled(window, u"&Turns"_s));
    EXPECT_FALSE(MenuEnabled(window, u"&Play"_s));
    EXPECT_FALSE(MenuEnabled(window, u"&Utility"_s));
    EXPECT_FALSE(window.NextPhaseButton().isEnabled());
    EXPECT_FALSE(GameItem(window, u"mnuGameRollDice"_s).isEnabled()) << "its shortcut is off with the menu";
    EXPECT_TRUE(GameItem(window, u"mnuGamePlaceArmies"_s).isEnabled());
    EXPECT_FALSE(GameItem(window, u"mnuGameSetTerrain"_s).isEnabled()) << "the reserves are no terrain";
    EXPECT_FALSE(GameItem(window, u"mnuGameEmergencyUnlock"_s).isEnabled());

    // Player data in the real dialog: the second player gets a name and an address.
    Dialogs.PlayerEdits.push_back([](TPrompts &prompts, TGame &edited, bool started) {
        TfrmPlayerInfo dialog(prompts, edited, started);
        dialog.SelectPlayer(1);
        dialog.txtName->setText(u"Bo"_s);
        dialog.txtName->textEdited(u"Bo"_s);
        dialog.txtEmail->setText(u"bo@example.org"_s);
        dialog.txtEmail->textEdited(u"bo@example.org"_s);
        QTest::mouseClick(dialog.btnSave, Qt::LeftButton);
        EXPECT_FALSE(dialog.Changed());
    });
    GameItem(window, u"mnuGameSetupPlayerData"_s).trigger();
    EXPECT_EQ(game.Player(2)->Name, u"Bo"_s);
    EXPECT_EQ(window.TerrainGrid().Column(8)->Title(), u"Bo's Home"_s);

    // Both hordes into the reserves through the real Place Armies dialog.
    Dialogs.Placements.push_back([&](TfrmMain &main, TGameCommands &commands) {
        TfrmApplyArmy dialog(main, commands);
        EXPECT_EQ(dialog.ArmyNames(), (QStringList{u"Ann's Horde"_s, u"Bo's Horde"_s}));
        EXPECT_FALSE(dialog.btnApply->isEnabled());
        for (int player : {0, 1}) {
            dialog.ChoosePlayer(player);
            dialog.ChoosePlace(GamePlace::Reserves);
            dialog.ChooseArmy(player == 0 ? annHorde.windowTitle() : boHorde.windowTitle());
            QTest::mouseClick(dialog.btnApply, Qt::LeftButton);
        }
        EXPECT_EQ(dialog.StatusText(), u"Bo's Horde stored at Reserves."_s);
    });
    GameItem(window, u"mnuGamePlaceArmies"_s).trigger();
    EXPECT_EQ(game.FixedPlace(GamePlace::Reserves).Army(1)->DieCount(), 2);
    EXPECT_EQ(window.TerrainGrid().Column(5)->Cell(2)->Text(), u"Ann's Army\n4 health"_s);

    // Terrain dice for the Frontier and both homes.
    for (int column : {6, 7, 8}) {
        window.SelectColumn(column);
        EXPECT_TRUE(GameItem(window, u"mnuGameSetTerrain"_s).isEnabled());
        Dialogs.TerrainDice.push_back(column == 6 ? 0 : column + 4);
        GameItem(window, u"mnuGameSetTerrain"_s).trigger();
    }
    EXPECT_EQ(window.Panel(4), u"Terrain die set for Bo's Home"_s);
    EXPECT_EQ(window.TerrainGrid().Column(6)->Cell(1)->Text(), u"Coastland City\n8 City"_s);

    // The turn order: Ann's guard maneuvers 4, Bo's scout 2.
    Prompts.ExpectMessage(u"Ann is at position 1.\nBo is at position 2."_s);
    GameItem(window, u"mnuGameTurnOrder"_s).trigger();
    Prompts.ExpectMessage(u"Cannot start game:  some hordes are still in reserves."_s);
    GameItem(window, u"mnuGameStart"_s).trigger();
    EXPECT_EQ(game.Round(), 0);

    // The hordes go to the Frontier, dragged from the reserves.
    window.SelectColumn(5);
    MarkAll(window);
    EXPECT_EQ(window.Panel(4), u"8 health marked."_s);
    Dialogs.Reasons.push_back(u"Initial Placement"_s);
    window.DropDiceOn(6);
    EXPECT_EQ(Dialogs.Transcript.last(), u"reason: Move 4 dice to Frontier / Initial Placement"_s);
    EXPECT_EQ(window.TerrainGrid().Column(6)->Cell(2)->Text(), u"Ann's Army\n4 health"_s);
    EXPECT_TRUE(game.FixedPlace(GamePlace::Reserves).ArmyEmpty(1));

    Prompts.ExpectAsk(u"Start this game?"_s, TAnswer::Yes);
    GameItem(window, u"mnuGameStart"_s).trigger();
    EXPECT_EQ(Panels(window), (QStringList{u"Round 1"_s, u"Ann"_s, u"Start"_s, QString()}));
    EXPECT_FALSE(MenuEnabled(window, u"&Setup"_s));
    EXPECT_TRUE(MenuEnabled(window, u"&Turns"_s));
    EXPECT_TRUE(MenuEnabled(window, u"&Play"_s));
    EXPECT_TRUE(window.NextPhaseButton().isEnabled());
    EXPECT_TRUE(game.Log().contains(u">**** Starting first round with Ann's turn."_s));
    EXPECT_TRUE(game.Log().contains(u"Ann now has control."_s));

    // The first march, from the NEXT TURN PHASE shortcut.
    Dialogs.Marches.push_back(0);
    Prompts.ExpectAsk(u"Roll Frontier for maneuvers?"_s, TAnswer::Yes);
    Key(window, Qt::Key_N);
    EXPECT_EQ(Dialogs.Transcript.last(), u"march: Frontier, 4h"_s);
    EXPECT_EQ(window.Panel(2), u"Maneuver 1"_s);
    EXPECT_EQ(game.MarchTerrain(), game.Place(GamePlace::Frontier));
    EXPECT_EQ(window.SelectedColumn(), 6);

    // A roll of Ann's army in the maneuver step: to the action step first.
    TArmyInPlay *ann = game.Place(GamePlace::Frontier)->Army(1);
    ASSERT_EQ(window.CurrentArmy(), ann);

    // F2 puts the army picked on the roll calculator's table, in a window of the frame.
    Prompts.ExpectInput(u"Enter main result type:"_s, u"Maneuver"_s);
    Key(window, Qt::Key_F2, Qt::NoModifier);
    auto *calculator = Main->findChild<TfrmCalculator *>();
    ASSERT_NE(calculator, nullptr);
    EXPECT_EQ(calculator->windowTitle(), u"Virtual Tabletop"_s);
    EXPECT_TRUE(calculator->Grid().Column(1)->Cell(1)->Text().startsWith(u"Stonekin\nGuard"_s))
        << calculator->Grid().Column(1)->Cell(1)->Text().toStdString();
    Prompts.ExpectAsk(u"Transmit results to scratch pad?"_s, TAnswer::No);
    calculator->parentWidget()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Main->findChild<TfrmCalculator *>(), nullptr);
    Prompts.ExpectAsk(u"Roll Ann's Army at Frontier?"_s, TAnswer::Yes);
    Prompts.ExpectAsk(u"Proceed to action phase before rolling?"_s, TAnswer::Yes);
    Dialogs.RollReasons.push_back(TRollReasonAnswer{u"Melee Attack"_s, u"Bo's Army at Frontier"_s});
    Key(window, Qt::Key_R);
    EXPECT_EQ(window.Panel(2), u"Action 1"_s);
    EXPECT_EQ(window.Panel(4), u"2 dice rolled."_s);
    EXPECT_TRUE(game.Log().contains(u"> Dice Roll:  Melee Attack targeting Bo's Army at Frontier"_s));

    // A spell on the army, then a rout that ends it.
    Dialogs.Casts.push_back([](TGame &cast, TArmyInPlay *army, const std::vector<TDieInPlay *> &) {
        return std::optional(TCastRequest{cast.Player(1), u"Shield"_s, SpellDuration::EndOfThisAction, {army}, false});
    });
    Key(window, Qt::Key_S);
    EXPECT_EQ(window.Panel(4), u"Spell/effect Shield applied."_s);
    EXPECT_EQ(window.SpellList().findItems(u"Shield"_s, Qt::MatchExactly).size(), 1)
        << "the die picked in Ann's army lists the army's spell";
    game.Place(GamePlace::Frontier)->PutFace(3);
    Dialogs.Routs.push_back(game.Place(GamePlace::Frontier));
    GameItem(window, u"mnuGameRout"_s).trigger();
    EXPECT_EQ(game.Place(GamePlace::Frontier)->Face(), 2);
    EXPECT_EQ(LogTail(window, 4), (QStringList{u"Routing at Frontier."_s, u"> Frontier moved down to 2 Missile."_s,
                                                u"Expiring spells and effects for Ann."_s, u"Shield expired."_s}));

    // Bo's scout dragged to the dead pool: killed in combat, the default.
    window.SelectColumn(6);
    TFancyGrid &armies = window.ArmyGrid();
    ASSERT_EQ(armies.Column(2)->Title(), u"Bo's Army"_s);
    armies.SetCellMark(*armies.Column(2)->Cell(1), true);
    EXPECT_EQ(window.Panel(4), u"2 health marked."_s);
    Dialogs.Reasons.push_back(u"Killed in Combat"_s);
    window.DropDiceOn(GamePlace::DeadPool + 1);
    EXPECT_EQ(Dialogs.Transcript.last(), u"reason: Move 1 dice to Dead Pool / Killed in Combat"_s);
    EXPECT_EQ(LogTail(window, 1).first(),
              u"> Killed in Combat: 2 health from Bo's Army at Frontier moved to Dead Pool"_s);

    // Ann ends her turn: control passes to Bo and her copy is locked.
    Prompts.ExpectAsk(u"End Ann's turn?"_s, TAnswer::Yes);
    GameItem(window, u"mnuGameNextPlayer"_s).trigger();
    EXPECT_EQ(window.windowTitle(), u"Border War (Bo)"_s);
    EXPECT_EQ(Panels(window), (QStringList{u"Round 1"_s, u"Bo"_s, u"Start"_s, u"LOCKED"_s}));
    EXPECT_FALSE(MenuEnabled(window, u"&Turns"_s));
    EXPECT_FALSE(window.NextPhaseButton().isEnabled());
    EXPECT_TRUE(GameItem(window, u"mnuGameEmergencyUnlock"_s).isEnabled());
    EXPECT_FALSE(GameItem(window, u"mnuGameClearLog"_s).isEnabled());

    // An emergency unlock frees the game; Bo's turn ends and round 2 begins.
    Prompts.ExpectAsk(u"Are you ABSOLUTELY SURE you want to do an emergency unlock of this game?"_s, TAnswer::Yes);
    GameItem(window, u"mnuGameEmergencyUnlock"_s).trigger();
    EXPECT_EQ(window.Panel(3), QString());
    EXPECT_EQ(window.windowTitle(), u"Border War"_s);
    Prompts.ExpectAsk(u"End Bo's turn?"_s, TAnswer::Yes);
    GameItem(window, u"mnuGameNextPlayer"_s).trigger();
    EXPECT_EQ(Panels(window), (QStringList{u"Round 2"_s, u"Ann"_s, u"Start"_s, QString()}));
    EXPECT_EQ(LogTail(window, 2), (QStringList{u"> **** Starting round 2."_s, u">* STARTING TURN for Ann."_s}));

    // The game is saved and the window closes without a question.
    Prompts.ExpectSave(TFileChoice{{Data.filePath(u"war.kgm"_s)}, 1});
    GameItem(window, u"mnuGameSave"_s).trigger();
    EXPECT_EQ(window.Panel(4), u"Game data written to "_s + Data.filePath(u"war.kgm"_s) + u'.');
    EXPECT_FALSE(game.Modified());
    window.parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Main->GameForms().empty());
}

TEST_F(GameFormTest, UtilityGamesShowTheUtilityMenuInsteadOfSetupAndTurns)
{
    StartWithDialogs();
    TfrmGame &window = NewGame(TPlayMode::Utility);
    EXPECT_EQ(window.windowTitle(), u"Border War"_s) << "a utility game is never controlled";
    EXPECT_FALSE(MenuEnabled(window, u"&Setup"_s));
    EXPECT_FALSE(MenuEnabled(window, u"&Turns"_s));
    EXPECT_TRUE(MenuEnabled(window, u"&Utility"_s));
    EXPECT_TRUE(MenuEnabled(window, u"&Play"_s));
    EXPECT_FALSE(window.NextPhaseButton().isEnabled());
    EXPECT_FALSE(GameItem(window, u"mnuGameSetFace"_s).isEnabled());
    window.SelectColumn(6);
    EXPECT_TRUE(GameItem(window, u"mnuGameUtilitySetTerrain"_s).isEnabled());
    EXPECT_FALSE(GameItem(window, u"mnuGameSetFace"_s).isEnabled()) << "no terrain die yet";
    Dialogs.TerrainDice.push_back(3);
    GameItem(window, u"mnuGameUtilitySetTerrain"_s).trigger();
    EXPECT_TRUE(GameItem(window, u"mnuGameSetFace"_s).isEnabled());
    EXPECT_TRUE(GameItem(window, u"mnuGameRollTerrain"_s).isEnabled());
    Prompts.ExpectInput(u"Select the new face for Frontier."_s, u"5"_s);
    GameItem(window, u"mnuGameSetFace"_s).trigger();
    EXPECT_EQ(window.Game().Place(GamePlace::Frontier)->Face(), 5);
}

TEST_F(GameFormTest, WindowOptionsAndTheLog)
{
    StartWithDialogs();
    TfrmGame &window = NewGame();
    // Without an army picked, the roll calculator has nothing to show.
    Prompts.ExpectMessage(u"No army is selected."_s);
    Key(window, Qt::Key_F2, Qt::NoModifier);
    EXPECT_EQ(Prompts.Transcript.last(), u"message Information Border War: No army is selected."_s);
    EXPECT_EQ(Main->findChild<TfrmCalculator *>(), nullptr);
    EXPECT_EQ(window.HeightFactor(), 3);
    GameItem(window, u"mnuGameShrink"_s).trigger();
    EXPECT_EQ(window.HeightFactor(), 2);
    const int beeps = Prompts.Beeps;
    GameItem(window, u"mnuGameShrink"_s).trigger();
    EXPECT_EQ(window.HeightFactor(), 2);
    EXPECT_EQ(Prompts.Beeps, beeps + 1);
    GameItem(window, u"mnuGameWiden"_s).trigger();
    EXPECT_EQ(window.TerrainGrid().HeightFactor(), 3);

    // The log window follows the log; F4 opens and closes it.
    Key(window, Qt::Key_F4, Qt::NoModifier);
    ASSERT_NE(window.LogWindow(), nullptr);
    EXPECT_EQ(window.LogWindow()->Lines(), window.Game().Log());
    window.ScratchPadMemo().setPlainText(u"Ann plays first\nBo waits"_s);
    Key(window, Qt::Key_T);
    EXPECT_EQ(window.Panel(4), u"2 lines transferred to log."_s);
    EXPECT_EQ(window.LogWindow()->Lines().mid(1),
              (QStringList{u">> Ann plays first"_s, u">> Bo waits"_s}));
    EXPECT_TRUE(window.ScratchPadMemo().toPlainText().isEmpty());
    Key(window, Qt::Key_F4, Qt::NoModifier);
    EXPECT_EQ(window.LogWindow(), nullptr);

    GameItem(window, u"mnuGameCopyLog"_s).trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), u"Ann now has control.\r\n>> Ann plays first\r\n>> Bo waits\r\n"_s);
    EXPECT_EQ(window.Panel(4), u"Game event log copied to clipboard."_s);
    GameItem(window, u"mnuGameCopyStatus"_s).trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), u"Transmitting game status during round 0.\r\n"_s);

    // Clear Log writes the log to its file first, adding to what is there.
    const QString logFile = Data.filePath(u"war.LOG"_s);
    WriteFile(logFile, "earlier\r\n");
    Prompts.ExpectSave(TFileChoice{{logFile}, 2});
    GameItem(window, u"mnuGameClearLog"_s).trigger();
    EXPECT_EQ(FileBytes(logFile), QByteArray("earlier\r\nAnn now has control.\r\n>> Ann plays first\r\n>> Bo waits\r\n"));
    EXPECT_TRUE(window.Game().Log().isEmpty());

    // Auto-Save asks for a file at the first after-action step of an unsaved game.
    GameItem(window, u"mnuGameAutoSave"_s).trigger();
    EXPECT_TRUE(GameItem(window, u"mnuGameAutoSave"_s).isChecked());
    Prompts.ExpectSave(TFileChoice{{Data.filePath(u"auto.kgm"_s)}, 1});
    window.AfterAction(false);
    EXPECT_EQ(window.FileName(), Data.filePath(u"auto.kgm"_s));
    EXPECT_FALSE(FileBytes(Data.filePath(u"auto.kgm"_s)).isEmpty());
    Main.reset();
    EXPECT_TRUE(Settings.ReadBoolSetting(u"AutoSave"_s, false)) << "the option is kept as the window goes";
}

TEST_F(GameFormTest, TheCloseQueryOfAnUnsavedNewGame)
{
    StartWithDialogs();
    TfrmGame &window = NewGame();
    Prompts.ExpectSave(std::nullopt);
    Prompts.ExpectAsk(u"Close without saving Border War?"_s, TAnswer::No);
    EXPECT_FALSE(window.RequestClose());
    EXPECT_EQ(window.FileName(), QString()) << "a cancelled save leaves no file name behind";
    Prompts.ExpectSave(std::nullopt);
    Prompts.ExpectAsk(u"Close without saving Border War?"_s, TAnswer::Yes);
    window.parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(Main->GameForms().empty());
}

TEST_F(GameFormTest, AGameOpensFromTheCommandLine)
{
    // A game saved by the program, with a die in player 1's reserves.
    {
        StartWithDialogs();
        TfrmGame &window = NewGame(TPlayMode::Email, true);
        auto scout = std::make_unique<TDieInPlay>(window.Game(), 1, Die(u"Scout"_s));
        scout->SetPlaceIndex(GamePlace::Reserves);
        window.Game().FixedPlace(GamePlace::Reserves).Army(1)->AddDie(std::move(scout));
        SaveGameFile(window.Game(), Data.filePath(u"opened.kgm"_s));
        Main.reset();
    }
    StartWithDialogs({Data.filePath(u"opened.kgm"_s)});
    ASSERT_EQ(Main->GameForms().size(), 1u);
    TfrmGame &window = *Main->GameForms().front();
    EXPECT_EQ(window.windowTitle(), u"Border War"_s);
    EXPECT_EQ(window.FileName(), Data.filePath(u"opened.kgm"_s));
    EXPECT_EQ(window.SelectedColumn(), 5);
    EXPECT_EQ(window.ArmyGrid().Column(1)->Title(), u"Ann's Army"_s);
    EXPECT_FALSE(window.Game().Modified());
    EXPECT_EQ(Main->StatusText(), u"File "_s + Data.filePath(u"opened.kgm"_s) + u" loaded from command line."_s);
    // The board is drawn where its scroll bar says: the Reserves picked while the window
    // was being laid out stand inside the view, and the last place ends at its edge.
    QApplication::processEvents();
    const QHeaderView &places = *window.TerrainGrid().horizontalHeader();
    const int reserves = places.sectionViewportPosition(GamePlace::Reserves);
    EXPECT_GE(reserves, 0);
    EXPECT_LE(reserves + places.sectionSize(GamePlace::Reserves), window.TerrainGrid().viewport()->width());
    EXPECT_LE(places.sectionViewportPosition(places.count() - 1) + places.sectionSize(places.count() - 1) -
                  window.TerrainGrid().viewport()->width(),
              0);

    // Marks, the Home key and the notes of the face shown.
    TFancyGrid &grid = window.ArmyGrid();
    grid.SelectCell(1, 1);
    EXPECT_EQ(window.NotesMemo().toPlainText(), u"Counts as one movement point."_s);
    grid.SetCellMark(*grid.Column(1)->Cell(1), true);
    EXPECT_EQ(window.Panel(4), u"2 health marked."_s);
    Key(window, Qt::Key_M);
    EXPECT_EQ(window.Panel(4), u"Marks cleared in army grid."_s);
    EXPECT_FALSE(grid.AnyMarked());
}
