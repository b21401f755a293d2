#include "inventory/InventoryForm.h"

#include "KrException.h"
#include "army/ArmyForm.h"
#include "controls/MenuItems.h"
#include "editors/DieEdit.h"
#include "editors/RaceData.h"
#include "inventory/InventoryTreeModel.h"
#include "inventory/TradePanel.h"
#include "reports/DieCount.h"
#include "reports/InvReport.h"
#include "shell/ChildWindows.h"
#include "shell/MainForm.h"
#include "shell/Prompts.h"
#include "shell/SettingsStore.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTreeView>

using namespace Qt::StringLiterals;

TfrmInventory::TfrmInventory(TfrmMain &main)
    : QMainWindow(nullptr), FMain(main),
      FInventory(std::make_unique<TInventory>(main.Catalogue(), main.Clock())),
      FTree(main.Catalogue(), FInventory->Rules)
{
    setObjectName(u"frmInventory"_s);
    setWindowTitle(u"Inventory"_s);
    FInventory->Rules.Load(main.Settings());

    FModel = new TInventoryTreeModel(FTree, this);
    tvInventory = new QTreeView(this);
    tvInventory->setObjectName(u"tvInventory"_s);
    tvInventory->setModel(FModel);
    tvInventory->setHeaderHidden(true);
    tvInventory->setUniformRowHeights(true);
    tvInventory->setIconSize(TInventoryTreeModel::kIconSize);
    tvInventory->setContextMenuPolicy(Qt::CustomContextMenu);
    tvInventory->installEventFilter(this);
    // The trades of the collection take the right-hand side of the splitter.
    FSplitter = new QSplitter(Qt::Horizontal, this);
    FSplitter->addWidget(tvInventory);
    FTradePanel = new TTradePanel(*this);
    FSplitter->addWidget(FTradePanel);
    FSplitter->setStretchFactor(0, 1);
    FSplitter->setStretchFactor(1, 0);
    FSplitter->setSizes({320, FTradePanel->PreferredWidth()});
    setCentralWidget(FSplitter);
    barStatus = new QLabel(this);
    barStatus->setObjectName(u"barStatus"_s);
    statusBar()->addWidget(barStatus, 1);
    KeepNarrow(*barStatus);

    connect(tvInventory->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { SelectNewNode(FModel->Node(current)); });
    connect(tvInventory, &QTreeView::doubleClicked, this, [this] { ChangeCount(); });
    connect(tvInventory, &QTreeView::customContextMenuRequested, this,
            [this](const QPoint &at) { Popup().exec(tvInventory->viewport()->mapToGlobal(at)); });
    connect(FModel, &QAbstractItemModel::modelReset, this, [this] { SelectNewNode(nullptr); });
    connect(FTradePanel, &TTradePanel::CurrentTradeChanged, this, &TfrmInventory::UpdateTradeItems);
    BuildMenus();
    UpdateEditMenu();
    connect(&FMain, &TfrmMain::CurrentArmyChanged, this, &TfrmInventory::UpdateArmyItem);
    FInventory->SetObserver(this);
    resize(320 + FTradePanel->PreferredWidth(), 600);
}

TfrmInventory::~TfrmInventory()
{
    // The alert report shows the catalogue's items and keeps its rules here; it goes
    // first, leaving its rules and position in the settings.
    if (TfrmInvReport *report = std::exchange(FAlertReport, nullptr)) {
        report->SaveState();
        QWidget *window = report->parentWidget();
        delete (window ? window : static_cast<QWidget *>(report));
    }
    // The panel points at the trades and the inventory: it goes before them.
    delete FTradePanel;
    FTradePanel = nullptr;
    // Trades give their counts back before the tree and the catalogue go.
    FInventory->FreeTrades();
    FInventory->SetObserver(nullptr);
}

TTreeOptions TfrmInventory::Options() const
{
    return {FMain.VirtualInventory(), FMain.ShowPlaying(), FMain.ShowPrices()};
}

void TfrmInventory::ShowStatus(const QString &text)
{
    barStatus->setText(text);
    barStatus->repaint();
    emit StatusChanged(text);
}

QString TfrmInventory::StatusText() const
{
    return barStatus->text();
}

void TfrmInventory::BuildMenus()
{
    auto add = [this](QMenu *menu, const QString &name, const QString &caption, auto handler,
                      const QKeySequence &keys = {}) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(name);
        item->setShortcut(keys);
        connect(item, &QAction::triggered, this, handler);
        return item;
    };

    QMenu *file = menuBar()->addMenu(u"&File"_s);
    add(file, u"mnuInvNew"_s, u"&New"_s, [this] { FMain.CreateArmy(); });
    add(file, u"mnuInvOpen"_s, u"&Open..."_s, [this] { FMain.OpenFile(); });
    add(file, u"mnuInvChangeArmies"_s, u"Change Armies"_s, [this] {
        if (CloseLoadedArmies())
            FMain.OpenFile();
    }, QKeySequence(Qt::SHIFT | Qt::Key_F1));
    add(file, u"mnuInvCloseArmies"_s, u"Close Loaded Armies"_s, [this] { CloseLoadedArmies(); });
    file->addSeparator();
    add(file, u"mnuInvLoad"_s, u"&Load Inventory..."_s, &TfrmInventory::LoadInventory);
    mnuSaveInventory = add(file, u"mnuInvSave"_s, u"&Save Inventory"_s, &TfrmInventory::SaveInventory);
    mnuSaveInventory->setEnabled(false);
    add(file, u"mnuInvSaveAs"_s, u"Save Inventory &As..."_s, &TfrmInventory::SaveInventoryAs);
    add(file, u"mnuInvClear"_s, u"&Clear"_s, &TfrmInventory::ClearInventory);
    file->addSeparator();
    add(file, u"mnuInvExportPrices"_s, u"Export Prices"_s, &TfrmInventory::ExportPrices);
    add(file, u"mnuInvImportPrices"_s, u"Import Prices"_s, &TfrmInventory::ImportPrices);
    add(file, u"mnuInvExportCsv"_s, u"Export Collection as CSV..."_s, &TfrmInventory::ExportCollectionCsv);
    add(file, u"mnuInvImportCsv"_s, u"Import Collection from CSV..."_s, &TfrmInventory::ImportCollectionCsv);
    file->addSeparator();
    add(file, u"mnuInvExit"_s, u"E&xit"_s, [this] { FMain.ConfirmExit(); });

    QMenu *edit = menuBar()->addMenu(u"&Edit"_s);
    TTradePanel *trades = FTradePanel;
    mnuTradeUsing = add(edit, u"mnuInvTradeUsing"_s, u"Next Trade &Using Die"_s, [trades] { trades->NextTradeUsing(); },
                        QKeySequence(Qt::CTRL | Qt::Key_F9));
    mnuIncrease = add(edit, u"mnuInvIncrease"_s, u"&Increase"_s, &TfrmInventory::IncreaseCount,
                      QKeySequence(Qt::SHIFT | Qt::Key_Insert));
    mnuDecrease = add(edit, u"mnuInvDecrease"_s, u"&Decrease"_s, &TfrmInventory::DecreaseCount,
                      QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    mnuChange = add(edit, u"mnuInvChange"_s, u"&Change"_s, &TfrmInventory::ChangeCount, QKeySequence(Qt::Key_F2));
    mnuTradeIn = add(edit, u"mnuInvTradeIn"_s, u"Trade I&n"_s, [trades] { trades->TradeIn(); },
                     QKeySequence(Qt::CTRL | Qt::Key_B));
    mnuTradeOut = add(edit, u"mnuInvTradeOut"_s, u"Trade &Out"_s, [trades] { trades->TradeOut(); },
                      QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuWait = add(edit, u"mnuInvWait"_s, u"&Wait"_s, [trades] { trades->Wait(); }, QKeySequence(Qt::CTRL | Qt::Key_W));
    mnuUnwait = add(edit, u"mnuInvUnwait"_s, u"&Unwait"_s, [trades] { trades->Unwait(); },
                    QKeySequence(Qt::CTRL | Qt::Key_U));
    // Hidden while no die or terrain is selected, these still answer their keys: F2
    // finds a die below the selected group, the others say that none is selected.
    for (QAction *item : {mnuIncrease, mnuDecrease, mnuChange})
        KeepShortcutWhileHidden(*item, *this);
    edit->addSeparator();
    mnuView = add(edit, u"mnuInvView"_s, u"&View Details"_s, &TfrmInventory::ViewDetails);
    mnuAddToArmy = add(edit, u"mnuInvAddToArmy"_s, u"&Add to Army"_s, &TfrmInventory::AddToArmy,
                       QKeySequence(Qt::CTRL | Qt::Key_Insert));
    mnuPropagate = add(edit, u"mnuInvPropagate"_s, u"&Propagate Drawers"_s, &TfrmInventory::PropagateDrawers);
    edit->addSeparator();
    add(edit, u"mnuInvRebuild"_s, u"&Rebuild Tree"_s, &TfrmInventory::RebuildTree);

    QMenu *trading = menuBar()->addMenu(u"&Trading"_s);
    add(trading, u"mnuInvAlertList"_s, u"&Alert List"_s, &TfrmInventory::ShowAlertList);
    FTradePanel->BuildMenu(*trading);

    FPopup = new QMenu(this);
    for (QAction *item : {mnuTradeUsing, mnuIncrease, mnuDecrease, mnuChange, mnuTradeIn, mnuTradeOut, mnuWait,
                          mnuUnwait, mnuView, mnuAddToArmy, mnuPropagate}) {
        QAction *copy = FPopup->addAction(item->text());
        copy->setObjectName(item->objectName() + u"Popup"_s);
        connect(copy, &QAction::triggered, item, &QAction::trigger);
    }
}

QMenu &TfrmInventory::Popup()
{
    // The pop-up shows the Edit menu's items as they stand now.
    const QList<QAction *> copies = FPopup->actions();
    const std::array items{mnuTradeUsing, mnuIncrease, mnuDecrease, mnuChange, mnuTradeIn, mnuTradeOut,
                           mnuWait,       mnuUnwait,   mnuView,     mnuAddToArmy, mnuPropagate};
    for (size_t i = 0; i < items.size(); ++i)
        TfrmMain::MirrorMenuItem(*items[i], *copies[qsizetype(i)]);
    return *FPopup;
}

void TfrmInventory::SelectNewNode(TInventoryNode *node)
{
    FCurrentNode = node;
    if (!node) {
        FCurrentRace = nullptr;
        FCurrentDie = nullptr;
        FCurrentItem = nullptr;
    } else {
        switch (node->Kind()) {
        case TInventoryNode::Group: {
            FCurrentDie = nullptr;
            FCurrentItem = nullptr;
            FCurrentRace = nullptr;
            for (TInventoryNode *up = node->Parent(); up; up = up->Parent()) {
                if (up->Kind() == TInventoryNode::Race) {
                    FCurrentRace = static_cast<TRace *>(&up->Data());
                    break;
                }
            }
            break;
        }
        case TInventoryNode::Die:
            FCurrentDie = static_cast<TDie *>(&node->Data());
            FCurrentItem = FCurrentDie;
            FCurrentRace = &FCurrentDie->Race();
            FTradePanel->SelectItemRow(FCurrentItem);
            break;
        case TInventoryNode::Terrain:
            FCurrentItem = &node->Data();
            FCurrentRace = nullptr;
            FCurrentDie = nullptr;
            FTradePanel->SelectItemRow(FCurrentItem);
            break;
        case TInventoryNode::Race:
            FCurrentRace = static_cast<TRace *>(&node->Data());
            FCurrentDie = nullptr;
            break;
        }
    }
    UpdateEditMenu();
}

void TfrmInventory::UpdateEditMenu()
{
    const bool item = FCurrentItem != nullptr;
    const QString name = item ? MenuCaption(FCurrentItem->Name) : QString();
    mnuTradeUsing->setText(item ? u"Next Trade &Using "_s + name : u"Next Trade &Using Die"_s);
    mnuIncrease->setText(u"&Increase "_s + name);
    mnuDecrease->setText(u"&Decrease "_s + name);
    mnuChange->setText(u"&Change "_s + name);
    mnuTradeIn->setText(u"Trade "_s + name + u" I&n"_s);
    mnuTradeOut->setText(u"Trade "_s + name + u" &Out"_s);
    mnuWait->setText(u"&Wait "_s + name);
    mnuUnwait->setText(u"&Un-Wait "_s + name);
    for (QAction *each : {mnuIncrease, mnuDecrease, mnuChange, mnuTradeIn, mnuTradeOut, mnuWait, mnuUnwait})
        each->setVisible(item);
    mnuTradeUsing->setEnabled(item);
    UpdateTradeItems();
    if (item)
        ShowItemStatus(*FCurrentItem);

    UpdateArmyItem();
    if (FCurrentDie) {
        mnuView->setText(u"&View "_s + MenuCaption(FCurrentDie->Name));
        mnuView->setEnabled(true);
    } else {
        mnuView->setText(FCurrentRace ? u"&View "_s + MenuCaption(FCurrentRace->Name) : u"&View Details"_s);
        mnuView->setEnabled(FCurrentRace != nullptr);
    }
    mnuPropagate->setText(FCurrentRace ? u"&Propagate Drawers from "_s + MenuCaption(FCurrentRace->Name)
                                       : u"&Propagate Drawers"_s);
    mnuPropagate->setEnabled(FCurrentRace != nullptr);
}

void TfrmInventory::UpdateTradeItems()
{
    const bool enabled = FCurrentItem && FTradePanel->CurrentTrade();
    for (QAction *each : {mnuTradeIn, mnuTradeOut, mnuWait, mnuUnwait})
        each->setEnabled(enabled);
}

void TfrmInventory::SelectItemNode(const TInventoryData &item)
{
    if (item.TreeNode)
        tvInventory->setCurrentIndex(FModel->IndexOf(item.TreeNode));
}

void TfrmInventory::RefreshSaveItem()
{
    mnuSaveInventory->setEnabled(FInventory->InventoryModified);
}

void TfrmInventory::UpdateArmyItem()
{
    mnuAddToArmy->setVisible(FCurrentDie != nullptr);
    if (!FCurrentDie)
        return;
    const TfrmArmy *army = FMain.CurrentArmy();
    mnuAddToArmy->setText(army ? u"&Add "_s + MenuCaption(FCurrentDie->Name) + u" to "_s + MenuCaption(army->Army().Name())
                               : u"&Add to Army"_s);
    mnuAddToArmy->setEnabled(army != nullptr);
}

void TfrmInventory::ShowItemStatus(TInventoryData &item)
{
    QString text = u"Inventory surplus for "_s + item.Name + u" is "_s
                   + QString::number(FInventory->Surplus(item)) + u'.';
    if (item.Locked)
        text += u"  Die is locked."_s;
    if (const auto *die = dynamic_cast<const TDie *>(&item); die && die->UltraRare)
        text += u"  Die is ultra-rare."_s;
    if (item.InPlayCount > 0)
        text += u"  "_s + QString::number(item.InPlayCount) + u" used in play."_s;
    if (const qint32 available = FInventory->AvailableForWaiting(item); available > 0)
        text += u"  "_s + QString::number(available) + u" available for the waiting list."_s;
    ShowStatus(text);
}

void TfrmInventory::Activate()
{
    if (FActivating)
        return;
    FActivating = true;
    // Ctrl+W is "&Wait" here, not the frame's key for closing a window.
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget()); frame && frame->systemMenu()) {
        for (QAction *item : frame->systemMenu()->actions()) {
            QList<QKeySequence> keys = item->shortcuts();
            if (keys.removeAll(QKeySequence(Qt::CTRL | Qt::Key_W)) > 0)
                item->setShortcuts(keys);
        }
    }
    if (!FTreeValid)
        RebuildTree();
    bool reloaded = false;
    QString path;
    if (FFirstActivation) {
        // Only a collection the user saved or loaded is offered, not whatever file of
        // the default name lies in the working folder.
        path = FMain.Settings().ReadStringSetting(u"InventoryFile"_s, QString());
        reloaded = !path.isEmpty() && QFileInfo(path).isFile() &&
                   FMain.Prompts().Confirm(windowTitle(), u"Reload inventory from "_s + path + u'?', TButtons::YesNo) ==
                       TAnswer::Yes;
        FMain.ShowInventoryOptions();
        // The alert report owns the keep rules' window; Surplus reads them from here on.
        if (!FAlertReport)
            FAlertReport = TfrmInvReport::Create(FMain, *this);
    }
    if (reloaded)
        ReadAndRedisplay(path);
    else
        RedisplayTree();
    // Counts that a loaded file's trades raise are no news to the user until the
    // collection is up: the first activation ends after the reload.
    FFirstActivation = false;
    // The current army may have been renamed meanwhile.
    UpdateArmyItem();
    FActivating = false;
}

void TfrmInventory::RebuildTree()
{
    // Thousands of steps: the status line is painted a few times a second, not each time.
    QElapsedTimer painted;
    painted.start();
    FModel->BeginReset();
    try {
        FTree.Build(Options(), [&](const QString &text) {
            barStatus->setText(text);
            if (painted.elapsed() > 100) {
                barStatus->repaint();
                painted.restart();
            }
        });
    } catch (...) {
        FModel->EndReset();
        throw;
    }
    FModel->EndReset();
    FTreeValid = true;
    tvInventory->expand(FModel->IndexOf(FTree.Root()));
    RedisplayTree();
}

void TfrmInventory::RedisplayTree()
{
    try {
        ShowStatus(u"Redisplaying..."_s);
        FTree.Redisplay(Options());
        FModel->RefreshAll();
        FMain.ShowStatus(u"Inventory tree redisplayed."_s);
        ShowStatus(u"Redisplay complete."_s);
    } catch (const TKrException &failure) {
        ShowStatus(u"Error redisplaying inventory tree."_s);
        FMain.ReportError(failure, u"displaying inventory"_s);
    }
}

void TfrmInventory::ForgetDie(TDie &die)
{
    // Trade lines of the die go, giving back what they counted.
    FTradePanel->ForgetItem(die);
    FInventory->ForgetItem(die);
    mnuSaveInventory->setEnabled(FInventory->InventoryModified);
    if (const TInventoryNode *node = die.TreeNode) {
        FModel->BeginRemove(*node);
        TInventoryNode *parent = FTree.RemoveDieNode(die, Options());
        FModel->EndRemove();
        std::vector<TInventoryNode *> ancestors;
        for (TInventoryNode *up = parent; up; up = up->Parent())
            ancestors.push_back(up);
        FModel->Refresh(ancestors);
    }
    if (FCurrentDie == &die) {
        SelectNewNode(nullptr);
    } else if (FCurrentItem == &die) {
        // A race selected after the die keeps the die as the current item.
        FCurrentItem = nullptr;
        UpdateEditMenu();
    }
}

void TfrmInventory::ShowAlertList()
{
    if (!FAlertReport)
        FAlertReport = TfrmInvReport::Create(FMain, *this);
    QWidget *window = FAlertReport->parentWidget();
    if (auto *sub = qobject_cast<QMdiSubWindow *>(window)) {
        sub->showNormal();
        FMain.MdiArea()->setActiveSubWindow(sub);
    } else {
        FAlertReport->show();
    }
    FAlertReport->raise();
}

bool TfrmInventory::InventoryActive() const
{
    return FTreeValid && !FFirstActivation;
}

void TfrmInventory::ItemChanged(TInventoryData &item)
{
    FModel->Refresh(FTree.RedrawPath(item, Options()));
    mnuSaveInventory->setEnabled(FInventory->InventoryModified);
}

void TfrmInventory::LimitExceeded(TInventoryData &item)
{
    FMain.Beep();
    FMain.ShowStatus(item.Name + u" inventory limit exceeded!"_s);
}

void TfrmInventory::ChangeCountBy(int delta)
{
    if (!FCurrentItem) {
        FMain.Beep();
        ShowStatus(u"No die selected."_s);
        return;
    }
    if (FInventory->SetItemCount(*FCurrentItem, qint64(FCurrentItem->Count) + delta)) {
        FMain.Beep();
        const QString &name = FCurrentItem->Name;
        ShowStatus(delta < 0 ? u"There are no copies of "_s + name + u" to take away; the count stays 0."_s
                             : u"The count of "_s + name + u" cannot go higher; it stays "_s +
                                   QString::number(FCurrentItem->Count) + u'.');
    }
    mnuSaveInventory->setEnabled(FInventory->InventoryModified);
}

void TfrmInventory::IncreaseCount()
{
    ChangeCountBy(+1);
}

void TfrmInventory::DecreaseCount()
{
    ChangeCountBy(-1);
}

void TfrmInventory::ChangeCount()
{
    TInventoryNode *node = FTree.FirstItemAtOrBelow(FCurrentNode);
    if (!node) {
        FMain.Beep();
        ShowStatus(u"Could not find a die to display."_s);
        return;
    }
    TfrmDieCount::Edit(*this, *node);
    mnuSaveInventory->setEnabled(FInventory->InventoryModified);
}

void TfrmInventory::ViewDetails()
{
    if (FCurrentDie) {
        TfrmDie::ViewDie(FMain, *FCurrentDie);
    } else if (FCurrentRace) {
        if (FMain.RaceForm()->ShowRace(FCurrentRace))
            FMain.ShowRaceForm();
    } else {
        FMain.Beep();
        ShowStatus(u"Nothing to display from this node."_s);
    }
}

void TfrmInventory::AddToArmy()
{
    TfrmArmy *army = FMain.CurrentArmy();
    if (!FCurrentDie || !army)
        return;
    army->AddDie(*FCurrentDie);
    ShowStatus(army->AddedText(*FCurrentDie));
}

bool TfrmInventory::CloseLoadedArmies()
{
    // Each asks about itself; the first that stays stops the others.
    for (TfrmArmy *army : std::vector<TfrmArmy *>(FMain.ArmyForms())) {
        if (!army->CloseArmy())
            return false;
    }
    return true;
}

void TfrmInventory::PropagateDrawers()
{
    if (!FCurrentRace)
        return;
    const TRace &source = *FCurrentRace;
    // Drawers by profession and health, the later die of a kind winning.
    std::array<std::array<QString, 10>, 9> drawers;
    auto slot = [&drawers](const TDie &die) -> QString & {
        return drawers[size_t(die.GetProfession())][size_t(std::clamp(die.Health(), 1, 10) - 1)];
    };
    for (const auto &die : source.Dice())
        slot(*die) = die->Drawer;
    for (const auto &race : FMain.Catalogue().Races()) {
        if (race->Type != source.Type)
            continue;
        for (const auto &die : race->Dice()) {
            ShowStatus(u"Processing "_s + die->ListText() + u"..."_s);
            if (!slot(*die).isEmpty())
                die->Drawer = slot(*die);
        }
    }
    FInventory->InventoryModified = true;
    mnuSaveInventory->setEnabled(true);
    ShowStatus(u"Drawer assignments propagated from "_s + source.Name + u'.');
}

bool TfrmInventory::HandleKey(int key, const QString &text)
{
    if (!FCurrentNode)
        return false;
    const QModelIndex current = FModel->IndexOf(FCurrentNode);
    if (text == u"+"_s) {
        tvInventory->expandRecursively(current);
    } else if (text == u"="_s) {
        tvInventory->expand(current);
    } else if (text == u"-"_s) {
        tvInventory->collapse(current);
    } else if (text == u"_"_s) {
        tvInventory->collapse(current);
        const std::function<void(const QModelIndex &)> collapseBelow = [&](const QModelIndex &parent) {
            for (int row = 0; row < FModel->rowCount(parent); ++row) {
                const QModelIndex child = FModel->index(row, 0, parent);
                collapseBelow(child);
                tvInventory->collapse(child);
            }
        };
        collapseBelow(current);
    } else if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (FCurrentItem)
            ChangeCount();
    } else if (text == u" "_s) {
        if (FCurrentItem)
            ShowItemStatus(*FCurrentItem);
        return false; // the space goes on to the tree as well
    } else if (text == u"?"_s) {
        if (FCurrentDie)
            ShowStatus(u"Race "_s + QString::number(FCurrentDie->Race().ID) + u", Die "_s
                       + QString::number(FCurrentDie->ID()));
    } else {
        return false;
    }
    return true;
}

bool TfrmInventory::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tvInventory && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (HandleKey(key->key(), key->text()))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

QAction *TfrmInventory::OwnShortcut(const QKeySequence &key) const
{
    std::vector<const QMenu *> menus;
    for (const QAction *top : menuBar()->actions()) {
        if (top->menu())
            menus.push_back(top->menu());
    }
    while (!menus.empty()) {
        const QMenu *menu = menus.back();
        menus.pop_back();
        for (QAction *item : menu->actions()) {
            if (item->menu())
                menus.push_back(item->menu());
            else if (item->isEnabled() && item->isVisible() && item->shortcuts().contains(key))
                return item;
        }
    }
    return nullptr;
}

bool TfrmInventory::event(QEvent *event)
{
    // The window's own keys come before the frame's: Ctrl+S and Ctrl+P also belong to the
    // frame's group items, and a key two items claim would do nothing at all. The item is
    // triggered as the key is offered to the shortcuts, and the key press that follows
    // does nothing more.
    if (event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence keys(key->keyCombination());
        FOwnKey = QKeySequence();
        if (QAction *own = OwnShortcut(keys)) {
            event->accept();
            FOwnKey = keys;
            own->trigger();
            return true;
        }
    } else if (event->type() == QEvent::KeyPress && !FOwnKey.isEmpty()) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (QKeySequence(key->keyCombination()) == FOwnKey) {
            FOwnKey = QKeySequence();
            event->accept();
            return true;
        }
    }
    return QMainWindow::event(event);
}

void TfrmInventory::closeEvent(QCloseEvent *event)
{
    // The inventory stays as long as the program: closing it means leaving.
    event->ignore();
    FMain.ConfirmExit();
}
