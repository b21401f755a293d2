#pragma once

// The commands of a game window, without the window.
//
// Each menu command of the game window is one operation of TGameCommands. It runs the
// whole sequence of the command: the questions, the dialogs, the changes of the game,
// its log lines and statuses, and it says what the window must show anew. Everything it
// needs from the window goes through TGameUI, which the game window implements (and a
// scripted stand-in in the tests):
//
//  - questions and messages (Ask, Message), the status line (Show) and the error report
//    of a failed command (ReportError, with the command's context);
//  - the dialogs a command opens part-way (the march list, a reason, the maneuver and
//    rout dialogs, a terrain die, a number), each answering the user's choice or nothing
//    when he cancels;
//  - what to draw again (Refresh of a place, army or die; the grids; the status panels;
//    the menus), the after-action step (saving and sending, which need the window's file
//    and the network) and the busy cursor.
//
// The window only collects what the user pointed at (the marked dice, the current army,
// the selected column), calls the operation and wires the callbacks to its dialogs and
// grids. Each operation is guarded: a TKrException ends it with the command's "Error ..."
// status and ReportError; what it changed before the failure stays changed.

#include "game/GameData.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class TArmy;
class TDie;
class TKrException;

enum class TGameAnswer { Yes, No, Cancel, OK };
enum class TGameButtons { YesNo, YesNoCancel, OKCancel };
enum class TGameMessage { Information, Warning, Error };
// A question is a confirmation, or a warning when what it allows may be a mistake.
enum class TGameAskKind { Confirmation, Warning };

// The reason dialogs: a caption, a prompt, an editable list of reasons and the reason
// proposed (selected when it is in the list, typed in otherwise).
struct TReasonRequest
{
    QString Caption;
    QString Prompt;
    QStringList Reasons;
    QString Default;
};

// The roll reason dialog adds the army the roll targets.
struct TRollReasonAnswer
{
    QString Reason;
    // One of the targets offered; kNoTarget for none.
    QString Target;
};

// What the maneuver dialog was left at.
enum class TManeuverAction { None, MoveUp, MoveDown, MinorTerrain };

struct TManeuverChoice
{
    TTerrainInPlay *Terrain = nullptr;
    TManeuverAction Action = TManeuverAction::None;
    // The player's slot (0..3) of the minor terrain to place; -1 for none.
    int MinorSlot = -1;
};

// What the maneuver dialog shows for a choice: the status line, whether OK and each
// move are open (a choice that is not open is taken back).
struct TManeuverState
{
    QString Status;
    bool OK = false;
    bool MoveUpEnabled = false;
    bool MoveDownEnabled = false;
    bool MinorTerrainEnabled = false;
    TManeuverAction Action = TManeuverAction::None;
};
TManeuverState ManeuverState(const TGame &game, const TManeuverChoice &choice);

// The rout dialog's status line and OK for a terrain (none chosen: nullptr).
struct TRoutState
{
    QString Status;
    bool OK = false;
};
TRoutState RoutState(const TTerrainInPlay *terrain);

// The cast dialog: what its target choices say and which are open.
enum class TSpellTargetKind { Army, MarkedDice, Terrain };
struct TCastSetup
{
    QString ArmyCaption;
    bool ArmyEnabled = false;
    QString MarkedCaption;
    bool MarkedEnabled = false;
    TSpellTargetKind Initial = TSpellTargetKind::Terrain;
};
TCastSetup CastSetup(const TArmyInPlay *currentArmy, const std::vector<TDieInPlay *> &marked);

struct TControlChoice
{
    TPlayer *Player = nullptr;
    QString Message;
};

struct TCastRequest
{
    TPlayer *Caster = nullptr;
    QString Description;
    SpellDuration Duration = SpellDuration::Permanent;
    std::vector<TSpellTarget *> Targets;
    bool Roll = false;
};

// The window's side of the commands.
class TGameUI
{
public:
    virtual ~TGameUI() = default;

    // The user's own e-mail address: whoever's it is has control of a controlled game.
    virtual QString UserEmail() const = 0;

    // Status panel 4 (the log window follows the log).
    virtual void Show(const QString &text) = 0;
    virtual TGameAnswer Ask(const QString &question, TGameButtons buttons, TGameAskKind kind = TGameAskKind::Confirmation) = 0;
    virtual void Message(TGameMessage kind, const QString &text) = 0;
    // "Error <context>." in the main status line and the failure's message in a box.
    virtual void ReportError(const TKrException &failure, const QString &context) = 0;
    virtual void BeginBusy() = 0;
    virtual void EndBusy() = 0;

    // The march dialog: the line chosen (an index into lines), none for Cancel.
    virtual std::optional<int> ChooseMarch(const QStringList &lines) = 0;
    virtual std::optional<QString> AskReason(const TReasonRequest &request) = 0;
    virtual std::optional<TRollReasonAnswer> AskRollReason(const TReasonRequest &request,
                                                           const QStringList &targets) = 0;
    // The maneuver dialog with the terrain preselected; none for Cancel.
    virtual std::optional<TManeuverChoice> AskManeuver(TTerrainInPlay *preselected) = 0;
    virtual std::optional<TTerrainInPlay *> AskRout(TTerrainInPlay *preselected) = 0;
    // The terrain die for a place: an index of the 48 major terrains.
    virtual std::optional<int> AskTerrainDie(const TTerrainInPlay &place) = 0;
    // A whole number from low to high.
    virtual std::optional<int> AskNumber(const QString &prompt, int low, int high) = 0;
    // "Choose New Controller": a player or none, and the message for the log.
    virtual std::optional<TControlChoice> AskNewController() = 0;

    // A place's column rebuilt and selected; an army's place's column; a die's cell.
    virtual void Refresh(const TSpellTarget &target) = 0;
    // Both grids rebuilt, the current army selected again.
    virtual void RebuildGrids() = 0;
    virtual void RebuildArmyGrid() = 0;
    // The status panels 0 to 3 and the caption.
    virtual void RefreshStatus() = 0;
    virtual void UpdateMenus() = 0;
    // The game has started: the Setup menu closes, the Turns and Play menus open.
    virtual void SetStarted() = 0;
    // Empties the scratch pad, saves and sends the game as the options say; a turn
    // change forces the step.
    virtual void AfterAction(bool forced) = 0;
    // A change of control is sent at once when the game is sent automatically.
    virtual void SendControlChange() = 0;
};

// The 20 move reasons and 27 roll reasons, sorted as the dialogs list them.
QStringList MoveReasons();
QStringList RollReasons();
// "(none/various)": a roll that targets no army.
extern const QString kNoTarget;

class TGameCommands
{
public:
    TGameCommands(TGame &game, TGameUI &ui) : FGame(game), FUI(ui) {}

    TGame &Game() const { return FGame; }

    // Setup and turns
    void StartingRoll();
    void StartGame();
    void NextPhase();
    void NextMarch();
    void NextPlayer();
    void SamePhase();
    // Play, "&Maneuver": the maneuver dialog, then the next phase when it was the
    // maneuver step of a game that is not a utility game.
    void Maneuver(TArmyInPlay *currentArmy);

    // Dice
    void RollDice(const std::vector<TDieInPlay *> &marked, TArmyInPlay *currentArmy);
    // The marked dice (in grid order) dragged from the source place onto the target.
    void DropDice(const std::vector<TDieInPlay *> &marked, TTerrainInPlay &source, TTerrainInPlay &target);
    void EraseBurialVault();
    // Place Armies: one army document into a player's army at a place, or every army
    // of a group to the place its type stands on. Answer the dialog's status.
    QString ApplyArmy(TPlayer &player, TTerrainInPlay &place, const TArmy &army, const QString &caption);
    QString ApplyGroup(TPlayer &player, const QString &group, const std::vector<std::pair<const TArmy *, QString>> &armies);
    // Copies the army's dice into an army document, one die at a time through add (the
    // army window's own AddDie, which keeps its grids in step; the document's by
    // default).
    void TransferArmy(const TArmyInPlay &army, TArmy &target, const std::function<void(TDie &)> &add = {});

    // Spells
    void CastSpell(const TCastRequest &request);
    void RemoveSpell(const TSpell &spell);

    // Terrains
    void SetTerrain(TTerrainInPlay &place);
    void Rout(TArmyInPlay *currentArmy);
    void BuryMinorTerrain(TArmyInPlay *currentArmy);
    void RollMinorTerrain(TArmyInPlay *currentArmy);
    void SetTerrainFace(TTerrainInPlay &place);
    void RollTerrain(TTerrainInPlay &place);

    // Control: the game's new controller (or none), announced with the message.
    void SetControl(TPlayer *player, const QString &message);
    // Before the start, in an uncontrolled game or by the controller whose turn it is:
    // any player; else only back to the player whose turn it is.
    void TransferControl(bool started);
    void EmergencyUnlock();

    // Model steps the commands share, public for the window's own use.
    void LogAndShow(const QString &text);
    // The default place of an army of this type for the player.
    TTerrainInPlay &DefaultPlace(const TArmy &army, const TPlayer &player) const;

private:
    void Guarded(const QString &status, const QString &context, const std::function<void()> &command);
    void Rank(std::vector<std::pair<int, int>> &ranking, int low, int high, int depth);
    void DoNextPhase();
    void DoNextMarch();
    void DoNextPlayer();
    void SetControlUnguarded(TPlayer *player, const QString &message);
    void DoManeuver(const TManeuverChoice &choice);
    void OpenManeuver(TArmyInPlay *currentArmy);

    TGame &FGame;
    TGameUI &FUI;
};

// Runs between BeginBusy and EndBusy, EndBusy also when the work fails.
class TBusy
{
public:
    explicit TBusy(TGameUI &ui) : FUI(ui) { FUI.BeginBusy(); }
    ~TBusy() { FUI.EndBusy(); }
    TBusy(const TBusy &) = delete;
    TBusy &operator=(const TBusy &) = delete;

private:
    TGameUI &FUI;
};
