// Timings of the army analysis (a battle-sized army and a very large one, in one pass
// and pair by pair), of the exact odds of an army's roll, and of the die finder's search
// over the whole synthetic catalogue.

#include "SyntheticCatalogue.h"

#include "army/ArmyAnalysis.h"
#include "army/ArmyOdds.h"
#include "dice/Catalogue.h"
#include "reports/DieSearch.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// 10,000 dice with their statistics computed, as they are once the windows have shown
// them; computing them is timed elsewhere.
struct TSearchCatalogue
{
    TSearchCatalogue()
    {
        MakeSyntheticCatalogue(Catalogue, 200, 50);
        TDieTraversal walk(Catalogue);
        for (TDie *die = walk.First(); die; die = walk.Next()) {
            die->Statistics();
            Dice.push_back(die);
        }
    }

    // An army of `size` entries drawn from the whole catalogue, some dice several times.
    std::vector<const TDie *> Army(int size) const
    {
        std::vector<const TDie *> army;
        quint32 next = 12345;
        for (int i = 0; i < size; ++i) {
            next = next * 1103515245u + 12345u;
            army.push_back(Dice[(next >> 8) % Dice.size()]);
        }
        return army;
    }

    TCatalogue Catalogue;
    std::vector<TDie *> Dice;
};

TSearchCatalogue &Shared()
{
    static TSearchCatalogue catalogue;
    return catalogue;
}

// The army window builds and shows every status line; so does the benchmark, short of
// painting it.
void CountStatus(qint64 &length, const QString &text)
{
    length += text.size();
}

void BM_AnalyzeArmy(benchmark::State &state)
{
    const std::vector<const TDie *> army = Shared().Army(int(state.range(0)));
    qint64 length = 0;
    for (auto _ : state) {
        TArmyAnalysis analysis = AnalyzeArmy(army, [&length](const QString &text) { CountStatus(length, text); });
        benchmark::DoNotOptimize(analysis.Spread.data());
    }
    state.counters["dice"] = double(army.size());
}

void BM_AnalyzeArmyPairwise(benchmark::State &state)
{
    const std::vector<const TDie *> army = Shared().Army(int(state.range(0)));
    for (auto _ : state) {
        TArmyAnalysis analysis = AnalyzeArmyPairwise(army);
        benchmark::DoNotOptimize(analysis.Spread.data());
    }
    state.counters["dice"] = double(army.size());
}

// What an odds view works out for every choice of land and result: all 120
// distributions of the army's roll.
void BM_ArmyOddsEveryChoice(benchmark::State &state)
{
    const std::vector<const TDie *> army = Shared().Army(int(state.range(0)));
    qint64 totals = 0;
    for (auto _ : state) {
        for (int l = 0; l < kLandCount; ++l) {
            for (int r = 0; r < kResultTypeCount; ++r)
                totals += ArmyOdds(army, Land(l), ResultType(r)).Count();
        }
    }
    benchmark::DoNotOptimize(totals);
    state.counters["dice"] = double(army.size());
}

// One distribution, as the view shows it; range 1 is the result type ("Points" counts
// in quarters, so its totals are the most).
void BM_ArmyOdds(benchmark::State &state)
{
    const std::vector<const TDie *> army = Shared().Army(int(state.range(0)));
    const auto result = ResultType(state.range(1));
    int totals = 0;
    for (auto _ : state) {
        const TRollOdds odds = ArmyOdds(army, Land::Highland, result);
        totals = odds.Count();
        benchmark::DoNotOptimize(odds.Chances().data());
    }
    state.counters["dice"] = double(army.size());
    state.counters["totals"] = totals;
}

// Every race type and health the finder offers, so that most of the catalogue is
// scored; range 0 holds the number to find, range 1 whether the weights are all 0 (every
// candidate then ties and stays in the list).
void BM_SearchDice(benchmark::State &state)
{
    TDieSearchCriteria criteria;
    criteria.RaceTypes = TRaceTypeSet::FromBits(TRaceTypeSet::AllBits);
    criteria.MaxHealth = TDieSearchCriteria::kHighestMaxHealth;
    criteria.NumberToFind = int(state.range(0));
    criteria.Terrain = Land::Highland;
    if (state.range(1) != 0)
        criteria.Weights.fill(0.0);
    qint64 length = 0;
    int found = 0;
    for (auto _ : state) {
        const TDieRanking ranking =
            SearchDice(Shared().Catalogue, criteria, [&length](const QString &text) { CountStatus(length, text); });
        found = ranking.Count();
    }
    state.counters["found"] = found;
    state.counters["dice"] = double(Shared().Dice.size());
}

} // namespace

BENCHMARK(BM_AnalyzeArmy)->Arg(36)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AnalyzeArmyPairwise)->Arg(36)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ArmyOddsEveryChoice)->Arg(36)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArmyOdds)
    ->Args({36, int(ResultType::Melee)})
    ->Args({1000, int(ResultType::Melee)})
    ->Args({1000, int(ResultType::SaveMelee)})
    ->Args({1000, int(ResultType::Points)})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchDice)->Args({20, 0})->Args({100, 0})->Args({20, 1})->Unit(benchmark::kMillisecond);
