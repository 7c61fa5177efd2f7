#include "app/tablefiltermodel.h"

#include "app/tablerowmodel.h"
#include "toolkit/util/texthelper.h"

TableFilterModel::TableFilterModel(TableRowModel *rows)
    : QSortFilterProxyModel(rows)
    , rows(rows)
{
    setSourceModel(rows);
    setDynamicSortFilter(true);
    setSortLocaleAware(true);
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

QString TableFilterModel::fold(const QString &text)
{
    QString folded = text.toLower();
    folded.replace(QChar(0x0451), QChar(0x0435));
    return folded;
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
    // The cached texts, compared as QVariant texts would be, without the QVariants.
    return QString::localeAwareCompare(
               rows->textAt(left.row(), left.column()), rows->textAt(right.row(), right.column()))
        < 0;
}
