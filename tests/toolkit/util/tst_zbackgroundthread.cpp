#include "support/testenvironment.h"

#include "toolkit/util/zbackgroundthread.h"

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
        // Declared before the threads: their destructors may still run the handlers.
        std::atomic<int> elsewhere { 0 };
        QSemaphore cycled;
        ZBackgroundThread quick(1, false), hourly(3600 * 1000, false);
        onWork(quick, [&] {
            if (QThread::currentThread() != &quick || !quick.isCurrentlyProcessing())
                ++elsewhere;
        });
        onWork(hourly, [&] { cycled.release(); });
        quick.startWorking();
        QTRY_VERIFY(quick.cycles() >= 3);
        quick.stopWorking();
        QTRY_VERIFY(!quick.isRunning());
        QCOMPARE(elsewhere.load(), 0);

        // An hour's interval must not hold up shutdown: stop ends the sleep under way (the count
        // rises just before the sleep, under the lock that the sleep lets go).
        hourly.startWorking();
        QVERIFY(cycled.tryAcquire(1, 10000));
        QTRY_COMPARE(hourly.cycles(), 1);
        hourly.stopWorking();
        QVERIFY(hourly.wait(10000));
    }

    void startRacingOrAfterLoopEndIsNeverLost()
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

        // From a finished() handler: a thread cannot wait for itself, so that start is made from the
        // owner's thread.
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
