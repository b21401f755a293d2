#pragma once

#include "dice/DiceData.h"
#include "dice/DiceIcons.h"
#include "dice/DieStatistics.h"
#include "dice/Terrain.h"

#include <memory>
#include <vector>

// Told about inventory counts as they change, so that the inventory window can redraw
// an item and warn when more copies are used than owned. The catalogue never beeps or
// writes a status line itself.
class TInventoryObserver
{
public:
    virtual ~TInventoryObserver() = default;
    // The inventory tree is built and the window has been activated once.
    virtual bool InventoryActive() const = 0;
    virtual void ItemChanged(TInventoryData &item) = 0;
    virtual void LimitExceeded(TInventoryData &item) = 0;
};

// The catalogue: every race with its dice, the counter that numbers new races, the
// face-symbol table, the 72 terrain items and the rules options. One object, passed by
// reference to whoever needs it.
class TCatalogue
{
public:
    TCatalogue();
    ~TCatalogue(); // races are freed from the front of the list
    TCatalogue(const TCatalogue &) = delete;
    TCatalogue &operator=(const TCatalogue &) = delete;

    TIconTable &Icons() { return FIcons; }
    const TIconTable &Icons() const { return FIcons; }
    const TIconDescriptor *GetIcon(qint32 id) const { return FIcons.GetIcon(id); }

    TRulesOptions Rules;

    // The race list, kept sorted by race type and then name.
    const std::vector<std::unique_ptr<TRace>> &Races() const { return FRaces; }
    int RaceCount() const { return int(FRaces.size()); }
    TRace *FindRaceByID(qint32 id) const;
    // Walks the races with a cursor kept by the caller (starting at 0).
    TRace *FirstRace(int &cursor) const;
    TRace *NextRace(int &cursor) const;
    TRace &AppendRace(std::unique_ptr<TRace> race);
    // Inserts the race where it sorts, after every race with an equal key.
    TRace &InsertRace(std::unique_ptr<TRace> race);
    // Takes the race out of the list without freeing it.
    std::unique_ptr<TRace> RemoveRace(const TRace *race);
    void ClearRaces();
    // A new race named "New Race" numbered by NextID(); not yet in the list.
    std::unique_ptr<TRace> CreateRace();

    // Answers the next race ID and counts on.
    // Never the ID of a race already here, whatever the stored counter says.
    qint32 NextID();
    qint32 PeekNextID() const { return FNextID; }
    void SetNextID(qint32 id) { FNextID = id; }

    // Race data changed since it was last written.
    bool RacesModified = false;
    // The race database could not be read whole: a save would write only the races read
    // before the damage, so the damaged file is kept beside it first.
    bool RacesIncomplete = false;

    // Recomputes the statistics of every die of every race.
    void RegenerateRaces();

    // The first die, in catalogue order, with a face showing the symbol; none when no
    // die uses it.
    const TDie *FindSymbolUser(qint32 symbol) const;
    // Symbol IDs are table positions and the icon file keeps only named symbols, so
    // deleted symbols are taken out of the table when it is written: every later symbol
    // moves down and the die faces showing them follow. Answers the number of faces
    // renumbered (the race database must then be written too). The icon viewer never
    // deletes a symbol a die shows; should a face still show one, it is left without a
    // symbol rather than pointing at whichever symbol moves into its place.
    struct TFaceChange
    {
        TDie *Die;
        int Face;
        qint32 OldSymbol;
    };
    int CompactSymbols(std::vector<TFaceChange> *changes = nullptr);

    // Makes the 48 major and 24 minor terrain items; their descriptions name the races
    // at home in each land as the race list stands now.
    void MakeTerrains();
    bool HasTerrains() const { return !FMajorTerrains.empty(); }
    TTerrain *MajorTerrain(int index) const;
    TTerrain *MinorTerrain(int index) const;

    void SetInventoryObserver(TInventoryObserver *observer) { FObserver = observer; }
    void AddUsed(TInventoryData &item, qint32 delta);
    void AddWaiting(TInventoryData &item, qint32 delta) { item.WaitingCount += delta; }
    void IncInPlay(TInventoryData &item, qint32 delta) { item.InPlayCount += delta; }
    // "n in inventory, n used, n in play." while the inventory is active, else empty.
    QString UsageText(const TInventoryData &item) const;

private:
    TIconTable FIcons;
    std::vector<std::unique_ptr<TRace>> FRaces;
    qint32 FNextID = 0;
    std::vector<std::unique_ptr<TTerrain>> FMajorTerrains;
    std::vector<std::unique_ptr<TTerrain>> FMinorTerrains;
    TInventoryObserver *FObserver = nullptr;
};

// Walks every die of every race in catalogue order.
class TDieTraversal
{
public:
    explicit TDieTraversal(const TCatalogue &catalogue) : FCatalogue(catalogue) {}
    TDie *First();
    TDie *Next();
    TRace *CurrentRace() const { return FRace; }
    TDie *CurrentDie() const { return FDie; }

private:
    TDie *Settle();

    const TCatalogue &FCatalogue;
    int FRaceCursor = 0;
    int FDieCursor = 0;
    TRace *FRace = nullptr;
    TDie *FDie = nullptr;
};
