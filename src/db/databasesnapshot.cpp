#include "db/databasesnapshot.h"

#include "db/databaselocation.h"

#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>

namespace
{

constexpr int BusyTimeoutMs = 10000;

// A connection of its own to a file, closed when it goes.
class SqliteFile
{
public:
    SqliteFile(const QString &path, bool readOnly)
    {
        const int flags = readOnly ? SQLITE_OPEN_READONLY : (SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        status = sqlite3_open_v2(QFile::encodeName(path).constData(), &handle, flags, nullptr);
        if (status == SQLITE_OK)
            sqlite3_busy_timeout(handle, BusyTimeoutMs);
    }
    ~SqliteFile() { sqlite3_close(handle); }
    bool isOpen() const { return status == SQLITE_OK; }
    QString error() const { return QString::fromUtf8(sqlite3_errmsg(handle)); }
    sqlite3 *handle = nullptr;

private:
    int status = SQLITE_ERROR;
};

class SqliteSnapshot : public DatabaseSnapshot
{
public:
    explicit SqliteSnapshot(const QString &filePath)
        : filePath(filePath)
    {
    }

    QString backend() const override { return QStringLiteral("sqlite"); }
    QString fileName() const override { return QFileInfo(filePath).fileName(); }

    bool copyTo(const QString &path, QString *reason) const override
    {
        if (!QFileInfo(filePath).isFile()) {
            *reason = DatabaseSnapshot::tr("There is no database file at %1").arg(filePath);
            return false;
        }
        SqliteFile source(filePath, true);
        SqliteFile target(path, false);
        if (!source.isOpen() || !target.isOpen()) {
            *reason = source.isOpen() ? target.error() : source.error();
            return false;
        }
        // All pages in one step, under one read lock: a consistent copy, however
        // the program writes meanwhile.
        sqlite3_backup *backup = sqlite3_backup_init(target.handle, "main", source.handle, "main");
        if (!backup) {
            *reason = target.error();
            return false;
        }
        int status = SQLITE_OK;
        do {
            status = sqlite3_backup_step(backup, -1);
            if (status == SQLITE_BUSY || status == SQLITE_LOCKED)
                sqlite3_sleep(20);
        } while (status == SQLITE_OK || status == SQLITE_BUSY || status == SQLITE_LOCKED);
        sqlite3_backup_finish(backup);
        if (status != SQLITE_DONE) {
            *reason = QString::fromUtf8(sqlite3_errstr(status));
            return false;
        }
        // The copy is one file that opens anywhere, also read-only: whatever
        // log the original writes ahead of, the copy keeps none beside it.
        if (sqlite3_exec(target.handle, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr) != SQLITE_OK) {
            *reason = target.error();
            return false;
        }
        return true;
    }

    bool describeCopy(
        const QString &path, QMap<QString, qint64> *rows, int *layoutVersion, QString *reason) const override
    {
        SqliteFile copy(path, true);
        QStringList tables;
        const bool read = copy.isOpen()
            && forEachRow(copy, "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name",
                [&](sqlite3_stmt *row) {
                    tables << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(row, 0)));
                });
        if (!read) {
            *reason = copy.error();
            return false;
        }
        *layoutVersion = 1;
        for (const QString &table : qAsConst(tables)) {
            // Names from the file itself, quoted as identifiers.
            QString quoted = table;
            quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
            const QByteArray count = "SELECT count(*) FROM \"" + quoted.toUtf8() + '"';
            if (!forEachRow(copy, count.constData(),
                    [&](sqlite3_stmt *row) { rows->insert(table, sqlite3_column_int64(row, 0)); })) {
                *reason = copy.error();
                return false;
            }
            if (table == QLatin1String("SchemaVersion")
                && !forEachRow(copy, "SELECT Version FROM SchemaVersion",
                    [&](sqlite3_stmt *row) { *layoutVersion = sqlite3_column_int(row, 0); })) {
                *reason = copy.error();
                return false;
            }
        }
        return true;
    }

    QString placeInDataFolder(const QString &dataFolder) const override { return dataFolder + fileName(); }

private:
    template <typename Take> static bool forEachRow(SqliteFile &file, const char *sql, Take take)
    {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(file.handle, sql, -1, &statement, nullptr) != SQLITE_OK)
            return false;
        int status = SQLITE_ROW;
        while ((status = sqlite3_step(statement)) == SQLITE_ROW)
            take(statement);
        sqlite3_finalize(statement);
        return status == SQLITE_DONE;
    }

    QString filePath;
};

// A backend whose copy this program cannot take yet: every step says so.
class UnsupportedSnapshot : public DatabaseSnapshot
{
public:
    explicit UnsupportedSnapshot(const QString &why)
        : why(why)
    {
    }
    QString backend() const override { return QString(); }
    QString fileName() const override { return QStringLiteral("database.dump"); }
    bool copyTo(const QString &, QString *reason) const override
    {
        *reason = why;
        return false;
    }
    bool describeCopy(const QString &, QMap<QString, qint64> *, int *, QString *reason) const override
    {
        *reason = why;
        return false;
    }
    QString placeInDataFolder(const QString &) const override { return QString(); }

private:
    QString why;
};

} // namespace

std::unique_ptr<DatabaseSnapshot> DatabaseSnapshot::forLocation(const DatabaseLocation &location)
{
    switch (location.backend) {
    case DatabaseLocation::Backend::Sqlite:
        return std::make_unique<SqliteSnapshot>(location.filePath);
    case DatabaseLocation::Backend::Postgres:
        // A consistent dump of the server (pg_dump) belongs here.
        return std::make_unique<UnsupportedSnapshot>(
            tr("Backing up a database server is not supported yet: use the server's own backup (pg_dump)."));
    case DatabaseLocation::Backend::Access:
        break;
    }
    return std::make_unique<UnsupportedSnapshot>(tr("Backing up this kind of database is not supported."));
}
