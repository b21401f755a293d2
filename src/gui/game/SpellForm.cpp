#include "game/SpellForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmCastSpell::TfrmCastSpell(TGame &game, TArmyInPlay *currentArmy, const std::vector<TDieInPlay *> &marked,
                             QWidget *parent)
    : QDialog(parent), FGame(game), FArmy(currentArmy), FMarked(marked)
{
    setObjectName(u"frmCastSpell"_s);
    setWindowTitle(u"Apply a Spell or Effect"_s);
    txtDescription = new QLineEdit(this);
    txtDescription->setObjectName(u"txtDescription"_s);
    cmbDuration = new QComboBox(this);
    cmbDuration->setObjectName(u"cmbDuration"_s);
    for (int d = 0; d < kSpellDurationCount; ++d)
        cmbDuration->addItem(NameOf(SpellDuration(d)));
    cmbDuration->setCurrentIndex(-1);
    cmbCaster = new QComboBox(this);
    cmbCaster->setObjectName(u"cmbCaster"_s);
    for (const TPlayer *player : game.ListPlayers())
        cmbCaster->addItem(player->Name);
    cmbCaster->setCurrentIndex(game.CurrentPlayerNumber() - 1);

    const TCastSetup setup = CastSetup(currentArmy, marked);
    auto *target = new QGroupBox(u"Target"_s, this);
    rbArmy = new QRadioButton(setup.ArmyCaption, target);
    rbArmy->setObjectName(u"rbArmy"_s);
    rbArmy->setEnabled(setup.ArmyEnabled);
    rbMarked = new QRadioButton(setup.MarkedCaption, target);
    rbMarked->setObjectName(u"rbMarked"_s);
    rbMarked->setEnabled(setup.MarkedEnabled);
    rbTerrain = new QRadioButton(u"Terrain"_s, target);
    rbTerrain->setObjectName(u"rbTerrain"_s);
    lstTerrains = new QListWidget(target);
    lstTerrains->setObjectName(u"lstTerrains"_s);
    FTerrains = game.ListPlaces(true);
    for (const TTerrainInPlay *terrain : FTerrains)
        lstTerrains->addItem(terrain->FullName());
    auto *targets = new QVBoxLayout(target);
    for (QWidget *widget : std::initializer_list<QWidget *>{rbArmy, rbMarked, rbTerrain, lstTerrains})
        targets->addWidget(widget);
    (setup.Initial == TSpellTargetKind::Army       ? rbArmy
     : setup.Initial == TSpellTargetKind::MarkedDice ? rbMarked
                                                     : rbTerrain)
        ->setChecked(true);
    chkRoll = new QCheckBox(u"Roll"_s, this);
    chkRoll->setObjectName(u"chkRoll"_s);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK = buttons->button(QDialogButtonBox::Ok);
    btnOK->setObjectName(u"btnOK"_s);
    auto *form = new QFormLayout;
    form->addRow(u"Description"_s, txtDescription);
    form->addRow(u"Duration"_s, cmbDuration);
    form->addRow(u"Caster"_s, cmbCaster);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(target);
    layout->addWidget(chkRoll);
    layout->addWidget(buttons);
    for (QRadioButton *button : {rbArmy, rbMarked, rbTerrain})
        connect(button, &QRadioButton::toggled, this, &TfrmCastSpell::UpdateControls);
    connect(lstTerrains, &QListWidget::currentRowChanged, this, &TfrmCastSpell::UpdateControls);
    connect(cmbDuration, &QComboBox::currentIndexChanged, this, &TfrmCastSpell::UpdateControls);
    connect(cmbCaster, &QComboBox::currentIndexChanged, this, &TfrmCastSpell::UpdateControls);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (CanAccept())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    UpdateControls();
}

bool TfrmCastSpell::CanAccept() const
{
    const bool target = (rbArmy->isChecked() && rbArmy->isEnabled()) ||
                        (rbMarked->isChecked() && rbMarked->isEnabled()) ||
                        (rbTerrain->isChecked() && lstTerrains->currentRow() >= 0);
    return target && cmbDuration->currentIndex() >= 0 && cmbCaster->currentIndex() >= 0;
}

TCastRequest TfrmCastSpell::Request() const
{
    TCastRequest request;
    request.Caster = FGame.Player(cmbCaster->currentIndex() + 1);
    request.Description = txtDescription->text();
    request.Duration = SpellDuration(std::max(0, cmbDuration->currentIndex()));
    request.Roll = chkRoll->isChecked();
    if (rbArmy->isChecked() && FArmy)
        request.Targets.push_back(FArmy);
    else if (rbMarked->isChecked())
        request.Targets.assign(FMarked.begin(), FMarked.end());
    else if (rbTerrain->isChecked() && lstTerrains->currentRow() >= 0)
        request.Targets.push_back(FTerrains[size_t(lstTerrains->currentRow())]);
    return request;
}

void TfrmCastSpell::UpdateControls()
{
    lstTerrains->setEnabled(rbTerrain->isChecked());
    btnOK->setEnabled(CanAccept());
}
