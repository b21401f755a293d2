#include "shell/ChildWindows.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
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

namespace {

// A window's frame is not known before it shows; it is about the main frame's own.
QMargins BorderOf(const QWidget &frame)
{
    const QRect inner = frame.geometry();
    const QRect outer = frame.frameGeometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

} // namespace

QRect OntoScreen(const QWidget &frame, const QRect &bounds)
{
    // A window of which less than a title bar's worth shows on any screen cannot be
    // reached to be moved.
    constexpr int kReachable = 40;
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect seen = screen->availableGeometry() & bounds;
        if (seen.width() >= std::min(kReachable, bounds.width()) && seen.height() >= std::min(kReachable, bounds.height()))
            return bounds;
    }
    const QScreen *screen = frame.screen() ? frame.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return bounds;
    // The bounds are the window's outer corner and its inner size.
    const QMargins border = BorderOf(frame);
    const QRect room = screen->availableGeometry();
    const QSize outer = bounds.size().grownBy(border).boundedTo(room.size());
    return QRect(QPoint(std::clamp(bounds.left(), room.left(), room.right() + 1 - outer.width()),
                        std::clamp(bounds.top(), room.top(), room.bottom() + 1 - outer.height())),
                 outer.shrunkBy(border));
}

QRect FirstPlacement(const QRect &frame, const QRect &screen, const QSize &size, const QSize &minimum)
{
    // Inside the frame where the window can be that small, never larger than the screen.
    const QSize fitted = size.boundedTo(frame.size()).expandedTo(minimum).boundedTo(screen.size());
    QRect placed(QPoint(), fitted);
    placed.moveCenter(frame.center());
    placed.moveLeft(std::clamp(placed.left(), screen.left(), screen.right() + 1 - fitted.width()));
    placed.moveTop(std::clamp(placed.top(), screen.top(), screen.bottom() + 1 - fitted.height()));
    return placed;
}

void PlaceOnFirstShow(QWidget &window, const QWidget &frame)
{
    // Qt centres a dialog itself when it is shown, but on the frame's middle whatever the
    // dialog's size, so that a large one starts at the screen's corner or reaches past it.
    class TPlacer : public QObject
    {
    public:
        TPlacer(const QWidget &main, QWidget &window) : QObject(&window), FMain(main) { window.installEventFilter(this); }

        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() != QEvent::Show)
                return false;
            auto &window = *static_cast<QWidget *>(watched);
            const QScreen *screen = FMain.screen() ? FMain.screen() : QGuiApplication::primaryScreen();
            if (screen) {
                const QMargins border = BorderOf(FMain);
                const QRect outer = FirstPlacement(FMain.frameGeometry(), screen->availableGeometry(),
                                                   window.size().grownBy(border),
                                                   window.minimumSizeHint().expandedTo(window.minimumSize()).grownBy(border));
                window.resize(outer.size().shrunkBy(border));
                window.move(outer.topLeft());
            }
            window.removeEventFilter(this);
            deleteLater();
            return false;
        }

    private:
        const QWidget &FMain;
    };
    new TPlacer(frame, window);
}

