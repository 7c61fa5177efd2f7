#pragma once

#include "db/storage/sqldialect.h"

// The embedded SQLite file. Dates are ISO 8601 text, 'yyyy-MM-dd' for a date
// and 'yyyy-MM-ddTHH:mm:ss' for a date-time, so that they sort as text and
// read back as QDate / QDateTime.
class SqliteDialect : public SqlDialect
{
public:
    // How long a statement waits for another connection's lock before it
    // fails with "database is locked".
    static constexpr int DefaultBusyTimeoutMs = 5000;

    explicit SqliteDialect(int busyTimeoutMs = DefaultBusyTimeoutMs);

    QString driverName() const override;
    QString databaseName(const QString &filePath) const override;
    QString connectOptions() const override;
    // Waits for another connection's lock in steps of a millisecond: with the
    // library's own growing steps, a program that writes again and again
    // could keep another waiting past the timeout.
    void prepareConnection(QSqlDatabase &connection) const override;
    // Reads through SQLite itself: texts stay UTF-8 until a row asks for them.
    std::unique_ptr<RowCursor> openCursor(
        QSqlDatabase &connection, const QString &statement, QString *error) const override;
    // A file on a local disk is written ahead of its log: a commit waits for
    // one flush to the disk instead of three, and reading never waits for a
    // writer. A file on a network share keeps the rollback journal, which
    // alone works across machines.
    void prepareDatabase(QSqlDatabase &connection, const DatabaseLocation &location) const override;
    // Whether the file lies on a file system of this machine.
    static bool onLocalDisk(const QString &filePath);
    QString dateLiteral(const QVariant &value) const override;
    // A write that takes new ids takes the write lock at once, so that the
    // highest id it reads stays ours; any other waits for the lock at its
    // first statement, as a statement of its own would.
    QString beginWriteStatement(bool takesNewIds) const override;

private:
    int busyTimeoutMs;
};
