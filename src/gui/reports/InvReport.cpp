#include "reports/InvReport.h"

#include "KrException.h"
#include "army/ArmyPrint.h"
#include "army/PrinterCanvas.h"
#include "controls/FancyGrid.h"
#include "inventory/InventoryForm.h"
#include "reports/ConfigHTML.h"
#include "reports/DieCount.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include <array>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

const QString kPositionName = u"InvReport"_s;
// The spin boxes stand in rows of this many, the search list and the button after them.
constexpr int kRulesPerRow = 4;
constexpr std::array kColumnWidths{22, 180, 130, 110, 40, 80, 60, 70};

// A menu caption shows an ampersand of a name as itself.
QString Caption(const QString &name)
{
    QString text = name;
    return text.replace(u'&', u"&&"_s);
}

} // namespace

TfrmInvReport::TfrmInvReport(TfrmMain &main, TfrmInventory &inventory)
    : QMainWindow(nullptr), FMain(main), FInventory(inventory)
{
    setObjectName(u"frmInvReport"_s);
    setWindowTitle(u"Inventory Alert List"_s);
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    BuildGrid();
    layout->addWidget(grdAlerts, 1);
    auto *panel = new QWidget;
    BuildRules(panel);
    auto *scroll = new QScrollArea(central);
    scroll->setObjectName(u"pnlRules"_s);
    scroll->setWidget(panel);
    scroll->setWidgetResizable(true);
    // However small the window, two rows of spin boxes stay in sight.
    scroll->setMinimumHeight(2 * btnRun->sizeHint().height() + 2 * scroll->frameWidth());
    scroll->setMaximumHeight(panel->sizeHint().height() + 2 * scroll->frameWidth());
    layout->addWidget(scroll, 0);
    setCentralWidget(central);
    barStatus = new QLabel(this);
    barStatus->setObjectName(u"barStatus"_s);
    FStatus = std::make_unique<TProgressStatus>(*barStatus);
    statusBar()->addWidget(barStatus, 1);
    BuildMenus();

    FInventory.Inventory().Rules.Load(FMain.Settings());
    ShowRules();
    RefreshAlertList();
    UpdateCommands();

    connect(&FMain, &TfrmMain::InventoryViewChanged, this, &TfrmInvReport::RefreshAlertList);
    connect(&FMain, &TfrmMain::RacesRegenerated, this, &TfrmInvReport::RefreshAlertList);
    // Dice deleted or races read again must leave the list before anything shows them.
    connect(&FMain, &TfrmMain::RacesChanged, this, [this] {
        if (FList.ForgetMissing(FMain.Catalogue()) > 0) {
            FSelected = nullptr;
            UpdateCommands();
        }
        RefreshAlertList();
    });
}

TfrmInvReport::~TfrmInvReport() = default;

TfrmInvReport *TfrmInvReport::Create(TfrmMain &main, TfrmInventory &inventory)
{
    auto *report = new TfrmInvReport(main, inventory);
    QMdiSubWindow *window = main.MdiArea()->addSubWindow(report);
    window->resize(780, 640);
    main.RestoreWindowPosition(*window, kPositionName);
    window->hide();
    return report;
}

void TfrmInvReport::SaveState()
{
    TakeRules();
    FInventory.Inventory().Rules.Save(FMain.Settings());
    if (QWidget *window = parentWidget())
        FMain.SaveWindowPosition(*window, kPositionName);
}

void TfrmInvReport::BuildRules(QWidget *panel)
{
    auto *grid = new QGridLayout(panel);
    int index = 0;
    for (const TKeepRules::TSetting &setting : TKeepRules::Settings()) {
        const QString key = QString::fromUtf16(setting.Key);
        if (key == u"IRSearchType")
            continue;
        auto *box = new QSpinBox(panel);
        box->setObjectName(u"spn"_s + key);
        box->setRange(0, setting.Max);
        auto *label = new QLabel(QString::fromUtf16(setting.Label), panel);
        label->setBuddy(box);
        grid->addWidget(label, index / kRulesPerRow, 2 * (index % kRulesPerRow), Qt::AlignRight);
        grid->addWidget(box, index / kRulesPerRow, 2 * (index % kRulesPerRow) + 1);
        FRuleBoxes[key] = box;
        ++index;
    }
    cmbSearchFor = new QComboBox(panel);
    cmbSearchFor->setObjectName(u"cmbSearchFor"_s);
    for (int search = 0; search < VocabularyCount<TAlertSearch>(); ++search)
        cmbSearchFor->addItem(NameOf(TAlertSearch(search)));
    btnRun = new QPushButton(u"RUN"_s, panel);
    btnRun->setObjectName(u"btnRun"_s);
    const int column = 2 * kRulesPerRow;
    grid->addWidget(new QLabel(u"Search For"_s, panel), 0, column);
    grid->addWidget(cmbSearchFor, 1, column);
    grid->addWidget(btnRun, 2, column);
    grid->setColumnStretch(column + 1, 1);
    connect(btnRun, &QPushButton::clicked, this, &TfrmInvReport::RunReport);
}

void TfrmInvReport::BuildGrid()
{
    grdAlerts = new TFancyGrid(this);
    grdAlerts->setObjectName(u"grdAlerts"_s);
    grdAlerts->SetCols(TAlertList::kColumns);
    grdAlerts->SetRows(1);
    grdAlerts->SetColMoving(false);
    grdAlerts->SetSelectMode(eSelectRow);
    // The Diff and Points texts are padded with blanks to line up in a fixed font.
    grdAlerts->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QList<TColumnSpec> specs;
    const QStringList headers = TAlertList::Headers();
    for (int c = 0; c < TAlertList::kColumns; ++c)
        specs << TColumnSpec{headers[c], c >= 4 ? eAlignRight : eAlignLeft};
    grdAlerts->SetColData(specs);
    for (int c = 0; c < TAlertList::kColumns; ++c)
        grdAlerts->Column(c + 1)->SetWidth(kColumnWidths[size_t(c)]);
    grdAlerts->viewport()->installEventFilter(this);

    connect(grdAlerts, &TFancyGrid::SelectItem, this, [this](int, int row) { SelectRow(row); });
    connect(grdAlerts, &TFancyGrid::Process, this, &TfrmInvReport::EditItem);
    connect(grdAlerts, &TFancyGrid::RightClick, this, [this] { Popup().exec(QCursor::pos()); });
    connect(grdAlerts, &TFancyGrid::TitleClicked, this, [this](int position, Qt::KeyboardModifiers keys) {
        if (!(keys & (Qt::ShiftModifier | Qt::ControlModifier)))
            return;
        if (const TColumnData *column = grdAlerts->ColumnAt(position))
            SortByColumn(column->Index() - 1, (keys & Qt::ControlModifier) != 0);
    });
}

void TfrmInvReport::BuildMenus()
{
    using THandler = void (TfrmInvReport::*)();
    struct TItem
    {
        QAction **Slot;
        const char16_t *Name;
        const char16_t *Caption;
        THandler Handler;
        QKeySequence Keys;
    };
    const auto fill = [this](QMenu *menu, std::initializer_list<TItem> items) {
        for (const TItem &each : items) {
            QAction *action = menu->addAction(QString::fromUtf16(each.Caption));
            action->setObjectName(QString::fromUtf16(each.Name));
            action->setShortcut(each.Keys);
            connect(action, &QAction::triggered, this, each.Handler);
            if (each.Slot)
                *each.Slot = action;
        }
    };
    // Without a selected row the item commands carry these captions and stay disabled.
    fill(menuBar()->addMenu(u"&Edit"_s),
         {{&mnuEditEdit, u"mnuEditEdit", u"&Edit", &TfrmInvReport::EditItem, QKeySequence(Qt::CTRL | Qt::Key_E)},
          {&mnuEditIncrease, u"mnuEditIncrease", u"&Increase Value", &TfrmInvReport::IncreaseValue,
           QKeySequence(Qt::SHIFT | Qt::Key_Insert)},
          {&mnuEditDecrease, u"mnuEditDecrease", u"&Decrease Value", &TfrmInvReport::DecreaseValue,
           QKeySequence(Qt::SHIFT | Qt::Key_Delete)},
          {&mnuEditRemove, u"mnuEditRemove", u"&Remove Value", &TfrmInvReport::RemoveItem,
           QKeySequence(Qt::CTRL | Qt::Key_Delete)},
          {&mnuEditMark, u"mnuEditMark", u"&Toggle Mark", &TfrmInvReport::ToggleMark, QKeySequence(Qt::Key_F2)}});
    fill(menuBar()->addMenu(u"&Tools"_s),
         {{&mnuToolsLocked, u"mnuToolsLocked", u"&Locked is Liked", &TfrmInvReport::ToggleLockedIsLiked, {}},
          {nullptr, u"mnuToolsExport", u"&Export", &TfrmInvReport::ExportList, {}},
          {nullptr, u"mnuToolsPrint", u"&Print", &TfrmInvReport::PrintList, {}}});
    mnuToolsLocked->setCheckable(true);

    FPopup = new QMenu(this);
    for (QAction *item : {mnuEditEdit, mnuEditIncrease, mnuEditDecrease, mnuEditRemove, mnuEditMark}) {
        QAction *copy = FPopup->addAction(item->text());
        copy->setObjectName(item->objectName() + u"Popup"_s);
        connect(copy, &QAction::triggered, item, &QAction::trigger);
    }
}

QMenu &TfrmInvReport::Popup()
{
    const QList<QAction *> copies = FPopup->actions();
    const std::array items{mnuEditEdit, mnuEditIncrease, mnuEditDecrease, mnuEditRemove, mnuEditMark};
    for (size_t i = 0; i < items.size(); ++i)
        TfrmMain::MirrorMenuItem(*items[i], *copies[qsizetype(i)]);
    return *FPopup;
}

void TfrmInvReport::ShowRules()
{
    const TKeepRules &rules = FInventory.Inventory().Rules;
    for (const auto &[key, box] : FRuleBoxes)
        box->setValue(rules.Value(key));
    cmbSearchFor->setCurrentIndex(int(AlertSearchOf(rules.SearchType)));
    mnuToolsLocked->setChecked(rules.LockedAsLiked);
}

void TfrmInvReport::TakeRules()
{
    TKeepRules &rules = FInventory.Inventory().Rules;
    for (const auto &[key, box] : FRuleBoxes) {
        // The dragon box sets the health-5 cell alone; reading back the value it showed
        // must not disturb the health-10 dragons either.
        if (rules.Value(key) != box->value())
            rules.SetValue(key, box->value());
    }
    rules.SearchType = cmbSearchFor->currentIndex();
}

void TfrmInvReport::RunReport()
{
    try {
        FList.Clear();
        FSelected = nullptr;
        UpdateCommands();
        TakeRules();
        FList.Run(FMain.Catalogue(), FInventory.Inventory().Rules, [this](const QString &text) { ShowProgress(text); });
        ShowStatus(u"Displaying dice found..."_s);
        RefreshAlertList();
        ShowStatus(NameOf(AlertSearchOf(FInventory.Inventory().Rules.SearchType)) + u" search complete."_s);
    } catch (const TKrException &failure) {
        ShowStatus(u"Error during inventory analysis."_s);
        FMain.ReportError(failure, u"checking inventory"_s);
    }
}

void TfrmInvReport::RefreshAlertList()
{
    // The list and one empty row below it.
    const int rows = FList.Count() + 1;
    if (grdAlerts->Rows() != rows) {
        grdAlerts->SetRows(rows);
        FSelected = nullptr;
        UpdateCommands();
    }
    for (int row = 1; row <= rows; ++row)
        DrawRow(row);
}

void TfrmInvReport::DrawRow(int row)
{
    const TInventoryData *item = FList.Item(row - 1);
    for (int c = 0; c < TAlertList::kColumns; ++c) {
        if (TCellData *cell = grdAlerts->Column(c + 1)->Cell(row))
            cell->SetText(item ? TAlertList::CellText(*item, c) : QString());
    }
}

TInventoryData *TfrmInvReport::SelectedItem() const
{
    return FSelected;
}

void TfrmInvReport::SelectRow(int row)
{
    const int pressed = std::exchange(FPressedColumn, -1);
    TInventoryData *item = FList.Item(row - 1);
    FSelected = item;
    UpdateCommands();
    if (!item)
        return;
    ShowStatus(item->Name + u" selected."_s);
    if (pressed == 0)
        ToggleMark();
}

void TfrmInvReport::UpdateCommands()
{
    const bool selected = FSelected != nullptr;
    const QString name = selected ? Caption(FSelected->Name) : QString();
    mnuEditEdit->setText(selected ? u"&Edit "_s + name : u"&Edit"_s);
    mnuEditIncrease->setText(selected ? u"&Increase "_s + name : u"&Increase Value"_s);
    mnuEditDecrease->setText(selected ? u"&Decrease "_s + name : u"&Decrease Value"_s);
    mnuEditRemove->setText(selected ? u"&Remove "_s + name : u"&Remove Value"_s);
    mnuEditMark->setText(!selected ? u"&Toggle Mark"_s
                                   : (FSelected->Trading ? u"&Un-mark "_s : u"&Mark "_s) + name);
    for (QAction *item : {mnuEditEdit, mnuEditIncrease, mnuEditDecrease, mnuEditRemove, mnuEditMark})
        item->setEnabled(selected);
}

void TfrmInvReport::SortByColumn(int column, bool ascending)
{
    try {
        FSelected = nullptr;
        UpdateCommands();
        ShowStatus(u"Sorting..."_s);
        FList.Sort(column, ascending);
        RefreshAlertList();
        const TColumnData *data = grdAlerts->Column(column + 1);
        ShowStatus(u"Alert list sorted by "_s + (data ? data->Title() : QString()) + u'.');
    } catch (const TKrException &failure) {
        ShowStatus(u"Error during sort."_s);
        FMain.ReportError(failure, u"during sort"_s);
    }
}

void TfrmInvReport::ChangeDiff(int delta)
{
    if (!FSelected) {
        FMain.Beep();
        return;
    }
    // The number offered stops at the ends of its range rather than wrapping round.
    const qint64 diff = qint64(FSelected->Diff) + delta;
    FSelected->Diff = qint32(std::clamp<qint64>(diff, std::numeric_limits<qint32>::min(),
                                                std::numeric_limits<qint32>::max()));
    const auto &items = FList.Items();
    DrawRow(int(std::find(items.begin(), items.end(), FSelected) - items.begin()) + 1);
}

void TfrmInvReport::IncreaseValue()
{
    ChangeDiff(+1);
}

void TfrmInvReport::DecreaseValue()
{
    ChangeDiff(-1);
}

void TfrmInvReport::RemoveItem()
{
    if (!FSelected) {
        FMain.Beep();
        return;
    }
    const QString name = FSelected->Name;
    if (FMain.Prompts().Confirm(windowTitle(), u"Remove "_s + name + u" from the alert list?"_s, TButtons::OkCancel) !=
        TAnswer::Ok) {
        ShowStatus(u"Removal aborted by user."_s);
        return;
    }
    const auto &items = FList.Items();
    FList.Remove(int(std::find(items.begin(), items.end(), FSelected) - items.begin()));
    FSelected = nullptr;
    UpdateCommands();
    RefreshAlertList();
    ShowStatus(name + u" removed from list."_s);
}

void TfrmInvReport::ToggleMark()
{
    if (!FSelected) {
        FMain.Beep();
        return;
    }
    FInventory.Inventory().SetTrading(*FSelected, !FSelected->Trading);
    FInventory.RefreshSaveItem();
    const auto &items = FList.Items();
    DrawRow(int(std::find(items.begin(), items.end(), FSelected) - items.begin()) + 1);
    UpdateCommands();
}

void TfrmInvReport::EditItem()
{
    if (!FSelected) {
        FMain.Beep();
        return;
    }
    if (!FSelected->TreeNode) {
        FMain.Beep();
        ShowStatus(u"Could not find a die to display."_s);
        return;
    }
    TfrmDieCount::Edit(FInventory, *FSelected->TreeNode);
    FInventory.RefreshSaveItem();
    RefreshAlertList();
    UpdateCommands();
}

void TfrmInvReport::ToggleLockedIsLiked()
{
    TKeepRules &rules = FInventory.Inventory().Rules;
    rules.LockedAsLiked = !rules.LockedAsLiked;
    mnuToolsLocked->setChecked(rules.LockedAsLiked);
}

void TfrmInvReport::ExportList()
{
    TfrmConfigHTML dialog(FMain, FList.Items(), this);
    dialog.exec();
}

void TfrmInvReport::PrintList()
{
    QPrinter printer;
    if (!FMain.Prompts().PrintSetup(printer))
        return;
    try {
        ShowStatus(u"Printing..."_s);
        QFont font(u"Arial"_s, 10);
        font.setFixedPitch(true);
        TPrinterCanvas canvas(printer, font);
        PrintAlertList(canvas, MakeAlertPrintData(FList, FMain.UserInfo().Address, PrintDateText(FMain.Clock().Now())));
        ShowStatus(u"Inventory printed."_s);
    } catch (const TKrException &failure) {
        ShowStatus(u"Print failed."_s);
        FMain.ReportError(failure, u"printing inventory"_s);
    }
}

void TfrmInvReport::ShowStatus(const QString &text)
{
    FStatus->Show(text);
    emit StatusChanged(text);
}

void TfrmInvReport::ShowProgress(const QString &text)
{
    FStatus->Progress(text);
    emit StatusChanged(text);
}

QString TfrmInvReport::StatusText() const
{
    return barStatus->text();
}

QSpinBox *TfrmInvReport::RuleBox(const QString &key) const
{
    const auto found = FRuleBoxes.find(key);
    return found == FRuleBoxes.end() ? nullptr : found->second;
}

bool TfrmInvReport::eventFilter(QObject *watched, QEvent *event)
{
    // A left click on the mark column toggles the mark once the row is selected.
    if (watched == grdAlerts->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        const TCellData *cell = grdAlerts->CellAt(press->position().toPoint());
        FPressedColumn = press->button() == Qt::LeftButton && cell ? cell->Column().Index() - 1 : -1;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmInvReport::closeEvent(QCloseEvent *event)
{
    // The alert list stays as long as the program: closing it means leaving.
    event->ignore();
    FMain.ConfirmExit();
}
