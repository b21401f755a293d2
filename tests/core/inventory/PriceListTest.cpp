#include "InventoryFixture.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray WritePrices(const TInventory &inventory)
{
    return WriteToBytes([&](TTaggedWriter &w) { inventory.WritePrices(w); });
}

TInventoryReadResult ReadPrices(TInventory &inventory, const QByteArray &bytes)
{
    TInventoryReadResult result;
    ReadFromBytes(bytes, [&](TTaggedReader &r) { result = inventory.ReadPrices(r); });
    return result;
}

QList<qint32> Prices(const TSmallCollection &c)
{
    QList<qint32> prices;
    TDieTraversal walk(c.Catalogue);
    for (const TDie *die = walk.First(); die; die = walk.Next())
        prices << die->Price();
    for (int i = 0; i < TTerrain::kMinorCount; ++i)
        prices << c.Catalogue.MinorTerrain(i)->Price();
    for (int i = 0; i < TTerrain::kMajorCount; ++i)
        prices << c.Catalogue.MajorTerrain(i)->Price();
    return prices;
}

} // namespace

TEST(PriceList, BytesInDatabaseOrder)
{
    TSmallCollection c(false);
    c.Scout().SetPrice(300);
    c.Wyrm().SetPrice(-1);
    EXPECT_EQ(Hex(WritePrices(c.Inventory)), u"02 01 01"
                                             " 02 03 02 00 03 2C 01 02 03 02 01 02 02 02 03 02 05 02 02"
                                             " 02 07 02 00 02 02 02 07 02 01 02 FF 02 09 02 00 02 02"
                                             " 00");

    // With terrains: the minor ones by index, then the major ones.
    TSmallCollection full;
    const QByteArray bytes = WritePrices(full.Inventory);
    EXPECT_EQ(bytes.size(), 3 + 6 * 6 + 72 * 6 + 1);
    EXPECT_EQ(Hex(bytes.mid(3 + 6 * 6, 12)), u"02 FE 02 00 02 02 02 FE 02 01 02 02");
    EXPECT_EQ(Hex(bytes.mid(3 + 30 * 6, 6)), u"02 FD 02 00 02 02");
}

TEST(PriceList, ExportThenImportGivesBackEveryPrice)
{
    QTemporaryDir folder;
    TSmallCollection c;
    int i = 0;
    TDieTraversal walk(c.Catalogue);
    for (TDie *die = walk.First(); die; die = walk.Next())
        die->SetPrice(++i * 1000);
    for (int m = 0; m < TTerrain::kMajorCount; ++m)
        c.Catalogue.MajorTerrain(m)->SetPrice(m - 20);
    c.Catalogue.MinorTerrain(5)->SetPrice(0);
    const QList<qint32> before = Prices(c);
    const QString path = folder.filePath(u"prices.krp"_s);
    c.Inventory.ExportPrices(path);
    EXPECT_EQ(FileBytes(path), WritePrices(c.Inventory));

    TSmallCollection other;
    other.Scout().Count = 4;
    const TInventoryReadResult result = other.Inventory.ImportPrices(path);
    EXPECT_EQ(result.NotFound, 0);
    EXPECT_EQ(result.Total, 78);
    EXPECT_EQ(Prices(other), before);
    // A price of 0 in a list is kept as 0.
    EXPECT_EQ(other.Catalogue.MinorTerrain(5)->Price(), 0);
    EXPECT_EQ(other.Scout().Count, 4u);
    // Taking in a price list does not count as a change of the collection.
    EXPECT_FALSE(other.Inventory.InventoryModified);
    EXPECT_TRUE(other.Inventory.InventoryFileName.isEmpty());
}

TEST(PriceList, EntriesNotInTheCatalogueAreCounted)
{
    TSmallCollection c;
    // 3/1 at 50, die 4 of race 3 (deleted), race 99, minor terrain 24, 7/0 at 60; a
    // version number other than 1 is passed over.
    const TInventoryReadResult result =
        ReadPrices(c.Inventory, FromHex(u"02 05 01 02 03 02 01 02 32 02 03 02 04 02 01 02 63 02 00 02 01"
                                        " 02 FE 02 18 02 01 02 07 02 00 02 3C 00"_s));
    EXPECT_EQ(result.NotFound, 3);
    EXPECT_EQ(result.Total, 2);
    EXPECT_EQ(TInventory::PriceListNotFoundMessage(result.NotFound), u"3 dice in the price list were not found.");
    EXPECT_EQ(c.Archer().Price(), 50);
    EXPECT_EQ(c.Drake().Price(), 60);
    EXPECT_EQ(c.Scout().Price(), TInventoryData::kStartPrice);
    EXPECT_FALSE(c.Inventory.InventoryModified) << "the stream alone leaves the flag to the command";
}

TEST(PriceList, DamagedListsKeepThePricesReadBeforeTheDamage)
{
    QTemporaryDir folder;
    TSmallCollection c;
    const QString path = folder.filePath(u"cut.krp"_s);
    // 3/1 at 50, then a text where 7/0's price should be.
    WriteFile(path, FromHex(u"02 01 01 02 03 02 01 02 32 02 07 02 00 06 00 00"_s));
    EXPECT_EQ(FailureOf([&] { c.Inventory.ImportPrices(path); }),
              u"Unexpected value type 6 at offset 13 where an integer was expected.");
    EXPECT_EQ(c.Archer().Price(), 50);
    EXPECT_FALSE(c.Inventory.InventoryModified);

    TSmallCollection none;
    EXPECT_TRUE(FailureOf([&] {
                    none.Inventory.ImportPrices(folder.filePath(u"missing.krp"_s));
                }).startsWith(u"Cannot open"_s));
    EXPECT_FALSE(none.Inventory.InventoryModified);

    // Every cut of a list is refused.
    const QByteArray bytes = WritePrices(c.Inventory);
    for (qsizetype size = 0; size < bytes.size(); ++size) {
        const QString failure = FailureOf([&] { ReadPrices(c.Inventory, bytes.left(size)); });
        ASSERT_TRUE(failure.startsWith(u"File ends at offset "_s)) << size << ": " << failure.toStdString();
    }
}
