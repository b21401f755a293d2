#include "inventory/TradeOffer.h"

#include "KrException.h"
#include "inventory/Inventory.h"

#include <QHash>

#include <algorithm>
#include <optional>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr qint64 kLargestCount = std::numeric_limits<qint32>::max();

// The offer's lines one at a time, whatever ends them (CR LF, LF or CR), without copies.
class TLineReader
{
public:
    explicit TLineReader(QStringView text) : FText(text) {}

    bool Next(QStringView &line)
    {
        // A break at the very end ends the last line; it starts none.
        if (FPos > FText.size() || (FPos == FText.size() && FPos > 0))
            return false;
        qsizetype end = FPos;
        while (end < FText.size() && FText[end] != u'\r' && FText[end] != u'\n')
            ++end;
        line = FText.sliced(FPos, end - FPos);
        if (end < FText.size() && FText[end] == u'\r' && end + 1 < FText.size() && FText[end + 1] == u'\n')
            ++end;
        FPos = end + 1;
        return true;
    }

private:
    QStringView FText;
    qsizetype FPos = 0;
};

char16_t AsciiLower(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
}

// Keywords are matched without regard to ASCII case, and only ASCII case.
bool StartsWithKeyword(QStringView line, QStringView keyword)
{
    if (line.size() < keyword.size())
        return false;
    for (qsizetype i = 0; i < keyword.size(); ++i) {
        if (AsciiLower(line[i].unicode()) != keyword[i].unicode())
            return false;
    }
    return true;
}

// A whole decimal number of 32 bits, blanks allowed in front only; otherwise none.
std::optional<qint32> ReadNumber(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > kLargestCount + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > kLargestCount)
        return std::nullopt;
    return qint32(value);
}

// "xx" + race ID in 5 places + die ID in 5 places + ":" + count.
bool ReadItemLine(QStringView line, TTradeOfferItem &item)
{
    if (line.size() < 14 || !StartsWithKeyword(line, u"xx") || line[12] != u':')
        return false;
    item.A = ReadNumber(line.sliced(2, 5)).value_or(-1);
    item.B = ReadNumber(line.sliced(7, 5)).value_or(-1);
    item.Count = ReadNumber(line.sliced(13).trimmed()).value_or(0);
    return true;
}

// At most limit characters of the text, never half of a surrogate pair.
QStringView Cut(QStringView text, qsizetype limit)
{
    if (limit <= 0)
        return {};
    if (text.size() <= limit)
        return text;
    return text.first(text[limit - 1].isHighSurrogate() ? limit - 1 : limit);
}

void AppendBounded(QString &text, QStringView more, int limit)
{
    text += Cut(more, limit - text.size());
}

QString Bounded(QStringView text, int limit)
{
    return Cut(text, limit).toString();
}

} // namespace

TTradeOffer ParseTradeOffer(QStringView text)
{
    if (text.isEmpty())
        throw TKrException(u"No text found in clipboard."_s);
    TLineReader lines(text);
    QStringView line;
    lines.Next(line);
    if (!StartsWithKeyword(line, u"name:"))
        throw TKrException(u"Name string not first in clipboard."_s);
    TTradeOffer offer;
    offer.Name = Cut(line.sliced(5), TTradeOffer::kMaxName).trimmed().toString();

    // The block an "Address:" or "Notes:" line opened, which takes the following lines
    // up to one with a ":".
    QString *block = nullptr;
    while (lines.Next(line)) {
        const QStringView trimmed = line.trimmed();
        if (block && !trimmed.contains(u':')) {
            // A line break is never cut in half.
            if (block->size() + 2 <= TTradeOffer::kMaxBlock) {
                *block += u"\r\n";
                AppendBounded(*block, trimmed, TTradeOffer::kMaxBlock);
            }
            continue;
        }
        block = nullptr;
        TTradeOfferItem item;
        if (StartsWithKeyword(trimmed, u"email:")) {
            offer.EMail = Bounded(trimmed.sliced(6).trimmed(), TTradeOffer::kMaxLine).toLower();
        } else if (StartsWithKeyword(trimmed, u"card:")) {
            offer.Card = Bounded(trimmed.sliced(5).trimmed(), TTradeOffer::kMaxLine).toLower();
        } else if (StartsWithKeyword(trimmed, u"date:")) {
            AppendBounded(offer.Card, u" exp ", TTradeOffer::kMaxLine);
            AppendBounded(offer.Card, Bounded(trimmed.sliced(5).trimmed(), TTradeOffer::kMaxLine).toLower(),
                          TTradeOffer::kMaxLine);
        } else if (StartsWithKeyword(trimmed, u"address:")) {
            offer.Address = Bounded(trimmed.sliced(8).trimmed(), TTradeOffer::kMaxBlock);
            block = &offer.Address;
        } else if (StartsWithKeyword(trimmed, u"notes:")) {
            offer.Notes = Bounded(trimmed.sliced(6).trimmed(), TTradeOffer::kMaxBlock);
            block = &offer.Notes;
        } else if (ReadItemLine(trimmed, item)) {
            if (offer.Items.size() < size_t(TTradeOffer::kMaxItems))
                offer.Items.push_back(item);
            else
                ++offer.ItemsPassedOver;
        }
    }
    return offer;
}

TTrade &ImportTradeOffer(TInventory &inventory, const TTradeOffer &offer, qint64 &lost)
{
    TTrade &trade = inventory.CreateTrade(offer.Name);
    trade.SetStatus(TradeStatus::Proposed);
    trade.SetUseTradeOuts(true);
    trade.EMail = offer.EMail;
    trade.Card = offer.Card;
    trade.Address = offer.Address;
    trade.Notes = offer.Notes;
    lost = offer.ItemsPassedOver;
    // The trade is new: its lines are the offer's, found here rather than by a walk over
    // the lines for every item line.
    QHash<const TInventoryData *, TTradeItem *> lines;
    for (const TTradeOfferItem &entry : offer.Items) {
        TInventoryData *item = inventory.ResolveItem(entry.A, entry.B);
        if (!item) {
            ++lost;
            continue;
        }
        if (entry.Count == 0)
            continue;
        TTradeItem *&line = lines[item];
        if (!line)
            line = &trade.LineFor(*item);
        line->SetCount(qint32(std::clamp(qint64(line->Count()) - entry.Count, -kLargestCount, kLargestCount)));
    }
    inventory.InventoryModified = true;
    return trade;
}

QString LostInImportMessage(qint64 lost)
{
    return QString::number(lost) + u" dice lost during import."_s;
}
