#include "exchange/recorderlauncher.h"

#include "toolkit/util/fileutilities.h"
#include "toolkit/util/platform.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>

namespace
{

// Qt reports a detached start that failed without its cause ("Unknown error"); the system
// tells why a file cannot be run ("Permission denied").
QString startFailure(const QString &program, const QProcess &process)
{
    const QString why = Platform::whyNotRunnable(program);
    return why.isEmpty() ? process.errorString() : why;
}

} // namespace

const QString RecorderLauncher::Executable = QStringLiteral("DI Duvi.exe");
const QString RecorderLauncher::DatabaseSwitch = QStringLiteral("/database");

QStringList RecorderLauncher::candidates(
    const QString &applicationDir, const QString &system, const QString &architecture)
{
    QStringList places { FileUtilities::FolderSlash(applicationDir) + Executable };
    if (system == QLatin1String("winnt")) {
        const QString programFiles = architecture.contains(QLatin1String("64"))
            ? QStringLiteral("C:/Program Files (x86)")
            : QStringLiteral("C:/Program Files");
        places << programFiles + QStringLiteral("/Talvena/Orvalis/") + Executable
               << QStringLiteral("C:/Orvalis/") + Executable;
    } else {
        places << QStringLiteral("/opt/Talvena/Orvalis/") + Executable << QStringLiteral("/opt/Orvalis/") + Executable;
    }
    return places;
}

QStringList RecorderLauncher::arguments(const QString &argument)
{
    return argument.isEmpty() ? QStringList() : QStringList { argument };
}

QString RecorderLauncher::quotedPath(const QString &path)
{
    return QLatin1Char('"') + path + QLatin1Char('"');
}

RecorderLaunch RecorderLauncher::launchRecorder(const QString &argument)
{
    return launch(candidates(QCoreApplication::applicationDirPath(), QSysInfo::kernelType(),
                      QSysInfo::currentCpuArchitecture()),
        argument);
}

RecorderLaunch RecorderLauncher::launch(const QStringList &candidates, const QString &argument)
{
    RecorderLaunch result;
    result.searched = candidates;
    for (const QString &candidate : candidates) {
        if (QFileInfo(candidate).isFile()) {
            result.program = candidate;
            break;
        }
    }
    if (result.program.isEmpty())
        return result;
    QProcess process;
    process.setProgram(result.program);
    process.setArguments(arguments(argument));
    if (process.startDetached()) {
        result.outcome = RecorderLaunch::Started;
    } else {
        result.outcome = RecorderLaunch::StartFailed;
        result.reason = startFailure(result.program, process);
    }
    return result;
}
