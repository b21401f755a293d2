#pragma once

#include "JsonWriter.h"
#include "army/ArmyFile.h"

#include <QJsonObject>

class TCatalogue;

// The readable JSON form of the army file and of the army group file. Dice are written
// by reference ({"race": 3, "die": 0}) with the name the catalogue gives them when it has
// them; names are for the reader and building ignores them. Dice the catalogue does not
// know are kept: they are data of the file. The army type and the terrains go by name
// and may also be given by number. Building the dump of a file the program wrote gives
// back the same bytes.

TJsonOut ArmyToJson(const TArmyRecord &army, const TCatalogue &names);
// Refuses unknown keys and values out of range; a TKrException names the place. Keys
// left out take the values of a new army.
TArmyRecord ArmyFromJson(const QJsonObject &json);

// A group of records lists its armies under "armies"; a group of the earlier format its
// army file paths, as written, under "paths".
TJsonOut GroupToJson(const TGroupFileRecord &group, const TCatalogue &names);
TGroupFileRecord GroupFromJson(const QJsonObject &json);
