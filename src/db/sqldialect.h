#pragma once

#include <QString>
#include <memory>

class QVariant;

// What differs between database backends: the Qt SQL driver, how a database
// file becomes a connection, and how dates are written in a statement. All
// other SQL is shared, so a further backend needs only a new dialect.
class SqlDialect
{
public:
    virtual ~SqlDialect() = default;

    virtual QString driverName() const = 0;
    // The QSqlDatabase database name that opens the given file.
    virtual QString databaseName(const QString &filePath) const = 0;
    // Driver options, among them how long to wait for another connection's lock.
    virtual QString connectOptions() const { return QString(); }
    // The SQL literal of a date or date-time value, quotes included; "NULL"
    // for anything that is not a valid date.
    virtual QString dateLiteral(const QVariant &value) const = 0;

    // The Access file through ODBC on Windows, the embedded SQLite elsewhere.
    static std::unique_ptr<SqlDialect> platformDefault();
};
