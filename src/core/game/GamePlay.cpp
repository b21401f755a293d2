// The operations of play on the game model: the turn, the terrain dice, minor terrains,
// armies taken from army documents and dice moved between places.

#include "game/GameData.h"

#include "army/ArmyData.h"
#include "dice/Catalogue.h"
#include "random/Randomizer.h"

using namespace Qt::StringLiterals;

namespace {

// A die whose every face rerolls maneuvers would be rolled for ever; after this many
// rolls it counts as done.
constexpr int kMaxManeuverRolls = 100;

} // namespace

// ---------------------------------------------------------------------------------
// The turn

void TGame::ExpireForAll(SpellDuration duration)
{
    for (const auto &player : FPlayers)
        player->ExpireSpells(duration);
}

void TGame::AdvanceStep()
{
    if (FPhase != 0 && FStep == 0) {
        ExpireForAll(SpellDuration::EndOfThisAction);
        FStep = 1;
        FModified = true;
        return;
    }
    AdvancePhase();
}

void TGame::AdvancePhase()
{
    if (FPhase >= kLastPhase) {
        EndTurn();
        return;
    }
    ExpireForAll(SpellDuration::EndOfThisAction);
    ExpireForAll(SpellDuration::EndOfThisMarch);
    FStep = 0;
    ++FPhase;
    FModified = true;
}

void TGame::EndTurn()
{
    ExpireForAll(SpellDuration::EndOfThisAction);
    ExpireForAll(SpellDuration::EndOfThisMarch);
    CurrentPlayer().ExpireSpells(SpellDuration::EndOfNextTurn);
    FPhase = 0;
    FStep = 0;
    FMarchTerrain = nullptr;
    if (!IsLastInOrder()) {
        ++FTurnPosition;
    } else {
        FTurnPosition = 1;
        ++FRound;
        LogLine(u"> **** Starting round "_s + QString::number(FRound) + u'.');
    }
    LogLine(u">* STARTING TURN for "_s + CurrentPlayer().Name + u'.');
    CurrentPlayer().ExpireSpells(SpellDuration::StartOfNextTurn);
    FModified = true;
}

void TGame::ResetPhase()
{
    ExpireForAll(SpellDuration::EndOfThisAction);
}

void TGame::Start()
{
    // The race abilities that depend on the land are effects of the terrains; made
    // before round 1, they record round 0.
    for (const auto &place : FPlaces) {
        const TTerrain *terrain = place->TerrainDie();
        if (!terrain)
            continue;
        for (const auto &race : FCatalogue->Races()) {
            if (race->Armored)
                AddGameEffect(u"Armored"_s, *race, *place);
            if (race->Intangible)
                AddGameEffect(u"Intangible"_s, *race, *place);
            if (race->HomeTerrain == terrain->TerrainLand() && race->MovesAtHome != MoveEffect::None)
                AddGameEffect(u"Maneuvers "_s + NameOf(race->MovesAtHome), *race, *place);
        }
    }
    FTurnPosition = 1;
    FPhase = 0;
    FStep = 0;
    FRound = 1;
    LogLine(u">**** Starting first round with "_s + CurrentPlayer().Name + u"'s turn."_s);
    FModified = true;
}

bool TGame::MarchPossible() const
{
    if (StaggeredStart && FPhase == 1 && FRound < 2 && !IsLastInOrder())
        return false;
    const int player = CurrentPlayerNumber();
    for (int index = GamePlace::Reserves; index < PlaceCount(); ++index) {
        const TTerrainInPlay *place = Place(index);
        if (place != FMarchTerrain && !place->ArmyEmpty(player))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------
// Dice moved between places

bool TGame::MoveDie(TDieInPlay &die, TTerrainInPlay &target)
{
    TArmyInPlay *fromArmy = die.ContainingArmy();
    TTerrainInPlay *fromPlace = die.ContainingPlace();
    if (!fromPlace)
        return false;
    const bool toDragons = die.IsDragon() && target.HasTerrainDie();
    TArmyInPlay &toArmy = *target.Army(die.Player());
    // Taken out and put back, a die would move to the end of its list and an army of
    // one would abandon its place and come back to it.
    if (toDragons ? (!fromArmy && fromPlace == &target) : fromArmy == &toArmy)
        return false;

    std::unique_ptr<TDieInPlay> moving = fromArmy ? fromArmy->TakeDie(die) : fromPlace->TakeDragon(die);
    moving->SetPlaceIndex(target.Index());
    const QString reference = moving->ReferenceText();
    if (fromArmy) {
        if (toDragons) {
            LogLine(reference + u" moved from "_s + fromArmy->FullName() + u" to "_s + target.FullName() + u'.');
            target.AddDragon(std::move(moving));
        } else {
            LogLine(reference + u" moved from "_s + fromPlace->FullName() + u" to "_s + toArmy.FullName() + u'.');
            toArmy.AddDie(std::move(moving));
        }
        if (fromArmy->Empty()) {
            LogLine(u"> "_s + fromArmy->CellText() + u" has abandoned "_s + fromPlace->FullName() + u'.');
            if (fromArmy->OwnsTerrain)
                fromPlace->MoveDown();
            if (fromArmy->MinorTerrain())
                fromArmy->BuryMinorTerrain();
        }
    } else {
        LogLine(reference + u" moved from "_s + fromPlace->FullName() + u" to "_s + target.FullName() + u'.');
        if (toDragons)
            target.AddDragon(std::move(moving));
        else
            toArmy.AddDie(std::move(moving));
    }
    FModified = true;
    return true;
}

// ---------------------------------------------------------------------------------
// Terrain dice

void TTerrainInPlay::SetTerrainDie(int terrainIndex)
{
    FTerrainDie = Game().Catalogue().MajorTerrain(terrainIndex);
    Game().LogLine(u"> "_s + FullName() + u" terrain die set to "_s + (FTerrainDie ? FTerrainDie->Name : QString()) +
                   u'.');
    Game().MarkModified();
}

void TTerrainInPlay::RollTerrain()
{
    int face = kOwnedFace;
    while (face == kOwnedFace)
        face = Game().Randomizer().Roll(kOwnedFace, 0);
    FFace = face == 7 ? 6 : face;
    Game().LogLine(u"> "_s + FaceText() + u" rolled by "_s + FullName() + u'.');
    Game().MarkModified();
}

void TTerrainInPlay::MoveUp()
{
    if (FFace < kOwnedFace)
        ++FFace;
    Game().LogLine(u"> "_s + FullName() + u" moved up to "_s + FaceText() + u'.');
    Game().MarkModified();
}

void TTerrainInPlay::MoveDown()
{
    if (FFace > 1)
        --FFace;
    if (FFace == kOwnedFace - 1) {
        for (const auto &army : FArmies)
            army->OwnsTerrain = false;
    }
    Game().LogLine(u"> "_s + FullName() + u" moved down to "_s + FaceText() + u'.');
    Game().MarkModified();
}

// ---------------------------------------------------------------------------------
// Armies at a place

void TArmyInPlay::ClaimTerrain()
{
    QString place = FPlace->FullName();
    for (QChar &c : place) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    Game().LogLine(u"> "_s + CellText() + u" OWNS "_s + place + u'!');
    for (const auto &army : FPlace->Armies())
        army->OwnsTerrain = army.get() == this;
    if (FMinorTerrain)
        BuryMinorTerrain();
    Game().MarkModified();
}

void TArmyInPlay::PutMinorTerrainInPlay(int minorIndex)
{
    FMinorTerrain = Game().Catalogue().MinorTerrain(minorIndex);
    Game().LogLine(u"> "_s + MinorTerrainName() + u" put in play for "_s + FullName() + u'.');
    RollMinorTerrain();
}

void TArmyInPlay::RollMinorTerrain()
{
    FMinorFace = Game().Randomizer().Roll(TTerrain::kFaceCount, 0);
    Game().LogLine(u"> Minor terrain for "_s + FullName() + u" rolled "_s + MinorTerrainFaceText() + u'.');
    Game().MarkModified();
}

void TArmyInPlay::BuryMinorTerrain()
{
    FMinorTerrain = nullptr;
    Game().LogLine(u"Minor terrain for "_s + FullName() + u" buried."_s);
    Game().MarkModified();
}

void TArmyInPlay::Import(const TArmy &army, const QString &caption)
{
    Game().LogLine(u"Importing "_s + FullName() + u" from "_s + caption + u'.');
    const bool dragonsWelcome = PlaceIndex() == GamePlace::SummoningPool;
    int cursor = 0;
    for (TDie *die = army.FirstDie(cursor); die; die = army.NextDie(cursor)) {
        if (die->Health() == TDieInPlay::kDragonHealth && !dragonsWelcome)
            continue;
        auto made = std::make_unique<TDieInPlay>(Game(), FPlayer, *die);
        made->SetPlaceIndex(PlaceIndex());
        const QString reference = made->ReferenceText();
        AddDie(std::move(made));
        Game().LogLine(reference + u" imported."_s);
    }
    // Only a battlefield stands on a terrain die; the pools and the reserves never do.
    if (army.Type() == ArmyType::HomeArmy && FPlace->IsTerrain())
        FPlace->SetTerrainDie(army.MajorTerrain());
    if (army.Type() == ArmyType::HomeArmy || army.Type() == ArmyType::CampaignArmy ||
        army.Type() == ArmyType::HordeArmy) {
        TPlayer &owner = Owner();
        for (int k = 1; k <= TPlayer::kMinorSlots; ++k) {
            const int minor = army.GetMinorTerrain(k);
            const int slot = owner.FreeMinorSlot();
            if (minor != TArmy::kNoMinorTerrain && slot >= 0)
                owner.SetMinorTerrainIndex(slot, minor);
        }
    }
    Game().MarkModified();
}

int TArmyInPlay::CountManeuvers()
{
    const TCatalogue &catalogue = Game().Catalogue();
    int total = 0;
    for (const auto &die : FDice) {
        for (int rolls = 0; rolls < kMaxManeuverRolls; ++rolls) {
            die->Roll();
            const TIconDescriptor *icon = catalogue.GetIcon(die->ShowingSymbol());
            if (!icon)
                break;
            if (icon->Has(EffectFlag::Maneuver)) {
                total += die->Die().FaceSymbolCount(die->Face());
                if (catalogue.Rules.PowerMagicItems && die->Die().Race().Type == RaceType::MagicItems &&
                    die->Health() < 4)
                    total += die->Health() - 1;
            }
            if (!icon->Has(EffectFlag::RerollManeuver))
                break;
        }
    }
    Game().LogLine(FullName() + u" rolled "_s + QString::number(total) + u" maneuvers."_s);
    return total;
}

// ---------------------------------------------------------------------------------
// Minor terrains held by a player

void TPlayer::PlayMinorTerrain(int slot, TArmyInPlay &army)
{
    const int index = MinorTerrainIndex(slot);
    if (index == kNoMinorTerrain)
        return;
    army.PutMinorTerrainInPlay(index);
    FMinor[size_t(slot)] = kNoMinorTerrain;
}
