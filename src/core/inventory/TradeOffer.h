#pragma once

// A trade offer pasted from an e-mail or a web form: "Name:" on the first line, then
// keyword lines ("EMail:", "Card:", "Date:", "Address:", "Notes:") and item lines named
// as the order form of the trading list names its fields ("xx0001200003: 2"). The text
// comes from outside, so every field is bounded and any text reads in one pass.

#include <QString>
#include <QStringView>

#include <vector>

class TInventory;
class TTrade;

struct TTradeOfferItem
{
    qint32 A = -1; // race ID, or -2 / -3 for a minor / major terrain; -1 when unreadable
    qint32 B = -1; // die ID or terrain index
    qint32 Count = 0;
};

struct TTradeOffer
{
    // The longest texts an offer may set; what is longer is cut there.
    static constexpr int kMaxName = 99;
    static constexpr int kMaxLine = 255;   // EMail and Card
    static constexpr int kMaxBlock = 4000; // Address and Notes
    // Item lines past this many are not taken in but counted as lost: no catalogue has
    // so many dice.
    static constexpr int kMaxItems = 100000;

    QString Name;
    QString EMail;
    QString Card;
    QString Address; // lines separated by CR LF
    QString Notes;
    std::vector<TTradeOfferItem> Items;
    qint64 ItemsPassedOver = 0;
};

// Reads the offer. A text without a character is refused with "No text found in
// clipboard.", one whose first line does not begin "name:" (in any case) with "Name
// string not first in clipboard." (TKrException).
TTradeOffer ParseTradeOffer(QStringView text);

// "I&mport Trade From Clipboard" after the parse: a new trade for the offer, proposed and
// using its outgoing copies, with a line per item (the offer's count goes out to the
// trader). Answers the trade; lost counts the items whose die or terrain the catalogue
// does not have.
TTrade &ImportTradeOffer(TInventory &inventory, const TTradeOffer &offer, qint64 &lost);
// The message for items the catalogue does not have: "3 dice lost during import.".
QString LostInImportMessage(qint64 lost);
