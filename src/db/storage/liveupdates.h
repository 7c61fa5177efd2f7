#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QSqlDriver>

class Database;
class QTimer;
struct RowChange;

// Keeps a workstation's patients in step with the other workstations of a
// shared server. Every change this one commits is announced on the server's
// channel from inside its write, so it is heard exactly when it lands; every
// change another announces is read row by row and shown in the objects the
// views hold: new patients join the list, changed ones show their values,
// removed ones leave, and so do the records of patients whose records are on
// show. Nothing is read anew as a whole, except after the connection was lost
// (announcements made meanwhile are gone).
//
// PatientDatabase makes one when its backend has a channel; it lives as its child.
class LiveUpdates : public QObject
{
    Q_OBJECT
public:
    explicit LiveUpdates(Database *database);

    bool isListening() const { return listening; }

signals:
    // Changes announced by other workstations have been shown.
    void changesShown();
    // Another workstation changed this row; for those who keep rows of
    // tables the list does not show.
    void announced(const QString &table, int rowId);

private:
    static QString payloadOf(const RowChange &change);
    void listen();
    void hear(const QString &name, QSqlDriver::NotificationSource source, const QVariant &payload);
    void showPending();
    void followPatient(int autoId);
    void followRecord(int recordId);
    void checkConnection();

    Database *database;
    bool listening = false;
    bool everListened = false;
    QSet<int> pendingPatients;
    QSet<int> pendingRecords;
    bool pendingAll = false;
    QTimer *showTimer;
    QTimer *connectionTimer;
    int retryInMs = 0;
    QElapsedTimer sinceAttempt;
};
