#include "calc/RollCalc.h"

#include "KrException.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "dice/DiceData.h"
#include "game/GameData.h"
#include "game/NumReason.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"

#include <QCloseEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kCaption = u"Virtual Tabletop"_s;
const QString kPositionName = u"Roll Calculator"_s;
// Wide enough for a race name and "<die> (<health>)" in the default font.
constexpr int kColumnWidth = 150;
constexpr int kSideWidth = 220;

} // namespace

const QString TfrmCalculator::kCellsMimeType = u"application/x-krassist-calculator-cells"_s;

TfrmCalculator::TfrmCalculator(TCalculatorHost &host, TfrmMain &main)
    : QMainWindow(nullptr), FHost(&host), FMain(main),
      FSheet([this] { return FHost ? FHost->CalculatorGame() : nullptr; }, static_cast<TCalcUI &>(*this))
{
    setObjectName(u"frmCalculator"_s);
    setWindowTitle(kCaption);
    auto *central = new QWidget(this);
    auto *layout = new QHBoxLayout(central);
    BuildGrid();
    layout->addWidget(grdDice, 1);
    auto *side = new QVBoxLayout;
    txtIconHelp = new QPlainTextEdit(central);
    txtIconHelp->setObjectName(u"txtIconHelp"_s);
    txtIconHelp->setReadOnly(true);
    lstSpells = new QListWidget(central);
    lstSpells->setObjectName(u"lstSpells"_s);
    for (QWidget *widget : std::initializer_list<QWidget *>{txtIconHelp, lstSpells}) {
        widget->setFixedWidth(kSideWidth);
        widget->setMinimumHeight(60);
        side->addWidget(widget, 1);
    }
    layout->addLayout(side);
    setCentralWidget(central);
    barStatus = new QLabel(this);
    barStatus->setObjectName(u"barStatus"_s);
    statusBar()->addWidget(barStatus, 1);
    BuildMenus();
    setMinimumSize(420, 260);
    Redraw();
}

TfrmCalculator::~TfrmCalculator() = default;

void TfrmCalculator::BuildGrid()
{
    grdDice = new TFancyGrid(this);
    grdDice->setObjectName(u"grdDice"_s);
    grdDice->SetSelectMode(eSelectCell);
    grdDice->SetRowLines(4);
    grdDice->SetDblClickMarks(true);
    grdDice->SetOnlyMarkFull(true);
    grdDice->SetColSizing(false);
    grdDice->SetDefaultColWidth(kColumnWidth);
    grdDice->setAcceptDrops(true);
    grdDice->OnVerifyDrag = [this](TFancyGrid &) { return VerifySource(); };

    connect(grdDice, &TFancyGrid::SelectItem, this, &TfrmCalculator::DisplaySpells);
    connect(grdDice, &TFancyGrid::Mark, this, &TfrmCalculator::FollowMarks);
    connect(grdDice, &TFancyGrid::DragStarting, this,
            [](QMimeData *data) { data->setData(kCellsMimeType, QByteArray()); });
    connect(grdDice, &TFancyGrid::DragOver, this, &TfrmCalculator::DragOver);
    connect(grdDice, &TFancyGrid::DragDrop, this, &TfrmCalculator::DropCell);
}

void TfrmCalculator::BuildMenus()
{
    using THandler = void (TfrmCalculator::*)();
    const auto add = [this](QMenu *menu, const char16_t *name, const char16_t *caption, QKeySequence keys) {
        QAction *action = menu->addAction(QString::fromUtf16(caption));
        action->setObjectName(QString::fromUtf16(name));
        action->setShortcut(keys);
        return action;
    };
    const auto command = [&](QMenu *menu, const char16_t *name, const char16_t *caption, QKeySequence keys,
                             THandler handler) {
        QAction *action = add(menu, name, caption, keys);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    QMenu *file = menuBar()->addMenu(u"&File"_s);
    command(file, u"mnuFileClose", u"&Close", {}, &TfrmCalculator::CloseCalc);
    QMenu *column = menuBar()->addMenu(u"C&olumn"_s);
    command(column, u"mnuColumnNew", u"&New", QKeySequence(Qt::Key_F4), &TfrmCalculator::NewColumn);
    command(column, u"mnuColumnRecalc", u"&Recalculate", QKeySequence(Qt::Key_F2), &TfrmCalculator::RecalcColumns);

    struct TCell
    {
        const char16_t *Name;
        const char16_t *Caption;
        QKeySequence Keys;
        TCalcOperation Tag;
    };
    QMenu *cells = menuBar()->addMenu(u"C&ells"_s);
    for (const TCell &each : {
             TCell{u"mnuCellsDouble", u"&Double", QKeySequence(Qt::CTRL | Qt::Key_Insert), TCalcOperation::Double},
             TCell{u"mnuCellsHalve", u"&Halve", QKeySequence(Qt::CTRL | Qt::Key_Delete), TCalcOperation::Halve},
             TCell{u"mnuCellsIncrease", u"&Increase", QKeySequence(Qt::SHIFT | Qt::Key_Insert), TCalcOperation::Increase},
             TCell{u"mnuCellsDecrease", u"Dec&rease", QKeySequence(Qt::SHIFT | Qt::Key_Delete), TCalcOperation::Decrease},
             TCell{u"mnuCellsReset", u"&Reset", QKeySequence(Qt::ALT | Qt::Key_Backspace), TCalcOperation::Reset},
             TCell{u"mnuCellsChange", u"Chan&ge Roll", {}, TCalcOperation::ChangeRoll},
             TCell{u"mnuCellsReroll", u"R&eroll", {}, TCalcOperation::Reroll},
             TCell{u"mnuCellsClear", u"&Clear", {}, TCalcOperation::Clear},
         }) {
        QAction *action = add(cells, each.Name, each.Caption, each.Keys);
        action->setData(int(each.Tag));
        connect(action, &QAction::triggered, this, [this, action] { ModifyValues(action->data().toInt()); });
    }

    QMenu *create = menuBar()->addMenu(u"C&reate"_s);
    mnuCreateSplit = command(create, u"mnuCreateSplit", u"&Split", QKeySequence(Qt::SHIFT | Qt::Key_F2),
                             &TfrmCalculator::SplitCell);
    mnuCreateClone = command(create, u"mnuCreateClone", u"&Clone", QKeySequence(Qt::CTRL | Qt::Key_F2),
                             &TfrmCalculator::CloneCell);
    mnuCreateBonus = command(create, u"mnuCreateBonus", u"&Bonus", QKeySequence(Qt::CTRL | Qt::Key_S),
                             &TfrmCalculator::CreateBonus);
}

TfrmCalculator *TfrmCalculator::ShowCalculator(TCalculatorHost &host, TfrmMain &main, TGame &game,
                                               TArmyInPlay *army)
{
    if (!army) {
        main.Prompts().Information(game.Name(), u"No army is selected."_s);
        return nullptr;
    }
    auto *calculator = new TfrmCalculator(host, main);
    QMdiSubWindow *frame = main.MdiArea()->addSubWindow(calculator);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    try {
        const QSize room = main.MdiArea()->viewport()->size();
        frame->resize(std::min(760, std::max(room.width(), 420)), std::min(560, std::max(room.height(), 260)));
        main.RestoreWindowPosition(*frame, kPositionName);
        const QString proposal = TDieCalcSheet::ProposedResult(game);
        const QString answer = main.Prompts()
                                   .InputBox(u"Roll Calculator"_s, u"Enter main result type:"_s, proposal)
                                   .value_or(proposal);
        calculator->Open(*army, answer);
    } catch (const TKrException &failure) {
        // A calculator that never opened goes with its frame, and the host hears
        // nothing of it.
        calculator->FHost = nullptr;
        delete frame;
        host.ShowGameStatus(u"Error in calculator."_s);
        main.ReportError(failure, u"processing die roll"_s);
        return nullptr;
    }
    frame->show();
    calculator->grdDice->setFocus();
    return calculator;
}

void TfrmCalculator::Open(TArmyInPlay &army, const QString &mainResult)
{
    FSheet.Open(army, mainResult);
    Redraw();
    grdDice->SelectCell(1, 1);
    DisplaySpells(1, 1);
}

void TfrmCalculator::HostClosing()
{
    FHost = nullptr;
    if (QMdiSubWindow *frame = Frame())
        frame->close();
    else
        close();
}

QMdiSubWindow *TfrmCalculator::Frame() const
{
    return qobject_cast<QMdiSubWindow *>(parentWidget());
}

QString TfrmCalculator::StatusText() const
{
    return barStatus->text();
}

// ---------------------------------------------------------------------------------
// Showing the worksheet

void TfrmCalculator::Redraw()
{
    const bool redrawing = std::exchange(FRedrawing, true);
    if (grdDice->Cols() != FSheet.ColumnCount())
        grdDice->SetCols(FSheet.ColumnCount());
    if (grdDice->Rows() != FSheet.RowCount())
        grdDice->SetRows(FSheet.RowCount());
    for (int c = 1; c <= FSheet.ColumnCount(); ++c) {
        TColumnData &column = *grdDice->Column(c);
        TDieCalcCost *cost = FSheet.Cost(c);
        column.SetTitle(cost->GetText());
        column.SetData(cost);
        for (int r = 1; r <= FSheet.RowCount(); ++r) {
            TCellData &cell = *column.Cell(r);
            TDieCalcObject *item = FSheet.Item(c, r);
            if (!item) {
                if (cell.HasData() || !cell.Text().isEmpty() || cell.Marked())
                    cell.Clear();
                continue;
            }
            cell.SetText(item->GetText());
            cell.SetData(item);
            cell.SetMarked(FSheet.IsMarked(*item));
        }
    }
    FRedrawing = redrawing;
    // A change of the row count takes the grid's selection away.
    const TCalcCell current = FSheet.Current();
    const TCellData *selected = grdDice->SelectedCell();
    if (redrawing)
        return;
    if (current.Column >= 1 && current.Row >= 1 && current.Column <= grdDice->Cols() &&
        current.Row <= grdDice->Rows() &&
        (!selected || selected->Column().Index() != current.Column || selected->Row() != current.Row))
        grdDice->SelectCell(current.Column, current.Row);
    else
        // Another item may stand in the current cell now.
        DisplaySpells(current.Column, current.Row);
}

void TfrmCalculator::DisplaySpells(int column, int row)
{
    if (column < 1 || row < 1)
        return;
    FSheet.SetCurrent(column, row);
    lstSpells->clear();
    txtIconHelp->clear();
    if (const TDieCalcDie *item = FSheet.CurrentDie()) {
        if (const TDieInPlay *die = item->Die()) {
            TEffectLines lines;
            die->ListEffects(lines);
            for (const TEffectLine &line : lines)
                lstSpells->addItem(line.Text);
            if (const TIconDescriptor *icon = die->Die().Race().Catalogue().GetIcon(die->ShowingSymbol()))
                txtIconHelp->setPlainText(icon->Description);
        }
    }
    UpdateCommands();
}

void TfrmCalculator::UpdateCommands()
{
    mnuCreateSplit->setEnabled(FSheet.CanSplit());
    mnuCreateClone->setEnabled(FSheet.CanClone());
    mnuCreateBonus->setEnabled(FSheet.CanBonus());
}

void TfrmCalculator::FollowMarks()
{
    if (FRedrawing)
        return;
    std::vector<TDieCalcObject *> shown;
    for (const TCellData *cell : grdDice->MarkedCells())
        shown.push_back(cell->Data<TDieCalcObject>());
    FSheet.FollowMarks(shown);
}

// ---------------------------------------------------------------------------------
// Commands

void TfrmCalculator::CloseCalc()
{
    if (QMdiSubWindow *frame = Frame()) {
        FMain.SaveWindowPosition(*frame, kPositionName);
        frame->close();
    } else {
        close();
    }
}

void TfrmCalculator::NewColumn()
{
    FSheet.NewColumn();
    UpdateCommands();
}

void TfrmCalculator::RecalcColumns()
{
    FSheet.RecalcColumns();
    Redraw();
}

void TfrmCalculator::ModifyValues(int tag)
{
    FSheet.ModifyValues(TCalcOperation(tag));
    UpdateCommands();
}

void TfrmCalculator::SplitCell()
{
    FSheet.SplitCell();
    UpdateCommands();
}

void TfrmCalculator::CloneCell()
{
    FSheet.CloneCell();
    UpdateCommands();
}

void TfrmCalculator::CreateBonus()
{
    FSheet.CreateBonus();
    UpdateCommands();
}

bool TfrmCalculator::VerifySource()
{
    return FSheet.VerifySource();
}

void TfrmCalculator::DragOver(QDragMoveEvent *event)
{
    if (event->mimeData()->hasFormat(kCellsMimeType) && grdDice->CellAt(event->position().toPoint()))
        event->acceptProposedAction();
}

void TfrmCalculator::DropCell(QDropEvent *event)
{
    const TCellData *cell = grdDice->CellAt(event->position().toPoint());
    if (!event->mimeData()->hasFormat(kCellsMimeType) || !cell)
        return;
    event->acceptProposedAction();
    FSheet.DropCells(cell->Column().Index(), cell->Row());
    UpdateCommands();
}

bool TfrmCalculator::RequestClose()
{
    if (!FHost)
        return true;
    switch (FMain.Prompts().Confirm(windowTitle(), u"Transmit results to scratch pad?"_s, TButtons::YesNoCancel)) {
    case TAnswer::Yes:
        FHost->SetScratchPadText(FSheet.Transmit(FHost->ScratchPadText(), FHost->UserEmail()));
        return true;
    case TAnswer::No:
        return true;
    default:
        return false;
    }
}

void TfrmCalculator::closeEvent(QCloseEvent *event)
{
    if (FHost && !FMain.Closing() && !RequestClose()) {
        event->ignore();
        return;
    }
    event->accept();
    if (QMdiSubWindow *frame = Frame())
        FMain.SaveWindowPosition(*frame, kPositionName);
    if (TCalculatorHost *host = std::exchange(FHost, nullptr))
        host->CalculatorClosed(*this);
}

// ---------------------------------------------------------------------------------
// The worksheet's questions and messages

void TfrmCalculator::Show(const QString &text)
{
    barStatus->setText(text);
    // The steps of a long command show as they happen.
    barStatus->repaint();
    emit StatusChanged(text);
}

void TfrmCalculator::Beep()
{
    FMain.Prompts().Beep();
}

bool TfrmCalculator::AskYesNo(const QString &question)
{
    return FMain.Prompts().Confirm(windowTitle(), question, TButtons::YesNo) == TAnswer::Yes;
}

std::optional<QString> TfrmCalculator::InputBox(const QString &caption, const QString &prompt, const QString &text)
{
    return FMain.Prompts().InputBox(caption, prompt, text);
}

std::optional<TNumReasonAnswer> TfrmCalculator::AskNumReason(const TNumReasonRequest &request)
{
    TfrmNumReason dialog(request.Caption, request.TextPrompt, request.Choices, request.NumberPrompt, request.Low,
                         request.High, request.Initial, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return TNumReasonAnswer{dialog.Reason(), dialog.Number()};
}

void TfrmCalculator::ReportError(const TKrException &failure, const QString &context)
{
    FMain.ReportError(failure, context);
}

void TfrmCalculator::Changed()
{
    Redraw();
}

void TfrmCalculator::DieRolled(TDieInPlay &die)
{
    if (FHost)
        FHost->CalculatorRolled(die);
}
