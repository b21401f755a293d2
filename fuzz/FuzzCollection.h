#pragma once

// The small catalogue the collection seeds name, with the inventory the window would
// keep over it.

#include "../bench/SyntheticCatalogue.h"
#include "dice/Catalogue.h"
#include "inventory/Inventory.h"
#include "shell/Clock.h"

#include <QDateTime>

struct TFuzzCollection
{
    TFuzzCollection() : Clock(QDateTime(QDate(2024, 3, 5), QTime(9, 30))), Inventory(Catalogue, Clock)
    {
        MakeSyntheticCatalogue(Catalogue, 3, 3);
        Catalogue.MakeTerrains();
    }

    TCatalogue Catalogue;
    TFixedClock Clock;
    TInventory Inventory;
};
