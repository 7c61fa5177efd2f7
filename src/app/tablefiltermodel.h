#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>

class TableRowModel;

// Sorts a TableRowModel by its cell texts, compared as the user's locale
// orders them, and narrows it to the rows whose search text holds every typed
// word, in any order, without regard to case or to "ё" and "е".
class TableFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT
public:
    explicit TableFilterModel(TableRowModel *rows);

    // Empty or blank: every row. False when the words are those already applied.
    bool setFilterText(const QString &text);
    QString filterText() const { return typed; }

    // The form texts are compared in: lower case, "ё" as "е".
    static QString fold(const QString &text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    TableRowModel *rows;
    QString typed;
    QStringList words;
};
