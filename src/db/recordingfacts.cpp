#include "db/recordingfacts.h"

#include <QElapsedTimer>
#include <functional>
#include <QMetaObject>

// Lives on the facts' thread; what it finds goes back as a queued call.
class RecordingFactsWorker : public QObject
{
public:
    explicit RecordingFactsWorker(std::shared_ptr<std::atomic<quint64>> generation)
        : generation(std::move(generation))
    {
    }

    using Take = std::function<void(quint64, QStringList, QVector<RecordingFiles::Facts>, bool)>;

    void find(quint64 asked, const QList<RecordingFacts::Recording> &recordings, const Take &take)
    {
        const auto stale = [&] { return generation->load() != asked; };
        QStringList keys;
        QVector<RecordingFiles::Facts> found;
        for (const RecordingFacts::Recording &recording : recordings) {
            if (stale())
                return;
            keys << RecordingFacts::keyOf(recording);
            found << RecordingFiles::factsOf(recording.folderName, recording.fileName, false);
        }
        take(asked, keys, found, false);

        // Sizes walk folders: handed over in portions, so that the first
        // arrive while the rest are still being walked.
        constexpr int PortionMs = 100;
        QElapsedTimer portion;
        portion.start();
        keys.clear();
        found.clear();
        for (const RecordingFacts::Recording &recording : recordings) {
            if (stale())
                return;
            keys << RecordingFacts::keyOf(recording);
            found << RecordingFiles::factsOf(recording.folderName, recording.fileName, true);
            if (portion.elapsed() >= PortionMs) {
                take(asked, keys, found, true);
                keys.clear();
                found.clear();
                portion.restart();
            }
        }
        if (!keys.isEmpty())
            take(asked, keys, found, true);
    }

private:
    std::shared_ptr<std::atomic<quint64>> generation;
};

RecordingFacts::RecordingFacts(QObject *parent)
    : QObject(parent)
    , generation(std::make_shared<std::atomic<quint64>>(0))
{
    worker = new RecordingFactsWorker(generation);
    worker->moveToThread(&thread);
    connect(&thread, &QThread::finished, worker, &QObject::deleteLater);
    thread.setObjectName(QStringLiteral("recording facts"));
    thread.start(QThread::LowPriority);
}

RecordingFacts::~RecordingFacts()
{
    // Whatever is under way stops at the next file.
    ++*generation;
    thread.quit();
    thread.wait();
}

QString RecordingFacts::keyOf(const Recording &recording)
{
    return RecordingFiles::recordPath(recording.folderName, recording.fileName);
}

const RecordingFacts::Known *RecordingFacts::find(const Recording &recording) const
{
    const auto it = known.constFind(keyOf(recording));
    return it == known.constEnd() ? nullptr : &it.value();
}

void RecordingFacts::request(const QList<Recording> &recordings)
{
    const quint64 asked = ++*generation;
    if (recordings.isEmpty())
        return;
    // The worker's results come back through this object's own queue; once it
    // is gone, the thread has been stopped and nothing more arrives.
    QMetaObject::invokeMethod(worker, [this, asked, recordings] {
        worker->find(asked, recordings,
            [this](quint64 generationOfResult, const QStringList &keys, const QVector<RecordingFiles::Facts> &facts,
                bool sized) {
                QMetaObject::invokeMethod(
                    this, [=] { take(generationOfResult, keys, facts, sized); }, Qt::QueuedConnection);
            });
    });
}

void RecordingFacts::take(
    quint64 generationOfResult, const QStringList &keys, const QVector<RecordingFiles::Facts> &facts, bool sized)
{
    if (generationOfResult != generation->load())
        return;
    for (int i = 0; i < keys.size(); ++i) {
        Known &entry = known[keys.at(i)];
        // An existence check keeps a size found before, until the new one arrives.
        const qint64 previousSize = entry.sizeKnown ? entry.facts.size : 0;
        const bool hadSize = entry.sizeKnown && entry.facts.exists == facts.at(i).exists;
        entry.facts = facts.at(i);
        if (sized) {
            entry.sizeKnown = true;
        } else if (hadSize) {
            entry.facts.size = previousSize;
        } else {
            entry.sizeKnown = false;
        }
    }
    emit factsFound(keys);
}
