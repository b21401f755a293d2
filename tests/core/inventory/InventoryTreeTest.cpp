#include "inventory/InventoryTree.h"
#include "TestSupport.h"
#include "dice/Catalogue.h"
#include "inventory/KeepRules.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class InventoryTreeTest : public ::testing::Test
{
protected:
    TRace &AddRace(const QString &name, RaceType type)
    {
        auto race = Catalogue.CreateRace();
        race->Name = name;
        race->Type = type;
        return Catalogue.InsertRace(std::move(race));
    }

    static QStringList Names(const TInventoryNode &node)
    {
        QStringList names;
        for (const auto &child : node.Children())
            names << child->Data().Name;
        return names;
    }

    TCatalogue Catalogue;
    TKeepRules Rules;
};

} // namespace

TEST_F(InventoryTreeTest, ShapeOfTheTree)
{
    TRace &reed = AddRace(u"reedfolk"_s, RaceType::NormalUnits);
    AddRace(u"Ashen"_s, RaceType::NormalUnits);
    AddRace(u"Baubles"_s, RaceType::MagicItems);
    AddDie(reed, u"wader"_s, 1, Profession::Mage);
    AddDie(reed, u"Gull"_s, 1, Profession::Archer);
    AddDie(reed, u"eel"_s, 1, Profession::Archer);
    AddDie(reed, u"Heron"_s, 4, Profession::Cavalry);
    AddDie(reed, u"Odd"_s, 0, Profession::Cavalry); // no health group of its own: the first
    Catalogue.MakeTerrains();

    TInventoryTree tree(Catalogue, Rules);
    QStringList steps;
    tree.Build({}, [&](const QString &step) { steps << step; });
    EXPECT_EQ(steps.mid(0, 3),
              (QStringList{u"Building inventory tree..."_s, u"Inserting race types..."_s, u"Inserting races..."_s}));
    EXPECT_TRUE(steps.contains(u"Inserting Heron..."_s));
    EXPECT_TRUE(steps.contains(u"Inserting Terrains"_s));
    EXPECT_EQ(steps.last(), u"Sorting Misprints...");

    const TInventoryNode &root = *tree.Root();
    EXPECT_EQ(root.Data().Name, u"Dice");
    EXPECT_EQ(Names(root), (QStringList{u"Normal Units"_s, u"Magic Items"_s, u"Dragonkin"_s, u"Eldarim"_s,
                                        u"Misprints"_s, u"Terrains"_s}));
    // Races sorted by name without regard to case; a race without dice has no groups.
    const TInventoryNode &normal = *root.Children()[0];
    EXPECT_EQ(Names(normal), (QStringList{u"Ashen"_s, u"reedfolk"_s}));
    EXPECT_FALSE(normal.Children()[0]->HasChildren());
    const TInventoryNode &reedNode = *normal.Children()[1];
    EXPECT_EQ(reedNode.Kind(), TInventoryNode::Race);
    EXPECT_EQ(reed.TreeNode, &reedNode);
    EXPECT_EQ(Names(reedNode), (QStringList{u"Common"_s, u"Special"_s}));
    // Dice by profession, then by name without regard to case.
    EXPECT_EQ(Names(*reedNode.Children()[0]), (QStringList{u"eel"_s, u"Gull"_s, u"Odd"_s, u"wader"_s}));
    EXPECT_EQ(reedNode.Children()[0]->Children()[1]->Row(), 1);

    const TInventoryNode &terrains = *root.Children()[5];
    EXPECT_EQ(Names(terrains), (QStringList{u"Coastland"_s, u"Flatland"_s, u"Highland"_s, u"Swampland"_s,
                                            u"Wasteland"_s, u"Feyland"_s}));
    const TInventoryNode &swamp = *terrains.Children()[3];
    EXPECT_EQ(Names(swamp), (QStringList{u"Major"_s, u"Minor"_s}));
    EXPECT_EQ(swamp.Children()[0]->Children().size(), 8u);
    EXPECT_EQ(Names(*swamp.Children()[1]), (QStringList{u"Swampland Bridge"_s, u"Swampland Forest"_s,
                                                        u"Swampland Knoll"_s, u"Swampland Village"_s}));
    EXPECT_EQ(swamp.Children()[0]->Children()[4]->Data().Name, u"Swampland Castle");

    // Clearing forgets every item's node.
    tree.Clear();
    EXPECT_EQ(reed.TreeNode, nullptr);
    EXPECT_EQ(Catalogue.MinorTerrain(0)->TreeNode, nullptr);
}

TEST_F(InventoryTreeTest, TextsAndStates)
{
    TRace &race = AddRace(u"R"_s, RaceType::NormalUnits);
    TDie &x = AddDie(race, u"X"_s, 2, Profession::Archer);
    TDie &y = AddDie(race, u"Y"_s, 1, Profession::Archer);
    TDie &z = AddDie(race, u"Z"_s, 1, Profession::Mage);
    Catalogue.MakeTerrains();
    TInventoryTree tree(Catalogue, Rules);
    tree.Build({});
    tree.Redisplay({});
    const TInventoryNode &common = *y.TreeNode->Parent();

    // Nothing owned anywhere: every state is "missing".
    EXPECT_EQ(y.TreeNode->Text(), u"Y, Archer (0/0, 2pts)");
    EXPECT_EQ(y.TreeNode->StateImage(), 1);
    EXPECT_EQ(common.StateImage(), 1);
    EXPECT_EQ(common.Text(), u"Common (0/0)");

    x.Count = 3;
    x.UsedCount = 1;
    x.SetPrice(4);
    y.Count = 10; // 2 over the keep value of 8: surplus
    y.InPlayCount = 2;
    z.Count = 8; // exactly what is kept
    tree.Redisplay({});
    EXPECT_EQ(x.TreeNode->Text(), u"X, Archer (3/1, 4pts)");
    EXPECT_EQ(y.TreeNode->StateImage(), 7);
    EXPECT_EQ(z.TreeNode->StateImage(), 3);
    // A group with one surplus and one owned child is owned; prices off: no points.
    EXPECT_EQ(common.Text(), u"Common (18/0)");
    EXPECT_EQ(common.StateImage(), 3);
    EXPECT_EQ(race.TreeNode->Text(), u"R (21/1)");

    const TTreeOptions both{false, true, true};
    tree.Redisplay(both);
    EXPECT_EQ(race.TreeNode->Text(), u"R (21/1 [2], 48pts)");
    EXPECT_EQ(x.TreeNode->Text(), u"X, Archer (3/1, 12pts)");

    // More used than owned marks the die and every group above it.
    z.UsedCount = 9;
    const std::vector<TInventoryNode *> path = tree.RedrawPath(z, both);
    ASSERT_EQ(path.size(), 5u); // die, health group, race, race type, root
    EXPECT_EQ(path.front(), z.TreeNode);
    EXPECT_EQ(path.back(), tree.Root());
    EXPECT_EQ(z.TreeNode->StateImage(), 6);
    EXPECT_EQ(race.TreeNode->StateImage(), 6);
    EXPECT_TRUE(tree.Root()->Data().Overcommitted);

    EXPECT_EQ(TInventoryTree::StateImageFor(0, true), 4);
    EXPECT_EQ(TInventoryTree::StateImageFor(1, false), 2);
    EXPECT_EQ(TInventoryTree::StateImageFor(1, true), 5);
    EXPECT_EQ(TInventoryTree::StateImageFor(3, true), 6);
}

TEST_F(InventoryTreeTest, WalkingItemsAndRemovingDice)
{
    TRace &race = AddRace(u"R"_s, RaceType::NormalUnits);
    TDie &first = AddDie(race, u"A"_s, 1, Profession::Archer);
    TDie &last = AddDie(race, u"B"_s, 3, Profession::Archer);
    Catalogue.MakeTerrains();
    TInventoryTree tree(Catalogue, Rules);
    tree.Build({});
    tree.Redisplay({});

    EXPECT_EQ(tree.FirstItemAtOrBelow(nullptr), first.TreeNode);
    EXPECT_EQ(tree.FirstItemAtOrBelow(race.TreeNode), first.TreeNode);
    EXPECT_EQ(tree.NextItem(first.TreeNode), last.TreeNode);
    // After the last die comes the first terrain (Coastland's first major); after the
    // last terrain the first die again, and backwards the same way round.
    TInventoryNode *firstTerrain = tree.NextItem(last.TreeNode);
    ASSERT_NE(firstTerrain, nullptr);
    EXPECT_EQ(firstTerrain->Data().Name, u"Coastland City");
    const TInventoryNode *lastTerrain = tree.PreviousItem(first.TreeNode);
    ASSERT_NE(lastTerrain, nullptr);
    EXPECT_EQ(lastTerrain->Data().Name, u"Feyland Village");
    EXPECT_EQ(tree.NextItem(lastTerrain), first.TreeNode);
    EXPECT_EQ(tree.PreviousItem(firstTerrain), last.TreeNode);

    // A die about to be deleted leaves the tree; its group recounts.
    last.Count = 4;
    tree.Redisplay({});
    TInventoryNode *group = tree.RemoveDieNode(last, {});
    EXPECT_EQ(last.TreeNode, nullptr);
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->HasChildren());
    EXPECT_EQ(race.TreeNode->Text(), u"R (0/0)");
    EXPECT_EQ(tree.NextItem(first.TreeNode), firstTerrain);
    EXPECT_EQ(tree.RemoveDieNode(last, {}), nullptr);
}
