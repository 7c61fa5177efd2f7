#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QSqlDatabase;
class RowCursor;
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
    // Runs a reading statement through the backend's own library, or null to
    // read through Qt's driver; an error leaves the reason in *error and
    // returns null too (with *error set).
    virtual std::unique_ptr<RowCursor> openCursor(
        QSqlDatabase &connection, const QString &statement, QString *error) const;
    // Tunes a connection each time it has been opened.
    virtual void prepareConnection(QSqlDatabase &connection) const { Q_UNUSED(connection) }
    // Tunes a database found to be one of ours, of this program's layout,
    // before the program works on it.
    virtual void prepareDatabase(QSqlDatabase &connection, const DatabaseLocation &location) const
    {
        Q_UNUSED(connection)
        Q_UNUSED(location)
    }
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

    // Whether a read of many rows steps through them one by one (where the
    // driver would otherwise keep a copy of every row) rather than taking the
    // whole result at once (where stepping costs a round of the driver per row).
    virtual bool readsRowByRow() const { return true; }
    // Whether other workstations write the same database, so that a column
    // edit must check that the stored value is still the one this workstation
    // showed. A local file has one workstation (a second copy of the program
    // is refused), and keeps the UPDATE's plain shape.
    virtual bool sharedByWorkstations() const { return false; }
    // Whether the database writes its History itself (triggers), so that the
    // program must not.
    virtual bool writesHistoryItself() const { return false; }
    // A layout statement written for the embedded file (its types, its
    // INTEGER PRIMARY KEY that numbers rows by itself) in this backend's words.
    virtual QString adaptStatement(const QString &statement) const { return statement; }
    // The statements that make the first layout version in an empty database
    // from the embedded file's schema text; empty when that file is copied
    // from the template instead. Id columns start numbering at firstId.
    virtual QStringList layoutStatements(const QString &schema, int firstId) const;
    // Taken inside each layout step, so that workstations starting at once
    // bring the layout forward one after the other; empty for none.
    virtual QString migrationLockStatement() const { return QString(); }

    // The channel on which changes are announced to other workstations, and
    // the statement that announces one inside a write (delivered when it
    // commits); empty where no one else listens.
    virtual QString notificationChannel() const { return QString(); }
    virtual QString notifyStatement(const QString &payload) const;
    // Whether an open connection has been lost (the server went away), so
    // that it must be opened afresh.
    virtual bool connectionLost(const QSqlDatabase &connection) const;
    // Cuts an open connection from another thread, so that a call waiting on
    // it comes back at once, refused; false where nothing can wait that long.
    virtual bool cutConnection(const QSqlDatabase &connection) const;
    // Whether a failed open asks for a password that was not given.
    virtual bool needsPassword(const QString &openError) const;
    // What a copy onto this backend runs to move numbering past the copied
    // ids: the statement listing the table's self-numbering columns, and the
    // one that sets a column's numbering past its highest value. Empty where
    // numbering needs nothing.
    virtual QString identityColumnsStatement(const QString &table) const;
    virtual QString followIdentityStatement(const QString &table, const QString &column) const;


protected:
    // ISO 8601: 'yyyy-MM-dd' for a date, 'yyyy-MM-ddTHH:mm:ss' for a date-time.
    static QString isoDateLiteral(const QVariant &value);
};
