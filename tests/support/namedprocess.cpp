#include "support/namedprocess.h"

#include <QFile>
#include <QString>

namespace kestatest
{

bool isAlive(qint64 pid)
{
    if (pid <= 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    // "pid (name) state ...": the name may hold spaces and parentheses.
    const QByteArray line = stat.readAll();
    const int end = line.lastIndexOf(')');
    return end > 0 && end + 2 < line.size() && line.at(end + 2) != 'Z' && line.at(end + 2) != 'X';
}

NamedProcess::NamedProcess(const QString &imageName, const QString &binary)
    : executable(folder.path() + "/" + imageName)
{
    if (folder.isValid() && QFile::copy(binary, executable))
        QFile::setPermissions(executable, QFile::permissions(binary) | QFile::ExeOwner);
}

NamedProcess::~NamedProcess()
{
    if (child.state() != QProcess::NotRunning) {
        child.kill();
        child.waitForFinished(10000);
    }
}

bool NamedProcess::start(const QStringList &arguments)
{
    if (!QFile::exists(executable))
        return false;
    child.setProgram(executable);
    child.setArguments(arguments);
    child.start();
    return child.waitForStarted(10000);
}

} // namespace kestatest
