#include "toolkit/util/platform.h"

#include "toolkit/util/processtable.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#if defined(Q_OS_WIN)
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
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif
#if defined(Q_OS_LINUX)
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

#if defined(Q_OS_UNIX)

sigset_t pipeSignal()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGPIPE);
    return set;
}

#endif

#if !defined(Q_OS_WIN)

// The desktop's choice of application for a type, read as its own launchers read it: the
// mimeapps.list files of the user and the system, then any installed application that
// names the type, then the same for the type's parents.
QStringList xdgDirs(const char *variable, const QString &fallback)
{
    const QString own = qEnvironmentVariable(variable);
    return (own.isEmpty() ? fallback : own).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList configDirs()
{
    QStringList dirs = xdgDirs("XDG_CONFIG_HOME", QDir::homePath() + "/.config");
    return dirs << xdgDirs("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
}

QStringList applicationDirs()
{
    QStringList dirs;
    const QStringList data = xdgDirs("XDG_DATA_HOME", QDir::homePath() + "/.local/share")
        + xdgDirs("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString &dir : data)
        dirs << dir + QStringLiteral("/applications");
    return dirs;
}

// One group of a desktop or mimeapps file, localised keys left out.
QHash<QString, QString> readGroup(const QString &path, const QString &group)
{
    QHash<QString, QString> values;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text) || file.size() > 1024 * 1024)
        return values;
    bool inGroup = false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (const QByteArray &raw : lines) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1Char('[') + group + QLatin1Char(']');
            continue;
        }
        const int equals = line.indexOf(QLatin1Char('='));
        if (!inGroup || equals <= 0 || line.startsWith(QLatin1Char('#')))
            continue;
        const QString key = line.left(equals).trimmed();
        if (!key.contains(QLatin1Char('[')) && !values.contains(key))
            values.insert(key, line.mid(equals + 1).trimmed());
    }
    return values;
}

QStringList listValue(const QString &value)
{
    return value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

QString findProgram(const QString &program)
{
    if (program.contains(QLatin1Char('/'))) {
        const QFileInfo info(program);
        return info.isFile() && info.isExecutable() ? info.absoluteFilePath() : QString();
    }
    return QStandardPaths::findExecutable(program);
}

// An Exec line split into arguments: blanks separate, double quotes keep together with
// \", \\, \` and \$ escaped inside them, after the escapes every desktop value has.
QStringList splitExec(const QString &exec)
{
    QString value;
    for (int i = 0; i < exec.size(); ++i) {
        const QChar c = exec.at(i);
        if (c == QLatin1Char('\\') && i + 1 < exec.size()
            && QStringLiteral("st\\").contains(exec.at(i + 1))) {
            const QChar next = exec.at(++i);
            value += next == QLatin1Char('s') ? QChar(' ') : next == QLatin1Char('t') ? QChar('\t') : next;
        } else {
            value += c;
        }
    }
    QStringList arguments;
    QString current;
    bool quoted = false, any = false;
    for (int i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (quoted && c == QLatin1Char('\\') && i + 1 < value.size()) {
            current += value.at(++i);
        } else if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (!quoted && c.isSpace()) {
            if (any || !current.isEmpty())
                arguments << current;
            current.clear();
            any = false;
        } else {
            current += c;
        }
    }
    if (any || !current.isEmpty())
        arguments << current;
    return arguments;
}

// The command of an installed application that may be started without a terminal, the
// field codes filled in; empty when it is not there.
QStringList commandOf(const QString &desktopFile, const QString &path)
{
    const QHash<QString, QString> entry = readGroup(desktopFile, QStringLiteral("Desktop Entry"));
    if (entry.value("Type") != QLatin1String("Application") || entry.value("Hidden") == QLatin1String("true")
        || entry.value("Terminal") == QLatin1String("true"))
        return {};
    if (entry.contains("TryExec") && findProgram(entry.value("TryExec")).isEmpty())
        return {};
    const QStringList exec = splitExec(entry.value("Exec"));
    if (exec.isEmpty() || findProgram(exec.first()).isEmpty())
        return {};
    QStringList command;
    bool placed = false;
    for (const QString &argument : exec) {
        if (argument == QLatin1String("%i"))
            continue;
        QString filled;
        for (int i = 0; i < argument.size(); ++i) {
            if (argument.at(i) != QLatin1Char('%') || i + 1 == argument.size()) {
                filled += argument.at(i);
                continue;
            }
            const QChar code = argument.at(++i);
            if (code == QLatin1Char('f') || code == QLatin1Char('F')) {
                filled += path;
                placed = true;
            } else if (code == QLatin1Char('u') || code == QLatin1Char('U')) {
                filled += QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
                placed = true;
            } else if (code == QLatin1Char('c')) {
                filled += entry.value("Name");
            } else if (code == QLatin1Char('k')) {
                filled += desktopFile;
            } else if (code == QLatin1Char('%')) {
                filled += code;
            }
        }
        if (!filled.isEmpty() || argument.isEmpty())
            command << filled;
    }
    if (!placed)
        command << path;
    command[0] = findProgram(command.first());
    return command;
}

QString desktopFileOf(const QString &id, const QStringList &applications)
{
    for (const QString &dir : applications) {
        const QString file = dir + QLatin1Char('/') + id;
        if (QFileInfo(file).isFile())
            return file;
    }
    return {};
}

QStringList desktopCommand(const QString &path)
{
    const QFileInfo info(path);
    QStringList types(QStringLiteral("inode/directory"));
    if (!info.isDir()) {
        const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
        types = QStringList(type.name()) + type.aliases() + type.allAncestors();
        // Every file is at least a sequence of bytes, also where no type could be told.
        types.removeAll(QString());
        if (!types.contains(QStringLiteral("application/octet-stream")))
            types << QStringLiteral("application/octet-stream");
    }
    const QStringList applications = applicationDirs();
    QStringList lists;
    for (const QString &dir : configDirs())
        lists << dir + QStringLiteral("/mimeapps.list");
    for (const QString &dir : applications)
        lists << dir + QStringLiteral("/mimeapps.list") << dir + QStringLiteral("/defaults.list");
    QHash<QString, QString> defaults, added, removed;
    for (const QString &list : qAsConst(lists)) {
        const auto append = [&list](QHash<QString, QString> &into, const QString &group) {
            const QHash<QString, QString> values = readGroup(list, group);
            for (auto it = values.begin(); it != values.end(); ++it)
                into[it.key()] += it.value() + QLatin1Char(';');
        };
        append(defaults, QStringLiteral("Default Applications"));
        append(added, QStringLiteral("Added Associations"));
        append(removed, QStringLiteral("Removed Associations"));
    }
    // Every installed application once with the types it names, the first folder's copy winning.
    QStringList installed;
    QHash<QString, QStringList> namedTypes;
    for (const QString &dir : applications)
        for (const QString &id :
            QDir(dir).entryList({ QStringLiteral("*.desktop") }, QDir::Files, QDir::Name))
            if (!namedTypes.contains(id)) {
                installed << id;
                namedTypes.insert(id,
                    listValue(readGroup(dir + QLatin1Char('/') + id, QStringLiteral("Desktop Entry"))
                                  .value("MimeType")));
            }

    const QString absolute = info.absoluteFilePath();
    for (const QString &name : types) {
        const QStringList refused = listValue(removed.value(name));
        QStringList candidates = listValue(defaults.value(name)) + listValue(added.value(name));
        for (const QString &id : qAsConst(installed))
            if (namedTypes.value(id).contains(name))
                candidates << id;
        for (const QString &id : qAsConst(candidates)) {
            if (refused.contains(id))
                continue;
            const QString file = desktopFileOf(id, applications);
            const QStringList command = file.isEmpty() ? QStringList() : commandOf(file, absolute);
            if (!command.isEmpty())
                return command;
        }
    }
    return {};
}

#endif

void openContainingFolder(const QString &path, bool isFolder, const std::function<void()> &failed)
{
    const QString folder = isFolder ? path : QFileInfo(path).absolutePath();
    if (Platform::openWithDesktop(folder) != Platform::OpenOutcome::Started && failed)
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

Platform::OpenOutcome Platform::openWithDesktop(const QString &path, QString *program)
{
#if defined(Q_OS_WIN)
    if (program)
        program->clear();
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path)) ? OpenOutcome::Started
                                                                : OpenOutcome::NothingOpensIt;
#else
    QStringList command = desktopCommand(path);
    if (program)
        *program = command.value(0);
    if (command.isEmpty())
        return OpenOutcome::NothingOpensIt;
    const QString executable = command.takeFirst();
    return QProcess::startDetached(executable, command) ? OpenOutcome::Started : OpenOutcome::NotStarted;
#endif
}

QStringList Platform::desktopCommandFor(const QString &path)
{
#if defined(Q_OS_WIN)
    Q_UNUSED(path)
    return {};
#else
    return desktopCommand(path);
#endif
}

QString Platform::userDataRoot()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("C:/");
#else
    return QDir::homePath() + QLatin1Char('/');
#endif
}

Qt::CaseSensitivity Platform::fileNameCase()
{
#if defined(Q_OS_WIN)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

QString Platform::localSeparators(const QString &path)
{
#if defined(Q_OS_WIN)
    return path;
#else
    QString local = path;
    return local.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
}

void Platform::leaveOutOpenGl()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
#endif
}

void Platform::readTimeZoneOnce()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!qEnvironmentVariableIsSet("TZ"))
        qputenv("TZ", ":/etc/localtime");
#endif
}

bool Platform::embeddedDatabaseIsAccess()
{
#if defined(Q_OS_WIN)
    return true;
#else
    return false;
#endif
}

QVector<Platform::FolderEntry> Platform::folderEntries(const QString &path)
{
    QVector<FolderEntry> found;
#if defined(Q_OS_UNIX)
    // Read with one stat for each entry (its time and permissions are kept)
    // and no path lookups: a data folder holds a hundred thousand of them.
    DIR *dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return found;
    while (const dirent *entry = ::readdir(dir)) {
        if (qstrcmp(entry->d_name, ".") == 0 || qstrcmp(entry->d_name, "..") == 0)
            continue;
        FolderEntry item;
        item.name = QFile::decodeName(entry->d_name);
        struct stat facts {
        };
        if (::fstatat(::dirfd(dir), entry->d_name, &facts, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        item.link = S_ISLNK(facts.st_mode);
        if (item.link && ::fstatat(::dirfd(dir), entry->d_name, &facts, 0) != 0)
            continue;
        item.folder = S_ISDIR(facts.st_mode);
        if (S_ISREG(facts.st_mode))
            item.size = facts.st_size;
        else if (!item.folder)
            continue;
        item.seconds = facts.st_mtim.tv_sec;
        item.nanoseconds = facts.st_mtim.tv_nsec;
        item.permissions = int(facts.st_mode & 0777);
        found.append(item);
    }
    ::closedir(dir);
#else
    const QFileInfoList entries
        = QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (entry.isDir() || entry.isFile())
            found.append(
                { entry.fileName(), entry.isDir(), entry.isSymLink(), entry.isFile() ? entry.size() : -1,
                    entry.lastModified().toSecsSinceEpoch(), 0, entry.isDir() ? 0755 : 0644 });
    }
#endif
    return found;
}

Platform::FileKind Platform::fileKind(const QString &path, QString *error)
{
#if defined(Q_OS_UNIX)
    struct stat facts {
    };
    if (::lstat(QFile::encodeName(path).constData(), &facts) != 0) {
        if (errno == ENOENT)
            return FileKind::Missing;
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return FileKind::Unreadable;
    }
    if (S_ISLNK(facts.st_mode))
        return FileKind::Link;
    if (S_ISDIR(facts.st_mode))
        return FileKind::Folder;
    return S_ISREG(facts.st_mode) ? FileKind::Regular : FileKind::Special;
#else
    Q_UNUSED(error)
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return FileKind::Missing;
    return info.isSymLink() || !info.isFile() ? FileKind::NotRegular : FileKind::Regular;
#endif
}

void Platform::startWriteback(int fd, qint64 offset, qint64 length)
{
#if defined(Q_OS_LINUX)
    ::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
#else
    Q_UNUSED(fd)
    Q_UNUSED(offset)
    Q_UNUSED(length)
#endif
}

bool Platform::keepTimeAndPermissions(QFile &out, qint64 seconds, long nanoseconds, int permissions)
{
    if (!out.flush())
        return false;
#if defined(Q_OS_UNIX)
    const timespec times[2] = { { time_t(seconds), nanoseconds }, { time_t(seconds), nanoseconds } };
    return ::futimens(out.handle(), times) == 0 && ::fchmod(out.handle(), mode_t(permissions & 0777)) == 0;
#else
    Q_UNUSED(nanoseconds)
    Q_UNUSED(permissions)
    return out.setFileTime(QDateTime::fromSecsSinceEpoch(seconds), QFileDevice::FileModificationTime);
#endif
}

void Platform::keepFolderTimeAndPermissions(
    const QString &path, qint64 seconds, long nanoseconds, int permissions)
{
#if defined(Q_OS_UNIX)
    const QByteArray name = QFile::encodeName(path);
    const timespec times[2] = { { time_t(seconds), nanoseconds }, { time_t(seconds), nanoseconds } };
    ::chmod(name.constData(), mode_t(permissions));
    ::utimensat(AT_FDCWD, name.constData(), times, 0);
#else
    Q_UNUSED(path)
    Q_UNUSED(seconds)
    Q_UNUSED(nanoseconds)
    Q_UNUSED(permissions)
#endif
}

#if defined(Q_OS_UNIX)

Platform::SequentialFile::SequentialFile(const QString &path)
{
    do
        fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    error = fd < 0 ? errno : 0;
}

Platform::SequentialFile::~SequentialFile()
{
    if (fd >= 0)
        ::close(fd);
}

bool Platform::SequentialFile::isOpen() const
{
    return fd >= 0;
}

bool Platform::SequentialFile::isGone() const
{
    return error == ENOENT;
}

QString Platform::SequentialFile::errorString() const
{
    return QString::fromLocal8Bit(std::strerror(error));
}

qint64 Platform::SequentialFile::read(char *data, qint64 size)
{
    ssize_t got = 0;
    do
        got = ::read(fd, data, size_t(size));
    while (got < 0 && errno == EINTR);
    error = got < 0 ? errno : 0;
    return got;
}

#else

Platform::SequentialFile::SequentialFile(const QString &path)
{
    file.setFileName(path);
    file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

Platform::SequentialFile::~SequentialFile() = default;

bool Platform::SequentialFile::isOpen() const
{
    return file.isOpen();
}

bool Platform::SequentialFile::isGone() const
{
    return !file.exists();
}

QString Platform::SequentialFile::errorString() const
{
    return file.errorString();
}

qint64 Platform::SequentialFile::read(char *data, qint64 size)
{
    return file.read(data, size);
}

#endif

#if defined(Q_OS_UNIX)
Platform::QuietPipeWrites::QuietPipeWrites()
{
    sigset_t pending;
    sigpending(&pending);
    pendingBefore = sigismember(&pending, SIGPIPE) == 1;
    const sigset_t set = pipeSignal();
    pthread_sigmask(SIG_BLOCK, &set, &before);
}

Platform::QuietPipeWrites::~QuietPipeWrites()
{
    const sigset_t set = pipeSignal();
    sigset_t pending;
    sigpending(&pending);
    // One raised meanwhile is taken here, not delivered once unblocked.
    if (!pendingBefore && sigismember(&pending, SIGPIPE) == 1) {
        const timespec now { 0, 0 };
        sigtimedwait(&set, nullptr, &now);
    }
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
}
#else
Platform::QuietPipeWrites::QuietPipeWrites() = default;
Platform::QuietPipeWrites::~QuietPipeWrites() = default;
#endif
