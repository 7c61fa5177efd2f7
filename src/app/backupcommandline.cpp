#include "app/backupcommandline.h"

#include "app/startup.h"
#include "db/care/backuparchive.h"
#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "toolkit/util/fileutilities.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace
{

const char *const Option = "--backup";

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

bool BackupCommandLine::isAsked(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], Option) == 0)
            return true;
    }
    return false;
}

int BackupCommandLine::run(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Startup::setApplicationVersion();
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.size() != 2 || arguments.at(0) != QLatin1String(Option) || arguments.at(1).isEmpty()) {
        print(stderr, QStringLiteral("Usage: kesta --backup FILE"));
        return 2;
    }
    const QString target = QFileInfo(arguments.at(1)).absoluteFilePath();
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
