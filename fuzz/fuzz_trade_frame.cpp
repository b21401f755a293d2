// The input is a frame file for the trading list export; its first byte also picks the
// HTML style and names one die, so that any name meets the page writers. Whatever the
// frame holds, the page is the generated part with the frame's lines around it, every
// line ends with CR LF, and the name stands on the page as escaped text.

#include "FuzzCollection.h"
#include "FuzzSupport.h"

#include "reports/AlertList.h"
#include "reports/TradeListExport.h"

namespace {

constexpr const char *kTarget = "fuzz_trade_frame";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray frame = FuzzBytes(data, size);
    TFuzzCollection c;
    TDie &named = *c.Catalogue.Races().front()->Die(1);
    // Names are edited on one line; a line break in one is not this target's concern.
    named.Name = QString::fromUtf8(frame.left(24)).remove(u'\r').remove(u'\n');
    c.Inventory.Rules.SearchType = qint32(TAlertSearch::All);
    TAlertList list;
    list.Run(c.Catalogue, c.Inventory.Rules);

    TTradeListOptions options;
    options.Style = TExportStyle(int(TExportStyle::RaceGrids) + (size > 0 ? data[0] % 3 : 0));
    options.ShowWidgets = true;
    options.TradeForm = true;
    options.JavaScript = true;
    const QDate day(2024, 3, 7);
    const QByteArray bare = TradeListText(list.Items(), c.Catalogue, options, day);
    const QByteArray page = TradeListText(list.Items(), c.Catalogue, options, day, frame);
    if (!page.contains(bare))
        FuzzFault(kTarget, "the framed page lost part of the generated one");
    if (page.count('\n') != page.count("\r\n") || (!page.isEmpty() && !page.endsWith("\r\n")))
        FuzzFault(kTarget, "a line of the page does not end with CR LF");
    // Each line feed gains a carriage return; a last line without a break gains both.
    if (page.size() > frame.size() + frame.count('\n') + 2 + bare.size())
        FuzzFault(kTarget, "the page holds more than the frame and the generated part");
    if (!QString::fromUtf8(bare).contains(named.Name.toHtmlEscaped()))
        FuzzFault(kTarget, "the die's name is not on the page as escaped text");
    return 0;
}
