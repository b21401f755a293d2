#include "game/PlayerList.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TdlgPlayers::TdlgPlayers(TGame &game, QWidget *parent) : QDialog(parent), FGame(game)
{
    setObjectName(u"dlgPlayers"_s);
    setWindowTitle(u"Choose New Controller"_s);
    auto *label = new QLabel(u"New Controlling Player"_s, this);
    lstPlayers = new QListWidget(this);
    lstPlayers->setObjectName(u"lstPlayers"_s);
    for (const TPlayer *player : game.ListPlayers())
        lstPlayers->addItem(player->Name);
    lstPlayers->addItem(u"(none)"_s);
    const int controller = game.ControllerNumber();
    lstPlayers->setCurrentRow(controller > 0 ? controller - 1 : game.PlayerCount());
    label->setBuddy(lstPlayers);
    auto *messageLabel = new QLabel(u"Message"_s, this);
    txtMessage = new QLineEdit(this);
    txtMessage->setObjectName(u"txtMessage"_s);
    messageLabel->setBuddy(txtMessage);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK = buttons->button(QDialogButtonBox::Ok);
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    for (QWidget *widget : std::initializer_list<QWidget *>{label, lstPlayers, messageLabel, txtMessage, buttons})
        layout->addWidget(widget);
    connect(lstPlayers, &QListWidget::itemClicked, this, [this] {
        FChosen = true;
        btnOK->setEnabled(true);
    });
    connect(txtMessage, &QLineEdit::textEdited, this, &TdlgPlayers::MessageEdited);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (btnOK->isEnabled())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

TControlChoice TdlgPlayers::Choice() const
{
    return {FGame.Player(lstPlayers->currentRow() + 1), txtMessage->text()};
}

void TdlgPlayers::Choose(int line)
{
    lstPlayers->setCurrentRow(line);
    FChosen = true;
    btnOK->setEnabled(true);
}

void TdlgPlayers::SetMessage(const QString &message)
{
    txtMessage->setText(message);
    MessageEdited();
}

void TdlgPlayers::MessageEdited()
{
    // Handing control to a player comes with a word on what he is to do.
    const bool none = lstPlayers->currentRow() == FGame.PlayerCount();
    btnOK->setEnabled(FChosen && (none || !txtMessage->text().isEmpty()));
}
