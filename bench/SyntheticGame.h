#pragma once

#include <memory>

class TCatalogue;
class TClock;
class TGame;

// A made-up game over the catalogue's dice, the same on every run: every place with a
// terrain die from the Frontier on, dice spread over every army and some dragons standing
// outside them, minor terrains in play and held, spells of every duration on dice, armies
// and places, a few game effects, control, an FTP name and a log of the given length.
// The catalogue must have its terrains made and at least one die.
std::unique_ptr<TGame> MakeSyntheticGame(TCatalogue &catalogue, const TClock &clock, int players, int dice,
                                         int spells, int logLines);
