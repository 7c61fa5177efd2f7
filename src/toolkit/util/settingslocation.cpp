#include "toolkit/util/settingslocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace
{

// build/src/kesta, build/tests/tst_x and build/tools/<tool>/x lie at most this deep.
constexpr int BuildTreeDepth = 3;

} // namespace

QString SettingsLocation::filePath(const QString &fileName)
{
    if (!QCoreApplication::instance())
        return fileName;
    return filePath(fileName, QCoreApplication::applicationDirPath(),
        QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
}

QString SettingsLocation::filePath(
    const QString &fileName, const QString &programFolder, const QString &configFolder)
{
    if (isBuildTree(programFolder) || configFolder.isEmpty())
        return fileName;
    return QDir(configFolder).filePath(fileName);
}

bool SettingsLocation::isBuildTree(const QString &programFolder)
{
    QDir folder(programFolder);
    for (int level = 0; level <= BuildTreeDepth; ++level) {
        if (QFileInfo::exists(folder.filePath(QStringLiteral("CMakeCache.txt"))))
            return true;
        if (!folder.cdUp())
            break;
    }
    return false;
}
