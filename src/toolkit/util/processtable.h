#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QByteArray;

// The running processes as the process helpers see them: an image name per process id.
// Windows lists them with "tasklist" and ends them with "taskkill"; Linux reads /proc and
// sends SIGKILL. The text parsing and the command lines are plain functions so that every
// system tests them.
class ProcessTable
{
public:
    struct Entry {
        qint64 pid = 0;
        QString imageName;
    };

    // Every process that is alive now (zombies are not), this program included.
    static QList<Entry> list();
    // Image names of the running processes that match one of `names`: the name with ".exe",
    // with "d.exe", and each of these without ".exe", compared case-insensitively. This program
    // itself never counts; another copy of it does.
    static QStringList findRunning(const QStringList &names);

    // Forcibly ends every process of this user whose image name is `imageName` (surrounding
    // double quotes ignored), never this program itself, and waits up to `timeoutMs` for them
    // to be gone.
    static void killByImageName(const QString &imageName, int timeoutMs);

    // "tasklist /NH /FO CSV" output: one quoted record per line, "\r\n" separated. Keeps the
    // image names that contain a "." (what the tool lists besides programs has none).
    static QList<Entry> parseTasklistCsv(const QByteArray &output);

    // argv[0] from /proc/PID/cmdline split at "/" or "\" (a Windows program under an emulation
    // layer keeps its .exe name), or the kernel's short name when there is none.
    static QString imageNameFromCmdline(const QByteArray &cmdline, const QByteArray &comm);

    static QString withoutQuotes(const QString &name);
    static QStringList tasklistArguments();
    static QStringList taskkillArguments(const QString &imageName);
    // The file manager's arguments: a folder alone, a file selected in its folder. The path is
    // always one argument of its own, so blanks and quotes in names reach the file manager intact.
    static QStringList explorerArguments(const QString &path, bool isFolder);
};
