#include "db/care/databasesnapshot.h"

#include "db/storage/databaselocation.h"
#include "db/storage/serverroles.h"
#include "db/storage/postgresdialect.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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
        if (sqlite3_exec(target.handle, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr)
            != SQLITE_OK) {
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

// The server's own tools, where the system has them: a client of any version
// at least the server's reads and writes its dumps.
QString serverTool(const QString &name)
{
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return onPath;
    QStringList versions
        = QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
        [](const QString &a, const QString &b) { return a.toInt() > b.toInt(); });
    for (const QString &version : qAsConst(versions)) {
        const QString path = QStringLiteral("/usr/lib/postgresql/%1/bin/%2").arg(version, name);
        if (QFileInfo(path).isExecutable())
            return path;
    }
    return QString();
}

// A value of a connection string, quoted so that blanks and quotes stay in it.
QString connectionValue(const QString &value)
{
    QString quoted = value;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    quoted.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// A dump of the whole server database as SQL, which drops what it creates
// before it creates it: loaded in one transaction, it replaces the tables
// whole or changes nothing.
class ServerSnapshot : public DatabaseSnapshot
{
public:
    explicit ServerSnapshot(const DatabaseLocation &location)
        : location(location)
    {
    }

    QString backend() const override { return QStringLiteral("postgres"); }
    QString fileName() const override { return QStringLiteral("server.sql"); }

    bool copyTo(const QString &path, QString *reason) const override
    {
        return run(QStringLiteral("pg_dump"),
            { QStringLiteral("--format=plain"), QStringLiteral("--clean"), QStringLiteral("--if-exists"),
                QStringLiteral("--no-owner"), QStringLiteral("--no-privileges"),
                QStringLiteral("--encoding=UTF8"), QStringLiteral("--file=") + path,
                QStringLiteral("--dbname=") + connection() },
            reason);
    }

    // A dump's rows are the lines of its COPY blocks: the text format writes
    // line breaks inside values as "\n".
    bool describeCopy(
        const QString &path, QMap<QString, qint64> *rows, int *layoutVersion, QString *reason) const override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *reason = QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
            return false;
        }
        *layoutVersion = 1;
        QString table;
        while (!file.atEnd()) {
            const QByteArray line = file.readLine();
            if (table.isEmpty()) {
                if (!line.startsWith("COPY ") || !line.trimmed().endsWith("FROM stdin;"))
                    continue;
                const int end = line.indexOf(' ', 5);
                table = QString::fromUtf8(line.mid(5, end - 5));
                table.remove(QStringLiteral("public.")).remove(QLatin1Char('"'));
                // The server keeps the names in lower case; a manifest counts
                // the program's tables as a file's does.
                for (const char *known :
                    { "Patients", "Records", "History", "Removals", "Conclusions", "SchemaVersion" }) {
                    if (table.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
                        table = QLatin1String(known);
                }
                rows->insert(table, 0);
            } else if (line == "\\.\n") {
                table.clear();
            } else {
                if (table == QLatin1String("SchemaVersion") && (*rows)[table] == 0)
                    *layoutVersion = line.split('\t').first().trimmed().toInt();
                ++(*rows)[table];
            }
        }
        if (!table.isEmpty() || !rows->contains(QStringLiteral("Patients"))) {
            *reason = DatabaseSnapshot::tr("The database copy is incomplete.");
            return false;
        }
        return true;
    }

    QString placeInDataFolder(const QString &dataFolder) const override { return dataFolder + fileName(); }

    bool load(const QString &path, const QString &keepIn, QString *reason) const override
    {
        const QString current = keptCopy(keepIn);
        if (!keepIn.isEmpty() && (!QDir().mkpath(keepIn) || !copyTo(current, reason))) {
            if (reason->isEmpty())
                *reason = DatabaseSnapshot::tr("A folder cannot be made: %1")
                              .arg(QDir::toNativeSeparators(keepIn));
            return false;
        }
        // Workstations still at work hold their tables; a restore waits for
        // them a while rather than for ever.
        if (!run(QStringLiteral("psql"),
                { QStringLiteral("--no-psqlrc"), QStringLiteral("--quiet"),
                    QStringLiteral("--single-transaction"), QStringLiteral("--set=ON_ERROR_STOP=1"),
                    // The tables made anew are the administrator role's, with each role's rights.
                    QStringLiteral("--command=") + ServerRoles::becomeAdministratorStatement(),
                    QStringLiteral("--file=") + path,
                    // The dump leaves the search path empty.
                    QStringLiteral("--command=SET search_path = public"),
                    QStringLiteral("--command=") + ServerRoles::privilegeStatements().join(QLatin1Char(';')),
                    // Heard by every other workstation when the whole commits.
                    QStringLiteral("--command=") + PostgresDialect().notifyStatement(QStringLiteral("* R 0")),
                    QStringLiteral("--dbname=") + connection() },
                reason, QStringLiteral("-c lock_timeout=10s"))) {
            if (!keepIn.isEmpty())
                QFile::remove(current);
            return false;
        }
        if (!keepIn.isEmpty())
            QFile::remove(path);
        return true;
    }

private:
    QString connection() const
    {
        QStringList parts { QStringLiteral("host=") + connectionValue(location.host),
            QStringLiteral("port=") + QString::number(location.port),
            QStringLiteral("dbname=") + connectionValue(location.databaseName) };
        if (!location.user.isEmpty())
            parts << QStringLiteral("user=") + connectionValue(location.user);
        if (!location.tlsMode.isEmpty())
            parts << QStringLiteral("sslmode=") + connectionValue(location.tlsMode);
        return parts.join(QLatin1Char(' '));
    }

    bool run(const QString &tool, const QStringList &arguments, QString *reason,
        const QString &options = QString()) const
    {
        const QString program = serverTool(tool);
        if (program.isEmpty()) {
            *reason = DatabaseSnapshot::tr("The server's tool %1 is not installed.").arg(tool);
            return false;
        }
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // The password of the session, never on a command line; ~/.pgpass serves otherwise.
        if (!location.password.isEmpty())
            environment.insert(QStringLiteral("PGPASSWORD"), location.password);
        if (!options.isEmpty())
            environment.insert(QStringLiteral("PGOPTIONS"), options);
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(program, arguments);
        if (!process.waitForStarted()) {
            *reason = tool + QStringLiteral(": ") + process.errorString();
            return false;
        }
        process.closeWriteChannel();
        process.waitForFinished(-1);
        if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
            return true;
        const QString said = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
        *reason = tool + QStringLiteral(": ")
            + (said.isEmpty() ? DatabaseSnapshot::tr("ended with code %1").arg(process.exitCode()) : said);
        return false;
    }

    DatabaseLocation location;
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

QString DatabaseSnapshot::keptCopy(const QString &keepIn) const
{
    return keepIn + QStringLiteral("/before restore ") + fileName();
}

bool DatabaseSnapshot::load(const QString &path, const QString &keepIn, QString *reason) const
{
    Q_UNUSED(path)
    Q_UNUSED(keepIn)
    Q_UNUSED(reason)
    return true;
}

std::unique_ptr<DatabaseSnapshot> DatabaseSnapshot::forLocation(const DatabaseLocation &location)
{
    switch (location.backend) {
    case DatabaseLocation::Backend::Sqlite:
        return std::make_unique<SqliteSnapshot>(location.filePath);
    case DatabaseLocation::Backend::Postgres:
        return std::make_unique<ServerSnapshot>(location);
    case DatabaseLocation::Backend::Access:
        break;
    }
    return std::make_unique<UnsupportedSnapshot>(tr("Backing up this kind of database is not supported."));
}
