#include "editors/RaceData.h"

#include "KrException.h"
#include "army/ArmyForm.h"
#include "controls/FancyGrid.h"
#include "controls/MenuItems.h"
#include "dice/Catalogue.h"
#include "dice/RaceEditing.h"
#include "game/GameForm.h"
#include "inventory/InventoryForm.h"
#include "shell/ChildWindows.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

#include <algorithm>
#include <map>

using namespace Qt::StringLiterals;

namespace {

// Name, profession and health come first; the result columns follow in the shared order.
constexpr int kFixedColumns = 3;
constexpr int kColumns = kFixedColumns + kResultTypeCount;

int ResultColumn(ResultType result)
{
    return kFixedColumns + 1 + int(result);
}

template <typename E>
void FillCombo(QComboBox *combo)
{
    for (int i = 0; i < VocabularyCount<E>(); ++i)
        combo->addItem(NameOf(E(i)));
}

} // namespace

TfrmRace::TfrmRace(TfrmMain &main) : QMainWindow(nullptr), FMain(main)
{
    setObjectName(u"frmRace"_s);
    setWindowTitle(u"Race Form"_s);
    BuildControls();
    BuildMenus();
    connect(&FMain, &TfrmMain::ViewPerHealthChanged, this, &TfrmRace::FillGrid);
    connect(&FMain, &TfrmMain::RacesRegenerated, this, &TfrmRace::FillGrid);
    connect(&FMain, &TfrmMain::ResultColumnsMoved, this, [this] {
        ArrangeResultColumns();
        FillGrid();
    });
    barStatus[0]->setText(NameOf(FLand));
    ShowStatus(u"Race form initialized."_s);
}

TfrmRace::~TfrmRace() = default;

void TfrmRace::BuildControls()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *properties = new QGridLayout;

    cmbName = new QComboBox(central);
    cmbName->setObjectName(u"cmbName"_s);
    cmbName->setMinimumContentsLength(24);
    cmbRaceType = new QComboBox(central);
    cmbRaceType->setObjectName(u"cmbRaceType"_s);
    FillCombo<RaceType>(cmbRaceType);
    cmbHomeTerrain = new QComboBox(central);
    cmbHomeTerrain->setObjectName(u"cmbHomeTerrain"_s);
    FillCombo<Land>(cmbHomeTerrain);
    cmbMoveEffect = new QComboBox(central);
    cmbMoveEffect->setObjectName(u"cmbMoveEffect"_s);
    FillCombo<MoveEffect>(cmbMoveEffect);
    lstColors = new QListWidget(central);
    lstColors->setObjectName(u"lstColors"_s);
    lstColors->setSelectionMode(QAbstractItemView::MultiSelection);
    for (int c = 0; c < VocabularyCount<MagicColor>(); ++c)
        lstColors->addItem(NameOf(MagicColor(c)));
    lstColors->setFixedHeight(lstColors->sizeHintForRow(0) * 5 + 2 * lstColors->frameWidth() + 2);
    lstColors->setMinimumWidth(130);

    chkTerrainMagic = new QCheckBox(u"Has Terrain Magic"_s, central);
    chkTerrainMagic->setObjectName(u"chkTerrainMagic"_s);
    chkMagicDouble = new QCheckBox(u"Can Double Magic"_s, central);
    chkMagicDouble->setObjectName(u"chkMagicDouble"_s);
    chkArmored = new QCheckBox(u"Armored"_s, central);
    chkArmored->setObjectName(u"chkArmored"_s);
    chkIntangible = new QCheckBox(u"Intangible"_s, central);
    chkIntangible->setObjectName(u"chkIntangible"_s);
    auto *reserves = new QGroupBox(u"Reserve Abilities"_s, central);
    auto *reserveLayout = new QVBoxLayout(reserves);
    chkReserveMagic = new QCheckBox(u"Magic"_s, reserves);
    chkReserveMagic->setObjectName(u"chkReserveMagic"_s);
    chkReserveMissiles = new QCheckBox(u"Missiles"_s, reserves);
    chkReserveMissiles->setObjectName(u"chkReserveMissiles"_s);
    reserveLayout->addWidget(chkReserveMagic);
    reserveLayout->addWidget(chkReserveMissiles);
    btnRegenerate = new QPushButton(u"REGENERATE"_s, central);
    btnRegenerate->setObjectName(u"btnRegenerate"_s);

    properties->addWidget(new QLabel(u"Race Name"_s, central), 0, 0);
    properties->addWidget(cmbName, 1, 0);
    properties->addWidget(new QLabel(u"Type:"_s, central), 2, 0);
    properties->addWidget(cmbRaceType, 3, 0);
    properties->addWidget(new QLabel(u"Racial Colors"_s, central), 0, 1);
    properties->addWidget(lstColors, 1, 1, 4, 1);
    properties->addWidget(new QLabel(u"Home Terrain"_s, central), 0, 2);
    properties->addWidget(cmbHomeTerrain, 1, 2);
    properties->addWidget(new QLabel(u"Moves at Home"_s, central), 2, 2);
    properties->addWidget(cmbMoveEffect, 3, 2);
    auto *flags = new QVBoxLayout;
    for (QCheckBox *box : {chkTerrainMagic, chkMagicDouble, chkArmored, chkIntangible})
        flags->addWidget(box);
    properties->addLayout(flags, 0, 3, 4, 1);
    properties->addWidget(reserves, 0, 4, 4, 1);
    properties->addWidget(btnRegenerate, 1, 5);
    properties->setColumnStretch(6, 1);
    layout->addLayout(properties);

    grdDice = new TFancyGrid(central);
    grdDice->setObjectName(u"grdDice"_s);
    grdDice->SetCols(kColumns);
    grdDice->SetRows(1);
    grdDice->SetSelectMode(eSelectRow);
    QList<TColumnSpec> titles{{u"Name"_s, eAlignLeft}, {u"Profession"_s, eAlignLeft}, {u"HP"_s, eAlignRight}};
    for (int t = 0; t < kResultTypeCount; ++t)
        titles << TColumnSpec{NameOf(ResultType(t)), eAlignCenter};
    grdDice->SetColData(titles);
    grdDice->Column(1)->SetWidth(150);
    grdDice->Column(2)->SetWidth(96);
    grdDice->Column(3)->SetWidth(34);
    for (int t = 0; t < kResultTypeCount; ++t)
        grdDice->Column(ResultColumn(ResultType(t)))->SetWidth(t == int(ResultType::RoutBuffer) ? 84 : 78);
    ArrangeResultColumns();
    layout->addWidget(grdDice, 1);
    setCentralWidget(ScrollingContent(central));

    for (size_t i = 0; i < barStatus.size(); ++i) {
        barStatus[i] = new QLabel(this);
        barStatus[i]->setObjectName(u"barStatus%1"_s.arg(i));
        statusBar()->addWidget(barStatus[i], i == 2 ? 1 : 0);
    }
    barStatus[0]->setMinimumWidth(90);
    KeepNarrow(*barStatus[2]);
    barStatus[1]->setMinimumWidth(60);

    connect(cmbName, &QComboBox::activated, this, &TfrmRace::ChangeRace);
    for (QComboBox *combo : {cmbRaceType, cmbHomeTerrain, cmbMoveEffect})
        connect(combo, &QComboBox::currentIndexChanged, this, &TfrmRace::PropertiesChanged);
    for (QCheckBox *box : {chkTerrainMagic, chkMagicDouble, chkReserveMagic, chkReserveMissiles, chkArmored,
                           chkIntangible})
        connect(box, &QCheckBox::toggled, this, &TfrmRace::PropertiesChanged);
    connect(lstColors, &QListWidget::itemSelectionChanged, this, &TfrmRace::ColorsChanged);
    connect(btnRegenerate, &QPushButton::clicked, this, &TfrmRace::Regenerate);
    connect(grdDice, &TFancyGrid::SelectItem, this, [this](int, int row) { CheckSelection(row); });
    connect(grdDice, &TFancyGrid::RightClick, this, [this] { GridPopup().exec(QCursor::pos()); });
    connect(grdDice, &TFancyGrid::Process, this, &TfrmRace::AddToArmy);
    connect(grdDice, &TFancyGrid::TitleClicked, this, &TfrmRace::GridMouseDown);
    connect(grdDice, &TFancyGrid::ColumnMoved, this, &TfrmRace::SwapColumns);
}

void TfrmRace::BuildMenus()
{
    QMenu *edit = menuBar()->addMenu(u"&Edit"_s);
    auto add = [this](QMenu *menu, const QString &name, const QString &caption, auto handler,
                      const QKeySequence &keys = {}) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(name);
        item->setShortcut(keys);
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    add(edit, u"mnuRaceRegenerate"_s, u"&Regenerate"_s, &TfrmRace::Regenerate);
    add(edit, u"mnuRaceDuplicate"_s, u"&Duplicate Race..."_s, &TfrmRace::DuplicateRace);
    add(edit, u"mnuRaceCreate"_s, u"&Create New Race..."_s, &TfrmRace::CreateRace);
    add(edit, u"mnuRaceIcons"_s, u"&Icons..."_s, &TfrmRace::ViewIcons);
    add(edit, u"mnuRaceAddDice"_s, u"&Add Dice..."_s, &TfrmRace::AddDice);
    add(edit, u"mnuRaceRename"_s, u"Re&name Race"_s, &TfrmRace::ChangeName);
    add(edit, u"mnuRaceAddToArmy"_s, u"Add to Army"_s, &TfrmRace::AddToArmy, QKeySequence(Qt::CTRL | Qt::Key_Insert));
    add(edit, u"mnuRaceViewDetails"_s, u"View Details"_s, &TfrmRace::ViewDice, QKeySequence(Qt::Key_F2));

    QMenu *terrain = menuBar()->addMenu(u"&Terrain"_s);
    const std::array<QString, kLandCount> captions{u"&Coastland"_s, u"&Flatland"_s, u"&Highland"_s, u"&Reserves"_s,
                                                   u"&Swampland"_s, u"&Wasteland"_s, u"F&eyland"_s, u"(none)"_s};
    for (int l = 0; l < kLandCount; ++l) {
        QAction *item = terrain->addAction(captions[size_t(l)]);
        item->setObjectName(u"mnuTerrain%1"_s.arg(l));
        connect(item, &QAction::triggered, this, [this, l] { ChangeDisplayTerrain(Land(l)); });
    }

    FPopup = new QMenu(this);
    mnuPopupDelete = FPopup->addAction(u"&Delete"_s, this, &TfrmRace::DeleteDie);
    mnuPopupAdd = FPopup->addAction(u"&Add Dice"_s, this, &TfrmRace::AddDice);
    mnuPopupView = FPopup->addAction(u"&View Details"_s, this, &TfrmRace::ViewDice);
    // Shown only while there is an army to put the die in.
    mnuPopupPut = FPopup->addAction(u"&Put In Army"_s, this, &TfrmRace::AddToArmy);
    mnuPopupPut->setVisible(false);
}

void TfrmRace::ShowStatus(const QString &text)
{
    barStatus[2]->setText(text);
    barStatus[2]->repaint();
    emit StatusChanged(text);
}

QString TfrmRace::StatusText() const
{
    return barStatus[2]->text();
}

QString TfrmRace::LandPanelText() const
{
    return barStatus[0]->text();
}

QString TfrmRace::RegenPanelText() const
{
    return barStatus[1]->text();
}

void TfrmRace::FillRaceNames()
{
    FFillingNames = true;
    cmbName->clear();
    // Sorted by name; each entry knows its race by ID.
    std::vector<const TRace *> races;
    for (const auto &race : FMain.Catalogue().Races())
        races.push_back(race.get());
    std::stable_sort(races.begin(), races.end(), [](const TRace *a, const TRace *b) {
        return QStringView(a->Name).compare(QStringView(b->Name), Qt::CaseSensitive) < 0;
    });
    for (const TRace *race : races)
        cmbName->addItem(race->Name, race->ID);
    cmbName->setCurrentIndex(FRace ? cmbName->findData(FRace->ID) : -1);
    FFillingNames = false;
}

bool TfrmRace::ShowRace(TRace *race)
{
    // The race shown keeps its pending edits: filling the controls again would drop them.
    if (race && race == FRace)
        return true;
    if (!PendingCheck())
        return false;
    DisplayRace(race);
    return true;
}

void TfrmRace::DisplayRace(TRace *race)
{
    FLoaded = false;
    FRace = race;
    FPending = false;
    barStatus[1]->setText(u" "_s);
    FillProperties();
    FillGrid();
    FFillingNames = true;
    cmbName->setCurrentIndex(race ? cmbName->findData(race->ID) : -1);
    FFillingNames = false;
    if (race) {
        ShowStatus(race->Name + u" selected."_s);
        FLoaded = true;
    }
}

void TfrmRace::FillProperties()
{
    if (!FRace)
        return;
    cmbRaceType->setCurrentIndex(int(FRace->Type));
    for (int c = 0; c < lstColors->count(); ++c)
        lstColors->item(c)->setSelected(FRace->Colors.Contains(MagicColor(c)));
    cmbHomeTerrain->setCurrentIndex(int(FRace->HomeTerrain));
    cmbMoveEffect->setCurrentIndex(int(FRace->MovesAtHome));
    chkTerrainMagic->setChecked(FRace->TerrainMagic);
    chkMagicDouble->setChecked(FRace->CanDoubleMagic);
    chkReserveMagic->setChecked(ReservesMagic(FRace->ReserveAbilities));
    chkReserveMissiles->setChecked(ReservesMissiles(FRace->ReserveAbilities));
    chkArmored->setChecked(FRace->Armored);
    chkIntangible->setChecked(FRace->Intangible);
}

void TfrmRace::ArrangeResultColumns()
{
    // Ascending target positions: each move leaves the columns already placed alone.
    std::array<int, kColumns> atPosition{};
    for (int c = 0; c < kFixedColumns; ++c)
        atPosition[size_t(c)] = c + 1;
    for (int t = 0; t < kResultTypeCount; ++t)
        atPosition[size_t(FMain.ResultMap().Position(ResultType(t)) + kFixedColumns - 1)] = ResultColumn(ResultType(t));
    for (int position = 0; position < kColumns; ++position)
        grdDice->Column(atPosition[size_t(position)])->SetPosition(position);
}

void TfrmRace::FillGrid()
{
    const int dice = FRace ? FRace->DieCount() : 0;
    grdDice->SetRows(dice + 1);
    for (int row = 1; row <= dice; ++row)
        FillRow(row, FRace->Die(row));
    FillRow(dice + 1, nullptr);
}

void TfrmRace::FillRow(int row, const TDie *die)
{
    if (!die) {
        for (int c = 1; c <= kColumns; ++c)
            grdDice->Column(c)->Cell(row)->Clear();
        return;
    }
    grdDice->Column(1)->Cell(row)->SetText(die->Name);
    grdDice->Column(2)->Cell(row)->SetText(die->KindText());
    grdDice->Column(3)->Cell(row)->SetText(QString::asprintf("%2d", die->Health()));
    for (int t = 0; t < kResultTypeCount; ++t) {
        grdDice->Column(ResultColumn(ResultType(t)))
            ->Cell(row)
            ->SetText(die->ResultText(ResultType(t), FLand, FMain.ViewPerHealth()));
    }
}

void TfrmRace::ChangeRace(int nameIndex)
{
    if (FFillingNames || nameIndex < 0)
        return;
    TRace *chosen = FMain.Catalogue().FindRaceByID(cmbName->itemData(nameIndex).toInt());
    if (!chosen || chosen == FRace)
        return;
    if (!ShowRace(chosen)) {
        // The list goes back to the race still shown.
        FFillingNames = true;
        cmbName->setCurrentIndex(FRace ? cmbName->findData(FRace->ID) : -1);
        FFillingNames = false;
    }
}

bool TfrmRace::PendingCheck()
{
    if (!FPending || !FRace)
        return true;
    switch (FMain.Prompts().Confirm(windowTitle(), u"Save changes to "_s + FRace->Name + u'?', TButtons::YesNoCancel)) {
    case TAnswer::Yes:
        Regenerate();
        return true;
    case TAnswer::No:
        return true;
    default:
        return false;
    }
}

void TfrmRace::PropertiesChanged()
{
    if (!FLoaded)
        return;
    FPending = true;
    barStatus[1]->setText(u"REGEN"_s);
    FMain.MarkRacesChanged();
}

void TfrmRace::ColorsChanged()
{
    if (!FLoaded || !FRace)
        return;
    TColorSet colors;
    for (int c = 0; c < lstColors->count(); ++c)
        colors.Set(MagicColor(c), lstColors->item(c)->isSelected());
    FRace->Colors = colors;
    PropertiesChanged();
}

void TfrmRace::Regenerate()
{
    if (!FLoaded || !FRace)
        return;
    try {
        FRace->HomeTerrain = Land(cmbHomeTerrain->currentIndex());
        FRace->MovesAtHome = MoveEffect(cmbMoveEffect->currentIndex());
        FRace->CanDoubleMagic = chkMagicDouble->isChecked();
        FRace->TerrainMagic = chkTerrainMagic->isChecked();
        FRace->Armored = chkArmored->isChecked();
        FRace->Intangible = chkIntangible->isChecked();
        FRace->Type = RaceType(cmbRaceType->currentIndex());
        FRace->ReserveAbilities = ReserveAbilities(chkReserveMagic->isChecked(), chkReserveMissiles->isChecked());
        for (const auto &die : FRace->Dice()) {
            ShowStatus(u"Regenerating "_s + die->Name + u"..."_s);
            die->InvalidateStatistics();
            die->Statistics();
        }
        FillGrid();
        FMain.MarkRacesChanged();
        FPending = false;
        barStatus[1]->setText(u" "_s);
        ShowStatus(QString::number(FRace->DieCount()) + u" dice regenerated."_s);
    } catch (const TKrException &failure) {
        ShowStatus(u"Error regenerating dice."_s);
        FMain.ReportError(failure, u"regenerating race's dice"_s);
    }
}

void TfrmRace::CreateRace()
{
    // The new race takes the place of the one shown, whose pending edits come first.
    if (!PendingCheck())
        return;
    const std::optional<QString> name =
        FMain.Prompts().InputBox(u"Create New Race"_s, u"Enter name of new race"_s, QString());
    if (!name || name->isEmpty())
        return;
    ShowStatus(u"Creating new race..."_s);
    std::unique_ptr<TRace> race;
    try {
        race = FMain.Catalogue().CreateRace();
    } catch (const TKrException &failure) {
        // Only a race database that has used up every race ID gets here.
        ShowStatus(u"Error creating new race."_s);
        FMain.ReportError(failure, u"creating new race"_s);
        return;
    }
    race->Name = *name;
    TRace &added = FMain.Catalogue().AppendRace(std::move(race));
    // A new race is a change to the race database like any other.
    FMain.MarkRacesChanged();
    FillRaceNames();
    DisplayRace(&added);
    ShowStatus(u"New race created."_s);
}

void TfrmRace::DuplicateRace()
{
    if (!FRace || !PendingCheck())
        return;
    const std::optional<QString> name =
        FMain.Prompts().InputBox(u"Duplicate "_s + FRace->Name, u"Enter name of new race"_s, QString());
    if (!name || name->isEmpty())
        return;
    try {
        ShowStatus(u"Creating new race..."_s);
        auto race = ::DuplicateRace(FMain.Catalogue(), *FRace, *name,
                                    [this](const TDie &die) { ShowStatus(u"Copying "_s + die.Name + u"..."_s); });
        TRace &added = FMain.Catalogue().AppendRace(std::move(race));
        FMain.MarkRacesChanged();
        FillRaceNames();
        DisplayRace(&added);
        ShowStatus(u"Duplicate race created."_s);
    } catch (const TKrException &failure) {
        ShowStatus(u"Error creating new race."_s);
        FMain.ReportError(failure, u"creating duplicate race"_s);
    }
}

void TfrmRace::ChangeName()
{
    if (!FRace)
        return;
    const std::optional<QString> name =
        FMain.Prompts().InputBox(u"New Race Name"_s, u"Enter new name for this race."_s, FRace->Name);
    if (!name)
        return;
    if (!name->isEmpty()) {
        FRace->Name = *name;
    } else if (std::unique_ptr<TRace> removed = FMain.Catalogue().RemoveRace(FRace)) {
        // Out of the race database; the form keeps showing it until another race is chosen.
        FUnlisted.push_back(std::move(removed));
    }
    FillRaceNames();
    FMain.MarkRacesChanged();
}

TDie *TfrmRace::SelectedDie() const
{
    return FRace ? FRace->Die(SelectedRow()) : nullptr;
}

int TfrmRace::SelectedRow() const
{
    return grdDice->SelectedRow();
}

void TfrmRace::CheckSelection(int row)
{
    const TDie *die = FRace ? FRace->Die(row) : nullptr;
    if (!die)
        return;
    ShowStatus(DieSummary(*die, FMain.Catalogue().UsageText(*die)));
}

void TfrmRace::AddDice()
{
    if (!FRace)
        return;
    grdDice->SelectCell(1, FRace->DieCount() + 1);
    TfrmDie::ViewRace(FMain, *FRace, FRace->DieCount(), this);
}

void TfrmRace::ViewDice()
{
    if (!FRace)
        return;
    const int row = SelectedRow();
    const int index = row >= 1 && row <= FRace->DieCount() ? row - 1 : FRace->DieCount();
    TfrmDie::ViewRace(FMain, *FRace, index, this);
}

void TfrmRace::AddToArmy()
{
    TDie *die = SelectedDie();
    TfrmArmy *army = FMain.CurrentArmy();
    if (!die || !army)
        return;
    army->AddDie(*die);
    ShowStatus(army->AddedText(*die));
}

void TfrmRace::DeleteDie()
{
    TDie *die = SelectedDie();
    if (!die)
        return;
    const QString name = die->Name;
    // An army holds the die itself; it stays until no open army has it.
    for (const TfrmArmy *army : FMain.ArmyForms()) {
        const auto &dice = army->Army().Dice();
        if (std::find(dice.begin(), dice.end(), die) != dice.end()) {
            FMain.Prompts().Warning(windowTitle(), u'"' + name + u"\" cannot be deleted: it is in the army "_s +
                                                       army->Army().Name() + u'.');
            ShowStatus(name + u" kept."_s);
            return;
        }
    }
    // So does a game on the board: its file names the die, and its window shows it.
    for (const TfrmGame *game : FMain.GameForms()) {
        if (game->Game().HoldsDie(*die)) {
            FMain.Prompts().Warning(windowTitle(), u'"' + name + u"\" cannot be deleted: it is in the game "_s +
                                                       game->Game().Name() + u'.');
            ShowStatus(name + u" kept."_s);
            return;
        }
    }
    if (FMain.Prompts().Confirm(windowTitle(), u"Delete "_s + name + u'?', TButtons::YesNo) != TAnswer::Yes) {
        ShowStatus(u"Delete aborted by user."_s);
        return;
    }
    ShowStatus(u"Deleting "_s + name + u"..."_s);
    if (TfrmInventory *inventory = FMain.InventoryForm())
        inventory->ForgetDie(*die);
    FRace->RemoveDie(die);
    FMain.MarkRacesChanged();
    FillGrid();
    ShowStatus(name + u" deleted."_s);
}

void TfrmRace::ChangeDisplayTerrain(Land land)
{
    ShowStatus(u"Changing terrain..."_s);
    FLand = land;
    barStatus[0]->setText(NameOf(land));
    FillGrid();
    ShowStatus(u"Display terrain changed to "_s + NameOf(land));
}

void TfrmRace::SortByColumn(int position, bool descending)
{
    const TColumnData *column = grdDice->ColumnAt(position);
    if (!FRace || !column)
        return;
    ShowStatus(u"Sorting..."_s);
    // The key of each die is the text of its cell in that column.
    std::map<const TDie *, QString> keys;
    for (int row = 1; row <= FRace->DieCount(); ++row)
        keys[FRace->Die(row)] = column->Cell(row)->Text();
    SortDice(*FRace, [&keys](const TDie &die) { return keys[&die]; }, descending);
    FillGrid();
    ShowStatus(u"Dice sorted by "_s + column->Title() + u'.');
}

void TfrmRace::SwapColumns(int from, int to)
{
    if (from >= kFixedColumns && to >= kFixedColumns) {
        FMain.MoveResultColumn(from - kFixedColumns + 1, to - kFixedColumns + 1);
        return;
    }
    // Name, profession and health stay in front.
    ArrangeResultColumns();
    FillGrid();
}

void TfrmRace::DiePosted(TDie &die, bool added)
{
    if (!FRace || &die.Race() != FRace)
        return;
    if (added) {
        FillGrid();
        return;
    }
    for (int row = 1; row <= FRace->DieCount(); ++row) {
        if (FRace->Die(row) == &die)
            FillRow(row, &die);
    }
}

QMenu &TfrmRace::GridPopup()
{
    UpdatePopup();
    return *FPopup;
}

void TfrmRace::UpdatePopup()
{
    const TDie *die = SelectedDie();
    mnuPopupDelete->setEnabled(FRace && die);
    mnuPopupAdd->setEnabled(FRace != nullptr);
    mnuPopupView->setVisible(die != nullptr);
    if (die)
        mnuPopupView->setText(u"&View "_s + MenuCaption(die->Name));
    const TfrmArmy *army = FMain.CurrentArmy();
    mnuPopupPut->setVisible(die && army);
    if (die && army)
        mnuPopupPut->setText(u"&Put "_s + MenuCaption(die->Name) + u" in "_s + MenuCaption(army->Army().Name()));
}

void TfrmRace::ViewIcons()
{
    FMain.ShowIcons();
}

void TfrmRace::GridMouseDown(int position, Qt::KeyboardModifiers keys)
{
    if (keys & (Qt::ShiftModifier | Qt::ControlModifier))
        SortByColumn(position, (keys & Qt::ShiftModifier) != 0);
}

void TfrmRace::SuppressClose()
{
    FMain.ConfirmExit();
}

void TfrmRace::closeEvent(QCloseEvent *event)
{
    // The race window stays as long as the program.
    event->ignore();
    SuppressClose();
}
