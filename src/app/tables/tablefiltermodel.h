#pragma once

#include <QAbstractProxyModel>
#include <QSet>
#include <QStringList>
#include <QVector>
#include <functional>

class TableRowModel;

// Sorts a TableRowModel and narrows it to the rows whose search text holds
// every typed word, in any order, compared as SearchKey folds them.
// Numbers and dates sort by value, texts as the user's locale orders them;
// rows that compare equal keep the model's order.
//
// The sorted order of every row is kept beside the rows shown: typing or
// clearing a filter walks that order once and the view hears of it as one
// layout change (a generic proxy inserts and removes rows range by range, and
// sorts what it inserts, which costs a hundred milliseconds over a hundred
// thousand rows). Sorting runs at a reset and at a click on a header, on the
// model's ranks of its rows; a row added, edited or removed finds its place by a
// binary search and reaches the view as one insert, move or removal.
class TableFilterModel : public QAbstractProxyModel
{
    Q_OBJECT
public:
    explicit TableFilterModel(TableRowModel *rows);

    // Empty or blank: every row. False when the words are those already applied.
    bool setFilterText(const QString &text);
    QString filterText() const { return typed; }

    // The form a row's search text is compared in (SearchKey::ofText).
    static QString fold(QString text);
    // The same appended to `into`.
    static void foldInto(QString &into, const QString &text);

    // The order the rows take at the next reset, announced to no one; a column
    // below 0 keeps the model's order.
    void setSorting(int column, Qt::SortOrder order);
    int sortColumn() const { return column; }
    Qt::SortOrder sortOrder() const { return order; }
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    QModelIndex mapToSource(const QModelIndex &proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex &sourceIndex) const override;
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void sourceAboutToBeReset();
    void sourceReset();
    // Rows added after the others take their places in the order, and show
    // when the filter lets them through.
    void sourceRowsInserted(const QModelIndex &parent, int first, int last);
    void sourceRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last);
    void sourceRowsRemoved(const QModelIndex &parent, int first, int last);
    void sourceDataChanged(
        const QModelIndex &topLeft, const QModelIndex &bottomRight, const QVector<int> &roles);
    // Where source row `row` belongs among `sorted` (which must not hold it).
    int sortedPlace(int row) const;
    // How many rows shown come before place `place` of `sorted`.
    int shownBefore(int place) const;
    // Shows a source row that sits at this place of the sorted order.
    void showAt(int place, int row);
    // Shows an edited source row at its sorted place: moved, or inserted or
    // removed as the filter now has it.
    void placeAgain(int row);
    // Runs change between the two halves of a layout change, carrying the
    // persistent indexes (selection, current row) along to the rows they showed.
    void changeLayout(const std::function<void()> &change, LayoutChangeHint hint);
    bool accepts(int sourceRow) const;
    // Whether source row a comes before b in the sorted order.
    bool before(int a, int b) const;
    void sortRows();
    void filterRows();

    TableRowModel *rows;
    QString typed;
    QStringList words;
    // The words as the rows' search texts hold them (TableRowModel::searchBytes).
    QList<QByteArray> wordBytes;
    int column = -1;
    Qt::SortOrder order = Qt::AscendingOrder;
    // A source row being removed, and whether the view was told.
    int removing = -1;
    bool removingShown = false;
    // Every source row, in display order.
    QVector<int> sorted;
    // The source rows the filter lets through, in display order, and each
    // source row's place among them (-1: filtered out).
    QVector<int> shown;
    QVector<int> shownAt;
    // Source rows shown when they changed, shown until the words change.
    QSet<int> held;
};
