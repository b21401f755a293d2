#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TInventoryData;
class TInventoryNode;
class TfrmInventory;

// "Update Die Count": edits the inventory record of one die or terrain and walks the
// inventory tree item by item, so that a collection can be counted in one go.
class TfrmDieCount : public QDialog
{
    Q_OBJECT

public:
    TfrmDieCount(TfrmInventory &inventory, TInventoryNode &node, QWidget *parent = nullptr);

    // Opens the dialog modally on the node.
    static void Edit(TfrmInventory &inventory, TInventoryNode &node);

    TInventoryNode &Node() const { return *FNode; }
    bool Forward() const { return FForward; }
    // Both save buttons are enabled exactly when the fields hold acceptable numbers.
    bool CanSave() const;
    void SaveCount();
    void MoveToNextItem();
    void SaveAndMove();
    void SaveAndClose();
    void SetDirection(bool forward);
    void ViewDie();
    // Ctrl+P forward, Ctrl+O backward (each moving without saving), Ctrl+S save; answers
    // whether the key was one of them.
    bool HandleControlKey(int key);
    QString StatusText() const;

private:
    void LoadControls();
    void Validate();
    void ShowStatus(const QString &text);

    TfrmInventory &FInventory;
    TInventoryNode *FNode;
    bool FForward = true;

    QLineEdit *txtName;
    QPlainTextEdit *txtDescription;
    QLineEdit *txtCount;
    QLineEdit *txtPrice;
    QLineEdit *txtDrawer;
    QLineEdit *txtModifier;
    QLineEdit *txtThreshold;
    QCheckBox *chkLocked;
    QCheckBox *chkTrading;
    QPushButton *btnSaveNext;
    QPushButton *btnSaveClose;
    QPushButton *btnClose;
    QPushButton *btnView;
    QLabel *barStatus;
};
