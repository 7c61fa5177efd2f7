#include "app/mainwindow.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "db/recordings/folderrenamejournal.h"
#include "db/rows/patient.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QProcess>

using namespace kestatest;

namespace
{

QString folder(const QString &name)
{
    return DataLocations::patientsFolder() + name;
}

} // namespace

// A rename of a patient's folder and the write of the patient's new name land
// together: after a kill at any moment, the next start finds the database and
// the folders agreeing.
class TestRenameRecovery : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;

private slots:
    void init()
    {
        QVERIFY(resetDataFolder());
        db = std::make_unique<PatientDatabase>(DataLocations::databaseFile());
        QVERIFY(db->isUsable());
        QCOMPARE(addPatient(*db, "A17", "Petrov", "Ivan"), 100);
        QVERIFY(QDir().mkpath(folder("PetrovIvan_A17/EEG_1")));
        QVERIFY(QFile(folder("PetrovIvan_A17/EEG_1/rec.edf")).open(QIODevice::WriteOnly));
    }
    void cleanup() { db.reset(); }

    // Killed while its write waits for another program's lock, after the folder
    // moved; the next start of the program puts the folder back.
    void killedBetweenTheRenameAndTheCommit()
    {
        OtherConnection writer(DataLocations::databaseFile());
        QVERIFY(writer.exec("BEGIN IMMEDIATE"));
        QProcess editor;
        editor.setProcessChannelMode(QProcess::ForwardedChannels);
        editor.start(qEnvironmentVariable("KESTA_BINARY_DIR") + "/tests/kesta_rename_child", { "Sidorov" });
        QVERIFY(editor.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(folder("SidorovIvan_A17")), 30000);
        editor.kill();
        QVERIFY(editor.waitForFinished());
        QVERIFY(writer.exec("ROLLBACK"));

        QVERIFY(QFileInfo::exists(FolderRenameJournal::path()));
        db.reset();
        KestaModel model;
        model.settings()->setCheckForNewVersion(false);
        MainWindow window;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("renamed to PetrovIvan_A17"));
        QVERIFY(window.initialize());
        QCOMPARE(model.database()->patientById(100)->getLastName(), QStringLiteral("Petrov"));
        QVERIFY(QFileInfo::exists(folder("PetrovIvan_A17/EEG_1/rec.edf")));
        QVERIFY(!QFileInfo::exists(folder("SidorovIvan_A17")));
        QVERIFY(!QFileInfo::exists(FolderRenameJournal::path()));
    }

    // What the row holds, where the folder is; where it is after the start.
    void theFolderFollowsTheRow_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("folders");
        QTest::addColumn<QString>("after");
        QTest::newRow("committed, not yet moved") << "Sidorov" << "Petrov" << "Sidorov";
        QTest::newRow("moved, not committed") << "Petrov" << "Sidorov" << "Petrov";
        QTest::newRow("finished") << "Sidorov" << "Sidorov" << "Sidorov";
        QTest::newRow("another folder in the way") << "Sidorov" << "Petrov Sidorov" << "Petrov Sidorov";
    }
    void theFolderFollowsTheRow()
    {
        QFETCH(QString, row);
        QFETCH(QString, folders);
        QFETCH(QString, after);
        QVERIFY(rawExec(*db, "UPDATE Patients SET LastName='" + row + "'"));
        if (folders.startsWith("Sidorov"))
            QVERIFY(QDir().rename(folder("PetrovIvan_A17"), folder("SidorovIvan_A17")));
        for (const QString &name : folders.split(' ').mid(1))
            QVERIFY(QDir().mkpath(folder(name + "Ivan_A17")));
        QVERIFY(FolderRenameJournal::begin(100, "PetrovIvan_A17", "SidorovIvan_A17"));
        QVERIFY(db->reloadPatients());
        FolderRenameJournal::recover(db.get());
        QStringList present;
        for (const char *name : { "Petrov", "Sidorov" }) {
            if (QFileInfo::exists(folder(QString(name) + "Ivan_A17")))
                present << name;
        }
        QCOMPARE(present.join(' '), after);
        QVERIFY(!QFileInfo::exists(FolderRenameJournal::path()));
    }
};

KESTA_TEST_MAIN(TestRenameRecovery)
#include "tst_renamerecovery.moc"
