#pragma once

#include "db/care/backupmanifest.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <functional>

struct DatabaseLocation;

struct BackupWriteOptions {
    // Full fingerprints of the OpenPGP keys to encrypt to; none for a plain tar.
    QStringList recipients;
    // Also over a regular file that is no earlier backup of this program.
    bool overwrite = false;
};

// One backup file: a tar archive (pax) holding a header, a consistent copy of
// the database, the data folder with its recordings, and last the manifest of
// row counts and file checksums. Written, read and checked here, without
// widgets and without the program's connection, so it may run on any thread.
class BackupArchive
{
    Q_DECLARE_TR_FUNCTIONS(BackupArchive)
public:
    // Bytes done of the whole; false asks to stop.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    struct Result {
        bool ok = false;
        bool cancelled = false;
        QString reason;
        BackupManifest manifest;
        // Files that went away or changed while they were read.
        QStringList notes;
        bool encrypted = false;
    };

    using WriteOptions = BackupWriteOptions;

    // Writes the backup of the location's database and the data folder (ending
    // in "/") to archivePath: into a temporary folder beside it, read back and
    // checked (a plain one against its manifest, an encrypted one byte for byte
    // against what was written: its secret key is elsewhere), and only then
    // renamed into place. Cancelled or failed, nothing is left behind.
    static Result write(const DatabaseLocation &location, const QString &dataFolder,
        const QString &archivePath, const Progress &progress = Progress(),
        const WriteOptions &options = WriteOptions());
    // Why a backup may not be written to the path, or nothing: only a new
    // name or an earlier backup (a plain one of this program, an encrypted one
    // to one of the same keys) is replaced, any other regular file only when
    // asked; never a device, a folder, a link or anything else.
    static QString refusedTarget(const QString &archivePath, const WriteOptions &options);
    // The header alone (the first entry) of a plain backup: refuses a foreign file at once.
    static Result header(const QString &archivePath);
    // Reads the whole archive (decrypting it through the user's gpg-agent when
    // it is encrypted) and checks every entry against the manifest.
    static Result verify(const QString &archivePath, const Progress &progress = Progress());
    // Checks as verify does while unpacking the data folder into `folder` and
    // the database copy to `databaseCopy`. Whatever the result, the caller
    // removes the folder when it does not take it.
    static Result extract(const QString &archivePath, const QString &folder, const QString &databaseCopy,
        const Progress &progress = Progress());

private:
    static Result read(const QString &archivePath, const QString &folder, const QString &databaseCopy,
        const Progress &progress);
};
