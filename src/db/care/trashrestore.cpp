// Restoring removals, purging them, and putting right what was cut off halfway.

#include "db/storage/database.h"
#include "db/storage/databasesupport.h"
#include "db/storage/patientstore.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/care/trash.h"
#include "db/care/trashfolder.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/fileutilities.h"
#include "toolkit/util/workstation.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <cmath>

using namespace DatabaseSupport;

namespace
{

// A folder this young may belong to a removal still at work on another workstation.
constexpr qint64 UnfinishedAfterSecs = 10 * 60;

// A stored value back from JSON: numbers stay numbers (whole ones integers),
// texts texts, null NULL.
QVariant fromJson(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool();
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (std::floor(number) == number && std::fabs(number) < 9.0e15)
            return qlonglong(number);
        return number;
    }
    case QJsonValue::String:
        return value.toString();
    default:
        return QVariant(QVariant::String);
    }
}
QVariantMap rowFromJson(const QJsonObject &object)
{
    QVariantMap row;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it)
        row.insert(it.key(), fromJson(it.value()));
    return row;
}
// What the history keeps of a removal: all but the rows and moves, which the
// history holds already as the rows' own changes.
QVariantMap summary(QVariantMap removal)
{
    removal.remove(QStringLiteral("RowsData"));
    removal.remove(QStringLiteral("FilesData"));
    return removal;
}

} // namespace

bool Trash::readRemoval(int removalId, QVariantMap *row, QString *reason)
{
    if (!readRow(removalsTable, removalIdColumn, removalId, row, reason))
        return false;
    if (!row->value(QStringLiteral("RestoredAt")).isNull()) {
        *reason = tr("It has been restored already");
        return false;
    }
    return true;
}

bool Trash::idTaken(const QString &table, const QString &idColumn, int id, bool *taken, QString *reason)
{
    QSqlQuery query(database->database());
    if (!database->execBound(query,
            QStringLiteral("SELECT count(*) FROM ") + table + QStringLiteral(" WHERE ") + idColumn
                + QStringLiteral("=?"),
            { id })
        || !query.next()) {
        *reason = reasonOf(query.lastError());
        return false;
    }
    *taken = query.value(0).toInt() > 0;
    return true;
}

bool Trash::checkRestorable(const QVariantMap &removal, const QJsonObject &rows, QString *reason)
{
    const QString patientId = removal.value(QStringLiteral("PatientID")).toString();
    const bool wholePatient = removal.value(QStringLiteral("Kind")).toString() == QLatin1String("Patient");
    bool taken = false;
    for (const QJsonValue &value : rows.value(patientsTable).toArray()) {
        const int id = value.toObject().value(patientIdColumn).toInt();
        if (!idTaken(patientsTable, patientIdColumn, id, &taken, reason))
            return false;
        if (taken) {
            *reason = tr("Its number %1 has been given to another patient since.").arg(id);
            return false;
        }
    }
    // The rule of every ID stored: none that is one with another patient's.
    bool idGiven = false;
    if (wholePatient && !PatientStore(database).idFree(patientId, 0, reason, &idGiven)) {
        if (idGiven)
            *reason = tr("The ID '%1' has been given to another patient since.").arg(patientId);
        return false;
    }
    QSqlQuery query(database->database());
    if (!database->execBound(
            query, QStringLiteral("SELECT count(*) FROM Patients WHERE PatientID=?"), { patientId })
        || !query.next()) {
        *reason = reasonOf(query.lastError());
        return false;
    }
    const bool idInUse = query.value(0).toInt() > 0;
    if (!wholePatient && !idInUse && !removal.value(QStringLiteral("FolderName")).toString().isEmpty()) {
        *reason = tr("The patient with the ID '%1' is no longer there: restore the patient first.")
                      .arg(patientId);
        return false;
    }
    for (const QJsonValue &value : rows.value(recordsTable).toArray()) {
        const int id = value.toObject().value(recordIdColumn).toInt();
        if (!idTaken(recordsTable, recordIdColumn, id, &taken, reason))
            return false;
        if (taken) {
            *reason = tr("Its record number %1 has been taken by another record since.").arg(id);
            return false;
        }
    }
    const QString folderName = removal.value(QStringLiteral("FolderName")).toString();
    if (wholePatient) {
        for (Patient *patient : database->patients()) {
            if (patient->folderName() == folderName) {
                *reason = tr("The folder '%1' belongs to another patient since: %2.")
                              .arg(folderName, patient->fullName(true));
                return false;
            }
        }
    }
    return true;
}

bool Trash::restore(int removalId, QString *reason)
{
    QString why;
    const auto fail = [&](const QString &text) {
        if (reason)
            *reason = text;
        return false;
    };
    Database::Transaction write(database, true);
    if (!write.isOpen()) {
        write.commit(&why);
        return fail(why);
    }
    QVariantMap removal;
    if (!readRemoval(removalId, &removal, &why))
        return fail(why);
    const QJsonObject rowsData
        = QJsonDocument::fromJson(removal.value(QStringLiteral("RowsData")).toString().toUtf8()).object();
    QList<TrashFolder::Move> moves;
    if (!TrashFolder::fromJson(
            QJsonDocument::fromJson(removal.value(QStringLiteral("FilesData")).toString().toUtf8()).array(),
            &moves))
        return fail(tr("The removal's note of its files cannot be read"));
    if (!checkRestorable(removal, rowsData, &why))
        return fail(why);
    for (const TrashFolder::Move &move : qAsConst(moves)) {
        const QFileInfo place(TrashFolder::absoluteFrom(move));
        if (place.exists() || place.isSymLink())
            return fail(tr("Its place is taken since") + QStringLiteral(":\n")
                + QDir::toNativeSeparators(place.filePath()));
    }
    const QString trashFolder = removal.value(QStringLiteral("TrashFolder")).toString();
    if (!DataLocations::isPlainFolderName(trashFolder) || !TrashFolder::moveOut(trashFolder, moves, &why))
        return fail(tr("The recordings cannot be put back") + QStringLiteral(":\n") + why);

    bool ok = true;
    for (const QString &table : { patientsTable, recordsTable }) {
        const QString idColumn = table == patientsTable ? patientIdColumn : recordIdColumn;
        for (const QJsonValue &value : rowsData.value(table).toArray())
            ok = ok && database->insertValues(table, idColumn, rowFromJson(value.toObject()), &why);
    }
    ok = ok
        && database->updateValue(removalsTable, removalIdColumn, removalId, QStringLiteral("RestoredAt"),
            QVariant(QVariant::String), Workstation::nowText(), &why);
    ok = write.commit(&why) && ok;
    if (!ok) {
        TrashFolder::undo(trashFolder, moves, false);
        return fail(why);
    }
    TrashFolder::tidy(trashFolder);
    if (removal.value(QStringLiteral("Kind")).toString() == QLatin1String("Patient")) {
        database->reloadPatients();
    } else if (Patient *owner
        = database->patientByPatientId(removal.value(QStringLiteral("PatientID")).toString())) {
        if (owner->recordsAreRead())
            owner->loadRecords();
    }
    return true;
}

bool Trash::purge(int removalId, QString *reason, QString *folderToDelete)
{
    QVariantMap removal;
    QString why;
    if (!readRow(removalsTable, removalIdColumn, removalId, &removal, &why)) {
        if (reason)
            *reason = why;
        return false;
    }
    const QString name = removal.value(QStringLiteral("TrashFolder")).toString();
    const bool plain = DataLocations::isPlainFolderName(name);
    const QString folder = TrashFolder::root() + name;
    const QString purging = TrashFolder::root() + TrashFolder::purgingPrefix() + name;
    // Marked first: a purge cut off before its commit is undone at the next
    // start, one cut off after it finished.
    const bool marked = plain && QFileInfo::exists(folder) && FileUtilities::moveEntry(folder, purging);
    if (!database->deleteValues(removalsTable, removalIdColumn, removalId, summary(removal), &why)) {
        if (marked)
            FileUtilities::moveEntry(purging, folder);
        if (reason)
            *reason = why;
        return false;
    }
    if (marked) {
        if (folderToDelete)
            *folderToDelete = purging;
        else
            deleteFolder(purging);
    }
    return true;
}

QList<int> Trash::expired(int days)
{
    QList<int> ids;
    const QString before = Clock::now().toUTC().addDays(-days).toString(Qt::ISODateWithMs);
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->execBound(
            query, QStringLiteral("SELECT RemovalID FROM Removals WHERE RemovedAt < ?"), { before }))
        return ids;
    while (query.next())
        ids.append(query.value(0).toInt());
    return ids;
}

bool Trash::deleteFolder(const QString &path)
{
    const bool deleted = QDir(path).removeRecursively();
    if (!deleted)
        qWarning() << "Trash folder not deleted:" << path;
    return deleted;
}

QStringList Trash::recoverUnfinished(bool unansweredOnly)
{
    QStringList done;
    const QStringList folders
        = QDir(TrashFolder::root()).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    if (folders.isEmpty())
        return done;
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->exec(query, QStringLiteral("SELECT TrashFolder FROM Removals")))
        return done;
    QSet<QString> known;
    while (query.next())
        known.insert(query.value(0).toString());
    const QDateTime settled = Clock::now().addSecs(-UnfinishedAfterSecs);
    for (const QString &name : folders) {
        const QString path = TrashFolder::root() + name;
        if (name.startsWith(TrashFolder::purgingPrefix()) && !unansweredOnly) {
            const QString original = name.mid(TrashFolder::purgingPrefix().size());
            if (known.contains(original) ? FileUtilities::moveEntry(path, TrashFolder::root() + original)
                                         : deleteFolder(path))
                done << QStringLiteral("Purge of %1 %2")
                            .arg(original, known.contains(original) ? "undone" : "finished");
            continue;
        }
        const QFileInfo note(path + QLatin1Char('/') + TrashFolder::noteName());
        if (!note.exists() || (known.contains(name) && !unansweredOnly))
            continue;
        // A removal whose commit went unanswered is settled by its id, at any age.
        const QString operation = TrashFolder::operationOf(name);
        if (operation.isEmpty() && unansweredOnly)
            continue;
        if (known.contains(name)) {
            TrashFolder::noteOperation(name, QString());
            done << QStringLiteral("Removal %1 had landed").arg(name);
            continue;
        }
        if (operation.isEmpty() ? note.lastModified() > settled
                                : database->outcomeOf(operation) != Database::Outcome::NotCommitted)
            continue;
        if (!operation.isEmpty())
            TrashFolder::noteOperation(name, QString());
        const QList<TrashFolder::Move> moves = TrashFolder::readNote(name);
        QStringList stuck;
        for (const TrashFolder::Move &move : moves) {
            const QString inTrash = TrashFolder::absoluteTo(name, move);
            if ((QFileInfo::exists(inTrash) || QFileInfo(inTrash).isSymLink())
                && !FileUtilities::moveEntry(inTrash, TrashFolder::absoluteFrom(move)))
                stuck << move.from;
        }
        if (stuck.isEmpty())
            TrashFolder::tidy(name);
        done << (stuck.isEmpty() ? QStringLiteral("Unfinished removal %1 put back").arg(name)
                                 : QStringLiteral("Unfinished removal %1 left in the trash: %2 taken")
                                       .arg(name, stuck.join(QStringLiteral(", "))));
    }
    for (const QString &line : qAsConst(done))
        qWarning().noquote() << line;
    return done;
}
