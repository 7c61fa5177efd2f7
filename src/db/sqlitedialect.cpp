#include "db/sqlitedialect.h"

#include "db/databaselocation.h"

#include <QDebug>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QUrl>
#include <QVariant>
#include <chrono>
#include <sqlite3.h>
#include <thread>

namespace
{

int waitAMillisecond(void *timeoutMs, int attempts)
{
    if (attempts >= int(reinterpret_cast<qintptr>(timeoutMs)))
        return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 1;
}

} // namespace

SqliteDialect::SqliteDialect(int busyTimeoutMs)
    : busyTimeoutMs(busyTimeoutMs)
{
}

QString SqliteDialect::driverName() const
{
    return QStringLiteral("QSQLITE");
}

QString SqliteDialect::databaseName(const QString &filePath) const
{
    // Opened as a URI with mode=rw: SQLite would otherwise create an empty file
    // without tables when the database is missing, and the first start would
    // then never copy the template over it. Like the Access driver, a missing
    // file now leaves the connection closed until the file exists.
    return QUrl::fromLocalFile(filePath).toString(QUrl::FullyEncoded) + QStringLiteral("?mode=rw");
}

QString SqliteDialect::connectOptions() const
{
    return QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=") + QString::number(busyTimeoutMs);
}

void SqliteDialect::prepareConnection(QSqlDatabase &connection) const
{
    const QVariant handle = connection.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        if (sqlite3 *database = *static_cast<sqlite3 *const *>(handle.data()))
            sqlite3_busy_handler(
                database, waitAMillisecond, reinterpret_cast<void *>(qintptr(busyTimeoutMs)));
    }
}

bool SqliteDialect::onLocalDisk(const QString &filePath)
{
    const QByteArray type = QStorageInfo(QFileInfo(filePath).absolutePath()).fileSystemType().toLower();
    static const char *const remote[] = { "nfs", "cifs", "smb", "fuse", "9p", "afs", "ceph", "gluster", "lustre",
        "ncp", "coda", "davfs", "sshfs" };
    for (const char *kind : remote) {
        if (type.startsWith(kind))
            return false;
    }
    return !type.isEmpty();
}

void SqliteDialect::prepareDatabase(QSqlDatabase &connection, const DatabaseLocation &location) const
{
    if (!onLocalDisk(location.filePath))
        return;
    QSqlQuery query(connection);
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
        qDebug() << "Write-ahead log not taken:" << query.lastError().text();
}

QString SqliteDialect::dateLiteral(const QVariant &value) const
{
    return isoDateLiteral(value);
}

QString SqliteDialect::beginWriteStatement(bool takesNewIds) const
{
    return takesNewIds ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN");
}
