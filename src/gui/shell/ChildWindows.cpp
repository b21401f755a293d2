#include "shell/ChildWindows.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <QStyle>

#include <algorithm>
#include <cmath>

QList<QRect> TileRects(const QRect &area, int count)
{
    QList<QRect> rects;
    if (count <= 0 || area.isEmpty())
        return rects;
    const int columns = int(std::ceil(std::sqrt(double(count))));
    const int rows = (count + columns - 1) / columns;
    for (int i = 0; i < count; ++i) {
        const int row = i / columns;
        // The last row may hold fewer windows; they share its width.
        const int inRow = row == rows - 1 ? count - row * columns : columns;
        const int column = i % columns;
        const int left = area.left() + area.width() * column / inRow;
        const int right = area.left() + area.width() * (column + 1) / inRow;
        const int top = area.top() + area.height() * row / rows;
        const int bottom = area.top() + area.height() * (row + 1) / rows;
        rects << QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
    }
    return rects;
}

QList<QRect> CascadeRects(const QRect &area, int count, int step)
{
    QList<QRect> rects;
    if (count <= 0 || area.isEmpty())
        return rects;
    step = std::max(step, 1);
    const auto side = [&](int length) {
        return std::clamp(length - (count - 1) * step, std::min(length, length * 2 / 3), length);
    };
    const QSize size(side(area.width()), side(area.height()));
    // As many steps as fit before a window would pass the right or the foot.
    const int steps = 1 + std::min((area.width() - size.width()) / step, (area.height() - size.height()) / step);
    for (int i = 0; i < count; ++i) {
        const int offset = (i % steps) * step;
        rects << QRect(area.topLeft() + QPoint(offset, offset), size);
    }
    return rects;
}

namespace {

QList<QMdiSubWindow *> Arranged(QMdiArea &area, QMdiArea::WindowOrder order)
{
    QList<QMdiSubWindow *> windows = area.subWindowList(order);
    windows.removeIf([](const QMdiSubWindow *window) { return window->isHidden() || window->isMinimized(); });
    return windows;
}

void Place(const QList<QMdiSubWindow *> &windows, const QList<QRect> &rects)
{
    for (qsizetype i = 0; i < windows.size() && i < rects.size(); ++i) {
        if (windows[i]->isMaximized())
            windows[i]->showNormal();
        windows[i]->setGeometry(rects[i]);
    }
}

} // namespace

void TileChildWindows(QMdiArea &area)
{
    const QList<QMdiSubWindow *> windows = Arranged(area, QMdiArea::CreationOrder);
    Place(windows, TileRects(area.viewport()->rect(), int(windows.size())));
}

void CascadeChildWindows(QMdiArea &area)
{
    // The windows front to back: the active one ends in front, at the last step.
    const QList<QMdiSubWindow *> windows = Arranged(area, QMdiArea::StackingOrder);
    const int step = area.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &area) + 4;
    Place(windows, CascadeRects(area.viewport()->rect(), int(windows.size()), step));
    for (QMdiSubWindow *window : windows)
        window->raise();
}

QWidget *ScrollingContent(QWidget *content)
{
    auto *scroll = new QScrollArea;
    scroll->setObjectName(content->objectName() + QStringLiteral("Scroll"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    return scroll;
}

void KeepNarrow(QLabel &status)
{
    status.setSizePolicy(QSizePolicy::Ignored, status.sizePolicy().verticalPolicy());
}
