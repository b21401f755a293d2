#include "inventory/TradeLog.h"

#include "dice/DiceData.h"
#include "inventory/TradeText.h"
#include "io/FileErrors.h"
#include "shell/QRVUtils.h"

#include <QFile>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace {

QString LogText(TApplyKind kind)
{
    switch (kind) {
    case TApplyKind::Send:
        return u"Dice sent to Trader"_s;
    case TApplyKind::Receive:
        return u"Dice received from Trader"_s;
    case TApplyKind::UndoSend:
        return u"UNDO send to Trader"_s;
    case TApplyKind::UndoReceive:
        break;
    }
    return u"UNDO receive from Trader"_s;
}

qint64 Magnitude(qint64 value)
{
    return value < 0 ? -value : value;
}

} // namespace

QString ApplyCaption(TApplyKind kind)
{
    switch (kind) {
    case TApplyKind::Send:
        return u"&Send Dice to Trader"_s;
    case TApplyKind::Receive:
        return u"&Receive Dice from Trader"_s;
    case TApplyKind::UndoSend:
        return u"Undo &Send"_s;
    case TApplyKind::UndoReceive:
        break;
    }
    return u"Undo &Receive"_s;
}

bool AppliesToLine(TApplyKind kind, qint32 count)
{
    const bool sending = kind == TApplyKind::Send || kind == TApplyKind::UndoSend;
    return sending ? count < 0 : count > 0;
}

qint64 OwnedChange(TApplyKind kind, qint32 count)
{
    const bool undo = kind == TApplyKind::UndoSend || kind == TApplyKind::UndoReceive;
    return undo ? -qint64(count) : qint64(count);
}

TradeStatus AppliedStatus(TApplyKind kind, TradeStatus status)
{
    switch (kind) {
    case TApplyKind::Send:
        return status == TradeStatus::Received || status == TradeStatus::Complete ? TradeStatus::Complete
                                                                                   : TradeStatus::Sent;
    case TApplyKind::Receive:
        return status == TradeStatus::Sent || status == TradeStatus::Complete ? TradeStatus::Complete
                                                                               : TradeStatus::Received;
    case TApplyKind::UndoSend:
    case TApplyKind::UndoReceive:
        break;
    }
    return status;
}

QStringList TradeLogEntry(const TTrade &trade, TApplyKind kind, const QString &dateText)
{
    QStringList lines;
    lines << u"** "_s + dateText + u":  "_s + trade.Name + u" #"_s + QString::number(trade.Number());
    lines << u"   "_s + LogText(kind);
    if (!trade.EMail.isEmpty() || !trade.Address.isEmpty()) {
        QStringList parts;
        if (!trade.EMail.isEmpty())
            parts << trade.EMail;
        // Tabs count as line breaks too; runs of breaks make one.
        static const QRegularExpression breaks(u"[\t\r\n]+"_s);
        for (const QString &line : trade.Address.split(breaks, Qt::SkipEmptyParts))
            parts << line;
        lines << u"   "_s + parts.join(u" * "_s);
    }
    lines << u"   "_s + NameOf(trade.Status()).leftJustified(10) + u" * NET "_s + PadNumber(trade.NetValue(), 5) +
                 u" * TERMS: "_s + trade.Terms;
    for (const auto &line : trade.Lines()) {
        if (!AppliesToLine(kind, line->Count()))
            continue;
        const TInventoryData &item = line->Item();
        lines << u"   "_s + PadNumber(Magnitude(line->Count()), 3) + u' ' + item.ListText().leftJustified(50) + u' ' +
                     PadNumber(Magnitude(qint64(item.Price()) * line->Count()), 5);
    }
    lines << QString();
    return lines;
}

void AppendTradeLog(const QString &path, const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        throw TFileAccessError(u"Cannot write the trade log \"%1\": %2"_s.arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw TFileAccessError(u"Cannot write the trade log \"%1\": %2"_s.arg(path, file.errorString()));
}
