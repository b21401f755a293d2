#pragma once

#include "KrException.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QTableView>

#include <functional>
#include <memory>
#include <type_traits>
#include <typeinfo>
#include <vector>

class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class TFancyGrid;
class TFancyGridHeader;
class TFancyGridModel;
class TSettingsStore;

// Raised for a row or column count below 1 and for a layout key that cannot be used.
class EGridError : public TKrException
{
public:
    using TKrException::TKrException;
};

// The height of one text line in the grid. A positive font height is in pixels; a
// negative one is the point size turned into pixels and negated, and is scaled by the
// height factor the way the old grids were (-11 with factor 3 gives 18).
int GridLineHeight(int fontHeight, int heightFactor);
// The font height in the sense above: the pixel size when the font has one, else
// -round(point size * dpi / 72).
int GridFontHeight(const QFont &font, int logicalDpiY);

// A cell's or column's reference to one of the caller's objects. It remembers the type the
// object was stored as and gives it back only as exactly that type, so a window that keeps
// dice in one grid and armies in another cannot mistake one for the other. A reference made
// with Own() owns the object and frees it when it is cleared, replaced or destroyed; one made
// with Refer() never frees anything.
class TGridObject
{
public:
    TGridObject() = default;
    TGridObject(const TGridObject &) = delete;
    TGridObject &operator=(const TGridObject &) = delete;
    ~TGridObject() { Reset(); }

    template <class T> void Refer(T *object)
    {
        static_assert(!std::is_const_v<T>, "the grid hands its objects back for changing");
        Reset();
        if (object) {
            FObject = object;
            FType = &typeid(T);
        }
    }

    template <class T> void Own(std::unique_ptr<T> object)
    {
        static_assert(!std::is_const_v<T>, "the grid hands its objects back for changing");
        Reset();
        if (object) {
            FType = &typeid(T);
            FObject = object.release();
            FDeleter = [](void *owned) { delete static_cast<T *>(owned); };
        }
    }

    template <class T> T *As() const { return FType && *FType == typeid(T) ? static_cast<T *>(FObject) : nullptr; }

    bool IsEmpty() const { return FObject == nullptr; }
    bool Owned() const { return FDeleter != nullptr; }
    const void *Address() const { return FObject; }
    // Frees an owned object; forgets a referred one.
    void Reset();

private:
    void *FObject = nullptr;
    const std::type_info *FType = nullptr;
    void (*FDeleter)(void *) = nullptr;
};

class TColumnData;

// One cell of a data row. Its text may hold several lines separated by '\n'.
class TCellData
{
public:
    explicit TCellData(TColumnData &column) : FColumn(&column) {}
    TCellData(const TCellData &) = delete;
    TCellData &operator=(const TCellData &) = delete;

    TColumnData &Column() const { return *FColumn; }
    // 1-based, or -1 when the cell is not in its column's list.
    int Row() const;

    const QString &Text() const { return FText; }
    void SetText(const QString &text);
    // 1 draws the cell as an alarm.
    quint8 Alarm() const { return FAlarm; }
    void SetAlarm(quint8 alarm);
    bool Marked() const { return FMarked; }
    // Sets the mark without asking the owner and without the grid's Mark signal; the
    // user's way goes through TFancyGrid::SetCellMark.
    void SetMarked(bool marked);

    // The caller's object (not owned unless given with AdoptData), read back as the type it
    // was stored as.
    template <class T> T *Data() const { return FData.template As<T>(); }
    template <class T> void SetData(T *object) { FData.Refer(object); }
    template <class T> void AdoptData(std::unique_ptr<T> object) { FData.Own(std::move(object)); }
    bool HasData() const { return !FData.IsEmpty(); }
    const void *DataAddress() const { return FData.Address(); }
    void FreeData() { FData.Reset(); }

    // Alarm 0, no text, no data, no mark.
    void Clear();

private:
    friend class TFancyGrid;
    friend class TColumnData;
    void Redraw();

    TColumnData *FColumn;
    quint8 FAlarm = 0;
    QString FText;
    TGridObject FData;
    bool FMarked = false;
};

enum TColumnAlignment { eAlignLeft = 0, eAlignRight = 1, eAlignCenter = 2 };

// One column of the grid in its logical place. Position is the grid column where it is
// shown; the user may move columns around without changing their logical order.
class TColumnData
{
public:
    TColumnData(TFancyGrid &grid, int position, int width);
    TColumnData(const TColumnData &) = delete;
    TColumnData &operator=(const TColumnData &) = delete;

    TFancyGrid &Grid() const { return *FGrid; }
    // 1-based logical number.
    int Index() const;

    int Position() const { return FPosition; }
    // Moves the column to grid column p; the columns in between close the gap.
    void SetPosition(int position);

    // The cell of a 1-based row, or null outside 1..Rows.
    TCellData *Cell(int row) const;
    int CellCount() const { return int(FCells.size()); }

    const QString &Title() const { return FTitle; }
    void SetTitle(const QString &title);
    int Width() const { return FWidth; }
    // Shows the width at once; unlike a change by the user it does not signal ColsChanged.
    void SetWidth(int width);
    TColumnAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TColumnAlignment alignment);

    // The column's own object; FreeData on the grid drops it (freeing it when owned).
    template <class T> T *Data() const { return FData.template As<T>(); }
    template <class T> void SetData(T *object) { FData.Refer(object); }
    template <class T> void AdoptData(std::unique_ptr<T> object) { FData.Own(std::move(object)); }
    bool HasData() const { return !FData.IsEmpty(); }

    // Every cell cleared.
    void Clear();
    void Redraw();

private:
    friend class TFancyGrid;
    friend class TCellData;

    TFancyGrid *FGrid;
    int FPosition;
    std::vector<std::unique_ptr<TCellData>> FCells;
    QString FTitle;
    int FWidth;
    TColumnAlignment FAlignment = eAlignLeft;
    TGridObject FData;
};

// Title and alignment of one column, for setting up all columns in one call.
struct TColumnSpec
{
    QString Title;
    TColumnAlignment Alignment = eAlignLeft;
};

// What a click selects.
enum TSelectMode { eSelectColumn, eSelectRow, eSelectCell };

// The grid of every document window: a list of column objects in logical order, each with
// one cell object per data row. The title row is the header. Columns can be moved and
// resized by the user, and their layout is kept in the settings store under RegKey.
// The grid column at index c always shows the column whose Position is c.
class TFancyGrid : public QTableView
{
    Q_OBJECT

public:
    explicit TFancyGrid(QWidget *parent = nullptr);
    // Saves the layout when a key is set, swallowing any failure.
    ~TFancyGrid() override;

    int Cols() const { return int(FColumns.size()); }
    void SetCols(int count);
    // Data rows; the title row is not counted.
    int Rows() const { return FRows; }
    void SetRows(int count);
    int RowLines() const { return FRowLines; }
    void SetRowLines(int lines);
    int HeightFactor() const { return FHeightFactor; }
    void SetHeightFactor(int factor);
    bool ColMoving() const { return FColMoving; }
    void SetColMoving(bool moving);
    bool ColSizing() const { return FColSizing; }
    void SetColSizing(bool sizing);
    TSelectMode SelectMode() const { return FSelectMode; }
    void SetSelectMode(TSelectMode mode);
    bool DblClickMarks() const { return FDblClickMarks; }
    void SetDblClickMarks(bool marks) { FDblClickMarks = marks; }
    bool OnlyMarkFull() const { return FOnlyMarkFull; }
    void SetOnlyMarkFull(bool onlyFull) { FOnlyMarkFull = onlyFull; }
    // 0-based line of every cell drawn bold, -1 for none.
    int StrongLine() const { return FStrongLine; }
    void SetStrongLine(int line);
    QColor AlarmColor() const { return FAlarmColor; }
    void SetAlarmColor(const QColor &color);
    int DefaultColWidth() const { return FDefaultColWidth; }
    // Gives every column this width, as the old grids did.
    void SetDefaultColWidth(int width);
    // The current line height in pixels; data rows are RowLines of them.
    int LineHeight() const { return FLineHeight; }

    // The layout is kept in the store (which must outlive the grid) under key + "\" + name.
    // Setting the key loads the layout at once; an empty key or no store raises EGridError.
    const QString &RegKey() const { return FRegKey; }
    void SetRegKey(TSettingsStore *store, const QString &key);
    // The owning window calls this when it closes.
    void SaveLayout();

    // 1-based logical number, or null.
    TColumnData *Column(int index) const;
    // The column shown at a grid column, or null.
    TColumnData *ColumnAt(int position) const;
    // Titles and alignments for the columns that exist, in logical order.
    void SetColData(const QList<TColumnSpec> &specs);

    // The data cell under a point of the viewport (null on the title row or outside).
    TCellData *CellAt(const QPoint &point) const;
    // Column by column in logical order, each from the top.
    QList<TCellData *> MarkedCells() const;
    bool AnyMarked() const;
    // Without the Mark signal.
    void ClearMarks();
    void ClearCells();
    // Drops the objects of every column and cell, freeing the ones they own.
    void FreeData();
    TCellData *FindCellWithData(const void *object) const;

    // Makes a cell current as a click would (SelectItem follows) and scrolls it into view.
    void SelectCell(int column, int row);
    // The selection: a cell in eSelectCell mode, and the logical column and row (-1 unset).
    TCellData *SelectedCell() const { return FSelectedCell; }
    int SelectedCol() const { return FSelectedCol; }
    int SelectedRow() const { return FSelectedRow; }

    // Sets or clears a mark the way the user does: OnlyMarkFull and OnVerifyMark may refuse
    // an "on"; Mark is signalled when the mark changes. True when the cell ends as asked.
    bool SetCellMark(TCellData &cell, bool marked);
    // If any cell of the grid columns first..last (by position) and rows top..bottom is
    // marked, every one is unmarked; otherwise every one is marked.
    void ToggleMarks(int firstPosition, int top, int lastPosition, int bottom);
    void ToggleSelectionMarks();

    // Moves a cell to row r of a column (r = Rows + 1 is the end). Within its column the
    // cell is reinserted at r (r - 1 when it moves down). Into another column the target
    // loses its last cell (the grid grows a row first when that cell holds something) and
    // the source gets a blank cell at its end.
    void MoveCell(TCellData &cell, TColumnData &target, int row);

    // May the user start a drag? Unset means no.
    std::function<bool(TFancyGrid &)> OnVerifyDrag;
    // May this cell be marked? Unset means yes.
    std::function<bool(TFancyGrid &, TCellData &)> OnVerifyMark;

signals:
    void ColsChanged();
    // Logical column or -1, row or -1.
    void SelectItem(int column, int row);
    void Process();
    void RightClick();
    void Mark();
    // The drag the user starts is about to run; fill in what it carries.
    void DragStarting(QMimeData *data);
    // Accept the event to take a drop (the grid needs setAcceptDrops(true)).
    void DragOver(QDragMoveEvent *event);
    void DragDrop(QDropEvent *event);
    // The user dragged the column at one grid column to another (the move is done).
    void ColumnMoved(int fromPosition, int toPosition);
    // The left button went down on the title of a grid column, with these keys held.
    void TitleClicked(int position, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void changeEvent(QEvent *event) override;
    void updateGeometries() override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    friend class TCellData;
    friend class TColumnData;
    friend class TFancyGridDelegate;
    friend class TFancyGridHeader;

    void ApplyHeights();
    void ApplyWidths();
    void MoveColumn(TColumnData &column, int position);
    void RedrawCell(const TCellData &cell);
    void RedrawColumn(const TColumnData &column);
    void HandleSelection();
    void ShowSelection();
    void ClearSelection();
    void MakeCurrent(const QModelIndex &index);
    void ForgetCell(const TCellData *cell);
    void DoubleClicked();
    void TitleDoubleClicked(int position);
    void SectionMoved(int logicalIndex, int oldVisual, int newVisual);
    void SectionResized(int logicalIndex);
    void StoreUserWidths();
    void LoadLayout();
    void CheckStore(bool forWriting) const;
    QString ValueName(const QString &name) const;
    // Row 0 is the title row.
    void PaintCell(QPainter *painter, const QRect &rect, int position, int row, bool selected, QColor textColor) const;

    TFancyGridModel *FModel = nullptr;
    TFancyGridHeader *FHeader = nullptr;
    std::vector<std::unique_ptr<TColumnData>> FColumns;
    int FRows = 3;
    int FRowLines = 1;
    int FHeightFactor = 3;
    int FLineHeight = 0;
    bool FColMoving = true;
    bool FColSizing = true;
    TSelectMode FSelectMode = eSelectRow;
    bool FDblClickMarks = false;
    bool FOnlyMarkFull = false;
    int FStrongLine = -1;
    QColor FAlarmColor{255, 0, 0};
    int FDefaultColWidth = 64;
    TSettingsStore *FStore = nullptr;
    QString FRegKey;

    TCellData *FSelectedCell = nullptr;
    int FSelectedRow = -1;
    int FSelectedCol = -1;
    // Grid column whose title was double-clicked, until the double click is handled.
    int FTitlePosition = -1;
    // Where the mouse went down (grid column, 1-based row), -1 when not on a data cell.
    int FDownPosition = -1;
    int FDownRow = -1;
    QPoint FDownPoint;
    bool FSelecting = false;
    // Set while the grid moves its own cursor or rebuilds itself, so that no SelectItem
    // is reported for it.
    bool FSuppressSelection = false;
    // Set while the grid sizes its own columns, so that only the user's sizing counts.
    bool FApplyingWidths = false;
    bool FUndoingMove = false;
};
