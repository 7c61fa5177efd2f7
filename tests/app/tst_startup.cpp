#include "support/testenvironment.h"

#include "app/singleinstance.h"
#include "app/startup.h"
#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "support/namedprocess.h"
#include "support/settingsfiles.h"
#include "toolkit/i18n/languagecontext.h"
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
        QVERIFY(kestatest::isAlive(first.processId()));
        QVERIFY(recorder.isRunning());
        first.kill();
        QVERIFY(first.waitForFinished(10000));
    }

    // A start on an English system wrote Russian, the setting's default, at its first save, and the
    // second start came up in Russian; a stored language without catalogues did the same.
    void secondStartKeepsTheLanguageOfTheFirst_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("first start") << QByteArray();
        QTest::newRow("no such language") << QByteArray(
            "<?xml version=\"1.0\"?>\n<KestaSettings><Language>de_DE</Language></KestaSettings>\n");
    }
    void secondStartKeepsTheLanguageOfTheFirst()
    {
        QFETCH(QByteArray, file);
        QFile::remove("Settings.xml");
        if (!file.isNull())
            kestatest::writeFile("Settings.xml", file);
        LanguageContext::UseFilesInRootDir = false;
        QCOMPARE(LanguageContext::setLanguage("en_US"), QString("en_US"));
        {
            KestaSettings settings("Settings.xml");
            settings.reload();
            Startup::keepLanguageInUse(&settings);
            QCOMPARE(kestatest::readFile("Settings.xml"), file); // starting writes nothing
            settings.setLastPatientId(3); // the first save of anything
        }
        QCOMPARE(LanguageContext::startupLanguage("Settings.xml"), QString("en_US"));
    }
};

KESTA_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
