#include "support/testenvironment.h"

#include "app/startup.h"
#include "support/namedprocess.h"
#include "toolkit/util/apphelper.h"

#include <QApplication>
#include <QDirIterator>
#include <QFontDatabase>

using kestatest::NamedProcess;

namespace
{

QString binaryDir()
{
    return qEnvironmentVariable("KESTA_BINARY_DIR");
}

QString anyFontFile()
{
    QDirIterator it("/usr/share/fonts", { "*.ttf" }, QDir::Files, QDirIterator::Subdirectories);
    return it.hasNext() ? it.next() : QString();
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { AppHelper::resetAnswers(); }
    void endRecorderEndsRunningRecorder();
    void fontsFromResourcesWhenPresent();
    void fontFamilyOnlyWhenProvided();
    void copyNames();
    void runningCopyRefusedWithWarning();
    void secondCopyOfProgramRefusedEndToEnd();
};

void TestStartup::endRecorderEndsRunningRecorder()
{
    NamedProcess recorder("DI Duvi.exe");
    QVERIFY(recorder.start());
    Startup::endRecorder();
    QTRY_VERIFY(!recorder.isRunning());
    // Nothing running: nothing happens.
    Startup::endRecorder();
}

void TestStartup::fontsFromResourcesWhenPresent()
{
    int present = 0;
    for (const QString &file : Startup::fontFiles())
        present += QFile::exists(file) ? 1 : 0;
    const QString before = QApplication::font().family();
    QCOMPARE(Startup::registerFonts(), present);
    if (present == 0)
        QCOMPARE(QApplication::font().family(), before);
    else
        QCOMPARE(QApplication::font().family(), QString("Open Sans SemiCondensed"));
}

void TestStartup::fontFamilyOnlyWhenProvided()
{
    const QString file = anyFontFile();
    if (file.isEmpty())
        QSKIP("no TrueType font on this system");
    const QString before = QApplication::font().family();
    QCOMPARE(Startup::registerFonts({ "/no/such/font.ttf", file }, "No Such Family"), 1);
    QCOMPARE(QApplication::font().family(), before);

    const QStringList families
        = QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(file));
    QVERIFY(!families.isEmpty());
    QCOMPARE(Startup::registerFonts({ file }, families.first()), 1);
    QCOMPARE(QApplication::font().family(), families.first());
}

void TestStartup::copyNames()
{
    QCOMPARE(
        Startup::copyNames(), QStringList({ QCoreApplication::applicationName(), "Kesta", "OV Database" }));
}

void TestStartup::runningCopyRefusedWithWarning()
{
    if (!AppHelper::findRunningApps(Startup::copyNames()).isEmpty())
        QSKIP("a copy of the program runs on this machine");
    AppHelper::setNextAnswer(true);
    QVERIFY(!Startup::refuseRunningCopies());
    QVERIFY(AppHelper::takeShownMessages().isEmpty());

    NamedProcess oldDatabase("OV Database");
    QVERIFY(oldDatabase.start());
    QVERIFY(Startup::refuseRunningCopies());
    const QList<AppHelper::ShownMessage> shown = AppHelper::takeShownMessages();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().text, QString("Cannot start because this app is already running:\nOV Database"));
    QCOMPARE(shown.first().title, QString());
}

// The real program runs; a second copy of the same entry function, named like it, must warn
// and end with exit code 0 before any event loop (else it would never end by itself). Message
// boxes cannot be answered across processes, so the second copy is the entry function built
// with the dialog seam answering and printing every box (answereddialogs.cpp).
void TestStartup::secondCopyOfProgramRefusedEndToEnd()
{
    QVERIFY2(!binaryDir().isEmpty(), "KESTA_BINARY_DIR is set by CTest");
    if (!AppHelper::findRunningApps({ "kesta", "OV Database" }).isEmpty())
        QSKIP("a copy of the program runs on this machine");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LANG", "en_US.UTF-8");
    environment.insert("LC_ALL", "en_US.UTF-8");
    environment.insert("LANGUAGE", "en_US");

    QProcess first;
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(binaryDir() + "/src/kesta", QStringList());
    QVERIFY(first.waitForStarted(10000));
    QCOMPARE(AppHelper::findRunningApps({ "kesta" }), QStringList { "kesta" });

    NamedProcess second("kesta", binaryDir() + "/tests/kesta_answered");
    second.process().setProcessEnvironment(environment);
    QVERIFY(second.start(QStringList()));
    QVERIFY(second.process().waitForFinished(60000));
    QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process().exitCode(), 0);
    QCOMPARE(QString::fromUtf8(second.process().readAllStandardOutput()),
        QString("Cannot start because this app is already running:\nkesta\n"));

    QVERIFY(first.state() == QProcess::Running);
    first.kill();
    QVERIFY(first.waitForFinished(10000));
}

KESTA_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
