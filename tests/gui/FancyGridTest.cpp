#include "controls/FancyGrid.h"

#include "TestSupport.h"
#include "shell/SettingsStore.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void Show(TFancyGrid &grid)
{
    grid.resize(420, 260);
    grid.show();
}

QPoint CellCenter(const TFancyGrid &grid, int position, int row)
{
    return grid.visualRect(grid.model()->index(row - 1, position)).center();
}

void SendMouse(QWidget *target, QEvent::Type type, QPoint point, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    QMouseEvent event(type, QPointF(point), QPointF(target->mapToGlobal(point)), button, buttons, keys);
    QApplication::sendEvent(target, &event);
}

void Click(TFancyGrid &grid, int position, int row, Qt::MouseButton button = Qt::LeftButton)
{
    const QPoint point = CellCenter(grid, position, row);
    SendMouse(grid.viewport(), QEvent::MouseButtonPress, point, button, button);
    SendMouse(grid.viewport(), QEvent::MouseButtonRelease, point, button, Qt::NoButton);
}

void DoubleClick(QWidget *target, QPoint point)
{
    SendMouse(target, QEvent::MouseButtonPress, point, Qt::LeftButton, Qt::LeftButton);
    SendMouse(target, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton);
    SendMouse(target, QEvent::MouseButtonDblClick, point, Qt::LeftButton, Qt::LeftButton);
    SendMouse(target, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton);
}

void PressKey(TFancyGrid &grid, int key, const QString &text = {})
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&grid, &event);
}

std::vector<int> Positions(const TFancyGrid &grid)
{
    std::vector<int> positions;
    for (int i = 1; i <= grid.Cols(); ++i)
        positions.push_back(grid.Column(i)->Position());
    return positions;
}

QStringList Texts(const TColumnData &column)
{
    QStringList texts;
    for (int row = 1; row <= column.CellCount(); ++row)
        texts << column.Cell(row)->Text();
    return texts;
}

// Each column's cells carry its letter and row ("A1", "B3"), so a cell shows where it came from.
void FillLetters(TFancyGrid &grid)
{
    for (int i = 1; i <= grid.Cols(); ++i) {
        grid.Column(i)->SetTitle(QString(QChar(u'A' + i - 1)));
        for (int row = 1; row <= grid.Rows(); ++row)
            grid.Column(i)->Cell(row)->SetText(QString(QChar(u'A' + i - 1)) + QString::number(row));
    }
}

struct TCounter
{
    explicit TCounter(int &alive) : Alive(alive) { ++Alive; }
    ~TCounter() { --Alive; }
    int &Alive;
};

class TReadOnlyStore final : public TMemorySettingsStore
{
public:
    bool Writable() const override { return false; }
};

class TDragRecordingGrid final : public TFancyGrid
{
public:
    int Drags = 0;

protected:
    void startDrag(Qt::DropActions) override { ++Drags; }
};

} // namespace

TEST(FancyGrid, StartsWithThreeColumnsOfThreeRows)
{
    TFancyGrid grid;
    EXPECT_EQ(grid.Cols(), 3);
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.model()->rowCount(), 3);
    EXPECT_EQ(grid.model()->columnCount(), 3);
    EXPECT_EQ(Positions(grid), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(grid.RowLines(), 1);
    EXPECT_TRUE(grid.ColMoving());
    EXPECT_TRUE(grid.ColSizing());
    EXPECT_EQ(grid.SelectMode(), eSelectRow);
    EXPECT_FALSE(grid.DblClickMarks());
    EXPECT_FALSE(grid.OnlyMarkFull());
    EXPECT_EQ(grid.StrongLine(), -1);
    EXPECT_EQ(grid.HeightFactor(), 3);
    EXPECT_EQ(grid.AlarmColor(), QColor(255, 0, 0));
    EXPECT_EQ(grid.DefaultColWidth(), 64);
    EXPECT_TRUE(grid.RegKey().isEmpty());
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(grid.Column(i)->Width(), 64);
        EXPECT_EQ(grid.columnWidth(i - 1), 64);
        EXPECT_EQ(grid.Column(i)->Index(), i);
    }
    EXPECT_EQ(grid.Column(0), nullptr);
    EXPECT_EQ(grid.Column(4), nullptr);
    EXPECT_EQ(grid.Column(1)->Cell(0), nullptr);
    EXPECT_EQ(grid.Column(1)->Cell(4), nullptr);
    EXPECT_EQ(grid.Column(2)->Cell(3)->Row(), 3);
    EXPECT_EQ(grid.SelectedCol(), -1);
    EXPECT_EQ(grid.SelectedRow(), -1);
    EXPECT_EQ(grid.SelectedCell(), nullptr);
}

TEST(FancyGrid, CountsBelowOneFailAndLeaveTheGridAlone)
{
    TFancyGrid grid;
    FillLetters(grid);
    EXPECT_EQ(FailureOf([&] { grid.SetRows(0); }), u"0 is not a valid row count.");
    EXPECT_EQ(FailureOf([&] { grid.SetRows(-4); }), u"-4 is not a valid row count.");
    EXPECT_EQ(FailureOf([&] { grid.SetCols(0); }), u"0 is not a valid column count.");
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.Cols(), 3);
    EXPECT_EQ(Texts(*grid.Column(3)), (QStringList{u"C1"_s, u"C2"_s, u"C3"_s}));
    try {
        grid.SetCols(-1);
        FAIL() << "no failure";
    } catch (const EGridError &failure) {
        EXPECT_EQ(failure.Message(), u"-1 is not a valid column count.");
    }
}

TEST(FancyGrid, RowsAndColumnsGrowAndShrinkWithTheirCells)
{
    TFancyGrid grid;
    FillLetters(grid);
    grid.SetRows(5);
    EXPECT_EQ(grid.model()->rowCount(), 5);
    EXPECT_EQ(Texts(*grid.Column(2)), (QStringList{u"B1"_s, u"B2"_s, u"B3"_s, QString(), QString()}));
    grid.SetRows(2);
    EXPECT_EQ(Texts(*grid.Column(1)), (QStringList{u"A1"_s, u"A2"_s}));
    EXPECT_EQ(grid.Column(3)->CellCount(), 2);

    // The last logical column sits first on screen; removing it closes the gap.
    grid.SetCols(4);
    EXPECT_EQ(Positions(grid), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(grid.Column(4)->CellCount(), 2);
    EXPECT_EQ(grid.Column(4)->Width(), 64);
    grid.Column(4)->SetPosition(0);
    EXPECT_EQ(Positions(grid), (std::vector<int>{1, 2, 3, 0}));
    grid.SetCols(3);
    EXPECT_EQ(Positions(grid), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(grid.model()->columnCount(), 3);
    EXPECT_EQ(grid.Column(1)->Title(), u"A");

    grid.SetDefaultColWidth(50);
    grid.SetCols(5);
    EXPECT_EQ(Positions(grid), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(grid.Column(5)->Width(), 50);
    EXPECT_EQ(grid.columnWidth(4), 50);
    EXPECT_TRUE(grid.Column(5)->Title().isEmpty());
}

TEST(FancyGrid, MovedColumnsCloseTheGapAndTheViewFollows)
{
    TFancyGrid grid;
    FillLetters(grid);
    grid.Column(1)->SetWidth(30);
    grid.Column(2)->SetWidth(40);
    grid.Column(3)->SetWidth(50);

    grid.Column(1)->SetPosition(2);
    EXPECT_EQ(Positions(grid), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(grid.ColumnAt(0), grid.Column(2));
    EXPECT_EQ(grid.model()->data(grid.model()->index(1, 2)).toString(), u"A2");
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), u"B");
    EXPECT_EQ(grid.columnWidth(2), 30);
    EXPECT_EQ(grid.columnWidth(0), 40);
    grid.Column(1)->SetPosition(0);
    EXPECT_EQ(Positions(grid), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(grid.columnWidth(0), 30);

    // The user drags the last title to the front: the header stays in order, the columns move.
    int colsChanged = 0;
    QObject::connect(&grid, &TFancyGrid::ColsChanged, &grid, [&] { ++colsChanged; });
    QHeaderView *header = grid.horizontalHeader();
    header->moveSection(2, 0);
    EXPECT_EQ(Positions(grid), (std::vector<int>{1, 2, 0}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(header->visualIndex(i), i);
    EXPECT_EQ(grid.columnWidth(0), 50);
    EXPECT_EQ(grid.model()->data(grid.model()->index(0, 0)).toString(), u"C1");
    EXPECT_EQ(colsChanged, 0);

    // The same with the mouse, title "C" back to the end.
    Show(grid);
    const int y = header->height() / 2;
    const auto middle = [&](int position) {
        return header->sectionViewportPosition(position) + header->sectionSize(position) / 2;
    };
    SendMouse(header->viewport(), QEvent::MouseButtonPress, {middle(0), y}, Qt::LeftButton, Qt::LeftButton);
    for (int x = middle(0); x <= middle(2) + 10; x += 10)
        SendMouse(header->viewport(), QEvent::MouseMove, {x, y}, Qt::NoButton, Qt::LeftButton);
    SendMouse(header->viewport(), QEvent::MouseButtonRelease, {middle(2) + 10, y}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(Positions(grid), (std::vector<int>{0, 1, 2}));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(header->visualIndex(i), i);

    // Dragging a border stores the width once the button is let go.
    const int border = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
    SendMouse(header->viewport(), QEvent::MouseButtonPress, {border, y}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(header->viewport(), QEvent::MouseMove, {border + 10, y}, Qt::NoButton, Qt::LeftButton);
    SendMouse(header->viewport(), QEvent::MouseMove, {border + 20, y}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(colsChanged, 0);
    SendMouse(header->viewport(), QEvent::MouseButtonRelease, {border + 20, y}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(colsChanged, 1);
    EXPECT_EQ(grid.Column(2)->Width(), 60);
    EXPECT_EQ(grid.Column(1)->Width(), 30);

    grid.SetColSizing(false);
    EXPECT_EQ(header->sectionResizeMode(0), QHeaderView::Fixed);
    grid.SetColMoving(false);
    EXPECT_FALSE(header->sectionsMovable());
}

TEST(FancyGrid, MarksObeyOnlyMarkFullAndTheOwnersVeto)
{
    TFancyGrid grid;
    Show(grid);
    FillLetters(grid);
    int marks = 0;
    QObject::connect(&grid, &TFancyGrid::Mark, &grid, [&] { ++marks; });
    grid.SetSelectMode(eSelectCell);
    grid.SetDblClickMarks(true);
    grid.SetOnlyMarkFull(true);
    int item = 7;
    grid.Column(2)->Cell(1)->SetData(&item);

    DoubleClick(grid.viewport(), CellCenter(grid, 0, 1));
    EXPECT_FALSE(grid.AnyMarked());
    EXPECT_EQ(marks, 0);
    DoubleClick(grid.viewport(), CellCenter(grid, 1, 1));
    EXPECT_TRUE(grid.Column(2)->Cell(1)->Marked());
    EXPECT_EQ(marks, 1);
    DoubleClick(grid.viewport(), CellCenter(grid, 1, 1));
    EXPECT_FALSE(grid.AnyMarked());
    EXPECT_EQ(marks, 2);

    QList<TCellData *> asked;
    grid.OnVerifyMark = [&](TFancyGrid &, TCellData &cell) {
        asked << &cell;
        return false;
    };
    EXPECT_FALSE(grid.SetCellMark(*grid.Column(2)->Cell(1), true));
    EXPECT_EQ(asked, QList<TCellData *>{grid.Column(2)->Cell(1)});
    EXPECT_FALSE(grid.AnyMarked());
    EXPECT_EQ(marks, 2);
    grid.OnVerifyMark = nullptr;

    // Any mark in the rectangle unmarks it all; none marks it all.
    grid.SetOnlyMarkFull(false);
    grid.SetSelectMode(eSelectRow);
    grid.Column(3)->Cell(3)->SetMarked(true);
    EXPECT_EQ(marks, 2);
    EXPECT_TRUE(grid.AnyMarked());
    Click(grid, 1, 3);
    PressKey(grid, Qt::Key_Space, u" "_s);
    EXPECT_FALSE(grid.AnyMarked());
    EXPECT_EQ(marks, 3);
    PressKey(grid, Qt::Key_Space, u" "_s);
    EXPECT_EQ(grid.MarkedCells(),
              (QList<TCellData *>{grid.Column(1)->Cell(3), grid.Column(2)->Cell(3), grid.Column(3)->Cell(3)}));
    EXPECT_EQ(marks, 6);

    // Logical order, whatever the screen shows.
    grid.ClearMarks();
    EXPECT_EQ(marks, 6);
    grid.Column(3)->SetPosition(0);
    grid.Column(3)->Cell(1)->SetMarked(true);
    grid.Column(1)->Cell(2)->SetMarked(true);
    grid.Column(1)->Cell(1)->SetMarked(true);
    EXPECT_EQ(grid.MarkedCells(),
              (QList<TCellData *>{grid.Column(1)->Cell(1), grid.Column(1)->Cell(2), grid.Column(3)->Cell(1)}));

    // A double-clicked title toggles its column: "C" is on screen first.
    grid.ClearMarks();
    grid.Column(3)->Cell(2)->SetMarked(true);
    QHeaderView *header = grid.horizontalHeader();
    const QPoint title(header->sectionViewportPosition(0) + 10, header->height() / 2);
    DoubleClick(header->viewport(), title);
    EXPECT_FALSE(grid.AnyMarked());
    DoubleClick(header->viewport(), title);
    EXPECT_EQ(grid.MarkedCells().size(), 3);
    EXPECT_EQ(grid.MarkedCells().first(), grid.Column(3)->Cell(1));
    grid.ClearMarks();
    ASSERT_FALSE(grid.AnyMarked());
    grid.Column(2)->Cell(grid.Rows())->SetMarked(true);
    EXPECT_TRUE(grid.AnyMarked());
}

TEST(FancyGrid, SelectionReportsLogicalColumns)
{
    TFancyGrid grid;
    Show(grid);
    FillLetters(grid);
    grid.Column(1)->SetPosition(2);
    QList<std::pair<int, int>> items;
    QObject::connect(&grid, &TFancyGrid::SelectItem, &grid,
                     [&](int column, int row) { items << std::pair(column, row); });
    const auto reported = [&] { return items.isEmpty() ? std::pair(0, 0) : items.takeLast(); };

    Click(grid, 0, 2);
    EXPECT_EQ(reported(), std::pair(-1, 2));
    EXPECT_EQ(grid.SelectedRow(), 2);
    EXPECT_EQ(grid.SelectedCell(), nullptr);
    EXPECT_EQ(grid.selectionModel()->selectedIndexes().size(), 3);

    grid.SetSelectMode(eSelectCell);
    Click(grid, 0, 2);
    EXPECT_EQ(reported(), std::pair(2, 2));
    EXPECT_EQ(grid.SelectedCell(), grid.Column(2)->Cell(2));
    Click(grid, 0, 2);
    EXPECT_EQ(reported(), std::pair(2, 2));
    PressKey(grid, Qt::Key_Right);
    EXPECT_EQ(reported(), std::pair(3, 2));
    grid.SelectCell(1, 3);
    EXPECT_EQ(reported(), std::pair(1, 3));
    EXPECT_EQ(grid.currentIndex(), grid.model()->index(2, 2));
    EXPECT_EQ(grid.CellAt(CellCenter(grid, 2, 3)), grid.Column(1)->Cell(3));
    EXPECT_EQ(grid.CellAt(QPoint(5, grid.viewport()->height() - 2)), nullptr);
    EXPECT_EQ(grid.CellAt(QPoint(-5, 5)), nullptr);

    grid.SetSelectMode(eSelectColumn);
    Click(grid, 2, 1);
    EXPECT_EQ(reported(), std::pair(1, -1));
    EXPECT_EQ(grid.selectionModel()->selectedIndexes().size(), 3);
    // The selected column stays selected on screen when it moves.
    grid.Column(1)->SetPosition(0);
    EXPECT_EQ(grid.currentIndex().column(), 0);
    EXPECT_TRUE(items.isEmpty());

    grid.SetRows(4);
    EXPECT_EQ(grid.SelectedCol(), -1);
    EXPECT_TRUE(grid.selectionModel()->selectedIndexes().isEmpty());
    EXPECT_TRUE(items.isEmpty());
}

TEST(FancyGrid, KeysAndButtonsReachTheOwner)
{
    TDragRecordingGrid grid;
    Show(grid);
    FillLetters(grid);
    int processes = 0;
    int rightClicks = 0;
    QObject::connect(&grid, &TFancyGrid::Process, &grid, [&] { ++processes; });
    QObject::connect(&grid, &TFancyGrid::RightClick, &grid, [&] { ++rightClicks; });

    PressKey(grid, Qt::Key_Return, u"\r"_s);
    PressKey(grid, Qt::Key_Enter, u"\r"_s);
    EXPECT_EQ(processes, 2);
    DoubleClick(grid.viewport(), CellCenter(grid, 1, 1));
    EXPECT_EQ(processes, 3);
    EXPECT_FALSE(grid.AnyMarked());

    Click(grid, 2, 3, Qt::RightButton);
    EXPECT_EQ(rightClicks, 1);
    EXPECT_EQ(grid.SelectedRow(), 3);
    SendMouse(grid.viewport(), QEvent::MouseButtonPress, CellCenter(grid, 2, 3), Qt::RightButton, Qt::RightButton);
    SendMouse(grid.viewport(), QEvent::MouseButtonRelease, CellCenter(grid, 1, 3), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(rightClicks, 1);

    // A left press on a title, with the keys held; the right button is no title click.
    std::vector<std::pair<int, Qt::KeyboardModifiers>> titles;
    QObject::connect(&grid, &TFancyGrid::TitleClicked, &grid,
                     [&](int position, Qt::KeyboardModifiers keys) { titles.emplace_back(position, keys); });
    QHeaderView &header = *grid.horizontalHeader();
    const QPoint title(header.sectionViewportPosition(1) + header.sectionSize(1) / 2, header.height() / 2);
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        SendMouse(header.viewport(), QEvent::MouseButtonPress, title, button, button, Qt::ShiftModifier);
        SendMouse(header.viewport(), QEvent::MouseButtonRelease, title, button, Qt::NoButton, Qt::ShiftModifier);
    }
    // A press on the grip between two titles is the start of a resize.
    const QPoint grip(header.sectionViewportPosition(1) + 1, header.height() / 2);
    SendMouse(header.viewport(), QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
    SendMouse(header.viewport(), QEvent::MouseButtonRelease, grip, Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
    EXPECT_EQ(titles, (std::vector<std::pair<int, Qt::KeyboardModifiers>>{{1, Qt::ShiftModifier}}));
    EXPECT_EQ(grid.SelectedRow(), 3) << "a title click selects nothing";

    // The owner is asked once the mouse has travelled; a refusal starts nothing.
    int asked = 0;
    bool accept = false;
    grid.OnVerifyDrag = [&](TFancyGrid &) {
        ++asked;
        return accept;
    };
    const QPoint from = CellCenter(grid, 0, 1);
    const QPoint to = from + QPoint(0, 2 * QApplication::startDragDistance());
    SendMouse(grid.viewport(), QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    SendMouse(grid.viewport(), QEvent::MouseMove, from + QPoint(1, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(asked, 0);
    SendMouse(grid.viewport(), QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(grid.Drags, 0);
    accept = true;
    SendMouse(grid.viewport(), QEvent::MouseMove, to + QPoint(0, 1), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(grid.Drags, 1);
    SendMouse(grid.viewport(), QEvent::MouseMove, to + QPoint(0, 2), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(grid.Drags, 1);
    SendMouse(grid.viewport(), QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    // Moving with no button down is no drag.
    SendMouse(grid.viewport(), QEvent::MouseMove, from, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(asked, 2);

    // Drops are the owner's to take or refuse, whatever the view would make of them.
    grid.setAcceptDrops(true);
    QMimeData mime;
    QDragEnterEvent enter(from, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QObject::connect(&grid, &TFancyGrid::DragOver, &grid, [](QDragMoveEvent *event) { event->acceptProposedAction(); });
    int drops = 0;
    QObject::connect(&grid, &TFancyGrid::DragDrop, &grid, [&](QDropEvent *event) {
        EXPECT_EQ(grid.CellAt(event->position().toPoint()), grid.Column(1)->Cell(1));
        ++drops;
    });
    QDragEnterEvent accepted(from, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &accepted);
    EXPECT_TRUE(accepted.isAccepted());
    QDropEvent drop(QPointF(from), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid.viewport(), &drop);
    EXPECT_EQ(drops, 1);
}

TEST(FancyGrid, LayoutRoundTripsThroughTheSettings)
{
    TMemorySettingsStore store;
    const QString key = u"Grids\\Army"_s;
    {
        TFancyGrid grid;
        grid.SetRegKey(&store, key);
        EXPECT_EQ(store.Count(), 0);
        grid.Column(1)->SetPosition(2);
        grid.horizontalHeader()->resizeSection(2, 80);
        EXPECT_EQ(grid.Column(1)->Width(), 80);
        grid.SetHeightFactor(4);
        grid.SaveLayout();
        EXPECT_EQ(store.Count(), 5);
        EXPECT_EQ(store.Integer(key + u"\\ColCount"_s), 3);
        EXPECT_EQ(store.Integer(key + u"\\HeightFactor"_s), 4);
        EXPECT_EQ(Hex(store.Binary(key + u"\\Col1"_s)), u"02 00 00 00 50 00 00 00");
        EXPECT_EQ(Hex(store.Binary(key + u"\\Col2"_s)), u"00 00 00 00 40 00 00 00");
        // Closing saves what has changed since.
        grid.Column(3)->SetWidth(300);
    }
    EXPECT_EQ(Hex(store.Binary(key + u"\\Col3"_s)), u"01 00 00 00 2C 01 00 00");

    TFancyGrid loaded;
    loaded.SetRegKey(&store, key);
    EXPECT_EQ(loaded.RegKey(), key);
    EXPECT_EQ(Positions(loaded), (std::vector<int>{2, 0, 1}));
    EXPECT_EQ(loaded.Column(1)->Width(), 80);
    EXPECT_EQ(loaded.Column(3)->Width(), 300);
    EXPECT_EQ(loaded.columnWidth(2), 80);
    EXPECT_EQ(loaded.columnWidth(1), 300);
    EXPECT_EQ(loaded.HeightFactor(), 4);

    // Four columns against a layout of three: only the height factor is taken.
    store.WriteInteger(key + u"\\HeightFactor"_s, 5);
    TFancyGrid wider;
    wider.SetCols(4);
    wider.SetRegKey(&store, key);
    EXPECT_EQ(wider.HeightFactor(), 5);
    EXPECT_EQ(Positions(wider), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(wider.Column(1)->Width(), 64);

    // A layout that puts two columns in one place would hide one of them.
    store.WriteBinary(key + u"\\Col2"_s, FromHex(u"02 00 00 00 40 00 00 00"_s));
    TFancyGrid damaged;
    damaged.SetRegKey(&store, key);
    EXPECT_EQ(Positions(damaged), (std::vector<int>{0, 1, 2}));
    store.WriteBinary(key + u"\\Col2"_s, FromHex(u"00 00 00 00 40 00 00"_s));
    damaged.SetRegKey(&store, key);
    EXPECT_EQ(Positions(damaged), (std::vector<int>{0, 1, 2}));
}

TEST(FancyGrid, LayoutNeedsAStoreAndAKey)
{
    TMemorySettingsStore store;
    TReadOnlyStore readOnly;
    TFancyGrid grid;
    EXPECT_EQ(FailureOf([&] { grid.SaveLayout(); }), u"Could not open registry key .");
    EXPECT_EQ(FailureOf([&] { grid.SetRegKey(nullptr, u"Grids\\Game"_s); }),
              u"Could not open registry key Grids\\Game.");
    EXPECT_EQ(FailureOf([&] { grid.SetRegKey(&store, QString()); }), u"Could not open registry key .");
    EXPECT_TRUE(grid.RegKey().isEmpty());

    grid.SetRegKey(&readOnly, u"Grids\\Game"_s);
    EXPECT_EQ(FailureOf([&] { grid.SaveLayout(); }), u"Could not open registry key Grids\\Game.");
    EXPECT_EQ(readOnly.Count(), 0);
}

TEST(FancyGrid, LineHeightFollowsTheFontAndTheFactor)
{
    EXPECT_EQ(GridLineHeight(-11, 3), 18);
    EXPECT_EQ(GridLineHeight(-13, 3), 21);
    EXPECT_EQ(GridLineHeight(-11, 2), 13);
    EXPECT_EQ(GridLineHeight(15, 3), 17);
    EXPECT_EQ(GridFontHeight(QFont(u"Sans"_s, 8), 96), -11);
    QFont pixels(u"Sans"_s);
    pixels.setPixelSize(15);
    EXPECT_EQ(GridFontHeight(pixels, 96), 15);

    TFancyGrid grid;
    grid.setFont(pixels);
    EXPECT_EQ(grid.LineHeight(), 17);
    EXPECT_EQ(grid.verticalHeader()->defaultSectionSize(), 17);
    EXPECT_EQ(grid.horizontalHeader()->height(), 17);
    grid.SetRowLines(3);
    EXPECT_EQ(grid.rowHeight(0), 51);
    EXPECT_EQ(grid.horizontalHeader()->height(), 17);

    // The offscreen screen has 96 dots per inch, like the screens the factor was made for.
    ASSERT_EQ(grid.logicalDpiY(), 96);
    QFont points(u"Sans"_s);
    points.setPointSizeF(8.25);
    grid.setFont(points);
    EXPECT_EQ(grid.LineHeight(), 18);
    EXPECT_EQ(grid.rowHeight(2), 54);
    grid.SetHeightFactor(2);
    EXPECT_EQ(grid.LineHeight(), 13);
    EXPECT_EQ(grid.horizontalHeader()->height(), 13);
    EXPECT_EQ(grid.rowHeight(2), 39);
}

TEST(FancyGrid, CellsMoveWithinAndBetweenColumns)
{
    TFancyGrid grid;
    grid.SetRows(4);
    FillLetters(grid);
    TColumnData &a = *grid.Column(1);
    TColumnData &b = *grid.Column(2);

    grid.MoveCell(*a.Cell(1), a, 3);
    EXPECT_EQ(Texts(a), (QStringList{u"A2"_s, u"A1"_s, u"A3"_s, u"A4"_s}));
    grid.MoveCell(*a.Cell(4), a, 1);
    EXPECT_EQ(Texts(a), (QStringList{u"A4"_s, u"A2"_s, u"A1"_s, u"A3"_s}));
    grid.MoveCell(*a.Cell(1), a, 5);
    EXPECT_EQ(Texts(a), (QStringList{u"A2"_s, u"A1"_s, u"A3"_s, u"A4"_s}));

    // B's last cell holds text, so the grid grows a row to make room.
    TCellData &moving = *a.Cell(2);
    grid.MoveCell(moving, b, 2);
    EXPECT_EQ(grid.Rows(), 5);
    EXPECT_EQ(&moving.Column(), &b);
    EXPECT_EQ(moving.Row(), 2);
    EXPECT_EQ(Texts(a), (QStringList{u"A2"_s, u"A3"_s, u"A4"_s, QString(), QString()}));
    EXPECT_EQ(Texts(b), (QStringList{u"B1"_s, u"A1"_s, u"B2"_s, u"B3"_s, u"B4"_s}));
    EXPECT_EQ(Texts(*grid.Column(3)).size(), 5);
    EXPECT_EQ(&a.Cell(5)->Column(), &a);

    // A's last cell is blank: no new row, the blank one goes.
    grid.MoveCell(*b.Cell(5), a, 1);
    EXPECT_EQ(grid.Rows(), 5);
    EXPECT_EQ(Texts(a), (QStringList{u"B4"_s, u"A2"_s, u"A3"_s, u"A4"_s, QString()}));
    EXPECT_EQ(Texts(b), (QStringList{u"B1"_s, u"A1"_s, u"B2"_s, u"B3"_s, QString()}));
    for (int row = 1; row <= 5; ++row) {
        EXPECT_EQ(a.Cell(row)->Row(), row);
        EXPECT_EQ(&b.Cell(row)->Column(), &b);
    }

    // Data alone also counts as something to keep.
    int item = 1;
    a.Cell(5)->SetData(&item);
    grid.MoveCell(*b.Cell(1), a, 6);
    EXPECT_EQ(grid.Rows(), 6);
    EXPECT_EQ(a.Cell(6)->Text(), u"B1");
    EXPECT_EQ(a.Cell(5)->Data<int>(), &item);
}

TEST(FancyGrid, CellDataIsTypedAndOwnedDataIsFreed)
{
    int alive = 0;
    {
        TFancyGrid grid;
        int number = 3;
        double other = 1.5;
        TCellData &cell = *grid.Column(1)->Cell(2);
        cell.SetData(&number);
        EXPECT_EQ(cell.Data<int>(), &number);
        EXPECT_EQ(cell.Data<double>(), nullptr);
        grid.Column(3)->Cell(1)->SetData(&other);
        EXPECT_EQ(grid.FindCellWithData(&number), &cell);
        EXPECT_EQ(grid.FindCellWithData(&other), grid.Column(3)->Cell(1));
        EXPECT_EQ(grid.FindCellWithData(nullptr), nullptr);

        grid.Column(2)->Cell(1)->AdoptData(std::make_unique<TCounter>(alive));
        grid.Column(2)->Cell(2)->AdoptData(std::make_unique<TCounter>(alive));
        grid.Column(2)->AdoptData(std::make_unique<TCounter>(alive));
        grid.Column(3)->Cell(3)->AdoptData(std::make_unique<TCounter>(alive));
        EXPECT_EQ(alive, 4);
        grid.Column(2)->Cell(2)->Clear();
        EXPECT_EQ(alive, 3);
        grid.SetRows(2);
        EXPECT_EQ(alive, 2);
        grid.FreeData();
        EXPECT_EQ(alive, 0);
        EXPECT_FALSE(cell.HasData());
        EXPECT_FALSE(grid.Column(2)->HasData());

        grid.Column(1)->Cell(1)->AdoptData(std::make_unique<TCounter>(alive));
        grid.Column(1)->Cell(1)->SetText(u"x"_s);
        grid.Column(1)->Cell(1)->SetAlarm(1);
        grid.Column(1)->Cell(1)->SetMarked(true);
        grid.ClearCells();
        EXPECT_EQ(alive, 0);
        EXPECT_TRUE(grid.Column(1)->Cell(1)->Text().isEmpty());
        EXPECT_EQ(grid.Column(1)->Cell(1)->Alarm(), 0);
        EXPECT_FALSE(grid.AnyMarked());
        grid.Column(1)->Cell(1)->AdoptData(std::make_unique<TCounter>(alive));
    }
    EXPECT_EQ(alive, 0);
}
