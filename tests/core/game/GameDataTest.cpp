#include "GameFixture.h"
#include "game/GameLog.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QStringList Names(const std::vector<TTerrainInPlay *> &places)
{
    QStringList names;
    for (const TTerrainInPlay *place : places)
        names << place->FullName();
    return names;
}

QStringList Texts(const TEffectLines &lines)
{
    QStringList texts;
    for (const TEffectLine &line : lines)
        texts << line.Text;
    return texts;
}

QString Order(const TGame &game)
{
    QString order;
    for (int position = 1; position <= game.PlayerCount(); ++position)
        order += QString::number(game.TurnOrder(position));
    return order;
}

class TRecordingLogView : public TGameLogView
{
public:
    void ShowLines(const QStringList &lines) override { Lines = lines; }
    void AddLine(const QString &line) override { Lines << line; }
    QStringList Lines;
};

} // namespace

TEST(GameDataTest, ANewTwoPlayerGameHasEightPlacesEachWithAnEmptyArmyPerPlayer)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"Skirmish"_s);
    EXPECT_EQ(game.PlaceCount(), 8);
    EXPECT_EQ(Names(game.ListPlaces(false)),
              (QStringList{u"Promotion Pool"_s, u"Burial Vault"_s, u"Summoning Pool"_s, u"Dead Pool"_s,
                           u"Reserves"_s, u"Frontier"_s, u"Player 1's Home"_s, u"Player 2's Home"_s}));
    EXPECT_EQ(Names(game.ListPlaces(true)),
              (QStringList{u"Frontier"_s, u"Player 1's Home"_s, u"Player 2's Home"_s}));
    // IDs in creation order: each place, then its armies.
    for (int index = 0; index < 8; ++index) {
        const TTerrainInPlay &place = *game.Place(index);
        EXPECT_EQ(place.Index(), index);
        EXPECT_EQ(place.ID(), index * 3);
        EXPECT_EQ(place.Face(), 8);
        EXPECT_FALSE(place.HasTerrainDie());
        EXPECT_EQ(place.CellText(), u"(none)"_s);
        EXPECT_EQ(place.FaceText(), u"(none)"_s);
        for (int p = 1; p <= 2; ++p) {
            const TArmyInPlay &army = *place.Army(p);
            EXPECT_EQ(army.ID(), index * 3 + p);
            EXPECT_EQ(army.Player(), p);
            EXPECT_EQ(army.PlaceIndex(), index);
            EXPECT_TRUE(army.Empty());
            EXPECT_EQ(army.MinorTerrainFace(), 8);
            EXPECT_EQ(army.MinorTerrainName(), u"(none)"_s);
            EXPECT_EQ(game.FindTarget(army.ID()), &army);
        }
    }
    EXPECT_EQ(game.NextTargetID(), 24);
    EXPECT_EQ(game.TargetCount(), 24);
    EXPECT_EQ(game.Place(5)->IsTerrain(), true);
    EXPECT_EQ(game.Place(4)->IsTerrain(), false);
    EXPECT_EQ(game.Player(2)->Name, u"Player 2"_s);
    EXPECT_EQ(Order(game), u"12"_s);
    EXPECT_EQ(game.TurnPosition(), 1);
    EXPECT_EQ(game.CurrentPlayerNumber(), 1);
    EXPECT_EQ(game.Round(), 0);
    EXPECT_EQ(game.PhaseName(), u"Start"_s);
    EXPECT_EQ(game.ControllerNumber(), -1);
    EXPECT_FALSE(game.Modified());
    EXPECT_FALSE(game.FtpGame || game.StaggeredStart || game.Utility);

    // Lookups outside the game give none.
    EXPECT_EQ(game.Place(-1), nullptr);
    EXPECT_EQ(game.Place(0)->FullName(), u"Promotion Pool"_s);
    EXPECT_EQ(game.Place(5)->FullName(), u"Frontier"_s);
    EXPECT_EQ(game.Place(6)->FullName(), u"Player 1's Home"_s);
    EXPECT_EQ(game.Place(8), nullptr);
    EXPECT_EQ(game.Player(0), nullptr);
    EXPECT_EQ(game.Player(3), nullptr);
    EXPECT_EQ(game.Place(5)->Army(0), nullptr);
    EXPECT_EQ(game.Place(5)->Army(3), nullptr);
    EXPECT_EQ(game.FindTarget(24), nullptr);
    EXPECT_EQ(game.FindTarget(-1), nullptr);

    EXPECT_EQ(FailureOf([&] { TGame(c.Catalogue, c.Clock, 0, u"G"_s); }), u"A game has 1 to 10 players, not 0."_s);
    EXPECT_EQ(FailureOf([&] { TGame(c.Catalogue, c.Clock, 11, u"G"_s); }),
              u"A game has 1 to 10 players, not 11."_s);
    EXPECT_EQ(TGame(c.Catalogue, c.Clock, 10, u"G"_s).PlaceCount(), 16);
}

TEST(GameDataTest, PhaseNamesFollowPhaseAndStep)
{
    QStringList names;
    for (int phase = 0; phase <= 3; ++phase) {
        for (int step = 0; step <= 1; ++step)
            names << TGame::PhaseName(phase, step);
    }
    EXPECT_EQ(names, (QStringList{u"Start"_s, u"Start"_s, u"Maneuver 1"_s, u"Action 1"_s, u"Maneuver 2"_s,
                                  u"Action 2"_s, u"Reinforce"_s, u"Retreat"_s}));
}

TEST(GameDataTest, SetPositionMovesAPlayerAndShiftsThoseBetween)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 4, u"G"_s);
    game.SetPosition(*game.Player(3), 0);
    EXPECT_EQ(Order(game), u"3124"_s) << "position 0 counts as the first";
    game.SetPosition(*game.Player(3), 12);
    EXPECT_EQ(Order(game), u"1243"_s) << "a position past the count is the last";
    game.SetPosition(*game.Player(1), 3);
    EXPECT_EQ(Order(game), u"2413"_s);
    game.SetPosition(*game.Player(3), 2);
    EXPECT_EQ(Order(game), u"2341"_s);
    EXPECT_EQ(game.PositionOf(*game.Player(1)), 4);
    game.SetPosition(*game.Player(4), 3);
    EXPECT_EQ(Order(game), u"2341"_s);
    EXPECT_FALSE(game.IsLastInOrder());
}

TEST(GameDataTest, TextsOfPlacesArmiesAndDice)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    game.Player(1)->Name = u"Ann"_s;
    TTerrainInPlay &frontier = *game.Place(GamePlace::Frontier);
    frontier.PutTerrainDie(c.Catalogue.MajorTerrain(0));
    frontier.PutFace(3);
    EXPECT_EQ(frontier.CellText(), u"Coastland City\n3 Missile"_s);
    EXPECT_EQ(frontier.FaceKind(), TerrainFaceKind::Missile);
    TArmyInPlay &army = *frontier.Army(1);
    EXPECT_EQ(army.CellText(), u"Ann's Army"_s);
    EXPECT_EQ(army.FullName(), u"Ann's Army at Frontier"_s);
    EXPECT_EQ(game.Home(1).FullName(), u"Ann's Home"_s);
    EXPECT_EQ(game.Home(2).Army(1)->FullName(), u"Ann's Army at Player 2's Home"_s);

    TDieInPlay &witch = PutDie(army, c.Witch());
    EXPECT_EQ(witch.ID(), 24);
    EXPECT_EQ(witch.Face(), 1);
    EXPECT_EQ(witch.ReferenceText(), u"Reedfolk Bog Witch[24]"_s);
    EXPECT_EQ(witch.CellText(), u"Reedfolk\nBog Witch (2)\n2 Magic"_s);
    EXPECT_EQ(witch.FullName(), u"Reedfolk Bog Witch[24] in Ann's Army at Frontier"_s);
    EXPECT_EQ(witch.ContainingArmy(), &army);
    PutDie(army, c.Archer());
    EXPECT_EQ(army.Health(), 5);
    EXPECT_EQ(army.DieCount(), 2);
    EXPECT_EQ(army.Die(1)->Die().Name, u"Reed Archer"_s);
    EXPECT_EQ(army.Die(2), nullptr);
    EXPECT_FALSE(frontier.Unopposed(2));
    EXPECT_TRUE(frontier.Unopposed(1));
    EXPECT_TRUE(frontier.ArmyEmpty(2));
    EXPECT_FALSE(frontier.ArmyEmpty(1));

    TDieInPlay &drake = PutDragon(frontier, 2, c.Drake());
    EXPECT_TRUE(drake.IsDragon());
    EXPECT_EQ(drake.ContainingArmy(), nullptr);
    EXPECT_EQ(drake.FullName(), u"Emberkin Ash Drake[26] at Frontier"_s);
    EXPECT_EQ(frontier.DragonCount(), 1);
    EXPECT_EQ(frontier.Dragon(0), &drake);
    EXPECT_EQ(frontier.Dragon(1), nullptr);
    EXPECT_TRUE(frontier.Unopposed(1)) << "a dragon outside the armies opposes nobody";

    // A minor terrain in play, and one showing its disaster face.
    army.PutMinorTerrain(c.Catalogue.MinorTerrain(2));
    army.PutMinorTerrainFace(3);
    EXPECT_EQ(army.MinorTerrainName(), u"Coastland Knoll"_s);
    EXPECT_EQ(army.MinorTerrainFaceText(), u"Missile"_s);
    EXPECT_FALSE(army.HasDisasterShowing());
    army.PutMinorTerrainFace(1);
    EXPECT_EQ(army.MinorTerrainFaceText(), u"Landslide"_s);
    EXPECT_TRUE(army.HasDisasterShowing());

    // A die whose catalogue entry lost the showing face since the game was saved.
    witch.SetFace(11);
    EXPECT_FALSE(witch.HasShowingFace());
    EXPECT_EQ(witch.ShowingSymbol(), -1);
    EXPECT_EQ(witch.CellText(), u"Reedfolk\nBog Witch (2)\n"_s);
}

TEST(GameDataTest, EffectListsFilterByRaceAndAddWhatTheTerrainGives)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    TTerrainInPlay &frontier = *game.Place(GamePlace::Frontier);
    frontier.PutTerrainDie(c.Catalogue.MajorTerrain(0));
    TArmyInPlay &army = *frontier.Army(1);
    TDieInPlay &scout = PutDie(army, c.Scout());
    TDieInPlay &drake = PutDragon(frontier, 2, c.Drake());

    TSpell &haste = game.Player(1)->AddSpell(u"Haste"_s, SpellDuration::Permanent);
    haste.AddTarget(scout);
    TSpell &ward = game.Player(2)->AddSpell(u"Ward"_s, SpellDuration::EndOfThisMarch);
    ward.AddTarget(army);
    TSpell &armored = game.AddGameEffect(u"Armored"_s, c.Race(7), frontier);
    TSpell &fog = game.Player(2)->AddSpell(u"Fog"_s, SpellDuration::Permanent);
    fog.AddTarget(frontier);
    TSpell &burn = game.Player(2)->AddSpell(u"Burn"_s, SpellDuration::Permanent);
    burn.AddTarget(drake);

    TEffectLines lines;
    scout.ListEffects(lines);
    EXPECT_EQ(Texts(lines), (QStringList{u"Haste"_s, u"Ward"_s, u"Fog"_s})) << "the armored race's effect is not the scout's";
    EXPECT_EQ(lines[0].Spell, &haste);
    EXPECT_EQ(lines[2].Spell, &fog);

    lines.clear();
    army.ListEffects(lines);
    EXPECT_EQ(Texts(lines), (QStringList{u"Ward"_s, u"Armored"_s, u"Fog"_s})) << "no race filter for the army";
    EXPECT_EQ(lines[1].Spell, nullptr) << "a game effect cannot be picked for removal";
    EXPECT_EQ(lines[1], (TEffectLine{u"Armored"_s, nullptr}));

    lines.clear();
    drake.ListEffects(lines);
    EXPECT_EQ(Texts(lines), (QStringList{u"Burn"_s})) << "a dragon outside an army lists only its own spells";

    // What the terrain gives comes after the army's own spells.
    army.PutMinorTerrain(c.Catalogue.MinorTerrain(0));
    army.PutMinorTerrainFace(5);
    lines.clear();
    army.ListEffects(lines, &c.Race(3));
    EXPECT_EQ(Texts(lines), (QStringList{u"Ward"_s, u"2x Move"_s, u"Fog"_s}));
    army.OwnsTerrain = true;
    lines.clear();
    scout.ListEffects(lines);
    EXPECT_EQ(Texts(lines),
              (QStringList{u"Haste"_s, u"Ward"_s, u"OWNS TERRAIN:  Double Moves and Saves"_s, u"Fog"_s}));

    // The armored race's own dragon in an army there sees the effect.
    TDieInPlay &tame = PutDie(*frontier.Army(2), c.Drake());
    lines.clear();
    tame.ListEffects(lines);
    EXPECT_EQ(Texts(lines), (QStringList{u"Armored"_s, u"Fog"_s}));
    EXPECT_EQ(armored.Round(), 0);
    EXPECT_EQ(armored.CasterRace(), 7);
    EXPECT_EQ(armored.Duration(), SpellDuration::Permanent);
}

TEST(GameDataTest, AFreedTargetLeavesEverySpellAndTheIndex)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    TArmyInPlay &vault = *game.Place(GamePlace::BurialVault)->Army(1);
    TDieInPlay &scout = PutDie(vault, c.Scout());
    TDieInPlay &archer = PutDie(vault, c.Archer());
    const qint32 scoutID = scout.ID();
    TSpell &first = game.Player(1)->AddSpell(u"First"_s, SpellDuration::Permanent);
    TSpell &second = game.Player(2)->AddSpell(u"Second"_s, SpellDuration::Instant);
    first.AddTarget(scout);
    first.AddTarget(archer);
    second.AddTarget(scout);
    ASSERT_EQ(scout.Effects().size(), 2u);
    ASSERT_EQ(game.FindTarget(scoutID), &scout);

    vault.Erase();
    EXPECT_EQ(game.FindTarget(scoutID), nullptr);
    EXPECT_TRUE(first.Targets().empty());
    EXPECT_TRUE(second.Targets().empty()) << "a spell left with no targets stays";
    EXPECT_EQ(game.Player(2)->Spells(SpellDuration::Instant).size(), 1u);
    EXPECT_EQ(game.TargetCount(), 24);

    // And a spell that goes first takes its links with it.
    TDieInPlay &guard = PutDie(vault, c.Guard());
    TSpell &third = game.Player(1)->AddSpell(u"Third"_s, SpellDuration::Permanent);
    third.AddTarget(guard);
    third.AddTarget(*game.Place(GamePlace::Frontier));
    game.DestroySpell(third);
    EXPECT_TRUE(guard.Effects().empty());
    EXPECT_TRUE(game.Place(GamePlace::Frontier)->Effects().empty());
    EXPECT_EQ(game.Player(1)->Spells(SpellDuration::Permanent).size(), 1u);
}

TEST(GameDataTest, TargetIDsPassOverIDsInUse)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 1, u"G"_s);
    EXPECT_EQ(game.NextTargetID(), 14);
    EXPECT_EQ(game.TakeTargetID(), 14);
    EXPECT_EQ(game.TakeTargetID(), 15);
    // A game whose next ID points back into the IDs in use (a damaged file) never gives
    // an ID twice.
    TGameRecord record = RecordOf(game);
    record.NextTargetID = 3;
    TGameOpened opened = GameFromRecord(record, c.Catalogue, c.Clock);
    TDieInPlay &scout = PutDie(*opened.Game->Place(0)->Army(1), c.Scout());
    EXPECT_EQ(scout.ID(), 14);
    EXPECT_EQ(opened.Game->NextTargetID(), 15);
}

TEST(GameDataTest, ModifiedFollowsTheChangesThatAreSaved)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    EXPECT_FALSE(game.Modified());
    const auto after = [&](const std::function<void()> &change) {
        game.ClearModified();
        change();
        return game.Modified();
    };
    EXPECT_TRUE(after([&] { game.SetName(u"H"_s); }));
    EXPECT_TRUE(after([&] { game.SetMarchTerrain(game.Place(5)); }));
    EXPECT_TRUE(after([&] { game.SetFtpName(u"G0Aab.dat"_s); }));
    EXPECT_TRUE(after([&] { game.SetController(game.Player(1)); }));
    EXPECT_TRUE(after([&] { PutDie(*game.Place(0)->Army(1), c.Scout()); }));
    EXPECT_TRUE(after([&] { game.AddGameEffect(u"Armored"_s, c.Race(7), *game.Place(5)); }));
    // Every event is a line of the log, which is saved with the game.
    EXPECT_TRUE(after([&] { game.LogLine(u"x"_s); }));
    EXPECT_TRUE(after([&] { game.ClearLog(); }));
    EXPECT_TRUE(after([&] { game.SetPosition(*game.Player(2), 1); }));
    EXPECT_TRUE(after([&] { game.Place(0)->Army(1)->Die(0)->Roll(); }));
    EXPECT_FALSE(after([&] { (void)GameStatusLines(game); }));
}

TEST(GameDataTest, ControlLogsItsChangesAndFollowsTheUsersAddress)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    game.Player(2)->Name = u"Bo"_s;
    game.Player(2)->Email = u"bo@example.org"_s;
    EXPECT_TRUE(game.HasControl(QString()));
    EXPECT_TRUE(game.HasControl(u"anyone@example.org"_s)) << "an uncontrolled game is everybody's";
    game.SetController(game.Player(2));
    EXPECT_EQ(game.Controller(), game.Player(2));
    EXPECT_TRUE(game.HasControl(u"bo@example.org"_s));
    EXPECT_FALSE(game.HasControl(u"Bo@example.org"_s)) << "addresses are compared as exact text";
    EXPECT_FALSE(game.HasControl(QString()));
    game.SetController(nullptr);
    EXPECT_EQ(game.ControllerNumber(), -1);
    EXPECT_EQ(game.Log(), (QStringList{u"Bo now has control."_s, u"Game is now uncontrolled."_s}));
}

TEST(GameDataTest, TheLogViewFollowsTheLog)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 1, u"G"_s);
    game.LogLine(u"one"_s);
    TRecordingLogView view;
    view.Lines << u"stale"_s;
    game.AttachLogView(&view);
    EXPECT_EQ(view.Lines, QStringList{u"one"_s});
    game.LogLine(u"two"_s);
    EXPECT_EQ(view.Lines, game.Log());
    game.ClearLog();
    EXPECT_TRUE(game.Log().isEmpty());
    EXPECT_TRUE(view.Lines.isEmpty());
    game.DetachLogView();
    game.LogLine(u"three"_s);
    EXPECT_TRUE(view.Lines.isEmpty());
}

TEST(GameDataTest, RollsOfPlacesArmiesAndDiceAreLogged)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    game.Player(1)->Name = u"Ann"_s;
    TTerrainInPlay &frontier = *game.Place(GamePlace::Frontier);
    TDieInPlay &witch = PutDie(*frontier.Army(1), c.Witch());
    PutDie(*frontier.Army(1), c.Scout());
    PutDragon(frontier, 2, c.Drake());

    // The same seed rolls the same faces, so the expected lines come from a twin generator.
    TRandomizer twin(c.Clock);
    const int witchFace = twin.Roll(6, -1);
    const int scoutFace = twin.Roll(6, -1);
    const auto symbol = [&](const TDie &die, int face) {
        return c.Catalogue.GetIcon(die.FaceSymbol(face))->Name + u' ' + QString::number(die.FaceSymbolCount(face));
    };
    frontier.Roll();
    EXPECT_EQ(game.Log(),
              (QStringList{u"Rolling all armies at Frontier."_s, u"Rolling Ann's Army at Frontier."_s,
                           symbol(c.Witch(), witchFace) + u" rolled by Reedfolk Bog Witch[24] in Ann's Army at Frontier."_s,
                           symbol(c.Scout(), scoutFace) +
                               u" rolled by Reedfolk Marsh Scout[25] in Ann's Army at Frontier."_s}))
        << "an empty army and the dragon outside the armies are not rolled";
    EXPECT_EQ(witch.Face(), witchFace);
}

TEST(GameDataTest, SpellsRecordTheRoundAndExpireUnderOneHeader)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    TPlayer &first = *game.Player(1);
    TPlayer &second = *game.Player(2);
    second.Name = u"Bo"_s;
    // Round 0, player 1's turn: player 2's one-turn spell records the round before.
    EXPECT_EQ(first.AddSpell(u"Mine"_s, SpellDuration::EndOfNextTurn).Round(), 0);
    EXPECT_EQ(second.AddSpell(u"Theirs"_s, SpellDuration::EndOfNextTurn).Round(), -1);
    TSpell &shortOne = second.AddSpell(u"Short"_s, SpellDuration::EndOfThisAction);
    EXPECT_EQ(shortOne.Round(), 0);
    EXPECT_EQ(shortOne.CasterRace(), -1);
    EXPECT_EQ(shortOne.Owner(), &second);
    second.AddSpell(u"Shorter"_s, SpellDuration::EndOfThisAction).AddTarget(*game.Place(5));

    first.ExpireSpells(SpellDuration::EndOfNextTurn);
    first.ExpireSpells(SpellDuration::EndOfThisAction);
    EXPECT_TRUE(game.Log().isEmpty()) << "a spell whose round has not passed stays, and nothing else is there";
    second.ExpireSpells(SpellDuration::EndOfNextTurn);
    second.ExpireSpells(SpellDuration::EndOfThisAction);
    EXPECT_EQ(game.Log(), (QStringList{u"Expiring spells and effects for Bo."_s, u"Theirs expired."_s,
                                       u"Expiring spells and effects for Bo."_s, u"Short expired."_s,
                                       u"Shorter expired."_s}));
    EXPECT_TRUE(second.Spells(SpellDuration::EndOfThisAction).empty());
    EXPECT_TRUE(game.Place(5)->Effects().empty());
    EXPECT_EQ(first.Spells(SpellDuration::EndOfNextTurn).size(), 1u);
}
