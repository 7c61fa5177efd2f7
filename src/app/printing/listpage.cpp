#include "app/printing/listpage.h"

#include "app/printing/pagedtable.h"
#include "app/printing/printframe.h"

#include <QPainter>
#include <QPdfWriter>

PagedTable ListPage::table(const QList<QStringList> &rows)
{
    const QStringList captions = rows.value(0);
    // Each column as wide as its longer texts ask, within bounds.
    QVector<double> shares(captions.size(), 4);
    for (const QStringList &row : rows) {
        for (int column = 0; column < captions.size(); ++column)
            shares[column] = qBound(shares.at(column), double(row.value(column).size()), 40.0);
    }
    double sum = 0;
    for (double share : qAsConst(shares))
        sum += share;
    for (double &share : shares)
        share /= sum;
    PagedTable table(captions, shares);
    for (int row = 1; row < rows.size(); ++row)
        table.addRow(rows.at(row));
    return table;
}

bool ListPage::landscape(const QList<QStringList> &rows)
{
    return !rows.isEmpty() && rows.first().size() > 6;
}

int ListPage::print(
    QPagedPaintDevice *device, const QList<QStringList> &rows, const QString &title, const QString &clinic)
{
    const PrintFrame frame = PrintFrame::here(clinic, title);
    const QRectF body = frame.body(device);
    PagedTable content = table(rows);
    const int pages = content.layout(device, body.size(), 0);
    QPainter painter(device);
    if (!painter.isActive())
        return 0;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device->newPage();
        frame.paint(&painter, device, page + 1, pages);
        content.paintPage(&painter, page, body);
    }
    return pages;
}

bool ListPage::writePdf(const QString &path, const QList<QStringList> &rows, const QString &title,
    const QString &clinic, QString *reason)
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(QCoreApplication::applicationName());
    writer.setTitle(title);
    PrintFrame::preparePage(&writer, landscape(rows));
    if (print(&writer, rows, title, clinic) > 0)
        return true;
    if (reason)
        *reason = tr("The file cannot be written: %1").arg(path);
    return false;
}
