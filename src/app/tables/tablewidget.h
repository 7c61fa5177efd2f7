#pragma once

#include "app/tables/rowpresentation.h"
#include "app/tables/tablecolumn.h"

#include <QIcon>
#include <QList>
#include <QMap>
#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

class AbstractDatabaseRow;
class QAction;
class QMenu;
class QTableView;
class QTimer;
class QVBoxLayout;
class TableColumnSizer;
class TableFilterModel;
class TableGrid;
class TableRowModel;

// A read-only, sortable, single-selection grid of database rows. Which columns
// show and how the grid sorts are the subclass's stored choice; the table only
// announces the user's wishes (headerColumnsUpdated, sortingUpdated) and hands
// row actions out as signals carrying the row's id. It never changes data and
// never owns the rows it shows.
//
// One view for the widget's life, over a model that reads each row's texts
// when they are first needed and a proxy that sorts and filters them: lists
// of a hundred thousand patients reset, sort and narrow without rebuilding
// anything. Numbers and dates sort by value, and no column is ever narrower
// than its caption.
class TableWidget : public QWidget, private RowPresentation
{
    Q_OBJECT
public:
    explicit TableWidget(QWidget *parent = nullptr);
    ~TableWidget() override;

    // Reads the rows anew under the resolved columns and the saved sorting,
    // keeping the filter, then restores the selection (always emitting
    // idSelected; -1 when the row is gone or filtered out).
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
    QIcon rowIcon(AbstractDatabaseRow *row) override;
    // What the row's icon says, in words, for a screen reader; none by default.
    QString rowIconText(AbstractDatabaseRow *row) override;

    // Shows these rows (null pointers dropped), reading them anew (updateTable).
    void setRows(const QList<AbstractDatabaseRow *> &rows);
    // Shows one more row, in its place in the order, without reading the others again.
    void appendRow(AbstractDatabaseRow *row);
    // Takes the row out of the grid, leaving the others as they are; a
    // selected row lets the selection go (idSelected -1).
    void dropRow(AbstractDatabaseRow *row);
    // The id of the first selected cell, -1 when nothing is selected.
    int selectedItemId() const;
    AbstractDatabaseRow *rowById(int id) const;
    // Makes the row the selected one (null, or a row the filter hides: none),
    // emits idSelected and marks its cells selected.
    void selectRow(AbstractDatabaseRow *row);
    void setSelectedId(int id, bool apply);

    int getSelectedId() const { return selectedId; }
    AbstractDatabaseRow *getSelectedRow() const;
    QList<AbstractDatabaseRow *> getRows() const;
    // The names of the columns shown, in display order.
    QStringList shownColumnNames() const { return columnNames; }
    // The view; it lives as long as the table. Each cell carries its row's id
    // under Qt::UserRole.
    QTableView *grid() const;

    // Shows only the rows whose searchText holds every word of the text, in
    // any order, case and "ё"/"е" aside; empty shows every row. The order
    // stays; a selected row that is filtered out is let go (idSelected -1).
    // A reset keeps the filter.
    void setFilterText(const QString &text);
    QString filterText() const;
    // The number of rows shown after filtering, and of all rows.
    int shownRowCount() const;
    int totalRowCount() const;

    // The header menu: name columns under "By name" (exclusive), the others
    // under "Other columns" as check boxes.
    void fillColumnMenu(QMenu *menu);
    // The row menu for the cell at pos (grid viewport coordinates), parented
    // to this widget; null where there is no row.
    QMenu *createRowMenu(const QPoint &pos);
    // A further row-menu entry after the table's own, named `name`: choosing
    // it calls `run` with the row's id.
    void addTrailingAction(const QString &name, const QString &caption, std::function<void(int id)> run);
    // Pops the row menu up at the mouse cursor, without waiting for it.
    void showRowMenu(const QPoint &pos);
    // What a row action key asks for the row of this id: "edit" emits editRow, "remove"
    // removeRow, any other key customAction.
    void runRowAction(const QString &action, int id);

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
    // What a cell shows for the row in the named column: the row's text.
    QString cellText(AbstractDatabaseRow *row, const QString &column) override;
    // What the filter searches in a row: the texts of its shown cells.
    QString searchText(AbstractDatabaseRow *row) override;
    // The tool tip of every cell of the row; none by default.
    QString rowToolTip(AbstractDatabaseRow *row) override;
    // Whether the row is shown greyed, as something not (yet) of the database.
    bool rowDimmed(AbstractDatabaseRow *row) override;
    // Whether the row of this id offers the action ("edit", "remove", "show"
    // or a custom key): its menu leaves out, and its keys do nothing for, the
    // others. All by default.
    virtual bool rowActionAllowed(const QString &action, int id);
    // What a number or date column sorts by: the row's value of that name when
    // it is a number, a date or a time; invalid for a column that sorts by
    // its text. Every row of a column answers alike.
    QVariant sortValue(AbstractDatabaseRow *row, const QString &column) override;
    // Puts a widget (a search field) above the grid.
    void addAboveGrid(QWidget *widget);
    // Reads every row's searchText from now on, a slice at a time between
    // other events, rather than at the first keystroke (for when the search
    // field takes the focus); a keystroke before the end reads the rest.
    void prepareSearchTexts();
    // From now on every new list starts reading its search texts as soon as
    // it is shown, not at the focus: a long list is then searched at once
    // however quickly the first key follows.
    void readSearchTextsAhead();
    // Reads the row's cells and icon anew, from the event loop (facts about it
    // have arrived).
    void refreshRow(AbstractDatabaseRow *row);

    // Extra row-menu entries, by action key, shown first in key order.
    QMap<QString, QAction *> customActions;

private:
    QBrush dimmedText() const override;

    void resetRows(const QList<AbstractDatabaseRow *> &rows);
    QList<TableColumn> resolveColumns(const QList<TableColumn> &all);
    void wireGrid();
    bool isShown(AbstractDatabaseRow *row) const;
    void letGoOfHiddenSelection();
    void reportSorting(int section, Qt::SortOrder order);
    void runDoubleClickRule();
    void showColumnMenu();
    void chooseNameColumn(const QList<TableColumn> &all, const QString &name);
    void toggleColumn(const QString &name);

    struct TrailingAction {
        QString name;
        QString caption;
        std::function<void(int)> run;
    };
    QList<TrailingAction> trailingActions;
    QVBoxLayout *layout = nullptr;
    TableGrid *table = nullptr;
    // The rows, not owned; one destroyed by its owner reads as absent.
    TableRowModel *rows = nullptr;
    TableFilterModel *shownRows = nullptr;
    TableColumnSizer *sizer = nullptr;
    QTimer *searchReader = nullptr;
    bool searchTextsAhead = false;
    QStringList columnNames;
    int selectedId = 0;
    QPointer<AbstractDatabaseRow> selectedRow;
};
