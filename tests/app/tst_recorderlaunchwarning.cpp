#include "app/recorderlaunchwarning.h"
#include "exchange/recorderlauncher.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/util/apphelper.h"

// A recorder command that starts nothing says so, and where it looked, in the user's language.
class TestRecorderLaunchWarning : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        MessageBox::reset();
        LanguageContext::setLanguage("en_US");
    }

    void nothingInstalledIsShownWithThePlaces()
    {
        // No recorder lies beside the test, nor in the installation folders.
        RecorderLaunch launch = RecorderLauncher::launchRecorder(RecorderLauncher::DatabaseSwitch);
        QCOMPARE(launch.outcome, RecorderLaunch::NotFound);
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(!RecorderLaunchWarning::confirmStarted(launch));
        // One answer was queued for one box: a started recorder shows none.
        launch.outcome = RecorderLaunch::Started;
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(RecorderLaunchWarning::confirmStarted(launch));
        QCOMPARE(MessageBox::pendingAnswers(), 1);
        const QList<MessageBox::Shown> shown = MessageBox::takeShown();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.at(0).text.startsWith("No recorder is installed."));
        for (const QString &place : launch.searched)
            QVERIFY2(shown.at(0).text.contains(place), qPrintable(place));
    }

    void startFailureNamesTheProgramAndTheReason()
    {
        RecorderLaunch launch;
        launch.outcome = RecorderLaunch::StartFailed;
        launch.program = "/opt/Orvalis/DI Duvi.exe";
        launch.searched = QStringList { "/usr/lib/kesta/DI Duvi.exe", launch.program };
        launch.reason = "Permission denied";
        QCOMPARE(RecorderLaunchWarning::text(launch),
            QString("The recorder cannot be started:\n/opt/Orvalis/DI Duvi.exe\nPermission denied\n\n"
                    "Places looked in:\n/usr/lib/kesta/DI Duvi.exe\n/opt/Orvalis/DI Duvi.exe"));

        QCOMPARE(LanguageContext::setLanguage("ru_RU"), QString("ru_RU"));
        QVERIFY(RecorderLaunchWarning::text(launch).startsWith(QString::fromUtf8("Не удаётся запустить")));
        launch.outcome = RecorderLaunch::NotFound;
        QVERIFY(RecorderLaunchWarning::text(launch).startsWith(QString::fromUtf8("Регистратор не установлен")));
    }
};

KESTA_TEST_MAIN(TestRecorderLaunchWarning)
#include "tst_recorderlaunchwarning.moc"
