#include "db/model/datalocations.h"

#include "toolkit/util/platform.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace
{

QString chosenFolder;

} // namespace

bool DataLocations::setDataFolder(const QString &folder)
{
    const QString reason = unsuitableDataFolder(folder);
    if (!reason.isEmpty())
        qWarning().noquote() << "DataFolder refused:" << reason;
    chosenFolder = folder.trimmed().isEmpty() || !reason.isEmpty()
        ? QString()
        : QDir::cleanPath(folder.trimmed()) + QLatin1Char('/');
    return reason.isEmpty();
}

QString DataLocations::unsuitableDataFolder(const QString &folder)
{
    if (folder.trimmed().isEmpty())
        return QString();
    const QFileInfo info(folder.trimmed());
    // Through links, as the files would be written.
    const QString path = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    const QString shown = QDir::toNativeSeparators(folder.trimmed());
    if (QFileInfo(path).isRoot() || QDir(path).isRoot())
        return QCoreApplication::translate("DataLocations", "%1 is the root of the file system").arg(shown);
    const QString home = QFileInfo(QDir::homePath()).canonicalFilePath();
    if (path == home || path == QDir::cleanPath(QDir::homePath()))
        return QCoreApplication::translate("DataLocations", "%1 is the home folder itself").arg(shown);
    // Folders of the system, and the folders that hold others' (mount points, homes).
    static const QStringList systemTrees { "/bin", "/boot", "/dev", "/etc", "/lib", "/lib32", "/lib64",
        "/libx32", "/proc", "/run", "/sbin", "/sys", "/usr" };
    static const QStringList systemFolders { "/home", "/media", "/mnt", "/opt", "/root", "/srv", "/tmp",
        "/var" };
    for (const QString &tree : systemTrees) {
        if (path == tree || path.startsWith(tree + QLatin1Char('/')))
            return QCoreApplication::translate("DataLocations", "%1 is a folder of the system").arg(shown);
    }
    if (systemFolders.contains(path))
        return QCoreApplication::translate("DataLocations", "%1 is a folder of the system").arg(shown);
    return QString();
}

QString DataLocations::dataFolder()
{
    if (!chosenFolder.isEmpty())
        return chosenFolder;
    return Platform::userDataRoot() + QStringLiteral("Orvalis Data/");
}

QString DataLocations::patientsFolder()
{
    return dataFolder() + QStringLiteral("Data/");
}

QString DataLocations::patientFolder(const QString &folderName)
{
    return patientsFolder() + folderName + QLatin1Char('/');
}

bool DataLocations::isPlainFolderName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control || QStringLiteral("/\\:*?\"<>|").contains(c))
            return false;
    }
    return true;
}

QString DataLocations::recordingPath(const QString &folderName, const QString &fileName)
{
    return patientsFolder() + folderName + QLatin1Char('/') + Platform::localSeparators(fileName);
}

QString DataLocations::databaseFile()
{
    return dataFolder()
        + (Platform::embeddedDatabaseIsAccess() ? QStringLiteral("patients.mdb")
                                                : QStringLiteral("patients.sqlite"));
}

QString DataLocations::databaseTemplate()
{
    return Platform::embeddedDatabaseIsAccess() ? QStringLiteral(":/resources/empty.mdb")
                                                : QStringLiteral(":/resources/empty.sqlite");
}

bool DataLocations::prepareFolders()
{
    return QDir().mkpath(dataFolder()) && QDir().mkpath(patientsFolder());
}

DataLocations::DatabaseFileState DataLocations::prepareDataFolders()
{
    prepareFolders();

    const QString path = databaseFile();
    if (QFileInfo::exists(path))
        return DatabaseFileState::Existed;

    QFile source(databaseTemplate());
    if (!source.open(QIODevice::ReadOnly)) {
        qDebug() << "Database template missing:" << source.fileName();
        return DatabaseFileState::Failed;
    }
    // A half-written file would be taken for a database at the next start.
    QSaveFile target(path);
    if (!target.open(QIODevice::WriteOnly))
        return DatabaseFileState::Failed;
    const QByteArray bytes = source.readAll();
    if (target.write(bytes) != bytes.size() || !target.commit())
        return DatabaseFileState::Failed;
    return DatabaseFileState::Created;
}
