#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"

#include <QFile>
#include <QProcess>
#include <QTranslator>

// Besides the program's own catalogues this test carries "first_en_US",
// "second_en_US", "first_ru_RU" and "dashed_zz-ZZ" (folder languagecontext/),
// each translating one message of the context "Probe".

namespace
{

const char SystemLocaleVariable[] = "KESTA_TEST_SYSTEM_LOCALE";

QString probe(const char *source)
{
    return QCoreApplication::translate("Probe", source);
}

// A settings file laid out as the program writes it.
QByteArray settingsWithLanguage(const QByteArray &value)
{
    return "<?xml version=\"1.0\"?>\n<KestaSettings>\n    <Language>" + value
        + "</Language>\n    <ColorTheme>Light</ColorTheme>\n</KestaSettings>\n";
}

bool inChild()
{
    return qEnvironmentVariableIsSet(SystemLocaleVariable);
}

// The system locale is read once per process, so a case that needs a given
// system language runs again, alone, in a child of this test started in that
// locale; the child's verdict is the case's verdict.
void runInChild(const QString &locale)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(SystemLocaleVariable, locale);
    env.insert("LC_ALL", locale + ".UTF-8");
    env.insert("LANG", locale + ".UTF-8");
    QString testCase = QTest::currentTestFunction();
    if (QTest::currentDataTag())
        testCase += ':' + QString::fromUtf8(QTest::currentDataTag());

    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), { testCase });
    QVERIFY2(child.waitForFinished(60000), "the child test did not finish");
    const QString output = QString::fromUtf8(child.readAll());
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, qPrintable(output));
    QVERIFY2(
        output.contains("PASS   : LanguageContextTest::" + testCase.section(':', 0, 0)), qPrintable(output));
}

} // namespace

class LanguageContextTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // As the program does: only catalogues built into the resources count.
        LanguageContext::UseFilesInRootDir = false;
        if (inChild())
            QCOMPARE(LanguageContext::systemLanguage(), qEnvironmentVariable(SystemLocaleVariable));
    }

    void cleanup()
    {
        const auto translators = qApp->findChildren<QTranslator *>();
        for (QTranslator *translator : translators) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }

    void cataloguesAreFoundByTheCodeInTheirNames()
    {
        QCOMPARE(LanguageContext::availableLanguages(), QStringList({ "en_US", "ru_RU", "zz-ZZ" }));
        QVERIFY(LanguageContext::hasLanguage("ru_RU"));
        QVERIFY(!LanguageContext::hasLanguage("ru"));
        QVERIFY(!LanguageContext::hasLanguage("RU_RU"));
        QVERIFY(!LanguageContext::hasLanguage(""));
    }

    void everyCatalogueOfTheLanguageIsInstalled()
    {
        QCOMPARE(LanguageContext::setLanguage("en_US"), QString("en_US"));
        QCOMPARE(LanguageContext::currentLanguage(), QString("en_US"));
        QCOMPARE(probe("First"), QString("From the first English catalogue"));
        QCOMPARE(probe("Second"), QString("From the second English catalogue"));
    }

    void shippedCataloguesTranslateSettingNames()
    {
        LanguageContext::setLanguage("en_US");
        QCOMPARE(QCoreApplication::translate("Generic", "StartMaximized"), QString("Start maximized"));
        cleanup();
        LanguageContext::setLanguage("ru_RU");
        QCOMPARE(QCoreApplication::translate("Generic", "Language"), QString("Язык"));
        QCOMPARE(probe("First"), QString("Из первого русского каталога"));
    }

    void unknownCodesFallBack_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("installed");
        const auto row = [](const char *tag, const char *system, const char *code, const char *installed) {
            QTest::newRow(tag) << QString(system) << QString(code) << QString(installed);
        };
        row("unknown code, Russian system", "ru_RU", "de_DE", "ru_RU");
        row("empty code, English system", "en_US", "", "en_US");
        row("unknown code, German system", "de_DE", "de_DE", "en_US");
    }

    void unknownCodesFallBack()
    {
        QFETCH(QString, system);
        QFETCH(QString, code);
        QFETCH(QString, installed);
        if (!inChild())
            return runInChild(system);

        QCOMPARE(LanguageContext::setLanguage(code), installed);
        QCOMPARE(LanguageContext::currentLanguage(), installed);
        QCOMPARE(probe("First"),
            installed == "ru_RU" ? QString("Из первого русского каталога")
                                 : QString("From the first English catalogue"));
    }

    void startupLanguage_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("installed");
        const QByteArray noFile;
        QTest::newRow("no settings file") << "ru_RU" << noFile << "ru_RU";
        QTest::newRow("stored English on a Russian system")
            << "ru_RU" << settingsWithLanguage("en_US") << "en_US";
        QTest::newRow("stored Russian on an English system")
            << "en_US" << settingsWithLanguage("ru_RU") << "ru_RU";
        QTest::newRow("German system without a file") << "de_DE" << noFile << "en_US";
        QTest::newRow("too short") << "ru_RU" << settingsWithLanguage("en") << "ru_RU";
        QTest::newRow("no underscore") << "ru_RU" << settingsWithLanguage("en-US") << "ru_RU";
        QTest::newRow("known code without underscore") << "ru_RU" << settingsWithLanguage("zz-ZZ") << "ru_RU";
        QTest::newRow("spaces around") << "ru_RU" << settingsWithLanguage(" en_US ") << "ru_RU";
        QTest::newRow("no catalogue") << "ru_RU" << settingsWithLanguage("de_DE") << "ru_RU";
        QTest::newRow("tag at the very start")
            << "ru_RU" << QByteArray("<Language>en_US</Language>\n") << "ru_RU";
        QTest::newRow("no end tag") << "ru_RU" << QByteArray("<?xml version=\"1.0\"?>\n<Language>en_US")
                                    << "ru_RU";
        QTest::newRow("no language element")
            << "ru_RU" << QByteArray("<?xml version=\"1.0\"?>\n<KestaSettings/>\n") << "ru_RU";
    }

    void startupLanguage()
    {
        QFETCH(QString, system);
        QFETCH(QByteArray, settings);
        QFETCH(QString, installed);
        if (!inChild())
            return runInChild(system);

        if (!settings.isNull()) {
            QFile file("Settings.xml");
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(settings), settings.size());
        }
        // The start-up code's own two calls.
        LanguageContext::UseFilesInRootDir = false;
        LanguageContext::setLanguage(LanguageContext::startupLanguage(QStringLiteral("Settings.xml")));
        QCOMPARE(LanguageContext::currentLanguage(), installed);
    }
};

KESTA_TEST_MAIN(LanguageContextTest)
#include "tst_languagecontext.moc"
