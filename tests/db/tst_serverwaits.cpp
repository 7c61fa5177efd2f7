#include "db/care/trash.h"
#include "db/care/trashfolder.h"
#include "db/model/datalocations.h"
#include "db/recordings/folderrenamejournal.h"
#include "db/recordings/recordingregistration.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/liveupdates.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/patientstore.h"
#include "support/tcprelay.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testserver.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTimer>
#include <QUuid>
#include <memory>
#include <signal.h>

using namespace kestatest;

// A server that stops answering: the network swallows the traffic, the
// connection is closed, the server's process stands still, another session
// holds a lock. Each call is given up at the set time while the thread's
// events go on, refused whole, and work goes on once the server answers.
class TestServerWaits : public QObject
{
    Q_OBJECT

    TestServer *server = nullptr;
    std::unique_ptr<TcpRelay> relay;
    // The workstation, through the relay; the server's own view beside it.
    std::unique_ptr<Database> workstation;
    std::unique_ptr<Database> direct;

    int patientsStored() { return rawValue(*direct, "SELECT count(*) FROM Patients").toInt(); }

    // Saves a new patient while a timer on this thread counts its ticks.
    PatientStore::Outcome saveCounting(const QString &patientId, int *ticks)
    {
        QTimer timer;
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, [ticks] { ++*ticks; });
        timer.start();
        Patient values;
        values.setPatientID(patientId);
        values.setLastName(QStringLiteral("Orlova"));
        return PatientStore(workstation.get()).create(&values);
    }

private slots:
    void initTestCase()
    {
        server = TestServer::instance();
        QVERIFY2(server, qPrintable(TestServer::startError()));
        QVERIFY(resetDataFolder());
    }
    void init()
    {
        relay = std::make_unique<TcpRelay>(server->port());
        QVERIFY(relay->port() > 0);
        DatabaseLocation location = server->createDatabase();
        direct = std::make_unique<PatientDatabase>(location);
        QVERIFY(direct->isUsable());
        location.port = relay->port();
        location.timeoutSeconds = 2;
        workstation = std::make_unique<PatientDatabase>(location);
        QVERIFY(workstation->isUsable());
    }
    void cleanup()
    {
        workstation.reset();
        direct.reset();
        relay.reset();
    }

    void aLostNetworkOrAClosedConnectionIsGivenUp()
    {
        QSignalSpy waiting(workstation.get(), &Database::serverWaiting);
        relay->setMode(TcpRelay::Mode::BlackHole);
        int ticks = 0;
        const PatientStore::Outcome lost = saveCounting("A1", &ticks);
        QVERIFY(!lost.saved());
        QVERIFY2(lost.refusal.contains(QStringLiteral(":%1/").arg(relay->port()))
                && lost.refusal.contains("did not answer within 2 s"),
            qPrintable(lost.refusal));
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
        QCOMPARE(waiting.count(), 2);
        QCOMPARE(patientsStored(), 0);

        relay->setMode(TcpRelay::Mode::Pass);
        QVERIFY(saveCounting("A1", &ticks).saved());
        relay->closeConnections();
        QVERIFY(!saveCounting("A2", &ticks).saved());
        QVERIFY(saveCounting("A2", &ticks).saved());
        QCOMPARE(patientsStored(), 2);

        // Patients a reload replaced are not freed inside a wait: a caller
        // below it may still hold one.
        QPointer<Patient> replaced = workstation->patients().value(0);
        QVERIFY(workstation->reloadPatients());
        relay->setMode(TcpRelay::Mode::BlackHole);
        QVERIFY(!saveCounting("A3", &ticks).saved());
        QVERIFY(replaced);
        QTRY_VERIFY(!replaced);
        relay->setMode(TcpRelay::Mode::Pass);
    }

    // The server's process stands still (the network still answers for it),
    // and another session holds the table.
    void aStoppedServerOrAHeldLockIsGivenUp()
    {
        QVERIFY(workstation->reloadPatients());
        const qint64 backend = rawValue(*workstation, "SELECT pg_backend_pid()").toLongLong();
        QVERIFY(backend > 0 && ::kill(pid_t(backend), SIGSTOP) == 0);
        int ticks = 0;
        const PatientStore::Outcome stopped = saveCounting("B1", &ticks);
        ::kill(pid_t(backend), SIGCONT);
        QVERIFY2(stopped.refusal.contains("did not answer within 2 s"), qPrintable(stopped.refusal));
        QVERIFY(ticks >= 10);
        QVERIFY(saveCounting("B1", &ticks).saved());

        Database::Transaction holding(direct.get());
        QVERIFY(rawExec(*direct, "LOCK TABLE Patients IN ACCESS EXCLUSIVE MODE"));
        const PatientStore::Outcome locked = saveCounting("B2", &ticks);
        QVERIFY2(locked.refusal.contains("lock timeout"), qPrintable(locked.refusal));
        QVERIFY(holding.commit());
        QVERIFY(saveCounting("B2", &ticks).saved());
        QCOMPARE(patientsStored(), 2);
    }

    // The answer to a COMMIT is lost on its way back: the write is looked up
    // on a new connection, and the database and the folders agree.
    void aLostCommitAnswerIsLookedUp()
    {
        Patient values;
        values.setPatientID("C1");
        values.setLastName("Orlova");
        const int autoId = PatientStore(workstation.get()).create(&values).autoId;
        Patient *patient = workstation->patientById(autoId);
        QVERIFY(patient && QDir().mkpath(DataLocations::patientFolder(patient->folderName()) + "/EEG_1"));
        QFile recording(DataLocations::patientFolder(patient->folderName()) + "/EEG_1/a.edf");
        QVERIFY(recording.open(QIODevice::WriteOnly) && recording.write("0") == 1);
        recording.close();

        relay->setMode(TcpRelay::Mode::LoseCommitReply);
        QVERIFY(workstation->insertRecord(patient, QDateTime(), "EEG_1\\a.edf", "EEG", "") > 0);
        QCOMPARE(rawValue(*direct, "SELECT count(*) FROM Records").toInt(), 1);

        std::unique_ptr<Patient> shown(patient->clone());
        std::unique_ptr<Patient> edited(patient->clone());
        edited->setLastName("Orlova-Kim");
        const QString before = DataLocations::patientFolder(shown->folderName());
        QString after = DataLocations::patientFolder(edited->folderName());
        relay->setMode(TcpRelay::Mode::LoseCommitReply);
        const PatientStore::Outcome renamed
            = PatientStore(workstation.get()).save(autoId, edited.get(), shown.get());
        QVERIFY2(renamed.saved(), qPrintable(renamed.refusal));
        QVERIFY(QFileInfo::exists(after) && !QFileInfo::exists(before));
        QCOMPARE(rawValue(*direct, "SELECT LastName FROM Patients").toString(), QStringLiteral("Orlova-Kim"));

        // Nor does the server answer the new connection: the folder and its
        // note wait, and the next start moves it to what the database holds.
        shown.reset(edited->clone());
        edited->setLastName("Kim");
        relay->setMode(TcpRelay::Mode::LoseCommitAndServer);
        QVERIFY(!PatientStore(workstation.get()).save(autoId, edited.get(), shown.get()).saved());
        relay->setMode(TcpRelay::Mode::Pass);
        QVERIFY(QFileInfo::exists(FolderRenameJournal::path()));
        QVERIFY(workstation->reloadPatients());
        FolderRenameJournal::recover(workstation.get());
        after = DataLocations::patientFolder(edited->folderName());
        QVERIFY(QFileInfo::exists(after + "/EEG_1/a.edf") && !QFileInfo::exists(FolderRenameJournal::path()));

        relay->setMode(TcpRelay::Mode::LoseCommitReply);
        QString reason;
        QVERIFY2(Trash(workstation.get()).removePatient(workstation->patientById(autoId), &reason),
            qPrintable(reason));
        QVERIFY(!QFileInfo::exists(after + "/EEG_1/a.edf"));
        QCOMPARE(rawValue(*direct, "SELECT count(*) FROM Patients").toInt(), 0);
        const QList<Trash::Removal> removals = Trash(direct.get()).removals();
        QCOMPARE(removals.size(), 1);
        QVERIFY2(Trash(direct.get()).restore(removals.first().id, &reason), qPrintable(reason));
        QVERIFY(QFileInfo::exists(after + "/EEG_1/a.edf"));
    }

    // Nor is the lookup answered: a registration and a removal that landed
    // unbeknown are settled by their operation ids once the server answers,
    // and one that never landed puts its files back at once.
    void anUnsettledWriteIsLookedUpLater()
    {
        Patient values;
        values.setPatientID("D1");
        values.setLastName("Orlova");
        Patient *patient = workstation->patientById(PatientStore(workstation.get()).create(&values).autoId);
        const QString folder = DataLocations::patientFolder(patient->folderName());
        for (const char *name : { "EEG_1", "EEG_2" }) {
            QFile file(folder + "/" + name + "/a.edf");
            QVERIFY(QDir().mkpath(folder + "/" + name) && file.open(QIODevice::WriteOnly)
                && file.write("0") == 1);
        }

        UnregisteredRecordings kept(UnregisteredRecordings::defaultFile());
        RecordingRegistration registration(workstation.get(), &kept);
        relay->setMode(TcpRelay::Mode::LoseCommitAndServer);
        QVERIFY(registration.add(patient, { "EEG_1\\a.edf", "EEG", QDateTime(), "" }).recordId <= 0);
        relay->setMode(TcpRelay::Mode::Pass);
        QCOMPARE(registration.registerKept(), 1);
        QVERIFY(kept.recordings().isEmpty());
        QCOMPARE(rawValue(*direct, "SELECT count(*) FROM Records").toInt(), 1);

        // Records read while another call waits are not shown as none.
        patient->loadRecords();
        QCOMPARE(patient->records().size(), 1);
        relay->setMode(TcpRelay::Mode::BlackHole);
        QTimer::singleShot(300, patient, [patient] { patient->loadRecords(); });
        int ticks = 0;
        QVERIFY(!saveCounting("D2", &ticks).saved());
        QCOMPARE(patient->records().size(), 1);
        relay->setMode(TcpRelay::Mode::Pass);

        QString reason;
        relay->setMode(TcpRelay::Mode::LoseCommitAndServer);
        QVERIFY(!Trash(workstation.get()).removeRecord(patient, patient->records().value(0), &reason));
        relay->setMode(TcpRelay::Mode::Pass);
        QVERIFY2(reason.contains("not known"), qPrintable(reason));
        QVERIFY(Trash(workstation.get()).recoverUnfinished().isEmpty());
        QVERIFY(!QFileInfo::exists(folder + "/EEG_1/a.edf"));
        const QList<Trash::Removal> removals = Trash(direct.get()).removals();
        QCOMPARE(removals.size(), 1);
        QVERIFY2(Trash(direct.get()).restore(removals.first().id, &reason), qPrintable(reason));
        QVERIFY(QFileInfo::exists(folder + "/EEG_1/a.edf"));

        const QString name = TrashFolder::create(patient->folderName(), &reason);
        const QList<TrashFolder::Move> moves { { patient->folderName() + "/EEG_2", "EEG_2" } };
        QVERIFY(TrashFolder::writeNote(name, moves, &reason) && TrashFolder::moveIn(name, moves, &reason));
        QVERIFY(TrashFolder::noteOperation(name, QUuid::createUuid().toString(QUuid::WithoutBraces)));
        QCOMPARE(Trash(workstation.get()).recoverUnfinished().size(), 1);
        QVERIFY(QFileInfo::exists(folder + "/EEG_2/a.edf"));
    }

    // Announcements are heard on a session of their own, off this thread: a
    // server that stops answering it holds nothing here, and once it answers
    // the list is read again and announcements are heard again.
    void announcementsAreHeardOffTheWindowThread()
    {
        LiveUpdates *live = workstation->findChild<LiveUpdates *>();
        QTRY_VERIFY(live->isListening());
        QSignalSpy announced(live, &LiveUpdates::announced);
        int ticks = 0;
        QVERIFY(saveCounting("E1", &ticks).saved());
        const int theirs = addPatient(*direct, "E2", "Smirnova");
        QTRY_VERIFY(!announced.isEmpty());
        QCOMPARE(announced.first().at(1).toInt(), theirs);

        QSignalSpy waiting(workstation.get(), &Database::serverWaiting);
        QElapsedTimer sinceTick;
        qint64 longestGap = 0;
        ticks = 0;
        QTimer timer;
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, [&] {
            longestGap = qMax(longestGap, sinceTick.restart());
            ++ticks;
        });
        sinceTick.start();
        timer.start();
        relay->setMode(TcpRelay::Mode::BlackHole);
        // Given up at the deadline (2 s), then asked again within a second
        // and given up again 2 s later: a wait here would show as a gap.
        QTRY_VERIFY_WITH_TIMEOUT(!live->isListening(), 10000);
        ticks = 0;
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= 150, 20000);
        QVERIFY2(longestGap < 1500, qPrintable(QString::number(longestGap)));
        QCOMPARE(waiting.count(), 0);
        QVERIFY(addPatient(*direct, "E3", "Orlova") > 0);
        relay->setMode(TcpRelay::Mode::Pass);
        QTRY_VERIFY_WITH_TIMEOUT(live->isListening(), 30000);
        QVERIFY(workstation->patientByPatientId("E3"));
        const int reads = workstation->wholeReads();
        QVERIFY(addPatient(*direct, "E4", "Orlova") > 0);
        QTRY_VERIFY(workstation->patientByPatientId("E4"));
        QCOMPARE(workstation->wholeReads(), reads);
    }
};

KESTA_TEST_MAIN(TestServerWaits)
#include "tst_serverwaits.moc"
