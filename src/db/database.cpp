#include "db/database.h"

#include "db/accessdialect.h"
#include "db/sqldialect.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

Q_LOGGING_CATEGORY(lcSql, "kesta.db.sql", QtWarningMsg)

namespace {

// All databases share Qt's default connection name; a newer Database replaces
// the connection, and only the newest may remove it.
const Database *connectionOwner = nullptr;

}  // namespace

Database::Database(const QString &filePath, QObject *parent)
    : Database(filePath, SqlDialect::platformDefault(), parent)
{
}

Database::Database(const QString &filePath, std::unique_ptr<SqlDialect> dialect, QObject *parent)
    : QObject(parent), sqlDialect(std::move(dialect))
{
    QSqlDatabase db = QSqlDatabase::addDatabase(sqlDialect->driverName());
    db.setDatabaseName(sqlDialect->databaseName(filePath));
    db.setConnectOptions(sqlDialect->connectOptions());
    connectionName = db.connectionName();
    connectionOwner = this;
    // A missing file leaves the connection closed; database() tries again once
    // the file has been created from the template.
    db.open();
}

Database::~Database()
{
    if (connectionOwner == this && QSqlDatabase::contains(connectionName)) {
        connectionOwner = nullptr;
        {
            QSqlDatabase db = QSqlDatabase::database(connectionName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connectionName);
    }
}

QSqlDatabase Database::database() const
{
    return QSqlDatabase::database(connectionName, true);
}

const SqlDialect &Database::dialect() const
{
    return *sqlDialect;
}

bool Database::exec(QSqlQuery &query, const QString &statement) const
{
    qCDebug(lcSql).noquote() << statement;
    return query.exec(statement);
}

int Database::lastId(const QString &table, const QString &idColumn)
{
    QSqlQuery query(database());
    if (!exec(query, highestIdStatement(table, idColumn))) {
        qDebug() << "RR" << query.lastError().text();
        return -1;
    }
    return query.next() ? query.value(0).toInt() : 0;
}

int Database::newId(const QString &table, const QString &idColumn)
{
    const int last = lastId(table, idColumn);
    return last < 1 ? FirstId : last + 1;
}

QString Database::sqlDateTime(const QVariant &value)
{
    return AccessDialect().dateLiteral(value);
}

QString Database::quoted(const QString &text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

QString Database::highestIdStatement(const QString &table, const QString &idColumn)
{
    return QStringLiteral("SELECT ") + idColumn + QStringLiteral(" from ") + table + QStringLiteral(" ORDER BY ")
        + idColumn + QStringLiteral(" DESC");
}

QString Database::patientIdsStatement()
{
    return QStringLiteral("SELECT AutoID from Patients");
}

QString Database::insertStatement(const QString &table, const QStringList &columns, const QStringList &valueTexts)
{
    return QStringLiteral("INSERT into ") + table + QStringLiteral(" (") + columns.join(QStringLiteral(", "))
        + QStringLiteral(") VALUES (") + valueTexts.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString Database::removePatientStatement(int autoId)
{
    return QStringLiteral("DELETE from Patients where AutoID=") + QString::number(autoId);
}

QString Database::readColumnStatement(const QString &table, const QString &column, const QString &idColumn, int id)
{
    return QStringLiteral("SELECT ") + column + QStringLiteral(" from ") + table + QStringLiteral(" where ")
        + idColumn + QLatin1Char('=') + QString::number(id);
}

QString Database::writeColumnStatement(const QString &table, const QString &column, const QString &valueText,
                                       const QString &idColumn, int id)
{
    return QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + column + QLatin1Char('=') + valueText
        + QStringLiteral(" WHERE ") + idColumn + QLatin1Char('=') + QString::number(id);
}

QString Database::recordsOfPatientStatement(const QString &patientId)
{
    return QStringLiteral("SELECT RecordID from Records where PatientID=") + quoted(patientId);
}

QString Database::removeRecordStatement(int recordId)
{
    return QStringLiteral("DELETE from Records where RecordID=") + QString::number(recordId);
}
