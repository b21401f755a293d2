#pragma once

#include <QList>
#include <QRect>

class QLabel;
class QMdiArea;
class QSize;
class QWidget;

// How the frame's child windows share its client area, and what lets a child window be
// made smaller than its controls need without looking broken.

// Tile: a grid of as many columns as the square root of the count asks, rows from the
// top; the last row's windows share its whole width. Every rectangle lies inside area.
QList<QRect> TileRects(const QRect &area, int count);
// Cascade: each window a step down and right of the last, all of one size that leaves
// room for the steps (at least two thirds of the area each way); past the foot of the
// area the steps start again at the top.
QList<QRect> CascadeRects(const QRect &area, int count, int step);

// Arrange the visible, not minimised child windows inside the MDI area's client area.
// The frame keeps its size: unlike the MDI area's own arrangements, which grow the
// frame until every window has its minimum size.
void TileChildWindows(QMdiArea &area);
void CascadeChildWindows(QMdiArea &area);

// The controls of a child window inside a frameless scroll area: smaller than they
// need, the window scrolls them instead of squeezing them or refusing to shrink.
QWidget *ScrollingContent(QWidget *content);
// A status line whose long texts are cut at the window's edge instead of widening it.
void KeepNarrow(QLabel &status);

// Where a window of the given size opens the first time: centred on the frame, inside it
// where the window's minimum allows, never larger than the screen's room and on it.
QRect FirstPlacement(const QRect &frame, const QRect &screen, const QSize &size, const QSize &minimum);
// The window is placed so when it is first shown, over the frame as it stands then.
void PlaceOnFirstShow(QWidget &window, const QWidget &frame);
// Bounds of which too little shows on any screen, brought onto the frame's screen.
QRect OntoScreen(const QWidget &frame, const QRect &bounds);
