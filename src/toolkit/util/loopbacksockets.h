#pragma once

#include <QString>

class QAbstractSocket;

// What the system tells about the TCP sockets of this machine: which user owns the other end
// of a loopback connection, and which program listens on a port. Linux reads /proc/net/tcp
// and /proc/net/tcp6 (and /proc/PID/fd for the program); Windows asks for the connection
// table with the owning processes.
class LoopbackSockets
{
public:
    // The owner of the socket at the other end of `connection`, a connection between two
    // sockets of this machine: on Linux the user id in decimal, on Windows the user's SID.
    // Empty when the system does not tell (the other end has gone, or another network
    // namespace holds it).
    static QString peerOwner(const QAbstractSocket &connection);
    // This process's user, in the form peerOwner gives.
    static QString ownUser();
    // The program that listens on TCP `port` of the loopback or every address, as
    // "name (process id N)", or "a program of user NAME" when only the owner is told; empty
    // when the system tells nothing.
    static QString listenerOf(quint16 port);
};
