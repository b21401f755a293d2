#pragma once

// Sending and receiving the dice of a trade, taking either back, and the plain-text trade
// log beside the inventory file that records each of them.

#include "inventory/TradeData.h"

#include <QString>
#include <QStringList>

// The four ways of applying a trade to the owned counts, in the order of their menu items.
enum class TApplyKind { Send, Receive, UndoSend, UndoReceive };

// The menu caption, "&" included: the confirmation quotes it.
QString ApplyCaption(TApplyKind kind);
// Sending and its undo take the outgoing lines; receiving and its undo the incoming ones.
bool AppliesToLine(TApplyKind kind, qint32 count);
// The change of the owned count for a line: + count, or - count to undo.
qint64 OwnedChange(TApplyKind kind, qint32 count);
// What the trade's status becomes: a trade sent and received is complete; undoing
// leaves the status alone.
TradeStatus AppliedStatus(TApplyKind kind, TradeStatus status);

// The lines of one log entry (without their line ends) for a trade just applied:
// "** <date>:  <name> #<number>", what was done, how to reach the trader, the status,
// net value and terms, one line per line applied, and an empty line.
QStringList TradeLogEntry(const TTrade &trade, TApplyKind kind, const QString &dateText);
// Appends the lines to the log, each ending in CR LF, creating the file when missing. A
// file that cannot be written is a TFileAccessError naming it.
void AppendTradeLog(const QString &path, const QStringList &lines);
