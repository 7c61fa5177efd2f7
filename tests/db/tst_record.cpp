#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"
#include "db/record.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <memory>

using namespace kestatest;

namespace
{

// Paths below the patients folder; "P/" stands for the patient's own folder.
QString patientsPath(const QString &relative)
{
    const bool own = relative.startsWith(QLatin1String("P/"));
    return DataLocations::patientsFolder() + (own ? "PetrovIvan_A17/" + relative.mid(2) : relative);
}

bool writeFile(const QString &relative, qint64 bytes = 100)
{
    QDir().mkpath(QFileInfo(patientsPath(relative)).absolutePath());
    QFile file(patientsPath(relative));
    return file.open(QIODevice::WriteOnly) && file.resize(bytes);
}

} // namespace

// Recordings on disk: what a record finds when loaded, and that removing one
// deletes that recording and nothing else.
class TestRecord : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;
    Patient *patient = nullptr;

    // The record as the patient now lists it; files must exist beforehand.
    Record *addRecord(const QString &fileName, Patient *owner = nullptr)
    {
        owner = owner ? owner : patient;
        const QDateTime date(QDate(2024, 3, 5), QTime(14, 25));
        return db->insertRecord(owner, date, fileName, "EEG", "") > 0 ? owner->records().last() : nullptr;
    }
    int rowCount() { return rawValue(*db, "SELECT count(*) FROM Records").toInt(); }

private slots:
    void init()
    {
        QVERIFY(resetDataFolder());
        db = std::make_unique<Database>(DataLocations::databaseFile());
        QCOMPARE(addPatient(*db, "A17", "Petrov", "Ivan"), 100);
        patient = db->patientById(100);
        QVERIFY(QDir().mkpath(patientsPath("P/")));
    }
    void cleanup() { db.reset(); }

    // Found when first asked for, not when the record is read: a file that
    // arrives in between is seen. The size is the whole folder's.
    void fileFactsFoundWhenAskedFor()
    {
        Record *record = addRecord("EEG_1\\rec.edf");
        QVERIFY(writeFile("P/EEG_1/rec.edf", 1536) && writeFile("P/EEG_1/sub/notes.txt", 512));
        QVERIFY(record && record->fileExists());
        QCOMPARE(record->recordPath(), patientsPath("P/EEG_1/rec.edf"));
        QCOMPARE(record->folder(), patientsPath("P/EEG_1"));
        QCOMPARE(record->getTextValue("Size"), QStringLiteral("2.0 KB"));
        // A stored record finds its patient by PatientID.
        QVERIFY(std::unique_ptr<Record>(db->loadRecord(record->getRecordID()))->fileExists());

        Record *missing = addRecord("EEG_2\\rec.edf");
        QVERIFY(missing && !missing->fileExists());
        QCOMPARE(missing->folder(), QString());
        QCOMPARE(missing->getTextValue("Size"), QStringLiteral("0 B"));
        // An empty file name names the patient's folder, which is no recording.
        QVERIFY(rawExec(*db, "UPDATE Records SET FileName='' WHERE FileName LIKE 'EEG_2%'"));
        QVERIFY(!std::unique_ptr<Record>(db->loadRecord(missing->getRecordID()))->fileExists());

        // Nothing outside the patient's folder is walked: not through "..", nor through a link.
        QVERIFY(writeFile("Sidorov_B2/EEG_9/rec.edf", 4096)
            && QFile::link(patientsPath("Sidorov_B2/EEG_9"), patientsPath("P/EEG_L")));
        for (const char *outside : { "..\\Sidorov_B2\\EEG_9\\rec.edf", "EEG_L\\rec.edf" }) {
            Record *climbing = addRecord(outside);
            QVERIFY(climbing && climbing->fileExists());
            QCOMPARE(climbing->folderSize(), qint64(0));
        }

        const qint64 big = qint64(3) << 30;
        if (!writeFile("P/LONG/rec.edf", big))
            QSKIP("no sparse 3 GiB file here");
        QCOMPARE(addRecord("LONG\\rec.edf")->folderSize(), big);
    }

    // The patient's Subdirectory; the files written, those marked "-" to be
    // deleted and the others kept; the patient's records, the first removed.
    void removingARecord_data()
    {
        QTest::addColumn<QString>("subdirectory");
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("records");
        const auto row
            = [](const char *tag, const char *subdirectory, const char *files, const char *records) {
                  QTest::newRow(tag) << QString(subdirectory) << QString(files) << QString(records);
              };
        row("in its own folder", "", "-P/EEG_1/rec.edf -P/EEG_1/sub/x.dat P/EEG_2/rec.edf",
            "EEG_1\\rec.edf EEG_2\\rec.edf");
        row("directly in the patient folder", "", "-P/rec.edf P/other.edf P/EEG_2/rec.edf", "rec.edf");
        row("folder shared with another record", "", "-P/EEG_1/a.edf P/EEG_1/b.edf",
            "EEG_1\\a.edf EEG_1\\b.edf");
        row("name climbs out with ..", "", "Sidorov_B2/EEG_9/rec.edf", "..\\Sidorov_B2\\EEG_9\\rec.edf");
        row("name climbs out and back in", "", "-P/rec.edf P/EEG_1/keep.edf", "EEG_1\\..\\rec.edf");
        row("patient folder is the patients folder", ".", "Other_B1/EEG_1/rec.edf",
            "Other_B1\\EEG_1\\rec.edf");
    }
    void removingARecord()
    {
        QFETCH(QString, subdirectory);
        QFETCH(QString, files);
        QFETCH(QString, records);
        if (!subdirectory.isEmpty())
            patient->setSubdirectory(subdirectory);
        for (const QString &file : files.split(' '))
            QVERIFY(writeFile(file.startsWith('-') ? file.mid(1) : file));
        for (const QString &fileName : records.split(' '))
            QVERIFY(addRecord(fileName));
        QVERIFY(patient->records().first()->fileExists());
        QVERIFY(patient->records().first()->remove());
        QCOMPARE(rowCount(), records.split(' ').size() - 1);
        for (const QString &file : files.split(' ')) {
            const bool gone = file.startsWith('-');
            QVERIFY2(QFileInfo::exists(patientsPath(gone ? file.mid(1) : file)) != gone, qPrintable(file));
        }
    }

    // Folders compare by canonical path: another patient's folder that is a
    // link to this one, and ".\\Shared" in it, name this record's folder too;
    // a folder link's target lies outside the patient's folder and stays.
    void foldersCompareByCanonicalPath()
    {
        QCOMPARE(addPatient(*db, "B2", "Sidorov"), 101);
        patient = db->patientById(100);
        QVERIFY(
            writeFile("P/Shared/a.edf") && writeFile("P/Shared/b.edf") && writeFile("../Elsewhere/c.edf"));
        QVERIFY(QFile::link(patientsPath("P/"), patientsPath("Sidorov_B2")));
        QVERIFY(QFile::link(DataLocations::dataFolder() + "Elsewhere", patientsPath("P/EEG_L")));
        QVERIFY(addRecord(".\\Shared\\b.edf", db->patientById(101)));
        Record *shared = addRecord("Shared\\a.edf");
        Record *linked = addRecord("EEG_L\\c.edf");
        QVERIFY(shared && shared->remove() && linked && linked->fileExists() && linked->remove());
        QVERIFY(!QFileInfo::exists(patientsPath("P/Shared/a.edf")));
        QVERIFY(QFileInfo::exists(patientsPath("P/Shared/b.edf")));
        QVERIFY(QFileInfo::exists(DataLocations::dataFolder() + "Elsewhere/c.edf"));
    }

    // Records first, files and rows (a missing file only the row), then the
    // patient's row; the folder stays with what no record names. Records
    // whose PatientID another patient shares belong to both: they stay, with
    // their files.
    void removingAPatient_data()
    {
        QTest::addColumn<QString>("removedId");
        QTest::addColumn<QString>("otherId"); // empty: no other patient
        QTest::newRow("alone") << QString("'A17'") << QString();
        QTest::newRow("same text") << QString("'A17'") << QString("'A17'");
        QTest::newRow("empty and NULL") << QString("''") << QString("NULL");
        QTest::newRow("NULL and blank") << QString("NULL") << QString("' '");
    }
    void removingAPatient()
    {
        QFETCH(QString, removedId);
        QFETCH(QString, otherId);
        const bool shared = !otherId.isEmpty();
        if (shared)
            QVERIFY(rawExec(*db, "INSERT INTO Patients (AutoID, PatientID) VALUES (101, " + otherId + ")"));
        QVERIFY(rawExec(*db, "UPDATE Patients SET PatientID=" + removedId + " WHERE AutoID=100"));
        QVERIFY(db->reloadPatients());
        patient = db->patientById(100);
        const QString folder = patient->folderName();
        QVERIFY(writeFile(folder + "/EEG_1/rec.edf") && writeFile(folder + "/notes.txt"));
        QVERIFY(addRecord("EEG_1\\rec.edf") && addRecord("EEG_2\\rec.edf"));
        QCOMPARE(db->patientIdShared(patient), shared);
        const QStringList statements = statementsOf([&] { QVERIFY(db->removePatient(patient)); });
        if (!shared)
            QCOMPARE(statements,
                QStringList({ "SELECT RecordID, PatientID, FileName from Records",
                    "DELETE from Records where RecordID=100", "DELETE from Records where RecordID=101",
                    "DELETE from Patients where AutoID=100", "SELECT * from Patients" }));
        QCOMPARE(db->patients().size(), shared ? 1 : 0);
        QCOMPARE(rowCount(), shared ? 2 : 0);
        QCOMPARE(QFileInfo::exists(patientsPath(folder + "/EEG_1")), shared);
        QVERIFY(QFileInfo::exists(patientsPath(folder + "/notes.txt")));
        if (shared)
            QCOMPARE(db->patientById(101)->records().size(), 2);
    }
};

KESTA_TEST_MAIN(TestRecord)
#include "tst_record.moc"
