#include "toolkit/util/platform.h"

#include "toolkit/util/processtable.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#if defined(Q_OS_WIN)
#include <QProcess>
#include <windows.h>
#else
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#endif
#if defined(Q_OS_UNIX)
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#if defined(Q_OS_LINUX)
#include <dirent.h>
#include <signal.h>
#endif

namespace
{

constexpr int TasklistTimeoutMs = 30000;

#if defined(Q_OS_LINUX)

// /proc files report a size of 0, so they are read until end of file.
QByteArray readProcFile(const QByteArray &path, int limit = 4096)
{
    QByteArray data;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return data;
    char buffer[1024];
    while (data.size() < limit) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        data.append(buffer, int(n));
    }
    ::close(fd);
    return data;
}

struct ProcStat {
    bool alive = false;
    QByteArray comm;
};

// "PID (comm) S ...": the short name may itself hold blanks and parentheses, so it ends at
// the last ")".
ProcStat readStat(const QByteArray &pidText)
{
    ProcStat result;
    const QByteArray stat = readProcFile("/proc/" + pidText + "/stat");
    const int open = stat.indexOf('(');
    const int close = stat.lastIndexOf(')');
    if (open < 0 || close < open || close + 2 >= stat.size())
        return result;
    const char state = stat.at(close + 2);
    result.alive = state != 'Z' && state != 'X' && state != 'x';
    result.comm = stat.mid(open + 1, close - open - 1);
    return result;
}

bool ownedByThisUser(const QByteArray &pidText)
{
    struct stat info;
    return ::stat(("/proc/" + pidText).constData(), &info) == 0 && info.st_uid == ::geteuid();
}

template <typename Visit> void forEachProcess(Visit visit)
{
    DIR *dir = ::opendir("/proc");
    if (!dir)
        return;
    while (const dirent *item = ::readdir(dir)) {
        const QByteArray name(item->d_name);
        bool isPid = false;
        const qint64 pid = name.toLongLong(&isPid);
        if (isPid && pid > 0)
            visit(pid, name);
    }
    ::closedir(dir);
}

#endif

void openContainingFolder(const QString &path, bool isFolder, const std::function<void()> &failed)
{
    const QString folder = isFolder ? path : QFileInfo(path).absolutePath();
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(folder)) && failed)
        failed();
}

} // namespace

QList<Platform::Process> Platform::runningProcesses()
{
    QList<Process> processes;
#if defined(Q_OS_WIN)
    QProcess tasklist;
    tasklist.start("tasklist", ProcessTable::tasklistArguments());
    if (!tasklist.waitForFinished(TasklistTimeoutMs))
        return processes;
    for (const ProcessTable::Entry &entry : ProcessTable::parseTasklistCsv(tasklist.readAllStandardOutput()))
        processes.append({ entry.pid, entry.imageName });
#elif defined(Q_OS_LINUX)
    forEachProcess([&processes](qint64 pid, const QByteArray &pidText) {
        const ProcStat stat = readStat(pidText);
        if (!stat.alive)
            return;
        const QByteArray cmdline = readProcFile("/proc/" + pidText + "/cmdline");
        processes.append({ pid, ProcessTable::imageNameFromCmdline(cmdline, stat.comm) });
    });
#endif
    return processes;
}

void Platform::endProcessesNamed(const QString &imageName, int timeoutMs)
{
#if defined(Q_OS_WIN)
    QProcess taskkill;
    taskkill.start("taskkill", ProcessTable::taskkillArguments(imageName));
    taskkill.waitForFinished(timeoutMs);
#elif defined(Q_OS_LINUX)
    const QString name = ProcessTable::withoutQuotes(imageName);
    if (name.isEmpty())
        return;
    const qint64 self = QCoreApplication::applicationPid();
    QList<QByteArray> killed;
    for (const Process &process : runningProcesses()) {
        if (process.pid == self || process.imageName != name)
            continue;
        const QByteArray pidText = QByteArray::number(process.pid);
        if (ownedByThisUser(pidText) && ::kill(pid_t(process.pid), SIGKILL) == 0)
            killed.append(pidText);
    }
    // The signal only starts the end; callers go on as if the program were gone (the recorder's
    // port free, its files closed), so wait until it is, or has become a zombie.
    const QDeadlineTimer deadline(timeoutMs);
    while (!killed.isEmpty() && !deadline.hasExpired()) {
        for (int i = killed.size() - 1; i >= 0; --i) {
            if (!readStat(killed.at(i)).alive)
                killed.removeAt(i);
        }
        if (!killed.isEmpty())
            QThread::msleep(5);
    }
#else
    Q_UNUSED(imageName)
    Q_UNUSED(timeoutMs)
#endif
}

QString Platform::whyNotRunnable(const QString &program)
{
#if defined(Q_OS_UNIX)
    if (::access(QFile::encodeName(program).constData(), X_OK) != 0)
        return qt_error_string(errno);
#else
    Q_UNUSED(program)
#endif
    return QString();
}

QString Platform::userName()
{
#if defined(Q_OS_UNIX)
    // The account itself: the environment is the caller's to change.
    if (const passwd *account = ::getpwuid(::geteuid()))
        return QString::fromLocal8Bit(account->pw_name);
    return qEnvironmentVariable("USER");
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

bool Platform::syncToDisk(QFile &file)
{
#if defined(Q_OS_UNIX)
    return ::fsync(file.handle()) == 0;
#else
    Q_UNUSED(file)
    return true;
#endif
}

bool Platform::replaceFile(const QString &from, const QString &to)
{
#if defined(Q_OS_WIN)
    return MoveFileExW(reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(from).utf16()),
        reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(to).utf16()),
        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    return ::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

bool Platform::renameWithoutReplacing(const QString &from, const QString &to, QString *reason, bool *unsupported)
{
    *unsupported = false;
#if defined(Q_OS_LINUX)
    if (::renameat2(AT_FDCWD, QFile::encodeName(from).constData(), AT_FDCWD, QFile::encodeName(to).constData(),
            RENAME_NOREPLACE)
        == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) {
        if (reason)
            *reason = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
#else
    Q_UNUSED(from)
    Q_UNUSED(to)
    Q_UNUSED(reason)
#endif
    *unsupported = true;
    return false;
}

bool Platform::openRegularFile(QFile &file, const QString &path, qint64 maxSize)
{
#if defined(Q_OS_UNIX)
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat status;
    if (fd < 0 || ::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > maxSize) {
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
#else
    file.setFileName(path);
    return QFileInfo(path).isFile() && QFileInfo(path).size() <= maxSize && file.open(QIODevice::ReadOnly);
#endif
}

bool Platform::fileManagerIsExplorer()
{
#if defined(Q_OS_WIN)
    return true;
#else
    return false;
#endif
}

void Platform::showInFileManager(const QString &path, bool isFolder, const std::function<void()> &failed)
{
#if defined(Q_OS_WIN)
    if (!QProcess::startDetached("explorer", ProcessTable::explorerArguments(path, isFolder)))
        openContainingFolder(path, isFolder, failed);
#else
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openContainingFolder(path, isFolder, failed);
        return;
    }
    QDBusMessage call
        = QDBusMessage::createMethodCall("org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
            "org.freedesktop.FileManager1", isFolder ? "ShowFolders" : "ShowItems");
    call << QStringList { QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded) }
         << QString();
    // Asynchronous: starting a file manager on demand can take seconds, and the GUI must not
    // freeze meanwhile.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished,
        [path, isFolder, failed](QDBusPendingCallWatcher *finished) {
            if (finished->isError())
                openContainingFolder(path, isFolder, failed);
            finished->deleteLater();
        });
#endif
}
