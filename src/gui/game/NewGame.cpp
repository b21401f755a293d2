#include "game/NewGame.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TdlgNewGame::TdlgNewGame(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"dlgNewGame"_s);
    setWindowTitle(u"New Game"_s);
    txtName = new QLineEdit(u"New Game"_s, this);
    txtName->setObjectName(u"txtName"_s);
    spnPlayers = new QSpinBox(this);
    spnPlayers->setObjectName(u"spnPlayers"_s);
    spnPlayers->setRange(1, 10);
    spnPlayers->setValue(2);
    txtPlayerName = new QLineEdit(this);
    txtPlayerName->setObjectName(u"txtPlayerName"_s);

    auto *mode = new QGroupBox(u"Play Mode"_s, this);
    rbEmail = new QRadioButton(u"EMAIL"_s, mode);
    rbEmail->setObjectName(u"rbEmail"_s);
    rbFtp = new QRadioButton(u"FTP"_s, mode);
    rbFtp->setObjectName(u"rbFtp"_s);
    rbUtility = new QRadioButton(u"Utility"_s, mode);
    rbUtility->setObjectName(u"rbUtility"_s);
    auto *modes = new QVBoxLayout(mode);
    for (QRadioButton *button : {rbEmail, rbFtp, rbUtility}) {
        modes->addWidget(button);
        connect(button, &QRadioButton::toggled, this, &TdlgNewGame::ModeChanged);
    }
    chkStaggered = new QCheckBox(u"Staggered Start"_s, this);
    chkStaggered->setObjectName(u"chkStaggered"_s);
    chkUncontrolled = new QCheckBox(u"Uncontrolled"_s, this);
    chkUncontrolled->setObjectName(u"chkUncontrolled"_s);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK = buttons->button(QDialogButtonBox::Ok);
    btnOK->setObjectName(u"btnOK"_s);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (CanAccept())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *form = new QFormLayout;
    form->addRow(u"Name of Game"_s, txtName);
    form->addRow(u"Number of Players"_s, spnPlayers);
    form->addRow(u"Player 1 Name"_s, txtPlayerName);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(mode);
    layout->addWidget(chkStaggered);
    layout->addWidget(chkUncontrolled);
    layout->addWidget(buttons);
    connect(txtName, &QLineEdit::textChanged, this, &TdlgNewGame::UpdateOK);
    connect(txtPlayerName, &QLineEdit::textChanged, this, &TdlgNewGame::UpdateOK);
    UpdateOK();
}

TNewGame TdlgNewGame::Choice() const
{
    TNewGame choice;
    choice.Name = txtName->text();
    choice.Players = spnPlayers->value();
    choice.FirstPlayer = txtPlayerName->text();
    choice.Mode = rbFtp->isChecked() ? TPlayMode::Ftp : rbUtility->isChecked() ? TPlayMode::Utility : TPlayMode::Email;
    choice.StaggeredStart = chkStaggered->isChecked();
    choice.Uncontrolled = chkUncontrolled->isChecked();
    return choice;
}

void TdlgNewGame::SetMode(TPlayMode mode)
{
    (mode == TPlayMode::Ftp ? rbFtp : mode == TPlayMode::Utility ? rbUtility : rbEmail)->setChecked(true);
}

bool TdlgNewGame::CanAccept() const
{
    const bool mode = rbEmail->isChecked() || rbFtp->isChecked() || rbUtility->isChecked();
    return mode && NewGameComplete(Choice());
}

void TdlgNewGame::ModeChanged()
{
    // A game that is not shared has nobody else to hand control to or to wait for.
    const bool utility = rbUtility->isChecked();
    if (utility) {
        chkUncontrolled->setChecked(true);
        chkStaggered->setChecked(false);
    }
    chkUncontrolled->setEnabled(!utility);
    chkStaggered->setEnabled(!utility);
    UpdateOK();
}

void TdlgNewGame::UpdateOK()
{
    btnOK->setEnabled(CanAccept());
}
