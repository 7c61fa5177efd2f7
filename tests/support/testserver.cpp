#include "support/testserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace kestatest
{

namespace
{

    const QString binaries = QStringLiteral("/usr/lib/postgresql/15/bin/");
    const QString serverUser = QStringLiteral("kesta");

    std::unique_ptr<TestServer> server;
    QString error;
    bool tried = false;

    bool asRoot()
    {
        return geteuid() == 0;
    }

    int freePort()
    {
        QTcpServer probe;
        return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
    }

    QString quoted(const QStringList &command)
    {
        QStringList words;
        for (const QString &word : command)
            words << "'" + QString(word).replace("'", "'\\''") + "'";
        return words.join(' ');
    }

} // namespace

TestServer *TestServer::instance()
{
    if (!tried) {
        tried = true;
        std::unique_ptr<TestServer> made(new TestServer);
        if (made->make(&error))
            server = std::move(made);
        // While the application still lives, which running the server's tools needs.
        qAddPostRoutine([] { server.reset(); });
    }
    return server.get();
}

QString TestServer::startError()
{
    return error;
}

QStringList TestServer::asServerUser(const QString &tool, const QStringList &arguments) const
{
    QStringList command { binaries + tool };
    command << arguments;
    if (asRoot())
        command = QStringList {
            QStringLiteral("runuser"), QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--")
        } + command;
    return command;
}

bool TestServer::run(const QStringList &command, QString *reason) const
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(command.first(), command.mid(1));
    const bool ran = process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
    if (!ran && reason)
        *reason = command.join(' ') + ": " + process.errorString() + "\n"
            + QString::fromLocal8Bit(process.readAll());
    return ran;
}

bool TestServer::make(QString *reason)
{
    // Outside the test's temporary home, which only its owner may enter.
    QByteArray pattern = QDir::tempPath().toLocal8Bit() + "/kesta-pg-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        *reason = "no temporary folder";
        return false;
    }
    folder = QString::fromLocal8Bit(pattern);
    if (asRoot()) {
        const passwd *postgres = getpwnam("postgres");
        if (!postgres || chown(pattern.constData(), postgres->pw_uid, postgres->pw_gid) != 0) {
            *reason = "the folder cannot be given to the postgres user";
            return false;
        }
    }
    // Whatever becomes of this program, the server stops and the folder goes.
    const QString stopCommand
        = quoted(asServerUser("pg_ctl", { "-D", folder + "/data", "-m", "immediate", "-w", "stop" }));
    QProcess::startDetached(QStringLiteral("/bin/sh"),
        { "-c",
            QStringLiteral("while kill -0 %1 2>/dev/null; do sleep 1; done; %2 >/dev/null 2>&1; rm -rf '%3'")
                .arg(getpid())
                .arg(stopCommand, folder) });
    if (!run(asServerUser("initdb",
                 { "-D", folder + "/data", "-A", "trust", "-U", serverUser, "-E", "UTF8", "--locale=C",
                     "--no-sync" }),
            reason))
        return false;
    for (int attempt = 0; attempt < 5 && !running; ++attempt) {
        serverPort = freePort();
        running = start();
    }
    if (!running)
        *reason = "the server did not start: " + folder + "/log";
    return running;
}

bool TestServer::start()
{
    const QString options = QStringLiteral("-k %1 -c listen_addresses=127.0.0.1 -p %2 -c fsync=off")
                                .arg(folder)
                                .arg(serverPort);
    running = run(asServerUser(
        "pg_ctl", { "-D", folder + "/data", "-o", options, "-l", folder + "/log", "-w", "start" }));
    return running;
}

bool TestServer::stop()
{
    running = !run(asServerUser("pg_ctl", { "-D", folder + "/data", "-m", "fast", "-w", "stop" }));
    return !running;
}

TestServer::~TestServer()
{
    if (running)
        stop();
    QDir(folder).removeRecursively();
}

bool TestServer::requirePassword(const QString &user, const QString &password)
{
    QFile rules(folder + "/data/pg_hba.conf");
    if (!rules.open(QIODevice::ReadWrite))
        return false;
    const QByteArray trusting = rules.readAll();
    rules.resize(0);
    rules.write(QStringLiteral("host all %1 127.0.0.1/32 scram-sha-256\n").arg(user).toUtf8() + trusting);
    rules.close();
    return execute(QStringLiteral("CREATE ROLE %1 LOGIN SUPERUSER PASSWORD '%2'").arg(user, password))
        && run(asServerUser("pg_ctl", { "-D", folder + "/data", "reload" }));
}

bool TestServer::execute(const QString &sql)
{
    const QString name = QStringLiteral("kesta-test-server");
    bool done = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(QStringLiteral("127.0.0.1"));
        db.setPort(serverPort);
        db.setUserName(serverUser);
        db.setDatabaseName(QStringLiteral("postgres"));
        QSqlQuery query(db);
        done = db.open() && query.exec(sql);
        if (!done)
            qWarning() << "Not done on the test server:" << sql << db.lastError().text()
                       << query.lastError().text();
    }
    QSqlDatabase::removeDatabase(name);
    return done;
}

DatabaseLocation TestServer::createDatabase(const QString &prefix)
{
    static int made = 0;
    DatabaseLocation location;
    location.backend = DatabaseLocation::Backend::Postgres;
    location.host = QStringLiteral("127.0.0.1");
    location.port = serverPort;
    location.user = serverUser;
    location.tlsMode = QStringLiteral("disable");
    location.databaseName = prefix.toLower() + QString::number(++made);
    execute("CREATE DATABASE " + location.databaseName);
    return location;
}

} // namespace kestatest
