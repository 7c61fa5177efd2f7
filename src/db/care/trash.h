#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class Database;
class QJsonObject;
class Patient;
class Record;

// Removed patients and records wait in the trash until they are restored or
// removed for good: their rows in the table Removals, their recordings in a
// folder of their own under "<data>/Trash/" (TrashFolder).
//
// A removal takes the write lock, moves the recordings into the trash, deletes
// the rows and notes the removal, then commits; when any step fails the files
// go back and nothing has changed. Rows are written through the database's
// write path only, so the history follows every removal, restore and purge.
class Trash
{
    Q_DECLARE_TR_FUNCTIONS(Trash)
public:
    struct Removal {
        int id = 0;
        // UTC.
        QDateTime removedAt;
        QString workstation;
        QString user;
        // A patient with its records, or one record.
        bool wholePatient = false;
        QString description;
        int patientRef = 0;
        QString patientId;
        QString folderName;
        QString trashFolder;
        qint64 size = 0;
        bool restored = false;
    };

    explicit Trash(Database *database);

    // Moves the patient's records (unless another patient shares its
    // PatientID, which Database::patientIdShared tells before; those stay
    // with their files) and row to the trash, their recordings with them, in
    // one write, and reads the patient list again in either case. False with
    // the reason, nothing changed; *filesLeft then names recordings that
    // could not be put back.
    bool removePatient(Patient *patient, QString *reason = nullptr, QStringList *filesLeft = nullptr);
    // The same for one record; the owner's records are read again. Without an
    // owner only the row goes.
    bool removeRecord(
        Patient *owner, Record *record, QString *reason = nullptr, QStringList *filesLeft = nullptr);

    // Removals not restored, newest first.
    QList<Removal> removals(QString *reason = nullptr);
    // Puts the rows back with their ids and the recordings in their places.
    // Refused, nothing changed, when an id, the patient's ID or a place has
    // been taken since, or the patient of a record is gone.
    bool restore(int removalId, QString *reason = nullptr);
    // Removes a removal for good: its row now; its folder is handed to the
    // caller in *folderToDelete (for deleteFolder, on any thread), or deleted
    // now without one.
    bool purge(int removalId, QString *reason = nullptr, QString *folderToDelete = nullptr);
    // Removals noted more than `days` days before the clock's now, restored
    // ones too.
    QList<int> expired(int days);
    static bool deleteFolder(const QString &path);
    // What a removal or purge cut off halfway left in the trash: recordings
    // whose removal never committed go back to their places, purges are
    // finished. Folders younger than a few minutes are left alone (another
    // workstation may be at work on them). What was done, one line each.
    // With unansweredOnly, only removals whose commit went unanswered are
    // settled (after the connection came back, while other work goes on).
    QStringList recoverUnfinished(bool unansweredOnly = false);

private:
    struct Subject;
    struct Plan;
    bool remove(const Subject &subject, QString *reason, QStringList *filesLeft);
    // Which recordings go where: each one's own folder, or the file alone where others share it.
    bool planMoves(const Subject &subject, Plan *plan, QString *reason);
    // The rows that go, as stored, read inside the write.
    bool readGoingRows(const Subject &subject, Plan *plan, QString *reason);
    // Deletes the rows and notes the removal, inside the write.
    bool deleteAndNote(const Subject &subject, const Plan &plan, QString *reason);
    bool readRow(const QString &table, const QString &idColumn, int id, QVariantMap *row, QString *reason);
    bool readRemoval(int removalId, QVariantMap *row, QString *reason);
    bool checkRestorable(const QVariantMap &removal, const QJsonObject &rows, QString *reason);
    bool idTaken(const QString &table, const QString &idColumn, int id, bool *taken, QString *reason);

    Database *database;
};
