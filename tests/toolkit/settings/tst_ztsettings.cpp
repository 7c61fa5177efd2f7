#include "support/filesizelimit.h"
#include "support/samplesettings.h"
#include "support/testenvironment.h"
#include "toolkit/settings/abstractmetadescriptor.h"
#include "toolkit/settings/metadescription.h"

#include <QDir>

namespace
{

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

// Gives every setting of the sample a value other than its default.
void changeEverything(SampleSettings &s)
{
    s.setZoom(250);
    s.setRatio(0.125);
    s.setTitle("Ч & <b> \"q\"");
    s.setFolder("/mnt/eeg");
    s.setAccent(QColor("#123456"));
    s.setBorder(QColor(10, 20, 30, 40));
    s.setFill(Qt::black);
    s.setMode(SampleSettings::Turbo);
    s.setFallback(SampleSettings::Fast);
    s.setEnabled(false);
    s.setCompact(true);
    s.setOrigin(QPoint(-3, 14));
    s.setOffset(QPointF(2.5, -0.75));
    s.setArea(QSize(1920, 1080));
    s.setBlob(QByteArray("\x00\x01\xfe\xff binary", 11));
    s.setLabels(StringMap { { "b", "second" }, { "a", "first" } });
    s.setLevel(200);
    s.setCreated(QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58)));
    s.setBorn(QDate(1980, 2, 29));
}

void compareAll(SampleSettings &actual, SampleSettings &expected)
{
    for (const QString &name : expected.getPropertiesNames())
        if (expected.getPropertyByName(name)->editable)
            QVERIFY2(actual.getValue(name) == expected.getValue(name), qPrintable(name));
    QCOMPARE(actual.getLabels(), expected.getLabels());
}

} // namespace

// Files, change propagation and the JSON form of a settings object.
class TestZTSettings : public QObject
{
    Q_OBJECT
private slots:
    void xmlRoundTripOfEveryType()
    {
        SampleSettings original("sample.xml", false);
        changeEverything(original);
        QVERIFY(original.saveAs("sample.xml"));

        SampleSettings copy("sample.xml", false);
        QVERIFY(copy.reload());
        compareAll(copy, original);
        if (QTest::currentTestFailed())
            return;

        const QString xml = original.saveToString();
        QVERIFY(xml.contains("<Origin>-3;14</Origin>"));
        QVERIFY(xml.contains("<Offset>2.5;-0.75</Offset>"));
        QVERIFY(xml.contains("<Area>1920;1080</Area>"));
        QVERIFY(xml.contains("<Mode>Turbo</Mode>"));
        QVERIFY(xml.contains("<Level>200</Level>"));
        QVERIFY(xml.contains("<Blob>AAH+/yBiaW5hcnk=</Blob>"));
        QVERIFY(xml.contains("    <Labels>\n        <a>first</a>\n        <b>second</b>\n    </Labels>\n"));
    }

    void pointsInTheFileUseSixDigits()
    {
        SampleSettings s;
        s.setOffset(QPointF(1.0 / 3, 1234567.8));
        QVERIFY(s.saveToString().contains("<Offset>0.333333;1.23457e+06</Offset>"));
    }

    void loadIgnoresWhatItDoesNotKnow()
    {
        SampleSettings s;
        QSignalSpy changes(&s, &AbstractSettings::propertyChanged);
        // Foreign root, unknown elements, a property name with other case, and
        // a value the property refuses.
        s.loadFromXMLString("<?xml version=\"1.0\"?><Other><Unknown>1</Unknown><zoom>5</zoom>"
                            "<Mode>Warp</Mode><Ratio>0.75</Ratio><Level>x</Level></Other>");
        QCOMPARE(s.getRatio(), 0.75);
        QCOMPARE(s.getZoom(), 100);
        QCOMPARE(s.getMode(), SampleSettings::Fast);
        QCOMPARE(s.getLevel(), uchar(7));
        QCOMPARE(changes.count(), 1);
    }

    void loadStopsAtTheFirstXmlError()
    {
        SampleSettings s;
        s.loadFromXMLString(
            "<SampleSettings><Zoom>150</Zoom><Title>A</Titel><Ratio>0.75</Ratio></SampleSettings>");
        QCOMPARE(s.getZoom(), 150);
        QCOMPARE(s.getTitle(), QString("Untitled"));
        QCOMPARE(s.getRatio(), 0.5);
    }

    void equalValueEmitsAndWritesNothing()
    {
        SampleSettings s("equal.xml", true);
        QSignalSpy changed(&s, &SampleSettings::changedZoom);
        QSignalSpy properties(&s, &AbstractSettings::propertyChanged);
        QSignalSpy saved(&s, &ZTSettings::saved);
        s.setZoom(100);
        QVERIFY(s.setValue("Zoom", 100));
        s.resetZoom();
        QCOMPARE(changed.count(), 0);
        QCOMPARE(properties.count(), 0);
        QCOMPARE(saved.count(), 0);
        QVERIFY(!QFile::exists("equal.xml"));
    }

    void changeWritesTheWholeFileOnce()
    {
        SampleSettings s("change.xml", true);
        QSignalSpy changed(&s, &SampleSettings::changedZoom);
        QSignalSpy properties(&s, &AbstractSettings::propertyChanged);
        QSignalSpy saved(&s, &ZTSettings::saved);
        s.setZoom(120);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toInt(), 120);
        QCOMPARE(properties.count(), 1);
        QCOMPARE(properties.first().first().toString(), QString("Zoom"));
        QCOMPARE(saved.count(), 1);
        QCOMPARE(QString::fromUtf8(readFile("change.xml")), s.saveToString());
        QVERIFY(readFile("change.xml").contains("<Zoom>120</Zoom>"));
    }

    void withoutAutoSaveNothingIsWritten()
    {
        SampleSettings s("manual.xml", false);
        QSignalSpy saved(&s, &ZTSettings::saved);
        QSignalSpy properties(&s, &AbstractSettings::propertyChanged);
        s.setZoom(120);
        QCOMPARE(properties.count(), 1);
        QCOMPARE(saved.count(), 0);
        QVERIFY(!QFile::exists("manual.xml"));
        s.save();
        QCOMPARE(saved.count(), 1);
        QVERIFY(readFile("manual.xml").contains("<Zoom>120</Zoom>"));
    }

    void withoutFileAutoSaveStillReportsSaved()
    {
        SampleSettings s(QString(), true);
        QSignalSpy saved(&s, &ZTSettings::saved);
        s.setZoom(120);
        QCOMPARE(saved.count(), 1);
        QVERIFY(QDir::current().entryList(QDir::Files).filter("Sample").isEmpty());
        QVERIFY(!s.saveAs(QString()));
    }

    void reloadWritesNothingEvenFromChangeHandlers()
    {
        const QByteArray stored = "<SampleSettings><Zoom>150</Zoom><Ratio>0.75</Ratio></SampleSettings>";
        writeFile("reload.xml", stored);
        SampleSettings s("reload.xml", true);
        QSignalSpy saved(&s, &ZTSettings::saved);
        // A handler that changes other settings, reloads and asks for a save.
        const QMetaObject::Connection handler = connect(&s, &SampleSettings::changedZoom, &s, [&s](int zoom) {
            s.setScratch(zoom);
            s.reload();
            s.setTitle("from handler");
            s.save();
        });
        QSignalSpy changed(&s, &SampleSettings::changedZoom);
        QVERIFY(s.reload());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(s.getZoom(), 150);
        QCOMPARE(s.getRatio(), 0.75);
        QCOMPARE(s.getScratch(), 150);
        QCOMPARE(s.getTitle(), QString("from handler"));
        QVERIFY(!s.isLoading());
        QCOMPARE(saved.count(), 0);
        QCOMPARE(readFile("reload.xml"), stored);

        // After the reload, changes save again.
        disconnect(handler);
        s.setZoom(160);
        QCOMPARE(saved.count(), 1);
        QVERIFY(readFile("reload.xml").contains("<Zoom>160</Zoom>"));
    }

    void reloadWithoutPathReturnsFalseSilently()
    {
        SampleSettings s(QString(), true);
        QSignalSpy reloaded(&s, &ZTSettings::reloaded);
        QSignalSpy properties(&s, &AbstractSettings::propertyChanged);
        QSignalSpy saved(&s, &ZTSettings::saved);
        QVERIFY(!s.reload());
        QCOMPARE(reloaded.count(), 0);
        QCOMPARE(properties.count(), 0);
        QCOMPARE(saved.count(), 0);
    }

    void loadFromStringSavesEachChange()
    {
        SampleSettings s("string.xml", true);
        QSignalSpy saved(&s, &ZTSettings::saved);
        QSignalSpy reloaded(&s, &ZTSettings::reloaded);
        QVERIFY(s.loadFromXMLString("<SampleSettings><Zoom>150</Zoom><Ratio>0.75</Ratio></SampleSettings>"));
        QCOMPARE(saved.count(), 2);
        QCOMPARE(reloaded.count(), 1);
        QCOMPARE(QString::fromUtf8(readFile("string.xml")), s.saveToString());
    }

    void filePathCreatesItsFolder()
    {
        SampleSettings s;
        QSignalSpy changed(&s, &ZTSettings::filePathChanged);
        s.setFilepath("deep/er/settings.xml");
        QVERIFY(QDir("deep/er").exists());
        QCOMPARE(s.getFilepath(), QString("deep/er/settings.xml"));
        s.setFilepath("deep/er/settings.xml");
        QCOMPARE(changed.count(), 2);
        s.setFilepath(QString());
        QCOMPARE(changed.count(), 3);
    }

    void failedWriteKeepsTheOldFile()
    {
        SampleSettings s("atomic.xml", true);
        s.setTitle(QString(2000, QLatin1Char('a')));
        const QByteArray before = readFile("atomic.xml");
        QVERIFY(before.size() > 2000);

        // A path that cannot be written: the old file stays, saved is still emitted.
        QDir().mkpath("occupied.xml");
        QVERIFY(!s.saveAs("occupied.xml"));

        // A write that fails half-way (a full disk): the file must not be cut short.
        {
            kestatest::FileSizeLimit limit(100);
            QSignalSpy saved(&s, &ZTSettings::saved);
            s.setTitle(QString(3000, QLatin1Char('b')));
            QCOMPARE(saved.count(), 1);
            QVERIFY(!s.saveAs("atomic.xml"));
        }
        QCOMPARE(readFile("atomic.xml"), before);
        QCOMPARE(QDir().entryList(QStringList { "atomic.xml*" }, QDir::Files | QDir::Hidden),
            QStringList { "atomic.xml" });

        s.setZoom(101);
        QVERIFY(readFile("atomic.xml").contains(QByteArray(3000, 'b')));
    }

    void jsonRoundTripOfEveryType()
    {
        SampleSettings original;
        changeEverything(original);
        const QJsonObject json = original.saveToJson();
        QCOMPARE(json.value("Mode").toString(), QString("Turbo"));
        QCOMPARE(json.value("Origin").toString(), QString("-3;14"));
        QCOMPARE(json.value("Zoom").toInt(), 250);
        QVERIFY(!json.contains("Capital"));

        SampleSettings fromObject;
        QVERIFY(fromObject.loadFromJson(json));
        compareAll(fromObject, original);
        SampleSettings fromText;
        QVERIFY(fromText.loadFromJson(original.saveToJsonString()));
        compareAll(fromText, original);
        SampleSettings fromCompact;
        QVERIFY(fromCompact.loadFromJson(original.saveToJsonByteArray().toUtf8()));
        compareAll(fromCompact, original);
        QVERIFY(!original.saveToJsonByteArray().contains('\n'));

        SampleSettings file("sample.json", false, nullptr, ZTSettings::JSON);
        changeEverything(file);
        QVERIFY(file.saveAs("sample.json"));
        SampleSettings fromFile("sample.json", false, nullptr, ZTSettings::JSON);
        QVERIFY(fromFile.reload());
        compareAll(fromFile, file);
    }

    void jsonFailuresChangeNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("not JSON") << QByteArray("{\"Zoom\": 5,")
                                  << "loadFromJson: Failed to create JSON doc.";
        QTest::newRow("not an object")
            << QByteArray("[{\"Zoom\": 5}]") << "loadFromJson: JSON is not an object.";
        QTest::newRow("empty object") << QByteArray("{ }") << "loadFromJson: JSON object is empty";
    }
    void jsonFailuresChangeNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        writeFile("broken.json", bytes);
        SampleSettings s("own.json", true, nullptr, ZTSettings::JSON);
        s.setZoom(120);
        const QByteArray stored = readFile("own.json");
        const QString before = s.saveToString();
        QSignalSpy properties(&s, &AbstractSettings::propertyChanged);

        QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
        QVERIFY(!s.loadFromJson(bytes));
        QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
        QVERIFY(!s.loadFromJson(QString::fromUtf8(bytes)));
        QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
        QVERIFY(!s.metaDescriptor()->loadFromJsonFile("broken.json"));
        QCOMPARE(s.saveToString(), before);
        QCOMPARE(properties.count(), 0);
        QCOMPARE(readFile("own.json"), stored);
    }

    void jsonFileThatIsEmptyOrMissing()
    {
        writeFile("empty.json", QByteArray());
        SampleSettings s;
        QVERIFY(!s.metaDescriptor()->loadFromJsonFile("empty.json"));
        QVERIFY(!s.metaDescriptor()->loadFromJsonFile("absent.json"));
        QVERIFY(s.loadFromQVariantMap(QVariantMap { { "Zoom", 42 }, { "Capital", 9 } }));
        QCOMPARE(s.getZoom(), 42);
        QCOMPARE(s.getCapital(), 1);
        QCOMPARE(s.getQVariantMap().value("Zoom").toInt(), 42);
        QVERIFY(!s.getQVariantMap().contains("Capital"));
    }
};

KESTA_TEST_MAIN(TestZTSettings)
#include "tst_ztsettings.moc"
