#include "game/GameDialogs.h"

#include "game/ApplyArmy.h"
#include "game/AutoSend.h"
#include "game/MailMessage.h"
#include "game/MarchForm.h"
#include "game/MoveForm.h"
#include "game/NewGame.h"
#include "game/PlayerInfo.h"
#include "game/PlayerList.h"
#include "game/ReasonForm.h"
#include "game/RoutForm.h"
#include "game/SelectTerrain.h"
#include "game/SpellForm.h"

std::optional<TNewGame> TQtGameDialogs::AskNewGame(QWidget *parent)
{
    TdlgNewGame dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}

std::optional<int> TQtGameDialogs::ChooseMarch(QWidget *parent, const QStringList &lines)
{
    TfrmMarch dialog(lines, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}

std::optional<QString> TQtGameDialogs::AskReason(QWidget *parent, const TReasonRequest &request)
{
    TfrmReason dialog(request.Caption, request.Prompt, request.Reasons, request.Default, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Reason();
}

std::optional<TRollReasonAnswer> TQtGameDialogs::AskRollReason(QWidget *parent, const TReasonRequest &request,
                                                               const QStringList &targets)
{
    TfrmRollReason dialog(request.Caption, request.Prompt, request.Reasons, targets, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return TRollReasonAnswer{dialog.Reason(), dialog.Target()};
}

std::optional<TManeuverChoice> TQtGameDialogs::AskManeuver(QWidget *parent, TGame &game, TTerrainInPlay *preselected)
{
    TfrmManeuver dialog(game, preselected, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}

std::optional<TTerrainInPlay *> TQtGameDialogs::AskRout(QWidget *parent, TGame &game, TTerrainInPlay *preselected)
{
    TfrmRout dialog(game, preselected, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}

std::optional<int> TQtGameDialogs::AskTerrainDie(QWidget *parent, const TTerrainInPlay &place)
{
    TfrmTerrainSelect dialog(place, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}

std::optional<TControlChoice> TQtGameDialogs::AskNewController(QWidget *parent, TGame &game)
{
    TdlgPlayers dialog(game, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Choice();
}

std::optional<TCastRequest> TQtGameDialogs::AskCast(QWidget *parent, TGame &game, TArmyInPlay *currentArmy,
                                                    const std::vector<TDieInPlay *> &marked)
{
    TfrmCastSpell dialog(game, currentArmy, marked, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Request();
}

bool TQtGameDialogs::EditPlayers(QWidget *parent, TPrompts &prompts, TGame &game, bool started)
{
    TfrmPlayerInfo dialog(prompts, game, started, parent);
    dialog.exec();
    return dialog.Stored();
}

void TQtGameDialogs::PlaceArmies(QWidget *parent, TfrmMain &main, TGameCommands &commands)
{
    TfrmApplyArmy dialog(main, commands, parent);
    dialog.exec();
}

std::optional<int> TQtGameDialogs::AskAutoSend(QWidget *parent, int interval)
{
    TfrmAutoSend dialog(interval, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Interval();
}

std::optional<QStringList> TQtGameDialogs::AskMailMessage(QWidget *parent)
{
    TdlgMessage dialog(parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Lines();
}
