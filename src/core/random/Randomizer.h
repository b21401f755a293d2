#pragma once

#include "KrException.h"

#include <QtGlobal>

#include <array>

class TClock;

// Raised for a roll the generator cannot make (a die with no sides).
class TRandomizerError : public TKrException
{
public:
    using TKrException::TKrException;
};

// The generator behind every roll of a game: a linear congruential generator modulo
// 216,000,000 whose outputs pass through a 512-entry shuffle table, addressed by a
// second, independent 16-bit sequence. Games rely on its exact sequence for a given
// seed, so nothing here may change.
class TRandomizer
{
public:
    static constexpr qint32 kModulus = 216000000;
    static constexpr int kTableSize = 512;

    // Seeded from the clock's local date and time.
    explicit TRandomizer(const TClock &clock);
    // Seeded from a moment given as days since 30 December 1899 (fraction = time of day).
    explicit TRandomizer(double moment);

    // One shuffled output in 0 to 215,999,999.
    qint32 Next();
    // Rolls one die of the given sides: (Next mod sides) + 1 + modifier, never below 0.
    // Sides below 1 are a TRandomizerError and leave the generator untouched.
    qint32 Roll(qint32 sides, qint32 modifier);
    // Rolls the stored number of dice with the stored sides and adds the modifier.
    qint32 Roll();

    qint32 Dice() const { return FDice; }
    qint32 Sides() const { return FSides; }
    qint32 Modifier() const { return FModifier; }
    void SetRoll(qint32 dice, qint32 sides, qint32 modifier);

    // The two steps, exposed so that their arithmetic can be checked on its own.
    qint32 LcgStep();
    qint32 IndexStep();
    qint32 State() const { return FState; }
    void SetState(qint32 state) { FState = state; }
    qint32 IndexState() const { return FIndexState; }
    void SetIndexState(qint32 state) { FIndexState = state; }

private:
    void Seed(double moment);
    static void CheckSides(qint32 sides);

    qint32 FMultiplier = 101;
    qint32 FIncrement = 109;
    qint32 FState = 0;
    qint32 FIndexState = 0;
    std::array<qint32, kTableSize> FTable{};
    qint32 FDice = 1;
    qint32 FSides = 6;
    qint32 FModifier = 0;
};
