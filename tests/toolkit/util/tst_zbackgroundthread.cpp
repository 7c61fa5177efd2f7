#include "support/testenvironment.h"

#include "toolkit/util/zbackgroundthread.h"

#include <QApplication>
#include <QSemaphore>
#include <atomic>

class TestZBackgroundThread : public QObject
{
    Q_OBJECT
private slots:
    void cyclesRunOnWorkerThread();
    void stopAndRestart();
    void startAfterAutostartIsNotLost();
    void startRacingLoopEndIsNeverLost();
    void startFromFinishedHandlerRestarts();
    void destroyRightAfterStopWaitsForCycle();
    void stopCutsSleepShort();
};

void TestZBackgroundThread::cyclesRunOnWorkerThread()
{
    // Declared before the thread: its destructor may still run their handlers.
    std::atomic<int> onWorker { 0 };
    std::atomic<int> elsewhere { 0 };
    ZBackgroundThread thread(1, false);
    connect(
        &thread, &ZBackgroundThread::doWork, &thread,
        [&] {
            if (QThread::currentThread() == &thread && thread.isCurrentlyProcessing())
                ++onWorker;
            else
                ++elsewhere;
        },
        Qt::DirectConnection);
    QVERIFY(!thread.isWorking());
    thread.startWorking();
    QVERIFY(thread.isWorking());
    QTRY_VERIFY(thread.cycles() >= 3);
    thread.stopWorking();
    QTRY_VERIFY(!thread.isRunning());
    QVERIFY(!thread.isCurrentlyProcessing());
    QCOMPARE(elsewhere.load(), 0);
    QCOMPARE(onWorker.load(), thread.cycles());
}

void TestZBackgroundThread::stopAndRestart()
{
    ZBackgroundThread thread(1, false);
    thread.startWorking();
    QTRY_VERIFY(thread.cycles() >= 2);
    thread.stopWorking();
    QTRY_VERIFY(!thread.isRunning());
    QVERIFY(thread.wait(5000));
    const int stopped = thread.cycles();
    QCOMPARE(thread.cycles(), stopped);

    thread.startWorking();
    QTRY_VERIFY(thread.cycles() >= stopped + 2);
    QVERIFY(thread.isRunning());
}

void TestZBackgroundThread::startAfterAutostartIsNotLost()
{
    // The autostarted thread finds nothing to do and ends while the creator asks it to work,
    // as the exchange's process monitor is set up.
    for (int round = 0; round < 500; ++round) {
        QSemaphore cycled;
        ZBackgroundThread thread(0, true);
        connect(
            &thread, &ZBackgroundThread::doWork, &thread,
            [&] {
                thread.stopWorking();
                cycled.release();
            },
            Qt::DirectConnection);
        thread.startWorking();
        QVERIFY2(cycled.tryAcquire(1, 10000), qPrintable(QString("start lost in round %1").arg(round)));
    }
}

void TestZBackgroundThread::startRacingLoopEndIsNeverLost()
{
    // Each cycle stops the loop itself, then the test asks it to work again while the loop is
    // deciding to end. A lost request leaves the loop ended and the semaphore dry.
    QSemaphore stopped;
    ZBackgroundThread thread(0, false);
    connect(
        &thread, &ZBackgroundThread::doWork, &thread,
        [&] {
            thread.stopWorking();
            stopped.release();
        },
        Qt::DirectConnection);
    thread.startWorking();
    for (int round = 0; round < 2000; ++round) {
        QVERIFY2(stopped.tryAcquire(1, 10000), qPrintable(QString("start lost in round %1").arg(round)));
        thread.startWorking();
    }
    QVERIFY(stopped.tryAcquire(1, 10000));
}

void TestZBackgroundThread::startFromFinishedHandlerRestarts()
{
    std::atomic<int> restarts { 0 };
    QSemaphore cycled;
    ZBackgroundThread thread(0, false);
    connect(
        &thread, &QThread::finished, &thread,
        [&] {
            if (restarts++ == 0)
                thread.startWorking();
        },
        Qt::DirectConnection);
    connect(
        &thread, &ZBackgroundThread::doWork, &thread,
        [&] {
            thread.stopWorking();
            cycled.release();
        },
        Qt::DirectConnection);
    thread.startWorking();
    QVERIFY(cycled.tryAcquire(1, 10000));
    // The second cycle comes from the start made inside finished().
    QTRY_VERIFY_WITH_TIMEOUT(cycled.available() == 1, 10000);
}

void TestZBackgroundThread::destroyRightAfterStopWaitsForCycle()
{
    for (int round = 0; round < 50; ++round) {
        QSemaphore entered;
        QSemaphore proceed;
        std::atomic<bool> inCycle { false };
        std::atomic<bool> cycleDone { false };
        auto *thread = new ZBackgroundThread(0, false);
        connect(
            thread, &ZBackgroundThread::doWork, thread,
            [&] {
                inCycle = true;
                entered.release();
                proceed.acquire();
                cycleDone = true;
                inCycle = false;
            },
            Qt::DirectConnection);
        thread->startWorking();
        QVERIFY(entered.tryAcquire(1, 10000));
        thread->stopWorking();
        proceed.release();
        delete thread;
        QVERIFY(cycleDone);
        QVERIFY(!inCycle);
    }
}

void TestZBackgroundThread::stopCutsSleepShort()
{
    // A long interval must not hold up shutdown: stop ends the sleep under way.
    auto *thread = new ZBackgroundThread(3600 * 1000, false);
    QSemaphore cycled;
    connect(
        thread, &ZBackgroundThread::doWork, thread, [&] { cycled.release(); }, Qt::DirectConnection);
    thread->startWorking();
    QVERIFY(cycled.tryAcquire(1, 10000));
    thread->stopWorking();
    QTRY_VERIFY_WITH_TIMEOUT(!thread->isRunning(), 10000);
    QVERIFY(thread->wait(10000));
    QCOMPARE(thread->cycles(), 1);
    delete thread;
}

KESTA_TEST_MAIN(TestZBackgroundThread)
#include "tst_zbackgroundthread.moc"
