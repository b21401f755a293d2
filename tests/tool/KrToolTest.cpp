#include "ToolFixture.h"
#include "army/ArmyData.h"
#include "army/ArmyFile.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/TaggedStream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class KrToolTest : public TToolTest
{
protected:
    // The small catalogue of the test data, built into the temporary folder.
    void BuildMini()
    {
        ASSERT_EQ(
            Run({u"build"_s, u"--kind"_s, u"icons"_s, TestDataPath(u"tool/mini-icons.json"_s), Path(u"KRICONS.DAT"_s)})
                .Status,
            0);
        const TRun races =
            Run({u"build"_s, u"--kind"_s, u"races"_s, TestDataPath(u"tool/mini-races.json"_s), Path(u"KRRACES.DAT"_s)});
        ASSERT_EQ(races.Status, 0) << races.Err.toStdString();
    }
};

} // namespace

TEST_F(KrToolTest, UsageAndExitStatus)
{
    const TRun help = Run({u"help"_s});
    EXPECT_EQ(help.Status, 0);
    EXPECT_TRUE(help.Out.startsWith(u"Usage: krtool COMMAND [OPTIONS]"_s));
    EXPECT_TRUE(help.Err.isEmpty());

    const TRun none = Run({});
    EXPECT_EQ(none.Status, 2);
    EXPECT_EQ(none.Err, u"krtool: No command given.\nTry \"krtool help\".\n");
    EXPECT_EQ(Run({u"shuffle"_s}).Err.section(u'\n', 0, 0), u"krtool: Unknown command \"shuffle\".");
    for (const QStringList &bad : {QStringList{u"dump"_s},
                                   {u"dump"_s, u"a.DAT"_s, u"b.DAT"_s},
                                   {u"dump"_s, u"notes.txt"_s},
                                   {u"dump"_s, u"x.DAT"_s, u"--kind"_s, u"armies"_s},
                                   {u"build"_s, u"a.json"_s, u"b.DAT"_s},
                                   {u"stats"_s, u"--die"_s, u"1"_s},
                                   {u"stats"_s, u"--race"_s, u"x"_s},
                                   {u"stats"_s, u"--bogus"_s},
                                   {u"rng"_s},
                                   {u"rng"_s, u"--time"_s, u"soon"_s},
                                   {u"rng"_s, u"--time"_s, u"inf"_s},
                                   {u"rng"_s, u"--time"_s, u"1"_s, u"--sides"_s, u"0"_s},
                                   {u"rng"_s, u"--time"_s, u"1"_s, u"--modifier"_s, u"2"_s},
                                   {u"rng"_s, u"--time"_s, u"1"_s, u"--count"_s, u"-1"_s}}) {
        const TRun run = Run(bad);
        EXPECT_EQ(run.Status, 2) << bad.join(u' ').toStdString();
        EXPECT_TRUE(run.Out.isEmpty());
        EXPECT_TRUE(run.Err.startsWith(u"krtool: "_s));
        EXPECT_EQ(run.Err.count(u"krtool help"_s), 1) << "one hint is enough";
    }
    // An empty file name is a slip on the command line, not a file that cannot be opened.
    for (const QStringList &empty : {QStringList{u"dump"_s, QString()}, {u"analyze"_s, QString()},
                                     {u"build"_s, u"--kind"_s, u"army"_s, QString(), u"o.kra"_s}}) {
        const TRun run = Run(empty);
        EXPECT_EQ(run.Status, 2);
        EXPECT_EQ(run.Err, u"krtool: "_s + empty.front() + u": a file name is empty.\nTry \"krtool help\".\n"_s);
    }
}

// The program itself, not the library: what it could not write to standard output is a
// failure, as a cut-off dump would otherwise pass for a whole one.
TEST_F(KrToolTest, AFullStandardOutputIsAFailure)
{
    if (!QFileInfo::exists(u"/dev/full"_s))
        GTEST_SKIP() << "no /dev/full here";
    QProcess tool;
    tool.setStandardOutputFile(u"/dev/full"_s);
    tool.start(QString::fromUtf8(KR_KRTOOL_PATH), {u"help"_s});
    ASSERT_TRUE(tool.waitForFinished(30000)) << tool.errorString().toStdString();
    EXPECT_EQ(tool.exitCode(), 1);
    EXPECT_EQ(QString::fromUtf8(tool.readAllStandardError()), u"krtool: cannot write to standard output\n");
}

TEST_F(KrToolTest, BuildAndDumpAreInverse)
{
    BuildMini();
    const TRun dump = Run({u"dump"_s, Path(u"KRRACES.DAT"_s)});
    ASSERT_EQ(dump.Status, 0) << dump.Err.toStdString();
    // A symbol whose name a later symbol also carries is written by number; the other
    // faces by their text.
    EXPECT_TRUE(dump.Out.contains(
        u"\"faces\": [\"2 ID\", \"2 Magic\", \"1 Magic\", {\"symbol\": 6, \"count\": 1}, \"1 Save\", \"1 Move\"]"_s))
        << dump.Out.toStdString();
    EXPECT_TRUE(dump.Out.contains(u"\"faces\": [\"1 Riptide\"]"_s));
    EXPECT_TRUE(dump.Out.contains(u"\"nextDieId\": 8"_s));
    EXPECT_TRUE(dump.Out.contains(u"\"nextId\": 10"_s));

    WriteFile(Path(u"dump.json"_s), dump.Out.toUtf8());
    ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"races"_s, Path(u"dump.json"_s), Path(u"again.DAT"_s)}).Status, 0);
    EXPECT_EQ(FileBytes(Path(u"again.DAT"_s)), FileBytes(Path(u"KRRACES.DAT"_s)));

    const TRun icons = Run({u"dump"_s, Path(u"KRICONS.DAT"_s)});
    ASSERT_EQ(icons.Status, 0);
    EXPECT_TRUE(icons.Out.contains(u"\"effects\": [\"Melee\", \"Reroll Melee\", \"Special Icon\"]"_s));
    WriteFile(Path(u"icons.json"_s), icons.Out.toUtf8());
    ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"icons"_s, Path(u"icons.json"_s), Path(u"icons.DAT"_s)}).Status, 0);
    EXPECT_EQ(FileBytes(Path(u"icons.DAT"_s)), FileBytes(Path(u"KRICONS.DAT"_s)));

    // The sample catalogue that ships with the program goes round the same way.
    const QString data = TestDataPath(u"../../data/"_s);
    ASSERT_TRUE(QDir(Folder.path()).mkdir(u"sample"_s));
    ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"icons"_s, data + u"icons.json"_s, Path(u"sample/KRICONS.DAT"_s)}).Status,
              0);
    ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"races"_s, data + u"races.json"_s, Path(u"sample/KRRACES.DAT"_s)}).Status,
              0);
    const TRun sample = Run({u"dump"_s, Path(u"sample/KRRACES.DAT"_s)});
    ASSERT_EQ(sample.Status, 0);
    EXPECT_FALSE(sample.Out.contains(u"\"symbol\""_s)) << "every sample face names its symbol";
    WriteFile(Path(u"sample/dump.json"_s), sample.Out.toUtf8());
    ASSERT_EQ(
        Run({u"build"_s, u"--kind"_s, u"races"_s, Path(u"sample/dump.json"_s), Path(u"sample/again.DAT"_s)}).Status, 0);
    EXPECT_EQ(FileBytes(Path(u"sample/again.DAT"_s)), FileBytes(Path(u"sample/KRRACES.DAT"_s)));
}

TEST_F(KrToolTest, BadFilesAreExitStatusOne)
{
    BuildMini();
    const QByteArray races = FileBytes(Path(u"KRRACES.DAT"_s));
    WriteFile(Path(u"cut.DAT"_s), races.left(40));
    WriteFile(Path(u"tail.DAT"_s), races + "x");
    WriteFile(Path(u"bad.json"_s), "{\"races\": [");
    WriteFile(Path(u"typo.json"_s), "{\"races\": [{\"id\": 1, \"name\": \"A\", \"colour\": []}]}");
    WriteFile(Path(u"vocabulary.json"_s),
              "{\"races\": [{\"id\": 1, \"name\": \"A\", \"dice\": [{\"name\": \"D\", \"health\": 1, "
              "\"profession\": \"Knight\", \"faces\": []}]}]}");
    WriteFile(Path(u"huge.json"_s), "{\"races\": [{\"id\": 1e20, \"name\": \"A\"}]}");
    WriteFile(Path(u"hugetype.json"_s), "{\"races\": [{\"id\": 1, \"name\": \"A\", \"type\": -1e300}]}");
    WriteFile(Path(u"symbol.json"_s),
              "{\"races\": [{\"id\": 1, \"name\": \"A\", \"dice\": [{\"name\": \"D\", \"health\": 1, "
              "\"profession\": \"Mage\", \"faces\": [\"1 Lightning\"]}]}]}");

    const QList<std::pair<QStringList, QString>> cases{
        {{u"dump"_s, Path(u"missing.DAT"_s)}, Path(u"missing.DAT"_s) + u": Cannot open"_s},
        {{u"dump"_s, Path(u"cut.DAT"_s)},
         Path(u"cut.DAT"_s) + u": The length of a text at offset 32 is 8 bytes but only 6 remain."_s},
        {{u"dump"_s, Path(u"tail.DAT"_s)},
         Path(u"tail.DAT"_s) +
             u": Unexpected data after the end of the file's contents at offset %1."_s.arg(races.size())},
        {{u"stats"_s, u"--races"_s, Path(u"cut.DAT"_s)}, Path(u"cut.DAT"_s) + u": The length of a text"_s},
        {{u"stats"_s, u"--races"_s, Path(u"KRRACES.DAT"_s), u"--race"_s, u"5"_s},
         Path(u"KRRACES.DAT"_s) + u": there is no race with ID 5"_s},
        {{u"stats"_s, u"--races"_s, Path(u"KRRACES.DAT"_s), u"--race"_s, u"9"_s, u"--die"_s, u"3"_s},
         Path(u"KRRACES.DAT"_s) + u": race 9 has no die with ID 3"_s},
        {{u"build"_s, u"--kind"_s, u"races"_s, Path(u"bad.json"_s), Path(u"out.DAT"_s)}, Path(u"bad.json"_s) + u": "_s},
        {{u"build"_s, u"--kind"_s, u"races"_s, Path(u"typo.json"_s), Path(u"out.DAT"_s)},
         Path(u"typo.json"_s) + u": races[0].colour: unknown key"_s},
        {{u"build"_s, u"--kind"_s, u"races"_s, Path(u"vocabulary.json"_s), Path(u"out.DAT"_s)},
         Path(u"vocabulary.json"_s) + u": races[0].dice[0].profession: \"Knight\" is not one of: \"Archer\""_s},
        {{u"build"_s, u"--kind"_s, u"races"_s, Path(u"huge.json"_s), Path(u"out.DAT"_s)},
         Path(u"huge.json"_s) + u": races[0].id: 100000000000000000000 is outside -2147483648 to 2147483647"_s},
        {{u"build"_s, u"--kind"_s, u"races"_s, Path(u"hugetype.json"_s), Path(u"out.DAT"_s)},
         Path(u"hugetype.json"_s) + u": races[0].type: expected one of: \"Normal Units\""_s},
        {{u"build"_s, u"--kind"_s, u"races"_s, Path(u"symbol.json"_s), Path(u"out.DAT"_s)},
         Path(u"symbol.json"_s) + u": races[0].dice[0].faces[0]: there is no face symbol named \"Lightning\""_s},
        {{u"build"_s, u"--kind"_s, u"icons"_s, TestDataPath(u"tool/mini-races.json"_s), Path(u"out.DAT"_s)},
         TestDataPath(u"tool/mini-races.json"_s) + u": icons: missing"_s},
        {{u"build"_s, u"--kind"_s, u"races"_s, u"--icons"_s, Path(u"KRICONS.DAT"_s),
          TestDataPath(u"tool/mini-races.json"_s), Path(u"cut.DAT/x"_s)},
         Path(u"cut.DAT/x"_s) + u": Cannot write"_s},
    };
    ExpectFailures(cases);
    EXPECT_FALSE(QFile::exists(Path(u"out.DAT"_s)));
}

TEST_F(KrToolTest, StatsLines)
{
    BuildMini();
    const TRun all = Run({u"stats"_s, u"--races"_s, Path(u"KRRACES.DAT"_s)});
    ASSERT_EQ(all.Status, 0) << all.Err.toStdString();
    const QStringList lines = all.Out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 27);
    // The new die of a plain race, worked out by hand.
    EXPECT_EQ(lines[0], u"4\t0\tCoastland\t0.00/0.00\t0.00/0.00\t0.00/0.00\t0.00/0.00\t0.00/0.00\t0.17/0.37\t"
                        "0.17/0.37\t1.00/0.00\t0.17/0.37\t0.17/0.37\t0.00/0.00\t0.00/0.00\t1.46/1.02\t0.00/0.00\t"
                        "-0.17/0.37");
    EXPECT_EQ(lines[3].section(u'\t', 0, 3), u"4\t0\tReserves\t0.00/0.00");
    EXPECT_EQ(lines[7].section(u'\t', 2, 2), u"(none)");
    EXPECT_EQ(lines[8], u"4\t0\teffects\t0.166667"_s + u"\t0.000000"_s.repeated(16) + u"\t-"_s);
    for (const QString &line : lines)
        EXPECT_EQ(line.count(u'\t'), line.contains(u"effects"_s) ? 20 : 17) << line.toStdString();

    // One die, per point of health, with the rules options on.
    const TRun mage = Run(
        {u"stats"_s, u"--races"_s, Path(u"KRRACES.DAT"_s), u"--race"_s, u"9"_s, u"--die"_s, u"0"_s, u"--per-health"_s});
    const QStringList mageLines = mage.Out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(mageLines.size(), 9);
    // Blue at the coast: the ID face doubles (2 + 2) and the magic faces give 2 and 1:
    // 7 over 6 faces, halved for health 2.
    EXPECT_EQ(mageLines[0].section(u'\t', 0, 4), u"9\t0\tCoastland\t0.00/0.00\t0.58/0.73");
    EXPECT_TRUE(mageLines[8].endsWith(u"\tmage"_s));

    const TRun race = Run({u"stats"_s, u"--races"_s, Path(u"KRRACES.DAT"_s), u"--race"_s, u"9"_s});
    EXPECT_EQ(race.Out.count(u'\n'), 18);
    EXPECT_TRUE(race.Out.section(u'\n', 9, 9).startsWith(u"9\t7\tCoastland\t"_s));

    // Without --icons the symbols come from beside the database: move it away and the
    // special faces count for nothing.
    QDir(Folder.path()).mkdir(u"alone"_s);
    QFile::copy(Path(u"KRRACES.DAT"_s), Path(u"alone/KRRACES.DAT"_s));
    const TRun alone =
        Run({u"stats"_s, u"--races"_s, Path(u"alone/KRRACES.DAT"_s), u"--race"_s, u"9"_s, u"--die"_s, u"7"_s});
    EXPECT_EQ(alone.Out.section(u'\n', 0, 0).section(u'\t', 3), u"0.00/0.00\t"_s.repeated(14) + u"0.00/0.00"_s);
    const TRun withIcons = Run({u"stats"_s, u"--races"_s, Path(u"alone/KRRACES.DAT"_s), u"--icons"_s,
                                Path(u"KRICONS.DAT"_s), u"--race"_s, u"9"_s, u"--die"_s, u"7"_s});
    EXPECT_TRUE(withIcons.Out.section(u'\n', 8, 8).endsWith(u"\tmage"_s));
}

TEST_F(KrToolTest, RandomNumbers)
{
    const TRun raw = Run({u"rng"_s, u"--time"_s, u"45000.5"_s, u"--count"_s, u"3"_s});
    EXPECT_EQ(raw.Status, 0);
    EXPECT_EQ(raw.Out, u"148504948\n38621222\n141296724\n");
    const TRun rolls = Run(
        {u"rng"_s, u"--time"_s, u"45000.5"_s, u"--count"_s, u"5"_s, u"--sides"_s, u"6"_s, u"--modifier"_s, u"-1"_s});
    EXPECT_EQ(rolls.Out, u"4\n2\n0\n2\n4\n");
    EXPECT_EQ(Run({u"rng"_s, u"--time"_s, u"0"_s}).Out.count(u'\n'), 10);
    EXPECT_EQ(Run({u"rng"_s, u"--time"_s, u"0"_s, u"--count"_s, u"0"_s}).Out, QString());
}

TEST_F(KrToolTest, AnalysisOfAnArmyFile)
{
    BuildMini();
    // Two copies of the plain race's new die, worked out by hand.
    TCatalogue catalogue;
    ReadFolderCatalogue(catalogue);
    TArmy army(catalogue);
    TDie &plain = *catalogue.FindRaceByID(4)->Die(1);
    army.AddDie(plain);
    army.AddDie(plain);
    SaveArmyFile(army, Path(u"pair.kra"_s));

    const TRun run = Run({u"analyze"_s, Path(u"pair.kra"_s), u"--races"_s, Path(u"KRRACES.DAT"_s)});
    ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
    const QStringList lines = run.Out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 25);
    const QStringList coast = lines[0].split(u'\t');
    ASSERT_EQ(coast.size(), 16);
    EXPECT_EQ(coast[0], u"Coastland");
    EXPECT_EQ(coast[1 + int(ResultType::Move)], u"2.00/0.00");
    // Each die: melee 1 on one face in six, variance 5/36; two dice: 10/36.
    EXPECT_EQ(coast[1 + int(ResultType::Melee)], u"0.33/0.53");
    EXPECT_EQ(lines[3].section(u'\t', 0, 0), u"Reserves");
    EXPECT_EQ(lines[8], u"Spell Resist\t 30.56");
    EXPECT_EQ(lines[24], u"Surprise\t  0.00");

    const TRun minimum =
        Run({u"analyze"_s, Path(u"pair.kra"_s), u"--races"_s, Path(u"KRRACES.DAT"_s), u"--show-minimum"_s});
    EXPECT_EQ(minimum.Out.section(u'\n', 0, 0).split(u'\t')[1 + int(ResultType::Melee)], u"0.33/0.00");

    EXPECT_EQ(Run({u"analyze"_s, Path(u"missing.kra"_s), u"--races"_s, Path(u"KRRACES.DAT"_s)}).Status, 1);
    EXPECT_EQ(Run({u"analyze"_s}).Status, 2);
}
