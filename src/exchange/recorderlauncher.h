#pragma once

#include <QString>
#include <QStringList>

// What became of one attempt to start the recorder.
struct RecorderLaunch {
    // ExchangeClosed: not started, since the exchange does not listen and the recorder could
    // not talk to this program; `reason` then names what holds the port, when known.
    enum Outcome { Started, NotFound, StartFailed, ExchangeClosed };
    Outcome outcome = NotFound;
    // The recorder that was chosen (empty when none was found).
    QString program;
    // Every place looked at, in order.
    QStringList searched;
    // Why a found recorder did not start.
    QString reason;

    bool started() const { return outcome == Started; }
};

// Finds the recorder and starts it detached; it is not a child of this program and outlives it.
class RecorderLauncher
{
public:
    static const QString Executable;
    static const QString DatabaseSwitch;

    // The places to look, in order: the application directory, then the installation folders.
    // `system` is a kernel type as QSysInfo::kernelType gives it ("winnt" for Windows),
    // `architecture` a processor name as QSysInfo::currentCpuArchitecture gives it.
    static QStringList candidates(const QString &applicationDir, const QString &system, const QString &architecture);
    // One argument as given, none when it is empty.
    static QStringList arguments(const QString &argument);
    // A recording's path as the recorder expects it: in double quotes, one argument.
    static QString quotedPath(const QString &path);

    // Starts the first existing candidate of this system with the argument.
    static RecorderLaunch launchRecorder(const QString &argument);
    static RecorderLaunch launch(const QStringList &candidates, const QString &argument);
};
