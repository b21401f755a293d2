#include "inventory/InventoryTreeModel.h"

#include "inventory/InventoryTree.h"

#include <QPainter>
#include <QPixmap>

namespace {

QIcon DrawState(QColor fill, bool partial, QColor frame, bool plus)
{
    QPixmap picture(12, 12);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(1, 1, 9, 9);
    if (fill.isValid()) {
        if (partial)
            painter.fillRect(2, 6, 8, 4, fill);
        else
            painter.fillRect(2, 2, 8, 8, fill);
    }
    if (plus) {
        painter.setPen(Qt::white);
        painter.drawLine(3, 6, 8, 6);
        painter.drawLine(6, 3, 6, 8);
    }
    return QIcon(picture);
}

} // namespace

TInventoryTreeModel::TInventoryTreeModel(TInventoryTree &tree, QObject *parent)
    : QAbstractItemModel(parent), FTree(tree)
{
}

const std::array<QIcon, 8> &TInventoryTreeModel::StateIcons()
{
    static const std::array<QIcon, 8> icons = [] {
        const QColor grey(128, 128, 128);
        const QColor blue(40, 90, 200);
        const QColor green(30, 150, 60);
        const QColor red(210, 30, 30);
        return std::array<QIcon, 8>{QIcon(),
                                    DrawState(QColor(), false, grey, false), // missing
                                    DrawState(blue, true, grey, false),      // partly missing
                                    DrawState(blue, false, grey, false),     // owned
                                    DrawState(QColor(), false, red, false),  // missing, overcommitted
                                    DrawState(red, true, red, false),        // partly missing, overcommitted
                                    DrawState(red, false, red, false),       // overcommitted
                                    DrawState(green, false, green, true)};   // surplus
    }();
    return icons;
}

TInventoryNode *TInventoryTreeModel::Node(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TInventoryNode *>(index.internalPointer()) : nullptr;
}

QModelIndex TInventoryTreeModel::IndexOf(const TInventoryNode *node) const
{
    if (!node)
        return {};
    return createIndex(node->Row(), 0, const_cast<TInventoryNode *>(node));
}

QModelIndex TInventoryTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid()) {
        TInventoryNode *root = FTree.Root();
        return root && row == 0 ? createIndex(0, 0, root) : QModelIndex();
    }
    const TInventoryNode *node = Node(parent);
    if (row >= int(node->Children().size()))
        return {};
    return createIndex(row, 0, node->Children()[size_t(row)].get());
}

QModelIndex TInventoryTreeModel::parent(const QModelIndex &child) const
{
    const TInventoryNode *node = Node(child);
    return node ? IndexOf(node->Parent()) : QModelIndex();
}

int TInventoryTreeModel::rowCount(const QModelIndex &parent) const
{
    if (!parent.isValid())
        return FTree.Root() ? 1 : 0;
    return int(Node(parent)->Children().size());
}

int TInventoryTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QVariant TInventoryTreeModel::data(const QModelIndex &index, int role) const
{
    const TInventoryNode *node = Node(index);
    if (!node)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return node->Text();
    case Qt::DecorationRole:
        return StateIcons()[size_t(node->StateImage())];
    default:
        return {};
    }
}

void TInventoryTreeModel::Reset()
{
    beginResetModel();
    endResetModel();
}

void TInventoryTreeModel::RefreshChildren(const TInventoryNode &node)
{
    if (!node.HasChildren())
        return;
    const QModelIndex parentIndex = IndexOf(&node);
    emit dataChanged(index(0, 0, parentIndex), index(int(node.Children().size()) - 1, 0, parentIndex));
    for (const auto &child : node.Children())
        RefreshChildren(*child);
}

void TInventoryTreeModel::RefreshAll()
{
    if (TInventoryNode *root = FTree.Root()) {
        emit dataChanged(IndexOf(root), IndexOf(root));
        RefreshChildren(*root);
    }
}

void TInventoryTreeModel::Refresh(const std::vector<TInventoryNode *> &nodes)
{
    for (TInventoryNode *node : nodes) {
        const QModelIndex at = IndexOf(node);
        emit dataChanged(at, at);
    }
}

void TInventoryTreeModel::BeginRemove(const TInventoryNode &node)
{
    const QModelIndex parentIndex = IndexOf(node.Parent());
    beginRemoveRows(parentIndex, node.Row(), node.Row());
}

void TInventoryTreeModel::EndRemove()
{
    endRemoveRows();
}
