#include "game/MarchForm.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmMarch::TfrmMarch(const QStringList &lines, QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frmMarch"_s);
    setWindowTitle(u"Select Acting Army for Next March"_s);
    lstPlaces = new QListWidget(this);
    lstPlaces->setObjectName(u"lstPlaces"_s);
    lstPlaces->addItems(lines);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK = buttons->button(QDialogButtonBox::Ok);
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lstPlaces);
    layout->addWidget(buttons);
    connect(lstPlaces, &QListWidget::currentRowChanged, this, [this](int row) { btnOK->setEnabled(row >= 0); });
    connect(lstPlaces, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (Choice())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

std::optional<int> TfrmMarch::Choice() const
{
    const int row = lstPlaces->currentRow();
    return row >= 0 ? std::optional(row) : std::nullopt;
}

void TfrmMarch::Choose(int line)
{
    lstPlaces->setCurrentRow(line);
}
