#pragma once

#include <QList>
#include <QString>
#include <functional>

class QFile;

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

} // namespace Platform
