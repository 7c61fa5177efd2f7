#include "db/storage/sqldialect.h"

#include "db/storage/databaselocation.h"
#include "db/storage/rowcursor.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QVariant>

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

QStringList SqlDialect::layoutStatements(const QString &schema, int firstId) const
{
    Q_UNUSED(schema)
    Q_UNUSED(firstId)
    return QStringList();
}

QString SqlDialect::notifyStatement(const QString &payload) const
{
    Q_UNUSED(payload)
    return QString();
}

bool SqlDialect::connectionLost(const QSqlDatabase &connection) const
{
    Q_UNUSED(connection)
    return false;
}

bool SqlDialect::cutConnection(const QSqlDatabase &connection) const
{
    Q_UNUSED(connection)
    return false;
}

bool SqlDialect::needsPassword(const QString &openError) const
{
    Q_UNUSED(openError)
    return false;
}

QString SqlDialect::identityColumnsStatement(const QString &table) const
{
    Q_UNUSED(table)
    return QString();
}

QString SqlDialect::followIdentityStatement(const QString &table, const QString &column) const
{
    Q_UNUSED(table)
    Q_UNUSED(column)
    return QString();
}

QString SqlDialect::isoDateLiteral(const QVariant &value)
{
    if (value.userType() == QMetaType::QDate) {
        const QDate date = value.toDate();
        if (date.isValid())
            return QLatin1Char('\'') + date.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\'');
    } else if (value.userType() == QMetaType::QDateTime) {
        const QDateTime dateTime = value.toDateTime();
        if (dateTime.isValid())
            return QLatin1Char('\'') + dateTime.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss"))
                + QLatin1Char('\'');
    }
    return QStringLiteral("NULL");
}

std::unique_ptr<RowCursor> SqlDialect::openCursor(
    QSqlDatabase &connection, const QString &statement, QString *error) const
{
    Q_UNUSED(connection)
    Q_UNUSED(statement)
    Q_UNUSED(error)
    return nullptr;
}
