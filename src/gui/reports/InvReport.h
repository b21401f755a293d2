#pragma once

#include "reports/AlertList.h"
#include "reports/ProgressStatus.h"

#include <QMainWindow>

#include <map>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QPushButton;
class QSpinBox;
class TFancyGrid;
class TfrmInventory;
class TfrmMain;

// "Inventory Alert List": the keep rules of the collection, and the dice and terrains
// one of its searches finds, from where the numbers to offer are adjusted, dice marked
// for trading and counted, and the list printed or exported for other collectors. It
// is made at the inventory's first activation and kept while the program runs.
class TfrmInvReport : public QMainWindow
{
    Q_OBJECT

public:
    TfrmInvReport(TfrmMain &main, TfrmInventory &inventory);
    ~TfrmInvReport() override;

    // The window in its place among the main window's children, hidden until asked for,
    // at the position it was last left at.
    static TfrmInvReport *Create(TfrmMain &main, TfrmInventory &inventory);
    // What its going writes: the rules as the spin boxes show them and the position.
    void SaveState();

    const TAlertList &List() const { return FList; }
    // The item of the selected row, if any.
    TInventoryData *SelectedItem() const;
    QString StatusText() const;
    TFancyGrid &Grid() const { return *grdAlerts; }
    QSpinBox *RuleBox(const QString &key) const;
    QComboBox &SearchList() const { return *cmbSearchFor; }
    QPushButton &RunButton() const { return *btnRun; }
    // The pop-up as it would show now.
    QMenu &Popup();

    // Commands.
    void RunReport();
    // Redraws the grid from the list (after the main window's options change).
    void RefreshAlertList();
    void SelectRow(int row);
    void SortByColumn(int column, bool ascending);
    void IncreaseValue();
    void DecreaseValue();
    void RemoveItem();
    void ToggleMark();
    void EditItem();
    void ToggleLockedIsLiked();
    void ExportList();
    void PrintList();

signals:
    void StatusChanged(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildRules(QWidget *panel);
    void BuildGrid();
    void BuildMenus();
    void ShowRules();
    void TakeRules();
    void DrawRow(int row);
    void UpdateCommands();
    void ChangeDiff(int delta);
    void ShowStatus(const QString &text);
    void ShowProgress(const QString &text);

    TfrmMain &FMain;
    TfrmInventory &FInventory;
    TAlertList FList;
    TInventoryData *FSelected = nullptr;
    // The grid column of the last left press on a data cell, until its selection is seen.
    int FPressedColumn = -1;
    std::unique_ptr<TProgressStatus> FStatus;

    std::map<QString, QSpinBox *> FRuleBoxes;
    QComboBox *cmbSearchFor = nullptr;
    QPushButton *btnRun = nullptr;
    TFancyGrid *grdAlerts = nullptr;
    QLabel *barStatus = nullptr;
    QAction *mnuEditEdit = nullptr;
    QAction *mnuEditIncrease = nullptr;
    QAction *mnuEditDecrease = nullptr;
    QAction *mnuEditRemove = nullptr;
    QAction *mnuEditMark = nullptr;
    QAction *mnuToolsLocked = nullptr;
    QMenu *FPopup = nullptr;
};
