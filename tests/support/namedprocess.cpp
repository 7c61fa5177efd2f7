#include "support/namedprocess.h"

#include <QFile>

namespace kestatest
{

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
