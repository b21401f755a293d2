#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "game/GameData.h"
#include "game/MarchForm.h"
#include "game/MoveForm.h"
#include "game/NewGame.h"
#include "game/PlayerInfo.h"
#include "game/PlayerList.h"
#include "game/ReasonForm.h"
#include "game/RoutForm.h"
#include "game/SpellForm.h"
#include "MainFixture.h"
#include "shell/Clock.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct TDialogGame
{
    TDialogGame()
    {
        Catalogue.MakeTerrains();
        Game.Player(1)->Name = u"Ann"_s;
        Game.Player(2)->Name = u"Bo"_s;
        Game.Place(GamePlace::Frontier)->PutTerrainDie(Catalogue.MajorTerrain(0));
    }

    TCatalogue Catalogue;
    TFixedClock Clock{QDateTime(QDate(2026, 12, 7), QTime(12, 0))};
    TGame Game{Catalogue, Clock, 2, u"G"_s};
};

} // namespace

TEST(GameDialogsTest, NewGameNeedsANameAPlayerAndAMode)
{
    TdlgNewGame dialog;
    EXPECT_EQ(dialog.txtName->text(), u"New Game"_s);
    EXPECT_EQ(dialog.spnPlayers->value(), 2);
    EXPECT_EQ(dialog.spnPlayers->maximum(), 10);
    EXPECT_FALSE(dialog.btnOK->isEnabled());
    dialog.txtPlayerName->setText(u"Ann"_s);
    EXPECT_FALSE(dialog.btnOK->isEnabled()) << "no play mode yet";
    dialog.SetMode(TPlayMode::Ftp);
    EXPECT_TRUE(dialog.btnOK->isEnabled());
    dialog.chkStaggered->setChecked(true);
    dialog.SetMode(TPlayMode::Utility);
    EXPECT_TRUE(dialog.chkUncontrolled->isChecked());
    EXPECT_FALSE(dialog.chkUncontrolled->isEnabled());
    EXPECT_FALSE(dialog.chkStaggered->isEnabled());
    EXPECT_EQ(dialog.Choice().Mode, TPlayMode::Utility);
    EXPECT_FALSE(dialog.Choice().StaggeredStart);
    dialog.SetMode(TPlayMode::Email);
    EXPECT_TRUE(dialog.chkUncontrolled->isEnabled());
    dialog.txtName->clear();
    EXPECT_FALSE(dialog.btnOK->isEnabled());
}

TEST(GameDialogsTest, TheReasonAndMarchDialogs)
{
    TfrmReason reason(u"Move 2 dice"_s, u"Enter reason for move."_s, {u"Firewalking"_s, u"Summoned"_s},
                      u"Summoning"_s);
    EXPECT_EQ(reason.Reason(), u"Summoning"_s) << "a reason not in the list is typed in";
    EXPECT_TRUE(reason.CanAccept());
    TfrmReason listed(u"c"_s, u"p"_s, {u"Firewalking"_s, u"Summoned"_s}, u"Summoned"_s);
    EXPECT_EQ(listed.findChild<QListWidget *>(u"lstReasons"_s)->currentItem()->text(), u"Summoned"_s);
    TfrmReason empty(u"c"_s, u"p"_s, {u"Firewalking"_s});
    EXPECT_FALSE(empty.findChild<QPushButton *>(u"btnOK"_s)->isEnabled());
    empty.findChild<QListWidget *>(u"lstReasons"_s)->setCurrentRow(0);
    EXPECT_EQ(empty.Reason(), u"Firewalking"_s);
    EXPECT_TRUE(empty.findChild<QPushButton *>(u"btnOK"_s)->isEnabled());

    TfrmRollReason roll(u"Roll Dice"_s, u"Enter reason for rolling:"_s, {u"Magic"_s}, {u"(none/various)"_s, u"X"_s});
    EXPECT_EQ(roll.Target(), u"(none/various)"_s);

    TfrmMarch march({u"Reserves, 4h"_s, u"Frontier, 2h"_s});
    EXPECT_FALSE(march.btnOK->isEnabled());
    march.Choose(1);
    EXPECT_TRUE(march.btnOK->isEnabled());
    EXPECT_EQ(march.Choice(), 1);
}

TEST(GameDialogsTest, ManeuverAndRoutFollowTheTerrain)
{
    TDialogGame g;
    TTerrainInPlay &frontier = *g.Game.Place(GamePlace::Frontier);
    frontier.PutFace(8);
    TfrmManeuver maneuver(g.Game, &frontier);
    EXPECT_EQ(maneuver.windowTitle(), u"Maneuver by Ann"_s);
    EXPECT_EQ(maneuver.StatusText(), u"Select a maneuver action."_s);
    EXPECT_FALSE(maneuver.rbMoveUp->isEnabled()) << "face 8 cannot go up";
    EXPECT_FALSE(maneuver.rbMinor->isEnabled()) << "Ann holds no minor terrain";
    maneuver.ChooseAction(TManeuverAction::MoveDown);
    EXPECT_EQ(maneuver.StatusText(), u"Turn Coastland City to 7 Melee."_s);
    EXPECT_TRUE(maneuver.btnOK->isEnabled());
    maneuver.ChooseTerrain(nullptr);
    EXPECT_EQ(maneuver.StatusText(), u"No terrain selected."_s);
    EXPECT_FALSE(maneuver.btnOK->isEnabled());

    frontier.PutFace(1);
    TfrmRout rout(g.Game, &frontier);
    EXPECT_EQ(rout.StatusText(), u"Cannot rout at a terrain on the first face."_s);
    EXPECT_FALSE(rout.btnOK->isEnabled());
    rout.Choose(g.Game.Place(6));
    EXPECT_EQ(rout.StatusText(), u"No terrain die at Ann's Home."_s);
}

TEST(GameDialogsTest, ChooseNewControllerWantsAMessageForAPlayer)
{
    TDialogGame g;
    TdlgPlayers dialog(g.Game);
    EXPECT_EQ(dialog.lstPlayers->count(), 3);
    EXPECT_EQ(dialog.lstPlayers->currentItem()->text(), u"(none)"_s);
    EXPECT_FALSE(dialog.btnOK->isEnabled()) << "until a choice is made";
    dialog.Choose(1);
    EXPECT_TRUE(dialog.btnOK->isEnabled());
    dialog.SetMessage(QString());
    EXPECT_FALSE(dialog.btnOK->isEnabled()) << "a player needs a message";
    dialog.SetMessage(u"Your turn to react."_s);
    EXPECT_TRUE(dialog.btnOK->isEnabled());
    EXPECT_EQ(dialog.Choice().Player, g.Game.Player(2));
    dialog.Choose(2);
    dialog.SetMessage(QString());
    EXPECT_TRUE(dialog.btnOK->isEnabled()) << "giving up control needs no message";
    EXPECT_EQ(dialog.Choice().Player, nullptr);
}

TEST(GameDialogsTest, TheCastDialogOffersWhatIsPicked)
{
    TDialogGame g;
    TfrmCastSpell none(g.Game, nullptr, {});
    EXPECT_EQ(none.rbArmy->text(), u"No Army Selected"_s);
    EXPECT_FALSE(none.rbArmy->isEnabled());
    EXPECT_EQ(none.rbMarked->text(), u"No dice selected."_s);
    EXPECT_TRUE(none.rbTerrain->isChecked());
    EXPECT_TRUE(none.lstTerrains->isEnabled());
    EXPECT_EQ(none.cmbCaster->currentText(), u"Ann"_s);
    EXPECT_FALSE(none.btnOK->isEnabled());
    none.lstTerrains->setCurrentRow(0);
    EXPECT_FALSE(none.btnOK->isEnabled()) << "no duration yet";
    none.cmbDuration->setCurrentIndex(5);
    EXPECT_TRUE(none.btnOK->isEnabled());
    const TCastRequest request = none.Request();
    EXPECT_EQ(request.Duration, SpellDuration::Instant);
    EXPECT_EQ(request.Targets, (std::vector<TSpellTarget *>{g.Game.Place(GamePlace::Frontier)}));

    TfrmCastSpell army(g.Game, g.Game.Place(GamePlace::Frontier)->Army(2), {});
    EXPECT_TRUE(army.rbArmy->isChecked());
    EXPECT_EQ(army.rbArmy->text(), u"Bo's Army at Frontier"_s);
    EXPECT_FALSE(army.lstTerrains->isEnabled());
}

TEST(GameDialogsTest, PlayerInfoAsksAboutUnsavedEditsAndLocksTheBoardOnceStarted)
{
    TDialogGame g;
    TScriptedPrompts prompts;
    {
        TfrmPlayerInfo dialog(prompts, g.Game, false);
        EXPECT_EQ(dialog.txtName->text(), u"Ann"_s);
        EXPECT_FALSE(dialog.btnSave->isEnabled());
        dialog.txtName->setText(u"Anna"_s);
        dialog.txtName->textEdited(u"Anna"_s);
        EXPECT_TRUE(dialog.btnSave->isEnabled());
        prompts.ExpectAsk(u"Save changes to Ann?"_s, TAnswer::Cancel);
        EXPECT_FALSE(dialog.SelectPlayer(1));
        EXPECT_EQ(dialog.lstPlayers->currentRow(), 0);
        prompts.ExpectAsk(u"Save changes to Ann?"_s, TAnswer::Yes);
        EXPECT_TRUE(dialog.SelectPlayer(1));
        EXPECT_EQ(g.Game.Player(1)->Name, u"Anna"_s);
        EXPECT_EQ(dialog.lstPlayers->item(0)->text(), u"Anna"_s);
        // Bo moves to the front and takes a minor terrain.
        dialog.spnSequence->setValue(1);
        dialog.cmbMinor[2]->setCurrentIndex(4);
        dialog.cmbMinor[2]->activated(4);
        dialog.StoreData();
        EXPECT_EQ(g.Game.TurnOrder(1), 2);
        EXPECT_EQ(g.Game.Player(2)->MinorTerrainIndex(2), 3);
        prompts.CheckAllUsed();
    }
    TfrmPlayerInfo started(prompts, g.Game, true);
    EXPECT_FALSE(started.txtName->isEnabled());
    EXPECT_FALSE(started.spnSequence->isEnabled());
    EXPECT_FALSE(started.cmbMinor[0]->isEnabled());
    EXPECT_TRUE(started.txtEmail->isEnabled());
}
