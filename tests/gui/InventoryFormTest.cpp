#include "MainFixture.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "editors/RaceData.h"
#include "inventory/CollectionCsv.h"
#include "inventory/InventoryForm.h"
#include "inventory/InventoryTreeModel.h"
#include "inventory/TradeData.h"
#include "io/MemoryStream.h"
#include "io/TaggedStream.h"
#include "reports/DieCount.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A catalogue of two races: Reedfolk (Gull, Heron of health 1 and 3) and Stonekin (Pebble).
class InventoryFormTest : public TMainFixture
{
protected:
    InventoryFormTest()
    {
        TCatalogue catalogue;
        auto reed = catalogue.CreateRace();
        reed->Name = u"Reedfolk"_s;
        for (const auto &[name, health] : {std::pair{u"Gull"_s, 1}, std::pair{u"Heron"_s, 3}}) {
            auto die = std::make_unique<TDie>(*reed, name);
            die->SetHealth(health);
            die->SetProfession(Profession::Archer);
            reed->AddDie(std::move(die));
        }
        catalogue.InsertRace(std::move(reed));
        auto stone = catalogue.CreateRace();
        stone->Name = u"Stonekin"_s;
        stone->AddDie(std::make_unique<TDie>(*stone, u"Pebble"_s));
        catalogue.InsertRace(std::move(stone));
        WriteCatalogue(catalogue);
        Settings.WriteText(u"ArmyDir"_s, Data.path());
        Settings.WriteText(u"InventoryFile"_s, Data.filePath(u"Collection.KRI"_s));
    }

    TfrmInventory &Open()
    {
        if (!Main)
            Start();
        Main->ShowInventory();
        return *Main->InventoryForm();
    }

    TDie &Die(const QString &race, int position)
    {
        for (const auto &each : Main->Catalogue().Races()) {
            if (each->Name == race)
                return *each->Die(position);
        }
        throw TKrException(u"no race "_s + race);
    }

    void Select(TfrmInventory &form, const TInventoryData &item)
    {
        const auto *model = static_cast<const TInventoryTreeModel *>(form.TreeView().model());
        form.TreeView().setCurrentIndex(model->IndexOf(item.TreeNode));
    }

    QAction &FormItem(TfrmInventory &form, const QString &name) { return *form.findChild<QAction *>(name); }

    void Type(TfrmInventory &form, const QString &text, int key = 0)
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&form.TreeView(), &press);
    }
};

} // namespace

TEST_F(InventoryFormTest, FirstActivationBuildsTheTree)
{
    Start();
    EXPECT_FALSE(Item(u"mnuOptionsShowPrices"_s).isVisible());
    EXPECT_FALSE(Item(u"mnuOptionsShowPlay"_s).isVisible());
    TfrmInventory &form = Open();
    EXPECT_TRUE(form.TreeValid());
    EXPECT_FALSE(form.FirstActivation());
    EXPECT_TRUE(Item(u"mnuOptionsShowPrices"_s).isVisible());
    EXPECT_TRUE(Item(u"mnuOptionsShowPlay"_s).isVisible());
    EXPECT_EQ(form.StatusText(), u"Redisplay complete.");
    EXPECT_EQ(Main->StatusText(), u"Inventory tree redisplayed.");
    EXPECT_EQ(Die(u"Reedfolk"_s, 1).TreeNode->Text(), u"Gull, Archer (0/0, 2pts)");

    // Each node shows its state beside the symbol of its kind.
    const auto *model = static_cast<const TInventoryTreeModel *>(form.TreeView().model());
    const auto iconOf = [model](const TInventoryData &item) {
        return model->data(model->IndexOf(item.TreeNode), Qt::DecorationRole).value<QIcon>().cacheKey();
    };
    const TInventoryData &gull = Die(u"Reedfolk"_s, 1);
    const TInventoryData &reedfolk = gull.TreeNode->Parent()->Parent()->Data();
    EXPECT_EQ(iconOf(gull), TInventoryTreeModel::NodeIcon(TInventoryNode::Die, gull.TreeNode->StateImage()).cacheKey());
    EXPECT_EQ(iconOf(reedfolk),
              TInventoryTreeModel::NodeIcon(TInventoryNode::Race, reedfolk.TreeNode->StateImage()).cacheKey());
    EXPECT_NE(TInventoryTreeModel::NodeIcon(TInventoryNode::Die, 1).cacheKey(),
              TInventoryTreeModel::NodeIcon(TInventoryNode::Race, 1).cacheKey());
    EXPECT_NE(TInventoryTreeModel::NodeIcon(TInventoryNode::Die, 1).cacheKey(),
              TInventoryTreeModel::NodeIcon(TInventoryNode::Die, 3).cacheKey());
    EXPECT_EQ(form.TreeView().iconSize(), TInventoryTreeModel::kIconSize);

    // A race change marks the tree out of date; the next activation rebuilds it.
    Main->Catalogue().Races().front()->Die(1)->Name = u"Sea Gull"_s;
    Main->MarkRacesChanged();
    EXPECT_FALSE(form.TreeValid());
    form.Activate();
    EXPECT_EQ(Die(u"Reedfolk"_s, 1).TreeNode->Text(), u"Sea Gull, Archer (0/0, 2pts)");

    // "Show Prices" rebuilds and every node shows its points.
    Die(u"Reedfolk"_s, 2).Count = 2;
    Item(u"mnuOptionsShowPrices"_s).trigger();
    EXPECT_EQ(Main->Catalogue().Races().front()->TreeNode->Text(), u"Reedfolk (2/0, 4pts)");
}

TEST_F(InventoryFormTest, ReloadQuestionAtFirstActivation)
{
    Start();
    TDie &heron = Die(u"Reedfolk"_s, 2);
    TInventory probe(Main->Catalogue(), Main->Clock());
    heron.Count = 5;
    heron.Drawer = u"B2"_s;
    WriteFile(Data.filePath(u"Collection.KRI"_s), WriteToBytes([&](TTaggedWriter &w) { probe.WriteStream(w); }));
    heron.Count = 0;
    heron.Drawer.clear();

    Prompts.ExpectAsk(u"Reload inventory from "_s + Data.filePath(u"Collection.KRI"_s) + u'?', TAnswer::Yes);
    TfrmInventory &form = Open();
    EXPECT_EQ(heron.Count, 5u);
    EXPECT_EQ(heron.Drawer, u"B2");
    EXPECT_EQ(form.Inventory().InventoryFileName, Data.filePath(u"Collection.KRI"_s));
    EXPECT_EQ(form.Inventory().InventoryLogName, Data.filePath(u"Collection.log"_s));
    EXPECT_FALSE(form.Inventory().InventoryModified);
    EXPECT_EQ(heron.TreeNode->Text(), u"Heron, Archer (5/0, 2pts)");
}

TEST_F(InventoryFormTest, TheFirstReloadIsNoLaterOne)
{
    // A collection whose trade sends away two Gulls that are not owned.
    Start();
    TDie &gull = Die(u"Reedfolk"_s, 1);
    {
        TInventory probe(Main->Catalogue(), Main->Clock());
        TTrade &trade = probe.CreateTrade(u"Trader"_s);
        trade.SetUseTradeOuts(true);
        trade.AppendLine(gull, -2);
        WriteFile(Data.filePath(u"Collection.KRI"_s), WriteToBytes([&](TTaggedWriter &w) { probe.WriteStream(w); }));
        probe.FreeTrades();
    }
    ASSERT_EQ(gull.UsedCount, 0u);
    Statuses.clear();
    Prompts.ExpectAsk(u"Reload inventory from "_s + Data.filePath(u"Collection.KRI"_s) + u'?', TAnswer::Yes);
    TfrmInventory &form = Open();
    EXPECT_EQ(gull.UsedCount, 2u);
    EXPECT_EQ(Prompts.Beeps, 0);
    EXPECT_FALSE(Statuses.contains(u"Gull inventory limit exceeded!"_s));
    EXPECT_FALSE(form.FirstActivation());
    // Once the collection is up, the limit is told again.
    Main->Catalogue().AddUsed(gull, 1);
    EXPECT_EQ(Prompts.Beeps, 1);
    EXPECT_EQ(Main->StatusText(), u"Gull inventory limit exceeded!");
    Main->Catalogue().AddUsed(gull, -1);
}

TEST_F(InventoryFormTest, StatusesOutliveTheDialogsOfItsCommands)
{
    TfrmInventory &form = Open();
    auto *frame = qobject_cast<QMdiSubWindow *>(form.parentWidget());
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(Main->MdiArea()->activeSubWindow(), frame);
    Prompts.ExpectSave(TFileChoice{{Data.filePath(u"Mine.KRI"_s)}, 1});
    FormItem(form, u"mnuInvSaveAs"_s).trigger();
    const QString saved = u"Inventory saved to "_s + Data.filePath(u"Mine.KRI"_s) + u'.';
    ASSERT_EQ(form.StatusText(), saved);
    Main->ShowStatus(u"Marker."_s);
    // The MDI area activates the window again once the save dialog has gone (offscreen it
    // does not): the tree is not redisplayed over the statuses.
    emit Main->MdiArea()->subWindowActivated(frame);
    EXPECT_EQ(form.StatusText(), saved);
    EXPECT_EQ(Main->StatusText(), u"Marker.");
    // Coming back from another window is an activation.
    Main->ShowRaceForm();
    Main->MdiArea()->setActiveSubWindow(frame);
    EXPECT_EQ(form.StatusText(), u"Redisplay complete.");
}

TEST_F(InventoryFormTest, OnlyAKeptInventoryFileIsOffered)
{
    // A file of the default name in the working folder is not the user's collection.
    const QString before = QDir::currentPath();
    QDir::setCurrent(Data.path());
    Settings.Remove(u"InventoryFile"_s);
    WriteFile(Data.filePath(u"Collection.KRI"_s), QByteArray());
    TfrmInventory &form = Open();
    QDir::setCurrent(before);
    EXPECT_TRUE(Prompts.Transcript.isEmpty());
    EXPECT_TRUE(form.Inventory().InventoryFileName.isEmpty());
}

TEST_F(InventoryFormTest, SelectionMenusAndKeys)
{
    TfrmInventory &form = Open();
    TDie &gull = Die(u"Reedfolk"_s, 1);
    Select(form, gull);
    EXPECT_EQ(form.CurrentDie(), &gull);
    EXPECT_EQ(form.CurrentRace(), &gull.Race());
    EXPECT_EQ(FormItem(form, u"mnuInvIncrease"_s).text(), u"&Increase Gull");
    EXPECT_TRUE(FormItem(form, u"mnuInvTradeIn"_s).isVisible());
    EXPECT_EQ(FormItem(form, u"mnuInvTradeOut"_s).text(), u"Trade Gull &Out");
    EXPECT_EQ(FormItem(form, u"mnuInvView"_s).text(), u"&View Gull");
    EXPECT_TRUE(FormItem(form, u"mnuInvAddToArmy"_s).isVisible());
    EXPECT_FALSE(FormItem(form, u"mnuInvAddToArmy"_s).isEnabled());
    EXPECT_EQ(form.StatusText(), u"Inventory surplus for Gull is -8.");
    Type(form, u"?"_s);
    EXPECT_EQ(form.StatusText(), u"Race 0, Die 0");

    // The pop-up copies the Edit menu as it stands.
    QMenu &popup = form.Popup();
    EXPECT_EQ(popup.actions().at(1)->text(), u"&Increase Gull");

    // A race: "View" and "Propagate Drawers" name it; the item last chosen stays current.
    Select(form, gull.Race());
    EXPECT_EQ(form.CurrentDie(), nullptr);
    EXPECT_EQ(form.CurrentItem(), &gull);
    EXPECT_EQ(FormItem(form, u"mnuInvIncrease"_s).text(), u"&Increase Gull");
    EXPECT_EQ(FormItem(form, u"mnuInvView"_s).text(), u"&View Reedfolk");
    EXPECT_EQ(FormItem(form, u"mnuInvPropagate"_s).text(), u"&Propagate Drawers from Reedfolk");
    EXPECT_FALSE(FormItem(form, u"mnuInvAddToArmy"_s).isVisible());
    const QString before = form.StatusText();
    Type(form, u"?"_s);
    EXPECT_EQ(form.StatusText(), before);

    // A group above every race: nothing to view.
    form.SelectNewNode(form.Tree().Root());
    EXPECT_FALSE(FormItem(form, u"mnuInvView"_s).isEnabled());
    EXPECT_EQ(FormItem(form, u"mnuInvTradeUsing"_s).text(), u"Next Trade &Using Die");
    form.ViewDetails();
    EXPECT_EQ(form.StatusText(), u"Nothing to display from this node.");
    EXPECT_EQ(Prompts.Beeps, 1);
}

TEST_F(InventoryFormTest, EditKeysAnswerOnGroupNodesToo)
{
    TfrmInventory &form = Open();
    QApplication::setActiveWindow(Main.get());
    TDie &gull = Die(u"Reedfolk"_s, 1);
    TDie &heron = Die(u"Reedfolk"_s, 2);
    QTreeView &tree = form.TreeView();
    tree.setFocus();
    // The health group above Heron, then the race, then nothing at all.
    for (TInventoryNode *node : {heron.TreeNode->Parent(), gull.Race().TreeNode, static_cast<TInventoryNode *>(nullptr)}) {
        const auto *model = static_cast<const TInventoryTreeModel *>(tree.model());
        tree.setCurrentIndex(node ? model->IndexOf(node) : QModelIndex());
        ASSERT_EQ(form.CurrentNode(), node);
        ASSERT_EQ(form.CurrentItem(), nullptr);
        ASSERT_FALSE(FormItem(form, u"mnuInvIncrease"_s).isVisible());
        // The focus comes back to the tree from the dialog as it would on a desktop.
        QApplication::setActiveWindow(Main.get());
        tree.setFocus();

        const int beeps = Prompts.Beeps;
        QTest::keyClick(&tree, Qt::Key_Insert, Qt::ShiftModifier);
        EXPECT_EQ(Prompts.Beeps, beeps + 1);
        EXPECT_EQ(form.StatusText(), u"No die selected.");
        form.ShowStatus(QString());
        QTest::keyClick(&tree, Qt::Key_Delete, Qt::ShiftModifier);
        EXPECT_EQ(Prompts.Beeps, beeps + 2);
        EXPECT_EQ(form.StatusText(), u"No die selected.");

        // F2 opens the die count dialog on the first die at or below the node.
        QString shown;
        QTimer::singleShot(0, &form, [&] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            shown = dialog->findChild<QLineEdit *>(u"txtName"_s)->text();
            dialog->reject();
        });
        QTest::keyClick(&tree, Qt::Key_F2);
        EXPECT_EQ(shown, node == heron.TreeNode->Parent() ? u"Heron"_s : u"Gull"_s);
    }
    EXPECT_EQ(gull.Count + heron.Count, 0u);

    // On a die the menu items hold the keys themselves.
    Select(form, gull);
    QApplication::setActiveWindow(Main.get());
    tree.setFocus();
    QTest::keyClick(&tree, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(gull.Count, 1u);
}

TEST_F(InventoryFormTest, CountsNeverGoBelowZero)
{
    TfrmInventory &form = Open();
    TDie &gull = Die(u"Reedfolk"_s, 1);
    Select(form, gull);
    form.DecreaseCount();
    EXPECT_EQ(gull.Count, 0u);
    EXPECT_EQ(Prompts.Beeps, 1);
    EXPECT_EQ(form.StatusText(), u"There are no copies of Gull to take away; the count stays 0.");
    form.IncreaseCount();
    form.IncreaseCount();
    EXPECT_EQ(gull.Count, 2u);
    EXPECT_TRUE(form.Inventory().InventoryModified);
    EXPECT_TRUE(FormItem(form, u"mnuInvSave"_s).isEnabled());
    EXPECT_EQ(gull.TreeNode->Text(), u"Gull, Archer (2/0, 2pts)");
    EXPECT_EQ(gull.TreeNode->Parent()->Text(), u"Common (2/0)");

    // Nor above the largest count a file holds.
    form.Inventory().SetItemCount(gull, 4294967295LL);
    form.IncreaseCount();
    EXPECT_EQ(gull.Count, 4294967295u);
    EXPECT_EQ(Prompts.Beeps, 2);
    EXPECT_EQ(form.StatusText(), u"The count of Gull cannot go higher; it stays 4294967295.");
    form.Inventory().SetItemCount(gull, 2);

    form.SelectNewNode(nullptr);
    form.IncreaseCount();
    EXPECT_EQ(form.StatusText(), u"No die selected.");

    // More copies used than owned: a beep and a word on the main status line.
    Main->Catalogue().AddUsed(gull, 3);
    EXPECT_EQ(Main->StatusText(), u"Gull inventory limit exceeded!");
    EXPECT_EQ(gull.TreeNode->StateImage(), 6);
    Prompts.CheckAllUsed();
    Main->Catalogue().AddUsed(gull, -3);

    // Leaving the program asks about the unsaved collection first.
    Prompts.ExpectSave(std::nullopt);
    Prompts.ExpectAsk(u"Close inventory without saving?"_s, TAnswer::No);
    EXPECT_FALSE(Main->RequestClose());
    EXPECT_EQ(form.StatusText(), u"Inventory save aborted by user.");
    // Closing without saving leaves nothing to save.
    Prompts.ExpectSave(std::nullopt);
    Prompts.ExpectAsk(u"Close inventory without saving?"_s, TAnswer::Yes);
    EXPECT_TRUE(form.QuerySaveInventory());
    EXPECT_FALSE(FormItem(form, u"mnuInvSave"_s).isEnabled());
}

TEST_F(InventoryFormTest, SavingLoadingAndClearing)
{
    TfrmInventory &form = Open();
    TDie &gull = Die(u"Reedfolk"_s, 1);
    TDie &pebble = Die(u"Stonekin"_s, 1);
    Select(form, gull);
    form.IncreaseCount();
    pebble.Drawer = u"Top"_s;
    const QString path = Data.filePath(u"Mine.kri"_s);
    Prompts.ExpectSave(TFileChoice{{path}, 1});
    form.SaveInventory();
    EXPECT_EQ(Prompts.LastFileDialog.Title, u"Save Inventory");
    EXPECT_EQ(Prompts.LastFileDialog.FileName, u"ArmyDice.KRI");
    EXPECT_EQ(Prompts.LastFileDialog.Filter,
              u"KR Inventory Files|*.kri|KR Price Files|*.krp|KR Trade File|*.btr|All Files|*.*");
    EXPECT_EQ(form.StatusText(), u"Inventory saved to "_s + path + u'.');
    EXPECT_EQ(Settings.Text(u"InventoryFile"_s), path);
    EXPECT_FALSE(form.Inventory().InventoryModified);

    // Changed and not saved: Cancel keeps everything, No lets the load go on.
    form.IncreaseCount();
    Prompts.ExpectAsk(u"Save changes to "_s + path + u'?', TAnswer::Cancel);
    form.LoadInventory();
    EXPECT_EQ(gull.Count, 2u);
    Prompts.ExpectAsk(u"Save changes to "_s + path + u'?', TAnswer::No);
    Prompts.ExpectOpen(TFileChoice{{path}, 1});
    form.LoadInventory();
    EXPECT_EQ(Prompts.LastFileDialog.Title, u"Load Inventory");
    EXPECT_EQ(gull.Count, 1u);
    EXPECT_EQ(form.StatusText(), u"Redisplay complete.");

    Prompts.ExpectOpen(std::nullopt);
    form.LoadInventory();
    EXPECT_EQ(form.StatusText(), u"Inventory load cancelled.");

    // A damaged file: the failure stays on both status lines after the tree is shown.
    const QString damaged = Data.filePath(u"damaged.kri"_s);
    WriteFile(damaged, FileBytes(path).left(9));
    Prompts.ExpectOpen(TFileChoice{{damaged}, 1});
    Prompts.ExpectMessage(QString());
    form.LoadInventory();
    EXPECT_EQ(form.StatusText(), u"Error loading inventory.");
    EXPECT_EQ(Main->StatusText(), u"Error loading inventory.");

    // Clearing zeroes the counts and forgets the file; drawers stay.
    form.ClearInventory();
    EXPECT_EQ(gull.Count, 0u);
    EXPECT_EQ(pebble.Drawer, u"Top");
    EXPECT_TRUE(form.Inventory().InventoryFileName.isEmpty());
}

TEST_F(InventoryFormTest, PriceLists)
{
    TfrmInventory &form = Open();
    TDie &heron = Die(u"Reedfolk"_s, 2);
    heron.SetPrice(30);
    const QString path = Data.filePath(u"prices.krp"_s);
    Prompts.ExpectSave(std::nullopt);
    form.ExportPrices();
    EXPECT_EQ(form.StatusText(), u"Price export aborted by user.");
    EXPECT_EQ(Prompts.LastFileDialog.FilterIndex, 2);
    Prompts.ExpectSave(TFileChoice{{path}, 2});
    form.ExportPrices();
    EXPECT_EQ(form.StatusText(), u"Prices exported to "_s + path + u'.');

    heron.SetPrice(1);
    Prompts.ExpectOpen(TFileChoice{{path}, 2});
    form.ImportPrices();
    EXPECT_EQ(heron.Price(), 30);
    EXPECT_FALSE(form.Inventory().InventoryModified);
    EXPECT_EQ(form.StatusText(), u"Redisplay complete.");

    Prompts.ExpectOpen(std::nullopt);
    form.ImportPrices();
    EXPECT_EQ(form.StatusText(), u"Redisplay complete."); // the tree is redisplayed either way
}

TEST_F(InventoryFormTest, CollectionAsCsv)
{
    TfrmInventory &form = Open();
    TDie &gull = Die(u"Reedfolk"_s, 1);
    TDie &heron = Die(u"Reedfolk"_s, 2);
    gull.Count = 2;
    gull.Drawer = u"Box, \"1\""_s;
    QAction &exportItem = FormItem(form, u"mnuInvExportCsv"_s);
    QAction &importItem = FormItem(form, u"mnuInvImportCsv"_s);
    EXPECT_EQ(exportItem.text(), u"Export Collection as CSV..."_s);
    EXPECT_EQ(importItem.text(), u"Import Collection from CSV..."_s);

    Prompts.ExpectSave(std::nullopt);
    exportItem.trigger();
    EXPECT_EQ(form.StatusText(), u"Collection export aborted by user.");
    EXPECT_EQ(Prompts.LastFileDialog.Title, u"Export Collection as CSV");
    EXPECT_EQ(Prompts.LastFileDialog.Directory, Data.path());
    EXPECT_EQ(Prompts.LastFileDialog.FileName, u"Collection.csv");
    EXPECT_EQ(Prompts.LastFileDialog.Filter, u"Comma-Separated Value Files|*.csv");
    EXPECT_EQ(Prompts.LastFileDialog.DefaultExtension, u"csv");

    const QString path = Data.filePath(u"mine.csv"_s);
    Prompts.ExpectSave(TFileChoice{{path}, 1});
    exportItem.trigger();
    EXPECT_EQ(form.StatusText(), u"Collection exported to "_s + path + u'.');
    EXPECT_EQ(FileBytes(path), TCollectionCsv::Export(form.Inventory()));
    EXPECT_TRUE(QString::fromUtf8(FileBytes(path)).contains(u",Gull,Archer,1,2,0,0,0,2,\"Box, \"\"1\"\"\",0\r\n"_s));

    // A spreadsheet's version: a count changed, a die that is not in the catalogue.
    const QString edited = Data.filePath(u"edited.csv"_s);
    WriteFile(edited, "kind,race,name,count,notes\r\ndie,reedfolk,GULL,5,more\r\ndie,Stonekin,Boulder,1,\r\n");
    Prompts.ExpectOpen(TFileChoice{{edited}, 1});
    Prompts.ExpectMessage(u"1 row matched no die: line 3 Stonekin/Boulder."_s);
    importItem.trigger();
    EXPECT_EQ(Prompts.LastFileDialog.Title, u"Import Collection from CSV");
    EXPECT_EQ(Prompts.LastFileDialog.Filter, u"Comma-Separated Value Files|*.csv");
    EXPECT_TRUE(Prompts.LastFileDialog.MustExist);
    EXPECT_EQ(gull.Count, 5u);
    EXPECT_EQ(gull.Drawer, u"Box, \"1\""); // no drawer column: the drawer stays
    EXPECT_EQ(form.StatusText(), u"1 item set from "_s + edited + u'.');
    EXPECT_TRUE(form.Inventory().InventoryModified);
    EXPECT_TRUE(FormItem(form, u"mnuInvSave"_s).isEnabled());
    const auto *model = static_cast<const TInventoryTreeModel *>(form.TreeView().model());
    EXPECT_EQ(model->data(model->IndexOf(gull.TreeNode), Qt::DisplayRole).toString(), u"Gull, Archer (5/0, 2pts)");

    // A bad row: the unsaved import is offered for saving first, then nothing changes.
    const QString bad = Data.filePath(u"bad.csv"_s);
    WriteFile(bad, "kind,race,name,count\r\ndie,Reedfolk,Heron,4\r\ndie,Reedfolk,Gull,many\r\n");
    const QString saved = Data.filePath(u"Saved.KRI"_s);
    Prompts.ExpectSave(TFileChoice{{saved}, 1});
    Prompts.ExpectOpen(TFileChoice{{bad}, 1});
    Prompts.ExpectMessage(u"Line 3, column 4 (count): \"many\" is not a whole number from 0 to 4294967295."_s);
    importItem.trigger();
    EXPECT_EQ(form.StatusText(), u"Error importing collection.");
    EXPECT_EQ(Main->StatusText(), u"Error importing collection.");
    EXPECT_EQ(heron.Count, 0u);
    EXPECT_EQ(gull.Count, 5u);
    EXPECT_FALSE(form.Inventory().InventoryModified);
    EXPECT_TRUE(QFile::exists(saved));

    Prompts.ExpectOpen(std::nullopt);
    importItem.trigger();
    EXPECT_EQ(form.StatusText(), u"Collection import cancelled.");
    // Both dialogs start at the CSV file used last.
    Prompts.ExpectSave(std::nullopt);
    exportItem.trigger();
    EXPECT_EQ(Prompts.LastFileDialog.FileName, bad);
}

TEST_F(InventoryFormTest, DrawersAndDeletedDice)
{
    TfrmInventory &form = Open();
    TDie &gull = Die(u"Reedfolk"_s, 1);
    TDie &pebble = Die(u"Stonekin"_s, 1);
    gull.Drawer = u"A1"_s;
    // Pebble is a Cavalry die of health 1, Gull an Archer: no drawer carries over...
    Select(form, gull.Race());
    form.PropagateDrawers();
    EXPECT_EQ(form.StatusText(), u"Drawer assignments propagated from Reedfolk.");
    EXPECT_TRUE(pebble.Drawer.isEmpty());
    // ... until they are dice of the same kind.
    pebble.SetProfession(Profession::Archer);
    form.PropagateDrawers();
    EXPECT_EQ(pebble.Drawer, u"A1");
    EXPECT_TRUE(form.Inventory().InventoryModified);

    // Deleting a die in the race form takes its node out of the tree, and out of the
    // current item that a race selected afterwards keeps.
    Select(form, pebble);
    Select(form, pebble.Race());
    EXPECT_TRUE(FormItem(form, u"mnuInvIncrease"_s).isVisible());
    TfrmRace &races = *Main->RaceForm();
    races.ShowRace(&pebble.Race());
    races.Grid().SelectCell(1, 1);
    Prompts.ExpectAsk(u"Delete Pebble?"_s, TAnswer::Yes);
    races.DeleteDie();
    const TInventoryNode &stoneNode = *Main->Catalogue().FindRaceByID(1)->TreeNode;
    EXPECT_FALSE(stoneNode.Children().front()->HasChildren());
    EXPECT_EQ(FormItem(form, u"mnuInvSave"_s).isEnabled(), form.Inventory().InventoryModified);
    EXPECT_FALSE(FormItem(form, u"mnuInvIncrease"_s).isVisible());
    form.IncreaseCount();
    EXPECT_EQ(form.StatusText(), u"No die selected.");
}

TEST_F(InventoryFormTest, DieCountDialog)
{
    TfrmInventory &form = Open();
    TDie &gull = Die(u"Reedfolk"_s, 1);
    TDie &heron = Die(u"Reedfolk"_s, 2);
    TfrmDieCount dialog(form, *gull.TreeNode);
    auto field = [&](const QString &name) { return dialog.findChild<QLineEdit *>(name); };
    EXPECT_EQ(field(u"txtName"_s)->text(), u"Gull");
    EXPECT_EQ(field(u"txtThreshold"_s)->text(), u"8");
    EXPECT_TRUE(dialog.CanSave());
    for (const auto &[name, text] : {std::pair{u"txtCount"_s, u"-1"_s}, std::pair{u"txtCount"_s, u"abc"_s},
                                     std::pair{u"txtPrice"_s, u"0"_s}, std::pair{u"txtModifier"_s, u"x"_s}}) {
        const QString old = field(name)->text();
        field(name)->setText(text);
        EXPECT_FALSE(dialog.CanSave()) << text.toStdString();
        EXPECT_FALSE(dialog.findChild<QPushButton *>(u"btnSaveNext"_s)->isEnabled());
        field(name)->setText(old);
    }

    field(u"txtCount"_s)->setText(u"4"_s);
    field(u"txtDrawer"_s)->setText(u"C3"_s);
    dialog.SaveAndMove();
    EXPECT_EQ(gull.Count, 4u);
    EXPECT_EQ(gull.Drawer, u"C3");
    EXPECT_EQ(&dialog.Node().Data(), &heron);
    EXPECT_EQ(gull.TreeNode->Text(), u"Gull, Archer (4/0, 2pts)");

    // Saving without a change still marks the collection changed.
    form.Inventory().InventoryModified = false;
    dialog.SaveCount();
    EXPECT_TRUE(form.Inventory().InventoryModified);
    EXPECT_EQ(dialog.StatusText(), u"Heron updated.");

    // After the last die comes the first terrain; backwards from the first die, the last terrain.
    dialog.HandleControlKey(Qt::Key_P); // Heron to Pebble
    dialog.HandleControlKey(Qt::Key_P);
    EXPECT_EQ(dialog.Node().Data().Name, u"Coastland City");
    EXPECT_EQ(dialog.StatusText(), u"Forward scrolling enabled.");
    TfrmDieCount back(form, *gull.TreeNode);
    back.HandleControlKey(Qt::Key_O);
    EXPECT_EQ(back.Node().Data().Name, u"Feyland Village");
    EXPECT_EQ(back.findChild<QPushButton *>(u"btnSaveNext"_s)->text(), u"Save && Prev");
    EXPECT_FALSE(back.findChild<QPushButton *>(u"btnView"_s)->isEnabled());
}
