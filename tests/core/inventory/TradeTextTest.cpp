#include "InventoryFixture.h"
#include "RecordingCanvas.h"
#include "inventory/TradeLog.h"
#include "inventory/TradePrint.h"
#include "inventory/TradeText.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

const QString kDashes = u"     ------------------------------------------------------------ ----"_s;

// "     " + the text in 60 places + " " + the points in 4.
QString Row(const QString &text, const QString &points)
{
    return u"     "_s + text.leftJustified(60) + u' ' + points;
}

// Pages on which the entries must end above 288.
class TShortPages : public TRecordingCanvas
{
public:
    int PageHeight() const override { return 360; }
};

struct TTradeTexts : ::testing::Test
{
    TTradeTexts()
    {
        c.Archer().SetPrice(12);
        c.Scout().SetPrice(1);
    }
    TSmallCollection c;
};

} // namespace

TEST_F(TTradeTexts, ATradeGoingOnlyOutStillTotalsWhatComesIn)
{
    const std::vector<TTradeRow> rows{{&c.Archer(), -2}, {&c.Scout(), -1}, {&c.Drake(), 0}};
    const QString text = TradeClipboardText(u"pat@example.org"_s, rows, u"Pat"_s, u"1 Mill Lane\r\nRiverton"_s,
                                            u"Robin Vale\n4 Hill Road"_s);
    const QStringList expected{
        u"pat@example.org"_s,
        kDashes,
        Row(u"0 DICE"_s, u"   0"_s),
        QString(),
        u"I SEND YOU"_s,
        Row(u"Reed Archer, Reedfolk Archer, 3hp; 2 @ 12pts ea."_s, u"  24"_s),
        Row(u"Marsh Scout, Reedfolk Light Troop, 1hp"_s, u"   1"_s),
        kDashes,
        Row(u"3 DICE"_s, u"  25"_s),
        QString(),
        u"I have your address on file as"_s,
        QString(),
        u"     Pat"_s,
        u"     1 Mill Lane"_s,
        u"     Riverton"_s,
        QString(),
        u"My address is"_s,
        QString(),
        u"     Robin Vale"_s,
        u"     4 Hill Road"_s,
    };
    EXPECT_EQ(text, expected.join(u"\r\n"_s));
    EXPECT_EQ(text.split(u"\r\n"_s).at(6),
              u"     Marsh Scout, Reedfolk Light Troop, 1hp                          1"_s);
}

TEST_F(TTradeTexts, OneCopyHasNoEachPriceAndNoAddressesNoBlocks)
{
    const QString text = TradeClipboardText(QString(), {{c.Catalogue.MajorTerrain(5), 1}}, u"Pat"_s, QString(),
                                            QString());
    const QStringList expected{
        QString(),
        QString(),
        u"YOU SEND ME"_s,
        Row(u"Flatland Standing Stones (Major)"_s, u"   2"_s),
        kDashes,
        Row(u"1 DICE"_s, u"   2"_s),
        kDashes,
        Row(u"0 DICE"_s, u"   0"_s),
    };
    EXPECT_EQ(text, expected.join(u"\r\n"_s));
    EXPECT_FALSE(text.contains(u" @ "_s));

    EXPECT_EQ(TraderAddressText(u"Pat"_s, u"1 Mill Lane\r\nRiverton"_s), u"Pat\r\n1 Mill Lane\r\nRiverton");
    EXPECT_EQ(TraderAddressText(u"Pat"_s, QString()), u"Pat");
    EXPECT_EQ(TextLines(u"a\r\nb\nc\rd\r\n"_s), (QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s, QString()}));
    EXPECT_TRUE(TextLines(QString()).isEmpty());
}

TEST_F(TTradeTexts, TheLogEntryOfAKnownTradeToTheByte)
{
    TTrade &trade = c.Inventory.CreateTrade(u"Pat"_s);
    trade.EMail = u"pat@example.org"_s;
    trade.Address = u"1 Mill Lane\r\n\r\nRiverton\tNorth"_s;
    trade.Terms = u"even"_s;
    trade.AppendLine(c.Archer(), -2);
    trade.AppendLine(c.Scout(), 3);
    trade.SetStatus(TradeStatus::Sent);

    QTemporaryDir folder;
    const QString path = folder.filePath(u"Collection.log"_s);
    AppendTradeLog(path, TradeLogEntry(trade, TApplyKind::Send, u"05/03/2024"_s));
    trade.EMail.clear();
    trade.Address.clear();
    trade.SetStatus(TradeStatus::Complete);
    AppendTradeLog(path, TradeLogEntry(trade, TApplyKind::UndoReceive, u"06/03/2024"_s));
    EXPECT_EQ(FileBytes(path), QByteArray("** 05/03/2024:  Pat #0\r\n"
                                          "   Dice sent to Trader\r\n"
                                          "   pat@example.org * 1 Mill Lane * Riverton * North\r\n"
                                          "   Sent       * NET   -21 * TERMS: even\r\n"
                                          "     2 Reed Archer, Reedfolk Archer, 3hp                     24\r\n"
                                          "\r\n"
                                          "** 06/03/2024:  Pat #0\r\n"
                                          "   UNDO receive from Trader\r\n"
                                          "   Complete   * NET   -21 * TERMS: even\r\n"
                                          "     3 Marsh Scout, Reedfolk Light Troop, 1hp                 3\r\n"
                                          "\r\n"));

    EXPECT_EQ(TradeLogEntry(trade, TApplyKind::Receive, u"d"_s).at(1), u"   Dice received from Trader");
    EXPECT_EQ(TradeLogEntry(trade, TApplyKind::UndoSend, u"d"_s).at(1), u"   UNDO send to Trader");

    // A log that cannot be written says so, naming it.
    const QString folderAsFile = folder.path();
    EXPECT_TRUE(FailureOf([&] { AppendTradeLog(folderAsFile, {u"x"_s}); })
                    .startsWith(u"Cannot write the trade log \""_s + folderAsFile + u'"'));
}

TEST_F(TTradeTexts, ApplyingMovesStatusesAsTheTableSays)
{
    for (TradeStatus status : {TradeStatus::Received, TradeStatus::Complete})
        EXPECT_EQ(AppliedStatus(TApplyKind::Send, status), TradeStatus::Complete);
    for (TradeStatus status : {TradeStatus::Proposed, TradeStatus::Accepted, TradeStatus::Sent, TradeStatus::Waiting,
                               TradeStatus::Player})
        EXPECT_EQ(AppliedStatus(TApplyKind::Send, status), TradeStatus::Sent);
    for (TradeStatus status : {TradeStatus::Sent, TradeStatus::Complete})
        EXPECT_EQ(AppliedStatus(TApplyKind::Receive, status), TradeStatus::Complete);
    EXPECT_EQ(AppliedStatus(TApplyKind::Receive, TradeStatus::Waiting), TradeStatus::Received);
    EXPECT_EQ(AppliedStatus(TApplyKind::UndoSend, TradeStatus::Player), TradeStatus::Player);
    EXPECT_EQ(AppliedStatus(TApplyKind::UndoReceive, TradeStatus::Sent), TradeStatus::Sent);
    EXPECT_EQ(ApplyCaption(TApplyKind::Send), u"&Send Dice to Trader");
    EXPECT_EQ(ApplyCaption(TApplyKind::Receive), u"&Receive Dice from Trader");
    EXPECT_EQ(ApplyCaption(TApplyKind::UndoSend), u"Undo &Send");
    EXPECT_EQ(ApplyCaption(TApplyKind::UndoReceive), u"Undo &Receive");
    EXPECT_EQ(OwnedChange(TApplyKind::UndoSend, -2147483647), 2147483647);
}

TEST_F(TTradeTexts, ThePrintedReportLaysOutContactsValueAndSections)
{
    c.Archer().Drawer = u"B4"_s;
    TTrade &trade = c.Inventory.CreateTrade(u"Pat"_s);
    trade.Address = u"1 Mill Lane\r\nRiverton"_s;
    trade.Phone = u"555 0100"_s;
    trade.EMail = u"pat@example.org"_s;
    trade.Terms = u"even"_s;
    trade.Card = u"visa exp 05/99"_s;
    trade.AppendLine(c.Archer(), -2);
    trade.AppendLine(c.Scout(), 3);
    TRecordingCanvas canvas;
    PrintTrade(canvas, MakeTradePrintData(trade, u"03/05/24 14:30:00"_s));

    EXPECT_EQ(canvas.Events, (QStringList{u"begin Pat"_s, u"end"_s}));
    const auto *title = canvas.Find(u"Pat Trade Status, 03/05/24 14:30:00"_s);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(std::tuple(title->X, title->Y, title->Font), std::tuple(72, 72, TPrintFont{12, true}));
    // The address at the margin; phone and e-mail three blanks right of its widest line.
    EXPECT_EQ(canvas.At(0, 104), (QStringList{u"1 Mill Lane"_s, u"Phone:   "_s, u"555 0100"_s}));
    EXPECT_EQ(canvas.At(0, 120), (QStringList{u"Riverton"_s, u"EMAIL:   "_s, u"pat@example.org"_s}));
    EXPECT_EQ(canvas.Find(u"Phone:   "_s)->X, 72 + 11 * 7 + 21);
    EXPECT_EQ(canvas.Find(u"555 0100"_s)->X, 72 + 11 * 7 + 21 + 63);
    EXPECT_EQ(canvas.At(0, 152), QStringList{u"DICE VALUE LOSS:  21 points"_s});
    EXPECT_EQ(canvas.At(0, 168), QStringList{u"Terms:  even"_s});
    EXPECT_EQ(canvas.At(0, 200), QStringList{u"visa exp 05/99"_s});
    // Counts end at the count column (the margin and seven digits), drawers follow it,
    // descriptions stand after the widest drawer.
    EXPECT_EQ(canvas.At(0, 232), QStringList{u"DICE GOING OUT"_s});
    EXPECT_EQ(canvas.At(0, 248), (QStringList{u"2"_s, u" B4"_s, u"  Reed Archer, Reedfolk Archer, 3hp"_s}));
    EXPECT_EQ(canvas.Find(u"2"_s)->X, 121 - 7);
    EXPECT_EQ(canvas.Find(u" B4"_s)->X, 121);
    EXPECT_EQ(canvas.Find(u"  Reed Archer, Reedfolk Archer, 3hp"_s)->X, 121 + 21);
    EXPECT_EQ(canvas.At(0, 272), QStringList{u"2 DICE"_s});
    EXPECT_EQ(canvas.Find(u"2 DICE"_s)->X, 121 - 42);
    EXPECT_EQ(canvas.At(0, 320), QStringList{u"DICE COMING IN"_s});
    EXPECT_EQ(canvas.At(0, 336), (QStringList{u"3"_s, u" "_s, u"  Marsh Scout, Reedfolk Light Troop, 1hp"_s}));
    EXPECT_EQ(canvas.At(0, 360), QStringList{u"3 DICE"_s});

    // Nothing going out prints no section for it; a net of zero is an even trade.
    trade.ReplaceLines({});
    TRecordingCanvas empty;
    PrintTrade(empty, MakeTradePrintData(trade, QString()));
    EXPECT_TRUE(empty.Shows(u"EVEN TRADE"_s));
    EXPECT_FALSE(empty.Shows(u"DICE GOING OUT"_s));
    EXPECT_FALSE(empty.Shows(u"DICE COMING IN"_s));
    EXPECT_EQ(TradeValueText(12), u"DICE VALUE GAIN:  12 points");
}

TEST_F(TTradeTexts, LongTradesContinueOnPagesOfTheirOwn)
{
    TTrade &trade = c.Inventory.CreateTrade(u"Pat"_s);
    for (TDie *die : {&c.Scout(), &c.Archer(), &c.TideLord(), &c.Drake(), &c.Wyrm()})
        trade.AppendLine(*die, -1);
    trade.AppendLine(c.Blot(), 1);
    TShortPages canvas;
    PrintTrade(canvas, MakeTradePrintData(trade, QString()));

    EXPECT_EQ(canvas.Events, (QStringList{u"begin Pat"_s, u"page"_s, u"end"_s}));
    EXPECT_EQ(canvas.At(0, 184), QStringList{u"DICE GOING OUT"_s});
    EXPECT_EQ(canvas.At(0, 232).value(2), u"  Tide Lord, Reedfolk Heavy Troop, 4hp");
    const auto *header = canvas.Find(u"Pat Trade Report, Page 2"_s, 1);
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(std::tuple(header->X, header->Y, header->Font), std::tuple(72, 72, TPrintFont{12, true}));
    EXPECT_EQ(canvas.At(1, 104), QStringList{u"DICE GOING OUT"_s});
    EXPECT_EQ(canvas.At(1, 120).value(2), u"  Ash Drake, Emberkin, 5hp");
    EXPECT_EQ(canvas.At(1, 136).value(2), u"  White Wyrm, Emberkin, 10hp");
    EXPECT_EQ(canvas.At(1, 160), QStringList{u"5 DICE"_s});
    EXPECT_EQ(canvas.At(1, 208), QStringList{u"DICE COMING IN"_s});
    EXPECT_EQ(canvas.At(1, 248), QStringList{u"1 DICE"_s});
    for (const auto &drawn : canvas.Texts)
        EXPECT_LE(drawn.Y + 16, 360 - 72) << drawn.Text.toStdString();

    // A failing printer gives up the document and says why.
    TShortPages failing;
    failing.FailOnNewPage = true;
    EXPECT_EQ(FailureOf([&] { PrintTrade(failing, MakeTradePrintData(trade, QString())); }), u"out of paper");
    EXPECT_EQ(failing.Events, (QStringList{u"begin Pat"_s, u"abort"_s}));
}
