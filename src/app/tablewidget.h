#pragma once

#include "app/tablecolumn.h"

#include <QIcon>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class AbstractDatabaseRow;
class QAction;
class QMenu;
class QTableWidget;
class QVBoxLayout;

// A read-only, sortable, single-selection grid of database rows. Which columns
// show and how the grid sorts are the subclass's stored choice; the table only
// announces the user's wishes (headerColumnsUpdated, sortingUpdated) and hands
// row actions out as signals carrying the row's id. It never changes data and
// never owns the rows it shows.
//
// The grid is thrown away and built anew, with its own wiring, on every
// updateTable.
class TableWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TableWidget(QWidget *parent = nullptr);
    ~TableWidget() override;

    // Rebuilds the grid from the rows, the resolved columns and the saved
    // sorting, then restores the selection (always emitting idSelected).
    virtual void updateTable();
    // Never empty.
    virtual QList<TableColumn> availableColumns() = 0;
    virtual QStringList savedColumns() = 0;
    // "+Name" ascending or "-Name" descending; anything else sorts the first
    // column ascending.
    virtual QString savedSorting() = 0;
    // "edit" emits editRow on double click; any other key emits customAction.
    virtual QString doubleClickAction();
    // The icon of the row's first cell.
    virtual QIcon rowIcon(AbstractDatabaseRow *row);

    // Shows these rows (null pointers dropped) in this order and rebuilds.
    void setRows(const QList<AbstractDatabaseRow *> &rows);
    // The id of the first selected cell, -1 when nothing is selected.
    int selectedItemId() const;
    AbstractDatabaseRow *rowById(int id) const;
    // Makes the row the selected one (null: none), emits idSelected and marks
    // its cells selected.
    void selectRow(AbstractDatabaseRow *row);
    void setSelectedId(int id, bool apply);

    int getSelectedId() const { return selectedId; }
    AbstractDatabaseRow *getSelectedRow() const;
    QList<AbstractDatabaseRow *> getRows() const;
    // The names of the columns shown, in display order.
    QStringList shownColumnNames() const { return columnNames; }
    // The current grid; null before the first rebuild.
    QTableWidget *grid() const { return table; }

    // The header menu: name columns under "By name" (exclusive), the others
    // under "Other columns" as check boxes.
    void fillColumnMenu(QMenu *menu);
    // The row menu for the cell at pos (grid viewport coordinates), parented
    // to this widget; null where there is no row.
    QMenu *createRowMenu(const QPoint &pos);
    // Pops the row menu up at the mouse cursor, without waiting for it.
    void showRowMenu(const QPoint &pos);

signals:
    void headerColumnsUpdated(const QStringList &headers);
    void sortingUpdated(const QString &sorting);
    void editRow(int id);
    void removeRow(int id);
    void idSelected(int id);
    void customAction(const QString &action, int id);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Lets go of the row objects at once, without a rebuild, for when their
    // owner is being destroyed; the grid keeps showing texts only.
    void forgetRows();

    // Extra row-menu entries, by action key, shown first in key order.
    QMap<QString, QAction *> customActions;

private:
    QList<TableColumn> resolveColumns(const QList<TableColumn> &all);
    void wireGrid();
    void fillGrid(const QList<TableColumn> &shown);
    void sizeHeaderSections(const QList<TableColumn> &shown);
    void reportSorting(int section, Qt::SortOrder order);
    void runDoubleClickRule();
    void showColumnMenu();
    void chooseNameColumn(const QList<TableColumn> &all, const QString &name);
    void toggleColumn(const QString &name);

    QVBoxLayout *layout = nullptr;
    QTableWidget *table = nullptr;
    QStringList columnNames;
    int selectedId = 0;
    QPointer<AbstractDatabaseRow> selectedRow;
    // Not owned; guarded so that a row destroyed by its owner reads as absent.
    QList<QPointer<AbstractDatabaseRow>> rows;
};
