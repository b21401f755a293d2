#pragma once

// The texts a trade is shown and sent in: the cells of the trade grid, and the letter and
// the address label the trade panel copies to the clipboard.

#include <QString>
#include <QStringList>

#include <vector>

class TInventoryData;

// A row of the trade panel's grid: the item and its count as edited (positive: coming
// in to the user).
struct TTradeRow
{
    TInventoryData *Item = nullptr;
    qint32 Count = 0;
};

inline const QString kCrLf = QStringLiteral("\r\n");

// The lines of a text whose lines end in CR LF, LF or CR, as a box shows them. An empty
// text has no lines; a text that ends in a line break has an empty last line.
QStringList TextLines(const QString &text);

// The trade grid: "  #", "Loc", "Name", "Race", "Type", "  sz", " pts", " net".
QStringList TradeGridHeaders();
inline constexpr int kTradeGridColumns = 8;
// The cells of the item's row for a count: the count ("n " or "(n)" in 5 places), drawer,
// name, race or land, profession or terrain kind, size, price and points.
QStringList TradeGridRow(const TInventoryData &item, qint32 count);
// Price x count of the rows (positive: the user gains points).
qint64 RowsNetValue(const std::vector<TTradeRow> &rows);

// What "Copy Trade to Clipboard" copies: the e-mail address, what comes in and what goes
// out with their points, the trader's address on file and the user's own.
QString TradeClipboardText(const QString &email, const std::vector<TTradeRow> &rows, const QString &traderName,
                        const QString &address, const QString &userAddress);
// What "Copy Address to Clipboard" copies: the trader's name over the address lines.
QString TraderAddressText(const QString &traderName, const QString &address);
