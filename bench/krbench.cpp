// Timings of the work a user waits for on the largest catalogues: reading and writing
// the race database, and the statistics the dice views show.

#include "SyntheticCatalogue.h"

#include "dice/Catalogue.h"
#include "dice/RaceFile.h"
#include "io/FileAccess.h"
#include "io/TaggedStream.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int kRaces = 200;
constexpr int kDicePerRace = 50;
constexpr int kDice = kRaces * kDicePerRace;

QByteArray WriteToMemory(const TCatalogue &catalogue)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    TTaggedWriter writer(buffer);
    WriteRaceStream(writer, catalogue);
    writer.Flush();
    return bytes;
}

void WriteToDisk(const TCatalogue &catalogue, const QString &path)
{
    SaveFileWith(path, [&](QIODevice &file) {
        TTaggedWriter writer(file);
        WriteRaceStream(writer, catalogue);
        writer.Flush();
    });
}

// Built once and shared: making 10,000 dice takes longer than some of the timings.
struct TLargeCatalogue
{
    TLargeCatalogue()
    {
        MakeSyntheticCatalogue(Catalogue, kRaces, kDicePerRace);
        Bytes = WriteToMemory(Catalogue);
    }

    TCatalogue Catalogue;
    QByteArray Bytes;
};

TLargeCatalogue &Large()
{
    static TLargeCatalogue large;
    return large;
}

void SetCounters(benchmark::State &state, qint64 bytesPerIteration)
{
    state.SetBytesProcessed(std::int64_t(state.iterations()) * bytesPerIteration);
    state.counters["dice"] = kDice;
    state.counters["file_kB"] = double(bytesPerIteration) / 1024.0;
}

// A reader that stopped early or a catalogue that lost dice would time nothing useful.
bool CheckRead(benchmark::State &state, const TCatalogue &catalogue)
{
    if (catalogue.RaceCount() == kRaces && CountDice(catalogue) == kDice)
        return true;
    state.SkipWithError("the catalogue read back does not hold every race and die");
    return false;
}

void BM_ReadRaceDatabase(benchmark::State &state)
{
    const QByteArray &bytes = Large().Bytes;
    for (auto _ : state) {
        auto catalogue = std::make_unique<TCatalogue>();
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        TTaggedReader reader(buffer);
        ReadRaceStream(reader, *catalogue);

        // Freeing 10,000 dice is not part of reading them.
        state.PauseTiming();
        const bool complete = CheckRead(state, *catalogue);
        catalogue.reset();
        state.ResumeTiming();
        if (!complete)
            break;
    }
    SetCounters(state, bytes.size());
}

void BM_WriteRaceDatabase(benchmark::State &state)
{
    const TCatalogue &catalogue = Large().Catalogue;
    QByteArray bytes;
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        TTaggedWriter writer(buffer);
        WriteRaceStream(writer, catalogue);
        writer.Flush();
        benchmark::DoNotOptimize(bytes.data());
    }
    if (bytes != Large().Bytes)
        state.SkipWithError("writing the same catalogue twice gave different bytes");
    SetCounters(state, bytes.size());
}

void BM_ReadRaceDatabaseFromDisk(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"KRRACES.DAT"_s);
    WriteToDisk(Large().Catalogue, path);
    for (auto _ : state) {
        auto catalogue = std::make_unique<TCatalogue>();
        ReadFileWith(path, [&](QIODevice &file) {
            TTaggedReader reader(file);
            ReadRaceStream(reader, *catalogue);
        });

        state.PauseTiming();
        const bool complete = CheckRead(state, *catalogue);
        catalogue.reset();
        state.ResumeTiming();
        if (!complete)
            break;
    }
    SetCounters(state, Large().Bytes.size());
}

void BM_WriteRaceDatabaseToDisk(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(u"KRRACES.DAT"_s);
    const TCatalogue &catalogue = Large().Catalogue;
    for (auto _ : state)
        WriteToDisk(catalogue, path);
    SetCounters(state, Large().Bytes.size());
}

void BM_StatisticsOfAllDice(benchmark::State &state)
{
    TCatalogue &catalogue = Large().Catalogue;
    for (auto _ : state) {
        catalogue.RegenerateRaces();
        benchmark::ClobberMemory();
    }
    state.counters["dice"] = kDice;
    state.counters["dice_per_s"] = benchmark::Counter(double(kDice), benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(BM_ReadRaceDatabase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteRaceDatabase)->Unit(benchmark::kMillisecond);
// Real time: what the user waits for includes the file system, not only our CPU.
BENCHMARK(BM_ReadRaceDatabaseFromDisk)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteRaceDatabaseToDisk)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StatisticsOfAllDice)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
