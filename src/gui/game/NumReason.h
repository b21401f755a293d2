#pragma once

#include "game/ReasonForm.h"

class QSpinBox;

// The reason dialog with an amount: "Specify the amount" holds a whole number from the
// caller's range, starting at the number given. The roll calculator asks its new
// columns' names and costs and its spell bonuses with it.
class TfrmNumReason : public TfrmReason
{
    Q_OBJECT

public:
    TfrmNumReason(const QString &caption, const QString &prompt, const QStringList &reasons,
                  const QString &numberPrompt, qint32 low, qint32 high, qint32 initial, QWidget *parent = nullptr);

    qint32 Number() const;
    void SetNumber(qint32 number);
    QSpinBox &NumberBox() const { return *spnNumber; }

private:
    QSpinBox *spnNumber;
};
