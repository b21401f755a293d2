#pragma once

#include <QtGlobal>

class TCatalogue;
class TIconTable;

// A made-up catalogue, the same on every run, big enough to time the readers, the writers
// and the statistics on, and small enough in its smallest shapes to seed the fuzzers.
// Races cover every race type, colour mix, home land and move effect, with armoured and
// intangible ones among them; dice have health 1 to 5 or 10, every profession and 4 to
// 12 faces mixing the basic symbols with the special ones below.

// Appends a dozen special symbols (rerolls, counters, drain, attune, belly, ...) after
// the basic ones.
void AddSyntheticSymbols(TIconTable &icons);

// Replaces the catalogue's symbols and races with a synthetic set of raceCount races of
// dicePerRace dice each.
void MakeSyntheticCatalogue(TCatalogue &catalogue, int raceCount, int dicePerRace,
                            quint64 seed = 0x7a11'0c0d'e5ee'd5ULL);

// The number of dice in the catalogue.
int CountDice(const TCatalogue &catalogue);
