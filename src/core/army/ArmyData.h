#pragma once

#include "dice/DiceTypes.h"

#include <QString>

#include <vector>

class TCatalogue;
class TDie;
class TTaggedReader;
class TTaggedWriter;

// What an army is for; the order is the stored value.
enum class ArmyType : quint8 { HomeArmy, CampaignArmy, HordeArmy, PromotionPool, SummoningPool };

template <>
struct TVocabulary<ArmyType>
{
    static constexpr std::array Names{u"Home Army", u"Campaign Army", u"Horde Army", u"Promotion Pool",
                                      u"Summoning Pool"};
    static constexpr int Count = int(Names.size());
};

// Home and campaign armies stand on a major terrain.
constexpr bool HasMajorTerrain(ArmyType type)
{
    return type == ArmyType::HomeArmy || type == ArmyType::CampaignArmy;
}

// The pools have no terrains at all.
constexpr bool HasMinorTerrains(ArmyType type)
{
    return type != ArmyType::PromotionPool && type != ArmyType::SummoningPool;
}

// An army: a named list of dice of the catalogue (a die may be in it several times), its
// type, terrains, battle size, notes and group. While an army is open its dice and
// terrains count as used in the inventory; Release gives them back.
class TArmy
{
public:
    static constexpr int kRecordVersion = 4;
    static constexpr int kNoMinorTerrain = 24;
    static constexpr int kMajorTerrainCount = 48;
    static constexpr quint32 kDefaultBattleSize = 36;

    // A new army: "New Army", a horde on no major terrain (index 2 kept), no minor
    // terrains, group "(none)", battle size 36. Its terrains count as used at once.
    explicit TArmy(TCatalogue &catalogue);
    ~TArmy(); // releases the used counts if that has not been done
    TArmy(const TArmy &) = delete;
    TArmy &operator=(const TArmy &) = delete;

    TCatalogue &Catalogue() const { return *FCatalogue; }

    const QString &Name() const { return FName; }
    void SetName(const QString &name);
    const QString &Notes() const { return FNotes; }
    void SetNotes(const QString &notes);
    ArmyType Type() const { return FType; }
    // A type that gains or loses its major terrain takes or gives back its use. A type
    // outside the five is a TDiceException.
    void SetArmyType(ArmyType type);
    int MajorTerrain() const { return FMajor; }
    // An index outside 0..47 (0..24 for a minor terrain) is a TDiceException.
    void SetMajorTerrain(int index);
    // Minor terrain k for k = 1..4; 24 ("not used") for any other k.
    int GetMinorTerrain(int k) const;
    void SetMinorTerrain(int k, int index);
    const QString &GroupName() const { return FGroup; }
    // The name alone; joining a group (adopting its battle size) is the caller's work.
    void SetGroupName(const QString &name);
    quint32 BattleSize() const { return FBattleSize; }
    void SetBattleSize(quint32 size);

    // The dice in list order.
    const std::vector<TDie *> &Dice() const { return FDice; }
    // Appends the die and counts it as used.
    void AddDie(TDie &die);
    // Takes out the first entry of the die; false when it is not in the army.
    bool RemoveDie(const TDie &die);
    // Takes out the entry at a position (0-based).
    void RemoveAt(int index);
    // Puts the entries in a new order (the same entries; others are a TDiceException).
    void Reorder(const std::vector<TDie *> &dice);
    TDie *FirstDie(int &cursor) const;
    TDie *NextDie(int &cursor) const;

    // Health of the dice that are not summoned, and of those that are. Summed afresh each
    // time: the editors may change a die's health or its race's type while it is here.
    qint32 Health() const;
    qint32 SummonedHealth() const;
    // "24/0".
    QString HealthText() const;
    // Dragonkin come when summoned.
    static bool IsSummoned(const TDie &die);

    // Unsaved changes; any change of dice, type, terrains, notes, group, battle size or
    // name sets it.
    bool Modified = false;
    // The analysis shown is that of the current dice; any change of the dice clears it.
    bool Analyzed = false;
    // The files the army was last read from or written to.
    QString FileName;
    QString GroupFileName;

    // Gives back every use the army counts (dice and terrains); the army stays as it is
    // but counts nothing until it is read again.
    void Release();

    // The army record of the army and group files. Reading replaces the army's contents
    // (an army just made) and answers how many dice of the file the catalogue does not
    // hold. The army is not modified afterwards.
    // Reading gives back none of the uses the army counts: read into an army just made
    // (which counts nothing) or one released. A damaged record leaves the army as it was.
    int ReadRecord(TTaggedReader &reader);
    void WriteRecord(TTaggedWriter &writer) const;

private:
    void Use(TDie &die, int delta);
    void UseMajor(int delta);
    void UseMinor(int index, int delta);
    void Changed();

    TCatalogue *FCatalogue;
    QString FName;
    std::vector<TDie *> FDice;
    QString FNotes;
    ArmyType FType = ArmyType::HordeArmy;
    int FMajor = 2;
    std::array<int, 4> FMinor{kNoMinorTerrain, kNoMinorTerrain, kNoMinorTerrain, kNoMinorTerrain};
    QString FGroup;
    quint32 FBattleSize = kDefaultBattleSize;
    bool FReleased = false;
};

// The names the army files and windows use for the terrains by index: major 0..47
// ("Coastland City" ... "Feyland Vortex") and minor 0..24 ("Coastland Bridge" ...
// "Feyland Village", "(not used)").
QString MajorTerrainName(int index);
QString MinorTerrainName(int index);
