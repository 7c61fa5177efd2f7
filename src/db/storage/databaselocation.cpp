#include "db/storage/databaselocation.h"

#include "toolkit/util/platform.h"

#include <QDir>

DatabaseLocation DatabaseLocation::file(const QString &path)
{
    return Platform::embeddedDatabaseIsAccess() ? accessFile(path) : sqliteFile(path);
}

DatabaseLocation DatabaseLocation::sqliteFile(const QString &path)
{
    DatabaseLocation location;
    location.backend = Backend::Sqlite;
    location.filePath = path;
    return location;
}

DatabaseLocation DatabaseLocation::accessFile(const QString &path)
{
    DatabaseLocation location;
    location.backend = Backend::Access;
    location.filePath = path;
    return location;
}

QString DatabaseLocation::describe() const
{
    if (!isServer())
        return QDir::toNativeSeparators(filePath);
    QString text = host + QLatin1Char(':') + QString::number(port) + QLatin1Char('/') + databaseName;
    return user.isEmpty() ? text : user + QLatin1Char('@') + text;
}
