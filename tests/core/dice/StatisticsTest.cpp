#include "TestSupport.h"
#include "dice/Catalogue.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

using E = EffectFlag;
using R = ResultType;

TIconDescriptor Symbol(TEffectSet effects, qint32 points = 0)
{
    TIconDescriptor icon;
    icon.Name = u"S"_s;
    icon.Effects = effects;
    icon.Points = points;
    return icon;
}

// One face's value with the basic symbol or an ad-hoc one.
double Value(const TRace &race, const TIconDescriptor &symbol, int count, Land land, R r,
             Profession profession = Profession::Cavalry, int health = 1, TRulesOptions rules = {})
{
    return FaceValue(race, count, &symbol, profession, health, land, r, rules);
}

class StatisticsTest : public ::testing::Test
{
protected:
    TRace &NewRace()
    {
        return Catalogue.AppendRace(std::make_unique<TRace>(Catalogue, Catalogue.NextID(), u"R"_s));
    }

    // A die of the race whose faces are (symbol, count) pairs.
    TDie &NewDie(TRace &race, const std::vector<std::pair<qint32, int>> &faces, int health = 1)
    {
        auto die = std::make_unique<TDie>(race);
        die->SetHealth(health);
        die->SetFaceCount(int(faces.size()));
        for (size_t i = 0; i < faces.size(); ++i)
            die->SetFace(int(i), faces[i].first, faces[i].second);
        TDie &added = *die;
        race.AddDie(std::move(die));
        return added;
    }

    qint32 AddSymbol(TEffectSet effects, qint32 points = 0) { return Catalogue.Icons().Add(Symbol(effects, points)); }

    const TIconDescriptor &Basic(qint32 id) const { return *Catalogue.GetIcon(id); }

    TCatalogue Catalogue;
};

} // namespace

TEST_F(StatisticsTest, ANewDie)
{
    TRace &race = NewRace();
    TDie &die = *race.Die(race.AddDie(std::make_unique<TDie>(race)));
    // Every face moves, the ID face included; only the ID face fights.
    EXPECT_EQ(die.ResultText(R::Move, Land::Coastland, false), u"1.00/0.00");
    EXPECT_EQ(die.ResultText(R::Melee, Land::Coastland, false), u"0.17/0.37");
    EXPECT_EQ(die.ResultText(R::RoutBuffer, Land::Coastland, false), u"-0.17/0.37");
    EXPECT_EQ(Value(race, Basic(BasicIcon::ID), 1, Land::Coastland, R::RoutBuffer), -1);
    // The reserves roll only magic and saves.
    for (R r : {R::Missile, R::Melee, R::Move, R::Points})
        EXPECT_EQ(die.ResultText(r, Land::Reserves, false), u"0.00/0.00");
    EXPECT_EQ(die.ResultText(R::SaveMelee, Land::Reserves, false), u"0.17/0.37");
    EXPECT_NEAR(die.Fraction(E::SpellResist), 1.0 / 6, 1e-12);
    EXPECT_FALSE(die.MagicUser());
}

TEST_F(StatisticsTest, MagicColours)
{
    TRace &race = NewRace();
    race.Colors = {MagicColor::Blue};
    const TIconDescriptor &id = Basic(BasicIcon::ID);
    const TIconDescriptor &magic = Basic(BasicIcon::Magic);
    EXPECT_EQ(Value(race, magic, 2, Land::Flatland, R::BlueMagic), 2);
    EXPECT_EQ(Value(race, magic, 2, Land::Flatland, R::GoldMagic), 0);
    // "ID" doubles in a land of the colour, and only a colour the face already gave.
    EXPECT_EQ(Value(race, id, 2, Land::Coastland, R::BlueMagic), 4);
    EXPECT_EQ(Value(race, id, 2, Land::Highland, R::BlueMagic), 2);
    EXPECT_EQ(Value(race, id, 2, Land::Coastland, R::GreenMagic), 0);
    EXPECT_EQ(Value(race, id, 2, Land::Reserves, R::BlueMagic), 2);
    race.TerrainMagic = true;
    EXPECT_EQ(Value(race, id, 2, Land::Coastland, R::GreenMagic), 4);
    EXPECT_EQ(Value(race, id, 2, Land::Coastland, R::GoldMagic), 0);
    race.CanDoubleMagic = false;
    EXPECT_EQ(Value(race, id, 2, Land::Coastland, R::BlueMagic), 2);
    // An attuned symbol gives every colour.
    EXPECT_EQ(Value(race, Symbol({E::Magic, E::Attune}), 3, Land::Wasteland, R::RedMagic), 3);
    EXPECT_EQ(Value(race, Symbol({E::Attune}), 3, Land::Wasteland, R::RedMagic), 0);
}

TEST_F(StatisticsTest, MovesAtHome)
{
    TRace &race = NewRace();
    race.HomeTerrain = Land::Coastland;
    const TIconDescriptor &move = Basic(BasicIcon::Move);
    const TIconDescriptor stubborn = Symbol({E::Maneuver, E::DoesNotConvert});

    race.MovesAtHome = MoveEffect::AsMissile;
    EXPECT_EQ(Value(race, move, 2, Land::Coastland, R::Missile), 2);
    EXPECT_EQ(Value(race, move, 2, Land::Coastland, R::Move), 2);
    EXPECT_EQ(Value(race, move, 2, Land::Flatland, R::Missile), 0);
    EXPECT_EQ(Value(race, stubborn, 1, Land::Coastland, R::Missile), 0);

    race.MovesAtHome = MoveEffect::Doubled;
    EXPECT_EQ(Value(race, move, 2, Land::Coastland, R::Move), 4);
    EXPECT_EQ(Value(race, stubborn, 1, Land::Coastland, R::Move), 2);
    EXPECT_EQ(Value(race, move, 2, Land::Swampland, R::Move), 2);

    race.MovesAtHome = MoveEffect::AsSave;
    for (R r : {R::SaveMissile, R::SaveMelee, R::RoutBuffer})
        EXPECT_EQ(Value(race, move, 2, Land::Coastland, r), 2) << int(r);
    EXPECT_EQ(Value(race, stubborn, 2, Land::Coastland, R::SaveMelee), 0);
}

TEST_F(StatisticsTest, SavesOfArmouredAndIntangibleRaces)
{
    TRace &race = NewRace();
    race.Armored = true;
    race.Intangible = true;
    const TIconDescriptor &melee = Basic(BasicIcon::Melee);
    const TIconDescriptor belly = Symbol({E::Belly});
    EXPECT_EQ(Value(race, melee, 1, Land::Flatland, R::SaveMissile, Profession::Cavalry, 3), 4);
    EXPECT_EQ(Value(race, melee, 1, Land::Flatland, R::SaveMelee, Profession::Cavalry, 3), 3);
    EXPECT_EQ(Value(race, melee, 1, Land::Flatland, R::RoutBuffer, Profession::Cavalry, 3), 3);
    EXPECT_EQ(Value(race, belly, 1, Land::Flatland, R::SaveMissile, Profession::Cavalry, 3), 1);
    EXPECT_EQ(Value(race, belly, 1, Land::Flatland, R::SaveMelee, Profession::Cavalry, 3), 0);
    EXPECT_EQ(Value(race, Basic(BasicIcon::ID), 3, Land::Flatland, R::SaveMelee, Profession::Cavalry, 3), 6);
    // The ID face never buffers a rout, however armoured.
    EXPECT_EQ(Value(race, Basic(BasicIcon::ID), 3, Land::Flatland, R::RoutBuffer, Profession::Cavalry, 3), -1);
}

TEST_F(StatisticsTest, PowerOfMagicItems)
{
    TRace &race = NewRace();
    race.Type = RaceType::MagicItems;
    race.Colors = {MagicColor::Red};
    const TIconDescriptor &melee = Basic(BasicIcon::Melee);
    const TRulesOptions on{true, false};
    // The bonus comes whether or not the face had magic, for the race's colours only.
    EXPECT_EQ(Value(race, melee, 1, Land::Flatland, R::RedMagic, Profession::Mage, 2, on), 1);
    EXPECT_EQ(Value(race, melee, 1, Land::Flatland, R::BlueMagic, Profession::Mage, 2, on), 0);
    EXPECT_EQ(Value(race, melee, 1, Land::Flatland, R::Melee, Profession::Mage, 2, on), 1);
    EXPECT_EQ(Value(race, melee, 1, Land::Flatland, R::Melee, Profession::HeavyTroop, 3, on), 3);
    EXPECT_EQ(Value(race, melee, 1, Land::Flatland, R::Melee, Profession::HeavyTroop, 4, on), 1);
    EXPECT_EQ(Value(race, Symbol({E::Melee, E::SpecialIcon}), 1, Land::Flatland, R::Melee, Profession::HeavyTroop, 3, on), 1);
    EXPECT_EQ(Value(race, melee, 1, Land::Flatland, R::Melee, Profession::HeavyTroop, 3), 1);
    EXPECT_EQ(Value(race, Basic(BasicIcon::Move), 1, Land::Flatland, R::Move, Profession::Cavalry, 2, on), 2);
    EXPECT_EQ(Value(race, Basic(BasicIcon::Save), 1, Land::Flatland, R::RoutBuffer, Profession::Defense, 3, on), 3);
    EXPECT_EQ(Value(race, Basic(BasicIcon::Missile), 2, Land::Flatland, R::Missile, Profession::Archer, 2, on), 3);
    // Points takes no bonus of its own, only that of the results it is made of.
    EXPECT_EQ(Value(race, melee, 1, Land::Flatland, R::Points, Profession::HeavyTroop, 3, on), 3);
    race.Type = RaceType::NormalUnits;
    EXPECT_EQ(Value(race, melee, 1, Land::Flatland, R::Melee, Profession::HeavyTroop, 3, on), 1);
}

TEST_F(StatisticsTest, CountersDrainPointsAndExtras)
{
    TRace &race = NewRace();
    race.Colors = {MagicColor::Blue, MagicColor::Green};
    EXPECT_EQ(Value(race, Symbol({E::MeleeCounter, E::CounterDouble}), 3, Land::Flatland, R::Counter), 6);
    EXPECT_EQ(Value(race, Symbol({E::MeleeCounter}), 3, Land::Flatland, R::Counter), 3);
    EXPECT_EQ(Value(race, Symbol({E::CounterDouble}), 3, Land::Flatland, R::Counter), 0);
    EXPECT_EQ(Value(race, Symbol({E::MagicDrain}), 2, Land::Flatland, R::AntiMagic), 2);
    // Points: half of each colour, all of missile, melee, move and extras, a quarter of
    // the missile save and half of the melee save.
    EXPECT_EQ(Value(race, Basic(BasicIcon::Magic), 2, Land::Coastland, R::Points), 2.0);
    EXPECT_EQ(Value(race, Basic(BasicIcon::Save), 1, Land::Coastland, R::Points), 0.75);
    EXPECT_EQ(Value(race, Basic(BasicIcon::Melee), 2, Land::Coastland, R::Points), 2.0);
    const TIconDescriptor special = Symbol({E::Melee}, 3);
    EXPECT_EQ(Value(race, special, 2, Land::Coastland, R::Extras), 3);
    EXPECT_EQ(Value(race, special, 1, Land::Coastland, R::Points), 4.0);
    // In the reserves, points count only when the race may roll them there.
    EXPECT_EQ(Value(race, Basic(BasicIcon::Save), 1, Land::Reserves, R::Points), 0.0);
    race.ReserveAbilities.Include(R::Points);
    EXPECT_EQ(Value(race, Basic(BasicIcon::Save), 1, Land::Reserves, R::Points), 0.75);
    EXPECT_EQ(FaceValue(race, 2, nullptr, Profession::Cavalry, 1, Land::Flatland, R::RoutBuffer, {}), 0);
}

TEST_F(StatisticsTest, RerollsSpreadOverTheOtherFaces)
{
    TRace &race = NewRace();
    const qint32 again = AddSymbol({E::RerollMelee});
    TDie &die = NewDie(race, {{BasicIcon::Melee, 2}, {BasicIcon::Melee, 1}, {again, 1},
                              {BasicIcon::Save, 1}, {BasicIcon::Save, 1}, {BasicIcon::Save, 1}});
    // 3 melee over the five other faces: the reroll face is worth 0.6.
    EXPECT_DOUBLE_EQ(die.Sum(R::Melee, Land::Flatland), 3.6);
    EXPECT_DOUBLE_EQ(die.SumSq(R::Melee, Land::Flatland), 5.36);
    EXPECT_EQ(die.ResultText(R::Melee, Land::Flatland, false), u"0.60/0.73");
    // Points are not spread, and other results see no reroll face.
    EXPECT_DOUBLE_EQ(die.Sum(R::Points, Land::Flatland), 5.25);
    EXPECT_DOUBLE_EQ(die.Sum(R::SaveMissile, Land::Flatland), 3.0);

    // Every face a reroll face: nothing to spread over.
    const qint32 wild = AddSymbol({E::Melee, E::RerollMelee});
    TDie &allAgain = NewDie(race, {{wild, 1}, {wild, 1}, {wild, 1}, {wild, 1}});
    EXPECT_DOUBLE_EQ(allAgain.Sum(R::Melee, Land::Flatland), 4.0);
}

TEST_F(StatisticsTest, EffectFractions)
{
    TRace &race = NewRace();
    const qint32 belly = AddSymbol({E::Belly});
    const qint32 cantrip = AddSymbol({E::Magic, E::Cantrip, E::MagicUser});
    const qint32 rerollMelee = AddSymbol({E::RerollMelee});
    const qint32 dispel = AddSymbol({E::Dispel, E::Surprise});
    const qint32 plain = AddSymbol({});

    TDie &guard = NewDie(race, {{BasicIcon::ID, 1}, {BasicIcon::Save, 1}, {BasicIcon::Save, 1},
                                {BasicIcon::Melee, 1}, {BasicIcon::Melee, 1}, {belly, 1}});
    EXPECT_DOUBLE_EQ(guard.Fraction(E::SpellResist), 0.5);
    race.Armored = true;
    race.Regenerate();
    EXPECT_DOUBLE_EQ(guard.Fraction(E::SpellResist), 5.0 / 6);

    race.Armored = false;
    TDie &caster = NewDie(race, {{cantrip, 1}, {cantrip, 1}, {rerollMelee, 1}, {BasicIcon::Melee, 1},
                                 {BasicIcon::Melee, 1}, {dispel, 1}});
    // The reroll-melee face is left out of the cantrip fraction: 2 of 5.
    EXPECT_DOUBLE_EQ(caster.Fraction(E::Cantrip), 0.4);
    EXPECT_DOUBLE_EQ(caster.Fraction(E::Dispel), 1.0 / 6);
    EXPECT_DOUBLE_EQ(caster.Fraction(E::Surprise), 0.2);
    EXPECT_TRUE(caster.MagicUser());
    EXPECT_EQ(caster.Fraction(E::Melee), 0.0); // not a fraction the statistics keep

    // A face that is rolled again shows nothing, even an effect of its own: a fraction
    // never passes 1.
    const qint32 fleeting = AddSymbol({E::Cantrip, E::RerollMissile});
    TDie &flicker = NewDie(race, {{fleeting, 1}, {cantrip, 1}, {BasicIcon::Melee, 1}, {BasicIcon::Melee, 1}});
    EXPECT_DOUBLE_EQ(flicker.Fraction(E::Cantrip), 1.0 / 3);

    // Every face left out: the fraction is 0 rather than a division by zero.
    TDie &allOut = NewDie(race, {{rerollMelee, 1}, {rerollMelee, 1}});
    EXPECT_EQ(allOut.Fraction(E::Surprise), 0.0);

    // Monstrous magic resistance: a ten-sided normal die resists on every special face.
    TDie &monster = NewDie(race, {{BasicIcon::ID, 3}, {plain, 1}, {plain, 1}, {BasicIcon::Melee, 1},
                                  {BasicIcon::Melee, 1}, {BasicIcon::Melee, 1}, {BasicIcon::Melee, 1},
                                  {BasicIcon::Melee, 1}, {BasicIcon::Melee, 1}, {99, 1}});
    EXPECT_DOUBLE_EQ(monster.Fraction(E::SpellResist), 0.1);
    Catalogue.Rules.MonstrousMagicResistance = true;
    Catalogue.RegenerateRaces();
    EXPECT_DOUBLE_EQ(monster.Fraction(E::SpellResist), 0.4);
    race.Type = RaceType::Dragonkin;
    race.Regenerate();
    EXPECT_DOUBLE_EQ(monster.Fraction(E::SpellResist), 0.1);
    // Races of the other types resist naturally, except on a belly.
    race.Type = RaceType::Misprints;
    race.Regenerate();
    EXPECT_DOUBLE_EQ(guard.Fraction(E::SpellResist), 5.0 / 6);
}

TEST_F(StatisticsTest, DisplayAndInvalidation)
{
    TRace &race = NewRace();
    TDie &die = NewDie(race, {{BasicIcon::Melee, 4}, {BasicIcon::Save, 1}, {BasicIcon::Save, 1},
                              {BasicIcon::Save, 1}, {BasicIcon::Save, 1}, {BasicIcon::Save, 1}},
                       2);
    EXPECT_EQ(die.ResultText(R::Melee, Land::Flatland, false), u"0.67/1.49");
    EXPECT_EQ(die.ResultText(R::Melee, Land::Flatland, true), u"0.33/0.75");

    // Faces, face count and health invalidate; the rules options wait for a regeneration.
    die.SetFace(1, BasicIcon::Melee, 2);
    EXPECT_FALSE(die.StatisticsValid());
    EXPECT_EQ(die.ResultText(R::Melee, Land::Flatland, false), u"1.00/1.53");
    die.SetHealth(1);
    EXPECT_FALSE(die.StatisticsValid());
    EXPECT_EQ(die.ResultText(R::Melee, Land::Flatland, true), u"1.00/1.53");
    die.SetFaceCount(2);
    EXPECT_EQ(die.ResultText(R::Melee, Land::Flatland, false), u"3.00/1.00");

    race.Type = RaceType::MagicItems;
    die.SetProfession(Profession::HeavyTroop);
    Catalogue.Rules.PowerMagicItems = true;
    EXPECT_EQ(die.ResultText(R::Melee, Land::Flatland, false), u"3.00/1.00");
    die.SetHealth(2);
    EXPECT_EQ(die.ResultText(R::Melee, Land::Flatland, false), u"4.00/1.00");

    // No faces, no symbol: zeros, not divisions by zero.
    die.SetFaceCount(0);
    EXPECT_EQ(die.ResultText(R::Melee, Land::Flatland, true), u"0.00/0.00");
    EXPECT_EQ(die.Fraction(E::SpellResist), 0.0);
    TDie &unknown = NewDie(race, {{99, 2}, {-4, 1}});
    for (int r = 0; r < kResultTypeCount; ++r)
        EXPECT_EQ(unknown.ResultText(R(r), Land::Feyland, false), u"0.00/0.00");
    TDie &zero = NewDie(race, {{BasicIcon::Melee, 2}}, 0);
    EXPECT_EQ(zero.ResultText(R::Melee, Land::Feyland, true), u"2.00/0.00");
}
