#include "db/database.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "db/patient.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <QSqlDatabase>

// The model as the entry function builds it, and the data folders with the
// database created from the template on a first start. The boxes shown on
// top of this belong to the main window's tests.
class TestDataLocations : public QObject
{
    Q_OBJECT
private slots:
    void firstAndSecondStart()
    {
        {
            // The model connects before the file exists; that must not leave
            // an empty file behind that would pass for a database.
            QVERIFY(QDir().mkpath(DataLocations::dataFolder()));
            KestaModel model;
            QCOMPARE(KestaModel::Instance(), &model);
            QVERIFY(!QFileInfo::exists(DataLocations::databaseFile()));

            QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Created);
            QVERIFY(QFileInfo(DataLocations::patientsFolder()).isDir());
            QFile created(DataLocations::databaseFile());
            QFile source(DataLocations::databaseTemplate());
            QVERIFY(created.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
            QCOMPARE(created.readAll(), source.readAll());
            QVERIFY(created.permissions() & QFile::WriteOwner);
            QStringList tables = model.database()->database().tables();
            tables.sort();
            QCOMPARE(tables, QStringList({ "Institutions", "Operators", "Patients", "Records" }));
            QCOMPARE(kestatest::rawValue(*model.database(),
                         "SELECT count(*) FROM pragma_table_info('Patients') WHERE name='Age'"),
                1);
            // The waiting connection opens by itself on the next statement.
            QCOMPARE(kestatest::addPatient(*model.database(), "A17", "Petrov"), 100);
        }
        QCOMPARE(KestaModel::Instance(), nullptr);
        // Nothing was saved on the way out.
        QVERIFY(!QFileInfo::exists("Settings.xml"));

        // A later start keeps the rows, makes a missing patients folder again
        // and reads the settings from the working directory.
        QVERIFY(QDir(DataLocations::patientsFolder()).removeRecursively());
        KestaSettings("Settings.xml").setLastPatientId(104);
        KestaModel model;
        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Existed);
        QVERIFY(QFileInfo(DataLocations::patientsFolder()).isDir());
        QCOMPARE(model.settings()->getLastPatientId(), 104);
        QCOMPARE(model.database()->patientById(100)->getLastName(), QStringLiteral("Petrov"));
    }

    void unwritableDataFolder()
    {
        // A file where the folder belongs: nothing can be made below it, even as root.
        QVERIFY(QDir(DataLocations::dataFolder()).removeRecursively());
        QFile blocker(QDir::cleanPath(DataLocations::dataFolder()));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Failed);
        QVERIFY(blocker.remove());
    }
};

KESTA_TEST_MAIN(TestDataLocations)
#include "tst_datalocations.moc"
