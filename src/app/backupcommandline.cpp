#include "app/backupcommandline.h"

#include "db/care/backuparchive.h"
#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "toolkit/util/fileutilities.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace
{

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

int BackupCommandLine::run(const QString &file)
{
    const QString target = QFileInfo(file).absoluteFilePath();
    KestaModel model;
    if (!QFileInfo::exists(model.databaseLocation().filePath) && !model.databaseLocation().isServer()) {
        print(stderr,
            QStringLiteral("Backup failed: there is no database at ") + model.databaseLocation().describe());
        return 1;
    }
    const BackupArchive::Result result
        = BackupArchive::write(model.databaseLocation(), DataLocations::dataFolder(), target);
    for (const QString &note : result.notes)
        print(stderr, QStringLiteral("Note: ") + note);
    if (!result.ok) {
        print(stderr, QStringLiteral("Backup failed: ") + result.reason);
        return 1;
    }
    qint64 bytes = 0;
    for (const BackupManifest::File &file : result.manifest.files)
        bytes += file.size;
    print(stdout,
        QStringLiteral("Backup written and verified: %1\n%2 patients, %3 records, %4 files, %5")
            .arg(QDir::toNativeSeparators(target))
            .arg(result.manifest.rows.value(QStringLiteral("Patients")))
            .arg(result.manifest.rows.value(QStringLiteral("Records")))
            .arg(result.manifest.files.size())
            .arg(FileUtilities::filesizeNice(bytes, 1)));
    return 0;
}
