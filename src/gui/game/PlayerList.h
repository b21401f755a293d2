#pragma once

#include "game/GameCommands.h"

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;

// "Choose New Controller": a player (or "(none)") and a message for the log. OK opens
// once a choice is made, and after each edit of the message when "(none)" is chosen or
// the message is not empty.
class TdlgPlayers : public QDialog
{
    Q_OBJECT

public:
    explicit TdlgPlayers(TGame &game, QWidget *parent = nullptr);

    TControlChoice Choice() const;
    // Index into the list: the players in order, then "(none)".
    void Choose(int line);
    void SetMessage(const QString &message);

    QListWidget *lstPlayers;
    QLineEdit *txtMessage;
    QPushButton *btnOK;

private:
    void MessageEdited();

    TGame &FGame;
    bool FChosen = false;
};
