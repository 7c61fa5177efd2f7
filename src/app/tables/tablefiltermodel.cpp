#include "app/tables/tablefiltermodel.h"

#include "app/tables/tablerowmodel.h"
#include "toolkit/util/searchkey.h"
#include "toolkit/util/texthelper.h"

#include <QCollator>
#include <algorithm>
#include <numeric>

TableFilterModel::TableFilterModel(TableRowModel *rows)
    : QAbstractProxyModel(rows)
    , rows(rows)
{
    setSourceModel(rows);
    connect(rows, &QAbstractItemModel::modelAboutToBeReset, this, &TableFilterModel::sourceAboutToBeReset);
    connect(rows, &QAbstractItemModel::modelReset, this, &TableFilterModel::sourceReset);
    connect(rows, &QAbstractItemModel::dataChanged, this, &TableFilterModel::sourceDataChanged);
    connect(rows, &QAbstractItemModel::rowsInserted, this, &TableFilterModel::sourceRowsInserted);
}

bool TableFilterModel::setFilterText(const QString &text)
{
    typed = text;
    // Words as the table shows them, so that a pasted name with a hidden character finds its row.
    QStringList folded;
    for (const QString &word : TextHelper::visibleText(text).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString key = SearchKey::ofWord(word);
        if (!key.isEmpty())
            folded.append(key);
    }
    if (folded == words)
        return false;
    // A row kept in sight after its edit goes with the next search.
    const bool heldRows = !held.isEmpty();
    held.clear();
    // A row that holds every new word holds every old one that a new word contains:
    // typing on only looks at the rows shown.
    const bool narrowing
        = !heldRows && !words.isEmpty() && std::all_of(words.cbegin(), words.cend(), [&](const QString &old) {
              return std::any_of(
                  folded.cbegin(), folded.cend(), [&](const QString &word) { return word.contains(old); });
          });
    changeLayout(
        [&] {
            words = folded;
            if (!narrowing) {
                filterRows();
                return;
            }
            const QVector<int> candidates = shown;
            shown.clear();
            for (int r : candidates) {
                if (accepts(r))
                    shown.append(r);
                else
                    shownAt[r] = -1;
            }
            for (int i = 0; i < shown.size(); ++i)
                shownAt[shown.at(i)] = i;
        },
        QAbstractItemModel::NoLayoutChangeHint);
    return true;
}

QString TableFilterModel::fold(QString text)
{
    return SearchKey::ofText(text);
}

void TableFilterModel::setSorting(int sortColumn, Qt::SortOrder sortOrder)
{
    column = sortColumn;
    order = sortOrder;
}

void TableFilterModel::sort(int sortColumn, Qt::SortOrder sortOrder)
{
    if (sortColumn == column && sortOrder == order)
        return;
    changeLayout(
        [&] {
            setSorting(sortColumn, sortOrder);
            sortRows();
            filterRows();
        },
        QAbstractItemModel::VerticalSortHint);
}

bool TableFilterModel::accepts(int sourceRow) const
{
    if (words.isEmpty() || held.contains(sourceRow))
        return true;
    const QStringView key = rows->searchKey(sourceRow);
    for (const QString &word : words) {
        if (!key.contains(word))
            return false;
    }
    return true;
}

bool TableFilterModel::before(int a, int b) const
{
    int compared = 0;
    if (rows->sortsByValue(column)) {
        const double x = rows->sortValue(a, column), y = rows->sortValue(b, column);
        compared = x < y ? -1 : y < x ? 1 : 0;
    } else if (!sortOffsets.isEmpty()) {
        const int x = sortOffsets.at(a), y = sortOffsets.at(b);
        compared = collator.compare(sortTexts.constData() + x, sortOffsets.at(a + 1) - x,
            sortTexts.constData() + y, sortOffsets.at(b + 1) - y);
    } else {
        // As QString::localeAwareCompare compares, without its look-up of the collator.
        compared = collator.compare(rows->textAt(a, column), rows->textAt(b, column));
    }
    if (compared != 0)
        return order == Qt::AscendingOrder ? compared < 0 : compared > 0;
    return a < b;
}

void TableFilterModel::sortRows()
{
    sorted.resize(rows->rowCount());
    std::iota(sorted.begin(), sorted.end(), 0);
    if (column < 0 || column >= rows->columnCount() || sorted.size() < 2)
        return;
    collator = QCollator();
    if (!rows->sortsByValue(column)) {
        int length = 0;
        for (int r = 0; r < sorted.size(); ++r)
            length += rows->textAt(r, column).size();
        sortTexts.reserve(length);
        sortOffsets.resize(sorted.size() + 1);
        for (int r = 0; r < sorted.size(); ++r) {
            sortOffsets[r] = sortTexts.size();
            sortTexts += rows->textAt(r, column);
        }
        sortOffsets[sorted.size()] = sortTexts.size();
    }
    std::sort(sorted.begin(), sorted.end(), [this](int a, int b) { return before(a, b); });
    sortTexts.clear();
    sortTexts.squeeze();
    sortOffsets.clear();
}

void TableFilterModel::filterRows()
{
    shownAt.fill(-1, sorted.size());
    if (words.isEmpty()) {
        shown = sorted;
    } else {
        // The rows holding the first word, in one pass over every search text;
        // only those are asked for the others.
        std::vector<char> holding;
        rows->markRowsHolding(words.first(), holding);
        const QStringList others = words.mid(1);
        shown.clear();
        for (int r : qAsConst(sorted)) {
            if (!holding[r]) {
                if (held.contains(r))
                    shown.append(r);
                continue;
            }
            const QStringView key = rows->searchKey(r);
            if (std::all_of(others.cbegin(), others.cend(),
                    [key](const QString &word) { return key.contains(word); }))
                shown.append(r);
        }
    }
    for (int i = 0; i < shown.size(); ++i)
        shownAt[shown.at(i)] = i;
}

void TableFilterModel::changeLayout(const std::function<void()> &change, LayoutChangeHint hint)
{
    emit layoutAboutToBeChanged({}, hint);
    const QModelIndexList from = persistentIndexList();
    QVector<QPair<int, int>> sources;
    sources.reserve(from.size());
    for (const QModelIndex &index : from)
        sources.append({ index.row() < shown.size() ? shown.at(index.row()) : -1, index.column() });
    change();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QPair<int, int> &source : qAsConst(sources)) {
        const int row = source.first >= 0 && source.first < shownAt.size() ? shownAt.at(source.first) : -1;
        to.append(row < 0 ? QModelIndex() : createIndex(row, source.second));
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, hint);
}

void TableFilterModel::sourceAboutToBeReset()
{
    beginResetModel();
}

void TableFilterModel::sourceReset()
{
    held.clear();
    sortRows();
    filterRows();
    endResetModel();
}

void TableFilterModel::sourceRowsInserted(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    for (int row = first; row <= last; ++row) {
        const int place = column < 0 ? int(sorted.size())
                                     : int(std::lower_bound(sorted.cbegin(), sorted.cend(), row,
                                               [this](int a, int b) { return before(a, b); })
                                         - sorted.cbegin());
        sorted.insert(place, row);
        shownAt.append(-1);
        if (!accepts(row))
            continue;
        // Among the rows shown, after those that come before it in the order.
        int at = 0;
        for (int i = 0; i < place; ++i) {
            if (shownAt.at(sorted.at(i)) >= 0)
                ++at;
        }
        beginInsertRows(QModelIndex(), at, at);
        shown.insert(at, row);
        for (int i = at; i < shown.size(); ++i)
            shownAt[shown.at(i)] = i;
        endInsertRows();
    }
}

void TableFilterModel::sourceDataChanged(
    const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles)
{
    const bool textsChanged = roles.isEmpty() || roles.contains(Qt::DisplayRole);
    if (topLeft.row() != bottomRight.row()) {
        // Several rows (icons after a theme change, facts found for a list):
        // sorted and filtered anew at once, then passed on for every row shown.
        if (textsChanged) {
            changeLayout(
                [this] {
                    sortRows();
                    filterRows();
                },
                QAbstractItemModel::VerticalSortHint);
        }
        if (!shown.isEmpty())
            emit dataChanged(
                index(0, topLeft.column()), index(shown.size() - 1, bottomRight.column()), roles);
        return;
    }
    if (!textsChanged) {
        const QModelIndex shownRow = mapFromSource(topLeft);
        if (shownRow.isValid())
            emit dataChanged(shownRow, shownRow.sibling(shownRow.row(), bottomRight.column()), roles);
        return;
    }
    // One row read anew: it may move in the order and come with the filter, but
    // one shown stays until the search changes, so that a patient just edited
    // is not lost from sight and selection.
    const int row = topLeft.row();
    if (!words.isEmpty() && shownAt.value(row, -1) >= 0)
        held.insert(row);
    const int was = int(std::find(sorted.cbegin(), sorted.cend(), row) - sorted.cbegin());
    if (was == sorted.size())
        return;
    QVector<int> others = sorted;
    others.remove(was);
    const int place
        = column < 0 ? was : int(std::lower_bound(others.cbegin(), others.cend(), row, [this](int a, int b) {
              return before(a, b);
          }) - others.cbegin());
    if (place != was || accepts(row) != (shownAt.at(row) >= 0)) {
        changeLayout(
            [&] {
                others.insert(place, row);
                sorted = others;
                filterRows();
            },
            QAbstractItemModel::VerticalSortHint);
    }
    const QModelIndex shownRow = mapFromSource(topLeft);
    if (shownRow.isValid())
        emit dataChanged(shownRow, shownRow.sibling(shownRow.row(), bottomRight.column()), roles);
}

QModelIndex TableFilterModel::mapToSource(const QModelIndex &proxyIndex) const
{
    if (!proxyIndex.isValid() || proxyIndex.row() >= shown.size())
        return QModelIndex();
    return rows->index(shown.at(proxyIndex.row()), proxyIndex.column());
}

QModelIndex TableFilterModel::mapFromSource(const QModelIndex &sourceIndex) const
{
    if (!sourceIndex.isValid() || sourceIndex.row() >= shownAt.size())
        return QModelIndex();
    const int row = shownAt.at(sourceIndex.row());
    return row < 0 ? QModelIndex() : createIndex(row, sourceIndex.column());
}

QModelIndex TableFilterModel::index(int row, int column, const QModelIndex &parent) const
{
    if (parent.isValid() || row < 0 || row >= shown.size() || column < 0 || column >= columnCount())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex TableFilterModel::parent(const QModelIndex &child) const
{
    Q_UNUSED(child)
    return QModelIndex();
}

int TableFilterModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : shown.size();
}

int TableFilterModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows->columnCount();
}

bool TableFilterModel::hasChildren(const QModelIndex &parent) const
{
    return !parent.isValid() && rowCount() > 0 && columnCount() > 0;
}

QVariant TableFilterModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // Captions also while the filter shows no row to map a section through.
    if (orientation == Qt::Horizontal)
        return rows->headerData(section, orientation, role);
    return QAbstractItemModel::headerData(section, orientation, role);
}
