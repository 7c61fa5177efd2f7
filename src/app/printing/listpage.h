#pragma once

#include "app/printing/pagedtable.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>

class QPagedPaintDevice;

// A table on paper as it is shown: the captions, then the rows, the captions
// repeated on each page. Landscape from seven columns on.
class ListPage
{
    Q_DECLARE_TR_FUNCTIONS(ListPage)
public:
    // rows: the captions first, then each row's cells.
    static PagedTable table(const QList<QStringList> &rows);
    static bool landscape(const QList<QStringList> &rows);
    // The number of pages, 0 when the device cannot be painted on.
    static int print(QPagedPaintDevice *device, const QList<QStringList> &rows, const QString &title,
        const QString &clinic);
    static bool writePdf(const QString &path, const QList<QStringList> &rows, const QString &title,
        const QString &clinic, QString *reason = nullptr);
};
