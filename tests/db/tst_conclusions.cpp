#include "db/care/changehistory.h"
#include "db/care/trash.h"
#include "db/model/datalocations.h"
#include "db/rows/conclusions.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testserver.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/workstation.h"

#include <QSignalSpy>
#include <memory>

using namespace kestatest;

// A recording's conclusion: stored with its author and time through the one
// write path, with history, on a file and on a server, and shown on the other
// workstation as it lands.
class TestConclusions : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;

    DatabaseLocation location(bool server)
    {
        if (!server) {
            if (!resetDataFolder())
                return {};
            return DatabaseLocation::file(DataLocations::databaseFile());
        }
        TestServer *running = TestServer::instance();
        return running ? running->createDatabase() : DatabaseLocation();
    }
    Record *newRecording(const QString &fileName)
    {
        Patient *patient = db->patientById(100);
        const int id
            = db->insertRecord(patient, QDateTime(QDate(2024, 3, 5), QTime(14, 5)), fileName, "EEG", "");
        for (Record *record : patient->records()) {
            if (record->getId() == id)
                return record;
        }
        return nullptr;
    }
    QStringList history()
    {
        QList<ChangeHistory::Entry> found;
        ChangeHistory::entriesOfPatient(db.get(), 100, &found);
        QStringList lines;
        for (const ChangeHistory::Entry &entry : found) {
            if (entry.table == QLatin1String("Conclusions"))
                lines.prepend(entry.kind + " " + entry.column + " " + entry.newValue);
        }
        return lines;
    }

private slots:
    void init() { Clock::setTestTime(QDateTime(QDate(2024, 5, 10), QTime(9, 30), Qt::UTC)); }
    void cleanup() { db.reset(); }

    void writtenWithAuthorTimeAndHistory_data()
    {
        QTest::addColumn<bool>("server");
        QTest::newRow("file") << false;
        QTest::newRow("server") << true;
    }
    void writtenWithAuthorTimeAndHistory()
    {
        QFETCH(bool, server);
        const DatabaseLocation where = location(server);
        QVERIFY2(where.isServer() == server, qPrintable(TestServer::startError()));
        db = std::make_unique<PatientDatabase>(where);
        QVERIFY(db->isUsable());
        ChangeHistory::attach(db.get());
        Conclusions *conclusions = Conclusions::of(db.get());
        QCOMPARE(addPatient(*db, "A17", "Petrov", "Ivan"), 100);
        Record *record = newRecording("EEG_1\\a.edf");
        QVERIFY(record);
        const QString text = QString::fromUtf8("Альфа-ритм 10 Гц.\nEpileptiform activity: none.");
        QVERIFY(conclusions->write(record, text));
        Conclusions::Conclusion shown = conclusions->conclusionOf(record->getId());
        QCOMPARE(shown.text, text);
        QCOMPARE(shown.writtenBy, Workstation::userName());
        QCOMPARE(shown.writtenAt, Clock::now().toUTC());

        // What another program reads from the database.
        PatientDatabase other(where);
        QVERIFY(other.isUsable());
        QCOMPARE(Conclusions::of(&other)->conclusionOf(record->getId()).text, text);

        QVERIFY(conclusions->write(record, "Normal EEG"));
        QVERIFY(conclusions->write(record, "  "));
        QVERIFY(conclusions->conclusionOf(record->getId()).isEmpty());
        const QStringList lines = history();
        // The server's history notes only the columns whose values changed
        // (author and time are the same here).
        QCOMPARE(lines.size(), server ? 3 : 5);
        QVERIFY(lines.at(0).startsWith("Insert  {") && lines.at(0).contains(text.left(5)));
        QCOMPARE(lines.at(1), QStringLiteral("Update Conclusion Normal EEG"));
        QVERIFY(lines.last().startsWith("Delete"));
    }

    // The trash keeps a removed recording's conclusion for its return; a new
    // recording that takes the freed id again starts without one.
    void aRecordIdTakenAgainStartsWithout()
    {
        db = std::make_unique<PatientDatabase>(location(false));
        QVERIFY(db->isUsable());
        Conclusions *conclusions = Conclusions::of(db.get());
        QCOMPARE(addPatient(*db, "A17", "Petrov"), 100);
        QVERIFY(conclusions->write(newRecording("EEG_1\\a.edf"), "Slowing left temporal"));
        Patient *patient = db->patientById(100);
        QVERIFY(Trash(db.get()).removeRecord(patient, patient->records().first()));
        Trash trash(db.get());
        QVERIFY(trash.restore(trash.removals().first().id));
        QCOMPARE(conclusions->conclusionOf(100).text, QStringLiteral("Slowing left temporal"));

        QVERIFY(Trash(db.get()).removeRecord(patient, patient->records().first()));
        QCOMPARE(newRecording("EEG_2\\b.edf")->getId(), 100);
        QVERIFY(conclusions->conclusionOf(100).isEmpty());
    }

    void shownOnTheOtherWorkstation()
    {
        const DatabaseLocation where = location(true);
        QVERIFY2(where.isServer(), qPrintable(TestServer::startError()));
        db = std::make_unique<PatientDatabase>(where);
        PatientDatabase second(where);
        QVERIFY(db->isUsable() && second.isUsable());
        QCOMPARE(addPatient(*db, "A17", "Petrov"), 100);
        Record *record = newRecording("EEG_1\\a.edf");
        // Announcements heard while the driver runs a statement wait for the
        // next one: the other workstation shows the new rows first.
        QTRY_VERIFY(second.patientById(100));
        QTRY_COMPARE(second.patientById(100)->records().size(), 1);
        Conclusions *theirs = Conclusions::of(&second);
        QVERIFY(theirs->conclusionOf(record->getId()).isEmpty());
        QSignalSpy changed(theirs, &Conclusions::changed);
        QVERIFY(Conclusions::of(db.get())->write(record, "Normal EEG"));
        QTRY_COMPARE(theirs->conclusionOf(record->getId()).text, QStringLiteral("Normal EEG"));
        QCOMPARE(changed.value(0).value(0).toInt(), record->getId());
    }
};

QTEST_GUILESS_MAIN(TestConclusions)
#include "tst_conclusions.moc"
