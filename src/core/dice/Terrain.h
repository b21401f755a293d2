#pragma once

#include "dice/DiceData.h"

#include <memory>
#include <vector>

// What a face of a terrain die shows.
enum class TerrainFaceKind : quint8 { Own, Melee, Missile, Magic, DoubleMove, DoubleSave, Disaster };

template <>
struct TVocabulary<TerrainFaceKind>
{
    static constexpr std::array Names{u"*", u"Melee", u"Missile", u"Magic", u"2x Move", u"2x Save", u"Disaster"};
    static constexpr int Count = int(Names.size());
};

// A terrain die: one of the 48 major or 24 minor terrains of the game, made from its
// index and never edited.
class TTerrain : public TInventoryData
{
public:
    static constexpr int kMajorCount = 48;
    static constexpr int kMinorCount = 24;
    static constexpr int kFaceCount = 8;

    // The description of a major terrain ends with a note on every race at home in its
    // land, in the order of the race list given.
    TTerrain(bool major, int index, const std::vector<std::unique_ptr<TRace>> &races);

    QString LongText() const override;
    QString ShortText() const override;
    QString GroupText() const override;
    QString KindText() const override;
    QString SizeText() const override;
    qint32 DefaultPrice() const override;
    QString ListText() const override;

    bool Major() const { return FMajor; }
    int Index() const { return FIndex; }
    Land TerrainLand() const { return FLand; }
    const QString &FaceName() const { return FFaceName; }
    const QString &Description() const { return FDescription; }

    // Faces are numbered 1 to 8; any other number is a TDiceException.
    TerrainFaceKind FaceKind(int face) const;
    QString FaceText(int face) const;

private:
    bool FMajor;
    int FIndex;
    Land FLand;
    QString FFaceName;
    QString FDescription;
};
