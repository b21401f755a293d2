#include "shell/MenuMerge.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

using namespace Qt::StringLiterals;

namespace {

// Captions compare without their access keys and the dots of a command that asks first:
// "&Open..." of a child window is the frame's "&Open".
QString Plain(const QString &caption)
{
    QString text = caption;
    text.remove(u'&');
    if (text.endsWith(u"..."_s))
        text.chop(3);
    return text.trimmed();
}

} // namespace

TMenuMerger::TMenuMerger(QMainWindow &frame, QMdiArea &area) : QObject(&frame), FFrame(frame), FArea(area)
{
    connect(&FArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *window) {
        if (window)
            connect(window, &QMdiSubWindow::windowStateChanged, this, &TMenuMerger::Update, Qt::UniqueConnection);
        Update();
    });
}

TMenuMerger::~TMenuMerger()
{
    qDeleteAll(FMerged);
}

void TMenuMerger::Update()
{
    QMdiSubWindow *active = FArea.activeSubWindow();
    auto *child = active && active->isMaximized() ? qobject_cast<QMainWindow *>(active->widget()) : nullptr;
    if (child && !child->menuBar()->actions().isEmpty()) {
        if (child != FChild) {
            Unmerge();
            Merge(*child);
        }
        return;
    }
    Unmerge();
}

void TMenuMerger::Merge(QMainWindow &child)
{
    QMenuBar *bar = FFrame.menuBar();
    FFrameItems.clear();
    for (QAction *item : bar->actions())
        FFrameItems << item;

    // The frame's menus in their order, each child menu beside the one it follows.
    struct TEntry
    {
        QAction *Frame = nullptr;
        QAction *Child = nullptr;
    };
    QList<TEntry> row;
    for (QAction *item : bar->actions())
        row << TEntry{item, nullptr};
    qsizetype insertAt = 0;
    for (QAction *item : child.menuBar()->actions()) {
        qsizetype same = -1;
        for (qsizetype i = 0; i < row.size(); ++i) {
            if (row[i].Frame && !row[i].Child && Plain(row[i].Frame->text()) == Plain(item->text()))
                same = i;
        }
        if (same >= 0) {
            row[same].Child = item;
            insertAt = same + 1;
        } else {
            row.insert(insertAt++, TEntry{nullptr, item});
        }
    }

    for (QAction *item : bar->actions())
        bar->removeAction(item);
    for (const TEntry &entry : row) {
        QMenu *frameMenu = entry.Frame ? entry.Frame->menu() : nullptr;
        QMenu *childMenu = entry.Child ? entry.Child->menu() : nullptr;
        if (!frameMenu || !childMenu) {
            bar->addAction(entry.Frame ? entry.Frame : entry.Child);
            continue;
        }
        // The child's items first: they act on the window in front.
        auto *merged = new QMenu(entry.Child->text());
        FMerged << merged;
        merged->addActions(childMenu->actions());
        QStringList have;
        for (const QAction *item : childMenu->actions())
            have << Plain(item->text());
        merged->addSeparator();
        for (QAction *item : frameMenu->actions()) {
            if (item->isSeparator() || !have.contains(Plain(item->text())))
                merged->addAction(item);
        }
        bar->addMenu(merged);
    }
    FChild = &child;
    FChildBar = child.menuBar();
    FChildBar->hide();
}

void TMenuMerger::Unmerge()
{
    if (!FChild && FFrameItems.isEmpty())
        return;
    QMenuBar *bar = FFrame.menuBar();
    for (QAction *item : bar->actions())
        bar->removeAction(item);
    for (const QPointer<QAction> &item : std::as_const(FFrameItems)) {
        if (item)
            bar->addAction(item);
    }
    FFrameItems.clear();
    qDeleteAll(FMerged);
    FMerged.clear();
    if (FChildBar)
        FChildBar->show();
    FChild = nullptr;
    FChildBar = nullptr;
}
