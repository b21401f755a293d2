#pragma once

// Making a new game, and what the game window says when a game arrives in it.

#include <QString>

#include <memory>
#include <optional>

class TCatalogue;
class TClock;
class TGame;

// How a game is shared: by mail, through the FTP server, or not at all.
enum class TPlayMode { Email, Ftp, Utility };

// What the new-game dialog was left at.
struct TNewGame
{
    QString Name = QStringLiteral("New Game");
    int Players = 2;
    QString FirstPlayer;
    TPlayMode Mode = TPlayMode::Email;
    bool StaggeredStart = false;
    bool Uncontrolled = false;
};

// The dialog's OK: a game name, a first player's name and a mode.
bool NewGameComplete(const TNewGame &choice);

// The game of the new-game dialog: player 1 named as typed and given the user's own
// address, the play mode's flags, and player 1 in control unless the game is
// uncontrolled (a utility game always is, and never has a staggered start).
std::unique_ptr<TGame> CreateGame(TCatalogue &catalogue, const TClock &clock, const TNewGame &choice,
                                  const QString &userEmail);

// When a game with a controller arrives in a window and the user has control: "You now
// have control of the game.", or the message that came with the control (the rest of
// the last log line when it begins ">* ").
std::optional<QString> ControlMessage(const TGame &game, const QString &userEmail);
