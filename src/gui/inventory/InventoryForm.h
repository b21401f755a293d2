#pragma once

#include "dice/Catalogue.h"
#include "inventory/Inventory.h"
#include "inventory/InventoryTree.h"

#include <QKeySequence>
#include <QMainWindow>

#include <memory>

class QLabel;
class QMenu;
class QSplitter;
class QTreeView;
class TInventoryTreeModel;
class TfrmInvReport;
class TTradePanel;
class TfrmMain;

// The inventory window: the whole collection as a tree with owned and used counts, the
// commands that change counts, prices and drawers, and the inventory and price files.
// It lives as long as the program; closing it means leaving the program.
class TfrmInventory : public QMainWindow, public TInventoryObserver
{
    Q_OBJECT

public:
    explicit TfrmInventory(TfrmMain &main);
    ~TfrmInventory() override;

    TfrmMain &Main() const { return FMain; }
    TInventory &Inventory() { return *FInventory; }
    TInventoryTree &Tree() { return FTree; }
    TTreeOptions Options() const;

    // Runs on every activation: rebuilds a tree that is out of date; the first time also
    // offers to reload the collection.
    void Activate();
    bool FirstActivation() const { return FFirstActivation; }
    bool TreeValid() const { return FTreeValid; }
    // The race database changed: the tree is rebuilt at the next activation.
    void InvalidateTree() { FTreeValid = false; }
    void RebuildTree();
    void RedisplayTree();
    // A die is about to be deleted: its node, and its lines in trades, go first.
    void ForgetDie(TDie &die);

    // Before load, clear, price import and leaving the program: may the collection go?
    bool QuerySaveInventory();
    bool ReadInventoryFile(const QString &path);
    bool SaveInventoryFile(const QString &path);

    // Commands.
    void LoadInventory();
    void SaveInventory();
    bool SaveInventoryAs();
    void ClearInventory();
    void ExportPrices();
    void ImportPrices();
    // The collection as comma-separated values, for spreadsheets.
    void ExportCollectionCsv();
    void ImportCollectionCsv();
    void IncreaseCount();
    void DecreaseCount();
    void ChangeCount();
    void ViewDetails();
    void AddToArmy();
    // Closes every army window, each asked first; false when one stays.
    bool CloseLoadedArmies();
    void PropagateDrawers();
    void ShowItemStatus(TInventoryData &item);

    // Selection.
    void SelectNewNode(TInventoryNode *node);
    TInventoryNode *CurrentNode() const { return FCurrentNode; }
    TRace *CurrentRace() const { return FCurrentRace; }
    TDie *CurrentDie() const { return FCurrentDie; }
    TInventoryData *CurrentItem() const { return FCurrentItem; }
    QMenu &Popup();

    // The alert report, made at the first activation.
    TfrmInvReport *AlertReport() const { return FAlertReport; }
    // "&Alert List": brings the alert report to the front.
    void ShowAlertList();

    void ShowStatus(const QString &text);
    QString StatusText() const;
    QTreeView &TreeView() const { return *tvInventory; }

    // The trades on the window's right side.
    TTradePanel &TradePanel() const { return *FTradePanel; }
    // Makes the item's node the tree's current node (a row of the trade grid chosen).
    void SelectItemNode(const TInventoryData &item);
    // "&Save Inventory" follows the collection's changed flag again (after a change made
    // here or by another window).
    void RefreshSaveItem();

    // The catalogue's counts changed.
    bool InventoryActive() const override;
    void ItemChanged(TInventoryData &item) override;
    void LimitExceeded(TInventoryData &item) override;

signals:
    void StatusChanged(const QString &text);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildMenus();
    void UpdateEditMenu();
    // The trade items of the Edit menu need a current item and a shown trade.
    void UpdateTradeItems();
    // Reads an inventory file and shows it; a failure stays on the status lines.
    void ReadAndRedisplay(const QString &path);
    // "&Add <die> to <army>" follows the selected die and the current army.
    void UpdateArmyItem();
    void ChangeCountBy(int delta);
    bool HandleKey(int key, const QString &text);
    // The enabled and visible item of the window's own menus that this key triggers.
    QAction *OwnShortcut(const QKeySequence &key) const;

    TfrmMain &FMain;
    std::unique_ptr<TInventory> FInventory;
    TInventoryTree FTree;
    TInventoryTreeModel *FModel = nullptr;
    QTreeView *tvInventory = nullptr;
    QSplitter *FSplitter = nullptr;
    TTradePanel *FTradePanel = nullptr;
    QLabel *barStatus = nullptr;
    QMenu *FPopup = nullptr;
    QString FLastPriceFile;
    QString FLastCsvFile;
    // The key whose item ran as the key was offered to the shortcuts.
    QKeySequence FOwnKey;

    bool FTreeValid = false;
    bool FFirstActivation = true;
    bool FActivating = false;
    TInventoryNode *FCurrentNode = nullptr;
    TRace *FCurrentRace = nullptr;
    TDie *FCurrentDie = nullptr;
    TInventoryData *FCurrentItem = nullptr;

    QAction *mnuTradeUsing = nullptr;
    QAction *mnuIncrease = nullptr;
    QAction *mnuDecrease = nullptr;
    QAction *mnuChange = nullptr;
    QAction *mnuTradeIn = nullptr;
    QAction *mnuTradeOut = nullptr;
    QAction *mnuWait = nullptr;
    QAction *mnuUnwait = nullptr;
    QAction *mnuView = nullptr;
    QAction *mnuAddToArmy = nullptr;
    QAction *mnuPropagate = nullptr;
    QAction *mnuSaveInventory = nullptr;
    TfrmInvReport *FAlertReport = nullptr;
};
