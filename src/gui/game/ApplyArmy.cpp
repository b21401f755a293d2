#include "game/ApplyArmy.h"

#include "army/ArmyForm.h"
#include "game/GameCommands.h"
#include "shell/MainForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kNoGroup = u"(none)"_s;

} // namespace

TfrmApplyArmy::TfrmApplyArmy(TfrmMain &main, TGameCommands &commands, QWidget *parent)
    : QDialog(parent), FMain(main), FCommands(commands)
{
    setObjectName(u"frmApplyArmy"_s);
    setWindowTitle(u"Place Armies"_s);
    TGame &game = commands.Game();
    cmbPlayer = new QComboBox(this);
    cmbPlayer->setObjectName(u"cmbPlayer"_s);
    for (const TPlayer *player : game.ListPlayers())
        cmbPlayer->addItem(player->Name);
    cmbPlayer->setCurrentIndex(game.CurrentPlayerNumber() - 1);
    cmbTerrain = new QComboBox(this);
    cmbTerrain->setObjectName(u"cmbTerrain"_s);
    for (const TTerrainInPlay *place : game.ListPlaces(false))
        cmbTerrain->addItem(place->FullName());
    cmbTerrain->setCurrentIndex(-1);
    cmbArmy = new QComboBox(this);
    cmbArmy->setObjectName(u"cmbArmy"_s);
    QStringList groups;
    for (TfrmArmy *army : main.ArmyForms()) {
        const QString &group = army->Army().GroupName();
        if (group == kNoGroup) {
            cmbArmy->addItem(army->windowTitle());
            FArmies.push_back(army);
        } else if (!groups.contains(group)) {
            groups << group;
        }
    }
    for (const QString &group : groups) {
        cmbArmy->addItem(group);
        FArmies.push_back(nullptr);
    }
    cmbArmy->setCurrentIndex(-1);
    btnApply = new QPushButton(u"Apply"_s, this);
    btnApply->setObjectName(u"btnApply"_s);
    btnClose = new QPushButton(u"&Close"_s, this);
    btnClose->setObjectName(u"btnClose"_s);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(u"lblStatus"_s);

    auto *form = new QFormLayout;
    form->addRow(u"Player"_s, cmbPlayer);
    form->addRow(u"Terrain"_s, cmbTerrain);
    form->addRow(u"Army Name"_s, cmbArmy);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnApply);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(lblStatus);
    resize(420, 180);

    for (QComboBox *combo : {cmbPlayer, cmbTerrain, cmbArmy})
        connect(combo, &QComboBox::currentIndexChanged, this, &TfrmApplyArmy::UpdateControls);
    connect(btnApply, &QPushButton::clicked, this, &TfrmApplyArmy::Apply);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    UpdateControls();
}

QStringList TfrmApplyArmy::ArmyNames() const
{
    QStringList names;
    for (int i = 0; i < cmbArmy->count(); ++i)
        names << cmbArmy->itemText(i);
    return names;
}

void TfrmApplyArmy::ChoosePlayer(int index)
{
    cmbPlayer->setCurrentIndex(index);
}

void TfrmApplyArmy::ChoosePlace(int index)
{
    cmbTerrain->setCurrentIndex(index);
}

void TfrmApplyArmy::ChooseArmy(const QString &name)
{
    cmbArmy->setCurrentIndex(cmbArmy->findText(name, Qt::MatchExactly));
}

bool TfrmApplyArmy::GroupChosen() const
{
    const int army = cmbArmy->currentIndex();
    return army >= 0 && !FArmies[size_t(army)];
}

bool TfrmApplyArmy::CanApply() const
{
    if (cmbArmy->currentIndex() < 0 || cmbPlayer->currentIndex() < 0)
        return false;
    return GroupChosen() || cmbTerrain->currentIndex() >= 0;
}

void TfrmApplyArmy::UpdateControls()
{
    cmbTerrain->setEnabled(!GroupChosen());
    btnApply->setEnabled(CanApply());
}

void TfrmApplyArmy::Apply()
{
    if (!CanApply())
        return;
    TGame &game = FCommands.Game();
    TPlayer &player = *game.Player(cmbPlayer->currentIndex() + 1);
    const int army = cmbArmy->currentIndex();
    QString status;
    if (TfrmArmy *window = FArmies[size_t(army)]) {
        status = FCommands.ApplyArmy(player, *game.Place(cmbTerrain->currentIndex()), window->Army(),
                                     window->windowTitle());
    } else {
        const QString group = cmbArmy->currentText();
        std::vector<std::pair<const TArmy *, QString>> members;
        for (TfrmArmy *each : FMain.ArmyForms()) {
            if (each->Army().GroupName() == group)
                members.emplace_back(&each->Army(), each->windowTitle());
        }
        status = FCommands.ApplyGroup(player, group, members);
    }
    if (!status.isEmpty())
        lblStatus->setText(status);
}

QString TfrmApplyArmy::StatusText() const
{
    return lblStatus->text();
}
