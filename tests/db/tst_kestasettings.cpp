#include "db/model/kestasettings.h"
#include "support/settingsdeclarationcheck.h"
#include "support/settingsfiles.h"
#include "support/testenvironment.h"
#include "toolkit/settings/metadescription.h"

using namespace kestatest;

namespace
{

const QByteArray defaultFile = "<?xml version=\"1.0\"?>\n"
                               "<KestaSettings>\n"
                               "    <Language>ru_RU</Language>\n"
                               "    <ColorTheme>Light</ColorTheme>\n"
                               "    <StartMaximized>true</StartMaximized>\n"
                               "    <SelectLastPatient>true</SelectLastPatient>\n"
                               "    <ClinicName></ClinicName>\n"
                               "    <PatientsTableSorting></PatientsTableSorting>\n"
                               "    <PatientsTableColumns></PatientsTableColumns>\n"
                               "    <RecordsTableSorting></RecordsTableSorting>\n"
                               "    <RecordsTableColumns>RecordDate;Duration;Comments</RecordsTableColumns>\n"
                               "    <ShowRecordingPreview>true</ShowRecordingPreview>\n"
                               "    <SplitterSizes></SplitterSizes>\n"
                               "    <PatientCardView>PatientCard_Right</PatientCardView>\n"
                               "    <LastPatientId>-1</LastPatientId>\n"
                               "    <CheckForNewVersion>true</CheckForNewVersion>\n"
                               "    <WindowGeometry></WindowGeometry>\n"
                               "    <DataFolder></DataFolder>\n"
                               "    <ServerHost></ServerHost>\n"
                               "    <ServerPort>5432</ServerPort>\n"
                               "    <ServerDatabase>kesta</ServerDatabase>\n"
                               "    <ServerUser>kesta</ServerUser>\n"
                               "    <ServerTlsMode>require</ServerTlsMode>\n"
                               "    <ServerTimeoutSeconds>10</ServerTimeoutSeconds>\n"
                               "    <TrashPurgeDays>30</TrashPurgeDays>\n"
                               "    <LogPatientViews>false</LogPatientViews>\n"
                               "    <BackupRecipients></BackupRecipients>\n"
                               "    <EegViewer></EegViewer>\n"
                               "</KestaSettings>\n";

} // namespace

// Each property carries one fault that the compiler cannot see, for the declaration check.
class FaultySettings : public ZTSettings
{
    Q_OBJECT
    Q_PROPERTY(int Zoom READ getZoom WRITE setZoom RESET resetZoom NOTIFY changedZoom)
    Q_CLASSINFO("ZoomEditable", "true")
    Q_CLASSINFO("ZoomDefualt", "100")
    ZT_SETTING(int, Zoom, 100)

    Q_PROPERTY(int Speed READ getSpeed WRITE setSpeed RESET resetSpeed NOTIFY changedSpeed)
    Q_CLASSINFO("SpeedEditable", "True")
    Q_CLASSINFO("SpeedDefault", "500")
    Q_CLASSINFO("SpeedMinimum", "1")
    Q_CLASSINFO("SpeedMaximum", "10")
    ZT_SETTING(int, Speed, 500)

    Q_PROPERTY(QString Name MEMBER name)
    Q_CLASSINFO("NameEditable", "true")

    Q_PROPERTY(Qt::Orientation Side READ getSide WRITE setSide RESET resetSide NOTIFY changedSide)
    Q_CLASSINFO("SideEditable", "true")
    Q_CLASSINFO("SideDefault", "Qt::Diagonal")
    ZT_SETTING(Qt::Orientation, Side, Qt::Horizontal)

public:
    using ZTSettings::ZTSettings;
    QString name;
};

// The application's settings and its file "Settings.xml".
class TestKestaSettings : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QFile::remove("Settings.xml");
        QFile::remove("Settings.xml.bad");
    }

    // The settings dialog shows the visible settings by name, their enumerators,
    // its category and title, all translated.
    void declarationsAndTexts()
    {
        KestaSettings settings { QString() };
        QCOMPARE(settingsDeclarationProblems(&settings), QStringList());
        QCOMPARE(displayTextProblems(&settings, KestaSettings::displayTexts(), "settings"), QStringList());
    }

    void declarationCheckReportsEveryFault()
    {
        FaultySettings faulty;
        QCOMPARE(settingsDeclarationProblems(&faulty),
            (QStringList { "FaultySettings: class info ZoomDefualt names no property or no known attribute",
                "FaultySettings: SpeedEditable is \"True\", which is not \"true\"",
                "FaultySettings: default 500 of Speed is above its Maximum",
                "FaultySettings: Name has no RESET function resetName",
                "FaultySettings: Name has no NOTIFY signal changedName",
                "FaultySettings: Side declares Default \"Diagonal\" but its reset gives \"Horizontal\"" }));
    }

    void defaultFileAndRoundTripOfEveryValue()
    {
        KestaSettings settings("Settings.xml");
        QVERIFY(settings.reload());
        QVERIFY(!QFile::exists("Settings.xml"));
        settings.save();
        QCOMPARE(readFile("Settings.xml"), defaultFile);

        const QList<QPair<QString, QString>> values { { "Language", "en_US" }, { "ColorTheme", "Dark" },
            { "StartMaximized", "false" }, { "RecordsTableColumns", "" },
            { "SplitterSizes", "300;700 & <m>" }, { "PatientCardView", "PatientCard_None" },
            { "LastPatientId", "2147483647" }, { "ServerHost", "db.clinic" }, { "ServerPort", "6432" },
            { "ServerTlsMode", "verify_full" } };
        for (const auto &value : values)
            QVERIFY2(settings.setTextValue(value.first, value.second), qPrintable(value.first));
        KestaSettings copy("Settings.xml");
        QVERIFY(copy.reload());
        for (const auto &value : values)
            QCOMPARE(copy.getTextValue(value.first), value.second);

        // Each change writes every setting.
        copy.loadDefaults();
        QCOMPARE(readFile("Settings.xml"), defaultFile);
    }

    // An unreadable file is kept once as "Settings.xml.bad" before the next save replaces it.
    // With no host the local file, as before; a server in libpq's words.
    void theSettingsNameTheDatabase()
    {
        KestaSettings settings { QString() };
        const DatabaseLocation file = settings.databaseLocation("/data/patients.sqlite");
        QVERIFY(!file.isServer());
        QCOMPARE(file.filePath, QStringLiteral("/data/patients.sqlite"));
        settings.setServerHost(" db.clinic ");
        settings.setServerTlsMode(KestaSettings::verify_full);
        settings.setServerTimeoutSeconds(30);
        const DatabaseLocation server = settings.databaseLocation("/data/patients.sqlite");
        QVERIFY(server.isServer());
        QCOMPARE(server.describe(), QStringLiteral("kesta@db.clinic:5432/kesta"));
        QCOMPARE(server.tlsMode, QStringLiteral("verify-full"));
        QCOMPARE(server.timeoutSeconds, 30);
    }

    void reloadSetsWhatTheFileHoldsAndWritesNothing_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("lastPatientId");
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("kept");
        const auto row = [](const char *tag, const QByteArray &file, int id, int language, bool kept) {
            QTest::newRow(tag) << file << id << language << kept;
        };
        row("foreign root, other case",
            "<Preferences><LastPatientId>7</LastPatientId><lastPatientId>9</lastPatientId></Preferences>", 7,
            1, false);
        row("unknown enumerator", "<KestaSettings><Language>de_DE</Language></KestaSettings>", -1, 1, false);
        row("malformed after two values",
            "<KestaSettings><Language>en_US</Language><LastPatientId>5</LastPatientId>"
            "<StartMaximized>false</Start><SelectLastPatient>false</SelectLastPatient>",
            5, 0, true);
        row("not XML at all", "\xff\xfe garbage", -1, 1, true);
        row("empty", "", -1, 1, false);
    }
    void reloadSetsWhatTheFileHoldsAndWritesNothing()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, lastPatientId);
        QFETCH(int, language);
        QFETCH(bool, kept);
        writeFile("Settings.xml", file);
        KestaSettings settings("Settings.xml");
        QSignalSpy saved(&settings, &ZTSettings::saved);
        QVERIFY(settings.reload());
        QCOMPARE(settings.getLastPatientId(), lastPatientId);
        QCOMPARE(int(settings.getLanguage()), language);
        QVERIFY(settings.getStartMaximized() && settings.getSelectLastPatient());
        QCOMPARE(saved.count(), 0);
        QCOMPARE(readFile("Settings.xml"), file);
        QCOMPARE(QFile::exists("Settings.xml.bad"), kept);
        if (!kept)
            return;
        QCOMPARE(readFile("Settings.xml.bad"), file);
        settings.setLastPatientId(8);
        writeFile("Settings.xml", "<KestaSettings><broken>");
        QVERIFY(settings.reload());
        QCOMPARE(readFile("Settings.xml.bad"), file);
    }

    // A newer version's elements are written back as they were, after the known ones.
    void unknownElementsSurviveASave()
    {
        const QByteArray unknown = "    <Backup folder=\"/mnt/b\">\n"
                                   "        <Every>7</Every>\n"
                                   "        <Keep> </Keep>\n"
                                   "        <!--weekly-->\n"
                                   "    </Backup>\n"
                                   "    <Zoom>125 &amp; more</Zoom>\n";
        writeFile("Settings.xml",
            "<?xml version=\"1.0\"?>\n<KestaSettings>\n    <Language>en_US</Language>\n" + unknown
                + "</KestaSettings>\n");
        KestaSettings settings("Settings.xml");
        QVERIFY(settings.reload());
        settings.setLanguage(KestaSettings::ru_RU);
        QByteArray expected = defaultFile;
        expected.insert(expected.indexOf("</KestaSettings>"), unknown);
        QCOMPARE(readFile("Settings.xml"), expected);
        QVERIFY(!QFile::exists("Settings.xml.bad"));
    }
};

KESTA_TEST_MAIN(TestKestaSettings)
#include "tst_kestasettings.moc"
