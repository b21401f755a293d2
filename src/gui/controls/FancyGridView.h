#pragma once

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QStyledItemDelegate>

class TFancyGrid;

// The pieces through which the Qt view shows a TFancyGrid; only the grid uses them.

// The view's window on the columns: grid column c of the model is the column at
// position c, so the view never needs to know about logical order.
class TFancyGridModel final : public QAbstractTableModel
{
public:
    explicit TFancyGridModel(TFancyGrid &grid);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // The delegate paints from the cells themselves; the text is here for accessibility
    // and for sizing a column to its contents.
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &) const override { return Qt::ItemIsEnabled | Qt::ItemIsSelectable; }

    using QAbstractTableModel::beginInsertColumns;
    using QAbstractTableModel::beginInsertRows;
    using QAbstractTableModel::beginRemoveColumns;
    using QAbstractTableModel::beginRemoveRows;
    using QAbstractTableModel::endInsertColumns;
    using QAbstractTableModel::endInsertRows;
    using QAbstractTableModel::endRemoveColumns;
    using QAbstractTableModel::endRemoveRows;

private:
    TFancyGrid &FGrid;
};

class TFancyGridDelegate final : public QStyledItemDelegate
{
public:
    explicit TFancyGridDelegate(TFancyGrid &grid);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TFancyGrid &FGrid;
};

// The title row. It paints titles like cells and holds back width changes while the user
// is still dragging a border.
class TFancyGridHeader final : public QHeaderView
{
public:
    explicit TFancyGridHeader(TFancyGrid &grid);

    bool FMouseDown = false;
    bool FWidthsPending = false;

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    TFancyGrid &FGrid;
};
