#include "db/care/trash.h"
#include "db/model/datalocations.h"
#include "db/recordings/recordingfiles.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/accessdialect.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/sqlitedialect.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testserver.h"

#include <QPointer>
#include <QSignalSpy>
#include <QThread>
#include <atomic>
#include <memory>

using namespace kestatest;

// The SQL that reaches a real SQLite file: statement texts, ids, inserts,
// reads, edits and removals.
class TestDatabase : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;
    // Every row as the file reads it, for the server to read alike.
    QMap<int, QStringList> readFromFile;

    Patient *newPatient(const QString &patientId = QStringLiteral("A17"))
    {
        return db->patientById(addPatient(*db, patientId, "Petrov", "Ivan"));
    }
    int addRecord(Patient *patient, const QString &name, const QString &note = QString())
    {
        return db->insertRecord(patient, QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)), name, "EEG", note);
    }
    QVariant storedValue(const QString &column, int id)
    {
        return rawValue(*db, QStringLiteral("SELECT %1 FROM Patients WHERE AutoID=%2").arg(column).arg(id));
    }
    // Every column as name, type and value.
    static QStringList columns(AbstractDatabaseRow *row)
    {
        QStringList values;
        for (const QString &column : row->columnNames())
            values << column + row->getValue(column).typeName() + row->getValue(column).toString();
        return values;
    }

private slots:
    void init()
    {
        QVERIFY(resetDataFolder());
        db = std::make_unique<PatientDatabase>(
            DataLocations::databaseFile(), std::make_unique<SqliteDialect>(100));
    }
    void cleanup() { db.reset(); }

    // The Access literal is checked on every system; a non-date is NULL in both dialects.
    void dateLiterals()
    {
        QCOMPARE(AccessDialect().dateLiteral(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9, 999))),
            QStringLiteral("'05/03/2024 14:05:09'"));
        QCOMPARE(AccessDialect().dateLiteral(QDate(1980, 5, 1)), QStringLiteral("'01/05/1980 00:00:00'"));
        for (const QVariant &value : { QVariant(QDate()), QVariant(QDateTime()), QVariant("1980-05-01") }) {
            QCOMPARE(AccessDialect().dateLiteral(value), QStringLiteral("NULL"));
            QCOMPARE(SqliteDialect().dateLiteral(value), QStringLiteral("NULL"));
        }
        // Characters that mean something in a URI stay part of the path.
        QCOMPARE(SqliteDialect().databaseName("/home/a b/x?y#z%.sqlite"),
            QStringLiteral("file:///home/a%20b/x%3Fy%23z%25.sqlite?mode=rw"));
    }

    // From 100, then past the highest; one past the int range would wrap into
    // another row's id, so such rows are left out and reported.
    void ids()
    {
        Patient fresh;
        QCOMPARE(db->insertPatient(&fresh), 100);
        QVERIFY(rawExec(*db, "INSERT INTO Patients (AutoID, PatientID) VALUES (250, 'A17')"));
        QCOMPARE(db->insertPatient(&fresh), 251);
        // A create reads its own row alone: another program's shows at a reload.
        QVERIFY(!db->patientById(250) && db->reloadPatients());
        QCOMPARE(addRecord(db->patientById(250), "a.edf"), 100);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^RR "));
        QCOMPARE(db->newId("NoSuchTable", "AutoID"), 100);

        QVERIFY(rawExec(*db, "INSERT INTO Patients (AutoID, PatientID) VALUES (4294967400, 'A17')"));
        QVERIFY(rawExec(*db, "INSERT INTO Records (RecordID, PatientID) VALUES (4294967396, 'A17')"));
        const QRegularExpression reported("^Row left out, its id lies beyond the int range");
        QTest::ignoreMessage(QtWarningMsg, reported);
        QVERIFY(db->reloadPatients());
        QCOMPARE(db->patients().size(), 3);
        QTest::ignoreMessage(QtWarningMsg, reported);
        QCOMPARE(db->patientById(250)->records().size(), 1);
    }

    // Ids are taken inside the insert's write: two connections inserting at
    // the same moment into one file never take the same one, for patients and
    // records alike.
    void concurrentInsertsTakeDistinctIds()
    {
        constexpr int patientsEach = 1000;
        constexpr int recordsEach = 1000;
        Patient *owner = newPatient();
        QVERIFY(owner);
        std::atomic<int> failures { 0 };
        const auto insertMany = [&](const QString &prefix) {
            PatientDatabase own(DataLocations::databaseFile());
            // Thousands of commits: the disk need not see each one.
            rawExec(own, "PRAGMA synchronous=OFF");
            Patient *patient = own.reloadPatients() ? own.patientById(100) : nullptr;
            for (int i = 0; patient && i < recordsEach; ++i) {
                if (own.insertRecord(patient, QDateTime(), prefix + QString::number(i), "EEG", "") <= 0)
                    ++failures;
            }
            for (int i = 0; i < patientsEach; ++i) {
                Patient fresh;
                fresh.setPatientID(prefix + QString::number(i));
                if (own.insertPatient(&fresh) <= 0)
                    ++failures;
            }
        };
        std::unique_ptr<QThread> first(QThread::create(insertMany, QStringLiteral("A")));
        std::unique_ptr<QThread> second(QThread::create(insertMany, QStringLiteral("B")));
        first->start();
        second->start();
        QVERIFY(first->wait(120000) && second->wait(120000));
        QCOMPARE(failures.load(), 0);
        QCOMPARE(rawValue(*db, "SELECT count(DISTINCT RecordID) FROM Records").toInt(), 2 * recordsEach);
        QCOMPARE(rawValue(*db, "SELECT count(DISTINCT AutoID) FROM Patients").toInt(), 2 * patientsEach + 1);
    }

    // Both tables' statements whole: an empty text goes in as ' ', quotes
    // doubled, SQL in a value stays a value; all read back as they were.
    void inserts()
    {
        const QString injection = QStringLiteral("x'); DROP TABLE Patients; --");
        QStringList statements = statementsOf([&] {
            QCOMPARE(addPatient(*db, "A17", "O'Brien", "", Patient::Gender_Female, QDate(1980, 5, 1)), 100);
        });
        QCOMPARE(statements,
            QStringList({ "SELECT AutoID from Patients ORDER BY AutoID DESC",
                "INSERT into Patients (" + Patient().columnNames().join(", ")
                    + ") VALUES (100, 'A17', 'O''Brien', ' ', ' ', 'F', '1980-05-01', 0, 0, 'U', "
                      "' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', NULL, NULL, ' ', 0, NULL)",
                "SELECT * from Patients where AutoID=100" }));
        Patient *stored = db->patientById(100);
        QCOMPARE(stored->getLastName() + stored->getFirstName(), QStringLiteral("O'Brien"));

        statements = statementsOf([&] { QCOMPARE(addRecord(stored, "EEG_1\\rec.edf", injection), 100); });
        QCOMPARE(statements.filter("INSERT into"),
            QStringList { "INSERT into Records (" + Record().columnNames().join(", ")
                + ") VALUES (100, 'A17', '2024-03-05T14:05:09', 'EEG_1\\rec.edf', 'EEG', "
                  "'x''); DROP TABLE Patients; --', ' ', ' ', ' ', NULL, NULL, 0, 0, 0, 0, ' ')" });
        QCOMPARE(stored->records().first()->getComments(), injection);
        // Without a patient nothing is executed.
        QCOMPARE(statementsOf([&] { QCOMPARE(addRecord(nullptr, "x.edf"), 0); }), QStringList());
    }

    // One UPDATE per change, none for a value set again, none from a clone
    // until it is copied back.
    void anEditWritesExactlyItsColumn()
    {
        Patient *patient = newPatient();
        QStringList expected;
        for (const char *set : { "City='O''Tver'", "FirstName=' '", "Height=172", "DOB='1980-05-01'",
                 "DOB=NULL", "FirstVisit='2024-03-05T09:00:00'", "Phone='555'", "Street='Lenina 1'",
                 "Phone=' '", "Sex='F'", "Referral='Dr Li'", "City='Moscow'" })
            expected << QStringLiteral("UPDATE Patients SET %1 WHERE AutoID=100").arg(set);
        QCOMPARE(statementsOf([&] {
            patient->setCity("O'Tver");
            patient->setCity("O'Tver");
            patient->setFirstName("");
            patient->setHeight(172);
            patient->setDOB(QDate(1980, 5, 1));
            patient->setDOB(QDate());
            patient->setFirstVisit(QDateTime(QDate(2024, 3, 5), QTime(9, 0)));
            // Texts most rows leave empty are held apart from the others, each in its own place.
            patient->setPhone("555");
            patient->setStreet("Lenina 1");
            patient->setPhone("");
            QScopedPointer<Patient> copy(patient->clone());
            copy->setCity("Moscow");
            copy->setSex(Patient::Gender_Female);
            copy->setReferral("Dr Li");
            QVERIFY(patient->copyFrom(copy.data()));
        }),
            expected);
        QCOMPARE(QStringList({ patient->getStreet(), patient->getPhone(), patient->getReferral() }),
            QStringList({ "Lenina 1", "", "Dr Li" }));
    }

    // The bulk reads and the single-row reads map a stored row alike, whatever
    // the row holds, in one statement per list (a patient's records when first
    // needed). Records of a PatientID that two patients share are listed by
    // both, as separate objects.
    void bulkLoadEqualsSingleRowLoad_data()
    {
        QTest::addColumn<bool>("server");
        QTest::newRow("file") << false;
        QTest::newRow("server") << true;
    }
    void bulkLoadEqualsSingleRowLoad()
    {
        QFETCH(bool, server);
        if (server) {
            TestServer *postgres = TestServer::instance();
            QVERIFY2(postgres, qPrintable(TestServer::startError()));
            db = std::make_unique<PatientDatabase>(postgres->createDatabase());
            QVERIFY(db->isUsable());
        }
        // The file keeps a text that is no date (and reads it as none); the
        // server's date columns take dates only.
        const auto noDate = [server](const char *text) { return server ? QString("NULL") : QString(text); };
        QVERIFY(rawExec(*db,
            "INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, MiddleName, Sex, DOB, Height, "
            "Weight, Hand, Comments, City, FirstVisit, LastVisit, ArchiveFlag, ArchiveDate) VALUES "
            "(101, 'A''1', 'O''Brien', 'Иван', ' ', 'm', '0001-01-01', 172.5, NULL, 'l', 'a\nb', 'Тверь', "
            "'2024-02-29T23:59:59', NULL, 7, '9999-12-31T23:59:59'),"
            "(102, 'S1', 'Ли', NULL, '', 'F', '2000-02-29', '180', 0, 'A', NULL, ' ', NULL, "
            "'1970-01-01T00:00:00', NULL, NULL),"
            "(103, 'S1', NULL, NULL, NULL, 'x', "
                + noDate("'not a date'") + ", -1, 1e3, 'r', '', 'Псков', " + noDate("'no'")
                + ", NULL, NULL, NULL),"
                  "(104, '', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, "
                  "NULL),"
                  "(105, NULL, NULL, NULL, NULL, 'M', NULL, NULL, NULL, 'u', NULL, NULL, NULL, NULL, NULL, "
                  "NULL)"));
        QVERIFY(rawExec(*db,
            "INSERT INTO Records (RecordID, PatientID, RecordDate, FileName, RecordType, Comments, "
            "OperatorID, ReviewDate, ReviewFlag, Temperature, Conditions) VALUES "
            "(200, 'A''1', '2024-03-05T14:05:09', 'EEG_1\\rec.edf', 'EEG', 'Запись', ' ', "
            "'0001-01-01T00:00:00', 1, 36.64, 'q''q'),"
            "(201, 'S1', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
            "(202, ' ', "
                + noDate("'bad'")
                + ", '', '', '', '', NULL, -5, -1, NULL),"
                  "(203, NULL, NULL, 'x.edf', NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
                  "(204, 'ZZ', NULL, 'nobody.edf', NULL, NULL, NULL, NULL, NULL, NULL, NULL)"));

        QCOMPARE(
            statementsOf([&] { QVERIFY(db->reloadPatients()); }), QStringList { "SELECT * from Patients" });
        Patient *first = db->patientById(101);
        QCOMPARE(statementsOf([&] { first->records(); }),
            QStringList { "SELECT * from Records where PatientID='A''1'" });
        QCOMPARE(statementsOf([&] { first->records(); }), QStringList());
        QSet<Record *> objects;
        QMap<int, QList<int>> recordsOf;
        QMap<int, QStringList> read;
        for (Patient *bulk : db->patients()) {
            Patient single(bulk->getId(), db.get(), nullptr);
            QCOMPARE(columns(bulk), columns(&single));
            read.insert(bulk->getId(), columns(bulk));
            for (Record *record : bulk->records()) {
                QCOMPARE(
                    columns(record), columns(std::unique_ptr<Record>(db->loadRecord(record->getId())).get()));
                objects.insert(record);
                recordsOf[bulk->getId()].append(record->getId());
                read.insert(record->getId(), columns(record));
            }
        }
        if (server)
            QCOMPARE(read, readFromFile);
        else
            readFromFile = read;
        const QMap<int, QList<int>> expected { { 101, { 200 } }, { 102, { 201 } }, { 103, { 201 } },
            { 104, { 202 } }, { 105, { 202 } } };
        QCOMPARE(recordsOf, expected);
        QCOMPARE(objects.size(), 5);

        // Letters in either case, dates and numbers converted on the way in, and back.
        QCOMPARE(first->records().first()->getTemperature(), 36.64);
        QCOMPARE(first->getSex(), Patient::Gender_Male);
        QCOMPARE(first->getHand(), Patient::Hand_Left);
        QCOMPARE(first->getDOB(), QDate(1, 1, 1));
        QCOMPARE(first->getFirstVisit(), QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59)));
        QCOMPARE(first->getHeight(), 172.5);
        QScopedPointer<Patient> copy(first->clone());
        const int id = db->insertPatient(copy.data());
        QCOMPARE(
            storedValue("Sex", id).toString() + storedValue("Hand", id).toString(), QStringLiteral("ML"));
        // What the program stores it reads back as it was.
        QStringList stored = columns(db->patientById(id));
        QStringList original = columns(first);
        QCOMPARE(stored.mid(1), original.mid(1));

        // The server keeps fractions of a second, and so does the row.
        if (server) {
            QVERIFY(rawExec(
                *db, "UPDATE Records SET ReviewDate = '2024-03-05 14:05:09.25' WHERE RecordID = 200"));
            first->loadRecords();
            QCOMPARE(first->records().first()->getReviewDate(),
                QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9, 250)));
        }

        // A column the file lacks keeps its default; the others still load.
        QVERIFY(rawExec(*db, "ALTER TABLE Patients RENAME COLUMN City TO Town"));
        std::unique_ptr<Patient> renamed;
        QCOMPARE(statementsOf([&] { renamed.reset(new Patient(101, db.get(), nullptr)); }),
            QStringList { "SELECT * from Patients where AutoID=101" });
        QCOMPARE(renamed->getCity(), QString());
        QCOMPARE(renamed->getSex(), Patient::Gender_Male);
    }

    // The first and last visit are the patient's records' dates, read for all
    // patients in one statement and again once records change; the stored
    // columns stand for a patient without records.
    void visitsComeFromTheRecords()
    {
        Patient *patient = newPatient();
        QVERIFY(rawExec(*db, "UPDATE Patients SET LastVisit='2020-01-02T03:04:05'"));
        QVERIFY(db->reloadPatients());
        patient = db->patientById(100);
        QCOMPARE(patient->getTextValue("LastVisit"), QStringLiteral("2020-01-02"));
        QVERIFY(addRecord(patient, "a.edf") > 0);
        QVERIFY(db->insertRecord(patient, QDateTime(QDate(2025, 6, 7), QTime(8, 0)), "b.edf", "EEG", "") > 0);
        const QStringList statements = statementsOf([&] {
            QCOMPARE(patient->getTextValue("FirstVisit") + " " + patient->getTextValue("LastVisit"),
                QStringLiteral("2024-03-05 2025-06-07"));
            QCOMPARE(patient->lastVisit(), QDateTime(QDate(2025, 6, 7), QTime(8, 0)));
        });
        QCOMPARE(statements,
            QStringList {
                "SELECT PatientID, MIN(RecordDate), MAX(RecordDate) from Records GROUP BY PatientID" });
    }

    void failedPatientDeleteStillReloads()
    {
        Patient *patient = newPatient();
        QVERIFY(rawExec(
            *db, "CREATE TRIGGER keep BEFORE DELETE ON Patients BEGIN SELECT RAISE(ABORT, 'kept'); END"));
        QSignalSpy changed(db.get(), &Database::patientsChanged);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^PATIENT NOT REMOVED FROM DATABASE"));
        QVERIFY(!Trash(db.get()).removePatient(patient));
        QCOMPARE(changed.count(), 1);
        QVERIFY(db->patientById(100));
    }

    // Texts that repeat down a column are held once while the list is read;
    // each row still reads back its own, among more texts than are remembered,
    // in any script and of any length.
    void repeatedTextsReadBackAsStored()
    {
        QVERIFY(rawExec(*db,
            "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 2999) "
            "INSERT INTO Patients (AutoID, PatientID, LastName, City) "
            "SELECT 1000 + i, 'P' || i, 'Name' || (i % 1500), substr('Тверь', 1, i % 6) FROM n"));
        QVERIFY(db->reloadPatients());
        QCOMPARE(db->patients().size(), 3000);
        for (Patient *patient : db->patients()) {
            const int i = patient->getId() - 1000;
            QCOMPARE(patient->getPatientID() + patient->getLastName() + patient->getCity(),
                QStringLiteral("P%1Name%2").arg(i).arg(i % 1500) + QStringLiteral("Тверь").left(i % 6));
        }
        const QString city = db->patientById(1005)->getCity();
        QVERIFY(city.constData() == db->patientById(1011)->getCity().constData());
    }

    // Still there until the queued change notice has reached the views; a
    // list that became empty is announced too.
    void replacedRowsAreFreed()
    {
        Patient *patient = newPatient();
        QVERIFY(addRecord(patient, "a.edf") > 0);
        QPointer<Patient> firstPatient = patient;
        QPointer<Record> firstRecord = patient->records().first();
        db->reloadPatients();
        QVERIFY(firstPatient);
        QCoreApplication::processEvents();
        QVERIFY(!firstPatient && !firstRecord);

        patient = db->patientById(100);
        firstRecord = patient->records().first();
        QVERIFY(rawExec(*db, "DELETE FROM Records"));
        QSignalSpy updated(patient, &Patient::recordsUpdated);
        patient->loadRecords();
        QVERIFY(firstRecord && patient->records().isEmpty());
        QCOMPARE(updated.count(), 1);
        QCoreApplication::processEvents();
        QVERIFY(!firstRecord);
    }

    // Paths follow the folder name; the records are carried over to an ID
    // nobody else has, kept where another patient shares the old one, and the
    // change is refused where another has the new one, as the two record lists
    // would merge: the stored IDs are read, nothing is written.
    void aChangedPatientIdTakesTheRecordsAlong()
    {
        Patient *patient = newPatient("A17");
        QVERIFY(addRecord(patient, "EEG_1\\a.edf") > 0);
        Record *record = patient->records().first();
        QCOMPARE(RecordingFiles::recordPath(patient->folderName(), record->getFileName()),
            DataLocations::patientsFolder() + "PetrovIvan_A17/EEG_1/a.edf");
        patient->setLastName("Li");
        QCOMPARE(RecordingFiles::recordPath(patient->folderName(), record->getFileName()),
            DataLocations::patientsFolder() + "LiIvan_A17/EEG_1/a.edf");
        patient->setPatientID("B2");
        QCOMPARE(rawValue(*db, "SELECT PatientID FROM Records").toString(), QStringLiteral("B2"));
        QCOMPARE(patient->records().first()->getPatientID(), QStringLiteral("B2"));

        QVERIFY(newPatient("C3"));
        QVERIFY(addRecord(newPatient("C3"), "c.edf") > 0);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Records not moved"));
        db->patientById(101)->setPatientID("D4");
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Records WHERE PatientID='C3'").toInt(), 1);

        Patient *other = db->patientById(102);
        QSignalSpy refused(db.get(), &Database::writeFailed);
        QCOMPARE(statementsOf([&] { QVERIFY(!other->setValue("PatientID", "B2")); }),
            QStringList("SELECT AutoID, PatientID, LastName, FirstName, MiddleName from Patients"));
        QCOMPARE(other->getPatientID(), QStringLiteral("C3"));
        QCOMPARE(QList<QVariantList>(refused),
            QList<QVariantList>({ { "PatientID", "This patient id is already used: Li Ivan (B2)" } }));
        QCOMPARE(storedValue("PatientID", 102).toString(), QStringLiteral("C3"));
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Records WHERE PatientID='B2'").toInt(), 1);
    }
};

KESTA_TEST_MAIN(TestDatabase)
#include "tst_database.moc"
