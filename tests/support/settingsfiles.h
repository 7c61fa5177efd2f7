#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace kestatest
{

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// While it lives, a write that would make a file larger than `bytes` fails as on a full disk.
struct FileSizeLimit {
    rlimit previous {};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        const rlimit limit { bytes, previous.rlim_max };
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            qFatal("cannot limit the file size");
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &previous); }
};

// While it lives, the folder takes no new entries, also for root (an immutable folder);
// the files in it stay writable. `locked` is false where the system refuses that.
struct LockedFolder {
    QString path;
    bool locked = false;
    explicit LockedFolder(const QString &folder)
        : path(folder)
    {
        locked = geteuid() == 0 ? QProcess::execute("chattr", { "+i", path }) == 0
                                : QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~LockedFolder()
    {
        if (geteuid() == 0)
            QProcess::execute("chattr", { "-i", path });
        else
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

// The desktop's applications and choices are only the user's (the test's HOME) from now on.
inline void keepOutSystemApplications()
{
    // The types of files stay known.
    const QByteArray share = qgetenv("HOME") + "/system-share";
    QDir().mkpath(share);
    QFile::link("/usr/share/mime", share + "/mime");
    qputenv("XDG_DATA_DIRS", share);
    qputenv("XDG_CONFIG_DIRS", qgetenv("HOME") + "/system-config");
}

// Installs an application for the user that opens these MIME types with this Exec line; an
// Exec program "SCRIPT" becomes a script that writes its arguments to id + ".out" in HOME.
inline QString installDesktopApplication(const QString &id, const QString &mimeTypes, QString exec)
{
    const QString home = QString::fromLocal8Bit(qgetenv("HOME"));
    const QString script = home + "/" + id + ".sh";
    writeFile(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$0.out\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString applications = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/applications";
    QDir().mkpath(applications);
    writeFile(applications + "/" + id + ".desktop",
        ("[Desktop Entry]\nType=Application\nName=" + id + "\nMimeType=" + mimeTypes
            + "\nExec=" + exec.replace("SCRIPT", "\"" + script + "\"") + "\n")
            .toUtf8());
    return script + ".out";
}

} // namespace kestatest
