#include "db/storage/patientstore.h"

#include "db/model/datalocations.h"
#include "db/recordings/folderrenamejournal.h"
#include "db/rows/patient.h"
#include "db/rows/patientidmatch.h"
#include "db/storage/database.h"
#include "db/storage/databasesupport.h"
#include "db/storage/editconflict.h"
#include "db/storage/patientidkeys.h"
#include "db/storage/sqlstatements.h"
#include "toolkit/util/texthelper.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <memory>

using namespace DatabaseSupport;

namespace
{

QString folderPath(const QString &folderName)
{
    return QDir::cleanPath(DataLocations::patientFolder(folderName));
}

// Never replaces or merges into another folder (rename(2) would replace an
// empty one); the same folder under another letter case may be renamed.
bool moveFolder(const QString &fromName, const QString &toName)
{
    if (!DataLocations::isPlainFolderName(fromName) || !DataLocations::isPlainFolderName(toName))
        return false;
    const QString from = folderPath(fromName);
    const QString to = folderPath(toName);
    const QFileInfo target(to);
    if ((target.exists() || target.isSymLink())
        && target.canonicalFilePath() != QFileInfo(from).canonicalFilePath())
        return false;
    return QDir().rename(from, to);
}

// The columns an edit changed: where it differs from what the user was shown.
QStringList changedColumns(Patient *edited, Patient *shown)
{
    QStringList columns;
    for (const QString &column : edited->columnNames()) {
        if (column != edited->idColumnName() && edited->getValue(column) != shown->getValue(column))
            columns << column;
    }
    return columns;
}

bool idGiven(const QString &patientId, QString *reason)
{
    if (!patientId.isEmpty())
        return true;
    *reason = QCoreApplication::translate("MainWindow", "Fill unique patient id");
    return false;
}

// The folder and its journal note for a rename inside a write, put back when
// the write does not land.
class FolderMove
{
public:
    FolderMove(int autoId, const QString &from, const QString &to)
        : from(from)
        , to(to)
    {
        noted = FolderRenameJournal::begin(autoId, from, to);
        moved = noted && moveFolder(from, to);
    }
    ~FolderMove()
    {
        if (undecided)
            return;
        if (!landed && moved && !moveFolder(to, from))
            qWarning() << "Patient folder not renamed back:" << to << from;
        if (noted)
            FolderRenameJournal::finish();
    }
    bool done() const { return moved; }
    void land() { landed = true; }
    // Whether the write landed is not known: the note stays, and the next
    // start moves the folder to what the database holds then.
    void leaveUndecided() { undecided = true; }

private:
    QString from;
    QString to;
    bool noted = false;
    bool moved = false;
    bool landed = false;
    bool undecided = false;
};

} // namespace

PatientStore::PatientStore(Database *database)
    : database(database)
{
}

PatientStore::Outcome PatientStore::create(Patient *values)
{
    Outcome outcome;
    QString reason;
    // Locked at once: no other program stores the same ID between the check and the commit.
    Database::Transaction write(database, true);
    values->setPatientID(PatientIdMatch::entered(values->getPatientID()));
    // A write that could not begin (the server is gone) says why.
    if (!write.isOpen())
        write.commit(&reason);
    const int id = write.isOpen() && idGiven(values->getPatientID(), &reason)
            && idFree(values->getPatientID(), 0, &reason)
        ? database->insertRow(values, &reason)
        : -1;
    if (id <= 0 || !write.commit(&reason)) {
        outcome.refusal = reason;
        return outcome;
    }
    database->showNewPatient(id);
    outcome.autoId = id;
    return outcome;
}

PatientStore::Outcome PatientStore::save(int autoId, Patient *edited, Patient *shown)
{
    Outcome outcome;
    QString reason;
    const QStringList columns = changedColumns(edited, shown);
    const bool idChanges = columns.contains(QStringLiteral("PatientID"));
    if (idChanges)
        edited->setPatientID(PatientIdMatch::entered(edited->getPatientID()));
    // The row as stored now, with the edit on it: its folder is the one to have.
    // Read before the write: a write that has read cannot wait for another's lock.
    Patient stored;
    stored.setAutoID(autoId);
    bool gone = false;
    bool ok = database->refreshRow(&stored, &gone, &reason);
    // A changed ID locks at once, so that the check below holds until the commit.
    Database::Transaction write(database, idChanges);
    if (ok && !write.isOpen()) {
        ok = false;
        write.commit(&reason);
    }
    if (ok && gone) {
        ok = false;
        reason = EditConflict::reason(nullptr, QString());
    }
    std::unique_ptr<Patient> after(stored.clone());
    for (const QString &column : columns)
        after->setValue(column, edited->getValue(column));
    ok = ok
        && (!idChanges
            || (idGiven(after->getPatientID(), &reason) && idFree(after->getPatientID(), autoId, &reason)));

    // Moved inside the write, before the columns, and back when the write does
    // not land; a start after a crash in between finds the note and puts things right.
    std::unique_ptr<FolderMove> move;
    const QString oldFolder = stored.folderName();
    if (ok && oldFolder != after->folderName() && QFileInfo::exists(folderPath(oldFolder))) {
        move = std::make_unique<FolderMove>(autoId, oldFolder, after->folderName());
        ok = move->done();
        outcome.folderNotRenamed = !ok;
    }
    ok = ok && writeColumns(autoId, edited, shown, &reason);
    ok = write.commit(ok ? &reason : nullptr) && ok;
    if (move && ok)
        move->land();
    else if (move && write.outcomeUnknown())
        move->leaveUndecided();
    move.reset();
    if (Patient *listed = database->patientById(autoId)) {
        // The one row shown as stored, whether the write landed or not.
        database->refreshRow(listed);
        if (ok && idChanges && listed->recordsAreRead())
            listed->loadRecords();
    }
    if (ok)
        outcome.autoId = autoId;
    else
        outcome.refusal = reason;
    return outcome;
}

bool PatientStore::writeColumns(int autoId, Patient *edited, Patient *shown, QString *reason)
{
    // An unstored copy of the edit under the row's id: its values reach the
    // statements directly, and nothing of it is shown anywhere.
    std::unique_ptr<Patient> row(edited->clone());
    row->setAutoID(autoId);
    for (const QString &column : changedColumns(edited, shown)) {
        const QVariant before = shown->getValue(column);
        if (column == QLatin1String("PatientID")) {
            if (!carryId(row.get(), before.toString(), reason))
                return false;
        } else if (!database->storeColumn(row.get(), column, before, reason)) {
            return false;
        }
    }
    return true;
}

bool PatientStore::changeId(Patient *patient, const QString &oldPatientId, QString *reason)
{
    Database::Transaction write(database, true);
    const bool ok = idFree(patient->getPatientID(), patient->getId(), reason)
        && carryId(patient, oldPatientId, reason);
    return write.commit(ok ? reason : nullptr) && ok;
}

bool PatientStore::carryId(Patient *patient, const QString &oldPatientId, QString *reason)
{
    bool shared = false;
    bool ok = idShared(oldPatientId, patient->getId(), &shared, reason)
        && database->storeColumn(patient, QStringLiteral("PatientID"), oldPatientId, reason);
    // Records find their patient by this text alone; those of an ID that another
    // patient shares belong to both, and stay.
    if (shared)
        qDebug() << "Records not moved: PatientID shared" << oldPatientId;
    return ok && (shared || moveRecords(oldPatientId, patient->getPatientID(), reason));
}

bool PatientStore::moveRecords(const QString &oldPatientId, const QString &newPatientId, QString *reason)
{
    // Each record carried over is a change of its own.
    RowChange change;
    change.table = recordsTable;
    change.column = QStringLiteral("PatientID");
    change.oldValue = oldPatientId;
    change.newValue = newPatientId;
    QList<RowChange> moved;
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->run(query, SqlStatements::recordIds(oldPatientId), "RECORDS NOT MOVED", reason))
        return false;
    while (query.next()) {
        change.rowId = query.value(0).toInt();
        moved.append(change);
    }
    query.finish();
    return database->applyChange(
        moved, SqlStatements::moveRecords(oldPatientId, newPatientId), "RECORDS NOT MOVED", reason);
}

bool PatientStore::idShared(const QString &patientId, int exceptAutoId, bool *shared, QString *reason)
{
    QSqlQuery query(database->database());
    if (!database->execBound(query,
            QStringLiteral("SELECT count(*) FROM Patients WHERE PatientID=? AND AutoID<>?"),
            { patientId, exceptAutoId })
        || !query.next()) {
        *reason = reasonOf(query.lastError());
        return false;
    }
    *shared = query.value(0).toInt() > 0;
    return true;
}

bool PatientStore::idFree(const QString &patientId, int exceptAutoId, QString *reason, bool *taken)
{
    // The stored IDs of the same key, read by index inside the write; each
    // is folded again, so that only a true match refuses.
    const QString key = PatientIdMatch::key(patientId);
    QSqlQuery query(database->database());
    if (!PatientIdKeys::select(database, patientId, &query, reason))
        return false;
    while (query.next()) {
        if (query.value(0).toInt() == exceptAutoId)
            continue;
        const QString stored = query.value(1).toString();
        if (PatientIdMatch::key(stored) == key) {
            const QString name = (query.value(2).toString() + QLatin1Char(' ') + query.value(3).toString()
                + QLatin1Char(' ') + query.value(4).toString())
                                     .simplified();
            *reason = QCoreApplication::translate("MainWindow", "This patient id is already used")
                + QStringLiteral(": ") + TextHelper::visibleText(name) + QStringLiteral(" (")
                + TextHelper::visibleText(stored) + QLatin1Char(')');
            if (taken)
                *taken = true;
            return false;
        }
    }
    return true;
}
