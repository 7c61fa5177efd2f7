#include "db/care/backuprestore.h"

#include "db/care/databasesnapshot.h"
#include "db/model/datalocations.h"
#include "db/storage/database.h"
#include "db/storage/schemamigrations.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/fileutilities.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <memory>

namespace
{

const char *const StagingSuffix = ".restoring-";

QString dataFolderPath()
{
    return QDir::cleanPath(DataLocations::dataFolder());
}

// A path beside the data folder that is not taken yet.
QString besideDataFolder(const QString &suffix)
{
    const QString base = dataFolderPath() + suffix;
    QString path = base;
    for (int n = 2; QFileInfo::exists(path) || QFileInfo(path).isSymLink(); ++n)
        path = base + QStringLiteral(" %1").arg(n);
    return path;
}

} // namespace

BackupArchive::Result BackupRestore::stage(const Database *database, const QString &archivePath,
    QString *staged, const BackupArchive::Progress &progress)
{
    BackupArchive::Result result;
    const std::unique_ptr<DatabaseSnapshot> snapshot = DatabaseSnapshot::forLocation(database->location());
    *staged = besideDataFolder(
        QLatin1String(StagingSuffix) + Clock::now().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    if (!QDir().mkpath(*staged)) {
        result.reason = tr("A folder cannot be made: %1").arg(QDir::toNativeSeparators(*staged));
        return result;
    }
    // What it unpacks to is about as large as the archive.
    const qint64 needed = QFileInfo(archivePath).size();
    const qint64 available = QStorageInfo(*staged).bytesAvailable();
    if (available >= 0 && available < needed) {
        result.reason = tr("There is not enough free space to restore: it needs about %1 MB, %2 MB are free.")
                            .arg(needed >> 20)
                            .arg(available >> 20);
        return result;
    }
    // An encrypted archive's header is known only as it is decrypted: the
    // kind of database is compared once it is unpacked.
    const QString copy = snapshot->placeInDataFolder(*staged + QLatin1Char('/'));
    result = BackupArchive::extract(archivePath, *staged, copy, progress);
    if (!result.ok)
        return result;
    result.ok = false;
    if (result.manifest.backend != snapshot->backend()) {
        result.reason = tr("This backup holds a database of another kind (%1) than this workstation uses.")
                            .arg(result.manifest.backend);
        return result;
    }
    QMap<QString, qint64> rows;
    int layout = 0;
    if (!snapshot->describeCopy(copy, &rows, &layout, &result.reason))
        return result;
    if (rows != result.manifest.rows) {
        result.reason = tr("The database in the backup does not hold the rows its manifest counts.");
        return result;
    }
    if (layout > SchemaMigrations::CurrentVersion) {
        result.reason = tr("This backup was written by a newer version of the program.");
        return result;
    }
    result.ok = true;
    return result;
}

int BackupRestore::removeLeftovers()
{
    const QFileInfo data(dataFolderPath());
    const QString prefix = data.fileName() + QLatin1String(StagingSuffix);
    int removed = 0;
    for (const QFileInfo &left : data.absoluteDir().entryInfoList({ prefix + QLatin1Char('*') },
             QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks)) {
        if (QDir(left.absoluteFilePath()).removeRecursively())
            ++removed;
    }
    return removed;
}

bool BackupRestore::swapIn(Database *database, const QString &staged, QString *aside, QString *reason)
{
    const QString data = dataFolderPath();
    *aside = besideDataFolder(QStringLiteral(" (before restore %1)")
                                  .arg(Clock::now().toString(QStringLiteral("yyyy-MM-dd HH-mm-ss"))));
    database->close();
    QString why;
    const bool hadData = QFileInfo::exists(data);
    if (hadData && !FileUtilities::moveEntry(data, *aside, &why)) {
        *reason = QDir::toNativeSeparators(data) + QStringLiteral(": ") + why;
        aside->clear();
        return false;
    }
    if (!FileUtilities::moveEntry(staged, data, &why)) {
        *reason = QDir::toNativeSeparators(data) + QStringLiteral(": ") + why;
        if (hadData)
            FileUtilities::moveEntry(*aside, data);
        aside->clear();
        return false;
    }
    // A server takes the copy in now; what it held is kept beside the old folder's files.
    const std::unique_ptr<DatabaseSnapshot> snapshot = DatabaseSnapshot::forLocation(database->location());
    const bool loaded = snapshot->load(snapshot->placeInDataFolder(data + QLatin1Char('/')), *aside, &why);
    if (!loaded || !database->isUsable(&why)) {
        // What is not usable goes back where it came from, and the old data with it.
        database->close();
        if (loaded) {
            QString ignored;
            snapshot->load(snapshot->keptCopy(*aside), QString(), &ignored);
        }
        FileUtilities::moveEntry(data, staged);
        // A server's former content, dumped into the aside folder, goes back
        // with it, or stays beside the data folder: never deleted.
        if (hadData)
            FileUtilities::moveEntry(*aside, data);
        aside->clear();
        database->isUsable();
        *reason = why;
        return false;
    }
    database->reloadPatients();
    if (!QFileInfo::exists(*aside))
        aside->clear();
    return true;
}

void BackupRestore::discard(const QString &staged)
{
    if (!staged.isEmpty())
        QDir(staged).removeRecursively();
}
