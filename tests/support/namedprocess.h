#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace kestatest
{

// Whether process pid exists and has not ended (a zombie has ended).
bool isAlive(qint64 pid);

// A real process with a chosen image name: a copy of a small system program (or of the given
// binary) under that name in its own temporary folder. Killed when the object goes away.
class NamedProcess
{
public:
    explicit NamedProcess(const QString &imageName, const QString &binary = "/bin/sleep");
    ~NamedProcess();
    NamedProcess(const NamedProcess &) = delete;
    NamedProcess &operator=(const NamedProcess &) = delete;

    // Starts the copy; for the default binary the arguments default to a long sleep.
    bool start(const QStringList &arguments = { "600" });
    QString path() const { return executable; }
    QProcess &process() { return child; }
    // Asks the system, not QProcess: its state changes only in an event loop.
    bool isRunning() const { return isAlive(child.processId()); }

private:
    QTemporaryDir folder;
    QString executable;
    QProcess child;
};

} // namespace kestatest
