#include "db/edf/edffactscache.h"

#include "db/edf/edfreader.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

bool EdfFactsCache::Stamp::operator==(const Stamp &other) const
{
    return exists == other.exists && size == other.size && modified == other.modified
        && changed == other.changed;
}

EdfFactsCache::EdfFactsCache(int capacity)
    : entries(capacity)
{
}

EdfFactsCache &EdfFactsCache::Instance()
{
    static EdfFactsCache cache;
    return cache;
}

EdfFactsCache::Stamp EdfFactsCache::stampOf(const QString &path)
{
    const QFileInfo info(path);
    Stamp stamp;
    stamp.exists = info.exists();
    if (stamp.exists) {
        stamp.size = info.size();
        stamp.modified = info.lastModified();
        // A file replaced by one with the same size and modification time (a copy that keeps
        // times) still gets a new change time.
        stamp.changed = info.metadataChangeTime();
    }
    return stamp;
}

EdfFacts EdfFactsCache::facts(const QString &path)
{
    const QString key = QDir::cleanPath(path);
    const Stamp stamp = stampOf(key);
    {
        QMutexLocker lock(&mutex);
        if (const Entry *entry = entries.object(key); entry && entry->stamp == stamp)
            return entry->facts;
    }
    // Stamped before reading: a change while reading makes the next call read again.
    auto entry = std::make_unique<Entry>();
    entry->stamp = stamp;
    entry->facts = EdfReader::readFacts(key);
    const EdfFacts facts = entry->facts;
    QMutexLocker lock(&mutex);
    entries.insert(key, entry.release());
    return facts;
}

std::optional<EdfFacts> EdfFactsCache::cached(const QString &path) const
{
    QMutexLocker lock(&mutex);
    if (const Entry *entry = entries.object(QDir::cleanPath(path)))
        return entry->facts;
    return std::nullopt;
}

void EdfFactsCache::clear()
{
    QMutexLocker lock(&mutex);
    entries.clear();
}

int EdfFactsCache::size() const
{
    QMutexLocker lock(&mutex);
    return entries.size();
}
