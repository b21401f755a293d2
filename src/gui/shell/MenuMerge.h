#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QMainWindow;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;

// A maximized child window shows its menus in the frame's menu bar, as a multiple-document
// program of this kind does, so that there is one row of menus: a menu of the same title
// as one of the frame's ("&File", "&Edit", "&Options") holds the child's items, then the
// frame's that the child does not have; the child's other menus stand beside it. The
// child's own row is hidden meanwhile. Its shortcuts keep working through the frame's
// row, and everything is put back when the child is restored, loses the activation or
// goes.
class TMenuMerger : public QObject
{
    Q_OBJECT

public:
    TMenuMerger(QMainWindow &frame, QMdiArea &area);
    ~TMenuMerger() override;

    // The child window whose menus the frame shows, or none.
    QMainWindow *MergedChild() const { return FChild; }

private:
    void Update();
    void Merge(QMainWindow &child);
    void Unmerge();

    QMainWindow &FFrame;
    QMdiArea &FArea;
    QPointer<QMainWindow> FChild;
    QPointer<QMenuBar> FChildBar;
    // The frame's own row as it was, and the menus made for a merge.
    QList<QPointer<QAction>> FFrameItems;
    QList<QMenu *> FMerged;
};
