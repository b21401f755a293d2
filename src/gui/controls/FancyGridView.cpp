#include "controls/FancyGridView.h"

#include "controls/FancyGrid.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionHeader>

#include <cmath>

int GridLineHeight(int fontHeight, int heightFactor)
{
    if (fontHeight >= 0)
        return fontHeight + 2;
    return 2 - (heightFactor * fontHeight) / 2;
}

int GridFontHeight(const QFont &font, int logicalDpiY)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return -int(std::lround(font.pointSizeF() * logicalDpiY / 72.0));
}

TFancyGridModel::TFancyGridModel(TFancyGrid &grid) : QAbstractTableModel(&grid), FGrid(grid)
{}

int TFancyGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FGrid.Rows();
}

int TFancyGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FGrid.Cols();
}

QVariant TFancyGridModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    const TColumnData *column = FGrid.ColumnAt(index.column());
    const TCellData *cell = column ? column->Cell(index.row() + 1) : nullptr;
    return cell ? QVariant(cell->Text()) : QVariant();
}

QVariant TFancyGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const TColumnData *column = FGrid.ColumnAt(section);
    return column ? QVariant(column->Title()) : QVariant();
}

TFancyGridDelegate::TFancyGridDelegate(TFancyGrid &grid) : QStyledItemDelegate(&grid), FGrid(grid)
{}

void TFancyGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The style draws the background, selection and focus; the lines are ours.
    QStyleOptionViewItem panel = option;
    initStyleOption(&panel, index);
    panel.text.clear();
    const QWidget *widget = panel.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &panel, painter, widget);

    const bool selected = option.state & QStyle::State_Selected;
    QPalette::ColorGroup group = QPalette::Disabled;
    if (option.state & QStyle::State_Enabled)
        group = (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    const QColor text = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    FGrid.PaintCell(painter, option.rect, index.column(), index.row() + 1, selected, text);
}

TFancyGridHeader::TFancyGridHeader(TFancyGrid &grid) : QHeaderView(Qt::Horizontal, &grid), FGrid(grid)
{}

void TFancyGridHeader::paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = rect;
    option.text.clear();
    painter->save();
    style()->drawControl(QStyle::CE_HeaderSection, &option, painter, this);
    painter->restore();
    FGrid.PaintCell(painter, rect, logicalIndex, 0, false, palette().color(QPalette::ButtonText));
}

void TFancyGridHeader::mousePressEvent(QMouseEvent *event)
{
    FMouseDown = true;
    QHeaderView::mousePressEvent(event);
}

void TFancyGridHeader::mouseReleaseEvent(QMouseEvent *event)
{
    QHeaderView::mouseReleaseEvent(event);
    FMouseDown = false;
    if (FWidthsPending)
        FGrid.StoreUserWidths();
}

void TFancyGrid::PaintCell(QPainter *painter, const QRect &rect, int position, int row, bool selected,
                           QColor textColor) const
{
    const TColumnData *column = ColumnAt(position);
    const TCellData *cell = column && row > 0 ? column->Cell(row) : nullptr;
    if (!column || (row > 0 && !cell))
        return;
    QStringList lines;
    if (cell) {
        lines = cell->Text().split(u'\n');
        if (lines.size() > FRowLines)
            lines.resize(FRowLines);
    } else {
        lines << column->Title();
    }
    QFont font = this->font();
    if (cell && cell->Alarm() == 1) {
        // The alarm colour would vanish in the selection highlight.
        if (selected)
            font.setUnderline(true);
        else
            textColor = FAlarmColor;
    }

    const QRect area = rect.adjusted(2, 2, -2, -2);
    const int left = area.left();
    const int right = area.left() + area.width();
    painter->save();
    painter->setClipRect(area, Qt::IntersectClip);
    painter->setPen(textColor);
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        QFont lineFont = font;
        lineFont.setBold(i == FStrongLine);
        painter->setFont(lineFont);
        const QFontMetrics metrics(lineFont, painter->device());
        const int width = metrics.horizontalAdvance(line);
        int x = left;
        if (column->Alignment() == eAlignRight)
            x = right - width;
        else if (column->Alignment() == eAlignCenter)
            x = (left + right - width) / 2;
        painter->drawText(QPoint(x, area.top() + i * FLineHeight + metrics.ascent()), line);
    }
    painter->restore();

    if (cell && cell->Marked()) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(FAlarmColor, 0));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect.adjusted(1, 1, -2, -2));
        painter->restore();
    }
}
