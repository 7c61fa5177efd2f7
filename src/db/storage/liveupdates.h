#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QThread>
#include <QVector>

class ChangeListener;
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
// Announcements are heard on a session of their own, on a thread of their
// own, which also opens it again when it is lost: the window never waits for
// a server that does not answer it.
//
// PatientDatabase makes one when its backend has a channel; it lives as its child.
class LiveUpdates : public QObject
{
    Q_OBJECT
public:
    explicit LiveUpdates(Database *database);
    ~LiveUpdates() override;

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
    void heardListening(bool on);
    void showPending();
    void followPatient(int autoId);
    void followRecord(int recordId);
    void checkConnection();

    Database *database;
    QThread thread;
    ChangeListener *listener;
    bool listening = false;
    bool everListened = false;
    bool asking = false;
    bool connectionWasOpen = false;
    // Announcements and the sessions that made them, until shown.
    QVector<QPair<QString, int>> heard;
    QSet<int> pendingPatients;
    QSet<int> pendingRecords;
    bool pendingAll = false;
    QTimer *showTimer;
    QTimer *connectionTimer;
    int retryInMs = 0;
    QElapsedTimer sinceAttempt;
};
