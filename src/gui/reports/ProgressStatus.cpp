#include "reports/ProgressStatus.h"

#include <QLabel>

void TProgressStatus::Show(const QString &text)
{
    FLabel.setText(text);
    FLabel.repaint();
    FLastPaint.start();
}

void TProgressStatus::Progress(const QString &text)
{
    FLabel.setText(text);
    if (!FLastPaint.isValid() || FLastPaint.elapsed() >= kPaintInterval)
        Show(text);
}
