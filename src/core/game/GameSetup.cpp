#include "game/GameSetup.h"

#include "game/GameData.h"

using namespace Qt::StringLiterals;

bool NewGameComplete(const TNewGame &choice)
{
    return !choice.Name.isEmpty() && !choice.FirstPlayer.isEmpty();
}

std::unique_ptr<TGame> CreateGame(TCatalogue &catalogue, const TClock &clock, const TNewGame &choice,
                                  const QString &userEmail)
{
    auto game = std::make_unique<TGame>(catalogue, clock, choice.Players, choice.Name);
    TPlayer &first = *game->Player(1);
    first.Name = choice.FirstPlayer;
    first.Email = userEmail;
    game->FtpGame = choice.Mode == TPlayMode::Ftp;
    game->Utility = choice.Mode == TPlayMode::Utility;
    game->StaggeredStart = choice.StaggeredStart && !game->Utility;
    if (!choice.Uncontrolled && !game->Utility)
        game->SetController(&first);
    return game;
}

std::optional<QString> ControlMessage(const TGame &game, const QString &userEmail)
{
    if (!game.Controller() || !game.HasControl(userEmail))
        return std::nullopt;
    if (!game.Log().isEmpty() && game.Log().last().startsWith(u">* "_s))
        return game.Log().last().mid(3);
    return u"You now have control of the game."_s;
}
