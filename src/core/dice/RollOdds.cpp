#include "dice/RollOdds.h"

#include "dice/Catalogue.h"
#include "dice/DiceData.h"
#include "dice/DiceIcons.h"
#include "dice/DieStatistics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// Chances below the smallest normal double are not worth a row, nor the time: arithmetic
// on subnormal numbers is many times slower, and the tails of a large army are full of
// them.
bool Listed(double chance)
{
    return chance >= std::numeric_limits<double>::min();
}

// Chances over whole steps First, First + 1, ...
struct TSteps
{
    qint64 First = 0;
    std::vector<double> P;

    qint64 End() const { return First + qint64(P.size()); }
};

[[noreturn]] void TooWide()
{
    throw TDiceException(u"The totals of this roll spread too wide to work out its odds."_s);
}

void CheckSpan(double span)
{
    if (span > double(kMaxOddsSpan))
        TooWide();
}

// Refuses before the work starts what would take more than a moment or more memory
// than the listing is worth; the work is counted in multiply-adds.
void CheckSize(double span, double work)
{
    CheckSpan(span);
    if (work > kMaxOddsWork)
        TooWide();
}

qint64 NonZero(const std::vector<double> &chances)
{
    return std::count_if(chances.begin(), chances.end(), [](double p) { return p != 0.0; });
}

// The face values as steps, each with the chance of one face.
TSteps FaceSteps(const std::vector<qint64> &steps, double chance)
{
    TSteps table;
    if (steps.empty())
        return table;
    const auto [low, high] = std::minmax_element(steps.begin(), steps.end());
    CheckSpan(double(*high - *low + 1));
    table.First = *low;
    table.P.assign(size_t(*high - *low + 1), 0.0);
    for (qint64 s : steps)
        table.P[size_t(s - *low)] += chance;
    return table;
}

// The chances of the sum into `sum`, whose buffer is used again. Totals at either end
// whose chance is not listed are dropped: far out in the tails of a large army the
// chances fall below the smallest double, and nothing can come of them.
void ConvolveInto(qint64 firstA, const std::vector<double> &a, qint64 firstB, const std::vector<double> &b, TSteps &sum)
{
    if (a.empty() || b.empty()) {
        sum.P.clear();
        return;
    }
    CheckSpan(double(a.size()) + double(b.size()) - 1);
    // The shorter side is mostly the one die being added, often with gaps in its values.
    const std::vector<double> &outer = a.size() <= b.size() ? a : b;
    const std::vector<double> &inner = &outer == &a ? b : a;
    std::vector<std::pair<size_t, double>> terms;
    for (size_t i = 0; i < outer.size(); ++i) {
        if (outer[i] != 0.0)
            terms.emplace_back(i, outer[i]);
    }
    const size_t size = outer.size() + inner.size() - 1;
    // Every element is written below: the buffer's old contents need no clearing.
    sum.P.resize(size);
    // Block by block, so that the block being summed stays in the fastest cache while
    // every term passes over it: for armies of hundreds of dice this is several times
    // faster than adding each term across the whole of the sum.
    constexpr size_t kBlock = 512;
    std::array<double, kBlock> block;
    for (size_t start = 0; start < size; start += kBlock) {
        const size_t end = std::min(size, start + kBlock);
        std::fill(block.begin(), block.begin() + ptrdiff_t(end - start), 0.0);
        for (const auto &[i, p] : terms) {
            const size_t from = std::max(start, i);
            const size_t to = std::min(end, i + inner.size());
            if (from >= to)
                continue;
            // Plain pointers: the checked operator[] would keep the compiler from
            // vectorising the one loop that takes all the time.
            double *into = block.data() + (from - start);
            const double *source = inner.data() + (from - i);
            for (size_t k = 0; k < to - from; ++k)
                into[k] += p * source[k];
        }
        std::copy(block.begin(), block.begin() + ptrdiff_t(end - start), sum.P.begin() + ptrdiff_t(start));
    }
    sum.First = firstA + firstB;
    const auto low = std::find_if(sum.P.begin(), sum.P.end(), Listed);
    const auto high = std::find_if(sum.P.rbegin(), sum.P.rend(), Listed).base();
    if (low >= high) {
        sum.P.clear();
        return;
    }
    sum.P.erase(high, sum.P.end());
    sum.First += low - sum.P.begin();
    sum.P.erase(sum.P.begin(), low);
}

TSteps ConvolveSteps(qint64 firstA, const std::vector<double> &a, qint64 firstB, const std::vector<double> &b)
{
    TSteps sum;
    ConvolveInto(firstA, a, firstB, b, sum);
    return sum;
}

TSteps ConvolveSteps(const TSteps &a, const TSteps &b)
{
    return ConvolveSteps(a.First, a.P, b.First, b.P);
}

// Adds b's chances into a, widening a as needed.
void AddInto(TSteps &a, const TSteps &b)
{
    if (b.P.empty())
        return;
    if (a.P.empty()) {
        a = b;
        return;
    }
    const qint64 first = std::min(a.First, b.First);
    const qint64 end = std::max(a.End(), b.End());
    CheckSpan(double(end - first));
    if (first < a.First || end > a.End()) {
        std::vector<double> wider(size_t(end - first), 0.0);
        std::copy(a.P.begin(), a.P.end(), wider.begin() + (a.First - first));
        a.P = std::move(wider);
        a.First = first;
    }
    for (size_t j = 0; j < b.P.size(); ++j)
        a.P[size_t(b.First - a.First) + j] += b.P[j];
}

} // namespace

TRollOdds::TRollOdds(ResultType result) : TRollOdds(result, 0, {1.0}, 0.0)
{}

TRollOdds::TRollOdds(ResultType result, qint64 first, std::vector<double> chances, double remainder)
    : FResult(result), FStep(StepOf(result)), FFirst(first), FExact(std::move(chances)), FRemainder(remainder)
{
    Index();
}

void TRollOdds::Index()
{
    const auto low = std::find_if(FExact.begin(), FExact.end(), Listed);
    const auto high = std::find_if(FExact.rbegin(), FExact.rend(), Listed).base();
    if (low >= high) {
        FExact.clear();
    } else {
        FFirst += low - FExact.begin();
        FExact = std::vector<double>(low, high);
    }
    FMean = 0.0;
    for (size_t i = 0; i < FExact.size(); ++i) {
        if (!Listed(FExact[i]))
            continue;
        FRows.push_back(FFirst + qint64(i));
        FMean += double(FFirst + qint64(i)) * FStep * FExact[i];
    }
    // From the top down, so that the small chances of the high totals are not lost in
    // the large sums below them.
    FAtLeast.resize(FRows.size());
    double above = 0.0;
    for (size_t row = FRows.size(); row-- > 0;) {
        above += FExact[size_t(FRows[row] - FFirst)];
        FAtLeast[row] = above;
    }
}

TRollOdds RollOdds(const TDie &die, Land land, ResultType result, const TIconTable &icons, const TRulesOptions &rules)
{
    const int faces = die.FaceCount();
    // A die without faces cannot be rolled; it yields nothing.
    if (faces <= 0)
        return TRollOdds(result);

    const double step = TRollOdds::StepOf(result);
    const std::optional<EffectFlag> flag = RerollFlag(result);
    std::vector<qint64> plain;
    std::vector<qint64> rerolled;
    double sum = 0.0;
    for (int i = 0; i < faces; ++i) {
        const TIconDescriptor *symbol = icons.GetIcon(die.FaceSymbol(i));
        const double value = FaceValue(die.Race(), die.FaceSymbolCount(i), symbol, die.GetProfession(), die.Health(),
                                       land, result, rules);
        sum += value;
        // Every value is a whole number of steps: counts, health and symbol points are
        // whole, and "Points" weighs them by halves and quarters.
        const auto steps = qint64(std::llround(value / step));
        (flag && symbol && symbol->Has(*flag) ? rerolled : plain).push_back(steps);
    }

    const double chance = 1.0 / faces;
    // The cases in which the statistics add no reroll increment are a single roll there,
    // and so here.
    if (result == ResultType::Points || !(sum > 0) || rerolled.empty() || plain.empty()) {
        plain.insert(plain.end(), rerolled.begin(), rerolled.end());
        TSteps once = FaceSteps(plain, chance);
        return TRollOdds(result, once.First, std::move(once.P), 0.0);
    }

    // Each round either stops on a plain face or rolls again after a reroll face; the
    // chance of still rolling after n rounds is (k / f)^n.
    const TSteps stop = FaceSteps(plain, chance);
    const TSteps again = FaceSteps(rerolled, chance);
    const double rerollChance = double(rerolled.size()) / faces;
    int rounds = 0;
    for (double unplaced = 1.0; unplaced >= kOddsCutOff; unplaced *= rerollChance)
        ++rounds;
    // The rerolls of the last round still placed shift the totals furthest.
    const double last = rounds - 1;
    const double low = double(stop.First) + std::min(0.0, last * double(again.First));
    const double high = double(stop.End() - 1) + std::max(0.0, last * double(again.End() - 1));
    const double rollingSpan = last * double(again.P.size() - 1) + 1;
    const double span = high - low + 1;
    CheckSize(span, rounds * (span + double(NonZero(stop.P) + NonZero(again.P)) * rollingSpan));

    TSteps placed;
    TSteps rolling{0, {1.0}};
    double unplaced = 1.0;
    for (int round = 0; round < rounds; ++round) {
        AddInto(placed, ConvolveSteps(rolling, stop));
        rolling = ConvolveSteps(rolling, again);
        unplaced *= rerollChance;
    }
    return TRollOdds(result, placed.First, std::move(placed.P), unplaced);
}

TRollOdds RollOdds(const TDie &die, Land land, ResultType result)
{
    const TCatalogue &catalogue = die.Race().Catalogue();
    return RollOdds(die, land, result, catalogue.Icons(), catalogue.Rules);
}

TRollOdds Convolve(const std::vector<const TRollOdds *> &parts, ResultType result)
{
    if (parts.empty())
        return TRollOdds(result);
    double span = 1.0;
    double work = 0.0;
    for (const TRollOdds *part : parts) {
        work += double(NonZero(part->Chances())) * span;
        span += double(part->Chances().size()) - 1;
    }
    CheckSize(span, work);
    TSteps sum{parts.front()->First(), parts.front()->Chances()};
    TSteps next;
    double remainder = parts.front()->Remainder();
    for (size_t i = 1; i < parts.size(); ++i) {
        const TRollOdds &part = *parts[i];
        ConvolveInto(sum.First, sum.P, part.First(), part.Chances(), next);
        std::swap(sum, next);
        // 1 - (1 - a)(1 - b), without losing the small remainders to the 1.
        remainder = remainder + part.Remainder() - remainder * part.Remainder();
    }
    return TRollOdds(result, sum.First, std::move(sum.P), remainder);
}

TRollOdds Convolve(const TRollOdds &a, const TRollOdds &b)
{
    return Convolve({&a, &b}, a.Result());
}

QString OddsTotalText(double total)
{
    return QString::asprintf("%g", total);
}

QString OddsPercentText(double chance)
{
    return QString::asprintf("%.2f", chance * 100.0);
}

QString OddsSummaryText(const TRollOdds &odds)
{
    if (odds.Count() == 0)
        return u"No total has a chance."_s;
    QString text = odds.Count() == 1 ? u"Always %1."_s.arg(OddsTotalText(odds.Minimum()))
                                     : u"Totals %1 to %2, mean %3."_s.arg(OddsTotalText(odds.Minimum()),
                                                                          OddsTotalText(odds.Maximum()),
                                                                          QString::asprintf("%.2f", odds.Mean()));
    if (odds.Remainder() > 0)
        text += u"  Not placed: %1."_s.arg(QString::asprintf("%.3g", odds.Remainder()));
    return text;
}
