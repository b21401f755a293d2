#include "GameFixture.h"
#include "game/GameLog.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A new one-player game named "G", byte for byte: the header, seven places of one army
// each (place i has ID 2i, its army 2i + 1), no march, no effects, player 1, three flags.
QString PlaceHex(int index)
{
    const QString place = u"%1"_s.arg(index, 2, 16, QChar(u'0'));
    const QString placeID = u"%1"_s.arg(2 * index, 2, 16, QChar(u'0'));
    const QString armyID = u"%1"_s.arg(2 * index + 1, 2, 16, QChar(u'0'));
    return u"02 %1 02 %2 02 ff 02 08 01 00 "_s.arg(placeID, place) + u"02 %1 02 %2 02 01 02 ff 02 08 08 01 00 "_s.arg(armyID, place);
}

QString NewOnePlayerGameHex()
{
    QString hex = u"02 06  02 01  06 01 47  06 00  02 ff  02 0e  02 00  02 01  02 01  02 00  02 00  01 00 "_s;
    for (int index = 0; index < 7; ++index)
        hex += PlaceHex(index);
    hex += u"02 ff  01 00 "_s;
    hex += u"02 01  06 08 50 6c 61 79 65 72 20 31  06 00  02 18 02 18 02 18 02 18  01 00 01 00 01 00 01 00 01 00 01 00 "_s;
    hex += u"08 08 08"_s;
    return hex;
}

// Offsets in the bytes above.
constexpr int kCountAt = 2;
constexpr int kControllerAt = 9;
constexpr int kNextIDAt = 11;
constexpr int kRoundAt = 13;
constexpr int kLogAt = 23;
constexpr int kFirstPlaceAt = 25;
constexpr int kPlaceSize = 23;

QByteArray Patched(QByteArray bytes, int offset, const QString &hex)
{
    const QByteArray patch = FromHex(hex);
    bytes.replace(offset, patch.size(), patch);
    return bytes;
}

QString ReadFailure(const QByteArray &bytes, TGameCatalogue &c)
{
    try {
        ReadGame(bytes, c);
    } catch (const TFileFormatError &failure) {
        return failure.Message();
    }
    return u"(no failure)"_s;
}

QByteArray RecordBytes(const TGameRecord &record)
{
    return WriteToBytes([&](TTaggedWriter &writer) { record.Write(writer); });
}

// The layout of the earlier versions, for files this program no longer writes.
QByteArray OldVersionBytes(const TGameRecord &record, int version)
{
    return WriteToBytes([&](TTaggedWriter &w) {
        const auto spells = [&](const std::vector<TGameSpellRecord> &list) {
            w.WriteListBegin();
            for (const TGameSpellRecord &spell : list) {
                w.WriteString(spell.Name);
                w.WriteInteger(spell.Duration);
                w.WriteInteger(spell.CasterRace);
                if (version >= 6)
                    w.WriteInteger(spell.Round);
                w.WriteListBegin();
                for (qint32 id : spell.Targets)
                    w.WriteInteger(id);
                w.WriteListEnd();
            }
            w.WriteListEnd();
        };
        const auto dice = [&](const std::vector<TGameDieRecord> &list) {
            w.WriteListBegin();
            for (const TGameDieRecord &die : list) {
                for (qint32 value : {die.ID, die.Place, die.Player, die.Race, die.Die, die.Face})
                    w.WriteInteger(value);
            }
            w.WriteListEnd();
        };
        w.WriteInteger(version);
        w.WriteInteger(record.PlayerCount());
        w.WriteString(record.Name);
        w.WriteString(record.FtpName);
        if (version >= 3)
            w.WriteInteger(record.Controller);
        w.WriteInteger(record.NextTargetID);
        w.WriteInteger(record.Round);
        for (qint32 player : record.TurnOrder)
            w.WriteInteger(player);
        w.WriteInteger(record.TurnPosition);
        w.WriteInteger(record.Phase);
        w.WriteInteger(record.Step);
        w.WriteListBegin();
        for (const QString &line : record.Log)
            w.WriteString(line);
        w.WriteListEnd();
        for (const TGamePlaceRecord &place : record.Places) {
            for (qint32 value : {place.ID, place.Index, place.MajorTerrain, place.Face})
                w.WriteInteger(value);
            dice(place.Dragons);
            for (const TGameArmyRecord &army : place.Armies) {
                for (qint32 value : {army.ID, army.Place, army.Player, army.MinorTerrain, army.MinorTerrainFace})
                    w.WriteInteger(value);
                if (version >= 2)
                    w.WriteBoolean(army.OwnsTerrain);
                dice(army.Dice);
            }
        }
        w.WriteInteger(record.MarchTerrain);
        spells(record.GameEffects);
        for (const TGamePlayerRecord &player : record.Players) {
            w.WriteInteger(player.Number);
            w.WriteString(player.Name);
            w.WriteString(player.Email);
            for (qint32 minor : player.MinorTerrains)
                w.WriteInteger(minor);
            for (const auto &list : player.Spells)
                spells(list);
        }
        if (version >= 4) {
            w.WriteBoolean(record.FtpGame);
            w.WriteBoolean(record.StaggeredStart);
        }
        if (version >= 5)
            w.WriteBoolean(record.Utility);
    });
}

// A game with something of everything: three players, dice in armies and a dragon
// outside them, a terrain die, a minor terrain in play and in a slot, an owned terrain,
// spells of several durations on every kind of target and a game effect, control, an
// FTP name, a march and all three flags.
std::unique_ptr<TGame> BusyGame(TGameCatalogue &c)
{
    auto game = std::make_unique<TGame>(c.Catalogue, c.Clock, 3, u"Border War"_s);
    game->Player(1)->Name = u"Ann"_s;
    game->Player(1)->Email = u"ann@example.org"_s;
    game->Player(2)->Name = u"Bo"_s;
    game->Player(3)->Name = u"Cy"_s;
    game->Player(2)->SetMinorTerrainIndex(1, 17);
    TTerrainInPlay &frontier = *game->Place(GamePlace::Frontier);
    frontier.PutTerrainDie(c.Catalogue.MajorTerrain(9));
    frontier.PutFace(4);
    TArmyInPlay &ann = *frontier.Army(1);
    TDieInPlay &scout = PutDie(ann, c.Scout());
    scout.SetFace(3);
    PutDie(ann, c.Archer());
    ann.PutMinorTerrain(c.Catalogue.MinorTerrain(6));
    ann.PutMinorTerrainFace(2);
    TDieInPlay &drake = PutDragon(frontier, 2, c.Drake());
    TTerrainInPlay &home = game->Home(3);
    home.PutTerrainDie(c.Catalogue.MajorTerrain(30));
    home.Army(3)->OwnsTerrain = true;
    PutDie(*home.Army(3), c.Guard());
    PutDie(*game->Place(GamePlace::Reserves)->Army(2), c.Witch());
    game->AddGameEffect(u"Armored"_s, c.Race(7), frontier);
    TSpell &haste = game->Player(1)->AddSpell(u"Haste"_s, SpellDuration::EndOfNextTurn);
    haste.AddTarget(scout);
    haste.AddTarget(ann);
    game->Player(2)->AddSpell(u"Scorch"_s, SpellDuration::Permanent).AddTarget(drake);
    game->Player(3)->AddSpell(u"Mist"_s, SpellDuration::EndOfThisMarch).AddTarget(home);
    game->Player(3)->AddSpell(u"Nothing left"_s, SpellDuration::StartOfNextTurn);
    game->SetPosition(*game->Player(3), 1);
    game->SetController(game->Player(1));
    game->SetFtpName(u"G0Aannexampleorgab.dat"_s);
    game->SetMarchTerrain(&frontier);
    game->LogLine(u"> Dice Roll:  Melee Attack"_s);
    game->FtpGame = true;
    game->StaggeredStart = true;
    game->Utility = true;
    return game;
}

} // namespace

TEST(GameFileTest, ANewGameIsWrittenByteForByte)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 1, u"G"_s);
    const QByteArray bytes = GameBytes(game);
    EXPECT_EQ(Hex(bytes), Hex(FromHex(NewOnePlayerGameHex())));
    ASSERT_EQ(bytes.size(), 227);

    // Integers take the smallest tag that holds them.
    TGameRecord record = RecordOf(game);
    for (const auto &[round, hex] : {std::pair{127, u"02 7F"_s}, std::pair{128, u"03 80 00"_s},
                                     std::pair{40000, u"04 40 9C 00 00"_s}, std::pair{-1, u"02 FF"_s}}) {
        record.Round = round;
        const QByteArray written = RecordBytes(record);
        EXPECT_EQ(Hex(written.mid(kRoundAt, FromHex(hex).size())), hex) << round;
    }
    // A long log line goes as a long string, a name outside 7-bit text as UTF-8.
    record.Round = 0;
    record.Log = QStringList{QString(300, u'x')};
    record.Name = u"D\u00e9"_s;
    const QByteArray written = RecordBytes(record);
    EXPECT_EQ(Hex(written.mid(4, 7)), u"14 03 00 00 00 44 C3"_s);
    // The name grew by five bytes.
    EXPECT_EQ(Hex(written.mid(kLogAt + 5, 6)), u"01 0C 2C 01 00 00"_s);
}

TEST(GameFileTest, AGameReadsBackAsItWasSaved)
{
    TGameCatalogue c;
    std::unique_ptr<TGame> game = BusyGame(c);
    const QByteArray bytes = GameBytes(*game);
    TGameOpened opened = ReadGame(bytes, c);
    ASSERT_TRUE(opened.Game);
    const TGame &read = *opened.Game;
    EXPECT_EQ(opened.LostDice, 0);
    EXPECT_FALSE(read.Modified());
    EXPECT_EQ(RecordOf(read), RecordOf(*game));
    EXPECT_EQ(GameBytes(read), bytes);

    // The objects are rebuilt with their IDs and their links.
    EXPECT_EQ(read.Name(), u"Border War"_s);
    EXPECT_EQ(read.Controller(), read.Player(1));
    EXPECT_EQ(read.MarchTerrain(), read.Place(GamePlace::Frontier));
    EXPECT_EQ(read.TurnOrder(1), 3);
    EXPECT_EQ(read.CurrentPlayerNumber(), 3);
    EXPECT_TRUE(read.FtpGame && read.StaggeredStart && read.Utility);
    EXPECT_EQ(read.TargetCount(), game->TargetCount());
    EXPECT_EQ(read.NextTargetID(), game->NextTargetID());
    const TTerrainInPlay &frontier = *read.Place(GamePlace::Frontier);
    EXPECT_EQ(frontier.CellText(), game->Place(GamePlace::Frontier)->CellText());
    ASSERT_EQ(frontier.DragonCount(), 1);
    EXPECT_EQ(frontier.Dragon(0)->ContainingArmy(), nullptr);
    EXPECT_EQ(frontier.Dragon(0)->ContainingPlace(), &frontier);
    const TArmyInPlay &ann = *frontier.Army(1);
    EXPECT_EQ(ann.MinorTerrainName(), u"Flatland Knoll"_s);
    ASSERT_EQ(ann.DieCount(), 2);
    EXPECT_EQ(ann.Die(0)->ContainingArmy(), &ann);
    EXPECT_EQ(ann.Die(0)->Face(), 3);
    EXPECT_EQ(read.FindTarget(ann.Die(0)->ID()), ann.Die(0));
    const TSpell &haste = *read.Player(1)->Spells(SpellDuration::EndOfNextTurn).front();
    EXPECT_EQ(haste.Targets(), (std::vector<TSpellTarget *>{ann.Die(0), const_cast<TArmyInPlay *>(&ann)}));
    EXPECT_EQ(ann.Die(0)->Effects(), (std::vector<TSpell *>{const_cast<TSpell *>(&haste)}));
    EXPECT_EQ(read.GameEffects().front()->Targets().front(), &frontier);
    EXPECT_TRUE(read.Home(3).Army(3)->OwnsTerrain);
    EXPECT_EQ(read.Player(2)->MinorTerrain(1), c.Catalogue.MinorTerrain(17));
    EXPECT_EQ(read.Log(), game->Log());
    EXPECT_EQ(GameStatusLines(read), GameStatusLines(*game));
}

TEST(GameFileTest, EarlierVersionsReadWithTheDefaultsOfWhatTheyLack)
{
    TGameCatalogue c;
    std::unique_ptr<TGame> game = BusyGame(c);
    const TGameRecord record = RecordOf(*game);
    for (int version : {1, 2, 3, 4, 5, 6}) {
        SCOPED_TRACE(version);
        TGameOpened opened = ReadGame(OldVersionBytes(record, version), c);
        const TGame &read = *opened.Game;
        EXPECT_EQ(read.ControllerNumber(), version >= 3 ? 1 : -1);
        EXPECT_EQ(read.FtpGame, version >= 4);
        EXPECT_EQ(read.StaggeredStart, version >= 4);
        EXPECT_EQ(read.Utility, version >= 5);
        EXPECT_EQ(read.Home(3).Army(3)->OwnsTerrain, version >= 2);
        const qint32 round = read.Player(1)->Spells(SpellDuration::EndOfNextTurn).front()->Round();
        EXPECT_EQ(round, 0);
        EXPECT_EQ(read.Player(2)->Spells(SpellDuration::Permanent).front()->Targets().size(), 1u);
        EXPECT_FALSE(read.Modified());
        // Saved again, it is a version-6 file.
        EXPECT_EQ(GameBytes(read).left(2), FromHex(u"02 06"_s));
    }
    // The round of a spell made in an earlier round survives only from version 6.
    TGameRecord later = record;
    later.Players[0].Spells[1].front().Round = 4;
    EXPECT_EQ(ReadGame(OldVersionBytes(later, 5), c).Game->Player(1)->Spells(SpellDuration::EndOfNextTurn)[0]->Round(), 0);
    EXPECT_EQ(ReadGame(OldVersionBytes(later, 6), c).Game->Player(1)->Spells(SpellDuration::EndOfNextTurn)[0]->Round(), 4);
    // Any version below 1 has the first layout.
    EXPECT_EQ(ReadGame(OldVersionBytes(record, 0), c).Game->Name(), u"Border War"_s);
}

TEST(GameFileTest, WhatTheCatalogueLacksIsLeftOut)
{
    TGameCatalogue c;
    std::unique_ptr<TGame> game = BusyGame(c);
    TGameRecord record = RecordOf(*game);
    // The drake's race and one die of the archers are gone; the home's terrain index and
    // a minor terrain are unknown; a spell names a target that is not there.
    record.Places[5].Dragons[0].Race = 70;
    const qint32 archerID = record.Places[5].Armies[0].Dice[1].ID;
    record.Places[5].Armies[0].Dice[1].Die = 40;
    record.Places[8].MajorTerrain = 48;
    record.Places[5].Armies[0].MinorTerrain = 24;
    record.Players[1].MinorTerrains[1] = 99;
    record.Players[0].Spells[1][0].Targets.push_back(archerID);
    record.Players[0].Spells[1][0].Targets.push_back(5000);
    record.MarchTerrain = 77;
    TGameOpened opened = ReadGame(RecordBytes(record), c);
    const TGame &read = *opened.Game;
    EXPECT_EQ(opened.LostDice, 2);
    EXPECT_EQ(read.Place(GamePlace::Frontier)->DragonCount(), 0);
    EXPECT_EQ(read.Place(GamePlace::Frontier)->Army(1)->DieCount(), 1);
    EXPECT_EQ(read.FindTarget(archerID), nullptr);
    EXPECT_FALSE(read.Home(3).HasTerrainDie());
    EXPECT_EQ(read.Place(GamePlace::Frontier)->Army(1)->MinorTerrain(), nullptr);
    EXPECT_EQ(read.Player(2)->MinorTerrain(1), nullptr);
    EXPECT_EQ(read.Player(1)->Spells(SpellDuration::EndOfNextTurn)[0]->Targets().size(), 2u);
    EXPECT_EQ(read.MarchTerrain(), nullptr);
    EXPECT_EQ(read.NextTargetID(), record.NextTargetID) << "the next ID is the one read, not recomputed";
    // Saved again, what was left out is gone for good.
    const TGameRecord saved = RecordOf(read);
    EXPECT_EQ(saved.Places[8].MajorTerrain, -1);
    EXPECT_EQ(saved.Players[1].MinorTerrains[1], 24);
    EXPECT_EQ(saved.MarchTerrain, -1);
}

TEST(GameFileTest, DamagedFilesFailWithWhatWasExpectedAndWhere)
{
    TGameCatalogue c;
    const QByteArray good = FromHex(NewOnePlayerGameHex());
    ASSERT_EQ(ReadFailure(good, c), u"(no failure)"_s);
    const int army0 = kFirstPlaceAt + 10;
    const int army1 = kFirstPlaceAt + kPlaceSize + 10;
    const struct
    {
        QByteArray Bytes;
        QString Message;
    } cases[] = {
        {Patched(good, 0, u"02 07"_s), u"Game file version 7 is newer than 6 at offset 0."_s},
        {Patched(good, kCountAt, u"02 00"_s), u"Player count 0 is out of range at offset 2."_s},
        {Patched(good, kCountAt, u"02 0b"_s), u"Player count 11 is out of range at offset 2."_s},
        {Patched(good, kControllerAt, u"02 02"_s), u"Controller 2 is not a player of the game at offset 9."_s},
        {Patched(good, kNextIDAt, u"02 fe"_s), u"Next target ID -2 is out of range at offset 11."_s},
        {Patched(good, kRoundAt, u"02 ff"_s), u"Round -1 is out of range at offset 13."_s},
        {Patched(good, 15, u"02 02"_s), u"Turn order entry 2 is out of range at offset 15."_s},
        {Patched(good, 17, u"02 00"_s), u"Turn position 0 is out of range at offset 17."_s},
        {Patched(good, 19, u"02 04"_s), u"Phase 4 is out of range at offset 19."_s},
        {Patched(good, 21, u"02 02"_s), u"Step 2 is out of range at offset 21."_s},
        {Patched(good, kLogAt, u"02 00"_s), u"Unexpected value type 2 at offset 23 where a list was expected."_s},
        {Patched(good, kFirstPlaceAt, u"02 ff"_s), u"Target ID -1 is negative at offset 25."_s},
        {Patched(good, kFirstPlaceAt + kPlaceSize, u"02 00"_s), u"Target ID 0 is used twice at offset 48."_s},
        {Patched(good, kFirstPlaceAt + kPlaceSize + 2, u"02 02"_s),
         u"Place index 2 where 1 was expected at offset 50."_s},
        {Patched(good, kFirstPlaceAt + 6, u"02 09"_s), u"Terrain face 9 is out of range at offset 31."_s},
        {Patched(good, kFirstPlaceAt + 6, u"02 00"_s), u"Terrain face 0 is out of range at offset 31."_s},
        {Patched(good, army0 + 2, u"02 03"_s), u"Army place 3 where 0 was expected at offset 37."_s},
        {Patched(good, army1 + 4, u"02 02"_s), u"Army player 2 where 1 was expected at offset 62."_s},
        {Patched(good, army0 + 8, u"02 00"_s), u"Minor terrain face 0 is out of range at offset 43."_s},
        {Patched(good, 190, u"02 02"_s), u"Player number 2 where 1 was expected at offset 190."_s},
        {good.left(good.size() - 1), u"File ends at offset 226 where a flag was expected."_s},
    };
    for (const auto &bad : cases)
        EXPECT_EQ(ReadFailure(bad.Bytes, c), bad.Message);

    // Records that stand under the wrong place or player, or break a range further in.
    TGame game(c.Catalogue, c.Clock, 2, u"G"_s);
    PutDie(*game.Place(GamePlace::Reserves)->Army(2), c.Scout());
    PutDragon(*game.Place(GamePlace::Frontier), 2, c.Drake());
    game.Player(1)->AddSpell(u"S"_s, SpellDuration::Permanent);
    const TGameRecord record = RecordOf(game);
    const auto failure = [&](const std::function<void(TGameRecord &)> &damage) {
        TGameRecord damaged = record;
        damage(damaged);
        return ReadFailure(RecordBytes(damaged), c).section(u" at offset"_s, 0, 0);
    };
    EXPECT_EQ(failure([](TGameRecord &r) { r.TurnOrder = {2, 2}; }), u"Player 2 is twice in the turn order"_s);
    EXPECT_EQ(failure([](TGameRecord &r) { r.TurnPosition = 3; }), u"Turn position 3 is out of range"_s);
    EXPECT_EQ(failure([](TGameRecord &r) { r.Places[4].Armies[1].Dice[0].Place = 5; }),
              u"Die place 5 where 4 was expected"_s);
    EXPECT_EQ(failure([](TGameRecord &r) { r.Places[4].Armies[1].Dice[0].Player = 1; }),
              u"Die player 1 where 2 was expected"_s);
    EXPECT_EQ(failure([](TGameRecord &r) { r.Places[4].Armies[1].Dice[0].Face = 13; }),
              u"Die face 13 is out of range"_s);
    EXPECT_EQ(failure([](TGameRecord &r) { r.Places[5].Dragons[0].Player = 3; }), u"Die player 3 is out of range"_s);
    EXPECT_EQ(failure([](TGameRecord &r) { r.Places[5].Dragons[0].ID = r.Places[4].Armies[1].Dice[0].ID; }),
              u"Target ID 24 is used twice"_s);
    EXPECT_EQ(failure([](TGameRecord &r) { r.Players[0].Spells[4][0].Duration = 6; }),
              u"Spell duration 6 is out of range"_s);
    // A player's spell lasts as long as the list it stands in says, which is what its
    // expiry goes by.
    TGameRecord listed = record;
    listed.Players[0].Spells[4][0].Duration = 2;
    EXPECT_EQ(ReadGame(RecordBytes(listed), c).Game->Player(1)->Spells(SpellDuration::Permanent).size(), 1u);
    TGameRecord withEffect = record;
    withEffect.GameEffects.push_back({u"E"_s, 6, -1, 0, {}});
    EXPECT_EQ(ReadFailure(RecordBytes(withEffect), c).section(u" at offset"_s, 0, 0),
              u"Spell duration 6 is out of range"_s);
}

TEST(GameFileTest, EveryCutOfAFileFailsCleanly)
{
    TGameCatalogue c;
    std::unique_ptr<TGame> game = BusyGame(c);
    const QByteArray bytes = GameBytes(*game);
    for (qsizetype size = 0; size < bytes.size(); ++size) {
        const QString message = ReadFailure(bytes.left(size), c);
        EXPECT_TRUE(message.startsWith(u"File ends at offset"_s) || message.startsWith(u"The length of"_s))
            << size << ": " << message.toStdString();
    }
}

TEST(GameFileTest, TheMalformedGameFilesFailToRead)
{
    TGameCatalogue c;
    const QDir folder(TestDataPath(u"malformed"_s));
    const QStringList files = folder.entryList({u"game-*.kgm"_s}, QDir::Files);
    ASSERT_GE(files.size(), 5);
    for (const QString &name : files) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = FileBytes(folder.filePath(name));
        EXPECT_NE(ReadFailure(bytes, c), u"(no failure)"_s);
    }
}

TEST(GameFileTest, SavingReplacesTheFileOnlyWhenWholeAndClearsModified)
{
    TGameCatalogue c;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"war.kgm"_s);
    std::unique_ptr<TGame> game = BusyGame(c);
    ASSERT_TRUE(game->Modified());
    SaveGameFile(*game, path);
    EXPECT_FALSE(game->Modified());
    EXPECT_EQ(FileBytes(path), GameBytes(*game));

    TGameOpened opened = OpenGameFile(path, c.Catalogue, c.Clock);
    EXPECT_EQ(RecordOf(*opened.Game), RecordOf(*game));

    // A folder in the way: the save fails, the game stays modified.
    game->SetName(u"Other"_s);
    QDir(dir.path()).mkdir(u"blocked.kgm"_s);
    EXPECT_NE(FailureOf([&] { SaveGameFile(*game, dir.filePath(u"blocked.kgm"_s)); }), u"(no failure)"_s);
    EXPECT_TRUE(game->Modified());
    EXPECT_NE(FailureOf([&] { OpenGameFile(dir.filePath(u"missing.kgm"_s), c.Catalogue, c.Clock); }),
              u"(no failure)"_s);
}
