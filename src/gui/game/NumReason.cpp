#include "game/NumReason.h"

#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TfrmNumReason::TfrmNumReason(const QString &caption, const QString &prompt, const QStringList &reasons,
                             const QString &numberPrompt, qint32 low, qint32 high, qint32 initial, QWidget *parent)
    : TfrmReason(caption, prompt, reasons, QString(), parent)
{
    setObjectName(u"frmNumReason"_s);
    auto *group = new QGroupBox(u"Specify the amount"_s, this);
    group->setObjectName(u"grpAmount"_s);
    auto *label = new QLabel(numberPrompt, group);
    label->setObjectName(u"lblNumber"_s);
    spnNumber = new QSpinBox(group);
    spnNumber->setObjectName(u"spnNumber"_s);
    // The box keeps the number inside the range whatever is typed into it.
    spnNumber->setRange(low, high);
    spnNumber->setValue(initial);
    label->setBuddy(spnNumber);
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(label);
    layout->addWidget(spnNumber);
    Fields().addWidget(group);
}

qint32 TfrmNumReason::Number() const
{
    // Digits typed but not yet taken (OK pressed with the box in focus) count.
    spnNumber->interpretText();
    return spnNumber->value();
}

void TfrmNumReason::SetNumber(qint32 number)
{
    spnNumber->setValue(number);
}
