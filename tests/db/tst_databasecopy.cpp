#include "db/care/databasecopy.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "support/settingsfiles.h"
#include "support/tcprelay.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testserver.h"

#include <memory>

using namespace kestatest;

// Moving a clinic's file onto the server: everything arrives as it was, the
// file is never changed, and a server that holds patients already is refused.
class TestDatabaseCopy : public QObject
{
    Q_OBJECT

    TestServer *server = nullptr;

    static QString count(Database &db, const char *table)
    {
        return rawValue(db, QStringLiteral("SELECT count(*) FROM %1").arg(table)).toString();
    }
    // The keys, constraints and indexes the server holds: the copy sets them
    // aside while it writes.
    static QString keys(Database &db)
    {
        return rawValue(db,
            "SELECT string_agg(d, '; ' ORDER BY d) FROM ("
            "SELECT indexdef AS d FROM pg_indexes WHERE schemaname = current_schema() UNION ALL "
            "SELECT conname || ' ' || pg_get_constraintdef(oid) FROM pg_constraint "
            "WHERE connamespace = current_schema()::regnamespace) k")
            .toString();
    }

private slots:
    void initTestCase()
    {
        server = TestServer::instance();
        QVERIFY2(server, qPrintable(TestServer::startError()));
    }
    void init() { QVERIFY(resetDataFolder()); }

    void everyRowArrivesAsItWas()
    {
        const QString file = DataLocations::databaseFile();
        {
            PatientDatabase local(file);
            QVERIFY(local.isUsable());
            QCOMPARE(addPatient(local, "A'17", "О'Брайен", "Иван", 1, QDate(1980, 5, 1), "Тверь"), 100);
            QVERIFY(rawExec(local,
                "INSERT INTO Patients (AutoID, PatientID, Height, Age) VALUES (250, NULL, 172.25, 44)"));
            QVERIFY(local.insertRecord(local.patientById(100), QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)),
                        "EEG_1\\rec.edf", "EEG", "Сон\t\\N\r\n\b\f\vконец")
                > 0);
            QVERIFY(rawExec(local, "INSERT INTO Institutions (InstitutionID, Name) VALUES (7, 'Clinic')"));
        }
        const QByteArray before = readFile(file);
        PatientDatabase target(server->createDatabase());
        QVERIFY(target.isUsable());
        const QString layout = keys(target);
        QVERIFY(layout.contains("PRIMARY KEY") && layout.contains("patientspatientid"));
        QString report;
        QVERIFY2(DatabaseCopy::copy(file, &target, &report), qPrintable(report));
        QCOMPARE(keys(target), layout);
        QVERIFY(target.reloadPatients());
        QVERIFY2(report.contains("Patients: 2") && report.contains("Records: 1"), qPrintable(report));
        QCOMPARE(readFile(file), before);

        PatientDatabase local(file);
        QVERIFY(local.isUsable());
        for (Patient *copied : target.patients()) {
            Patient *original = local.patientById(copied->getId());
            QVERIFY(original);
            for (const QString &column : copied->columnNames())
                QCOMPARE(copied->getValue(column), original->getValue(column));
        }
        QCOMPARE(target.patientById(100)->records().first()->getComments(),
            QStringLiteral("Сон\t\\N\r\n\b\f\vконец"));
        QCOMPARE(rawValue(target, "SELECT Age FROM Patients WHERE AutoID=250").toDouble(), 44.0);
        QCOMPARE(count(target, "Institutions"), QStringLiteral("1"));
        // New ids continue past the copied ones.
        QCOMPARE(addPatient(target, "B2", "Smirnova"), 251);
        QVERIFY(target.insertRecord(target.patientById(251), QDateTime(), "b.edf", "EEG", "") > 100);

        // Once is enough: a server holding rows is left as it is.
        QVERIFY(!DatabaseCopy::copy(file, &target, &report));
        QVERIFY2(report.contains("already holds rows"), qPrintable(report));
        QCOMPARE(count(target, "Patients"), QStringLiteral("3"));
    }

    // A value the server cannot take stops the copy with its place named, and
    // nothing of it stays on the server.
    void aValueTheServerRefusesCopiesNothing()
    {
        const QString file = DataLocations::databaseFile();
        {
            PatientDatabase local(file);
            QCOMPARE(addPatient(local, "A17", "Petrov"), 100);
            QVERIFY(rawExec(local, "INSERT INTO Patients (AutoID, DOB) VALUES (101, 'not a date')"));
        }
        PatientDatabase target(server->createDatabase());
        QVERIFY(target.isUsable());
        const QString layout = keys(target);
        QString report;
        QVERIFY(!DatabaseCopy::copy(file, &target, &report));
        QVERIFY2(report.contains("Patients, row 101") && report.contains("not a date"), qPrintable(report));
        QCOMPARE(count(target, "Patients"), QStringLiteral("0"));
        QCOMPARE(keys(target), layout);
    }

    // The move onto a share: more rows than one statement carries, and each
    // record's recording copied from the old folder, checked; a recording whose
    // place is taken on the share stops it all, rows and files alike.
    void recordingsFollowOntoTheShare()
    {
        const QString file = DataLocations::databaseFile();
        const QString oldFolder = DataLocations::dataFolder();
        {
            PatientDatabase local(file);
            QVERIFY(local.isUsable());
            QVERIFY(rawExec(local,
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2500) "
                "INSERT INTO Patients (AutoID, PatientID, LastName) SELECT 1000 + i, 'P' || i, 'Name' || i "
                "FROM n"));
            QVERIFY(local.reloadPatients());
            QVERIFY(
                local.insertRecord(local.patientByPatientId("P1"), QDateTime(), "EEG_1\\rec.edf", "EEG", "")
                > 0);
            QVERIFY(
                local.insertRecord(local.patientByPatientId("P2"), QDateTime(), "gone.edf", "EEG", "") > 0);
        }
        QVERIFY(QDir().mkpath(oldFolder + "Data/Name1_P1/EEG_1"));
        QFile recording(oldFolder + "Data/Name1_P1/EEG_1/rec.edf");
        QVERIFY(recording.open(QIODevice::WriteOnly) && recording.write(QByteArray(100000, 'r')) == 100000);
        recording.close();
        const QString share = QDir::home().filePath("share/");
        DataLocations::setDataFolder(share);
        const QString copied = share + "Data/Name1_P1/EEG_1/rec.edf";

        QVERIFY(QDir().mkpath(share + "Data/Name1_P1/EEG_1"));
        QFile taken(copied);
        QVERIFY(taken.open(QIODevice::WriteOnly) && taken.write("another") == 7);
        taken.close();
        PatientDatabase target(server->createDatabase());
        QString report;
        QVERIFY(!DatabaseCopy::copy(file, &target, &report, oldFolder));
        QVERIFY2(report.contains("exists already"), qPrintable(report));
        QCOMPARE(count(target, "Patients"), QStringLiteral("0"));
        QVERIFY(QFile::remove(copied));

        const bool done = DatabaseCopy::copy(file, &target, &report, oldFolder);
        DataLocations::setDataFolder(QString());
        QVERIFY2(done, qPrintable(report));
        QCOMPARE(count(target, "Patients"), QStringLiteral("2500"));
        QVERIFY2(report.contains("1 recording") && report.contains("gone.edf"), qPrintable(report));
        QVERIFY(taken.open(QIODevice::ReadOnly));
        QCOMPARE(taken.readAll(), QByteArray(100000, 'r'));
        QVERIFY(recording.exists());
    }

    // A server that stops answering when its columns are asked for: the copy
    // is refused at the deadline, naming the server, and nothing lands.
    void aSilentServerIsGivenUp()
    {
        const QString file = DataLocations::databaseFile();
        {
            PatientDatabase local(file);
            QCOMPARE(addPatient(local, "A17", "Petrov"), 100);
        }
        DatabaseLocation location = server->createDatabase();
        PatientDatabase direct(location);
        TcpRelay relay(server->port());
        location.port = relay.port();
        location.timeoutSeconds = 2;
        PatientDatabase target(location);
        QVERIFY(target.isUsable());
        relay.blackHoleAt("pg_attribute");
        QString report;
        QVERIFY(!DatabaseCopy::copy(file, &target, &report));
        QVERIFY2(report.contains(location.describe() + " did not answer within 2 s"), qPrintable(report));
        QCOMPARE(count(direct, "Patients"), QStringLiteral("0"));
    }
};

KESTA_TEST_MAIN(TestDatabaseCopy)
#include "tst_databasecopy.moc"
