#pragma once

#include "db/care/backuparchive.h"

#include <QObject>
#include <functional>

class Database;
class QAction;
class QWidget;

// "Back up…" and "Restore…": the backup written or unpacked and checked on a
// worker thread behind a progress dialog with Cancel, the outcome told in a
// box. A backup is encrypted when the user picks it and keys are set; a
// restore reads and checks the whole archive first, then asks, saying what it
// found, and shows the restored patients.
class BackupCommands : public QObject
{
    Q_OBJECT
public:
    BackupCommands(Database *database, QWidget *window);

    QAction *backUpAction() const { return backUpEntry; }
    QAction *restoreAction() const { return restoreEntry; }
    void backUp();
    void restore();

    // The file name a backup is offered under: "kesta-backup-<date>.tar" (".tar.gpg"
    // when encrypted) in the home folder.
    static QString suggestedName(bool encrypted = false);

private:
    // Runs the work off the GUI thread while a progress dialog shows how far
    // it is; Cancel asks it to stop. Returns its result.
    // The keys named in the settings.
    static QStringList recipients();
    static QString contentsText(const BackupArchive::Result &result);
    BackupArchive::Result runWithProgress(const QString &label,
        const std::function<BackupArchive::Result(const BackupArchive::Progress &)> &work);

    Database *database;
    QWidget *window;
    QAction *backUpEntry;
    QAction *restoreEntry;
};
