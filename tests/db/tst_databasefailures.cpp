#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/storage/sqlitedialect.h"
#include "support/settingsfiles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QSignalSpy>
#include <memory>

using namespace kestatest;

namespace
{

// A connection that may only read, as to a file the user may not write.
struct ReadOnlySqlite : SqliteDialect {
    QString databaseName(const QString &path) const override
    {
        return SqliteDialect::databaseName(path).replace("mode=rw", "mode=ro");
    }
};

std::unique_ptr<Database> openDatabase(bool readOnly = false)
{
    return std::make_unique<PatientDatabase>(DataLocations::databaseFile(),
        readOnly ? std::make_unique<ReadOnlySqlite>() : std::make_unique<SqliteDialect>(100));
}

} // namespace

// Failures the user must see: a database that cannot be used, a write that is
// refused, a lock held by another program. Checked on the rows and files.
class TestDatabaseFailures : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(resetDataFolder()); }

    // The cause, arranged with the program's database closed; the words of
    // the driver's reason.
    void unusableDatabasesAreReportedAndLeftAlone_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char *tag, const char *cause, const char *reason) {
            QTest::newRow(tag) << QString(cause) << QString(reason);
        };
        row("0-byte file", "empty", "no such table: Patients");
        row("damaged file", "damaged", "file is not a database");
        row("no Records table", "no records", "no such table: Records");
        row("directory in its place", "directory", "unable to open database file");
        row("exclusive lock", "locked", "database is locked");
    }
    void unusableDatabasesAreReportedAndLeftAlone()
    {
        QFETCH(QString, cause);
        QFETCH(QString, reason);
        const QString path = DataLocations::databaseFile();
        std::unique_ptr<OtherConnection> other;
        if (cause == "empty" || cause == "damaged") {
            writeFile(
                path, cause == "empty" ? QByteArray() : QByteArray("SQLite format 3").append(4096, '\x7f'));
        } else if (cause == "directory") {
            QVERIFY(QFile::remove(path) && QDir().mkpath(path));
        } else {
            other = std::make_unique<OtherConnection>(path);
            QVERIFY(other->exec(cause == "locked" ? "BEGIN EXCLUSIVE" : "DROP TABLE Records"));
        }
        const QByteArray before = readFile(path);

        std::unique_ptr<Database> db = openDatabase();
        QString why;
        QVERIFY(!db->isUsable(&why));
        QVERIFY2(why.contains(reason), qPrintable(why));
        QCOMPARE(readFile(path), before);
        QCOMPARE(QFileInfo(path).isDir(), cause == "directory");
        // Put right while the program waits to try again: the next check sees it.
        other.reset();
        QVERIFY(QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path));
        QVERIFY(DataLocations::prepareDataFolders() == DataLocations::DatabaseFileState::Created);
        QVERIFY(db->isUsable());
    }

    // A refused UPDATE puts the stored value back, tells the caller and the
    // window (one report per column), and writes nothing else.
    void refusedWritesPutTheStoredValueBack_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("reason");
        QTest::newRow("text over the column limit")
            << QString("too long") << QString("CHECK constraint failed");
        QTest::newRow("read-only connection") << QString("read-only") << QString("readonly database");
        QTest::newRow("file locked by a writer") << QString("locked") << QString("database is locked");
    }
    void refusedWritesPutTheStoredValueBack()
    {
        QFETCH(QString, cause);
        QFETCH(QString, reason);
        QCOMPARE(addPatient(*openDatabase(), "A17", "Petrov", "Ivan", 0, QDate(), "Tver"), 100);
        std::unique_ptr<Database> db = openDatabase(cause == "read-only");
        QVERIFY(db->reloadPatients());
        Patient *patient = db->patientById(100);
        OtherConnection other(DataLocations::databaseFile());
        if (cause == "locked")
            QVERIFY(other.exec("BEGIN IMMEDIATE"));

        QScopedPointer<Patient> edit(patient->clone());
        edit->setCity(cause == "too long" ? "Tver-on-the-Volga river" : "Moscow");
        edit->setMiddleName("Sergeevich");
        QSignalSpy refused(db.get(), &Database::writeFailed);
        QSignalSpy shown(patient, &Patient::changedCity);
        const QStringList statements = statementsOf([&] { QVERIFY(!patient->copyFrom(edit.data())); });
        QCOMPARE(statements.filter("SET City=").size(), 1);
        QCOMPARE(shown.last().first().toString(), QStringLiteral("Tver"));
        // Columns in order: the middle name is refused too unless the file takes writes.
        QCOMPARE(refused.size(), cause == "too long" ? 1 : 2);
        QCOMPARE(refused.last().first().toString(), QStringLiteral("City"));
        QVERIFY2(
            refused.last().last().toString().contains(reason), qPrintable(refused.last().last().toString()));
        QCOMPARE(patient->getCity(), QStringLiteral("Tver"));
        if (cause == "locked")
            QVERIFY(other.exec("ROLLBACK"));
        QCOMPARE(rawValue(*db, "SELECT City FROM Patients").toString(), QStringLiteral("Tver"));
        QCOMPARE(rawValue(*db, "SELECT MiddleName FROM Patients").toString(),
            QString(cause == "too long" ? "Sergeevich" : " "));
    }

    // The list is read as one snapshot: a writer half-way through shows
    // nothing of its work, and a lock that outlasts the wait keeps the list
    // that was there.
    void theListIsOneConsistentSnapshot()
    {
        std::unique_ptr<Database> db = openDatabase();
        QCOMPARE(addPatient(*db, "A17", "Petrov", "Ivan"), 100);
        QCOMPARE(addPatient(*db, "B2", "Smirnova", "Anna"), 101);
        OtherConnection other(DataLocations::databaseFile());
        QVERIFY(other.exec("BEGIN IMMEDIATE"));
        QVERIFY(other.exec("UPDATE Patients SET LastName=NULL, FirstName=NULL"));
        QVERIFY(other.exec("INSERT INTO Patients (AutoID) VALUES (102)"));
        QVERIFY(db->reloadPatients());
        QCOMPARE(db->patients().size(), 2);
        QCOMPARE(db->patientById(101)->getTextValue("FullName"), QStringLiteral("Smirnova Anna"));

        QVERIFY(other.exec("COMMIT"));
        QVERIFY(other.exec("BEGIN EXCLUSIVE"));
        QSignalSpy changed(db.get(), &Database::patientsChanged);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^PATIENTS NOT READ"));
        QVERIFY(!db->reloadPatients());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(db->loadError(), QStringLiteral("database is locked"));
        QCOMPARE(db->patients().size(), 2);
        QVERIFY(other.exec("ROLLBACK"));
        QVERIFY(db->reloadPatients());
        QCOMPARE(db->patients().size(), 3);
    }
};

KESTA_TEST_MAIN(TestDatabaseFailures)
#include "tst_databasefailures.moc"
