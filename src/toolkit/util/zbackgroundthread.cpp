#include "toolkit/util/zbackgroundthread.h"

#include <QDeadlineTimer>

ZBackgroundThread::ZBackgroundThread()
    : ZBackgroundThread(1000, true)
{
}

ZBackgroundThread::ZBackgroundThread(unsigned int interval, bool autostart)
    : sleepMs(interval)
{
    if (autostart) {
        {
            QMutexLocker lock(&mutex);
            running = true;
        }
        start(QThread::InheritPriority);
    }
}

ZBackgroundThread::~ZBackgroundThread()
{
    {
        QMutexLocker lock(&mutex);
        working = false;
        stopRequested.wakeAll();
    }
    wait();
}

bool ZBackgroundThread::isRunning() const
{
    QMutexLocker lock(&mutex);
    return running;
}

bool ZBackgroundThread::isCurrentlyProcessing() const
{
    QMutexLocker lock(&mutex);
    return processing;
}

int ZBackgroundThread::cycles() const
{
    QMutexLocker lock(&mutex);
    return cycleCount;
}

void ZBackgroundThread::startWorking()
{
    {
        QMutexLocker lock(&mutex);
        working = true;
        if (running)
            return;
        running = true;
    }
    if (QThread::currentThread() == this) {
        // Asked from this thread after its loop ended (a finished() handler): a thread cannot
        // wait for itself, so the start is made from the thread that owns the object.
        QMetaObject::invokeMethod(this, &ZBackgroundThread::launch, Qt::QueuedConnection);
        return;
    }
    launch();
}

void ZBackgroundThread::launch()
{
    // The previous loop has decided to end but its thread may still be unwinding, and
    // QThread::start() ignores a thread that has not finished.
    wait();
    start(QThread::InheritPriority);
}

void ZBackgroundThread::stopWorking()
{
    QMutexLocker lock(&mutex);
    working = false;
    stopRequested.wakeAll();
}

void ZBackgroundThread::run()
{
    QMutexLocker lock(&mutex);
    running = true;
    while (working) {
        processing = true;
        lock.unlock();
        emit doWork();
        lock.relock();
        ++cycleCount;
        processing = false;
        if (sleepMs != 0) {
            const QDeadlineTimer deadline { qint64(sleepMs) };
            while (working && !deadline.hasExpired())
                stopRequested.wait(&mutex, deadline);
        }
    }
    // Decided under the mutex: a startWorking from now on sees `running` false and starts anew.
    running = false;
    processing = false;
}
