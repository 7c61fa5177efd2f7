#include "db/storage/changelistener.h"

#include <QDebug>
#include <QSocketNotifier>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QTimer>
#include <QVariant>
#include <libpq-fe.h>

namespace
{

// How often a quiet session is asked whether it still answers: a network that
// swallows the traffic would otherwise swallow announcements unnoticed.
constexpr int ProbeIntervalMs = 1000;

QString quoted(QString value)
{
    value.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    value.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

} // namespace

ChangeListener::ChangeListener(const QString &channel, int timeoutSeconds)
    : channel(channel)
    , timeoutMs(qMax(2, timeoutSeconds) * 1000)
    , probeTimer(new QTimer(this))
    , deadline(new QTimer(this))
{
    probeTimer->setInterval(ProbeIntervalMs);
    connect(probeTimer, &QTimer::timeout, this, [this] {
        if (server && !awaiting)
            send("SELECT 1");
    });
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this] { drop(QStringLiteral("no answer within %1 ms").arg(timeoutMs)); });
}

ChangeListener::~ChangeListener()
{
    if (server)
        PQfinish(server);
}

QString ChangeListener::connectionString(const QSqlDatabase &connection)
{
    QStringList parts;
    const auto add = [&parts](const char *key, const QString &value) {
        if (!value.isEmpty())
            parts << QLatin1String(key) + QLatin1Char('=') + quoted(value);
    };
    add("host", connection.hostName());
    add("dbname", connection.databaseName());
    add("user", connection.userName());
    add("password", connection.password());
    if (connection.port() > 0)
        add("port", QString::number(connection.port()));
    // Written as the driver of the window's connection reads them.
    QString options = connection.connectOptions();
    parts << options.replace(QLatin1Char(';'), QLatin1Char(' '));
    return parts.join(QLatin1Char(' '));
}

int ChangeListener::sessionOf(const QSqlDatabase &connection)
{
    if (!connection.isOpen() || !connection.driver())
        return 0;
    const QVariant handle = connection.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "PGconn*") != 0)
        return 0;
    PGconn *session = *static_cast<PGconn *const *>(handle.data());
    return session && PQstatus(session) == CONNECTION_OK ? PQbackendPID(session) : 0;
}

void ChangeListener::listenOn(const QString &connectionString)
{
    if (server)
        return;
    // Bounded by the connect_timeout the options carry.
    server = PQconnectdb(connectionString.toUtf8().constData());
    if (PQstatus(server) != CONNECTION_OK || PQsetnonblocking(server, 1) != 0) {
        drop(QString::fromUtf8(PQerrorMessage(server)).trimmed());
        return;
    }
    notifier = new QSocketNotifier(PQsocket(server), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &ChangeListener::readServer);
    const QByteArray name = channel.toUtf8();
    char *identifier = PQescapeIdentifier(server, name.constData(), size_t(name.size()));
    const QByteArray statement = "LISTEN " + QByteArray(identifier);
    PQfreemem(identifier);
    probeTimer->start();
    send(statement.constData());
}

void ChangeListener::send(const char *statement)
{
    if (!PQsendQuery(server, statement)) {
        drop(QString::fromUtf8(PQerrorMessage(server)).trimmed());
        return;
    }
    awaiting = true;
    deadline->start(timeoutMs);
    // A statement this short leaves in one piece; the rest would follow at the next read.
    PQflush(server);
}

void ChangeListener::readServer()
{
    if (!server)
        return;
    if (!PQconsumeInput(server)) {
        drop(QString::fromUtf8(PQerrorMessage(server)).trimmed());
        return;
    }
    while (awaiting && !PQisBusy(server)) {
        PGresult *result = PQgetResult(server);
        if (!result) {
            awaiting = false;
            deadline->stop();
            if (!subscribed) {
                subscribed = true;
                emit listening(true);
            }
            break;
        }
        const ExecStatusType status = PQresultStatus(result);
        const QString error = QString::fromUtf8(PQresultErrorMessage(result)).trimmed();
        PQclear(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            drop(error);
            return;
        }
    }
    const QByteArray name = channel.toUtf8();
    while (PGnotify *notice = PQnotifies(server)) {
        if (name == notice->relname)
            emit heard(QString::fromUtf8(notice->extra), notice->be_pid);
        PQfreemem(notice);
    }
    if (PQstatus(server) == CONNECTION_BAD)
        drop(QString::fromUtf8(PQerrorMessage(server)).trimmed());
}

void ChangeListener::drop(const QString &why)
{
    qDebug() << "NOT LISTENING" << why;
    delete notifier;
    notifier = nullptr;
    if (server)
        PQfinish(server);
    server = nullptr;
    awaiting = false;
    subscribed = false;
    deadline->stop();
    probeTimer->stop();
    emit listening(false);
}
