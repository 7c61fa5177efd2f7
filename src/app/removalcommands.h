#pragma once

#include <QObject>

class Database;
class KestaSettings;
class QAction;
class QWidget;
class RecordsTable;

// Removing patients and records, and the trash they go to: the questions
// before a removal, "Recently removed…" with restore and removal for good,
// and, at start, the tidying of the trash (removals cut off halfway put
// right, those older than the TrashPurgeDays setting purged, their files
// deleted in the background).
class RemovalCommands : public QObject
{
    Q_OBJECT
public:
    RemovalCommands(Database *database, KestaSettings *settings, QWidget *window);
    ~RemovalCommands() override;

    // "Recently removed…", for the window's menu.
    QAction *recentlyRemovedAction() const { return recentlyRemoved; }

    void removePatient(int patientId);
    // The record of the table's patient with this id.
    void removeRecord(RecordsTable *records, int recordId);
    void showRecentlyRemoved();
    void tidyAtStart();
    // Deletes trash folders on a worker thread; pendingDeletions() counts them.
    void deleteInBackground(const QStringList &folders);
    int pendingDeletions() const { return deletionsRunning; }

signals:
    // A patient's removal was confirmed (the window refuses to close for a while).
    void patientRemovalConfirmed();
    void deletionsFinished();
    // A removal was put back: show its patient.
    void restored(int patientAutoId);

private:
    // The line that tells where a removal can be undone.
    QString restoreNote() const;

    Database *database;
    KestaSettings *settings;
    QWidget *window;
    QAction *recentlyRemoved;
    int deletionsRunning = 0;
};
