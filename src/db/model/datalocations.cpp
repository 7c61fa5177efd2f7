#include "db/model/datalocations.h"

#include "toolkit/util/platform.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace
{

QString chosenFolder;

} // namespace

void DataLocations::setDataFolder(const QString &folder)
{
    chosenFolder
        = folder.trimmed().isEmpty() ? QString() : QDir::cleanPath(folder.trimmed()) + QLatin1Char('/');
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
