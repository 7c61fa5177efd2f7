#include "db/database.h"

#include "db/accessdialect.h"
#include "db/patient.h"
#include "db/record.h"
#include "db/sqldialect.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

Q_LOGGING_CATEGORY(lcSql, "kesta.db.sql", QtWarningMsg)

namespace
{

// All databases share Qt's default connection name; a newer Database replaces
// the connection, and only the newest may remove it.
const Database *connectionOwner = nullptr;

} // namespace

Database::Database(const QString &filePath, QObject *parent)
    : Database(filePath, SqlDialect::platformDefault(), parent)
{
}

Database::Database(const QString &filePath, std::unique_ptr<SqlDialect> dialect, QObject *parent)
    : QObject(parent)
    , sqlDialect(std::move(dialect))
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
    // Patients (and through them their records) before the connection goes.
    qDeleteAll(findChildren<Patient *>(QString(), Qt::FindDirectChildrenOnly));
    patientList.clear();
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

void Database::reloadPatients()
{
    const QList<Patient *> replaced = patientList;
    patientList.clear();
    QSqlQuery query(database());
    if (!exec(query, patientIdsStatement())) {
        qDebug() << database().lastError().text();
    } else {
        QList<int> ids;
        while (query.next())
            ids.append(query.value(0).toInt());
        query.finish();
        for (int id : qAsConst(ids))
            patientList.append(new Patient(id, this, this));
    }
    emit patientsChanged();
    // Views take the new list when patientsChanged reaches them (queued); the
    // old patients go after that, never while a view may still show them.
    if (!replaced.isEmpty())
        QMetaObject::invokeMethod(
            this, [replaced] { qDeleteAll(replaced); }, Qt::QueuedConnection);
}

Patient *Database::patientById(int autoId) const
{
    if (autoId < 1)
        return nullptr;
    for (Patient *patient : patientList) {
        if (patient->getId() == autoId)
            return patient;
    }
    return nullptr;
}

Patient *Database::patientByPatientId(const QString &patientId) const
{
    for (Patient *patient : patientList) {
        if (patient->getPatientID() == patientId)
            return patient;
    }
    return nullptr;
}

QString Database::newRowValueText(AbstractDatabaseRow *row, const QString &column)
{
    const QVariant value = row->getValue(column);
    QString text;
    if (row->toDatabaseText(column, &text))
        return quoted(text);
    switch (value.userType()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::Double:
        return row->getTextValue(column);
    case QMetaType::QString: {
        const QString plain = row->getTextValue(column);
        return plain.isEmpty() ? QStringLiteral("' '") : quoted(plain);
    }
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return sqlDialect->dateLiteral(value);
    default:
        return quoted(row->getTextValue(column));
    }
}

int Database::insertRow(AbstractDatabaseRow *row, const char *failureLine)
{
    const QString table = row->tableName();
    const QString idColumn = row->idColumnName();
    const QStringList columns = row->columnNames();
    const int id = newId(table, idColumn);
    QStringList values;
    for (const QString &column : columns)
        values.append(column == idColumn ? QString::number(id) : newRowValueText(row, column));
    const QString statement = insertStatement(table, columns, values);
    QSqlQuery query(database());
    if (!exec(query, statement)) {
        qDebug() << failureLine << query.lastError().text() << statement;
        return -1;
    }
    return id;
}

int Database::insertPatient(Patient *patient)
{
    if (!patient)
        return -1;
    const int id = insertRow(patient, "Creation error:");
    if (id > 0)
        reloadPatients();
    return id;
}

int Database::insertRecord(Patient *patient, const QDateTime &recordDate, const QString &fileName,
    const QString &recordType, const QString &comments)
{
    if (!patient)
        return 0;
    Record record;
    record.setRecordDate(recordDate);
    record.setFileName(fileName);
    record.setRecordType(recordType);
    record.setComments(comments);
    record.setPatientID(patient->getPatientID());
    const int id = insertRow(&record, "Create error:");
    if (id > 0)
        patient->loadRecords();
    return id;
}

void Database::removePatient(Patient *patient)
{
    if (!patient)
        return;
    for (Record *record : patient->records())
        record->remove();
    const QString statement = removePatientStatement(patient->getId());
    QSqlQuery query(database());
    if (!exec(query, statement))
        qDebug() << "PATIENT NOT REMOVED FROM DATABASE" << query.lastQuery() << query.lastError().text();
    reloadPatients();
}

Record *Database::loadRecord(int recordId)
{
    return new Record(recordId, this, nullptr, nullptr);
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
    return QStringLiteral("SELECT ") + idColumn + QStringLiteral(" from ") + table
        + QStringLiteral(" ORDER BY ") + idColumn + QStringLiteral(" DESC");
}

QString Database::patientIdsStatement()
{
    return QStringLiteral("SELECT AutoID from Patients");
}

QString Database::insertStatement(
    const QString &table, const QStringList &columns, const QStringList &valueTexts)
{
    return QStringLiteral("INSERT into ") + table + QStringLiteral(" (") + columns.join(QStringLiteral(", "))
        + QStringLiteral(") VALUES (") + valueTexts.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString Database::removePatientStatement(int autoId)
{
    return QStringLiteral("DELETE from Patients where AutoID=") + QString::number(autoId);
}

QString Database::readColumnStatement(
    const QString &table, const QString &column, const QString &idColumn, int id)
{
    return QStringLiteral("SELECT ") + column + QStringLiteral(" from ") + table + QStringLiteral(" where ")
        + idColumn + QLatin1Char('=') + QString::number(id);
}

QString Database::writeColumnStatement(
    const QString &table, const QString &column, const QString &valueText, const QString &idColumn, int id)
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

QString Database::moveRecordsStatement(const QString &oldPatientId, const QString &newPatientId)
{
    return QStringLiteral("UPDATE Records SET PatientID=") + quoted(newPatientId)
        + QStringLiteral(" WHERE PatientID=") + quoted(oldPatientId);
}
