#include "dice/Terrain.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using K = TerrainFaceKind;

// Each land takes four consecutive indices of the terrain tables, in this order.
constexpr std::array kTerrainLands{Land::Coastland, Land::Flatland, Land::Highland,
                                   Land::Swampland, Land::Wasteland, Land::Feyland};

struct TFaceType
{
    const char16_t *Name;
    const char16_t *Effect;
};

constexpr std::array<TFaceType, 4> kBasicMajorFaces{{
    {u"City", u"(recruit new units)"},
    {u"Standing Stones", u"(use terrain magic)"},
    {u"Temple", u"(protection from death magic)"},
    {u"Tower", u"(missile to any terrain)"},
}};

constexpr std::array<TFaceType, 4> kAdvancedMajorFaces{{
    {u"Castle", u"(become City, Standing Stones, Temple, or Tower)"},
    {u"Dragon Lair", u"(bring in a dragon)"},
    {u"Grove", u"(unbury one unit)"},
    {u"Vortex", u"(reroll one unit)"},
}};

constexpr std::array<TFaceType, 4> kMinorFaces{{
    {u"Bridge", u"biased toward double maneuvers"},
    {u"Forest", u"biased toward double saves"},
    {u"Knoll", u"biased toward missile combat"},
    {u"Village", u"biased toward melee combat"},
}};

// The disaster face of a minor terrain is named after its own face.
constexpr std::array kMinorDisasters{u"Flood", u"Lost", u"Landslide", u"Revolt"};

// How each land's faces split between magic, missile and melee.
constexpr std::array kBasicDistribution{
    u" Magic 14%, Missile 57%, Melee 29%.", // Coastland
    u" Magic 14%, Missile 43%, Melee 43%.", // Flatland
    u" Magic 43%, Missile 29%, Melee 29%.", // Highland
    u" Magic 29%, Missile 29%, Melee 43%.", // Swampland
    u" Magic 14%, Missile 29%, Melee 57%.", // Wasteland
    u" Magic 43%, Missile 14%, Melee 43%.", // Feyland
};
constexpr std::array kAdvancedDistribution{
    u" Magic 29%, Missile 14%, Melee 57%.", // Castle
    u" Magic 14%, Missile 14%, Melee 72%.", // Dragon Lair
    u" Magic 57%, Missile 14%, Melee 29%.", // Grove
    u" Magic 29%, Missile 29%, Melee 43%.", // Vortex
};

// Faces 1 to 7 of a major terrain, by land; face 8 is always the terrain's own.
constexpr std::array<std::array<K, 7>, 6> kMajorFaceKinds{{
    {K::Magic, K::Missile, K::Missile, K::Missile, K::Missile, K::Melee, K::Melee},   // Coastland
    {K::Magic, K::Missile, K::Missile, K::Missile, K::Melee, K::Melee, K::Melee},     // Flatland
    {K::Magic, K::Magic, K::Magic, K::Missile, K::Missile, K::Melee, K::Melee},       // Highland
    {K::Magic, K::Magic, K::Missile, K::Missile, K::Melee, K::Melee, K::Melee},       // Swampland
    {K::Magic, K::Missile, K::Missile, K::Melee, K::Melee, K::Melee, K::Melee},       // Wasteland
    {K::Magic, K::Magic, K::Magic, K::Missile, K::Melee, K::Melee, K::Melee},         // Feyland
}};

// Faces 1 to 6 of every minor terrain; face 7 depends on the terrain's face type.
constexpr std::array<K, 6> kMinorFaceKinds{K::Disaster, K::Magic, K::Missile, K::Melee, K::DoubleMove,
                                           K::DoubleSave};
constexpr std::array<K, 4> kMinorSeventhFace{K::DoubleMove, K::DoubleSave, K::Missile, K::Melee};

} // namespace

TTerrain::TTerrain(bool major, int index, const std::vector<std::unique_ptr<TRace>> &races)
    : TInventoryData(QString()), FMajor(major), FIndex(index)
{
    const int count = major ? kMajorCount : kMinorCount;
    if (index < 0 || index >= count)
        throw TDiceException(u"There is no %1 terrain %2."_s.arg(major ? u"major"_s : u"minor"_s, QString::number(index)));

    const bool advanced = major && index >= 24;
    const int landPosition = (advanced ? index - 24 : index) / 4;
    const int faceType = index % 4;
    FLand = kTerrainLands[size_t(landPosition)];

    const TFaceType &face = !major ? kMinorFaces[size_t(faceType)]
                            : advanced ? kAdvancedMajorFaces[size_t(faceType)]
                                       : kBasicMajorFaces[size_t(faceType)];
    FFaceName = QString::fromUtf16(face.Name);
    Name = NameOf(FLand) + u' ' + FFaceName;
    FDescription = QString::fromUtf16(face.Effect);
    if (!major)
        return;

    FDescription += QString::fromUtf16(advanced ? kAdvancedDistribution[size_t(faceType)]
                                                : kBasicDistribution[size_t(landPosition)]);
    for (const auto &race : races) {
        if (race->HomeTerrain == FLand)
            FDescription += u"  "_s + race->Name + u":  Maneuvers "_s + NameOf(race->MovesAtHome) + u'.';
    }
}

QString TTerrain::LongText() const
{
    return FDescription;
}

QString TTerrain::ShortText() const
{
    return Name;
}

QString TTerrain::GroupText() const
{
    return NameOf(FLand);
}

QString TTerrain::KindText() const
{
    return FFaceName;
}

QString TTerrain::SizeText() const
{
    return FMajor ? u"T"_s : u"m"_s;
}

qint32 TTerrain::DefaultPrice() const
{
    return 4;
}

QString TTerrain::ListText() const
{
    return Name + (FMajor ? u" (Major)"_s : u" (Minor)"_s);
}

TerrainFaceKind TTerrain::FaceKind(int face) const
{
    if (face < 1 || face > kFaceCount)
        throw TDiceException(u"\"%1\" has no face %2."_s.arg(Name, QString::number(face)));
    if (face == kFaceCount)
        return K::Own;
    if (FMajor) {
        const int landPosition = int(std::find(kTerrainLands.begin(), kTerrainLands.end(), FLand)
                                     - kTerrainLands.begin());
        return kMajorFaceKinds[size_t(landPosition)][size_t(face - 1)];
    }
    if (face == 7)
        return kMinorSeventhFace[size_t(FIndex % 4)];
    return kMinorFaceKinds[size_t(face - 1)];
}

QString TTerrain::FaceText(int face) const
{
    const TerrainFaceKind kind = FaceKind(face);
    const QString text = kind == K::Own ? FFaceName : NameOf(kind);
    if (FMajor)
        return QString::number(face) + u' ' + text;
    if (kind == K::Disaster)
        return QString::fromUtf16(kMinorDisasters[size_t(FIndex % 4)]);
    return text;
}
