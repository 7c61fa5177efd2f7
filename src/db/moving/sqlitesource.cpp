#include "db/moving/sqlitesource.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

SqliteSource::~SqliteSource()
{
    if (connection.isEmpty())
        return;
    QSqlDatabase::database(connection, false).close();
    QSqlDatabase::removeDatabase(connection);
}

std::unique_ptr<ImportSource> SqliteSource::open(const QString &path, QString *reason)
{
    std::unique_ptr<SqliteSource> source(new SqliteSource);
    source->path = path;
    source->connection = QStringLiteral("import-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), source->connection);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open() || db.tables().isEmpty()) {
            *reason = ImportSource::tr("%1 is not a database: %2").arg(path, db.lastError().text());
            return nullptr;
        }
        for (const QString &name : db.tables()) {
            const QSqlRecord record = db.record(name);
            Table table { name, {} };
            for (int i = 0; i < record.count(); ++i) {
                const int type = int(record.field(i).type());
                table.columns.append({ record.fieldName(i),
                    type == QMetaType::QByteArray ? Column::Kind::Binary
                        : type == QMetaType::Int || type == QMetaType::LongLong || type == QMetaType::Double
                        ? Column::Kind::Number
                        : Column::Kind::Text });
            }
            source->tableList.append(table);
        }
    }
    return source;
}

bool SqliteSource::readRows(const QString &name, const RowHandler &handler, QString *reason)
{
    const Table found = table(name);
    QStringList columns;
    for (const Column &column : found.columns)
        columns << QLatin1Char('"') + column.name + QLatin1Char('"');
    QSqlQuery query(QSqlDatabase::database(connection));
    query.setForwardOnly(true);
    if (found.name.isEmpty()
        || !query.exec(QStringLiteral("SELECT ") + columns.join(QStringLiteral(", "))
            + QStringLiteral(" FROM \"") + found.name + QLatin1Char('"'))) {
        *reason = ImportSource::tr("%1 holds no table %2").arg(path, name);
        return false;
    }
    while (query.next()) {
        QVariantList values;
        for (int i = 0; i < found.columns.size(); ++i) {
            const QVariant value = query.value(i);
            values.append(found.columns.at(i).kind == Column::Kind::Binary || value.isNull() ? QVariant()
                    : value.userType() == QMetaType::QString && value.toString().isEmpty()   ? QVariant()
                                                                                             : value);
        }
        if (!handler(values)) {
            *reason = ImportSource::tr("Stopped");
            return false;
        }
    }
    return true;
}
