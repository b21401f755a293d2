#include "game/GameData.h"

#include "dice/Catalogue.h"
#include "random/Randomizer.h"

#include <algorithm>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

constexpr std::array kPhaseNames{u"Start",      u"Start",    u"Maneuver 1", u"Action 1",
                                 u"Maneuver 2", u"Action 2", u"Reinforce",  u"Retreat"};

template <typename T>
void RemoveAll(std::vector<T *> &list, const T *item)
{
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

// ---------------------------------------------------------------------------------
// TSpell

TSpell::TSpell(TGame &game, TPlayer *owner, QString name, SpellDuration duration, qint32 round, qint32 casterRace)
    : FGame(&game), FOwner(owner), FName(std::move(name)), FDuration(duration), FRound(round), FCasterRace(casterRace)
{
}

TSpell::~TSpell()
{
    for (TSpellTarget *target : FTargets)
        RemoveAll(target->FEffects, this);
}

bool TSpell::AppliesTo(const TRace *race) const
{
    return !race || FCasterRace == -1 || FCasterRace == race->ID;
}

void TSpell::AddTarget(TSpellTarget &target)
{
    FTargets.push_back(&target);
    target.FEffects.push_back(this);
}

void TSpell::RemoveTarget(TSpellTarget &target)
{
    RemoveAll(FTargets, &target);
    RemoveAll(target.FEffects, this);
}

// ---------------------------------------------------------------------------------
// TPlayer

TPlayer::TPlayer(TGame &game, int number) : Name(u"Player "_s + QString::number(number)), FGame(&game), FNumber(number)
{
}

TPlayer::~TPlayer() = default;

const TTerrain *TPlayer::MinorTerrain(int slot) const
{
    const int index = MinorTerrainIndex(slot);
    return index == kNoMinorTerrain ? nullptr : FGame->Catalogue().MinorTerrain(index);
}

int TPlayer::MinorTerrainIndex(int slot) const
{
    if (slot < 0 || slot >= kMinorSlots)
        return kNoMinorTerrain;
    return FMinor[size_t(slot)];
}

void TPlayer::SetMinorTerrain(int slot, const TTerrain *terrain)
{
    SetMinorTerrainIndex(slot, terrain ? terrain->Index() : kNoMinorTerrain);
}

void TPlayer::SetMinorTerrainIndex(int slot, int index)
{
    if (slot < 0 || slot >= kMinorSlots)
        return;
    FMinor[size_t(slot)] = index >= 0 && index < TTerrain::kMinorCount ? index : kNoMinorTerrain;
}

int TPlayer::FreeMinorSlot() const
{
    const auto free = std::find(FMinor.begin(), FMinor.end(), kNoMinorTerrain);
    return free == FMinor.end() ? -1 : int(free - FMinor.begin());
}

TSpell &TPlayer::AddSpell(const QString &name, SpellDuration duration)
{
    qint32 round = FGame->Round();
    // With the rule that such a spell expires once the round has passed the one it
    // records, it lasts to the end of its owner's next own turn, whoever's turn it is.
    if (duration == SpellDuration::EndOfNextTurn && FGame->CurrentPlayerNumber() != FNumber)
        round -= 1;
    return AddLoadedSpell(name, duration, round, -1);
}

TSpell &TPlayer::AddLoadedSpell(const QString &name, SpellDuration duration, qint32 round, qint32 casterRace)
{
    auto &list = FSpells[size_t(duration)];
    list.push_back(std::make_unique<TSpell>(*FGame, this, name, duration, round, casterRace));
    return *list.back();
}

void TPlayer::DestroySpell(const TSpell &spell)
{
    auto &list = FSpells[size_t(spell.Duration())];
    const auto found = std::find_if(list.begin(), list.end(), [&](const auto &s) { return s.get() == &spell; });
    if (found != list.end())
        list.erase(found);
}

void TPlayer::ExpireSpells(SpellDuration duration)
{
    auto &list = FSpells[size_t(duration)];
    bool announced = false;
    for (size_t i = 0; i < list.size();) {
        const TSpell &spell = *list[i];
        if (duration == SpellDuration::EndOfNextTurn && spell.Round() >= FGame->Round()) {
            ++i;
            continue;
        }
        if (!announced) {
            FGame->LogLine(u"Expiring spells and effects for "_s + Name + u'.');
            announced = true;
        }
        FGame->LogLine(spell.Name() + u" expired."_s);
        list.erase(list.begin() + qsizetype(i));
    }
}

// ---------------------------------------------------------------------------------
// TGame

TGame::TGame(TCatalogue &catalogue, const TClock &clock)
    : FCatalogue(&catalogue), FRandomizer(std::make_unique<TRandomizer>(clock))
{
}

TGame::TGame(TCatalogue &catalogue, const TClock &clock, int playerCount, const QString &name) : TGame(catalogue, clock)
{
    if (playerCount < 1 || playerCount > kMaxPlayers)
        throw TKrException(u"A game has 1 to %1 players, not %2."_s.arg(kMaxPlayers).arg(playerCount));
    FName = name;
    MakePlayers(playerCount);
    for (int index = 0; index < PlaceCount(); ++index) {
        auto place = std::make_unique<TTerrainInPlay>(*this, index);
        for (int p = 1; p <= playerCount; ++p)
            place->AddArmy(std::make_unique<TArmyInPlay>(*place, p));
        FPlaces.push_back(std::move(place));
    }
    FModified = false;
}

TGame::~TGame()
{
    FLogView = nullptr;
    // Spells first, so that the targets going after them have no links left to undo.
    FGameEffects.clear();
    for (const auto &player : FPlayers) {
        for (int d = 0; d < kSpellDurationCount; ++d) {
            while (!player->Spells(SpellDuration(d)).empty())
                player->DestroySpell(*player->Spells(SpellDuration(d)).back());
        }
    }
    // The places unregister from the index, which must still be there.
    FMarchTerrain = nullptr;
    while (!FPlaces.empty())
        FPlaces.pop_back();
}

void TGame::MakePlayers(int count)
{
    for (int p = 1; p <= count; ++p) {
        FPlayers.push_back(std::make_unique<TPlayer>(*this, p));
        FTurnOrder[size_t(p - 1)] = p;
    }
}

TPlayer *TGame::Player(int number) const
{
    if (number < 1 || number > PlayerCount())
        return nullptr;
    return FPlayers[size_t(number - 1)].get();
}

int TGame::PositionOf(const TPlayer &player) const
{
    for (int position = 1; position <= PlayerCount(); ++position) {
        if (FTurnOrder[size_t(position - 1)] == player.Number())
            return position;
    }
    return 0;
}

void TGame::SetPosition(const TPlayer &player, int position)
{
    const int count = PlayerCount();
    position = std::clamp(position, 1, count);
    const int from = PositionOf(player);
    if (from == 0)
        return;
    auto first = FTurnOrder.begin();
    if (from < position)
        std::rotate(first + from - 1, first + from, first + position);
    else if (from > position)
        std::rotate(first + position - 1, first + from - 1, first + from);
    FModified = true;
}

std::vector<TPlayer *> TGame::ListPlayers() const
{
    std::vector<TPlayer *> players;
    for (const auto &player : FPlayers)
        players.push_back(player.get());
    return players;
}

TTerrainInPlay *TGame::Place(int index) const
{
    if (index < 0 || index >= int(FPlaces.size()))
        return nullptr;
    return FPlaces[size_t(index)].get();
}

std::vector<TTerrainInPlay *> TGame::ListPlaces(bool terrainsOnly) const
{
    std::vector<TTerrainInPlay *> places;
    for (const auto &place : FPlaces) {
        if (!terrainsOnly || place->IsTerrain())
            places.push_back(place.get());
    }
    return places;
}

QString TGame::PhaseName() const
{
    return PhaseName(FPhase, FStep);
}

bool TGame::HoldsDie(const TDie &die) const
{
    const auto isIt = [&](const std::unique_ptr<TDieInPlay> &played) { return &played->Die() == &die; };
    for (const TTerrainInPlay *place : ListPlaces(false)) {
        if (std::any_of(place->Dragons().begin(), place->Dragons().end(), isIt))
            return true;
        for (const auto &army : place->Armies()) {
            if (std::any_of(army->Dice().begin(), army->Dice().end(), isIt))
                return true;
        }
    }
    return false;
}

QString TGame::PhaseName(int phase, int step)
{
    const int entry = phase * 2 + step;
    if (entry < 0 || entry >= int(kPhaseNames.size()))
        return {};
    return QString::fromUtf16(kPhaseNames[size_t(entry)]);
}

void TGame::LogLine(const QString &text)
{
    FLog.append(text);
    if (!FLoading)
        FModified = true;
    if (FLogView)
        FLogView->AddLine(text);
}

void TGame::ClearLog()
{
    FLog.clear();
    FModified = true;
    if (FLogView)
        FLogView->ShowLines(FLog);
}

void TGame::AttachLogView(TGameLogView *view)
{
    FLogView = view;
    if (FLogView)
        FLogView->ShowLines(FLog);
}

void TGame::SetName(const QString &name)
{
    FName = name;
    FModified = true;
}

void TGame::SetMarchTerrain(TTerrainInPlay *place)
{
    FMarchTerrain = place;
    FModified = true;
}

void TGame::SetFtpName(const QString &name)
{
    FFtpName = name;
    FModified = true;
}

TPlayer *TGame::Controller() const
{
    return FController == -1 ? nullptr : Player(FController);
}

void TGame::SetController(TPlayer *player)
{
    LogLine(player ? player->Name + u" now has control."_s : u"Game is now uncontrolled."_s);
    FController = player ? player->Number() : -1;
    FModified = true;
}

bool TGame::HasControl(const QString &userEmail) const
{
    const TPlayer *controller = Controller();
    return !controller || controller->Email == userEmail;
}

TSpell &TGame::AddGameEffect(const QString &name, const TRace &race, TTerrainInPlay &place)
{
    TSpell &effect = AddLoadedGameEffect(name, SpellDuration::Permanent, FRound, race.ID);
    effect.AddTarget(place);
    FModified = true;
    return effect;
}

TSpell &TGame::AddLoadedGameEffect(const QString &name, SpellDuration duration, qint32 round, qint32 casterRace)
{
    FGameEffects.push_back(std::make_unique<TSpell>(*this, nullptr, name, duration, round, casterRace));
    return *FGameEffects.back();
}

void TGame::DestroySpell(const TSpell &spell)
{
    if (TPlayer *owner = spell.Owner()) {
        owner->DestroySpell(spell);
        return;
    }
    const auto found =
        std::find_if(FGameEffects.begin(), FGameEffects.end(), [&](const auto &s) { return s.get() == &spell; });
    if (found != FGameEffects.end())
        FGameEffects.erase(found);
}

TSpellTarget *TGame::FindTarget(qint32 id) const
{
    if (id < 0)
        return nullptr;
    for (TSpellTarget *target : FIndex[size_t(id % kIndexBuckets)]) {
        if (target->ID() == id)
            return target;
    }
    return nullptr;
}

qint32 TGame::TakeTargetID()
{
    while (FNextTargetID < 0 || FindTarget(FNextTargetID)) {
        if (FNextTargetID == std::numeric_limits<qint32>::max())
            throw TKrException(u"No target ID is left in this game."_s);
        FNextTargetID = std::max(FNextTargetID + 1, 0);
    }
    if (FNextTargetID == std::numeric_limits<qint32>::max())
        throw TKrException(u"No target ID is left in this game."_s);
    return FNextTargetID++;
}

void TGame::Register(TSpellTarget &target, qint32 id)
{
    target.FID = id;
    FIndex[size_t(id % kIndexBuckets)].push_back(&target);
    ++FTargetCount;
    if (!FLoading)
        FModified = true;
}

void TGame::Unregister(TSpellTarget &target)
{
    if (target.FID < 0)
        return;
    RemoveAll(FIndex[size_t(target.FID % kIndexBuckets)], &target);
    --FTargetCount;
}
