#pragma once

// The game model: a game in progress with its players, its places (six fixed ones and a
// home per player), the armies and dice at each place, the spells and effects in force,
// the turn state and the event log. Everything that can carry a spell is a
// TSpellTarget: a place, a player's army at a place and a single die in play.
//
// Ownership: the game owns its players, places and game effects and its generator; a
// place owns its armies and the dragons standing outside them; an army owns its dice; a
// player owns the spells he cast. Spells and targets point at each other without owning:
// whichever goes first takes the links on both sides with it. Dice in play point at the
// catalogue's dice and terrains, never at copies.

#include "dice/DiceTypes.h"
#include "dice/Terrain.h"

#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class TArmy;
class TArmyInPlay;
class TCatalogue;
class TClock;
class TDie;
class TDieInPlay;
class TGame;
class TPlayer;
class TRace;
class TRandomizer;
class TSpell;
class TTerrain;

// How long a spell or effect lasts; the order is the stored value.
enum class SpellDuration : quint8 { StartOfNextTurn, EndOfNextTurn, EndOfThisAction, EndOfThisMarch, Permanent, Instant };

template <>
struct TVocabulary<SpellDuration>
{
    static constexpr std::array Names{u"Start of next turn", u"End of next turn", u"End of this action",
                                      u"End of this march",  u"Permanent",        u"Instant"};
    static constexpr int Count = int(Names.size());
};

inline constexpr int kSpellDurationCount = TVocabulary<SpellDuration>::Count;

// The indices of the six fixed places; the home of player p is place 5 + p.
namespace GamePlace {
inline constexpr int PromotionPool = 0;
inline constexpr int BurialVault = 1;
inline constexpr int SummoningPool = 2;
inline constexpr int DeadPool = 3;
inline constexpr int Reserves = 4;
inline constexpr int Frontier = 5;
inline constexpr int FixedCount = 6;
} // namespace GamePlace

// A line of an effect list: the spell's name, and the spell itself when the user may
// pick it for removal (spells with an owner; game effects carry none).
struct TEffectLine
{
    QString Text;
    TSpell *Spell = nullptr;

    friend bool operator==(const TEffectLine &, const TEffectLine &) = default;
};
using TEffectLines = std::vector<TEffectLine>;

// The lines of an open log window, kept equal to the game's log.
class TGameLogView
{
public:
    virtual ~TGameLogView() = default;
    virtual void ShowLines(const QStringList &lines) = 0;
    virtual void AddLine(const QString &line) = 0;
};

// The base of everything a spell can target. A target registers with its game when it
// is made (taking the game's next ID, or the ID a file gives it) and leaves the game's
// index and every spell that targets it when it is freed.
class TSpellTarget
{
public:
    TSpellTarget(const TSpellTarget &) = delete;
    TSpellTarget &operator=(const TSpellTarget &) = delete;
    virtual ~TSpellTarget();

    qint32 ID() const { return FID; }
    TGame &Game() const { return *FGame; }
    // The spells that target this object, in the order they were linked.
    const std::vector<TSpell *> &Effects() const { return FEffects; }

    // The object in a grid cell.
    virtual QString CellText() const;
    // One line per spell in force here; with a race given, spells bound to another race
    // are left out.
    virtual void ListEffects(TEffectLines &lines, const TRace *race = nullptr) const;
    virtual void Roll() = 0;
    virtual QString FullName() const;

protected:
    explicit TSpellTarget(TGame &game);
    // A target read from a file keeps the ID it was saved with.
    TSpellTarget(TGame &game, qint32 id);

private:
    friend class TSpell;
    friend class TGame;

    TGame *FGame;
    qint32 FID = -1;
    std::vector<TSpell *> FEffects;
};

// A place: one of the six fixed places or a player's home. A place with index 5 or more
// is a terrain (a battlefield) and may have a major terrain die standing on it.
class TTerrainInPlay final : public TSpellTarget
{
public:
    static constexpr int kOwnedFace = 8;

    TTerrainInPlay(TGame &game, int index);
    TTerrainInPlay(TGame &game, int index, qint32 id);
    ~TTerrainInPlay() override;

    QString CellText() const override;
    // Logs "Rolling all armies at <place>." and rolls every army here with health, in
    // player order.
    void Roll() override;
    QString FullName() const override;

    int Index() const { return FIndex; }
    bool IsTerrain() const { return FIndex >= GamePlace::Frontier; }
    const TTerrain *TerrainDie() const { return FTerrainDie; }
    bool HasTerrainDie() const { return FTerrainDie != nullptr; }
    int Face() const { return FFace; }
    // The kind of the face showing; none without a terrain die.
    std::optional<TerrainFaceKind> FaceKind() const;
    // "(none)" without a terrain die.
    QString FaceText() const;

    // Player p's army here; none outside 1..player count.
    TArmyInPlay *Army(int player) const;
    bool ArmyEmpty(int player) const;
    // Every other player's army here is empty.
    bool Unopposed(int player) const;

    int DragonCount() const { return int(FDragons.size()); }
    // 0-based; none outside the list.
    TDieInPlay *Dragon(int position) const;
    const std::vector<std::unique_ptr<TDieInPlay>> &Dragons() const { return FDragons; }
    void AddDragon(std::unique_ptr<TDieInPlay> dragon);
    std::unique_ptr<TDieInPlay> TakeDragon(const TDieInPlay &dragon);

    // Stored as given, without a log line (a file read, the utility command that sets a
    // face).
    void PutTerrainDie(const TTerrain *terrain) { FTerrainDie = terrain; }
    void PutFace(int face) { FFace = face; }

    // The terrain die becomes the major terrain of that index; logged.
    void SetTerrainDie(int terrainIndex);
    // Rolls until the face is not 8; a 7 counts as 6, so the result is 1 to 6 with 6
    // twice as likely as each other face. Logged.
    void RollTerrain();
    // One face up (below 8) or down (above 1), logged. Turning down to 7 ends every
    // army's hold on the terrain.
    void MoveUp();
    void MoveDown();

    // The place's armies are made with it (new places) or by the file reader.
    void AddArmy(std::unique_ptr<TArmyInPlay> army);
    const std::vector<std::unique_ptr<TArmyInPlay>> &Armies() const { return FArmies; }

private:
    int FIndex;
    const TTerrain *FTerrainDie = nullptr;
    int FFace = kOwnedFace;
    std::vector<std::unique_ptr<TDieInPlay>> FDragons;
    std::vector<std::unique_ptr<TArmyInPlay>> FArmies; // player p at p - 1
};

// One player's dice at one place.
class TArmyInPlay final : public TSpellTarget
{
public:
    static constexpr int kStartFace = 8;

    TArmyInPlay(TTerrainInPlay &place, int player);
    TArmyInPlay(TTerrainInPlay &place, int player, qint32 id);
    ~TArmyInPlay() override;

    // "<player>'s Army".
    QString CellText() const override;
    // Its own spells, then what the terrain gives it (ownership or the minor terrain's
    // face), then the place's spells.
    void ListEffects(TEffectLines &lines, const TRace *race = nullptr) const override;
    // Logs "Rolling <army>." and rolls each die in order.
    void Roll() override;
    // "<player>'s Army at <place>".
    QString FullName() const override;

    int PlaceIndex() const;
    TTerrainInPlay &Place() const { return *FPlace; }
    int Player() const { return FPlayer; }
    TPlayer &Owner() const;

    const TTerrain *MinorTerrain() const { return FMinorTerrain; }
    int MinorTerrainFace() const { return FMinorFace; }
    // "(none)" without a minor terrain in play.
    QString MinorTerrainName() const;
    QString MinorTerrainFaceText() const;
    bool HasDisasterShowing() const;
    void PutMinorTerrain(const TTerrain *terrain) { FMinorTerrain = terrain; }
    void PutMinorTerrainFace(int face) { FMinorFace = face; }

    bool OwnsTerrain = false;

    // The army takes the terrain: logged "> <army> OWNS <PLACE>!"; every other army at
    // the place loses its hold, and a minor terrain in play is buried.
    void ClaimTerrain();
    // The minor terrain of that index goes into play and is rolled at once; logged.
    void PutMinorTerrainInPlay(int minorIndex);
    void RollMinorTerrain();
    void BuryMinorTerrain();
    // The dice of an army document join this army (dragons only in the Summoning Pool),
    // a home army sets the place's terrain die, and the minor terrains of a home,
    // campaign or horde army go to the player's free slots. Logged.
    void Import(const TArmy &army, const QString &caption);
    // Rolls each die for maneuvers, rerolling while it shows a reroll of maneuvers, and
    // logs and answers the total.
    int CountManeuvers();

    // Summed afresh: the editors may change a die's health while it is in play.
    qint32 Health() const;
    int DieCount() const { return int(FDice.size()); }
    // 0-based; none outside the list.
    TDieInPlay *Die(int position) const;
    bool Empty() const { return FDice.empty(); }
    const std::vector<std::unique_ptr<TDieInPlay>> &Dice() const { return FDice; }
    void AddDie(std::unique_ptr<TDieInPlay> die);
    std::unique_ptr<TDieInPlay> TakeDie(const TDieInPlay &die);
    // Frees every die.
    void Erase();

private:
    TTerrainInPlay *FPlace;
    int FPlayer;
    const TTerrain *FMinorTerrain = nullptr;
    int FMinorFace = kStartFace;
    std::vector<std::unique_ptr<TDieInPlay>> FDice;
};

// One die of the catalogue on the board.
class TDieInPlay final : public TSpellTarget
{
public:
    static constexpr int kDragonHealth = 5;

    TDieInPlay(TGame &game, int player, TDie &die);
    TDieInPlay(TGame &game, int player, TDie &die, qint32 id);
    ~TDieInPlay() override;

    // Race name, "<die> (<health>)" and the showing face's text, on three lines.
    QString CellText() const override;
    // Its own spells for its race, then those of the army holding it.
    void ListEffects(TEffectLines &lines, const TRace *race = nullptr) const override;
    // Rolls the die with the game's generator and logs the symbol shown.
    void Roll() override;
    // The reference text, then " in <army>" or " at <place>".
    QString FullName() const override;

    // "<race> <die>[<ID>]": how log lines name a die.
    QString ReferenceText() const;

    // The catalogue's die: armies that take dice from the board count them as used.
    TDie &Die() const { return *FDie; }
    int Player() const { return FPlayer; }
    int PlaceIndex() const { return FPlaceIndex; }
    void SetPlaceIndex(int index) { FPlaceIndex = index; }
    // 0-based index of the showing face.
    int Face() const { return FFace; }
    void SetFace(int face) { FFace = face; }
    // The face shown, when the die has it: the catalogue may have taken faces away from
    // the die since the game was saved.
    bool HasShowingFace() const;
    // The symbol of the showing face; none without one.
    qint32 ShowingSymbol() const;
    QString FaceText() const;

    bool IsDragon() const;
    qint32 Health() const;

    // The army holding the die, none for a dragon in a place's dragon list; the place
    // holding it either way (none before it is put anywhere).
    TArmyInPlay *ContainingArmy() const { return FArmy; }
    TTerrainInPlay *ContainingPlace() const { return FPlace; }

private:
    friend class TArmyInPlay;
    friend class TTerrainInPlay;

    TDie *FDie;
    int FPlayer;
    int FPlaceIndex = -1;
    int FFace = 1;
    TArmyInPlay *FArmy = nullptr;
    TTerrainInPlay *FPlace = nullptr;
};

// A spell or lasting effect as the user described it. Spells of a player are owned by
// his list for their duration; game effects (no owner) by the game.
class TSpell
{
public:
    TSpell(TGame &game, TPlayer *owner, QString name, SpellDuration duration, qint32 round, qint32 casterRace);
    ~TSpell(); // unlinks every target
    TSpell(const TSpell &) = delete;
    TSpell &operator=(const TSpell &) = delete;

    TGame &Game() const { return *FGame; }
    TPlayer *Owner() const { return FOwner; }
    const QString &Name() const { return FName; }
    SpellDuration Duration() const { return FDuration; }
    qint32 Round() const { return FRound; }
    // The race whose dice alone the effect applies to; -1 for all.
    qint32 CasterRace() const { return FCasterRace; }
    // Listed for a die of this race (or when no race is asked about).
    bool AppliesTo(const TRace *race) const;

    const std::vector<TSpellTarget *> &Targets() const { return FTargets; }
    // Links both ways.
    void AddTarget(TSpellTarget &target);
    // Takes away every link between the two.
    void RemoveTarget(TSpellTarget &target);

private:
    TGame *FGame;
    TPlayer *FOwner;
    QString FName;
    SpellDuration FDuration;
    qint32 FRound;
    qint32 FCasterRace;
    std::vector<TSpellTarget *> FTargets;
};

class TPlayer
{
public:
    static constexpr int kMinorSlots = 4;
    static constexpr int kNoMinorTerrain = 24;

    TPlayer(TGame &game, int number);
    ~TPlayer();
    TPlayer(const TPlayer &) = delete;
    TPlayer &operator=(const TPlayer &) = delete;

    TGame &Game() const { return *FGame; }
    int Number() const { return FNumber; }
    QString Name;
    QString Email;

    // The minor terrain held in slot 0..3, not yet in play; none for an empty slot or a
    // slot outside 0..3.
    const TTerrain *MinorTerrain(int slot) const;
    int MinorTerrainIndex(int slot) const;
    // None empties the slot; a slot outside 0..3 is ignored.
    void SetMinorTerrain(int slot, const TTerrain *terrain);
    void SetMinorTerrainIndex(int slot, int index);
    // The first empty slot, or -1.
    int FreeMinorSlot() const;
    // The minor terrain of the slot (when it holds one) goes into play for the army and
    // leaves the slot.
    void PlayMinorTerrain(int slot, TArmyInPlay &army);

    // A new spell of this player with the round it records: the game's round, one less
    // for a spell lasting to the end of the next turn cast in another player's turn.
    TSpell &AddSpell(const QString &name, SpellDuration duration);
    // A spell as a file holds it.
    TSpell &AddLoadedSpell(const QString &name, SpellDuration duration, qint32 round, qint32 casterRace);
    const std::vector<std::unique_ptr<TSpell>> &Spells(SpellDuration duration) const
    {
        return FSpells[size_t(duration)];
    }
    // Frees the spell (one of this player's).
    void DestroySpell(const TSpell &spell);
    // Every spell of the duration expires, except a spell lasting to the end of the next
    // turn whose round has not yet passed. Logs a header once before the first one and
    // "<name> expired." for each.
    void ExpireSpells(SpellDuration duration);

private:
    TGame *FGame;
    int FNumber;
    std::array<int, kMinorSlots> FMinor{kNoMinorTerrain, kNoMinorTerrain, kNoMinorTerrain, kNoMinorTerrain};
    std::array<std::vector<std::unique_ptr<TSpell>>, kSpellDurationCount> FSpells;
};

class TGame
{
public:
    static constexpr int kMaxPlayers = 10;
    static constexpr int kIndexBuckets = 256;
    static constexpr int kLastPhase = 3;

    // A new game: players "Player 1".. in turn order 1..count, the six fixed places and
    // a home per player, each with an empty army per player, round 0, uncontrolled. The
    // generator is seeded from the clock. A count outside 1..10 is a TKrException.
    TGame(TCatalogue &catalogue, const TClock &clock, int playerCount, const QString &name);
    ~TGame();
    TGame(const TGame &) = delete;
    TGame &operator=(const TGame &) = delete;

    TCatalogue &Catalogue() const { return *FCatalogue; }
    TRandomizer &Randomizer() const { return *FRandomizer; }

    // Players

    int PlayerCount() const { return int(FPlayers.size()); }
    // None outside 1..count.
    TPlayer *Player(int number) const;
    TPlayer &CurrentPlayer() const { return *FPlayers[size_t(CurrentPlayerNumber() - 1)]; }
    int CurrentPlayerNumber() const { return FTurnOrder[size_t(FTurnPosition - 1)]; }
    // The player number at turn position 1..count.
    int TurnOrder(int position) const { return FTurnOrder[size_t(position - 1)]; }
    int TurnPosition() const { return FTurnPosition; }
    int PositionOf(const TPlayer &player) const;
    // Position 0 counts as 1 and one past the count as the count; the players between
    // the old and the new position shift by one.
    void SetPosition(const TPlayer &player, int position);
    bool IsLastInOrder() const { return FTurnPosition == PlayerCount(); }
    std::vector<TPlayer *> ListPlayers() const;

    // Places

    int PlaceCount() const { return PlayerCount() + GamePlace::FixedCount; }
    // 0..5 the fixed places, 6.. the homes; none outside.
    TTerrainInPlay *Place(int index) const;
    TTerrainInPlay &FixedPlace(int index) const { return *FPlaces[size_t(index)]; }
    TTerrainInPlay &Home(int player) const { return *FPlaces[size_t(GamePlace::Frontier + player)]; }
    // In index order; with terrainsOnly, the places from the Frontier on.
    std::vector<TTerrainInPlay *> ListPlaces(bool terrainsOnly) const;
    // Some army or dragon list on the board holds the catalogue's die: the editors must
    // not take it away while the game is open.
    bool HoldsDie(const TDie &die) const;

    // Turn state

    qint32 Round() const { return FRound; }
    int Phase() const { return FPhase; }
    int Step() const { return FStep; }
    QString PhaseName() const;
    static QString PhaseName(int phase, int step);

    // The moves of the turn; each expires the spells that end with it and marks the
    // game modified.
    // To the action step of a march, else to the next phase.
    void AdvanceStep();
    // To the next phase, or from the reserves phase to the next player's turn.
    void AdvancePhase();
    // The turn passes to the next player in the order; after the last a round begins.
    void EndTurn();
    // Ends the current action: its spells expire.
    void ResetPhase();
    // Adds the race effects of every terrain and starts round 1 with the first player.
    void Start();
    // The current player can march: some place other than this turn's march holds an
    // army of his (but in the first phase of the first round of a staggered start only
    // the last player in the order marches).
    bool MarchPossible() const;
    void ExpireForAll(SpellDuration duration);

    // Moves a die of an army or a dragon of a dragon list to the target place, as
    // dragging it there does: a dragon stands outside the armies at a place with a
    // terrain die. An army left empty abandons its place. Logged. A die already where
    // the move would put it stays where it is, without a line: the answer is whether the
    // die moved.
    bool MoveDie(TDieInPlay &die, TTerrainInPlay &target);

    // The log

    // Every event of the game is a line of its log, which is saved with it: a new line
    // marks the game modified.
    const QStringList &Log() const { return FLog; }
    void LogLine(const QString &text);
    void ClearLog();
    // The view is filled with the log and follows it until it is detached.
    void AttachLogView(TGameLogView *view);
    void DetachLogView() { FLogView = nullptr; }

    // Name, march, sharing and control

    const QString &Name() const { return FName; }
    void SetName(const QString &name);
    TTerrainInPlay *MarchTerrain() const { return FMarchTerrain; }
    void SetMarchTerrain(TTerrainInPlay *place);
    const QString &FtpName() const { return FFtpName; }
    void SetFtpName(const QString &name);
    // None when uncontrolled.
    TPlayer *Controller() const;
    qint32 ControllerNumber() const { return FController; }
    // Logs "<name> now has control." or "Game is now uncontrolled.".
    void SetController(TPlayer *player);
    // Whether the user (by his e-mail address) may change the game: always for an
    // uncontrolled game, else exactly when the controller's address is his.
    bool HasControl(const QString &userEmail) const;

    bool FtpGame = false;
    bool StaggeredStart = false;
    bool Utility = false;

    bool Modified() const { return FModified; }
    void MarkModified() { FModified = true; }
    void ClearModified() { FModified = false; }

    // Spells that belong to no player

    const std::vector<std::unique_ptr<TSpell>> &GameEffects() const { return FGameEffects; }
    // A permanent effect bound to the race's dice, targeting the place.
    TSpell &AddGameEffect(const QString &name, const TRace &race, TTerrainInPlay &place);
    TSpell &AddLoadedGameEffect(const QString &name, SpellDuration duration, qint32 round, qint32 casterRace);
    // Frees a spell of a player or a game effect.
    void DestroySpell(const TSpell &spell);

    // The target index

    TSpellTarget *FindTarget(qint32 id) const;
    // The next target ID, then counted on; an ID some target already has is passed over,
    // whatever a damaged file gave as the next ID.
    qint32 TakeTargetID();
    qint32 NextTargetID() const { return FNextTargetID; }
    qint32 TargetCount() const { return FTargetCount; }

private:
    friend class TSpellTarget;
    friend class TGameBuilder;

    // An empty game for the file reader, which makes the places itself.
    TGame(TCatalogue &catalogue, const TClock &clock);
    void Register(TSpellTarget &target, qint32 id);
    void Unregister(TSpellTarget &target);
    void MakePlayers(int count);

    TCatalogue *FCatalogue;
    std::unique_ptr<TRandomizer> FRandomizer;
    std::vector<std::unique_ptr<TPlayer>> FPlayers;
    std::array<int, kMaxPlayers> FTurnOrder{};
    std::vector<std::unique_ptr<TTerrainInPlay>> FPlaces;
    std::array<std::vector<TSpellTarget *>, kIndexBuckets> FIndex;
    qint32 FNextTargetID = 0;
    qint32 FTargetCount = 0;
    QString FName;
    qint32 FRound = 0;
    int FTurnPosition = 1;
    int FPhase = 0;
    int FStep = 0;
    QStringList FLog;
    TGameLogView *FLogView = nullptr;
    std::vector<std::unique_ptr<TSpell>> FGameEffects;
    TTerrainInPlay *FMarchTerrain = nullptr;
    QString FFtpName;
    qint32 FController = -1;
    bool FModified = false;
    // Loading registers targets under the IDs read, which is no change of the game.
    bool FLoading = false;
};
