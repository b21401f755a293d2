#include "game/RoutForm.h"

#include "game/GameCommands.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmRout::TfrmRout(TGame &game, TTerrainInPlay *preselected, QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmRout"_s);
    setWindowTitle(u"Rout"_s);
    cmbTerrain = new QComboBox(this);
    cmbTerrain->setObjectName(u"cmbTerrain"_s);
    FTerrains = game.ListPlaces(true);
    for (const TTerrainInPlay *terrain : FTerrains)
        cmbTerrain->addItem(terrain->FullName());
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(u"lblStatus"_s);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK = buttons->button(QDialogButtonBox::Ok);
    btnOK->setObjectName(u"btnOK"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(cmbTerrain);
    layout->addWidget(lblStatus);
    layout->addWidget(buttons);
    connect(cmbTerrain, &QComboBox::currentIndexChanged, this, &TfrmRout::DisplayStatus);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (btnOK->isEnabled())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Choose(preselected);
    DisplayStatus();
}

TTerrainInPlay *TfrmRout::Choice() const
{
    const int index = cmbTerrain->currentIndex();
    return index >= 0 ? FTerrains[size_t(index)] : nullptr;
}

void TfrmRout::Choose(const TTerrainInPlay *terrain)
{
    const auto at = std::find(FTerrains.begin(), FTerrains.end(), terrain);
    cmbTerrain->setCurrentIndex(at == FTerrains.end() ? -1 : int(at - FTerrains.begin()));
}

QString TfrmRout::StatusText() const
{
    return lblStatus->text();
}

void TfrmRout::DisplayStatus()
{
    const TRoutState state = RoutState(Choice());
    lblStatus->setText(state.Status);
    btnOK->setEnabled(state.OK);
}
