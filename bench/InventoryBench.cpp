// Timings of the inventory on the largest catalogues: building and redisplaying the
// tree, and loading and saving a full collection.

#include "SyntheticCatalogue.h"

#include "dice/Catalogue.h"
#include "inventory/Inventory.h"
#include "inventory/InventoryTree.h"
#include "io/MemoryStream.h"
#include "io/TaggedStream.h"
#include "shell/Clock.h"

#include <benchmark/benchmark.h>

namespace {

// 10,000 dice, every one owned a few times with a drawer, and the 72 terrains.
struct TCollection
{
    TCollection() : Inventory(Catalogue, Clock)
    {
        MakeSyntheticCatalogue(Catalogue, 200, 50);
        Catalogue.MakeTerrains();
        quint32 next = 1;
        TDieTraversal walk(Catalogue);
        for (TDie *die = walk.First(); die; die = walk.Next()) {
            next = next * 1103515245u + 12345u;
            die->Count = (next >> 16) % 6;
            die->Drawer = QStringLiteral("Drawer %1").arg((next >> 8) % 40);
        }
        for (const auto &trade : {QStringLiteral("Ash"), QStringLiteral("Birch")})
            Inventory.CreateTrade(trade);
        Bytes = WriteToBytes([&](TTaggedWriter &writer) { Inventory.WriteStream(writer); });
    }

    TCatalogue Catalogue;
    TSystemClock Clock;
    TInventory Inventory;
    QByteArray Bytes;
};

TCollection &Collection()
{
    static TCollection collection;
    return collection;
}

void BM_BuildInventoryTree(benchmark::State &state)
{
    TCollection &collection = Collection();
    TInventoryTree tree(collection.Catalogue, collection.Inventory.Rules);
    for (auto _ : state) {
        tree.Build({});
        tree.Redisplay({});
    }
    state.counters["dice"] = double(CountDice(collection.Catalogue));
}

void BM_RedisplayInventoryTree(benchmark::State &state)
{
    TCollection &collection = Collection();
    TInventoryTree tree(collection.Catalogue, collection.Inventory.Rules);
    tree.Build({});
    const TTreeOptions options{false, true, true};
    for (auto _ : state)
        tree.Redisplay(options);
}

void BM_LoadInventory(benchmark::State &state)
{
    TCollection &collection = Collection();
    for (auto _ : state) {
        collection.Inventory.FreeTrades();
        collection.Inventory.ZeroCounts();
        ReadFromBytes(collection.Bytes, [&](TTaggedReader &reader) { collection.Inventory.ReadStream(reader); });
    }
    state.SetBytesProcessed(qint64(state.iterations()) * collection.Bytes.size());
}

void BM_SaveInventory(benchmark::State &state)
{
    TCollection &collection = Collection();
    for (auto _ : state) {
        const QByteArray bytes =
            WriteToBytes([&](TTaggedWriter &writer) { collection.Inventory.WriteStream(writer); });
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["file_kB"] = double(collection.Bytes.size()) / 1024;
}

} // namespace

BENCHMARK(BM_BuildInventoryTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedisplayInventoryTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadInventory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveInventory)->Unit(benchmark::kMillisecond);
