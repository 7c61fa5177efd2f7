#pragma once

#include <QMutex>
#include <QThread>
#include <QWaitCondition>

// A worker thread that emits doWork, then sleeps `interval` ms, for as long as it is working.
// doWork is emitted on the worker thread: a receiver connected directly runs there.
//
// A startWorking that meets the loop just deciding to end is never lost, and destruction
// waits for the thread, so stopWorking followed by delete is safe from any thread.
class ZBackgroundThread : public QThread
{
    Q_OBJECT
public:
    // Interval 1000 ms, thread started at once.
    ZBackgroundThread();
    explicit ZBackgroundThread(unsigned int interval, bool autostart = true);
    ~ZBackgroundThread() override;

    // Whether the loop runs, or is about to run (this hides QThread::isRunning on purpose).
    bool isRunning() const;
    bool isCurrentlyProcessing() const;
    int cycles() const;
    unsigned int interval() const { return sleepMs; }

public slots:
    void startWorking();
    // The loop ends after the current cycle; a sleep under way is cut short.
    void stopWorking();

signals:
    void doWork();

protected:
    void run() override;

private:
    void launch();

    mutable QMutex mutex;
    QWaitCondition stopRequested;
    const unsigned int sleepMs;
    int cycleCount = 0;
    bool working = false;
    // Set from the moment a thread is started until its loop has decided, under the mutex,
    // to end; a start request seen while it is set is picked up by that loop.
    bool running = false;
    bool processing = false;
};
