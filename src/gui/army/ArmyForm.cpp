#include "army/ArmyForm.h"

#include "KrException.h"
#include "army/ArmyAnalysis.h"
#include "army/OddsWindow.h"
#include "controls/FancyGrid.h"
#include "controls/MenuItems.h"
#include "dice/Catalogue.h"
#include "editors/DieEdit.h"
#include "editors/RaceData.h"
#include "shell/ChildWindows.h"
#include "shell/MainForm.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kDiceColumns = 6;

} // namespace

TfrmArmy::TfrmArmy(TfrmMain &main, std::unique_ptr<TArmy> army)
    : QMainWindow(nullptr), FMain(main), FArmy(army ? std::move(army) : std::make_unique<TArmy>(main.Catalogue()))
{
    setObjectName(u"frmArmy"_s);
    setAttribute(Qt::WA_DeleteOnClose, false);
    BuildControls();
    BuildMenus();
    connect(&FMain, &TfrmMain::ArmyAnalysisInvalid, this, &TfrmArmy::ClearResults);
    connect(&FMain, &TfrmMain::ResultColumnsMoved, this, &TfrmArmy::ArrangeResultColumns);
    // An edited die may have a new name, health or spell resistance, its race a new name or
    // type (which decides what counts as summoned).
    connect(&FMain, &TfrmMain::RacesChanged, this, [this] {
        txtHealth->setText(FArmy->HealthText());
        FillDiceRows();
    });
    RefreshAll();
    ShowStatus(u" "_s);
    resize(900, 620);
}

TfrmArmy::~TfrmArmy() = default;

void TfrmArmy::BuildControls()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *top = new QHBoxLayout;
    txtName = new QLineEdit(central);
    txtName->setObjectName(u"txtName"_s);
    txtHealth = new QLineEdit(central);
    txtHealth->setObjectName(u"txtHealth"_s);
    txtHealth->setReadOnly(true);
    txtHealth->setMaximumWidth(80);
    cmbArmyType = new QComboBox(central);
    cmbArmyType->setObjectName(u"cmbArmyType"_s);
    for (int t = 0; t < VocabularyCount<ArmyType>(); ++t)
        cmbArmyType->addItem(NameOf(ArmyType(t)));
    btnAnalyze = new QPushButton(u"ANALYZE"_s, central);
    btnAnalyze->setObjectName(u"btnAnalyze"_s);
    btnNotes = new QPushButton(u"Notes and Details"_s, central);
    btnNotes->setObjectName(u"btnNotes"_s);
    top->addWidget(new QLabel(u"Name"_s, central));
    top->addWidget(txtName, 1);
    top->addWidget(new QLabel(u"Health"_s, central));
    top->addWidget(txtHealth);
    top->addWidget(cmbArmyType);
    top->addWidget(btnAnalyze);
    top->addWidget(btnNotes);
    layout->addLayout(top);

    grdDice = new TFancyGrid(central);
    grdDice->setObjectName(u"grdDice"_s);
    grdDice->SetCols(kDiceColumns);
    grdDice->SetRows(1);
    grdDice->SetSelectMode(eSelectRow);
    grdDice->SetColData({{u"Name"_s, eAlignLeft}, {u"Race"_s, eAlignLeft}, {u"Profession"_s, eAlignLeft},
                         {u"HP"_s, eAlignRight}, {u"Resist"_s, eAlignRight}, {u"Loc"_s, eAlignLeft}});
    for (const auto &[column, width] : {std::pair{1, 170}, {2, 130}, {3, 100}, {4, 36}, {5, 60}, {6, 90}})
        grdDice->Column(column)->SetWidth(width);

    grdResults = new TFancyGrid(central);
    grdResults->setObjectName(u"grdResults"_s);
    grdResults->SetCols(1 + kResultTypeCount);
    grdResults->SetRows(kLandCount);
    grdResults->SetSelectMode(eSelectCell);
    grdResults->Column(1)->SetTitle(u"Terrain"_s);
    grdResults->Column(1)->SetWidth(90);
    for (int l = 0; l < kLandCount; ++l)
        grdResults->Column(1)->Cell(l + 1)->SetText(NameOf(Land(l)));
    for (int t = 0; t < kResultTypeCount; ++t) {
        grdResults->Column(2 + t)->SetAlignment(eAlignCenter);
        grdResults->Column(2 + t)->SetWidth(84);
    }
    ArrangeResultColumns();

    grdChances = new TFancyGrid(central);
    grdChances->setObjectName(u"grdChances"_s);
    grdChances->SetCols(2);
    grdChances->SetRows(kFractionCount);
    grdChances->SetColMoving(false);
    grdChances->SetColData({{u"Effect"_s, eAlignLeft}, {u"%"_s, eAlignRight}});
    grdChances->Column(1)->SetWidth(150);
    grdChances->Column(2)->SetWidth(60);
    for (int e = 0; e < kFractionCount; ++e)
        grdChances->Column(1)->Cell(e + 1)->SetText(NameOf(EffectFlag(kFirstFractionFlag + e)));
    grdChances->setMinimumWidth(240);

    auto *upper = new QSplitter(Qt::Horizontal, central);
    upper->addWidget(grdDice);
    upper->addWidget(grdChances);
    upper->setStretchFactor(0, 1);
    auto *panes = new QSplitter(Qt::Vertical, central);
    panes->addWidget(upper);
    panes->addWidget(grdResults);
    panes->setStretchFactor(0, 1);
    layout->addWidget(panes, 1);
    setCentralWidget(ScrollingContent(central));

    barStatus = new QLabel(this);
    barStatus->setObjectName(u"barStatus"_s);
    statusBar()->addWidget(barStatus, 1);
    KeepNarrow(*barStatus);

    connect(txtName, &QLineEdit::textEdited, this, [this](const QString &text) {
        FArmy->SetName(text);
        setWindowTitle(text);
        Modify();
        // Commands elsewhere name the current army, the group menu every army of its group.
        FMain.ArmyCaptionChanged(this);
    });
    connect(cmbArmyType, &QComboBox::activated, this, [this](int index) {
        FArmy->SetArmyType(ArmyType(index));
        Modify();
        if (FMain.CurrentArmy() == this)
            FMain.SetCurrentArmy(this);
    });
    connect(btnAnalyze, &QPushButton::clicked, this, &TfrmArmy::AnalyzeArmy);
    connect(btnNotes, &QPushButton::clicked, this, &TfrmArmy::ShowArmyNotes);
    connect(grdDice, &TFancyGrid::RightClick, this, [this] { DicePopup().exec(QCursor::pos()); });
    connect(grdResults, &TFancyGrid::ColumnMoved, this, &TfrmArmy::SwapColumns);
}

void TfrmArmy::BuildMenus()
{
    auto add = [this](QMenu *menu, const QString &name, const QString &caption, auto handler,
                      const QKeySequence &keys = {}) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(name);
        item->setShortcut(keys);
        connect(item, &QAction::triggered, this, handler);
        return item;
    };
    QMenu *file = menuBar()->addMenu(u"&File"_s);
    add(file, u"mnuArmyNew"_s, u"&New Army"_s, &TfrmArmy::NewArmy);
    // Games come with the game window.
    file->addAction(u"New Game"_s)->setEnabled(false);
    add(file, u"mnuArmyOpen"_s, u"&Open..."_s, &TfrmArmy::OpenArmy);
    add(file, u"mnuArmyClose"_s, u"&Close"_s, [this] { CloseArmy(); });
    mnuCloseGroup = add(file, u"mnuArmyCloseGroup"_s, u"Close Group"_s, &TfrmArmy::CloseGroup);
    add(file, u"mnuArmyCloseAll"_s, u"Close All"_s, &TfrmArmy::CloseAllArmies);
    file->addAction(u"Download Game"_s)->setEnabled(false);
    file->addSeparator();
    add(file, u"mnuArmyPrint"_s, u"&Print..."_s, &TfrmArmy::PrintArmy);
    mnuPrintGroup = add(file, u"mnuArmyPrintGroup"_s, u"Print &Group..."_s, &TfrmArmy::PrintGroup);
    mnuExportGroup = add(file, u"mnuArmyExportGroup"_s, u"&Export Group"_s, &TfrmArmy::ExportGroup);
    file->addSeparator();
    mnuFileSave = add(file, u"mnuFileSave"_s, u"&Save"_s, &TfrmArmy::SaveArmyNormal);
    add(file, u"mnuArmySaveAs"_s, u"Save &As..."_s, &TfrmArmy::SaveArmyRename);
    mnuSaveGroup = add(file, u"mnuArmySaveGroup"_s, u"Save Group"_s, [this] { SaveGroup(); },
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F3));
    file->addSeparator();
    add(file, u"mnuArmyExit"_s, u"E&xit"_s, &TfrmArmy::ExitProgram);

    QMenu *edit = menuBar()->addMenu(u"&Edit"_s);
    add(edit, u"mnuArmyDuplicate"_s, u"Du&plicate"_s, &TfrmArmy::DuplicateDie, QKeySequence(Qt::CTRL | Qt::Key_Insert));
    add(edit, u"mnuArmyDelete"_s, u"&Delete"_s, &TfrmArmy::DeleteDie, QKeySequence(Qt::CTRL | Qt::Key_Delete));
    add(edit, u"mnuArmyView"_s, u"&View"_s, &TfrmArmy::ViewDie, QKeySequence(Qt::CTRL | Qt::Key_F2));

    QMenu *sort = menuBar()->addMenu(u"&Sort"_s);
    const std::array<QString, 7> captions{u"Race and Profession"_s, u"Race and Health"_s,
                                          u"Profession and Health"_s, u"Profession and Race"_s,
                                          u"Health and Profession"_s, u"Health and Race"_s, u"Drawer and Race"_s};
    for (int tag = 0; tag < int(captions.size()); ++tag) {
        add(sort, u"mnuSort%1"_s.arg(tag), captions[size_t(tag)], [this, tag] { SortArmy(tag); },
            tag == 6 ? QKeySequence(Qt::CTRL | Qt::Key_F1) : QKeySequence());
    }
    add(sort, u"mnuSortAll"_s, u"Drawer and Race (All)"_s, &TfrmArmy::SortAll, QKeySequence(Qt::SHIFT | Qt::Key_F1));

    QMenu *options = menuBar()->addMenu(u"&Options"_s);
    mnuOptionsSummoned = add(options, u"mnuOptionsSummoned"_s, u"&Include Summoned"_s, &TfrmArmy::ToggleSummoned);
    mnuOptionsSummoned->setCheckable(true);
    // Ctrl+F2 already views the selected die.
    add(options, u"mnuArmyRaceBreakdown"_s, u"Race Breakdown"_s, &TfrmArmy::ShowRaceBreakdown);
    add(options, u"mnuArmyOdds"_s, u"&Odds..."_s, &TfrmArmy::ShowOdds, QKeySequence(Qt::CTRL | Qt::Key_D));
    mnuOptionsShowMin = add(options, u"mnuArmyShowMin"_s, u"Show &Minimum"_s, &TfrmArmy::ToggleShowMin);
    mnuOptionsPowerItems =
        add(options, u"mnuArmyPowerItems"_s, u"&Power Magic Items"_s, &TfrmArmy::PowerItemsRule);
    mnuOptionsMonster =
        add(options, u"mnuArmyMonster"_s, u"&Monstrous Magic Resistance"_s, &TfrmArmy::mnuOptionsMonsterRule);
    for (QAction *item : {mnuOptionsShowMin, mnuOptionsPowerItems, mnuOptionsMonster})
        item->setCheckable(true);

    FPopup = new QMenu(this);
    mnuPopupDelete = FPopup->addAction(u"Delete"_s, this, &TfrmArmy::DeleteDie);
    mnuPopupDuplicate = FPopup->addAction(u"Duplicate"_s, this, &TfrmArmy::DuplicateDie);
    mnuPopupView = FPopup->addAction(u"View Die"_s, this, &TfrmArmy::ViewDie);
    mnuPopupViewRace = FPopup->addAction(u"View Race"_s, this, &TfrmArmy::ViewRace);
}

void TfrmArmy::ShowStatus(const QString &text)
{
    barStatus->setText(text);
    // Long analyses report as they go.
    barStatus->repaint();
    emit StatusChanged(text);
}

QString TfrmArmy::StatusText() const
{
    return barStatus->text();
}

void TfrmArmy::RefreshAll()
{
    FFilling = true;
    setWindowTitle(FArmy->Name());
    txtName->setText(FArmy->Name());
    txtHealth->setText(FArmy->HealthText());
    cmbArmyType->setCurrentIndex(int(FArmy->Type()));
    FFilling = false;
    mnuFileSave->setEnabled(FArmy->Modified);
    UpdateGroupItems();
    FillDiceRows();
    FMain.ArmyCaptionChanged(this);
}

void TfrmArmy::UpdateGroupItems()
{
    const bool grouped = !FArmy->GroupName().isEmpty() && FArmy->GroupName() != u"(none)"_s;
    for (QAction *item : {mnuCloseGroup, mnuSaveGroup, mnuPrintGroup, mnuExportGroup})
        item->setEnabled(grouped);
}

void TfrmArmy::Modify()
{
    FArmy->Modified = true;
    mnuFileSave->setEnabled(true);
}

void TfrmArmy::FillDiceRows(int from)
{
    const std::vector<TDie *> &dice = FArmy->Dice();
    grdDice->SetRows(int(dice.size()) + 1);
    for (int index = std::max(0, from); index <= int(dice.size()); ++index) {
        const int row = index + 1;
        if (index == int(dice.size())) {
            for (int c = 1; c <= kDiceColumns; ++c)
                grdDice->Column(c)->Cell(row)->Clear();
            break;
        }
        const TDie &die = *dice[size_t(index)];
        grdDice->Column(1)->Cell(row)->SetText(die.Name);
        grdDice->Column(2)->Cell(row)->SetText(die.Race().Name);
        grdDice->Column(3)->Cell(row)->SetText(die.KindText());
        grdDice->Column(4)->Cell(row)->SetText(QString::number(die.Health()));
        grdDice->Column(5)->Cell(row)->SetText(QString::asprintf("%5.2f", die.Fraction(EffectFlag::SpellResist) * 100));
        grdDice->Column(6)->Cell(row)->SetText(die.Drawer);
    }
}

void TfrmArmy::DiceChanged(int fromIndex)
{
    // The model has already dropped its analysed flag; the figures on screen are what
    // must go.
    if (FAnalysis)
        ClearResults();
    Modify();
    txtHealth->setText(FArmy->HealthText());
    FillDiceRows(fromIndex);
    if (FOdds)
        FOdds->ArmyChanged();
}

void TfrmArmy::AddDie(TDie &die)
{
    FArmy->AddDie(die);
    DiceChanged(int(FArmy->Dice().size()) - 1);
}

void TfrmArmy::RemoveDie(const TDie &die)
{
    const auto &dice = FArmy->Dice();
    const auto at = std::find(dice.begin(), dice.end(), &die);
    if (at == dice.end())
        return;
    const int index = int(at - dice.begin());
    FArmy->RemoveAt(index);
    DiceChanged(index);
}

QString TfrmArmy::AddedText(const TDie &die) const
{
    return die.Name + u" added to "_s + FArmy->Name() + u".  Total health now "_s + FArmy->HealthText() + u'.';
}

int TfrmArmy::SelectedIndex() const
{
    const int index = grdDice->SelectedRow() - 1;
    return index >= 0 && index < int(FArmy->Dice().size()) ? index : -1;
}

TDie *TfrmArmy::SelectedDie() const
{
    const int index = SelectedIndex();
    return index >= 0 ? FArmy->Dice()[size_t(index)] : nullptr;
}

TDie *TfrmArmy::SelectedDieOrBeep() const
{
    TDie *die = SelectedDie();
    if (!die)
        FMain.Beep();
    return die;
}

void TfrmArmy::DuplicateDie()
{
    if (TDie *die = SelectedDieOrBeep())
        AddDie(*die);
}

void TfrmArmy::DeleteDie()
{
    if (!SelectedDieOrBeep())
        return;
    const int index = SelectedIndex();
    FArmy->RemoveAt(index);
    DiceChanged(index);
}

void TfrmArmy::ViewDie()
{
    if (!SelectedDieOrBeep())
        return;
    TfrmDie::ViewList(FMain, FArmy->Dice(), SelectedIndex());
}

void TfrmArmy::ViewRace()
{
    TDie *die = SelectedDieOrBeep();
    if (!die || !FMain.RaceForm())
        return;
    if (FMain.RaceForm()->ShowRace(&die->Race()))
        FMain.ShowRaceForm();
}

QMenu &TfrmArmy::DicePopup()
{
    const TDie *die = SelectedDie();
    mnuPopupDelete->setText(die ? u"Delete "_s + MenuCaption(die->Name) : u"Delete"_s);
    mnuPopupDuplicate->setText(die ? u"Duplicate "_s + MenuCaption(die->Name) : u"Duplicate"_s);
    mnuPopupView->setText(die ? u"View "_s + MenuCaption(die->Name) : u"View Die"_s);
    mnuPopupViewRace->setText(die ? u"View "_s + MenuCaption(die->Race().Name) : u"View Race"_s);
    for (QAction *item : {mnuPopupDelete, mnuPopupDuplicate, mnuPopupView, mnuPopupViewRace})
        item->setEnabled(die != nullptr);
    return *FPopup;
}

void TfrmArmy::ArrangeResultColumns()
{
    // Terrain first, then each result type at its shared position.
    std::array<int, 1 + kResultTypeCount> atPosition{};
    atPosition[0] = 1;
    for (int t = 0; t < kResultTypeCount; ++t)
        atPosition[size_t(FMain.ResultMap().Position(ResultType(t)))] = 2 + t;
    for (int position = 0; position <= kResultTypeCount; ++position)
        grdResults->Column(atPosition[size_t(position)])->SetPosition(position);
}

void TfrmArmy::SwapColumns(int from, int to)
{
    if (from >= 1 && to >= 1) {
        FMain.MoveResultColumn(from, to);
        return;
    }
    // The land names stay in front.
    ArrangeResultColumns();
}

void TfrmArmy::ClearResults()
{
    for (int t = 0; t < kResultTypeCount; ++t) {
        TColumnData &column = *grdResults->Column(2 + t);
        column.SetTitle(QString());
        column.Clear();
    }
    for (int e = 1; e <= kFractionCount; ++e)
        grdChances->Column(2)->Cell(e)->SetText(QString());
    FillDiceRows();
    FArmy->Analyzed = false;
    FAnalysis.reset();
}

void TfrmArmy::AnalyzeArmy()
{
    // The analysis itself says "Initializing for analysis..." first.
    for (int t = 0; t < kResultTypeCount; ++t)
        grdResults->Column(2 + t)->SetTitle(NameOf(ResultType(t)));
    FAnalysis = std::make_unique<TArmyAnalysis>(::AnalyzeArmy(
        AnalysedDice(FArmy->Dice(), FIncludeSummoned), [this](const QString &text) { ShowStatus(text); }));
    ShowStatus(u"Formatting results..."_s);
    FillResults(*FAnalysis);
    FillDiceRows();
    ShowStatus(u"Analysis complete."_s);
    FArmy->Analyzed = true;
}

void TfrmArmy::FillResults(const TArmyAnalysis &analysis)
{
    const bool minimum = FMain.ShowMinimum();
    for (int t = 0; t < kResultTypeCount; ++t) {
        for (int l = 0; l < kLandCount; ++l)
            grdResults->Column(2 + t)->Cell(l + 1)->SetText(analysis.CellText(ResultType(t), Land(l), minimum));
    }
    for (int e = 0; e < kFractionCount; ++e)
        grdChances->Column(2)->Cell(e + 1)->SetText(analysis.ChanceText(EffectFlag(kFirstFractionFlag + e)));
}

void TfrmArmy::NewArmy()
{
    FMain.CreateArmy();
}

void TfrmArmy::OpenArmy()
{
    FMain.OpenFile();
}

void TfrmArmy::ExitProgram()
{
    FMain.MainExit();
}

void TfrmArmy::SortAll()
{
    FMain.SortAllArmies();
}

void TfrmArmy::PowerItemsRule()
{
    FMain.ToggleRule(true);
    mnuOptionsPowerItems->setChecked(FMain.Catalogue().Rules.PowerMagicItems);
}

void TfrmArmy::mnuOptionsMonsterRule()
{
    FMain.ToggleRule(false);
    mnuOptionsMonster->setChecked(FMain.Catalogue().Rules.MonstrousMagicResistance);
}

void TfrmArmy::ToggleShowMin()
{
    // The main window clears every army's figures; this window copies its check mark.
    FMain.ToggleShowMinimum();
    mnuOptionsShowMin->setChecked(FMain.ShowMinimum());
}

void TfrmArmy::ToggleSummoned()
{
    FIncludeSummoned = !FIncludeSummoned;
    mnuOptionsSummoned->setChecked(FIncludeSummoned);
    ShowStatus(FIncludeSummoned ? u"Summoned creatures will be included in the next analysis."_s
                                : u"Summoned creatures will be excluded from the next analysis."_s);
    if (FAnalysis)
        ClearResults();
    if (FOdds)
        FOdds->ArmyChanged();
}

void TfrmArmy::SelectArmy()
{
    mnuOptionsShowMin->setChecked(FMain.ShowMinimum());
    mnuOptionsMonster->setChecked(FMain.Catalogue().Rules.MonstrousMagicResistance);
    mnuOptionsPowerItems->setChecked(FMain.Catalogue().Rules.PowerMagicItems);
    // The MDI area activates the window again after every dialog; the statuses the
    // command just wrote ("Army saved to ...", "n dice lost.") must stay.
    if (FMain.CurrentArmy() == this)
        return;
    FMain.SetCurrentArmy(this);
    ShowStatus(u" "_s);
}

void TfrmArmy::closeEvent(QCloseEvent *event)
{
    if (!FMain.Closing() && !CloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    FreeArmy();
}

void TfrmArmy::FreeArmy()
{
    // The army gives back what it used and leaves the main window's lists now; the
    // window itself goes once the event loop gets to it. Its odds stop following dice
    // that are no longer its own.
    if (FOdds)
        FOdds->close();
    FArmy->Release();
    FMain.RemoveArmy(this);
}

bool TfrmArmy::CloseArmy()
{
    QWidget *window = parentWidget() ? parentWidget() : this;
    return window->close();
}
