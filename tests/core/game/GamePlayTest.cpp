#include "GameFixture.h"
#include "army/ArmyData.h"

#include <gtest/gtest.h>

#include <map>

using namespace Qt::StringLiterals;

namespace {

QString State(const TGame &game)
{
    return u"round %1, player %2, %3"_s.arg(game.Round()).arg(game.CurrentPlayerNumber()).arg(game.PhaseName());
}

QStringList EffectNames(const TSpellTarget &target)
{
    QStringList names;
    for (const TSpell *spell : target.Effects())
        names << spell->Name() + u'/' + QString::number(spell->CasterRace());
    return names;
}

} // namespace

TEST(GamePlayTest, StepsAndPhasesRunThroughTheTurnsAndRounds)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    game.Player(1)->Name = u"Ann"_s;
    game.Player(2)->Name = u"Bo"_s;
    game.SetPosition(*game.Player(2), 1);
    game.Start();
    EXPECT_EQ(game.Log().last(), u">**** Starting first round with Bo's turn."_s);
    EXPECT_EQ(State(game), u"round 1, player 2, Start"_s);
    QStringList seen;
    for (int i = 0; i < 13; ++i) {
        game.AdvanceStep();
        seen << State(game);
    }
    EXPECT_EQ(seen, (QStringList{u"round 1, player 2, Maneuver 1"_s, u"round 1, player 2, Action 1"_s,
                                 u"round 1, player 2, Maneuver 2"_s, u"round 1, player 2, Action 2"_s,
                                 u"round 1, player 2, Reinforce"_s,  u"round 1, player 2, Retreat"_s,
                                 u"round 1, player 1, Start"_s,      u"round 1, player 1, Maneuver 1"_s,
                                 u"round 1, player 1, Action 1"_s,   u"round 1, player 1, Maneuver 2"_s,
                                 u"round 1, player 1, Action 2"_s,   u"round 1, player 1, Reinforce"_s,
                                 u"round 1, player 1, Retreat"_s}));
    game.SetMarchTerrain(game.Place(GamePlace::Frontier));
    game.ClearLog();
    game.AdvanceStep();
    EXPECT_EQ(State(game), u"round 2, player 2, Start"_s);
    EXPECT_EQ(game.MarchTerrain(), nullptr);
    EXPECT_EQ(game.Log(), (QStringList{u"> **** Starting round 2."_s, u">* STARTING TURN for Bo."_s}))
        << "the round line comes before the turn of the first player";
    // The phase advances straight from the start to the first march.
    game.AdvancePhase();
    EXPECT_EQ(State(game), u"round 2, player 2, Maneuver 1"_s);
    game.AdvancePhase();
    game.AdvancePhase();
    EXPECT_EQ(State(game), u"round 2, player 2, Reinforce"_s);
    game.AdvancePhase();
    EXPECT_EQ(State(game), u"round 2, player 1, Start"_s);
}

TEST(GamePlayTest, SpellsExpireWithTheirStepPhaseAndTurn)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    TPlayer &ann = *game.Player(1);
    TPlayer &bo = *game.Player(2);
    ann.Name = u"Ann"_s;
    bo.Name = u"Bo"_s;
    game.Start();
    // Round 1 to round 3, Ann's turn.
    for (int turns = 0; turns < 4; ++turns)
        game.EndTurn();
    ASSERT_EQ(State(game), u"round 3, player 1, Start"_s);
    TSpell &own = ann.AddSpell(u"Own"_s, SpellDuration::EndOfNextTurn);
    TSpell &cast = bo.AddSpell(u"Cast in Ann's turn"_s, SpellDuration::EndOfNextTurn);
    EXPECT_EQ(own.Round(), 3);
    EXPECT_EQ(cast.Round(), 2);
    ann.AddSpell(u"Action"_s, SpellDuration::EndOfThisAction);
    bo.AddSpell(u"March"_s, SpellDuration::EndOfThisMarch);
    bo.AddSpell(u"Next start"_s, SpellDuration::StartOfNextTurn);
    ann.AddSpell(u"Ever"_s, SpellDuration::Permanent);

    game.ClearLog();
    game.AdvanceStep(); // to the first march: actions and marches end
    EXPECT_EQ(game.Log(), (QStringList{u"Expiring spells and effects for Ann."_s, u"Action expired."_s,
                                       u"Expiring spells and effects for Bo."_s, u"March expired."_s}));
    game.ClearLog();
    game.EndTurn();
    EXPECT_EQ(game.Log(), (QStringList{u">* STARTING TURN for Bo."_s, u"Expiring spells and effects for Bo."_s,
                                       u"Next start expired."_s}))
        << "Ann's own one-turn spell outlives the turn it was cast in";
    game.ClearLog();
    game.EndTurn();
    EXPECT_EQ(game.Log(), (QStringList{u"Expiring spells and effects for Bo."_s, u"Cast in Ann's turn expired."_s,
                                       u"> **** Starting round 4."_s, u">* STARTING TURN for Ann."_s}));
    game.ClearLog();
    game.EndTurn();
    EXPECT_EQ(game.Log(), (QStringList{u"Expiring spells and effects for Ann."_s, u"Own expired."_s,
                                       u">* STARTING TURN for Bo."_s}));
    EXPECT_EQ(ann.Spells(SpellDuration::Permanent).size(), 1u);
    game.ClearLog();
    ann.AddSpell(u"Again"_s, SpellDuration::EndOfThisAction);
    game.ResetPhase();
    EXPECT_EQ(game.Log(), (QStringList{u"Expiring spells and effects for Ann."_s, u"Again expired."_s}));
}

TEST(GamePlayTest, TheStartAddsTheRaceEffectsOfEveryTerrain)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    game.Place(GamePlace::Frontier)->PutTerrainDie(c.Catalogue.MajorTerrain(1)); // Coastland
    game.Home(1).PutTerrainDie(c.Catalogue.MajorTerrain(9));                      // Highland
    game.Start();
    // Races in list order: Reedfolk (3), Stoneborn (9), Emberkin (7, a Dragonkin race).
    EXPECT_EQ(EffectNames(*game.Place(GamePlace::Frontier)),
              (QStringList{u"Maneuvers As Missile/3"_s, u"Intangible/9"_s, u"Armored/7"_s}));
    EXPECT_EQ(EffectNames(game.Home(1)), (QStringList{u"Intangible/9"_s, u"Armored/7"_s}))
        << "Stoneborn are at home in the highlands but have no maneuver effect";
    EXPECT_TRUE(game.Home(2).Effects().empty());
    EXPECT_EQ(game.GameEffects().size(), 5u);
    EXPECT_EQ(game.GameEffects().front()->Round(), 0);
    EXPECT_EQ(game.Round(), 1);
}

TEST(GamePlayTest, DiceAndDragonsMoveAsTheyAreDragged)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    game.Player(1)->Name = u"Ann"_s;
    game.Player(2)->Name = u"Bo"_s;
    TTerrainInPlay &frontier = *game.Place(GamePlace::Frontier);
    TTerrainInPlay &summoning = game.FixedPlace(GamePlace::SummoningPool);
    TTerrainInPlay &dead = game.FixedPlace(GamePlace::DeadPool);
    frontier.PutTerrainDie(c.Catalogue.MajorTerrain(0));
    TDieInPlay &drake = PutDie(*summoning.Army(1), c.Drake());
    TDieInPlay &other = PutDie(*summoning.Army(2), c.Drake());

    EXPECT_TRUE(game.MoveDie(drake, frontier));
    EXPECT_EQ(drake.ContainingArmy(), nullptr);
    EXPECT_EQ(frontier.Dragon(0), &drake);
    EXPECT_EQ(drake.PlaceIndex(), GamePlace::Frontier);
    EXPECT_TRUE(game.MoveDie(other, frontier));
    EXPECT_EQ(game.Log().mid(0, 2),
              (QStringList{u"Emberkin Ash Drake[24] moved from Ann's Army at Summoning Pool to Frontier."_s,
                           u"> Ann's Army has abandoned Summoning Pool."_s}));
    EXPECT_FALSE(game.MoveDie(other, frontier)) << "a dragon already standing there stays put";

    game.ClearLog();
    EXPECT_TRUE(game.MoveDie(drake, dead));
    EXPECT_EQ(drake.ContainingArmy(), dead.Army(1));
    EXPECT_EQ(drake.PlaceIndex(), GamePlace::DeadPool);
    EXPECT_EQ(game.Log(), QStringList{u"Emberkin Ash Drake[24] moved from Frontier to Dead Pool."_s});

    // A die that is not a dragon joins its player's army at the terrain.
    TDieInPlay &scout = PutDie(*game.FixedPlace(GamePlace::Reserves).Army(2), c.Scout());
    PutDie(*game.FixedPlace(GamePlace::Reserves).Army(2), c.Archer());
    game.ClearLog();
    EXPECT_TRUE(game.MoveDie(scout, frontier));
    EXPECT_EQ(scout.ContainingArmy(), frontier.Army(2));
    EXPECT_EQ(game.Log(), QStringList{u"Reedfolk Marsh Scout[26] moved from Reserves to Bo's Army at Frontier."_s})
        << "the army left behind still has the archer";
    EXPECT_FALSE(game.MoveDie(scout, frontier));
}

TEST(GamePlayTest, AnArmyThatAbandonsItsTerrainGivesItUp)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    game.Player(1)->Name = u"Ann"_s;
    TTerrainInPlay &frontier = *game.Place(GamePlace::Frontier);
    frontier.PutTerrainDie(c.Catalogue.MajorTerrain(0));
    TArmyInPlay &ann = *frontier.Army(1);
    TDieInPlay &scout = PutDie(ann, c.Scout());
    ann.PutMinorTerrain(c.Catalogue.MinorTerrain(0));
    frontier.PutFace(7);
    game.ClearLog();
    frontier.MoveUp();
    ann.ClaimTerrain();
    EXPECT_TRUE(ann.OwnsTerrain);
    EXPECT_EQ(ann.MinorTerrain(), nullptr) << "claiming buries the minor terrain";
    EXPECT_EQ(game.Log(), (QStringList{u"> Frontier moved up to 8 City."_s, u"> Ann's Army OWNS FRONTIER!"_s,
                                       u"Minor terrain for Ann's Army at Frontier buried."_s}));
    frontier.MoveUp();
    EXPECT_EQ(frontier.Face(), 8);

    ann.PutMinorTerrain(c.Catalogue.MinorTerrain(1));
    game.ClearLog();
    game.MoveDie(scout, game.FixedPlace(GamePlace::DeadPool));
    EXPECT_EQ(game.Log(), (QStringList{u"Reedfolk Marsh Scout[24] moved from Frontier to Ann's Army at Dead Pool."_s,
                                       u"> Ann's Army has abandoned Frontier."_s,
                                       u"> Frontier moved down to 7 Melee."_s,
                                       u"Minor terrain for Ann's Army at Frontier buried."_s}));
    EXPECT_FALSE(ann.OwnsTerrain);
    EXPECT_EQ(frontier.Face(), 7);

    // Down from 7 to 6 changes nobody's hold; another army's claim ends Ann's.
    frontier.Army(2)->OwnsTerrain = true;
    frontier.MoveDown();
    EXPECT_TRUE(frontier.Army(2)->OwnsTerrain);
    ann.ClaimTerrain();
    EXPECT_FALSE(frontier.Army(2)->OwnsTerrain);
    frontier.PutFace(1);
    frontier.MoveDown();
    EXPECT_EQ(frontier.Face(), 1);
}

TEST(GamePlayTest, TerrainRollsNeverShowSevenOrEight)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 1, u"G"_s);
    TTerrainInPlay &frontier = *game.Place(GamePlace::Frontier);
    frontier.SetTerrainDie(3);
    EXPECT_EQ(game.Log().last(), u"> Frontier terrain die set to Coastland Tower."_s);
    std::map<int, int> faces;
    for (int i = 0; i < 1400; ++i) {
        frontier.RollTerrain();
        ++faces[frontier.Face()];
    }
    EXPECT_EQ(faces.size(), 6u);
    EXPECT_EQ(faces.count(7) + faces.count(8), 0u);
    EXPECT_GT(faces[6], faces[5] * 3 / 2) << "a seven counts as a six";
    EXPECT_EQ(game.Log().last(), u"> "_s + frontier.FaceText() + u" rolled by Frontier."_s);
}

TEST(GamePlayTest, MinorTerrainsArePlayedRolledAndBuried)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 1, u"G"_s);
    TPlayer &player = *game.Player(1);
    TArmyInPlay &army = *game.Place(GamePlace::Frontier)->Army(1);
    player.SetMinorTerrainIndex(2, 5);
    EXPECT_EQ(player.FreeMinorSlot(), 0);
    game.ClearLog();
    player.PlayMinorTerrain(1, army);
    EXPECT_TRUE(game.Log().isEmpty()) << "an empty slot plays nothing";
    player.PlayMinorTerrain(2, army);
    EXPECT_EQ(player.MinorTerrain(2), nullptr);
    EXPECT_EQ(army.MinorTerrainName(), u"Flatland Forest"_s);
    ASSERT_EQ(game.Log().size(), 2);
    EXPECT_EQ(game.Log()[0], u"> Flatland Forest put in play for Player 1's Army at Frontier."_s);
    EXPECT_EQ(game.Log()[1], u"> Minor terrain for Player 1's Army at Frontier rolled "_s + army.MinorTerrainFaceText() +
                                 u'.');
    army.BuryMinorTerrain();
    EXPECT_EQ(army.MinorTerrain(), nullptr);
    EXPECT_EQ(game.Log().last(), u"Minor terrain for Player 1's Army at Frontier buried."_s);
}

TEST(GamePlayTest, ArmiesAreImportedFromArmyDocuments)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    game.Player(1)->Name = u"Ann"_s;
    TArmy home(c.Catalogue);
    home.SetName(u"Keep"_s);
    home.SetArmyType(ArmyType::HomeArmy);
    home.SetMajorTerrain(10);
    home.AddDie(c.Scout());
    home.AddDie(c.Drake());
    home.AddDie(c.Scout());
    for (int k = 1; k <= 4; ++k)
        home.SetMinorTerrain(k, 10 + k);
    TPlayer &ann = *game.Player(1);
    ann.SetMinorTerrainIndex(1, 3);
    ann.SetMinorTerrainIndex(3, 4);

    game.ClearLog();
    game.Home(1).Army(1)->Import(home, u"Keep"_s);
    EXPECT_EQ(game.Log(), (QStringList{u"Importing Ann's Army at Ann's Home from Keep."_s,
                                       u"Reedfolk Marsh Scout[24] imported."_s, u"Reedfolk Marsh Scout[25] imported."_s,
                                       u"> Ann's Home terrain die set to Highland Temple."_s}))
        << "the dragon stays out of a terrain";
    EXPECT_EQ(game.Home(1).Army(1)->DieCount(), 2);
    EXPECT_EQ(game.Home(1).Army(1)->Die(0)->Face(), 1);
    EXPECT_EQ(game.Home(1).Army(1)->Die(0)->PlaceIndex(), 6);
    // Two free slots for four minor terrains: the last two find none.
    EXPECT_EQ(ann.MinorTerrainIndex(0), 11);
    EXPECT_EQ(ann.MinorTerrainIndex(1), 3);
    EXPECT_EQ(ann.MinorTerrainIndex(2), 12);
    EXPECT_EQ(ann.MinorTerrainIndex(3), 4);

    // The summoning pool takes the dragon; a pool never gets a terrain die.
    game.ClearLog();
    game.FixedPlace(GamePlace::SummoningPool).Army(1)->Import(home, u"Keep"_s);
    EXPECT_EQ(game.FixedPlace(GamePlace::SummoningPool).Army(1)->DieCount(), 3);
    EXPECT_FALSE(game.FixedPlace(GamePlace::SummoningPool).HasTerrainDie());
    EXPECT_EQ(game.Log().size(), 4);
}

TEST(GamePlayTest, ManeuversAreCountedWithRerollsAndThePowerOfMagicItems)
{
    TGameCatalogue c;
    TIconDescriptor again;
    again.Name = u"Gallop"_s;
    again.Effects = {EffectFlag::Maneuver, EffectFlag::RerollManeuver};
    const qint32 gallop = c.Catalogue.Icons().Add(again);
    // One face each: the rolls are known.
    TDie &rider = c.MakeDie(u"Rider"_s, 2, {{gallop, 2}});
    TDie &walker = c.MakeDie(u"Walker"_s, 3, {{BasicIcon::Move, 3}});
    TDie &archer = c.MakeDie(u"Bowman"_s, 1, {{BasicIcon::Missile, 1}});
    TGame game(c.Catalogue, c.Clock, 1, u"G"_s);
    TArmyInPlay &army = *game.FixedPlace(GamePlace::Reserves).Army(1);
    PutDie(army, walker);
    PutDie(army, archer);
    EXPECT_EQ(army.CountManeuvers(), 3);
    EXPECT_EQ(game.Log().last(), u"Player 1's Army at Reserves rolled 3 maneuvers."_s);
    // A die that always shows a reroll of maneuvers stops after a hundred rolls.
    PutDie(army, rider);
    game.ClearLog();
    EXPECT_EQ(army.CountManeuvers(), 3 + 200);
    EXPECT_EQ(game.Log().size(), 1 + 1 + 100 + 1);

    // Magic items of health below 4 add their health less one under the rule.
    TRace &items = c.Catalogue.InsertRace(std::make_unique<TRace>(c.Catalogue, 20, u"Relics"_s));
    items.Type = RaceType::MagicItems;
    TDie &wand = AddDie(items, u"Wand"_s, 3, Profession::Mage);
    wand.SetFaceCount(1);
    wand.SetFace(0, BasicIcon::Move, 1);
    TArmyInPlay &magic = *game.Place(GamePlace::Frontier)->Army(1);
    PutDie(magic, wand);
    EXPECT_EQ(magic.CountManeuvers(), 1);
    c.Catalogue.Rules.PowerMagicItems = true;
    EXPECT_EQ(magic.CountManeuvers(), 3);
}
