#pragma once

// What the table tests share: the database under the tables, its patients, the test
// environment, and lookups of rows, cells and actions.
#include "db/storage/database.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <memory>

// A lookup that finds nothing fails the running test with a message naming what it
// sought, and hands back something harmless (an invalid index, a detached action).
namespace tabletest
{

// The patients both patient tables show, added at a fixed today so that ages are known;
// sorting, ages, icons and the filter rely on their names, IDs, sexes and birth dates
// (Smirnova's unknown, under the ID "-1"). add() is false when one is refused.
struct Patients {
    int petrov = 0, smirnova = 0, orlov = 0, kuznetsov = 0, volkova = 0;
    bool add(Database &db);
};

// The cell of the row showing this id (every cell holds its row's id as Qt::UserRole).
QModelIndex cell(QTableView *grid, int id, int column = 0);
// The cell's text; for column -1 the whole row's, joined by '|'.
QString text(QTableView *grid, int id, int column = -1);
QPoint centre(QTableView *grid, int id, int column = 0);
QStringList columnTexts(QTableView *grid, int column);
QList<int> rowIds(QTableView *grid);
// The entries as a user reads them: "*" for an icon and "[x]" or "[ ]" for a
// check box before the text, a disabled entry in parentheses.
QStringList menuEntries(const QMenu *menu);
QAction *action(QMenu *menu, const QString &name);
// Shown at a size that fits every column.
bool showTable(QWidget *table);

} // namespace tabletest
