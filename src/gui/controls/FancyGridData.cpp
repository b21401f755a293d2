#include "controls/FancyGrid.h"

#include "controls/FancyGridView.h"

#include <algorithm>

void TGridObject::Reset()
{
    if (FDeleter)
        FDeleter(FObject);
    FObject = nullptr;
    FType = nullptr;
    FDeleter = nullptr;
}

int TCellData::Row() const
{
    const auto &cells = FColumn->FCells;
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (cells[i].get() == this)
            return int(i) + 1;
    return -1;
}

void TCellData::SetText(const QString &text)
{
    FText = text;
    Redraw();
}

void TCellData::SetAlarm(quint8 alarm)
{
    FAlarm = alarm;
    Redraw();
}

void TCellData::SetMarked(bool marked)
{
    FMarked = marked;
    Redraw();
}

void TCellData::Clear()
{
    FAlarm = 0;
    FText.clear();
    FData.Reset();
    FMarked = false;
    Redraw();
}

void TCellData::Redraw()
{
    FColumn->FGrid->RedrawCell(*this);
}

// ---------------------------------------------------------------------------------

TColumnData::TColumnData(TFancyGrid &grid, int position, int width) : FGrid(&grid), FPosition(position), FWidth(width)
{
    for (int i = 0; i < grid.Rows(); ++i)
        FCells.push_back(std::make_unique<TCellData>(*this));
}

int TColumnData::Index() const
{
    const auto &columns = FGrid->FColumns;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].get() == this)
            return int(i) + 1;
    return -1;
}

void TColumnData::SetPosition(int position)
{
    FGrid->MoveColumn(*this, position);
}

TCellData *TColumnData::Cell(int row) const
{
    if (row < 1 || row > int(FCells.size()))
        return nullptr;
    return FCells[std::size_t(row - 1)].get();
}

void TColumnData::SetTitle(const QString &title)
{
    FTitle = title;
    emit FGrid->FModel->headerDataChanged(Qt::Horizontal, FPosition, FPosition);
}

void TColumnData::SetWidth(int width)
{
    FWidth = std::max(width, 0);
    FGrid->ApplyWidths();
}

void TColumnData::SetAlignment(TColumnAlignment alignment)
{
    FAlignment = alignment;
    Redraw();
}

void TColumnData::Clear()
{
    for (auto &cell : FCells) {
        cell->FAlarm = 0;
        cell->FText.clear();
        cell->FData.Reset();
        cell->FMarked = false;
    }
    Redraw();
}

void TColumnData::Redraw()
{
    FGrid->RedrawColumn(*this);
}

// ---------------------------------------------------------------------------------

TCellData *TFancyGrid::CellAt(const QPoint &point) const
{
    const QModelIndex index = indexAt(point);
    if (!index.isValid())
        return nullptr;
    const TColumnData *column = ColumnAt(index.column());
    return column ? column->Cell(index.row() + 1) : nullptr;
}

QList<TCellData *> TFancyGrid::MarkedCells() const
{
    QList<TCellData *> marked;
    for (auto &column : FColumns)
        for (auto &cell : column->FCells)
            if (cell->FMarked)
                marked << cell.get();
    return marked;
}

bool TFancyGrid::AnyMarked() const
{
    for (auto &column : FColumns)
        for (auto &cell : column->FCells)
            if (cell->FMarked)
                return true;
    return false;
}

void TFancyGrid::ClearMarks()
{
    for (auto &column : FColumns)
        for (auto &cell : column->FCells)
            cell->FMarked = false;
    viewport()->update();
}

void TFancyGrid::ClearCells()
{
    for (auto &column : FColumns)
        column->Clear();
}

void TFancyGrid::FreeData()
{
    for (auto &column : FColumns) {
        column->FData.Reset();
        for (auto &cell : column->FCells)
            cell->FData.Reset();
    }
}

TCellData *TFancyGrid::FindCellWithData(const void *object) const
{
    if (!object)
        return nullptr;
    for (auto &column : FColumns)
        for (auto &cell : column->FCells)
            if (cell->DataAddress() == object)
                return cell.get();
    return nullptr;
}

void TFancyGrid::MoveCell(TCellData &cell, TColumnData &target, int row)
{
    TColumnData &source = cell.Column();
    int from = cell.Row();
    if (from < 1 || &target.Grid() != this)
        return;
    if (&source == &target) {
        int to = std::clamp(row, 1, FRows + 1);
        if (to > from)
            --to;
        if (to == from)
            return;
        auto moving = std::move(source.FCells[std::size_t(from - 1)]);
        source.FCells.erase(source.FCells.begin() + (from - 1));
        source.FCells.insert(source.FCells.begin() + (to - 1), std::move(moving));
        RedrawColumn(source);
        return;
    }
    const TCellData &last = *target.FCells.back();
    if (!last.Text().isEmpty() || last.HasData()) {
        SetRows(FRows + 1);
        from = cell.Row();
    }
    auto moving = std::move(source.FCells[std::size_t(from - 1)]);
    source.FCells.erase(source.FCells.begin() + (from - 1));
    source.FCells.push_back(std::make_unique<TCellData>(source));
    ForgetCell(target.FCells.back().get());
    target.FCells.pop_back();
    moving->FColumn = &target;
    const int to = std::clamp(row, 1, FRows);
    target.FCells.insert(target.FCells.begin() + (to - 1), std::move(moving));
    RedrawColumn(source);
    RedrawColumn(target);
}
