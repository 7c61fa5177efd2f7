#pragma once

#include <QDateTime>
#include <QList>
#include <QModelIndex>
#include <QStringList>

class Database;
class Patient;
class QAction;
class QMenu;
class QTableView;
class QWidget;

// Looking rows, cells and actions up in the tables under test. A lookup that
// finds nothing fails the running test with a message naming what it sought,
// and hands back something harmless (an invalid index, null), never a crash.
namespace tabletest
{

// The cell of the row showing this id (every cell carries its row's id under
// Qt::UserRole).
QModelIndex cell(QTableView *grid, int id, int column = 0);
QString text(QTableView *grid, int id, int column);
// Where to click on that row.
QPoint centre(QTableView *grid, int id, int column = 0);
QStringList columnTexts(QTableView *grid, int column);
QList<int> rowIds(QTableView *grid);
QStringList menuTexts(const QMenu *menu);
// The menu's action of that object name.
QAction *action(const QMenu *menu, const QString &name);
// Shown and exposed at a size that fits every column.
bool showTable(QWidget *table);
// A record of the patient, with its file on disk when withFile; its id, or -1.
int addRecord(
    Database &db, Patient *patient, const QDateTime &date, const QString &fileName, bool withFile = false);

} // namespace tabletest
