#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "dice/Terrain.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const std::vector<std::unique_ptr<TRace>> kNoRaces;

const QStringList kMajorNames{
    u"Coastland City"_s, u"Coastland Standing Stones"_s, u"Coastland Temple"_s, u"Coastland Tower"_s,
    u"Flatland City"_s, u"Flatland Standing Stones"_s, u"Flatland Temple"_s, u"Flatland Tower"_s,
    u"Highland City"_s, u"Highland Standing Stones"_s, u"Highland Temple"_s, u"Highland Tower"_s,
    u"Swampland City"_s, u"Swampland Standing Stones"_s, u"Swampland Temple"_s, u"Swampland Tower"_s,
    u"Wasteland City"_s, u"Wasteland Standing Stones"_s, u"Wasteland Temple"_s, u"Wasteland Tower"_s,
    u"Feyland City"_s, u"Feyland Standing Stones"_s, u"Feyland Temple"_s, u"Feyland Tower"_s,
    u"Coastland Castle"_s, u"Coastland Dragon Lair"_s, u"Coastland Grove"_s, u"Coastland Vortex"_s,
    u"Flatland Castle"_s, u"Flatland Dragon Lair"_s, u"Flatland Grove"_s, u"Flatland Vortex"_s,
    u"Highland Castle"_s, u"Highland Dragon Lair"_s, u"Highland Grove"_s, u"Highland Vortex"_s,
    u"Swampland Castle"_s, u"Swampland Dragon Lair"_s, u"Swampland Grove"_s, u"Swampland Vortex"_s,
    u"Wasteland Castle"_s, u"Wasteland Dragon Lair"_s, u"Wasteland Grove"_s, u"Wasteland Vortex"_s,
    u"Feyland Castle"_s, u"Feyland Dragon Lair"_s, u"Feyland Grove"_s, u"Feyland Vortex"_s,
};

const QStringList kMinorNames{
    u"Coastland Bridge"_s, u"Coastland Forest"_s, u"Coastland Knoll"_s, u"Coastland Village"_s,
    u"Flatland Bridge"_s, u"Flatland Forest"_s, u"Flatland Knoll"_s, u"Flatland Village"_s,
    u"Highland Bridge"_s, u"Highland Forest"_s, u"Highland Knoll"_s, u"Highland Village"_s,
    u"Swampland Bridge"_s, u"Swampland Forest"_s, u"Swampland Knoll"_s, u"Swampland Village"_s,
    u"Wasteland Bridge"_s, u"Wasteland Forest"_s, u"Wasteland Knoll"_s, u"Wasteland Village"_s,
    u"Feyland Bridge"_s, u"Feyland Forest"_s, u"Feyland Knoll"_s, u"Feyland Village"_s,
};

const std::array kLands{Land::Coastland, Land::Flatland, Land::Highland,
                        Land::Swampland, Land::Wasteland, Land::Feyland};

// Faces 1 to 7 of a major terrain by land, then the effect and distribution of the
// basic majors of that land.
struct TLandFaces
{
    QString Faces;
    QString Distribution;
};
const std::array<TLandFaces, 6> kLandFaces{{
    {u"Magic Missile Missile Missile Missile Melee Melee"_s, u" Magic 14%, Missile 57%, Melee 29%."_s},
    {u"Magic Missile Missile Missile Melee Melee Melee"_s, u" Magic 14%, Missile 43%, Melee 43%."_s},
    {u"Magic Magic Magic Missile Missile Melee Melee"_s, u" Magic 43%, Missile 29%, Melee 29%."_s},
    {u"Magic Magic Missile Missile Melee Melee Melee"_s, u" Magic 29%, Missile 29%, Melee 43%."_s},
    {u"Magic Missile Missile Melee Melee Melee Melee"_s, u" Magic 14%, Missile 29%, Melee 57%."_s},
    {u"Magic Magic Magic Missile Melee Melee Melee"_s, u" Magic 43%, Missile 14%, Melee 43%."_s},
}};

const QStringList kBasicEffects{u"(recruit new units)"_s, u"(use terrain magic)"_s,
                                u"(protection from death magic)"_s, u"(missile to any terrain)"_s};
const QStringList kAdvancedEffects{u"(become City, Standing Stones, Temple, or Tower)"_s,
                                   u"(bring in a dragon)"_s, u"(unbury one unit)"_s, u"(reroll one unit)"_s};
const QStringList kAdvancedDistributions{
    u" Magic 29%, Missile 14%, Melee 57%."_s, u" Magic 14%, Missile 14%, Melee 72%."_s,
    u" Magic 57%, Missile 14%, Melee 29%."_s, u" Magic 29%, Missile 29%, Melee 43%."_s};

// The eight face texts of each minor face type: Bridge, Forest, Knoll, Village.
const std::array<QStringList, 4> kMinorFaceTexts{{
    {u"Flood"_s, u"Magic"_s, u"Missile"_s, u"Melee"_s, u"2x Move"_s, u"2x Save"_s, u"2x Move"_s, u"Bridge"_s},
    {u"Lost"_s, u"Magic"_s, u"Missile"_s, u"Melee"_s, u"2x Move"_s, u"2x Save"_s, u"2x Save"_s, u"Forest"_s},
    {u"Landslide"_s, u"Magic"_s, u"Missile"_s, u"Melee"_s, u"2x Move"_s, u"2x Save"_s, u"Missile"_s, u"Knoll"_s},
    {u"Revolt"_s, u"Magic"_s, u"Missile"_s, u"Melee"_s, u"2x Move"_s, u"2x Save"_s, u"Melee"_s, u"Village"_s},
}};

QString FaceTexts(const TTerrain &terrain, int last)
{
    QStringList texts;
    for (int face = 1; face <= last; ++face)
        texts << terrain.FaceText(face);
    return texts.join(u'|');
}

TRace &AddRace(TCatalogue &catalogue, qint32 id, const QString &name, Land home, MoveEffect moves)
{
    auto race = std::make_unique<TRace>(catalogue, id, name);
    race->HomeTerrain = home;
    race->MovesAtHome = moves;
    return catalogue.AppendRace(std::move(race));
}

} // namespace

TEST(Terrain, NamesLandsAndFaceNamesOfAllSeventyTwo)
{
    for (int i = 0; i < TTerrain::kMajorCount; ++i) {
        const TTerrain terrain(true, i, kNoRaces);
        const Land land = kLands[size_t((i < 24 ? i : i - 24) / 4)];
        EXPECT_EQ(terrain.Name, kMajorNames[i]) << "major " << i;
        EXPECT_EQ(terrain.TerrainLand(), land) << "major " << i;
        EXPECT_EQ(terrain.GroupText(), NameOf(land)) << "major " << i;
        EXPECT_EQ(u' ' + terrain.FaceName(), kMajorNames[i].mid(NameOf(land).size())) << "major " << i;
        EXPECT_TRUE(terrain.Major());
        EXPECT_EQ(terrain.Index(), i);
    }
    for (int i = 0; i < TTerrain::kMinorCount; ++i) {
        const TTerrain terrain(false, i, kNoRaces);
        const Land land = kLands[size_t(i / 4)];
        EXPECT_EQ(terrain.Name, kMinorNames[i]) << "minor " << i;
        EXPECT_EQ(terrain.TerrainLand(), land) << "minor " << i;
        EXPECT_EQ(u' ' + terrain.FaceName(), kMinorNames[i].mid(NameOf(land).size())) << "minor " << i;
        EXPECT_FALSE(terrain.Major());
        EXPECT_EQ(terrain.Index(), i);
    }

    // The land order of the terrains skips the Reserves, which has no terrain.
    EXPECT_EQ(TTerrain(true, 12, kNoRaces).TerrainLand(), Land::Swampland);
    EXPECT_EQ(TTerrain(true, 39, kNoRaces).TerrainLand(), Land::Swampland);
    EXPECT_EQ(TTerrain(false, 23, kNoRaces).TerrainLand(), Land::Feyland);
}

TEST(Terrain, MajorFacesFollowTheLand)
{
    for (size_t l = 0; l < kLands.size(); ++l) {
        const QStringList kinds = kLandFaces[l].Faces.split(u' ');
        for (int faceType = 0; faceType < 4; ++faceType) {
            for (const int index : {int(l) * 4 + faceType, 24 + int(l) * 4 + faceType}) {
                const TTerrain terrain(true, index, kNoRaces);
                for (int face = 1; face <= 7; ++face) {
                    EXPECT_EQ(NameOf(terrain.FaceKind(face)), kinds[face - 1]) << index << " face " << face;
                    EXPECT_EQ(terrain.FaceText(face), QString::number(face) + u' ' + kinds[face - 1])
                        << index << " face " << face;
                }
                EXPECT_EQ(terrain.FaceKind(8), TerrainFaceKind::Own);
                EXPECT_EQ(terrain.FaceText(8), u"8 "_s + terrain.FaceName());
            }
        }
    }

    const TTerrain city(true, 0, kNoRaces);
    EXPECT_EQ(city.FaceText(3), u"3 Missile"_s);
    EXPECT_EQ(city.FaceText(8), u"8 City"_s);
    EXPECT_EQ(TTerrain(true, 25, kNoRaces).FaceText(8), u"8 Dragon Lair"_s);
    EXPECT_EQ(TTerrain(true, 9, kNoRaces).FaceText(8), u"8 Standing Stones"_s);
    EXPECT_EQ(FaceTexts(TTerrain(true, 44, kNoRaces), 8),
              u"1 Magic|2 Magic|3 Magic|4 Missile|5 Melee|6 Melee|7 Melee|8 Castle"_s);
}

TEST(Terrain, MinorFacesFollowTheFaceType)
{
    for (int i = 0; i < TTerrain::kMinorCount; ++i) {
        const TTerrain terrain(false, i, kNoRaces);
        EXPECT_EQ(FaceTexts(terrain, 8), kMinorFaceTexts[size_t(i % 4)].join(u'|')) << "minor " << i;
        EXPECT_EQ(terrain.FaceKind(1), TerrainFaceKind::Disaster);
        EXPECT_EQ(terrain.FaceKind(2), TerrainFaceKind::Magic);
        EXPECT_EQ(terrain.FaceKind(3), TerrainFaceKind::Missile);
        EXPECT_EQ(terrain.FaceKind(4), TerrainFaceKind::Melee);
        EXPECT_EQ(terrain.FaceKind(5), TerrainFaceKind::DoubleMove);
        EXPECT_EQ(terrain.FaceKind(6), TerrainFaceKind::DoubleSave);
        EXPECT_EQ(terrain.FaceKind(8), TerrainFaceKind::Own);
    }

    const TTerrain knoll(false, 10, kNoRaces);
    EXPECT_EQ(knoll.Name, u"Highland Knoll"_s);
    EXPECT_EQ(knoll.FaceText(7), u"Missile"_s);
    EXPECT_EQ(knoll.FaceText(1), u"Landslide"_s);
    EXPECT_EQ(TTerrain(false, 12, kNoRaces).FaceKind(7), TerrainFaceKind::DoubleMove);
    EXPECT_EQ(TTerrain(false, 17, kNoRaces).FaceKind(7), TerrainFaceKind::DoubleSave);
    EXPECT_EQ(TTerrain(false, 23, kNoRaces).FaceKind(7), TerrainFaceKind::Melee);

    // The kinds' own texts, in their stored order.
    EXPECT_EQ(NameOf(TerrainFaceKind::Own), u"*"_s);
    EXPECT_EQ(NameOf(TerrainFaceKind::DoubleMove), u"2x Move"_s);
    EXPECT_EQ(NameOf(TerrainFaceKind::Disaster), u"Disaster"_s);
    EXPECT_EQ(VocabularyCount<TerrainFaceKind>(), 7);
}

TEST(Terrain, FacesOutsideOneToEightAreRefused)
{
    const TTerrain major(true, 0, kNoRaces);
    const TTerrain minor(false, 0, kNoRaces);
    for (const TTerrain *terrain : {&major, &minor}) {
        for (const int face : {0, 9, -1}) {
            EXPECT_THROW(terrain->FaceKind(face), TDiceException) << face;
            EXPECT_THROW(terrain->FaceText(face), TDiceException) << face;
        }
    }

    EXPECT_THROW(TTerrain(true, 48, kNoRaces), TDiceException);
    EXPECT_THROW(TTerrain(true, -1, kNoRaces), TDiceException);
    EXPECT_THROW(TTerrain(false, 24, kNoRaces), TDiceException);
    EXPECT_THROW(TTerrain(false, -1, kNoRaces), TDiceException);
}

TEST(Terrain, DescriptionsCarryEffectAndDistribution)
{
    for (int i = 0; i < 24; ++i) {
        EXPECT_EQ(TTerrain(true, i, kNoRaces).Description(),
                  kBasicEffects[i % 4] + kLandFaces[size_t(i / 4)].Distribution) << "major " << i;
        EXPECT_EQ(TTerrain(true, 24 + i, kNoRaces).Description(),
                  kAdvancedEffects[i % 4] + kAdvancedDistributions[i % 4]) << "major " << 24 + i;
    }

    EXPECT_EQ(TTerrain(true, 39, kNoRaces).Description(), u"(reroll one unit) Magic 29%, Missile 29%, Melee 43%."_s);
    EXPECT_EQ(TTerrain(true, 13, kNoRaces).Description(),
              u"(use terrain magic) Magic 29%, Missile 29%, Melee 43%."_s);

    // Minor terrains have their bias alone.
    EXPECT_EQ(TTerrain(false, 0, kNoRaces).Description(), u"biased toward double maneuvers"_s);
    EXPECT_EQ(TTerrain(false, 5, kNoRaces).Description(), u"biased toward double saves"_s);
    EXPECT_EQ(TTerrain(false, 10, kNoRaces).Description(), u"biased toward missile combat"_s);
    EXPECT_EQ(TTerrain(false, 23, kNoRaces).Description(), u"biased toward melee combat"_s);
}

TEST(Terrain, RacialNotesNameTheRacesAtHome)
{
    TCatalogue catalogue;
    EXPECT_FALSE(catalogue.HasTerrains());
    AddRace(catalogue, 1, u"Reef Wardens"_s, Land::Coastland, MoveEffect::AsMissile);
    AddRace(catalogue, 2, u"Peak Folk"_s, Land::Highland, MoveEffect::Doubled);
    AddRace(catalogue, 3, u"Ätherlinge"_s, Land::Coastland, MoveEffect::None);
    AddRace(catalogue, 4, u"Mist Court"_s, Land::Feyland, MoveEffect::AsSave);
    AddRace(catalogue, 5, u"Wanderers"_s, Land::None, MoveEffect::Doubled);
    AddRace(catalogue, 6, u"Camp Guard"_s, Land::Reserves, MoveEffect::AsMissile);
    catalogue.MakeTerrains();
    ASSERT_TRUE(catalogue.HasTerrains());

    // Several races of one land appear in the order of the race list.
    const QString coastNotes = u"  Reef Wardens:  Maneuvers As Missile.  Ätherlinge:  Maneuvers None."_s;
    EXPECT_EQ(catalogue.MajorTerrain(0)->Description(),
              u"(recruit new units) Magic 14%, Missile 57%, Melee 29%."_s + coastNotes);
    EXPECT_EQ(catalogue.MajorTerrain(27)->Description(),
              u"(reroll one unit) Magic 29%, Missile 29%, Melee 43%."_s + coastNotes);
    EXPECT_EQ(catalogue.MajorTerrain(10)->Description(),
              u"(protection from death magic) Magic 43%, Missile 29%, Melee 29%.  Peak Folk:  Maneuvers Doubled."_s);
    EXPECT_EQ(catalogue.MajorTerrain(46)->Description(),
              u"(unbury one unit) Magic 57%, Missile 14%, Melee 29%.  Mist Court:  Maneuvers As Save."_s);
    EXPECT_EQ(catalogue.MajorTerrain(46)->LongText(), catalogue.MajorTerrain(46)->Description());

    // No race at home: no note, whatever races live elsewhere or nowhere.
    EXPECT_EQ(catalogue.MajorTerrain(4)->Description(), u"(recruit new units) Magic 14%, Missile 43%, Melee 43%."_s);
    EXPECT_EQ(catalogue.MajorTerrain(40)->Description(),
              u"(become City, Standing Stones, Temple, or Tower) Magic 29%, Missile 14%, Melee 57%."_s);
    EXPECT_EQ(catalogue.MajorTerrain(12)->Description(), u"(recruit new units) Magic 29%, Missile 29%, Melee 43%."_s);
    // Minor terrains never carry notes.
    EXPECT_EQ(catalogue.MinorTerrain(0)->Description(), u"biased toward double maneuvers"_s);

    // The notes are those of the race list when the terrains are made.
    AddRace(catalogue, 7, u"Dune Riders"_s, Land::Flatland, MoveEffect::AsSave);
    EXPECT_EQ(catalogue.MajorTerrain(4)->Description(), u"(recruit new units) Magic 14%, Missile 43%, Melee 43%."_s);
    catalogue.MakeTerrains();
    EXPECT_EQ(catalogue.MajorTerrain(4)->Description(),
              u"(recruit new units) Magic 14%, Missile 43%, Melee 43%.  Dune Riders:  Maneuvers As Save."_s);
}

TEST(Terrain, CatalogueMakesEveryTerrainInIndexOrder)
{
    TCatalogue catalogue;
    EXPECT_EQ(catalogue.MajorTerrain(0), nullptr);
    catalogue.MakeTerrains();
    for (int i = 0; i < TTerrain::kMajorCount; ++i) {
        ASSERT_NE(catalogue.MajorTerrain(i), nullptr) << i;
        EXPECT_EQ(catalogue.MajorTerrain(i)->Name, kMajorNames[i]);
        EXPECT_EQ(catalogue.MajorTerrain(i)->Index(), i);
    }
    for (int i = 0; i < TTerrain::kMinorCount; ++i) {
        ASSERT_NE(catalogue.MinorTerrain(i), nullptr) << i;
        EXPECT_EQ(catalogue.MinorTerrain(i)->Name, kMinorNames[i]);
        EXPECT_FALSE(catalogue.MinorTerrain(i)->Major());
    }
    EXPECT_EQ(catalogue.MajorTerrain(48), nullptr);
    EXPECT_EQ(catalogue.MajorTerrain(-1), nullptr);
    EXPECT_EQ(catalogue.MinorTerrain(24), nullptr);
    EXPECT_EQ(catalogue.MinorTerrain(-1), nullptr);

    // Making them again replaces them rather than adding more.
    catalogue.MakeTerrains();
    EXPECT_EQ(catalogue.MajorTerrain(48), nullptr);
    EXPECT_EQ(catalogue.MinorTerrain(24), nullptr);
}

TEST(Terrain, ListTexts)
{
    const TTerrain grove(true, 46, kNoRaces);
    const TInventoryData &major = grove;
    EXPECT_EQ(major.ListText(), u"Feyland Grove (Major)"_s);
    EXPECT_EQ(major.ShortText(), u"Feyland Grove"_s);
    EXPECT_EQ(major.GroupText(), u"Feyland"_s);
    EXPECT_EQ(major.KindText(), u"Grove"_s);
    EXPECT_EQ(major.SizeText(), u"T"_s);
    EXPECT_EQ(major.DefaultPrice(), 4);
    EXPECT_EQ(major.LongText(), u"(unbury one unit) Magic 57%, Missile 14%, Melee 29%."_s);
    EXPECT_FALSE(major.IsVirtual());

    const TTerrain village(false, 15, kNoRaces);
    const TInventoryData &minor = village;
    EXPECT_EQ(minor.ListText(), u"Swampland Village (Minor)"_s);
    EXPECT_EQ(minor.ShortText(), u"Swampland Village"_s);
    EXPECT_EQ(minor.GroupText(), u"Swampland"_s);
    EXPECT_EQ(minor.KindText(), u"Village"_s);
    EXPECT_EQ(minor.SizeText(), u"m"_s);
    EXPECT_EQ(minor.DefaultPrice(), 4);
    EXPECT_EQ(minor.LongText(), u"biased toward melee combat"_s);
    EXPECT_FALSE(minor.IsVirtual());

    EXPECT_EQ(TTerrain(true, 1, kNoRaces).KindText(), u"Standing Stones"_s);
    EXPECT_EQ(TTerrain(true, 1, kNoRaces).ListText(), u"Coastland Standing Stones (Major)"_s);
    EXPECT_EQ(TTerrain(true, 29, kNoRaces).KindText(), u"Dragon Lair"_s);
}
