// The game window's commands of the turn, the setup and control.

#include "game/GameCommands.h"

#include "KrException.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Players who tie at the lowest score roll again among themselves; dice that never
// show a maneuver tie for ever, so after this many rolls the tie keeps its order.
constexpr int kMaxRankingRolls = 20;

} // namespace

const QString kNoTarget = u"(none/various)"_s;

QStringList MoveReasons()
{
    QStringList reasons{u"Buried by SAI"_s,     u"Buried by Spell"_s,       u"Buried by Terrain Effect"_s,
                        u"Buried to Double Magic"_s, u"Firewalking"_s,    u"Initial Placement"_s,
                        u"Killed by Racial Power"_s, u"Killed by Terrain Effect"_s, u"Killed by SAI"_s,
                        u"Killed by Spell"_s,   u"Killed in Combat"_s,      u"Mutated"_s,
                        u"Promoting In"_s,      u"Promoting Out"_s,         u"Recruiting"_s,
                        u"Reinforcing"_s,       u"Retreating"_s,            u"Sent by SAI"_s,
                        u"Sent by Spell"_s,     u"Summoned"_s};
    reasons.sort(Qt::CaseInsensitive);
    return reasons;
}

QStringList RollReasons()
{
    QStringList reasons{u"Anti-Magic"_s,
                        u"Confuse"_s,
                        u"Counter-Maneuver"_s,
                        u"Counter-Roll"_s,
                        u"Dispel Magic"_s,
                        u"Double Strike"_s,
                        u"Dragon Attack"_s,
                        u"Dragon Save"_s,
                        u"Flurry"_s,
                        u"Magic"_s,
                        u"Maneuver"_s,
                        u"Missile Attack"_s,
                        u"Missile Save"_s,
                        u"Rend"_s,
                        u"Replacement Roll"_s,
                        u"Reroll"_s,
                        u"Rise from Ashes"_s,
                        u"Save against Burial"_s,
                        u"Save against SAI Effect"_s,
                        u"Save against Spell"_s,
                        u"Melee Attack"_s,
                        u"Melee Counterattack"_s,
                        u"Melee Counterattack Save"_s,
                        u"Melee Save"_s,
                        u"Summoned by SAI"_s,
                        u"Tail"_s,
                        u"Turn Order Setup"_s};
    reasons.sort(Qt::CaseInsensitive);
    return reasons;
}

void TGameCommands::Guarded(const QString &status, const QString &context, const std::function<void()> &command)
{
    try {
        command();
    } catch (const TKrException &failure) {
        FUI.Show(status);
        FUI.ReportError(failure, context);
    }
}

void TGameCommands::LogAndShow(const QString &text)
{
    FGame.LogLine(text);
    FUI.Show(text);
}

// ---------------------------------------------------------------------------------
// The starting roll and the start

void TGameCommands::StartingRoll()
{
    Guarded(u"Error rolling for turn sequence."_s, u"rolling for turn sequence"_s, [&] {
        TTerrainInPlay &reserves = FGame.FixedPlace(GamePlace::Reserves);
        for (int p = 1; p <= FGame.PlayerCount(); ++p) {
            if (reserves.ArmyEmpty(p)) {
                FUI.Message(TGameMessage::Information, u"Not all hordes have been placed at the reserves!"_s);
                return;
            }
        }
        std::vector<std::pair<int, int>> ranking; // player, score
        for (int p = 1; p <= FGame.PlayerCount(); ++p)
            ranking.emplace_back(p, 0);
        Rank(ranking, 1, FGame.PlayerCount(), 0);
        // Each moved to the front in ranking order: the highest score ends first.
        for (const auto &[player, score] : ranking)
            FGame.SetPosition(*FGame.Player(player), 1);
        QStringList lines;
        for (const TPlayer *player : FGame.ListPlayers()) {
            const QString line = player->Name + u" is at position "_s +
                                 QString::number(FGame.PositionOf(*player)) + u'.';
            LogAndShow(u"> "_s + line);
            lines << line;
        }
        FUI.Refresh(reserves);
        FUI.Message(TGameMessage::Information, lines.join(u'\n'));
    });
}

void TGameCommands::Rank(std::vector<std::pair<int, int>> &ranking, int low, int high, int depth)
{
    FUI.Show(QString::asprintf("Sorting: %d to %d", low, high));
    TTerrainInPlay &reserves = FGame.FixedPlace(GamePlace::Reserves);
    for (int position = low; position <= high; ++position) {
        auto &[player, score] = ranking[size_t(position - 1)];
        score = reserves.Army(player)->CountManeuvers();
    }
    // A stable insertion sort: a player moves forward only past higher scores.
    for (int position = low + 1; position <= high; ++position) {
        for (int at = position; at > low && ranking[size_t(at - 2)].second > ranking[size_t(at - 1)].second; --at)
            std::swap(ranking[size_t(at - 2)], ranking[size_t(at - 1)]);
    }
    // Only the players tied at the lowest score roll again; ties at a higher score keep
    // their order.
    int end = low;
    while (end < high && ranking[size_t(end)].second == ranking[size_t(low - 1)].second)
        ++end;
    if (end > low && depth + 1 < kMaxRankingRolls)
        Rank(ranking, low, end, depth + 1);
}

void TGameCommands::StartGame()
{
    Guarded(u"Error starting game."_s, u"starting game"_s, [&] {
        std::vector<qint64> totals(size_t(FGame.PlayerCount()) + 1, 0);
        qint64 reserve = 0;
        for (const TTerrainInPlay *place : FGame.ListPlaces(false)) {
            if (place->IsTerrain() && !place->HasTerrainDie()) {
                FUI.Message(TGameMessage::Warning,
                            u"Cannot start game:  no terrain die at "_s + place->FullName() + u'.');
                return;
            }
            for (int p = 1; p <= FGame.PlayerCount(); ++p) {
                const qint32 health = place->Army(p)->Health();
                totals[size_t(p)] += health;
                if (place->Index() == GamePlace::Reserves)
                    reserve += health;
            }
        }
        if (reserve > 0) {
            FUI.Message(TGameMessage::Warning, u"Cannot start game:  some hordes are still in reserves."_s);
            return;
        }
        const bool even = std::all_of(totals.begin() + 1, totals.end(), [&](qint64 t) { return t == totals[1]; });
        const TGameAnswer answer =
            even ? FUI.Ask(u"Start this game?"_s, TGameButtons::YesNo)
                 : FUI.Ask(u"Not all players have an army of "_s + QString::number(totals[1]) +
                               u" health.  Start anyway?"_s,
                           TGameButtons::YesNo, TGameAskKind::Warning);
        if (answer != TGameAnswer::Yes)
            return;
        LogAndShow(u"Rolling terrains."_s);
        for (TTerrainInPlay *place : FGame.ListPlaces(false)) {
            if (place->HasTerrainDie()) {
                place->RollTerrain();
                FUI.Refresh(*place);
            }
        }
        FGame.Start();
        if (FGame.Controller())
            FGame.SetController(&FGame.CurrentPlayer());
        FUI.SetStarted();
        FUI.UpdateMenus();
    });
}

// ---------------------------------------------------------------------------------
// Phases, marches and turns

void TGameCommands::NextPhase()
{
    Guarded(u"Error changing phase."_s, u"changing phase"_s, [&] { DoNextPhase(); });
}

void TGameCommands::DoNextPhase()
{
    const int phase = FGame.Phase();
    const int step = FGame.Step();
    if (phase == 0 || (phase <= 2 && step == 1)) {
        DoNextMarch();
    } else if (phase <= 2) {
        TTerrainInPlay *march = FGame.MarchTerrain();
        const int player = FGame.CurrentPlayerNumber();
        if (!march) {
            FUI.Message(TGameMessage::Error, u"No current march terrain is selected.  Proceeding to action phase."_s);
            FGame.AdvanceStep();
            FUI.AfterAction(false);
        } else if (march->FaceKind() == TerrainFaceKind::Melee && march->Unopposed(player)) {
            // Melee with nobody to fight: nothing to do unless a minor terrain is there.
            if (!march->Army(player)->MinorTerrain()) {
                LogAndShow(u"No possible action."_s);
                DoNextMarch();
            }
        } else if (FUI.Ask(u"Begin action phase for this march?"_s, TGameButtons::YesNo) == TGameAnswer::Yes) {
            FGame.AdvanceStep();
            FUI.AfterAction(false);
            LogAndShow(u"Beginning action phase."_s);
        } else {
            FUI.Show(u"Phase change aborted."_s);
        }
    } else if (step == 1) {
        DoNextPlayer();
    } else if (FUI.Ask(u"Begin retreat phase?"_s, TGameButtons::YesNo) == TGameAnswer::Yes) {
        FGame.AdvanceStep();
        FUI.AfterAction(false);
        LogAndShow(u"Beginning retreat phase."_s);
    } else {
        FUI.Show(u"Phase change aborted."_s);
    }
    FUI.RefreshStatus();
}

void TGameCommands::NextMarch()
{
    Guarded(u"Error changing march."_s, u"changing march"_s, [&] { DoNextMarch(); });
}

void TGameCommands::DoNextMarch()
{
    while (FGame.Phase() < 2 && !FGame.MarchPossible())
        FGame.AdvancePhase();
    TPlayer &player = FGame.CurrentPlayer();
    if (FGame.Phase() < 2) {
        std::vector<TTerrainInPlay *> candidates;
        QStringList lines;
        for (int index = GamePlace::Reserves; index < FGame.PlaceCount(); ++index) {
            TTerrainInPlay *place = FGame.Place(index);
            const qint32 health = place->Army(player.Number())->Health();
            if (place == FGame.MarchTerrain() || health <= 0)
                continue;
            candidates.push_back(place);
            lines << place->FullName() + u", "_s + QString::number(health) + u'h';
        }
        const std::optional<int> chosen = FUI.ChooseMarch(lines);
        if (!chosen || *chosen < 0 || *chosen >= int(candidates.size())) {
            FUI.Show(u"March change aborted."_s);
            return;
        }
        TTerrainInPlay &march = *candidates[size_t(*chosen)];
        FGame.SetMarchTerrain(&march);
        FGame.AdvancePhase();
        FUI.AfterAction(false);
        LogAndShow(u"New march for player "_s + player.Name + u" at "_s + march.FullName() + u'.');
        TArmyInPlay &army = *march.Army(player.Number());
        if (army.MinorTerrain())
            army.RollMinorTerrain();
        FUI.Refresh(march);
        if (!army.OwnsTerrain && march.HasTerrainDie()) {
            if (march.Unopposed(player.Number())) {
                if (FUI.Ask(u"Maneuver "_s + march.FullName() + u'?', TGameButtons::YesNo) == TGameAnswer::Yes) {
                    LogAndShow(u"Unopposed maneuver."_s);
                    OpenManeuver(&army);
                }
            } else if (FUI.Ask(u"Roll "_s + march.FullName() + u" for maneuvers?"_s, TGameButtons::YesNo) ==
                       TGameAnswer::Yes) {
                LogAndShow(u"> Rolling for maneuvers at "_s + march.FullName() + u'.');
                march.Roll();
                FUI.RebuildArmyGrid();
            }
            FUI.AfterAction(false);
        } else {
            FGame.AdvanceStep();
            FUI.AfterAction(false);
            LogAndShow(u"No maneuver phase."_s);
            FUI.AfterAction(false);
        }
    } else if (FGame.Phase() == 2) {
        if (FUI.Ask(u"Begin reserve step?"_s, TGameButtons::YesNo) != TGameAnswer::Yes) {
            FUI.Show(u"March change aborted."_s);
            return;
        }
        FGame.AdvancePhase();
        TTerrainInPlay &reserves = FGame.FixedPlace(GamePlace::Reserves);
        if (!reserves.ArmyEmpty(player.Number())) {
            FUI.Refresh(reserves);
            LogAndShow(u"Beginning reinforce phase."_s);
        } else {
            FGame.AdvanceStep();
            LogAndShow(u"Beginning retreat phase."_s);
        }
        FUI.AfterAction(false);
    } else {
        DoNextPlayer();
    }
}

void TGameCommands::NextPlayer()
{
    Guarded(u"Error processing turn change."_s, u"changing turns"_s, [&] { DoNextPlayer(); });
}

void TGameCommands::DoNextPlayer()
{
    if (FUI.Ask(u"End "_s + FGame.CurrentPlayer().Name + u"'s turn?"_s, TGameButtons::YesNo) == TGameAnswer::Yes) {
        FGame.EndTurn();
        if (FGame.Controller())
            FGame.SetController(&FGame.CurrentPlayer());
        FUI.AfterAction(true);
    } else {
        FUI.Show(u"Turn change aborted."_s);
    }
    FUI.UpdateMenus();
}

void TGameCommands::SamePhase()
{
    Guarded(u"Error resetting phase."_s, u"resetting phase"_s, [&] {
        FGame.ResetPhase();
        FUI.RefreshStatus();
        FUI.AfterAction(false);
    });
}

// ---------------------------------------------------------------------------------
// Control

void TGameCommands::SetControl(TPlayer *player, const QString &message)
{
    Guarded(u"Error transferring control."_s, u"transferring control"_s,
            [&] { SetControlUnguarded(player, message); });
}

void TGameCommands::SetControlUnguarded(TPlayer *player, const QString &message)
{
    const TBusy busy(FUI);
    FGame.SetController(player);
    FUI.Show(player ? u"Control transferred to "_s + player->Name + u'.' : u"Game is no longer controlled."_s);
    if (!message.isEmpty())
        LogAndShow(u">* "_s + message);
    FUI.SendControlChange();
    FUI.RefreshStatus();
    FUI.UpdateMenus();
}

void TGameCommands::TransferControl(bool started)
{
    Guarded(u"Error transferring control."_s, u"transferring control"_s, [&] {
        const TPlayer *controller = FGame.Controller();
        TPlayer &current = FGame.CurrentPlayer();
        if (!started || !controller || controller == &current) {
            if (const std::optional<TControlChoice> choice = FUI.AskNewController())
                SetControlUnguarded(choice->Player, choice->Message);
        } else if (FUI.Ask(u"Transfer control back to "_s + current.Name + u'?', TGameButtons::OKCancel) ==
                   TGameAnswer::OK) {
            SetControlUnguarded(&current, QString());
        }
    });
}

void TGameCommands::EmergencyUnlock()
{
    Guarded(u"Error transferring control."_s, u"transferring control"_s, [&] {
        if (FUI.Ask(u"Are you ABSOLUTELY SURE you want to do an emergency unlock of this game?"_s, TGameButtons::YesNo,
                    TGameAskKind::Warning) == TGameAnswer::Yes)
            SetControlUnguarded(nullptr, u"Emergency unlock."_s);
    });
}
