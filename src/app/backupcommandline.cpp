#include "app/backupcommandline.h"

#include "app/startup.h"
#include "db/care/backuparchive.h"
#include "db/care/backupencryption.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "db/storage/database.h"
#include "toolkit/util/fileutilities.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

namespace
{

const char *const BackupOption = "backup";
const char *const EncryptToOption = "encrypt-to";
const char *const OverwriteOption = "overwrite";
const char *const Usage = "Usage: kesta --backup FILE [--encrypt-to FINGERPRINT]... [--overwrite]";

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
        if (qstrcmp(argv[i], "--backup") == 0 || qstrncmp(argv[i], "--backup=", 9) == 0)
            return true;
    }
    return false;
}

QList<QCommandLineOption> BackupCommandLine::options()
{
    return { QCommandLineOption(QLatin1String(BackupOption),
                 QStringLiteral("Writes a backup to FILE and exits."), QStringLiteral("FILE")),
        QCommandLineOption(QLatin1String(EncryptToOption),
            QStringLiteral("Encrypts the backup to the OpenPGP key with this full fingerprint (repeatable)."),
            QStringLiteral("FINGERPRINT")),
        QCommandLineOption(QLatin1String(OverwriteOption),
            QStringLiteral("Lets the backup replace a regular file that is no earlier backup.")) };
}

int BackupCommandLine::run(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Startup::setApplicationVersion();
    QCommandLineParser parser;
    parser.addOptions(options());
    if (!parser.parse(app.arguments()) || !parser.positionalArguments().isEmpty()) {
        print(stderr, QString::fromLatin1(Usage));
        return 2;
    }
    return run(parser);
}

int BackupCommandLine::run(const QCommandLineParser &parser)
{
    const QString file = parser.value(QLatin1String(BackupOption));
    BackupArchive::WriteOptions options;
    options.recipients = BackupEncryption::fingerprints(
        parser.values(QLatin1String(EncryptToOption)).join(QLatin1Char(',')));
    options.overwrite = parser.isSet(QLatin1String(OverwriteOption));
    if (file.isEmpty() || (parser.isSet(QLatin1String(EncryptToOption)) && options.recipients.isEmpty())) {
        print(stderr, QString::fromLatin1(Usage));
        return 2;
    }
    const QString target = QFileInfo(file).absoluteFilePath();
    KestaModel model;
    if (!QFileInfo::exists(model.databaseLocation().filePath) && !model.databaseLocation().isServer()) {
        print(stderr,
            QStringLiteral("Backup failed: there is no database at ") + model.databaseLocation().describe());
        return 1;
    }
    const BackupArchive::Result result
        = BackupArchive::write(model.databaseLocation(), DataLocations::dataFolder(), target, {}, options);
    for (const QString &note : result.notes)
        print(stderr, QStringLiteral("Note: ") + note);
    if (!result.ok) {
        print(stderr, QStringLiteral("Backup failed: ") + result.reason);
        return 1;
    }
    qint64 bytes = 0;
    for (const BackupManifest::File &entry : result.manifest.files)
        bytes += entry.size;
    print(stdout,
        QStringLiteral("Backup written and verified: %1\n%2 patients, %3 records, %4 files, %5%6")
            .arg(QDir::toNativeSeparators(target))
            .arg(result.manifest.rows.value(QStringLiteral("Patients")))
            .arg(result.manifest.rows.value(QStringLiteral("Records")))
            .arg(result.manifest.files.size())
            .arg(FileUtilities::filesizeNice(bytes, 1))
            .arg(result.encrypted
                    ? QStringLiteral(", encrypted to ") + options.recipients.join(QStringLiteral(", "))
                    : QString()));
    return 0;
}
