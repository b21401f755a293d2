#pragma once

// The printed status report of a trade: who the trader is and how to reach them, the
// value gained or lost, the terms, and the dice going out and coming in with their
// drawers, continued on as many pages as they need.

#include <QString>
#include <QStringList>

#include <vector>

class TPrintCanvas;
class TTrade;

struct TTradePrintLine
{
    qint32 Count = 0; // negative: going out
    QString Drawer;
    QString Description;
};

struct TTradePrintData
{
    QString Name;
    // "mm/dd/yy hh:nn:ss" of the moment printing started.
    QString PrintedAt;
    QStringList Address;
    QString Phone;
    QString EMail;
    qint64 NetValue = 0;
    QString Terms;
    QString Card;
    std::vector<TTradePrintLine> Lines;
};

// The saved trade as the report shows it.
TTradePrintData MakeTradePrintData(const TTrade &trade, const QString &printedAt);
// "DICE VALUE GAIN:  12 points", "DICE VALUE LOSS:  12 points" or "EVEN TRADE".
QString TradeValueText(qint64 netValue);

// One document titled with the trader's name. A failure while printing aborts the
// document and is passed on.
void PrintTrade(TPrintCanvas &canvas, const TTradePrintData &trade);
