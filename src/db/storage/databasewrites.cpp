#include "db/storage/database.h"

#include "db/storage/databasesupport.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/sqldialect.h"
#include "db/storage/sqlstatements.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QDateTime>
#include <QUuid>
#include <QVariant>

// The write path of Database: transactions, the one entry of every change and
// the writes built on it.

using namespace DatabaseSupport;

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

bool Database::Transaction::outcomeUnknown() const
{
    return database && done && outermost && database->lastOutcomeUnknown;
}

QString Database::Transaction::unsettledOperation() const
{
    return outcomeUnknown() ? database->unsettledOperation() : QString();
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
        begun = callServer([&db] { return db.transaction(); });
        if (!begun)
            writeReason = reasonOf(db.lastError());
    } else {
        QSqlQuery query(db);
        begun = callServer([&query, &begin] { return query.exec(begin); });
        if (!begun)
            writeReason = reasonOf(query.lastError());
    }
    if (!begun && !givenUp().isEmpty())
        writeReason = givenUp();
    writeOpen = begun;
    if (!begun) {
        qDebug() << "WRITE NOT BEGUN" << writeReason;
        writeBroken = true;
    }
    return begun;
}

void Database::keepOperations()
{
    if (!sqlDialect->sharedByWorkstations() || operationsKept)
        return;
    operationsKept = true;
    QSqlQuery query(database());
    run(query, QStringLiteral("DELETE FROM Operations WHERE DoneAt < ?"), "OPERATIONS NOT PRUNED", nullptr,
        { QDateTime::currentDateTimeUtc().addDays(-7).toString(Qt::ISODate) });
}

Database::Outcome Database::outcomeOf(const QString &operation)
{
    // Opened afresh. Should the lost connection's server process still hold
    // the write open, the insert waits for it (at most the lock timeout) and
    // then either finds its note or keeps that write from ever landing.
    QSqlQuery query(database());
    if (!run(query,
            QStringLiteral("INSERT INTO Operations (OperationID, DoneAt) VALUES (?, ?) ON CONFLICT DO NOTHING"),
            "OPERATION NOT LOOKED UP", nullptr,
            { operation, QDateTime::currentDateTimeUtc().toString(Qt::ISODate) }))
        return Outcome::Unknown;
    return query.numRowsAffected() == 0 ? Outcome::Committed : Outcome::NotCommitted;
}

bool Database::commitWrite(QString *reason)
{
    qCDebug(lcWrite) << "COMMIT";
    QSqlDatabase db = database();
    bool committed = true;
    operationId.clear();
    lastOutcomeUnknown = false;
    if (writeOpen && operationsKept && !pendingChanges.isEmpty()) {
        QSqlQuery note(db);
        const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
        if (run(note, QStringLiteral("INSERT INTO Operations (OperationID, DoneAt) VALUES (?, ?)"),
                "OPERATION NOT NOTED", nullptr, { id, QDateTime::currentDateTimeUtc().toString(Qt::ISODate) }))
            operationId = id;
    }
    if (writeOpen) {
        QString why;
        if (!writeByStatements) {
            committed = callServer([&db] { return db.commit(); });
            why = reasonOf(db.lastError());
        } else {
            QSqlQuery query(db);
            committed = callServer([&query] { return query.exec(QStringLiteral("COMMIT")); });
            why = reasonOf(query.lastError());
        }
        const bool unanswered = !givenUp().isEmpty() || !db.isOpen() || sqlDialect->connectionLost(db);
        if (!committed && !givenUp().isEmpty())
            why = givenUp();
        // No answer, the connection gone: the write may have landed all the
        // same. Nothing is undone before that is known.
        if (!committed && !operationId.isEmpty() && unanswered) {
            writeOpen = false;
            switch (outcomeOf(operationId)) {
            case Outcome::Committed:
                qDebug() << "WRITE COMMITTED, ITS ANSWER LOST" << why;
                committed = true;
                break;
            case Outcome::NotCommitted:
                break;
            case Outcome::Unknown:
                lastOutcomeUnknown = true;
                why = tr("The server %1 did not confirm the write, and whether it was stored is not known: "
                         "look again in a moment")
                          .arg(where.describe());
                break;
            }
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
            list.forgetVisits();
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
        QSqlQuery query(db);
        if (!writeByStatements)
            callServer([&db] { return db.rollback(); });
        else
            callServer([&query] { return query.exec(QStringLiteral("ROLLBACK")); });
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
    if (!applyChange({ change }, SqlStatements::insert(table, columns, values), failureLine, reason))
        return -1;
    return write.commit(reason) ? id : -1;
}

int Database::insertRow(AbstractDatabaseRow *row, QString *reason)
{
    return insertRow(row, "Creation error:", reason);
}

int Database::insertPatient(Patient *patient, QString *reason)
{
    if (!patient)
        return -1;
    const int id = insertRow(patient, "Creation error:", reason);
    if (id > 0)
        showNewPatient(id);
    return id;
}

void Database::showNewPatient(int id)
{
    // The new row is all there is to read: a list read whole costs as much as
    // a start. A server announces other workstations' changes as they land;
    // what another program wrote into a file shows at the next reload.
    if (readPatient(id))
        emit patientsChanged();
    else
        reloadPatients();
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
        { change }, SqlStatements::insert(table, columns, marks), "ROW NOT INSERTED", reason, Undo(), nullptr, bound);
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
    return applyChange({ change }, SqlStatements::deleteRow(table, idColumn, id), failureLine, reason);
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
    return applyChange({ change }, SqlStatements::writeColumn(table, column, QStringLiteral("?"), idColumn, id),
        "NOT SET", reason, Undo(), nullptr, { newValue });
}

bool Database::writeColumn(
    AbstractDatabaseRow *row, const QString &column, const QVariant &previous, QString *reason)
{
    QString why;
    const bool ok = storeColumn(row, column, previous, &why);
    if (!ok) {
        emit writeFailed(column, why);
        if (reason)
            *reason = why;
    }
    return ok;
}

bool Database::writePatientId(Patient *patient, const QString &previous, QString *reason)
{
    QString why;
    bool ok = false;
    if (patientIdWriter)
        ok = patientIdWriter(patient, previous, &why);
    else
        why = QStringLiteral("The patient ID cannot be changed here");
    if (!ok) {
        emit writeFailed(QStringLiteral("PatientID"), why);
        if (reason)
            *reason = why;
    } else if (patient->recordsAreRead()) {
        patient->loadRecords();
    }
    return ok;
}

bool Database::storeColumn(
    AbstractDatabaseRow *row, const QString &column, const QVariant &previous, QString *reason)
{
    RowChange change;
    change.table = row->tableName();
    change.rowId = row->getId();
    change.column = column;
    change.oldValue = previous;
    change.newValue = row->getValue(column);
    const QString statement = SqlStatements::writeColumn(
        change.table, column, valueText(row, column), row->idColumnName(), change.rowId);
    return sqlDialect->sharedByWorkstations() && previous.isValid() && shownValueCheck.condition
        ? writeShownColumn(row, change, statement, reason)
        : applyChange({ change }, statement, "NOT SET", reason, { row, column, previous });
}

void Database::setPatientIdWriter(PatientIdWriter writer)
{
    patientIdWriter = std::move(writer);
}

void Database::setShownValueCheck(ShownValueCheck check)
{
    shownValueCheck = std::move(check);
}

bool Database::writeShownColumn(
    AbstractDatabaseRow *row, const RowChange &change, const QString &statement, QString *reason)
{
    Transaction write(this);
    const Undo undo { row, change.column, change.oldValue };
    bool unmatched = false;
    bool ok = applyChange({ change }, statement + shownValueCheck.condition(row, change.column, change.oldValue),
        "NOT SET", reason, undo, &unmatched);
    if (unmatched) {
        // Changed meanwhile, gone, or only stored in another form than this
        // program writes: the stored row, held now, tells which.
        QString refusal;
        if (shownValueCheck.readsAsShown(row, change.column, change.oldValue, &refusal)) {
            ok = applyChange({ change }, statement, "NOT SET", reason, undo);
        } else {
            writeBroken = true;
            writeReason = refusal;
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

std::unique_ptr<AbstractDatabaseRow> Database::blankLike(AbstractDatabaseRow *row)
{
    if (qobject_cast<Patient *>(row))
        return std::make_unique<Patient>();
    if (qobject_cast<Record *>(row))
        return std::make_unique<Record>();
    return nullptr;
}

bool Database::refreshRow(AbstractDatabaseRow *row, bool *gone, QString *reason)
{
    const std::unique_ptr<AbstractDatabaseRow> stored = blankLike(row);
    if (!stored)
        return false;
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!run(query, SqlStatements::row(row->tableName(), row->idColumnName(), row->getId()), "ROW NOT READ",
            reason))
        return false;
    if (!query.next()) {
        if (gone)
            *gone = true;
        return true;
    }
    stored->takeStoredValues(query, fieldsOf(query, *row->metaObject()));
    showStoredValues(row, stored.get());
    return true;
}

void Database::showStoredValues(AbstractDatabaseRow *row, AbstractDatabaseRow *stored)
{
    for (const QString &column : row->columnNames()) {
        if (valueText(stored, column) != valueText(row, column))
            row->putBack(column, stored->getValue(column));
    }
}
