#include "inventory/CollectionCsv.h"
#include "InventoryFixture.h"

#include <QTemporaryDir>

#include <limits>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kBom = "\xEF\xBB\xBF";
const QString kHeader = u"kind,race_id,die_id,race,name,profession,health,count,used,locked,trading,price,drawer,"
                        u"modifier\r\n"_s;

QByteArray Utf8(const QString &text)
{
    return text.toUtf8();
}

// The fields of every record, "|" between fields and "/" between records, with lines.
QString Shape(const std::vector<TCsvRecord> &records)
{
    QStringList shown;
    for (const TCsvRecord &record : records)
        shown << QString::number(record.Line) + u':' + record.Fields.join(u'|');
    return shown.join(u" / "_s);
}

QString ParseFailure(const QString &text)
{
    return FailureOf([&] { ParseCsv(text); });
}

} // namespace

TEST(CollectionCsvTest, ExportWritesEveryDieInFileOrderQuotedWhereNeeded)
{
    TSmallCollection c(false);
    c.Catalogue.FindRaceByID(3)->Name = u"Reedfolk, Elder"_s;
    c.Scout().Name = u"Marsh \"Scout\""_s;
    c.Scout().Count = 3;
    c.Scout().UsedCount = 1;
    c.Scout().SetPrice(4);
    c.Scout().Locked = true;
    c.Archer().Drawer = u"Tiroir \u00e9"_s;
    c.Archer().Trading = true;
    c.Archer().Modifier = -2;
    c.TideLord().Drawer = u"Box 1\r\nTop"_s;
    c.TideLord().Count = 4'000'000'000U;

    const QByteArray expected =
        kBom +
        Utf8(kHeader + u"die,3,0,\"Reedfolk, Elder\",\"Marsh \"\"Scout\"\"\",Light Troop,1,3,1,1,0,4,,0\r\n"
                       u"die,3,1,\"Reedfolk, Elder\",Reed Archer,Archer,3,0,0,0,1,2,Tiroir \u00e9,-2\r\n"
                       u"die,3,5,\"Reedfolk, Elder\",Tide Lord,Heavy Troop,4,4000000000,0,0,0,2,\"Box 1\r\nTop\",0\r\n"
                       u"die,7,0,Emberkin,Ash Drake,(none),5,0,0,0,0,2,,0\r\n"
                       u"die,7,1,Emberkin,White Wyrm,(none),10,0,0,0,0,2,,0\r\n"
                       u"die,9,0,Oddments,Blot,Mage,2,0,0,0,0,2,,0\r\n"_s);
    EXPECT_EQ(Hex(TCollectionCsv::Export(c.Inventory)), Hex(expected));
    // The "é" is the two bytes of UTF-8.
    EXPECT_TRUE(TCollectionCsv::Export(c.Inventory).contains("Tiroir \xC3\xA9,-2\r\n"));
}

TEST(CollectionCsvTest, ExportEndsWithTheMinorThenTheMajorTerrains)
{
    TSmallCollection c;
    c.Catalogue.MajorTerrain(47)->Count = 2;
    c.Catalogue.MajorTerrain(47)->Drawer = u"Lid"_s;
    const QStringList lines = QString::fromUtf8(TCollectionCsv::Export(c.Inventory).mid(3)).split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), 1 + 6 + 24 + 48 + 1); // header, dice, terrains, the empty rest after the last CR LF
    EXPECT_EQ(lines[7], u"minor,,0,Coastland,Coastland Bridge,Bridge,m,0,0,0,0,2,,0"_s);
    EXPECT_EQ(lines[30], u"minor,,23,Feyland,Feyland Village,Village,m,0,0,0,0,2,,0"_s);
    EXPECT_EQ(lines[31], u"major,,0,Coastland,Coastland City,City,T,0,0,0,0,2,,0"_s);
    EXPECT_EQ(lines[78], u"major,,47,Feyland,Feyland Vortex,Vortex,T,2,0,0,0,2,Lid,0"_s);
    EXPECT_TRUE(lines[79].isEmpty());
}

TEST(CollectionCsvTest, ParserTakesQuotesLineBreaksOfEveryKindAndEmptyFields)
{
    EXPECT_EQ(Shape(ParseCsv(u"a,b\r\n\"c,\"\"d\"\"\",\r\n,\n\"x\r\ny\nz\",w\rlast"_s)),
              u"1:a|b / 2:c,\"d\"| / 3:| / 4:x\r\ny\nz|w / 7:last"_s);
    // A last line break ends the last record without starting another.
    EXPECT_EQ(Shape(ParseCsv(u"a\r\n"_s)), u"1:a"_s);
    EXPECT_EQ(Shape(ParseCsv(u"\"\"\r\n\r\n"_s)), u"1: / 2:"_s);
    EXPECT_TRUE(ParseCsv(QString()).empty());

    EXPECT_EQ(ParseFailure(u"a,b\r\nc,\"open\r\nstill open"_s),
              u"Line 2, column 2: the quoted field is never closed."_s);
    EXPECT_EQ(ParseFailure(u"a,b\r\nc,\"x\"y"_s),
              u"Line 2, column 2: there is text after the closing quote; a quote inside a field is written twice."_s);
    EXPECT_EQ(ParseFailure(u"a\n\"two\nlines\",5\" die"_s),
              u"Line 3, column 2: a quote inside a field that does not begin with one; such a field must be quoted "
              u"and its quotes written twice."_s);
}

TEST(CollectionCsvTest, LinesQuoteOnlyWhatMustBeQuoted)
{
    EXPECT_EQ(CsvLine({u"plain"_s, QString(), u"a,b"_s, u"say \"hi\""_s, u"two\nlines"_s, u"cr\r"_s, u" spaced "_s}),
              u"plain,,\"a,b\",\"say \"\"hi\"\"\",\"two\nlines\",\"cr\r\", spaced \r\n"_s);
    const QStringList awkward{u"\"\""_s, u",\r\n,"_s, u"\u00e9"_s};
    const std::vector<TCsvRecord> back = ParseCsv(CsvLine(awkward));
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].Fields, awkward);
}

TEST(CollectionCsvTest, BytesAreUtf8WithoutTheMarkElseLatin1)
{
    EXPECT_EQ(DecodeCsvBytes(kBom + "kind,\xC3\xA9"), u"kind,\u00e9"_s);
    EXPECT_EQ(DecodeCsvBytes("kind,\xC3\xA9"), u"kind,\u00e9"_s);
    // What a spreadsheet writes as plain "CSV" on a Western system.
    EXPECT_EQ(DecodeCsvBytes("Tiroir \xE9"), u"Tiroir \u00e9"_s);
    EXPECT_EQ(DecodeCsvBytes(kBom + "Tiroir \xE9"), u"Tiroir \u00e9"_s);
}

TEST(CollectionCsvTest, ImportTakesColumnsInAnyOrderAndPassesOverUnknownOnes)
{
    TSmallCollection c;
    c.Blot().Count = 7;
    c.Blot().Drawer = u"Tin"_s;
    c.Archer().SetPrice(9);
    c.Archer().Modifier = 3;
    const QString csv = u"Notes,NAME,count,Race,kind,drawer,locked,trading,modifier\r\n"
                        u"first,reed archer,5,REEDFOLK,Die,\"Box \"\"A\"\"\",yes,TRUE,-1\r\n"
                        u",Marsh Scout , 2 ,Reedfolk,die,,0,no,0\r\n"
                        u",,,,,,,,\r\n"
                        u"x,Highland Knoll,1,highland,minor,Shelf,False,1,+4\r\n"_s;
    const TCsvImportResult result = TCollectionCsv::Import(c.Inventory, Utf8(csv));
    EXPECT_EQ(result.ItemsSet, 3);
    EXPECT_TRUE(result.Unmatched.empty());
    EXPECT_TRUE(result.UnmatchedMessage().isEmpty());
    EXPECT_EQ(result.StatusText(u"c.csv"_s), u"3 items set from c.csv."_s);
    EXPECT_TRUE(c.Inventory.InventoryModified);

    EXPECT_EQ(c.Archer().Count, 5u);
    EXPECT_EQ(c.Archer().Drawer, u"Box \"A\""_s);
    EXPECT_TRUE(c.Archer().Locked);
    EXPECT_TRUE(c.Archer().Trading);
    EXPECT_EQ(c.Archer().Modifier, -1);
    EXPECT_EQ(c.Archer().Price(), 9); // no price column: the price stays
    EXPECT_EQ(c.Scout().Count, 2u);
    EXPECT_FALSE(c.Scout().Locked);
    const TTerrain &knoll = *c.Catalogue.MinorTerrain(10);
    EXPECT_EQ(knoll.Count, 1u);
    EXPECT_EQ(knoll.Drawer, u"Shelf"_s);
    EXPECT_TRUE(knoll.Trading);
    EXPECT_EQ(knoll.Modifier, 4);
    // Items the file does not name keep everything.
    EXPECT_EQ(c.Blot().Count, 7u);
    EXPECT_EQ(c.Blot().Drawer, u"Tin"_s);

    TSmallCollection one;
    EXPECT_EQ(
        TCollectionCsv::Import(one.Inventory, Utf8(u"kind,die_id,count\r\nmajor,39,1\r\n"_s)).StatusText(u"m.csv"_s),
        u"1 item set from m.csv."_s);
    EXPECT_EQ(one.Catalogue.MajorTerrain(39)->Count, 1u);
}

TEST(CollectionCsvTest, IdsWinOverNamesAndEmptyIdsFallBackToNames)
{
    TSmallCollection c;
    const QString csv = u"kind,race_id,die_id,race,name,price\r\n"
                        u"die,3,5,Emberkin,Blot,30\r\n"              // the IDs name the Tide Lord
                        u"die,,,Emberkin,white wyrm,40\r\n"          // no IDs: the names
                        u"die,7,,Emberkin,Ash Drake,50\r\n"          // half the IDs: the names
                        u"major,,0,Feyland,Feyland Vortex,60\r\n"_s; // the index
    EXPECT_EQ(TCollectionCsv::Import(c.Inventory, Utf8(csv)).ItemsSet, 4);
    EXPECT_EQ(c.TideLord().Price(), 30);
    EXPECT_EQ(c.Blot().Price(), 2);
    EXPECT_EQ(c.Wyrm().Price(), 40);
    EXPECT_EQ(c.Drake().Price(), 50);
    EXPECT_EQ(c.Catalogue.MajorTerrain(0)->Price(), 60);
    EXPECT_EQ(c.Catalogue.MajorTerrain(47)->Price(), 2);
}

TEST(CollectionCsvTest, RowsThatMatchNothingAreNamedAndTheRestIsSet)
{
    TSmallCollection c;
    const QString csv = u"kind,race_id,die_id,race,name,count\r\n"
                        u"die,,,Reedfolk,Marsh Scout,4\r\n"
                        u"die,,,Stoneborn,Quarry Guard,1\r\n"
                        u"die,40,2,,,1\r\n"
                        u"minor,,24,,,1\r\n"
                        u"die,3,9,Reedfolk,Gone,1\r\n"_s;
    const TCsvImportResult result = TCollectionCsv::Import(c.Inventory, Utf8(csv));
    EXPECT_EQ(result.ItemsSet, 1);
    EXPECT_EQ(c.Scout().Count, 4u);
    EXPECT_EQ(result.UnmatchedMessage(), u"4 rows matched no die: line 3 Stoneborn/Quarry Guard, line 4 race 40 die 2, "
                                         u"line 5 minor terrain 24, line 6 Reedfolk/Gone."_s);

    QString many = u"kind,race,name,count\r\ndie,Reedfolk,Marsh Scout,1\r\n"_s;
    for (int i = 0; i < 23; ++i)
        many += u"die,Nowhere,Die %1,1\r\n"_s.arg(i);
    const QString message = TCollectionCsv::Import(c.Inventory, Utf8(many)).UnmatchedMessage();
    EXPECT_TRUE(message.startsWith(u"23 rows matched no die: line 3 Nowhere/Die 0, line 4 Nowhere/Die 1, "_s));
    EXPECT_TRUE(message.endsWith(u", line 22 Nowhere/Die 19, and 3 more."_s)) << message.toStdString();

    TSmallCollection none;
    const TCsvImportResult single =
        TCollectionCsv::Import(none.Inventory, Utf8(u"kind,race,name,count\r\ndie,Nowhere,Nobody,1\r\n"_s));
    EXPECT_EQ(single.UnmatchedMessage(), u"1 row matched no die: line 2 Nowhere/Nobody."_s);
    EXPECT_EQ(single.ItemsSet, 0);
    EXPECT_FALSE(none.Inventory.InventoryModified);
}

TEST(CollectionCsvTest, EveryRefusalNamesItsLineAndColumnAndChangesNothing)
{
    const QString head = u"kind,race_id,die_id,race,name,count,locked,price,modifier\r\n"
                         u"die,3,0,Reedfolk,Marsh Scout,9,1,5,1\r\n"_s;
    const QList<std::pair<QString, QString>> cases{
        {head + u"die,3,1,,,-1,0,2,0\r\n"_s,
         u"Line 3, column 6 (count): \"-1\" is not a whole number from 0 to 4294967295."_s},
        {head + u"die,3,1,,,4294967296,0,2,0\r\n"_s,
         u"Line 3, column 6 (count): \"4294967296\" is not a whole number from 0 to 4294967295."_s},
        {head + u"die,3,1,,,2.5,0,2,0\r\n"_s,
         u"Line 3, column 6 (count): \"2.5\" is not a whole number from 0 to 4294967295."_s},
        {head + u"die,3,1,,,,0,2,0\r\n"_s,
         u"Line 3, column 6 (count): an empty cell is not a whole number from 0 to 4294967295."_s},
        {head + u"die,3,1\r\n"_s,
         u"Line 3, column 6 (count): an empty cell is not a whole number from 0 to 4294967295."_s},
        {head + u"die,3,1,,,1,maybe,2,0\r\n"_s,
         u"Line 3, column 7 (locked): \"maybe\" is not 0, 1, true, false, yes or no."_s},
        {head + u"die,3,1,,,1,0,\u0663,0\r\n"_s,
         u"Line 3, column 8 (price): \"\u0663\" is not a whole number from -2147483648 to 2147483647."_s},
        {head + u"die,3,1,,,1,0,2,2147483648\r\n"_s,
         u"Line 3, column 9 (modifier): \"2147483648\" is not a whole number from -2147483648 to 2147483647."_s},
        {head + u"dragon,3,1,,,1,0,2,0\r\n"_s,
         u"Line 3, column 1 (kind): \"dragon\" is not a kind of item: it must be \"die\", \"minor\" or \"major\"."_s},
        {head + u"die,x,1,,,1,0,2,0\r\n"_s,
         u"Line 3, column 2 (race_id): \"x\" is not a whole number from -2147483648 to 2147483647."_s},
        {head + u"die,,,Reedfolk,,1,0,2,0\r\n"_s,
         u"Line 3, column 5 (name): the row names no die: it needs race_id and die_id, or race and name."_s},
        {head + u"minor,,,,Bridge,1,0,2,0\r\n"_s,
         u"Line 3, column 5 (name): the row names no terrain: it needs die_id, or race and name."_s},
        {head + u"die,,,reedfolk,MARSH SCOUT,1,0,2,0\r\n"_s,
         u"Line 3: the row is for the same item as line 2 (reedfolk/MARSH SCOUT)."_s},
        {head + u"die,3,1,\"Reed\"folk,,1,0,2,0\r\n"_s,
         u"Line 3, column 4: there is text after the closing quote; a quote inside a field is written twice."_s},
        {head + u"die,3,1,\"Reed\r\nfolk,1,0,2,0\r\n"_s, u"Line 3, column 4: the quoted field is never closed."_s},
        {u"kind,name,count,Count\r\n"_s, u"Line 1, column 4: the column \"count\" is there twice (column 3 too)."_s},
        {u"\r\n,,\r\nrace,name,count\r\nReedfolk,Marsh Scout,1\r\n"_s, u"Line 3: the header has no column \"kind\"."_s},
        {u"kind,race,count\r\ndie,Reedfolk,1\r\n"_s,
         u"Line 1: the header has neither \"die_id\" nor \"name\", so no row can be matched."_s},
        {u"\r\n , \r\n"_s, u"Line 1: the file has no header; its first row must name the columns, \"kind\" first."_s},
    };
    for (const auto &[csv, message] : cases) {
        TSmallCollection c;
        c.Scout().Count = 1;
        const QByteArray before = c.Save();
        EXPECT_EQ(FailureOf([&] { TCollectionCsv::Import(c.Inventory, Utf8(csv)); }), message) << csv.toStdString();
        EXPECT_EQ(Hex(c.Save()), Hex(before)) << csv.toStdString();
        EXPECT_FALSE(c.Inventory.InventoryModified) << csv.toStdString();
    }

    // Two dice of one name in one race: only their IDs tell them apart.
    TSmallCollection twins;
    AddDie(*twins.Catalogue.FindRaceByID(9), u"Blot"_s, 1, Profession::Mage);
    EXPECT_EQ(FailureOf([&] {
                  TCollectionCsv::Import(twins.Inventory, Utf8(u"kind,race,name,count\r\ndie,Oddments,blot,1\r\n"_s));
              }),
              u"Line 2, column 3 (name): \"Oddments/blot\" names 2 dice; give race_id and die_id."_s);
    EXPECT_EQ(TCollectionCsv::Import(twins.Inventory, Utf8(u"kind,race_id,die_id,count\r\ndie,9,1,6\r\n"_s)).ItemsSet,
              1);
    EXPECT_EQ(twins.Blot().Count, 0u);
    EXPECT_EQ(twins.Die(9, 1).Count, 6u);
}

TEST(CollectionCsvTest, TheExportImportsIntoAnotherCollectionGivingTheSameFile)
{
    TSmallCollection from;
    from.Catalogue.FindRaceByID(7)->Name = u"Ember, \"kin\""_s;
    from.Wyrm().Name = u"Wyrm \u00e9"_s;
    TInventoryData *items[] = {&from.Scout(), &from.TideLord(), &from.Wyrm(), from.Catalogue.MinorTerrain(5),
                               from.Catalogue.MajorTerrain(30)};
    int n = 0;
    for (TInventoryData *item : items) {
        ++n;
        item->Count = quint32(n * 1000);
        item->Locked = n % 2 == 0;
        item->Trading = n % 3 == 0;
        item->SetPrice(n == 5 ? 0 : -n);
        item->Drawer = u"Drawer, \"%1\"\r\nsecond line"_s.arg(n);
        item->Modifier = n == 1 ? std::numeric_limits<qint32>::min() : n;
    }
    from.Scout().Count = std::numeric_limits<quint32>::max();

    TSmallCollection to;
    to.Catalogue.FindRaceByID(7)->Name = from.Catalogue.FindRaceByID(7)->Name;
    to.Wyrm().Name = from.Wyrm().Name;
    to.Blot().Drawer = u"old"_s;
    to.Blot().Count = 5;
    const TCsvImportResult result = TCollectionCsv::Import(to.Inventory, TCollectionCsv::Export(from.Inventory));
    EXPECT_EQ(result.ItemsSet, 6 + 72);
    EXPECT_EQ(Hex(to.Save()), Hex(from.Save()));
}

TEST(CollectionCsvTest, FilesAreWrittenWholeAndReadBack)
{
    QTemporaryDir folder;
    TSmallCollection c;
    c.Archer().Count = 8;
    const QString path = folder.filePath(u"Collection.csv"_s);
    TCollectionCsv::ExportFile(c.Inventory, path);
    EXPECT_EQ(FileBytes(path), TCollectionCsv::Export(c.Inventory));

    TSmallCollection other;
    EXPECT_EQ(TCollectionCsv::ImportFile(other.Inventory, path).ItemsSet, 78);
    EXPECT_EQ(other.Archer().Count, 8u);
    EXPECT_TRUE(FailureOf([&] {
                    TCollectionCsv::ImportFile(other.Inventory, folder.filePath(u"none.csv"_s));
                }).startsWith(u"Cannot open"_s));
    EXPECT_TRUE(FailureOf([&] {
                    TCollectionCsv::ExportFile(c.Inventory, folder.filePath(u"no/such/x.csv"_s));
                }).startsWith(u"Cannot write"_s));
}
