#pragma once

#include "toolkit/settings/ztsettings.h"

#include <QList>
#include <QPair>
#include <QVector>

class QSqlQuery;
class RowCursor;
class RowStore;

// One row of a database table. The Qt properties are the columns (property
// name = column name, id column first). A stored row writes every property
// change to its column at once, inside the setter; a new row (no store) never
// writes anything. A write the database refuses puts the stored value back
// and is reported through Database::writeFailed.
class AbstractDatabaseRow : public ZTSettings
{
    Q_OBJECT
public:
    // Without a store, a new row; with one, a row of that database, which
    // reads and writes it.
    explicit AbstractDatabaseRow(RowStore *store = nullptr, QObject *parent = nullptr);
    // Announced to RowEvents.
    ~AbstractDatabaseRow() override;

    virtual int getId();
    virtual QString idColumnName() const = 0;
    // Loading hook for a column whose property is an enumeration (stored as
    // a letter, say): true when the row took the stored value itself.
    virtual bool fromDatabaseValue(const QString &column, const QVariant &value);
    // Writing hook: true when the row put the column's text (without quotes)
    // into *text.
    virtual bool toDatabaseText(const QString &column, QString *text);
    virtual QString tableName() const = 0;

    // The columns, in declaration order, id column first.
    const QStringList &columnNames() const;
    // The length limit of each column that has one in the database (its
    // "MaxLength" class info), in column order.
    QList<QPair<QString, int>> columnLimits() const;

    // Name without regard to case. False when the property refuses the value,
    // and on a stored row when the database refused the write: the property
    // then holds the stored value again.
    bool setValue(const QString &name, const QVariant &value) override;
    // Reads every column of the stored row with one statement, writing nothing
    // back and letting no change signal out. False when it could not be read.
    bool load();
    // Writes one column of a stored row. False when the database refused it;
    // the column's value from before the change is then put back (when a
    // setter made the change) and the refusal reported.
    bool updateColumn(const QString &column);

    // Takes the values of the current row of a result: fields[i] is the result
    // field of column i, or -1 when the result lacks it (the property keeps its
    // value). Writes nothing back, lets no signal out.
    void takeStoredValues(const QSqlQuery &query, const QVector<int> &fields);
    void takeStoredValues(const RowCursor &cursor, const QVector<int> &fields);
    // Shows a value again that a write which was undone had replaced: the
    // change is announced, nothing is written.
    void putBack(const QString &column, const QVariant &value);

protected:
    RowStore *store() const { return rowStore; }
    // Asks the store to write the changed column; `previous` is invalid when
    // not known. A row whose column needs more than its UPDATE says so here.
    virtual bool writeToStore(const QString &column, const QVariant &previous, QString *reason);

    void changingProperty(const char *name) override;
    void changedProperty(const QString &name) override;

private:
    RowStore *rowStore = nullptr;
    bool writesSuspended = false;
    bool writeRefused = false;
    // The value a setter is replacing lives beside the row, not in it, until
    // its write has gone through: a hundred thousand rows would each carry
    // room for a value that is almost never pending.
};
