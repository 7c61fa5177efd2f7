#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"
#include "db/record.h"
#include "support/statementlog.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QPointer>
#include <QSignalSpy>
#include <memory>

using kestatest::rawExec;
using kestatest::rawValue;

// The SQL that reaches a real SQLite file: statement texts, ids, inserts,
// reads, edits and removals.
class TestDatabase : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;

    // A stored patient with the given AutoID, read through the program.
    Patient *storedPatient(int autoId, const QString &patientId = QStringLiteral("A17"))
    {
        if (!rawExec(*db,
                QStringLiteral("INSERT INTO Patients (AutoID, PatientID, LastName, FirstName) "
                               "VALUES (%1, '%2', 'Petrov', 'Ivan')")
                    .arg(autoId)
                    .arg(patientId)))
            return nullptr;
        db->reloadPatients();
        return db->patientById(autoId);
    }

private slots:
    void init()
    {
        QVERIFY(kestatest::resetDataFolder());
        db = std::make_unique<Database>(DataLocations::databaseFile());
    }
    void cleanup() { db.reset(); }

    void idsStartAt100AndFollowTheHighest()
    {
        Patient fresh;
        fresh.setPatientID("A1");
        QCOMPARE(db->insertPatient(&fresh), 100);
        QVERIFY(rawExec(*db, "INSERT INTO Patients (AutoID) VALUES (250)"));
        QCOMPARE(db->insertPatient(&fresh), 251);
        QCOMPARE(fresh.getAutoID(), 0);
        QCOMPARE(db->lastId("Patients", "AutoID"), 251);

        Patient *patient = db->patientById(100);
        QVERIFY(patient);
        QCOMPARE(db->insertRecord(patient, QDateTime::currentDateTime(), "a.edf", "EEG", ""), 100);
        QCOMPARE(db->insertRecord(patient, QDateTime::currentDateTime(), "b.edf", "EEG", ""), 101);
    }

    void failedHighestIdQueryGives100()
    {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^RR "));
        QCOMPARE(db->lastId("NoSuchTable", "AutoID"), -1);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^RR "));
        QCOMPARE(db->newId("NoSuchTable", "AutoID"), 100);
        QCOMPARE(db->lastId("Records", "RecordID"), 0);
    }

    void insertStatementOfAPatient()
    {
        Patient patient;
        patient.setPatientID("A17");
        patient.setLastName("Petrov");
        patient.setFirstName("Ivan");
        patient.setSex(Patient::Gender_Female);
        patient.setHand(Patient::Hand_Left);
        patient.setDOB(QDate(1980, 5, 1));
        patient.setHeight(172);
        patient.setWeight(70.5);
        patient.setLastVisit(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
        StatementLog log;
        QCOMPARE(db->insertPatient(&patient), 100);
        const QStringList inserts = log.statements("INSERT");
        QCOMPARE(inserts.size(), 1);
        QCOMPARE(inserts.first(),
            QStringLiteral(
                "INSERT into Patients (AutoID, PatientID, LastName, FirstName, MiddleName, Sex, DOB, "
                "Height, Weight, Hand, Referral, Diagnosis, Medication, Comments, NativeLanguage, "
                "Ethnicity, Street, City, State, ZIP, Phone, FirstVisit, LastVisit, Subdirectory, "
                "ArchiveFlag, ArchiveDate) VALUES (100, 'A17', 'Petrov', 'Ivan', ' ', 'F', "
                "'1980-05-01', 172, 70.5, 'L', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', "
                "' ', NULL, '2024-03-05T14:05:09', ' ', 0, NULL)"));
        // The id query comes first, the reload after.
        QCOMPARE(
            log.statements().first(), QStringLiteral("SELECT AutoID from Patients ORDER BY AutoID DESC"));
        QVERIFY(log.statements().contains("SELECT AutoID from Patients"));

        Patient *stored = db->patientById(100);
        QVERIFY(stored);
        QCOMPARE(stored->getDOB(), QDate(1980, 5, 1));
        QCOMPARE(stored->getLastVisit(), QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
        QVERIFY(!stored->getFirstVisit().isValid());
        QCOMPARE(stored->getSex(), Patient::Gender_Female);
        QCOMPARE(stored->getHand(), Patient::Hand_Left);
        QCOMPARE(stored->getWeight(), 70.5);
        QCOMPARE(rawValue(*db, "SELECT Sex FROM Patients").toString(), QStringLiteral("F"));
        QVERIFY(rawValue(*db, "SELECT DOB FROM Patients WHERE DOB IS NULL").isNull());
    }

    void tooLongTextIsRefusedAndReported()
    {
        Patient patient;
        patient.setPatientID("12345678901234567");
        QSignalSpy changed(db.get(), &Database::patientsChanged);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Creation error:"));
        QCOMPARE(db->insertPatient(&patient), -1);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Patients").toInt(), 0);

        // An edit beyond the limit fails too and says so; the row keeps its text.
        Patient *stored = storedPatient(104);
        QVERIFY(stored);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^NOT SET \"City\""));
        stored->setCity("Ust-Kamenogorsk-Severny");
        QCOMPARE(rawValue(*db, "SELECT City FROM Patients WHERE AutoID=104").toString(), QString());
    }

    void quotesAndInjectionAreStoredVerbatim()
    {
        const QString injection = QStringLiteral("x'); DROP TABLE Patients; --");
        Patient patient;
        patient.setPatientID("O'B1");
        patient.setLastName("O'Brien");
        patient.setComments(injection);
        QCOMPARE(db->insertPatient(&patient), 100);
        Patient *stored = db->patientById(100);
        QVERIFY(stored);
        QCOMPARE(stored->getLastName(), QStringLiteral("O'Brien"));
        QCOMPARE(stored->getComments(), injection);

        // Through the single-column write and the records lookup as well.
        const QString update = QStringLiteral("'; DELETE FROM Patients; --");
        stored->setCity("Tver'");
        stored->setStreet(update);
        QCOMPARE(db->insertRecord(stored, QDateTime::currentDateTime(), "rec'1.edf", "EEG", injection), 100);
        QCOMPARE(stored->records().size(), 1);
        QCOMPARE(stored->records().first()->getComments(), injection);

        db->reloadPatients();
        stored = db->patientById(100);
        QVERIFY(stored);
        QCOMPARE(stored->getCity(), QStringLiteral("Tver'"));
        QCOMPARE(stored->getStreet(), update);
        QCOMPARE(stored->getPatientID(), QStringLiteral("O'B1"));
        QCOMPARE(stored->records().size(), 1);
        QCOMPARE(stored->records().first()->getFileName(), QStringLiteral("rec'1.edf"));
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Patients").toInt(), 1);
    }

    void anEditWritesExactlyItsColumn()
    {
        Patient *patient = storedPatient(104);
        QVERIFY(patient);
        StatementLog log;
        patient->setCity("Tver");
        QCOMPARE(log.statements(), QStringList { "UPDATE Patients SET City='Tver' WHERE AutoID=104" });
        log.clear();
        patient->setCity("Tver");
        QCOMPARE(log.count(), 0);

        patient->setHeight(172);
        patient->setWeight(70.5);
        patient->setSex(Patient::Gender_Male);
        patient->setDOB(QDate(1980, 5, 1));
        patient->setDOB(QDate());
        patient->setFirstVisit(QDateTime(QDate(2024, 3, 5), QTime(9, 0)));
        patient->setArchiveFlag(1);
        QCOMPARE(log.statements(),
            QStringList({ "UPDATE Patients SET Height=172 WHERE AutoID=104",
                "UPDATE Patients SET Weight=70.5 WHERE AutoID=104",
                "UPDATE Patients SET Sex='M' WHERE AutoID=104",
                "UPDATE Patients SET DOB='1980-05-01' WHERE AutoID=104",
                "UPDATE Patients SET DOB=NULL WHERE AutoID=104",
                "UPDATE Patients SET FirstVisit='2024-03-05T09:00:00' WHERE AutoID=104",
                "UPDATE Patients SET ArchiveFlag=1 WHERE AutoID=104" }));
        // Clearing the birth date really clears it.
        QVERIFY(rawValue(*db, "SELECT DOB FROM Patients WHERE AutoID=104").isNull());
        QCOMPARE(
            rawValue(*db, "SELECT City FROM Patients WHERE AutoID=104").toString(), QStringLiteral("Tver"));
    }

    void newRowsWriteNothing()
    {
        StatementLog log;
        Patient patient;
        patient.setCity("Tver");
        patient.setDOB(QDate(1980, 5, 1));
        Record record;
        record.setComments("good");
        QScopedPointer<Patient> copy(patient.clone());
        copy->setLastName("Petrov");
        QCOMPARE(log.count(), 0);
    }

    void loadingReadsEachColumnOnce()
    {
        QVERIFY(rawExec(*db, "INSERT INTO Patients (AutoID, PatientID, City) VALUES (104, 'A17', 'Tver')"));
        StatementLog log;
        Patient patient(104, db.get(), nullptr);
        QStringList expected;
        for (const QString &column : patient.columnNames()) {
            if (column != "AutoID")
                expected << QStringLiteral("SELECT %1 from Patients where AutoID=104").arg(column);
        }
        QCOMPARE(expected.size(), 25);
        expected << "SELECT RecordID from Records where PatientID='A17'";
        QCOMPARE(log.statements(), expected);
        QCOMPARE(patient.getCity(), QStringLiteral("Tver"));
    }

    void storedLettersAndDatesReadBack()
    {
        QVERIFY(rawExec(*db,
            "INSERT INTO Patients (AutoID, PatientID, Sex, Hand, DOB, FirstVisit, Height) "
            "VALUES (104, 'A17', 'f', 'X', '1980-05-01', '2024-03-05T14:05:09', 172.5)"));
        QVERIFY(rawExec(
            *db, "INSERT INTO Patients (AutoID, PatientID, Sex, Hand) VALUES (105, 'A18', 'm', 'a')"));
        db->reloadPatients();
        Patient *patient = db->patientById(104);
        QVERIFY(patient);
        QCOMPARE(patient->getSex(), Patient::Gender_Female);
        QCOMPARE(patient->getHand(), Patient::Hand_Unspecified);
        QCOMPARE(patient->getDOB(), QDate(1980, 5, 1));
        QCOMPARE(patient->getFirstVisit(), QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
        QCOMPARE(patient->getHeight(), 172.5);
        QCOMPARE(db->patientById(105)->getSex(), Patient::Gender_Male);
        QCOMPARE(db->patientById(105)->getHand(), Patient::Hand_Ambidextrous);

        // "f" goes back as "F" when the patient is saved as a copy.
        QScopedPointer<Patient> copy(patient->clone());
        copy->setPatientID("A19");
        const int id = db->insertPatient(copy.data());
        QCOMPARE(rawValue(*db, QStringLiteral("SELECT Sex FROM Patients WHERE AutoID=%1").arg(id)).toString(),
            QStringLiteral("F"));
        QCOMPARE(
            rawValue(*db, QStringLiteral("SELECT Hand FROM Patients WHERE AutoID=%1").arg(id)).toString(),
            QStringLiteral("U"));
    }

    void failedColumnReadKeepsTheDefault()
    {
        QVERIFY(rawExec(*db,
            "INSERT INTO Patients (AutoID, PatientID, City, LastName) "
            "VALUES (104, 'A17', 'Tver', 'Petrov')"));
        QVERIFY(rawExec(*db, "ALTER TABLE Patients RENAME COLUMN City TO Town"));
        db->reloadPatients();
        Patient *patient = db->patientById(104);
        QVERIFY(patient);
        QCOMPARE(patient->getCity(), QString());
        QCOMPARE(patient->getLastName(), QStringLiteral("Petrov"));
    }

    void lookups()
    {
        QVERIFY(storedPatient(104, "A17"));
        QVERIFY(storedPatient(105, "a17"));
        QCOMPARE(db->patientById(0), nullptr);
        QCOMPARE(db->patientById(106), nullptr);
        QCOMPARE(db->patientByPatientId("a17")->getId(), 105);
        QCOMPARE(db->patientByPatientId("A17")->getId(), 104);
        QCOMPARE(db->patientByPatientId("A1"), nullptr);

        std::unique_ptr<Record> none(db->loadRecord(300));
        QCOMPARE(none->getRecordID(), 300);
        QVERIFY(!none->fileExists());
    }

    void insertRecordStatement()
    {
        Patient *patient = storedPatient(104);
        QVERIFY(patient);
        QSignalSpy updated(patient, &Patient::recordsUpdated);
        StatementLog log;
        QCOMPARE(db->insertRecord(nullptr, QDateTime::currentDateTime(), "a.edf", "EEG", ""), 0);
        QCOMPARE(log.count(), 0);

        const QDateTime date(QDate(2024, 3, 5), QTime(14, 25, 30));
        QCOMPARE(db->insertRecord(patient, date, "EEG_2024_03_05_142530\\rec.edf", "EEG", ""), 100);
        QCOMPARE(log.statements("INSERT"),
            QStringList {
                "INSERT into Records (RecordID, PatientID, RecordDate, FileName, RecordType, "
                "Comments, OperatorID, ReviewerID, ArchiveID, ReviewDate, ArchiveDate, ReviewFlag, "
                "ReportFlag, ArchiveFlag, Temperature, Conditions) VALUES (100, 'A17', "
                "'2024-03-05T14:25:30', 'EEG_2024_03_05_142530\\rec.edf', 'EEG', ' ', ' ', ' ', ' ', "
                "NULL, NULL, 0, 0, 0, 0, ' ')" });
        QCOMPARE(updated.count(), 1);
        QCOMPARE(patient->records().size(), 1);
        Record *record = patient->records().first();
        QCOMPARE(record->getRecordDate(), date);
        QCOMPARE(record->getRecordType(), QStringLiteral("EEG"));

        // The recorder's comment arrives later and is stored at once.
        log.clear();
        record->setComments("good  record");
        QCOMPARE(log.statements(),
            QStringList { "UPDATE Records SET Comments='good  record' WHERE RecordID=100" });
        std::unique_ptr<Record> fresh(db->loadRecord(100));
        QCOMPARE(fresh->getComments(), QStringLiteral("good  record"));
    }

    void removingAPatientRemovesItsRecordsFirst()
    {
        Patient *patient = storedPatient(104);
        QVERIFY(patient);
        QVERIFY(storedPatient(105, "B2"));
        patient = db->patientById(104);
        QVERIFY(db->insertRecord(patient, QDateTime::currentDateTime(), "a.edf", "EEG", "") > 0);
        QVERIFY(db->insertRecord(patient, QDateTime::currentDateTime(), "b.edf", "EEG", "") > 0);
        QSignalSpy changed(db.get(), &Database::patientsChanged);
        StatementLog log;
        db->removePatient(patient);
        const QStringList statements = log.statements();
        QVERIFY(statements.size() >= 4);
        QCOMPARE(statements.mid(0, 4),
            QStringList({ "DELETE from Records where RecordID=100", "DELETE from Records where RecordID=101",
                "DELETE from Patients where AutoID=104", "SELECT AutoID from Patients" }));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(db->patients().size(), 1);
        QCOMPARE(db->patientById(104), nullptr);
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Records").toInt(), 0);
    }

    void failedPatientDeleteStillReloads()
    {
        Patient *patient = storedPatient(104);
        QVERIFY(patient);
        QVERIFY(rawExec(
            *db, "CREATE TRIGGER keep BEFORE DELETE ON Patients BEGIN SELECT RAISE(ABORT, 'kept'); END"));
        QSignalSpy changed(db.get(), &Database::patientsChanged);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^PATIENT NOT REMOVED FROM DATABASE"));
        db->removePatient(patient);
        QCOMPARE(changed.count(), 1);
        QVERIFY(db->patientById(104));
    }

    void replacedRowsAreFreed()
    {
        Patient *patient = storedPatient(104);
        QVERIFY(patient);
        QVERIFY(db->insertRecord(patient, QDateTime::currentDateTime(), "a.edf", "EEG", "") > 0);
        QPointer<Patient> firstPatient = patient;
        QPointer<Record> firstRecord = patient->records().first();

        // Still there until the queued change notice has reached the views.
        db->reloadPatients();
        QVERIFY(firstPatient);
        QCoreApplication::processEvents();
        QVERIFY(!firstPatient);
        QVERIFY(!firstRecord);

        for (int i = 0; i < 1000; ++i) {
            db->reloadPatients();
            QCoreApplication::processEvents();
        }
        QCOMPARE(db->findChildren<Patient *>().size(), 1);
        QPointer<Record> record = db->patientById(104)->records().first();
        db->patientById(104)->loadRecords();
        QCoreApplication::processEvents();
        QVERIFY(!record);
    }

    void aChangedPatientIdTakesTheRecordsAlong()
    {
        Patient *patient = storedPatient(104, "A17");
        QVERIFY(patient);
        QVERIFY(db->insertRecord(patient, QDateTime::currentDateTime(), "a.edf", "EEG", "") > 0);
        StatementLog log;
        patient->setPatientID("B2");
        QCOMPARE(log.statements().mid(0, 2),
            QStringList({ "UPDATE Patients SET PatientID='B2' WHERE AutoID=104",
                "UPDATE Records SET PatientID='B2' WHERE PatientID='A17'" }));
        QCOMPARE(patient->records().size(), 1);
        QCOMPARE(patient->records().first()->getPatientID(), QStringLiteral("B2"));

        // Two patients sharing the old identifier: nobody can tell whose records
        // they are, so they stay.
        QVERIFY(storedPatient(105, "C3"));
        QVERIFY(storedPatient(106, "C3"));
        QVERIFY(db->insertRecord(db->patientById(105), QDateTime::currentDateTime(), "c.edf", "EEG", "") > 0);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Records not moved"));
        db->patientById(105)->setPatientID("D4");
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Records WHERE PatientID='C3'").toInt(), 1);
    }

    void copyFromWritesTheChangedColumns()
    {
        Patient *patient = storedPatient(104);
        QVERIFY(patient);
        QScopedPointer<Patient> copy(patient->clone());
        QCOMPARE(copy->getAutoID(), 0);
        QCOMPARE(copy->getLastName(), QStringLiteral("Petrov"));
        QCOMPARE(copy->getDatabase(), nullptr);
        copy->setCity("Tver");
        copy->setSex(Patient::Gender_Female);
        StatementLog log;
        patient->copyFrom(copy.data());
        QCOMPARE(log.statements(),
            QStringList({ "UPDATE Patients SET Sex='F' WHERE AutoID=104",
                "UPDATE Patients SET City='Tver' WHERE AutoID=104" }));
        QCOMPARE(patient->getAutoID(), 104);
    }
};

KESTA_TEST_MAIN(TestDatabase)
#include "tst_database.moc"
