#include "db/database.h"
#include "db/datalocations.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <memory>

// The data folders, the first start that creates the database from the
// template, and the connection that waits for the file.
class TestDataLocations : public QObject
{
    Q_OBJECT

    static QByteArray templateBytes()
    {
        QFile file(DataLocations::databaseTemplate());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        QDir(DataLocations::dataFolder()).removeRecursively();
        QFile::remove(QDir::homePath() + "/Orvalis Data");
    }

    void pathsDeriveFromHome()
    {
        const QString data = QDir::homePath() + "/Orvalis Data/";
        QCOMPARE(DataLocations::dataFolder(), data);
        QCOMPARE(DataLocations::patientsFolder(), data + "Data/");
        QCOMPARE(DataLocations::patientFolder("PetrovIvan_A17"), data + "Data/PetrovIvan_A17/");
        QCOMPARE(DataLocations::databaseFile(), data + "patients.sqlite");
        // The stored name keeps the recorder's backslashes; the path uses "/".
        QCOMPARE(DataLocations::recordingPath("PetrovIvan_A17", "EEG_2024_03_05_142530\\rec.edf"),
            data + "Data/PetrovIvan_A17/EEG_2024_03_05_142530/rec.edf");
    }

    void templateHoldsTheSchema()
    {
        const QByteArray bytes = templateBytes();
        QVERIFY(bytes.startsWith("SQLite format 3"));

        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Created);
        Database database(DataLocations::databaseFile());
        QStringList tables = database.database().tables();
        tables.sort();
        QCOMPARE(tables, QStringList({ "Institutions", "Operators", "Patients", "Records" }));

        QSqlQuery query(database.database());
        QVERIFY(query.exec("SELECT name FROM pragma_table_info('Patients')"));
        QStringList columns;
        while (query.next())
            columns << query.value(0).toString();
        QVERIFY(columns.contains("Age"));
        QCOMPARE(columns.size(), 27);

        // PatientID is indexed without uniqueness: two patients may share one.
        QVERIFY(query.exec("INSERT INTO Patients (AutoID, PatientID) VALUES (100, 'A17')"));
        QVERIFY(query.exec("INSERT INTO Patients (AutoID, PatientID) VALUES (101, 'A17')"));
        QVERIFY(!query.exec("INSERT INTO Patients (AutoID, PatientID) VALUES (101, 'B1')"));
        QVERIFY(query.exec("INSERT INTO Patients (AutoID, PatientID) VALUES (102, '1234567890123456')"));
        QVERIFY(!query.exec("INSERT INTO Patients (AutoID, PatientID) VALUES (103, '12345678901234567')"));
    }

    void firstAndSecondStart()
    {
        QVERIFY(!QFileInfo::exists(DataLocations::dataFolder()));
        // The model connects before the folders exist; that must not leave an
        // empty file behind that would pass for a database.
        Database database(DataLocations::databaseFile());
        QVERIFY(!database.database().isOpen());
        QVERIFY(!QFileInfo::exists(DataLocations::databaseFile()));

        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Created);
        QVERIFY(QFileInfo(DataLocations::patientsFolder()).isDir());
        QFile file(DataLocations::databaseFile());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), templateBytes());
        QVERIFY(file.permissions() & QFile::WriteOwner);
        file.close();

        // The waiting connection opens by itself on the next statement.
        QCOMPARE(database.lastId("Patients", "AutoID"), 0);

        QSqlQuery query(database.database());
        QVERIFY(query.exec("INSERT INTO Patients (AutoID) VALUES (100)"));
        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Existed);
        QCOMPARE(database.lastId("Patients", "AutoID"), 100);
    }

    void missingPatientsFolderIsMadeOnLaterStarts()
    {
        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Created);
        QVERIFY(QDir(DataLocations::patientsFolder()).removeRecursively());
        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Existed);
        QVERIFY(QFileInfo(DataLocations::patientsFolder()).isDir());
    }

    void dataFolderNotAFolder()
    {
        QFile blocker(QDir::homePath() + "/Orvalis Data");
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Failed);
        QVERIFY(QFileInfo(blocker.fileName()).isFile());
    }

    void readOnlyDataFolder()
    {
        QVERIFY(QDir().mkpath(DataLocations::patientsFolder()));
        QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner;
        QVERIFY(QFile::setPermissions(DataLocations::dataFolder(), readOnly));
        QFile probe(DataLocations::dataFolder() + "probe");
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            QFile::setPermissions(DataLocations::dataFolder(), readOnly | QFile::WriteOwner);
            QSKIP("permissions do not bind this user (root)");
        }
        const auto state = DataLocations::prepareDataFolders();
        QFile::setPermissions(DataLocations::dataFolder(), readOnly | QFile::WriteOwner);
        QCOMPARE(state, DataLocations::DatabaseFileState::Failed);
        QVERIFY(!QFileInfo::exists(DataLocations::databaseFile()));
        QCOMPARE(QDir(DataLocations::dataFolder()).entryList(QDir::Files), QStringList());
    }
};

KESTA_TEST_MAIN(TestDataLocations)
#include "tst_datalocations.moc"
