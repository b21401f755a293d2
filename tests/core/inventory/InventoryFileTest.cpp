#include "InventoryFixture.h"
#include "io/FileErrors.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Every stored and counted field of every die and terrain, in file order.
QStringList DescribeItems(const TSmallCollection &c)
{
    QStringList lines;
    auto describe = [&](const TInventoryData &item) {
        qint32 a = 0;
        qint32 b = 0;
        TInventory::ItemReference(item, a, b);
        lines << u"%1/%2 n%3 %4%5 p%6 [%7] m%8 u%9 w%10 i%11"_s
                     .arg(QString::number(a), QString::number(b), QString::number(item.Count),
                          item.Locked ? u"L"_s : u"-"_s, item.Trading ? u"T"_s : u"-"_s, QString::number(item.Price()),
                          item.Drawer, QString::number(item.Modifier))
                     .arg(item.UsedCount)
                     .arg(item.WaitingCount)
                     .arg(item.InPlayCount);
    };
    TDieTraversal walk(c.Catalogue);
    for (const TDie *die = walk.First(); die; die = walk.Next())
        describe(*die);
    for (int i = 0; i < TTerrain::kMinorCount; ++i)
        describe(*c.Catalogue.MinorTerrain(i));
    for (int i = 0; i < TTerrain::kMajorCount; ++i)
        describe(*c.Catalogue.MajorTerrain(i));
    return lines;
}

QStringList DescribeTrades(const TInventory &inventory)
{
    QStringList lines{u"next %1"_s.arg(inventory.NextTradeNumber)};
    for (const auto &trade : inventory.Trades()) {
        QStringList items;
        for (const auto &line : trade->Lines()) {
            qint32 a = 0;
            qint32 b = 0;
            TInventory::ItemReference(line->Item(), a, b);
            items << u"%1/%2x%3"_s.arg(a).arg(b).arg(line->Count());
        }
        lines << u"#%1 %2|%3|%4|%5|%6|%7|%8|%9"_s.arg(QString::number(trade->Number()), trade->Name, trade->Address,
                                                      trade->Phone, trade->EMail, NameOf(trade->Status()),
                                                      trade->UseTradeOuts() ? u"use"_s : u"-"_s, trade->Terms,
                                                      trade->Date.toString(Qt::ISODateWithMs)) +
                     u"|%1|%2 [%3]"_s.arg(trade->Card, trade->Notes, items.join(u' '));
    }
    return lines;
}

// A collection with every stored field away from its default somewhere, and trades of
// every status with dice and terrains going both ways.
void FillCollection(TSmallCollection &c)
{
    int i = 0;
    auto fill = [&](TInventoryData &item) {
        item.Count = quint32(i * 3 % 7);
        item.Locked = i % 2 == 0;
        item.Trading = i % 3 == 0;
        item.SetPrice(i % 5 == 0 ? -4 : 100 * i);
        item.Drawer = i % 4 == 0 ? QString() : u"Drawer %1 \u00e9"_s.arg(i);
        item.Modifier = i % 6 - 3;
        ++i;
    };
    TDieTraversal walk(c.Catalogue);
    for (TDie *die = walk.First(); die; die = walk.Next())
        fill(*die);
    for (int m = 0; m < TTerrain::kMinorCount; ++m)
        fill(*c.Catalogue.MinorTerrain(m));
    for (int m = 0; m < TTerrain::kMajorCount; ++m)
        fill(*c.Catalogue.MajorTerrain(m));
    c.Scout().Count = 3'000'000'000U;

    c.Inventory.NextTradeNumber = 40;
    for (int t = 0; t < 7; ++t) {
        TTrade &trade = c.Inventory.CreateTrade(u"Trader %1"_s.arg(6 - t));
        trade.Address = u"%1 Mill Lane\r\nRiverton"_s.arg(t);
        trade.Phone = u"555-01%1"_s.arg(t);
        trade.EMail = u"t%1@example.org"_s.arg(t);
        trade.Card = t == 3 ? u"visa exp 05/99"_s : QString();
        trade.Terms = u"even"_s;
        trade.Notes = u"first\r\nsecond"_s;
        trade.Date = QDateTime(QDate(2020, 1, 1 + t), QTime(t, 15, 30, 250));
        trade.SetStatus(TradeStatus(t));
        trade.SetUseTradeOuts(t % 2 == 1);
        trade.AppendLine(c.Drake(), -1 - t);
        trade.AppendLine(*c.Catalogue.MajorTerrain(47), 2);
        trade.AppendLine(*c.Catalogue.MinorTerrain(t), -1);
        trade.AppendLine(c.Drake(), 1);
    }
}

// A version-11 file of race 100 with die 0: one entry and one trade, every value away
// from its default and the count beyond 32 bits.
const QString kVersion11 =
    u"02 0B 01"
    // 100/0: count 3000000000 (64-bit tag), locked, not trading, price 12, "Box 1", -1
    " 02 64 02 00 13 00 5E D0 B2 00 00 00 00 09 08 02 0C 06 05 42 6F 78 20 31 02 FF"
    " 00 03 2C 01 01"
    // trade 299 "Pat", address over two lines, no phone, "p@x", Player, not using outs
    " 03 2B 01 06 03 50 61 74 06 0C 31 20 4C 61 6E 65 0D 0A 54 6F 77 6E 06 00 06 03 70 40 78 02 06 08"
    // terms "even", 5 March 2024 at noon, no card, notes "n", one line of -3 copies
    " 06 04 65 76 65 6E 05 00 00 00 00 00 80 2C B1 0E 40 06 00 06 01 6E 01 02 64 02 00 02 FD 00"
    " 00"_s;

struct TOneDie
{
    TOneDie() : Clock(QDateTime(QDate(2025, 1, 1), QTime(9, 0))), Inventory(Catalogue, Clock)
    {
        auto race = std::make_unique<TRace>(Catalogue, 100, u"R"_s);
        race->AddDie(std::make_unique<TDie>(*race, u"D"_s));
        Catalogue.AppendRace(std::move(race));
    }
    TDie &Die() const { return *Catalogue.FindRaceByID(100)->DieByID(0); }

    TCatalogue Catalogue;
    TFixedClock Clock;
    TInventory Inventory;
};

QString ReadFailure(TInventory &inventory, const QByteArray &bytes)
{
    return FailureOf([&] { ReadFromBytes(bytes, [&](TTaggedReader &r) { inventory.ReadStream(r); }); });
}

} // namespace

TEST(InventoryFile, Version11BytesReadAndWriteBack)
{
    TOneDie one;
    TInventoryReadResult result;
    ReadFromBytes(FromHex(kVersion11), [&](TTaggedReader &r) { result = one.Inventory.ReadStream(r); });
    EXPECT_EQ(result.Total, 3'000'000'000LL);
    EXPECT_EQ(result.NotFound, 0);
    const TDie &die = one.Die();
    EXPECT_EQ(die.Count, 3'000'000'000U);
    EXPECT_TRUE(die.Locked);
    EXPECT_FALSE(die.Trading);
    EXPECT_EQ(die.Price(), 12);
    EXPECT_EQ(die.Drawer, u"Box 1");
    EXPECT_EQ(die.Modifier, -1);
    EXPECT_EQ(one.Inventory.NextTradeNumber, 300);
    ASSERT_EQ(one.Inventory.Trades().size(), 1u);
    const TTrade &trade = *one.Inventory.Trades().front();
    EXPECT_EQ(trade.Number(), 299);
    EXPECT_EQ(trade.Address, u"1 Lane\r\nTown");
    EXPECT_EQ(trade.EMail, u"p@x");
    EXPECT_EQ(trade.Status(), TradeStatus::Player);
    EXPECT_EQ(trade.Date, QDateTime(QDate(2024, 3, 5), QTime(12, 0)));
    EXPECT_EQ(trade.Notes, u"n");
    // A line going out of a trade with a player is in play, and not used.
    EXPECT_EQ(die.InPlayCount, 3);
    EXPECT_EQ(die.UsedCount, 0u);
    // The file name is the caller's business.
    EXPECT_TRUE(one.Inventory.InventoryFileName.isEmpty());

    EXPECT_EQ(Hex(WriteToBytes([&](TTaggedWriter &w) { one.Inventory.WriteStream(w); })), kVersion11);
}

TEST(InventoryFile, Version1GivesDefaultsToTheItemsItNames)
{
    TSmallCollection c;
    c.Scout().Locked = c.Scout().Trading = true;
    c.Scout().SetPrice(7);
    c.Scout().Drawer = u"A1"_s;
    c.Scout().Modifier = 2;
    c.Archer().Count = 4;
    c.Archer().Locked = true;
    c.Archer().SetPrice(9);
    c.Archer().Drawer = u"B"_s;
    c.Inventory.NextTradeNumber = 5;
    c.Inventory.CreateTrade(u"old"_s);

    // 3/0 five copies, minor terrain 10 one copy.
    const TInventoryReadResult result = c.Load(FromHex(u"02 01 01 02 03 02 00 02 05 02 FE 02 0A 02 01 00"_s));
    EXPECT_EQ(result.Total, 6);
    EXPECT_EQ(DescribeItems(c).mid(0, 2),
              (QStringList{u"3/0 n5 -- p1 [] m0 u0 w0 i0"_s, u"3/1 n0 L- p9 [B] m0 u0 w0 i0"_s}));
    EXPECT_EQ(c.Catalogue.MinorTerrain(10)->Count, 1u);
    EXPECT_EQ(c.Catalogue.MinorTerrain(10)->Price(), 4);
    EXPECT_TRUE(c.Inventory.Trades().empty());
    EXPECT_EQ(c.Inventory.NextTradeNumber, 0);
}

TEST(InventoryFile, Version4PricesAndNegativeCounts)
{
    TSmallCollection c;
    // 3/1: -5 copies (16-bit tag), locked, price 2.9; 3/0: 2 copies, trading, price 0.
    const TInventoryReadResult result = c.Load(FromHex(u"02 04 01"
                                                       " 02 03 02 01 03 FB FF 09 08 05 00 98 99 99 99 99 99 B9 00 40"
                                                       " 02 03 02 00 02 02 08 09 05 00 00 00 00 00 00 00 00 00 00"
                                                       " 00"_s));
    EXPECT_EQ(result.Total, 2);
    EXPECT_EQ(c.Archer().Count, 0u);
    EXPECT_TRUE(c.Archer().Locked);
    EXPECT_EQ(c.Archer().Price(), 8);
    EXPECT_TRUE(c.Scout().Trading);
    EXPECT_EQ(c.Scout().Price(), 1);

    // A price whose quadruple no 32-bit number holds is refused with its place.
    EXPECT_EQ(
        ReadFailure(c.Inventory, FromHex(u"02 04 01 02 03 02 00 02 01 08 08 05 00 00 00 00 00 00 00 80 1E 40 00"_s)),
        u"Price 2.14748e+09 is out of range at offset 11.");
}

TEST(InventoryFile, PriceZeroIsTheDefaultPrice)
{
    TSmallCollection c;
    // Version 9: 3/1 (3hp), 7/1 (10hp) and major terrain 0, all priced 0.
    c.Load(FromHex(u"02 09 01 02 03 02 01 02 01 08 08 02 00 06 00 02 00"
                   " 02 07 02 01 02 01 08 08 02 00 06 00 02 00"
                   " 02 FD 02 00 02 01 08 08 02 00 06 00 02 00 00 02 00 01 00"_s));
    EXPECT_EQ(c.Archer().Price(), 12);
    EXPECT_EQ(c.Wyrm().Price(), 20);
    EXPECT_EQ(c.Catalogue.MajorTerrain(0)->Price(), 4);
}

TEST(InventoryFile, Version6TradesTakeTodayAndCountTheirLines)
{
    TSmallCollection c;
    const TInventoryReadResult result = c.Load(FromHex(u"02 06 01 02 07 02 00 02 02 09 08 02 14 00"
                                                       // next trade 4; trade 2 "Pat", Waiting, using trade outs
                                                       " 02 04 01 02 02 06 03 50 61 74 06 00 06 00 06 00 02 05 09 06 00"
                                                       // lines: 7/0 -2, 99/0 +1 (no such race), major 5 +1
                                                       " 01 02 07 02 00 02 FE 02 63 02 00 02 01 02 FD 02 05 02 01 00"
                                                       " 00"_s));
    EXPECT_EQ(result.NotFound, 0) << "trade lines are not entries";
    EXPECT_EQ(c.Inventory.NextTradeNumber, 4);
    EXPECT_EQ(DescribeTrades(c.Inventory),
              (QStringList{u"next 4"_s, u"#2 Pat||||Waiting|use||2024-03-05T00:00:00.000|| [7/0x-2 -3/5x1]"_s}));
    EXPECT_EQ(c.Drake().UsedCount, 2u);
    EXPECT_EQ(c.Drake().WaitingCount, 2);
    EXPECT_EQ(c.Catalogue.MajorTerrain(5)->UsedCount, 0u);
    EXPECT_EQ(c.Drake().Price(), 20);
    EXPECT_TRUE(c.Drake().Locked);

    // Freeing the trades gives the copies back.
    c.Inventory.FreeTrades();
    EXPECT_EQ(c.Drake().UsedCount, 0u);
    EXPECT_EQ(c.Drake().WaitingCount, 0);
}

TEST(InventoryFile, UnknownEntriesAreCountedAndPassedOver)
{
    TSmallCollection c;
    // Race 99, die 42 of race 3 and major terrain 48 do not exist; 3/0 after them does.
    const TInventoryReadResult result = c.Load(FromHex(u"02 09 01 02 63 02 00 02 07 09 09 02 05 06 01 78 02 01"
                                                       " 02 03 02 2A 02 07 09 09 02 05 06 01 78 02 01"
                                                       " 02 FD 02 30 02 07 09 09 02 05 06 01 78 02 01"
                                                       " 02 03 02 00 02 01 08 08 02 06 06 00 02 00 00 02 00 01 00"_s));
    EXPECT_EQ(result.NotFound, 3);
    EXPECT_EQ(result.Total, 1);
    EXPECT_EQ(TInventory::InventoryNotFoundMessage(result.NotFound), u"3 dice in the inventory were not found.");
    EXPECT_EQ(c.Scout().Price(), 6);
}

TEST(InventoryFile, LoadingZeroesTheCountsItDoesNotMention)
{
    QTemporaryDir folder;
    TSmallCollection c;
    c.Archer().Count = 9;
    c.Archer().Locked = c.Archer().Trading = true;
    c.Archer().SetPrice(30);
    c.Archer().Drawer = u"top"_s;
    c.Catalogue.MajorTerrain(3)->Count = 2;
    c.Inventory.InventoryModified = true;
    const QString path = folder.filePath(u"Old.KRI"_s);
    WriteFile(path, FromHex(u"02 01 01 02 03 02 00 02 05 00"_s));

    EXPECT_EQ(c.Inventory.LoadFile(path).Total, 5);
    EXPECT_EQ(c.Scout().Count, 5u);
    EXPECT_EQ(c.Archer().Count, 0u);
    EXPECT_EQ(c.Catalogue.MajorTerrain(3)->Count, 0u);
    EXPECT_TRUE(c.Archer().Locked && c.Archer().Trading);
    EXPECT_EQ(c.Archer().Price(), 30);
    EXPECT_EQ(c.Archer().Drawer, u"top");
    EXPECT_EQ(c.Inventory.InventoryFileName, path);
    EXPECT_EQ(c.Inventory.InventoryLogName, folder.filePath(u"Old.log"_s));
    EXPECT_FALSE(c.Inventory.InventoryModified);
}

TEST(InventoryFile, SaveThenLoadGivesBackEverything)
{
    TSmallCollection c;
    FillCollection(c);
    const QByteArray bytes = c.Save();

    TSmallCollection loaded;
    const TInventoryReadResult result = loaded.Load(bytes);
    EXPECT_EQ(result.NotFound, 0);
    EXPECT_EQ(DescribeItems(loaded), DescribeItems(c));
    EXPECT_EQ(DescribeTrades(loaded.Inventory), DescribeTrades(c.Inventory));
    EXPECT_EQ(loaded.Save(), bytes);

    // Dice in database order, then the minor and the major terrains by index.
    const QStringList items = DescribeItems(loaded);
    ASSERT_EQ(items.size(), 6 + 24 + 48);
    EXPECT_TRUE(items[0].startsWith(u"3/0 n3000000000 "_s));
    EXPECT_TRUE(items[3].startsWith(u"7/0 "_s));
    EXPECT_TRUE(items[5].startsWith(u"9/0 "_s));
    EXPECT_TRUE(items[6].startsWith(u"-2/0 "_s));
    EXPECT_TRUE(items[30].startsWith(u"-3/0 "_s));
    EXPECT_TRUE(items[77].startsWith(u"-3/47 "_s));
    // The trades are read in file order, whatever their names.
    EXPECT_TRUE(DescribeTrades(loaded.Inventory)[1].startsWith(u"#40 Trader 6|"_s));
}

TEST(InventoryFile, FilesAndTheirLogs)
{
    EXPECT_EQ(TInventory::LogNameFor(u"/home/pat/dice.v2/Collection.KRI"_s), u"/home/pat/dice.v2/Collection.log");
    EXPECT_EQ(TInventory::LogNameFor(u"/home/pat/dice.v2/Collection"_s), u"/home/pat/dice.v2/Collection.log");
    EXPECT_EQ(TInventory::LogNameFor(u"C:\\Dice\\a.b.kri"_s), u"C:\\Dice\\a.b.log");

    QTemporaryDir folder;
    TSmallCollection c;
    FillCollection(c);
    c.Inventory.InventoryModified = true;
    const QString path = folder.filePath(u"Mine.kri"_s);
    c.Inventory.SaveFile(path);
    EXPECT_EQ(c.Inventory.InventoryFileName, path);
    EXPECT_EQ(c.Inventory.InventoryLogName, folder.filePath(u"Mine.log"_s));
    EXPECT_FALSE(c.Inventory.InventoryModified);
    EXPECT_EQ(FileBytes(path), c.Save());

    // A save that cannot be written leaves the old name and the modified flag.
    c.Inventory.InventoryModified = true;
    EXPECT_TRUE(FailureOf([&] {
                    c.Inventory.SaveFile(folder.filePath(u"no/such/folder.kri"_s));
                }).startsWith(u"Cannot write"_s));
    EXPECT_EQ(c.Inventory.InventoryFileName, path);
    EXPECT_TRUE(c.Inventory.InventoryModified);

    // A damaged file keeps what came before the damage and forgets the file name, so
    // that the next save cannot overwrite the file loaded before.
    const QByteArray whole = c.Save();
    const QString cut = folder.filePath(u"cut.kri"_s);
    WriteFile(cut, whole.left(whole.size() - 3));
    TSmallCollection other;
    other.Inventory.InventoryFileName = path;
    other.Inventory.InventoryModified = true;
    EXPECT_TRUE(FailureOf([&] { other.Inventory.LoadFile(cut); }).startsWith(u"File ends at offset "_s));
    EXPECT_TRUE(other.Inventory.InventoryFileName.isEmpty());
    EXPECT_TRUE(other.Inventory.InventoryLogName.isEmpty());
    EXPECT_FALSE(other.Inventory.InventoryModified);
    EXPECT_EQ(DescribeItems(other)[0], DescribeItems(c)[0]);
    EXPECT_EQ(other.Inventory.Trades().size(), 6u) << "the last trade was cut";

    other.Inventory.Clear();
    EXPECT_TRUE(other.Inventory.Trades().empty());
    EXPECT_EQ(other.Scout().Count, 0u);
    EXPECT_EQ(other.Scout().Price(), c.Scout().Price());
}

TEST(InventoryFile, TheEdgesOfTheRanges)
{
    // The damaged files below show the values just outside; here the ones just inside.
    TSmallCollection c;
    EXPECT_EQ(ReadFailure(c.Inventory, FromHex(u"02 00 01 00"_s)),
              u"Inventory file version 0 is outside 1 to 11 at offset 0.");
    c.Load(FromHex(u"02 0B 01 02 03 02 00 13 FF FF FF FF 00 00 00 00 09 08 02 0C 06 00 02 00 00 02 00 01 00"_s));
    EXPECT_EQ(c.Scout().Count, 4294967295U);
}

TEST(InventoryFile, DamagedFilesAreRefused)
{
    const QDir folder(TestDataPath(u"malformed-inventory"_s));
    const QStringList files = folder.entryList(QDir::Files, QDir::Name);
    ASSERT_GE(files.size(), 6);
    QStringList failures;
    for (const QString &name : files) {
        TSmallCollection c;
        failures << name + u": "_s + ReadFailure(c.Inventory, FileBytes(folder.filePath(name)));
    }
    EXPECT_EQ(failures,
              (QStringList{
                  u"count-above-32-bits.kri: Count 4294967296 is above 4294967295 at offset 7."_s,
                  u"giant-drawer.kri: The length of a text at offset 13 is 2147483647 bytes but only 9 remain."_s,
                  u"giant-wide-trader.kri: The length of a text at offset 9 is 4294967294 bytes but only 2 remain."_s,
                  u"list-for-version.kri: Unexpected value type 1 at offset 0 where an integer was expected."_s,
                  u"no-trade-list-end.kri: File ends at offset 7 where a value was expected."_s,
                  u"text-for-count.kri: Unexpected value type 6 at offset 7 where an integer was expected."_s,
                  u"trade-line-cut.kri: File ends at offset 43 where an integer was expected."_s,
                  u"trade-status-7.kri: Trade status 7 is out of range at offset 17."_s,
                  u"version-12.kri: Inventory file version 12 is outside 1 to 11 at offset 0."_s,
                  u"version-4-infinite-price.kri: Price inf is out of range at offset 11."_s}));

    // Every cut of a small file with trades: nothing reads to the end, and nothing is
    // counted that is not given back when the trades are freed.
    TSmallCollection source(false);
    source.Scout().Count = 2;
    source.Scout().Drawer = u"d\u00e9"_s;
    TTrade &trade = source.Inventory.CreateTrade(u"Pat"_s);
    trade.SetUseTradeOuts(true);
    trade.SetStatus(TradeStatus::Waiting);
    trade.AppendLine(source.Scout(), -1);
    trade.AppendLine(source.Blot(), 300);
    const QByteArray bytes = source.Save();
    for (qsizetype size = 0; size < bytes.size(); ++size) {
        TSmallCollection c(false);
        const QString failure = ReadFailure(c.Inventory, bytes.left(size));
        ASSERT_TRUE(failure.startsWith(u"File ends at offset "_s) || failure.startsWith(u"The length of "_s))
            << "cut at " << size << ": " << failure.toStdString();
        c.Inventory.FreeTrades();
        ASSERT_EQ(c.Scout().UsedCount, 0u);
        ASSERT_EQ(c.Scout().WaitingCount, 0);
    }
}
