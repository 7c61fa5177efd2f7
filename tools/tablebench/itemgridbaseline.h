#pragma once

#include "app/tables/tablecolumn.h"

#include <QList>
#include <QString>

class AbstractDatabaseRow;
class QTableWidget;
class QVBoxLayout;
class QWidget;
class TableWidget;

// The tables as they were before the model and view: a fresh QTableWidget
// with one item per cell, built, wired, sorted, sized to its contents and
// shown on every change, the grid it replaces deleted. Kept in this tool only,
// so that the old and the new way are timed side by side in one run.
class ItemGridBaseline
{
public:
    // Builds into host, with the columns, sorting and icons of table.
    ItemGridBaseline(QWidget *host, TableWidget *table);

    void rebuild(const QList<AbstractDatabaseRow *> &rows, int selectedId);
    int rowCount() const;

private:
    QWidget *host;
    QVBoxLayout *layout;
    TableWidget *table;
    QTableWidget *grid = nullptr;
};
