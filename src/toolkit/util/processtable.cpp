#include "toolkit/util/processtable.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#if defined(Q_OS_WIN)
#include <QProcess>
#elif defined(Q_OS_LINUX)
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
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

} // namespace

QList<ProcessTable::Entry> ProcessTable::list()
{
#if defined(Q_OS_WIN)
    QProcess tasklist;
    tasklist.start("tasklist", tasklistArguments());
    if (!tasklist.waitForFinished(TasklistTimeoutMs))
        return {};
    return parseTasklistCsv(tasklist.readAllStandardOutput());
#elif defined(Q_OS_LINUX)
    QList<Entry> entries;
    forEachProcess([&entries](qint64 pid, const QByteArray &pidText) {
        const ProcStat stat = readStat(pidText);
        if (!stat.alive)
            return;
        const QByteArray cmdline = readProcFile("/proc/" + pidText + "/cmdline");
        entries.append({ pid, imageNameFromCmdline(cmdline, stat.comm) });
    });
    return entries;
#else
    return {};
#endif
}

QStringList ProcessTable::findRunning(const QStringList &names)
{
    QStringList candidates;
    for (QString name : names) {
        if (name.isEmpty())
            continue;
        if (name.endsWith(".exe"))
            name.chop(4);
        candidates << name + ".exe" << name + "d.exe" << name << name + "d";
    }
    QStringList found;
    if (candidates.isEmpty())
        return found;
    // By process id, not by name: a second copy has the same name and must count.
    const qint64 self = QCoreApplication::applicationPid();
    for (const Entry &entry : list()) {
        if (entry.pid == self)
            continue;
        for (const QString &candidate : qAsConst(candidates)) {
            if (entry.imageName.compare(candidate, Qt::CaseInsensitive) == 0) {
                found.append(entry.imageName);
                break;
            }
        }
    }
    return found;
}

void ProcessTable::killByImageName(const QString &imageName, int timeoutMs)
{
#if defined(Q_OS_WIN)
    QProcess taskkill;
    taskkill.start("taskkill", taskkillArguments(imageName));
    taskkill.waitForFinished(timeoutMs);
#elif defined(Q_OS_LINUX)
    const QString name = withoutQuotes(imageName);
    if (name.isEmpty())
        return;
    const qint64 self = QCoreApplication::applicationPid();
    QList<QByteArray> killed;
    for (const Entry &entry : list()) {
        if (entry.pid == self || entry.imageName != name)
            continue;
        const QByteArray pidText = QByteArray::number(entry.pid);
        if (ownedByThisUser(pidText) && ::kill(pid_t(entry.pid), SIGKILL) == 0)
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

QList<ProcessTable::Entry> ProcessTable::parseTasklistCsv(const QByteArray &output)
{
    QList<Entry> entries;
    const QStringList lines = QString::fromLocal8Bit(output).split("\r\n", Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QStringList fields = line.split("\",");
        if (fields.size() < 2)
            continue;
        QString name = fields.at(0);
        if (name.startsWith('"'))
            name.remove(0, 1);
        if (!name.contains('.'))
            continue;
        QString pid = fields.at(1).trimmed();
        if (pid.startsWith('"'))
            pid.remove(0, 1);
        if (pid.endsWith('"'))
            pid.chop(1);
        entries.append({ pid.toLongLong(), name.trimmed() });
    }
    return entries;
}

QString ProcessTable::imageNameFromCmdline(const QByteArray &cmdline, const QByteArray &comm)
{
    const int end = cmdline.indexOf('\0');
    const QByteArray argv0 = end < 0 ? cmdline : cmdline.left(end);
    const int slash = qMax(argv0.lastIndexOf('/'), argv0.lastIndexOf('\\'));
    const QByteArray base = argv0.mid(slash + 1);
    return QFile::decodeName(base.isEmpty() ? comm : base);
}

QString ProcessTable::withoutQuotes(const QString &name)
{
    if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"'))
        return name.mid(1, name.size() - 2);
    return name;
}

QStringList ProcessTable::tasklistArguments()
{
    return { "/NH", "/FO", "CSV" };
}

QStringList ProcessTable::taskkillArguments(const QString &imageName)
{
    // The process layer quotes arguments itself; quotes left in would be passed on literally.
    return { "/im", withoutQuotes(imageName), "/f" };
}

QStringList ProcessTable::explorerArguments(const QString &path, bool isFolder)
{
    // The file manager runs on Windows only, so its separators are fixed rather than native.
    const QString native = QString(path).replace('/', '\\');
    if (isFolder)
        return { native };
    return { "/select,", native };
}
