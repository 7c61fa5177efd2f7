#include "db/storage/database.h"

#include "db/storage/databasesupport.h"
#include "db/storage/accessdialect.h"
#include "db/storage/postgresdialect.h"
#include "db/storage/sqlitedialect.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/rowcursor.h"
#include "db/storage/sqldialect.h"
#include "db/storage/sqlstatements.h"
#include "toolkit/settings/propertyindex.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <atomic>
#include <limits>

Q_LOGGING_CATEGORY(lcSql, "kesta.db.sql", QtWarningMsg)
Q_LOGGING_CATEGORY(lcWrite, "kesta.db.write", QtWarningMsg)

namespace DatabaseSupport
{

QString reasonOf(const QSqlError &error)
{
    return error.databaseText().isEmpty() ? error.text() : error.databaseText();
}

QVector<int> fieldsOf(const RowCursor &rows, const QMetaObject &meta)
{
    const QStringList &columns = PropertyIndex::of(&meta).names();
    QVector<int> fields;
    fields.reserve(columns.size());
    for (const QString &column : columns)
        fields.append(rows.indexOf(column));
    return fields;
}

QVector<int> fieldsOf(QSqlQuery &query, const QMetaObject &meta)
{
    return fieldsOf(*RowCursor::of(query), meta);
}

} // namespace DatabaseSupport

using namespace DatabaseSupport;

namespace
{

std::atomic<int> connectionCount { 0 };

// The dialect of the location's backend.
std::unique_ptr<SqlDialect> dialectFor(const DatabaseLocation &location)
{
    switch (location.backend) {
    case DatabaseLocation::Backend::Access:
        return std::make_unique<AccessDialect>();
    case DatabaseLocation::Backend::Postgres:
        return std::make_unique<PostgresDialect>();
    case DatabaseLocation::Backend::Sqlite:
        break;
    }
    return std::make_unique<SqliteDialect>();
}

// The id of the current result row; false for one that does not fit an int,
// which would otherwise wrap into another row's id.
bool idFits(const QVariant &value, const QString &table, int *id)
{
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

Database::Database(const DatabaseLocation &location, QObject *parent)
    : Database(location, dialectFor(location), parent)
{
}

Database::Database(const DatabaseLocation &location, std::unique_ptr<SqlDialect> dialect, QObject *parent)
    : QObject(parent)
    , where(location)
    , connectionName(QStringLiteral("kesta-database-%1").arg(++connectionCount))
    , sqlDialect(std::move(dialect))
{
    qRegisterMetaType<RowChange>();
    QSqlDatabase db = QSqlDatabase::addDatabase(sqlDialect->driverName(), connectionName);
    sqlDialect->configure(db, where);
    // A missing file leaves the connection closed; database() tries again once
    // the file has been created from the template.
    if (db.open())
        sqlDialect->prepareConnection(db);
}

Database::Database(const QString &filePath, QObject *parent)
    : Database(DatabaseLocation::file(filePath), parent)
{
}

Database::Database(const QString &filePath, std::unique_ptr<SqlDialect> dialect, QObject *parent)
    : Database(DatabaseLocation::file(filePath), std::move(dialect), parent)
{
}

Database::~Database()
{
    if (writeDepth > 0)
        rollbackWrite();
    // Patients (and through them their records) before the connection goes.
    qDeleteAll(findChildren<Patient *>(QString(), Qt::FindDirectChildrenOnly));
    list.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

QSqlDatabase Database::database() const
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    // Another call waits on it: as it is, the call made now is refused.
    if (waiting)
        return db;
    // A connection the server dropped is opened afresh at the next action,
    // never half-way through a write, whose rest must fail rather than land
    // on its own.
    if (db.isOpen() && !writeOpen && sqlDialect->connectionLost(db)) {
        qDebug() << "CONNECTION LOST" << where.describe();
        db.close();
    }
    if (!db.isOpen()) {
        // What the driver holds of the lost connection (its notifier) goes
        // here, on its own thread, before the open runs on another.
        db.close();
        if (callServer([&db] { return db.open(); }))
            sqlDialect->prepareConnection(db);
    }
    return db;
}

namespace
{

// How long a call may hold this thread before its events go on around it.
constexpr int HeldMs = 200;

} // namespace

bool Database::callServer(const std::function<bool()> &call) const
{
    givenUpReason.clear();
    // A file answers from this machine: called where it stands, as always.
    const QCoreApplication *application = QCoreApplication::instance();
    if (!sqlDialect->sharedByWorkstations() || !application
        || QThread::currentThread() != application->thread())
        return call();
    if (waiting) {
        givenUpReason = tr("The server %1 is still answering another call").arg(where.describe());
        return false;
    }
    waiting = true;
    // What the driver left to do on this thread reads the connection: done
    // now, before the call reads it elsewhere.
    if (QSqlDriver *driver = connectionAsIs().driver())
        QCoreApplication::sendPostedEvents(driver, QEvent::MetaCall);
    bool result = false;
    bool cut = false;
    const int timeoutMs = qMax(2, where.timeoutSeconds) * 1000;
    QElapsedTimer sinceStart;
    sinceStart.start();
    std::unique_ptr<QThread> worker(QThread::create([&result, &call] { result = call(); }));
    QEventLoop loop;
    connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    worker->start();
    if (!worker->wait(HeldMs)) {
        emit serverWaiting(true);
        QTimer deadline;
        deadline.setSingleShot(true);
        connect(&deadline, &QTimer::timeout, &loop, [this, &cut] {
            cut = true;
            sqlDialect->cutConnection(connectionAsIs());
        });
        deadline.start(qMax(0, timeoutMs - int(sinceStart.elapsed())));
        // The connection's own notifications wait too: their handler reads
        // the socket that the call is reading.
        if (!worker->isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents | QEventLoop::ExcludeSocketNotifiers);
        worker->wait();
        emit serverWaiting(false);
    }
    waiting = false;
    if (!retiredWhileWaiting.isEmpty()) {
        retireWhenIdle(retiredWhileWaiting);
        retiredWhileWaiting.clear();
    }
    if (!result && (cut || sinceStart.elapsed() >= timeoutMs))
        givenUpReason
            = tr("The server %1 did not answer within %2 s").arg(where.describe()).arg(timeoutMs / 1000);
    return result;
}

QStringList Database::tableNames() const
{
    const QSqlDatabase db = database();
    QStringList names;
    callServer([&db, &names] {
        names = db.tables();
        return true;
    });
    return names;
}

QSqlDatabase Database::connectionAsIs() const
{
    return QSqlDatabase::database(connectionName, false);
}

void Database::setPassword(const QString &password)
{
    where.password = password;
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    db.close();
    db.setPassword(password);
}

const SqlDialect &Database::dialect() const
{
    return *sqlDialect;
}

bool Database::exec(QSqlQuery &query, const QString &statement) const
{
    qCDebug(lcSql).noquote() << statement;
    takeWhole(query);
    return callServer([&query, &statement] { return query.exec(statement); });
}

void Database::takeWhole(QSqlQuery &query) const
{
    // Row by row, the driver would ask the server again at every next(), a
    // wait outside any call's bound; the whole result comes with the call.
    if (sqlDialect->sharedByWorkstations())
        query.setForwardOnly(false);
}

bool Database::execBound(QSqlQuery &query, const QString &statement, const QVariantList &values) const
{
    qCDebug(lcSql).noquote() << statement;
    takeWhole(query);
    // Two calls: what the driver leaves to do on this thread after the first
    // (notifications heard) is done before the second reads the connection.
    if (!callServer([&query, &statement] { return query.prepare(statement); }))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return callServer([&query] { return query.exec(); });
}

bool Database::run(QSqlQuery &query, const QString &statement, const char *failureLine, QString *reason,
    const QVariantList &bound) const
{
    if (bound.isEmpty() ? exec(query, statement) : execBound(query, statement, bound))
        return true;
    const QString why = givenUpReason.isEmpty() ? reasonOf(query.lastError()) : givenUpReason;
    qDebug() << failureLine << statement << why;
    if (reason)
        *reason = why;
    return false;
}

bool Database::isUsable(QString *reason)
{
    QString why;
    const QSqlDatabase db = database();
    bool usable = db.isOpen();
    if (!usable)
        why = reasonOf(db.lastError());
    const auto runSteps = [this, &usable, &why](OpenStage stage) {
        for (const auto &step : qAsConst(openSteps)) {
            if (step.first == stage)
                usable = usable && step.second(this, &why);
        }
    };
    runSteps(OpenStage::BeforeTablesRead);
    for (const auto &table :
        { qMakePair(patientsTable, patientIdColumn), qMakePair(recordsTable, recordIdColumn) }) {
        QSqlQuery query(db);
        usable
            = usable && run(query, SqlStatements::row(table.first, table.second, 0), "DATABASE NOT USABLE", &why);
    }
    runSteps(OpenStage::AfterTablesRead);
    if (usable) {
        QSqlDatabase opened = database();
        sqlDialect->prepareDatabase(opened, where);
    }
    if (usable && !list.isRead()) {
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

void Database::addOpenStep(OpenStage stage, OpenStep step)
{
    openSteps.append(qMakePair(stage, std::move(step)));
}

bool Database::reloadPatients()
{
    QList<Patient *> read;
    QSqlQuery query(database());
    // Forward only where the driver would otherwise keep a copy of every row.
    query.setForwardOnly(sqlDialect->readsRowByRow());
    QString reason;
    const std::unique_ptr<RowCursor> rows
        = openRows(query, SqlStatements::allRows(patientsTable), "PATIENTS NOT READ", &reason);
    bool ok = rows != nullptr;
    if (ok) {
        const QVector<int> fields = fieldsOf(*rows, Patient::staticMetaObject);
        const int idField = fields.first();
        int id = 0;
        while (rows->next()) {
            if (idField >= 0 && !idFits(rows->value(idField), patientsTable, &id))
                continue;
            auto *patient = new Patient(static_cast<RowStore *>(this), this);
            patient->takeStoredValues(*rows, fields);
            read.append(patient);
        }
        // A row that cannot be stepped to (a lock, a damaged page) ends the
        // scan early: half a list must not pass for the whole.
        if (!rows->error().isEmpty()) {
            ok = false;
            reason = rows->error();
            qDebug() << "PATIENTS NOT READ" << reason;
            qDeleteAll(read);
        }
    }
    lastLoadError = ok ? QString() : reason;
    if (ok) {
        const QList<Patient *> replaced = list.replace(read);
        ++wholeReadCount;
        // Views take the new list when patientsChanged reaches them (queued);
        // the old patients go after that, never while a view may still show them.
        retire(QList<QObject *>(replaced.cbegin(), replaced.cend()));
    }
    emit patientsChanged();
    return ok;
}

void Database::forgetPatient(Patient *patient)
{
    list.remove(patient);
    emit patientLeft(patient);
    // Views that take the list whole let go of it when they take the new list.
    retire({ patient });
}

void Database::retire(const QList<QObject *> &rows)
{
    retireWhenIdle(QList<QPointer<QObject>>(rows.cbegin(), rows.cend()));
}

void Database::retireWhenIdle(const QList<QPointer<QObject>> &rows) const
{
    if (rows.isEmpty())
        return;
    QMetaObject::invokeMethod(
        const_cast<Database *>(this),
        [this, rows] {
            if (waiting) {
                retiredWhileWaiting.append(rows);
                return;
            }
            for (const QPointer<QObject> &row : rows)
                delete row.data();
        },
        Qt::QueuedConnection);
}

bool Database::patientIdShared(const Patient *patient) const
{
    return patient && list.idInUse(patient->getPatientID(), patient);
}

QString Database::valueText(AbstractDatabaseRow *row, const QString &column) const
{
    QString text;
    if (row->toDatabaseText(column, &text))
        return SqlStatements::textLiteral(text);
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
        return SqlStatements::textLiteral(value.toString());
    default:
        // Enumerations by key, as the row's text form gives them.
        return SqlStatements::textLiteral(row->getTextValue(column));
    }
}

void Database::close()
{
    QSqlDatabase::database(connectionName, false).close();
}

Patient *Database::readPatient(int autoId)
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    const std::unique_ptr<RowCursor> rows
        = openRows(query, SqlStatements::row(patientsTable, patientIdColumn, autoId), "ROW NOT READ");
    if (!rows || !rows->next())
        return nullptr;
    auto *patient = new Patient(static_cast<RowStore *>(this), this);
    patient->takeStoredValues(*rows, fieldsOf(*rows, Patient::staticMetaObject));
    list.append(patient);
    emit patientJoined(patient);
    return patient;
}

Record *Database::loadRecord(int recordId)
{
    return new Record(recordId, this, nullptr);
}

bool Database::readRow(AbstractDatabaseRow *row)
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    const std::unique_ptr<RowCursor> rows = openRows(
        query, SqlStatements::row(row->tableName(), row->idColumnName(), row->getId()), "ROW NOT READ");
    if (!rows)
        return false;
    // No row: the properties keep their values.
    if (rows->next())
        row->takeStoredValues(*rows, fieldsOf(*rows, *row->metaObject()));
    return true;
}

QList<Record *> Database::readRecords(Patient *patient, bool *read, QString *reason)
{
    QList<Record *> records;
    QSqlQuery query(database());
    query.setForwardOnly(true);
    const std::unique_ptr<RowCursor> rows = openRows(
        query, SqlStatements::recordsOfPatient(patient->getPatientID()), "RECORDS NOT READ", reason);
    if (read)
        *read = rows != nullptr;
    if (!rows)
        return records;
    const QVector<int> fields = fieldsOf(*rows, Record::staticMetaObject);
    const int idField = fields.first();
    int id = 0;
    while (rows->next()) {
        if (idField < 0 || !idFits(rows->value(idField), recordsTable, &id) || id <= 0)
            continue;
        auto *record = new Record(this, nullptr);
        record->takeStoredValues(*rows, fields);
        records.append(record);
    }
    return records;
}

std::unique_ptr<RowCursor> Database::openRows(
    QSqlQuery &query, const QString &statement, const char *failureLine, QString *reason)
{
    QSqlDatabase db = database();
    QString why;
    qCDebug(lcSql).noquote() << statement;
    std::unique_ptr<RowCursor> rows;
    callServer([&] {
        rows = sqlDialect->openCursor(db, statement, &why);
        return rows != nullptr;
    });
    if (rows)
        return rows;
    if (why.isEmpty() && givenUpReason.isEmpty() && callServer([&] { return query.exec(statement); }))
        return RowCursor::of(query);
    if (!givenUpReason.isEmpty())
        why = givenUpReason;
    else if (why.isEmpty())
        why = reasonOf(query.lastError());
    qDebug() << failureLine << statement << why;
    if (reason)
        *reason = why;
    return nullptr;
}

QPair<QDateTime, QDateTime> Database::visitsOf(const QString &patientId)
{
    return list.visitsOf(patientId, [this] {
        PatientList::Visits visits;
        QSqlQuery query(database());
        query.setForwardOnly(true);
        if (run(query, SqlStatements::visits(), "VISITS NOT READ")) {
            while (query.next())
                visits.insert(query.value(0).toString(), { query.value(1).toDateTime(), query.value(2).toDateTime() });
        }
        return visits;
    });
}

int Database::lastId(const QString &table, const QString &idColumn)
{
    QSqlQuery query(database());
    if (!exec(query, SqlStatements::highestId(table, idColumn))) {
        qDebug() << "RR" << query.lastError().text();
        return -1;
    }
    int id = 0;
    if (query.next() && !idFits(query.value(0), table, &id))
        return -1;
    return id;
}

int Database::newId(const QString &table, const QString &idColumn)
{
    const QString sequence = sqlDialect->nextIdStatement(table, idColumn);
    if (!sequence.isEmpty()) {
        QSqlQuery query(database());
        int id = -1;
        if (run(query, sequence, "RR") && query.next() && idFits(query.value(0), table, &id))
            return id;
        return -1;
    }
    const int last = lastId(table, idColumn);
    return last < 1 || last == std::numeric_limits<int>::max() ? FirstId : last + 1;
}

