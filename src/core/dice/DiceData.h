#pragma once

#include "KrException.h"
#include "dice/DiceTypes.h"

#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class TCatalogue;
class TInventoryNode;
class TRace;
struct TDieStats;

// The failures of the dice model.
class TDiceException : public TKrException
{
public:
    using TKrException::TKrException;
};

// The base of every catalogue item (race, die, terrain) and of the group nodes of the
// inventory tree. Besides its name it carries the item's inventory record.
class TInventoryData
{
public:
    static constexpr qint32 kStartPrice = 2;

    explicit TInventoryData(QString name);
    virtual ~TInventoryData();
    TInventoryData(const TInventoryData &) = delete;
    TInventoryData &operator=(const TInventoryData &) = delete;

    // The eight operations every kind of item answers, in their fixed order.
    virtual QString LongText() const;
    virtual QString ShortText() const;
    virtual QString GroupText() const;
    virtual QString KindText() const;
    virtual QString SizeText() const;
    virtual qint32 DefaultPrice() const;
    virtual QString ListText() const;
    virtual bool IsVirtual() const;

    qint32 Price() const { return FPrice; }
    void SetPrice(qint32 price) { FPrice = price; }
    // A price typed by the user: a whole decimal number above 0, or nothing.
    static std::optional<qint32> ParsePrice(const QString &text);

    QString Name;

    // Stored in the inventory file.
    quint32 Count = 0;
    bool Locked = false;
    bool Trading = false;
    QString Drawer;
    qint32 Modifier = 0;

    // Kept up by armies and trades while the program runs; never stored.
    quint32 UsedCount = 0;
    qint32 WaitingCount = 0;
    qint32 InPlayCount = 0;

    // Kept by the inventory window: the count in the trade being edited (positive:
    // coming in), the points of the owned copies, the tree's state class and whether more
    // copies are used than owned, and the item's node in the tree. Diff is the alert
    // report's surplus.
    qint32 TradeCount = 0;
    qint64 TotalPoints = 0;
    quint8 NodeState = 0;
    bool Overcommitted = false;
    TInventoryNode *TreeNode = nullptr;
    qint32 Diff = 0;

private:
    qint32 FPrice = kStartPrice;
};

// One die of a race: up to 13 faces, each a number of copies of one face symbol.
class TDie : public TInventoryData
{
public:
    static constexpr int kMaxFaces = 13;
    static constexpr qint32 kNoID = -1;

    // A new die: face 0 the "ID" symbol, faces 1 to 5 the "Move" symbol.
    explicit TDie(TRace &race, QString name = QStringLiteral("New Unit"));
    // A copy of another die for the given race, without an ID.
    TDie(const TDie &source, TRace &race);
    ~TDie() override;

    QString LongText() const override;
    QString ShortText() const override;
    QString GroupText() const override;
    QString KindText() const override;
    QString SizeText() const override;
    qint32 DefaultPrice() const override;
    QString ListText() const override;

    TRace &Race() const { return *FRace; }

    qint32 ID() const { return FID; }
    // Only a die without an ID gets one.
    void AssignID(qint32 id);

    int Health() const { return FHealth; }
    void SetHealth(int health); // kept in a byte, as the file keeps it
    Profession GetProfession() const { return FProfession; }
    void SetProfession(Profession profession);
    bool UltraRare = false;

    int FaceCount() const { return FFaceCount; }
    // Growing adds "Save" faces of count 1; shrinking keeps the first faces.
    void SetFaceCount(int count);
    qint32 FaceSymbol(int face) const;
    int FaceSymbolCount(int face) const;
    void SetFace(int face, qint32 symbol, int count); // count kept in 16 bits
    QString FaceText(int face) const;

    // The statistics, computed first when they are not valid.
    bool StatisticsValid() const { return FStatsValid; }
    void InvalidateStatistics() { FStatsValid = false; }
    const TDieStats &Statistics() const;
    double Sum(ResultType result, Land land) const;
    double SumSq(ResultType result, Land land) const;
    // The fraction of faces showing an effect: "Spell Resist" and "Cantrip" to "Surprise".
    double Fraction(EffectFlag flag) const;
    bool MagicUser() const;
    double Mean(ResultType result, Land land, bool perHealth) const;
    double Spread(ResultType result, Land land, bool perHealth) const;
    // Mean and spread as "%4.2f/%4.2f".
    QString ResultText(ResultType result, Land land, bool perHealth) const;

private:
    void CheckFace(int face) const
    {
        if (face < 0 || face >= FFaceCount)
            FaceIndexError(face);
    }
    [[noreturn]] void FaceIndexError(int face) const;

    TRace *FRace;
    qint32 FID = kNoID;
    quint8 FHealth = 1;
    Profession FProfession = Profession::Cavalry;
    int FFaceCount = 6;
    std::array<qint32, kMaxFaces> FSymbols{};
    std::array<quint16, kMaxFaces> FCounts{};
    mutable bool FStatsValid = false;
    mutable std::unique_ptr<TDieStats> FStats;
};

// A race of the catalogue. It owns its dice.
class TRace : public TInventoryData
{
public:
    TRace(TCatalogue &catalogue, qint32 id, QString name = QStringLiteral("New Race"));
    ~TRace() override; // frees the dice from the last to the first

    TCatalogue &Catalogue() const { return *FCatalogue; }

    qint32 ID;
    TColorSet Colors;
    Land HomeTerrain = Land::None;
    MoveEffect MovesAtHome = MoveEffect::None;
    bool CanDoubleMagic = true;
    bool TerrainMagic = false;
    TResultSet ReserveAbilities{ResultType::BlackMagic, ResultType::BlueMagic, ResultType::GoldMagic,
                                ResultType::GreenMagic, ResultType::RedMagic, ResultType::SaveMissile,
                                ResultType::SaveMelee};
    bool Armored = false;
    qint32 NextDieID = 0;
    RaceType Type = RaceType::NormalUnits;
    bool Intangible = false;

    // Appends the die and gives it the race's next die ID; answers its 1-based position.
    int AddDie(std::unique_ptr<TDie> die);
    // Appends a die that keeps the ID it already has (the race database reader).
    void AppendDie(std::unique_ptr<TDie> die);
    // Takes the die out of the race and frees it.
    void RemoveDie(const TDie *die);
    int DieCount() const { return int(FDice.size()); }
    // By 1-based position; nothing outside 1..DieCount().
    TDie *Die(int position) const;
    TDie *DieByID(qint32 id) const;
    // Walks the dice with a cursor kept by the caller.
    TDie *FirstDie(int &cursor) const;
    TDie *NextDie(int &cursor) const;
    const std::vector<std::unique_ptr<TDie>> &Dice() const { return FDice; }
    // Puts the dice in the given order, which must hold each of the race's dice once.
    void ReorderDice(const std::vector<TDie *> &order);
    // Recomputes the statistics of every die, in list order.
    void Regenerate();

    // Scratch counts of the race breakdown report, by health 1 to 10.
    void ResetBreakdown();
    void CountBreakdown(int health);
    int BreakdownCount(int health) const;
    int BreakdownTotal() const { return FBreakdownTotal; }

private:
    TCatalogue *FCatalogue;
    std::vector<std::unique_ptr<TDie>> FDice;
    std::array<int, 10> FBreakdown{};
    int FBreakdownTotal = 0;
};
