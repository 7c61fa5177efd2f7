#pragma once

#include <QFile>
#include <QList>
#include <QString>
#include <QVector>
#include <functional>
#if defined(Q_OS_UNIX)
#include <csignal>
#endif

// What the program asks of the operating system, each behind one small function so that
// callers stay free of system headers and #if (with LoopbackSockets beside it: who owns
// the other end of a loopback connection). Windows and Linux are implemented; other
// systems get the portable Qt path or an answer of "nothing".
namespace Platform
{

struct Process {
    qint64 pid = 0;
    QString imageName;
};

// Every process that is alive now (zombies are not), this program included.
QList<Process> runningProcesses();
// Forcibly ends every process of this user named imageName (not this program) and waits
// up to timeoutMs for them to be gone.
void endProcessesNamed(const QString &imageName, int timeoutMs);

// Why program cannot be run by this user ("Permission denied"); empty when it can, or
// when the system does not say.
QString whyNotRunnable(const QString &program);

// The account the program runs as.
QString userName();

// Makes what was written to file durable before it is relied on.
bool syncToDisk(QFile &file);
// Puts from in to's place in one step: a reader sees the old file or the new one.
bool replaceFile(const QString &from, const QString &to);
// Renames unless to exists, checked and done in one step; false with *reason when refused.
// *unsupported is set when the file system cannot do it in one step, and the caller must
// check and rename itself.
bool renameWithoutReplacing(const QString &from, const QString &to, QString *reason, bool *unsupported);
// Opens path for reading without blocking, only when it is a regular file of at most
// maxSize bytes when opened (not a pipe put there meanwhile).
bool openRegularFile(QFile &file, const QString &path, qint64 maxSize);

// Shows path in the system's file manager (a file selected in its folder); failed runs
// when that cannot be done at all. "Show in explorer" or "Show in file manager".
void showInFileManager(const QString &path, bool isFolder, const std::function<void()> &failed);
bool fileManagerIsExplorer();

enum class OpenOutcome { Started, NothingOpensIt, NotStarted };
// Opens path (a file or a folder) with the application the desktop chose for its type,
// started detached; *program names what was started or tried. Looked up in the desktop's
// own lists rather than through a launcher, since a launcher starts and then finds
// nothing without telling anyone.
OpenOutcome openWithDesktop(const QString &path, QString *program = nullptr);
// The command openWithDesktop starts, the path among its arguments; empty when nothing
// on this desktop opens path. Only where the desktop's choice can be read (not Windows).
QStringList desktopCommandFor(const QString &path);

// Where the user's own data folders start, ending in "/": the system drive's root on
// Windows, the home folder elsewhere.
QString userDataRoot();
// How this system's file names compare.
Qt::CaseSensitivity fileNameCase();
// A path written with Windows' backslashes (as the recorder stores them) as this system
// names it; the stored text is the caller's and stays as it is.
QString localSeparators(const QString &path);
// Whether the embedded database is an Access file, as on the old Windows workstation, or
// SQLite.
bool embeddedDatabaseIsAccess();
// Keeps the windowing system's OpenGL integration from loading, before the application
// object exists: nothing the program draws uses it, and on X11 it brings the graphics
// drivers in, which cost a quarter of an empty start and half its memory. A choice the
// user made in the environment (QT_XCB_GL_INTEGRATION) stays.
void leaveOutOpenGl();

// Local times are converted by the C library, which, without TZ, looks at the zone
// file again for every conversion: reading a server's 100,000 patients spent a third
// of its time there. Naming that same file in TZ has it read once, before the first
// conversion. A TZ the user set stays; a zone changed while the program runs is taken
// at its next start.
void readTimeZoneOnce();

struct FolderEntry {
    QString name;
    bool folder = false;
    bool link = false;
    // -1 for a folder.
    qint64 size = -1;
    qint64 seconds = 0;
    long nanoseconds = 0;
    int permissions = 0644;
};
// The folders and regular files in path, links resolved (link says which were one), in
// no particular order; anything else is left out.
QVector<FolderEntry> folderEntries(const QString &path);

enum class FileKind { Missing, Regular, Folder, Link, Special, NotRegular, Unreadable };
// What lies at path, the link itself rather than where it points; *error says why for
// Unreadable. Systems that cannot tell the kinds apart answer NotRegular for all but a file.
FileKind fileKind(const QString &path, QString *error);

// Asks the system to start writing length bytes from offset of fd to disk now, without
// waiting, so that the flush at the end has less to do.
void startWriteback(int fd, qint64 offset, qint64 length);

// Gives the file written in out (flushed first) the time and permissions it had; where
// the system keeps no permissions, the time to the second.
bool keepTimeAndPermissions(QFile &out, qint64 seconds, long nanoseconds, int permissions);
// The same for a folder, by path; does nothing where the system has no such call.
void keepFolderTimeAndPermissions(const QString &path, qint64 seconds, long nanoseconds, int permissions);

// A file read front to back in large pieces: plain system calls where there are some,
// since a data folder holds a hundred thousand of them.
class SequentialFile
{
public:
    explicit SequentialFile(const QString &path);
    ~SequentialFile();
    SequentialFile(const SequentialFile &) = delete;
    SequentialFile &operator=(const SequentialFile &) = delete;

    bool isOpen() const;
    bool isGone() const;
    QString errorString() const;
    qint64 read(char *data, qint64 size);

private:
#if defined(Q_OS_UNIX)
    int fd = -1;
    int error = 0;
#else
    QFile file;
#endif
};

// While it lives, a write into a pipe whose reader has gone (gpg that stopped,
// a reader that stopped early) fails with EPIPE in this thread instead of
// raising SIGPIPE, whatever the process does with that signal.
class QuietPipeWrites
{
public:
    QuietPipeWrites();
    ~QuietPipeWrites();
    QuietPipeWrites(const QuietPipeWrites &) = delete;
    QuietPipeWrites &operator=(const QuietPipeWrites &) = delete;

private:
#if defined(Q_OS_UNIX)
    sigset_t before;
    bool pendingBefore = false;
#endif
};

} // namespace Platform
