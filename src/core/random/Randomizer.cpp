#include "random/Randomizer.h"

#include "io/DateTimeValue.h"
#include "shell/Clock.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

using namespace Qt::StringLiterals;

TRandomizer::TRandomizer(const TClock &clock)
{
    Seed(DateTimeToDays(clock.Now()));
}

TRandomizer::TRandomizer(double moment)
{
    Seed(moment);
}

void TRandomizer::Seed(double moment)
{
    if (!std::isfinite(moment))
        moment = 0;
    const double whole = std::trunc(moment);
    // The fraction is the time of day, which runs forward also before the epoch.
    FState = qint32(std::trunc(std::fabs(moment - whole) * 40000.0));
    double days = std::fmod(whole, 40000.0); // exact, where whole / 40000 would round
    if (days < 0)
        days += 40000.0;
    FIndexState = (qint32(days) + FState % 601) * 4 + 2;
    for (qint32 &entry : FTable)
        entry = LcgStep();
    FDice = 1;
    FSides = 6;
    FModifier = 0;
}

qint32 TRandomizer::LcgStep()
{
    // Signed 32-bit arithmetic that keeps the low 32 bits, done unsigned to stay defined.
    qint32 state = qint32(quint32(FState) * quint32(FMultiplier) + quint32(FIncrement));
    while (state < 0)
        state += kModulus;
    FState = state % kModulus;
    return FState;
}

qint32 TRandomizer::IndexStep()
{
    FIndexState = qint32((quint32(FIndexState) + 1u) * quint32(FIndexState) & 0xFFFFu);
    return FIndexState >> 7;
}

qint32 TRandomizer::Next()
{
    const qint32 value = LcgStep();
    const qint32 index = IndexStep();
    const qint32 answer = FTable[size_t(index)];
    FTable[size_t(index)] = value;
    return answer;
}

void TRandomizer::CheckSides(qint32 sides)
{
    if (sides < 1)
        throw TRandomizerError(u"Cannot roll a die with %1 sides."_s.arg(sides));
}

void TRandomizer::SetRoll(qint32 dice, qint32 sides, qint32 modifier)
{
    CheckSides(sides);
    FDice = dice;
    FSides = sides;
    FModifier = modifier;
}

qint32 TRandomizer::Roll(qint32 sides, qint32 modifier)
{
    SetRoll(1, sides, modifier);
    return Roll();
}

qint32 TRandomizer::Roll()
{
    CheckSides(FSides);
    qint64 total = FModifier;
    for (qint32 i = 0; i < FDice; ++i)
        total += Next() % FSides + 1;
    return total < 0 ? 0 : qint32(std::min<qint64>(total, INT32_MAX));
}
