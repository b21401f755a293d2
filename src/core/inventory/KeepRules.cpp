#include "inventory/KeepRules.h"

#include "dice/Terrain.h"
#include "shell/SettingsStore.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr int kHealthRows = 10;

// The keep table cells each setting fills. A setting may fill several cells (the
// misprints of every health), and the ultra-rare value also fills a Dragonkin cell.
struct TCell
{
    int Health;
    RaceType Type;
};

struct TTableSetting
{
    const char16_t *Key;
    qint32 Default;
    std::initializer_list<TCell> Cells;
};

const std::array<TTableSetting, 14> &TableSettings()
{
    static const std::array<TTableSetting, 14> settings{{
        {u"IRCommon", 8, {{1, RaceType::NormalUnits}}},
        {u"IRUncommon", 4, {{2, RaceType::NormalUnits}}},
        {u"IRRare", 2, {{3, RaceType::NormalUnits}}},
        {u"IRSpecial", 1, {{4, RaceType::NormalUnits}}},
        {u"IRItem1", 2, {{1, RaceType::MagicItems}}},
        {u"IRItem2", 1, {{2, RaceType::MagicItems}}},
        {u"IRItem3", 1, {{3, RaceType::MagicItems}}},
        {u"IRItem4", 1, {{4, RaceType::MagicItems}}},
        {u"IRKin1", 5, {{1, RaceType::Dragonkin}}},
        {u"IRKin2", 4, {{2, RaceType::Dragonkin}}},
        {u"IRKin3", 3, {{3, RaceType::Dragonkin}}},
        {u"IRPrecious", 1, {{4, RaceType::Dragonkin}}},
        // The health-10 dragons take this value only when the rules are loaded; the
        // spin box changes the health-5 cell alone.
        {u"IRDragon", 2, {{5, RaceType::Dragonkin}}},
        {u"IRMisprint",
         1,
         {{1, RaceType::Misprints}, {2, RaceType::Misprints}, {3, RaceType::Misprints}, {4, RaceType::Misprints}}},
    }};
    return settings;
}

constexpr TCell kWhiteDragon{10, RaceType::Dragonkin};

const TTableSetting *FindTableSetting(QStringView key)
{
    for (const TTableSetting &setting : TableSettings()) {
        if (key == QStringView(setting.Key))
            return &setting;
    }
    return nullptr;
}

qint32 Clamp32(qint64 value)
{
    return qint32(std::clamp<qint64>(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()));
}

} // namespace

const std::array<TKeepRules::TSetting, 19> &TKeepRules::Settings()
{
    static const std::array<TSetting, 19> settings{{
        {u"IRCommon", u"Common", 8, 100},
        {u"IRUncommon", u"Uncommon", 4, 100},
        {u"IRRare", u"Rare", 2, 100},
        {u"IRSpecial", u"Monster", 1, 100},
        {u"IRItem1", u"Common Item", 2, 100},
        {u"IRItem2", u"Uncom. Item", 1, 100},
        {u"IRItem3", u"Rare Item", 1, 100},
        {u"IRItem4", u"Artifact", 1, 100},
        {u"IRKin1", u"Common Kin", 5, 100},
        {u"IRKin2", u"Uncom. Kin", 4, 100},
        {u"IRKin3", u"Rare Kin", 3, 100},
        {u"IRPrecious", u"Ultra-Rare", 1, 100},
        {u"IRDragon", u"Dragon", 2, 100},
        {u"IRMisprint", u"Misprints", 1, 100},
        {u"IRTerrain", u"Terrain", 2, 100},
        {u"IRTerrainMinor", u"Minor Terrain", 1, 100},
        {u"IRTradeMax", u"Trade Max", 10, 1000},
        {u"IRLookLimit", u"Look Limit", 0, 100},
        {u"IRSearchType", u"Search For", 0, 10},
    }};
    return settings;
}

TKeepRules::TKeepRules()
{
    for (const TSetting &setting : Settings())
        SetValue(setting.Key, setting.Default);
    SetKeepValue(kWhiteDragon.Health, kWhiteDragon.Type, Value(u"IRDragon"));
}

qint32 TKeepRules::KeepValue(int health, RaceType type) const
{
    if (health < 1 || health > kHealthRows || !IsInVocabulary<RaceType>(qint64(type)))
        return 0;
    return FTable[size_t(health - 1)][size_t(type)];
}

void TKeepRules::SetKeepValue(int health, RaceType type, qint32 value)
{
    if (health < 1 || health > kHealthRows || !IsInVocabulary<RaceType>(qint64(type)))
        return;
    FTable[size_t(health - 1)][size_t(type)] = value;
}

qint32 TKeepRules::Value(QStringView key) const
{
    if (const TTableSetting *setting = FindTableSetting(key)) {
        if (key == u"IRPrecious")
            return UltraRare;
        const TCell &cell = *setting->Cells.begin();
        return KeepValue(cell.Health, cell.Type);
    }
    if (key == u"IRTerrain")
        return MajorTerrain;
    if (key == u"IRTerrainMinor")
        return MinorTerrain;
    if (key == u"IRTradeMax")
        return TradeMax;
    if (key == u"IRLookLimit")
        return LookLimit;
    if (key == u"IRSearchType")
        return SearchType;
    return 0;
}

void TKeepRules::SetValue(QStringView key, qint32 value)
{
    if (const TTableSetting *setting = FindTableSetting(key)) {
        if (key == u"IRPrecious")
            UltraRare = value;
        for (const TCell &cell : setting->Cells)
            SetKeepValue(cell.Health, cell.Type, value);
    } else if (key == u"IRTerrain") {
        MajorTerrain = value;
    } else if (key == u"IRTerrainMinor") {
        MinorTerrain = value;
    } else if (key == u"IRTradeMax") {
        TradeMax = value;
    } else if (key == u"IRLookLimit") {
        LookLimit = value;
    } else if (key == u"IRSearchType") {
        SearchType = value;
    }
}

void TKeepRules::Load(const TSettingsStore &settings)
{
    for (const TSetting &setting : Settings()) {
        const QString key = QString::fromUtf16(setting.Key);
        SetValue(key, settings.ReadIntegerSetting(key, setting.Default));
    }
    SetKeepValue(kWhiteDragon.Health, kWhiteDragon.Type, Value(u"IRDragon"));
    LockedAsLiked = settings.ReadBoolSetting(u"IRLockedAsLiked"_s, false);
}

void TKeepRules::Save(TSettingsStore &settings) const
{
    for (const TSetting &setting : Settings()) {
        const QString key = QString::fromUtf16(setting.Key);
        settings.WriteIntegerSetting(key, Value(key));
    }
    settings.WriteBoolSetting(u"IRLockedAsLiked"_s, LockedAsLiked);
}

qint32 Threshold(const TInventoryData &item, const TKeepRules &rules)
{
    qint32 base = 0;
    if (const auto *die = dynamic_cast<const TDie *>(&item)) {
        const RaceType type = die->Race().Type;
        // Misprints keep what their own column says, ultra-rare or not.
        if (die->UltraRare && type != RaceType::Misprints)
            base = rules.UltraRare;
        else
            base = rules.KeepValue(die->Health(), type);
    } else if (const auto *terrain = dynamic_cast<const TTerrain *>(&item)) {
        base = terrain->Major() ? rules.MajorTerrain : rules.MinorTerrain;
    }
    const qint64 keep = std::max<qint64>(0, qint64(base) + item.Modifier);
    return Clamp32(std::max<qint64>(keep, item.InPlayCount));
}

qint32 Surplus(const TInventoryData &item, const TKeepRules &rules)
{
    // Counts are unsigned and may pass 2147483647; the difference is taken in 64 bits.
    qint64 spare = qint64(item.Count) - qint64(item.UsedCount) - item.WaitingCount - Threshold(item, rules);
    if (!rules.LockedAsLiked && item.Locked && spare > 0)
        spare = 0;
    return Clamp32(std::min<qint64>(spare, rules.TradeMax));
}

qint32 AvailableForWaiting(const TInventoryData &item, const TKeepRules &rules)
{
    const qint64 free = qint64(item.Count) - qint64(item.UsedCount) - Threshold(item, rules);
    return Clamp32(std::max<qint64>(0, std::min<qint64>(free, item.WaitingCount)));
}
