#include "support/tcprelay.h"

#include <QHostAddress>
#include <QMetaObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

namespace kestatest
{

TcpRelay::TcpRelay(int serverPort)
    : serverPort(serverPort)
{
    thread.start();
    moveToThread(&thread);
    QMetaObject::invokeMethod(
        this,
        [this] {
            listener = new QTcpServer(this);
            if (listener->listen(QHostAddress::LocalHost))
                listenPort = listener->serverPort();
            connect(listener, &QTcpServer::newConnection, this, &TcpRelay::accept);
        },
        Qt::BlockingQueuedConnection);
}

TcpRelay::~TcpRelay()
{
    QMetaObject::invokeMethod(
        this, [this] { delete listener; }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
}

void TcpRelay::closeConnections()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            for (QTcpSocket *socket : listener->findChildren<QTcpSocket *>())
                socket->abort();
        },
        Qt::BlockingQueuedConnection);
}

void TcpRelay::blackHoleAt(const QByteArray &text)
{
    QMetaObject::invokeMethod(
        this, [this, text] { holeAt = text; }, Qt::BlockingQueuedConnection);
}

void TcpRelay::accept()
{
    while (QTcpSocket *client = listener->nextPendingConnection()) {
        auto *server = new QTcpSocket(listener);
        client->setParent(listener);
        const auto repliesLost = std::make_shared<bool>(false);
        const auto forward = [this, repliesLost](QTcpSocket *from, QTcpSocket *to, bool reply) {
            const QByteArray data = from->readAll();
            if (!reply && !holeAt.isEmpty() && data.contains(holeAt)) {
                holeAt.clear();
                current = Mode::BlackHole;
            }
            Mode mode = current;
            const bool losing = mode == Mode::LoseCommitReply || mode == Mode::LoseCommitAndServer;
            if (losing && !reply && data.contains(QByteArray("COMMIT\0", 7))) {
                *repliesLost = true;
                current = mode == Mode::LoseCommitReply ? Mode::Pass : Mode::BlackHole;
                mode = Mode::Pass;
            }
            if (reply && *repliesLost)
                return;
            if (mode == Mode::Pass || mode == Mode::LoseCommitReply || mode == Mode::LoseCommitAndServer
                || (mode == Mode::DropReplies && !reply)) {
                to->write(data);
                to->flush();
            }
        };
        connect(client, &QTcpSocket::readyRead, server, [=] { forward(client, server, false); });
        connect(server, &QTcpSocket::readyRead, client, [=] { forward(server, client, true); });
        // Either end gone: the other goes too, as a connection through a network would.
        connect(client, &QTcpSocket::disconnected, server, [server] { server->disconnectFromHost(); });
        connect(server, &QTcpSocket::disconnected, client, [client] { client->disconnectFromHost(); });
        connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
        connect(server, &QTcpSocket::disconnected, server, &QObject::deleteLater);
        // On loopback at once; what the client sends first goes straight on.
        server->connectToHost(QHostAddress::LocalHost, quint16(serverPort));
        server->waitForConnected(5000);
    }
}

} // namespace kestatest
