#include "support/samplesettings.h"
#include "support/settingsfiles.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/metadescription.h"
#include "toolkit/settings/sparsetexts.h"

#include <QRandomGenerator>
#include <sys/stat.h>

using namespace kestatest;

// Files, change propagation and the JSON form of a settings object.
class TestZTSettings : public QObject
{
    Q_OBJECT
private slots:
    void roundTripOfEveryType_data()
    {
        QTest::addColumn<ZTSettings::ZTSettingsFormat>("format");
        QTest::addColumn<QStringList>("fragments"); // of the file
        QTest::newRow("XML")
            << ZTSettings::XML
            << QStringList { "<Origin>-3;14</Origin>", "<Offset>0.333333;1.23457e+06</Offset>",
                   "<Area>1920;1080</Area>", "<Mode>Turbo</Mode>", "<Level>200</Level>",
                   "<Blob>AAH+/yBiaW5hcnk=</Blob>",
                   "    <Labels>\n        <a>first</a>\n        <b>second</b>\n    </Labels>\n" };
        QTest::newRow("JSON") << ZTSettings::JSON << QStringList { "\"Mode\":\"Turbo\"", "\"Level\":200" };
    }
    void roundTripOfEveryType()
    {
        QFETCH(ZTSettings::ZTSettingsFormat, format);
        QFETCH(QStringList, fragments);
        SampleSettings original("sample", false, nullptr, format);
        QVERIFY(original.loadFromQVariantMap({ { "Zoom", 250 }, { "Ratio", 0.125 },
            { "Title", "Ч & <b> \"q\"" }, { "Border", QColor(10, 20, 30, 40) }, { "Mode", "Turbo" },
            { "Enabled", false }, { "Origin", QPoint(-3, 14) }, { "Offset", QPointF(1.0 / 3, 1234567.8) },
            { "Area", QSize(1920, 1080) }, { "Blob", QByteArray("\x00\x01\xfe\xff binary", 11) },
            { "Labels", QVariantMap { { "b", "second" }, { "a", "first" } } }, { "Level", 200 },
            { "Created", QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58)) },
            { "Born", QDate(1980, 2, 29) } }));
        QVERIFY(original.saveAs("sample"));
        const QString file = QString::fromUtf8(readFile("sample"));
        for (const QString &fragment : fragments)
            QVERIFY2(file.contains(fragment), qPrintable(fragment));

        SampleSettings copy("sample", false, nullptr, format);
        QVERIFY(copy.reload());
        QCOMPARE(copy.getOffset(), QPointF(0.333333, 1234570)); // both forms keep six digits
        copy.setOffset(original.getOffset());
        QCOMPARE(copy.getQVariantMap(), original.getQVariantMap());
    }

    void changePropagation_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("autoSave");
        QTest::newRow("auto-save into a new folder") << "deep/er/change.xml" << true;
        QTest::newRow("without auto-save") << "manual.xml" << false;
        QTest::newRow("without a file") << "" << true;
    }
    void changePropagation()
    {
        QFETCH(QString, path);
        QFETCH(bool, autoSave);
        SampleSettings s(path, autoSave);
        QSignalSpy changed(&s, &SampleSettings::changedZoom);
        QSignalSpy properties(&s, &AbstractSettings::propertyChanged);
        QSignalSpy saved(&s, &ZTSettings::saved);
        QSignalSpy reloaded(&s, &ZTSettings::reloaded);

        // Reloading a missing file keeps the defaults; without a path there is nothing to reload.
        QCOMPARE(s.reload(), !path.isEmpty());
        QCOMPARE(reloaded.count(), path.isEmpty() ? 0 : 1);
        s.setZoom(100);
        QCOMPARE(changed.count() + properties.count() + saved.count(), 0);
        QVERIFY(!QFile::exists(path));

        s.setZoom(120);
        QCOMPARE(QList<QVariantList>(changed), QList<QVariantList>({ { 120 } }));
        QCOMPARE(QList<QVariantList>(properties), QList<QVariantList>({ { "Zoom" } }));
        // Loading from text is no reload: each change is saved.
        s.loadFromXMLString("<SampleSettings><Ratio>0.75</Ratio></SampleSettings>");
        QCOMPARE(saved.count(), autoSave ? 2 : 0);
        QCOMPARE(QFile::exists(path), autoSave && !path.isEmpty());
        if (!autoSave)
            s.save();
        if (!path.isEmpty())
            QCOMPARE(QString::fromUtf8(readFile(path)), s.saveToString());
    }

    void reloadWritesNothingEvenFromChangeHandlers()
    {
        const QByteArray stored = "<SampleSettings><Zoom>150</Zoom><Ratio>0.75</Ratio></SampleSettings>";
        writeFile("reload.xml", stored);
        SampleSettings s("reload.xml", true);
        QSignalSpy saved(&s, &ZTSettings::saved);
        // A handler that changes other settings, reloads and asks for a save.
        connect(&s, &SampleSettings::changedZoom, &s, [&s](int zoom) {
            s.setScratch(zoom);
            s.reload();
            s.setTitle("from handler");
            s.save();
        });
        QVERIFY(s.reload());
        QCOMPARE(s.getRatio(), 0.75);
        QCOMPARE(s.getScratch(), 150);
        QCOMPARE(s.getTitle(), QString("from handler"));
        QCOMPARE(saved.count(), 0);
        QCOMPARE(readFile("reload.xml"), stored);
    }

    void failedWriteKeepsTheOldFile()
    {
        SampleSettings s("atomic.xml", true);
        s.setTitle(QString(2000, QLatin1Char('a')));
        const QByteArray before = readFile("atomic.xml");
        {
            FileSizeLimit fullDisk(100);
            s.setTitle(QString(3000, QLatin1Char('b')));
            QVERIFY(!s.saveAs("atomic.xml"));
        }
        QCOMPARE(readFile("atomic.xml"), before);
        QCOMPARE(
            QDir().entryList({ "atomic.xml*" }, QDir::Files | QDir::Hidden), QStringList { "atomic.xml" });
    }

    // A pipe would block the start for ever, a huge file take its memory: neither is read, nor
    // ever replaced by a settings file.
    void onlyARegularFileOfSaneSizeIsReadOrReplaced()
    {
        QVERIFY(::mkfifo("pipe.xml", 0600) == 0);
        writeFile("big.xml",
            "<?xml version=\"1.0\"?>\n<SampleSettings><Zoom>150</Zoom>" + QByteArray(1024 * 1024, ' ')
                + "</SampleSettings>\n");
        const QByteArray big = readFile("big.xml");
        for (const char *path : { "pipe.xml", "big.xml" }) {
            SampleSettings s(path, true);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QString(path) + " is .* not read$"));
            QVERIFY(s.reload());
            QCOMPARE(s.getZoom(), 100);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QString(path) + " is .* not written$"));
            s.setZoom(170);
        }
        QVERIFY(QFileInfo::exists("pipe.xml") && !QFileInfo("pipe.xml").isFile());
        QCOMPARE(readFile("big.xml"), big);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("pipe.xml is not a regular file"));
        QCOMPARE(LanguageContext::startupLanguage("pipe.xml"), LanguageContext::systemLanguage());
    }

    void savedWhereTheFolderTakesNoNewFile()
    {
        QVERIFY(QDir().mkpath("locked"));
        writeFile("locked/s.xml.AbCdEf.saving", "<?xml version=\"1.0\"?>\n<Sample");
        writeFile("locked/s.xml.backup", "kept");
        SampleSettings s("locked/s.xml", true);
        s.setZoom(120);
        QVERIFY(s.reload());
        // A save cut short by a crash leaves its temporary file; the next start removes it, and
        // only it.
        QCOMPARE(
            QDir("locked").entryList(QDir::Files | QDir::Hidden), QStringList({ "s.xml", "s.xml.backup" }));

        LockedFolder lock("locked");
        if (!lock.locked)
            QSKIP("this system cannot make a folder refuse new files");
        QVERIFY(!QFile("locked/probe").open(QIODevice::WriteOnly));
        s.setZoom(130);
        QVERIFY(readFile("locked/s.xml").contains("<Zoom>130</Zoom>"));
    }

    // Slots set, replaced and let go of in any order keep their own texts, a
    // null one apart from an empty one, as members would.
    void sparseTextsKeepEachSlot()
    {
        SparseTexts sparse;
        QString members[32];
        QRandomGenerator random(35);
        const QString texts[] = { QString(), QString(""), "a", "Lenina 1", "Ч" };
        for (int step = 0; step < 3000; ++step) {
            const int slot = random.bounded(32);
            const QString &text = texts[random.bounded(5)];
            sparse.set(slot, text);
            members[slot] = text;
            for (int s = 0; s < 32; ++s) {
                QCOMPARE(sparse.at(s), members[s]);
                QCOMPARE(sparse.at(s).isNull(), members[s].isNull());
            }
        }
    }

    void jsonFailuresChangeNothing()
    {
        SampleSettings s;
        QSignalSpy properties(&s, &AbstractSettings::propertyChanged);
        for (const char *message :
            { "Failed to create JSON doc.", "JSON is not an object.", "JSON object is empty" })
            QTest::ignoreMessage(QtDebugMsg, qPrintable(QString("loadFromJson: ") + message));
        QVERIFY(!s.loadFromJson(QByteArray("{\"Zoom\": 5,")));
        QVERIFY(!s.loadFromJson(QByteArray("[{\"Zoom\": 5}]")));
        QVERIFY(!s.loadFromJson(QByteArray("{ }")));
        QCOMPARE(properties.count(), 0);
    }
};

KESTA_TEST_MAIN(TestZTSettings)
#include "tst_ztsettings.moc"
