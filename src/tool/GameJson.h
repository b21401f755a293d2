#pragma once

#include "JsonWriter.h"
#include "game/GameFile.h"

#include <QJsonObject>

class TCatalogue;

// The readable JSON form of the game file. Dice are written by reference ({"race": 3,
// "die": 0}) with the name the catalogue gives them when it has them; names are for the
// reader and building ignores them. Dice the catalogue does not know are kept: they are
// data of the file. Terrains and spell durations go by name and may also be given by
// number. The place and player that a die or army stands under are not repeated.
// Building the dump of a file the program wrote gives back the same bytes.

TJsonOut GameToJson(const TGameRecord &game, const TCatalogue &names);
// Refuses unknown keys, values out of range and a game that would not read back; a
// TKrException names the place.
TGameRecord GameFromJson(const QJsonObject &json);
