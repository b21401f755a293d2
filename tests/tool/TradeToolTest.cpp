#include "ToolFixture.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "inventory/Inventory.h"
#include "io/FileAccess.h"
#include "io/TaggedStream.h"
#include "shell/Clock.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Robin's trade: Surf Mage (race 9, die 0) going out twice, minor terrain 5 coming in,
// and a die of race 50, which the catalogue does not have.
const QString kRobinsTrade = u"02 01 01 06 0A 52 6F 62 69 6E 20 56 61 6C 65 06 0B 34 20 48 69 6C 6C 20 52 6F 61 64 00"
                             " 06 11 72 6F 62 69 6E 40 65 78 61 6D 70 6C 65 2E 6F 72 67"
                             " 01 02 09 02 00 02 FE 02 FE 02 05 02 01 02 32 02 00 02 01 00"_s;

class TradeToolTest : public TToolTest
{
protected:
    void SetUp() override
    {
        BuildMiniCatalogue();
        // An empty collection as the program saves it.
        TCatalogue catalogue;
        ReadFolderCatalogue(catalogue);
        TFixedClock clock(QDateTime(QDate(2024, 3, 5), QTime(8, 0)));
        TInventory inventory(catalogue, clock);
        WriteFile(Path(u"Collection.kri"_s), WriteToBytes([&](TTaggedWriter &w) { inventory.WriteStream(w); }));
    }

    QStringList Races() const { return {u"--races"_s, Path(u"KRRACES.DAT"_s)}; }

    TRun Import(const QString &offer, const QString &out = u"out.kri"_s)
    {
        return Run(QStringList{u"import-trade"_s} + Races() + QStringList{Path(u"Collection.kri"_s), Path(offer), Path(out)});
    }

    QString DumpOf(const QString &name)
    {
        const TRun dump = Run(QStringList{u"dump"_s, Path(name)} + Races());
        EXPECT_EQ(dump.Status, 0) << dump.Err.toStdString();
        return dump.Out;
    }
};

} // namespace

TEST_F(TradeToolTest, ATradeFileDumpsAndBuildsBackToTheSameBytes)
{
    WriteFile(Path(u"robin.btr"_s), FromHex(kRobinsTrade));
    const QString json = DumpOf(u"robin.btr"_s);
    EXPECT_EQ(json, uR"json({
  "kind": "trade",
  "version": 1,
  "address": ["Robin Vale", "4 Hill Road"],
  "email": "robin@example.org",
  "lines": [
    {"race": 9, "die": 0, "name": "Surf Mage, Tidecallers Mage, 2hp", "count": -2},
    {"minor": 5, "name": "Flatland Forest (Minor)", "count": 1},
    {"race": 50, "die": 0, "count": 1}
  ]
}
)json"_s);

    WriteFile(Path(u"robin.json"_s), json.toUtf8());
    const TRun build = Run({u"build"_s, u"--kind"_s, u"trade"_s, Path(u"robin.json"_s), Path(u"again.btr"_s)});
    ASSERT_EQ(build.Status, 0) << build.Err.toStdString();
    EXPECT_EQ(Hex(FileBytes(Path(u"again.btr"_s))), Hex(FromHex(kRobinsTrade)));

    // By hand: a trade needs nothing; unknown keys and terrain codes as races are refused.
    WriteFile(Path(u"bare.json"_s), "{\"lines\": [{\"major\": 2, \"count\": -1}]}");
    ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"trade"_s, Path(u"bare.json"_s), Path(u"bare.btr"_s)}).Status, 0);
    EXPECT_EQ(Hex(FileBytes(Path(u"bare.btr"_s))), u"02 01 01 00 06 00 01 02 FD 02 02 02 FF 00");
    WriteFile(Path(u"bad.json"_s), "{\"adress\": []}");
    WriteFile(Path(u"bad2.json"_s), "{\"lines\": [{\"race\": -2, \"die\": 1, \"count\": 1}]}");
    WriteFile(Path(u"bad3.json"_s), "{\"address\": [3]}");
    ExpectFailures({{{u"build"_s, u"--kind"_s, u"trade"_s, Path(u"bad.json"_s), Path(u"x.btr"_s)},
                     Path(u"bad.json"_s) + u": adress: unknown key"_s},
                    {{u"build"_s, u"--kind"_s, u"trade"_s, Path(u"bad2.json"_s), Path(u"x.btr"_s)},
                     Path(u"bad2.json"_s) + u": lines[0].race: -2 and -3 stand for terrains"_s},
                    {{u"build"_s, u"--kind"_s, u"trade"_s, Path(u"bad3.json"_s), Path(u"x.btr"_s)},
                     Path(u"bad3.json"_s) + u": address[0]: a text is expected"_s}});

    // A damaged or overlong file is refused with the offset.
    WriteFile(Path(u"cut.btr"_s), FromHex(kRobinsTrade).left(40));
    WriteFile(Path(u"long.btr"_s), FromHex(kRobinsTrade) + "\x02");
    ExpectFailures({{QStringList{u"dump"_s, Path(u"cut.btr"_s)} + Races(), Path(u"cut.btr"_s) + u": "_s},
                    {QStringList{u"dump"_s, Path(u"long.btr"_s)} + Races(),
                     Path(u"long.btr"_s) + u": Unexpected data after the end of the file's contents"_s}});
    EXPECT_FALSE(QFile::exists(Path(u"x.btr"_s)));
}

TEST_F(TradeToolTest, AnOfferFromAFormBecomesATrade)
{
    WriteFile(Path(u"offer.txt"_s), "Name: Zo\xc3\xab\r\nEMAIL: ZOE@example.org\r\nxx0000900000: 2\r\n"
                                    "xx0005000000: 1\r\nxx12   3    : 1\r\nAddress: 1 Mill Lane\r\nRiverton\r\n");
    const TRun run = Import(u"offer.txt"_s);
    ASSERT_EQ(run.Status, 0) << run.Err.toStdString();
    EXPECT_EQ(run.Err, u"2 dice lost during import.\n");
    EXPECT_TRUE(run.Out.isEmpty());
    const QString json = DumpOf(u"out.kri"_s);
    EXPECT_TRUE(json.contains(u"\"name\": \"Zo\u00eb\",\n      \"address\": \"1 Mill Lane\\r\\nRiverton\""_s))
        << json.toStdString();
    EXPECT_TRUE(json.contains(u"\"email\": \"zoe@example.org\",\n      \"status\": \"Proposed\",\n"
                              "      \"useTradeOuts\": true"_s));
    EXPECT_TRUE(json.contains(u"\"lines\": [{\"race\": 9, \"die\": 0, \"name\": \"Surf Mage, Tidecallers Mage, 2hp\", \"count\": -2}]"_s));
    EXPECT_TRUE(json.contains(u"\"nextTradeNumber\": 1"_s));

    // A trade file comes in reversed, without a word about the die it cannot place.
    WriteFile(Path(u"robin.btr"_s), FromHex(kRobinsTrade));
    const TRun file = Import(u"robin.btr"_s, u"file.kri"_s);
    ASSERT_EQ(file.Status, 0) << file.Err.toStdString();
    EXPECT_TRUE(file.Err.isEmpty());
    const QString fileJson = DumpOf(u"file.kri"_s);
    EXPECT_TRUE(fileJson.contains(u"\"name\": \"Robin Vale\",\n      \"address\": \"4 Hill Road\""_s));
    EXPECT_TRUE(fileJson.contains(u"{\"race\": 9, \"die\": 0, \"name\": \"Surf Mage, Tidecallers Mage, 2hp\", \"count\": 2},\n"
                                  "        {\"minor\": 5, \"name\": \"Flatland Forest (Minor)\", \"count\": -1}"_s))
        << fileJson.toStdString();
}

TEST_F(TradeToolTest, ARefusedOfferWritesNothing)
{
    WriteFile(Path(u"letter.txt"_s), "Dear Robin,\nName: Pat\n");
    WriteFile(Path(u"empty.txt"_s), QByteArray());
    WriteFile(Path(u"cut.btr"_s), FromHex(kRobinsTrade).left(40));
    ExpectFailures({{{u"import-trade"_s, Path(u"Collection.kri"_s), Path(u"letter.txt"_s), Path(u"out.kri"_s)},
                     Path(u"letter.txt"_s) + u": Name string not first in clipboard."_s},
                    {{u"import-trade"_s, Path(u"Collection.kri"_s), Path(u"empty.txt"_s), Path(u"out.kri"_s)},
                     Path(u"empty.txt"_s) + u": No text found in clipboard."_s},
                    {{u"import-trade"_s, Path(u"Collection.kri"_s), Path(u"cut.btr"_s), Path(u"out.kri"_s)},
                     Path(u"cut.btr"_s) + u": "_s},
                    {{u"import-trade"_s, Path(u"Collection.kri"_s), Path(u"none.txt"_s), Path(u"out.kri"_s)},
                     Path(u"none.txt"_s) + u": Cannot open"_s}});
    EXPECT_FALSE(QFile::exists(Path(u"out.kri"_s)));
    const TRun usage = Run({u"import-trade"_s, Path(u"Collection.kri"_s)});
    EXPECT_EQ(usage.Status, 2);
    EXPECT_TRUE(usage.Err.startsWith(u"krtool: import-trade takes 3 file argument(s)."_s)) << usage.Err.toStdString();
}
