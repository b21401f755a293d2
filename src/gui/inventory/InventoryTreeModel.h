#pragma once

#include "inventory/InventoryTree.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QSize>

#include <array>

// Shows the inventory tree of the core in a tree view: the node text, and the state
// and kind symbols beside it.
class TInventoryTreeModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    explicit TInventoryTreeModel(TInventoryTree &tree, QObject *parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    TInventoryNode *Node(const QModelIndex &index) const;
    QModelIndex IndexOf(const TInventoryNode *node) const;

    // The tree is built anew between these: the view lets go of the old nodes before
    // they are freed.
    void BeginReset() { beginResetModel(); }
    void EndReset() { endResetModel(); }
    // Every node's text may have changed.
    void RefreshAll();
    // These nodes' texts changed.
    void Refresh(const std::vector<TInventoryNode *> &nodes);
    // A node is about to leave its parent, and has left.
    void BeginRemove(const TInventoryNode &node);
    void EndRemove();

    // The node's 12 x 12 state symbol (1 missing, 2 partly missing, 3 owned, 4 to 6 the
    // same with more copies used than owned, 7 surplus; 0 none) beside the symbol of its
    // kind, drawn once.
    static const QIcon &NodeIcon(TInventoryNode::TKind kind, int stateImage);
    static constexpr QSize kIconSize{28, 14};

private:
    void RefreshChildren(const TInventoryNode &node);

    TInventoryTree &FTree;
};
