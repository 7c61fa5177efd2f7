#include "db/database.h"

#include "db/accessdialect.h"
#include "db/editconflict.h"
#include "db/liveupdates.h"
#include "db/patient.h"
#include "db/record.h"
#include "db/rowcursor.h"
#include "db/schemamigrations.h"
#include "db/sqldialect.h"
#include "db/trash.h"
#include "toolkit/settings/propertyindex.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>
#include <atomic>
#include <limits>

Q_LOGGING_CATEGORY(lcSql, "kesta.db.sql", QtWarningMsg)
// Where writes begin, commit and are undone; kept apart from the statements,
// whose log shows exactly the SQL of the data.
Q_LOGGING_CATEGORY(lcWrite, "kesta.db.write", QtWarningMsg)

namespace
{

std::atomic<int> connectionCount { 0 };

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
    : Database(location, SqlDialect::forLocation(location), parent)
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
    // Where other workstations write too, their changes are shown here.
    if (!sqlDialect->notificationChannel().isEmpty())
        new LiveUpdates(this);
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
    patientList.clear();
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

QSqlDatabase Database::database() const
{
    QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    // A connection the server dropped is opened afresh at the next action,
    // never half-way through a write, whose rest must fail rather than land
    // on its own.
    if (db.isOpen() && !writeOpen && sqlDialect->connectionLost(db)) {
        qDebug() << "CONNECTION LOST" << where.describe();
        db.close();
    }
    if (!db.isOpen() && db.open())
        sqlDialect->prepareConnection(db);
    return db;
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
    return query.exec(statement);
}

bool Database::execBound(QSqlQuery &query, const QString &statement, const QVariantList &values) const
{
    qCDebug(lcSql).noquote() << statement;
    if (!query.prepare(statement))
        return false;
    for (const QVariant &value : values)
        query.addBindValue(value);
    return query.exec();
}

bool Database::run(QSqlQuery &query, const QString &statement, const char *failureLine, QString *reason,
    const QVariantList &bound) const
{
    if (bound.isEmpty() ? exec(query, statement) : execBound(query, statement, bound))
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
    // An empty server database gets the layout first; a file has it from the template.
    usable = usable && SchemaMigrations::createLayoutIfEmpty(this, &why);
    for (const auto &table :
        { qMakePair(patientsTable, patientIdColumn), qMakePair(recordsTable, recordIdColumn) }) {
        QSqlQuery query(db);
        usable
            = usable && run(query, rowStatement(table.first, table.second, 0), "DATABASE NOT USABLE", &why);
    }
    // Only a database whose tables can be read is brought forward: nothing is
    // written to a file that is not one of ours.
    usable = usable && SchemaMigrations::bringUpToDate(this, &why);
    if (usable) {
        QSqlDatabase opened = database();
        sqlDialect->prepareDatabase(opened, where);
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
    // Forward only where the driver would otherwise keep a copy of every row.
    query.setForwardOnly(sqlDialect->readsRowByRow());
    QString reason;
    const std::unique_ptr<RowCursor> rows
        = openRows(query, allRowsStatement(patientsTable), "PATIENTS NOT READ", &reason);
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
        visitsRead = false;
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

Database::Transaction::Transaction(Database *database, bool takesNewIds)
    : database(database)
{
    if (!database)
        return;
    outermost = database->writeDepth == 0;
    ++database->writeDepth;
    if (outermost)
        database->beginWrite(takesNewIds);
}

Database::Transaction::~Transaction()
{
    if (!database || done)
        return;
    --database->writeDepth;
    // Ended without a commit: nothing of it may land.
    if (outermost) {
        database->rollbackWrite();
    } else if (!database->writeBroken) {
        database->writeBroken = true;
        database->writeReason = QStringLiteral("The write was abandoned");
    }
}

bool Database::Transaction::isOpen() const
{
    return database && !done && database->writeOpen && !database->writeBroken;
}

bool Database::Transaction::commit(QString *reason)
{
    if (!database || done)
        return false;
    done = true;
    --database->writeDepth;
    if (database->writeBroken) {
        if (reason)
            *reason = database->writeReason;
        if (outermost)
            database->rollbackWrite();
        return false;
    }
    return !outermost || database->commitWrite(reason);
}

void Database::addChangeHook(ChangeHook hook)
{
    changeHooks.append(std::move(hook));
}

bool Database::beginWrite(bool takesNewIds)
{
    writeBroken = false;
    writeReason.clear();
    pendingChanges.clear();
    undoList.clear();
    QSqlDatabase db = database();
    const QString begin = sqlDialect->beginWriteStatement(takesNewIds);
    writeByStatements = !begin.isEmpty();
    qCDebug(lcWrite).noquote() << (begin.isEmpty() ? QStringLiteral("BEGIN") : begin);
    bool begun = false;
    if (begin.isEmpty()) {
        begun = db.transaction();
        if (!begun)
            writeReason = reasonOf(db.lastError());
    } else {
        QSqlQuery query(db);
        begun = query.exec(begin);
        if (!begun)
            writeReason = reasonOf(query.lastError());
    }
    writeOpen = begun;
    if (!begun) {
        qDebug() << "WRITE NOT BEGUN" << writeReason;
        writeBroken = true;
    }
    return begun;
}

bool Database::commitWrite(QString *reason)
{
    qCDebug(lcWrite) << "COMMIT";
    QSqlDatabase db = database();
    bool committed = true;
    if (writeOpen) {
        QString why;
        if (!writeByStatements) {
            committed = db.commit();
            why = reasonOf(db.lastError());
        } else {
            QSqlQuery query(db);
            committed = query.exec(QStringLiteral("COMMIT"));
            why = reasonOf(query.lastError());
        }
        if (!committed) {
            qDebug() << "WRITE NOT COMMITTED" << why;
            if (reason)
                *reason = why;
            rollbackWrite();
            return false;
        }
    }
    writeOpen = false;
    const QList<RowChange> changes = pendingChanges;
    pendingChanges.clear();
    undoList.clear();
    for (const RowChange &change : changes) {
        if (change.table == recordsTable)
            visitsRead = false;
    }
    if (!changes.isEmpty())
        emit changesCommitted(changes);
    return committed;
}

void Database::rollbackWrite()
{
    if (writeOpen) {
        qCDebug(lcWrite) << "ROLLBACK";
        QSqlDatabase db = database();
        if (!writeByStatements)
            db.rollback();
        else
            QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        writeOpen = false;
    }
    // The rows show what the database holds again, newest change undone first.
    const QList<Undo> undo = undoList;
    undoList.clear();
    pendingChanges.clear();
    writeBroken = false;
    for (auto it = undo.crbegin(); it != undo.crend(); ++it) {
        if (it->row)
            it->row->putBack(it->column, it->previous);
    }
}

bool Database::applyChange(const QList<RowChange> &changes, const QString &statement, const char *failureLine,
    QString *reason, const Undo &undo, bool *unmatched, const QVariantList &bound)
{
    Transaction write(this);
    if (writeBroken) {
        if (reason)
            *reason = writeReason;
        write.commit();
        return false;
    }
    QString why;
    bool ok = false;
    {
        QSqlQuery query(database());
        ok = run(query, statement, failureLine, &why, bound);
        // Its condition held for no row: nothing happened, and the caller decides.
        if (ok && unmatched && query.numRowsAffected() == 0) {
            *unmatched = true;
            write.commit();
            return false;
        }
    }
    for (const RowChange &change : changes) {
        for (const ChangeHook &hook : qAsConst(changeHooks))
            ok = ok && hook(change, &why);
    }
    if (!ok) {
        writeBroken = true;
        writeReason = why;
        if (reason)
            *reason = why;
        write.commit();
        return false;
    }
    pendingChanges.append(changes);
    if (undo.row && undo.previous.isValid())
        undoList.append(undo);
    return write.commit(reason);
}

QVariantMap Database::valuesOf(AbstractDatabaseRow *row)
{
    QVariantMap values;
    for (const QString &column : row->columnNames())
        values.insert(column, row->getValue(column));
    return values;
}

int Database::insertRow(AbstractDatabaseRow *row, const char *failureLine, QString *reason)
{
    const QString table = row->tableName();
    const QString idColumn = row->idColumnName();
    const QStringList &columns = row->columnNames();
    Transaction write(this, true);
    // A write that could not begin (the server is gone) says why.
    if (writeBroken) {
        if (reason)
            *reason = writeReason;
        return -1;
    }
    // Inside the write: no other program takes the same id before it commits.
    const int id = newId(table, idColumn);
    if (id <= 0) {
        if (reason)
            *reason = QStringLiteral("No new id");
        return -1;
    }
    QStringList values;
    QVariantMap stored = valuesOf(row);
    stored.insert(idColumn, id);
    for (const QString &column : columns)
        values.append(column == idColumn ? QString::number(id) : valueText(row, column));
    RowChange change;
    change.kind = RowChange::Kind::Insert;
    change.table = table;
    change.rowId = id;
    change.newValue = stored;
    if (!applyChange({ change }, insertStatement(table, columns, values), failureLine, reason))
        return -1;
    return write.commit(reason) ? id : -1;
}

int Database::insertPatient(Patient *patient, QString *reason)
{
    if (!patient)
        return -1;
    const int id = insertRow(patient, "Creation error:", reason);
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
    // The new row as stored joins the list; the others are not read again.
    if (id > 0)
        patient->addRecord(new Record(id, this, nullptr));
    return id;
}

bool Database::removePatient(Patient *patient, QString *reason, QStringList *filesLeft)
{
    return Trash(this).removePatient(patient, reason, filesLeft);
}

bool Database::removeRecord(Patient *owner, Record *record, QString *reason, QStringList *filesLeft)
{
    return Trash(this).removeRecord(owner, record, reason, filesLeft);
}

namespace
{

// Column and table names go into the statement's text; values never do.
bool isPlainName(const QString &name)
{
    if (name.isEmpty() || name.size() > 64 || name.at(0).isDigit())
        return false;
    for (const QChar c : name) {
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('_'))
            return false;
    }
    return true;
}

} // namespace

bool Database::insertValues(
    const QString &table, const QString &idColumn, const QVariantMap &values, QString *reason)
{
    QStringList columns;
    QStringList marks;
    QVariantList bound;
    bool plain = isPlainName(table);
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        plain = plain && isPlainName(it.key());
        columns.append(it.key());
        marks.append(QStringLiteral("?"));
        bound.append(it.value());
    }
    if (!plain || !values.contains(idColumn)) {
        if (reason)
            *reason = QStringLiteral("Not a row of %1").arg(table);
        return false;
    }
    RowChange change;
    change.kind = RowChange::Kind::Insert;
    change.table = table;
    change.rowId = values.value(idColumn).toInt();
    change.newValue = values;
    return applyChange(
        { change }, insertStatement(table, columns, marks), "ROW NOT INSERTED", reason, Undo(), nullptr, bound);
}

bool Database::deleteValues(
    const QString &table, const QString &idColumn, int id, const QVariantMap &oldValues, QString *reason)
{
    if (!isPlainName(table) || !isPlainName(idColumn))
        return false;
    RowChange change;
    change.kind = RowChange::Kind::Delete;
    change.table = table;
    change.rowId = id;
    change.oldValue = oldValues;
    // The lines the removals have always written.
    const char *failureLine = table == patientsTable ? "PATIENT NOT REMOVED FROM DATABASE"
        : table == recordsTable                      ? "RECORD NOT REMOVED FROM DATABASE"
                                                     : "ROW NOT REMOVED";
    return applyChange({ change }, deleteStatement(table, idColumn, id), failureLine, reason);
}

bool Database::updateValue(const QString &table, const QString &idColumn, int id, const QString &column,
    const QVariant &oldValue, const QVariant &newValue, QString *reason)
{
    if (!isPlainName(table) || !isPlainName(idColumn) || !isPlainName(column))
        return false;
    RowChange change;
    change.table = table;
    change.rowId = id;
    change.column = column;
    change.oldValue = oldValue;
    change.newValue = newValue;
    return applyChange({ change }, writeColumnStatement(table, column, QStringLiteral("?"), idColumn, id),
        "NOT SET", reason, Undo(), nullptr, { newValue });
}

void Database::close()
{
    QSqlDatabase::database(connectionName, false).close();
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
        query, rowStatement(row->tableName(), row->idColumnName(), row->getId()), "ROW NOT READ");
    if (!rows)
        return false;
    // No row: the properties keep their values.
    if (rows->next())
        row->takeStoredValues(*rows, fieldsOf(*rows, *row->metaObject()));
    return true;
}

QList<Record *> Database::readRecords(Patient *patient)
{
    QList<Record *> records;
    QSqlQuery query(database());
    query.setForwardOnly(true);
    const std::unique_ptr<RowCursor> rows
        = openRows(query, recordsOfPatientStatement(patient->getPatientID()), "RECORDS NOT READ");
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
    if (std::unique_ptr<RowCursor> rows = sqlDialect->openCursor(db, statement, &why))
        return rows;
    if (why.isEmpty() && query.exec(statement))
        return RowCursor::of(query);
    if (why.isEmpty())
        why = reasonOf(query.lastError());
    qDebug() << failureLine << statement << why;
    if (reason)
        *reason = why;
    return nullptr;
}

QPair<QDateTime, QDateTime> Database::visitsOf(const QString &patientId)
{
    if (!visitsRead) {
        visitsRead = true;
        visits.clear();
        QSqlQuery query(database());
        query.setForwardOnly(true);
        if (run(query, visitsStatement(), "VISITS NOT READ")) {
            while (query.next())
                visits.insert(query.value(0).toString(), { query.value(1).toDateTime(), query.value(2).toDateTime() });
        }
    }
    return visits.value(patientId);
}

bool Database::writeColumn(
    AbstractDatabaseRow *row, const QString &column, const QVariant &previous, QString *reason)
{
    QString why;
    bool ok = false;
    auto *patient = qobject_cast<Patient *>(row);
    if (patient && column == QLatin1String("PatientID") && previous.isValid()) {
        ok = writePatientId(patient, previous.toString(), &why);
    } else {
        RowChange change;
        change.table = row->tableName();
        change.rowId = row->getId();
        change.column = column;
        change.oldValue = previous;
        change.newValue = row->getValue(column);
        const QString statement = writeColumnStatement(
            change.table, column, valueText(row, column), row->idColumnName(), change.rowId);
        ok = sqlDialect->sharedByWorkstations() && previous.isValid()
            ? writeShownColumn(row, change, statement, &why)
            : applyChange({ change }, statement, "NOT SET", &why, { row, column, previous });
    }
    if (!ok) {
        emit writeFailed(column, why);
        if (reason)
            *reason = why;
    }
    return ok;
}

bool Database::writeShownColumn(
    AbstractDatabaseRow *row, const RowChange &change, const QString &statement, QString *reason)
{
    Transaction write(this);
    const Undo undo { row, change.column, change.oldValue };
    bool unmatched = false;
    bool ok = applyChange({ change },
        statement + EditConflict::condition(*this, row, change.column, change.oldValue), "NOT SET", reason,
        undo, &unmatched);
    if (unmatched) {
        // Changed meanwhile, gone, or only stored in another form than this
        // program writes: the stored row, held now, tells which.
        const std::unique_ptr<AbstractDatabaseRow> stored = EditConflict::readHeld(this, row);
        if (EditConflict::readsAsShown(*this, stored.get(), row, change.column, change.oldValue)) {
            ok = applyChange({ change }, statement, "NOT SET", reason, undo);
        } else {
            writeBroken = true;
            writeReason = EditConflict::reason(stored.get(), change.column);
            qDebug() << "NOT SET" << statement << writeReason;
            // Once the refusal has put the shown value back.
            QPointer<AbstractDatabaseRow> refused = row;
            QMetaObject::invokeMethod(
                this,
                [this, refused] {
                    if (refused)
                        refreshRow(refused);
                },
                Qt::QueuedConnection);
        }
    }
    return write.commit(reason) && ok;
}

void Database::refreshRow(AbstractDatabaseRow *row, bool *gone)
{
    const std::unique_ptr<AbstractDatabaseRow> stored = EditConflict::blankLike(row);
    if (!stored)
        return;
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!run(query, rowStatement(row->tableName(), row->idColumnName(), row->getId()), "ROW NOT READ"))
        return;
    if (!query.next()) {
        if (gone)
            *gone = true;
        return;
    }
    stored->takeStoredValues(query, fieldsOf(query, *row->metaObject()));
    showStoredValues(row, stored.get());
}

void Database::showStoredValues(AbstractDatabaseRow *row, AbstractDatabaseRow *stored)
{
    for (const QString &column : row->columnNames()) {
        if (valueText(stored, column) != valueText(row, column))
            row->putBack(column, stored->getValue(column));
    }
}

bool Database::writePatientId(Patient *patient, const QString &oldPatientId, QString *reason)
{
    const QString newPatientId = patient->getPatientID();
    // Records find their patient by this text alone: carried over to an ID
    // that another patient has, they would join that patient's records.
    if (patientIdInUse(newPatientId, patient)) {
        *reason = QCoreApplication::translate("Patient", "Another patient already has this PatientID");
        return false;
    }
    // Records of an ID that another patient shares belong to both; they stay.
    const bool carry = !patientIdInUse(oldPatientId, patient);
    if (!carry)
        qDebug() << "Records not moved: PatientID shared" << oldPatientId;

    Transaction write(this);
    RowChange change;
    change.table = patientsTable;
    change.rowId = patient->getId();
    change.column = QStringLiteral("PatientID");
    change.oldValue = oldPatientId;
    change.newValue = newPatientId;
    const QString statement = writeColumnStatement(
        patientsTable, change.column, valueText(patient, change.column), patientIdColumn, change.rowId);
    bool ok = sqlDialect->sharedByWorkstations()
        ? writeShownColumn(patient, change, statement, reason)
        : applyChange({ change }, statement, "NOT SET", reason, { patient, change.column, oldPatientId });
    if (ok && carry) {
        // Each record carried over is a change of its own.
        QList<RowChange> moved;
        QSqlQuery query(database());
        query.setForwardOnly(true);
        ok = run(query, recordIdsStatement(oldPatientId), "RECORDS NOT MOVED", reason);
        while (ok && query.next()) {
            RowChange record = change;
            record.table = recordsTable;
            record.rowId = query.value(0).toInt();
            moved.append(record);
        }
        query.finish();
        ok = ok
            && applyChange(
                moved, moveRecordsStatement(oldPatientId, newPatientId), "RECORDS NOT MOVED", reason);
    }
    ok = write.commit(reason) && ok;
    if (ok && patient->recordsAreRead())
        patient->loadRecords();
    return ok;
}

int Database::lastId(const QString &table, const QString &idColumn)
{
    QSqlQuery query(database());
    if (!exec(query, highestIdStatement(table, idColumn))) {
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

QString Database::deleteStatement(const QString &table, const QString &idColumn, int id)
{
    return QStringLiteral("DELETE from ") + table + QStringLiteral(" where ") + idColumn + QLatin1Char('=')
        + QString::number(id);
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

QString Database::visitsStatement()
{
    return QStringLiteral("SELECT PatientID, MIN(RecordDate), MAX(RecordDate) from Records GROUP BY PatientID");
}

QString Database::recordIdsStatement(const QString &patientId)
{
    return QStringLiteral("SELECT RecordID from Records where PatientID=") + textLiteral(patientId);
}

QString Database::moveRecordsStatement(const QString &oldPatientId, const QString &newPatientId)
{
    return QStringLiteral("UPDATE Records SET PatientID=") + textLiteral(newPatientId)
        + QStringLiteral(" WHERE PatientID=") + textLiteral(oldPatientId);
}
