#pragma once

// The game's own dialogs, behind one interface: the game window and the main window's
// New Game open them only through TGameDialogs, so that a test can play a whole game
// with answers from a script, as TPrompts does for the message boxes. The real
// implementation opens the dialogs below modally over the window given.

#include "game/GameCommands.h"
#include "game/GameSetup.h"

#include <optional>

class QWidget;
class TPrompts;
class TfrmMain;

class TGameDialogs
{
public:
    virtual ~TGameDialogs() = default;

    virtual std::optional<TNewGame> AskNewGame(QWidget *parent) = 0;
    virtual std::optional<int> ChooseMarch(QWidget *parent, const QStringList &lines) = 0;
    virtual std::optional<QString> AskReason(QWidget *parent, const TReasonRequest &request) = 0;
    virtual std::optional<TRollReasonAnswer> AskRollReason(QWidget *parent, const TReasonRequest &request,
                                                           const QStringList &targets) = 0;
    virtual std::optional<TManeuverChoice> AskManeuver(QWidget *parent, TGame &game,
                                                       TTerrainInPlay *preselected) = 0;
    virtual std::optional<TTerrainInPlay *> AskRout(QWidget *parent, TGame &game, TTerrainInPlay *preselected) = 0;
    virtual std::optional<int> AskTerrainDie(QWidget *parent, const TTerrainInPlay &place) = 0;
    virtual std::optional<TControlChoice> AskNewController(QWidget *parent, TGame &game) = 0;
    // The cast dialog set up for the current army and the marked dice.
    virtual std::optional<TCastRequest> AskCast(QWidget *parent, TGame &game, TArmyInPlay *currentArmy,
                                                const std::vector<TDieInPlay *> &marked) = 0;
    // The player data dialog; answers whether anything was stored.
    virtual bool EditPlayers(QWidget *parent, TPrompts &prompts, TGame &game, bool started) = 0;
    // Place Armies: applies armies of the open army windows until the user closes it.
    virtual void PlaceArmies(QWidget *parent, TfrmMain &main, TGameCommands &commands) = 0;
    // "Automatic Send and Receive": the new interval in seconds (0 for off).
    virtual std::optional<int> AskAutoSend(QWidget *parent, int interval) = 0;
    // "Enter a Brief Message": the body of a mailed game.
    virtual std::optional<QStringList> AskMailMessage(QWidget *parent) = 0;
};

class TQtGameDialogs final : public TGameDialogs
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
};
