// Timings of the alert list and the trading list export on the largest catalogue: the
// "All" search over 10,000 dice and 72 terrains, and every export style over its result.

#include "SyntheticCatalogue.h"

#include "dice/Catalogue.h"
#include "inventory/KeepRules.h"
#include "reports/AlertList.h"
#include "reports/TradeListExport.h"

#include <benchmark/benchmark.h>

namespace {

// Every die owned a few times, some marked for trading or locked, so that every kind of
// entry (have, want, neither, locked, italic) is written.
struct TAlertCollection
{
    TAlertCollection()
    {
        MakeSyntheticCatalogue(Catalogue, 200, 50);
        Catalogue.MakeTerrains();
        quint32 next = 7;
        TDieTraversal walk(Catalogue);
        for (TDie *die = walk.First(); die; die = walk.Next()) {
            next = next * 1103515245u + 12345u;
            die->Count = (next >> 16) % 12;
            die->Trading = (next >> 8) % 7 == 0;
            die->Locked = (next >> 4) % 11 == 0;
        }
        Rules.SearchType = qint32(TAlertSearch::All);
        List.Run(Catalogue, Rules);
    }

    TCatalogue Catalogue;
    TKeepRules Rules;
    TAlertList List;
};

TAlertCollection &Collection()
{
    static TAlertCollection collection;
    return collection;
}

void BM_AlertSearchAll(benchmark::State &state)
{
    TAlertCollection &collection = Collection();
    TAlertList list;
    for (auto _ : state) {
        list.Run(collection.Catalogue, collection.Rules);
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["items"] = double(list.Count());
}

void BM_ExportStyle(benchmark::State &state)
{
    TAlertCollection &collection = Collection();
    TTradeListOptions options;
    options.Style = TExportStyle(state.range(0));
    // The heaviest page: face images, an order form and script handlers on every entry.
    options.ShowWidgets = true;
    options.TradeForm = true;
    options.JavaScript = true;
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray text =
            TradeListText(collection.List.Items(), collection.Catalogue, options, QDate(2024, 3, 7));
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetLabel(NameOf(options.Style).toStdString());
    state.counters["bytes"] = double(bytes);
}

} // namespace

BENCHMARK(BM_AlertSearchAll)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportStyle)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
