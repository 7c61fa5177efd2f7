#pragma once

#include "app/tablecolumn.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QVector>

class AbstractDatabaseRow;
class TableWidget;

// The rows of a TableWidget as a model: every shown cell's text, each row's id
// and icon are read once per reset and kept, so that painting, sorting and
// filtering never go back to the row objects. A row's edit refreshes that row
// alone, from the event loop, however many columns the edit touched.
//
// Rows are guarded: one destroyed by its owner is no longer handed out, and its
// texts stay on show until the next reset.
class TableRowModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The row's id, under the role the grid cells have always carried it in.
    static constexpr int IdRole = Qt::UserRole;

    // Texts, icons and search texts come from the table's own rules.
    explicit TableRowModel(TableWidget *table);

    // Shows these rows under these columns, reading them once.
    void reset(const QList<AbstractDatabaseRow *> &rows, const QList<TableColumn> &columns);
    // Lets go of every row object at once; the texts stay.
    void forgetRows();

    const QList<TableColumn> &shownColumns() const { return columns; }
    // The row object behind a model row; null once it is gone.
    AbstractDatabaseRow *rowAt(int row) const;
    QList<AbstractDatabaseRow *> liveRows() const;
    // The model rows showing this id, in model order.
    QList<int> rowsOf(int id) const;
    const QString &textAt(int row, int column) const { return texts.at(row * columns.size() + column); }
    bool hasIcon(int row) const { return !icons.at(row).isNull(); }
    // Counts every change of the texts (resets and refreshed rows), so that
    // what is derived from them knows when to derive it again.
    quint64 textGeneration() const { return generation; }
    // The row's search text, folded (TableFilterModel::fold); read for every
    // row the first time a filter asks, then kept until the next reset.
    const QString &searchKey(int row) const;
    // Asks the table for every live row's icon again (the theme changed).
    void refreshIcons();
    // Reads the row anew from the event loop, as after an edit of its object.
    void markEdited(AbstractDatabaseRow *row);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The row's cells were read anew after an edit of its object.
    void rowRefreshed(int row);

private:
    void readRow(int row);
    void watchRows();
    void refreshEdited();

    TableWidget *table;
    QList<TableColumn> columns;
    QStringList captions;
    QVector<QPointer<AbstractDatabaseRow>> rowObjects;
    quint64 generation = 0;
    QVector<int> ids;
    QVector<QIcon> icons;
    // Row-major: row * columns.size() + column.
    QVector<QString> texts;
    mutable QVector<QString> searchKeys;
    // Each shown row object's change signal, once.
    QHash<AbstractDatabaseRow *, QMetaObject::Connection> watched;
    // Edited since the last refresh; compared by address only.
    QSet<AbstractDatabaseRow *> editedRows;
};
