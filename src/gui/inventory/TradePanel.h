#pragma once

#include "inventory/TradeEditor.h"

#include <QWidget>

#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class TFancyGrid;
class TfrmInventory;
class TfrmMain;

// The right side of the inventory window: the trades with other collectors. A trader
// selector, the trader's details, a grid of the shown trade's lines with their points,
// the net value, and "Save Changes" and "Cancel"; with it the Trading menu and the trade
// items of the Edit menu. Edits stay in the panel until they are saved.
class TTradePanel : public QWidget
{
    Q_OBJECT

public:
    explicit TTradePanel(TfrmInventory &form);
    ~TTradePanel() override;

    TTradeEditor &Editor() { return *FEditor; }
    TTrade *CurrentTrade() const { return FEditor->Current(); }
    // The grid's column widths and a little room: what the panel wants of the window.
    int PreferredWidth() const;

    // The Trading menu's own items, after what the window put there.
    void BuildMenu(QMenu &trading);

    // May the shown trade's edits go? Asks to save them first.
    bool QueryTradeEdits();
    // The trader list anew (after loading, clearing, renaming, importing, deleting):
    // no trade shown.
    void Refill();
    // The tree's die or terrain: its row, or the empty last row when the trade has none.
    void SelectItemRow(const TInventoryData *item);
    // A die about to be deleted leaves the grid.
    void ForgetItem(const TInventoryData &item);

    // Panel and Edit menu commands.
    void SaveChanges();
    void CancelChanges();
    void TradeIn() { ChangeCurrentRow(+1); }
    void TradeOut() { ChangeCurrentRow(-1); }
    void Wait() { TransferCurrentItem(+1); }
    void Unwait() { TransferCurrentItem(-1); }
    void NextTradeUsing();

    // The Trading menu.
    void CreateTrade();
    void DuplicateTrade();
    void RenameTrade();
    void DeleteTrade();
    void ClearTrade();
    void CoverArmies();
    void NextTrade() { StepTrade(+1); }
    void PreviousTrade() { StepTrade(-1); }
    void NextWaiting();
    void NextAcceptedReceived();
    void NextSentProposed();
    void TraderByEMail();
    void ApplyTrade(TApplyKind kind);
    void CopyTradeToClipboard();
    void PrintTrade();
    void CopyAddressToClipboard();
    void ExportTrade();
    void ImportTradeFromFile();
    void ImportTradeFromClipboard();

    // What the panel shows, for the window's tests.
    TFancyGrid &Grid() const { return *grdTrade; }
    QComboBox &TraderSelector() const { return *cmbTrader; }
    QString NetText() const;
    TTradeFields Fields() const;

signals:
    // Another trade (or none) is shown: the trade items of the Edit menu follow.
    void CurrentTradeChanged();

private:
    void BuildWidgets();
    void ShowStatus(const QString &text);
    TfrmMain &Main() const;
    // The shown trade, or an empty panel, in every box, the selector and the grid.
    void ShowTrade();
    void FillSelector();
    void FillGrid();
    void ShowNet();
    void UpdateCommands();
    void FieldEdited();
    void SelectTrader(int index);
    void GridRowSelected(int row);
    void SortByTitle(int position, Qt::KeyboardModifiers keys);
    void ChangeCurrentRow(qint32 delta);
    void TransferCurrentItem(int direction);
    void StepTrade(int step);
    void FindWithStatus(std::initializer_list<TradeStatus> statuses);
    // A walk that found nothing beeps, and says so unless there was nothing to walk.
    void WalkEnded(TWalk walk);
    void ShowImported(TTrade &trade);
    QString AddressText() const;

    TfrmInventory &FForm;
    std::unique_ptr<TTradeEditor> FEditor;
    // Set while the panel fills its own boxes, which is no edit.
    bool FShowing = false;
    bool FSelectingRow = false;

    QComboBox *cmbTrader = nullptr;
    QPlainTextEdit *txtAddress = nullptr;
    QLineEdit *txtPhone = nullptr;
    QLineEdit *txtEMAIL = nullptr;
    QLineEdit *txtCard = nullptr;
    QComboBox *cmbStatus = nullptr;
    QCheckBox *chkUseTradeOuts = nullptr;
    QDateEdit *dtpDate = nullptr;
    QLineEdit *txtTerms = nullptr;
    QPlainTextEdit *txtNotes = nullptr;
    TFancyGrid *grdTrade = nullptr;
    QLabel *lblNet = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnCancel = nullptr;

    // The commands that need a shown trade.
    std::vector<QAction *> FTradeCommands;
};
