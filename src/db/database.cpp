#include "db/database.h"

#include "db/accessdialect.h"
#include "db/patient.h"
#include "db/record.h"
#include "db/sqldialect.h"
#include "toolkit/settings/propertyindex.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <limits>

Q_LOGGING_CATEGORY(lcSql, "kesta.db.sql", QtWarningMsg)

namespace
{

// All databases share Qt's default connection name; a newer Database replaces
// the connection, and only the newest may remove it.
const Database *connectionOwner = nullptr;

const QString patientsTable = QStringLiteral("Patients");
const QString recordsTable = QStringLiteral("Records");
const QString patientIdColumn = QStringLiteral("AutoID");
const QString recordIdColumn = QStringLiteral("RecordID");

// The driver's own words where it has them ("database is locked").
QString reasonOf(const QSqlError &error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

// Per column of the class, the field of the result that holds it, or -1.
QVector<int> fieldsOf(const QSqlQuery &query, const QMetaObject &meta)
{
    const QSqlRecord record = query.record();
    const QStringList &columns = PropertyIndex::of(&meta).names();
    QVector<int> fields;
    fields.reserve(columns.size());
    for (const QString &column : columns)
        fields.append(record.indexOf(column));
    return fields;
}

// The id of the current result row; false for one that does not fit an int,
// which would otherwise wrap into another row's id.
bool idFits(const QSqlQuery &query, int field, const QString &table, int *id)
{
    const QVariant value = query.value(field);
    bool isNumber = false;
    const qlonglong number = value.toLongLong(&isNumber);
    if (isNumber && (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max())) {
        qWarning() << "Row left out, its id lies beyond the int range:" << table << value.toString();
        return false;
    }
    *id = int(number);
    return true;
}

} // namespace

Database::Database(const QString &filePath, QObject *parent)
    : Database(filePath, SqlDialect::platformDefault(), parent)
{
}

Database::Database(const QString &filePath, std::unique_ptr<SqlDialect> dialect, QObject *parent)
    : QObject(parent)
    , path(filePath)
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

bool Database::run(QSqlQuery &query, const QString &statement, const char *failureLine, QString *reason) const
{
    if (exec(query, statement))
        return true;
    qDebug() << failureLine << statement << query.lastError().text();
    if (reason)
        *reason = reasonOf(query.lastError());
    return false;
}

bool Database::isUsable(QString *reason)
{
    QString why;
    const QSqlDatabase db = database();
    bool usable = db.isOpen();
    if (!usable)
        why = reasonOf(db.lastError());
    for (const auto &table :
        { qMakePair(patientsTable, patientIdColumn), qMakePair(recordsTable, recordIdColumn) }) {
        QSqlQuery query(db);
        usable
            = usable && run(query, rowStatement(table.first, table.second, 0), "DATABASE NOT USABLE", &why);
    }
    if (usable && !patientsRead) {
        usable = reloadPatients();
        why = lastLoadError;
    }
    // The next check opens the file afresh: the user may have put another in
    // its place, which an open connection would never see.
    if (!usable)
        database().close();
    if (reason)
        *reason = why;
    return usable;
}

bool Database::reloadPatients()
{
    QList<Patient *> read;
    QSqlQuery query(database());
    // Forward only: the driver would otherwise keep a copy of every row.
    query.setForwardOnly(true);
    QString reason;
    bool ok = run(query, allRowsStatement(patientsTable), "PATIENTS NOT READ", &reason);
    if (ok) {
        const QVector<int> fields = fieldsOf(query, Patient::staticMetaObject);
        const int idField = fields.first();
        int id = 0;
        while (query.next()) {
            if (idField >= 0 && !idFits(query, idField, patientsTable, &id))
                continue;
            auto *patient = new Patient(this);
            patient->takeStoredValues(query, fields);
            patient->database = this;
            read.append(patient);
        }
        // A row that cannot be stepped to (a lock, a damaged page) ends the
        // scan early: half a list must not pass for the whole.
        if (query.lastError().isValid()) {
            ok = false;
            reason = reasonOf(query.lastError());
            qDebug() << "PATIENTS NOT READ" << query.lastError().text();
            qDeleteAll(read);
        }
    }
    lastLoadError = ok ? QString() : reason;
    if (ok) {
        const QList<Patient *> replaced = patientList;
        patientList = read;
        patientsRead = true;
        // Views take the new list when patientsChanged reaches them (queued);
        // the old patients go after that, never while a view may still show them.
        if (!replaced.isEmpty())
            QMetaObject::invokeMethod(
                this, [replaced] { qDeleteAll(replaced); }, Qt::QueuedConnection);
    }
    emit patientsChanged();
    return ok;
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

bool Database::patientIdShared(const Patient *patient) const
{
    return patient && patientIdInUse(patient->getPatientID(), patient);
}

bool Database::patientIdInUse(const QString &patientId, const Patient *except) const
{
    for (Patient *patient : patientList) {
        if (patient != except && (!except || patient->getAutoID() != except->getAutoID())
            && patient->getPatientID() == patientId)
            return true;
    }
    return false;
}

QString Database::valueText(AbstractDatabaseRow *row, const QString &column) const
{
    QString text;
    if (row->toDatabaseText(column, &text))
        return textLiteral(text);
    const QVariant value = row->getValue(column);
    switch (value.userType()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toString();
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return sqlDialect->dateLiteral(value);
    case QMetaType::QString:
        return textLiteral(value.toString());
    default:
        // Enumerations by key, as the row's text form gives them.
        return textLiteral(row->getTextValue(column));
    }
}

QString Database::textLiteral(const QString &text)
{
    if (text.isEmpty())
        return QStringLiteral("' '");
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}

int Database::insertRow(AbstractDatabaseRow *row, const char *failureLine, QString *reason)
{
    const QString table = row->tableName();
    const QString idColumn = row->idColumnName();
    const QStringList &columns = row->columnNames();
    const int id = newId(table, idColumn);
    QStringList values;
    for (const QString &column : columns)
        values.append(column == idColumn ? QString::number(id) : valueText(row, column));
    QSqlQuery query(database());
    return run(query, insertStatement(table, columns, values), failureLine, reason) ? id : -1;
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
    const QString &recordType, const QString &comments, QString *reason)
{
    if (!patient)
        return 0;
    Record record;
    record.setRecordDate(recordDate);
    record.setFileName(fileName);
    record.setRecordType(recordType);
    record.setComments(comments);
    record.setPatientID(patient->getPatientID());
    const int id = insertRow(&record, "Create error:", reason);
    if (id > 0)
        patient->loadRecords();
    return id;
}

bool Database::removePatient(Patient *patient)
{
    if (!patient)
        return false;
    if (patientIdShared(patient))
        qDebug() << "Records kept: PatientID shared" << patient->getPatientID();
    else
        for (Record *record : patient->records())
            record->remove();
    QSqlQuery query(database());
    const bool removed
        = run(query, removePatientStatement(patient->getId()), "PATIENT NOT REMOVED FROM DATABASE");
    reloadPatients();
    return removed;
}

Record *Database::loadRecord(int recordId)
{
    return new Record(recordId, this, nullptr, nullptr);
}

bool Database::readRow(AbstractDatabaseRow *row)
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!run(query, rowStatement(row->tableName(), row->idColumnName(), row->getId()), "ROW NOT READ"))
        return false;
    // No row: the properties keep their values.
    if (query.next())
        row->takeStoredValues(query, fieldsOf(query, *row->metaObject()));
    return true;
}

QList<Record *> Database::readRecords(Patient *patient)
{
    QList<Record *> records;
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!run(query, recordsOfPatientStatement(patient->getPatientID()), "RECORDS NOT READ"))
        return records;
    const QVector<int> fields = fieldsOf(query, Record::staticMetaObject);
    const int idField = fields.first();
    int id = 0;
    while (query.next()) {
        if (idField < 0 || !idFits(query, idField, recordsTable, &id) || id <= 0)
            continue;
        auto *record = new Record(nullptr);
        record->takeStoredValues(query, fields);
        record->database = this;
        record->owner = patient;
        records.append(record);
    }
    return records;
}

bool Database::writeColumn(AbstractDatabaseRow *row, const QString &column, QString *reason)
{
    const QString text = valueText(row, column);
    QSqlQuery query(database());
    return run(query, writeColumnStatement(row->tableName(), column, text, row->idColumnName(), row->getId()),
        "NOT SET", reason);
}

bool Database::writePatientId(
    Patient *patient, const QString &oldPatientId, bool carryRecords, QString *reason)
{
    QSqlDatabase db = database();
    const bool together = carryRecords && db.transaction();
    bool ok = writeColumn(patient, QStringLiteral("PatientID"), reason);
    if (ok && carryRecords) {
        QSqlQuery query(db);
        ok = run(
            query, moveRecordsStatement(oldPatientId, patient->getPatientID()), "RECORDS NOT MOVED", reason);
    }
    if (together) {
        if (ok && !db.commit()) {
            ok = false;
            *reason = reasonOf(db.lastError());
        }
        if (!ok)
            db.rollback();
    }
    return ok;
}

bool Database::deleteRecord(int recordId)
{
    QSqlQuery query(database());
    return run(query, removeRecordStatement(recordId), "RECORD NOT REMOVED FROM DATABASE");
}

bool Database::readRecordFiles(QVector<RecordFile> *files)
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!run(query, recordFilesStatement(), "RECORD FILES NOT READ"))
        return false;
    while (query.next())
        files->append({ query.value(0).toInt(), query.value(1).toString(), query.value(2).toString() });
    return !query.lastError().isValid();
}

int Database::lastId(const QString &table, const QString &idColumn)
{
    QSqlQuery query(database());
    if (!exec(query, highestIdStatement(table, idColumn))) {
        qDebug() << "RR" << query.lastError().text();
        return -1;
    }
    int id = 0;
    if (query.next() && !idFits(query, 0, table, &id))
        return -1;
    return id;
}

int Database::newId(const QString &table, const QString &idColumn)
{
    const int last = lastId(table, idColumn);
    return last < 1 || last == std::numeric_limits<int>::max() ? FirstId : last + 1;
}

QString Database::sqlDateTime(const QVariant &value)
{
    return AccessDialect().dateLiteral(value);
}

QString Database::highestIdStatement(const QString &table, const QString &idColumn)
{
    return QStringLiteral("SELECT ") + idColumn + QStringLiteral(" from ") + table
        + QStringLiteral(" ORDER BY ") + idColumn + QStringLiteral(" DESC");
}

QString Database::allRowsStatement(const QString &table)
{
    return QStringLiteral("SELECT * from ") + table;
}

QString Database::rowStatement(const QString &table, const QString &idColumn, int id)
{
    return allRowsStatement(table) + QStringLiteral(" where ") + idColumn + QLatin1Char('=')
        + QString::number(id);
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

QString Database::writeColumnStatement(
    const QString &table, const QString &column, const QString &valueText, const QString &idColumn, int id)
{
    return QStringLiteral("UPDATE ") + table + QStringLiteral(" SET ") + column + QLatin1Char('=') + valueText
        + QStringLiteral(" WHERE ") + idColumn + QLatin1Char('=') + QString::number(id);
}

QString Database::recordsOfPatientStatement(const QString &patientId)
{
    return QStringLiteral("SELECT * from Records where PatientID=") + textLiteral(patientId);
}

QString Database::recordFilesStatement()
{
    return QStringLiteral("SELECT RecordID, PatientID, FileName from Records");
}

QString Database::removeRecordStatement(int recordId)
{
    return QStringLiteral("DELETE from Records where RecordID=") + QString::number(recordId);
}

QString Database::moveRecordsStatement(const QString &oldPatientId, const QString &newPatientId)
{
    return QStringLiteral("UPDATE Records SET PatientID=") + textLiteral(newPatientId)
        + QStringLiteral(" WHERE PatientID=") + textLiteral(oldPatientId);
}
