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

class CsvToolTest : public TToolTest
{
protected:
    void SetUp() override { BuildMiniCatalogue(); }

    QStringList Races() const { return {u"--races"_s, Path(u"KRRACES.DAT"_s)}; }

    // An inventory as the program saves it over the small catalogue, with a trade; with
    // the collection filled in or every item left as a new catalogue has it.
    QByteArray ProgramInventory(bool filled)
    {
        TCatalogue catalogue;
        ReadFolderCatalogue(catalogue);
        TFixedClock clock(QDateTime(QDate(2024, 3, 5), QTime(8, 0)));
        TInventory inventory(catalogue, clock);
        TDie &mage = *catalogue.FindRaceByID(9)->DieByID(0);
        if (filled) {
            mage.Count = 3'000'000'000U;
            mage.Drawer = u"Tiroir \u00e9, \"haut\"\r\nfond"_s;
            mage.Modifier = -2;
            mage.Trading = true;
            catalogue.MajorTerrain(47)->Locked = true;
            catalogue.MajorTerrain(47)->Count = 2;
            catalogue.MinorTerrain(0)->SetPrice(0);
            catalogue.FindRaceByID(4)->DieByID(0)->SetPrice(-5);
        }
        inventory.NextTradeNumber = 12;
        TTrade &trade = inventory.CreateTrade(u"Pat"_s);
        trade.Date = QDateTime(QDate(2023, 7, 9), QTime(17, 45, 3, 125));
        trade.SetStatus(TradeStatus::Waiting);
        trade.AppendLine(mage, -2);
        return WriteToBytes([&](TTaggedWriter &w) { inventory.WriteStream(w); });
    }
};

} // namespace

TEST_F(CsvToolTest, ImportOfTheExportGivesTheResavedFileBack)
{
    WriteFile(Path(u"full.kri"_s), ProgramInventory(true));
    WriteFile(Path(u"blank.kri"_s), ProgramInventory(false));
    const TRun exported = Run(QStringList{u"export-csv"_s, Path(u"full.kri"_s), Path(u"c.csv"_s)} + Races());
    ASSERT_EQ(exported.Status, 0) << exported.Err.toStdString();
    EXPECT_TRUE(exported.Out.isEmpty());
    EXPECT_TRUE(exported.Err.isEmpty());
    const QString csv = QString::fromUtf8(FileBytes(Path(u"c.csv"_s)).mid(3));
    EXPECT_TRUE(csv.startsWith(u"kind,race_id,die_id,race,name,profession,health,count,used,locked,trading,price,"
                               u"drawer,modifier\r\n"
                               u"die,4,0,Plainfolk,New Unit,Cavalry,1,0,0,0,0,-5,,0\r\n"
                               u"die,9,0,Tidecallers,Surf Mage,Mage,2,3000000000,0,0,1,2,"
                               u"\"Tiroir \u00e9, \"\"haut\"\"\r\nfond\",-2\r\n"
                               u"die,9,7,Tidecallers,Stray,(none),1,0,0,0,0,2,,0\r\n"
                               u"minor,,0,Coastland,Coastland Bridge,Bridge,m,0,0,0,0,4,,0\r\n"_s))
        << csv.toStdString();
    EXPECT_TRUE(csv.endsWith(u"major,,47,Feyland,Feyland Vortex,Vortex,T,2,0,1,0,2,,0\r\n"_s));

    // Into the same file and into one whose items were never set: both are the resave.
    ASSERT_EQ(Run(QStringList{u"resave"_s, Path(u"full.kri"_s), Path(u"resaved.kri"_s)} + Races()).Status, 0);
    for (const QString &start : {u"full.kri"_s, u"blank.kri"_s}) {
        const TRun imported =
            Run(QStringList{u"import-csv"_s, Path(start), Path(u"c.csv"_s), Path(u"out.kri"_s)} + Races());
        ASSERT_EQ(imported.Status, 0) << imported.Err.toStdString();
        EXPECT_EQ(imported.Out, u"75 items set from "_s + Path(u"c.csv"_s) + u".\n"_s);
        EXPECT_TRUE(imported.Err.isEmpty());
        EXPECT_EQ(Hex(FileBytes(Path(u"out.kri"_s))), Hex(FileBytes(Path(u"resaved.kri"_s)))) << start.toStdString();
    }
}

TEST_F(CsvToolTest, RowsWithoutADieAreToldAndBadRowsWriteNothing)
{
    WriteFile(Path(u"in.kri"_s), ProgramInventory(false));
    WriteFile(Path(u"some.csv"_s), "kind,race,name,count\r\ndie,Tidecallers,surf mage,6\r\ndie,Stoneborn,Quarry "
                                   "Guard,1\r\nmajor,Feyland,Feyland Nowhere,1\r\n");
    const TRun some =
        Run(QStringList{u"import-csv"_s, Path(u"in.kri"_s), Path(u"some.csv"_s), Path(u"out.kri"_s)} + Races());
    EXPECT_EQ(some.Status, 0);
    EXPECT_EQ(some.Out, u"1 item set from "_s + Path(u"some.csv"_s) + u".\n"_s);
    EXPECT_EQ(some.Err, u"2 rows matched no die: line 3 Stoneborn/Quarry Guard, line 4 Feyland/Feyland Nowhere.\n"_s);
    const TRun dump = Run(QStringList{u"dump"_s, Path(u"out.kri"_s)} + Races());
    EXPECT_TRUE(dump.Out.contains(u"\"count\": 6"_s)) << dump.Out.toStdString();

    WriteFile(Path(u"bad.csv"_s),
              "kind,race,name,count\r\ndie,Tidecallers,Surf Mage,6\r\ndie,Tidecallers,Stray,-1\r\n");
    WriteFile(Path(u"open.csv"_s), "kind,race,name\r\n\"die");
    ExpectFailures({
        {QStringList{u"import-csv"_s, Path(u"in.kri"_s), Path(u"bad.csv"_s), Path(u"new.kri"_s)} + Races(),
         Path(u"bad.csv"_s) + u": Line 3, column 4 (count): \"-1\" is not a whole number from 0 to 4294967295."_s},
        {QStringList{u"import-csv"_s, Path(u"in.kri"_s), Path(u"open.csv"_s), Path(u"new.kri"_s)} + Races(),
         Path(u"open.csv"_s) + u": Line 2, column 1: the quoted field is never closed."_s},
        {QStringList{u"import-csv"_s, Path(u"in.kri"_s), Path(u"none.csv"_s), Path(u"new.kri"_s)} + Races(),
         Path(u"none.csv"_s) + u": Cannot open"_s},
        {QStringList{u"import-csv"_s, Path(u"none.kri"_s), Path(u"bad.csv"_s), Path(u"new.kri"_s)} + Races(),
         Path(u"none.kri"_s) + u": Cannot open"_s},
        {QStringList{u"export-csv"_s, Path(u"in.kri"_s), Path(u"no/such/c.csv"_s)} + Races(),
         Path(u"no/such/c.csv"_s) + u": Cannot write"_s},
    });
    EXPECT_FALSE(QFile::exists(Path(u"new.kri"_s)));

    for (const QStringList &bad : {QStringList{u"export-csv"_s, Path(u"in.kri"_s)},
                                   {u"import-csv"_s, Path(u"in.kri"_s), Path(u"bad.csv"_s)},
                                   {u"export-csv"_s, u"--kind"_s, u"x"_s, Path(u"in.kri"_s), Path(u"c.csv"_s)}}) {
        const TRun run = Run(bad);
        EXPECT_EQ(run.Status, 2) << bad.join(u' ').toStdString();
        EXPECT_TRUE(run.Err.startsWith(u"krtool: "_s)) << run.Err.toStdString();
    }
    EXPECT_TRUE(Run({u"help"_s}).Out.contains(u"  import-csv [--races R] [--icons I] IN.kri CSV OUT.kri\n"_s));
}
