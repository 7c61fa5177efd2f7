#pragma once

#include "db/edf/edffacts.h"

#include <QCache>
#include <QDateTime>
#include <QMutex>
#include <QString>
#include <optional>

// The facts of recording files, kept per path with the file's size and times, so that a file
// is read again only when it changed (or was replaced, created or removed). Safe from any
// thread; reading happens outside the lock, so threads asking about different files do not
// wait for each other's disks.
class EdfFactsCache
{
public:
    // Enough for every recording of a large clinic; beyond it the least recently used go.
    explicit EdfFactsCache(int capacity = 20000);

    // The process-wide cache.
    static EdfFactsCache &Instance();

    // The file's facts: kept ones when its size and times are unchanged, else read now.
    // Touches the disk: meant for worker threads.
    EdfFacts facts(const QString &path);
    // The facts last read for the path, whether or not the file changed since; nothing when it
    // was never read. Never touches the disk, so the GUI thread may ask.
    std::optional<EdfFacts> cached(const QString &path) const;

    void clear();
    int size() const;

private:
    struct Stamp {
        bool exists = false;
        qint64 size = -1;
        QDateTime modified;
        QDateTime changed;
        bool operator==(const Stamp &other) const;
    };
    struct Entry {
        Stamp stamp;
        EdfFacts facts;
    };
    static Stamp stampOf(const QString &path);

    mutable QMutex mutex;
    // QCache's lookup refreshes recency, hence mutable for cached().
    mutable QCache<QString, Entry> entries;
};
