#pragma once

#include <QObject>
#include <QPointer>

class Database;
class RecordingRegistration;

// Writes whose COMMIT went unanswered and whose outcome the new connection
// could not learn either: a rename's folder and note, a removal's files in
// the trash, a kept registration. Settled each time the connection to the
// server comes back, as at start, without waiting for the next start.
class UnsettledWrites : public QObject
{
    Q_OBJECT
public:
    // Follows the database's reconnects; the registration's kept recordings
    // are settled with the rest (it may be null).
    UnsettledWrites(Database *database, RecordingRegistration *registration, QObject *parent = nullptr);

    // Brings folders, trash and kept registrations into agreement with what
    // the database holds.
    void settle();

private:
    QPointer<Database> database;
    QPointer<RecordingRegistration> registration;
};
