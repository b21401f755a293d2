#include "ToolFixture.h"
#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "inventory/Inventory.h"
#include "io/DateTimeValue.h"
#include "io/FileAccess.h"
#include "io/TaggedStream.h"
#include "shell/Clock.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A version-6 file over the small test catalogue: race 9's die 0, an entry of a race
// the catalogue lacks, minor terrain 3, and one waiting trade.
const QString kVersion6 = u"02 06 01"
                          " 02 09 02 00 02 03 09 08 02 05"
                          " 02 32 02 01 02 01 08 08 02 00"
                          " 02 FE 02 03 02 02 08 09 02 00"
                          " 00 02 02 01"
                          " 02 01 06 03 50 61 74 06 00 06 00 06 00 02 05 09 06 00"
                          " 01 02 09 02 07 02 FF 02 32 02 01 02 FE 02 FD 02 05 02 02 00"
                          " 00"_s;

class InventoryToolTest : public TToolTest
{
protected:
    void SetUp() override
    {
        BuildMiniCatalogue();
    }

    QStringList Races() const { return {u"--races"_s, Path(u"KRRACES.DAT"_s)}; }

    // An inventory as the program saves it, over the small catalogue, with a trade of
    // every kind of line.
    QByteArray ProgramInventory()
    {
        TCatalogue catalogue;
        ReadFolderCatalogue(catalogue);
        TFixedClock clock(QDateTime(QDate(2024, 3, 5), QTime(8, 0)));
        TInventory inventory(catalogue, clock);
        TDie &mage = *catalogue.FindRaceByID(9)->DieByID(0);
        mage.Count = 3'000'000'000U;
        mage.Drawer = u"Tiroir \u00e9"_s;
        mage.Modifier = -2;
        catalogue.MajorTerrain(47)->Locked = true;
        inventory.NextTradeNumber = 12;
        TTrade &trade = inventory.CreateTrade(u"Pat"_s);
        trade.Address = u"1 Lane\r\nTown"_s;
        trade.Date = QDateTime(QDate(2023, 7, 9), QTime(17, 45, 3, 125));
        trade.SetStatus(TradeStatus::Sent);
        trade.AppendLine(mage, -2);
        trade.AppendLine(*catalogue.MinorTerrain(23), 1);
        return WriteToBytes([&](TTaggedWriter &w) { inventory.WriteStream(w); });
    }
};

} // namespace

TEST_F(InventoryToolTest, DumpShowsTheFileWithNames)
{
    WriteFile(Path(u"old.kri"_s), FromHex(kVersion6));
    const TRun dump = Run(QStringList{u"dump"_s, Path(u"old.kri"_s)} + Races());
    ASSERT_EQ(dump.Status, 0) << dump.Err.toStdString();
    EXPECT_EQ(dump.Out, uR"json({
  "kind": "inventory",
  "version": 6,
  "items": [
    {
      "race": 9,
      "die": 0,
      "name": "Surf Mage, Tidecallers Mage, 2hp",
      "count": 3,
      "locked": true,
      "trading": false,
      "price": 5,
      "drawer": "",
      "modifier": 0
    },
    {
      "race": 50,
      "die": 1,
      "count": 1,
      "locked": false,
      "trading": false,
      "price": 0,
      "drawer": "",
      "modifier": 0
    },
    {
      "minor": 3,
      "name": "Coastland Village (Minor)",
      "count": 2,
      "locked": false,
      "trading": true,
      "price": 0,
      "drawer": "",
      "modifier": 0
    }
  ],
  "nextTradeNumber": 2,
  "trades": [
    {
      "number": 1,
      "name": "Pat",
      "address": "",
      "phone": "",
      "email": "",
      "status": "Waiting",
      "useTradeOuts": true,
      "terms": "",
      "date": null,
      "card": "",
      "notes": "",
      "lines": [
        {"race": 9, "die": 7, "name": "Stray, Tidecallers, 1hp", "count": -1},
        {"race": 50, "die": 1, "count": -2},
        {"major": 5, "name": "Flatland Standing Stones (Major)", "count": 2}
      ]
    }
  ]
}
)json"_s);

    // Building writes version 11 and keeps the entries the catalogue does not know; the
    // trade without a date gets today's.
    WriteFile(Path(u"old.json"_s), dump.Out.toUtf8());
    ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"inventory"_s, Path(u"old.json"_s), Path(u"new.kri"_s)}).Status, 0);
    const TRun again = Run(QStringList{u"dump"_s, Path(u"new.kri"_s)} + Races());
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    QString expected = dump.Out;
    expected.replace(u"\"version\": 6"_s, u"\"version\": 11"_s);
    expected.replace(u"\"date\": null"_s, u"\"date\": \"%1T00:00:00.000\""_s.arg(today));
    EXPECT_EQ(again.Out, expected);
}

TEST_F(InventoryToolTest, BuildOfADumpGivesTheSameBytes)
{
    const QByteArray program = ProgramInventory();
    // Entries of dice the catalogue lacks are data of the file too.
    TInventoryFile file;
    ReadFromBytes(program, [&](TTaggedReader &r) { file = TInventoryFile::Read(r); });
    file.Items.push_back({77, 3, 9, true, true, -5, u"x"_s, 4});
    file.Trades.front().Lines.push_back({77, 3, -1});
    file.Trades.front().Date = DaysToDateTime(2990000.5);
    const QByteArray edited = WriteToBytes([&](TTaggedWriter &w) { file.Write(w, QDate(2000, 1, 1)); });

    for (const QByteArray &bytes : {program, edited}) {
        WriteFile(Path(u"mine.kri"_s), bytes);
        const TRun dump = Run(QStringList{u"dump"_s, Path(u"mine.kri"_s)} + Races());
        ASSERT_EQ(dump.Status, 0) << dump.Err.toStdString();
        WriteFile(Path(u"mine.json"_s), dump.Out.toUtf8());
        ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"inventory"_s, Path(u"mine.json"_s), Path(u"again.kri"_s)}).Status, 0);
        EXPECT_EQ(Hex(FileBytes(Path(u"again.kri"_s))), Hex(bytes));
    }
    const TRun dump = Run(QStringList{u"dump"_s, Path(u"mine.kri"_s)} + Races());
    EXPECT_TRUE(dump.Out.contains(u"\"count\": 3000000000"_s));
    EXPECT_TRUE(dump.Out.contains(u"\"drawer\": \"Tiroir \u00e9\""_s));
    EXPECT_TRUE(dump.Out.contains(u"\"date\": \"2990000.5\""_s)) << "a year no calendar text holds";
    EXPECT_TRUE(dump.Out.contains(u"{\"race\": 77, \"die\": 3, \"count\": -1}"_s));

    // Price lists go round the same way.
    TCatalogue catalogue;
    TPriceListFile prices;
    prices.Version = 3;
    prices.Entries = {{9, 0, 12}, {-2, 23, 0}, {77, 3, -7}, {-3, 0, 2000000}};
    WriteFile(Path(u"list.krp"_s), WriteToBytes([&](TTaggedWriter &w) { prices.Write(w); }));
    const TRun list = Run(QStringList{u"dump"_s, Path(u"list.krp"_s)} + Races());
    ASSERT_EQ(list.Status, 0);
    EXPECT_TRUE(list.Out.contains(u"\"version\": 1,"_s));
    EXPECT_TRUE(list.Out.contains(
        u"{\"race\": 9, \"die\": 0, \"name\": \"Surf Mage, Tidecallers Mage, 2hp\", \"price\": 12}"_s));
    EXPECT_TRUE(list.Out.contains(u"{\"race\": 77, \"die\": 3, \"price\": -7}"_s));
    WriteFile(Path(u"list.json"_s), list.Out.toUtf8());
    ASSERT_EQ(Run({u"build"_s, u"--kind"_s, u"prices"_s, Path(u"list.json"_s), Path(u"again.krp"_s)}).Status, 0);
    EXPECT_EQ(FileBytes(Path(u"again.krp"_s)), FileBytes(Path(u"list.krp"_s)));
}

TEST_F(InventoryToolTest, ResaveLoadsAndSavesAsTheProgramDoes)
{
    // Version 1: race 9's die 0, a die of a race the catalogue lacks, major terrain 48.
    WriteFile(Path(u"v1.KRI"_s), FromHex(u"02 01 01 02 09 02 00 02 02 02 32 02 00 02 01 02 FD 02 30 02 01 00"_s));
    const TRun resave = Run(QStringList{u"resave"_s, Path(u"v1.KRI"_s), Path(u"v11.kri"_s)} + Races());
    EXPECT_EQ(resave.Status, 0);
    EXPECT_EQ(resave.Err, u"2 dice in the inventory were not found.\n");
    EXPECT_TRUE(resave.Out.isEmpty());
    const QByteArray saved = FileBytes(Path(u"v11.kri"_s));
    // Every die in database order, then 24 minor and 48 major terrains, no trades; a price
    // of 0 in the file is the die's default, the items the file lacks keep theirs.
    EXPECT_EQ(Hex(saved.left(49)), u"02 0B 01"
                                   " 02 04 02 00 02 00 08 08 02 02 06 00 02 00"
                                   " 02 09 02 00 02 02 08 08 02 04 06 00 02 00"
                                   " 02 09 02 07 02 00 08 08 02 02 06 00 02 00"
                                   " 02 FE 02 00");
    EXPECT_EQ(Hex(saved.right(19)), u"02 FD 02 2F 02 00 08 08 02 02 06 00 02 00 00 02 00 01 00");
    EXPECT_EQ(saved.size(), 3 + 75 * 14 + 5);

    // Resaving its own output changes nothing, with the data directory's races.
    const TRun twice = Run({u"resave"_s, u"--kind"_s, u"inventory"_s, Path(u"v11.kri"_s), Path(u"v11-again.bin"_s)});
    EXPECT_EQ(twice.Status, 0) << twice.Err.toStdString();
    EXPECT_TRUE(twice.Err.isEmpty());
    EXPECT_EQ(FileBytes(Path(u"v11-again.bin"_s)), saved);

    // A price list: the prices of the list, the start price for the rest, version 1.
    WriteFile(Path(u"p.krp"_s), FromHex(u"02 07 01 02 09 02 07 02 00 02 32 02 00 02 05 00"_s));
    const TRun prices = Run(QStringList{u"resave"_s, Path(u"p.krp"_s), Path(u"out.krp"_s)} + Races());
    EXPECT_EQ(prices.Status, 0);
    EXPECT_EQ(prices.Err, u"1 dice in the price list were not found.\n");
    const QByteArray list = FileBytes(Path(u"out.krp"_s));
    EXPECT_EQ(Hex(list.left(21)), u"02 01 01 02 04 02 00 02 02 02 09 02 00 02 02 02 09 02 07 02 00");
    EXPECT_EQ(list.size(), 3 + 75 * 6 + 1);
}

TEST_F(InventoryToolTest, BadFilesAndBadUsage)
{
    const QByteArray program = ProgramInventory();
    WriteFile(Path(u"cut.kri"_s), program.left(program.size() - 1));
    WriteFile(Path(u"tail.kri"_s), program + "x");
    WriteFile(Path(u"typo.json"_s), "{\"items\": [{\"race\": 9, \"die\": 0, \"count\": 1, \"lockd\": true}]}");
    WriteFile(Path(u"terrain.json"_s), "{\"items\": [{\"race\": -2, \"die\": 0, \"count\": 1}]}");
    WriteFile(Path(u"both.json"_s), "{\"items\": [{\"minor\": 2, \"major\": 0, \"count\": 1}]}");
    WriteFile(Path(u"count.json"_s), "{\"items\": [{\"major\": 0, \"count\": 4294967296}]}");
    WriteFile(Path(u"status.json"_s),
              "{\"items\": [], \"trades\": [{\"number\": 1, \"name\": \"P\", \"status\": \"Lost\"}]}");
    WriteFile(Path(u"date.json"_s),
              "{\"items\": [], \"trades\": [{\"number\": 1, \"name\": \"P\", \"date\": \"soon\"}]}");
    WriteFile(Path(u"kind.json"_s), "{\"kind\": \"prices\", \"items\": []}");

    const QList<std::pair<QStringList, QString>> cases{
        {QStringList{u"dump"_s, Path(u"cut.kri"_s)} + Races(),
         Path(u"cut.kri"_s) + u": File ends at offset %1 where a value was expected."_s.arg(program.size() - 1)},
        {QStringList{u"dump"_s, Path(u"tail.kri"_s)} + Races(),
         Path(u"tail.kri"_s) + u": Unexpected data after the end of the file's contents"_s},
        {{u"dump"_s, Path(u"cut.kri"_s), u"--races"_s, Path(u"none.DAT"_s)}, Path(u"cut.kri"_s) + u": File ends"_s},
        {{u"dump"_s, Path(u"tail.kri"_s), u"--kind"_s, u"prices"_s, u"--races"_s, Path(u"none.DAT"_s)},
         Path(u"tail.kri"_s) + u": Unexpected value type 8 at offset 9 where an integer was expected."_s},
        {QStringList{u"resave"_s, Path(u"cut.kri"_s), Path(u"out.kri"_s)} + Races(),
         Path(u"cut.kri"_s) + u": File ends at offset"_s},
        {QStringList{u"resave"_s, Path(u"missing.kri"_s), Path(u"out.kri"_s)} + Races(),
         Path(u"missing.kri"_s) + u": Cannot open"_s},
        {{u"resave"_s, Path(u"tail.kri"_s), Path(u"out.kri"_s), u"--races"_s, Path(u"none.DAT"_s)},
         Path(u"none.DAT"_s) + u": Cannot open"_s},
        {QStringList{u"resave"_s, Path(u"tail.kri"_s), Path(u"no/such/out.kri"_s)} + Races(),
         Path(u"no/such/out.kri"_s) + u": Cannot write"_s},
        {{u"build"_s, u"--kind"_s, u"inventory"_s, Path(u"typo.json"_s), Path(u"out.kri"_s)},
         Path(u"typo.json"_s) + u": items[0].lockd: unknown key"_s},
        {{u"build"_s, u"--kind"_s, u"inventory"_s, Path(u"terrain.json"_s), Path(u"out.kri"_s)},
         Path(u"terrain.json"_s) + u": items[0].race: -2 and -3 stand for terrains"_s},
        {{u"build"_s, u"--kind"_s, u"inventory"_s, Path(u"both.json"_s), Path(u"out.kri"_s)},
         Path(u"both.json"_s) + u": items[0]: give either \"race\" and \"die\", or \"minor\", or \"major\""_s},
        {{u"build"_s, u"--kind"_s, u"inventory"_s, Path(u"count.json"_s), Path(u"out.kri"_s)},
         Path(u"count.json"_s) + u": items[0].count: 4294967296 is outside 0 to 4294967295"_s},
        {{u"build"_s, u"--kind"_s, u"inventory"_s, Path(u"status.json"_s), Path(u"out.kri"_s)},
         Path(u"status.json"_s) + u": trades[0].status: expected one of: \"Proposed\", \"Accepted\""_s},
        {{u"build"_s, u"--kind"_s, u"inventory"_s, Path(u"date.json"_s), Path(u"out.kri"_s)},
         Path(u"date.json"_s) + u": trades[0].date: a date such as"_s},
        {{u"build"_s, u"--kind"_s, u"inventory"_s, Path(u"kind.json"_s), Path(u"out.kri"_s)},
         Path(u"kind.json"_s) + u": kind: this is not an \"inventory\" file"_s},
        {{u"build"_s, u"--kind"_s, u"prices"_s, Path(u"typo.json"_s), Path(u"out.krp"_s)},
         Path(u"typo.json"_s) + u": prices: missing"_s},
    };
    ExpectFailures(cases);
    EXPECT_FALSE(QFile::exists(Path(u"out.kri"_s)));

    for (const QStringList &bad : {QStringList{u"resave"_s, Path(u"a.kri"_s)},
                                   {u"resave"_s, Path(u"a.DAT"_s), Path(u"b.DAT"_s)},
                                   {u"resave"_s, u"--kind"_s, u"icons"_s, Path(u"a.kri"_s), Path(u"b.kri"_s)},
                                   {u"resave"_s, Path(u"a.txt"_s), Path(u"b.kri"_s)},
                                   {u"dump"_s, Path(u"KRRACES.DAT"_s), u"--races"_s, u"x"_s},
                                   {u"build"_s, u"--kind"_s, u"bogus"_s, Path(u"a.json"_s), Path(u"b.btr"_s)}}) {
        const TRun run = Run(bad);
        EXPECT_EQ(run.Status, 2) << bad.join(u' ').toStdString();
        EXPECT_TRUE(run.Err.startsWith(u"krtool: "_s)) << run.Err.toStdString();
    }
    EXPECT_TRUE(Run({u"help"_s}).Out.contains(u"  resave [--kind inventory|prices]"_s));
}
