#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/recordings/recordingfacts.h"
#include "db/recordings/recordingfiles.h"
#include "recorder/edfrecording.h"
#include "db/storage/sqlitedialect.h"
#include "support/settingsfiles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "db/care/trash.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <memory>

using namespace kestatest;

namespace
{

const QString petrov = QStringLiteral("PetrovIvan_A17");

// Paths below the patients folder; "P/" stands for the patient's own folder.
QString patientsPath(const QString &relative)
{
    const bool own = relative.startsWith(QLatin1String("P/"));
    return DataLocations::patientsFolder() + (own ? petrov + "/" + relative.mid(2) : relative);
}

bool writeFile(const QString &relative, qint64 bytes = 100)
{
    QDir().mkpath(QFileInfo(patientsPath(relative)).absolutePath());
    QFile file(patientsPath(relative));
    return file.open(QIODevice::WriteOnly) && file.resize(bytes);
}

} // namespace

// Recordings on disk: what lies there for a record, found off the GUI thread,
// and that removing a record takes its recording and nothing else to the
// trash, in the write that removes its row.
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
        db = std::make_unique<PatientDatabase>(DataLocations::databaseFile());
        QVERIFY(db->isUsable());
        QCOMPARE(addPatient(*db, "A17", "Petrov", "Ivan"), 100);
        patient = db->patientById(100);
        QVERIFY(QDir().mkpath(patientsPath("P/")));
    }
    void cleanup() { db.reset(); }

    // Whether each file exists arrives first, then the sizes: the recording's
    // whole folder, or the file alone when it lies in the patient's folder. A
    // name that climbs out, or an absolute one, is never walked.
    void factsArriveFromTheBackground()
    {
        QVERIFY(writeFile("P/EEG_1/rec.edf", 1536) && writeFile("P/EEG_1/sub/notes.txt", 512)
            && writeFile("P/direct.edf", 300) && writeFile("P/other.edf", 700)
            && writeFile("Sidorov_B2/EEG_9/rec.edf", 4096));
        const QList<RecordingFacts::Recording> asked { { petrov, "EEG_1\\rec.edf" },
            { petrov, "EEG_2\\rec.edf" }, { petrov, "direct.edf" },
            { petrov, "..\\Sidorov_B2\\EEG_9\\rec.edf" }, { petrov, "" },
            { petrov, DataLocations::patientsFolder() + "Sidorov_B2/EEG_9/rec.edf" } };
        RecordingFacts facts;
        facts.request(asked);
        QVERIFY(!facts.find(asked.first()));
        QTRY_VERIFY(
            std::all_of(asked.cbegin(), asked.cend(), [&](const RecordingFacts::Recording &recording) {
                return facts.find(recording) && facts.find(recording)->sizeKnown;
            }));
        QStringList seen;
        for (const RecordingFacts::Recording &recording : asked) {
            const RecordingFiles::Facts &found = facts.find(recording)->facts;
            seen << QStringLiteral("%1 %2 %3").arg(found.exists).arg(found.inside).arg(found.size);
        }
        QCOMPARE(seen, QStringList({ "1 1 2048", "0 0 0", "1 1 300", "1 0 0", "0 0 0", "0 0 0" }));
        QCOMPARE(facts.find(asked.first())->facts.folder, patientsPath("P/EEG_1"));

        // Nor through a link that leads out.
        QVERIFY(QFile::link(patientsPath("Sidorov_B2/EEG_9"), patientsPath("P/EEG_L")));
        const RecordingFiles::Facts linked = RecordingFiles::factsOf(petrov, "EEG_L\\rec.edf");
        QVERIFY(linked.exists && !linked.inside && linked.size == 0);

        const qint64 big = qint64(3) << 30;
        if (!writeFile("P/LONG/rec.edf", big))
            QSKIP("no sparse 3 GiB file here");
        QCOMPARE(RecordingFiles::factsOf(petrov, "LONG\\rec.edf").size, big);
    }

    // Header facts come with the sizes; the recordings in the patient's folder
    // that no record lists are found, with what registering them takes; nothing
    // outside the folder is looked at, through a link neither.
    void recordingsFoundOnDisk()
    {
        const QDateTime start(QDate(2024, 3, 5), QTime(14, 25, 30));
        const QString comment = QStringLiteral("Ночной сон");
        for (const char *file : { "P/EEG_1/listed.edf", "P/EEG_2024_03_05_142530/rec.edf", "Sidorov_B2/other.edf" }) {
            QVERIFY(QDir().mkpath(QFileInfo(patientsPath(file)).absolutePath()));
            QCOMPARE(EdfRecording::write(patientsPath(file), { "Petrov Ivan", "A17", QDate(1980, 5, 1) }, start, 3,
                         comment),
                QString());
        }
        QVERIFY(writeFile("P/junk.edf", 10) && writeFile("P/notes.txt"));
        QVERIFY(QFile::link(patientsPath("Sidorov_B2"), patientsPath("P/EEG_L"))
            && QFile::link(patientsPath("Sidorov_B2/other.edf"), patientsPath("P/link.edf")));

        RecordingFacts facts;
        QSignalSpy scanned(&facts, &RecordingFacts::unregisteredFound);
        const RecordingFacts::Recording listed { petrov, "EEG_1\\listed.edf" };
        facts.request({ listed }, petrov);
        QTRY_COMPARE(scanned.count(), 1);
        QVERIFY(facts.find(listed)->headerKnown);
        QCOMPARE(facts.find(listed)->header.durationSeconds, 3.0);
        const QList<RecordingFacts::Unregistered> found = facts.unregistered(petrov);
        QStringList names;
        for (const RecordingFacts::Unregistered &file : found)
            names << file.fileName + (file.header.readable() ? "" : " unreadable");
        QCOMPARE(names, QStringList({ "EEG_2024_03_05_142530\\rec.edf", "junk.edf unreadable" }));

        const RecordingFiles::Registration registration
            = RecordingFiles::registrationOf(found.first().fileName, found.first().header);
        QCOMPARE(registration.date, start);
        QCOMPARE(registration.type, QStringLiteral("EEG"));
        QCOMPARE(registration.comment, comment);
        const RecordingFiles::Registration fromName = RecordingFiles::registrationOf(found.first().fileName, EdfFacts());
        QCOMPARE(fromName.date, start);
        QVERIFY(db->insertRecord(patient, registration.date, found.first().fileName, registration.type,
                    registration.comment)
            > 0);
        facts.request({ listed, { petrov, found.first().fileName } }, petrov);
        QTRY_COMPARE(scanned.count(), 2);
        QCOMPARE(facts.unregistered(petrov).size(), 1);
    }

    // The patient's Subdirectory; the files written, those marked "-" to go to
    // the trash and the others kept; the patient's records, the first removed.
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
        QVERIFY(Trash(db.get()).removeRecord(patient, patient->records().first()));
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
        QVERIFY(shared && Trash(db.get()).removeRecord(patient, shared) && linked && Trash(db.get()).removeRecord(patient, linked));
        QVERIFY(!QFileInfo::exists(patientsPath("P/Shared/a.edf")));
        QVERIFY(QFileInfo::exists(patientsPath("P/Shared/b.edf")));
        QVERIFY(QFileInfo::exists(DataLocations::dataFolder() + "Elsewhere/c.edf"));
    }

    // A removal the database refuses at its last statement, or before its
    // first (another program holds the write lock, the file or the data
    // folder takes no writes), leaves rows and files.
    void aRefusedRemovalChangesNothing_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("reason");
        QTest::newRow("patient row kept") << QString("CREATE TRIGGER keep BEFORE DELETE ON Patients "
                                                     "BEGIN SELECT RAISE(ABORT, 'kept'); END")
                                          << QString("kept");
        QTest::newRow("record row kept")
            << QString("CREATE TRIGGER keep BEFORE DELETE ON Records "
                       "WHEN old.RecordID=101 BEGIN SELECT RAISE(ABORT, 'kept'); END")
            << QString("kept");
        QTest::newRow("locked by another program") << QString("BEGIN IMMEDIATE") << QString("locked");
        QTest::newRow("read-only file") << QString("read-only file") << QString("readonly");
        QTest::newRow("read-only data folder")
            << QString("read-only folder") << QString("trash folder cannot be made");
    }
    void aRefusedRemovalChangesNothing()
    {
        QFETCH(QString, cause);
        QFETCH(QString, reason);
        QVERIFY(writeFile("P/EEG_1/rec.edf") && writeFile("P/EEG_2/rec.edf"));
        QVERIFY(addRecord("EEG_1\\rec.edf") && addRecord("EEG_2\\rec.edf"));
        struct ReadOnly : SqliteDialect {
            QString databaseName(const QString &path) const override
            {
                return SqliteDialect::databaseName(path).replace("mode=rw", "mode=ro");
            }
        };
        db = std::make_unique<PatientDatabase>(DataLocations::databaseFile(),
            cause == "read-only file" ? std::unique_ptr<SqliteDialect>(new ReadOnly)
                                      : std::make_unique<SqliteDialect>(100));
        QVERIFY(db->reloadPatients());
        patient = db->patientById(100);
        OtherConnection other(DataLocations::databaseFile());
        if (cause.startsWith("CREATE"))
            QVERIFY(rawExec(*db, cause));
        else if (cause.startsWith("BEGIN"))
            QVERIFY(other.exec(cause));
        std::unique_ptr<LockedFolder> folder;
        if (cause == "read-only folder")
            folder = std::make_unique<LockedFolder>(DataLocations::dataFolder());
        if (folder && !folder->locked)
            QSKIP("the data folder cannot be made read-only here");

        QString why;
        QVERIFY(!Trash(db.get()).removePatient(patient, &why));
        QVERIFY2(why.contains(reason), qPrintable(why));
        // One record alone is refused as well, unless only the patient's row is kept.
        const bool recordRefused = !cause.contains("ON Patients");
        Record *second = db->patientById(100)->records().last();
        QCOMPARE(Trash(db.get()).removeRecord(db->patientById(100), second, &why), !recordRefused);
        folder.reset();
        QVERIFY(other.exec("ROLLBACK") || !cause.startsWith("BEGIN"));
        QCOMPARE(rowCount(), recordRefused ? 2 : 1);
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Patients").toInt(), 1);
        QVERIFY(QFileInfo::exists(patientsPath("P/EEG_1/rec.edf")));
        QCOMPARE(QFileInfo::exists(patientsPath("P/EEG_2/rec.edf")), recordRefused);
    }

    // Records first, then the patient's row, in one transaction that also
    // takes the recordings to the trash; the folder stays with what no record
    // names. Records whose PatientID another patient shares belong to both:
    // they stay, with their files.
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
        const QStringList statements = statementsOf([&] { QVERIFY(Trash(db.get()).removePatient(patient)); });
        if (!shared)
            QCOMPARE(statements.filter(QRegularExpression("^(DELETE|INSERT)")),
                QStringList({ "DELETE from Records where RecordID=100",
                    "DELETE from Records where RecordID=101", "DELETE from Patients where AutoID=100",
                    "DELETE FROM PatientIdKeys WHERE AutoID=?",
                    "INSERT into Removals (Description, FilesData, FolderName, Kind, PatientID, PatientRef, "
                    "RemovalID, RemovedAt, RowsData, SizeBytes, TrashFolder, UserName, Workstation) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)" }));
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
