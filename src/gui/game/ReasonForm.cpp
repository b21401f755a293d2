#include "game/ReasonForm.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmReason::TfrmReason(const QString &caption, const QString &prompt, const QStringList &reasons,
                       const QString &proposed, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"frmReason"_s);
    setWindowTitle(caption);
    auto *label = new QLabel(prompt, this);
    label->setObjectName(u"lblPrompt"_s);
    txtReason = new QLineEdit(this);
    txtReason->setObjectName(u"txtReason"_s);
    lstReasons = new QListWidget(this);
    lstReasons->setObjectName(u"lstReasons"_s);
    lstReasons->addItems(reasons);
    btnOK = new QPushButton(u"OK"_s, this);
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setDefault(true);
    btnCancel = new QPushButton(u"Cancel"_s, this);
    btnCancel->setObjectName(u"btnCancel"_s);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(txtReason);
    layout->addWidget(lstReasons, 1);
    FFields = new QVBoxLayout;
    layout->addLayout(FFields);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    label->setBuddy(txtReason);
    resize(360, 420);

    connect(txtReason, &QLineEdit::textChanged, this, [this] { UpdateOK(); });
    connect(lstReasons, &QListWidget::currentTextChanged, this, [this](const QString &text) {
        if (!text.isEmpty())
            txtReason->setText(text);
    });
    connect(lstReasons, &QListWidget::itemDoubleClicked, this, [this] { Accept(); });
    connect(btnOK, &QPushButton::clicked, this, [this] { Accept(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    SetReason(proposed);
    UpdateOK();
}

QString TfrmReason::Reason() const
{
    return txtReason->text();
}

void TfrmReason::SetReason(const QString &text)
{
    const QList<QListWidgetItem *> found = lstReasons->findItems(text, Qt::MatchExactly);
    if (!text.isEmpty() && !found.isEmpty())
        lstReasons->setCurrentItem(found.front());
    txtReason->setText(text);
}

bool TfrmReason::CanAccept() const
{
    return !txtReason->text().isEmpty();
}

bool TfrmReason::Accept()
{
    if (!CanAccept())
        return false;
    accept();
    return true;
}

void TfrmReason::UpdateOK()
{
    btnOK->setEnabled(CanAccept());
}

TfrmRollReason::TfrmRollReason(const QString &caption, const QString &prompt, const QStringList &reasons,
                               const QStringList &targets, QWidget *parent)
    : TfrmReason(caption, prompt, reasons, QString(), parent)
{
    setObjectName(u"frmRollReason"_s);
    auto *label = new QLabel(u"Enter the target army (if any)"_s, this);
    cmbTarget = new QComboBox(this);
    cmbTarget->setObjectName(u"cmbTarget"_s);
    cmbTarget->addItems(targets);
    cmbTarget->setCurrentIndex(targets.isEmpty() ? -1 : 0);
    label->setBuddy(cmbTarget);
    Fields().addWidget(label);
    Fields().addWidget(cmbTarget);
}

QString TfrmRollReason::Target() const
{
    return cmbTarget->currentText();
}

void TfrmRollReason::SetTarget(int index)
{
    cmbTarget->setCurrentIndex(index);
}
