#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TCatalogue;
class TDie;
class TInventoryData;
class TKeepRules;

// One node of the inventory tree. Group nodes ("Dice", a race type, a health group,
// "Terrains", a land, "Major", "Minor") own a data object of their own that holds their
// sums; race, die and terrain nodes show the catalogue's objects.
class TInventoryNode
{
public:
    enum TKind { Group = 0, Race = 1, Terrain = 2, Die = 3 };

    TKind Kind() const { return FKind; }
    TInventoryData &Data() const { return *FData; }
    TInventoryNode *Parent() const { return FParent; }
    const std::vector<std::unique_ptr<TInventoryNode>> &Children() const { return FChildren; }
    bool HasChildren() const { return !FChildren.empty(); }
    // Position among the parent's children.
    int Row() const { return FRow; }
    const QString &Text() const { return FText; }
    // 1 to 7: the state symbol shown beside the text.
    int StateImage() const { return FStateImage; }

private:
    friend class TInventoryTree;
    TInventoryNode(TKind kind, TInventoryData *data, std::unique_ptr<TInventoryData> owned);

    TKind FKind;
    TInventoryData *FData;
    std::unique_ptr<TInventoryData> FOwned;
    TInventoryNode *FParent = nullptr;
    std::vector<std::unique_ptr<TInventoryNode>> FChildren;
    int FRow = 0;
    QString FText;
    int FStateImage = 1;
};

// What the tree shows, from the main window's options.
struct TTreeOptions
{
    bool ShowVirtual = false;
    bool ShowPlaying = false;
    bool ShowPrices = false;
};

// The collection as a tree: race types, races, health groups and dice, then terrains by
// land. Each node shows owned and used counts, optionally dice in play and points, and a
// state symbol that tells whether copies are missing, owned or surplus.
class TInventoryTree
{
public:
    // Hears each step of a rebuild, for the status line.
    using TProgress = std::function<void(const QString &)>;

    TInventoryTree(TCatalogue &catalogue, const TKeepRules &rules);
    ~TInventoryTree();

    // Builds every node from the catalogue. The catalogue's items point back at their
    // nodes until the tree is cleared or rebuilt.
    void Build(const TTreeOptions &options, const TProgress &progress = {});
    void Clear();
    bool Built() const { return FRoot != nullptr; }
    TInventoryNode *Root() const { return FRoot.get(); }

    // Every node's counts, text and state, children before their parents.
    void Redisplay(const TTreeOptions &options);
    // The item's node and then each ancestor up to the root; answers the nodes redrawn.
    std::vector<TInventoryNode *> RedrawPath(const TInventoryData &item, const TTreeOptions &options);
    // Takes a die's node out (the die is about to be deleted) and recomputes its former
    // ancestors; answers the parent the node had, or none.
    TInventoryNode *RemoveDieNode(const TDie &die, const TTreeOptions &options);

    // The items the die count dialog walks: die and terrain nodes in display order.
    // Forward from a node to the next such node, wrapping at the end; backward to the
    // previous one, wrapping at the start. None when the tree has no such node.
    TInventoryNode *NextItem(const TInventoryNode *from);
    TInventoryNode *PreviousItem(const TInventoryNode *from);
    // The first die or terrain node at or below the node (from the root for none).
    TInventoryNode *FirstItemAtOrBelow(const TInventoryNode *node) const;

    // The text of a node as its counts and the options give it.
    static QString NodeText(const QString &displayName, qint64 count, qint64 used, qint64 inPlay, qint64 points,
                            qint32 price, bool leaf, const TTreeOptions &options);
    // The state symbol for a state class and whether copies are overcommitted.
    static int StateImageFor(int nodeState, bool overcommitted);

private:
    TInventoryNode &AddNode(TInventoryNode &parent, TInventoryNode::TKind kind, TInventoryData *data,
                            std::unique_ptr<TInventoryData> owned = {});
    TInventoryNode &AddGroup(TInventoryNode &parent, const QString &name);
    void RecomputeNode(TInventoryNode &node, const TTreeOptions &options);
    void RecomputeAll(TInventoryNode &node, const TTreeOptions &options);
    static void Renumber(TInventoryNode &node);
    void ForgetNodes(TInventoryNode &node);
    bool IsItem(const TInventoryNode &node) const;
    TInventoryNode *Step(const TInventoryNode *from, int direction);

    TCatalogue &FCatalogue;
    const TKeepRules &FRules;
    std::unique_ptr<TInventoryNode> FRoot;
    // Every node in display order, for the walks of the die count dialog.
    std::vector<TInventoryNode *> FItems;
    bool FItemsValid = false;
};
