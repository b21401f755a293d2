#pragma once

#include <QElapsedTimer>
#include <QString>

class QLabel;

// A window's status line for work of many steps: a step's own line is painted at once,
// progress lines at most every few milliseconds, so that a large collection is not held
// up by the painting.
class TProgressStatus
{
public:
    explicit TProgressStatus(QLabel &label) : FLabel(label) {}

    void Show(const QString &text);
    void Progress(const QString &text);

private:
    static constexpr int kPaintInterval = 25; // milliseconds

    QLabel &FLabel;
    QElapsedTimer FLastPaint;
};
