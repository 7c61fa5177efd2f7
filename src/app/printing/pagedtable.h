#pragma once

#include <QFont>
#include <QRectF>
#include <QStringList>
#include <QVector>

class QPaintDevice;
class QPainter;

// A table drawn straight onto pages, its captions repeated at the top of
// each: the rows of a long list (thousands of recordings) laid out and
// drawn in a time a user waits for. Cells wrap at their column's width; a
// spanning row (a conclusion) may continue on the next page line by line.
class PagedTable
{
public:
    // Each column's share of the width, summing to 1.
    PagedTable(const QStringList &captions, const QVector<double> &shares);

    // italicColumn: a cell printed in italics ("missing"), -1 for none.
    void addRow(const QStringList &cells, int italicColumn = -1);
    // A row across all columns: a grey note above the text.
    void addSpanningRow(const QString &note, const QString &text);
    bool isEmpty() const { return rows.isEmpty(); }

    // Lays the rows out on pages of `body` size in the device's units; the
    // first page's table starts at firstTop. The number of pages.
    int layout(QPaintDevice *device, const QSizeF &body, double firstTop);
    // Draws the rows of one page within `body` (page 0 starts at firstTop).
    void paintPage(QPainter *painter, int page, const QRectF &body) const;

private:
    struct Row {
        QStringList cells;
        int italicColumn = -1;
        bool spanning = false;
        QString note;
    };
    // One row, or one line of a spanning row: what cannot be split over pages.
    struct Unit {
        int row = 0;
        // Normal rows: each cell's lines; spanning ones: one line.
        QVector<QStringList> lines;
        bool noteLine = false;
        bool firstOfRow = true;
        bool lastOfRow = true;
        double height = 0;
    };
    QStringList wrap(const QString &text, const QFont &face, double width) const;
    void paintUnit(QPainter *painter, const Unit &unit, double left, double top, double width) const;

    QStringList captions;
    QVector<double> shares;
    QList<Row> rows;
    QFont font;
    QFont bold;
    QFont italic;
    QPaintDevice *device = nullptr;
    double pad = 0;
    double lineHeight = 0;
    double ascent = 0;
    double firstTop = 0;
    Unit header;
    QVector<Unit> units;
    // The first unit of each page, and one past the last page's end.
    QVector<int> pageStarts;
};
