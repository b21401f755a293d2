#include "inventory/TradePrint.h"

#include "army/PrintCanvas.h"
#include "dice/DiceData.h"
#include "inventory/TradeData.h"
#include "inventory/TradeText.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr TPrintFont kTitleFont{12, true};
constexpr TPrintFont kBodyFont{10, false};

class TTradeLayout
{
public:
    TTradeLayout(TPrintCanvas &canvas, const TTradePrintData &trade)
        : FCanvas(canvas)
        , FTrade(trade)
        , FH(canvas.TextHeight(u"SAMPLE"_s, kBodyFont) * 8 / 7)
        , FMargin(canvas.PixelsPerInch() * 3 / 4)
        , FY(FMargin)
    {
        FCountColumn = FMargin + Width(u"000"_s) + Width(u"0000"_s);
        int widestDrawer = 0;
        for (const TTradePrintLine &line : trade.Lines)
            widestDrawer = std::max(widestDrawer, Width(u' ' + line.Drawer));
        FDescriptionColumn = FCountColumn + widestDrawer;
    }

    void Print()
    {
        FCanvas.Text(FMargin, FY, FTrade.Name + u" Trade Status, "_s + FTrade.PrintedAt, kTitleFont);
        FY += 2 * FH;
        PrintContacts();
        Text(FMargin, TradeValueText(FTrade.NetValue));
        if (!FTrade.Terms.isEmpty()) {
            FY += FH;
            Text(FMargin, u"Terms:  "_s + FTrade.Terms);
        }
        if (!FTrade.Card.isEmpty()) {
            FY += 2 * FH;
            Text(FMargin, FTrade.Card);
        }
        FY += 2 * FH;
        PrintSection(u"DICE GOING OUT"_s, true);
        PrintSection(u"DICE COMING IN"_s, false);
    }

private:
    int Width(const QString &text) const { return FCanvas.TextWidth(text, kBodyFont); }
    void Text(int x, const QString &text) { FCanvas.Text(x, FY, text, kBodyFont); }
    void RightAligned(int right, const QString &text) { Text(right - Width(text), text); }

    // The address on the left; phone and e-mail to its right on the first two lines.
    void PrintContacts()
    {
        const int top = FY;
        int widest = 0;
        for (const QString &line : FTrade.Address) {
            Text(FMargin, line);
            widest = std::max(widest, Width(line));
            FY += FH;
        }
        const QString phone = u"Phone:   "_s;
        const QString email = u"EMAIL:   "_s;
        const int labels = FMargin + widest + Width(u"   "_s);
        const int values = labels + std::max(Width(phone), Width(email));
        FCanvas.Text(labels, top, phone, kBodyFont);
        FCanvas.Text(values, top, FTrade.Phone, kBodyFont);
        FCanvas.Text(labels, top + FH, email, kBodyFont);
        FCanvas.Text(values, top + FH, FTrade.EMail, kBodyFont);
        FY = std::max(FY, top + 2 * FH) + FH;
    }

    void PrintSection(const QString &heading, bool out)
    {
        qint64 dice = 0;
        bool headingDue = true;
        for (const TTradePrintLine &line : FTrade.Lines) {
            if (out ? line.Count >= 0 : line.Count <= 0)
                continue;
            // Room for the entry and the section's total below it. A continuation page
            // repeats the heading.
            if (FY + (headingDue ? 4 : 3) * FH > FCanvas.PageHeight() - FMargin) {
                NewPage();
                headingDue = true;
            }
            if (headingDue) {
                Text(FMargin, heading);
                FY += FH;
                headingDue = false;
            }
            const qint64 n = line.Count < 0 ? -qint64(line.Count) : qint64(line.Count);
            RightAligned(FCountColumn, QString::number(n));
            Text(FCountColumn, u' ' + line.Drawer);
            Text(FDescriptionColumn, u"  "_s + line.Description);
            FY += FH;
            dice += n;
        }
        if (headingDue)
            return; // nothing goes this way
        FY += FH / 2;
        RightAligned(FCountColumn, QString::number(dice) + u" DICE"_s);
        FY += 3 * FH;
    }

    void NewPage()
    {
        FCanvas.NewPage();
        ++FPage;
        FY = FMargin;
        FCanvas.Text(FMargin, FY, FTrade.Name + u" Trade Report, Page "_s + QString::number(FPage), kTitleFont);
        FY += 2 * FH;
    }

    TPrintCanvas &FCanvas;
    const TTradePrintData &FTrade;
    const int FH;
    const int FMargin;
    int FY;
    int FCountColumn = 0;
    int FDescriptionColumn = 0;
    int FPage = 1;
};

} // namespace

QString TradeValueText(qint64 netValue)
{
    if (netValue > 0)
        return u"DICE VALUE GAIN:  %1 points"_s.arg(netValue);
    if (netValue < 0)
        return u"DICE VALUE LOSS:  %1 points"_s.arg(-netValue);
    return u"EVEN TRADE"_s;
}

TTradePrintData MakeTradePrintData(const TTrade &trade, const QString &printedAt)
{
    TTradePrintData data;
    data.Name = trade.Name;
    data.PrintedAt = printedAt;
    data.Address = TextLines(trade.Address);
    data.Phone = trade.Phone;
    data.EMail = trade.EMail;
    data.NetValue = trade.NetValue();
    data.Terms = trade.Terms;
    data.Card = trade.Card;
    for (const auto &line : trade.Lines())
        data.Lines.push_back({line->Count(), line->Item().Drawer, line->Item().ListText()});
    return data;
}

void PrintTrade(TPrintCanvas &canvas, const TTradePrintData &trade)
{
    canvas.BeginDocument(trade.Name);
    try {
        TTradeLayout(canvas, trade).Print();
    } catch (...) {
        canvas.AbortDocument();
        throw;
    }
    canvas.EndDocument();
}
