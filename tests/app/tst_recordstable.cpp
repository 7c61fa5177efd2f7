#include "app/tables/recordstable.h"
#include "db/model/datalocations.h"
#include "db/rows/conclusions.h"
#include "db/rows/record.h"
#include "tabletesting.h"
#include "recorder/edfrecording.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/fileutilities.h"

using namespace tabletest;

// The records table: one patient's recordings, their files, columns, and following the patient.
class TestRecordsTable : public QObject
{
    Q_OBJECT

    std::unique_ptr<KestaModel> model;
    int petrov = 0, smirnova = 0, stored = 0, missing = 0, other = 0;
    const QDateTime when { QDate(2024, 3, 5), QTime(14, 25) };

    Database *db() const { return model->database(); }
    KestaSettings *settings() const { return model->settings(); }
    Patient *patient(int id) const { return db()->patientById(id); }
    // A recording of three seconds in the patient's folder; false when it was not written.
    bool writeRecording(int patientId, const QString &fileName)
    {
        const QString path = DataLocations::recordingPath(patient(patientId)->folderName(), fileName);
        return QDir().mkpath(QFileInfo(path).absolutePath())
            && EdfRecording::write(path, { "Petrov", "A1", QDate(1980, 5, 1) }, when, 3, "calm").isEmpty();
    }
    // A record of the patient, days after `when`, with its recording on disk when withFile; its id, or -1.
    int addRecord(int patientId, int days, const QString &fileName, bool withFile = false)
    {
        if (withFile && !writeRecording(patientId, fileName))
            return -1;
        return db()->insertRecord(patient(patientId), when.addDays(days), fileName, "EEG", QString());
    }

private slots:
    void init()
    {
        QFile::remove("Settings.xml");
        QVERIFY(kestatest::resetDataFolder());
        model = std::make_unique<KestaModel>();
        petrov = kestatest::addPatient(*db(), "A1", "Petrov");
        smirnova = kestatest::addPatient(*db(), "A2", "Smirnova");
        stored = addRecord(petrov, 0, "EEG_1\\rec.edf", true);
        missing = addRecord(petrov, 1, "EEG_2\\rec.edf");
        other = addRecord(smirnova, 0, "EEG_3\\rec.edf");
        QVERIFY(stored > 0 && missing > 0 && other > 0);
    }

    void cleanup() { model.reset(); }

    void filesColumnsAndSorting()
    {
        RecordsTable records(settings());
        QVERIFY(showTable(&records));
        records.setPatient(patient(petrov));
        // The rows show at once, the newest first; what lies on disk fills in as the disk answers.
        QCOMPARE(rowIds(records.grid()), QList<int>({ missing, stored }));
        const auto iconKey = [&](int id) {
            return cell(records.grid(), id).data(Qt::DecorationRole).value<QIcon>().cacheKey();
        };
        QTRY_COMPARE(iconKey(stored), StyleHelper::ColoredIcon(":/icons/play.svg", "#FFF").cacheKey());
        QTRY_COMPARE(iconKey(missing), StyleHelper::ColoredIcon(":/icons/circle_cross.svg", "#FFF").cacheKey());
        QVERIFY(cell(records.grid(), stored).data(Qt::ToolTipRole).toString().contains("calm"));
        // The recording's conclusion in its tip.
        records.setConclusions(Conclusions::of(db()));
        QVERIFY(Conclusions::of(db())->write(records.recordById(stored), "Normal awake EEG"));
        QVERIFY(cell(records.grid(), stored).data(Qt::ToolTipRole).toString().contains("Normal awake EEG"));

        // Double click and the first row-menu entry both play the clicked record.
        QSignalSpy custom(&records, &TableWidget::customAction);
        const QPoint pos = centre(records.grid(), missing);
        QTest::mouseClick(records.grid()->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(records.grid()->viewport(), Qt::LeftButton, {}, pos);
        std::unique_ptr<QMenu> row(records.createRowMenu(pos));
        QVERIFY(row);
        QCOMPARE(menuEntries(row.get()),
            QStringList({ "*Open file", "*Open in EEG viewer", "*Trace page…", "*Edit", "*Show in file manager",
                "*Remove" }));
        action(row.get(), "rowAction_play")->trigger();
        QCOMPARE(
            QList<QVariantList>(custom), QList<QVariantList>({ { "play", missing }, { "play", missing } }));

        // RecordDate, shown by default, stays first even when the stored list leaves it out; a
        // temperature never measured reads "-".
        QCOMPARE(records.shownColumnNames(), QStringList({ "RecordDate", "Duration", "Comments" }));
        QTRY_COMPARE(text(records.grid(), stored, 1), QStringLiteral("0:00:03"));
        settings()->setRecordsTableColumns("Temperature;Size");
        QTRY_COMPARE(records.shownColumnNames(), QStringList({ "RecordDate", "Temperature", "Size" }));
        QCOMPARE(text(records.grid(), missing, 1), QStringLiteral("-"));
        const QFileInfo recording(DataLocations::recordingPath(patient(petrov)->folderName(), "EEG_1\\rec.edf"));
        QTRY_COMPARE(text(records.grid(), stored, 2), FileUtilities::filesizeNice(recording.size(), 1));
        records.recordById(missing)->setTemperature(36.6);
        QTRY_COMPARE(text(records.grid(), missing, 1), QStringLiteral("36.6"));
        QMenu menu;
        records.fillColumnMenu(&menu);
        action(&menu, "columnAction_Comments")->trigger();
        QCOMPARE(
            settings()->getRecordsTableColumns(), QStringLiteral("RecordDate;Temperature;Size;Comments"));
        QTRY_COMPARE(records.shownColumnNames().size(), 4);

        QHeaderView *header = records.grid()->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(3) + 5, 5));
        QCOMPARE(settings()->getRecordsTableSorting(), QStringLiteral("+Comments"));
        records.setPatient(patient(smirnova));
        QCOMPARE(header->sortIndicatorSection(), 3);
    }

    // A recording in the patient's folder that no record lists shows greyed, "Not registered",
    // registrable and with nothing to edit or remove; a file that is no recording is marked.
    void foundAndUnreadableFiles()
    {
        QVERIFY(writeRecording(petrov, "EEG_2024_03_07_101500\\found.edf"));
        const QString junkPath = DataLocations::recordingPath(patient(petrov)->folderName(), "EEG_7\\junk.edf");
        QVERIFY(QDir().mkpath(QFileInfo(junkPath).absolutePath()));
        QFile junkFile(junkPath);
        QVERIFY(junkFile.open(QIODevice::WriteOnly) && junkFile.write("not a recording"));
        junkFile.close();
        const int junk = addRecord(petrov, 2, "EEG_7\\junk.edf");
        RecordsTable records(settings());
        QVERIFY(showTable(&records));
        records.setPatient(patient(petrov));
        QTRY_COMPARE(records.foundFiles().size(), 1);
        Record *found = records.foundFiles().first();
        const int id = found->getRecordID();
        QCOMPARE(found->getRecordDate(), when);
        QCOMPARE(found->getRecordType(), QStringLiteral("EEG"));
        QCOMPARE(found->getComments(), QStringLiteral("calm"));
        QCOMPARE(text(records.grid(), id, 2), QStringLiteral("Not registered"));
        QVERIFY(cell(records.grid(), id).data(Qt::ForegroundRole).isValid());
        QVERIFY(!records.recordById(id) && records.recordingPath(id).endsWith("/found.edf"));
        std::unique_ptr<QMenu> menu(records.createRowMenu(centre(records.grid(), id)));
        QCOMPARE(menuEntries(menu.get()),
            QStringList({ "*Open file", "*Open in EEG viewer", "*Register", "*Register all", "*Show in file manager" }));
        QTRY_COMPARE(cell(records.grid(), junk).data(Qt::DecorationRole).value<QIcon>().cacheKey(),
            StyleHelper::ColoredIcon(":/icons/alert.svg", "#FFF").cacheKey());
        QVERIFY(!cell(records.grid(), junk).data(Qt::ToolTipRole).toString().isEmpty());
    }

    void followsOnlyTheCurrentPatient()
    {
        RecordsTable records(settings());
        QSignalSpy selected(&records, &TableWidget::idSelected);
        records.setPatient(patient(petrov));
        QCOMPARE(rowIds(records.grid()), QList<int>({ missing, stored }));
        records.setPatient(patient(smirnova));
        QCOMPARE(rowIds(records.grid()), QList<int>({ other }));

        // Only the current patient's changes arrive, from the event loop, keeping the selection.
        records.setSelectedId(other, true);
        selected.clear();
        QVERIFY(addRecord(petrov, 2, "EEG_4\\rec.edf") > 0);
        const int added = addRecord(smirnova, 3, "EEG_5\\rec.edf");
        QCOMPARE(rowIds(records.grid()), QList<int>({ other }));
        QTRY_COMPARE(rowIds(records.grid()), QList<int>({ added, other }));
        QCoreApplication::processEvents();
        QCOMPARE(records.getSelectedId(), other);

        records.setPatient(nullptr);
        QCOMPARE(records.grid()->model()->rowCount(), 0);
        QCOMPARE(selected.last().at(0).toInt(), -1);

        // Patients replaced by a reload take their records along.
        records.setPatient(patient(petrov));
        db()->reloadPatients();
        QTRY_COMPARE(records.grid()->model()->rowCount(), 0);
        QCOMPARE(records.recordById(stored), nullptr);
    }
};

KESTA_TEST_MAIN(TestRecordsTable)
#include "tst_recordstable.moc"
