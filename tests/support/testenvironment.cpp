#include "support/testenvironment.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

namespace kestatest {

void isolateEnvironment()
{
    // Static: it must outlive the application object and every test, and still
    // be removed when the process ends.
    static QTemporaryDir homeDir(QDir::tempPath() + "/kesta-test-XXXXXX");
    QTemporaryDir *home = &homeDir;
    if (!home->isValid())
        qFatal("cannot create a temporary home");
    qputenv("HOME", home->path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home->path() + "/.config").toUtf8());
    qputenv("XDG_DATA_HOME", (home->path() + "/.local/share").toUtf8());
    qputenv("XDG_CACHE_HOME", (home->path() + "/.cache").toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!QDir::setCurrent(home->path()))
        qFatal("cannot enter the temporary home");
}

}  // namespace kestatest
