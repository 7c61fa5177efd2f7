#pragma once

#include "app/tables/tablecolumn.h"

#include <QAbstractTableModel>
#include <QCollator>
#include <QHash>
#include <QIcon>
#include <QList>
#include <QSet>
#include <QVector>
#include <vector>

class AbstractDatabaseRow;
class QObject;
class RowPresentation;

// The rows of a TableWidget as a model. A reset only takes the row objects and
// their ids: a cell's text, a row's icon and search text are read from the row
// the first time they are asked for (painting, sorting, fitting a column,
// filtering) and then kept, so that a hundred thousand rows come up without
// reading a hundred thousand rows' texts. A row's edit reads that row again,
// from the event loop, however many columns the edit touched.
//
// Every row of the process is watched through RowEvents, one connection for
// the model: a row destroyed by its owner is no longer handed out, and the
// texts already read stay on show until the next reset.
class TableRowModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The row's id, under the role the grid cells have always carried it in.
    static constexpr int IdRole = Qt::UserRole;

    // Texts, icons, sort values and search texts come from the table's own rules.
    TableRowModel(RowPresentation *table, QObject *parent);

    // Shows these rows under these columns.
    void reset(const QList<AbstractDatabaseRow *> &rows, const QList<TableColumn> &columns);
    // Adds rows after the others, read as the others are, without a reset.
    void appendRows(const QList<AbstractDatabaseRow *> &more);
    // Takes the rows showing this object out, one at a time, without a reset.
    void removeRowsOf(AbstractDatabaseRow *row);
    // Lets go of every row object at once; the texts read so far stay.
    void forgetRows();

    const QList<TableColumn> &shownColumns() const { return columns; }
    // The row object behind a model row; null once it is gone.
    AbstractDatabaseRow *rowAt(int row) const { return rowObjects.at(row); }
    QList<AbstractDatabaseRow *> liveRows() const;
    // The model rows showing this id, in model order.
    QList<int> rowsOf(int id) const;
    const QString &textAt(int row, int column) const;
    const QIcon &iconAt(int row) const;
    // Whether the column sorts by value (numbers, dates) rather than by text,
    // and the row's value there, unknown values lowest.
    bool sortsByValue(int column) const;
    double sortValue(int row, int column) const;
    // How the two rows' texts in the column compare in the user's locale's
    // order: by their ranks while those are known, else by the texts.
    int compareTexts(int a, int b, int column) const;
    // Every row's value in the column, read as sortValue reads it.
    const QVector<double> &sortValues(int column) const;
    // Every row's place when the text column is sorted ascending, equal texts
    // alike: a sort compares numbers. Kept until a row is added or edited;
    // a removed row leaves a gap that orders nothing differently.
    const QVector<int> &sortRanks(int column) const;
    // A folded word (TableFilterModel::fold) in the form search texts are
    // kept in, for holds().
    static QByteArray searchBytes(const QString &word);
    // Whether the row's search text, folded, holds the word (searchBytes).
    // Every row's is read the first time a filter asks, into one text, and
    // kept until the next reset.
    bool holds(int row, const QByteArray &word) const;
    // Reads search texts on from where the last call stopped, for about this
    // long; true once every row's has been read.
    bool readSearchKeysFor(int milliseconds) const;
    // Marks the rows whose search text holds the folded word, with one pass
    // over all of them.
    void markRowsHolding(const QString &word, std::vector<char> &marks) const;
    // Asks the table for every icon again (the theme changed).
    void refreshIcons();
    // Reads the row anew from the event loop, as after an edit of its object.
    void markEdited(AbstractDatabaseRow *row);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

signals:
    // The rows' cells were read anew after edits of their objects, after
    // dataChanged: for one row of that row, for several of the rows between
    // the first and the last of them.
    void rowsRefreshed(const QList<int> &rows);

private:
    enum class Kind : char { Unknown, Text, Value };

    void readRow(int row);
    void readValues(int column) const;
    // The model rows of a row object, from an index built at the first event
    // after a reset.
    QList<int> positionsOf(AbstractDatabaseRow *row);
    void rowChanged(AbstractDatabaseRow *row);
    void rowGone(AbstractDatabaseRow *row);
    void refreshEdited();

    RowPresentation *table;
    QList<TableColumn> columns;
    QStringList captions;
    QVector<AbstractDatabaseRow *> rowObjects;
    quint64 generation = 0;
    QVector<int> ids;
    // Row-major: row * columns.size() + column; a null text is not read yet
    // (a read one is never null).
    mutable QVector<QString> texts;
    mutable QVector<QIcon> icons;
    mutable QVector<bool> iconRead;
    mutable QVector<Kind> kinds;
    // By column: every row's sort value once that column has sorted (empty
    // before). A text column's collation keys live only while its ranks are
    // made: at a hundred thousand rows they weigh more than the ranks' sort.
    mutable QVector<QVector<double>> values;
    mutable QVector<QVector<int>> ranks;
    // The user's locale's order, as QString::localeAwareCompare has it.
    QCollator collator;
    void readSearchKeys() const;
    void replaceSearchKey(int row, const QByteArray &key);

    // Every row's search text, each followed by a line break (which no typed
    // word holds), and where each begins; the last offset is the end. Held
    // as searchBytes, mostly one byte a character.
    mutable QByteArray searchKeys;
    mutable QVector<int> searchOffsets;
    // The same, while they are read a slice at a time.
    mutable QByteArray pendingKeys;
    mutable QVector<int> pendingOffsets;
    QHash<AbstractDatabaseRow *, int> positions;
    bool positionsBuilt = false;
    bool repeatedRows = false;
    // Edited since the last refresh; compared by address only.
    QSet<AbstractDatabaseRow *> editedRows;
};
