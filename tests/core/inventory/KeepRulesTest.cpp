#include "inventory/KeepRules.h"
#include "InventoryFixture.h"
#include "shell/SettingsStore.h"

#include <gtest/gtest.h>

#include <limits>

using namespace Qt::StringLiterals;

namespace {

// The keep table as rows of health 1 to 10, one column per race type.
QStringList Table(const TKeepRules &rules)
{
    QStringList rows;
    for (int health = 1; health <= 10; ++health) {
        QStringList cells;
        for (int type = 0; type < VocabularyCount<RaceType>(); ++type)
            cells << QString::number(rules.KeepValue(health, RaceType(type)));
        rows << cells.join(u' ');
    }
    return rows;
}

const QStringList kKeys{u"IRCommon"_s,       u"IRUncommon"_s, u"IRRare"_s,      u"IRSpecial"_s,   u"IRItem1"_s,
                        u"IRItem2"_s,        u"IRItem3"_s,    u"IRItem4"_s,     u"IRKin1"_s,      u"IRKin2"_s,
                        u"IRKin3"_s,         u"IRPrecious"_s, u"IRDragon"_s,    u"IRMisprint"_s,  u"IRTerrain"_s,
                        u"IRTerrainMinor"_s, u"IRTradeMax"_s, u"IRLookLimit"_s, u"IRSearchType"_s};

QStringList Stored(const TMemorySettingsStore &store)
{
    QStringList values;
    for (const QString &key : kKeys)
        values << key + u'=' + QString::number(store.Integer(key));
    values << u"IRLockedAsLiked="_s + QString::number(store.Integer(u"IRLockedAsLiked"_s));
    return values;
}

} // namespace

TEST(KeepRules, DefaultsAndTheirSettings)
{
    const TKeepRules rules;
    // Normal Units, Magic Items, Dragonkin, Eldarim, Misprints.
    EXPECT_EQ(Table(rules),
              (QStringList{u"8 2 5 0 1"_s, u"4 1 4 0 1"_s, u"2 1 3 0 1"_s, u"1 1 1 0 1"_s, u"0 0 2 0 0"_s,
                           u"0 0 0 0 0"_s, u"0 0 0 0 0"_s, u"0 0 0 0 0"_s, u"0 0 0 0 0"_s, u"0 0 2 0 0"_s}));
    EXPECT_EQ(rules.KeepValue(0, RaceType::NormalUnits), 0);
    EXPECT_EQ(rules.KeepValue(11, RaceType::Dragonkin), 0);

    TMemorySettingsStore store;
    rules.Save(store);
    EXPECT_EQ(store.Count(), 20);
    EXPECT_EQ(Stored(store),
              (QStringList{u"IRCommon=8"_s,    u"IRUncommon=4"_s,  u"IRRare=2"_s,       u"IRSpecial=1"_s,
                           u"IRItem1=2"_s,     u"IRItem2=1"_s,     u"IRItem3=1"_s,      u"IRItem4=1"_s,
                           u"IRKin1=5"_s,      u"IRKin2=4"_s,      u"IRKin3=3"_s,       u"IRPrecious=1"_s,
                           u"IRDragon=2"_s,    u"IRMisprint=1"_s,  u"IRTerrain=2"_s,    u"IRTerrainMinor=1"_s,
                           u"IRTradeMax=10"_s, u"IRLookLimit=0"_s, u"IRSearchType=0"_s, u"IRLockedAsLiked=0"_s}));

    // The spin boxes' labels and ranges, in window order.
    const auto &settings = TKeepRules::Settings();
    EXPECT_EQ(QString::fromUtf16(settings[3].Label), u"Monster");
    EXPECT_EQ(QString::fromUtf16(settings[16].Key), u"IRTradeMax");
    EXPECT_EQ(settings[16].Max, 1000);
    for (size_t i = 0; i < settings.size(); ++i)
        EXPECT_EQ(QString::fromUtf16(settings[i].Key), kKeys[qsizetype(i)]);
}

TEST(KeepRules, LoadingFillsTheTableAndTheDragonsKeepTheirValue)
{
    TMemorySettingsStore store;
    store.WriteInteger(u"IRCommon"_s, 9);
    store.WriteInteger(u"IRPrecious"_s, 7);
    store.WriteInteger(u"IRDragon"_s, 6);
    store.WriteInteger(u"IRMisprint"_s, 3);
    store.WriteText(u"IRTradeMax"_s, u"12"_s);
    store.WriteInteger(u"IRLockedAsLiked"_s, 1);
    TKeepRules rules;
    rules.Load(store);
    EXPECT_EQ(Table(rules),
              (QStringList{u"9 2 5 0 3"_s, u"4 1 4 0 3"_s, u"2 1 3 0 3"_s, u"1 1 7 0 3"_s, u"0 0 6 0 0"_s,
                           u"0 0 0 0 0"_s, u"0 0 0 0 0"_s, u"0 0 0 0 0"_s, u"0 0 0 0 0"_s, u"0 0 6 0 0"_s}));
    EXPECT_EQ(rules.UltraRare, 7);
    EXPECT_EQ(rules.TradeMax, 12);
    EXPECT_TRUE(rules.LockedAsLiked);

    // A new "Dragon" value reaches the health-5 dragons only; the health-10 ones keep
    // the value read until the rules are loaded again.
    rules.SetValue(u"IRDragon", 1);
    rules.SetValue(u"IRMisprint", 4);
    rules.SetValue(u"IRPrecious", 2);
    EXPECT_EQ(rules.KeepValue(5, RaceType::Dragonkin), 1);
    EXPECT_EQ(rules.KeepValue(10, RaceType::Dragonkin), 6);
    EXPECT_EQ(rules.KeepValue(3, RaceType::Misprints), 4);
    EXPECT_EQ(rules.KeepValue(4, RaceType::Dragonkin), 2);
    EXPECT_EQ(rules.Value(u"IRDragon"), 1);
    EXPECT_EQ(rules.Value(u"IRNothing"), 0);

    TMemorySettingsStore saved;
    rules.Save(saved);
    EXPECT_EQ(saved.Integer(u"IRDragon"_s), 1);
    EXPECT_EQ(saved.Integer(u"IRPrecious"_s), 2);
    EXPECT_EQ(saved.Integer(u"IRTradeMax"_s), 12);
    EXPECT_EQ(saved.TypeOf(u"IRTradeMax"_s), TSettingType::Integer);
    EXPECT_EQ(saved.Integer(u"IRLockedAsLiked"_s), 1);
}

TEST(KeepRules, ThresholdByKindOfItem)
{
    TSmallCollection c;
    TInventory &inv = c.Inventory;
    EXPECT_EQ(inv.Threshold(c.Scout()), 8);
    EXPECT_EQ(inv.Threshold(c.Archer()), 2);
    EXPECT_EQ(inv.Threshold(c.Drake()), 2);
    EXPECT_EQ(inv.Threshold(c.Wyrm()), 2);
    EXPECT_EQ(inv.Threshold(*c.Catalogue.MajorTerrain(40)), 2);
    EXPECT_EQ(inv.Threshold(*c.Catalogue.MinorTerrain(23)), 1);

    // Ultra-rare dice keep the ultra-rare value, except misprints, which keep their
    // column's.
    inv.Rules.SetValue(u"IRPrecious", 5);
    inv.Rules.SetValue(u"IRMisprint", 3);
    EXPECT_EQ(inv.Threshold(c.TideLord()), 5);
    EXPECT_EQ(inv.Threshold(c.Blot()), 3);

    // Keep 2, modifier -3: nothing to keep, but the copy in play stays.
    c.Archer().Modifier = -3;
    EXPECT_EQ(inv.Threshold(c.Archer()), 0);
    c.Archer().InPlayCount = 1;
    EXPECT_EQ(inv.Threshold(c.Archer()), 1);
    c.Archer().Modifier = 4;
    EXPECT_EQ(inv.Threshold(c.Archer()), 6);

    // Eldarim keep nothing of their own.
    auto eldarim = std::make_unique<TRace>(c.Catalogue, 30, u"Starborn"_s);
    eldarim->Type = RaceType::Eldarim;
    TDie &elder = AddDie(*eldarim, u"Elder"_s, 1, Profession::Mage);
    c.Catalogue.InsertRace(std::move(eldarim));
    EXPECT_EQ(inv.Threshold(elder), 0);
    elder.Modifier = 2;
    EXPECT_EQ(inv.Threshold(elder), 2);
}

TEST(KeepRules, SurplusAndCopiesFreeForWaiting)
{
    TSmallCollection c;
    TInventory &inv = c.Inventory;
    TDie &die = c.Archer(); // keeps 2
    die.Modifier = -1;
    die.Count = 5;
    die.Locked = true;
    EXPECT_EQ(inv.Surplus(die), 0);
    inv.Rules.LockedAsLiked = true;
    EXPECT_EQ(inv.Surplus(die), 4);
    inv.Rules.LockedAsLiked = false;
    die.Locked = false;
    EXPECT_EQ(inv.Surplus(die), 4);
    inv.Rules.TradeMax = 3;
    EXPECT_EQ(inv.Surplus(die), 3);
    // A locked die short of copies still shows the shortage.
    die.Locked = true;
    die.Count = 0;
    EXPECT_EQ(inv.Surplus(die), -1);

    // Normal Units 1hp with ten copies: two to spare.
    c.Scout().Count = 10;
    inv.Rules.TradeMax = 10;
    EXPECT_EQ(inv.Surplus(c.Scout()), 2);
    c.Scout().UsedCount = 1;
    c.Scout().WaitingCount = 2;
    EXPECT_EQ(inv.Surplus(c.Scout()), -1);

    // Free for the waiting list: owned less used less kept, within 0 and the waiting.
    die.Count = 5;
    die.UsedCount = 1;
    die.WaitingCount = 2;
    EXPECT_EQ(inv.AvailableForWaiting(die), 2);
    die.WaitingCount = 5;
    EXPECT_EQ(inv.AvailableForWaiting(die), 3);
    die.Count = 1;
    EXPECT_EQ(inv.AvailableForWaiting(die), 0);
}

TEST(KeepRules, HugeValuesDoNotWrap)
{
    TSmallCollection c;
    TInventory &inv = c.Inventory;
    TDie &die = c.Scout();
    die.Count = std::numeric_limits<quint32>::max();
    EXPECT_EQ(inv.Surplus(die), 10);
    inv.Rules.TradeMax = std::numeric_limits<qint32>::max();
    EXPECT_EQ(inv.Surplus(die), std::numeric_limits<qint32>::max());
    EXPECT_EQ(inv.AvailableForWaiting(die), 0);

    die.Modifier = std::numeric_limits<qint32>::max();
    EXPECT_EQ(inv.Threshold(die), std::numeric_limits<qint32>::max());
    die.Count = 0;
    die.UsedCount = std::numeric_limits<quint32>::max();
    die.WaitingCount = std::numeric_limits<qint32>::max();
    EXPECT_EQ(inv.Surplus(die), std::numeric_limits<qint32>::min());
    die.WaitingCount = std::numeric_limits<qint32>::min();
    EXPECT_EQ(inv.AvailableForWaiting(die), 0);
}
