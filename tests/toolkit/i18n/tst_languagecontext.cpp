#include "support/settingsfiles.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"

// Beside the program's catalogues: first_en_US, second_en_US, first_ru_RU and dashed_zz-ZZ
// (folder languagecontext/), each translating one message of the context "Probe".

namespace
{

const char SystemLocaleVariable[] = "KESTA_TEST_SYSTEM_LOCALE";

// The system locale is read once per process, so a case that needs a given system language
// runs again, alone, in a child of this test started in that locale; the child's verdict is
// the case's verdict.
void runInChild(const QString &locale)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(SystemLocaleVariable, locale);
    env.insert("LC_ALL", locale + ".UTF-8");
    env.insert("LANG", locale + ".UTF-8");
    const QString testCase = QString(QTest::currentTestFunction()) + ':' + QTest::currentDataTag();
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), { testCase });
    QVERIFY2(child.waitForFinished(60000), "the child test did not finish");
    QVERIFY2(
        child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, child.readAll().constData());
}

} // namespace

class LanguageContextTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // As in the program, only built-in catalogues count; their file names give the language.
        LanguageContext::UseFilesInRootDir = false;
        QCOMPARE(LanguageContext::availableLanguages(), QStringList({ "en_US", "ru_RU", "zz-ZZ" }));
        if (qEnvironmentVariableIsSet(SystemLocaleVariable))
            QCOMPARE(LanguageContext::systemLanguage(), qEnvironmentVariable(SystemLocaleVariable));
    }

    void languageChoice_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QByteArray>("file"); // "Settings.xml"; null: none
        QTest::addColumn<QString>("code"); // given to setLanguage; null: the start-up choice from the file
        QTest::addColumn<QString>("installed");
        const auto row = [](const char *tag, const char *system, QByteArray file, const char *code,
                             const char *installed) {
            QTest::newRow(tag) << QString(system) << file << QString(code) << QString(installed);
        };
        const auto stored = [](const QByteArray &value) {
            return "<?xml version=\"1.0\"?>\n<KestaSettings><Language>" + value
                + "</Language></KestaSettings>";
        };
        row("unknown code, Russian system", "ru_RU", QByteArray(), "de_DE", "ru_RU");
        row("unknown code, German system", "de_DE", QByteArray(), "de_DE", "en_US");
        row("no settings file", "ru_RU", QByteArray(), nullptr, "ru_RU");
        row("stored English on a Russian system", "ru_RU", stored("en_US"), nullptr, "en_US");
        row("stored Russian on an English system", "en_US", stored("ru_RU"), nullptr, "ru_RU");
        row("known code without underscore", "ru_RU", stored("zz-ZZ"), nullptr, "ru_RU");
        row("no catalogue", "ru_RU", stored("de_DE"), nullptr, "ru_RU");
        row("tag at the very start", "ru_RU", "<Language>en_US</Language>\n", nullptr, "ru_RU");
        row("no end tag", "ru_RU", "<?xml version=\"1.0\"?>\n<Language>en_US", nullptr, "ru_RU");
    }
    void languageChoice()
    {
        QFETCH(QString, system);
        QFETCH(QByteArray, file);
        QFETCH(QString, code);
        QFETCH(QString, installed);
        if (!qEnvironmentVariableIsSet(SystemLocaleVariable))
            return runInChild(system);

        if (!file.isNull())
            kestatest::writeFile("Settings.xml", file);
        const QString chosen = code.isNull() ? LanguageContext::startupLanguage("Settings.xml") : code;
        QCOMPARE(LanguageContext::setLanguage(chosen), installed);
        QCOMPARE(LanguageContext::currentLanguage(), installed);
        // Every catalogue of the language is installed, the program's own among them.
        const bool english = installed == "en_US";
        QCOMPARE(QCoreApplication::translate("Probe", "First"),
            QString(english ? "From the first English catalogue" : "Из первого русского каталога"));
        QCOMPARE(QCoreApplication::translate("Probe", "Second"),
            QString(english ? "From the second English catalogue" : "Second"));
        QCOMPARE(QCoreApplication::translate("Generic", english ? "StartMaximized" : "Language"),
            QString(english ? "Start maximized" : "Язык"));
        // Qt's own texts and the calendar's month names follow, from Qt's installation.
        QCOMPARE(
            QCoreApplication::translate("QPlatformTheme", "Close"), QString(english ? "Close" : "Закрыть"));
        QCOMPARE(QLocale().monthName(3), QString(english ? "March" : "марта"));
    }
};

KESTA_TEST_MAIN(LanguageContextTest)
#include "tst_languagecontext.moc"
