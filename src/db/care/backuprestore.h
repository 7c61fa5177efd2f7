#pragma once

#include "db/care/backuparchive.h"

#include <QCoreApplication>
#include <QString>

class Database;

// Restoring a backup in two steps. The archive is unpacked beside the data
// folder and checked there: every file against the manifest, the database
// copy's rows against its counts and its layout against this program's.
// Only a backup that passes takes the place of the data folder and database,
// which are moved aside and kept, never deleted.
class BackupRestore
{
    Q_DECLARE_TR_FUNCTIONS(BackupRestore)
public:
    // Unpacks (decrypting if need be) and checks; the staged folder in
    // *staged, which the caller swaps in or discards (also after a failure).
    static BackupArchive::Result stage(const Database *database, const QString &archivePath, QString *staged,
        const BackupArchive::Progress &progress = BackupArchive::Progress());
    // Moves the current data folder aside (its new path in *aside) and the
    // staged one into its place, then opens the restored database and reads
    // its patients. A restored database that cannot be used is moved out
    // again and the old one put back. False with the reason.
    static bool swapIn(Database *database, const QString &staged, QString *aside, QString *reason);
    static void discard(const QString &staged);
    // Staging folders that a restore ended by a crash left beside the data
    // folder (each a whole database): removed at start, before any restore
    // can run. Returns how many.
    static int removeLeftovers();
};
