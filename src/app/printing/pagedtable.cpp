#include "app/printing/pagedtable.h"

#include "app/printing/printframe.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

PagedTable::PagedTable(const QStringList &captions, const QVector<double> &shares)
    : captions(captions)
    , shares(shares)
    , font(PrintFrame::font(9.5))
    , bold(PrintFrame::font(9.5, true))
    , italic(PrintFrame::font(9.5))
{
    italic.setItalic(true);
}

void PagedTable::addRow(const QStringList &cells, int italicColumn)
{
    Row row;
    row.cells = cells;
    row.italicColumn = italicColumn;
    rows.append(row);
}

void PagedTable::addSpanningRow(const QString &note, const QString &text)
{
    Row row;
    row.spanning = true;
    row.note = note;
    row.cells = QStringList { text };
    rows.append(row);
}

QStringList PagedTable::wrap(const QString &text, const QFont &face, double width) const
{
    QStringList lines;
    for (const QString &paragraph : text.split(QLatin1Char('\n'))) {
        // Short texts, nearly every cell, fit without a layout.
        if (QFontMetricsF(face, device).horizontalAdvance(paragraph) <= width) {
            lines.append(paragraph);
            continue;
        }
        QTextLayout layout(paragraph, face, device);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.append(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    return lines;
}

int PagedTable::layout(QPaintDevice *paintDevice, const QSizeF &body, double top)
{
    device = paintDevice;
    firstTop = top;
    const QFontMetricsF metrics(font, device);
    lineHeight = metrics.lineSpacing();
    ascent = metrics.ascent();
    pad = device->logicalDpiX() / 25.4;
    const double width = body.width();

    const auto cellLines = [&](const QStringList &cells, const QFont &face, int italicColumn) {
        QVector<QStringList> lines;
        int most = 1;
        for (int column = 0; column < shares.size(); ++column) {
            lines.append(wrap(cells.value(column), column == italicColumn ? italic : face,
                shares.at(column) * width - 2 * pad));
            most = qMax(most, int(lines.last().size()));
        }
        return qMakePair(lines, most);
    };
    const auto headerLines = cellLines(captions, bold, -1);
    header.lines = headerLines.first;
    header.height = headerLines.second * lineHeight + 2 * pad;

    units.clear();
    for (int r = 0; r < rows.size(); ++r) {
        const Row &row = rows.at(r);
        if (!row.spanning) {
            const auto lines = cellLines(row.cells, font, row.italicColumn);
            Unit unit;
            unit.row = r;
            unit.lines = lines.first;
            unit.height = lines.second * lineHeight + 2 * pad;
            units.append(unit);
            continue;
        }
        QStringList texts = wrap(row.note, font, width - 2 * pad);
        const int notes = texts.size();
        texts += wrap(row.cells.value(0), font, width - 2 * pad);
        for (int i = 0; i < texts.size(); ++i) {
            Unit unit;
            unit.row = r;
            unit.lines = { QStringList { texts.at(i) } };
            unit.noteLine = i < notes;
            unit.firstOfRow = i == 0;
            unit.lastOfRow = i == texts.size() - 1;
            unit.height = lineHeight + (unit.firstOfRow ? pad : 0) + (unit.lastOfRow ? pad : 0);
            units.append(unit);
        }
    }

    pageStarts = { 0 };
    double y = firstTop + header.height;
    for (int i = 0; i < units.size(); ++i) {
        // A unit taller than a page still goes on one of its own.
        if (y + units.at(i).height > body.height() && y > header.height + 0.5) {
            pageStarts.append(i);
            y = header.height;
        }
        y += units.at(i).height;
    }
    pageStarts.append(units.size());
    return pageStarts.size() - 1;
}

void PagedTable::paintUnit(QPainter *painter, const Unit &unit, double left, double top, double width) const
{
    const Row *row = unit.row >= 0 && unit.row < rows.size() ? &rows.at(unit.row) : nullptr;
    if (row && row->spanning) {
        painter->setPen(unit.noteLine ? QColor(0x55, 0x55, 0x55) : QColor(Qt::black));
        painter->setFont(font);
        painter->drawText(
            QPointF(left + pad, top + (unit.firstOfRow ? pad : 0) + ascent), unit.lines.value(0).value(0));
        return;
    }
    double x = left;
    for (int column = 0; column < shares.size(); ++column) {
        painter->setPen(Qt::black);
        painter->setFont(!row ? bold : column == row->italicColumn ? italic : font);
        const QStringList &lines = unit.lines.at(column);
        for (int i = 0; i < lines.size(); ++i)
            painter->drawText(QPointF(x + pad, top + pad + ascent + i * lineHeight), lines.at(i));
        x += shares.at(column) * width;
    }
}

void PagedTable::paintPage(QPainter *painter, int page, const QRectF &body) const
{
    if (page < 0 || page + 1 >= pageStarts.size())
        return;
    painter->save();
    const double width = body.width();
    const double left = body.left();
    double y = body.top() + (page == 0 ? firstTop : 0);
    const double tableTop = y;
    const QPen grid(Qt::gray, 0.15 * pad);
    painter->fillRect(QRectF(left, y, width, header.height), QColor(0xE8, 0xE8, 0xE8));
    Unit captionsUnit = header;
    captionsUnit.row = -1;
    paintUnit(painter, captionsUnit, left, y, width);
    QVector<QLineF> lines;
    // Column lines run down through the rows that have columns.
    const auto columnLines = [&](double from, double to) {
        double x = left;
        for (int column = 0; column + 1 < shares.size(); ++column) {
            x += shares.at(column) * width;
            lines.append(QLineF(x, from, x, to));
        }
    };
    columnLines(y, y + header.height);
    y += header.height;
    for (int i = pageStarts.at(page); i < pageStarts.at(page + 1); ++i) {
        const Unit &unit = units.at(i);
        if (unit.firstOfRow)
            lines.append(QLineF(left, y, left + width, y));
        if (!rows.at(unit.row).spanning)
            columnLines(y, y + unit.height);
        paintUnit(painter, unit, left, y, width);
        y += unit.height;
    }
    lines.append(QLineF(left, tableTop, left + width, tableTop));
    lines.append(QLineF(left, y, left + width, y));
    lines.append(QLineF(left, tableTop, left, y));
    lines.append(QLineF(left + width, tableTop, left + width, y));
    painter->setPen(grid);
    painter->drawLines(lines);
    painter->restore();
}
