#include "game/MoveForm.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmManeuver::TfrmManeuver(TGame &game, TTerrainInPlay *preselected, QWidget *parent) : QDialog(parent), FGame(game)
{
    setObjectName(u"frmManeuver"_s);
    setWindowTitle(u"Maneuver by "_s + game.CurrentPlayer().Name);
    cmbTerrain = new QComboBox(this);
    cmbTerrain->setObjectName(u"cmbTerrain"_s);
    FTerrains = game.ListPlaces(true);
    for (const TTerrainInPlay *terrain : FTerrains)
        cmbTerrain->addItem(terrain->FullName());
    rbMoveUp = new QRadioButton(u"Move Up"_s, this);
    rbMoveUp->setObjectName(u"rbMoveUp"_s);
    rbMoveDown = new QRadioButton(u"Move Down"_s, this);
    rbMoveDown->setObjectName(u"rbMoveDown"_s);
    rbMinor = new QRadioButton(u"Minor Terrain"_s, this);
    rbMinor->setObjectName(u"rbMinor"_s);
    lstMinor = new QListWidget(this);
    lstMinor->setObjectName(u"lstMinor"_s);
    const TPlayer &player = game.CurrentPlayer();
    for (int slot = 0; slot < TPlayer::kMinorSlots; ++slot) {
        if (const TTerrain *minor = player.MinorTerrain(slot)) {
            lstMinor->addItem(minor->Name);
            FSlots.push_back(slot);
        }
    }
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(u"lblStatus"_s);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK = buttons->button(QDialogButtonBox::Ok);
    btnOK->setObjectName(u"btnOK"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(cmbTerrain);
    for (QWidget *widget : std::initializer_list<QWidget *>{rbMoveUp, rbMoveDown, rbMinor, lstMinor, lblStatus, buttons})
        layout->addWidget(widget);
    connect(cmbTerrain, &QComboBox::currentIndexChanged, this, &TfrmManeuver::DisplayStatus);
    for (QRadioButton *button : {rbMoveUp, rbMoveDown, rbMinor})
        connect(button, &QRadioButton::toggled, this, &TfrmManeuver::DisplayStatus);
    connect(lstMinor, &QListWidget::currentRowChanged, this, &TfrmManeuver::DisplayStatus);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (btnOK->isEnabled())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto at = std::find(FTerrains.begin(), FTerrains.end(), preselected);
    cmbTerrain->setCurrentIndex(at == FTerrains.end() ? -1 : int(at - FTerrains.begin()));
    DisplayStatus();
}

TManeuverChoice TfrmManeuver::Choice() const
{
    TManeuverChoice choice;
    const int terrain = cmbTerrain->currentIndex();
    choice.Terrain = terrain >= 0 ? FTerrains[size_t(terrain)] : nullptr;
    choice.Action = rbMoveUp->isChecked()     ? TManeuverAction::MoveUp
                    : rbMoveDown->isChecked() ? TManeuverAction::MoveDown
                    : rbMinor->isChecked()    ? TManeuverAction::MinorTerrain
                                              : TManeuverAction::None;
    const int minor = lstMinor->currentRow();
    choice.MinorSlot = minor >= 0 ? FSlots[size_t(minor)] : -1;
    return choice;
}

void TfrmManeuver::ChooseTerrain(const TTerrainInPlay *terrain)
{
    const auto at = std::find(FTerrains.begin(), FTerrains.end(), terrain);
    cmbTerrain->setCurrentIndex(at == FTerrains.end() ? -1 : int(at - FTerrains.begin()));
}

void TfrmManeuver::ChooseAction(TManeuverAction action)
{
    QRadioButton *button = action == TManeuverAction::MoveUp     ? rbMoveUp
                           : action == TManeuverAction::MoveDown ? rbMoveDown
                           : action == TManeuverAction::MinorTerrain ? rbMinor
                                                                     : nullptr;
    if (button && button->isEnabled())
        button->setChecked(true);
}

void TfrmManeuver::ChooseMinorTerrain(int slot)
{
    const auto at = std::find(FSlots.begin(), FSlots.end(), slot);
    lstMinor->setCurrentRow(at == FSlots.end() ? -1 : int(at - FSlots.begin()));
}

QString TfrmManeuver::StatusText() const
{
    return lblStatus->text();
}

void TfrmManeuver::DisplayStatus()
{
    if (FShowing)
        return;
    FShowing = true;
    const TManeuverChoice choice = Choice();
    const TManeuverState state = ManeuverState(FGame, choice);
    rbMoveUp->setEnabled(state.MoveUpEnabled);
    rbMoveDown->setEnabled(state.MoveDownEnabled);
    rbMinor->setEnabled(state.MinorTerrainEnabled);
    lstMinor->setEnabled(state.MinorTerrainEnabled);
    // A choice that is not open any more is taken back.
    if (choice.Action != state.Action) {
        for (QRadioButton *button : {rbMoveUp, rbMoveDown, rbMinor}) {
            button->setAutoExclusive(false);
            button->setChecked(false);
            button->setAutoExclusive(true);
        }
    }
    lblStatus->setText(state.Status);
    btnOK->setEnabled(state.OK);
    FShowing = false;
}
