#pragma once

#include "dice/DiceTypes.h"

#include <array>

class TInventoryData;
class TSettingsStore;

// The user's keep rules: how many copies of each kind of die and terrain to hold back
// before the rest counts as surplus. They are settings of the program ("IRCommon" and
// the other IR values) and are edited in the alert report window.
class TKeepRules
{
public:
    TKeepRules(); // the defaults

    // Reads every rule from the settings (defaults where missing), and writes them back.
    void Load(const TSettingsStore &settings);
    void Save(TSettingsStore &settings) const;

    // The keep value for a die of this health (1 to 10) and race type; 0 outside the
    // table.
    qint32 KeepValue(int health, RaceType type) const;
    void SetKeepValue(int health, RaceType type, qint32 value);

    // The rules as the alert report shows them (its spin boxes, then the search list),
    // in their order on the window: setting key, label, default and largest value (the
    // smallest is 0). "IRLockedAsLiked" is a menu check mark and not among them.
    struct TSetting
    {
        const char16_t *Key;
        const char16_t *Label;
        qint32 Default;
        qint32 Max;
    };
    static const std::array<TSetting, 19> &Settings();
    // One rule by its setting key. Setting a table rule fills every cell it stands for
    // ("IRMisprint" the four misprint healths, "IRPrecious" the ultra-rare value and
    // Dragonkin health 4); "IRDragon" fills health 5 only, as the health-10 dragons
    // keep the value read by Load. Reading a table rule answers its first cell.
    // Unknown keys read as 0 and are not set.
    qint32 Value(QStringView key) const;
    void SetValue(QStringView key, qint32 value);

    qint32 UltraRare = 1;    // "IRPrecious"
    qint32 MajorTerrain = 2; // "IRTerrain"
    qint32 MinorTerrain = 1; // "IRTerrainMinor"
    qint32 TradeMax = 10;    // "IRTradeMax"
    qint32 LookLimit = 0;    // "IRLookLimit"
    qint32 SearchType = 0;   // "IRSearchType"
    bool LockedAsLiked = false; // "IRLockedAsLiked"

private:
    // [health - 1][race type]
    std::array<std::array<qint32, 5>, 10> FTable{};
};

// Copies to keep of an item: its keep value plus its modifier (never below 0), and at
// least the copies in play.
qint32 Threshold(const TInventoryData &item, const TKeepRules &rules);
// Copies to spare (negative: copies missing), at most the trade maximum; a locked item
// spares none unless locked items count as liked.
qint32 Surplus(const TInventoryData &item, const TKeepRules &rules);
// Copies free for the waiting list, from 0 up to the copies waiting.
qint32 AvailableForWaiting(const TInventoryData &item, const TKeepRules &rules);
