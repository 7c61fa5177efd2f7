#include "db/database.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "db/patient.h"
#include "support/testenvironment.h"

#include <QDir>
#include <QFile>
#include <memory>

// The model as the entry function builds it, on a first and a later start.
class TestKestaModel : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        QDir(DataLocations::dataFolder()).removeRecursively();
        QFile::remove("Settings.xml");
    }

    void firstStartThenSecondStart()
    {
        QCOMPARE(KestaModel::Instance(), nullptr);
        {
            KestaModel model;
            QCOMPARE(KestaModel::Instance(), &model);
            QVERIFY(model.database()->patients().isEmpty());
            // Creating the folders is the main window's step, after the model.
            QVERIFY(!QFileInfo::exists(DataLocations::dataFolder()));
            QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Created);

            Patient patient;
            patient.setPatientID("A17");
            patient.setLastName("Petrov");
            QCOMPARE(model.database()->insertPatient(&patient), 100);
            QCOMPARE(model.database()->patients().size(), 1);
        }
        QCOMPARE(KestaModel::Instance(), nullptr);
        // Nothing was saved on the way out.
        QVERIFY(!QFileInfo::exists("Settings.xml"));

        KestaModel model;
        QCOMPARE(DataLocations::prepareDataFolders(), DataLocations::DatabaseFileState::Existed);
        QCOMPARE(model.database()->patients().size(), 1);
        QCOMPARE(model.database()->patientById(100)->getLastName(), QStringLiteral("Petrov"));
    }

    void settingsAreReadFromTheWorkingDirectory()
    {
        {
            KestaSettings settings("Settings.xml");
            settings.setLastPatientId(104);
            settings.setStartMaximized(false);
        }
        QFile file("Settings.xml");
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        file.close();
        {
            KestaModel model;
            QCOMPARE(model.settings()->getLastPatientId(), 104);
            QVERIFY(!model.settings()->getStartMaximized());
        }
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), written);
    }
};

KESTA_TEST_MAIN(TestKestaModel)
#include "tst_kestamodel.moc"
