// The input is a trade offer pasted from an e-mail or a web form (as UTF-8 text). Any
// text is read or refused with one of the program's two messages; what is read keeps to
// its bounds, becomes a trade whose lines give back every copy they counted, and the
// collection with it saves and reads back to the same bytes.

#include "FuzzCollection.h"
#include "FuzzSupport.h"

#include "KrException.h"
#include "inventory/TradeOffer.h"

#include <QSet>

namespace {

constexpr const char *kTarget = "fuzz_trade_offer";

void CheckBounds(const TTradeOffer &offer)
{
    if (offer.Name.size() > TTradeOffer::kMaxName || offer.EMail.size() > TTradeOffer::kMaxLine ||
        offer.Card.size() > TTradeOffer::kMaxLine || offer.Address.size() > TTradeOffer::kMaxBlock ||
        offer.Notes.size() > TTradeOffer::kMaxBlock || offer.Items.size() > size_t(TTradeOffer::kMaxItems))
        FuzzFault(kTarget, "a field of the offer is past its bound");
    for (const QString *text : {&offer.Name, &offer.EMail, &offer.Card, &offer.Address, &offer.Notes}) {
        if (!text->isEmpty() && text->back().isHighSurrogate())
            FuzzFault(kTarget, "a text was cut in the middle of a character");
        if (text->endsWith(u'\r'))
            FuzzFault(kTarget, "a text was cut in the middle of a line break");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(FuzzBytes(data, size));
    TTradeOffer offer;
    try {
        offer = ParseTradeOffer(text);
    } catch (const TKrException &failure) {
        if (failure.Message() != u"No text found in clipboard." &&
            failure.Message() != u"Name string not first in clipboard.")
            FuzzFault(kTarget, "an offer is refused with another message");
        return 0;
    }
    CheckBounds(offer);

    TFuzzCollection c;
    qint64 lost = 0;
    const TTrade &trade = ImportTradeOffer(c.Inventory, offer, lost);
    if (lost < 0 || lost > qint64(offer.Items.size()) + offer.ItemsPassedOver)
        FuzzFault(kTarget, "more items lost than the offer has");
    QSet<const TInventoryData *> items;
    for (const auto &line : trade.Lines()) {
        if (items.contains(&line->Item()))
            FuzzFault(kTarget, "an item has two lines in an imported trade");
        items.insert(&line->Item());
    }
    if (!trade.UseTradeOuts() || trade.Status() != TradeStatus::Proposed)
        FuzzFault(kTarget, "an imported trade is not a proposal using its outgoing copies");

    CheckCollectionRoundTrip(kTarget, c);
    return 0;
}
