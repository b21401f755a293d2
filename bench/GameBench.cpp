// Timings of the game file and the status text on a large game: ten players, 1,000 dice
// in play, 200 spells and a 20,000-line log.

#include "SyntheticCatalogue.h"
#include "SyntheticGame.h"

#include "dice/Catalogue.h"
#include "game/GameFile.h"
#include "game/GameGrids.h"
#include "game/GameLog.h"
#include "io/MemoryStream.h"
#include "io/TaggedStream.h"
#include "shell/Clock.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct TLargeGame
{
    TLargeGame()
    {
        MakeSyntheticCatalogue(Catalogue, 200, 50);
        Catalogue.MakeTerrains();
        Game = MakeSyntheticGame(Catalogue, Clock, 10, 1000, 200, 20000);
        Bytes = WriteToBytes([&](TTaggedWriter &writer) { WriteGameStream(writer, *Game); });
    }

    TCatalogue Catalogue;
    TFixedClock Clock{QDateTime(QDate(2026, 12, 7), QTime(12, 0))};
    std::unique_ptr<TGame> Game;
    QByteArray Bytes;
};

TLargeGame &Shared()
{
    static TLargeGame game;
    return game;
}

void BM_SaveGameToMemory(benchmark::State &state)
{
    TLargeGame &large = Shared();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteToBytes([&](TTaggedWriter &writer) { WriteGameStream(writer, *large.Game); }));
    state.SetBytesProcessed(state.iterations() * large.Bytes.size());
}
BENCHMARK(BM_SaveGameToMemory)->Unit(benchmark::kMillisecond);

void BM_LoadGameFromMemory(benchmark::State &state)
{
    TLargeGame &large = Shared();
    for (auto _ : state) {
        TGameOpened opened;
        ReadFromBytes(large.Bytes,
                      [&](TTaggedReader &reader) { ReadGameStream(reader, large.Catalogue, large.Clock, opened); });
        benchmark::DoNotOptimize(opened.Game.get());
    }
    state.SetBytesProcessed(state.iterations() * large.Bytes.size());
}
BENCHMARK(BM_LoadGameFromMemory)->Unit(benchmark::kMillisecond);

// Through the disk as the window's Save and Open do, the atomic save included.
void BM_SaveAndOpenGameFile(benchmark::State &state)
{
    TLargeGame &large = Shared();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.kgm"));
    for (auto _ : state) {
        SaveGameFile(*large.Game, path);
        benchmark::DoNotOptimize(OpenGameFile(path, large.Catalogue, large.Clock).Game.get());
    }
}
BENCHMARK(BM_SaveAndOpenGameFile)->Unit(benchmark::kMillisecond);

void BM_GameStatusText(benchmark::State &state)
{
    TLargeGame &large = Shared();
    for (auto _ : state)
        benchmark::DoNotOptimize(JoinLines(GameStatusLines(*large.Game)));
}
BENCHMARK(BM_GameStatusText)->Unit(benchmark::kMillisecond);

// The contents of both grids of the game window for the whole board: every place's column
// of the terrain grid, and the army grid of every place as picking it builds it.
void BM_BoardGridContents(benchmark::State &state)
{
    TLargeGame &large = Shared();
    for (auto _ : state) {
        for (TTerrainInPlay *place : large.Game->ListPlaces(false)) {
            benchmark::DoNotOptimize(TerrainGridColumn(*large.Game, *place));
            benchmark::DoNotOptimize(ArmyGridColumns(*large.Game, *place));
        }
    }
}
BENCHMARK(BM_BoardGridContents)->Unit(benchmark::kMillisecond);

} // namespace
