#pragma once

#include "db/edf/edffacts.h"
#include "db/recordings/recordingfiles.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVector>
#include <atomic>
#include <memory>

class RecordingFactsWorker;

// What lies on disk for the recordings a view shows, found off the GUI thread
// so that no view ever waits for a disk: first whether each file exists, for
// all of them at once, then each recording's folder size and what its header
// says; last, the recordings in the patient's folder that no record lists.
// The facts are kept by path and found afresh whenever asked for again.
class RecordingFacts : public QObject
{
    Q_OBJECT
public:
    // A recording as a record names it.
    struct Recording {
        QString folderName;
        QString fileName;
    };
    struct Known {
        RecordingFiles::Facts facts;
        bool sizeKnown = false;
        // The header's facts, once read (only of a file inside its patient's folder).
        EdfFacts header;
        bool headerKnown = false;
    };
    // A recording file in the patient's folder that no record lists: its
    // name relative to the folder, as the recorder writes it (backslashes).
    struct Unregistered {
        QString fileName;
        EdfFacts header;
    };

    explicit RecordingFacts(QObject *parent = nullptr);
    // Waits for the worker to finish the file it is at.
    ~RecordingFacts() override;

    // The key of a recording's facts: its folder name and file name, cheaper
    // to build for every row than its path.
    static QString keyOf(const Recording &recording);
    // What is known of the recording so far; null before anything arrived.
    const Known *find(const Recording &recording) const;
    const Known *find(const QString &key) const;
    // The files of the patient's folder that no record listed, as last found.
    QList<Unregistered> unregistered(const QString &folderName) const;

    // Finds the facts of these recordings anew, in the background, and with a
    // folder name the files of that patient's folder they leave out; a new
    // call supersedes what an earlier one has not done yet.
    void request(const QList<Recording> &recordings, const QString &scannedFolderName = QString());
    // Finds the facts of more recordings after those asked for, superseding nothing.
    void add(const QList<Recording> &recordings);

signals:
    // Facts of these recordings (by key) have arrived.
    void factsFound(const QStringList &keys);
    // The unregistered files of the patient's folder have been found.
    void unregisteredFound(const QString &folderName);

private:
    struct Found {
        QString key;
        RecordingFiles::Facts facts;
        bool sized = false;
        bool withHeader = false;
        EdfFacts header;
    };
    friend class RecordingFactsWorker;
    void take(quint64 generation, const QVector<Found> &found);
    void takeUnregistered(quint64 generation, const QString &folderName, const QList<Unregistered> &files);

    QHash<QString, Known> known;
    QHash<QString, QList<Unregistered>> unregisteredFiles;
    std::shared_ptr<std::atomic<quint64>> generation;
    QThread thread;
    RecordingFactsWorker *worker = nullptr;
};
