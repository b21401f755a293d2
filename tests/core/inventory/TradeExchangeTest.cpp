#include "InventoryFixture.h"
#include "inventory/TradeFile.h"
#include "inventory/TradeOffer.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

QString Items(const TTradeOffer &offer)
{
    QStringList items;
    for (const TTradeOfferItem &item : offer.Items)
        items << u"%1/%2x%3"_s.arg(item.A).arg(item.B).arg(item.Count);
    return items.join(u' ');
}

// Robin's trade file: Reed Archer going to Robin's partner twice, minor terrain 5 coming in.
const QString kRobinsFile = u"02 01 01 06 0A 52 6F 62 69 6E 20 56 61 6C 65 06 0B 34 20 48 69 6C 6C 20 52 6F 61 64 00"
                            " 06 11 72 6F 62 69 6E 40 65 78 61 6D 70 6C 65 2E 6F 72 67"
                            " 01 02 03 02 01 02 FE 02 FE 02 05 02 01 00"_s;

TTradeFile ReadTradeFileBytes(const QByteArray &bytes)
{
    TTradeFile file;
    ReadFromBytes(bytes, [&](TTaggedReader &reader) { file = TTradeFile::Read(reader); });
    return file;
}

} // namespace

TEST(TradeOffer, KeywordsAndItemLinesMakeATrade)
{
    TSmallCollection c;
    const QString text = u"Name: Pat\r\n"
                         "EMAIL:  PAT@Example.ORG \r\n"
                         "  xx0000300001: 2  \n"
                         "xx0001200003: 2\r"
                         "xx12   3    : 1\r\n"
                         "card: Visa\r\n"
                         "  date: 05/99\r\n"
                         "Address: 1 Mill Lane \r\n"
                         "   Riverton\r\n"
                         "Notes: slow\r\n"
                         "fast\r\n"
                         "phone: 555\r\n"
                         "XX-000200005: 1\r\n"
                         "xx-000300010:3\r\n"
                         "xx0000300000: two\r\n"
                         "xx0000300001: 1\r\n"
                         "name: Someone Else\r\n"_s;
    const TTradeOffer offer = ParseTradeOffer(text);
    EXPECT_EQ(offer.Name, u"Pat");
    EXPECT_EQ(offer.EMail, u"pat@example.org");
    EXPECT_EQ(offer.Card, u"visa exp 05/99");
    EXPECT_EQ(offer.Address, u"1 Mill Lane\r\nRiverton");
    EXPECT_EQ(offer.Notes, u"slow\r\nfast");
    EXPECT_EQ(Items(offer), u"3/1x2 12/3x2 -1/-1x1 -2/5x1 -3/10x3 3/0x0 3/1x1");

    c.Inventory.InventoryModified = false;
    qint64 lost = 0;
    TTrade &trade = ImportTradeOffer(c.Inventory, offer, lost);
    EXPECT_EQ(lost, 2);
    EXPECT_EQ(LostInImportMessage(lost), u"2 dice lost during import.");
    EXPECT_EQ(trade.Name, u"Pat");
    EXPECT_EQ(Lines(trade), u"Reed Archer -3, Flatland Forest -1, Highland Temple -3");
    EXPECT_EQ(trade.Status(), TradeStatus::Proposed);
    EXPECT_TRUE(trade.UseTradeOuts());
    EXPECT_EQ(c.Archer().UsedCount, 3u);
    EXPECT_EQ(trade.EMail, u"pat@example.org");
    EXPECT_EQ(trade.Notes, u"slow\r\nfast");
    EXPECT_TRUE(c.Inventory.InventoryModified);
    EXPECT_EQ(c.Inventory.Trades().size(), 1u);

    // The break that ends the text ends the last line; an empty line within is a line.
    EXPECT_EQ(ParseTradeOffer(u"Name: Pat\r\nAddress: 1 Mill Lane\r\n"_s).Address, u"1 Mill Lane");
    EXPECT_EQ(ParseTradeOffer(u"Name: Pat\nAddress: a\n\nb\n"_s).Address, u"a\r\n\r\nb");
}

TEST(TradeOffer, TheNameMustComeFirst)
{
    EXPECT_EQ(FailureOf([] { ParseTradeOffer(QString()); }), u"No text found in clipboard.");
    for (const QString &text : {u" Name: Pat"_s, u"EMail: pat@example.org\r\nName: Pat"_s, u"\r\nName: Pat"_s,
                                u"Nam: Pat"_s})
        EXPECT_EQ(FailureOf([&] { ParseTradeOffer(text); }), u"Name string not first in clipboard.")
            << text.toStdString();
    EXPECT_EQ(ParseTradeOffer(u"NAME:"_s).Name, QString());
    EXPECT_EQ(ParseTradeOffer(u"name:   Pat Doe   "_s).Name, u"Pat Doe");
}

TEST(TradeOffer, EveryFieldIsBounded)
{
    const QString name = u"Name: "_s + QString(200, u'n');
    EXPECT_EQ(ParseTradeOffer(name).Name, QString(98, u'n'));

    QString text = u"Name: Pat\n"_s;
    text += u"EMail: "_s + QString(100000, u'E') + u'\n';
    text += u"Card: "_s + QString(300, u'c') + u'\n';
    for (int i = 0; i < 100; ++i)
        text += u"date: 05/99\n"_s;
    text += u"Address: start\n"_s;
    for (int i = 0; i < 5000; ++i)
        text += u"line of the address\n"_s;
    text += u"Notes: "_s + QString(10000, u'x');
    const TTradeOffer offer = ParseTradeOffer(text);
    EXPECT_EQ(offer.EMail, QString(TTradeOffer::kMaxLine, u'e'));
    EXPECT_EQ(offer.Card, QString(TTradeOffer::kMaxLine, u'c'));
    EXPECT_EQ(offer.Address.size(), TTradeOffer::kMaxBlock);
    EXPECT_TRUE(offer.Address.startsWith(u"start\r\nline of the address\r\n"_s));
    EXPECT_EQ(offer.Notes.size(), TTradeOffer::kMaxBlock);

    // A surrogate pair is never cut in half.
    const QString clef = QString::fromUcs4(U"\U0001D11E");
    EXPECT_EQ(ParseTradeOffer(u"Name: "_s + QString(97, u'a') + clef).Name, QString(97, u'a'));
    // Nor a line break: with one place left the block ends.
    const QString nearlyFull = u"Name: Pat\nNotes: "_s + QString(TTradeOffer::kMaxBlock - 1, u'x') + u"\nmore"_s;
    EXPECT_EQ(ParseTradeOffer(nearlyFull).Notes, QString(TTradeOffer::kMaxBlock - 1, u'x'));

    // Counts out of range read as 0; the same die again adds up, and stops short of the
    // end of the range.
    TSmallCollection c;
    qint64 lost = 0;
    const TTrade &trade = ImportTradeOffer(c.Inventory,
                                           ParseTradeOffer(u"Name: Pat\nxx0000300001: 2147483647\n"
                                                           "xx0000300001: 2147483647\nxx0000300000: 99999999999\n"_s),
                                           lost);
    EXPECT_EQ(lost, 0);
    EXPECT_EQ(Lines(trade), u"Reed Archer -2147483647");
}

TEST(TradeOffer, AnyTextReadsInOnePass)
{
    // Item lines past the bound are counted as lost, not kept.
    QString text = u"Name: Pat\n"_s;
    text.reserve(3000000);
    for (int i = 0; i < TTradeOffer::kMaxItems + 5; ++i)
        text += u"xx0000300001: 1\n"_s;
    QElapsedTimer timer;
    timer.start();
    const TTradeOffer offer = ParseTradeOffer(text);
    EXPECT_EQ(offer.Items.size(), size_t(TTradeOffer::kMaxItems));
    EXPECT_EQ(offer.ItemsPassedOver, 5);
    TSmallCollection c;
    qint64 lost = 0;
    const TTrade &trade = ImportTradeOffer(c.Inventory, offer, lost);
    EXPECT_EQ(lost, 5);
    EXPECT_EQ(Lines(trade), u"Reed Archer -100000");

    // One line of two million characters, and as many empty lines.
    const TTradeOffer wide = ParseTradeOffer(u"Name: Pat\nNotes: "_s + QString(2000000, u'x') + QString(2000000, u'\n'));
    EXPECT_EQ(wide.Notes.size(), TTradeOffer::kMaxBlock);
    EXPECT_LT(timer.elapsed(), 20000);
}

TEST(TradeFile, ExportThenImportReversesTheCounts)
{
    TSmallCollection mine;
    TTrade &trade = mine.Inventory.CreateTrade(u"Pat"_s);
    trade.AppendLine(mine.Archer(), -2);
    trade.AppendLine(*mine.Catalogue.MinorTerrain(5), 1);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"pat.btr"_s);
    ExportTradeFile(path, MakeTradeFile(trade, u"Robin Vale\n4 Hill Road"_s, u"robin@example.org"_s));
    EXPECT_EQ(Hex(FileBytes(path)), Hex(FromHex(kRobinsFile)));

    // On Pat's side what Robin sends comes in.
    TSmallCollection pats;
    pats.Inventory.InventoryModified = false;
    TTrade &imported = ImportTradeFile(pats.Inventory, path);
    EXPECT_EQ(imported.Name, u"Robin Vale");
    EXPECT_EQ(imported.Address, u"4 Hill Road");
    EXPECT_EQ(imported.EMail, u"robin@example.org");
    EXPECT_EQ(Lines(imported), u"Reed Archer 2, Flatland Forest -1");
    EXPECT_EQ(imported.Status(), TradeStatus::Proposed);
    EXPECT_FALSE(imported.UseTradeOuts());
    EXPECT_TRUE(pats.Inventory.InventoryModified);

    const TTradeFile raw = ReadTradeFileBytes(FileBytes(path));
    EXPECT_EQ(raw.Address, (QStringList{u"Robin Vale"_s, u"4 Hill Road"_s}));
    EXPECT_EQ(raw.Lines.size(), 2u);
}

TEST(TradeFile, ImportKeepsWhatItReadAndSkipsWhatItCannotPlace)
{
    TSmallCollection c;
    // No address; race 50 is unknown; a line of -2147483648 comes in as 2147483647.
    const QByteArray bytes = FromHex(u"02 07 01 00 06 00 01 02 32 02 00 02 01 02 03 02 00 04 00 00 00 80"
                                     " 02 03 02 00 02 FF 00"_s);
    TTrade *trade = nullptr;
    ReadFromBytes(bytes, [&](TTaggedReader &reader) { trade = &ImportTradeStream(c.Inventory, reader); });
    EXPECT_EQ(trade->Name, u"*import");
    EXPECT_EQ(Lines(*trade), u"Marsh Scout 2147483647, Marsh Scout 1");
    const TTradeFile raw = ReadTradeFileBytes(bytes);
    EXPECT_EQ(raw.Version, 7);

    // A damaged file: the trade keeps the name and lines read before the damage.
    TSmallCollection d;
    const QByteArray cut = FromHex(kRobinsFile).left(60);
    EXPECT_TRUE(FailureOf([&] {
                    ReadFromBytes(cut, [&](TTaggedReader &reader) { ImportTradeStream(d.Inventory, reader); });
                }).contains(u"offset"_s));
    ASSERT_EQ(d.Inventory.Trades().size(), 1u);
    EXPECT_EQ(d.Inventory.Trades().front()->Name, u"Robin Vale");
    EXPECT_EQ(Lines(*d.Inventory.Trades().front()), u"Reed Archer 2");
    EXPECT_TRUE(d.Inventory.InventoryModified);

    // A file that is not there: no trade.
    TSmallCollection e;
    EXPECT_FALSE(FailureOf([&] { ImportTradeFile(e.Inventory, u"/nonexistent/x.btr"_s); }).isEmpty());
    EXPECT_TRUE(e.Inventory.Trades().empty());

    // Written back as the program writes: version 1, whatever was read.
    TTradeFile file = ReadTradeFileBytes(bytes);
    EXPECT_EQ(Hex(WriteToBytes([&](TTaggedWriter &writer) { file.Write(writer); })),
              Hex(FromHex(u"02 01 01 00 06 00 01 02 32 02 00 02 01 02 03 02 00 04 00 00 00 80"
                          " 02 03 02 00 02 FF 00"_s)));
}
