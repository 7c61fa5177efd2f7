#include "exchange/recorderlauncher.h"
#include "support/testenvironment.h"

#include <QFile>
#include <QTemporaryDir>

// Where the recorder is looked for, and what a started recorder receives. The recorder here is
// a script named "DI Duvi.exe" that writes down its arguments.
class TestRecorderLauncher : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    QString makeRecorder(const QString &subfolder, bool executable = true)
    {
        QDir(folder.path()).mkpath(subfolder);
        const QString path = folder.path() + "/" + subfolder + "/" + RecorderLauncher::Executable;
        QFile script(path);
        if (!script.open(QIODevice::WriteOnly))
            return QString();
        // Each argument in brackets, written whole by a rename so that a half-written file is never read.
        script.write("#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$0.part\"\n"
                     "mv \"$0.part\" \"$0.args\"\n");
        script.close();
        if (executable)
            script.setPermissions(script.permissions() | QFile::ExeOwner);
        return path;
    }

private slots:
    void candidatesInOrder_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("architecture");
        QTest::addColumn<QString>("applicationDir");
        QTest::addColumn<QStringList>("expected");
        const QString exe = "DI Duvi.exe";
        QTest::newRow("64-bit Windows") << "winnt" << "x86_64" << "C:\\Kesta"
            << QStringList { "C:/Kesta/" + exe, "C:/Program Files (x86)/Talvena/Orvalis/" + exe, "C:/Orvalis/" + exe };
        QTest::newRow("32-bit Windows") << "winnt" << "i386" << "C:/Kesta/"
            << QStringList { "C:/Kesta/" + exe, "C:/Program Files/Talvena/Orvalis/" + exe, "C:/Orvalis/" + exe };
        QTest::newRow("Linux") << "linux" << "x86_64" << "/usr/lib/kesta"
            << QStringList { "/usr/lib/kesta/" + exe, "/opt/Talvena/Orvalis/" + exe, "/opt/Orvalis/" + exe };
    }
    void candidatesInOrder()
    {
        QFETCH(QString, system);
        QFETCH(QString, architecture);
        QFETCH(QString, applicationDir);
        QFETCH(QStringList, expected);
        QCOMPARE(RecorderLauncher::candidates(applicationDir, system, architecture), expected);
    }

    void startsTheFirstFoundWithItsArgument_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QByteArray>("received");
        QTest::newRow("examination") << RecorderLauncher::DatabaseSwitch << QByteArray("[/database]");
        QTest::newRow("recording with blanks") << RecorderLauncher::quotedPath("/data/My Patient/EEG 1/rec 1.edf")
                                               << QByteArray("[\"/data/My Patient/EEG 1/rec 1.edf\"]");
        QTest::newRow("no argument") << QString() << QByteArray();
    }
    void startsTheFirstFoundWithItsArgument()
    {
        QFETCH(QString, argument);
        QFETCH(QByteArray, received);
        const QString chosen = makeRecorder(QTest::currentDataTag() + QString("/a"));
        const QString later = makeRecorder(QTest::currentDataTag() + QString("/b"));
        const QStringList candidates { folder.path() + "/missing/DI Duvi.exe", chosen, later };

        const RecorderLaunch launch = RecorderLauncher::launch(candidates, argument);
        QVERIFY(launch.started());
        QCOMPARE(launch.program, chosen);
        QCOMPARE(launch.searched, candidates);
        QTRY_VERIFY(QFile::exists(chosen + ".args"));
        QFile args(chosen + ".args");
        QVERIFY(args.open(QIODevice::ReadOnly));
        QCOMPARE(args.readAll(), received);
        QVERIFY(!QFile::exists(later + ".args"));
    }

    void failuresSayWhatWasTried()
    {
        const QStringList nowhere { folder.path() + "/x/DI Duvi.exe", folder.path() + "/y/DI Duvi.exe" };
        RecorderLaunch launch = RecorderLauncher::launch(nowhere, RecorderLauncher::DatabaseSwitch);
        QCOMPARE(launch.outcome, RecorderLaunch::NotFound);
        QCOMPARE(launch.searched, nowhere);

        const QString unusable = makeRecorder("not-executable", false);
        launch = RecorderLauncher::launch({ unusable }, RecorderLauncher::DatabaseSwitch);
        QCOMPARE(launch.outcome, RecorderLaunch::StartFailed);
        QCOMPARE(launch.program, unusable);
        QCOMPARE(launch.reason, QString("Permission denied"));
    }
};

KESTA_TEST_MAIN(TestRecorderLauncher)
#include "tst_recorderlauncher.moc"
