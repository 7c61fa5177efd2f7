#pragma once

#include <QHash>
#include <QList>
#include <QObject>

class TableGrid;
class TableRowModel;

// Sizes the header sections of a TableWidget's grid by the columns' resize
// modes: a fixed column by its caption, a fitted one by its widest text, and
// the stretching ones over the room the others leave. No section is ever
// narrower than its caption: where the stretching columns would be, they keep
// their captions' width and the grid scrolls sideways. Sizes are measured
// anew when the theme or the font changes, and the room whenever the grid's
// width does.
class TableColumnSizer : public QObject
{
public:
    TableColumnSizer(TableGrid *grid, TableRowModel *rows);

    // Every section anew, after a reset.
    void sizeSections();
    // Rows read anew may widen a fitted column.
    void growFor(const QList<int> &refreshed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<int> fittedColumns() const;
    void fitToContents();
    int contentWidth(int column, const QList<int> &candidates) const;
    void shareRoom();

    TableGrid *grid;
    TableRowModel *rows;
    // The columns that take the room left, in section order.
    QList<int> stretching;
    // The widths the fitted and the stretching columns' contents want.
    QHash<int, int> fullWidths;
    bool remeasurePending = false;
    bool sharing = false;
};
