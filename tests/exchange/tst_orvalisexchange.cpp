#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"
#include "db/record.h"
#include "exchange/orvalisexchange.h"
#include "support/namedprocess.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/util/clock.h"

#include <QDirIterator>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

using namespace kestatest;

namespace
{

// Lines the exchange logs after handling a request.
QStringList handledRequests;
QtMessageHandler previousHandler = nullptr;

void collectHandled(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg && qstrcmp(context.category, "kesta.exchange") == 0)
        handledRequests.append(message);
    else
        previousHandler(type, context, message);
}

QByteArray frame(const QByteArray &code, const QList<QByteArray> &fields)
{
    QByteArray payload;
    for (const QByteArray &field : fields)
        payload += field + '\0';
    return code + QByteArray::number(payload.size()).rightJustified(6, '0') + '\0' + payload;
}

const QByteArray IdentificationReply("SII000015\0HELLO HOSPITAL\0", 25);

// The recorder's end of one connection.
class Peer
{
public:
    bool open()
    {
        socket.connectToHost(QHostAddress::LocalHost, OrvalisExchange::Port);
        return socket.waitForConnected(5000);
    }

    // Sends one request and returns all the exchange answered to it, empty for silence. Once the
    // exchange has handled the request, a "GII" follows; its reply marks the end of the answer,
    // which the exchange's log says to expect or not.
    QByteArray ask(const QByteArray &request)
    {
        const int handled = handledRequests.size();
        socket.write(request);
        if (!QTest::qWaitFor([&] { return handledRequests.size() > handled; }, 5000))
            return "<request not handled>";
        const bool replied = handledRequests.at(handled).contains("-> reply");
        socket.write("GII");
        const bool marked = QTest::qWaitFor(
            [&] {
                received += socket.readAll();
                return received.endsWith(IdentificationReply) && (!replied || received.size() > IdentificationReply.size());
            },
            5000);
        if (!marked)
            return "<no reply to the marker>";
        const QByteArray answer = received.chopped(IdentificationReply.size());
        received.clear();
        return answer;
    }

    QTcpSocket socket;
    QByteArray received;
};

QStringList entriesBelow(const QString &folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        entries.append(it.next());
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
    int recordCount() { return rawValue(*db, "SELECT count(*) FROM Records").toInt(); }
    std::unique_ptr<Record> newestRecord()
    {
        return std::unique_ptr<Record>(db->loadRecord(rawValue(*db, "SELECT max(RecordID) FROM Records").toInt()));
    }

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules("kesta.exchange.debug=true");
        previousHandler = qInstallMessageHandler(collectHandled);
        Clock::setTestTime(QDateTime(QDate(2024, 3, 5), QTime(12, 0)));
    }
    void cleanupTestCase() { qInstallMessageHandler(previousHandler); }

    void init()
    {
        QVERIFY(resetDataFolder());
        db = std::make_unique<Database>(DataLocations::databaseFile());
        QVERIFY(addPatient(*db, "A17", "Petrov", "Ivan", 1, QDate(1984, 2, 29)) > 0);
        QVERIFY(addPatient(*db, "B2", "Sidorova", "Anna", 2) > 0);
        QVERIFY(addPatient(*db, QString::fromUtf8("Щука-7"), "Shchukin", "Oleg") > 0);
        current = db->patientByPatientId("A17");
        current->setMiddleName(" Sergeevich ");
        current->setHeight(179.6);
        current->setWeight(74.5);

        exchange = std::make_unique<OrvalisExchange>();
        exchange->setDatabase(db.get());
        exchange->setPatientSource([this] { return current; });
        exchange->start();
        QVERIFY2(exchange->isListening(), "port 2700 is taken: is another test using it?");
        QVERIFY(peer.open());
    }
    void cleanup()
    {
        peer.socket.abort();
        peer.received.clear();
        exchange.reset();
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
                             << frame("SSI", { "Petrov Ivan Sergeevich", "A17", "40", "1984-02-29", "180", "75" });
        QTest::newRow("GSI no birth date") << QByteArray("GSI") << "B2"
                                           << frame("SSI", { "Sidorova Anna", "B2", "-1", "", "0", "0" });
        QTest::newRow("GSI Cyrillic id") << QByteArray("GSI") << QString::fromUtf8("Щука-7")
                                         << frame("SSI", { "Shchukin Oleg", "Schuka-7", "-1", "", "0", "0" });
        QTest::newRow("GSD") << QByteArray("GSD") << "A17" << frame("SSD", { "PetrovIvanSergeevich_A17" });
        for (const char *request : { "gii", "GII ", " GII", "XYZ", "GIIGDD" })
            QTest::newRow(request) << QByteArray(request) << "A17" << none;
        for (const char *request : { "GSI", "GSD" }) {
            QTest::newRow(qPrintable(request + QString(" no patient"))) << QByteArray(request) << "" << none;
            QTest::newRow(qPrintable(request + QString(" no window"))) << QByteArray(request) << "-" << none;
        }
        QTest::newRow("GDD no window") << QByteArray("GDD") << "-" << none;
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

    void folderOutsideThePatientsFolderIsNeverCreated_data()
    {
        QTest::addColumn<QString>("subdirectory");
        for (const char *name : { ".", "..", "../Elsewhere", "a/b", "a\\b", "/tmp/x", "x:y" })
            QTest::newRow(name) << QString(name);
    }
    void folderOutsideThePatientsFolderIsNeverCreated()
    {
        QFETCH(QString, subdirectory);
        current->setSubdirectory(subdirectory);
        QCOMPARE(current->folderName(), subdirectory);
        const QStringList before = entriesBelow(QDir::homePath());
        QCOMPARE(peer.ask("GSD"), QByteArray());
        QCOMPARE(entriesBelow(QDir::homePath()), before);
    }

    void reportedRecordingsAreStored()
    {
        QCOMPARE(peer.ask("SFN\\EEG_2024_03_05_142530\\rec.edf"), QByteArray());
        QCOMPARE(peer.ask("SRC  good AER record "), QByteArray());
        std::unique_ptr<Record> record = newestRecord();
        QCOMPARE(record->getPatientID(), QString("A17"));
        QCOMPARE(record->getRecordType(), QString("EEG"));
        QCOMPARE(record->getRecordDate(), QDateTime(QDate(2024, 3, 5), QTime(14, 25, 30)));
        QCOMPARE(record->getFileName(), QString("EEG_2024_03_05_142530\\rec.edf"));
        QCOMPARE(record->getComments(), QString("good  record"));
        QCOMPARE(current->records().size(), 1);

        QCOMPARE(peer.ask("SFN\\EEG_2024_13_40_999999\\x.edf"), QByteArray());
        QCOMPARE(recordCount(), 2);
        QVERIFY(!newestRecord()->getRecordDate().isValid());

        const QString hostileFile = "it's \"x\"; DROP TABLE Records;--.edf";
        const QString hostileComment = "O'Brien said \"no\"'); DELETE FROM Patients;--";
        QCOMPARE(peer.ask(("SFN\\EEG_2024_03_05_142530\\" + hostileFile).toUtf8()), QByteArray());
        QCOMPARE(peer.ask(("SRC " + hostileComment).toUtf8()), QByteArray());
        record = newestRecord();
        QCOMPARE(record->getFileName(), "EEG_2024_03_05_142530\\" + hostileFile);
        QCOMPARE(record->getComments(), hostileComment);
        QCOMPARE(recordCount(), 3);
        QCOMPARE(db->patients().size(), 3);
    }

    // A comment belongs to the recording reported just before it, or to none.
    void commentWithoutItsRecordingGoesNowhere_data()
    {
        QTest::addColumn<QByteArray>("earlier");
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<bool>("withPatient");
        const QByteArray good("SFN\\EEG_2024_03_05_142530\\rec.edf");
        QTest::newRow("before any report") << QByteArray() << QByteArray() << true;
        QTest::newRow("too few pieces") << good << QByteArray("SFN\\EEG_2024_03_05_142530") << true;
        QTest::newRow("too few parts") << good << QByteArray("SFN\\a_b\\c") << true;
        QTest::newRow("no patient") << good << good << false;
    }
    void commentWithoutItsRecordingGoesNowhere()
    {
        QFETCH(QByteArray, earlier);
        QFETCH(QByteArray, report);
        QFETCH(bool, withPatient);
        if (!earlier.isEmpty())
            QCOMPARE(peer.ask(earlier), QByteArray());
        const int records = recordCount();
        const QString commentsSql = "SELECT group_concat(RecordID || ':' || Comments) FROM Records";
        const QVariant comments = rawValue(*db, commentsSql);
        if (!withPatient)
            select("");
        if (!report.isEmpty())
            QCOMPARE(peer.ask(report), QByteArray());
        QCOMPARE(peer.ask("SRC late comment"), QByteArray());
        QCOMPARE(recordCount(), records);
        QCOMPARE(rawValue(*db, commentsSql), comments);
    }

    void eachPeerHasItsOwnConversation()
    {
        Peer second;
        QVERIFY(second.open());
        QCOMPARE(peer.ask("GII"), IdentificationReply);
        QCOMPARE(second.ask("GSD"), frame("SSD", { "PetrovIvanSergeevich_A17" }));
        QCOMPARE(peer.ask("GSI").left(3), QByteArray("SSI"));

        peer.socket.disconnectFromHost();
        QCOMPARE(second.ask("GII"), IdentificationReply);
        QVERIFY(second.socket.state() == QAbstractSocket::ConnectedState);
        QVERIFY(second.received.isEmpty());
    }

    void monitorSignalsEachChangeOnceAndStopEndsAll()
    {
        QList<bool> states;
        QObject receiver;
        connect(exchange.get(), &OrvalisExchange::orvalisIsRunning, &receiver, [&](bool on) { states.append(on); });
        QTRY_VERIFY(exchange->monitorCycles() >= 1);
        QVERIFY2(states.isEmpty(), "a \"DI Duvi.exe\" from elsewhere is running");

        NamedProcess recorder("DI Duvi.exe");
        QVERIFY(recorder.start());
        QTRY_COMPARE_WITH_TIMEOUT(states, QList<bool>({ true }), 10000);
        int cycles = exchange->monitorCycles();
        QTRY_VERIFY_WITH_TIMEOUT(exchange->monitorCycles() >= cycles + 3, 10000);
        QCOMPARE(states, QList<bool>({ true }));

        recorder.process().kill();
        QTRY_VERIFY(!recorder.isRunning());
        QTRY_COMPARE_WITH_TIMEOUT(states, QList<bool>({ true, false }), 10000);
        cycles = exchange->monitorCycles();
        QTRY_VERIFY_WITH_TIMEOUT(exchange->monitorCycles() >= cycles + 3, 10000);
        QCOMPARE(states, QList<bool>({ true, false }));

        exchange->stop();
        QCOMPARE(exchange->monitorCycles(), 0);
        QVERIFY(!exchange->isListening());
        QTRY_COMPARE(peer.socket.state(), QAbstractSocket::UnconnectedState);
    }

    void takenPortIsLoggedAndTheMonitorStillRuns()
    {
        exchange.reset();
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::LocalHost, OrvalisExchange::Port));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^Exchange port 2700 not available, .*: .+"));
        OrvalisExchange blocked;
        blocked.start();
        QVERIFY(!blocked.isListening());
        QTRY_VERIFY(blocked.monitorCycles() >= 1);
    }
};

KESTA_TEST_MAIN(TestOrvalisExchange)
#include "tst_orvalisexchange.moc"
