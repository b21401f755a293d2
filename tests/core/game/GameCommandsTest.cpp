#include "GameFixture.h"
#include "ScriptedGameUI.h"
#include "army/ArmyData.h"
#include "game/GameGrids.h"
#include "game/GameSetup.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString Order(const TGame &game)
{
    QString order;
    for (int position = 1; position <= game.PlayerCount(); ++position)
        order += QString::number(game.TurnOrder(position));
    return order;
}

// Dice of one face: their rolls are known whatever the generator gives.
TDie &Sure(TGameCatalogue &c, int moves)
{
    return c.MakeDie(u"Sure %1"_s.arg(moves), 1, {{BasicIcon::Move, moves}});
}

// A started two-player game of Ann and Bo: terrain dice on the Frontier (a Coastland
// City) and both homes, Ann's scout and archer at the Frontier, Bo's witch and guard at
// his home and a scout of his at the Frontier; Ann's turn, controlled by Ann.
struct TStartedGame
{
    explicit TStartedGame(TGameCatalogue &c) : Game(c.Catalogue, c.Clock, 2, u"Border War"_s), Commands(Game, UI)
    {
        Game.Player(1)->Name = u"Ann"_s;
        Game.Player(1)->Email = u"ann@example.org"_s;
        Game.Player(2)->Name = u"Bo"_s;
        UI.Email = u"ann@example.org"_s;
        Frontier().PutTerrainDie(c.Catalogue.MajorTerrain(0));
        Game.Home(1).PutTerrainDie(c.Catalogue.MajorTerrain(4));
        Game.Home(2).PutTerrainDie(c.Catalogue.MajorTerrain(8));
        Scout = &PutDie(*Frontier().Army(1), c.Scout());
        Archer = &PutDie(*Frontier().Army(1), c.Archer());
        PutDie(*Game.Home(2).Army(2), c.Witch());
        PutDie(*Game.Home(2).Army(2), c.Guard());
        BoScout = &PutDie(*Frontier().Army(2), c.Scout());
        Game.SetController(Game.Player(1));
        Game.Start();
        Game.ClearLog();
    }

    TTerrainInPlay &Frontier() { return *Game.Place(GamePlace::Frontier); }

    TGame Game;
    TScriptedGameUI UI;
    TGameCommands Commands;
    TDieInPlay *Scout = nullptr;
    TDieInPlay *Archer = nullptr;
    TDieInPlay *BoScout = nullptr;
};

} // namespace

TEST(GameCommandsTest, TheStartingRollRanksTheLowestTiesAgain)
{
    TGameCatalogue c;
    TDie &four = Sure(c, 4);
    const std::pair<qint32, int> two{BasicIcon::Move, 2};
    TDie &twoOrThree = c.MakeDie(u"Two or three"_s, 1, {two, two, two, {BasicIcon::Move, 3}, {BasicIcon::Move, 3}});
    TDie &twoOrOne = c.MakeDie(u"Two or one"_s, 1, {two, two, two, {BasicIcon::Move, 1}, {BasicIcon::Move, 1}});
    // Players 2 and 3 roll twos (tied below player 1's 4), then a three and a one.
    const TFixedClock clock = c.ClockWhere([](TRandomizer &g) {
        g.Next();
        return g.Next() % 5 < 3 && g.Next() % 5 < 3 && g.Next() % 5 >= 3 && g.Next() % 5 >= 3;
    });
    TGame game(c.Catalogue, clock, 3, u"G"_s);
    TTerrainInPlay &reserves = game.FixedPlace(GamePlace::Reserves);
    PutDie(*reserves.Army(1), four);
    PutDie(*reserves.Army(2), twoOrThree);
    TScriptedGameUI ui;
    TGameCommands commands(game, ui);
    commands.StartingRoll();
    EXPECT_EQ(ui.Take(), QStringList{u"information: Not all hordes have been placed at the reserves!"_s});
    EXPECT_EQ(Order(game), u"123"_s);

    PutDie(*reserves.Army(3), twoOrOne);
    game.ClearLog();
    commands.StartingRoll();
    EXPECT_EQ(Order(game), u"123"_s) << "the player ranked last by the lowest score ends last";
    const QStringList events = ui.Take();
    EXPECT_EQ(TScriptedGameUI::Of(events, u"show"_s),
              (QStringList{u"Sorting: 1 to 3"_s, u"Sorting: 1 to 2"_s, u"> Player 1 is at position 1."_s,
                           u"> Player 2 is at position 2."_s, u"> Player 3 is at position 3."_s}));
    EXPECT_EQ(events.mid(events.size() - 2),
              (QStringList{u"refresh: Reserves"_s,
                           u"information: Player 1 is at position 1.\nPlayer 2 is at position 2.\n"
                           u"Player 3 is at position 3."_s}));
    const QStringList maneuvers = game.Log().filter(u"maneuvers."_s);
    EXPECT_EQ(maneuvers, (QStringList{u"Player 1's Army at Reserves rolled 4 maneuvers."_s,
                                      u"Player 2's Army at Reserves rolled 2 maneuvers."_s,
                                      u"Player 3's Army at Reserves rolled 2 maneuvers."_s,
                                      u"Player 2's Army at Reserves rolled 3 maneuvers."_s,
                                      u"Player 3's Army at Reserves rolled 1 maneuvers."_s}));
}

TEST(GameCommandsTest, TiesAboveTheLowestScoreKeepTheirOrder)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 3, u"G"_s);
    TTerrainInPlay &reserves = game.FixedPlace(GamePlace::Reserves);
    PutDie(*reserves.Army(1), Sure(c, 3));
    PutDie(*reserves.Army(2), Sure(c, 3));
    PutDie(*reserves.Army(3), Sure(c, 1));
    TScriptedGameUI ui;
    TGameCommands(game, ui).StartingRoll();
    EXPECT_EQ(Order(game), u"213"_s);
    EXPECT_EQ(TScriptedGameUI::Of(ui.Take(), u"show"_s).first(), u"Sorting: 1 to 3"_s);
    EXPECT_EQ(game.Log().filter(u"maneuvers."_s).size(), 3) << "nobody rolls again";

    // Dice without maneuvers tie for ever: after twenty rolls the tie keeps its order.
    TGame stuck(c.Catalogue, c.Clock, 2, u"G"_s);
    for (int p = 1; p <= 2; ++p)
        PutDie(*stuck.FixedPlace(GamePlace::Reserves).Army(p), c.MakeDie(u"Still"_s, 1, {{BasicIcon::Save, 1}}));
    TGameCommands(stuck, ui).StartingRoll();
    EXPECT_EQ(Order(stuck), u"21"_s);
    EXPECT_EQ(TScriptedGameUI::Of(ui.Take(), u"show"_s).filter(u"Sorting"_s).size(), 20);
}

TEST(GameCommandsTest, StartGameChecksTheBoardFirst)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    game.Player(1)->Name = u"Ann"_s;
    game.Player(2)->Name = u"Bo"_s;
    TScriptedGameUI ui;
    TGameCommands commands(game, ui);
    game.Place(GamePlace::Frontier)->PutTerrainDie(c.Catalogue.MajorTerrain(0));
    game.Home(1).PutTerrainDie(c.Catalogue.MajorTerrain(1));
    commands.StartGame();
    EXPECT_EQ(ui.Take(), QStringList{u"warning: Cannot start game:  no terrain die at Bo's Home."_s});
    game.Home(2).PutTerrainDie(c.Catalogue.MajorTerrain(2));
    PutDie(*game.FixedPlace(GamePlace::Reserves).Army(2), c.Scout());
    commands.StartGame();
    EXPECT_EQ(ui.Take(), QStringList{u"warning: Cannot start game:  some hordes are still in reserves."_s});

    // Unequal armies: the question warns; No changes nothing.
    game.MoveDie(*game.FixedPlace(GamePlace::Reserves).Army(2)->Die(0), *game.Place(GamePlace::Frontier));
    PutDie(*game.Home(1).Army(1), c.Archer());
    ui.Answers = {TGameAnswer::No};
    commands.StartGame();
    EXPECT_EQ(ui.Take(), QStringList{u"warn-ask: Not all players have an army of 3 health.  Start anyway?"_s});
    EXPECT_EQ(game.Round(), 0);

    PutDie(*game.Place(GamePlace::Frontier)->Army(2), c.Witch());
    game.SetController(game.Player(1));
    game.ClearLog();
    ui.Answers = {TGameAnswer::Yes};
    commands.StartGame();
    const QStringList events = ui.Take();
    EXPECT_EQ(events.first(), u"ask: Start this game?"_s);
    EXPECT_EQ(events.mid(1, 2), (QStringList{u"show: Rolling terrains."_s, u"refresh: Frontier"_s}));
    EXPECT_EQ(events.mid(events.size() - 2), (QStringList{u"started"_s, u"update menus"_s}));
    EXPECT_EQ(game.Round(), 1);
    EXPECT_EQ(game.Log().first(), u"Rolling terrains."_s);
    EXPECT_EQ(game.Log().filter(u" rolled by "_s).size(), 3);
    EXPECT_EQ(game.Log().mid(game.Log().size() - 2),
              (QStringList{u">**** Starting first round with Ann's turn."_s, u"Ann now has control."_s}));
}

TEST(GameCommandsTest, AStaggeredStartGivesOnlyTheLastPlayerTwoMarchesInRoundOne)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 3, u"G"_s);
    game.StaggeredStart = true;
    for (int p = 1; p <= 3; ++p) {
        PutDie(*game.FixedPlace(GamePlace::Reserves).Army(p), c.Scout());
        PutDie(*game.Home(p).Army(p), c.Archer());
    }
    game.Start();
    TScriptedGameUI ui;
    TGameCommands commands(game, ui);
    const auto marches = [&] {
        int count = 0;
        for (;;) {
            ui.Marches = {0};
            ui.Answers = {TGameAnswer::No, TGameAnswer::No, TGameAnswer::No, TGameAnswer::No};
            commands.NextMarch();
            const QStringList events = ui.Take();
            if (TScriptedGameUI::Of(events, u"march"_s).isEmpty())
                return count;
            ++count;
        }
    };
    QList<int> counts;
    for (int turn = 0; turn < 4; ++turn) {
        counts << marches();
        // The reserve question was answered No; take the reserves and end the turn.
        game.AdvancePhase();
        game.EndTurn();
    }
    EXPECT_EQ(counts, (QList<int>{1, 1, 2, 2}));
}

TEST(GameCommandsTest, AMarchGoesThroughItsManeuverAndActionSteps)
{
    TGameCatalogue c;
    TStartedGame g(c);
    g.UI.Marches = {1};
    g.UI.Answers = {TGameAnswer::Yes};
    g.Commands.NextPhase();
    QStringList events = g.UI.Take();
    // Reserves and Ann's home are empty; the Frontier and nothing else is offered. A
    // line past the list counts as a cancel.
    EXPECT_EQ(events, (QStringList{u"march: Frontier, 4h"_s, u"show: March change aborted."_s, u"refresh status"_s}));
    EXPECT_EQ(g.Game.Phase(), 0);

    g.UI.Marches = {0};
    g.UI.Answers = {TGameAnswer::Yes};
    g.Commands.NextPhase();
    events = g.UI.Take();
    EXPECT_EQ(events, (QStringList{u"march: Frontier, 4h"_s, u"after action"_s,
                                   u"show: New march for player Ann at Frontier."_s, u"refresh: Frontier"_s,
                                   u"ask: Roll Frontier for maneuvers?"_s,
                                   u"show: > Rolling for maneuvers at Frontier."_s, u"rebuild army grid"_s,
                                   u"after action"_s, u"refresh status"_s}));
    EXPECT_EQ(g.Game.PhaseName(), u"Maneuver 1"_s);
    EXPECT_EQ(g.Game.MarchTerrain(), &g.Frontier());
    EXPECT_EQ(g.Game.Log().filter(u"Rolling "_s),
              (QStringList{u"> Rolling for maneuvers at Frontier."_s, u"Rolling all armies at Frontier."_s,
                           u"Rolling Ann's Army at Frontier."_s, u"Rolling Bo's Army at Frontier."_s}));

    // The action step, then the second march, which cannot use the Frontier again.
    g.UI.Answers = {TGameAnswer::No};
    g.Commands.NextPhase();
    EXPECT_EQ(g.UI.Take(), (QStringList{u"ask: Begin action phase for this march?"_s,
                                        u"show: Phase change aborted."_s, u"refresh status"_s}));
    g.UI.Answers = {TGameAnswer::Yes};
    g.Commands.NextPhase();
    EXPECT_EQ(g.UI.Take(), (QStringList{u"ask: Begin action phase for this march?"_s, u"after action"_s,
                                        u"show: Beginning action phase."_s, u"refresh status"_s}));
    EXPECT_EQ(g.Game.PhaseName(), u"Action 1"_s);
    g.UI.Answers = {TGameAnswer::Yes};
    g.Commands.NextPhase();
    EXPECT_EQ(g.UI.Take(), (QStringList{u"ask: Begin reserve step?"_s, u"show: Beginning retreat phase."_s,
                                        u"after action"_s, u"refresh status"_s}))
        << "no second march: Ann has nothing elsewhere, and nothing in reserve";
    EXPECT_EQ(g.Game.PhaseName(), u"Retreat"_s);

    g.UI.Answers = {TGameAnswer::Yes};
    g.Commands.NextPhase();
    EXPECT_EQ(g.UI.Take(), (QStringList{u"ask: End Ann's turn?"_s, u"after action forced"_s, u"update menus"_s,
                                        u"refresh status"_s}));
    EXPECT_EQ(g.Game.CurrentPlayer().Name, u"Bo"_s);
    EXPECT_EQ(g.Game.Controller(), g.Game.Player(2)) << "control passes with the turn";
    EXPECT_EQ(g.Game.Log().mid(g.Game.Log().size() - 2),
              (QStringList{u">* STARTING TURN for Bo."_s, u"Bo now has control."_s}));
}

TEST(GameCommandsTest, MarchesWithoutManeuversAndWithoutActions)
{
    TGameCatalogue c;
    TStartedGame g(c);
    // Ann holds the Frontier: no maneuver step there.
    g.Frontier().Army(1)->OwnsTerrain = true;
    g.UI.Marches = {0};
    g.Commands.NextMarch();
    EXPECT_EQ(g.UI.Take(), (QStringList{u"march: Frontier, 4h"_s, u"after action"_s,
                                        u"show: New march for player Ann at Frontier."_s, u"refresh: Frontier"_s,
                                        u"after action"_s, u"show: No maneuver phase."_s, u"after action"_s}));
    EXPECT_EQ(g.Game.PhaseName(), u"Action 1"_s);

    // A melee face where Ann is unopposed: no possible action, on to the next march.
    TStartedGame h(c);
    h.Frontier().Army(2)->Erase();
    h.Frontier().PutFace(6);
    h.UI.Marches = {0};
    h.UI.Answers = {TGameAnswer::No};
    h.Commands.NextMarch();
    h.UI.Take();
    ASSERT_EQ(h.Game.PhaseName(), u"Maneuver 1"_s);
    h.UI.Answers = {TGameAnswer::No};
    h.Commands.NextPhase();
    const QStringList events = h.UI.Take();
    EXPECT_EQ(events.first(), u"show: No possible action."_s);
    EXPECT_EQ(events[1], u"ask: Begin reserve step?"_s);
    // With a minor terrain in play there, nothing happens at all.
    h.Game.EndTurn();
    h.Game.EndTurn();
    ASSERT_EQ(h.Game.CurrentPlayerNumber(), 1);
    h.Game.AdvancePhase();
    h.Game.SetMarchTerrain(&h.Frontier());
    h.Frontier().Army(1)->PutMinorTerrain(c.Catalogue.MinorTerrain(0));
    h.Commands.NextPhase();
    EXPECT_EQ(h.UI.Take(), QStringList{u"refresh status"_s});

    // No march terrain: an error box, then the action step.
    TStartedGame k(c);
    k.Game.AdvancePhase();
    k.Commands.NextPhase();
    EXPECT_EQ(k.UI.Take(),
              (QStringList{u"error: No current march terrain is selected.  Proceeding to action phase."_s,
                           u"after action"_s, u"refresh status"_s}));
    EXPECT_EQ(k.Game.PhaseName(), u"Action 1"_s);
}

TEST(GameCommandsTest, AnUnopposedMarchOffersTheManeuver)
{
    TGameCatalogue c;
    TStartedGame g(c);
    g.Frontier().Army(2)->Erase();
    g.Frontier().PutFace(7);
    g.UI.Marches = {0};
    g.UI.Answers = {TGameAnswer::Yes};
    g.UI.Maneuvers = {TManeuverChoice{&g.Frontier(), TManeuverAction::MoveUp, -1}};
    g.Commands.NextMarch();
    const QStringList events = g.UI.Take();
    EXPECT_EQ(events.mid(4), (QStringList{u"ask: Maneuver Frontier?"_s, u"show: Unopposed maneuver."_s,
                                          u"maneuver: Frontier"_s, u"refresh: Frontier"_s, u"after action"_s}));
    EXPECT_TRUE(g.Frontier().Army(1)->OwnsTerrain);
    EXPECT_EQ(g.Game.Log().mid(g.Game.Log().size() - 2),
              (QStringList{u"> Frontier moved up to 8 City."_s, u"> Ann's Army OWNS FRONTIER!"_s}));
}

TEST(GameCommandsTest, RollingDiceAsksAboutTheActionStepAndTheReason)
{
    TGameCatalogue c;
    TStartedGame g(c);
    g.Game.SetMarchTerrain(&g.Frontier());
    g.Game.AdvancePhase();
    TArmyInPlay *ann = g.Frontier().Army(1);

    // Nothing marked and no army: cancelled at once.
    g.Commands.RollDice({}, nullptr);
    EXPECT_EQ(g.UI.Take(), QStringList{u"information: Die roll cancelled."_s});
    g.UI.Answers = {TGameAnswer::Yes, TGameAnswer::Cancel};
    g.Commands.RollDice({}, ann);
    EXPECT_EQ(g.UI.Take(), (QStringList{u"ask: Roll Ann's Army at Frontier?"_s,
                                        u"ask: Proceed to action phase before rolling?"_s,
                                        u"information: Die roll cancelled."_s}));

    g.UI.Answers = {TGameAnswer::Yes, TGameAnswer::Yes};
    g.UI.RollReasons = {TRollReasonAnswer{u"Melee Attack"_s, u"Bo's Army at Frontier"_s}};
    g.Commands.RollDice({}, ann);
    QStringList events = g.UI.Take();
    EXPECT_EQ(events.mid(0, 6),
              (QStringList{u"ask: Roll Ann's Army at Frontier?"_s, u"ask: Proceed to action phase before rolling?"_s,
                           u"after action"_s, u"refresh status"_s,
                           u"roll reason: Roll Dice / Enter reason for rolling: / (none/various) | "
                           u"Ann's Army at Frontier | Bo's Army at Bo's Home | Bo's Army at Frontier"_s,
                           u"show: > Dice Roll:  Melee Attack targeting Bo's Army at Frontier"_s}));
    EXPECT_EQ(events.mid(6), (QStringList{u"rebuild army grid"_s, u"after action"_s, u"show: 2 dice rolled."_s}));
    EXPECT_EQ(g.Game.PhaseName(), u"Action 1"_s);
    EXPECT_EQ(g.UI.Busy, 0);
    EXPECT_EQ(g.Game.Log().filter(u" rolled by "_s).size(), 2);
    EXPECT_EQ(g.UI.Requests.back().Reasons, RollReasons());
    EXPECT_EQ(RollReasons().size(), 27);
    EXPECT_EQ(RollReasons().first(), u"Anti-Magic"_s);

    // In the action step nothing is asked about it; one marked die says its name.
    g.UI.RollReasons = {TRollReasonAnswer{u"Reroll"_s, kNoTarget}};
    g.Commands.RollDice({g.Archer}, ann);
    events = g.UI.Take();
    EXPECT_TRUE(events.contains(u"show: > Dice Roll:  Reroll"_s));
    EXPECT_EQ(events.last(), u"show: Reedfolk Reed Archer[25] rolled."_s);
    g.UI.RollReasons = {std::nullopt};
    g.Commands.RollDice({g.Archer}, ann);
    EXPECT_EQ(g.UI.Take().last(), u"show: Dice roll cancelled by user."_s);

    // A utility game asks nothing and gives its own reason.
    g.Game.Utility = true;
    g.Game.AdvanceStep();
    ASSERT_EQ(g.Game.PhaseName(), u"Maneuver 2"_s);
    g.Commands.RollDice({g.Scout}, ann);
    EXPECT_EQ(g.UI.Take().first(), u"show: > Dice Roll:  Utility"_s);
}

TEST(GameCommandsTest, DraggedDiceAreSummedByTheArmyTheyCameFrom)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    game.Player(1)->Name = u"Ann"_s;
    game.Player(2)->Name = u"Bo"_s;
    TScriptedGameUI ui;
    TGameCommands commands(game, ui);
    TTerrainInPlay &frontier = *game.Place(GamePlace::Frontier);
    TTerrainInPlay &summoning = game.FixedPlace(GamePlace::SummoningPool);
    TTerrainInPlay &dead = game.FixedPlace(GamePlace::DeadPool);
    frontier.PutTerrainDie(c.Catalogue.MajorTerrain(0));
    TDieInPlay &annDrake = PutDie(*summoning.Army(1), c.Drake());
    TDieInPlay &boDrake = PutDie(*summoning.Army(2), c.Drake());

    // Before the start every drag is an initial placement.
    ui.Reasons = {u"Initial Placement"_s};
    commands.DropDice({&annDrake, &boDrake}, summoning, frontier);
    EXPECT_EQ(ui.Take().first(), u"reason: Move 2 dice to Frontier / Enter reason for move. / Initial Placement"_s);
    EXPECT_EQ(ui.Requests.back().Reasons, MoveReasons());
    EXPECT_EQ(game.Log().filter(u"> Initial"_s),
              (QStringList{u"> Initial Placement: 5 health from Ann's Army at Summoning Pool moved to Frontier"_s,
                           u"> Initial Placement: 5 health from Bo's Army at Summoning Pool moved to Frontier"_s}));
    EXPECT_EQ(frontier.DragonCount(), 2);

    game.Start();
    game.ClearLog();
    ui.Reasons = {u"Killed in Combat"_s};
    commands.DropDice({&annDrake, &boDrake}, frontier, dead);
    QStringList events = ui.Take();
    EXPECT_EQ(events.first(), u"reason: Move 2 dice to Dead Pool / Enter reason for move. / Killed in Combat"_s);
    EXPECT_EQ(events.last(), u"rebuild grids"_s);
    EXPECT_EQ(game.Log(), (QStringList{u"Dice move:  Killed in Combat"_s,
                                       u"Emberkin Ash Drake[24] moved from Frontier to Dead Pool."_s,
                                       u"Emberkin Ash Drake[25] moved from Frontier to Dead Pool."_s,
                                       u"> Killed in Combat: 2 dragons moved to Dead Pool."_s}));
    EXPECT_EQ(dead.Army(1)->Die(0), &annDrake);
    EXPECT_EQ(dead.Army(2)->Die(0), &boDrake);

    // The proposals of the other phases; a cancel moves nothing.
    const auto proposed = [&](TTerrainInPlay &from, TTerrainInPlay &to) {
        ui.Reasons = {std::nullopt};
        commands.DropDice({}, from, to);
        const QStringList taken = ui.Take();
        EXPECT_EQ(taken.last(), u"show: Dice drag cancelled by user."_s);
        return taken.first().section(u" / "_s, 2);
    };
    EXPECT_EQ(proposed(summoning, frontier), u"Summoning"_s);
    EXPECT_EQ(proposed(frontier, dead), u"Killed in Combat"_s);
    EXPECT_EQ(proposed(frontier, game.Home(1)), QString());
    game.AdvancePhase();
    game.AdvancePhase();
    game.AdvancePhase();
    EXPECT_EQ(proposed(frontier, dead), u"Reinforcing"_s);
    game.AdvanceStep();
    EXPECT_EQ(proposed(frontier, game.FixedPlace(GamePlace::Reserves)), u"Retreating"_s);
    EXPECT_EQ(proposed(game.FixedPlace(GamePlace::Reserves), frontier), u"Firewalking"_s);
}

TEST(GameCommandsTest, SpellsAreCastOnTheirTargetsAndDispelled)
{
    TGameCatalogue c;
    TStartedGame g(c);
    TArmyInPlay &ann = *g.Frontier().Army(1);
    const TCastSetup none = CastSetup(nullptr, {});
    EXPECT_EQ(none.ArmyCaption, u"No Army Selected"_s);
    EXPECT_EQ(none.MarkedCaption, u"No dice selected."_s);
    EXPECT_EQ(none.Initial, TSpellTargetKind::Terrain);
    const TCastSetup two = CastSetup(nullptr, {g.Scout, g.Archer});
    EXPECT_EQ(two.MarkedCaption, u"2 Marked Dice (4 health)"_s);
    EXPECT_EQ(two.Initial, TSpellTargetKind::MarkedDice);
    const TCastSetup one = CastSetup(&ann, {g.Scout});
    EXPECT_EQ(one.MarkedCaption, u"Marked Reedfolk Marsh Scout[24] in Ann's Army at Frontier"_s);
    EXPECT_EQ(one.ArmyCaption, u"Ann's Army at Frontier"_s);
    EXPECT_EQ(one.Initial, TSpellTargetKind::Army);

    g.Commands.CastSpell({g.Game.Player(2), u"Quake"_s, SpellDuration::Instant, {&g.Frontier()}, false});
    EXPECT_EQ(g.Game.Log(), (QStringList{u"> New spell/effect:  Quake."_s, u"Applying to Frontier."_s,
                                         u"Spell/effect Quake applied."_s, u"Expiring spells and effects for Bo."_s,
                                         u"Quake expired."_s}));
    EXPECT_TRUE(g.Game.Player(2)->Spells(SpellDuration::Instant).empty());
    EXPECT_TRUE(std::none_of(g.Frontier().Effects().begin(), g.Frontier().Effects().end(),
                             [](const TSpell *spell) { return spell->Name() == u"Quake"_s; }));

    g.Game.ClearLog();
    g.Commands.CastSpell({g.Game.Player(1), u"Haste"_s, SpellDuration::EndOfThisMarch, {g.Scout, g.Archer}, true});
    // Each target is applied to and rolled in turn.
    ASSERT_EQ(g.Game.Log().size(), 6);
    EXPECT_EQ(g.Game.Log()[1], u"Applying to Reedfolk Marsh Scout[24] in Ann's Army at Frontier."_s);
    EXPECT_TRUE(g.Game.Log()[2].endsWith(u" rolled by Reedfolk Marsh Scout[24] in Ann's Army at Frontier."_s));
    EXPECT_EQ(g.Game.Log()[3], u"Applying to Reedfolk Reed Archer[25] in Ann's Army at Frontier."_s);
    EXPECT_EQ(g.Game.Log()[5], u"Spell/effect Haste applied."_s);
    EXPECT_EQ(TScriptedGameUI::Of(g.UI.Take(), u"refresh"_s).size(), 2);
    const TSpell &haste = *g.Game.Player(1)->Spells(SpellDuration::EndOfThisMarch).front();
    EXPECT_EQ(haste.Targets().size(), 2u);
    g.Commands.RemoveSpell(haste);
    EXPECT_EQ(g.UI.Take(), QStringList{u"show: > Spell Haste deleted."_s});
    EXPECT_TRUE(g.Scout->Effects().empty());
}

TEST(GameCommandsTest, RoutsManeuversAndMinorTerrains)
{
    TGameCatalogue c;
    TStartedGame g(c);
    TTerrainInPlay &frontier = g.Frontier();
    EXPECT_EQ(RoutState(nullptr).Status, u"No terrain selected."_s);
    frontier.PutFace(1);
    EXPECT_EQ(RoutState(&frontier).Status, u"Cannot rout at a terrain on the first face."_s);
    EXPECT_FALSE(RoutState(&frontier).OK);
    g.UI.Routs = {&frontier};
    g.Commands.Rout(g.Frontier().Army(1));
    EXPECT_EQ(g.UI.Take(), QStringList{u"rout: Frontier"_s}) << "refused";
    frontier.PutFace(2);
    EXPECT_EQ(RoutState(&frontier).Status, u"Turn Coastland City to 1 Magic."_s);
    g.Game.Player(2)->AddSpell(u"Shield"_s, SpellDuration::EndOfThisAction);
    g.UI.Routs = {&frontier};
    g.Commands.Rout(nullptr);
    EXPECT_EQ(g.UI.Take(), (QStringList{u"rout: (none)"_s, u"refresh: Frontier"_s, u"refresh status"_s}));
    EXPECT_EQ(frontier.Face(), 1);
    EXPECT_EQ(g.Game.Log(), (QStringList{u"Routing at Frontier."_s, u"> Frontier moved down to 1 Magic."_s,
                                         u"Expiring spells and effects for Bo."_s, u"Shield expired."_s}));

    // The maneuver dialog's lines.
    TPlayer &ann = *g.Game.Player(1);
    const auto state = [&](TTerrainInPlay *terrain, TManeuverAction action, int slot = -1) {
        return ManeuverState(g.Game, {terrain, action, slot});
    };
    EXPECT_EQ(state(nullptr, TManeuverAction::MoveUp).Status, u"No terrain selected."_s);
    EXPECT_EQ(state(&frontier, TManeuverAction::None).Status, u"Select a maneuver action."_s);
    EXPECT_EQ(state(&frontier, TManeuverAction::MoveDown).Status, u"Select a maneuver action."_s)
        << "face 1 cannot go down";
    EXPECT_FALSE(state(&frontier, TManeuverAction::MoveDown).MoveDownEnabled);
    EXPECT_EQ(state(&frontier, TManeuverAction::MoveUp).Status, u"Turn Coastland City to 2 Missile."_s);
    EXPECT_FALSE(state(&frontier, TManeuverAction::MinorTerrain).MinorTerrainEnabled);
    ann.SetMinorTerrainIndex(0, 5);  // Flatland Forest
    ann.SetMinorTerrainIndex(2, 1);  // Coastland Forest
    EXPECT_EQ(state(&frontier, TManeuverAction::MinorTerrain).Status, u"Select a minor terrain."_s);
    EXPECT_EQ(state(&frontier, TManeuverAction::MinorTerrain, 0).Status, u"Select a compatible minor terrain."_s);
    EXPECT_FALSE(state(&frontier, TManeuverAction::MinorTerrain, 0).OK);
    EXPECT_EQ(state(&frontier, TManeuverAction::MinorTerrain, 2).Status, u"Place Coastland Forest."_s);
    g.Game.AdvancePhase();
    g.Game.SetMarchTerrain(&frontier);
    g.UI.Maneuvers = {TManeuverChoice{&frontier, TManeuverAction::MinorTerrain, 2}};
    g.UI.Answers = {TGameAnswer::No};
    g.Commands.Maneuver(frontier.Army(1));
    EXPECT_EQ(frontier.Army(1)->MinorTerrainName(), u"Coastland Forest"_s);
    EXPECT_EQ(ann.MinorTerrain(2), nullptr);
    EXPECT_TRUE(g.UI.Take().contains(u"ask: Begin action phase for this march?"_s))
        << "a maneuver in the maneuver step goes on to the next phase";

    // Burying: a disaster face goes at once, any other face is asked about.
    g.Commands.BuryMinorTerrain(nullptr);
    EXPECT_EQ(g.UI.Take(), QStringList{u"warning: Select an army with a minor terrain."_s});
    frontier.Army(1)->PutMinorTerrainFace(3);
    g.UI.Answers = {TGameAnswer::No};
    g.Commands.BuryMinorTerrain(frontier.Army(1));
    EXPECT_EQ(g.UI.Take(), (QStringList{u"ask: Bury Coastland Forest for Ann's Army at Frontier?"_s,
                                        u"show: Minor terrain burial cancelled by user."_s}));
    frontier.Army(1)->PutMinorTerrainFace(1);
    g.Commands.BuryMinorTerrain(frontier.Army(1));
    EXPECT_EQ(g.UI.Take(), QStringList{u"rebuild army grid"_s});
    EXPECT_EQ(frontier.Army(1)->MinorTerrain(), nullptr);
}

TEST(GameCommandsTest, TerrainDiceAndTheUtilityCommands)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 1, u"G"_s);
    TScriptedGameUI ui;
    TGameCommands commands(game, ui);
    TTerrainInPlay &home = game.Home(1);
    ui.Numbers = {std::nullopt, 47};
    commands.SetTerrain(home);
    EXPECT_EQ(ui.Take(), (QStringList{u"terrain die: Player 1's Home"_s, u"show: Terrain set aborted by user."_s}));
    commands.SetTerrain(home);
    EXPECT_EQ(ui.Take(), (QStringList{u"terrain die: Player 1's Home"_s, u"refresh: Player 1's Home"_s,
                                      u"update menus"_s, u"show: Terrain die set for Player 1's Home"_s}));
    EXPECT_EQ(home.TerrainDie()->Name, u"Feyland Vortex"_s);
    ui.Numbers = {5};
    commands.SetTerrainFace(home);
    EXPECT_EQ(ui.Take().first(), u"number: Select the new face for Player 1's Home. (1 to 8)"_s);
    EXPECT_EQ(home.Face(), 5);
    ui.Answers = {TGameAnswer::Yes};
    commands.RollTerrain(home);
    EXPECT_EQ(ui.Take(), (QStringList{u"ask: Roll Player 1's Home?"_s, u"refresh: Player 1's Home"_s}));
    EXPECT_TRUE(game.Log().last().endsWith(u" rolled by Player 1's Home."_s));
}

TEST(GameCommandsTest, PlacingArmiesAndGroups)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    game.Player(2)->Name = u"Bo"_s;
    TScriptedGameUI ui;
    TGameCommands commands(game, ui);
    TArmy keep(c.Catalogue);
    keep.SetArmyType(ArmyType::HomeArmy);
    keep.AddDie(c.Guard());
    TArmy raiders(c.Catalogue);
    raiders.SetArmyType(ArmyType::CampaignArmy);
    raiders.AddDie(c.Scout());
    TArmy pool(c.Catalogue);
    pool.SetArmyType(ArmyType::SummoningPool);
    pool.AddDie(c.Drake());

    EXPECT_EQ(commands.ApplyArmy(*game.Player(2), game.FixedPlace(GamePlace::Reserves), raiders, u"Raiders"_s),
              u"Raiders stored at Reserves."_s);
    EXPECT_EQ(ui.Take(), QStringList{u"refresh: Reserves"_s});
    EXPECT_EQ(commands.ApplyGroup(*game.Player(2), u"Clan"_s, {{&keep, u"Keep"_s}, {&raiders, u"Raiders"_s}, {&pool, u"Pool"_s}}),
              u"Clan loaded into default terrains."_s);
    EXPECT_EQ(ui.Take(), (QStringList{u"refresh: Bo's Home"_s, u"refresh: Frontier"_s, u"refresh: Summoning Pool"_s}));
    EXPECT_EQ(game.Home(2).Army(2)->DieCount(), 1);
    EXPECT_TRUE(game.Home(2).HasTerrainDie());
    EXPECT_EQ(game.FixedPlace(GamePlace::SummoningPool).Army(2)->DieCount(), 1);

    // Transfer to an army document, and the burial vault erased.
    TArmy copy(c.Catalogue);
    copy.SetName(u"Copy"_s);
    commands.TransferArmy(*game.Home(2).Army(2), copy);
    EXPECT_EQ(ui.Take(), (QStringList{u"show: Copying dice to Copy..."_s,
                                      u"show: Stoneborn\nQuarry Guard (4)\n1 Move added to Copy.  Total health now 4/0."_s,
                                      u"show: 1 dice transferred to Copy."_s}));
    EXPECT_EQ(copy.Dice().size(), 1u);
    PutDie(*game.FixedPlace(GamePlace::BurialVault).Army(1), c.Scout());
    commands.EraseBurialVault();
    EXPECT_TRUE(game.FixedPlace(GamePlace::BurialVault).Army(1)->Empty());
    EXPECT_TRUE(game.Log().filter(u"Burial"_s).isEmpty());
}

TEST(GameCommandsTest, ControlChangesHands)
{
    TGameCatalogue c;
    TStartedGame g(c);
    // Ann controls and it is her turn: any player may be chosen.
    g.UI.Controllers = {TControlChoice{g.Game.Player(2), u"Your reaction, Bo."_s}};
    g.Commands.TransferControl(true);
    EXPECT_EQ(g.UI.Take(), (QStringList{u"new controller"_s, u"show: Control transferred to Bo."_s,
                                        u"show: >* Your reaction, Bo."_s, u"send control change"_s,
                                        u"refresh status"_s, u"update menus"_s}));
    EXPECT_EQ(g.Game.Log(), (QStringList{u"Bo now has control."_s, u">* Your reaction, Bo."_s}));
    EXPECT_EQ(ControlMessage(g.Game, u"bo@example.org"_s), std::nullopt) << "Bo's address is not in the game yet";
    g.Game.Player(2)->Email = u"bo@example.org"_s;
    EXPECT_EQ(ControlMessage(g.Game, u"bo@example.org"_s), u"Your reaction, Bo."_s);
    // Bo, in control during Ann's turn, can only hand it back.
    g.UI.Answers = {TGameAnswer::OK};
    g.Commands.TransferControl(true);
    EXPECT_EQ(g.UI.Take().first(), u"ask: Transfer control back to Ann?"_s);
    EXPECT_EQ(g.Game.Controller(), g.Game.Player(1));
    EXPECT_EQ(ControlMessage(g.Game, u"ann@example.org"_s), u"You now have control of the game."_s);

    g.UI.Answers = {TGameAnswer::Yes};
    g.Commands.EmergencyUnlock();
    EXPECT_EQ(g.UI.Take().first(), u"warn-ask: Are you ABSOLUTELY SURE you want to do an emergency unlock of this game?"_s);
    EXPECT_EQ(g.Game.Controller(), nullptr);
    EXPECT_EQ(g.Game.Log().mid(g.Game.Log().size() - 2),
              (QStringList{u"Game is now uncontrolled."_s, u">* Emergency unlock."_s}));
    EXPECT_EQ(ControlMessage(g.Game, u"ann@example.org"_s), std::nullopt);
}

TEST(GameCommandsTest, NewGamesFollowTheDialog)
{
    TGameCatalogue c;
    TNewGame choice;
    choice.FirstPlayer = u"Ann"_s;
    choice.Players = 3;
    choice.Mode = TPlayMode::Ftp;
    choice.StaggeredStart = true;
    EXPECT_TRUE(NewGameComplete(choice));
    auto game = CreateGame(c.Catalogue, c.Clock, choice, u"ann@example.org"_s);
    EXPECT_EQ(game->Name(), u"New Game"_s);
    EXPECT_EQ(game->Player(1)->Email, u"ann@example.org"_s);
    EXPECT_TRUE(game->FtpGame && game->StaggeredStart && !game->Utility);
    EXPECT_EQ(game->Controller(), game->Player(1));
    EXPECT_EQ(game->Log(), QStringList{u"Ann now has control."_s});

    choice.Mode = TPlayMode::Utility;
    game = CreateGame(c.Catalogue, c.Clock, choice, u"ann@example.org"_s);
    EXPECT_TRUE(game->Utility && !game->StaggeredStart && !game->FtpGame);
    EXPECT_EQ(game->Controller(), nullptr) << "a utility game is never controlled";
    choice.FirstPlayer.clear();
    EXPECT_FALSE(NewGameComplete(choice));
}

TEST(GameCommandsTest, AFailingCommandReportsItsContext)
{
    TGameCatalogue c;
    TStartedGame g(c);
    // A die whose faces were all taken away cannot be rolled.
    TDie &blank = c.MakeDie(u"Blank"_s, 1, {});
    TDieInPlay &die = PutDie(*g.Frontier().Army(1), blank);
    g.Game.AdvanceStep();
    g.Game.AdvanceStep();
    g.UI.RollReasons = {TRollReasonAnswer{u"Magic"_s, kNoTarget}};
    g.Commands.RollDice({&die}, nullptr);
    const QStringList events = g.UI.Take();
    EXPECT_EQ(events.mid(events.size() - 2),
              (QStringList{u"show: Error rolling dice."_s, u"report: rolling dice: Cannot roll a die with 0 sides."_s}));
    EXPECT_EQ(g.UI.Busy, 0) << "the busy cursor ends with the failure";
}

TEST(GameCommandsTest, TheGridsShowThePlacesArmiesAndDice)
{
    TGameCatalogue c;
    TStartedGame g(c);
    TTerrainInPlay &frontier = g.Frontier();
    frontier.Army(1)->OwnsTerrain = true;
    frontier.Army(1)->PutMinorTerrain(c.Catalogue.MinorTerrain(3));
    frontier.Army(1)->PutMinorTerrainFace(2);
    TDieInPlay &drake = PutDragon(frontier, 2, c.Drake());
    const TTerrainGridColumn column = TerrainGridColumn(g.Game, frontier);
    EXPECT_EQ(column.Header, u"Frontier"_s);
    ASSERT_EQ(column.Cells.size(), 4u);
    EXPECT_EQ(column.Cells[0].Text, u"Coastland City\n8 City"_s);
    EXPECT_EQ(column.Cells[0].Object, &frontier);
    EXPECT_EQ(column.Cells[1].Text, u"1 dragons"_s);
    EXPECT_EQ(column.Cells[1].Object, &frontier);
    EXPECT_EQ(column.Cells[2].Text, u"Ann's Army\n4 health"_s);
    EXPECT_TRUE(column.Cells[2].Highlighted);
    EXPECT_EQ(column.Cells[3].Text, u"Bo's Army\n1 health"_s);
    EXPECT_FALSE(column.Cells[3].Highlighted);

    const std::vector<TArmyGridColumn> armies = ArmyGridColumns(g.Game, frontier);
    ASSERT_EQ(armies.size(), 3u);
    EXPECT_EQ(armies[0].Header, u"Dragons"_s);
    EXPECT_EQ(armies[0].Army, nullptr);
    EXPECT_EQ(armies[0].Cells.front().Object, &drake);
    EXPECT_EQ(armies[1].Header, u"Ann's Army"_s);
    ASSERT_EQ(armies[1].Cells.size(), 3u);
    EXPECT_EQ(armies[1].Cells[0].Text, u"Coastland Village\nMagic"_s) << "the minor terrain comes first";
    EXPECT_EQ(armies[1].Cells[0].Object, frontier.Army(1));
    EXPECT_EQ(armies[1].Cells[1].Object, g.Scout);
    EXPECT_EQ(armies[2].Cells.size(), 1u);

    // A place with empty armies: the place and blank cells; no army columns.
    const TTerrainGridColumn pool = TerrainGridColumn(g.Game, g.Game.FixedPlace(GamePlace::DeadPool));
    EXPECT_EQ(pool.Cells[0].Text, u"(none)"_s);
    EXPECT_EQ(pool.Cells[1].Object, nullptr);
    EXPECT_TRUE(ArmyGridColumns(g.Game, g.Game.FixedPlace(GamePlace::DeadPool)).empty());

    // A player whose only army is in the reserves marches from there.
    g.Frontier().Army(1)->Erase();
    PutDie(*g.Game.FixedPlace(GamePlace::Reserves).Army(1), c.Guard());
    g.UI.Marches = {std::nullopt};
    g.Commands.NextMarch();
    EXPECT_EQ(g.UI.Take().first(), u"march: Reserves, 4h"_s);
}
