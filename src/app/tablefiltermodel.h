#pragma once

#include <QSortFilterProxyModel>
#include <QStringList>
#include <QVector>

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
    static QString fold(QString text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;
    bool lessThan(const QModelIndex &left, const QModelIndex &right) const override;

private:
    void copySortTexts(int column) const;

    TableRowModel *rows;
    QString typed;
    QStringList words;
    // The sorted column's texts, one after the other in one buffer: sorting
    // compares each text about log n times, and reads them in one place
    // rather than wherever each was allocated.
    mutable QString sortTexts;
    mutable QVector<int> sortOffsets;
    mutable int sortTextsColumn = -1;
    mutable quint64 sortTextsGeneration = 0;
};
