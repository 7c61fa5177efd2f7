#include "db/care/trash.h"
#include "db/care/unsettledwrites.h"
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
#include <functional>
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

    int stored(const char *table)
    {
        return rawValue(*direct, QStringLiteral("SELECT count(*) FROM ") + table).toInt();
    }

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

    // A stored patient whose folder holds EEG_1/a.edf and EEG_2/a.edf.
    Patient *patientWithRecordings(const QString &patientId)
    {
        int ticks = 0;
        Patient *patient = workstation->patientById(saveCounting(patientId, &ticks).autoId);
        for (const char *name : { "EEG_1", "EEG_2" }) {
            const QString folder = DataLocations::patientFolder(patient->folderName()) + "/" + name;
            QFile file(folder + "/a.edf");
            if (!QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) || file.write("0") != 1)
                return nullptr;
        }
        return patient;
    }

private slots:
    void initTestCase()
    {
        server = TestServer::instance();
        QVERIFY2(server, qPrintable(TestServer::startError()));
    }
    void init()
    {
        QVERIFY(resetDataFolder());
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

    void aSilentServerIsGivenUp_data()
    {
        QTest::addColumn<QString>("silence");
        QTest::addColumn<QString>("refusal");
        const QString late = QStringLiteral("The server <server> did not answer within 2 s");
        QTest::newRow("lost network") << "network" << late;
        QTest::newRow("closed connection") << "closed" << QString();
        QTest::newRow("stopped process") << "process" << late;
        QTest::newRow("lock held") << "lock"
                                   << "lock timeout";
    }
    void aSilentServerIsGivenUp()
    {
        QFETCH(QString, silence);
        QFETCH(QString, refusal);
        int ticks = 0;
        QVERIFY(saveCounting("A0", &ticks).saved());
        std::function<void()> answerAgain = [this] { relay->setMode(TcpRelay::Mode::Pass); };
        std::unique_ptr<Database::Transaction> holding;
        if (silence == "network") {
            relay->setMode(TcpRelay::Mode::BlackHole);
        } else if (silence == "closed") {
            relay->closeConnections();
        } else if (silence == "process") {
            const pid_t backend = pid_t(rawValue(*workstation, "SELECT pg_backend_pid()").toLongLong());
            QVERIFY(backend > 0 && ::kill(backend, SIGSTOP) == 0);
            answerAgain = [backend] { ::kill(backend, SIGCONT); };
        } else {
            holding = std::make_unique<Database::Transaction>(direct.get());
            QVERIFY(rawExec(*direct, "LOCK TABLE Patients IN ACCESS EXCLUSIVE MODE"));
            answerAgain = [&holding] { QVERIFY(holding->commit()); };
        }
        QSignalSpy waiting(workstation.get(), &Database::serverWaiting);
        ticks = 0;
        const PatientStore::Outcome refused = saveCounting("A1", &ticks);
        answerAgain();
        QVERIFY(!refused.saved());
        const QString expected = refusal.replace("<server>", workstation->location().describe());
        QVERIFY2(refused.refusal.contains(expected), qPrintable(refused.refusal));
        if (silence != "closed") {
            QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));
            QCOMPARE(waiting.count(), 2);
        }
        QCOMPARE(stored("Patients"), 1);
        QVERIFY(saveCounting("A1", &ticks).saved());
        QCOMPARE(stored("Patients"), 2);
    }

    // What the thread does while a call waits: records read then keep the
    // list shown, and rows retired then are freed after the wait.
    void whatHappensBesideAWaitHolds()
    {
        int ticks = 0;
        Patient *patient = patientWithRecordings("B1");
        QVERIFY(patient);
        QVERIFY(workstation->insertRecord(patient, QDateTime(), "EEG_1\\a.edf", "EEG", "") > 0);
        QCOMPARE(patient->records().size(), 1);
        relay->setMode(TcpRelay::Mode::BlackHole);
        QTimer::singleShot(300, patient, [patient] { patient->loadRecords(); });
        QVERIFY(!saveCounting("B2", &ticks).saved());
        QCOMPARE(patient->records().size(), 1);
        relay->setMode(TcpRelay::Mode::Pass);

        // Patients a reload replaced are not freed inside a wait: a caller
        // below it may still hold one.
        QPointer<Patient> replaced = workstation->patients().value(0);
        QVERIFY(workstation->reloadPatients());
        relay->setMode(TcpRelay::Mode::BlackHole);
        QVERIFY(!saveCounting("B3", &ticks).saved());
        QVERIFY(replaced);
        QTRY_VERIFY(!replaced);
        relay->setMode(TcpRelay::Mode::Pass);
    }

    // The COMMIT of a registration, a removal and a rename reaches the server
    // and its answer is lost, or the COMMIT itself is lost. Whether each
    // landed is learnt by the next connection, at once or once the server
    // answers again, and the database and the folders agree without a restart.
    void aLostCommitIsSettled_data()
    {
        QTest::addColumn<int>("loss");
        QTest::addColumn<bool>("told");
        QTest::addColumn<bool>("landed");
        QTest::newRow("answer lost") << int(TcpRelay::Mode::LoseCommitReply) << true << true;
        QTest::newRow("answer and server lost") << int(TcpRelay::Mode::LoseCommitAndServer) << false << true;
        QTest::newRow("commit and server lost") << int(TcpRelay::Mode::SwallowCommit) << false << false;
    }
    void aLostCommitIsSettled()
    {
        QFETCH(int, loss);
        QFETCH(bool, told);
        QFETCH(bool, landed);
        Patient *patient = patientWithRecordings("C1");
        Patient *renamed = patientWithRecordings("C2");
        QVERIFY(patient && renamed);
        const QString folder = DataLocations::patientFolder(patient->folderName());
        UnregisteredRecordings kept(UnregisteredRecordings::defaultFile());
        RecordingRegistration registration(workstation.get(), &kept);
        UnsettledWrites unsettled(workstation.get(), &registration);
        QVERIFY(registration.add(patient, { "EEG_2\\a.edf", "EEG", QDateTime(), "" }).recordId > 0);
        const auto lose = [this, loss] {
            relay->setMode(TcpRelay::Mode::Pass);
            relay->setMode(TcpRelay::Mode(loss));
        };

        lose();
        QString reason;
        QCOMPARE(Trash(workstation.get()).removeRecord(patient, patient->records().value(0), &reason), told);
        lose();
        QCOMPARE(registration.add(patient, { "EEG_1\\a.edf", "EEG", QDateTime(), "" }).recordId > 0, told);
        std::unique_ptr<Patient> shown(renamed->clone());
        std::unique_ptr<Patient> edited(renamed->clone());
        edited->setLastName("Kim");
        lose();
        QCOMPARE(
            PatientStore(workstation.get()).save(renamed->getAutoID(), edited.get(), shown.get()).saved(),
            told);
        QCOMPARE(QFileInfo::exists(FolderRenameJournal::path()), !told);

        // The next action after the server answers again settles the rest.
        relay->setMode(TcpRelay::Mode::Pass);
        QVERIFY(workstation->reloadPatients());
        QTRY_VERIFY(!QFileInfo::exists(FolderRenameJournal::path()));
        const QString before = DataLocations::patientFolder(shown->folderName());
        const QString after = DataLocations::patientFolder(edited->folderName());
        QCOMPARE(QFileInfo::exists(after + "/EEG_1/a.edf"), landed);
        QCOMPARE(QFileInfo::exists(before + "/EEG_1/a.edf"), !landed);
        QCOMPARE(QFileInfo::exists(folder + "/EEG_2/a.edf"), !landed);
        const QList<Trash::Removal> removals = Trash(direct.get()).removals();
        QCOMPARE(removals.size(), landed ? 1 : 0);
        QCOMPARE(kept.recordings().size(), landed ? 0 : 1);
        QCOMPARE(stored("Records"), 1);

        // Tried again, a registration is never stored twice; a removal that
        // landed is restored from its place in the trash.
        registration.registerKept();
        QVERIFY(kept.recordings().isEmpty());
        QCOMPARE(rawValue(*direct, "SELECT count(*) FROM Records WHERE FileName LIKE 'EEG_1%'").toInt(), 1);
        if (landed) {
            QVERIFY2(Trash(direct.get()).restore(removals.first().id, &reason), qPrintable(reason));
            QVERIFY(QFileInfo::exists(folder + "/EEG_2/a.edf"));
        }
        QCOMPARE(stored("Records"), 2);
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
