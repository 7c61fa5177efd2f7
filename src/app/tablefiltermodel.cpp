#include "app/tablefiltermodel.h"

#include "app/tablerowmodel.h"
#include "toolkit/util/texthelper.h"

TableFilterModel::TableFilterModel(TableRowModel *rows)
    : QSortFilterProxyModel(rows)
    , rows(rows)
{
    setSourceModel(rows);
    setDynamicSortFilter(true);
}

bool TableFilterModel::setFilterText(const QString &text)
{
    typed = text;
    // Words as the table shows them, so that a pasted name with a hidden character finds its row.
    const QStringList folded
        = fold(TextHelper::visibleText(text.simplified())).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (folded == words)
        return false;
    words = folded;
    invalidateFilter();
    return true;
}

QString TableFilterModel::fold(QString text)
{
    text = std::move(text).toLower();
    text.replace(QChar(0x0451), QChar(0x0435));
    return text;
}

bool TableFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const
{
    Q_UNUSED(sourceParent)
    if (words.isEmpty())
        return true;
    const QString &key = rows->searchKey(sourceRow);
    for (const QString &word : words) {
        if (!key.contains(word))
            return false;
    }
    return true;
}

bool TableFilterModel::lessThan(const QModelIndex &left, const QModelIndex &right) const
{
    const int column = left.column();
    if (column != sortTextsColumn || rows->textGeneration() != sortTextsGeneration)
        copySortTexts(column);
    const auto text = [this](int row) {
        const int start = sortOffsets.at(row);
        return QStringRef(&sortTexts, start, sortOffsets.at(row + 1) - start);
    };
    // Compared as the item grid compared its cell texts.
    return QStringRef::localeAwareCompare(text(left.row()), text(right.row())) < 0;
}

void TableFilterModel::copySortTexts(int column) const
{
    const int count = rows->rowCount();
    int length = 0;
    for (int r = 0; r < count; ++r)
        length += rows->textAt(r, column).size();
    sortTexts.clear();
    sortTexts.reserve(length);
    sortOffsets.resize(count + 1);
    for (int r = 0; r < count; ++r) {
        sortOffsets[r] = sortTexts.size();
        sortTexts.append(rows->textAt(r, column));
    }
    sortOffsets[count] = sortTexts.size();
    sortTextsColumn = column;
    sortTextsGeneration = rows->textGeneration();
}
