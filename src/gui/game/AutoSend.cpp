#include "game/AutoSend.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmAutoSend::TfrmAutoSend(int interval, QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmAutoSend"_s);
    setWindowTitle(u"Automatic Send and Receive"_s);
    chkEnable = new QCheckBox(u"Enable Auto-Send"_s, this);
    chkEnable->setObjectName(u"chkEnable"_s);
    chkEnable->setChecked(interval != 0);
    spnSeconds = new QSpinBox(this);
    spnSeconds->setObjectName(u"spnSeconds"_s);
    spnSeconds->setRange(1, 120);
    spnSeconds->setValue(interval != 0 ? interval : 30);
    spnSeconds->setEnabled(interval != 0);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *form = new QFormLayout;
    form->addRow(chkEnable);
    form->addRow(u"Number of Seconds Between Updates"_s, spnSeconds);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(chkEnable, &QCheckBox::toggled, spnSeconds, &QSpinBox::setEnabled);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

int TfrmAutoSend::Interval() const
{
    return chkEnable->isChecked() ? spnSeconds->value() : 0;
}
