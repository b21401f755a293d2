#include "reports/DieFinder.h"

#include "KrException.h"
#include "army/ArmyForm.h"
#include "controls/FancyGrid.h"
#include "controls/MenuItems.h"
#include "dice/Catalogue.h"
#include "editors/DieEdit.h"
#include "shell/ChildWindows.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCursor>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Name, race, profession, health and score come first; the result columns follow in
// the shared order.
constexpr int kFixedColumns = 5;
constexpr int kColumns = kFixedColumns + kResultTypeCount;
constexpr int kResultWidth = 78;
// The lists are as tall as the profession list, the longest that needs no scrolling.
constexpr int kListRows = 9;
// Progress lines are painted at most this often (milliseconds).
constexpr int kProgressPaintInterval = 25;

int ResultColumn(ResultType result)
{
    return kFixedColumns + 1 + int(result);
}

// A list of the names of a vocabulary from `first` on, `count` of them.
template <typename E> QListWidget *NamesList(QWidget *parent, const QString &name, int first, int count)
{
    auto *list = new QListWidget(parent);
    list->setObjectName(name);
    for (int i = first; i < first + count; ++i)
        list->addItem(NameOf(E(i)));
    return list;
}

template <typename TSet, typename E> TSet SelectedSet(const QListWidget &list, int first = 0)
{
    TSet set;
    for (int row = 0; row < list.count(); ++row)
        set.Set(E(first + row), list.item(row)->isSelected());
    return set;
}

template <typename TSet, typename E> void SelectSet(QListWidget &list, TSet set, int first = 0)
{
    for (int row = 0; row < list.count(); ++row)
        list.item(row)->setSelected(set.Contains(E(first + row)));
}

// The title row and the weights, and the scroll bar when it shows.
void FitWeightGrid(TFancyGrid &grid, bool scrolling)
{
    grid.setFixedHeight(2 * grid.LineHeight() + 2 * grid.frameWidth() +
                        (scrolling ? grid.horizontalScrollBar()->sizeHint().height() : 0));
}

// The hourglass while a search runs, put back however it ends.
class TBusyCursor
{
public:
    TBusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TBusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    TBusyCursor(const TBusyCursor &) = delete;
    TBusyCursor &operator=(const TBusyCursor &) = delete;
};

} // namespace

TfrmDieSearch::TfrmDieSearch(TfrmMain &main) : QMainWindow(nullptr), FMain(main)
{
    setObjectName(u"frmDieSearch"_s);
    setWindowTitle(u"Die Finder"_s);
    auto *central = new QWidget(this);
    BuildCriteria(central);
    BuildGrids(central);
    setCentralWidget(ScrollingContent(central));
    barStatus = new QLabel(this);
    barStatus->setObjectName(u"barStatus"_s);
    statusBar()->addWidget(barStatus, 1);
    KeepNarrow(*barStatus);
    BuildMenus();

    ShowCriteria(FCriteria);
    ArrangeResultColumns();
    FillGrid();

    connect(&FMain, &TfrmMain::ResultColumnsMoved, this, [this] {
        ArrangeResultColumns();
        FillGrid();
    });
    connect(&FMain, &TfrmMain::ViewPerHealthChanged, this, &TfrmDieSearch::FillGrid);
    connect(&FMain, &TfrmMain::RacesRegenerated, this, &TfrmDieSearch::FillGrid);
    // Races and dice may have been renamed or deleted; a deleted die must leave the list
    // before anything shows it.
    connect(&FMain, &TfrmMain::RacesChanged, this, [this] {
        FRanking.ForgetMissing(FMain.Catalogue());
        FillGrid();
    });
    // The current army is whichever army window was active last; coming back here is
    // when it may have changed.
    if (QMdiArea *area = FMain.MdiArea()) {
        connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *window) {
            if (window && window->widget() == this)
                UpdateCommands();
        });
    }
}

TfrmDieSearch::~TfrmDieSearch() = default;

void TfrmDieSearch::BuildCriteria(QWidget *central)
{
    lstTerrain = NamesList<Land>(central, u"lstTerrain"_s, 0, kLandCount);
    lstTerrain->setSelectionMode(QAbstractItemView::SingleSelection);
    lstColors = NamesList<MagicColor>(central, u"lstColors"_s, 0, VocabularyCount<MagicColor>());
    lstRaceTypes = NamesList<RaceType>(central, u"lstRaceTypes"_s, 0, VocabularyCount<RaceType>());
    lstProfessions = NamesList<Profession>(central, u"lstProfessions"_s, 0, VocabularyCount<Profession>());
    lstEffects = NamesList<EffectFlag>(central, u"lstEffects"_s, kFirstFractionFlag, kFractionCount);

    auto *criteria = new QHBoxLayout;
    const std::array<std::pair<QListWidget *, QString>, 5> lists{{{lstTerrain, u"Terrain"_s},
                                                                  {lstColors, u"Colors"_s},
                                                                  {lstRaceTypes, u"Race Types"_s},
                                                                  {lstProfessions, u"Professions"_s},
                                                                  {lstEffects, u"Required Effects"_s}}};
    for (const auto &[list, title] : lists) {
        if (list != lstTerrain)
            list->setSelectionMode(QAbstractItemView::MultiSelection);
        list->setFixedHeight(list->sizeHintForRow(0) * kListRows + 2 * list->frameWidth());
        list->setFixedWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() +
                            (list->count() > kListRows ? list->verticalScrollBar()->sizeHint().width() : 0) + 8);
        auto *column = new QVBoxLayout;
        column->addWidget(new QLabel(title, central));
        column->addWidget(list);
        column->addStretch(1);
        criteria->addLayout(column);
    }

    spnMaxHealth = new QSpinBox(central);
    spnMaxHealth->setObjectName(u"spnMaxHealth"_s);
    spnMaxHealth->setRange(TDieSearchCriteria::kLowestMaxHealth, TDieSearchCriteria::kHighestMaxHealth);
    spnNumber = new QSpinBox(central);
    spnNumber->setObjectName(u"spnNumber"_s);
    spnNumber->setRange(TDieSearchCriteria::kFewestToFind, TDieSearchCriteria::kMostToFind);
    chkMaxHealthOnly = new QCheckBox(u"Max Health Only"_s, central);
    chkMaxHealthOnly->setObjectName(u"chkMaxHealthOnly"_s);
    chkRestrict = new QCheckBox(u"Restrict to Inventory"_s, central);
    chkRestrict->setObjectName(u"chkRestrict"_s);
    btnSearch = new QPushButton(u"SEARCH"_s, central);
    btnSearch->setObjectName(u"btnSearch"_s);
    btnSearch->setDefault(true);
    btnClear = new QPushButton(u"Clear Criteria"_s, central);
    btnClear->setObjectName(u"btnClear"_s);

    auto *options = new QVBoxLayout;
    auto *numbers = new QFormLayout;
    numbers->addRow(u"Max Health"_s, spnMaxHealth);
    numbers->addRow(u"Number to Find"_s, spnNumber);
    // Level with the lists below their titles.
    options->addSpacing(central->fontMetrics().height());
    options->addLayout(numbers);
    options->addWidget(chkMaxHealthOnly);
    options->addWidget(chkRestrict);
    options->addStretch(1);
    options->addWidget(btnSearch);
    options->addWidget(btnClear);
    criteria->addSpacing(8);
    criteria->addLayout(options);
    criteria->addStretch(1);

    auto *layout = new QVBoxLayout(central);
    layout->addLayout(criteria);

    connect(lstTerrain, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            FillGrid();
    });
    connect(btnSearch, &QPushButton::clicked, this, &TfrmDieSearch::Search);
    connect(btnClear, &QPushButton::clicked, this, &TfrmDieSearch::ClearCriteria);
}

void TfrmDieSearch::BuildGrids(QWidget *central)
{
    auto *layout = qobject_cast<QVBoxLayout *>(central->layout());

    grdWeights = new TFancyGrid(central);
    grdWeights->setObjectName(u"grdWeights"_s);
    grdWeights->SetCols(kResultTypeCount);
    grdWeights->SetRows(1);
    grdWeights->SetSelectMode(eSelectCell);
    grdWeights->SetColMoving(false);
    QList<TColumnSpec> weightTitles;
    for (int t = 0; t < kResultTypeCount; ++t)
        weightTitles << TColumnSpec{NameOf(ResultType(t)), eAlignCenter};
    grdWeights->SetColData(weightTitles);
    for (int t = 0; t < kResultTypeCount; ++t)
        grdWeights->Column(t + 1)->SetWidth(kResultWidth);
    grdWeights->SetColSizing(false);
    grdWeights->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdWeights->setMaximumWidth(kResultTypeCount * kResultWidth + 2 * grdWeights->frameWidth());
    FitWeightGrid(*grdWeights, false);
    // Room for the scroll bar only while the window is too narrow for every weight.
    connect(grdWeights->horizontalScrollBar(), &QScrollBar::rangeChanged, this,
            [this](int, int maximum) { FitWeightGrid(*grdWeights, maximum > 0); });
    layout->addWidget(new QLabel(u"Weights"_s, central));
    layout->addWidget(grdWeights);

    grdResults = new TFancyGrid(central);
    grdResults->setObjectName(u"grdResults"_s);
    grdResults->SetCols(kColumns);
    grdResults->SetRows(1);
    grdResults->SetSelectMode(eSelectRow);
    QList<TColumnSpec> titles{{u"Name"_s, eAlignLeft},
                              {u"Race"_s, eAlignLeft},
                              {u"Profession"_s, eAlignLeft},
                              {u"HP"_s, eAlignRight},
                              {u"Value"_s, eAlignRight}};
    for (int t = 0; t < kResultTypeCount; ++t)
        titles << TColumnSpec{NameOf(ResultType(t)), eAlignCenter};
    grdResults->SetColData(titles);
    const std::array<int, kFixedColumns> widths{150, 110, 96, 34, 60};
    for (int c = 0; c < kFixedColumns; ++c)
        grdResults->Column(c + 1)->SetWidth(widths[size_t(c)]);
    for (int t = 0; t < kResultTypeCount; ++t)
        grdResults->Column(ResultColumn(ResultType(t)))->SetWidth(kResultWidth);
    layout->addWidget(grdResults, 1);

    connect(grdWeights, &TFancyGrid::SelectItem, this, [this](int column, int) { WeightColumnChosen(column); });
    // A click on a title chooses its column as a click on its cell does.
    connect(grdWeights, &TFancyGrid::TitleClicked, this, [this](int position, Qt::KeyboardModifiers) {
        if (const TColumnData *column = grdWeights->ColumnAt(position))
            grdWeights->SelectCell(column->Index(), 1);
    });
    connect(grdWeights, &TFancyGrid::RightClick, this, [this] { WeightPopup().exec(QCursor::pos()); });
    connect(grdResults, &TFancyGrid::SelectItem, this, [this](int, int row) { CheckSelection(row); });
    connect(grdResults, &TFancyGrid::RightClick, this, [this] { ResultPopup().exec(QCursor::pos()); });
    connect(grdResults, &TFancyGrid::ColumnMoved, this, &TfrmDieSearch::ResultColumnMoved);
}

void TfrmDieSearch::BuildMenus()
{
    QMenu *edit = menuBar()->addMenu(u"&Edit"_s);
    mnuEditView = edit->addAction(u"View Details"_s, this, &TfrmDieSearch::ViewDetails);
    mnuEditView->setObjectName(u"mnuEditView"_s);
    mnuEditView->setShortcut(QKeySequence(Qt::Key_F2));
    mnuEditAdd = edit->addAction(u"Add to Army"_s, this, &TfrmDieSearch::AddToArmy);
    mnuEditAdd->setObjectName(u"mnuEditAdd"_s);
    mnuEditAdd->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    connect(edit, &QMenu::aboutToShow, this, &TfrmDieSearch::UpdateCommands);

    FResultPopup = new QMenu(this);
    mnuPopupView = FResultPopup->addAction(u"View Die"_s, this, &TfrmDieSearch::ViewDetails);
    mnuPopupView->setObjectName(u"mnuPopupView"_s);
    mnuPopupAdd = FResultPopup->addAction(u"Add to Army"_s, this, &TfrmDieSearch::AddToArmy);
    mnuPopupAdd->setObjectName(u"mnuPopupAdd"_s);

    FWeightPopup = new QMenu(this);
    for (size_t i = 0; i < kWeightChoices.size(); ++i) {
        const TWeightChoice &choice = kWeightChoices[i];
        QAction *item = FWeightPopup->addAction(QString::fromUtf16(choice.Caption));
        item->setObjectName(u"mnuWeight%1"_s.arg(i));
        connect(item, &QAction::triggered, this, [this, value = choice.Value] { SetWeight(value); });
    }
    FWeightPopup->addAction(u"&Edit"_s, this, &TfrmDieSearch::EditWeight)->setObjectName(u"mnuWeightEdit"_s);
    UpdateCommands();
}

TDieSearchCriteria TfrmDieSearch::Criteria() const
{
    TDieSearchCriteria criteria = FCriteria;
    const int land = lstTerrain->currentRow();
    criteria.Terrain = land >= 0 ? Land(land) : Land::None;
    criteria.Colors = SelectedSet<TColorSet, MagicColor>(*lstColors);
    criteria.RaceTypes = SelectedSet<TRaceTypeSet, RaceType>(*lstRaceTypes);
    criteria.Professions = SelectedSet<TProfessionSet, Profession>(*lstProfessions);
    criteria.Effects = SelectedSet<TEffectSet, EffectFlag>(*lstEffects, kFirstFractionFlag);
    criteria.MaxHealth = spnMaxHealth->value();
    criteria.MaxHealthOnly = chkMaxHealthOnly->isChecked();
    criteria.RestrictToInventory = chkRestrict->isChecked();
    criteria.NumberToFind = spnNumber->value();
    criteria.PerHealth = FMain.ViewPerHealth();
    return criteria;
}

void TfrmDieSearch::ShowCriteria(const TDieSearchCriteria &criteria)
{
    lstTerrain->setCurrentRow(int(criteria.Terrain));
    SelectSet<TColorSet, MagicColor>(*lstColors, criteria.Colors);
    SelectSet<TRaceTypeSet, RaceType>(*lstRaceTypes, criteria.RaceTypes);
    SelectSet<TProfessionSet, Profession>(*lstProfessions, criteria.Professions);
    SelectSet<TEffectSet, EffectFlag>(*lstEffects, criteria.Effects, kFirstFractionFlag);
    spnMaxHealth->setValue(criteria.MaxHealth);
    chkMaxHealthOnly->setChecked(criteria.MaxHealthOnly);
    chkRestrict->setChecked(criteria.RestrictToInventory);
    spnNumber->setValue(criteria.NumberToFind);
    FCriteria.Weights = criteria.Weights;
    FillWeights();
}

void TfrmDieSearch::FillWeights()
{
    for (int t = 0; t < kResultTypeCount; ++t)
        grdWeights->Column(t + 1)->Cell(1)->SetText(WeightText(FCriteria.Weights[size_t(t)]));
}

void TfrmDieSearch::ArrangeResultColumns()
{
    // Ascending target positions: each move leaves the columns already placed alone.
    std::array<int, kColumns> atPosition{};
    std::array<int, kResultTypeCount> weightAt{};
    for (int c = 0; c < kFixedColumns; ++c)
        atPosition[size_t(c)] = c + 1;
    for (int t = 0; t < kResultTypeCount; ++t) {
        const int position = FMain.ResultMap().Position(ResultType(t)) - 1;
        atPosition[size_t(kFixedColumns + position)] = ResultColumn(ResultType(t));
        weightAt[size_t(position)] = t + 1;
    }
    for (int position = 0; position < kColumns; ++position)
        grdResults->Column(atPosition[size_t(position)])->SetPosition(position);
    for (int position = 0; position < kResultTypeCount; ++position)
        grdWeights->Column(weightAt[size_t(position)])->SetPosition(position);
}

void TfrmDieSearch::FillGrid()
{
    const std::vector<TFoundDie> &found = FRanking.Found();
    const int rows = int(found.size());
    grdResults->SetRows(std::max(rows, 1));
    if (rows == 0) {
        for (int c = 1; c <= kColumns; ++c)
            grdResults->Column(c)->Cell(1)->Clear();
    }
    const int landRow = lstTerrain->currentRow();
    const Land land = landRow >= 0 ? Land(landRow) : Land::None;
    const bool perHealth = FMain.ViewPerHealth();
    for (int row = 1; row <= rows; ++row) {
        const TFoundDie &entry = found[size_t(row - 1)];
        const TDie &die = *entry.Die;
        grdResults->Column(1)->Cell(row)->SetText(die.Name);
        grdResults->Column(2)->Cell(row)->SetText(die.Race().Name);
        grdResults->Column(3)->Cell(row)->SetText(die.KindText());
        grdResults->Column(4)->Cell(row)->SetText(QString::asprintf("%2d", die.Health()));
        grdResults->Column(5)->Cell(row)->SetText(QString::asprintf("%6.2f", entry.Score));
        for (int t = 0; t < kResultTypeCount; ++t)
            grdResults->Column(ResultColumn(ResultType(t)))
                ->Cell(row)
                ->SetText(die.ResultText(ResultType(t), land, perHealth));
    }
    UpdateCommands();
}

void TfrmDieSearch::Search()
{
    ShowStatus(u"Searching..."_s);
    try {
        TBusyCursor busy;
        const TDieSearchCriteria criteria = Criteria();
        ArrangeResultColumns();
        FRanking = TDieRanking(criteria.NumberToFind);
        FillGrid();
        FRanking = SearchDice(FMain.Catalogue(), criteria, [this](const QString &text) { ShowProgress(text); });
        FillGrid();
        ShowStatus(u"Search complete.  "_s + QString::number(FRanking.Count()) + u" dice found."_s);
    } catch (const TKrException &failure) {
        ShowStatus(u"Search failed."_s);
        FMain.ReportError(failure, u"during die search"_s);
    }
}

void TfrmDieSearch::ClearCriteria()
{
    TDieSearchCriteria criteria = Criteria();
    criteria.Clear();
    ShowCriteria(criteria);
    ShowStatus(u"Criteria cleared."_s);
}

void TfrmDieSearch::ResultColumnMoved(int from, int to)
{
    if (from >= kFixedColumns && to >= kFixedColumns) {
        FMain.MoveResultColumn(from - kFixedColumns + 1, to - kFixedColumns + 1);
        return;
    }
    // Name, race, profession, health and score stay in front.
    ArrangeResultColumns();
    FillGrid();
}

void TfrmDieSearch::WeightColumnChosen(int logicalColumn)
{
    if (logicalColumn >= 1 && logicalColumn <= kResultTypeCount)
        SelectWeight(ResultType(logicalColumn - 1));
}

void TfrmDieSearch::SelectWeight(ResultType result)
{
    FCurrentWeight = result;
    ShowStatus(NameOf(result) + u" selected."_s);
}

void TfrmDieSearch::SetWeight(double weight)
{
    if (!FCurrentWeight) {
        FMain.Beep();
        return;
    }
    const ResultType result = *FCurrentWeight;
    FCriteria.Weights[size_t(result)] = weight;
    grdWeights->Column(int(result) + 1)->Cell(1)->SetText(WeightText(weight));
    ShowStatus(WeightSetText(result, weight));
}

void TfrmDieSearch::EditWeight()
{
    if (!FCurrentWeight) {
        FMain.Beep();
        return;
    }
    const double current = FCriteria.Weights[size_t(*FCurrentWeight)];
    const QString offered = WeightEditText(current);
    const std::optional<QString> answer =
        FMain.Prompts().InputBox(u"Die Finder"_s, WeightPrompt(*FCurrentWeight), offered);
    if (!answer)
        return;
    // The box shows six digits; taking them back as they stand would turn a third into
    // 0.333333.
    if (answer->trimmed() == offered) {
        SetWeight(current);
        return;
    }
    const std::optional<double> weight = ParseWeight(*answer);
    if (!weight) {
        FMain.Beep();
        ShowStatus(u'"' + answer->trimmed() + u"\" is not a number."_s);
        return;
    }
    SetWeight(*weight);
}

TDie *TfrmDieSearch::SelectedDie() const
{
    const int row = grdResults->SelectedRow();
    return row >= 1 && row <= FRanking.Count() ? FRanking.Found()[size_t(row - 1)].Die : nullptr;
}

void TfrmDieSearch::CheckSelection(int row)
{
    if (row >= 1 && row <= FRanking.Count()) {
        const TDie &die = *FRanking.Found()[size_t(row - 1)].Die;
        // The usage text is a sentence of its own, full stop included.
        const QString usage = FMain.Catalogue().UsageText(die);
        ShowStatus(die.Name + u" selected"_s + (usage.isEmpty() ? u"."_s : u", "_s + usage));
    }
    UpdateCommands();
}

void TfrmDieSearch::UpdateCommands()
{
    const TDie *die = SelectedDie();
    const TfrmArmy *army = FMain.CurrentArmy();
    mnuEditView->setEnabled(die != nullptr);
    mnuEditAdd->setEnabled(die && army);
    mnuPopupView->setText(die ? u"View "_s + MenuCaption(die->Name) : u"View Die"_s);
    mnuPopupView->setEnabled(die != nullptr);
    mnuPopupAdd->setText(die && army ? u"Add "_s + MenuCaption(die->Name) + u" to "_s + MenuCaption(army->Army().Name())
                                     : u"Add to Army"_s);
    mnuPopupAdd->setEnabled(die && army);
}

QMenu &TfrmDieSearch::ResultPopup()
{
    UpdateCommands();
    return *FResultPopup;
}

QMenu &TfrmDieSearch::WeightPopup()
{
    for (QAction *item : FWeightPopup->actions())
        item->setEnabled(FCurrentWeight.has_value());
    return *FWeightPopup;
}

void TfrmDieSearch::ViewDetails()
{
    const int row = grdResults->SelectedRow();
    if (!SelectedDie()) {
        FMain.Beep();
        return;
    }
    std::vector<TDie *> dice;
    dice.reserve(FRanking.Found().size());
    for (const TFoundDie &found : FRanking.Found())
        dice.push_back(found.Die);
    TfrmDie::ViewList(FMain, dice, row - 1);
    // The viewer may have recomputed the dice's statistics.
    FillGrid();
}

void TfrmDieSearch::AddToArmy()
{
    TDie *die = SelectedDie();
    TfrmArmy *army = FMain.CurrentArmy();
    if (!die || !army) {
        FMain.Beep();
        ShowStatus(die ? u"No army to add to."_s : u"No die selected."_s);
        return;
    }
    try {
        army->AddDie(*die);
        ShowStatus(army->AddedText(*die));
    } catch (const TKrException &failure) {
        ShowStatus(u"Error adding die to army."_s);
        FMain.ReportError(failure, u"adding die to army"_s);
    }
}

void TfrmDieSearch::ShowStatus(const QString &text)
{
    barStatus->setText(text);
    barStatus->repaint();
    FLastPaint.start();
    emit StatusChanged(text);
}

void TfrmDieSearch::ShowProgress(const QString &text)
{
    barStatus->setText(text);
    if (!FLastPaint.isValid() || FLastPaint.elapsed() >= kProgressPaintInterval) {
        barStatus->repaint();
        FLastPaint.start();
    }
    emit StatusChanged(text);
}

QString TfrmDieSearch::StatusText() const
{
    return barStatus->text();
}

void TfrmDieSearch::closeEvent(QCloseEvent *event)
{
    // The die finder stays as long as the program: closing it means leaving.
    event->ignore();
    FMain.ConfirmExit();
}
