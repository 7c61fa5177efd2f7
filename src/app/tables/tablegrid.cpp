#include "app/tables/tablegrid.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <utility>

TableGrid::TableGrid(QWidget *parent)
    : QTableView(parent)
{
    // The grid keeps its room between the cells; only its pen draws nothing.
    setGridStyle(Qt::NoPen);
}

int TableGrid::cellWidth(const QModelIndex &index) const
{
    const int width = itemDelegate()->sizeHint(viewOptions(), index).width();
    return showGrid() ? width + 1 : width;
}

void TableGrid::setEmptyText(const QString &text)
{
    if (text == empty)
        return;
    empty = text;
    viewport()->update();
}

void TableGrid::paintEvent(QPaintEvent *event)
{
    QTableView::paintEvent(event);
    if (!empty.isEmpty() && model() && model()->rowCount(rootIndex()) == 0) {
        QPainter painter(viewport());
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        painter.drawText(
            viewport()->rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, empty);
        return;
    }
    if (!showGrid())
        return;
    // Where QTableView puts its lines: below each row and right of each column
    // that the repainted area meets, within the rows and columns there are.
    QStyleOptionViewItem option = viewOptions();
    const QColor color = QColor::fromRgba(
        static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    QHeaderView *rows = verticalHeader();
    QHeaderView *columns = horizontalHeader();
    const bool rightToLeft = isRightToLeft();
    const int contentRight = columns->length() - columns->offset() - (rightToLeft ? 0 : 1);
    const int contentBottom = rows->length() - rows->offset() - 1;
    QPainter painter(viewport());
    for (QRect area : event->region()) {
        area.setBottom(qMin(area.bottom(), contentBottom));
        if (rightToLeft)
            area.setLeft(qMax(area.left(), viewport()->width() - contentRight));
        else
            area.setRight(qMin(area.right(), contentRight));
        if (area.bottom() < area.top() || area.right() < area.left())
            continue;
        int left = columns->visualIndexAt(area.left());
        int right = columns->visualIndexAt(area.right());
        if (rightToLeft)
            std::swap(left, right);
        if (left == -1)
            left = 0;
        if (right == -1)
            right = columns->count() - 1;
        int bottom = rows->visualIndexAt(area.bottom());
        if (bottom == -1)
            bottom = rows->count() - 1;
        const int top = rows->visualIndexAt(area.top());
        if (top == -1 || top > bottom)
            continue;
        for (int visual = top; visual <= bottom; ++visual) {
            const int row = rows->logicalIndex(visual);
            if (!rows->isSectionHidden(row))
                painter.fillRect(
                    area.left(), rowViewportPosition(row) + rowHeight(row) - 1, area.width(), 1, color);
        }
        for (int visual = left; visual <= right; ++visual) {
            const int column = columns->logicalIndex(visual);
            if (columns->isSectionHidden(column))
                continue;
            const int x = columnViewportPosition(column) + (rightToLeft ? 0 : columnWidth(column) - 1);
            painter.fillRect(x, area.top(), 1, area.height(), color);
        }
    }
}

QModelIndex TableGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers)
{
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    if ((cursorAction == MoveHome || cursorAction == MoveEnd) && rows > 0
        && !(modifiers & Qt::ControlModifier)) {
        const int column = qMax(0, currentIndex().column());
        return model()->index(cursorAction == MoveHome ? 0 : rows - 1, column, rootIndex());
    }
    return QTableView::moveCursor(cursorAction, modifiers);
}
