#include "inventory/TradeText.h"

#include "dice/DiceData.h"
#include "shell/QRVUtils.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

const QString kIndent = u"     "_s;
constexpr int kDescriptionWidth = 60;

qint64 Points(const TInventoryData &item, qint64 count)
{
    return qint64(item.Price()) * count;
}

QString PointsLine(const QString &text, qint64 points)
{
    return kCrLf + kIndent + text.leftJustified(kDescriptionWidth) + u' ' + PadNumber(points, 4);
}

// One pass of the letter: the rows going one way under their heading, then the total,
// which is there even when no row goes that way.
void AddPass(QString &text, const std::vector<TTradeRow> &rows, bool incoming, const QString &heading)
{
    qint64 dice = 0;
    qint64 points = 0;
    for (const TTradeRow &row : rows) {
        if (!row.Item || (incoming ? row.Count <= 0 : row.Count >= 0))
            continue;
        if (dice == 0)
            text += kCrLf + kCrLf + heading;
        const qint64 n = row.Count < 0 ? -qint64(row.Count) : qint64(row.Count);
        QString description = row.Item->ListText();
        if (n > 1)
            description += u"; "_s + QString::number(n) + u" @ "_s + QString::number(row.Item->Price()) +
                           u"pts ea."_s;
        text += PointsLine(description, Points(*row.Item, n));
        dice += n;
        points += Points(*row.Item, n);
    }
    text += kCrLf + kIndent + QString(kDescriptionWidth, u'-') + u" ----"_s;
    text += PointsLine(QString::number(dice) + u" DICE"_s, points);
}

} // namespace

QStringList TextLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    static const QRegularExpression breaks(u"\r\n|\n|\r"_s);
    return text.split(breaks);
}

QStringList TradeGridHeaders()
{
    return {u"  #"_s, u"Loc"_s, u"Name"_s, u"Race"_s, u"Type"_s, u"  sz"_s, u" pts"_s, u" net"_s};
}

QStringList TradeGridRow(const TInventoryData &item, qint32 count)
{
    const QString number = count >= 0 ? QString::number(count) + u' ' : u'(' + QString::number(-qint64(count)) + u')';
    return {number.rightJustified(5),
            item.Drawer,
            item.Name,
            item.GroupText(),
            item.KindText(),
            item.SizeText().rightJustified(4),
            QString::number(item.Price()).rightJustified(4),
            PadNumber(Points(item, count), 4)};
}

qint64 RowsNetValue(const std::vector<TTradeRow> &rows)
{
    qint64 net = 0;
    for (const TTradeRow &row : rows) {
        if (row.Item)
            net += Points(*row.Item, row.Count);
    }
    return net;
}

QString TradeClipboardText(const QString &email, const std::vector<TTradeRow> &rows, const QString &traderName,
                           const QString &address, const QString &userAddress)
{
    QString text = email;
    AddPass(text, rows, true, u"YOU SEND ME"_s);
    AddPass(text, rows, false, u"I SEND YOU"_s);
    if (!address.isEmpty()) {
        text += kCrLf + kCrLf + u"I have your address on file as"_s + kCrLf;
        text += kCrLf + kIndent + traderName;
        for (const QString &line : TextLines(address))
            text += kCrLf + kIndent + line;
    }
    if (!userAddress.isEmpty()) {
        text += kCrLf + kCrLf + u"My address is"_s + kCrLf;
        for (const QString &line : TextLines(userAddress))
            text += kCrLf + kIndent + line;
    }
    return text;
}

QString TraderAddressText(const QString &traderName, const QString &address)
{
    QString text = traderName;
    for (const QString &line : TextLines(address))
        text += kCrLf + line;
    return text;
}
