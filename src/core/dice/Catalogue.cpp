#include "dice/Catalogue.h"

#include <cstdint>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

// A race sorts before another by race type, then by name compared unit by unit with
// case (so upper case first).
bool Precedes(const TRace &a, const TRace &b)
{
    if (a.Type != b.Type)
        return a.Type < b.Type;
    return QStringView(a.Name).compare(QStringView(b.Name), Qt::CaseSensitive) < 0;
}

} // namespace

TCatalogue::TCatalogue() = default;

TCatalogue::~TCatalogue()
{
    ClearRaces();
}

TRace *TCatalogue::FindRaceByID(qint32 id) const
{
    for (const auto &race : FRaces) {
        if (race->ID == id)
            return race.get();
    }
    return nullptr;
}

TRace *TCatalogue::FirstRace(int &cursor) const
{
    cursor = 0;
    return NextRace(cursor);
}

TRace *TCatalogue::NextRace(int &cursor) const
{
    if (cursor < 0 || cursor >= RaceCount())
        return nullptr;
    return FRaces[size_t(cursor++)].get();
}

TRace &TCatalogue::AppendRace(std::unique_ptr<TRace> race)
{
    FRaces.push_back(std::move(race));
    return *FRaces.back();
}

TRace &TCatalogue::InsertRace(std::unique_ptr<TRace> race)
{
    // From the end towards the front, so that a file that is already in order (the usual
    // case) costs one comparison per race and equal keys keep their file order.
    auto position = FRaces.size();
    while (position > 0 && Precedes(*race, *FRaces[position - 1]))
        --position;
    return **FRaces.insert(FRaces.begin() + qsizetype(position), std::move(race));
}

std::unique_ptr<TRace> TCatalogue::RemoveRace(const TRace *race)
{
    for (auto it = FRaces.begin(); it != FRaces.end(); ++it) {
        if (it->get() == race) {
            std::unique_ptr<TRace> taken = std::move(*it);
            FRaces.erase(it);
            return taken;
        }
    }
    return nullptr;
}

void TCatalogue::ClearRaces()
{
    // Freed from the front, as the list is emptied at shutdown.
    while (!FRaces.empty())
        FRaces.erase(FRaces.begin());
}

qint32 TCatalogue::NextID()
{
    while (FNextID < std::numeric_limits<qint32>::max() && FindRaceByID(FNextID))
        ++FNextID;
    if (FNextID == std::numeric_limits<qint32>::max())
        throw TDiceException(u"No race ID is left."_s);
    return FNextID++;
}

std::unique_ptr<TRace> TCatalogue::CreateRace()
{
    return std::make_unique<TRace>(*this, NextID());
}

void TCatalogue::RegenerateRaces()
{
    for (const auto &race : FRaces)
        race->Regenerate();
}

const TDie *TCatalogue::FindSymbolUser(qint32 symbol) const
{
    for (const auto &race : FRaces) {
        for (const auto &die : race->Dice()) {
            for (int face = 0; face < die->FaceCount(); ++face) {
                if (die->FaceSymbol(face) == symbol)
                    return die.get();
            }
        }
    }
    return nullptr;
}

int TCatalogue::CompactSymbols(std::vector<TFaceChange> *changes)
{
    // The new ID of every symbol, -1 for the deleted ones.
    std::vector<qint32> moved(size_t(FIcons.Count()), -1);
    TIconTable compacted;
    for (qint32 id = 0; id < FIcons.Count(); ++id) {
        const TIconDescriptor &icon = *FIcons.GetIcon(id);
        if (id < BasicIcon::Count) {
            moved[size_t(id)] = id;
            continue;
        }
        if (icon.Name.isEmpty())
            continue;
        moved[size_t(id)] = compacted.Add(icon);
    }
    int renumbered = 0;
    for (const auto &race : FRaces) {
        for (const auto &die : race->Dice()) {
            for (int face = 0; face < die->FaceCount(); ++face) {
                const qint32 symbol = die->FaceSymbol(face);
                // Faces showing no known symbol keep their number: the table never had it.
                if (symbol < 0 || symbol >= qint32(moved.size()) || moved[size_t(symbol)] == symbol)
                    continue;
                if (changes)
                    changes->push_back({die.get(), face, symbol});
                die->SetFace(face, moved[size_t(symbol)], die->FaceSymbolCount(face));
                ++renumbered;
            }
        }
    }
    FIcons = std::move(compacted);
    return renumbered;
}

void TCatalogue::MakeTerrains()
{
    FMajorTerrains.clear();
    FMinorTerrains.clear();
    for (int i = 0; i < TTerrain::kMajorCount; ++i)
        FMajorTerrains.push_back(std::make_unique<TTerrain>(true, i, FRaces));
    for (int i = 0; i < TTerrain::kMinorCount; ++i)
        FMinorTerrains.push_back(std::make_unique<TTerrain>(false, i, FRaces));
}

TTerrain *TCatalogue::MajorTerrain(int index) const
{
    if (index < 0 || index >= int(FMajorTerrains.size()))
        return nullptr;
    return FMajorTerrains[size_t(index)].get();
}

TTerrain *TCatalogue::MinorTerrain(int index) const
{
    if (index < 0 || index >= int(FMinorTerrains.size()))
        return nullptr;
    return FMinorTerrains[size_t(index)].get();
}

void TCatalogue::AddUsed(TInventoryData &item, qint32 delta)
{
    // Used counts are unsigned; giving back more than was taken stops at zero.
    const qint64 used = qint64(item.UsedCount) + delta;
    item.UsedCount = used < 0 ? 0 : used > qint64(UINT32_MAX) ? UINT32_MAX : quint32(used);
    if (!FObserver || !FObserver->InventoryActive())
        return;
    FObserver->ItemChanged(item);
    if (item.UsedCount > item.Count && !item.IsVirtual())
        FObserver->LimitExceeded(item);
}

QString TCatalogue::UsageText(const TInventoryData &item) const
{
    if (!FObserver || !FObserver->InventoryActive())
        return {};
    return u"%1 in inventory, %2 used, %3 in play."_s.arg(QString::number(item.Count),
                                                          QString::number(item.UsedCount),
                                                          QString::number(item.InPlayCount));
}

TDie *TDieTraversal::First()
{
    FRace = FCatalogue.FirstRace(FRaceCursor);
    FDie = FRace ? FRace->FirstDie(FDieCursor) : nullptr;
    return Settle();
}

TDie *TDieTraversal::Next()
{
    if (!FRace)
        return nullptr;
    FDie = FRace->NextDie(FDieCursor);
    return Settle();
}

TDie *TDieTraversal::Settle()
{
    // Move on past races without dice.
    while (!FDie && FRace) {
        FRace = FCatalogue.NextRace(FRaceCursor);
        FDie = FRace ? FRace->FirstDie(FDieCursor) : nullptr;
    }
    return FDie;
}
