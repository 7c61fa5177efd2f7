#pragma once

#include "db/storage/sqldialect.h"

// A PostgreSQL server that several workstations share, through Qt's QPSQL
// driver. Dates are ISO literals, as in the embedded file; new ids come from
// each id column's identity sequence, so that two workstations inserting at
// the same moment never take the same one; the layout is made from the
// embedded file's schema with the server's types; changes are announced to
// the other workstations on one notification channel.
class PostgresDialect : public SqlDialect
{
public:
    static const char *const NotificationChannel;

    QString driverName() const override;
    QString databaseName(const QString &filePath) const override;
    // Host, port, database, user and TLS mode of the location; the password
    // only when one was given for the session (libpq reads ~/.pgpass
    // otherwise). Every wait is bounded by the location's timeout.
    void configure(QSqlDatabase &connection, const DatabaseLocation &location) const override;
    QString dateLiteral(const QVariant &value) const override;
    // A write that takes new ids (a new patient, a changed patient ID) holds
    // one lock of the whole server until it ends: workstations saving at the
    // same moment check the stored IDs one after the other, each seeing what
    // the one before committed.
    QString beginWriteStatement(bool takesNewIds) const override;
    QString nextIdStatement(const QString &table, const QString &idColumn) const override;
    bool sharedByWorkstations() const override { return true; }
    bool writesHistoryItself() const override { return true; }
    bool readsRowByRow() const override { return false; }
    QString adaptStatement(const QString &statement) const override;
    QStringList layoutStatements(const QString &schema, int firstId) const override;
    QString migrationLockStatement() const override;
    QString notificationChannel() const override;
    QString notifyStatement(const QString &payload) const override;
    bool connectionLost(const QSqlDatabase &connection) const override;
    // Reads through libpq itself: Qt's driver turns every value of every row
    // into a QVariant before anyone asks, which costs more than the server.
    std::unique_ptr<RowCursor> openCursor(
        QSqlDatabase &connection, const QString &statement, QString *error) const override;
    // Shuts the socket: the call waiting on it sees the connection end.
    bool cutConnection(const QSqlDatabase &connection) const override;
    bool needsPassword(const QString &openError) const override;
    QString identityColumnsStatement(const QString &table) const override;
    QString followIdentityStatement(const QString &table, const QString &column) const override;
};
