#include "ToolFixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kRaces = R"js({"races": [
  {"id": 3, "name": "Reedfolk", "dice": [
    {"id": 0, "name": "Marsh Scout", "health": 1, "profession": "Light Troop", "faces": ["1 ID", "1 Melee"]},
    {"id": 1, "name": "Reed Archer", "health": 3, "profession": "Archer", "faces": ["1 ID", "1 Missile"]}]},
  {"id": 7, "name": "Emberkin", "type": "Dragonkin", "dice": [
    {"id": 0, "name": "Ash Drake", "health": 5, "profession": "(none)", "faces": ["1 ID"]}]}
]})js";

// A game of two players ("Ann", "Bo"): the Frontier on a Coastland City showing face 6
// with Ann's archer and scout, Bo's drake outside the armies, Bo's scout and a die of
// race 40 (not in the race database) in the reserves, a spell on the archer.
QJsonObject GameJson()
{
    QJsonArray places;
    int id = 0;
    for (int index = 0; index < 8; ++index) {
        QJsonObject place{{u"id"_s, id++}};
        QJsonArray armies;
        for (int player = 1; player <= 2; ++player)
            armies.append(QJsonObject{{u"id"_s, id++}});
        if (index == 5) {
            place[u"majorTerrain"_s] = u"Coastland City"_s;
            place[u"face"_s] = 6;
            place[u"dragons"_s] = QJsonArray{QJsonObject{{u"id"_s, 26}, {u"player"_s, 2}, {u"race"_s, 7}, {u"die"_s, 0}}};
            QJsonObject ann = armies[0].toObject();
            ann[u"dice"_s] = QJsonArray{QJsonObject{{u"id"_s, 24}, {u"race"_s, 3}, {u"die"_s, 1}, {u"face"_s, 1}},
                                       QJsonObject{{u"id"_s, 25}, {u"race"_s, 3}, {u"die"_s, 0}, {u"face"_s, 0}}};
            armies[0] = ann;
        }
        if (index == 4) {
            QJsonObject bo = armies[1].toObject();
            bo[u"dice"_s] = QJsonArray{QJsonObject{{u"id"_s, 27}, {u"race"_s, 3}, {u"die"_s, 0}},
                                      QJsonObject{{u"id"_s, 28}, {u"race"_s, 40}, {u"die"_s, 2}}};
            armies[1] = bo;
        }
        place[u"armies"_s] = armies;
        places.append(place);
    }
    const QJsonArray noSpells{QJsonArray{}, QJsonArray{}, QJsonArray{}, QJsonArray{}, QJsonArray{}, QJsonArray{}};
    QJsonArray annSpells = noSpells;
    annSpells[4] = QJsonArray{QJsonObject{{u"name"_s, u"Steady Aim"_s}, {u"targets"_s, QJsonArray{24}}}};
    return {{u"kind"_s, u"game"_s},
            {u"name"_s, u"Border War"_s},
            {u"nextTargetId"_s, 29},
            {u"round"_s, 2},
            {u"turnOrder"_s, QJsonArray{2, 1}},
            {u"log"_s, QJsonArray{u">**** Starting first round with Bo's turn."_s}},
            {u"places"_s, places},
            {u"players"_s, QJsonArray{QJsonObject{{u"name"_s, u"Ann"_s}, {u"spells"_s, annSpells}},
                                      QJsonObject{{u"name"_s, u"Bo"_s}, {u"email"_s, u"bo@example.org"_s}}}}};
}

class GameToolTest : public TToolTest
{
protected:
    void SetUp() override
    {
        WriteFile(Path(u"races.json"_s), kRaces);
        const TRun races = Run({u"build"_s, u"--kind"_s, u"races"_s, Path(u"races.json"_s), Path(u"KRRACES.DAT"_s)});
        ASSERT_EQ(races.Status, 0) << races.Err.toStdString();
        ASSERT_EQ(Build(GameJson(), u"war.kgm"_s).Status, 0);
    }

    TRun Build(const QJsonObject &json, const QString &out)
    {
        WriteFile(Path(u"game.json"_s), QJsonDocument(json).toJson());
        return Run({u"build"_s, u"--kind"_s, u"game"_s, Path(u"game.json"_s), Path(out)});
    }

    QStringList Races() const { return {u"--races"_s, Path(u"KRRACES.DAT"_s)}; }
};

} // namespace

TEST_F(GameToolTest, DumpAndBuildGiveTheSameBytesBack)
{
    const TRun dump = Run(QStringList{u"dump"_s, Path(u"war.kgm"_s)} + Races());
    ASSERT_EQ(dump.Status, 0) << dump.Err.toStdString();
    // The parts a reader looks for: the header, a place with its terrain, dragon and an
    // army with dice, dice the race database lacks kept by number, a player with spells.
    EXPECT_TRUE(dump.Out.startsWith(uR"json({
  "kind": "game",
  "version": 6,
  "name": "Border War",
  "ftpName": "",
  "controller": -1,
  "nextTargetId": 29,
  "round": 2,
  "turnOrder": [2, 1],
  "turnPosition": 1,
  "phase": 0,
  "step": 0,
  "log": [">**** Starting first round with Bo's turn."],
  "places": [
)json"_s)) << dump.Out.toStdString();
    EXPECT_TRUE(dump.Out.contains(uR"json(      "majorTerrain": "Coastland City",
      "face": 6,
      "dragons": [
        {
          "id": 26,
          "player": 2,
          "race": 7,
          "die": 0,
          "face": 1,
          "name": "Emberkin Ash Drake"
        }
      ],
      "armies": [
        {
          "id": 16,
          "player": 1,
          "minorTerrain": "(none)",
          "minorTerrainFace": 8,
          "ownsTerrain": false,
          "dice": [
            {"id": 24, "race": 3, "die": 1, "face": 1, "name": "Reedfolk Reed Archer"},
            {"id": 25, "race": 3, "die": 0, "face": 0, "name": "Reedfolk Marsh Scout"}
          ]
        },)json"_s)) << dump.Out.toStdString();
    EXPECT_TRUE(dump.Out.contains(u"{\"id\": 28, \"race\": 40, \"die\": 2, \"face\": 1}"_s));
    EXPECT_TRUE(dump.Out.contains(uR"json(      "minorTerrains": ["(none)", "(none)", "(none)", "(none)"],
      "spells": [
        [],
        [],
        [],
        [],
        [
          {
            "name": "Steady Aim",
            "duration": "Permanent",
            "casterRace": -1,
            "round": 0,
            "targets": [24]
          }
        ],
        []
      ]
)json"_s)) << dump.Out.toStdString();

    WriteFile(Path(u"dump.json"_s), dump.Out.toUtf8());
    ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"game"_s, Path(u"dump.json"_s), Path(u"again.kgm"_s)}).Status, 0);
    EXPECT_EQ(FileBytes(Path(u"again.kgm"_s)), FileBytes(Path(u"war.kgm"_s)));
}

TEST_F(GameToolTest, ResaveOpensAsTheProgramDoesAndCountsTheDiceLeftOut)
{
    const TRun resave = Run(QStringList{u"resave"_s} + Races() + QStringList{Path(u"war.kgm"_s), Path(u"out.kgm"_s)});
    EXPECT_EQ(resave.Status, 0) << resave.Err.toStdString();
    EXPECT_EQ(resave.Err, u"1 dice lost.\n"_s);
    const TRun dump = Run(QStringList{u"dump"_s, Path(u"out.kgm"_s)} + Races());
    EXPECT_FALSE(dump.Out.contains(u"\"race\": 40"_s));
    EXPECT_TRUE(dump.Out.contains(u"\"nextTargetId\": 29"_s)) << "the next ID is kept as read";

    // Saved again, nothing more is lost and nothing changes.
    const TRun again = Run(QStringList{u"resave"_s} + Races() + QStringList{Path(u"out.kgm"_s), Path(u"out2.kgm"_s)});
    EXPECT_EQ(again.Err, QString());
    EXPECT_EQ(FileBytes(Path(u"out2.kgm"_s)), FileBytes(Path(u"out.kgm"_s)));
}

TEST_F(GameToolTest, StatusPrintsTheClipboardText)
{
    const TRun status = Run(QStringList{u"status"_s, Path(u"war.kgm"_s)} + Races());
    EXPECT_EQ(status.Status, 0);
    EXPECT_EQ(status.Err, u"1 dice lost.\n"_s);
    EXPECT_EQ(status.Out, u"Transmitting game status during round 2.\r\n"
                          "*** Reserves\r\n"
                          " ** Bo's Army:  1 health\r\n"
                          "    Reedfolk Marsh Scout[27]\r\n"
                          "*** Frontier:  Coastland City on 6 Melee\r\n"
                          "    Emberkin Ash Drake[26]\r\n"
                          " ** Ann's Army:  4 health\r\n"
                          "    Reedfolk Reed Archer[24]\r\n"
                          "    Reedfolk Marsh Scout[25]\r\n"_s);
}

TEST_F(GameToolTest, GamesThatWouldNotOpenAreRefused)
{
    QJsonObject json = GameJson();
    json[u"turnOrder"_s] = QJsonArray{1, 1};
    const TRun twice = Build(json, u"bad.kgm"_s);
    EXPECT_EQ(twice.Status, 1);
    EXPECT_TRUE(twice.Err.contains(u"the game would not open: Player 1 is twice in the turn order"_s))
        << twice.Err.toStdString();
    EXPECT_FALSE(QFile::exists(Path(u"bad.kgm"_s)));

    json = GameJson();
    json[u"places"_s] = QJsonArray{};
    EXPECT_TRUE(Build(json, u"bad.kgm"_s).Err.contains(u"places: 8 places are expected for 2 players"_s));
    json = GameJson();
    json[u"speed"_s] = 3;
    EXPECT_TRUE(Build(json, u"bad.kgm"_s).Err.contains(u"speed: unknown key"_s));

    // Cut inside the log line.
    WriteFile(Path(u"cut.kgm"_s), FileBytes(Path(u"war.kgm"_s)).left(40));
    const QString cut = Path(u"cut.kgm"_s) + u": The length of a text at offset 35 is 42 bytes but only 3 remain."_s;
    ExpectFailures({
        {QStringList{u"dump"_s, Path(u"cut.kgm"_s)} + Races(), cut},
        {QStringList{u"status"_s, Path(u"cut.kgm"_s)} + Races(), cut},
        {QStringList{u"resave"_s, Path(u"cut.kgm"_s), Path(u"o.kgm"_s)} + Races(), cut},
    });
    EXPECT_FALSE(QFile::exists(Path(u"o.kgm"_s)));
}
