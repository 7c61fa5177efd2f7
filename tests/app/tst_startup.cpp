#include "support/testenvironment.h"

#include "app/singleinstance.h"
#include "app/startup.h"
#include "db/datalocations.h"
#include "support/namedprocess.h"
#include "toolkit/util/apphelper.h"

#include <QApplication>

using kestatest::NamedProcess;

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void endRecorderEndsRunningRecorder()
    {
        NamedProcess recorder("DI Duvi.exe");
        QVERIFY(recorder.start());
        Startup::endRecorder();
        QTRY_VERIFY(!recorder.isRunning());
    }

    // The real program runs; a second copy of the same entry function, named like it, must warn
    // within seconds and end with exit code 0 before any event loop, leaving the first copy's
    // recorder running. Boxes cannot be answered across processes, so the second copy is the entry
    // function built with the dialog seam answering and printing every box.
    void secondCopyOfProgramRefusedEndToEnd()
    {
        const QString binaryDir = qEnvironmentVariable("KESTA_BINARY_DIR");
        QVERIFY2(!binaryDir.isEmpty(), "KESTA_BINARY_DIR is set by CTest");
        if (!AppHelper::findRunningApps({ "kesta", "OV Database" }).isEmpty())
            QSKIP("a copy of the program runs on this machine");
        qputenv("LC_ALL", "en_US.UTF-8");
        // No box at the first copy's start: its window comes up.
        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Created);
        QProcess first;
        first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first.start(binaryDir + "/src/kesta", QStringList());
        QVERIFY(first.waitForStarted(10000));
        QTRY_COMPARE_WITH_TIMEOUT(SingleInstance().askRunningCopy(), SingleInstance::Answer::Shown, 20000);
        NamedProcess recorder("DI Duvi.exe");
        QVERIFY(recorder.start());

        NamedProcess second("kesta", binaryDir + "/tests/kesta_answered");
        QVERIFY(second.start(QStringList()));
        // Not twenty rounds of a second in silence.
        QVERIFY(second.process().waitForFinished(10000));
        QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.process().exitCode(), 0);
        QCOMPARE(QString::fromUtf8(second.process().readAllStandardOutput()),
            QString("Cannot start because this app is already running:\nkesta\n"));
        QCOMPARE(first.state(), QProcess::Running);
        QVERIFY(recorder.isRunning());
        first.kill();
        QVERIFY(first.waitForFinished(10000));
    }
};

KESTA_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
