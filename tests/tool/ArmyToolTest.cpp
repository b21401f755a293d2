#include "ToolFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Race 3 with dice 0 and 1, and the dragons of race 25 that the slots of version-2
// records name; there is no race 26.
const QByteArray kRaces = R"js({"races": [
  {"id": 3, "name": "Reedfolk", "dice": [
    {"id": 0, "name": "Marsh Scout", "health": 1, "profession": "Light Troop", "faces": ["1 ID", "1 Melee"]},
    {"id": 1, "name": "Reed Archer", "health": 3, "profession": "Archer", "faces": ["1 ID", "1 Missile"]}]},
  {"id": 25, "name": "Skywyrms", "type": "Dragonkin", "dice": [
    {"id": 10, "name": "Storm Wyrm", "health": 10, "profession": "(none)", "faces": ["1 ID"]},
    {"id": 11, "name": "Sky Drake", "health": 5, "profession": "(none)", "faces": ["1 ID"]}]}
]})js";

const QString kNewArmy = u"02 04 06 08 4E 65 77 20 41 72 6D 79 01 00 06 00 02 02 02 24 02 02"
                         " 02 18 02 18 02 18 02 18 06 06 28 6E 6F 6E 65 29"_s;

// Version 2: "Old", the scout and race 40's die 1, a campaign army whose dragon slots
// are 0 (race 25 die 11), 1 (race 25 die 10), 10 and -1 (none) and 2 (race 26, lacking).
const QString kVersion2 = u"02 02 06 03 4F 6C 64 01 02 03 02 00 02 28 02 01 00 06 00 02 01"
                          " 02 00 02 01 02 0A 02 FF 02 02"
                          " 02 05 02 03 02 18 02 18 02 17 06 01 47"_s;

class ArmyToolTest : public TToolTest
{
protected:
    void SetUp() override
    {
        WriteFile(Path(u"races.json"_s), kRaces);
        const TRun races = Run({u"build"_s, u"--kind"_s, u"races"_s, Path(u"races.json"_s), Path(u"KRRACES.DAT"_s)});
        ASSERT_EQ(races.Status, 0) << races.Err.toStdString();
    }

    // Dumps the file and builds the dump again; answers the dump.
    QString RoundTrip(const QString &file, const QString &kind, const QString &built)
    {
        const TRun dump = Run({u"dump"_s, Path(file)});
        EXPECT_EQ(dump.Status, 0) << dump.Err.toStdString();
        WriteFile(Path(file + u".json"_s), dump.Out.toUtf8());
        const TRun build = Run({u"build"_s, u"--kind"_s, kind, Path(file + u".json"_s), Path(built)});
        EXPECT_EQ(build.Status, 0) << build.Err.toStdString();
        return dump.Out;
    }
};

} // namespace

TEST_F(ArmyToolTest, DumpAndBuildOfArmies)
{
    WriteFile(Path(u"OLD.KRA"_s), FromHex(kVersion2));
    EXPECT_EQ(RoundTrip(u"OLD.KRA"_s, u"army"_s, u"built.kra"_s), uR"json({
  "kind": "army",
  "version": 2,
  "name": "Old",
  "dice": [
    {"race": 3, "die": 0, "name": "Marsh Scout, Reedfolk Light Troop, 1hp"},
    {"race": 40, "die": 1}
  ],
  "dragonSlots": [0, 1, 10, -1, 2],
  "notes": "",
  "type": "Campaign Army",
  "battleSize": 36,
  "majorTerrain": "Flatland Standing Stones",
  "minorTerrains": ["Coastland Village", "(not used)", "(not used)", "Feyland Village"],
  "group": "G"
}
)json"_s);
    // Version 4, the dragons of the slots after the other dice; the dice the race
    // database lacks stay: they are data of the file.
    EXPECT_EQ(Hex(FileBytes(Path(u"built.kra"_s))),
              u"02 04 06 03 4F 6C 64 01 02 03 02 00 02 28 02 01 02 19 02 0B 02 19 02 0A 02 1A 02 0B 00 06 00 02 01"
              " 02 24 02 05 02 03 02 18 02 18 02 17 06 01 47");

    // Version 4 goes round byte for byte, whatever its values.
    WriteFile(Path(u"new.kra"_s), FromHex(kNewArmy));
    RoundTrip(u"new.kra"_s, u"army"_s, u"new-again.kra"_s);
    EXPECT_EQ(Hex(FileBytes(Path(u"new-again.kra"_s))), kNewArmy);
    RoundTrip(u"built.kra"_s, u"army"_s, u"built-again.kra"_s);
    EXPECT_EQ(FileBytes(Path(u"built-again.kra"_s)), FileBytes(Path(u"built.kra"_s)));

    // Hand-written JSON: left-out keys are a new army's; values by name or number.
    WriteFile(Path(u"hand.json"_s), R"js({"name": "Keep", "type": 0, "majorTerrain": 47, "battleSize": 4294967295,
                                        "minorTerrains": [0, "Feyland Village", 24, "(not used)"],
                                        "notes": "\u00c6r\u00f8"})js");
    ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"army"_s, Path(u"hand.json"_s), Path(u"hand.kra"_s)}).Status, 0);
    EXPECT_EQ(Hex(FileBytes(Path(u"hand.kra"_s))),
              u"02 04 06 04 4B 65 65 70 01 00 14 05 00 00 00 C3 86 72 C3 B8 02 00 13 FF FF FF FF 00 00 00 00"
              " 02 2F 02 00 02 17 02 18 02 18 06 06 28 6E 6F 6E 65 29");
}

TEST_F(ArmyToolTest, DumpAndBuildOfGroups)
{
    const QByteArray group = FromHex(u"02 02 01 "_s + kNewArmy + u' ' + kVersion2 + u" 00"_s);
    WriteFile(Path(u"g.krg"_s), group);
    const QString dump = RoundTrip(u"g.krg"_s, u"group"_s, u"g-built.krg"_s);
    EXPECT_TRUE(dump.startsWith(u"{\n  \"kind\": \"group\",\n  \"version\": 2,\n  \"armies\": [\n    {\n"
                                "      \"version\": 4,\n      \"name\": \"New Army\",\n      \"dice\": [],\n"_s))
        << dump.toStdString();
    EXPECT_TRUE(dump.contains(u"      \"dragonSlots\": [0, 1, 10, -1, 2],\n"_s));
    RoundTrip(u"g-built.krg"_s, u"group"_s, u"g-again.krg"_s);
    EXPECT_EQ(FileBytes(Path(u"g-again.krg"_s)), FileBytes(Path(u"g-built.krg"_s)));

    // The earlier format: paths as written, and its own version.
    const QByteArray paths = FromHex(u"02 00 01 06 07 2E 5C 61 2E 6B 72 61 06 03 2F 62 2F 00"_s);
    WriteFile(Path(u"old.KRG"_s), paths);
    EXPECT_EQ(RoundTrip(u"old.KRG"_s, u"group"_s, u"old-again.krg"_s),
              u"{\"kind\": \"group\", \"version\": 0, \"paths\": [\".\\\\a.kra\", \"/b/\"]}\n"_s);
    EXPECT_EQ(FileBytes(Path(u"old-again.krg"_s)), paths);
}

TEST_F(ArmyToolTest, ResaveOpensAndSavesAsTheProgramDoes)
{
    const QStringList races{u"--races"_s, Path(u"KRRACES.DAT"_s)};

    // Version 1: defaults after the dice and notes; race 40 is lost.
    WriteFile(Path(u"v1.kra"_s), FromHex(u"02 01 06 03 4F 6C 64 01 02 03 02 01 02 28 02 01 00 06 01 6E"_s));
    TRun run = Run(QStringList{u"resave"_s, Path(u"v1.kra"_s), Path(u"out1.kra"_s)} + races);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, u"1 dice lost.\n");
    EXPECT_TRUE(run.Out.isEmpty());
    EXPECT_EQ(Hex(FileBytes(Path(u"out1.kra"_s))),
              u"02 04 06 03 4F 6C 64 01 02 03 02 01 00 06 01 6E"
              " 02 02 02 24 02 02 02 18 02 18 02 18 02 18 06 06 28 6E 6F 6E 65 29");

    // Version 2: the dragons the database holds join the army; race 40 and race 26 are lost.
    WriteFile(Path(u"v2.kra"_s), FromHex(kVersion2));
    run = Run(QStringList{u"resave"_s, Path(u"v2.kra"_s), Path(u"out2.kra"_s)} + races);
    EXPECT_EQ(run.Err, u"2 dice lost.\n");
    EXPECT_EQ(Hex(FileBytes(Path(u"out2.kra"_s))),
              u"02 04 06 03 4F 6C 64 01 02 03 02 00 02 19 02 0B 02 19 02 0A 00 06 00 02 01"
              " 02 24 02 05 02 03 02 18 02 18 02 17 06 01 47");

    // Version 3: battle size 36. Nothing lost, nothing said; resaving the output changes nothing.
    WriteFile(Path(u"v3.dat"_s), FromHex(u"02 03 06 01 41 01 00 06 00 02 00 02 1A 02 00 02 18 02 18 02 18 06 01 47"_s));
    run = Run(QStringList{u"resave"_s, u"--kind"_s, u"army"_s, Path(u"v3.dat"_s), Path(u"out3.kra"_s)} + races);
    EXPECT_EQ(run.Status, 0);
    EXPECT_TRUE(run.Err.isEmpty());
    const QByteArray out3 = FileBytes(Path(u"out3.kra"_s));
    EXPECT_EQ(Hex(out3), u"02 04 06 01 41 01 00 06 00 02 00 02 24 02 1A 02 00 02 18 02 18 02 18 06 01 47");
    // With the data directory's race database this time.
    ASSERT_EQ(Run({u"resave"_s, Path(u"out3.kra"_s), Path(u"out3-again.kra"_s)}).Status, 0);
    EXPECT_EQ(FileBytes(Path(u"out3-again.kra"_s)), out3);

    // A group of the earlier format loads the army files it names and becomes a list.
    ASSERT_TRUE(QDir(Folder.path()).mkdir(u"sub"_s));
    WriteFile(Path(u"sub/new.kra"_s), FromHex(kNewArmy));
    // ".\v1.kra", the absolute path of sub/new.kra, ".\v2.kra".
    const QByteArray absolute = Path(u"sub/new.kra"_s).toUtf8();
    ASSERT_LT(absolute.size(), 256);
    const QByteArray old = FromHex(u"02 01 01 06 08 2E 5C 76 31 2E 6B 72 61 06"_s) + char(absolute.size()) + absolute +
                           FromHex(u"06 08 2E 5C 76 32 2E 6B 72 61 00"_s);
    WriteFile(Path(u"old.krg"_s), old);
    run = Run(QStringList{u"resave"_s, Path(u"old.krg"_s), Path(u"new.KRG"_s)} + races);
    EXPECT_EQ(run.Status, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Err, u"3 dice lost.\n");
    EXPECT_EQ(Hex(FileBytes(Path(u"new.KRG"_s))), Hex(FromHex(u"02 02 01"_s) + FileBytes(Path(u"out1.kra"_s)) +
                                                      FromHex(kNewArmy) + FileBytes(Path(u"out2.kra"_s)) + '\0'));
    ASSERT_EQ(Run(QStringList{u"resave"_s, Path(u"new.KRG"_s), Path(u"again.krg"_s)} + races).Status, 0);
    EXPECT_EQ(FileBytes(Path(u"again.krg"_s)), FileBytes(Path(u"new.KRG"_s)));
}

TEST_F(ArmyToolTest, BadFilesAndBadUsage)
{
    const QStringList races{u"--races"_s, Path(u"KRRACES.DAT"_s)};
    const QByteArray army = FromHex(kNewArmy);
    WriteFile(Path(u"cut.kra"_s), army.left(army.size() - 1));
    WriteFile(Path(u"tail.kra"_s), army + "x");
    WriteFile(Path(u"type.kra"_s), FromHex(u"02 04 06 00 01 00 06 00 02 05"_s));
    WriteFile(Path(u"missing.krg"_s), FromHex(u"02 01 01 06 06 2E 5C 6E 2E 6B 72 00"_s)); // ".\n.kr"
    WriteFile(Path(u"typo.json"_s), R"({"name": "A", "grup": "G"})");
    WriteFile(Path(u"terrain.json"_s), R"({"majorTerrain": "Coastland Bridge"})");
    WriteFile(Path(u"minors.json"_s), R"({"minorTerrains": [24, 24, 24]})");
    WriteFile(Path(u"huge.json"_s), R"({"type": 1e300})");
    WriteFile(Path(u"dice.json"_s), R"({"dice": [{"race": 3}]})");
    WriteFile(Path(u"both.json"_s), R"({"armies": [], "paths": []})");
    WriteFile(Path(u"kind.json"_s), R"({"kind": "group", "paths": []})");
    WriteFile(Path(u"member.json"_s), R"({"armies": [{"version": 5}]})");
    WriteFile(Path(u"slots.json"_s), R"({"version": 4, "dragonSlots": [0, 1, 2, 3, 4]})");
    WriteFile(Path(u"three.json"_s), R"({"version": 2, "dragonSlots": [0, 1, 2]})");

    const QList<std::pair<QStringList, QString>> cases{
        {QStringList{u"dump"_s, Path(u"cut.kra"_s)} + races,
         Path(u"cut.kra"_s) + u": The length of a text at offset 30 is 6 bytes but only 5 remain."_s},
        {QStringList{u"dump"_s, Path(u"tail.kra"_s)} + races,
         Path(u"tail.kra"_s) + u": Unexpected data after the end of the file's contents at offset 38."_s},
        {QStringList{u"dump"_s, Path(u"type.kra"_s)} + races,
         Path(u"type.kra"_s) + u": Army type 5 is out of range at offset 8."_s},
        {QStringList{u"dump"_s, Path(u"type.kra"_s), u"--kind"_s, u"group"_s} + races,
         Path(u"type.kra"_s) + u": Group file version 4 is newer than 2 at offset 0."_s},
        {QStringList{u"resave"_s, Path(u"cut.kra"_s), Path(u"out.kra"_s)} + races,
         Path(u"cut.kra"_s) + u": The length of a text"_s},
        {QStringList{u"resave"_s, Path(u"missing.krg"_s), Path(u"out.krg"_s)} + races,
         Path(u"missing.krg"_s) + u": Cannot open \""_s + Path(u"n.kr"_s)},
        {QStringList{u"resave"_s, Path(u"tail.kra"_s), Path(u"no/such/out.kra"_s)} + races,
         Path(u"no/such/out.kra"_s) + u": Cannot write"_s},
        {{u"resave"_s, Path(u"tail.kra"_s), Path(u"out.kra"_s), u"--races"_s, Path(u"none.DAT"_s)},
         Path(u"none.DAT"_s) + u": Cannot open"_s},
        {{u"build"_s, u"--kind"_s, u"army"_s, Path(u"typo.json"_s), Path(u"out.kra"_s)},
         Path(u"typo.json"_s) + u": grup: unknown key"_s},
        {{u"build"_s, u"--kind"_s, u"army"_s, Path(u"terrain.json"_s), Path(u"out.kra"_s)},
         Path(u"terrain.json"_s) +
             u": majorTerrain: \"Coastland City\" to \"Feyland Vortex\" or a number from 0 to 47 is expected"_s},
        {{u"build"_s, u"--kind"_s, u"army"_s, Path(u"minors.json"_s), Path(u"out.kra"_s)},
         Path(u"minors.json"_s) + u": minorTerrains: four minor terrains are expected"_s},
        {{u"build"_s, u"--kind"_s, u"army"_s, Path(u"huge.json"_s), Path(u"out.kra"_s)},
         Path(u"huge.json"_s) + u": type: \"Home Army\" to \"Summoning Pool\" or a number from 0 to 4 is expected"_s},
        {{u"build"_s, u"--kind"_s, u"army"_s, Path(u"dice.json"_s), Path(u"out.kra"_s)},
         Path(u"dice.json"_s) + u": dice[0].die: missing"_s},
        {{u"build"_s, u"--kind"_s, u"army"_s, Path(u"kind.json"_s), Path(u"out.kra"_s)},
         Path(u"kind.json"_s) + u": kind: this is not an \"army\" file"_s},
        {{u"build"_s, u"--kind"_s, u"group"_s, Path(u"both.json"_s), Path(u"out.krg"_s)},
         Path(u"both.json"_s) + u": give either \"armies\" or \"paths\""_s},
        {{u"build"_s, u"--kind"_s, u"group"_s, Path(u"member.json"_s), Path(u"out.krg"_s)},
         Path(u"member.json"_s) + u": armies[0].version: 5 is outside -2147483648 to 4"_s},
        {{u"build"_s, u"--kind"_s, u"army"_s, Path(u"slots.json"_s), Path(u"out.kra"_s)},
         Path(u"slots.json"_s) + u": dragonSlots: only a version-2 army has dragon slots"_s},
        {{u"build"_s, u"--kind"_s, u"army"_s, Path(u"three.json"_s), Path(u"out.kra"_s)},
         Path(u"three.json"_s) + u": dragonSlots: five slots are expected"_s},
    };
    ExpectFailures(cases);
    EXPECT_FALSE(QFile::exists(Path(u"out.kra"_s)));
    EXPECT_FALSE(QFile::exists(Path(u"out.krg"_s)));

    for (const QStringList &bad : {QStringList{u"resave"_s, Path(u"a.kra"_s)},
                                   {u"resave"_s, u"--kind"_s, u"armies"_s, Path(u"a.kra"_s), Path(u"b.kra"_s)},
                                   {u"dump"_s, Path(u"a.kra"_s), Path(u"b.kra"_s)},
                                   {u"build"_s, Path(u"a.json"_s), Path(u"b.kra"_s)}}) {
        const TRun run = Run(bad);
        EXPECT_EQ(run.Status, 2) << bad.join(u' ').toStdString();
        EXPECT_TRUE(run.Err.startsWith(u"krtool: "_s)) << run.Err.toStdString();
    }
    const QString help = Run({u"help"_s}).Out;
    EXPECT_TRUE(help.contains(u"  resave [--kind army|group] [--races R] [--icons I] IN OUT"_s));
    EXPECT_TRUE(help.contains(u"  build --kind races|icons|inventory|prices|trade|army|group|game JSON OUT"_s));
}
