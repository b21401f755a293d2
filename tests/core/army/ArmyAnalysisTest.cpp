#include "army/ArmyAnalysis.h"
#include "TestSupport.h"
#include "dice/Catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace Qt::StringLiterals;

namespace {

using R = ResultType;
using E = EffectFlag;

class ArmyAnalysisTest : public ::testing::Test
{
protected:
    TRace &NewRace(RaceType type = RaceType::NormalUnits)
    {
        TRace &race = Catalogue.AppendRace(std::make_unique<TRace>(Catalogue, Catalogue.NextID(), u"Fenfolk"_s));
        race.Type = type;
        return race;
    }

    // A die whose faces are (symbol, count) pairs.
    TDie &NewDie(TRace &race, const QString &name, const std::vector<std::pair<qint32, int>> &faces)
    {
        auto die = std::make_unique<TDie>(race, name);
        die->SetFaceCount(int(faces.size()));
        for (size_t i = 0; i < faces.size(); ++i)
            die->SetFace(int(i), faces[i].first, faces[i].second);
        TDie &added = *die;
        race.AddDie(std::move(die));
        return added;
    }

    // Melee 0, 0, 1, 1, 2, 2: mean 1, variance 10/6 - 1.
    TDie &Brawler(TRace &race)
    {
        using namespace BasicIcon;
        return NewDie(race, u"Brawler"_s, {{Move, 1}, {Move, 1}, {Melee, 1}, {Melee, 1}, {Melee, 2}, {Melee, 2}});
    }

    qint32 EffectSymbol(TEffectSet effects)
    {
        TIconDescriptor icon;
        icon.Name = u"Effect"_s;
        icon.Effects = effects;
        return Catalogue.Icons().Add(icon);
    }

    TCatalogue Catalogue;
};

constexpr Land kLand = Land::Coastland;

} // namespace

TEST_F(ArmyAnalysisTest, OneDieTwiceAndAConstantDie)
{
    TRace &race = NewRace();
    TDie &brawler = Brawler(race);
    TDie &steady = NewDie(race, u"Steady"_s, std::vector<std::pair<qint32, int>>(6, {BasicIcon::Melee, 2}));

    const TArmyAnalysis one = AnalyzeArmy({&brawler});
    EXPECT_EQ(one.CellText(R::Melee, kLand, false), u"1.00/0.82");
    EXPECT_EQ(one.CellText(R::Melee, kLand, true), u"1.00/0.18");
    EXPECT_DOUBLE_EQ(one.Spread[size_t(R::Melee)][size_t(kLand)], std::sqrt(10.0 / 6 - 1));

    // A die that always shows the same adds to the mean and nothing to the spread.
    const TArmyAnalysis withSteady = AnalyzeArmy({&brawler, &steady});
    EXPECT_EQ(withSteady.CellText(R::Melee, kLand, false), u"3.00/0.82");
    EXPECT_EQ(AnalyzeArmy({&steady}).CellText(R::Melee, kLand, false), u"2.00/0.00");
    EXPECT_EQ(AnalyzeArmy({&steady, &steady, &steady}).CellText(R::Melee, kLand, true), u"6.00/6.00");

    // One die entered twice counts as two independent dice: twice the variance.
    const TArmyAnalysis twice = AnalyzeArmy({&brawler, &brawler});
    EXPECT_DOUBLE_EQ(twice.Mean[size_t(R::Melee)][size_t(kLand)], 2.0);
    EXPECT_NEAR(twice.Spread[size_t(R::Melee)][size_t(kLand)], std::sqrt(2 * (10.0 / 6 - 1)), 1e-12);
    EXPECT_EQ(twice.CellText(R::Melee, kLand, false), u"2.00/1.15");
    EXPECT_EQ(twice.CellText(R::Melee, kLand, true), u"2.00/0.85");
    // The reserves fight no melee: nothing to show, and no minimum below zero.
    EXPECT_EQ(twice.CellText(R::Melee, Land::Reserves, true), u"0.00/0.00");
}

TEST_F(ArmyAnalysisTest, EmptyArmiesAndSummonedDice)
{
    const TArmyAnalysis empty = AnalyzeArmy({});
    for (int t = 0; t < kResultTypeCount; ++t)
        for (int l = 0; l < kLandCount; ++l)
            ASSERT_EQ(empty.CellText(R(t), Land(l), false), u"0.00/0.00");
    for (int e = kFirstFractionFlag; e <= kLastFractionFlag; ++e)
        ASSERT_EQ(empty.ChanceText(E(e)), u"  0.00");

    TRace &fenfolk = NewRace();
    TRace &wyrms = NewRace(RaceType::Dragonkin);
    TDie &brawler = Brawler(fenfolk);
    TDie &wyrm = Brawler(wyrms);
    const std::vector<TDie *> army{&wyrm, &brawler, &wyrm, &brawler};
    EXPECT_EQ(AnalysedDice(army, false), (std::vector<const TDie *>{&brawler, &brawler}));
    EXPECT_EQ(AnalysedDice(army, true), (std::vector<const TDie *>{&wyrm, &brawler, &wyrm, &brawler}));
    // An army of summoned dice alone, not included, is an empty army.
    EXPECT_EQ(AnalyzeArmy(AnalysedDice({&wyrm}, false)).CellText(R::Melee, kLand, false), u"0.00/0.00");
    EXPECT_EQ(AnalyzeArmy(AnalysedDice({&wyrm}, true)).CellText(R::Melee, kLand, false), u"1.00/0.82");
}

TEST_F(ArmyAnalysisTest, ChancesOfEffects)
{
    TRace &race = NewRace();
    const qint32 cantrip = EffectSymbol({E::Cantrip});
    const qint32 dispel = EffectSymbol({E::Dispel, E::Surprise});
    using namespace BasicIcon;
    TDie &sure = NewDie(race, u"Sure"_s, std::vector<std::pair<qint32, int>>(6, {cantrip, 1}));
    TDie &half = NewDie(race, u"Half"_s, {{cantrip, 1}, {dispel, 1}, {dispel, 1}, {Move, 1}, {Move, 1}, {Melee, 1}});

    const TArmyAnalysis one = AnalyzeArmy({&half});
    EXPECT_EQ(one.ChanceText(E::Cantrip), u" 16.67");
    EXPECT_EQ(one.ChanceText(E::Dispel), u" 33.33");
    EXPECT_EQ(one.ChanceText(E::Surprise), u" 33.33");
    EXPECT_EQ(one.ChanceText(E::Escape), u"  0.00");
    // At least one of two: 1 - (2/3)^2.
    EXPECT_EQ(AnalyzeArmy({&half, &half}).ChanceText(E::Dispel), u" 55.56");
    // A die that always shows the effect makes it certain.
    EXPECT_EQ(AnalyzeArmy({&half, &sure, &half}).ChanceText(E::Cantrip), u"100.00");
    // Flags outside "Spell Resist" to "Surprise" have no chance to show.
    EXPECT_EQ(one.ChanceText(E::Melee), u"  0.00");
}

TEST_F(ArmyAnalysisTest, StatusesInOrder)
{
    TRace &race = NewRace();
    TDie &brawler = Brawler(race);
    TDie &other = NewDie(race, u"Wader"_s, {{BasicIcon::Save, 1}});
    QStringList statuses;
    AnalyzeArmy({&brawler, &other, &brawler}, [&statuses](const QString &text) { statuses << text; });
    // Formatting the results is the window's work, and so are its statuses.
    ASSERT_EQ(statuses.size(), 1 + 3 + 120);
    EXPECT_EQ(statuses.mid(0, 4), (QStringList{u"Initializing for analysis..."_s, u"Processing Brawler..."_s,
                                               u"Processing Wader..."_s, u"Processing Brawler..."_s}));
    // Result types outside, lands inside.
    EXPECT_EQ(statuses[4], u"Processing Black Magic/Coastland...");
    EXPECT_EQ(statuses[4 + 7], u"Processing Black Magic/(none)...");
    EXPECT_EQ(statuses[4 + 8], u"Processing Blue Magic/Coastland...");
    EXPECT_EQ(statuses[4 + 8 * 8 + 3], u"Processing Save/Missile/Reserves...");
    EXPECT_EQ(statuses[123], u"Processing Rout Buffer/(none)...");
}

// The one-pass form must give the figures of the pairwise one on armies of every shape:
// many special symbols, repeated entries, faces from 1 to 13, all lands.
TEST_F(ArmyAnalysisTest, OnePassAgreesWithPairs)
{
    std::mt19937 random(20240611);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::vector<qint32> symbols{0, 1, 2, 3, 4, 5};
    for (TEffectSet effects : {TEffectSet{E::Melee, E::MeleeEffect}, TEffectSet{E::Missile, E::RerollMissile},
                               TEffectSet{E::Magic, E::Attune, E::Cantrip}, TEffectSet{E::SaveMelee, E::Escape},
                               TEffectSet{E::Maneuver, E::DragonEffect}, TEffectSet{E::MeleeCounter}})
        symbols.push_back(EffectSymbol(effects));
    std::vector<TDie *> pool;
    for (int r = 0; r < 6; ++r) {
        TRace &race = NewRace(RaceType(r % VocabularyCount<RaceType>()));
        race.Colors = TColorSet::FromBits(quint8(pick(0, 31)));
        race.HomeTerrain = Land(pick(0, kLandCount - 1));
        race.MovesAtHome = MoveEffect(pick(0, 3));
        for (int d = 0; d < 8; ++d) {
            std::vector<std::pair<qint32, int>> faces(size_t(pick(1, TDie::kMaxFaces)));
            for (auto &face : faces)
                face = {symbols[size_t(pick(0, int(symbols.size()) - 1))], pick(1, 5)};
            TDie &die = NewDie(race, u"D%1"_s.arg(d), faces);
            die.SetHealth(pick(1, 4));
            die.SetProfession(Profession(pick(0, VocabularyCount<Profession>() - 1)));
            pool.push_back(&die);
        }
    }

    for (int size : {0, 1, 2, 7, 36, 150}) {
        std::vector<const TDie *> army;
        for (int i = 0; i < size; ++i)
            army.push_back(pool[size_t(pick(0, int(pool.size()) - 1))]);
        const TArmyAnalysis fast = AnalyzeArmy(army);
        const TArmyAnalysis pairs = AnalyzeArmyPairwise(army);
        EXPECT_EQ(fast.Chance, pairs.Chance);
        for (size_t t = 0; t < size_t(kResultTypeCount); ++t) {
            for (size_t l = 0; l < size_t(kLandCount); ++l) {
                ASSERT_EQ(fast.Mean[t][l], pairs.Mean[t][l]);
                const double a = fast.Spread[t][l];
                const double b = pairs.Spread[t][l];
                ASSERT_LE(std::abs(a - b), 1e-9 * std::max(std::abs(a), std::abs(b)))
                    << "size " << size << " result " << t << " land " << l << ": " << a << " vs " << b;
                ASSERT_EQ(fast.CellText(R(t), Land(l), false), pairs.CellText(R(t), Land(l), false));
            }
        }
    }
}
