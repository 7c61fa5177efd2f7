#pragma once

#include "db/recordings/unregisteredrecordings.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>

class Database;
class Patient;

// The one way a recording becomes a record: reported by the recorder, found in a patient's
// folder, or registered again from the refused ones. Whatever is refused goes to
// UnregisteredRecordings, which keeps it until the user has seen it.
//
// A comment longer than the records' Comments column is stored as far as it fits, and the
// rest is kept with the recording to be told: the record is never lost over its comment,
// and the column keeps the width the recorder's own database has.
class RecordingRegistration : public QObject
{
    Q_OBJECT
public:
    struct Recording {
        // Relative to the patient's folder, with backslashes.
        QString fileName;
        QString type;
        QDateTime date;
        QString comment;
    };
    // What became of a registration: its record, or its entry among the refused.
    struct Outcome {
        int recordId = 0;
        int refusalKey = 0;
    };

    // Refusals go to `refused`, which may be null (then they are only logged). Entries of
    // `refused` whose files are gone are dropped here, at start.
    RecordingRegistration(Database *database, UnregisteredRecordings *refused, QObject *parent = nullptr);

    Database *database() const;
    UnregisteredRecordings *refused() const;

    // Registers the recording of the patient with its comment.
    Outcome add(Patient *patient, const Recording &recording);
    // Keeps a recording that is not to be registered, for `reason`; `retriable` when its file
    // lies in the patient's folder and it may be registered later.
    Outcome refuse(Patient *patient, const Recording &recording, const QString &reason, bool retriable);
    // The comment of an earlier outcome, replacing the one it had.
    void setComment(const Outcome &outcome, const QString &comment);
    // Registers every kept recording whose patient exists and whose file is still there; those
    // whose file is gone are dropped, the others stay with the new reason. Returns how many
    // were registered.
    int registerKept();
    // Asks whether the kept registrations whose commit went unanswered
    // landed: those that did are dropped from the kept ones (never stored a
    // second time), those that did not can be tried again. How many had landed.
    int settleUnknown();

    // How many characters of a comment the records' Comments column takes.
    static int commentLimit();

private:
    // Whether the patient has a record of the kept recording's file already:
    // one that landed though its answer was lost must not be stored twice.
    bool alreadyStored(const UnregisteredRecordings::Recording &kept) const;
    // Inserts the record with what fits of its comment and keeps the rest to be told.
    Outcome insert(Patient *patient, const Recording &recording, QString *reason);
    // Stores what fits of the comment in the record; the rest, or all of it when the write is
    // refused, is kept to be told.
    void storeComment(int recordId, const QString &comment);
    static QString cutReason();
    void dropGone();
    UnregisteredRecordings::Recording entry(Patient *patient, const Recording &recording) const;

    QPointer<Database> db;
    QPointer<UnregisteredRecordings> refusals;
};
