#pragma once

#include "JsonWriter.h"

#include <QJsonObject>

class TCatalogue;
class TIconTable;

// The readable JSON form of the race database and of the icon file. Dumping and
// building are inverse: building the dump of a file the program wrote gives back the
// same bytes. Vocabulary values are written by name and read by name or number; a
// face is "count name" while the name finds the same symbol again, else an object
// with the symbol's number.

TJsonOut RacesToJson(const TCatalogue &catalogue);
// Fills an empty catalogue, whose icon table resolves symbol names. Races keep the
// order of the JSON. A TKrException names the place of the first problem.
void RacesFromJson(const QJsonObject &json, TCatalogue &catalogue);

TJsonOut IconsToJson(const TIconTable &table);
// Appends the special symbols to a table holding the basic six.
void IconsFromJson(const QJsonObject &json, TIconTable &table);
