#include "app/singleinstance.h"
#include "support/testenvironment.h"

#include <QFile>
#include <QLocalServer>
#include <QWidget>

// The hand-over between two copies, both in this process: the first listens, the second asks.
class TestSingleInstance : public QObject
{
    Q_OBJECT
private slots:
    void secondCopyBringsTheFirstToTheFrontUnlessItStepsAside()
    {
        SingleInstance second;
        QCOMPARE(second.askRunningCopy(), SingleInstance::Answer::None);

        SingleInstance first;
        QVERIFY(first.listen());
        QCOMPARE(second.askRunningCopy(), SingleInstance::Answer::Busy); // no window yet
        QWidget window;
        first.setWindow(&window);
        window.showMinimized();
        QCOMPARE(second.askRunningCopy(), SingleInstance::Answer::Shown);
        QVERIFY(!window.isMinimized() && window.isVisible());

        // Out of the way while the recorder runs: it stays so.
        window.hide();
        QCOMPARE(second.askRunningCopy(), SingleInstance::Answer::Busy);
        QVERIFY(window.isHidden());
    }

    // A socket that a crashed copy left behind answers nothing and is taken over.
    void leftOverSocketIsTakenOver()
    {
        const QString key = "kesta-test-left-over";
        QLocalServer::removeServer(key);
        QFile leftOver(QDir::tempPath() + "/" + key);
        QVERIFY(leftOver.open(QIODevice::WriteOnly));
        leftOver.close();
        SingleInstance first(key);
        QCOMPARE(first.askRunningCopy(), SingleInstance::Answer::None);
        QVERIFY(first.listen());
        QCOMPARE(SingleInstance(key).askRunningCopy(), SingleInstance::Answer::Busy);
    }
};

KESTA_TEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
