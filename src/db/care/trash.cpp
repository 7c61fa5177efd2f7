#include "db/care/trash.h"

#include "db/storage/database.h"
#include "db/storage/databasesupport.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/recordings/recordingfiles.h"
#include "db/care/trashfolder.h"
#include "toolkit/util/fileutilities.h"
#include "toolkit/util/workstation.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

using namespace DatabaseSupport;

namespace
{

// A stored value as JSON, exactly: numbers stay numbers, texts texts, NULL
// null; dates are ISO text, which is how they are stored.
QJsonValue toJson(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QJsonValue::Null;
    switch (value.userType()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return value.toString();
    default:
        return value.toString();
    }
}

QJsonObject rowToJson(const QVariantMap &row)
{
    QJsonObject object;
    for (auto it = row.cbegin(); it != row.cend(); ++it)
        object.insert(it.key(), toJson(it.value()));
    return object;
}

// A field as the program names its column: a server folds unquoted names to
// lower case. Names it does not know stay as they come.
QString columnCase(const QString &field)
{
    static const QHash<QString, QString> names = [] {
        QHash<QString, QString> known;
        QStringList columns = Patient().columnNames() + Record().columnNames();
        columns << QStringLiteral("Age") << removalIdColumn
                << QStringLiteral(
                       "RemovedAt,Workstation,UserName,Kind,Description,PatientRef,PatientID,FolderName,"
                       "TrashFolder,SizeBytes,RowsData,FilesData,RestoredAt")
                       .split(QLatin1Char(','));
        for (const QString &column : qAsConst(columns))
            known.insert(column.toLower(), column);
        return known;
    }();
    return names.value(field.toLower(), field);
}

} // namespace

struct Trash::Subject {
    Patient *patient = nullptr;
    // The patient, when the patient's own row goes.
    bool wholePatient = false;
    QList<Record *> records;
    QString description;
};

Trash::Trash(Database *database)
    : database(database)
{
}

bool Trash::removePatient(Patient *patient, QString *reason, QStringList *filesLeft)
{
    if (!patient)
        return false;
    Subject subject;
    subject.patient = patient;
    subject.wholePatient = true;
    if (database->patientIdShared(patient))
        qDebug() << "Records kept: PatientID shared" << patient->getPatientID();
    else
        subject.records = patient->records();
    subject.description
        = patient->fullName(true) + QStringLiteral(" (") + patient->getPatientID() + QLatin1Char(')');
    const bool removed = remove(subject, reason, filesLeft);
    // The list is read anew only to show the truth after a refusal.
    if (removed) {
        database->forgetPatient(patient);
        emit database->patientsChanged();
    } else {
        database->reloadPatients();
    }
    return removed;
}

bool Trash::removeRecord(Patient *owner, Record *record, QString *reason, QStringList *filesLeft)
{
    if (!record)
        return false;
    Subject subject;
    subject.patient = owner;
    subject.records = { record };
    subject.description = (owner ? owner->fullName(true) + QStringLiteral(" (") + owner->getPatientID()
                                      + QStringLiteral("): ")
                                 : QString())
        + record->getRecordDate().toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QLatin1Char(' ')
        + record->getFileName();
    const bool removed = remove(subject, reason, filesLeft);
    if (removed && owner)
        owner->loadRecords();
    return removed;
}

struct Trash::Plan {
    QString folderName;
    QList<TrashFolder::Move> moves;
    qint64 size = 0;
    QVariantMap patientRow;
    QList<QPair<int, QVariantMap>> recordRows;
    QString trashFolder;
};

bool Trash::remove(const Subject &subject, QString *reason, QStringList *filesLeft)
{
    QString why;
    const auto fail = [&](const QString &text) {
        if (reason)
            *reason = text;
        return false;
    };
    if (filesLeft)
        filesLeft->clear();
    Plan plan;
    plan.folderName = subject.patient ? subject.patient->folderName() : QString();
    if (!planMoves(subject, &plan, &why))
        return fail(why);

    // The lock first: files move only once nobody else can write.
    Database::Transaction write(database, true);
    if (!write.isOpen()) {
        write.commit(&why);
        return fail(why);
    }
    if (!readGoingRows(subject, &plan, &why))
        return fail(why);
    plan.trashFolder = TrashFolder::create(plan.folderName, &why);
    if (plan.trashFolder.isEmpty())
        return fail(tr("The trash folder cannot be made") + QStringLiteral(":\n") + why);
    if (!TrashFolder::writeNote(plan.trashFolder, plan.moves, &why)
        || !TrashFolder::moveIn(plan.trashFolder, plan.moves, &why)) {
        TrashFolder::tidy(plan.trashFolder);
        return fail(tr("The recordings cannot be moved to the trash") + QStringLiteral(":\n") + why);
    }
    const bool ok = deleteAndNote(subject, plan, &why);
    if (!(write.commit(&why) && ok)) {
        // It may have landed: the files wait in the trash, with the id that
        // tells the next start whether to put them back.
        if (write.outcomeUnknown() && TrashFolder::noteOperation(plan.trashFolder, write.unsettledOperation()))
            return fail(why + QStringLiteral("\n") + tr("The recordings wait in the trash until that is known."));
        const QStringList stuck = TrashFolder::undo(plan.trashFolder, plan.moves, true);
        if (filesLeft)
            *filesLeft = stuck;
        if (stuck.isEmpty())
            TrashFolder::tidy(plan.trashFolder);
        return fail(why);
    }
    return true;
}

bool Trash::planMoves(const Subject &subject, Plan *plan, QString *reason)
{
    if (!subject.patient || subject.records.isEmpty())
        return true;
    QHash<int, QList<RecordingFiles::OtherRecord>> others;
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->exec(query, QStringLiteral("SELECT RecordID, PatientID, FileName from Records"))) {
        *reason = tr("The other records could not be read") + QStringLiteral(": ") + reasonOf(query.lastError());
        return false;
    }
    QHash<QString, QStringList> foldersById;
    for (Patient *patient : database->patients())
        foldersById[patient->getPatientID()].append(patient->folderName());
    while (query.next()) {
        for (const QString &folder : foldersById.value(query.value(1).toString()))
            others[query.value(0).toInt()].append({ folder, query.value(2).toString() });
    }
    const QString &folderName = plan->folderName;
    const QString patientDir
        = QFileInfo(QDir::cleanPath(DataLocations::patientFolder(folderName))).canonicalFilePath();
    for (Record *record : subject.records) {
        // Planned as though the ones before were gone already.
        others.remove(record->getRecordID());
        if (!QFileInfo(RecordingFiles::recordPath(folderName, record->getFileName())).isFile())
            continue;
        QList<RecordingFiles::OtherRecord> near;
        for (const QList<RecordingFiles::OtherRecord> &list : qAsConst(others))
            near.append(list);
        const RecordingFiles::Removal removal
            = RecordingFiles::planRemoval(folderName, record->getFileName(), near);
        if (removal.kind == RecordingFiles::Removal::Kind::Nothing)
            continue;
        const QString relative = removal.path.mid(patientDir.size() + 1);
        plan->moves.append({ folderName + QLatin1Char('/') + relative, relative });
        plan->size += removal.kind == RecordingFiles::Removal::Kind::Folder ? FileUtilities::dirsize(removal.path)
                                                                            : QFileInfo(removal.path).size();
    }
    return true;
}

bool Trash::readGoingRows(const Subject &subject, Plan *plan, QString *reason)
{
    for (Record *record : subject.records) {
        QVariantMap row;
        if (!readRow(recordsTable, recordIdColumn, record->getRecordID(), &row, reason))
            return false;
        plan->recordRows.append({ record->getRecordID(), row });
    }
    return !subject.wholePatient
        || readRow(patientsTable, patientIdColumn, subject.patient->getId(), &plan->patientRow, reason);
}

bool Trash::deleteAndNote(const Subject &subject, const Plan &plan, QString *reason)
{
    QJsonArray patientRows;
    QJsonArray recordRows;
    bool ok = true;
    for (const auto &record : plan.recordRows) {
        recordRows.append(rowToJson(record.second));
        ok = ok && database->deleteValues(recordsTable, recordIdColumn, record.first, record.second, reason);
    }
    if (subject.wholePatient) {
        patientRows.append(rowToJson(plan.patientRow));
        ok = ok
            && database->deleteValues(
                patientsTable, patientIdColumn, subject.patient->getId(), plan.patientRow, reason);
    }
    const int id = ok ? database->newId(removalsTable, removalIdColumn) : -1;
    if (id <= 0)
        return false;
    const QVariantMap removal {
        { removalIdColumn, id },
        { QStringLiteral("RemovedAt"), Workstation::nowText() },
        { QStringLiteral("Workstation"), Workstation::hostName() },
        { QStringLiteral("UserName"), Workstation::userName() },
        { QStringLiteral("Kind"), subject.wholePatient ? QStringLiteral("Patient") : QStringLiteral("Record") },
        { QStringLiteral("Description"), subject.description },
        { QStringLiteral("PatientRef"), subject.patient ? subject.patient->getId() : 0 },
        { QStringLiteral("PatientID"), subject.patient ? subject.patient->getPatientID() : QString() },
        { QStringLiteral("FolderName"), plan.folderName },
        { QStringLiteral("TrashFolder"), plan.trashFolder },
        { QStringLiteral("SizeBytes"), plan.size },
        { QStringLiteral("RowsData"),
            QString::fromUtf8(
                QJsonDocument(QJsonObject { { patientsTable, patientRows }, { recordsTable, recordRows } })
                    .toJson(QJsonDocument::Compact)) },
        { QStringLiteral("FilesData"),
            QString::fromUtf8(QJsonDocument(TrashFolder::toJson(plan.moves)).toJson(QJsonDocument::Compact)) },
    };
    return database->insertValues(removalsTable, removalIdColumn, removal, reason);
}

bool Trash::readRow(const QString &table, const QString &idColumn, int id, QVariantMap *row, QString *reason)
{
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->exec(query,
            QStringLiteral("SELECT * from ") + table + QStringLiteral(" where ") + idColumn + QLatin1Char('=')
                + QString::number(id))) {
        *reason = reasonOf(query.lastError());
        return false;
    }
    if (!query.next()) {
        *reason = tr("The row is no longer there: %1 %2").arg(table).arg(id);
        return false;
    }
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        row->insert(columnCase(record.fieldName(i)), query.value(i));
    return true;
}

QList<Trash::Removal> Trash::removals(QString *reason)
{
    QList<Removal> list;
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->exec(query,
            QStringLiteral(
                "SELECT RemovalID, RemovedAt, Workstation, UserName, Kind, Description, PatientRef, "
                "PatientID, FolderName, TrashFolder, SizeBytes FROM Removals WHERE RestoredAt IS NULL "
                "ORDER BY RemovedAt DESC, RemovalID DESC"))) {
        if (reason)
            *reason = reasonOf(query.lastError());
        return list;
    }
    while (query.next()) {
        Removal removal;
        removal.id = query.value(0).toInt();
        removal.removedAt = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
        removal.workstation = query.value(2).toString();
        removal.user = query.value(3).toString();
        removal.wholePatient = query.value(4).toString() == QLatin1String("Patient");
        removal.description = query.value(5).toString();
        removal.patientRef = query.value(6).toInt();
        removal.patientId = query.value(7).toString();
        removal.folderName = query.value(8).toString();
        removal.trashFolder = query.value(9).toString();
        removal.size = query.value(10).toLongLong();
        list.append(removal);
    }
    return list;
}
