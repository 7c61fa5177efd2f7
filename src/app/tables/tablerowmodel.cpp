#include "app/tables/tablerowmodel.h"

#include "app/tables/tablefiltermodel.h"
#include "app/tables/rowpresentation.h"
#include "db/rows/abstractdatabaserow.h"
#include "db/rows/rowevents.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <string_view>

namespace
{

// ASCII and the Cyrillic letters take one byte each (0x00 to 0xEE), any other
// character 0xEF and four bytes of 0xF0 to 0xFF. No byte of one form is ever
// part of another, so a word's bytes lie in a text's bytes exactly where its
// characters lie in the text: half the room of the characters for the same
// search.
void appendSearchBytes(QByteArray &to, const QString &text)
{
    const auto single = [](ushort code) { return code < 0x80 || (code >= 0x0400 && code < 0x0400 + 0x6F); };
    // Room for the longest form, cut to what was written: one pass.
    const int start = to.size();
    to.resize(start + 5 * text.size());
    char *out = to.data() + start;
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (code < 0x80) {
            *out++ = char(code);
        } else if (single(code)) {
            *out++ = char(0x80 + (code - 0x0400));
        } else {
            *out++ = char(0xEF);
            for (int shift = 12; shift >= 0; shift -= 4)
                *out++ = char(0xF0 | ((code >> shift) & 0xF));
        }
    }
    to.resize(int(out - to.constData()));
}

constexpr double Unknown = -std::numeric_limits<double>::infinity();

// Dates by their day or moment, numbers as they are; anything unknown lowest.
double numberOf(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::QDate:
        return value.toDate().isValid() ? double(value.toDate().toJulianDay()) : Unknown;
    case QMetaType::QDateTime: {
        // By the clock as shown: the moment since the epoch would ask the C
        // library for the time zone, which reads its file, at every row.
        const QDateTime moment = value.toDateTime();
        return moment.isValid()
            ? double(moment.date().toJulianDay()) * 86400000.0 + moment.time().msecsSinceStartOfDay()
            : Unknown;
    }
    case QMetaType::QTime:
        return value.toTime().isValid() ? double(value.toTime().msecsSinceStartOfDay()) : Unknown;
    default: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        return ok && !std::isnan(number) ? number : Unknown;
    }
    }
}

} // namespace

TableRowModel::TableRowModel(RowPresentation *table, QObject *parent)
    : QAbstractTableModel(parent)
    , table(table)
{
    // Direct: a row is announced while it changes or ends. Rows of other
    // threads are never shown here.
    connect(
        RowEvents::instance(), &RowEvents::changed, this, &TableRowModel::rowChanged, Qt::DirectConnection);
    connect(RowEvents::instance(), &RowEvents::gone, this, &TableRowModel::rowGone, Qt::DirectConnection);
}

void TableRowModel::reset(const QList<AbstractDatabaseRow *> &rows, const QList<TableColumn> &shown)
{
    beginResetModel();
    columns = shown;
    captions.clear();
    for (const TableColumn &column : shown)
        captions.append(column.caption());
    rowObjects = QVector<AbstractDatabaseRow *>(rows.cbegin(), rows.cend());
    const int count = rowObjects.size();
    ids.resize(count);
    for (int r = 0; r < count; ++r)
        ids[r] = rowObjects.at(r)->getId();
    texts = QVector<QString>(count * columns.size());
    icons = QVector<QIcon>(count);
    iconRead = QVector<bool>(count, false);
    kinds = QVector<Kind>(columns.size(), Kind::Unknown);
    values = QVector<QVector<double>>(columns.size());
    ranks = QVector<QVector<int>>(columns.size());
    collator = QCollator();
    searchKeys.clear();
    searchOffsets.clear();
    pendingKeys.clear();
    pendingOffsets.clear();
    positions.clear();
    positionsBuilt = false;
    repeatedRows = false;
    editedRows.clear();
    ++generation;
    endResetModel();
}

void TableRowModel::appendRows(const QList<AbstractDatabaseRow *> &more)
{
    if (more.isEmpty())
        return;
    const int first = rowObjects.size();
    beginInsertRows(QModelIndex(), first, first + more.size() - 1);
    for (AbstractDatabaseRow *row : more) {
        rowObjects.append(row);
        ids.append(row->getId());
        icons.append(QIcon());
        iconRead.append(false);
        texts.resize(rowObjects.size() * columns.size());
        if (positionsBuilt) {
            if (positions.contains(row))
                repeatedRows = true;
            else
                positions.insert(row, rowObjects.size() - 1);
        }
        for (int c = 0; c < columns.size(); ++c) {
            if (!values.at(c).isEmpty())
                values[c].append(numberOf(table->sortValue(row, columns.at(c).name)));
        }
        if (!searchOffsets.isEmpty()) {
            appendSearchBytes(searchKeys, TableFilterModel::fold(table->searchText(row)));
            searchKeys += '\n';
            searchOffsets.append(searchKeys.size());
        }
    }
    ranks.fill({});
    ++generation;
    endInsertRows();
}

void TableRowModel::removeRowsOf(AbstractDatabaseRow *row)
{
    QList<int> found = positionsOf(row);
    std::sort(found.begin(), found.end());
    // From the last: the rows before keep their places.
    for (auto it = found.crbegin(); it != found.crend(); ++it) {
        const int r = *it;
        beginRemoveRows(QModelIndex(), r, r);
        rowObjects.remove(r);
        ids.remove(r);
        icons.remove(r);
        iconRead.remove(r);
        texts.remove(r * columns.size(), columns.size());
        for (QVector<double> &column : values) {
            if (!column.isEmpty())
                column.remove(r);
        }
        for (QVector<int> &column : ranks) {
            if (!column.isEmpty())
                column.remove(r);
        }
        pendingKeys.clear();
        pendingOffsets.clear();
        if (!searchOffsets.isEmpty()) {
            const int start = searchOffsets.at(r);
            const int length = searchOffsets.at(r + 1) - start;
            searchKeys.remove(start, length);
            searchOffsets.remove(r);
            for (int i = r; i < searchOffsets.size(); ++i)
                searchOffsets[i] -= length;
        }
        for (auto position = positions.begin(); position != positions.end(); ++position) {
            if (position.value() > r)
                --position.value();
        }
        ++generation;
        endRemoveRows();
    }
    positions.remove(row);
    editedRows.remove(row);
}

void TableRowModel::forgetRows()
{
    rowObjects.fill(nullptr);
    positions.clear();
    positionsBuilt = true;
    editedRows.clear();
}

const QString &TableRowModel::textAt(int row, int column) const
{
    QString &text = texts[row * columns.size() + column];
    if (text.isNull()) {
        if (AbstractDatabaseRow *object = rowObjects.at(row))
            text = table->cellText(object, columns.at(column).name);
        if (text.isNull())
            text = QLatin1String("");
    }
    return text;
}

const QIcon &TableRowModel::iconAt(int row) const
{
    if (!iconRead.at(row)) {
        iconRead[row] = true;
        if (AbstractDatabaseRow *object = rowObjects.at(row))
            icons[row] = table->rowIcon(object);
    }
    return icons.at(row);
}

bool TableRowModel::sortsByValue(int column) const
{
    if (kinds.at(column) == Kind::Unknown) {
        kinds[column] = Kind::Text;
        for (AbstractDatabaseRow *row : rowObjects) {
            if (row) {
                if (table->sortValue(row, columns.at(column).name).isValid())
                    kinds[column] = Kind::Value;
                break;
            }
        }
    }
    return kinds.at(column) == Kind::Value;
}

double TableRowModel::sortValue(int row, int column) const
{
    if (values.at(column).size() != rowObjects.size())
        readValues(column);
    return values.at(column).at(row);
}

int TableRowModel::compareTexts(int a, int b, int column) const
{
    const QVector<int> &rank = ranks.at(column);
    if (rank.size() == rowObjects.size())
        return rank.at(a) < rank.at(b) ? -1 : rank.at(b) < rank.at(a) ? 1 : 0;
    // A row's place among the others is a binary search: a score of
    // comparisons, cheaper than a key for every row.
    return collator.compare(textAt(a, column), textAt(b, column));
}

const QVector<double> &TableRowModel::sortValues(int column) const
{
    if (values.at(column).size() != rowObjects.size())
        readValues(column);
    return values.at(column);
}

const QVector<int> &TableRowModel::sortRanks(int column) const
{
    QVector<int> &rank = ranks[column];
    if (rank.size() == rowObjects.size())
        return rank;
    // The texts are kept, the keys let go of at the end: read apart, the keys
    // lie together and leave one free stretch rather than holes between texts.
    for (int r = 0; r < rowObjects.size(); ++r)
        textAt(r, column);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rowObjects.size());
    for (int r = 0; r < rowObjects.size(); ++r)
        keys.push_back(collator.sortKey(textAt(r, column)));
    QVector<int> order(rowObjects.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&keys](int a, int b) {
        const int compared = keys[a].compare(keys[b]);
        return compared != 0 ? compared < 0 : a < b;
    });
    rank.resize(rowObjects.size());
    for (int i = 0; i < order.size(); ++i) {
        const bool same = i > 0 && keys[order.at(i)].compare(keys[order.at(i - 1)]) == 0;
        rank[order.at(i)] = same ? rank.at(order.at(i - 1)) : i;
    }
    return rank;
}

void TableRowModel::readValues(int column) const
{
    QVector<double> &read = values[column];
    read.resize(rowObjects.size());
    const QString &name = columns.at(column).name;
    for (int r = 0; r < rowObjects.size(); ++r) {
        AbstractDatabaseRow *row = rowObjects.at(r);
        read[r] = row ? numberOf(table->sortValue(row, name)) : Unknown;
    }
}

void TableRowModel::readRow(int r)
{
    ++generation;
    AbstractDatabaseRow *row = rowObjects.at(r);
    ids[r] = row->getId();
    iconRead[r] = false;
    const int width = columns.size();
    for (int c = 0; c < width; ++c)
        texts[r * width + c] = QString();
    ranks.fill({});
    // What has sorted once is kept in step, to find the row's new place.
    for (int c = 0; c < width; ++c) {
        if (!values.at(c).isEmpty())
            values[c][r] = numberOf(table->sortValue(row, columns.at(c).name));
    }
    if (!searchOffsets.isEmpty()) {
        replaceSearchKey(r, searchBytes(TableFilterModel::fold(table->searchText(row))));
    } else if (r < pendingOffsets.size()) {
        // Read before the edit: read again from the start.
        pendingKeys.clear();
        pendingOffsets.clear();
    }
}

void TableRowModel::replaceSearchKey(int r, const QByteArray &key)
{
    const int start = searchOffsets.at(r);
    const int length = searchOffsets.at(r + 1) - 1 - start;
    searchKeys.replace(start, length, key);
    const int shift = key.size() - length;
    for (int i = r + 1; i < searchOffsets.size(); ++i)
        searchOffsets[i] += shift;
}

QList<int> TableRowModel::positionsOf(AbstractDatabaseRow *row)
{
    if (!positionsBuilt) {
        positions.reserve(rowObjects.size());
        for (int r = 0; r < rowObjects.size(); ++r) {
            AbstractDatabaseRow *object = rowObjects.at(r);
            if (object && positions.contains(object))
                repeatedRows = true;
            else if (object)
                positions.insert(object, r);
        }
        positionsBuilt = true;
    }
    const auto found = positions.constFind(row);
    if (found == positions.constEnd())
        return {};
    if (!repeatedRows)
        return { found.value() };
    QList<int> all;
    for (int r = found.value(); r < rowObjects.size(); ++r) {
        if (rowObjects.at(r) == row)
            all.append(r);
    }
    return all;
}

void TableRowModel::rowChanged(AbstractDatabaseRow *row)
{
    if (QThread::currentThread() == thread())
        markEdited(row);
}

void TableRowModel::markEdited(AbstractDatabaseRow *row)
{
    if (positionsOf(row).isEmpty())
        return;
    // An edit sets its columns one by one; the row is read once they are all set.
    if (editedRows.isEmpty())
        QMetaObject::invokeMethod(this, &TableRowModel::refreshEdited, Qt::QueuedConnection);
    editedRows.insert(row);
}

void TableRowModel::rowGone(AbstractDatabaseRow *row)
{
    if (QThread::currentThread() != thread())
        return;
    for (int r : positionsOf(row))
        rowObjects[r] = nullptr;
    positions.remove(row);
    editedRows.remove(row);
}

void TableRowModel::refreshEdited()
{
    const QSet<AbstractDatabaseRow *> edited = editedRows;
    editedRows.clear();
    QList<int> refreshed;
    for (AbstractDatabaseRow *row : edited) {
        for (int r : positionsOf(row)) {
            readRow(r);
            refreshed.append(r);
        }
    }
    if (refreshed.isEmpty())
        return;
    // Facts found for a whole list arrive together: one change for them all,
    // so that what follows the model sorts and measures once.
    const auto bounds = std::minmax_element(refreshed.cbegin(), refreshed.cend());
    emit dataChanged(index(*bounds.first, 0), index(*bounds.second, qMax(0, columns.size() - 1)));
    emit rowsRefreshed(refreshed);
}

void TableRowModel::refreshIcons()
{
    for (int r = 0; r < rowObjects.size(); ++r) {
        if (rowObjects.at(r))
            iconRead[r] = false;
    }
    if (!rowObjects.isEmpty())
        emit dataChanged(index(0, 0), index(rowObjects.size() - 1, 0), { Qt::DecorationRole });
}

QList<AbstractDatabaseRow *> TableRowModel::liveRows() const
{
    QList<AbstractDatabaseRow *> live;
    live.reserve(rowObjects.size());
    for (AbstractDatabaseRow *row : rowObjects) {
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

void TableRowModel::readSearchKeys() const
{
    readSearchKeysFor(-1);
}

bool TableRowModel::readSearchKeysFor(int milliseconds) const
{
    if (!searchOffsets.isEmpty())
        return true;
    QElapsedTimer timer;
    timer.start();
    // Grown as the texts come, not reserved for the longest: room reserved
    // while the list has just been read raised the peak by megabytes.
    QString folded;
    for (int r = pendingOffsets.size(); r < rowObjects.size(); ++r) {
        if (milliseconds >= 0 && r % 256 == 0 && timer.elapsed() >= milliseconds)
            return false;
        pendingOffsets.append(pendingKeys.size());
        // A row gone since the reset matches no filter.
        if (AbstractDatabaseRow *object = rowObjects.at(r)) {
            folded.resize(0);
            TableFilterModel::foldInto(folded, table->searchText(object));
            appendSearchBytes(pendingKeys, folded);
        }
        pendingKeys += '\n';
    }
    pendingOffsets.append(pendingKeys.size());
    // The room grown into ahead of the texts is handed back in place.
    pendingKeys.squeeze();
    searchKeys.swap(pendingKeys);
    searchOffsets.swap(pendingOffsets);
    pendingKeys.clear();
    pendingOffsets.clear();
    return true;
}

QByteArray TableRowModel::searchBytes(const QString &word)
{
    QByteArray bytes;
    appendSearchBytes(bytes, word);
    return bytes;
}

bool TableRowModel::holds(int row, const QByteArray &word) const
{
    readSearchKeys();
    const int start = searchOffsets.at(row);
    const std::string_view key(searchKeys.constData() + start, size_t(searchOffsets.at(row + 1) - 1 - start));
    return key.find(std::string_view(word.constData(), size_t(word.size()))) != std::string_view::npos;
}

void TableRowModel::markRowsHolding(const QString &word, std::vector<char> &marks) const
{
    readSearchKeys();
    marks.assign(rowObjects.size(), 0);
    if (word.isEmpty() || word.contains(QLatin1Char('\n')))
        return;
    const QByteArray bytes = searchBytes(word);
    // The standard library's search starts from memchr, quicker than a loop over the bytes.
    const std::string_view all(searchKeys.constData(), size_t(searchKeys.size()));
    const std::string_view wanted(bytes.constData(), size_t(bytes.size()));
    int from = 0;
    for (;;) {
        const size_t found = all.find(wanted, size_t(from));
        if (found == std::string_view::npos)
            break;
        const int at = int(found);
        const int row
            = int(std::upper_bound(searchOffsets.cbegin(), searchOffsets.cend(), at) - searchOffsets.cbegin())
            - 1;
        marks[row] = 1;
        // One hit is enough: on to the next row.
        from = searchOffsets.at(row + 1);
    }
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
    case Qt::DecorationRole: {
        if (index.column() != 0)
            return QVariant();
        const QIcon &icon = iconAt(index.row());
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    case Qt::AccessibleTextRole: {
        // The first cell reads its icon's meaning before its text: a row reads as it looks.
        AbstractDatabaseRow *object = rowObjects.at(index.row());
        const QString said = index.column() == 0 && object ? table->rowIconText(object) : QString();
        const QString &text = textAt(index.row(), index.column());
        if (said.isEmpty())
            return text;
        return text.isEmpty() ? said : said + QStringLiteral(", ") + text;
    }
    case Qt::TextAlignmentRole:
        return columns.at(index.column()).alignment | Qt::AlignVCenter;
    case IdRole:
        return ids.at(index.row());
    case Qt::ToolTipRole: {
        AbstractDatabaseRow *object = rowObjects.at(index.row());
        const QString tip = object ? table->rowToolTip(object) : QString();
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    case Qt::ForegroundRole: {
        AbstractDatabaseRow *object = rowObjects.at(index.row());
        return object && table->rowDimmed(object) ? QVariant(table->dimmedText())
                                                  : QVariant();
    }
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
