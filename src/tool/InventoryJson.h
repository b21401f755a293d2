#pragma once

#include "JsonWriter.h"
#include "inventory/Inventory.h"
#include "inventory/TradeFile.h"

#include <QJsonObject>

class TCatalogue;

// The readable JSON form of the inventory file and of the price list. Items are written
// by reference ({"race": 3, "die": 0}, {"minor": 10}, {"major": 39}) with the name the
// catalogue gives them, when it has them; names are for the reader and building
// ignores them. Entries the catalogue does not know are kept: they are data of the file.
// Building the dump of a file the program wrote gives back the same bytes.

TJsonOut InventoryToJson(const TInventoryFile &file, const TCatalogue &names);
// Refuses unknown keys and values out of range; a TKrException names the place.
TInventoryFile InventoryFromJson(const QJsonObject &json);

TJsonOut PricesToJson(const TPriceListFile &file, const TCatalogue &names);
TPriceListFile PricesFromJson(const QJsonObject &json);

// The trade file: the writer's address lines, e-mail address and the lines with their
// references and counts (positive: coming in to the writer).
TJsonOut TradeFileToJson(const TTradeFile &file, const TCatalogue &names);
TTradeFile TradeFileFromJson(const QJsonObject &json);
