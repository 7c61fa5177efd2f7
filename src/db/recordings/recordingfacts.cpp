#include "db/recordings/recordingfacts.h"

#include "db/model/datalocations.h"
#include "db/edf/edffactscache.h"
#include "toolkit/util/platform.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMetaObject>
#include <QSet>
#include <algorithm>

namespace
{

// A recording file by its name: EDF and BDF, with or without the "+".
bool isRecordingName(const QString &name)
{
    return name.endsWith(QLatin1String(".edf"), Qt::CaseInsensitive)
        || name.endsWith(QLatin1String(".bdf"), Qt::CaseInsensitive);
}

QString comparable(const QString &path)
{
    return Platform::fileNameCase() == Qt::CaseInsensitive ? path.toLower() : path;
}

} // namespace

// Lives on the facts' thread; what it finds goes back as a queued call.
class RecordingFactsWorker : public QObject
{
public:
    RecordingFactsWorker(RecordingFacts *owner, std::shared_ptr<std::atomic<quint64>> generation)
        : owner(owner)
        , generation(std::move(generation))
    {
    }

    void find(quint64 asked, const QList<RecordingFacts::Recording> &recordings, const QString &scanned)
    {
        const auto stale = [&] { return generation->load() != asked; };
        QVector<RecordingFacts::Found> found;
        for (const RecordingFacts::Recording &recording : recordings) {
            if (stale())
                return;
            found.append({ RecordingFacts::keyOf(recording),
                RecordingFiles::factsOf(recording.folderName, recording.fileName, false), false, false, {} });
        }
        hand(asked, found);

        // Sizes walk folders and headers are read: handed over in portions, so
        // that the first arrive while the rest are still being looked at.
        constexpr int PortionMs = 100;
        QElapsedTimer portion;
        portion.start();
        found.clear();
        for (const RecordingFacts::Recording &recording : recordings) {
            if (stale())
                return;
            RecordingFacts::Found one { RecordingFacts::keyOf(recording),
                RecordingFiles::factsOf(recording.folderName, recording.fileName, true), true, false, {} };
            if (one.facts.exists && one.facts.inside) {
                one.header = EdfFactsCache::Instance().facts(
                    RecordingFiles::recordPath(recording.folderName, recording.fileName));
                one.withHeader = true;
            }
            found.append(one);
            if (portion.elapsed() >= PortionMs) {
                hand(asked, found);
                found.clear();
                portion.restart();
            }
        }
        if (!found.isEmpty())
            hand(asked, found);
        if (!scanned.isEmpty() && !stale())
            scan(asked, scanned, recordings);
    }

private:
    void hand(quint64 asked, const QVector<RecordingFacts::Found> &found)
    {
        RecordingFacts *to = owner;
        QMetaObject::invokeMethod(to, [to, asked, found] { to->take(asked, found); }, Qt::QueuedConnection);
    }

    // The recording files below the patient's folder that none of the
    // recordings names; links are not followed, so nothing outside is looked at.
    void scan(quint64 asked, const QString &folderName, const QList<RecordingFacts::Recording> &recordings)
    {
        QList<RecordingFacts::Unregistered> files;
        const QString folder = QDir::cleanPath(RecordingFiles::recordPath(folderName, QString()));
        const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
        if (DataLocations::isPlainFolderName(folderName) && !canonicalFolder.isEmpty()) {
            QSet<QString> listed;
            for (const RecordingFacts::Recording &recording : recordings) {
                const QString path = RecordingFiles::recordPath(recording.folderName, recording.fileName);
                listed.insert(comparable(QDir::cleanPath(path)));
                const QString canonical = QFileInfo(path).canonicalFilePath();
                if (!canonical.isEmpty())
                    listed.insert(comparable(canonical));
            }
            QDirIterator entries(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (entries.hasNext()) {
                if (generation->load() != asked)
                    return;
                const QString path = entries.next();
                const QFileInfo file = entries.fileInfo();
                if (!isRecordingName(file.fileName()) || file.isSymLink()
                    || listed.contains(comparable(QDir::cleanPath(path)))
                    || listed.contains(comparable(file.canonicalFilePath())))
                    continue;
                QString relative = QDir(folder).relativeFilePath(path);
                relative.replace(QLatin1Char('/'), QLatin1Char('\\'));
                files.append({ relative, EdfFactsCache::Instance().facts(path) });
            }
        }
        std::sort(files.begin(), files.end(),
            [](const RecordingFacts::Unregistered &a, const RecordingFacts::Unregistered &b) {
                return a.fileName < b.fileName;
            });
        RecordingFacts *to = owner;
        QMetaObject::invokeMethod(
            to, [to, asked, folderName, files] { to->takeUnregistered(asked, folderName, files); },
            Qt::QueuedConnection);
    }

    RecordingFacts *owner;
    std::shared_ptr<std::atomic<quint64>> generation;
};

RecordingFacts::RecordingFacts(QObject *parent)
    : QObject(parent)
    , generation(std::make_shared<std::atomic<quint64>>(0))
{
    worker = new RecordingFactsWorker(this, generation);
    worker->moveToThread(&thread);
    connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    thread.setObjectName(QStringLiteral("recording facts"));
    thread.start(QThread::LowPriority);
}

RecordingFacts::~RecordingFacts()
{
    // Whatever is under way stops at the next file; what it has sent is
    // dropped with this object's queue.
    ++*generation;
    thread.quit();
    thread.wait();
}

QString RecordingFacts::keyOf(const Recording &recording)
{
    return recording.folderName + QLatin1Char('\n') + recording.fileName;
}

const RecordingFacts::Known *RecordingFacts::find(const Recording &recording) const
{
    return find(keyOf(recording));
}

const RecordingFacts::Known *RecordingFacts::find(const QString &key) const
{
    const auto it = known.constFind(key);
    return it == known.constEnd() ? nullptr : &it.value();
}

QList<RecordingFacts::Unregistered> RecordingFacts::unregistered(const QString &folderName) const
{
    return unregisteredFiles.value(folderName);
}

void RecordingFacts::request(const QList<Recording> &recordings, const QString &scannedFolderName)
{
    const quint64 asked = ++*generation;
    if (recordings.isEmpty() && scannedFolderName.isEmpty())
        return;
    RecordingFactsWorker *onThread = worker;
    QMetaObject::invokeMethod(onThread,
        [onThread, asked, recordings, scannedFolderName] { onThread->find(asked, recordings, scannedFolderName); });
}

void RecordingFacts::add(const QList<Recording> &recordings)
{
    if (recordings.isEmpty())
        return;
    const quint64 asked = generation->load();
    RecordingFactsWorker *onThread = worker;
    QMetaObject::invokeMethod(onThread, [onThread, asked, recordings] { onThread->find(asked, recordings, QString()); });
}

void RecordingFacts::take(quint64 generationOfResult, const QVector<Found> &found)
{
    if (generationOfResult != generation->load())
        return;
    QStringList keys;
    keys.reserve(found.size());
    for (const Found &one : found) {
        Known &entry = known[one.key];
        // An existence check keeps what was found before, until the new arrives.
        const bool same = entry.facts.exists == one.facts.exists;
        const qint64 previousSize = entry.facts.size;
        entry.facts = one.facts;
        if (one.sized) {
            entry.sizeKnown = true;
        } else if (same && entry.sizeKnown) {
            entry.facts.size = previousSize;
        } else {
            entry.sizeKnown = false;
            entry.headerKnown = false;
        }
        if (one.withHeader) {
            entry.header = one.header;
            entry.headerKnown = true;
        } else if (one.sized) {
            entry.header = EdfFacts();
            entry.headerKnown = false;
        }
        keys << one.key;
    }
    emit factsFound(keys);
}

void RecordingFacts::takeUnregistered(
    quint64 generationOfResult, const QString &folderName, const QList<Unregistered> &files)
{
    if (generationOfResult != generation->load())
        return;
    unregisteredFiles.insert(folderName, files);
    emit unregisteredFound(folderName);
}
