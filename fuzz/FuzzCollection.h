#pragma once

// The small catalogue the collection seeds name, with the inventory the window would
// keep over it.

#include "../bench/SyntheticCatalogue.h"
#include "dice/Catalogue.h"
#include "inventory/Inventory.h"
#include "FuzzSupport.h"
#include "KrException.h"
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

inline QByteArray SaveCollection(const TInventory &inventory)
{
    return WriteToBytes([&](TTaggedWriter &writer) { inventory.WriteStream(writer); });
}

// The collection as it stands saves, reads back into a fresh one and saves to the very
// same bytes; both give back every copy their trades counted when the trades go.
inline void CheckCollectionRoundTrip(const char *target, TFuzzCollection &c)
{
    const QByteArray saved = SaveCollection(c.Inventory);
    TFuzzCollection reread;
    try {
        ReadFromBytes(saved, [&](TTaggedReader &reader) { reread.Inventory.ReadStream(reader); });
    } catch (const TKrException &) {
        FuzzFault(target, "an inventory the program saved does not read back");
    }
    if (reread.Inventory.Trades().size() != c.Inventory.Trades().size())
        FuzzFault(target, "the saved inventory reads back with other trades");
    if (SaveCollection(reread.Inventory) != saved)
        FuzzFault(target, "saving the re-read inventory gives other bytes");
    for (TFuzzCollection *collection : {&c, &reread}) {
        collection->Inventory.FreeTrades();
        TDieTraversal walk(collection->Catalogue);
        for (const TDie *die = walk.First(); die; die = walk.Next()) {
            if (die->UsedCount != 0 || die->WaitingCount != 0 || die->InPlayCount != 0)
                FuzzFault(target, "freeing the trades leaves copies counted");
        }
    }
}
