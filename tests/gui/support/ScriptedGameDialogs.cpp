#include "ScriptedGameDialogs.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

template <typename T>
T Next(std::deque<T> &queue, const char *what, QStringList &transcript, const QString &line)
{
    transcript << line;
    if (queue.empty()) {
        ADD_FAILURE() << "the script has no answer for the " << what << " dialog";
        return T{};
    }
    T answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

} // namespace

std::optional<TNewGame> TScriptedGameDialogs::AskNewGame(QWidget *)
{
    return Next(NewGames, "new game", Transcript, u"new game"_s);
}

std::optional<int> TScriptedGameDialogs::ChooseMarch(QWidget *, const QStringList &lines)
{
    return Next(Marches, "march", Transcript, u"march: "_s + lines.join(u" | "_s));
}

std::optional<QString> TScriptedGameDialogs::AskReason(QWidget *, const TReasonRequest &request)
{
    return Next(Reasons, "reason", Transcript, u"reason: "_s + request.Caption + u" / "_s + request.Default);
}

std::optional<TRollReasonAnswer> TScriptedGameDialogs::AskRollReason(QWidget *, const TReasonRequest &request,
                                                                     const QStringList &targets)
{
    return Next(RollReasons, "roll reason", Transcript,
                u"roll reason: "_s + request.Caption + u" / "_s + targets.join(u" | "_s));
}

std::optional<TManeuverChoice> TScriptedGameDialogs::AskManeuver(QWidget *, TGame &, TTerrainInPlay *preselected)
{
    return Next(Maneuvers, "maneuver", Transcript,
                u"maneuver: "_s + (preselected ? preselected->FullName() : u"(none)"_s));
}

std::optional<TTerrainInPlay *> TScriptedGameDialogs::AskRout(QWidget *, TGame &, TTerrainInPlay *preselected)
{
    return Next(Routs, "rout", Transcript, u"rout: "_s + (preselected ? preselected->FullName() : u"(none)"_s));
}

std::optional<int> TScriptedGameDialogs::AskTerrainDie(QWidget *, const TTerrainInPlay &place)
{
    return Next(TerrainDice, "terrain die", Transcript, u"terrain die: "_s + place.FullName());
}

std::optional<TControlChoice> TScriptedGameDialogs::AskNewController(QWidget *, TGame &)
{
    return Next(Controllers, "new controller", Transcript, u"new controller"_s);
}

std::optional<TCastRequest> TScriptedGameDialogs::AskCast(QWidget *, TGame &game, TArmyInPlay *currentArmy,
                                                          const std::vector<TDieInPlay *> &marked)
{
    auto answer = Next(Casts, "cast", Transcript, u"cast"_s);
    return answer ? answer(game, currentArmy, marked) : std::nullopt;
}

bool TScriptedGameDialogs::EditPlayers(QWidget *, TPrompts &prompts, TGame &game, bool started)
{
    auto step = Next(PlayerEdits, "player data", Transcript, u"player data"_s);
    if (step)
        step(prompts, game, started);
    return bool(step);
}

void TScriptedGameDialogs::PlaceArmies(QWidget *, TfrmMain &main, TGameCommands &commands)
{
    auto step = Next(Placements, "place armies", Transcript, u"place armies"_s);
    if (step)
        step(main, commands);
}

std::optional<int> TScriptedGameDialogs::AskAutoSend(QWidget *, int interval)
{
    return Next(AutoSends, "auto-send", Transcript, u"auto-send: "_s + QString::number(interval));
}

std::optional<QStringList> TScriptedGameDialogs::AskMailMessage(QWidget *)
{
    return Next(MailMessages, "mail message", Transcript, u"mail message"_s);
}

void TScriptedGameDialogs::CheckAllUsed()
{
    const auto check = [](const auto &queue, const char *what) {
        EXPECT_TRUE(queue.empty()) << queue.size() << " answers left for the " << what << " dialog";
    };
    check(NewGames, "new game");
    check(Marches, "march");
    check(Reasons, "reason");
    check(RollReasons, "roll reason");
    check(Maneuvers, "maneuver");
    check(Routs, "rout");
    check(TerrainDice, "terrain die");
    check(Controllers, "new controller");
    check(Casts, "cast");
    check(PlayerEdits, "player data");
    check(Placements, "place armies");
    check(AutoSends, "auto-send");
    check(MailMessages, "mail message");
    NewGames.clear();
    Marches.clear();
    Reasons.clear();
    RollReasons.clear();
    Maneuvers.clear();
    Routs.clear();
    TerrainDice.clear();
    Controllers.clear();
    Casts.clear();
    PlayerEdits.clear();
    Placements.clear();
    AutoSends.clear();
    MailMessages.clear();
}
