#include "game/PlayerInfo.h"

#include "army/ArmyData.h"
#include "game/GameData.h"
#include "shell/Prompts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmPlayerInfo::TfrmPlayerInfo(TPrompts &prompts, TGame &game, bool started, QWidget *parent)
    : QDialog(parent), FPrompts(prompts), FGame(game)
{
    setObjectName(u"frmPlayerInfo"_s);
    setWindowTitle(u"Player Info"_s);
    lstPlayers = new QListWidget(this);
    lstPlayers->setObjectName(u"lstPlayers"_s);
    for (const TPlayer *player : game.ListPlayers())
        lstPlayers->addItem(player->Name);
    txtName = new QLineEdit(this);
    txtName->setObjectName(u"txtName"_s);
    txtEmail = new QLineEdit(this);
    txtEmail->setObjectName(u"txtEMAIL"_s);
    spnSequence = new QSpinBox(this);
    spnSequence->setObjectName(u"spnSequence"_s);
    spnSequence->setRange(1, game.PlayerCount());
    auto *minors = new QGroupBox(u"Minor Terrains"_s, this);
    auto *minorLayout = new QVBoxLayout(minors);
    for (size_t i = 0; i < cmbMinor.size(); ++i) {
        cmbMinor[i] = new QComboBox(minors);
        cmbMinor[i]->setObjectName(u"cmbMinor%1"_s.arg(i + 1));
        cmbMinor[i]->addItem(u"(none)"_s);
        for (int m = 0; m < TTerrain::kMinorCount; ++m)
            cmbMinor[i]->addItem(MinorTerrainName(m));
        minorLayout->addWidget(cmbMinor[i]);
        connect(cmbMinor[i], &QComboBox::activated, this, &TfrmPlayerInfo::Edited);
    }
    btnSave = new QPushButton(u"Save"_s, this);
    btnSave->setObjectName(u"btnSave"_s);
    btnClose = new QPushButton(u"Close"_s, this);
    btnClose->setObjectName(u"btnClose"_s);

    // Once the game runs only the address may change: names, order and minor terrains
    // are part of the board.
    txtName->setEnabled(!started);
    spnSequence->setEnabled(!started);
    minors->setEnabled(!started);

    auto *form = new QFormLayout;
    form->addRow(u"Name"_s, txtName);
    form->addRow(u"EMAIL"_s, txtEmail);
    form->addRow(u"Seq #"_s, spnSequence);
    auto *fields = new QVBoxLayout;
    fields->addLayout(form);
    fields->addWidget(minors);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnSave);
    buttons->addWidget(btnClose);
    fields->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(lstPlayers);
    layout->addLayout(fields, 1);

    connect(txtName, &QLineEdit::textEdited, this, &TfrmPlayerInfo::Edited);
    connect(txtEmail, &QLineEdit::textEdited, this, &TfrmPlayerInfo::Edited);
    connect(spnSequence, &QSpinBox::valueChanged, this, &TfrmPlayerInfo::Edited);
    connect(btnSave, &QPushButton::clicked, this, &TfrmPlayerInfo::StoreData);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(lstPlayers, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row != FShown && !SelectPlayer(row)) {
            const QSignalBlocker block(lstPlayers);
            lstPlayers->setCurrentRow(FShown);
        }
    });
    lstPlayers->setCurrentRow(0);
}

bool TfrmPlayerInfo::SelectPlayer(int index)
{
    if (index < 0 || index >= FGame.PlayerCount())
        return false;
    if (index != FShown && !QueryClose())
        return false;
    FShown = index;
    if (lstPlayers->currentRow() != index) {
        const QSignalBlocker block(lstPlayers);
        lstPlayers->setCurrentRow(index);
    }
    LoadPlayer();
    return true;
}

void TfrmPlayerInfo::LoadPlayer()
{
    FLoading = true;
    const TPlayer &player = *FGame.Player(FShown + 1);
    txtName->setText(player.Name);
    txtEmail->setText(player.Email);
    spnSequence->setValue(FGame.PositionOf(player));
    for (size_t i = 0; i < cmbMinor.size(); ++i) {
        const int minor = player.MinorTerrainIndex(int(i));
        cmbMinor[i]->setCurrentIndex(minor == TPlayer::kNoMinorTerrain ? 0 : minor + 1);
    }
    FChanged = false;
    btnSave->setEnabled(false);
    FLoading = false;
}

void TfrmPlayerInfo::Edited()
{
    if (FLoading)
        return;
    FChanged = true;
    btnSave->setEnabled(true);
}

void TfrmPlayerInfo::StoreData()
{
    if (FShown < 0)
        return;
    TPlayer &player = *FGame.Player(FShown + 1);
    if (player.Name != txtName->text()) {
        player.Name = txtName->text();
        lstPlayers->item(FShown)->setText(player.Name);
    }
    player.Email = txtEmail->text();
    FGame.SetPosition(player, spnSequence->value());
    for (size_t i = 0; i < cmbMinor.size(); ++i)
        player.SetMinorTerrainIndex(int(i), cmbMinor[i]->currentIndex() - 1);
    FGame.MarkModified();
    FChanged = false;
    FStored = true;
    btnSave->setEnabled(false);
}

bool TfrmPlayerInfo::QueryClose()
{
    if (!FChanged || FShown < 0)
        return true;
    switch (FPrompts.Confirm(windowTitle(), u"Save changes to "_s + FGame.Player(FShown + 1)->Name + u'?',
                             TButtons::YesNoCancel)) {
    case TAnswer::Yes:
        StoreData();
        return true;
    case TAnswer::No:
        FChanged = false;
        return true;
    default:
        return false;
    }
}

void TfrmPlayerInfo::closeEvent(QCloseEvent *event)
{
    if (!QueryClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TfrmPlayerInfo::reject()
{
    if (QueryClose())
        QDialog::reject();
}
