#include "app/printing/listpage.h"

#include "app/printing/printframe.h"

#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

std::unique_ptr<QTextDocument> ListPage::document(const QList<QStringList> &rows)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(PrintFrame::font(8.5));
    document->setDocumentMargin(0);
    const int columns = rows.isEmpty() ? 0 : rows.first().size();
    if (columns == 0)
        return document;
    QTextCursor cursor(document.get());
    QTextTableFormat format;
    format.setBorder(0.5);
    format.setBorderBrush(Qt::gray);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setCellSpacing(0);
    format.setCellPadding(2);
    format.setHeaderRowCount(1);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    QTextTable *table = cursor.insertTable(rows.size(), columns, format);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < columns; ++column) {
            QTextTableCell cell = table->cellAt(row, column);
            if (row == 0) {
                QTextCharFormat shaded = cell.format();
                shaded.setBackground(QColor(0xE8, 0xE8, 0xE8));
                cell.setFormat(shaded);
            }
            cell.firstCursorPosition().insertText(rows.at(row).value(column), row == 0 ? bold : QTextCharFormat());
        }
    }
    return document;
}

bool ListPage::landscape(const QList<QStringList> &rows)
{
    return !rows.isEmpty() && rows.first().size() > 6;
}

int ListPage::print(
    QPagedPaintDevice *device, const QList<QStringList> &rows, const QString &title, const QString &clinic)
{
    const PrintFrame frame = PrintFrame::here(clinic, title);
    const std::unique_ptr<QTextDocument> content = document(rows);
    const int pages = frame.pageCount(content.get(), device);
    QPainter painter(device);
    if (!painter.isActive())
        return 0;
    frame.paintDocument(&painter, device, content.get(), 1, pages);
    return pages;
}

bool ListPage::writePdf(
    const QString &path, const QList<QStringList> &rows, const QString &title, const QString &clinic, QString *reason)
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
