#include "app/singleinstance.h"

#include "db/model/datalocations.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>
#include <QWidget>

namespace
{

const QByteArray ShowRequest = "show\n";
const QByteArray ShownReply = "shown\n";
const QByteArray BusyReply = "busy\n";

} // namespace

SingleInstance::SingleInstance(const QString &key, QObject *parent)
    : QObject(parent)
    , key(key)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultKey()
{
    const QByteArray place = (QDir::homePath() + QLatin1Char('\n') + DataLocations::dataFolder()).toUtf8();
    return QStringLiteral("kesta-")
        + QString::fromLatin1(QCryptographicHash::hash(place, QCryptographicHash::Sha1).toHex().left(16));
}

SingleInstance::Answer SingleInstance::askRunningCopy(int timeoutMs)
{
    QLocalSocket socket;
    QEventLoop wait;
    QByteArray reply;
    // Events run meanwhile, so that a copy in this very process (a test) can answer.
    connect(&socket, &QLocalSocket::connected, &wait, [&] { socket.write(ShowRequest); });
    connect(&socket, &QLocalSocket::readyRead, &wait, [&] {
        reply += socket.readAll();
        if (reply.endsWith('\n'))
            wait.quit();
    });
    connect(&socket, &QLocalSocket::disconnected, &wait, &QEventLoop::quit);
    connect(&socket, &QLocalSocket::errorOccurred, &wait, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &wait, &QEventLoop::quit);
    socket.connectToServer(key);
    if (socket.state() != QLocalSocket::UnconnectedState)
        wait.exec();
    if (reply == ShownReply)
        return Answer::Shown;
    if (reply == BusyReply)
        return Answer::Busy;
    return Answer::None;
}

bool SingleInstance::listen()
{
    if (server)
        return server->isListening();
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, &SingleInstance::answer);
    if (server->listen(key))
        return true;
    // No copy answered before this one started, so what holds the name is left over.
    QLocalServer::removeServer(key);
    return server->listen(key);
}

void SingleInstance::setWindow(QWidget *window)
{
    this->window = window;
}

void SingleInstance::answer()
{
    while (QLocalSocket *copy = server->nextPendingConnection()) {
        connect(copy, &QLocalSocket::disconnected, copy, &QObject::deleteLater);
        connect(copy, &QLocalSocket::readyRead, copy, [this, copy] {
            if (!copy->canReadLine())
                return;
            copy->readAll();
            const bool shown = window && window->isVisible();
            if (shown) {
                window->setWindowState((window->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
                window->raise();
                window->activateWindow();
            }
            copy->write(shown ? ShownReply : BusyReply);
            copy->disconnectFromServer();
        });
    }
}
