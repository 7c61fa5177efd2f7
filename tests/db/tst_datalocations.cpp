#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "support/settingsfiles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QDir>

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
            QVERIFY(!QFileInfo::exists(DataLocations::databaseFile()));

            QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Created);
            QVERIFY(QFileInfo(DataLocations::patientsFolder()).isDir());
            QCOMPARE(kestatest::readFile(DataLocations::databaseFile()),
                kestatest::readFile(DataLocations::databaseTemplate()));
            QVERIFY(QFile(DataLocations::databaseFile()).permissions() & QFile::WriteOwner);
            // The waiting connection opens by itself once the window has
            // brought the new file up to date.
            QVERIFY(model.database()->isUsable());
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
        QCOMPARE(KestaModel::Instance(), &model);
        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Existed);
        QVERIFY(QFileInfo(DataLocations::patientsFolder()).isDir());
        QCOMPARE(model.settings()->getLastPatientId(), 104);
        QCOMPARE(model.database()->patientById(100)->getLastName(), QStringLiteral("Petrov"));
    }

    // The DataFolder setting moves every path (a share the workstations
    // mount); emptied, the platform's folder is back.
    void aChosenDataFolder()
    {
        const QString platform = DataLocations::dataFolder();
        KestaSettings("Settings.xml").setDataFolder(QDir::homePath() + "/share/kesta/");
        {
            KestaModel model;
            QCOMPARE(DataLocations::dataFolder(), QDir::homePath() + "/share/kesta/");
            QCOMPARE(DataLocations::recordingPath("PetrovIvan_A17", "EEG_1\\a.edf"),
                QDir::homePath() + "/share/kesta/Data/PetrovIvan_A17/EEG_1/a.edf");
            QCOMPARE(model.database()->filePath(), QDir::homePath() + "/share/kesta/patients.sqlite");
        }
        DataLocations::setDataFolder(" ");
        QCOMPARE(DataLocations::dataFolder(), platform);

        // Never the root, a home itself or a system folder: the platform's folder instead.
        for (const QString &refused :
            { QString("/"), QString("/usr/share/kesta"), QString("/etc"), QString("/var"), QDir::homePath(),
                QDir::homePath() + "/../" + QDir(QDir::homePath()).dirName() }) {
            QVERIFY2(!DataLocations::setDataFolder(refused), qPrintable(refused));
            QVERIFY(!DataLocations::unsuitableDataFolder(refused).isEmpty());
            QCOMPARE(DataLocations::dataFolder(), platform);
        }
        QVERIFY(DataLocations::setDataFolder("/var/lib/kesta") && DataLocations::setDataFolder(QString()));
        QFile::remove("Settings.xml");
    }

    // A file where the folder belongs: nothing can be made below it, even as root.
    void unwritableDataFolder()
    {
        QVERIFY(QDir(DataLocations::dataFolder()).removeRecursively());
        kestatest::writeFile(QDir::cleanPath(DataLocations::dataFolder()), QByteArray());
        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Failed);
    }
};

KESTA_TEST_MAIN(TestDataLocations)
#include "tst_datalocations.moc"
