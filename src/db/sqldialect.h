#pragma once

#include <QString>
#include <memory>

class QSqlDatabase;
class QVariant;
struct DatabaseLocation;

// What differs between database backends: the Qt SQL driver, how a location
// becomes a connection, how dates are written in a statement, how a write
// begins and where new ids come from. All other SQL is shared, so a further
// backend needs only a new dialect.
class SqlDialect
{
public:
    virtual ~SqlDialect() = default;

    virtual QString driverName() const = 0;
    // The QSqlDatabase database name that opens the given file.
    virtual QString databaseName(const QString &filePath) const = 0;
    // Driver options, among them how long to wait for another connection's lock.
    virtual QString connectOptions() const { return QString(); }
    // Points a new connection at the location: by default the file's database
    // name and the driver options.
    virtual void configure(QSqlDatabase &connection, const DatabaseLocation &location) const;
    // Tunes a connection each time it has been opened.
    virtual void prepareConnection(QSqlDatabase &connection) const { Q_UNUSED(connection) }
    // The SQL literal of a date or date-time value, quotes included; "NULL"
    // for anything that is not a valid date.
    virtual QString dateLiteral(const QVariant &value) const = 0;
    // The statement that begins a write; for one that takes new ids, taking
    // at once the lock that keeps them ours until it commits. Empty for the
    // driver's own transaction.
    virtual QString beginWriteStatement(bool takesNewIds) const
    {
        Q_UNUSED(takesNewIds)
        return QString();
    }
    // The statement that gives a new id for the table from a sequence; empty
    // when the backend keeps the rule of the highest id plus one.
    virtual QString nextIdStatement(const QString &table, const QString &idColumn) const;

    // The dialect of the location's backend.
    static std::unique_ptr<SqlDialect> forLocation(const DatabaseLocation &location);
    // The Access file through ODBC on Windows, the embedded SQLite elsewhere.
    static std::unique_ptr<SqlDialect> platformDefault();
};
