#include "db/kestasettings.h"
#include "support/settingsdeclarationcheck.h"
#include "support/testenvironment.h"
#include "toolkit/settings/metadescription.h"

namespace
{

const QByteArray defaultFile = "<?xml version=\"1.0\"?>\n"
                               "<KestaSettings>\n"
                               "    <Language>ru_RU</Language>\n"
                               "    <ColorTheme>Light</ColorTheme>\n"
                               "    <StartMaximized>true</StartMaximized>\n"
                               "    <SelectLastPatient>true</SelectLastPatient>\n"
                               "    <PatientsTableSorting></PatientsTableSorting>\n"
                               "    <PatientsTableColumns></PatientsTableColumns>\n"
                               "    <RecordsTableSorting></RecordsTableSorting>\n"
                               "    <RecordsTableColumns>RecordDate;Comments</RecordsTableColumns>\n"
                               "    <SplitterSizes></SplitterSizes>\n"
                               "    <PatientCardView>PatientCard_Right</PatientCardView>\n"
                               "    <LastPatientId>-1</LastPatientId>\n"
                               "    <CheckForNewVersion>true</CheckForNewVersion>\n"
                               "</KestaSettings>\n";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

bool hasDefaults(KestaSettings &s)
{
    return s.getLanguage() == KestaSettings::ru_RU && s.getColorTheme() == StyleHelper::Light
        && s.getStartMaximized() && s.getSelectLastPatient() && s.getPatientsTableSorting().isEmpty()
        && s.getPatientsTableColumns().isEmpty() && s.getRecordsTableSorting().isEmpty()
        && s.getRecordsTableColumns() == "RecordDate;Comments" && s.getSplitterSizes().isEmpty()
        && s.getPatientCardView() == KestaSettings::PatientCard_Right && s.getLastPatientId() == -1
        && s.getCheckForNewVersion();
}

} // namespace

// The application's settings and its file "Settings.xml".
class TestKestaSettings : public QObject
{
    Q_OBJECT
private slots:
    void init() { QFile::remove("Settings.xml"); }

    void declarationsAreSound()
    {
        KestaSettings settings { QString() };
        QCOMPARE(kestatest::settingsDeclarationProblems(&settings), QStringList());
        QCOMPARE(settings.getPropertiesNames(),
            (QStringList { "Language", "ColorTheme", "StartMaximized", "SelectLastPatient",
                "PatientsTableSorting", "PatientsTableColumns", "RecordsTableSorting", "RecordsTableColumns",
                "SplitterSizes", "PatientCardView", "LastPatientId", "CheckForNewVersion" }));
        QStringList visible;
        for (const QString &name : settings.getPropertiesNames()) {
            QVERIFY(settings.getPropertyByName(name)->editable);
            QVERIFY(settings.getPropertyByName(name)->hasDefault);
            QVERIFY(settings.getPropertyByName(name)->category.isEmpty());
            if (settings.getPropertyByName(name)->visible)
                visible << name;
        }
        QCOMPARE(visible,
            (QStringList { "Language", "ColorTheme", "StartMaximized", "SelectLastPatient", "PatientCardView",
                "CheckForNewVersion" }));
        const MetaDescription *language = settings.getPropertyByName("Language");
        QVERIFY(!language->showDefault);
        QCOMPARE(language->icon, QString(":/icons/translate.svg"));
        QCOMPARE(language->defaultValue, QString("ru_RU"));
        QCOMPARE(settings.getPropertyByName("ColorTheme")->defaultValue, QString("Light"));
        QCOMPARE(
            settings.getPropertyByName("RecordsTableColumns")->defaultValue, QString("RecordDate;Comments"));
    }

    void startsWithDefaultsWithoutFile()
    {
        KestaSettings settings("Settings.xml");
        QSignalSpy reloaded(&settings, &ZTSettings::reloaded);
        QVERIFY(settings.reload());
        QCOMPARE(reloaded.count(), 1);
        QVERIFY(hasDefaults(settings));
        QVERIFY(!QFile::exists("Settings.xml"));

        // The first change writes every setting.
        settings.setLastPatientId(104);
        QByteArray expected = defaultFile;
        expected.replace("<LastPatientId>-1<", "<LastPatientId>104<");
        QCOMPARE(readFile("Settings.xml"), expected);
    }

    void defaultFileBytes()
    {
        KestaSettings settings("Settings.xml");
        settings.save();
        QCOMPARE(readFile("Settings.xml"), defaultFile);
    }

    void roundTripOfEveryValue()
    {
        {
            KestaSettings settings("Settings.xml");
            settings.setLanguage(KestaSettings::en_US);
            settings.setColorTheme(StyleHelper::Dark);
            settings.setStartMaximized(false);
            settings.setSelectLastPatient(false);
            settings.setPatientsTableSorting("Name;1");
            settings.setPatientsTableColumns("Name;BirthDate;City");
            settings.setRecordsTableSorting("RecordDate;0");
            settings.setRecordsTableColumns("");
            settings.setSplitterSizes("300;700 & <more>");
            settings.setPatientCardView(KestaSettings::PatientCard_None);
            settings.setLastPatientId(2147483647);
            settings.setCheckForNewVersion(false);
        }
        QVERIFY(readFile("Settings.xml").contains("<Language>en_US</Language>"));
        QVERIFY(readFile("Settings.xml").contains("<RecordsTableColumns></RecordsTableColumns>"));
        KestaSettings settings("Settings.xml");
        QVERIFY(settings.reload());
        QCOMPARE(settings.getLanguage(), KestaSettings::en_US);
        QCOMPARE(settings.getColorTheme(), StyleHelper::Dark);
        QCOMPARE(settings.getStartMaximized(), false);
        QCOMPARE(settings.getSelectLastPatient(), false);
        QCOMPARE(settings.getPatientsTableSorting(), QString("Name;1"));
        QCOMPARE(settings.getPatientsTableColumns(), QString("Name;BirthDate;City"));
        QCOMPARE(settings.getRecordsTableSorting(), QString("RecordDate;0"));
        QCOMPARE(settings.getRecordsTableColumns(), QString(""));
        QCOMPARE(settings.getSplitterSizes(), QString("300;700 & <more>"));
        QCOMPARE(settings.getPatientCardView(), KestaSettings::PatientCard_None);
        QCOMPARE(settings.getLastPatientId(), 2147483647);
        QCOMPARE(settings.getCheckForNewVersion(), false);

        // Restoring every default rewrites the default file.
        settings.loadDefaults();
        QVERIFY(hasDefaults(settings));
        QCOMPARE(readFile("Settings.xml"), defaultFile);
    }

    void reloadSetsWhatTheFileHoldsAndWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("lastPatientId");
        QTest::addColumn<int>("cardView");
        QTest::addColumn<int>("language");
        QTest::newRow("some elements") << QByteArray("<?xml version=\"1.0\"?>\n<KestaSettings>\n"
                                                     "    <LastPatientId>12</LastPatientId>\n"
                                                     "</KestaSettings>\n")
                                       << 12 << 0 << 1;
        QTest::newRow("foreign root") << QByteArray("<Preferences><PatientCardView>PatientCard_Center"
                                                    "</PatientCardView><LastPatientId>7</LastPatientId>"
                                                    "</Preferences>")
                                      << 7 << 1 << 1;
        QTest::newRow("unknown enumerators") << QByteArray("<KestaSettings><Language>de_DE</Language>"
                                                           "<PatientCardView>Left</PatientCardView>"
                                                           "<LastPatientId>3</LastPatientId></KestaSettings>")
                                             << 3 << 0 << 1;
        QTest::newRow("enumerator by number") << QByteArray("<KestaSettings><Language>0</Language>"
                                                            "</KestaSettings>")
                                              << -1 << 0 << 1;
        QTest::newRow("malformed after two values")
            << QByteArray("<KestaSettings><Language>en_US</Language><LastPatientId>5</LastPatientId>"
                          "<PatientCardView>PatientCard_None</PatientCard><StartMaximized>false")
            << 5 << 0 << 0;
        QTest::newRow("not XML at all") << QByteArray("\xff\xfe garbage") << -1 << 0 << 1;
        QTest::newRow("empty file") << QByteArray() << -1 << 0 << 1;
    }
    void reloadSetsWhatTheFileHoldsAndWritesNothing()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, lastPatientId);
        QFETCH(int, cardView);
        QFETCH(int, language);
        writeFile("Settings.xml", file);
        KestaSettings settings("Settings.xml");
        QSignalSpy saved(&settings, &ZTSettings::saved);
        QVERIFY(settings.reload());
        QCOMPARE(settings.getLastPatientId(), lastPatientId);
        QCOMPARE(int(settings.getPatientCardView()), cardView);
        QCOMPARE(int(settings.getLanguage()), language);
        QCOMPARE(settings.getStartMaximized(), true);
        QCOMPARE(settings.getRecordsTableColumns(), QString("RecordDate;Comments"));
        QCOMPARE(saved.count(), 0);
        QCOMPARE(readFile("Settings.xml"), file);
    }

    void changeSignalsCarryTheNewValue()
    {
        KestaSettings settings("Settings.xml");
        QSignalSpy theme(&settings, &KestaSettings::changedColorTheme);
        QSignalSpy card(&settings, &KestaSettings::changedPatientCardView);
        QSignalSpy names(&settings, &AbstractSettings::propertyChanged);
        QVERIFY(settings.setValue("ColorTheme", "Dark"));
        QVERIFY(settings.setTextValue("PatientCardView", "PatientCard_Center"));
        QVERIFY(!settings.setValue("PatientCardView", "Middle"));
        QCOMPARE(theme.count(), 1);
        QCOMPARE(theme.first().first().value<StyleHelper::ColorThemeEnum>(), StyleHelper::Dark);
        QCOMPARE(card.count(), 1);
        QCOMPARE(
            card.first().first().value<KestaSettings::ViewPatientCard>(), KestaSettings::PatientCard_Center);
        QCOMPARE(names.count(), 2);
        QCOMPARE(settings.getValue("ColorTheme").value<StyleHelper::ColorThemeEnum>(), StyleHelper::Dark);
        QCOMPARE(settings.getTextValue("PatientCardView"), QString("PatientCard_Center"));
    }

    void sameValueDoesNotRewriteTheFile()
    {
        KestaSettings settings("Settings.xml");
        settings.setLastPatientId(104);
        QVERIFY(QFile::remove("Settings.xml"));
        QSignalSpy saved(&settings, &ZTSettings::saved);
        settings.setLastPatientId(104);
        settings.resetRecordsTableColumns();
        QCOMPARE(saved.count(), 0);
        QVERIFY(!QFile::exists("Settings.xml"));
        settings.setLastPatientId(105);
        QCOMPARE(saved.count(), 1);
        QVERIFY(readFile("Settings.xml").contains("<LastPatientId>105</LastPatientId>"));
    }

    void displayTextsNameEverySettingShownAndEveryEnumerator()
    {
        QList<QPair<QString, QString>> expected;
        KestaSettings settings { QString() };
        for (const QString &name : settings.getPropertiesNames()) {
            const MetaDescription *description = settings.getPropertyByName(name);
            if (!description->visible)
                continue;
            expected.append({ "Generic", name });
        }
        const QList<QPair<QString, QString>> texts = KestaSettings::displayTexts();
        for (const auto &text : expected)
            QVERIFY2(texts.contains(text), qPrintable(text.second));
        for (const char *name : { "Language", "ColorTheme", "PatientCardView" }) {
            const QMetaEnum meta = settings.getPropertyByName(name)->enumerator();
            for (int i = 0; i < meta.keyCount(); ++i)
                QVERIFY2(texts.contains({ QString(meta.name()), QString(meta.key(i)) }), meta.key(i));
        }
        QVERIFY(texts.contains({ "Generic", "1.Common" }));
        QVERIFY(texts.contains({ "Generic", "Settings" }));
        QCOMPARE(texts.size(), 15);
    }

    void settingsCataloguesTranslateEveryDisplayText()
    {
        QTranslator russian;
        QTranslator english;
        QVERIFY(russian.load(":/translations/settings_ru_RU.qm"));
        QVERIFY(english.load(":/translations/settings_en_US.qm"));
        for (const auto &text : KestaSettings::displayTexts()) {
            const QByteArray context = text.first.toLatin1();
            const QByteArray source = text.second.toLatin1();
            QVERIFY2(!russian.translate(context, source).isEmpty(), source.constData());
            QVERIFY2(!english.translate(context, source).isEmpty(), source.constData());
        }
        QCOMPARE(russian.translate("Generic", "SelectLastPatient"),
            QString::fromUtf8("Выбор последнего пациента при запуске"));
        QCOMPARE(russian.translate("ColorThemeEnum", "Dark"), QString::fromUtf8("Тёмная"));
        QCOMPARE(english.translate("Generic", "StartMaximized"), QString("Start maximized"));
        QCOMPARE(english.translate("ViewPatientCard", "PatientCard_None"), QString("Not displayed"));
        QCOMPARE(english.translate("KestaLanguage", "ru_RU"), QString::fromUtf8("Русский"));
    }
};

KESTA_TEST_MAIN(TestKestaSettings)
#include "tst_kestasettings.moc"
