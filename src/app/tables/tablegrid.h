#pragma once

#include <QTableView>

// The view of a TableWidget. It draws the grid's lines as one-pixel rectangles
// where QTableView draws them with a cosmetic pen, which the raster engine
// draws pixel by pixel: milliseconds for the thirty lines of a screen, at
// every repaint of a selection or a keystroke. The lines are the same.
class TableGrid : public QTableView
{
public:
    explicit TableGrid(QWidget *parent = nullptr);

    // The width a fit-to-contents section gives this cell (of the source model,
    // so that rows filtered out count too).
    int cellWidth(const QModelIndex &index) const;
    // Said in the middle of the grid while it shows no row: what to do about it.
    void setEmptyText(const QString &text);
    QString emptyText() const { return empty; }

protected:
    void paintEvent(QPaintEvent *event) override;
    // Home and End go to the first and the last row, as in a list: a grid of whole
    // rows has no cells of a row to walk.
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;

private:
    QString empty;
};
