#include "inventory/InventoryTree.h"

#include "dice/Catalogue.h"
#include "inventory/KeepRules.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace {

// The lands that have terrains, in the order the tree shows them.
constexpr std::array kTerrainLands{Land::Coastland, Land::Flatland, Land::Highland,
                                   Land::Swampland, Land::Wasteland, Land::Feyland};

quint32 ClampCount(qint64 value)
{
    return quint32(std::clamp<qint64>(value, 0, std::numeric_limits<quint32>::max()));
}

} // namespace

TInventoryNode::TInventoryNode(TKind kind, TInventoryData *data, std::unique_ptr<TInventoryData> owned)
    : FKind(kind), FData(data), FOwned(std::move(owned))
{
    if (FOwned)
        FData = FOwned.get();
}

TInventoryTree::TInventoryTree(TCatalogue &catalogue, const TKeepRules &rules) : FCatalogue(catalogue), FRules(rules)
{
}

TInventoryTree::~TInventoryTree()
{
    Clear();
}

void TInventoryTree::ForgetNodes(TInventoryNode &node)
{
    node.FData->TreeNode = nullptr;
    for (const auto &child : node.FChildren)
        ForgetNodes(*child);
}

void TInventoryTree::Clear()
{
    if (FRoot)
        ForgetNodes(*FRoot);
    FRoot.reset();
    FItems.clear();
    FItemsValid = false;
}

TInventoryNode &TInventoryTree::AddNode(TInventoryNode &parent, TInventoryNode::TKind kind, TInventoryData *data,
                                        std::unique_ptr<TInventoryData> owned)
{
    auto node = std::unique_ptr<TInventoryNode>(new TInventoryNode(kind, data, std::move(owned)));
    node->FParent = &parent;
    node->FRow = int(parent.FChildren.size());
    node->FData->TreeNode = node.get();
    parent.FChildren.push_back(std::move(node));
    return *parent.FChildren.back();
}

TInventoryNode &TInventoryTree::AddGroup(TInventoryNode &parent, const QString &name)
{
    return AddNode(parent, TInventoryNode::Group, nullptr, std::make_unique<TInventoryData>(name));
}

void TInventoryTree::Renumber(TInventoryNode &node)
{
    for (size_t i = 0; i < node.FChildren.size(); ++i)
        node.FChildren[i]->FRow = int(i);
}

void TInventoryTree::Build(const TTreeOptions &options, const TProgress &progress)
{
    auto say = [&](const QString &text) {
        if (progress)
            progress(text);
    };
    say(u"Building inventory tree..."_s);
    if (FRoot) {
        say(u"Releasing old tree data..."_s);
        Clear();
    }

    say(u"Inserting race types..."_s);
    FRoot = std::unique_ptr<TInventoryNode>(
        new TInventoryNode(TInventoryNode::Group, nullptr, std::make_unique<TInventoryData>(u"Dice"_s)));
    FRoot->FData->TreeNode = FRoot.get();
    std::array<TInventoryNode *, 5> types{};
    for (int t = 0; t < VocabularyCount<RaceType>(); ++t)
        types[size_t(t)] = &AddGroup(*FRoot, NameOf(RaceType(t)));

    say(u"Inserting races..."_s);
    std::unordered_map<const TRace *, std::array<TInventoryNode *, 10>> healthGroups;
    for (const auto &race : FCatalogue.Races()) {
        say(u"Inserting "_s + race->Name + u"..."_s);
        TInventoryNode &raceNode = AddNode(*types[size_t(race->Type)], TInventoryNode::Race, race.get());
        auto &groups = healthGroups[race.get()];
        for (size_t h = 0; h < groups.size(); ++h)
            groups[h] = &AddGroup(raceNode, QString::fromUtf16(kRarityNames[h]));
    }

    say(u"Inserting dice..."_s);
    TDieTraversal walk(FCatalogue);
    for (TDie *die = walk.First(); die; die = walk.Next()) {
        say(u"Inserting "_s + die->Name + u"..."_s);
        if (die->IsVirtual() && !options.ShowVirtual)
            continue;
        // Healths outside 1 to 10 go to the nearest group rather than out of sight.
        const int group = std::clamp(die->Health(), 1, 10) - 1;
        AddNode(*healthGroups[&die->Race()][size_t(group)], TInventoryNode::Die, die);
    }

    say(u"Inserting Terrains"_s);
    TInventoryNode &terrains = AddGroup(*FRoot, u"Terrains"_s);
    std::unordered_map<int, std::pair<TInventoryNode *, TInventoryNode *>> byLand;
    for (Land land : kTerrainLands) {
        TInventoryNode &landNode = AddGroup(terrains, NameOf(land));
        TInventoryNode &major = AddGroup(landNode, u"Major"_s);
        TInventoryNode &minor = AddGroup(landNode, u"Minor"_s);
        byLand[int(land)] = {&major, &minor};
    }
    say(u"Inserting Major Terrains..."_s);
    for (int i = 0; i < TTerrain::kMajorCount; ++i) {
        if (TTerrain *terrain = FCatalogue.MajorTerrain(i))
            AddNode(*byLand[int(terrain->TerrainLand())].first, TInventoryNode::Terrain, terrain);
    }
    say(u"Inserting Minor Terrains..."_s);
    for (int i = 0; i < TTerrain::kMinorCount; ++i) {
        if (TTerrain *terrain = FCatalogue.MinorTerrain(i))
            AddNode(*byLand[int(terrain->TerrainLand())].second, TInventoryNode::Terrain, terrain);
    }

    say(u"Performing cleanup..."_s);
    for (const auto &race : FCatalogue.Races()) {
        say(u"Sorting "_s + race->Name + u"..."_s);
        TInventoryNode &raceNode = *race->TreeNode;
        for (TInventoryNode *group : healthGroups[race.get()]) {
            std::stable_sort(group->FChildren.begin(), group->FChildren.end(), [](const auto &a, const auto &b) {
                const auto &first = static_cast<const TDie &>(a->Data());
                const auto &second = static_cast<const TDie &>(b->Data());
                if (first.GetProfession() != second.GetProfession())
                    return first.GetProfession() < second.GetProfession();
                return first.Name.compare(second.Name, Qt::CaseInsensitive) < 0;
            });
            Renumber(*group);
        }
        // Health groups without dice are not shown.
        auto &children = raceNode.FChildren;
        children.erase(std::remove_if(children.begin(), children.end(),
                                      [](const auto &group) { return !group->HasChildren(); }),
                       children.end());
        Renumber(raceNode);
    }
    for (TInventoryNode *typeNode : types) {
        say(u"Sorting "_s + typeNode->Data().Name + u"..."_s);
        std::stable_sort(typeNode->FChildren.begin(), typeNode->FChildren.end(), [](const auto &a, const auto &b) {
            return a->Data().Name.compare(b->Data().Name, Qt::CaseInsensitive) < 0;
        });
        Renumber(*typeNode);
    }
    FItemsValid = false;
}

QString TInventoryTree::NodeText(const QString &displayName, qint64 count, qint64 used, qint64 inPlay, qint64 points,
                                 qint32 price, bool leaf, const TTreeOptions &options)
{
    QString text = displayName + u" ("_s + QString::number(count) + u'/' + QString::number(used);
    if (inPlay > 0 && options.ShowPlaying)
        text += u" ["_s + QString::number(inPlay) + u']';
    if (options.ShowPrices)
        text += u", "_s + QString::number(points) + u"pts"_s;
    else if (leaf)
        text += u", "_s + QString::number(price) + u"pts"_s;
    return text + u')';
}

int TInventoryTree::StateImageFor(int nodeState, bool overcommitted)
{
    static constexpr std::array<std::array<int, 2>, 4> kImages{{{1, 4}, {2, 5}, {3, 6}, {7, 6}}};
    return kImages[size_t(std::clamp(nodeState, 0, 3))][overcommitted ? 1 : 0];
}

void TInventoryTree::RecomputeNode(TInventoryNode &node, const TTreeOptions &options)
{
    TInventoryData &data = node.Data();
    qint64 count = 0;
    qint64 used = 0;
    qint64 inPlay = 0;
    if (!node.HasChildren() && node.Kind() == TInventoryNode::Group) {
        // A group's record only ever holds the sums of its children: with none left, none.
        data.Count = 0;
        data.UsedCount = 0;
        data.InPlayCount = 0;
    }
    if (!node.HasChildren()) {
        count = data.Count;
        used = data.UsedCount;
        inPlay = data.InPlayCount;
        data.NodeState = data.Count == 0 ? 0 : Surplus(data, FRules) > 0 ? 3 : 2;
        data.TotalPoints = qint64(data.Price()) * data.Count;
        data.Overcommitted = data.Count < data.UsedCount;
    } else {
        qint64 points = 0;
        bool overcommitted = false;
        bool allMissing = true;
        bool allSurplus = true;
        bool anyShort = false;
        for (const auto &child : node.FChildren) {
            const TInventoryData &item = child->Data();
            count += item.Count;
            used += item.UsedCount;
            inPlay += item.InPlayCount;
            points += item.TotalPoints;
            overcommitted = overcommitted || item.Overcommitted;
            allMissing = allMissing && item.NodeState == 0;
            allSurplus = allSurplus && item.NodeState == 3;
            anyShort = anyShort || item.NodeState <= 1;
        }
        data.Count = ClampCount(count);
        data.UsedCount = ClampCount(used);
        data.InPlayCount = qint32(std::clamp<qint64>(inPlay, 0, std::numeric_limits<qint32>::max()));
        data.TotalPoints = points;
        data.Overcommitted = overcommitted;
        data.NodeState = allMissing ? 0 : allSurplus ? 3 : anyShort ? 1 : 2;
    }
    const QString name = node.Kind() == TInventoryNode::Die ? data.ShortText() : data.Name;
    node.FText = NodeText(name, count, used, inPlay, data.TotalPoints, data.Price(), !node.HasChildren(), options);
    node.FStateImage = StateImageFor(data.NodeState, data.Overcommitted);
}

void TInventoryTree::RecomputeAll(TInventoryNode &node, const TTreeOptions &options)
{
    for (const auto &child : node.FChildren)
        RecomputeAll(*child, options);
    RecomputeNode(node, options);
}

void TInventoryTree::Redisplay(const TTreeOptions &options)
{
    if (FRoot)
        RecomputeAll(*FRoot, options);
}

std::vector<TInventoryNode *> TInventoryTree::RedrawPath(const TInventoryData &item, const TTreeOptions &options)
{
    std::vector<TInventoryNode *> redrawn;
    for (TInventoryNode *node = item.TreeNode; node && FRoot; node = node->FParent) {
        RecomputeNode(*node, options);
        redrawn.push_back(node);
    }
    return redrawn;
}

TInventoryNode *TInventoryTree::RemoveDieNode(const TDie &die, const TTreeOptions &options)
{
    TInventoryNode *node = die.TreeNode;
    if (!node || !node->FParent)
        return nullptr;
    TInventoryNode *parent = node->FParent;
    ForgetNodes(*node);
    auto &siblings = parent->FChildren;
    siblings.erase(siblings.begin() + node->FRow);
    Renumber(*parent);
    FItemsValid = false;
    for (TInventoryNode *ancestor = parent; ancestor; ancestor = ancestor->FParent)
        RecomputeNode(*ancestor, options);
    return parent;
}

bool TInventoryTree::IsItem(const TInventoryNode &node) const
{
    return node.Kind() == TInventoryNode::Die || node.Kind() == TInventoryNode::Terrain;
}

TInventoryNode *TInventoryTree::FirstItemAtOrBelow(const TInventoryNode *node) const
{
    const TInventoryNode *start = node ? node : FRoot.get();
    if (!start)
        return nullptr;
    if (IsItem(*start))
        return const_cast<TInventoryNode *>(start);
    for (const auto &child : start->FChildren) {
        if (TInventoryNode *found = FirstItemAtOrBelow(child.get()))
            return found;
    }
    return nullptr;
}

namespace {

void CollectInOrder(TInventoryNode &node, std::vector<TInventoryNode *> &order)
{
    order.push_back(&node);
    for (const auto &child : node.Children())
        CollectInOrder(*child, order);
}

} // namespace

TInventoryNode *TInventoryTree::NextItem(const TInventoryNode *from)
{
    return Step(from, +1);
}

TInventoryNode *TInventoryTree::PreviousItem(const TInventoryNode *from)
{
    return Step(from, -1);
}

TInventoryNode *TInventoryTree::Step(const TInventoryNode *from, int direction)
{
    if (!FRoot || !from)
        return nullptr;
    if (!FItemsValid) {
        FItems.clear();
        CollectInOrder(*FRoot, FItems);
        FItemsValid = true;
    }
    const auto at = std::find(FItems.begin(), FItems.end(), from);
    if (at == FItems.end())
        return nullptr;
    const auto size = qsizetype(FItems.size());
    qsizetype index = at - FItems.begin();
    // Around the whole tree at most once: a tree without dice or terrains has no next item.
    for (qsizetype step = 0; step < size; ++step) {
        index = (index + direction + size) % size;
        if (IsItem(*FItems[size_t(index)]))
            return FItems[size_t(index)];
    }
    return nullptr;
}
