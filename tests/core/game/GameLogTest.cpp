#include "GameFixture.h"
#include "game/GameLog.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(GameLogTest, TheStatusTextListsEachPlaceWithContent)
{
    TGameCatalogue c;
    TGame game(c.Catalogue, c.Clock, 3, u"G"_s);
    game.Player(1)->Name = u"Ann"_s;
    game.Player(2)->Name = u"Bo"_s;
    TTerrainInPlay &frontier = *game.Place(GamePlace::Frontier);
    frontier.PutTerrainDie(c.Catalogue.MajorTerrain(0));
    frontier.PutFace(6);
    TDieInPlay &archer = PutDie(*frontier.Army(1), c.Archer());
    TDieInPlay &guard = PutDie(*frontier.Army(1), c.Guard());
    TDieInPlay &drake = PutDragon(frontier, 2, c.Drake());
    TDieInPlay &witch = PutDie(*frontier.Army(3), c.Witch());
    // A home with a terrain die and only a dragon; the reserves with a die of player 2;
    // a place with empty armies writes nothing.
    TTerrainInPlay &home = game.Home(2);
    home.PutTerrainDie(c.Catalogue.MajorTerrain(47));
    home.PutFace(8);
    TDieInPlay &wild = PutDragon(home, 1, c.Drake());
    TDieInPlay &scout = PutDie(*game.Place(GamePlace::Reserves)->Army(2), c.Scout());
    const auto ref = [](const TDieInPlay &die) { return die.ReferenceText(); };

    EXPECT_EQ(GameStatusLines(game),
              (QStringList{u"Transmitting game status during round 0."_s,
                           u"*** Reserves"_s,
                           u" ** Bo's Army:  1 health"_s,
                           u"    "_s + ref(scout),
                           u"*** Frontier:  Coastland City on 6 Melee"_s,
                           u"    "_s + ref(drake),
                           u" ** Ann's Army:  7 health"_s,
                           u"    "_s + ref(archer),
                           u"    "_s + ref(guard),
                           u" ** Player 3's Army:  2 health"_s,
                           u"    "_s + ref(witch),
                           u"*** Bo's Home:  Feyland Vortex on 8 Vortex"_s,
                           u"    "_s + ref(wild)}));
    EXPECT_EQ(ref(scout), u"Reedfolk Marsh Scout[41]"_s);

    // As the clipboard and krtool give it.
    EXPECT_EQ(JoinLines({u"a"_s, u"b"_s}), u"a\r\nb\r\n"_s);
    EXPECT_EQ(JoinLines({}), QString());
}

TEST(GameLogTest, ClearLogAppendsToTheLogFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"war.LOG"_s);
    AppendLogFile(path, {u"first"_s, u"D\u00e9 rolled"_s});
    EXPECT_EQ(FileBytes(path), QByteArray("first\r\nD\xc3\xa9 rolled\r\n"));
    AppendLogFile(path, {u"second"_s});
    EXPECT_EQ(FileBytes(path), QByteArray("first\r\nD\xc3\xa9 rolled\r\nsecond\r\n"));
    AppendLogFile(path, {});
    EXPECT_EQ(FileBytes(path).size(), 27);
    EXPECT_NE(FailureOf([&] { AppendLogFile(dir.path(), {u"x"_s}); }), u"(no failure)"_s);
}
