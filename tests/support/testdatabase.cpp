#include "support/testdatabase.h"

#include "db/database.h"
#include "db/datalocations.h"

#include <QDebug>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

namespace kestatest
{

bool resetDataFolder()
{
    QDir(DataLocations::dataFolder()).removeRecursively();
    return DataLocations::prepareDataFolders() == DataLocations::DatabaseFileState::Created;
}

bool rawExec(Database &database, const QString &sql)
{
    QSqlQuery query(database.database());
    if (query.exec(sql))
        return true;
    qWarning() << "test SQL failed:" << sql << query.lastError().text();
    return false;
}

QVariant rawValue(Database &database, const QString &sql)
{
    QSqlQuery query(database.database());
    if (!query.exec(sql)) {
        qWarning() << "test SQL failed:" << sql << query.lastError().text();
        return QVariant();
    }
    return query.next() ? query.value(0) : QVariant();
}

} // namespace kestatest
