#include "db/sqldialect.h"

#include "db/accessdialect.h"
#include "db/databaselocation.h"
#include "db/sqlitedialect.h"

#include <QSqlDatabase>

void SqlDialect::configure(QSqlDatabase &connection, const DatabaseLocation &location) const
{
    connection.setDatabaseName(databaseName(location.filePath));
    connection.setConnectOptions(connectOptions());
}

QString SqlDialect::nextIdStatement(const QString &table, const QString &idColumn) const
{
    Q_UNUSED(table)
    Q_UNUSED(idColumn)
    return QString();
}

std::unique_ptr<SqlDialect> SqlDialect::forLocation(const DatabaseLocation &location)
{
    switch (location.backend) {
    case DatabaseLocation::Backend::Access:
        return std::make_unique<AccessDialect>();
    case DatabaseLocation::Backend::Sqlite:
    case DatabaseLocation::Backend::Postgres:
        break;
    }
    return std::make_unique<SqliteDialect>();
}

std::unique_ptr<SqlDialect> SqlDialect::platformDefault()
{
#ifdef Q_OS_WIN
    return std::make_unique<AccessDialect>();
#else
    return std::make_unique<SqliteDialect>();
#endif
}
