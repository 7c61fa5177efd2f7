#pragma once

#include "db/recordingfiles.h"

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
// all of them at once, then the size of each recording's folder. The facts
// are kept by path and found afresh whenever asked for again.
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
    };

    explicit RecordingFacts(QObject *parent = nullptr);
    // Waits for the worker to finish the file it is at.
    ~RecordingFacts() override;

    // The key of a recording's facts: its path.
    static QString keyOf(const Recording &recording);
    // What is known of the recording so far; null before anything arrived.
    const Known *find(const Recording &recording) const;

    // Finds the facts of these recordings anew, in the background; a new call
    // supersedes what an earlier one has not done yet. factsFound follows.
    void request(const QList<Recording> &recordings);

signals:
    // Facts of these recordings (by key) have arrived.
    void factsFound(const QStringList &keys);

private:
    void take(quint64 generation, const QStringList &keys, const QVector<RecordingFiles::Facts> &facts, bool sized);

    QHash<QString, Known> known;
    std::shared_ptr<std::atomic<quint64>> generation;
    QThread thread;
    RecordingFactsWorker *worker = nullptr;
};
