// The game window's commands of play: dice rolled, dragged and placed, spells cast and
// dispelled, terrain dice, maneuvers, routs and minor terrains.

#include "game/GameCommands.h"

#include "army/ArmyData.h"
#include "dice/DiceData.h"

#include <algorithm>

using namespace Qt::StringLiterals;

// ---------------------------------------------------------------------------------
// Dice

void TGameCommands::RollDice(const std::vector<TDieInPlay *> &marked, TArmyInPlay *currentArmy)
{
    Guarded(u"Error rolling dice."_s, u"rolling dice"_s, [&] {
        std::vector<TDieInPlay *> dice = marked;
        bool cancelled = false;
        if (dice.empty()) {
            if (currentArmy &&
                FUI.Ask(u"Roll "_s + currentArmy->FullName() + u'?', TGameButtons::YesNo) == TGameAnswer::Yes) {
                for (const auto &die : currentArmy->Dice())
                    dice.push_back(die.get());
            } else {
                cancelled = true;
            }
        }
        const bool marching = FGame.Phase() == 1 || FGame.Phase() == 2;
        if (!cancelled && !FGame.Utility && FGame.Step() == 0 && marching) {
            switch (FUI.Ask(u"Proceed to action phase before rolling?"_s, TGameButtons::YesNoCancel)) {
            case TGameAnswer::Yes:
                FGame.AdvanceStep();
                FUI.AfterAction(false);
                FUI.RefreshStatus();
                break;
            case TGameAnswer::No:
                break;
            default:
                cancelled = true;
                break;
            }
        }
        if (cancelled) {
            FUI.Message(TGameMessage::Information, u"Die roll cancelled."_s);
            return;
        }
        QString reason = u"Utility"_s;
        if (!FGame.Utility) {
            QStringList targets;
            for (const TTerrainInPlay *place : FGame.ListPlaces(false)) {
                if (!place->HasTerrainDie())
                    continue;
                for (const auto &army : place->Armies()) {
                    if (!army->Empty())
                        targets << army->FullName();
                }
            }
            targets.sort(Qt::CaseInsensitive);
            targets.prepend(kNoTarget);
            const std::optional<TRollReasonAnswer> answer =
                FUI.AskRollReason({u"Roll Dice"_s, u"Enter reason for rolling:"_s, RollReasons(), QString()}, targets);
            if (!answer) {
                FUI.Show(u"Dice roll cancelled by user."_s);
                return;
            }
            reason = answer->Reason;
            if (!answer->Target.isEmpty() && answer->Target != kNoTarget)
                reason += u" targeting "_s + answer->Target;
        }
        const TBusy busy(FUI);
        LogAndShow(u"> Dice Roll:  "_s + reason);
        for (TDieInPlay *die : dice)
            die->Roll();
        FUI.RebuildArmyGrid();
        FUI.AfterAction(false);
        FUI.Show(dice.size() == 1 ? dice.front()->ReferenceText() + u" rolled."_s
                                  : QString::number(dice.size()) + u" dice rolled."_s);
    });
}

void TGameCommands::DropDice(const std::vector<TDieInPlay *> &marked, TTerrainInPlay &source, TTerrainInPlay &target)
{
    Guarded(u"Error moving dice."_s, u"moving dice"_s, [&] {
        QString proposed;
        if (FGame.Round() == 0)
            proposed = u"Initial Placement"_s;
        else if (FGame.Phase() == 3 && FGame.Step() == 0)
            proposed = u"Reinforcing"_s;
        else if (FGame.Phase() == 3)
            proposed = target.Index() == GamePlace::Reserves ? u"Retreating"_s : u"Firewalking"_s;
        else if (source.Index() == GamePlace::SummoningPool)
            proposed = u"Summoning"_s;
        else if (target.Index() == GamePlace::DeadPool)
            proposed = u"Killed in Combat"_s;
        const std::optional<QString> reason = FUI.AskReason(
            {u"Move "_s + QString::number(marked.size()) + u" dice to "_s + target.FullName(),
             u"Enter reason for move."_s, MoveReasons(), proposed});
        if (!reason) {
            FUI.Show(u"Dice drag cancelled by user."_s);
            return;
        }
        const TBusy busy(FUI);
        LogAndShow(u"Dice move:  "_s + *reason);
        // One summary per army the dice came from, or for the dragons of the place.
        qint64 health = 0;
        const TArmyInPlay *from = nullptr;
        const auto summary = [&] {
            if (health == 0)
                return;
            if (from) {
                FGame.LogLine(u"> %1: %2 health from %3 moved to %4"_s.arg(*reason, QString::number(health),
                                                                           from->FullName(), target.FullName()));
            } else {
                FGame.LogLine(u"> %1: %2 dragons moved to %3."_s.arg(
                    *reason, QString::number(health / TDieInPlay::kDragonHealth), target.FullName()));
            }
            health = 0;
        };
        for (TDieInPlay *die : marked) {
            const TArmyInPlay *container = die->ContainingArmy();
            if (container != from)
                summary();
            from = container;
            const qint32 dieHealth = die->Health();
            if (FGame.MoveDie(*die, target))
                health += dieHealth;
        }
        summary();
        FUI.RebuildGrids();
    });
}

void TGameCommands::EraseBurialVault()
{
    Guarded(u"Error erasing burial vault."_s, u"erasing burial vault"_s, [&] {
        for (const auto &army : FGame.FixedPlace(GamePlace::BurialVault).Armies())
            army->Erase();
        FGame.MarkModified();
        FUI.RebuildGrids();
    });
}

TTerrainInPlay &TGameCommands::DefaultPlace(const TArmy &army, const TPlayer &player) const
{
    switch (army.Type()) {
    case ArmyType::HomeArmy:
        return FGame.Home(player.Number());
    case ArmyType::CampaignArmy:
        return FGame.FixedPlace(GamePlace::Frontier);
    case ArmyType::PromotionPool:
        return FGame.FixedPlace(GamePlace::PromotionPool);
    case ArmyType::SummoningPool:
        return FGame.FixedPlace(GamePlace::SummoningPool);
    case ArmyType::HordeArmy:
        break;
    }
    return FGame.FixedPlace(GamePlace::Reserves);
}

QString TGameCommands::ApplyArmy(TPlayer &player, TTerrainInPlay &place, const TArmy &army, const QString &caption)
{
    QString status;
    Guarded(u"Error storing army."_s, u"storing army"_s, [&] {
        place.Army(player.Number())->Import(army, caption);
        FUI.Refresh(place);
        status = caption + u" stored at "_s + place.FullName() + u'.';
    });
    return status;
}

QString TGameCommands::ApplyGroup(TPlayer &player, const QString &group,
                                  const std::vector<std::pair<const TArmy *, QString>> &armies)
{
    QString status;
    Guarded(u"Error storing army."_s, u"storing army"_s, [&] {
        for (const auto &[army, caption] : armies) {
            TTerrainInPlay &place = DefaultPlace(*army, player);
            place.Army(player.Number())->Import(*army, caption);
            FUI.Refresh(place);
        }
        status = group + u" loaded into default terrains."_s;
    });
    return status;
}

void TGameCommands::TransferArmy(const TArmyInPlay &army, TArmy &target, const std::function<void(TDie &)> &add)
{
    Guarded(u"Error transferring dice."_s, u"in die transfer"_s, [&] {
        FUI.Show(u"Copying dice to "_s + target.Name() + u"..."_s);
        for (const auto &die : army.Dice()) {
            if (add)
                add(die->Die());
            else
                target.AddDie(die->Die());
            FUI.Show(die->CellText() + u" added to "_s + target.Name() + u".  Total health now "_s +
                     target.HealthText() + u'.');
        }
        FUI.Show(QString::number(army.DieCount()) + u" dice transferred to "_s + target.Name() + u'.');
    });
}

// ---------------------------------------------------------------------------------
// Spells

TCastSetup CastSetup(const TArmyInPlay *currentArmy, const std::vector<TDieInPlay *> &marked)
{
    TCastSetup setup;
    setup.ArmyEnabled = currentArmy != nullptr;
    setup.ArmyCaption = currentArmy ? currentArmy->FullName() : u"No Army Selected"_s;
    setup.MarkedEnabled = !marked.empty();
    if (marked.size() == 1) {
        setup.MarkedCaption = u"Marked "_s + marked.front()->FullName();
    } else if (!marked.empty()) {
        qint64 health = 0;
        for (const TDieInPlay *die : marked)
            health += die->Health();
        setup.MarkedCaption = QString::asprintf("%d Marked Dice (%lld health)", int(marked.size()), health);
    } else {
        setup.MarkedCaption = u"No dice selected."_s;
    }
    setup.Initial = setup.ArmyEnabled     ? TSpellTargetKind::Army
                    : setup.MarkedEnabled ? TSpellTargetKind::MarkedDice
                                          : TSpellTargetKind::Terrain;
    return setup;
}

void TGameCommands::CastSpell(const TCastRequest &request)
{
    Guarded(u"Error casting spell."_s, u"casting spell"_s, [&] {
        TPlayer &caster = *request.Caster;
        TSpell &spell = caster.AddSpell(request.Description, request.Duration);
        const QString name = spell.Name();
        LogAndShow(u"> New spell/effect:  "_s + name + u'.');
        for (TSpellTarget *target : request.Targets) {
            FGame.LogLine(u"Applying to "_s + target->FullName() + u'.');
            spell.AddTarget(*target);
            if (request.Roll) {
                target->Roll();
                FUI.Refresh(*target);
            }
        }
        LogAndShow(u"Spell/effect "_s + name + u" applied."_s);
        if (request.Duration == SpellDuration::Instant)
            caster.ExpireSpells(SpellDuration::Instant);
    });
}

void TGameCommands::RemoveSpell(const TSpell &spell)
{
    Guarded(u"Error removing spell."_s, u"removing spell"_s, [&] {
        LogAndShow(u"> Spell "_s + spell.Name() + u" deleted."_s);
        FGame.DestroySpell(spell);
    });
}

// ---------------------------------------------------------------------------------
// Terrains

void TGameCommands::SetTerrain(TTerrainInPlay &place)
{
    Guarded(u"Error setting terrain die."_s, u"setting terrain"_s, [&] {
        const std::optional<int> terrain = FUI.AskTerrainDie(place);
        if (!terrain) {
            FUI.Show(u"Terrain set aborted by user."_s);
            return;
        }
        place.SetTerrainDie(*terrain);
        FUI.Refresh(place);
        FUI.UpdateMenus();
        FUI.Show(u"Terrain die set for "_s + place.FullName());
    });
}

TManeuverState ManeuverState(const TGame &game, const TManeuverChoice &choice)
{
    TManeuverState state;
    const TPlayer &player = game.CurrentPlayer();
    for (int slot = 0; slot < TPlayer::kMinorSlots; ++slot)
        state.MinorTerrainEnabled = state.MinorTerrainEnabled || player.MinorTerrain(slot);
    state.Action = choice.Action;
    const TTerrainInPlay *terrain = choice.Terrain;
    if (!terrain) {
        state.Action = TManeuverAction::None;
        state.Status = u"No terrain selected."_s;
        return state;
    }
    const TTerrain *die = terrain->TerrainDie();
    state.MoveDownEnabled = die && terrain->Face() > 1;
    state.MoveUpEnabled = die && terrain->Face() < TTerrainInPlay::kOwnedFace;
    if ((state.Action == TManeuverAction::MoveDown && !state.MoveDownEnabled) ||
        (state.Action == TManeuverAction::MoveUp && !state.MoveUpEnabled) ||
        (state.Action == TManeuverAction::MinorTerrain && !state.MinorTerrainEnabled))
        state.Action = TManeuverAction::None;
    switch (state.Action) {
    case TManeuverAction::MoveUp:
    case TManeuverAction::MoveDown: {
        const int face = terrain->Face() + (state.Action == TManeuverAction::MoveUp ? 1 : -1);
        state.Status = u"Turn "_s + die->Name + u" to "_s + die->FaceText(face) + u'.';
        state.OK = true;
        break;
    }
    case TManeuverAction::MinorTerrain: {
        const TTerrain *minor = player.MinorTerrain(choice.MinorSlot);
        if (!minor) {
            state.Status = u"Select a minor terrain."_s;
        } else if (!die || minor->TerrainLand() != die->TerrainLand()) {
            state.Status = u"Select a compatible minor terrain."_s;
        } else {
            state.Status = u"Place "_s + minor->Name + u'.';
            state.OK = true;
        }
        break;
    }
    case TManeuverAction::None:
        state.Status = u"Select a maneuver action."_s;
        break;
    }
    return state;
}

void TGameCommands::Maneuver(TArmyInPlay *currentArmy)
{
    Guarded(u"Error processing maneuver request."_s, u"maneuvering"_s, [&] {
        const std::optional<TManeuverChoice> choice =
            FUI.AskManeuver(currentArmy ? &currentArmy->Place() : nullptr);
        if (!choice)
            return;
        DoManeuver(*choice);
        if (FGame.Step() == 0 && !FGame.Utility)
            DoNextPhase();
    });
}

void TGameCommands::OpenManeuver(TArmyInPlay *currentArmy)
{
    if (const std::optional<TManeuverChoice> choice = FUI.AskManeuver(currentArmy ? &currentArmy->Place() : nullptr))
        DoManeuver(*choice);
}

void TGameCommands::DoManeuver(const TManeuverChoice &choice)
{
    // Only what the dialog allowed is done, whatever the window hands over.
    const TManeuverState state = ManeuverState(FGame, choice);
    if (!state.OK)
        return;
    TTerrainInPlay &terrain = *choice.Terrain;
    TArmyInPlay &army = *terrain.Army(FGame.CurrentPlayerNumber());
    switch (state.Action) {
    case TManeuverAction::MoveUp:
        terrain.MoveUp();
        if (terrain.Face() == TTerrainInPlay::kOwnedFace)
            army.ClaimTerrain();
        break;
    case TManeuverAction::MoveDown:
        terrain.MoveDown();
        break;
    case TManeuverAction::MinorTerrain:
        FGame.CurrentPlayer().PlayMinorTerrain(choice.MinorSlot, army);
        break;
    case TManeuverAction::None:
        break;
    }
    FUI.Refresh(terrain);
}

TRoutState RoutState(const TTerrainInPlay *terrain)
{
    if (!terrain)
        return {u"No terrain selected."_s, false};
    const TTerrain *die = terrain->TerrainDie();
    if (!die)
        return {u"No terrain die at "_s + terrain->FullName() + u'.', false};
    if (terrain->Face() <= 1)
        return {u"Cannot rout at a terrain on the first face."_s, false};
    return {u"Turn "_s + die->Name + u" to "_s + die->FaceText(terrain->Face() - 1) + u'.', true};
}

void TGameCommands::Rout(TArmyInPlay *currentArmy)
{
    Guarded(u"Error processing rout."_s, u"routing"_s, [&] {
        const std::optional<TTerrainInPlay *> chosen = FUI.AskRout(currentArmy ? &currentArmy->Place() : nullptr);
        if (!chosen || !RoutState(*chosen).OK)
            return;
        TTerrainInPlay &terrain = **chosen;
        FGame.LogLine(u"Routing at "_s + terrain.FullName() + u'.');
        terrain.MoveDown();
        FGame.ResetPhase();
        FUI.Refresh(terrain);
        FUI.RefreshStatus();
    });
}

void TGameCommands::BuryMinorTerrain(TArmyInPlay *currentArmy)
{
    Guarded(u"Error burying minor terrain."_s, u"burying minor terrain"_s, [&] {
        if (!currentArmy || !currentArmy->MinorTerrain()) {
            FUI.Message(TGameMessage::Warning, u"Select an army with a minor terrain."_s);
            return;
        }
        if (!currentArmy->HasDisasterShowing() &&
            FUI.Ask(u"Bury "_s + currentArmy->MinorTerrainName() + u" for "_s + currentArmy->FullName() + u'?',
                    TGameButtons::YesNo) != TGameAnswer::Yes) {
            FUI.Show(u"Minor terrain burial cancelled by user."_s);
            return;
        }
        currentArmy->BuryMinorTerrain();
        FUI.RebuildArmyGrid();
    });
}

void TGameCommands::RollMinorTerrain(TArmyInPlay *currentArmy)
{
    Guarded(u"Error rolling minor terrain."_s, u"rolling minor terrain"_s, [&] {
        if (!currentArmy || !currentArmy->MinorTerrain()) {
            FUI.Message(TGameMessage::Warning, u"Select an army with a minor terrain."_s);
            return;
        }
        if (FUI.Ask(u"Roll minor terrain for "_s + currentArmy->FullName() + u'?', TGameButtons::YesNo) != TGameAnswer::Yes)
            return;
        currentArmy->RollMinorTerrain();
        FUI.Refresh(*currentArmy);
    });
}

void TGameCommands::SetTerrainFace(TTerrainInPlay &place)
{
    Guarded(u"Error setting terrain face."_s, u"setting terrain face"_s, [&] {
        const std::optional<int> face =
            FUI.AskNumber(u"Select the new face for "_s + place.FullName() + u'.', 1, TTerrain::kFaceCount);
        if (!face || *face < 1 || *face > TTerrain::kFaceCount)
            return;
        place.PutFace(*face);
        FGame.MarkModified();
        FUI.Refresh(place);
    });
}

void TGameCommands::RollTerrain(TTerrainInPlay &place)
{
    Guarded(u"Error rolling terrain."_s, u"rolling terrain"_s, [&] {
        if (!place.HasTerrainDie())
            return;
        if (FUI.Ask(u"Roll "_s + place.FullName() + u'?', TGameButtons::YesNo) != TGameAnswer::Yes)
            return;
        place.RollTerrain();
        FUI.Refresh(place);
    });
}
