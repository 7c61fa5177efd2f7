#pragma once

#include "db/storage/databaselocation.h"

#include <QString>

namespace kestatest
{

// A private PostgreSQL server for one test program, never a system one: made
// with initdb in a temporary folder, listening on 127.0.0.1 on a free port
// with trust authentication. Started at the first call and stopped, its folder
// removed, when the program ends; a watcher process does the same should the
// program crash or be killed. PostgreSQL refuses to run as root, so under root
// the server runs as the postgres user.
class TestServer
{
public:
    // The program's server, started now if need be; null when it cannot run
    // (the reason is in startError).
    static TestServer *instance();
    static QString startError();

    // A new, empty database on the server under a name not used before.
    DatabaseLocation createDatabase(const QString &prefix = QStringLiteral("kesta"));
    // A role that signs in with this password (scram-sha-256) over TCP,
    // allowed everything, as a clinic's server asks of its workstations.
    bool requirePassword(const QString &user, const QString &password);
    // The server stops (its connections end) and starts again on the same port.
    bool stop();
    bool start();
    int port() const { return serverPort; }

    ~TestServer();

private:
    TestServer() = default;
    bool make(QString *reason);
    bool execute(const QString &sql);
    bool run(const QStringList &command, QString *reason = nullptr) const;
    QStringList asServerUser(const QString &tool, const QStringList &arguments) const;

    QString folder;
    int serverPort = 0;
    bool running = false;
};

} // namespace kestatest
