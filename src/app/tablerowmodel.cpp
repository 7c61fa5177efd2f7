#include "app/tablerowmodel.h"

#include "app/tablefiltermodel.h"
#include "app/tablewidget.h"
#include "db/abstractdatabaserow.h"

#include <algorithm>

TableRowModel::TableRowModel(TableWidget *table)
    : QAbstractTableModel(table)
    , table(table)
{
}

void TableRowModel::reset(const QList<AbstractDatabaseRow *> &rows, const QList<TableColumn> &shown)
{
    beginResetModel();
    columns = shown;
    captions.clear();
    for (const TableColumn &column : shown)
        captions.append(column.caption());
    rowObjects.clear();
    rowObjects.reserve(rows.size());
    for (AbstractDatabaseRow *row : rows)
        rowObjects.append(row);
    ids.fill(0, rows.size());
    icons.fill(QIcon(), rows.size());
    texts.fill(QString(), rows.size() * columns.size());
    searchKeys.clear();
    editedRows.clear();
    ++generation;
    for (int r = 0; r < rows.size(); ++r)
        readRow(r);
    watchRows();
    endResetModel();
}

void TableRowModel::watchRows()
{
    // Most resets show the same row objects again (a column change, a records
    // refresh, the same list handed in anew): their connections stay. A
    // connection whose row is gone reads false, even where a new row took its
    // address.
    const auto watching = [this](AbstractDatabaseRow *row) {
        const auto found = watched.constFind(row);
        return found != watched.constEnd() && bool(found.value());
    };
    if (watched.size() <= rowObjects.size()
        && std::all_of(rowObjects.cbegin(), rowObjects.cend(),
            [&](const QPointer<AbstractDatabaseRow> &row) { return watching(row); }))
        return;
    QHash<AbstractDatabaseRow *, QMetaObject::Connection> kept;
    kept.reserve(rowObjects.size());
    for (const QPointer<AbstractDatabaseRow> &pointer : qAsConst(rowObjects)) {
        AbstractDatabaseRow *row = pointer;
        if (kept.contains(row))
            continue;
        QMetaObject::Connection connection = watched.take(row);
        if (!connection)
            connection
                = connect(row, &AbstractSettings::propertyChanged, this, [this, row] { markEdited(row); });
        kept.insert(row, connection);
    }
    for (const QMetaObject::Connection &connection : qAsConst(watched))
        disconnect(connection);
    watched = kept;
}

void TableRowModel::forgetRows()
{
    for (QPointer<AbstractDatabaseRow> &row : rowObjects)
        row = nullptr;
    editedRows.clear();
}

void TableRowModel::readRow(int r)
{
    ++generation;
    AbstractDatabaseRow *row = rowObjects.at(r);
    ids[r] = row->getId();
    icons[r] = table->rowIcon(row);
    const int width = columns.size();
    for (int c = 0; c < width; ++c)
        texts[r * width + c] = table->cellText(row, columns.at(c).name);
    if (!searchKeys.isEmpty())
        searchKeys[r] = TableFilterModel::fold(table->searchText(row));
}

void TableRowModel::markEdited(AbstractDatabaseRow *row)
{
    // An edit sets its columns one by one; the row is read once they are all set.
    if (editedRows.isEmpty())
        QMetaObject::invokeMethod(this, &TableRowModel::refreshEdited, Qt::QueuedConnection);
    editedRows.insert(row);
}

void TableRowModel::refreshEdited()
{
    const QSet<AbstractDatabaseRow *> edited = editedRows;
    editedRows.clear();
    for (int r = 0; r < rowObjects.size(); ++r) {
        AbstractDatabaseRow *row = rowObjects.at(r);
        if (!row || !edited.contains(row))
            continue;
        readRow(r);
        emit dataChanged(index(r, 0), index(r, qMax(0, columns.size() - 1)));
        emit rowRefreshed(r);
    }
}

void TableRowModel::refreshIcons()
{
    for (int r = 0; r < rowObjects.size(); ++r) {
        if (rowObjects.at(r))
            icons[r] = table->rowIcon(rowObjects.at(r));
    }
    if (!rowObjects.isEmpty())
        emit dataChanged(index(0, 0), index(rowObjects.size() - 1, 0), { Qt::DecorationRole });
}

AbstractDatabaseRow *TableRowModel::rowAt(int row) const
{
    return rowObjects.at(row);
}

QList<AbstractDatabaseRow *> TableRowModel::liveRows() const
{
    QList<AbstractDatabaseRow *> live;
    live.reserve(rowObjects.size());
    for (const QPointer<AbstractDatabaseRow> &row : rowObjects) {
        if (row)
            live.append(row);
    }
    return live;
}

QList<int> TableRowModel::rowsOf(int id) const
{
    QList<int> found;
    for (int r = 0; r < ids.size(); ++r) {
        if (ids.at(r) == id)
            found.append(r);
    }
    return found;
}

const QString &TableRowModel::searchKey(int row) const
{
    if (searchKeys.size() != rowObjects.size()) {
        searchKeys.resize(rowObjects.size());
        for (int r = 0; r < rowObjects.size(); ++r) {
            // A row gone since the reset matches no filter.
            if (AbstractDatabaseRow *object = rowObjects.at(r))
                searchKeys[r] = TableFilterModel::fold(table->searchText(object));
        }
    }
    return searchKeys.at(row);
}

int TableRowModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rowObjects.size();
}

int TableRowModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns.size();
}

QVariant TableRowModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return textAt(index.row(), index.column());
    case Qt::DecorationRole:
        return index.column() == 0 && hasIcon(index.row()) ? QVariant(icons.at(index.row())) : QVariant();
    case Qt::TextAlignmentRole:
        return columns.at(index.column()).alignment | Qt::AlignVCenter;
    case IdRole:
        return ids.at(index.row());
    default:
        return QVariant();
    }
}

QVariant TableRowModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return captions.at(section);
    if (role == Qt::TextAlignmentRole)
        return columns.at(section).alignment;
    return QVariant();
}

Qt::ItemFlags TableRowModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}
