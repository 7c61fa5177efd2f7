#pragma once

#include <QObject>
#include <QThread>
#include <atomic>

class QTcpServer;

namespace kestatest
{

// A relay on 127.0.0.1 between a program and a server, on a thread of its
// own so that it goes on while the program's thread waits. What it does with
// the traffic can be changed at any time: pass it, swallow it (a lost network
// that never says so), swallow only the server's answers (a request that
// arrives and whose reply is lost), or close every connection.
class TcpRelay : public QObject
{
    Q_OBJECT
public:
    // LoseCommitReply: the next COMMIT reaches the server, and its
    // connection gets no answer any more; later connections pass.
    // LoseCommitAndServer: after the next COMMIT nothing passes.
    enum class Mode { Pass, BlackHole, DropReplies, LoseCommitReply, LoseCommitAndServer };

    explicit TcpRelay(int serverPort);
    ~TcpRelay() override;
    // The port that reaches the server through the relay; 0 when it could not listen.
    int port() const { return listenPort; }
    void setMode(Mode mode) { current = mode; }
    // Ends every connection open now; later ones pass as the mode says.
    void closeConnections();
    // The first request that holds `text` is swallowed, and so is everything
    // after it (BlackHole).
    void blackHoleAt(const QByteArray &text);

private:
    void accept();

    QThread thread;
    QTcpServer *listener = nullptr;
    int serverPort;
    int listenPort = 0;
    std::atomic<Mode> current { Mode::Pass };
    QByteArray holeAt;
};

} // namespace kestatest
