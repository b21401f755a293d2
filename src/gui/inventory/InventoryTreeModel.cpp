#include "inventory/InventoryTreeModel.h"

#include "inventory/InventoryTree.h"

#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kStateSize = 12;
constexpr int kKindSize = 14;
constexpr int kKindLeft = kStateSize + 2;

// The state symbol: how many of the node's dice are owned, and whether more are used.
void DrawState(QPainter &painter, QColor fill, bool partial, QColor frame, bool plus)
{
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(1, 2, 9, 9);
    if (fill.isValid()) {
        if (partial)
            painter.fillRect(2, 7, 8, 4, fill);
        else
            painter.fillRect(2, 3, 8, 8, fill);
    }
    if (plus) {
        painter.setPen(Qt::white);
        painter.drawLine(3, 7, 8, 7);
        painter.drawLine(6, 4, 6, 9);
    }
}

// The kind symbol beside it: a folder for a group, a banner for a race, a hill for a
// terrain, a die for a die.
void DrawKind(QPainter &painter, TInventoryNode::TKind kind)
{
    painter.save();
    painter.translate(kKindLeft, 0);
    painter.setRenderHint(QPainter::Antialiasing, true);
    switch (kind) {
    case TInventoryNode::Group:
        painter.setPen(QColor(150, 110, 20));
        painter.setBrush(QColor(235, 190, 80));
        painter.drawRect(QRectF(1.5, 4.5, 11, 8));
        painter.drawRect(QRectF(1.5, 2.5, 5, 2));
        break;
    case TInventoryNode::Race: {
        painter.setPen(QColor(90, 20, 20));
        painter.setBrush(QColor(180, 40, 40));
        const QPointF banner[] = {{2.5, 1.5}, {11.5, 1.5}, {11.5, 12.5}, {7, 9.5}, {2.5, 12.5}};
        painter.drawPolygon(banner, 5);
        break;
    }
    case TInventoryNode::Terrain: {
        painter.setPen(QColor(60, 90, 30));
        painter.setBrush(QColor(120, 170, 70));
        const QPointF hill[] = {{0.5, 12.5}, {5.5, 3.5}, {8.5, 8}, {10, 6}, {13.5, 12.5}};
        painter.drawPolygon(hill, 5);
        break;
    }
    case TInventoryNode::Die:
        painter.setPen(QColor(60, 60, 60));
        painter.setBrush(Qt::white);
        painter.drawRoundedRect(QRectF(1.5, 1.5, 11, 11), 2.5, 2.5);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 30, 30));
        for (const QPointF pip : {QPointF(4.5, 4.5), QPointF(7, 7), QPointF(9.5, 9.5)})
            painter.drawEllipse(pip, 1.2, 1.2);
        break;
    }
    painter.restore();
}

} // namespace

TInventoryTreeModel::TInventoryTreeModel(TInventoryTree &tree, QObject *parent)
    : QAbstractItemModel(parent), FTree(tree)
{
}

const QIcon &TInventoryTreeModel::NodeIcon(TInventoryNode::TKind kind, int stateImage)
{
    // Four kinds by eight state images, drawn once.
    static const std::array<std::array<QIcon, 8>, 4> icons = [] {
        const QColor grey(128, 128, 128);
        const QColor blue(40, 90, 200);
        const QColor green(30, 150, 60);
        const QColor red(210, 30, 30);
        struct TState
        {
            QColor Fill;
            bool Partial;
            QColor Frame;
            bool Plus;
        };
        const std::array<TState, 7> states{{{QColor(), false, grey, false}, // missing
                                            {blue, true, grey, false},      // partly missing
                                            {blue, false, grey, false},     // owned
                                            {QColor(), false, red, false},  // missing, overcommitted
                                            {red, true, red, false},        // partly missing, overcommitted
                                            {red, false, red, false},       // overcommitted
                                            {green, false, green, true}}};  // surplus
        std::array<std::array<QIcon, 8>, 4> all;
        for (int k = 0; k < 4; ++k) {
            for (int image = 0; image < 8; ++image) {
                QPixmap picture(kIconSize);
                picture.fill(Qt::transparent);
                QPainter painter(&picture);
                if (image > 0) {
                    const TState &state = states[size_t(image - 1)];
                    DrawState(painter, state.Fill, state.Partial, state.Frame, state.Plus);
                }
                DrawKind(painter, TInventoryNode::TKind(k));
                painter.end();
                all[size_t(k)][size_t(image)] = QIcon(picture);
            }
        }
        return all;
    }();
    const int image = stateImage >= 0 && stateImage < 8 ? stateImage : 0;
    return icons[size_t(kind)][size_t(image)];
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
        return NodeIcon(node->Kind(), node->StateImage());
    default:
        return {};
    }
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
