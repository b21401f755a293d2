#include "controls/FancyGrid.h"

#include "controls/FancyGridView.h"
#include "shell/SettingsStore.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QtEndian>

#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

// Far beyond any sensible setting, low enough that the height arithmetic cannot overflow.
constexpr int MaxHeightFactor = 100;
constexpr int MaxRowLines = 100;
// A stored width beyond this comes from a damaged settings file.
constexpr int MaxStoredWidth = 32767;

} // namespace

TFancyGrid::TFancyGrid(QWidget *parent) : QTableView(parent)
{
    FHeader = new TFancyGridHeader(*this);
    setHorizontalHeader(FHeader);
    for (int i = 0; i < 3; ++i)
        FColumns.push_back(std::make_unique<TColumnData>(*this, i, FDefaultColWidth));
    FModel = new TFancyGridModel(*this);
    setModel(FModel);
    setItemDelegate(new TFancyGridDelegate(*this));

    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setSelectionBehavior(SelectRows);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setDragEnabled(false);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // A click on a title must not select its column; dragging it moves the column.
    FHeader->setSectionsClickable(false);
    FHeader->setSectionsMovable(true);
    FHeader->setHighlightSections(false);
    FHeader->setStretchLastSection(false);
    FHeader->setMinimumSectionSize(0);
    FHeader->setSectionResizeMode(QHeaderView::Interactive);

    connect(FHeader, &QHeaderView::sectionMoved, this, &TFancyGrid::SectionMoved);
    connect(FHeader, &QHeaderView::sectionResized, this, &TFancyGrid::SectionResized);
    connect(FHeader, &QHeaderView::sectionDoubleClicked, this, &TFancyGrid::TitleDoubleClicked);
    // Titles are not clickable (that would select columns), and an unclickable header
    // reports no presses: the press is taken from its viewport before the header sees it.
    FHeader->viewport()->installEventFilter(this);

    ApplyHeights();
    ApplyWidths();
}

bool TFancyGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FHeader->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto *press = static_cast<QMouseEvent *>(event);
        const int x = press->position().toPoint().x();
        const int logical = FHeader->logicalIndexAt(x);
        // A press on the grip between two titles starts a resize, not a click.
        const int grip = FHeader->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, FHeader);
        const int left = FHeader->sectionViewportPosition(logical);
        const bool onGrip = logical >= 0 && FHeader->sectionResizeMode(logical) == QHeaderView::Interactive &&
                            (x - left < grip || left + FHeader->sectionSize(logical) - x <= grip);
        if (press->button() == Qt::LeftButton && logical >= 0 && !onGrip)
            emit TitleClicked(logical, press->modifiers());
    }
    // The header still gets the press: it starts column moves and resizing.
    return QTableView::eventFilter(watched, event);
}

TFancyGrid::~TFancyGrid()
{
    if (FStore && !FRegKey.isEmpty()) {
        try {
            SaveLayout();
        } catch (...) {
            // A window that is going away has nobody left to tell.
        }
    }
    // The model is a child and would outlive the columns it reads from; the view must
    // not ask it anything while the rest of the widget is torn down.
    delete FModel;
    FModel = nullptr;
}

void TFancyGrid::SetCols(int count)
{
    if (count < 1)
        throw EGridError(u"%1 is not a valid column count."_s.arg(count));
    const bool suppressing = std::exchange(FSuppressSelection, true);
    FApplyingWidths = true;
    while (Cols() > count) {
        TColumnData *last = FColumns.back().get();
        if (FSelectedCol == Cols() || (FSelectedCell && &FSelectedCell->Column() == last))
            ClearSelection();
        const int position = last->FPosition;
        FModel->beginRemoveColumns({}, position, position);
        FColumns.pop_back();
        for (auto &column : FColumns)
            if (column->FPosition > position)
                --column->FPosition;
        FModel->endRemoveColumns();
    }
    while (Cols() < count) {
        const int position = Cols();
        FModel->beginInsertColumns({}, position, position);
        for (auto &column : FColumns)
            if (column->FPosition >= position)
                ++column->FPosition;
        FColumns.push_back(std::make_unique<TColumnData>(*this, position, FDefaultColWidth));
        FModel->endInsertColumns();
    }
    FApplyingWidths = false;
    FSuppressSelection = suppressing;
    FTitlePosition = -1;
    FDownPosition = -1;
    ApplyWidths();
    ShowSelection();
}

void TFancyGrid::SetRows(int count)
{
    if (count < 1)
        throw EGridError(u"%1 is not a valid row count."_s.arg(count));
    ClearSelection();
    FDownRow = -1;
    if (count < FRows) {
        FModel->beginRemoveRows({}, count, FRows - 1);
        for (auto &column : FColumns)
            column->FCells.resize(std::size_t(count));
        FRows = count;
        FModel->endRemoveRows();
    } else if (count > FRows) {
        FModel->beginInsertRows({}, FRows, count - 1);
        for (auto &column : FColumns)
            while (column->CellCount() < count)
                column->FCells.push_back(std::make_unique<TCellData>(*column));
        FRows = count;
        FModel->endInsertRows();
    }
}

void TFancyGrid::SetRowLines(int lines)
{
    FRowLines = std::clamp(lines, 1, MaxRowLines);
    ApplyHeights();
}

void TFancyGrid::SetHeightFactor(int factor)
{
    FHeightFactor = std::clamp(factor, 1, MaxHeightFactor);
    ApplyHeights();
}

void TFancyGrid::SetColMoving(bool moving)
{
    FColMoving = moving;
    FHeader->setSectionsMovable(moving);
}

void TFancyGrid::SetColSizing(bool sizing)
{
    FColSizing = sizing;
    FHeader->setSectionResizeMode(sizing ? QHeaderView::Interactive : QHeaderView::Fixed);
}

void TFancyGrid::SetSelectMode(TSelectMode mode)
{
    FSelectMode = mode;
    ClearSelection();
    switch (mode) {
    case eSelectColumn:
        setSelectionBehavior(SelectColumns);
        break;
    case eSelectRow:
        setSelectionBehavior(SelectRows);
        break;
    case eSelectCell:
        setSelectionBehavior(SelectItems);
        break;
    }
}

void TFancyGrid::SetStrongLine(int line)
{
    FStrongLine = line;
    viewport()->update();
    FHeader->viewport()->update();
}

void TFancyGrid::SetAlarmColor(const QColor &color)
{
    FAlarmColor = color;
    viewport()->update();
}

void TFancyGrid::SetDefaultColWidth(int width)
{
    FDefaultColWidth = std::max(width, 0);
    for (auto &column : FColumns)
        column->FWidth = FDefaultColWidth;
    ApplyWidths();
}

void TFancyGrid::ApplyHeights()
{
    FLineHeight = GridLineHeight(GridFontHeight(font(), logicalDpiY()), FHeightFactor);
    verticalHeader()->setDefaultSectionSize(FLineHeight * FRowLines);
    FHeader->setFixedHeight(FLineHeight);
}

void TFancyGrid::ApplyWidths()
{
    const bool applying = std::exchange(FApplyingWidths, true);
    for (auto &column : FColumns)
        FHeader->resizeSection(column->FPosition, column->FWidth);
    FApplyingWidths = applying;
}

TColumnData *TFancyGrid::Column(int index) const
{
    if (index < 1 || index > Cols())
        return nullptr;
    return FColumns[std::size_t(index - 1)].get();
}

TColumnData *TFancyGrid::ColumnAt(int position) const
{
    for (auto &column : FColumns)
        if (column->FPosition == position)
            return column.get();
    return nullptr;
}

void TFancyGrid::SetColData(const QList<TColumnSpec> &specs)
{
    const int count = std::min(int(specs.size()), Cols());
    for (int i = 0; i < count; ++i) {
        FColumns[std::size_t(i)]->FTitle = specs[i].Title;
        FColumns[std::size_t(i)]->FAlignment = specs[i].Alignment;
    }
    emit FModel->headerDataChanged(Qt::Horizontal, 0, Cols() - 1);
    viewport()->update();
}

// Every column between the old place and the new one closes up toward the old place.
void TFancyGrid::MoveColumn(TColumnData &column, int position)
{
    position = std::clamp(position, 0, Cols() - 1);
    const int old = column.FPosition;
    if (position == old)
        return;
    for (auto &other : FColumns) {
        if (other.get() == &column)
            continue;
        if (old < position && other->FPosition > old && other->FPosition <= position)
            --other->FPosition;
        else if (position < old && other->FPosition >= position && other->FPosition < old)
            ++other->FPosition;
    }
    column.FPosition = position;
    const int first = std::min(old, position);
    const int last = std::max(old, position);
    emit FModel->dataChanged(FModel->index(0, first), FModel->index(FRows - 1, last));
    emit FModel->headerDataChanged(Qt::Horizontal, first, last);
    ApplyWidths();
    ShowSelection();
}

void TFancyGrid::RedrawCell(const TCellData &cell)
{
    const int row = cell.Row();
    if (row < 1)
        return;
    const QModelIndex index = FModel->index(row - 1, cell.Column().FPosition);
    emit FModel->dataChanged(index, index);
}

void TFancyGrid::RedrawColumn(const TColumnData &column)
{
    emit FModel->dataChanged(FModel->index(0, column.FPosition), FModel->index(FRows - 1, column.FPosition));
    emit FModel->headerDataChanged(Qt::Horizontal, column.FPosition, column.FPosition);
}

// ---------------------------------------------------------------------------------

void TFancyGrid::SelectCell(int column, int row)
{
    const TColumnData *target = Column(column);
    if (!target || row < 1 || row > FRows)
        return;
    const QModelIndex index = FModel->index(row - 1, target->FPosition);
    MakeCurrent(index);
    scrollTo(index);
}

void TFancyGrid::MakeCurrent(const QModelIndex &index)
{
    // A click on the current cell is still a click: the owner hears of it again.
    const bool same = currentIndex() == index;
    setCurrentIndex(index);
    if (same)
        HandleSelection();
}

void TFancyGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (!FSuppressSelection && current.isValid())
        HandleSelection();
}

void TFancyGrid::HandleSelection()
{
    const QModelIndex current = currentIndex();
    const TColumnData *column = ColumnAt(current.column());
    if (!current.isValid() || !column)
        return;
    const int row = current.row() + 1;
    FSelectedCell = nullptr;
    FSelectedCol = -1;
    FSelectedRow = -1;
    switch (FSelectMode) {
    case eSelectColumn:
        FSelectedCol = column->Index();
        break;
    case eSelectRow:
        FSelectedRow = row;
        break;
    case eSelectCell:
        FSelectedCol = column->Index();
        FSelectedRow = row;
        FSelectedCell = column->Cell(row);
        break;
    }
    // The view may have moved its cursor without selecting (keyboard focus, Ctrl+click);
    // what the owner is told must be what the user sees.
    const bool suppressing = std::exchange(FSuppressSelection, true);
    selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | selectionCommand(current, nullptr));
    FSuppressSelection = suppressing;
    emit SelectItem(FSelectedCol, FSelectedRow);
}

// Puts the view's cursor back on the selection after the columns have moved under it.
void TFancyGrid::ShowSelection()
{
    if (FSelectedCol < 1 && FSelectedRow < 1)
        return;
    const QModelIndex current = currentIndex();
    const TColumnData *column = Column(FSelectedCol);
    const int position = column ? column->FPosition : std::max(current.column(), 0);
    const int row = FSelectedRow > 0 ? FSelectedRow : std::max(current.row() + 1, 1);
    const bool suppressing = std::exchange(FSuppressSelection, true);
    setCurrentIndex(FModel->index(row - 1, position));
    FSuppressSelection = suppressing;
}

void TFancyGrid::ClearSelection()
{
    FSelectedCell = nullptr;
    FSelectedCol = -1;
    FSelectedRow = -1;
    const bool suppressing = std::exchange(FSuppressSelection, true);
    selectionModel()->clear();
    FSuppressSelection = suppressing;
}

void TFancyGrid::ForgetCell(const TCellData *cell)
{
    if (FSelectedCell == cell)
        ClearSelection();
}

// ---------------------------------------------------------------------------------

bool TFancyGrid::SetCellMark(TCellData &cell, bool marked)
{
    if (marked) {
        if (FOnlyMarkFull && !cell.HasData())
            return false;
        if (OnVerifyMark && !OnVerifyMark(*this, cell))
            return false;
    }
    if (cell.FMarked != marked) {
        cell.FMarked = marked;
        cell.Redraw();
        emit Mark();
    }
    return true;
}

void TFancyGrid::ToggleMarks(int firstPosition, int top, int lastPosition, int bottom)
{
    QList<TCellData *> cells;
    for (int position = firstPosition; position <= lastPosition; ++position)
        if (const TColumnData *column = ColumnAt(position))
            for (int row = top; row <= bottom; ++row)
                if (TCellData *cell = column->Cell(row))
                    cells << cell;
    const bool anyMarked =
        std::any_of(cells.begin(), cells.end(), [](const TCellData *cell) { return cell->Marked(); });
    for (TCellData *cell : cells)
        SetCellMark(*cell, !anyMarked);
}

void TFancyGrid::ToggleSelectionMarks()
{
    const TColumnData *column = Column(FSelectedCol);
    switch (FSelectMode) {
    case eSelectColumn:
        if (column)
            ToggleMarks(column->FPosition, 1, column->FPosition, FRows);
        break;
    case eSelectRow:
        if (FSelectedRow > 0)
            ToggleMarks(0, FSelectedRow, Cols() - 1, FSelectedRow);
        break;
    case eSelectCell:
        if (column && FSelectedRow > 0)
            ToggleMarks(column->FPosition, FSelectedRow, column->FPosition, FSelectedRow);
        break;
    }
}

void TFancyGrid::DoubleClicked()
{
    const int title = std::exchange(FTitlePosition, -1);
    if (!FDblClickMarks) {
        emit Process();
        return;
    }
    if (title >= 0)
        ToggleMarks(title, 1, title, FRows);
    else
        ToggleSelectionMarks();
}

void TFancyGrid::TitleDoubleClicked(int position)
{
    if (position < 0)
        return;
    FTitlePosition = position;
    DoubleClicked();
}

// ---------------------------------------------------------------------------------

void TFancyGrid::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit Process();
        return;
    case Qt::Key_Space:
        event->accept();
        ToggleSelectionMarks();
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}

void TFancyGrid::mousePressEvent(QMouseEvent *event)
{
    const QPoint point = event->position().toPoint();
    const QModelIndex index = indexAt(point);
    FDownPosition = index.isValid() ? index.column() : -1;
    FDownRow = index.isValid() ? index.row() + 1 : -1;
    FDownPoint = point;
    if (event->button() == Qt::RightButton) {
        setFocus(Qt::MouseFocusReason);
        if (index.isValid()) {
            MakeCurrent(index);
            scrollTo(index);
        }
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && !index.isValid()) {
        // A click beside the cells keeps the selection, as it always has.
        setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    const QModelIndex before = currentIndex();
    QTableView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton) {
        FSelecting = true;
        if (currentIndex() == before)
            HandleSelection();
    }
}

void TFancyGrid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint moved = event->position().toPoint() - FDownPoint;
    if (FSelecting && event->buttons() == Qt::LeftButton &&
        moved.manhattanLength() >= QApplication::startDragDistance() && OnVerifyDrag && OnVerifyDrag(*this)) {
        FSelecting = false;
        startDrag(Qt::MoveAction | Qt::CopyAction);
        return;
    }
    QTableView::mouseMoveEvent(event);
}

void TFancyGrid::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        const QModelIndex index = indexAt(event->position().toPoint());
        const bool same = index.isValid() && index.column() == FDownPosition && index.row() + 1 == FDownRow;
        FDownPosition = -1;
        FDownRow = -1;
        event->accept();
        if (same)
            emit RightClick();
        return;
    }
    if (event->button() == Qt::LeftButton)
        FSelecting = false;
    QTableView::mouseReleaseEvent(event);
}

void TFancyGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QTableView::mouseDoubleClickEvent(event);
        return;
    }
    // The first click of the pair has already made the selection.
    event->accept();
    DoubleClicked();
}

void TFancyGrid::startDrag(Qt::DropActions supportedActions)
{
    auto *data = new QMimeData;
    emit DragStarting(data);
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(supportedActions, Qt::MoveAction);
}

// What may be dropped is the owner's business, not the model's.
void TFancyGrid::dragEnterEvent(QDragEnterEvent *event)
{
    event->ignore();
    emit DragOver(event);
}

void TFancyGrid::dragMoveEvent(QDragMoveEvent *event)
{
    event->ignore();
    emit DragOver(event);
}

void TFancyGrid::dropEvent(QDropEvent *event)
{
    event->ignore();
    emit DragDrop(event);
}

void TFancyGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        ApplyHeights();
}

// ---------------------------------------------------------------------------------

// The header has already moved the section; the grid keeps grid column == position, so
// the header's move is undone and the columns are moved instead.
void TFancyGrid::SectionMoved(int logicalIndex, int oldVisual, int newVisual)
{
    if (FUndoingMove)
        return;
    FUndoingMove = true;
    FHeader->moveSection(newVisual, oldVisual);
    FUndoingMove = false;
    if (TColumnData *column = ColumnAt(logicalIndex)) {
        MoveColumn(*column, newVisual);
        emit ColumnMoved(oldVisual, newVisual);
    }
}

void TFancyGrid::SectionResized(int)
{
    if (FApplyingWidths)
        return;
    if (FHeader->FMouseDown) {
        FHeader->FWidthsPending = true;
        return;
    }
    StoreUserWidths();
}

void TFancyGrid::StoreUserWidths()
{
    FHeader->FWidthsPending = false;
    for (auto &column : FColumns)
        column->FWidth = columnWidth(column->FPosition);
    emit ColsChanged();
}

// ---------------------------------------------------------------------------------

QString TFancyGrid::ValueName(const QString &name) const
{
    return FRegKey + u'\\' + name;
}

void TFancyGrid::CheckStore(bool forWriting) const
{
    if (!FStore || FRegKey.isEmpty() || (forWriting && !FStore->Writable()))
        throw EGridError(u"Could not open registry key %1."_s.arg(FRegKey));
}

void TFancyGrid::SetRegKey(TSettingsStore *store, const QString &key)
{
    if (!store || key.isEmpty())
        throw EGridError(u"Could not open registry key %1."_s.arg(key));
    FStore = store;
    FRegKey = key;
    LoadLayout();
}

// A layout is used only whole: one that names a position twice or carries a nonsense
// width would hide columns, so it is ignored like one for another column count.
void TFancyGrid::LoadLayout()
{
    CheckStore(false);
    if (!FStore->Exists(ValueName(u"ColCount"_s)))
        return;
    SetHeightFactor(FStore->ReadIntegerSetting(ValueName(u"HeightFactor"_s), FHeightFactor));
    const int count = Cols();
    if (FStore->ReadIntegerSetting(ValueName(u"ColCount"_s), -1) != count)
        return;
    std::vector<std::pair<int, int>> layout;
    std::vector<bool> taken(std::size_t(count), false);
    for (int i = 1; i <= count; ++i) {
        const QString name = ValueName(u"Col"_s + QString::number(i));
        if (FStore->TypeOf(name) != TSettingType::Binary)
            return;
        const QByteArray bytes = FStore->Binary(name);
        if (bytes.size() != 8)
            return;
        const int position = qFromLittleEndian<qint32>(bytes.constData());
        const int width = qFromLittleEndian<qint32>(bytes.constData() + 4);
        if (position < 0 || position >= count || taken[std::size_t(position)] || width < 0 || width > MaxStoredWidth)
            return;
        taken[std::size_t(position)] = true;
        layout.emplace_back(position, width);
    }
    for (int i = 0; i < count; ++i) {
        FColumns[std::size_t(i)]->FPosition = layout[std::size_t(i)].first;
        FColumns[std::size_t(i)]->FWidth = layout[std::size_t(i)].second;
    }
    emit FModel->dataChanged(FModel->index(0, 0), FModel->index(FRows - 1, count - 1));
    emit FModel->headerDataChanged(Qt::Horizontal, 0, count - 1);
    ApplyWidths();
    ShowSelection();
}

void TFancyGrid::SaveLayout()
{
    CheckStore(true);
    FStore->WriteInteger(ValueName(u"HeightFactor"_s), FHeightFactor);
    FStore->WriteInteger(ValueName(u"ColCount"_s), Cols());
    for (int i = 1; i <= Cols(); ++i) {
        const TColumnData &column = *FColumns[std::size_t(i - 1)];
        QByteArray bytes(8, '\0');
        qToLittleEndian<qint32>(column.FPosition, bytes.data());
        qToLittleEndian<qint32>(column.FWidth, bytes.data() + 4);
        FStore->WriteBinary(ValueName(u"Col"_s + QString::number(i)), bytes);
    }
    // The store finds out only while writing that it cannot keep what it was given.
    CheckStore(true);
}

void TFancyGrid::updateGeometries()
{
    QTableView::updateGeometries();
    // Scrolled by whole columns, the view keeps the header's offset from the last scroll;
    // a grid scrolled while still narrow (a window being laid out) would otherwise show
    // the far end of its last column once it has its width, with the scroll bar at the
    // start.
    const auto follow = [](QHeaderView &header, const QScrollBar &bar, int room) {
        const int wanted = bar.maximum() > 0 && bar.value() == bar.maximum()
                               ? header.length() - room
                               : header.sectionPosition(header.logicalIndex(bar.value()));
        if (wanted >= 0 && header.offset() != wanted) {
            header.setOffset(wanted);
            return true;
        }
        return false;
    };
    bool moved = false;
    if (horizontalScrollMode() == ScrollPerItem && horizontalHeader()->count() > 0)
        moved = follow(*horizontalHeader(), *horizontalScrollBar(), viewport()->width());
    if (verticalScrollMode() == ScrollPerItem && verticalHeader()->count() > 0)
        moved = follow(*verticalHeader(), *verticalScrollBar(), viewport()->height()) || moved;
    if (moved)
        viewport()->update();
}
