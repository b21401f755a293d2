#include "editors/DieEdit.h"

#include "KrException.h"
#include "army/OddsView.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString kCaption = u"Die Viewer"_s;

// The widest text a result cell holds, to size the result columns by.
const QString kWidestResult = u"00.00/00.00"_s;

} // namespace

void TfrmDie::ViewRace(TfrmMain &main, TRace &race, int index, TDiePostListener *listener)
{
    TfrmDie dialog(main, race, index, listener);
    dialog.exec();
}

void TfrmDie::ViewList(TfrmMain &main, const std::vector<TDie *> &dice, int index)
{
    if (dice.empty())
        return;
    TfrmDie dialog(main, dice, index);
    dialog.exec();
}

void TfrmDie::ViewDie(TfrmMain &main, TDie &die)
{
    TfrmDie dialog(main, die);
    dialog.exec();
}

TfrmDie::TfrmDie(TfrmMain &main, TRace &race, int index, TDiePostListener *listener)
    : TfrmDie(main, {}, index, &race, listener)
{}

TfrmDie::TfrmDie(TfrmMain &main, const std::vector<TDie *> &dice, int index)
    : TfrmDie(main, dice, std::clamp(index, 0, std::max(int(dice.size()) - 1, 0)), nullptr, nullptr)
{}

TfrmDie::TfrmDie(TfrmMain &main, TDie &die) : TfrmDie(main, {&die}, -1, nullptr, nullptr)
{}

TfrmDie::TfrmDie(TfrmMain &main, std::vector<TDie *> list, int index, TRace *race, TDiePostListener *listener)
    : QDialog(&main)
    , FMain(main)
    , FList(std::move(list))
    , FIndex(index)
    , FRace(race)
    , FListener(listener)
    , FDraft(main.Catalogue().Icons())
    , FEditingAllowed(race != nullptr)
{
    setObjectName(u"frmDie"_s);
    setWindowTitle(kCaption);
    BuildControls();
    // Wide enough for every result column without scrolling.
    const int resultsWidth = grdResults->horizontalHeader()->length() + 2 * grdResults->frameWidth();
    resize(std::max(1000, resultsWidth + 20), 700);
    FMain.RestoreWindowPosition(*this, kCaption);
    RefreshList();
    Open(index);
}

TfrmDie::~TfrmDie()
{
    FMain.SaveWindowPosition(*this, kCaption);
}

// ---------------------------------------------------------------------------------
// Controls

void TfrmDie::BuildControls()
{
    txtName = new QLineEdit(this);
    txtName->setObjectName(u"txtName"_s);
    // Only the race window edits dice; from an army the name is for reading.
    txtName->setReadOnly(!FEditingAllowed);
    chkPrecious = new QCheckBox(u"Ultra-Rare"_s, this);
    chkPrecious->setObjectName(u"chkPrecious"_s);
    cmbProfession = new QComboBox(this);
    cmbProfession->setObjectName(u"cmbProfession"_s);
    for (int p = 0; p < VocabularyCount<Profession>(); ++p)
        cmbProfession->addItem(NameOf(Profession(p)));
    connect(txtName, &QLineEdit::textChanged, this, &TfrmDie::DataChanged);
    connect(chkPrecious, &QCheckBox::toggled, this, &TfrmDie::DataChanged);
    connect(cmbProfession, &QComboBox::currentIndexChanged, this, [this] { NewSpecs(cmbProfession); });

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(u"Name"_s, this));
    top->addWidget(txtName, 1);
    top->addSpacing(12);
    top->addWidget(new QLabel(u"Profession"_s, this));
    top->addWidget(cmbProfession);
    top->addSpacing(12);
    top->addWidget(chkPrecious);

    BuildGrids();
    auto *middle = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(BuildSpecs());
    left->addWidget(BuildFaces(), 1);
    middle->addLayout(left, 1);
    middle->addWidget(grdChances, 0, Qt::AlignTop);

    btnPrev = new QPushButton(u"Prev"_s, this);
    btnPrev->setObjectName(u"btnPrev"_s);
    btnNext = new QPushButton(u"Next"_s, this);
    btnNext->setObjectName(u"btnNext"_s);
    btnSave = new QPushButton(u"Save"_s, this);
    btnSave->setObjectName(u"btnSave"_s);
    btnClose = new QPushButton(u"Close"_s, this);
    btnClose->setObjectName(u"btnClose"_s);
    // Return belongs to "Store" alone.
    for (QPushButton *button : {btnPrev, btnNext, btnSave, btnClose})
        button->setAutoDefault(false);
    connect(btnPrev, &QPushButton::clicked, this, [this] { ChangeDie(-1); });
    connect(btnNext, &QPushButton::clicked, this, [this] { ChangeDie(1); });
    connect(btnSave, &QPushButton::clicked, this, &TfrmDie::Save);
    connect(btnClose, &QPushButton::clicked, this, &TfrmDie::ExitQuery);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnPrev);
    buttons->addWidget(btnNext);
    buttons->addStretch(1);
    buttons->addWidget(btnSave);
    buttons->addWidget(btnClose);

    barStatus = new QStatusBar(this);
    barStatus->setObjectName(u"barStatus"_s);
    barStatus->setSizeGripEnabled(false);
    FStatusText = new QLabel(barStatus);
    barStatus->addWidget(FStatusText, 1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 0);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    layout->addWidget(tabResults);
    layout->addLayout(buttons);
    layout->addWidget(barStatus);
}

QButtonGroup *TfrmDie::BuildRadioGroup(QGroupBox *box, const QString &prefix, std::span<const int> values)
{
    auto *group = new QButtonGroup(box);
    auto *row = new QHBoxLayout(box);
    for (int value : values) {
        auto *button = new QRadioButton(QString::number(value), box);
        button->setObjectName(prefix + QString::number(value));
        group->addButton(button, value);
        row->addWidget(button);
    }
    row->addStretch(1);
    return group;
}

QWidget *TfrmDie::BuildSpecs()
{
    auto *specs = new QWidget(this);
    auto *row = new QHBoxLayout(specs);
    row->setContentsMargins(0, 0, 0, 0);
    grpHealth = new QGroupBox(u"Health"_s, specs);
    grpHealth->setObjectName(u"grpHealth"_s);
    FHealthButtons = BuildRadioGroup(grpHealth, u"rbHealth"_s, kHealthChoices);
    grpSides = new QGroupBox(u"Faces"_s, specs);
    grpSides->setObjectName(u"grpSides"_s);
    FSideButtons = BuildRadioGroup(grpSides, u"rbSides"_s, kSideChoices);
    // A click counts even on the button already checked: a die of 8 faces shows "10", and
    // choosing "10" must still give it ten.
    connect(FHealthButtons, &QButtonGroup::idClicked, this, [this](int health) {
        if (!FDisplaying && health != FDraft.Health)
            NewSpecs(grpHealth);
    });
    connect(FSideButtons, &QButtonGroup::idClicked, this, [this](int sides) {
        if (!FDisplaying && sides != FDraft.FaceCount())
            ChangeFaceCount(sides);
    });
    row->addWidget(grpHealth, 3);
    row->addWidget(grpSides, 2);
    return specs;
}

QWidget *TfrmDie::BuildFaces()
{
    auto *faces = new QWidget(this);
    auto *row = new QHBoxLayout(faces);
    row->setContentsMargins(0, 0, 0, 0);

    lstFaces = new QListWidget(faces);
    lstFaces->setObjectName(u"lstFaces"_s);
    connect(lstFaces, &QListWidget::currentRowChanged, this, [this](int face) {
        // Refilling the list passes through "no row"; the draft keeps its selection.
        if (FDisplaying)
            return;
        FDraft.Selected = face;
        if (face >= 0 && face < FDraft.FaceCount())
            ShowIconData(FDraft.Faces[size_t(face)].Symbol);
    });
    // The notes may have gone to another symbol since (the symbol list shows its own); a
    // click on the selected face brings its notes back.
    connect(lstFaces, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        const int face = lstFaces->row(item);
        if (!FDisplaying && face >= 0 && face < FDraft.FaceCount())
            ShowIconData(FDraft.Faces[size_t(face)].Symbol);
    });
    connect(lstFaces, &QListWidget::itemDoubleClicked, this, &TfrmDie::EnableEdit);
    auto *listColumn = new QVBoxLayout;
    auto *listLabel = new QLabel(u"Face List"_s, faces);
    listLabel->setBuddy(lstFaces);
    listColumn->addWidget(listLabel);
    listColumn->addWidget(lstFaces, 1);
    row->addLayout(listColumn, 2);

    grpNewFace = new QGroupBox(u"New Face"_s, faces);
    grpNewFace->setObjectName(u"grpNewFace"_s);
    cmbFaceIcon = new QComboBox(grpNewFace);
    cmbFaceIcon->setObjectName(u"cmbFaceIcon"_s);
    cmbFaceIcon->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbFaceIcon->setMinimumContentsLength(16);
    connect(cmbFaceIcon, &QComboBox::currentIndexChanged, this, [this](int entry) {
        if (entry >= 0)
            ShowIconData(cmbFaceIcon->itemData(entry).toInt());
    });
    cmbIconCount = new QComboBox(grpNewFace);
    cmbIconCount->setObjectName(u"cmbIconCount"_s);
    for (int count : kIconCountChoices)
        cmbIconCount->addItem(QString::number(count), count);
    btnStore = new QPushButton(u"Store"_s, grpNewFace);
    btnStore->setObjectName(u"btnStore"_s);
    btnStore->setDefault(true);
    connect(btnStore, &QPushButton::clicked, this, &TfrmDie::UpdateFace);
    auto *form = new QFormLayout(grpNewFace);
    form->addRow(u"Symbol"_s, cmbFaceIcon);
    form->addRow(u"Count"_s, cmbIconCount);
    form->addRow(QString(), btnStore);

    mnuNewFacePopup = new QMenu(this);
    mnuNewFacePopup->setObjectName(u"mnuNewFacePopup"_s);
    QAction *allIcons = mnuNewFacePopup->addAction(u"All Icons"_s);
    allIcons->setObjectName(u"mnuAllIcons"_s);
    connect(allIcons, &QAction::triggered, this, [this] { RefreshIcons(2); });
    QAction *basicIcons = mnuNewFacePopup->addAction(u"Basic Icons"_s);
    basicIcons->setObjectName(u"mnuBasicIcons"_s);
    connect(basicIcons, &QAction::triggered, this, [this] { RefreshIcons(1); });
    grpNewFace->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grpNewFace, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { mnuNewFacePopup->popup(grpNewFace->mapToGlobal(at)); });

    txtIconNotes = new QPlainTextEdit(faces);
    txtIconNotes->setObjectName(u"txtIconNotes"_s);
    txtIconNotes->setReadOnly(true);
    auto *boxColumn = new QVBoxLayout;
    boxColumn->addWidget(grpNewFace);
    boxColumn->addWidget(new QLabel(u"Symbol Notes"_s, faces));
    boxColumn->addWidget(txtIconNotes, 1);
    row->addLayout(boxColumn, 3);

    for (QWidget *watched : std::initializer_list<QWidget *>{lstFaces, cmbFaceIcon, cmbIconCount, btnStore})
        watched->installEventFilter(this);
    return faces;
}

void TfrmDie::BuildGrids()
{
    grdResults = new TFancyGrid(this);
    grdResults->setObjectName(u"grdResults"_s);
    grdResults->SetCols(1 + kResultTypeCount);
    grdResults->SetRows(kLandCount);
    // The result columns follow the program's shared order; moving them belongs to the
    // army windows, which keep that order.
    grdResults->SetColMoving(false);
    grdResults->SetSelectMode(eSelectCell);
    const QFontMetrics metrics = grdResults->fontMetrics();
    const int gap = 8;
    int landWidth = metrics.horizontalAdvance(u"Terrain"_s);
    for (int l = 0; l < kLandCount; ++l)
        landWidth = std::max(landWidth, metrics.horizontalAdvance(NameOf(Land(l))));
    grdResults->ColumnAt(0)->SetWidth(landWidth + gap);
    for (int t = 0; t < kResultTypeCount; ++t) {
        TColumnData *column = grdResults->Column(t + 2);
        const int width =
            std::max(metrics.horizontalAdvance(NameOf(ResultType(t))), metrics.horizontalAdvance(kWidestResult)) + gap;
        column->SetWidth(width);
        column->SetAlignment(eAlignRight);
    }
    // Every land shows; on a screen too narrow for all columns the grid scrolls sideways.
    grdResults->setFixedHeight(grdResults->LineHeight() * (kLandCount + 1) + 2 * grdResults->frameWidth());

    mnuResultsPopup = new QMenu(this);
    mnuResultsPopup->setObjectName(u"mnuResultsPopup"_s);
    QAction *regenerate = mnuResultsPopup->addAction(u"Regenerate"_s);
    regenerate->setObjectName(u"mnuRegenerate"_s);
    connect(regenerate, &QAction::triggered, this, &TfrmDie::RegenerateStatistics);
    connect(grdResults, &TFancyGrid::RightClick, this, [this] { mnuResultsPopup->popup(QCursor::pos()); });

    FOdds = new TOddsView(FMain, FMain.ResultMap(), this);
    FOdds->SetSource([this](Land land, ResultType result) { return RollOdds(*FDie, land, result); });
    tabResults = new QTabWidget(this);
    tabResults->setObjectName(u"tabResults"_s);
    tabResults->addTab(grdResults, u"Results"_s);
    tabResults->addTab(FOdds, u"Odds"_s);

    grdChances = new TFancyGrid(this);
    grdChances->setObjectName(u"grdChances"_s);
    grdChances->SetCols(2);
    grdChances->SetRows(kFractionCount);
    grdChances->SetColMoving(false);
    grdChances->SetSelectMode(eSelectRow);
    int effectWidth = 0;
    for (int e = kFirstFractionFlag; e <= kLastFractionFlag; ++e)
        effectWidth = std::max(effectWidth, metrics.horizontalAdvance(NameOf(EffectFlag(e))));
    grdChances->Column(1)->SetWidth(effectWidth + gap);
    grdChances->Column(2)->SetWidth(metrics.horizontalAdvance(u"0000.00"_s) + gap);
    grdChances->Column(2)->SetAlignment(eAlignRight);
    grdChances->setFixedWidth(effectWidth + metrics.horizontalAdvance(u"0000.00"_s) + 2 * gap +
                              2 * grdChances->frameWidth());
    grdChances->setFixedHeight(grdChances->LineHeight() * (kFractionCount + 1) + 2 * grdChances->frameWidth());
    grdChances->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grdChances->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TfrmDie::Status(const QString &text)
{
    FStatusText->setText(text);
    // Statistics take a moment; the line must show while they run.
    FStatusText->repaint();
    emit StatusChanged(text);
}

void TfrmDie::Statuses(const QStringList &texts)
{
    for (const QString &text : texts)
        Status(text);
}

QString TfrmDie::StatusText() const
{
    return FStatusText->text();
}

// ---------------------------------------------------------------------------------
// Showing

void TfrmDie::RefreshList()
{
    // The race's list grows as new dice are posted into it.
    if (FRace) {
        FList.clear();
        for (const auto &die : FRace->Dice())
            FList.push_back(die.get());
    }
}

void TfrmDie::Open(int index)
{
    if (FRace && (index < 0 || index >= int(FList.size()))) {
        StartNewDie();
        SetEditMode(true);
        txtName->setFocus();
        return;
    }
    SetEditMode(false);
    if (!FList.empty())
        ShowDie(*FList[size_t(std::clamp(index, 0, int(FList.size()) - 1))]);
}

void TfrmDie::StartNewDie()
{
    FNewDie = std::make_unique<TDie>(*FRace);
    FIndex = int(FList.size());
    ShowDie(*FNewDie);
}

void TfrmDie::ShowDie(TDie &die)
{
    FDisplaying = true;
    FDie = &die;
    txtName->setText(die.Name);
    Status(u"Displaying "_s + die.Name + u"..."_s);
    const bool browsing = FIndex >= 0 && !IsNewDie();
    btnNext->setEnabled(browsing && FIndex < int(FList.size()) - 1);
    btnPrev->setEnabled(browsing && FIndex > 0);
    btnSave->setEnabled(false);
    FDraft.Load(die);
    CheckRadio(FHealthButtons, kHealthChoices, die.Health());
    cmbProfession->setCurrentIndex(int(die.GetProfession()));
    chkPrecious->setChecked(die.UltraRare);
    CheckRadio(FSideButtons, kSideChoices, die.FaceCount());
    FillFaceList();
    SelectFace(FDraft.Selected);
    FillGrids();
    Status(die.Name + u" displayed"_s);
    FDisplaying = false;
}

void TfrmDie::CheckRadio(QButtonGroup *group, std::span<const int> choices, int value)
{
    const int entry = ChoiceIndex(choices, value);
    if (entry >= 0) {
        group->button(choices[size_t(entry)])->setChecked(true);
        return;
    }
    // Beyond every choice: no button is right, so none is checked.
    group->setExclusive(false);
    for (QAbstractButton *button : group->buttons())
        button->setChecked(false);
    group->setExclusive(true);
}

void TfrmDie::FillFaceList()
{
    const bool displaying = std::exchange(FDisplaying, true);
    lstFaces->clear();
    for (int face = 0; face < FDraft.FaceCount(); ++face) {
        auto *line = new QListWidgetItem(FDraft.FaceText(face), lstFaces);
        line->setData(Qt::UserRole, FDraft.Faces[size_t(face)].Symbol);
        line->setData(Qt::UserRole + 1, FDraft.Faces[size_t(face)].Count);
    }
    FDisplaying = displaying;
}

void TfrmDie::SelectFace(int face)
{
    lstFaces->setCurrentRow(face);
    FDraft.Selected = face;
    if (face >= 0 && face < FDraft.FaceCount())
        ShowIconData(FDraft.Faces[size_t(face)].Symbol);
}

void TfrmDie::ShowIconData(qint32 symbol)
{
    const TIconDescriptor *icon = FMain.Catalogue().GetIcon(symbol);
    txtIconNotes->setPlainText(icon ? icon->Description : QString());
}

void TfrmDie::FillGrids()
{
    const TResultMap &map = FMain.ResultMap();
    grdResults->ColumnAt(0)->SetTitle(u"Terrain"_s);
    for (int l = 0; l < kLandCount; ++l)
        grdResults->ColumnAt(0)->Cell(l + 1)->SetText(NameOf(Land(l)));
    for (int t = 0; t < kResultTypeCount; ++t) {
        TColumnData *column = grdResults->ColumnAt(map.Position(ResultType(t)));
        if (!column)
            continue;
        column->SetTitle(NameOf(ResultType(t)));
        for (int l = 0; l < kLandCount; ++l)
            column->Cell(l + 1)->SetText(FDie->ResultText(ResultType(t), Land(l), false));
    }
    grdChances->Column(1)->SetTitle(u"Effect"_s);
    grdChances->Column(2)->SetTitle(u"%"_s);
    for (int e = kFirstFractionFlag; e <= kLastFractionFlag; ++e) {
        const int row = e - kFirstFractionFlag + 1;
        grdChances->Column(1)->Cell(row)->SetText(NameOf(EffectFlag(e)));
        grdChances->Column(2)->Cell(row)->SetText(ChanceText(*FDie, EffectFlag(e)));
    }
    FOdds->Refresh();
}

// ---------------------------------------------------------------------------------
// Radio groups

void TfrmDie::SelectHealth(int health)
{
    if (QAbstractButton *button = FHealthButtons->button(health))
        button->click();
}

void TfrmDie::SelectSides(int sides)
{
    if (QAbstractButton *button = FSideButtons->button(sides))
        button->click();
}

int TfrmDie::SelectedHealth() const
{
    return std::max(FHealthButtons->checkedId(), 0);
}

int TfrmDie::SelectedSides() const
{
    return std::max(FSideButtons->checkedId(), 0);
}

// ---------------------------------------------------------------------------------
// Editing

void TfrmDie::DataChanged()
{
    if (FDisplaying)
        return;
    FDraft.SetName(txtName->text());
    FDraft.SetUltraRare(chkPrecious->isChecked());
    btnSave->setEnabled(true);
}

void TfrmDie::NewSpecs(QObject *control)
{
    if (FDisplaying)
        return;
    if (control == cmbProfession)
        Statuses(FDraft.ChangeProfession(Profession(cmbProfession->currentIndex())));
    else
        Statuses(FDraft.ChangeHealth(FHealthButtons->checkedId()));
    btnSave->setEnabled(true);
    const int selected = FDraft.Selected;
    FillFaceList();
    SelectFace(selected);
}

void TfrmDie::ChangeFaceCount(int sides)
{
    FDraft.ChangeFaceCount(sides);
    btnSave->setEnabled(true);
    const int selected = FDraft.Selected;
    FillFaceList();
    SelectFace(selected);
}

void TfrmDie::EnableEdit()
{
    if (FEditingAllowed)
        SetEditMode(true);
}

void TfrmDie::SetEditMode(bool on)
{
    FEditMode = on;
    for (QWidget *control :
         std::initializer_list<QWidget *>{grpNewFace, cmbProfession, grpHealth, grpSides, chkPrecious, btnSave})
        control->setEnabled(on);
    if (!on)
        return;
    if (lstFaces->currentRow() < 0 && FDraft.FaceCount() > 0)
        SelectFace(0);
    if (cmbFaceIcon->count() == 0)
        RefreshIcons(2);
    LoadFace(FDraft.Selected);
}

void TfrmDie::LoadFace(int face)
{
    if (face < 0 || face >= FDraft.FaceCount())
        return;
    const TFaceLine &line = FDraft.Faces[size_t(face)];
    cmbFaceIcon->setCurrentIndex(std::max(cmbFaceIcon->findData(line.Symbol), 0));
    // A count outside the list (a face of 8) joins it in its sorted place and stays there,
    // so that the box always shows the face's true count and storing keeps it.
    std::vector<int> counts;
    for (int entry = 0; entry < cmbIconCount->count(); ++entry)
        counts.push_back(cmbIconCount->itemData(entry).toInt());
    const int entry = InsertCount(counts, line.Count);
    if (int(counts.size()) > cmbIconCount->count())
        cmbIconCount->insertItem(entry, QString::number(line.Count), line.Count);
    cmbIconCount->setCurrentIndex(entry);
}

void TfrmDie::UpdateFace()
{
    if (!FEditMode || cmbFaceIcon->currentIndex() < 0 || cmbIconCount->currentIndex() < 0)
        return;
    const int face = FDraft.Selected >= 0 ? FDraft.Selected : 1;
    const QString status = FDraft.StoreFace(cmbFaceIcon->currentData().toInt(), cmbIconCount->currentData().toInt());
    if (status.isEmpty()) {
        FMain.Beep();
        return;
    }
    const bool displaying = std::exchange(FDisplaying, true);
    QListWidgetItem *line = lstFaces->item(face);
    line->setText(FDraft.FaceText(face));
    line->setData(Qt::UserRole, FDraft.Faces[size_t(face)].Symbol);
    line->setData(Qt::UserRole + 1, FDraft.Faces[size_t(face)].Count);
    FDisplaying = displaying;
    btnSave->setEnabled(true);
    Status(status);
    SelectFace(FDraft.Selected);
}

void TfrmDie::RefreshIcons(int tag)
{
    Status(u"Refreshing icon box..."_s);
    cmbFaceIcon->clear();
    for (const TSymbolChoice &choice : SymbolChoices(FMain.Catalogue().Icons(), tag == 2))
        cmbFaceIcon->addItem(choice.Name, choice.ID);
    cmbFaceIcon->setCurrentIndex(cmbFaceIcon->count() > 0 ? 0 : -1);
    Status(u"Icon combo box reloaded."_s);
}

void TfrmDie::RegenerateStatistics()
{
    Status(u"Updating die statistics..."_s);
    FDie->InvalidateStatistics();
    FillGrids();
    Status(u"Die statistics updated."_s);
}

bool TfrmDie::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && FEditMode && Shortcut(*static_cast<QKeyEvent *>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

bool TfrmDie::Shortcut(QKeyEvent &key)
{
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key.text();
    if (text.size() != 1)
        return false;
    const QChar c = text.front();
    if (c.isLetter()) {
        // The list may hold only the basic symbols; the letter looks in what it holds.
        std::vector<TSymbolChoice> shown;
        for (int i = 0; i < cmbFaceIcon->count(); ++i)
            shown.push_back({cmbFaceIcon->itemText(i), cmbFaceIcon->itemData(i).toInt()});
        cmbFaceIcon->setCurrentIndex(SymbolForLetter(shown, c));
        cmbFaceIcon->setFocus(Qt::ShortcutFocusReason);
    } else if (c >= u'1' && c <= u'6') {
        const int entry = cmbIconCount->findData(c.digitValue());
        if (entry >= 0)
            cmbIconCount->setCurrentIndex(entry);
    } else if (c == u' ') {
        LoadFace(FDraft.Selected);
    } else if (c == u'>') {
        FDraft.SelectNext();
        SelectFace(FDraft.Selected);
    } else if (c == u'<') {
        FDraft.SelectPrevious();
        SelectFace(FDraft.Selected);
    } else {
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------
// Writing, moving and closing

bool TfrmDie::WriteDie(bool post)
{
    try {
        Status(u"Processing "_s + FDraft.Name + u"..."_s);
        FDraft.WriteTo(*FDie);
        Status(u"Updating die statistics..."_s);
        FDie->Statistics();
        FillGrids();
        Status(u"Die statistics updated."_s);
        if (!post)
            return true;
        TRace &race = FDie->Race();
        Status(u"Posting to "_s + race.Name + u"..."_s);
        const bool added = IsNewDie();
        if (added) {
            FIndex = race.AddDie(std::move(FNewDie)) - 1;
            RefreshList();
        }
        FDraft.Modified = false;
        if (FListener)
            FListener->DiePosted(*FDie, added);
        FMain.MarkRacesChanged();
        Status(u"Die data saved."_s);
        return true;
    } catch (const TKrException &failure) {
        Status(u"Error saving die data."_s);
        FMain.ReportError(failure, u"saving die data"_s);
        return false;
    }
}

void TfrmDie::Save()
{
    const bool wasNew = IsNewDie();
    if (!WriteDie(true) || !wasNew)
        return;
    // The next new die starts as a copy of the form just saved, under the default name.
    FNewDie = std::make_unique<TDie>(FDie->Race());
    FDie = FNewDie.get();
    FIndex = int(FList.size());
    const bool displaying = std::exchange(FDisplaying, true);
    txtName->setText(FDie->Name);
    FDraft.Name = FDie->Name;
    FDisplaying = displaying;
    WriteDie(false);
    FDraft.Modified = false;
    FDraft.FacesEdited = false;
    btnPrev->setEnabled(false);
    btnNext->setEnabled(false);
    btnSave->setEnabled(false);
    txtName->setFocus();
}

bool TfrmDie::CloseRequest()
{
    if (!FDraft.Modified)
        return true;
    switch (FMain.Prompts().Confirm(kCaption, u"Save changes to "_s + FDraft.Name + u'?', TButtons::YesNoCancel)) {
    case TAnswer::Yes:
        // Edits that could not be written must not vanish with the dialog.
        return WriteDie(true);
    case TAnswer::No:
        return true;
    default:
        return false;
    }
}

void TfrmDie::ChangeDie(int step)
{
    if (IsNewDie() || FIndex < 0 || !CloseRequest())
        return;
    RefreshList();
    const int index = StepOverRepeats(FList, FIndex, step);
    if (index < 0)
        return;
    FIndex = index;
    ShowDie(*FList[size_t(index)]);
    SetEditMode(false);
}

void TfrmDie::ExitQuery()
{
    reject();
}

void TfrmDie::reject()
{
    if (CloseRequest())
        QDialog::reject();
}
