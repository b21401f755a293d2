#include "TestSupport.h"
#include "random/Randomizer.h"
#include "shell/Clock.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

std::vector<qint32> NextValues(TRandomizer &generator, int count)
{
    std::vector<qint32> values;
    for (int i = 0; i < count; ++i)
        values.push_back(generator.Next());
    return values;
}

std::vector<qint32> Rolls(TRandomizer &generator, qint32 sides, qint32 modifier, int count)
{
    std::vector<qint32> values;
    for (int i = 0; i < count; ++i)
        values.push_back(generator.Roll(sides, modifier));
    return values;
}

} // namespace

// The expected sequences below were worked out independently of this code, by hand
// arithmetic in a throwaway script. Saved games are replayed from these sequences, so
// any change to them is a fault, however harmless it looks.

TEST(Randomizer, SequencesForFixedMoments)
{
    // Noon, 15 March 2023.
    TRandomizer noon(45000.5);
    EXPECT_EQ(noon.IndexState(), 20670); // (5000 + 20000 mod 601) * 4 + 2
    EXPECT_EQ(noon.State(), 654368);     // after filling the 512-entry table
    EXPECT_EQ(NextValues(noon, 12),
              (std::vector<qint32>{148504948, 38621222, 141296724, 154631504, 204175468, 178236158,
                                   130885128, 68965890, 193060135, 3058366, 193424112, 179498004}));

    // Midnight at the epoch: state 0, so the first table entry is the increment, and
    // index state 2 picks entry 0 first.
    TRandomizer epoch(0.0);
    EXPECT_EQ(epoch.IndexState(), 2);
    EXPECT_EQ(NextValues(epoch, 12),
              (std::vector<qint32>{109, 154963053, 100781831, 199862600, 140175717, 80037348, 46227569,
                                   172060028, 119681125, 138936316, 72898555, 140310995}));

    TRandomizer odd(12345.678901);
    EXPECT_EQ(odd.IndexState(), 49826);
    EXPECT_EQ(odd.State(), 236564);
    EXPECT_EQ(NextValues(odd, 12),
              (std::vector<qint32>{169488567, 144085358, 81171933, 122100893, 200171343, 186964650,
                                   116655399, 9440521, 94195663, 62849577, 71261489, 197516161}));
}

TEST(Randomizer, ClockSeedMatchesTheDayCount)
{
    const TFixedClock clock(QDateTime(QDate(2023, 3, 15), QTime(12, 0)));
    TRandomizer fromClock(clock);
    TRandomizer fromDays(45000.5);
    EXPECT_EQ(NextValues(fromClock, 40), NextValues(fromDays, 40));

    // Two games started within the same clock tick roll alike.
    TRandomizer first(clock);
    TRandomizer second(clock);
    EXPECT_EQ(NextValues(first, 600), NextValues(second, 600));

    // The seed counts the time of day in steps of 2.16 seconds: one second later is
    // still the same tick, three seconds later is not.
    TRandomizer sameTick(TFixedClock(QDateTime(QDate(2023, 3, 15), QTime(12, 0, 1))));
    TRandomizer nextTick(TFixedClock(QDateTime(QDate(2023, 3, 15), QTime(12, 0, 3))));
    TRandomizer reference(clock);
    const std::vector<qint32> expected = NextValues(reference, 12);
    EXPECT_EQ(NextValues(sameTick, 12), expected);
    EXPECT_NE(NextValues(nextTick, 12), expected);
}

TEST(Randomizer, SeedBeforeTheEpochUsesTheTimeOfDay)
{
    // -3.25 is 27 December 1899 at 06:00: whole days -3 (39,997 modulo 40,000) and a
    // time of day of a quarter, so the clock part of the seed is 10,000 like any other
    // 06:00, never a negative number.
    TRandomizer early(-3.25);
    EXPECT_EQ(early.IndexState(), 161526); // (39997 + 10000 mod 601) * 4 + 2
    EXPECT_EQ(early.State(), 121991952);
    EXPECT_EQ(NextValues(early, 12),
              (std::vector<qint32>{201204047, 209785890, 59166927, 164946871, 84285373, 159825281,
                                   26254082, 178507631, 164810622, 51889531, 159144086, 75450792}));

    TRandomizer fromClock(TFixedClock(QDateTime(QDate(1899, 12, 27), QTime(6, 0))));
    TRandomizer fromDays(-3.25);
    EXPECT_EQ(NextValues(fromClock, 12), NextValues(fromDays, 12));
}

TEST(Randomizer, LcgStepWrapsAndStaysInRange)
{
    TRandomizer generator(0.0);
    generator.SetState(0);
    EXPECT_EQ(generator.LcgStep(), 109);
    EXPECT_EQ(generator.State(), 109);

    // 215,999,999 * 101 + 109 overflows 32 bits to a positive 341,163,528.
    generator.SetState(215999999);
    EXPECT_EQ(generator.LcgStep(), 125163528);

    // 30,000,000 * 101 + 109 wraps to a negative number that is brought back up by
    // adding the modulus; treating the product as unsigned would give 6,000,109.
    generator.SetState(30000000);
    EXPECT_EQ(generator.LcgStep(), 31032813);

    generator.SetState(21262375);
    EXPECT_EQ(generator.LcgStep(), 12532688);

    generator.SetState(123456789);
    for (int i = 0; i < 5000; ++i) {
        const qint32 state = generator.LcgStep();
        ASSERT_GE(state, 0);
        ASSERT_LT(state, TRandomizer::kModulus);
    }
}

TEST(Randomizer, IndexStepKeepsSixteenBits)
{
    TRandomizer generator(0.0);
    generator.SetIndexState(2);
    EXPECT_EQ(generator.IndexStep(), 0);
    EXPECT_EQ(generator.IndexState(), 6);

    generator.SetIndexState(300);
    EXPECT_EQ(generator.IndexStep(), 193);
    EXPECT_EQ(generator.IndexState(), 24764);

    generator.SetIndexState(255);
    EXPECT_EQ(generator.IndexStep(), 510);
    EXPECT_EQ(generator.IndexState(), 65280);

    generator.SetIndexState(0xFFFF);
    EXPECT_EQ(generator.IndexStep(), 0);
    EXPECT_EQ(generator.IndexState(), 0);

    // The largest seed: the product overflows 32 bits, the low 16 bits still count.
    generator.SetIndexState(162398);
    EXPECT_EQ(generator.IndexStep(), 105);
    EXPECT_EQ(generator.IndexState(), 13538);
}

TEST(Randomizer, RollSequences)
{
    TRandomizer faces(45000.5);
    EXPECT_EQ(Rolls(faces, 6, -1, 20),
              (std::vector<qint32>{4, 2, 0, 2, 4, 2, 0, 0, 1, 4, 0, 0, 5, 0, 3, 4, 3, 5, 5, 5}));
    EXPECT_EQ(faces.Dice(), 1);
    EXPECT_EQ(faces.Sides(), 6);
    EXPECT_EQ(faces.Modifier(), -1);

    TRandomizer terrain(45000.5);
    EXPECT_EQ(Rolls(terrain, 8, 0, 20),
              (std::vector<qint32>{5, 7, 5, 1, 5, 7, 1, 3, 8, 7, 1, 5, 8, 7, 4, 7, 4, 4, 4, 6}));

    TRandomizer stored(45000.5);
    EXPECT_EQ(stored.Dice(), 1);
    EXPECT_EQ(stored.Sides(), 6);
    EXPECT_EQ(stored.Modifier(), 0);
    stored.SetRoll(3, 6, 2);
    std::vector<qint32> sums;
    for (int i = 0; i < 10; ++i)
        sums.push_back(stored.Roll());
    EXPECT_EQ(sums, (std::vector<qint32>{11, 13, 6, 9, 13, 17, 15, 13, 11, 16}));

    // A one-die roll resets the stored dice to one.
    stored.Roll(8, 0);
    EXPECT_EQ(stored.Dice(), 1);
    EXPECT_EQ(stored.Sides(), 8);
    EXPECT_EQ(stored.Modifier(), 0);
}

TEST(Randomizer, RollsClampAtZeroAndStayInRange)
{
    // Every roll uses exactly one output, even when the result is clamped.
    TRandomizer single(45000.5);
    EXPECT_EQ(Rolls(single, 1, -5, 3), (std::vector<qint32>{0, 0, 0}));
    EXPECT_EQ(single.Next(), 154631504); // the fourth output of this seed

    TRandomizer negative(45000.5);
    negative.SetRoll(2, 6, -20);
    EXPECT_EQ(negative.Roll(), 0);

    TRandomizer generator(12345.678901);
    std::set<qint32> faces;
    std::set<qint32> terrains;
    for (int i = 0; i < 6000; ++i) {
        const qint32 face = generator.Roll(6, -1);
        ASSERT_GE(face, 0);
        ASSERT_LE(face, 5);
        faces.insert(face);
        const qint32 terrain = generator.Roll(8, 0);
        ASSERT_GE(terrain, 1);
        ASSERT_LE(terrain, 8);
        terrains.insert(terrain);
    }
    EXPECT_EQ(faces.size(), 6u);
    EXPECT_EQ(terrains.size(), 8u);
}

TEST(Randomizer, RollWithoutSidesIsRefused)
{
    TRandomizer refused(45000.5);
    TRandomizer twin(45000.5);
    refused.SetRoll(3, 6, 2);
    twin.SetRoll(3, 6, 2);

    EXPECT_EQ(FailureOf([&] { refused.Roll(0, 0); }), u"Cannot roll a die with 0 sides."_s);
    EXPECT_EQ(FailureOf([&] { refused.Roll(-4, 1); }), u"Cannot roll a die with -4 sides."_s);
    EXPECT_EQ(FailureOf([&] { refused.SetRoll(2, 0, 0); }), u"Cannot roll a die with 0 sides."_s);
    EXPECT_THROW(refused.Roll(0, 0), TRandomizerError);

    // Nothing was drawn and the stored roll is as it was.
    EXPECT_EQ(refused.Dice(), 3);
    EXPECT_EQ(refused.Sides(), 6);
    EXPECT_EQ(refused.Modifier(), 2);
    EXPECT_EQ(refused.State(), twin.State());
    EXPECT_EQ(refused.IndexState(), twin.IndexState());
    EXPECT_EQ(refused.Roll(), twin.Roll());
    EXPECT_EQ(NextValues(refused, 600), NextValues(twin, 600));
}
