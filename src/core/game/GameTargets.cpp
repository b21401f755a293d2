#include "game/GameData.h"

#include "dice/Catalogue.h"
#include "random/Randomizer.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

template <typename T>
std::unique_ptr<T> TakeFrom(std::vector<std::unique_ptr<T>> &list, const T &item)
{
    const auto found = std::find_if(list.begin(), list.end(), [&](const auto &p) { return p.get() == &item; });
    if (found == list.end())
        return nullptr;
    std::unique_ptr<T> taken = std::move(*found);
    list.erase(found);
    return taken;
}

template <typename T>
T *At(const std::vector<std::unique_ptr<T>> &list, int position)
{
    if (position < 0 || position >= int(list.size()))
        return nullptr;
    return list[size_t(position)].get();
}

} // namespace

// ---------------------------------------------------------------------------------
// TSpellTarget

TSpellTarget::TSpellTarget(TGame &game) : FGame(&game)
{
    FGame->Register(*this, FGame->TakeTargetID());
}

TSpellTarget::TSpellTarget(TGame &game, qint32 id) : FGame(&game)
{
    FGame->Register(*this, id);
}

TSpellTarget::~TSpellTarget()
{
    // Each spell loses this target; a spell left with none stays until it expires.
    while (!FEffects.empty())
        FEffects.back()->RemoveTarget(*this);
    FGame->Unregister(*this);
}

QString TSpellTarget::CellText() const
{
    return u"Target["_s + QString::number(FID) + u']';
}

void TSpellTarget::ListEffects(TEffectLines &lines, const TRace *race) const
{
    for (TSpell *spell : FEffects) {
        if (!spell->AppliesTo(race))
            continue;
        lines.push_back({spell->Name(), spell->Owner() ? spell : nullptr});
    }
}

QString TSpellTarget::FullName() const
{
    return CellText();
}

// ---------------------------------------------------------------------------------
// TTerrainInPlay

TTerrainInPlay::TTerrainInPlay(TGame &game, int index) : TSpellTarget(game), FIndex(index) {}

TTerrainInPlay::TTerrainInPlay(TGame &game, int index, qint32 id) : TSpellTarget(game, id), FIndex(index) {}

TTerrainInPlay::~TTerrainInPlay()
{
    // The dragons and armies go before the place's own links and index entry.
    FDragons.clear();
    FArmies.clear();
}

QString TTerrainInPlay::CellText() const
{
    if (!FTerrainDie)
        return u"(none)"_s;
    return FTerrainDie->Name + u'\n' + FaceText();
}

void TTerrainInPlay::Roll()
{
    Game().LogLine(u"Rolling all armies at "_s + FullName() + u'.');
    for (const auto &army : FArmies) {
        if (army->Health() > 0)
            army->Roll();
    }
}

QString TTerrainInPlay::FullName() const
{
    static constexpr std::array kFixedNames{u"Promotion Pool", u"Burial Vault", u"Summoning Pool",
                                            u"Dead Pool",      u"Reserves",     u"Frontier"};
    if (FIndex > GamePlace::Frontier) {
        const TPlayer *owner = Game().Player(FIndex - GamePlace::Frontier);
        return (owner ? owner->Name : QString()) + u"'s Home"_s;
    }
    if (FIndex < 0)
        return {};
    return QString::fromUtf16(kFixedNames[size_t(FIndex)]);
}

std::optional<TerrainFaceKind> TTerrainInPlay::FaceKind() const
{
    if (!FTerrainDie)
        return std::nullopt;
    return FTerrainDie->FaceKind(FFace);
}

QString TTerrainInPlay::FaceText() const
{
    return FTerrainDie ? FTerrainDie->FaceText(FFace) : u"(none)"_s;
}

TArmyInPlay *TTerrainInPlay::Army(int player) const
{
    if (player < 1 || player > Game().PlayerCount())
        return nullptr;
    return At(FArmies, player - 1);
}

bool TTerrainInPlay::ArmyEmpty(int player) const
{
    const TArmyInPlay *army = Army(player);
    return !army || army->Empty();
}

bool TTerrainInPlay::Unopposed(int player) const
{
    return std::all_of(FArmies.begin(), FArmies.end(),
                       [&](const auto &army) { return army->Player() == player || army->Empty(); });
}

TDieInPlay *TTerrainInPlay::Dragon(int position) const
{
    return At(FDragons, position);
}

void TTerrainInPlay::AddDragon(std::unique_ptr<TDieInPlay> dragon)
{
    dragon->FArmy = nullptr;
    dragon->FPlace = this;
    FDragons.push_back(std::move(dragon));
}

std::unique_ptr<TDieInPlay> TTerrainInPlay::TakeDragon(const TDieInPlay &dragon)
{
    std::unique_ptr<TDieInPlay> taken = TakeFrom(FDragons, dragon);
    if (taken)
        taken->FPlace = nullptr;
    return taken;
}

void TTerrainInPlay::AddArmy(std::unique_ptr<TArmyInPlay> army)
{
    FArmies.push_back(std::move(army));
}

// ---------------------------------------------------------------------------------
// TArmyInPlay

TArmyInPlay::TArmyInPlay(TTerrainInPlay &place, int player)
    : TSpellTarget(place.Game()), FPlace(&place), FPlayer(player)
{
}

TArmyInPlay::TArmyInPlay(TTerrainInPlay &place, int player, qint32 id)
    : TSpellTarget(place.Game(), id), FPlace(&place), FPlayer(player)
{
}

TArmyInPlay::~TArmyInPlay()
{
    FDice.clear();
}

QString TArmyInPlay::CellText() const
{
    return Owner().Name + u"'s Army"_s;
}

void TArmyInPlay::ListEffects(TEffectLines &lines, const TRace *race) const
{
    TSpellTarget::ListEffects(lines, race);
    if (OwnsTerrain)
        lines.push_back({u"OWNS TERRAIN:  Double Moves and Saves"_s, nullptr});
    else if (FMinorTerrain)
        lines.push_back({MinorTerrainFaceText(), nullptr});
    FPlace->ListEffects(lines, race);
}

void TArmyInPlay::Roll()
{
    Game().LogLine(u"Rolling "_s + FullName() + u'.');
    for (const auto &die : FDice)
        die->Roll();
}

QString TArmyInPlay::FullName() const
{
    return CellText() + u" at "_s + FPlace->FullName();
}

int TArmyInPlay::PlaceIndex() const
{
    return FPlace->Index();
}

TPlayer &TArmyInPlay::Owner() const
{
    return *Game().Player(FPlayer);
}

QString TArmyInPlay::MinorTerrainName() const
{
    return FMinorTerrain ? FMinorTerrain->Name : u"(none)"_s;
}

QString TArmyInPlay::MinorTerrainFaceText() const
{
    return FMinorTerrain ? FMinorTerrain->FaceText(FMinorFace) : u"(none)"_s;
}

bool TArmyInPlay::HasDisasterShowing() const
{
    return FMinorTerrain && FMinorTerrain->FaceKind(FMinorFace) == TerrainFaceKind::Disaster;
}

qint32 TArmyInPlay::Health() const
{
    qint32 health = 0;
    for (const auto &die : FDice)
        health += die->Health();
    return health;
}

TDieInPlay *TArmyInPlay::Die(int position) const
{
    return At(FDice, position);
}

void TArmyInPlay::AddDie(std::unique_ptr<TDieInPlay> die)
{
    die->FArmy = this;
    die->FPlace = FPlace;
    FDice.push_back(std::move(die));
}

std::unique_ptr<TDieInPlay> TArmyInPlay::TakeDie(const TDieInPlay &die)
{
    std::unique_ptr<TDieInPlay> taken = TakeFrom(FDice, die);
    if (taken) {
        taken->FArmy = nullptr;
        taken->FPlace = nullptr;
    }
    return taken;
}

void TArmyInPlay::Erase()
{
    FDice.clear();
}

// ---------------------------------------------------------------------------------
// TDieInPlay

TDieInPlay::TDieInPlay(TGame &game, int player, TDie &die) : TSpellTarget(game), FDie(&die), FPlayer(player) {}

TDieInPlay::TDieInPlay(TGame &game, int player, TDie &die, qint32 id)
    : TSpellTarget(game, id), FDie(&die), FPlayer(player)
{
}

TDieInPlay::~TDieInPlay() = default;

QString TDieInPlay::CellText() const
{
    return FDie->Race().Name + u'\n' + u"%1 (%2)"_s.arg(FDie->Name).arg(FDie->Health()) + u'\n' + FaceText();
}

void TDieInPlay::ListEffects(TEffectLines &lines, const TRace *) const
{
    TSpellTarget::ListEffects(lines, &FDie->Race());
    if (FArmy)
        FArmy->ListEffects(lines, &FDie->Race());
}

void TDieInPlay::Roll()
{
    FFace = Game().Randomizer().Roll(FDie->FaceCount(), -1);
    Game().MarkModified();
    const TIconDescriptor *icon = FDie->Race().Catalogue().GetIcon(FDie->FaceSymbol(FFace));
    Game().LogLine((icon ? icon->Name : QString()) + u' ' + QString::number(FDie->FaceSymbolCount(FFace)) +
                   u" rolled by "_s + FullName() + u'.');
}

QString TDieInPlay::FullName() const
{
    if (FArmy)
        return ReferenceText() + u" in "_s + FArmy->FullName();
    return ReferenceText() + u" at "_s + (FPlace ? FPlace->FullName() : QString());
}

QString TDieInPlay::ReferenceText() const
{
    return u"%1 %2[%3]"_s.arg(FDie->Race().Name, FDie->Name).arg(ID());
}

bool TDieInPlay::HasShowingFace() const
{
    return FFace >= 0 && FFace < FDie->FaceCount();
}

qint32 TDieInPlay::ShowingSymbol() const
{
    return HasShowingFace() ? FDie->FaceSymbol(FFace) : -1;
}

QString TDieInPlay::FaceText() const
{
    return HasShowingFace() ? FDie->FaceText(FFace) : QString();
}

bool TDieInPlay::IsDragon() const
{
    return FDie->Health() == kDragonHealth;
}

qint32 TDieInPlay::Health() const
{
    return FDie->Health();
}
