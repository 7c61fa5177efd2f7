#include "db/recordings/recordingregistration.h"

#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/database.h"
#include "db/storage/databasesupport.h"

#include <QFileInfo>
#include <QSqlQuery>
#include <QLoggingCategory>
#include <memory>

namespace
{

Q_LOGGING_CATEGORY(lcRegistration, "kesta.recordings", QtInfoMsg)

// As much of the text as the column takes; a character of two code units stays whole or goes.
QString fitting(const QString &text, int limit)
{
    if (limit <= 0 || text.size() <= limit)
        return text;
    int end = limit;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end);
}

QString whose(const UnregisteredRecordings::Recording &recording)
{
    return recording.patientId.isEmpty() && recording.patientName.isEmpty()
        ? QStringLiteral("no patient")
        : QStringLiteral("%1 (%2)").arg(recording.patientName, recording.patientId);
}

} // namespace

RecordingRegistration::RecordingRegistration(Database *database, UnregisteredRecordings *refused, QObject *parent)
    : QObject(parent)
    , db(database)
    , refusals(refused)
{
    dropGone();
}

Database *RecordingRegistration::database() const
{
    return db;
}

UnregisteredRecordings *RecordingRegistration::refused() const
{
    return refusals;
}

QString RecordingRegistration::cutReason()
{
    return tr("Its comment is longer than the %1 characters the database keeps; this part of it was not stored")
        .arg(commentLimit());
}

int RecordingRegistration::commentLimit()
{
    const QMetaObject &meta = Record::staticMetaObject;
    const int info = meta.indexOfClassInfo("CommentsMaxLength");
    return info < 0 ? 0 : QString::fromLatin1(meta.classInfo(info).value()).toInt();
}

UnregisteredRecordings::Recording RecordingRegistration::entry(Patient *patient, const Recording &recording) const
{
    UnregisteredRecordings::Recording kept;
    kept.fileName = recording.fileName;
    kept.recordType = recording.type;
    kept.recordDate = recording.date;
    kept.comments = recording.comment;
    if (patient) {
        kept.patientId = patient->getPatientID();
        kept.patientName = patient->fullName(true);
        kept.folderName = patient->folderName();
    }
    return kept;
}

RecordingRegistration::Outcome RecordingRegistration::add(Patient *patient, const Recording &recording)
{
    if (!patient)
        return refuse(nullptr, recording, tr("No patient was selected"), false);
    if (!db)
        return refuse(patient, recording, tr("No database is open"), true);
    QString reason;
    const Outcome outcome = insert(patient, recording, &reason);
    if (outcome.recordId > 0)
        return outcome;
    const QString operation = db->unsettledOperation();
    const Outcome refused = refuse(patient, recording, reason, true);
    if (!operation.isEmpty() && refusals) {
        for (UnregisteredRecordings::Recording kept : refusals->recordings()) {
            if (kept.key == refused.refusalKey) {
                kept.operation = operation;
                refusals->update(kept);
            }
        }
    }
    return refused;
}

RecordingRegistration::Outcome RecordingRegistration::insert(
    Patient *patient, const Recording &recording, QString *reason)
{
    const QString comment = fitting(recording.comment, commentLimit());
    Outcome outcome;
    outcome.recordId
        = db->insertRecord(patient, recording.date, recording.fileName, recording.type, comment, reason);
    if (outcome.recordId <= 0)
        return outcome;
    qCInfo(lcRegistration).noquote() << "Recording registered:" << recording.fileName;
    if (comment.size() < recording.comment.size()) {
        UnregisteredRecordings::Recording rest = entry(patient, recording);
        rest.comments = recording.comment.mid(comment.size());
        rest.reason = cutReason();
        rest.retriable = false;
        rest.registered = true;
        if (refusals)
            outcome.refusalKey = refusals->add(rest);
    }
    return outcome;
}

RecordingRegistration::Outcome RecordingRegistration::refuse(
    Patient *patient, const Recording &recording, const QString &reason, bool retriable)
{
    UnregisteredRecordings::Recording kept = entry(patient, recording);
    kept.reason = reason;
    kept.retriable = retriable && patient;
    qCWarning(lcRegistration).noquote() << QStringLiteral("Recording %1 of %2 not registered, its file stays: %3")
                                               .arg(kept.fileName, whose(kept), reason);
    Outcome outcome;
    if (refusals)
        outcome.refusalKey = refusals->add(kept);
    return outcome;
}

void RecordingRegistration::setComment(const Outcome &outcome, const QString &comment)
{
    if (outcome.recordId > 0) {
        storeComment(outcome.recordId, comment);
    } else if (outcome.refusalKey > 0 && refusals) {
        qCWarning(lcRegistration).noquote() << "Comment of the unregistered recording kept with it:" << comment;
        refusals->setComments(outcome.refusalKey, comment);
    }
}

void RecordingRegistration::storeComment(int recordId, const QString &comment)
{
    const std::unique_ptr<Record> stored(db ? db->loadRecord(recordId) : nullptr);
    if (!stored || stored->getPatientID().isEmpty())
        return;
    Patient *patient = db->patientByPatientId(stored->getPatientID());
    const QString fits = fitting(comment, commentLimit());
    QString reason;
    QString notStored;
    // Written as a value, not through a row object: a refusal is told here, with the comment.
    if (stored->getComments() != fits
        && !db->updateValue(stored->tableName(), stored->idColumnName(), recordId, QStringLiteral("Comments"),
            stored->getComments(), fits, &reason)) {
        reason = tr("The comment was not stored: %1").arg(reason);
        notStored = comment;
    } else if (fits.size() < comment.size()) {
        reason = cutReason();
        notStored = comment.mid(fits.size());
    }
    // What shows the record follows the change.
    if (patient && patient->recordsAreRead()) {
        for (Record *record : patient->records()) {
            if (record->getRecordID() == recordId)
                db->refreshRow(record);
        }
    }
    if (reason.isEmpty())
        return;
    qCWarning(lcRegistration).noquote() << "Comment of" << stored->getFileName() << "not stored whole:" << reason;
    if (!refusals)
        return;
    UnregisteredRecordings::Recording told = entry(
        patient, { stored->getFileName(), stored->getRecordType(), stored->getRecordDate(), QString() });
    if (!patient)
        told.patientId = stored->getPatientID();
    told.comments = notStored;
    told.reason = reason;
    told.retriable = false;
    told.registered = true;
    // A later comment of the record replaces the earlier one, there as here; it is told anew.
    QSet<int> earlier;
    for (const UnregisteredRecordings::Recording &kept : refusals->recordings()) {
        if (kept.registered && kept.patientId == told.patientId && kept.fileName == told.fileName)
            earlier.insert(kept.key);
    }
    refusals->remove(earlier);
    refusals->add(told);
}

int RecordingRegistration::settleUnknown()
{
    if (!refusals || !db)
        return 0;
    int landed = 0;
    for (UnregisteredRecordings::Recording kept : refusals->recordings()) {
        if (kept.operation.isEmpty())
            continue;
        const Database::Outcome outcome = db->outcomeOf(kept.operation);
        if (outcome == Database::Outcome::Unknown)
            continue;
        if (outcome == Database::Outcome::NotCommitted) {
            // Its id is spent: asked again it would read as landed.
            kept.operation.clear();
            refusals->update(kept);
            continue;
        }
        qCInfo(lcRegistration).noquote() << "Recording registered already:" << kept.fileName;
        ++landed;
        refusals->remove({ kept.key });
        Patient *patient = db->patientByPatientId(kept.patientId);
        if (patient && patient->recordsAreRead())
            patient->loadRecords();
    }
    return landed;
}

int RecordingRegistration::registerKept()
{
    if (!refusals || !db)
        return 0;
    // Asked first: a registration still on its way must not land beside a second one.
    int registered = settleUnknown();
    for (UnregisteredRecordings::Recording kept : refusals->recordings()) {
        if (!kept.retriable || !kept.operation.isEmpty())
            continue;
        const QString file = UnregisteredRecordings::filePath(kept, db);
        if (file.isEmpty()) {
            kept.reason = tr("The patient is not in the database");
            refusals->update(kept);
            continue;
        }
        if (!QFileInfo(file).isFile()) {
            qCWarning(lcRegistration).noquote() << "Unregistered recording dropped, its file is gone:" << file;
            refusals->remove({ kept.key });
            continue;
        }
        if (alreadyStored(kept)) {
            qCInfo(lcRegistration).noquote() << "Recording registered already:" << kept.fileName;
            ++registered;
            refusals->remove({ kept.key });
            continue;
        }
        QString reason;
        const Recording recording { kept.fileName, kept.recordType, kept.recordDate, kept.comments };
        if (insert(db->patientByPatientId(kept.patientId), recording, &reason).recordId <= 0) {
            kept.reason = reason;
            kept.operation = db->unsettledOperation();
            refusals->update(kept);
            continue;
        }
        ++registered;
        refusals->remove({ kept.key });
    }
    return registered;
}

bool RecordingRegistration::alreadyStored(const UnregisteredRecordings::Recording &kept) const
{
    QSqlQuery query(db->database());
    return db->execBound(query, QStringLiteral("SELECT RecordID FROM Records WHERE PatientID=? AND FileName=?"),
               { kept.patientId, kept.fileName })
        && query.next();
}

void RecordingRegistration::dropGone()
{
    if (!refusals)
        return;
    QSet<int> gone;
    for (const UnregisteredRecordings::Recording &kept : refusals->recordings()) {
        if (!kept.retriable)
            continue;
        const QString file = UnregisteredRecordings::lastKnownPath(kept, db);
        if (!file.isEmpty() && !QFileInfo(file).isFile()) {
            qCInfo(lcRegistration).noquote() << "Unregistered recording dropped, its file is gone:" << file;
            gone.insert(kept.key);
        }
    }
    refusals->remove(gone);
}
