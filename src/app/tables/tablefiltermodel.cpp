#include "app/tables/tablefiltermodel.h"

#include "app/tables/tablerowmodel.h"
#include "toolkit/util/searchkey.h"
#include "toolkit/util/texthelper.h"

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
    connect(rows, &QAbstractItemModel::rowsAboutToBeRemoved, this, &TableFilterModel::sourceRowsAboutToBeRemoved);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &TableFilterModel::sourceRowsRemoved);
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
            wordBytes.clear();
            for (const QString &word : qAsConst(words))
                wordBytes.append(TableRowModel::searchBytes(word));
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

void TableFilterModel::foldInto(QString &into, const QString &text)
{
    SearchKey::appendText(into, text);
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
    return std::all_of(wordBytes.cbegin(), wordBytes.cend(),
        [&](const QByteArray &word) { return rows->holds(sourceRow, word); });
}

bool TableFilterModel::before(int a, int b) const
{
    int compared = 0;
    if (rows->sortsByValue(column)) {
        const double x = rows->sortValue(a, column), y = rows->sortValue(b, column);
        compared = x < y ? -1 : y < x ? 1 : 0;
    } else {
        compared = rows->compareTexts(a, b, column);
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
    // As before() orders them, on numbers read once: a hundred thousand rows
    // take two million comparisons.
    const bool ascending = order == Qt::AscendingOrder;
    const auto sortBy = [this, ascending](const auto &by) {
        std::sort(sorted.begin(), sorted.end(), [&by, ascending](int a, int b) {
            if (by[a] != by[b])
                return ascending ? by[a] < by[b] : by[b] < by[a];
            return a < b;
        });
    };
    if (rows->sortsByValue(column))
        sortBy(rows->sortValues(column));
    else
        sortBy(rows->sortRanks(column));
}

int TableFilterModel::sortedPlace(int row) const
{
    if (column < 0 || column >= rows->columnCount())
        return int(sorted.size());
    return int(std::lower_bound(sorted.cbegin(), sorted.cend(), row, [this](int a, int b) { return before(a, b); })
        - sorted.cbegin());
}

void TableFilterModel::showAt(int place, int row)
{
    const int at = shownBefore(place);
    beginInsertRows(QModelIndex(), at, at);
    shown.insert(at, row);
    for (int i = at; i < shown.size(); ++i)
        shownAt[shown.at(i)] = i;
    endInsertRows();
}

int TableFilterModel::shownBefore(int place) const
{
    if (words.isEmpty())
        return place;
    int count = 0;
    for (int i = 0; i < place; ++i) {
        if (shownAt.at(sorted.at(i)) >= 0)
            ++count;
    }
    return count;
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
        const QList<QByteArray> others = wordBytes.mid(1);
        shown.clear();
        for (int r : qAsConst(sorted)) {
            if (!holding[r]) {
                if (held.contains(r))
                    shown.append(r);
                continue;
            }
            if (std::all_of(others.cbegin(), others.cend(),
                    [&](const QByteArray &word) { return rows->holds(r, word); }))
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
        // Rows only ever join at the end of the model.
        shownAt.append(-1);
        const int place = sortedPlace(row);
        sorted.insert(place, row);
        if (accepts(row))
            showAt(place, row);
    }
}

void TableFilterModel::sourceRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    if (first != last) {
        // The model takes rows out one by one; anything else is shown afresh.
        removing = -1;
        beginResetModel();
        return;
    }
    removing = first;
    removingShown = shownAt.at(first) >= 0;
    if (removingShown)
        beginRemoveRows(QModelIndex(), shownAt.at(first), shownAt.at(first));
}

void TableFilterModel::sourceRowsRemoved(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    if (removing < 0 || first != last) {
        held.clear();
        sortRows();
        filterRows();
        endResetModel();
        return;
    }
    const int row = removing;
    removing = -1;
    // Rows held in sight follow their rows too.
    QSet<int> stillHeld;
    for (int r : qAsConst(held)) {
        if (r != row)
            stillHeld.insert(r > row ? r - 1 : r);
    }
    held = stillHeld;
    const int from = shownAt.at(row);
    sorted.removeAt(int(std::find(sorted.cbegin(), sorted.cend(), row) - sorted.cbegin()));
    if (from >= 0)
        shown.removeAt(from);
    // The rows after it in the model are one place further up now.
    for (int &r : sorted) {
        if (r > row)
            --r;
    }
    for (int &r : shown) {
        if (r > row)
            --r;
    }
    shownAt.removeAt(row);
    for (int i = qMax(0, from); i < shown.size(); ++i)
        shownAt[shown.at(i)] = i;
    if (removingShown)
        endRemoveRows();
}

void TableFilterModel::placeAgain(int row)
{
    const int was = int(std::find(sorted.cbegin(), sorted.cend(), row) - sorted.cbegin());
    if (was == sorted.size())
        return;
    sorted.removeAt(was);
    const int place = sortedPlace(row);
    sorted.insert(place, row);
    const int from = shownAt.at(row);
    const bool show = accepts(row);
    if (from >= 0 && show) {
        // Counted without the row itself, which lies at `place`: where it ends up.
        const int to = shownBefore(place);
        if (to == from || !beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to))
            return;
        shown.removeAt(from);
        shown.insert(to, row);
        for (int i = qMin(from, to); i <= qMax(from, to); ++i)
            shownAt[shown.at(i)] = i;
        endMoveRows();
    } else if (from >= 0) {
        beginRemoveRows(QModelIndex(), from, from);
        shown.removeAt(from);
        shownAt[row] = -1;
        for (int i = from; i < shown.size(); ++i)
            shownAt[shown.at(i)] = i;
        endRemoveRows();
    } else if (show) {
        showAt(place, row);
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
    // One row read anew: it may move in the order and come with the filter, but
    // one shown stays until the search changes, so that a patient just edited
    // is not lost from sight and selection.
    if (textsChanged) {
        if (!words.isEmpty() && shownAt.value(topLeft.row(), -1) >= 0)
            held.insert(topLeft.row());
        placeAgain(topLeft.row());
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
