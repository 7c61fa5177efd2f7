#include "support/testenvironment.h"

#include "toolkit/util/zbackgroundthread.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <atomic>
#include <functional>

static void onWork(ZBackgroundThread &thread, std::function<void()> work)
{
    QObject::connect(&thread, &ZBackgroundThread::doWork, &thread, work, Qt::DirectConnection);
}

class TestZBackgroundThread : public QObject
{
    Q_OBJECT
private slots:
    void cyclesRunOnWorkerThreadUntilStopped()
    {
        // Declared before the thread: its destructor may still run the handler.
        std::atomic<int> elsewhere { 0 };
        ZBackgroundThread thread(1, false);
        onWork(thread, [&] {
            if (QThread::currentThread() != &thread || !thread.isCurrentlyProcessing())
                ++elsewhere;
        });
        thread.startWorking();
        QTRY_VERIFY(thread.cycles() >= 3);
        thread.stopWorking();
        QTRY_VERIFY(!thread.isRunning());
        QCOMPARE(elsewhere.load(), 0);
    }

    void stopCutsSleepShortAndRestarts()
    {
        // An hour's interval must not hold up shutdown: stop ends the sleep under way.
        QSemaphore cycled;
        ZBackgroundThread thread(3600 * 1000, false);
        onWork(thread, [&] { cycled.release(); });
        thread.startWorking();
        QVERIFY(cycled.tryAcquire(1, 10000));
        thread.stopWorking();
        QVERIFY(thread.wait(10000));
        thread.startWorking();
        QVERIFY(cycled.tryAcquire(1, 10000));
    }

    void startRacingLoopEndIsNeverLost()
    {
        // Each cycle stops the loop, then a start comes while it decides to end; a lost start leaves the
        // semaphore dry. Autostarted, the first start meets an idle loop ending (the exchange's monitor).
        for (bool autostart : { false, true }) {
            for (int round = 0; round < 200; ++round) {
                QSemaphore cycled;
                ZBackgroundThread thread(0, autostart);
                onWork(thread, [&] {
                    thread.stopWorking();
                    cycled.release();
                });
                for (int start = 0; start < 10; ++start) {
                    thread.startWorking();
                    QVERIFY2(cycled.tryAcquire(1, 10000), autostart ? "autostarted" : "started later");
                }
            }
        }
    }

    void startFromFinishedHandlerRestarts()
    {
        // A thread cannot wait for itself, so this start is made from the owner's thread.
        QSemaphore cycled;
        ZBackgroundThread thread(0, false);
        const auto restartOnce = [&] {
            if (cycled.available() == 1)
                thread.startWorking();
        };
        connect(&thread, &QThread::finished, &thread, restartOnce, Qt::DirectConnection);
        onWork(thread, [&] {
            thread.stopWorking();
            cycled.release();
        });
        thread.startWorking();
        QTRY_COMPARE(cycled.available(), 2);
    }

    void destroyRightAfterStopWaitsForCycle()
    {
        for (int round = 0; round < 50; ++round) {
            QSemaphore entered, proceed;
            std::atomic<bool> cycleDone { false };
            auto *thread = new ZBackgroundThread(0, false);
            onWork(*thread, [&] {
                entered.release();
                proceed.acquire();
                cycleDone = true;
            });
            thread->startWorking();
            QVERIFY(entered.tryAcquire(1, 10000));
            thread->stopWorking();
            proceed.release();
            delete thread;
            QVERIFY(cycleDone);
        }
    }
};

KESTA_TEST_MAIN(TestZBackgroundThread)
#include "tst_zbackgroundthread.moc"
