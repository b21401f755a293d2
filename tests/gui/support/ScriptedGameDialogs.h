#pragma once

// The game's dialogs played from a script: each dialog takes the next answer queued for
// it and is written down in Transcript; a dialog the script did not expect fails the
// test and is cancelled.

#include "game/GameDialogs.h"

#include <QStringList>

#include <deque>
#include <functional>

class TScriptedGameDialogs : public TGameDialogs
{
public:
    std::optional<TNewGame> AskNewGame(QWidget *parent) override;
    std::optional<int> ChooseMarch(QWidget *parent, const QStringList &lines) override;
    std::optional<QString> AskReason(QWidget *parent, const TReasonRequest &request) override;
    std::optional<TRollReasonAnswer> AskRollReason(QWidget *parent, const TReasonRequest &request,
                                                   const QStringList &targets) override;
    std::optional<TManeuverChoice> AskManeuver(QWidget *parent, TGame &game, TTerrainInPlay *preselected) override;
    std::optional<TTerrainInPlay *> AskRout(QWidget *parent, TGame &game, TTerrainInPlay *preselected) override;
    std::optional<int> AskTerrainDie(QWidget *parent, const TTerrainInPlay &place) override;
    std::optional<TControlChoice> AskNewController(QWidget *parent, TGame &game) override;
    std::optional<TCastRequest> AskCast(QWidget *parent, TGame &game, TArmyInPlay *currentArmy,
                                        const std::vector<TDieInPlay *> &marked) override;
    bool EditPlayers(QWidget *parent, TPrompts &prompts, TGame &game, bool started) override;
    void PlaceArmies(QWidget *parent, TfrmMain &main, TGameCommands &commands) override;
    std::optional<int> AskAutoSend(QWidget *parent, int interval) override;
    std::optional<QStringList> AskMailMessage(QWidget *parent) override;

    // Fails the test for every answer not used, and forgets them.
    void CheckAllUsed();

    QStringList Transcript;
    std::deque<std::optional<TNewGame>> NewGames;
    std::deque<std::optional<int>> Marches;
    std::deque<std::optional<QString>> Reasons;
    std::deque<std::optional<TRollReasonAnswer>> RollReasons;
    std::deque<std::optional<TManeuverChoice>> Maneuvers;
    std::deque<std::optional<TTerrainInPlay *>> Routs;
    std::deque<std::optional<int>> TerrainDice;
    std::deque<std::optional<TControlChoice>> Controllers;
    // The cast dialog is answered from what it was opened on.
    std::deque<std::function<std::optional<TCastRequest>(TGame &, TArmyInPlay *, const std::vector<TDieInPlay *> &)>>
        Casts;
    // The player data and place armies dialogs run a step of the test.
    std::deque<std::function<void(TPrompts &, TGame &, bool)>> PlayerEdits;
    std::deque<std::function<void(TfrmMain &, TGameCommands &)>> Placements;
    std::deque<std::optional<int>> AutoSends;
    std::deque<std::optional<QStringList>> MailMessages;
};
