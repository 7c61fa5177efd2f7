#pragma once

#include <QObject>

class QSocketNotifier;
class QSqlDatabase;
class QTimer;
struct pg_conn;

// Hears a server's announcements on a connection of its own, on the thread
// it is moved to: a server that stops answering holds that thread, never the
// window's. Every wait is bounded: the open by the connection's own timeout,
// the subscription and a probe sent every second by the deadline given, after
// which the connection is dropped and `listening(false)` tells the owner to
// ask again.
class ChangeListener : public QObject
{
    Q_OBJECT
public:
    ChangeListener(const QString &channel, int timeoutSeconds);
    ~ChangeListener() override;

    // What opens another session to the server of an open connection, with
    // its options (timeouts) and password.
    static QString connectionString(const QSqlDatabase &connection);
    // The server's number of the session of an open connection; 0 without one.
    static int sessionOf(const QSqlDatabase &connection);

    // Opens a session and subscribes; answered by listening(), true once
    // subscribed. Nothing is done while a session is open.
    void listenOn(const QString &connectionString);

signals:
    // Subscribed (true), or the attempt failed or the session was lost (false).
    void listening(bool on);
    // An announcement and the session that made it.
    void heard(const QString &payload, int session);

private:
    void send(const char *statement);
    void readServer();
    void drop(const QString &why);

    QString channel;
    int timeoutMs;
    pg_conn *server = nullptr;
    QSocketNotifier *notifier = nullptr;
    QTimer *probeTimer;
    QTimer *deadline;
    bool subscribed = false;
    bool awaiting = false;
};
