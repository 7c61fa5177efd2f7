#pragma once

#include "toolkit/settings/ztsettings.h"

class Database;

// One row of a database table. The Qt properties are the columns (property
// name = column name, id column first). A stored row writes every property
// change to its column at once, inside the setter; a new row (no database)
// never writes anything.
class AbstractDatabaseRow : public ZTSettings
{
    Q_OBJECT
public:
    explicit AbstractDatabaseRow(QObject *parent = nullptr);

    virtual int getId();
    virtual QString idColumnName() const = 0;
    // Loading hook: true when the row took the stored value itself.
    virtual bool fromDatabaseValue(const QString &column, const QVariant &value);
    // Writing hook: true when the row put the column's SQL text (without quotes)
    // into *text.
    virtual bool toDatabaseText(const QString &column, QString *text);
    virtual QString tableName() const = 0;

    Database *getDatabase() const { return database; }
    bool isStored() { return database && getId() > 0; }
    // The columns, in declaration order, id column first.
    QStringList columnNames() { return getPropertiesNames(); }

    // Reads every column of the stored row, one statement each, writing nothing
    // back and letting no change signal out.
    void load();
    // Writes one column of a stored row.
    void updateColumn(const QString &column);

protected:
    // Connects the row's propertyChanged to updateColumn directly, so the write
    // happens before the setter returns.
    void enableAutoUpdate();
    // Called after updateColumn has stored a column.
    virtual void columnWritten(const QString &column) { Q_UNUSED(column) }

    Database *database = nullptr;
};
