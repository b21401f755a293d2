#include "game/SelectTerrain.h"

#include "army/ArmyData.h"
#include "game/GameData.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmTerrainSelect::TfrmTerrainSelect(const TTerrainInPlay &place, QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmTerrainSelect"_s);
    setWindowTitle(u"Select Terrain Die"_s);
    auto *note = new QLabel(u"Specify terrain die for "_s + place.FullName() + u'.', this);
    note->setObjectName(u"lblNote"_s);
    auto *label = new QLabel(u"Terrain Die"_s, this);
    lstTerrains = new QListWidget(this);
    lstTerrains->setObjectName(u"lstTerrains"_s);
    for (int i = 0; i < TTerrain::kMajorCount; ++i)
        lstTerrains->addItem(MajorTerrainName(i));
    label->setBuddy(lstTerrains);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK = buttons->button(QDialogButtonBox::Ok);
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addWidget(label);
    layout->addWidget(lstTerrains);
    layout->addWidget(buttons);
    resize(320, 480);
    connect(lstTerrains, &QListWidget::currentRowChanged, this, [this](int row) { btnOK->setEnabled(row >= 0); });
    connect(lstTerrains, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Choice())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<int> TfrmTerrainSelect::Choice() const
{
    const int row = lstTerrains->currentRow();
    return row >= 0 ? std::optional(row) : std::nullopt;
}

void TfrmTerrainSelect::Choose(int index)
{
    lstTerrains->setCurrentRow(index);
}
