#include "reports/DieCount.h"

#include "dice/Catalogue.h"
#include "editors/DieEdit.h"
#include "inventory/InventoryForm.h"
#include "inventory/InventoryTree.h"
#include "shell/MainForm.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <cstdint>

using namespace Qt::StringLiterals;

namespace {

std::optional<qint64> WholeNumber(const QString &text)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok, 10);
    return ok ? std::optional(value) : std::nullopt;
}

} // namespace

TfrmDieCount::TfrmDieCount(TfrmInventory &inventory, TInventoryNode &node, QWidget *parent)
    : QDialog(parent ? parent : &inventory), FInventory(inventory), FNode(&node)
{
    setObjectName(u"frmDieCount"_s);
    setWindowTitle(u"Update Die Count"_s);
    auto named = [this](auto *widget, const QString &name) {
        widget->setObjectName(name);
        return widget;
    };
    txtName = named(new QLineEdit(this), u"txtName"_s);
    txtName->setReadOnly(true);
    txtDescription = named(new QPlainTextEdit(this), u"txtDescription"_s);
    txtDescription->setReadOnly(true);
    txtDescription->setFixedHeight(64);
    txtCount = named(new QLineEdit(this), u"txtCount"_s);
    txtPrice = named(new QLineEdit(this), u"txtPrice"_s);
    txtDrawer = named(new QLineEdit(this), u"txtDrawer"_s);
    txtModifier = named(new QLineEdit(this), u"txtModifier"_s);
    txtThreshold = named(new QLineEdit(this), u"txtThreshold"_s);
    txtThreshold->setReadOnly(true);
    chkLocked = named(new QCheckBox(u"Locked"_s, this), u"chkLocked"_s);
    chkTrading = named(new QCheckBox(u"Trading"_s, this), u"chkTrading"_s);
    auto *hint = new QLineEdit(u"save - CTRL-S  next - CTRL-P  prev - CTRL-O"_s, this);
    hint->setReadOnly(true);
    hint->setFocusPolicy(Qt::NoFocus);
    btnSaveNext = named(new QPushButton(u"Save && Next"_s, this), u"btnSaveNext"_s);
    btnSaveClose = named(new QPushButton(u"&Save && Close"_s, this), u"btnSaveClose"_s);
    btnClose = named(new QPushButton(u"Close"_s, this), u"btnClose"_s);
    btnView = named(new QPushButton(u"&View"_s, this), u"btnView"_s);
    for (QPushButton *button : {btnSaveNext, btnSaveClose, btnClose, btnView})
        button->setAutoDefault(false);
    barStatus = named(new QLabel(this), u"barStatus"_s);
    barStatus->setFrameShape(QFrame::StyledPanel);

    auto *form = new QFormLayout;
    form->addRow(u"Name:"_s, txtName);
    form->addRow(txtDescription);
    form->addRow(u"Count"_s, txtCount);
    form->addRow(u"Price"_s, txtPrice);
    form->addRow(u"Drawer"_s, txtDrawer);
    form->addRow(u"Modifier"_s, txtModifier);
    form->addRow(u"Threshold"_s, txtThreshold);
    auto *flags = new QHBoxLayout;
    flags->addWidget(chkLocked);
    flags->addWidget(chkTrading);
    flags->addStretch(1);
    form->addRow(flags);
    form->addRow(hint);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {btnSaveNext, btnSaveClose, btnClose, btnView})
        buttons->addWidget(button);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(barStatus);

    for (QLineEdit *field : {txtCount, txtPrice, txtDrawer, txtModifier})
        connect(field, &QLineEdit::textChanged, this, &TfrmDieCount::Validate);
    connect(btnSaveNext, &QPushButton::clicked, this, &TfrmDieCount::SaveAndMove);
    connect(btnSaveClose, &QPushButton::clicked, this, &TfrmDieCount::SaveAndClose);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnView, &QPushButton::clicked, this, &TfrmDieCount::ViewDie);
    // Whichever field has the focus, the three keys belong to the dialog.
    for (int key : {Qt::Key_P, Qt::Key_O, Qt::Key_S}) {
        auto *shortcut = new QShortcut(QKeySequence(Qt::CTRL | key), this);
        connect(shortcut, &QShortcut::activated, this, [this, key] { HandleControlKey(key); });
    }
    resize(460, 400);
    LoadControls();
}

void TfrmDieCount::Edit(TfrmInventory &inventory, TInventoryNode &node)
{
    TfrmDieCount dialog(inventory, node);
    dialog.exec();
}

void TfrmDieCount::ShowStatus(const QString &text)
{
    barStatus->setText(text);
}

QString TfrmDieCount::StatusText() const
{
    return barStatus->text();
}

void TfrmDieCount::LoadControls()
{
    const TInventoryData &item = FNode->Data();
    const TInventory &inventory = FInventory.Inventory();
    txtName->setText(item.Name);
    txtDescription->setPlainText(item.LongText());
    txtCount->setText(QString::number(item.Count));
    txtPrice->setText(QString::number(item.Price()));
    txtDrawer->setText(item.Drawer);
    txtModifier->setText(QString::number(item.Modifier));
    txtThreshold->setText(QString::number(inventory.Threshold(item)));
    chkLocked->setChecked(item.Locked);
    chkTrading->setChecked(item.Trading);
    btnView->setEnabled(FNode->Kind() == TInventoryNode::Die);
    auto *field = qobject_cast<QLineEdit *>(focusWidget());
    if (!field || field->isReadOnly()) {
        txtCount->setFocus();
        field = txtCount;
    }
    field->selectAll();
    Validate();
}

bool TfrmDieCount::CanSave() const
{
    const std::optional<qint64> count = WholeNumber(txtCount->text());
    const std::optional<qint64> price = WholeNumber(txtPrice->text());
    const std::optional<qint64> modifier = WholeNumber(txtModifier->text());
    return modifier && *modifier >= INT32_MIN && *modifier <= INT32_MAX && count && *count >= 0
           && *count <= UINT32_MAX && price && *price > 0 && *price <= INT32_MAX;
}

void TfrmDieCount::Validate()
{
    const bool valid = CanSave();
    btnSaveNext->setEnabled(valid);
    btnSaveClose->setEnabled(valid);
}

void TfrmDieCount::SaveCount()
{
    if (!CanSave())
        return;
    TInventoryData &item = FNode->Data();
    TInventory &inventory = FInventory.Inventory();
    inventory.SetDrawer(item, txtDrawer->text());
    if (const qint32 price = qint32(*WholeNumber(txtPrice->text())); price != item.Price())
        inventory.SetPrice(item, price);
    if (const qint64 count = *WholeNumber(txtCount->text()); count != item.Count)
        inventory.SetItemCount(item, count);
    if (chkLocked->isChecked() != item.Locked)
        inventory.SetLocked(item, chkLocked->isChecked());
    if (chkTrading->isChecked() != item.Trading)
        inventory.SetTrading(item, chkTrading->isChecked());
    if (const qint32 modifier = qint32(*WholeNumber(txtModifier->text())); modifier != item.Modifier)
        inventory.SetModifier(item, modifier);
    inventory.InventoryModified = true;
    ShowStatus(item.Name + u" updated."_s);
}

void TfrmDieCount::MoveToNextItem()
{
    TInventoryTree &tree = FInventory.Tree();
    if (TInventoryNode *next = FForward ? tree.NextItem(FNode) : tree.PreviousItem(FNode)) {
        FNode = next;
        LoadControls();
    }
}

void TfrmDieCount::SaveAndMove()
{
    SaveCount();
    MoveToNextItem();
}

void TfrmDieCount::SaveAndClose()
{
    SaveCount();
    accept();
}

void TfrmDieCount::SetDirection(bool forward)
{
    FForward = forward;
    btnSaveNext->setText(forward ? u"Save && Next"_s : u"Save && Prev"_s);
    ShowStatus(forward ? u"Forward scrolling enabled."_s : u"Backward scrolling enabled."_s);
}

void TfrmDieCount::ViewDie()
{
    if (FNode->Kind() == TInventoryNode::Die)
        TfrmDie::ViewDie(FInventory.Main(), static_cast<TDie &>(FNode->Data()));
}

bool TfrmDieCount::HandleControlKey(int key)
{
    switch (key) {
    case Qt::Key_P:
        SetDirection(true);
        MoveToNextItem();
        return true;
    case Qt::Key_O:
        SetDirection(false);
        MoveToNextItem();
        return true;
    case Qt::Key_S:
        if (CanSave())
            SaveCount();
        return true;
    default:
        return false;
    }
}
