#include "TestSupport.h"
#include "dice/DiceIcons.h"
#include "io/TaggedStream.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TIconDescriptor Symbol(const QString &name, const QString &description, TEffectSet effects, qint32 points)
{
    TIconDescriptor icon;
    icon.Name = name;
    icon.Description = description;
    icon.Effects = effects;
    icon.Points = points;
    return icon;
}

QStringList EffectNames(const TIconDescriptor &icon)
{
    QStringList names;
    for (int f = 0; f < kEffectFlagCount; ++f) {
        if (icon.Has(EffectFlag(f)))
            names << NameOf(EffectFlag(f));
    }
    return names;
}

class TRecordingListener : public TIconLoadListener
{
public:
    void IconLoading(const QString &name) override { Events << u"Loading icon:  "_s + name + u"..."_s; }
    void IconLoaded(const TIconDescriptor &icon) override { Events << icon.Name + u" icon loaded."_s; }
    QStringList Events;
};

} // namespace

TEST(IconTable, TheSixBasicSymbols)
{
    const TIconTable table;
    ASSERT_EQ(table.Count(), 6);
    QStringList names;
    for (int id = 0; id < 6; ++id) {
        const TIconDescriptor *icon = table.GetIcon(id);
        names << icon->Name;
        EXPECT_TRUE(icon->Basic);
        EXPECT_EQ(icon->ID, id);
        EXPECT_EQ(icon->Points, 0);
    }
    EXPECT_EQ(names, (QStringList{u"ID"_s, u"Magic"_s, u"Melee"_s, u"Missile"_s, u"Move"_s, u"Save"_s}));
    EXPECT_EQ(EffectNames(*table.GetIcon(BasicIcon::ID)),
              (QStringList{u"Magic"_s, u"Missile"_s, u"Melee"_s, u"Maneuver"_s, u"Save/Melee"_s, u"Save/Missile"_s,
                           u"Spell Resist"_s, u"Magic Avoidance"_s, u"Missile Avoidance"_s, u"Melee Avoidance"_s,
                           u"Maneuver Avoidance"_s, u"Save Avoidance"_s, u"Magic Double"_s, u"ID Icon"_s}));
    EXPECT_EQ(EffectNames(*table.GetIcon(BasicIcon::Magic)),
              (QStringList{u"Magic"_s, u"Magic Avoidance"_s, u"Magic-User"_s}));
    EXPECT_EQ(EffectNames(*table.GetIcon(BasicIcon::Save)),
              (QStringList{u"Save/Melee"_s, u"Save/Missile"_s, u"Spell Resist"_s, u"Save Avoidance"_s}));
    EXPECT_EQ(table.GetIcon(BasicIcon::Melee)->Description, u"Counts as one melee hit point.");
    EXPECT_TRUE(table.GetIcon(BasicIcon::ID)->Description.startsWith(
        u"Counts as one point of whatever the owning player is rolling for.  If the owner"_s));

    EXPECT_EQ(table.GetIcon(5)->Name, u"Save");
    EXPECT_EQ(table.GetIcon(6), nullptr);
    EXPECT_EQ(table.GetIcon(-1), nullptr);
    EXPECT_EQ(table.FaceText(BasicIcon::Melee, 2), u"2 Melee");
    EXPECT_EQ(table.FaceText(6, 2), QString());
    EXPECT_EQ(table.IconByName(u"Move"), 4);
    EXPECT_EQ(table.IconByName(u"move"), -1);
}

TEST(IconTable, AddingAndLookingUp)
{
    TIconTable table;
    const qint32 first = table.Add(Symbol(u"Tidal Surge"_s, u"x"_s, {EffectFlag::Melee}, 2));
    // A copy of a symbol of the table itself, under the same name: the later one is found.
    const qint32 second = table.Add(*table.GetIcon(first));
    EXPECT_EQ(first, 6);
    EXPECT_EQ(second, 7);
    EXPECT_EQ(table.GetIcon(7)->ID, 7);
    EXPECT_EQ(table.GetIcon(7)->Points, 2);
    EXPECT_EQ(table.IconByName(u"Tidal Surge"), 7);

    TIconDescriptor copy;
    copy.ID = 99;
    copy.Assign(*table.GetIcon(BasicIcon::Save));
    EXPECT_EQ(copy.ID, 99);
    EXPECT_TRUE(copy.Basic);
    EXPECT_EQ(copy.Name, u"Save");

    copy.SetFlags({EffectFlag::Belly, EffectFlag::Attune}, true);
    copy.SetFlags({EffectFlag::SpellResist, EffectFlag::Belly}, false);
    EXPECT_EQ(EffectNames(copy), (QStringList{u"Save/Melee"_s, u"Save/Missile"_s, u"Save Avoidance"_s, u"Attune"_s}));

    table.Reset();
    EXPECT_EQ(table.Count(), 6);
}

TEST(IconFile, WritesNamedSpecialSymbolsOnly)
{
    TIconTable table;
    table.Add(Symbol(u"A"_s, QString(), {EffectFlag::Melee, EffectFlag::RerollMelee, EffectFlag::SpecialIcon}, 3));
    table.Add(Symbol(QString(), u"deleted"_s, {EffectFlag::Magic}, 1));
    table.Add(Symbol(u"B"_s, u"d"_s, {EffectFlag::MagicDrain}, -2));
    const QByteArray bytes = WriteToBytes([&](TTaggedWriter &w) { WriteIconStream(w, table); });
    EXPECT_EQ(Hex(bytes), u"01"
                          " 06 01 41 06 00 04 00 00 80 00 02 02 03"
                          " 06 01 42 06 01 64 00 00 00 00 10 00 02 FE"
                          " 00");

    // Read back, the survivors take the next positions in file order.
    TIconTable loaded;
    TRecordingListener listener;
    ReadFromBytes(bytes, [&](TTaggedReader &r) { ReadIconStream(r, loaded, &listener); });
    ASSERT_EQ(loaded.Count(), 8);
    EXPECT_EQ(loaded.GetIcon(6)->Name, u"A");
    EXPECT_EQ(loaded.GetIcon(7)->Name, u"B");
    EXPECT_EQ(loaded.GetIcon(7)->Description, u"d");
    EXPECT_EQ(loaded.GetIcon(7)->Points, -2);
    EXPECT_FALSE(loaded.GetIcon(6)->Basic);
    EXPECT_EQ(EffectNames(*loaded.GetIcon(6)), (QStringList{u"Melee"_s, u"Reroll Melee"_s, u"Special Icon"_s}));
    EXPECT_EQ(listener.Events, (QStringList{u"Loading icon:  A..."_s, u"A icon loaded."_s, u"Loading icon:  B..."_s,
                                            u"B icon loaded."_s}));

    // An empty table is the list and its end.
    EXPECT_EQ(Hex(WriteToBytes([](TTaggedWriter &w) { WriteIconStream(w, TIconTable()); })), u"01 00");
}

TEST(IconFile, UnknownEffectBitsAreDroppedOnReading)
{
    TIconTable table;
    ReadFromBytes(FromHex(u"01 06 01 58 06 00 01 00 00 00 00 F8 02 00 00"_s),
              [&](TTaggedReader &r) { ReadIconStream(r, table); });
    ASSERT_EQ(table.Count(), 7);
    EXPECT_EQ(table.GetIcon(6)->Effects.ToBits(), 1u);
    const QByteArray again = WriteToBytes([&](TTaggedWriter &w) { WriteIconStream(w, table); });
    EXPECT_EQ(Hex(again), u"01 06 01 58 06 00 01 00 00 00 00 00 02 00 00");
}
