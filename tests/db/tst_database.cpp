#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"
#include "db/record.h"
#include "db/sqlitedialect.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QPointer>
#include <QSignalSpy>
#include <memory>

using namespace kestatest;

// The SQL that reaches a real SQLite file: statement texts, ids, inserts,
// reads, edits and removals.
class TestDatabase : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;

    // A stored patient with the given AutoID, read through the program.
    Patient *storedPatient(int autoId, const QString &patientId = QStringLiteral("A17"))
    {
        const QString insert = QStringLiteral("INSERT INTO Patients (AutoID, PatientID, LastName, FirstName) "
                                              "VALUES (%1, '%2', 'Petrov', 'Ivan')");
        if (!rawExec(*db, insert.arg(autoId).arg(patientId)))
            return nullptr;
        db->reloadPatients();
        return db->patientById(autoId);
    }
    int addRecord(Patient *patient, const QString &name, const QString &note = QString())
    {
        return db->insertRecord(patient, QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)), name, "EEG", note);
    }
    QVariant storedValue(const QString &column, int id = 104)
    {
        return rawValue(*db, QStringLiteral("SELECT %1 FROM Patients WHERE AutoID=%2").arg(column).arg(id));
    }
    // Every column of two rows alike, as value and type.
    static bool sameColumns(AbstractDatabaseRow *a, AbstractDatabaseRow *b)
    {
        for (const QString &column : a->columnNames()) {
            const QVariant x = a->getValue(column);
            const QVariant y = b->getValue(column);
            if (x.userType() != y.userType() || x.toString() != y.toString()) {
                qWarning() << a->tableName() << a->getId() << column << x << y;
                return false;
            }
        }
        return true;
    }

private slots:
    void init()
    {
        QVERIFY(resetDataFolder());
        db = std::make_unique<Database>(DataLocations::databaseFile(), std::make_unique<SqliteDialect>(100));
    }
    void cleanup() { db.reset(); }

    // The Access literal is checked on every system; a non-date is NULL in both dialects.
    void dateLiterals()
    {
        QCOMPARE(Database::sqlDateTime(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9, 999))),
            QStringLiteral("'05/03/2024 14:05:09'"));
        QCOMPARE(Database::sqlDateTime(QDate(1980, 5, 1)), QStringLiteral("'01/05/1980 00:00:00'"));
        for (const QVariant &value : { QVariant(QDate()), QVariant(QDateTime()), QVariant("1980-05-01") }) {
            QCOMPARE(Database::sqlDateTime(value), QStringLiteral("NULL"));
            QCOMPARE(SqliteDialect().dateLiteral(value), QStringLiteral("NULL"));
        }
        // Characters that mean something in a URI stay part of the path.
        QCOMPARE(SqliteDialect().databaseName("/home/a b/x?y#z%.sqlite"),
            QStringLiteral("file:///home/a%20b/x%3Fy%23z%25.sqlite?mode=rw"));
    }

    void idsStartAt100AndFollowTheHighest()
    {
        Patient fresh;
        QCOMPARE(db->insertPatient(&fresh), 100);
        QVERIFY(rawExec(*db, "INSERT INTO Patients (AutoID) VALUES (250)"));
        QCOMPARE(db->insertPatient(&fresh), 251);
        QCOMPARE(addRecord(db->patientById(251), "a.edf"), 100);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^RR "));
        QCOMPARE(db->newId("NoSuchTable", "AutoID"), 100);
    }

    // An id past the int range would wrap into another row's id.
    void idsBeyondTheIntRangeAreLeftOutAndReported()
    {
        QVERIFY(storedPatient(104));
        QVERIFY(rawExec(*db, "INSERT INTO Patients (AutoID, PatientID) VALUES (4294967400, 'A17')"));
        QVERIFY(rawExec(*db, "INSERT INTO Records (RecordID, PatientID) VALUES (4294967396, 'A17')"));
        const QRegularExpression reported("^Row left out, its id lies beyond the int range");
        QTest::ignoreMessage(QtWarningMsg, reported);
        QVERIFY(db->reloadPatients());
        QCOMPARE(db->patients().size(), 1);
        QTest::ignoreMessage(QtWarningMsg, reported);
        QVERIFY(db->patientById(104)->records().isEmpty());
    }

    void inserts()
    {
        Patient patient;
        patient.setPatientID("A17");
        patient.setLastName("Petrov");
        patient.setSex(Patient::Gender_Female);
        patient.setHand(Patient::Hand_Left);
        patient.setDOB(QDate(1980, 5, 1));
        patient.setHeight(172);
        patient.setWeight(70.5);
        patient.setLastVisit(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
        QStringList statements = statementsOf([&] { QCOMPARE(db->insertPatient(&patient), 100); });
        // The id query first, the reload after.
        QCOMPARE(statements,
            QStringList({ "SELECT AutoID from Patients ORDER BY AutoID DESC",
                "INSERT into Patients (AutoID, PatientID, LastName, FirstName, MiddleName, Sex, DOB, Height, "
                "Weight, Hand, Referral, Diagnosis, Medication, Comments, NativeLanguage, Ethnicity, Street, "
                "City, State, ZIP, Phone, FirstVisit, LastVisit, Subdirectory, ArchiveFlag, ArchiveDate) "
                "VALUES (100, 'A17', 'Petrov', ' ', ' ', 'F', '1980-05-01', 172, 70.5, 'L', ' ', ' ', ' ', "
                "' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', NULL, '2024-03-05T14:05:09', ' ', 0, NULL)",
                "SELECT * from Patients" }));

        Patient *stored = db->patientById(100);
        statements = statementsOf([&] { QCOMPARE(addRecord(stored, "EEG_1\\rec.edf"), 100); });
        QCOMPARE(statements.filter("INSERT into"),
            QStringList {
                "INSERT into Records (RecordID, PatientID, RecordDate, FileName, RecordType, Comments, "
                "OperatorID, ReviewerID, ArchiveID, ReviewDate, ArchiveDate, ReviewFlag, ReportFlag, "
                "ArchiveFlag, Temperature, Conditions) VALUES (100, 'A17', '2024-03-05T14:05:09', "
                "'EEG_1\\rec.edf', 'EEG', ' ', ' ', ' ', ' ', NULL, NULL, 0, 0, 0, 0, ' ')" });
        // Without a patient nothing is executed.
        QCOMPARE(statementsOf([&] { QCOMPARE(addRecord(nullptr, "x.edf"), 0); }), QStringList());

        // A text beyond its column's limit is refused and reported; nothing reloads.
        QSignalSpy changed(db.get(), &Database::patientsChanged);
        patient.setPatientID("12345678901234567");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Creation error:"));
        QCOMPARE(db->insertPatient(&patient), -1);
        QCOMPARE(changed.count(), 0);
    }

    // A new row and an edit write a value the same way, so an empty text is
    // stored as ' ' by both, and both read back as an empty text.
    void emptyTextsAreStoredAndReadAlike()
    {
        Patient *edited = storedPatient(104);
        QCOMPARE(statementsOf([&] { edited->setFirstName(""); }),
            QStringList { "UPDATE Patients SET FirstName=' ' WHERE AutoID=104" });
        Patient fresh;
        fresh.setLastName("Li");
        const int inserted = db->insertPatient(&fresh);
        QCOMPARE(storedValue("FirstName", inserted), storedValue("FirstName", 104));
        QCOMPARE(storedValue("FirstName", 104).toString(), QStringLiteral(" "));
        QCOMPARE(db->patientById(inserted)->getFirstName(), QString(""));
        QCOMPARE(db->patientById(104)->getFirstName(), QString(""));
    }

    void quotesAndInjectionAreStoredVerbatim()
    {
        const QString injection = QStringLiteral("x'); DROP TABLE Patients; --");
        Patient patient;
        patient.setPatientID("O'B1");
        patient.setLastName("O'Brien");
        patient.setComments(injection);
        QCOMPARE(db->insertPatient(&patient), 100);
        // Through the single-column write and the records lookup as well.
        db->patientById(100)->setStreet(injection);
        QCOMPARE(addRecord(db->patientById(100), "rec'1.edf", injection), 100);

        db->reloadPatients();
        Patient *stored = db->patientById(100);
        QVERIFY(stored);
        QCOMPARE(stored->getLastName(), QStringLiteral("O'Brien"));
        QCOMPARE(stored->getComments(), injection);
        QCOMPARE(stored->getStreet(), injection);
        QCOMPARE(stored->records().size(), 1);
        QCOMPARE(stored->records().first()->getComments(), injection);
    }

    void anEditWritesExactlyItsColumn()
    {
        Patient *patient = storedPatient(104);
        QVERIFY(patient);
        QCOMPARE(statementsOf([&] { patient->setCity("Tver"); }),
            QStringList { "UPDATE Patients SET City='Tver' WHERE AutoID=104" });
        QCOMPARE(statementsOf([&] {
            patient->setCity("Tver");
            patient->setHeight(172);
            patient->setDOB(QDate(1980, 5, 1));
            patient->setDOB(QDate());
            patient->setFirstVisit(QDateTime(QDate(2024, 3, 5), QTime(9, 0)));
        }),
            QStringList({ "UPDATE Patients SET Height=172 WHERE AutoID=104",
                "UPDATE Patients SET DOB='1980-05-01' WHERE AutoID=104",
                "UPDATE Patients SET DOB=NULL WHERE AutoID=104",
                "UPDATE Patients SET FirstVisit='2024-03-05T09:00:00' WHERE AutoID=104" }));
        QVERIFY(storedValue("DOB").isNull());

        // New rows, a clone among them, write nothing; copying back writes the changes.
        QScopedPointer<Patient> copy(patient->clone());
        QCOMPARE(statementsOf([&] {
            Record record;
            record.setComments("good");
            copy->setCity("Moscow");
            copy->setSex(Patient::Gender_Female);
        }),
            QStringList());
        QCOMPARE(statementsOf([&] { QVERIFY(patient->copyFrom(copy.data())); }),
            QStringList({ "UPDATE Patients SET Sex='F' WHERE AutoID=104",
                "UPDATE Patients SET City='Moscow' WHERE AutoID=104" }));
    }

    // One statement for the list, one for a patient's records when first
    // needed, one for a single row; letters and dates converted on the way.
    void loadingTakesOneStatementPerList()
    {
        QVERIFY(rawExec(*db,
            "INSERT INTO Patients (AutoID, PatientID, Sex, Hand, DOB, FirstVisit, Height, City) "
            "VALUES (104, 'A17', 'f', 'X', '1980-05-01', '2024-03-05T14:05:09', 172.5, 'Tver')"));
        QCOMPARE(
            statementsOf([&] { QVERIFY(db->reloadPatients()); }), QStringList { "SELECT * from Patients" });
        Patient *patient = db->patientById(104);
        QCOMPARE(statementsOf([&] { patient->records(); }),
            QStringList { "SELECT * from Records where PatientID='A17'" });
        QCOMPARE(statementsOf([&] { patient->records(); }), QStringList());
        QCOMPARE(patient->getSex(), Patient::Gender_Female);
        QCOMPARE(patient->getHand(), Patient::Hand_Unspecified);
        QCOMPARE(patient->getDOB(), QDate(1980, 5, 1));
        QCOMPARE(patient->getFirstVisit(), QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
        QCOMPARE(patient->getHeight(), 172.5);

        // A copy carries every column but the id; "f" goes back as "F" when it is saved.
        QScopedPointer<Patient> copy(patient->clone());
        const int id = db->insertPatient(copy.data());
        QCOMPARE(storedValue("Sex", id).toString(), QStringLiteral("F"));
        QCOMPARE(storedValue("Hand", id).toString(), QStringLiteral("U"));

        // A column the file lacks keeps its default; the others still load.
        QVERIFY(rawExec(*db, "ALTER TABLE Patients RENAME COLUMN City TO Town"));
        std::unique_ptr<Patient> renamed;
        QCOMPARE(statementsOf([&] { renamed.reset(new Patient(104, db.get(), nullptr)); }),
            QStringList { "SELECT * from Patients where AutoID=104" });
        QCOMPARE(renamed->getCity(), QString());
        QCOMPARE(renamed->getSex(), Patient::Gender_Female);
    }

    // The bulk reads and the single-row reads map a stored row alike, whatever
    // the row holds. Records of a PatientID that two patients share are listed
    // by both, as separate objects.
    void bulkLoadEqualsSingleRowLoad()
    {
        QVERIFY(rawExec(*db,
            "INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, MiddleName, Sex, DOB, Height, "
            "Weight, Hand, Comments, City, FirstVisit, LastVisit, ArchiveFlag, ArchiveDate) VALUES "
            "(101, 'A''1', 'O''Brien', 'Иван', ' ', 'm', '0001-01-01', 172.5, NULL, 'l', 'a\nb', 'Тверь', "
            "'2024-02-29T23:59:59', NULL, 7, '9999-12-31T23:59:59'),"
            "(102, 'S1', 'Ли', NULL, '', 'F', '2000-02-29', '180', 0, 'A', NULL, ' ', NULL, "
            "'1970-01-01T00:00:00', NULL, NULL),"
            "(103, 'S1', NULL, NULL, NULL, 'x', 'not a date', -1, 1e3, 'r', '', NULL, 'no', NULL, NULL, "
            "NULL),"
            "(104, '', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
            "(105, NULL, NULL, NULL, NULL, 'M', NULL, NULL, NULL, 'u', NULL, NULL, NULL, NULL, NULL, NULL)"));
        QVERIFY(rawExec(*db,
            "INSERT INTO Records (RecordID, PatientID, RecordDate, FileName, RecordType, Comments, "
            "OperatorID, "
            "ReviewDate, ReviewFlag, Temperature, Conditions) VALUES "
            "(200, 'A''1', '2024-03-05T14:05:09', 'EEG_1\\rec.edf', 'EEG', 'Запись', ' ', "
            "'0001-01-01T00:00:00', 1, 36.64, 'q''q'),"
            "(201, 'S1', NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
            "(202, ' ', 'bad', '', '', '', '', NULL, -5, -1, NULL),"
            "(203, NULL, NULL, 'x.edf', NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
            "(204, 'ZZ', NULL, 'nobody.edf', NULL, NULL, NULL, NULL, NULL, NULL, NULL)"));

        QVERIFY(db->reloadPatients());
        QCOMPARE(db->patients().size(), 5);
        QSet<Record *> objects;
        QMap<int, QList<int>> recordsOf;
        for (Patient *bulk : db->patients()) {
            Patient single(bulk->getId(), db.get(), nullptr);
            QVERIFY(sameColumns(bulk, &single));
            for (Record *record : bulk->records()) {
                std::unique_ptr<Record> one(db->loadRecord(record->getId()));
                QVERIFY(sameColumns(record, one.get()));
                objects.insert(record);
                recordsOf[bulk->getId()].append(record->getId());
            }
        }
        const QMap<int, QList<int>> expected { { 101, { 200 } }, { 102, { 201 } }, { 103, { 201 } },
            { 104, { 202 } }, { 105, { 202 } } };
        QCOMPARE(recordsOf, expected);
        QCOMPARE(objects.size(), 5);

        Patient *first = db->patientById(101);
        QCOMPARE(first->getHand(), Patient::Hand_Left);
        QCOMPARE(first->getArchiveDate(), QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59)));
        QCOMPARE(first->records().first()->getTemperature(), 36.64);
    }

    void failedPatientDeleteStillReloads()
    {
        Patient *patient = storedPatient(104);
        QVERIFY(rawExec(
            *db, "CREATE TRIGGER keep BEFORE DELETE ON Patients BEGIN SELECT RAISE(ABORT, 'kept'); END"));
        QSignalSpy changed(db.get(), &Database::patientsChanged);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^PATIENT NOT REMOVED FROM DATABASE"));
        QVERIFY(!db->removePatient(patient));
        QCOMPARE(changed.count(), 1);
        QVERIFY(db->patientById(104));
    }

    void replacedRowsAreFreed()
    {
        Patient *patient = storedPatient(104);
        QVERIFY(addRecord(patient, "a.edf") > 0);
        QPointer<Patient> firstPatient = patient;
        QPointer<Record> firstRecord = patient->records().first();
        // Still there until the queued change notice has reached the views.
        db->reloadPatients();
        QVERIFY(firstPatient);
        QCoreApplication::processEvents();
        QVERIFY(!firstPatient && !firstRecord);

        for (int i = 0; i < 1000; ++i) {
            db->reloadPatients();
            QCoreApplication::processEvents();
        }
        QCOMPARE(db->findChildren<Patient *>().size(), 1);
        firstRecord = db->patientById(104)->records().first();
        db->patientById(104)->loadRecords();
        QCoreApplication::processEvents();
        QVERIFY(!firstRecord);
    }

    void aPatientWithoutRecordsAnnouncesAnEmptyList()
    {
        Patient *patient = storedPatient(104);
        QSignalSpy updated(patient, &Patient::recordsUpdated);
        patient->loadRecords();
        QCOMPARE(updated.count(), 1);
        QVERIFY(patient->records().isEmpty());
    }

    void aChangedPatientIdTakesTheRecordsAlong()
    {
        Patient *patient = storedPatient(104, "A17");
        QVERIFY(addRecord(patient, "a.edf") > 0);
        patient->setPatientID("B2");
        QCOMPARE(rawValue(*db, "SELECT PatientID FROM Records").toString(), QStringLiteral("B2"));
        QCOMPARE(patient->records().size(), 1);
        QCOMPARE(patient->records().first()->getPatientID(), QStringLiteral("B2"));

        // With two patients sharing the old identifier, nobody can tell whose
        // records they are, so they stay.
        QVERIFY(storedPatient(105, "C3"));
        QVERIFY(addRecord(storedPatient(106, "C3"), "c.edf") > 0);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Records not moved"));
        db->patientById(105)->setPatientID("D4");
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Records WHERE PatientID='C3'").toInt(), 1);

        // An identifier another patient has is refused: the two record lists
        // would merge. Nothing changes on disk; the patient keeps its own.
        Patient *other = db->patientById(106);
        QSignalSpy refused(db.get(), &Database::writeFailed);
        QCOMPARE(statementsOf([&] { QVERIFY(!other->setValue("PatientID", "B2")); }), QStringList());
        QCOMPARE(other->getPatientID(), QStringLiteral("C3"));
        QCOMPARE(refused.count(), 1);
        QCOMPARE(refused.first().at(0).toString(), QStringLiteral("PatientID"));
        QCOMPARE(
            refused.first().at(1).toString(), QStringLiteral("Another patient already has this PatientID"));
        QCOMPARE(rawValue(*db, "SELECT PatientID FROM Patients WHERE AutoID=106").toString(),
            QStringLiteral("C3"));
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Records WHERE PatientID='B2'").toInt(), 1);
    }
};

KESTA_TEST_MAIN(TestDatabase)
#include "tst_database.moc"
