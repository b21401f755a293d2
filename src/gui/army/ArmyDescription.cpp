#include "army/ArmyDescription.h"

#include "army/ArmyForm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmArmyDescription::TfrmArmyDescription(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmArmyDescription"_s);
    setWindowTitle(u"Army Description"_s);
    txtNotes = new QPlainTextEdit(this);
    txtNotes->setObjectName(u"txtNotes"_s);
    txtGroup = new QLineEdit(this);
    txtGroup->setObjectName(u"txtGroup"_s);

    pnlTerrain = new QGroupBox(u"Terrain"_s, this);
    pnlTerrain->setObjectName(u"pnlTerrain"_s);
    cmbTerrain = new QComboBox(pnlTerrain);
    cmbTerrain->setObjectName(u"cmbTerrain"_s);
    for (int i = 0; i < TArmy::kMajorTerrainCount; ++i)
        cmbTerrain->addItem(MajorTerrainName(i));
    (new QVBoxLayout(pnlTerrain))->addWidget(cmbTerrain);

    pnlSpecialDetails = new QGroupBox(u"Minor Terrains"_s, this);
    pnlSpecialDetails->setObjectName(u"pnlSpecialDetails"_s);
    auto *minors = new QVBoxLayout(pnlSpecialDetails);
    for (size_t k = 0; k < cmbMinorTerrain.size(); ++k) {
        cmbMinorTerrain[k] = new QComboBox(pnlSpecialDetails);
        cmbMinorTerrain[k]->setObjectName(u"cmbMinorTerrain%1"_s.arg(k + 1));
        for (int i = 0; i <= TArmy::kNoMinorTerrain; ++i)
            cmbMinorTerrain[k]->addItem(MinorTerrainName(i));
    }
    // On screen the third comes first, as the boxes always stood.
    for (size_t k : {2u, 0u, 1u, 3u})
        minors->addWidget(cmbMinorTerrain[k]);

    cmbSize = new QComboBox(this);
    cmbSize->setObjectName(u"cmbSize"_s);
    cmbSize->setEditable(true);
    cmbSize->addItems({u"23"_s, u"36"_s, u"60"_s});
    btnClose = new QPushButton(u"Close"_s, this);
    btnClose->setObjectName(u"btnClose"_s);

    auto *form = new QFormLayout;
    form->addRow(u"Group Name"_s, txtGroup);
    form->addRow(u"Battle Size"_s, cmbSize);
    auto *side = new QVBoxLayout;
    side->addWidget(pnlTerrain);
    side->addWidget(pnlSpecialDetails);
    side->addLayout(form);
    side->addStretch(1);
    side->addWidget(btnClose);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(txtNotes, 1);
    layout->addLayout(side);
    resize(640, 360);

    connect(txtNotes, &QPlainTextEdit::textChanged, this, &TfrmArmyDescription::PostChange);
    connect(txtGroup, &QLineEdit::textEdited, this, &TfrmArmyDescription::PostChange);
    connect(cmbTerrain, &QComboBox::activated, this, &TfrmArmyDescription::PostChange);
    for (QComboBox *combo : cmbMinorTerrain)
        connect(combo, &QComboBox::activated, this, &TfrmArmyDescription::PostChange);
    connect(cmbSize, &QComboBox::currentTextChanged, this, &TfrmArmyDescription::PostChange);
    connect(btnClose, &QPushButton::clicked, this, [this] {
        SaveArmyData();
        accept();
    });
}

void TfrmArmyDescription::Load(TfrmArmy &army)
{
    FLoading = true;
    FArmy = &army;
    const TArmy &data = army.Army();
    setWindowTitle(data.Name() + u" Description"_s);
    for (int k = 1; k <= 4; ++k)
        cmbMinorTerrain[size_t(k - 1)]->setCurrentIndex(data.GetMinorTerrain(k));
    cmbTerrain->setCurrentIndex(data.MajorTerrain());
    txtGroup->setText(data.GroupName());
    txtNotes->setPlainText(data.Notes());
    cmbSize->setCurrentText(QString::number(data.BattleSize()));
    pnlTerrain->setVisible(HasMajorTerrain(data.Type()));
    pnlSpecialDetails->setVisible(HasMinorTerrains(data.Type()));
    FChanged = false;
    btnClose->setEnabled(true);
    FLoading = false;
}

void TfrmArmyDescription::ShowArmyNotes(TfrmArmy &army)
{
    Load(army);
    exec();
}

void TfrmArmyDescription::PostChange()
{
    if (FLoading)
        return;
    FChanged = true;
    bool ok = false;
    cmbSize->currentText().trimmed().toUInt(&ok, 10);
    btnClose->setEnabled(ok);
}

void TfrmArmyDescription::SaveArmyData()
{
    if (!FArmy || !FChanged)
        return;
    TfrmArmy &army = *FArmy;
    army.SetMajorTerrain(cmbTerrain->currentIndex());
    army.SetNotes(txtNotes->toPlainText());
    for (int k = 1; k <= 4; ++k)
        army.SetMinorTerrain(k, cmbMinorTerrain[size_t(k - 1)]->currentIndex());
    if (txtGroup->text() != army.Army().GroupName())
        army.SetGroupName(txtGroup->text());
    // Only "Close" waits for a whole number; closed another way, the army keeps its size.
    bool whole = false;
    const quint32 size = cmbSize->currentText().trimmed().toUInt(&whole, 10);
    if (whole && size != army.Army().BattleSize())
        army.SetBattleSize(size);
    FChanged = false;
}

void TfrmArmyDescription::reject()
{
    SaveArmyData();
    QDialog::reject();
}
