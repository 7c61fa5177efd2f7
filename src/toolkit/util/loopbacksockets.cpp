#include "toolkit/util/loopbacksockets.h"

#include "toolkit/util/processtable.h"

#include <QAbstractSocket>
#include <QCoreApplication>
#include <QHostAddress>
#include <QtEndian>
#include <cstring>

#if defined(Q_OS_WIN)
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <sddl.h>
// clang-format on
#elif defined(Q_OS_LINUX)
#include <QDir>
#include <QFile>
#include <pwd.h>
#include <unistd.h>
#endif

#if defined(Q_OS_LINUX)
namespace
{

// One line of /proc/net/tcp or tcp6.
struct Entry {
    QHostAddress local;
    quint16 localPort = 0;
    QHostAddress remote;
    quint16 remotePort = 0;
    int state = 0;
    QString uid;
    QByteArray inode;
};

constexpr int ListenState = 0x0A;

// "0100007F:0A8C": the address as the kernel holds it in memory, word by word in this
// machine's byte order, then the port.
bool parseEndpoint(const QByteArray &text, QHostAddress *address, quint16 *port)
{
    const int colon = text.indexOf(':');
    const QByteArray hex = text.left(colon);
    if (colon < 0 || (hex.size() != 8 && hex.size() != 32))
        return false;
    quint8 bytes[16] = {};
    for (int word = 0; word < hex.size() / 8; ++word) {
        bool ok = false;
        const quint32 value = hex.mid(word * 8, 8).toUInt(&ok, 16);
        if (!ok)
            return false;
        memcpy(bytes + word * 4, &value, 4);
    }
    *address = hex.size() == 8 ? QHostAddress(qFromBigEndian<quint32>(bytes)) : QHostAddress(bytes);
    bool ok = false;
    *port = quint16(text.mid(colon + 1).toUInt(&ok, 16));
    return ok;
}

QList<Entry> readTable(const char *path)
{
    QList<Entry> entries;
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entries;
    file.readLine(); // the heading
    while (!file.atEnd()) {
        // sl local rem st tx:rx tr:when retrnsmt uid timeout inode ...
        const QList<QByteArray> fields = file.readLine().simplified().split(' ');
        Entry entry;
        bool ok = fields.size() >= 10 && parseEndpoint(fields.at(1), &entry.local, &entry.localPort)
            && parseEndpoint(fields.at(2), &entry.remote, &entry.remotePort);
        if (!ok)
            continue;
        entry.state = fields.at(3).toInt(&ok, 16);
        entry.uid = QString::fromLatin1(fields.at(7));
        entry.inode = fields.at(9);
        entries.append(entry);
    }
    return entries;
}

QList<Entry> allEntries()
{
    return readTable("/proc/net/tcp") + readTable("/proc/net/tcp6");
}

// The same address whether written as IPv4 or as IPv4 inside IPv6 ("::ffff:127.0.0.1").
bool sameAddress(const QHostAddress &a, const QHostAddress &b)
{
    return a.isEqual(b, QHostAddress::TolerantConversion);
}

qint64 processHolding(const QByteArray &inode)
{
    const QByteArray target = "socket:[" + inode + "]";
    for (const ProcessTable::Entry &process : ProcessTable::list()) {
        const QString fdFolder = QStringLiteral("/proc/%1/fd").arg(process.pid);
        for (const QString &fd : QDir(fdFolder).entryList(QDir::System | QDir::NoDotAndDotDot)) {
            char link[64];
            const QByteArray path = QFile::encodeName(fdFolder + QLatin1Char('/') + fd);
            const ssize_t size = ::readlink(path.constData(), link, sizeof link);
            if (size == target.size() && target == QByteArray(link, int(size)))
                return process.pid;
        }
    }
    return 0;
}

QString userName(const QString &uid)
{
    passwd entry {};
    passwd *found = nullptr;
    char buffer[1024];
    if (getpwuid_r(uid.toUInt(), &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return uid;
}

} // namespace

QString LoopbackSockets::peerOwner(const QAbstractSocket &connection)
{
    // The other end's socket has our remote end as its local one, and the reverse.
    for (const Entry &entry : allEntries()) {
        if (entry.localPort == connection.peerPort() && entry.remotePort == connection.localPort()
            && sameAddress(entry.local, connection.peerAddress())
            && sameAddress(entry.remote, connection.localAddress()))
            return entry.uid;
    }
    return QString();
}

QString LoopbackSockets::ownUser()
{
    return QString::number(::geteuid());
}

QString LoopbackSockets::listenerOf(quint16 port)
{
    for (const Entry &entry : allEntries()) {
        if (entry.state != ListenState || entry.localPort != port
            || !(entry.local.isLoopback() || entry.local == QHostAddress::AnyIPv4
                || entry.local == QHostAddress::AnyIPv6))
            continue;
        const qint64 pid = processHolding(entry.inode);
        if (pid > 0) {
            for (const ProcessTable::Entry &process : ProcessTable::list()) {
                if (process.pid == pid)
                    return QCoreApplication::translate("Generic", "%1 (process id %2)")
                        .arg(process.imageName)
                        .arg(pid);
            }
        }
        return QCoreApplication::translate("Generic", "a program of user %1").arg(userName(entry.uid));
    }
    return QString();
}

#elif defined(Q_OS_WIN)

namespace
{

// The connection table with the owning processes, IPv4 (the exchange listens on 127.0.0.1).
QByteArray tcpTable(TCP_TABLE_CLASS kind)
{
    DWORD size = 0;
    QByteArray table;
    for (int attempt = 0; attempt < 4; ++attempt) {
        table.resize(int(size));
        const DWORD result = GetExtendedTcpTable(table.data(), &size, FALSE, AF_INET, kind, 0);
        if (result == NO_ERROR)
            return table;
        if (result != ERROR_INSUFFICIENT_BUFFER)
            break;
    }
    return QByteArray();
}

QString userOfProcess(DWORD pid)
{
    QString sidText;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    HANDLE token = nullptr;
    if (process && OpenProcessToken(process, TOKEN_QUERY, &token)) {
        BYTE buffer[256];
        DWORD size = 0;
        LPWSTR text = nullptr;
        if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)
            && ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer)->User.Sid, &text)) {
            sidText = QString::fromWCharArray(text);
            LocalFree(text);
        }
        CloseHandle(token);
    }
    if (process)
        CloseHandle(process);
    return sidText;
}

} // namespace

QString LoopbackSockets::peerOwner(const QAbstractSocket &connection)
{
    const QByteArray bytes = tcpTable(TCP_TABLE_OWNER_PID_CONNECTIONS);
    if (bytes.isEmpty())
        return QString();
    const auto *table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID *>(bytes.constData());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_TCPROW_OWNER_PID &row = table->table[i];
        if (ntohs(u_short(row.dwLocalPort)) == connection.peerPort()
            && ntohs(u_short(row.dwRemotePort)) == connection.localPort()
            && QHostAddress(ntohl(row.dwLocalAddr))
                   .isEqual(connection.peerAddress(), QHostAddress::TolerantConversion))
            return userOfProcess(row.dwOwningPid);
    }
    return QString();
}

QString LoopbackSockets::ownUser()
{
    return userOfProcess(GetCurrentProcessId());
}

QString LoopbackSockets::listenerOf(quint16 port)
{
    const QByteArray bytes = tcpTable(TCP_TABLE_OWNER_PID_LISTENER);
    if (bytes.isEmpty())
        return QString();
    const auto *table = reinterpret_cast<const MIB_TCPTABLE_OWNER_PID *>(bytes.constData());
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        const MIB_TCPROW_OWNER_PID &row = table->table[i];
        if (ntohs(u_short(row.dwLocalPort)) != port)
            continue;
        for (const ProcessTable::Entry &process : ProcessTable::list()) {
            if (process.pid == qint64(row.dwOwningPid))
                return QCoreApplication::translate("Generic", "%1 (process id %2)")
                    .arg(process.imageName)
                    .arg(process.pid);
        }
    }
    return QString();
}

#else

QString LoopbackSockets::peerOwner(const QAbstractSocket &)
{
    return QString();
}

QString LoopbackSockets::ownUser()
{
    return QString();
}

QString LoopbackSockets::listenerOf(quint16)
{
    return QString();
}

#endif
