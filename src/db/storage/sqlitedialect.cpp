#include "db/storage/sqlitedialect.h"

#include "db/storage/databaselocation.h"
#include "db/storage/rowcursor.h"

#include <QDebug>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QStringList>
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

// A result stepped through SQLite itself, the statement finalized with it.
class SqliteCursor : public RowCursor
{
public:
    explicit SqliteCursor(sqlite3_stmt *statement)
        : statement(statement)
    {
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            names << QString::fromUtf8(sqlite3_column_name(statement, i));
    }
    ~SqliteCursor() override { sqlite3_finalize(statement); }

    bool next() override
    {
        const int result = sqlite3_step(statement);
        if (result == SQLITE_ROW)
            return true;
        if (result != SQLITE_DONE)
            failure = QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement)));
        return false;
    }
    QVariant value(int field) const override
    {
        switch (sqlite3_column_type(statement, field)) {
        case SQLITE_INTEGER:
            return qlonglong(sqlite3_column_int64(statement, field));
        case SQLITE_FLOAT:
            return sqlite3_column_double(statement, field);
        case SQLITE_BLOB:
            return QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, field)),
                sqlite3_column_bytes(statement, field));
        case SQLITE_NULL:
            // As Qt's driver gives it.
            return QVariant(QVariant::String);
        default: {
            const char *bytes = reinterpret_cast<const char *>(sqlite3_column_text(statement, field));
            return decoded(bytes, sqlite3_column_bytes(statement, field));
        }
        }
    }
    bool text(int field, QString *text) const override
    {
        if (sqlite3_column_type(statement, field) != SQLITE_TEXT)
            return false;
        // The text first, then its size, which is the size of that text.
        const char *bytes = reinterpret_cast<const char *>(sqlite3_column_text(statement, field));
        textFrom(field, bytes, sqlite3_column_bytes(statement, field), text);
        return true;
    }
    bool typed(int field, int type, void *value) const override
    {
        const int stored = sqlite3_column_type(statement, field);
        switch (type) {
        case QMetaType::Int: {
            // Asked for its type first: reading a value as another converts it.
            if (stored != SQLITE_INTEGER)
                return false;
            const qint64 number = sqlite3_column_int64(statement, field);
            if (number != int(number))
                return false;
            *static_cast<int *>(value) = int(number);
            return true;
        }
        case QMetaType::Double:
            if (stored != SQLITE_INTEGER && stored != SQLITE_FLOAT)
                return false;
            *static_cast<double *>(value) = sqlite3_column_double(statement, field);
            return true;
        case QMetaType::QDate:
        case QMetaType::QDateTime: {
            if (stored != SQLITE_TEXT)
                return false;
            const char *bytes = reinterpret_cast<const char *>(sqlite3_column_text(statement, field));
            const int size = sqlite3_column_bytes(statement, field);
            if (type == QMetaType::QDate)
                return isoDate(bytes, size, static_cast<QDate *>(value));
            // Stored with a T; any other form goes through Qt's parser as before.
            return size > 10 && bytes[10] == 'T' && isoDateTime(bytes, size, static_cast<QDateTime *>(value));
        }
        default:
            return false;
        }
    }
    int indexOf(const QString &name) const override
    {
        for (int i = 0; i < names.size(); ++i) {
            if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }
    QString error() const override { return failure; }

private:
    sqlite3_stmt *statement;
    QStringList names;
    QString failure;
};

sqlite3 *handleOf(QSqlDatabase &connection)
{
    const QVariant handle = connection.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.data());
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
    if (sqlite3 *database = handleOf(connection))
        sqlite3_busy_handler(database, waitAMillisecond, reinterpret_cast<void *>(qintptr(busyTimeoutMs)));
}

std::unique_ptr<RowCursor> SqliteDialect::openCursor(
    QSqlDatabase &connection, const QString &statement, QString *error) const
{
    sqlite3 *database = connection.isOpen() ? handleOf(connection) : nullptr;
    if (!database)
        return nullptr;
    const QByteArray text = statement.toUtf8();
    sqlite3_stmt *prepared = nullptr;
    if (sqlite3_prepare_v2(database, text.constData(), text.size(), &prepared, nullptr) != SQLITE_OK) {
        *error = QString::fromUtf8(sqlite3_errmsg(database));
        sqlite3_finalize(prepared);
        return nullptr;
    }
    return std::make_unique<SqliteCursor>(prepared);
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
