#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/recordings/recordingregistration.h"
#include "exchange/orvalisexchange.h"
#include "support/namedprocess.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/util/clock.h"

#include <QDirIterator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <unistd.h>

using namespace kestatest;

namespace
{

// Lines the exchange logs after handling a request, and the warnings and notes it and the
// registration log.
QStringList handledRequests;
QStringList notices;
QtMessageHandler previousHandler = nullptr;

QByteArray frame(const QByteArray &code, const QList<QByteArray> &fields)
{
    QByteArray payload;
    for (const QByteArray &field : fields)
        payload += field + '\0';
    return code + QByteArray::number(payload.size()).rightJustified(6, '0') + '\0' + payload;
}

const QByteArray IdentificationReply("SII000015\0HELLO HOSPITAL\0", 25);
const QByteArray Report("SFN\\EEG_2024_03_05_142530\\rec.edf");

// The recorder's end of one connection.
struct Peer : QTcpSocket {
    bool open()
    {
        connectToHost(QHostAddress::LocalHost, OrvalisExchange::Port);
        return waitForConnected(5000);
    }

    // Sends one request and returns all the exchange answered to it, empty for silence. Once the
    // exchange has handled the request, a "GII" follows; its reply marks the end of the answer,
    // which the exchange's log says to expect or not.
    QByteArray ask(const QByteArray &request)
    {
        const int handled = handledRequests.size();
        write(request);
        if (!QTest::qWaitFor([&] { return handledRequests.size() > handled; }, 5000))
            return "<request not handled>";
        const int least
            = IdentificationReply.size() + (handledRequests.at(handled).contains("-> reply") ? 1 : 0);
        write("GII");
        QByteArray received;
        const bool marked = QTest::qWaitFor(
            [&] { return (received += readAll()).endsWith(IdentificationReply) && received.size() >= least; },
            5000);
        return marked ? received.chopped(IdentificationReply.size()) : "<no reply to the marker>";
    }
};

QStringList entriesBelow(const QString &folder)
{
    QStringList entries;
    QDirIterator it(
        folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << it.next();
    entries.sort();
    return entries;
}

} // namespace

// The exchange as the recorder meets it: real sockets on 127.0.0.1:2700, a real database, the
// monitor watching real processes named "DI Duvi.exe".
class TestOrvalisExchange : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;
    std::unique_ptr<UnregisteredRecordings> unregistered;
    std::unique_ptr<RecordingRegistration> registration;
    std::unique_ptr<OrvalisExchange> exchange;
    Patient *current = nullptr;
    Peer peer;

    // The current patient by PatientID: none for an empty one, no window at all for "-".
    void select(const QString &patientId)
    {
        current = db->patientByPatientId(patientId);
        if (patientId == "-")
            exchange->setPatientSource({});
    }

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules("kesta.exchange.debug=true");
        previousHandler = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
                const bool registration
                    = qstrcmp(context.category, "kesta.recordings") == 0 && type != QtInfoMsg;
                if (qstrcmp(context.category, "kesta.exchange") != 0 && !registration)
                    previousHandler(type, context, text);
                else if (type == QtDebugMsg)
                    handledRequests.append(text);
                else
                    notices.append(text);
            });
        Clock::setTestTime(QDateTime(QDate(2024, 3, 5), QTime(12, 0)));
    }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void init()
    {
        QVERIFY(resetDataFolder());
        db = std::make_unique<PatientDatabase>(DataLocations::databaseFile());
        QVERIFY(addPatient(*db, "A17", "Petrov", "Ivan", 1, QDate(1984, 2, 29)) > 0);
        QVERIFY(addPatient(*db, "B2", "Sidorova", "Anna", 2) > 0);
        QVERIFY(addPatient(*db, QString::fromUtf8("Щука-7"), "Shchukin", "Oleg") > 0);
        current = db->patientByPatientId("A17");
        current->setMiddleName(" Sergeevich ");
        current->setHeight(179.6);
        current->setWeight(74.5);

        notices.clear();
        unregistered = std::make_unique<UnregisteredRecordings>(UnregisteredRecordings::defaultFile());
        registration = std::make_unique<RecordingRegistration>(db.get(), unregistered.get());
        exchange = std::make_unique<OrvalisExchange>(registration.get());
        exchange->setPatientSource([this] { return current; });
        exchange->start();
        QVERIFY2(exchange->isListening(), "port 2700 is taken: is another test using it?");
        QVERIFY(peer.open());
    }
    void cleanup()
    {
        peer.abort();
        exchange.reset();
        registration.reset();
        unregistered.reset();
        db.reset();
    }

    void frames_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QString>("patientId");
        QTest::addColumn<QByteArray>("reply");
        const QByteArray gii = IdentificationReply, none;
        QTest::newRow("GII") << QByteArray("GII") << "A17" << gii;
        QTest::newRow("GII without window") << QByteArray("GII") << "-" << gii;
        QTest::newRow("text ends at 0x00") << QByteArray("GII\0junk", 8) << "A17" << gii;
        QTest::newRow("GDD") << QByteArray("GDD") << ""
                             << frame("SDD", { QFile::encodeName(QDir::homePath() + "/Orvalis Data") });
        QTest::newRow("GSI") << QByteArray("GSI") << "A17"
                             << frame("SSI",
                                    { "Petrov Ivan Sergeevich", "A17", "40", "1984-02-29", "180", "75" });
        QTest::newRow("GSI no birth date")
            << QByteArray("GSI") << "B2" << frame("SSI", { "Sidorova Anna", "B2", "-1", "", "0", "0" });
        QTest::newRow("GSI Cyrillic id") << QByteArray("GSI") << QString::fromUtf8("Щука-7")
                                         << frame("SSI", { "Shchukin Oleg", "Schuka-7", "-1", "", "0", "0" });
        QTest::newRow("GSD") << QByteArray("GSD") << "A17" << frame("SSD", { "PetrovIvanSergeevich_A17" });
        for (const char *request : { "gii", "GII ", " GII", "XYZ", "GIIGDD" })
            QTest::newRow(request) << QByteArray(request) << "A17" << none;
        for (const char *request : { "GSI", "GSD", "GDD" })
            QTest::newRow(qPrintable(request + QString(" no window"))) << QByteArray(request) << "-" << none;
        for (const char *request : { "GSI", "GSD" })
            QTest::newRow(qPrintable(request + QString(" no patient"))) << QByteArray(request) << "" << none;
    }
    void frames()
    {
        QFETCH(QByteArray, request);
        QFETCH(QString, patientId);
        QFETCH(QByteArray, reply);
        select(patientId);
        QCOMPARE(peer.ask(request), reply);
        if (request == "GSD" && !reply.isEmpty())
            QVERIFY(QDir(DataLocations::patientFolder(current->folderName())).exists());
    }

    void folderOutsideThePatientsFolderIsNeverCreated()
    {
        const QStringList before = entriesBelow(QDir::homePath());
        for (const char *name : { ".", "..", "../Elsewhere", "a/b", "a\\b", "/tmp/x", "x:y" }) {
            current->setSubdirectory(name);
            QVERIFY2(peer.ask("GSD").isEmpty(), name);
        }
        QCOMPARE(entriesBelow(QDir::homePath()), before);
    }

    // Type, date and file name from each report, the current patient's ID, the comment that
    // follows it; an invalid date stays invalid; quotes and SQL-looking text are kept verbatim.
    void reportedRecordingsAreStored()
    {
        const QString file = "EEG_2024_03_05_142530\\it's \"x\"; DROP TABLE Records;--.edf";
        const QString comment = "O'Brien said \"no\"'); DELETE FROM Patients;--";
        for (const QString &request :
            { QString("SFN\\EEG_2024_03_05_142530\\rec.edf"), QString("SRC  good AER record "),
                QString("SFN\\EEG_2024_13_40_999999\\x.edf"), "SFN\\" + file, "SRC " + comment })
            QCOMPARE(peer.ask(request.toUtf8()), QByteArray());
        QStringList stored;
        for (const Record *record : current->records())
            stored << record->getPatientID() + " " + record->getRecordType() + " "
                    + record->getRecordDate().toString(Qt::ISODate) + " " + record->getFileName() + "|"
                    + record->getComments();
        QCOMPARE(stored,
            QStringList({ "A17 EEG 2024-03-05T14:25:30 EEG_2024_03_05_142530\\rec.edf|good  record",
                "A17 EEG  EEG_2024_13_40_999999\\x.edf|",
                "A17 EEG 2024-03-05T14:25:30 " + file + "|" + comment }));
        QCOMPARE(db->patients().size(), 3);
    }

    // A report the database refuses, or whose name leads outside the patient's folder, is
    // logged and kept to be told with its comment; nothing of it is stored.
    void refusedRecordingsAreToldWithTheirComment_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("retriable");
        const QString time = "EEG_2024_03_05_142530";
        const QString refused = "CHECK constraint failed: length(%1) <= %2";
        QTest::newRow("type over 8") << "LONGTYPE9_2024_03_05_142530\\rec.edf"
                                     << refused.arg("RecordType").arg(8) << true;
        QTest::newRow("file name over 128")
            << time + "\\" + QString(120, 'x') + ".edf" << refused.arg("FileName").arg(128) << true;
        const QString outside = "Its name leads outside the patient's folder";
        for (const QString &name : { time + "\\..", time + "/../..\\rec.edf",
                 QString("C:_2024_03_05_142530\\rec.edf"), time + "\\/etc/passwd", time + "\\C:rec.edf" })
            QTest::newRow(qPrintable(name)) << name << outside << false;
        QTest::newRow("no patient") << time + "\\rec.edf"
                                    << "No patient was selected" << false;
    }
    void refusedRecordingsAreToldWithTheirComment()
    {
        QFETCH(QString, report);
        QFETCH(QString, reason);
        QFETCH(bool, retriable);
        const bool noPatient = reason.startsWith("No patient");
        if (noPatient)
            select("");
        QCOMPARE(peer.ask("SFN\\" + report.toUtf8()), QByteArray());
        QCOMPARE(peer.ask("SRC calm"), QByteArray());
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Records").toInt(), 0);
        const QList<UnregisteredRecordings::Recording> told = unregistered->recordings();
        QCOMPARE(told.size(), 1);
        const QString fileName = report.section('\\', 0, 1);
        QCOMPARE(told.at(0).fileName + "|" + told.at(0).reason + "|" + told.at(0).comments,
            fileName + "|" + reason + "|calm");
        QCOMPARE(told.at(0).retriable, retriable);
        QCOMPARE(notices,
            QStringList(
                { QString("Recording %1 of %2 not registered, its file stays: %3")
                        .arg(fileName, noPatient ? "no patient" : "Petrov Ivan Sergeevich (A17)", reason),
                    "Comment of the unregistered recording kept with it: calm" }));
    }

    // A comment longer than the column is stored as far as it fits and the rest is kept to be
    // told; a comment the database refuses is kept whole. Neither opens a box of its own.
    void longOrRefusedCommentIsNotLost_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("kept");
        const QString head = QString(63, 'a') + QString::fromUtf8("é");
        QTest::newRow("long") << head + "the rest" << false << head << "the rest";
        const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80"); // two code units, one character
        QTest::newRow("pair at the cut") << QString(63, 'a') + pair << false << QString(63, 'a') << pair;
        QTest::newRow("refused") << "calm" << true << "" << "calm";
    }
    void longOrRefusedCommentIsNotLost()
    {
        QFETCH(QString, comment);
        QFETCH(bool, refused);
        QFETCH(QString, stored);
        QFETCH(QString, kept);
        if (refused)
            QVERIFY(rawExec(*db,
                "CREATE TRIGGER ro BEFORE UPDATE ON Records BEGIN SELECT RAISE(ABORT, 'read only'); END"));
        QSignalSpy boxes(db.get(), &Database::writeFailed);
        QCOMPARE(peer.ask(Report), QByteArray());
        QCOMPARE(peer.ask("SRC " + comment.toUtf8()), QByteArray());
        QCOMPARE(rawValue(*db, "SELECT Comments FROM Records").toString().trimmed(), stored);
        QCOMPARE(current->records().value(0)->getComments(), stored);
        const QList<UnregisteredRecordings::Recording> told = unregistered->recordings();
        QCOMPARE(told.size(), 1);
        QCOMPARE(told.at(0).fileName + "|" + told.at(0).comments, "EEG_2024_03_05_142530\\rec.edf|" + kept);
        QVERIFY(told.at(0).registered && !told.at(0).retriable);
        QVERIFY2(told.at(0).reason.contains(refused ? "read only" : "64 characters"), qPrintable(told.at(0).reason));
        QCOMPARE(boxes.count(), 0);
    }

    // A comment belongs to the recording reported just before it, or to none.
    void commentWithoutItsRecordingGoesNowhere_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<bool>("withPatient");
        QTest::newRow("before any report") << QByteArray() << true;
        QTest::newRow("too few pieces") << QByteArray("SFN\\EEG_2024_03_05_142530") << true;
        QTest::newRow("too few parts") << QByteArray("SFN\\a_b\\c") << true;
        QTest::newRow("no patient") << Report << false;
    }
    void commentWithoutItsRecordingGoesNowhere()
    {
        QFETCH(QByteArray, report);
        QFETCH(bool, withPatient);
        if (!report.isEmpty()) {
            QCOMPARE(peer.ask(Report), QByteArray()); // a recording the comment must not reach
            if (!withPatient)
                select("");
            QCOMPARE(peer.ask(report), QByteArray());
        }
        QCOMPARE(peer.ask("SRC late comment"), QByteArray());
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Records").toInt(), report.isEmpty() ? 0 : 1);
        QCOMPARE(rawValue(*db, "SELECT count(*) FROM Records WHERE Comments LIKE '%late%'").toInt(), 0);
    }

    void eachPeerHasItsOwnConversation()
    {
        Peer second;
        QVERIFY(second.open());
        QCOMPARE(peer.ask("GII"), IdentificationReply);
        QCOMPARE(second.ask("GSD"), frame("SSD", { "PetrovIvanSergeevich_A17" }));
        QCOMPARE(peer.ask("GSI").left(3), QByteArray("SSI"));

        // The first leaving frees its own socket only.
        peer.disconnectFromHost();
        QTRY_COMPARE(exchange->findChildren<QTcpSocket *>().size(), 1);
        QCOMPARE(second.ask("GII"), IdentificationReply);
    }

    void monitorSignalsEachChangeOnceAndStopEndsAll()
    {
        QList<bool> states;
        QObject receiver;
        connect(exchange.get(), &OrvalisExchange::orvalisIsRunning, &receiver,
            [&](bool on) { states.append(on); });
        const auto waitCycles = [this](int count) {
            const int until = exchange->monitorCycles() + count;
            QTRY_VERIFY_WITH_TIMEOUT(exchange->monitorCycles() >= until, 10000);
        };
        waitCycles(1);
        QVERIFY2(states.isEmpty(), "a \"DI Duvi.exe\" from elsewhere is running");

        NamedProcess recorder("DI Duvi.exe");
        QVERIFY(recorder.start());
        QTRY_COMPARE_WITH_TIMEOUT(states, QList<bool>({ true }), 10000);
        waitCycles(2);
        recorder.process().kill();
        QTRY_COMPARE_WITH_TIMEOUT(states, QList<bool>({ true, false }), 10000);
        waitCycles(2);
        QCOMPARE(states, QList<bool>({ true, false }));

        exchange->stop();
        QCOMPARE(exchange->monitorCycles(), 0);
        QVERIFY(!exchange->isListening());
        QTRY_COMPARE(peer.state(), QAbstractSocket::UnconnectedState);
    }

    // While another program holds the port, no recorder is started (it could not talk to this
    // program); listening is tried again until the port is free, with one log line each way.
    void takenPortIsTriedAgainAndNoRecorderStartsMeanwhile()
    {
        exchange.reset();
        auto other = std::make_unique<QTcpServer>();
        QVERIFY(other->listen(QHostAddress::LocalHost, OrvalisExchange::Port));
        const QString holder
            = QString("tst_exchange_orvalisexchange (process id %1)").arg(QCoreApplication::applicationPid());
        OrvalisExchange blocked(nullptr);
        blocked.start();
        QVERIFY(!blocked.isListening());
        QTRY_VERIFY(blocked.monitorCycles() >= 1);
        const RecorderLaunch launch = blocked.runRecorderDatabase();
        QCOMPARE(launch.outcome, RecorderLaunch::ExchangeClosed);
        QCOMPARE(launch.reason, holder);

        QTRY_VERIFY_WITH_TIMEOUT(blocked.listenAttempts() >= 3, 10000);
        other.reset();
        QTRY_VERIFY_WITH_TIMEOUT(blocked.isListening(), 5000);
        QCOMPARE(notices.size(), 2);
        QVERIFY2(QRegularExpression("^Exchange port 2700 not available, .*: .+ \\(held by "
                     + QRegularExpression::escape(holder) + "\\); trying again every 2000 ms$")
                     .match(notices.value(0))
                     .hasMatch(),
            qPrintable(notices.value(0)));
        QCOMPARE(notices.value(1), QString("Exchange port 2700 free again, the recorder can connect"));
        QVERIFY(peer.open());
        QCOMPARE(peer.ask("GII"), IdentificationReply);
    }

    // Only programs of this user are answered; others are cut off at once, with one log line.
    // A peer that connects through IPv6 (the IPv4 address inside it) is found as well.
    void programsOfOtherUsersAreCutOff()
    {
        Peer viaIpv6;
        viaIpv6.connectToHost(QHostAddress("::ffff:127.0.0.1"), OrvalisExchange::Port);
        QVERIFY(viaIpv6.waitForConnected(5000));
        QCOMPARE(viaIpv6.ask("GII"), IdentificationReply);

        const QString own = QString::number(::geteuid());
        const QString other = QString::number(::geteuid() + 1);
        exchange->setExpectedOwner([other] { return other; });
        Peer stranger;
        QVERIFY(stranger.open());
        const quint16 port = stranger.localPort();
        QTRY_COMPARE(stranger.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(notices,
            QStringList({ QString("Connection from 127.0.0.1:%1 closed: it belongs to another user (%2)")
                              .arg(port)
                              .arg(own) }));
        QCOMPARE(peer.ask("GII"), IdentificationReply);
    }
};

KESTA_TEST_MAIN(TestOrvalisExchange)
#include "tst_orvalisexchange.moc"
