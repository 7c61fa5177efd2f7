#include "db/care/changehistory.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/care/trash.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/workstation.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <memory>

using namespace kestatest;

// The history: an entry for every kind of change, in the change's own
// transaction, none for a refused one, and nothing but inserts into it.
class TestChangeHistory : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;

    QStringList entries(int autoId = 100)
    {
        QList<ChangeHistory::Entry> found;
        QString why;
        if (!ChangeHistory::entriesOfPatient(db.get(), autoId, &found, &why))
            return { why };
        QStringList lines;
        for (const ChangeHistory::Entry &entry : found) {
            QString line = entry.kind + " " + entry.table + " " + QString::number(entry.rowId);
            if (!entry.column.isEmpty())
                line += " " + entry.column + ": " + entry.oldValue + " -> " + entry.newValue;
            lines.prepend(line);
        }
        return lines;
    }
    int count() { return rawValue(*db, "SELECT count(*) FROM History").toInt(); }

private slots:
    void init()
    {
        QVERIFY(resetDataFolder());
        db = std::make_unique<PatientDatabase>(DataLocations::databaseFile());
        QVERIFY(db->isUsable());
        ChangeHistory::attach(db.get());
        Clock::setTestTime(QDateTime(QDate(2024, 5, 10), QTime(9, 30), Qt::UTC));
    }
    void cleanup() { db.reset(); }

    void everyKindOfChange()
    {
        QStringList statements = statementsOf([&] {
            QCOMPARE(addPatient(*db, "A17", "Petrov", "Ivan", 1, QDate(1980, 5, 1)), 100);
            Patient *patient = db->patientById(100);
            patient->setCity(QString::fromUtf8("Тверь"));
            patient->setSex(Patient::Gender_Female);
            // The recorder's recording and its comment.
            QVERIFY(db->insertRecord(
                        patient, QDateTime(QDate(2024, 3, 5), QTime(14, 25)), "EEG_1\\a.edf", "EEG", "")
                > 0);
            patient->records().first()->setComments("eyes closed");
            patient->setPatientID("A18");
            QVERIFY(Trash(db.get()).removePatient(patient));
            Trash trash(db.get());
            const int removal = trash.removals().first().id;
            QVERIFY(trash.restore(removal));
            QVERIFY(trash.purge(removal));
        });
        QCOMPARE(entries(),
            QStringList({ "Insert Patients 100", "Update Patients 100 City:  -> Тверь",
                "Update Patients 100 Sex: Gender_Male -> Gender_Female", "Insert Records 100",
                "Update Records 100 Comments:  -> eyes closed", "Update Patients 100 PatientID: A17 -> A18",
                "Update Records 100 PatientID: A17 -> A18", "Delete Records 100", "Delete Patients 100",
                "Insert Removals 100", "Insert Patients 100", "Insert Records 100",
                "Update Removals 100 RestoredAt:  -> 2024-05-10T09:30:00.000Z", "Delete Removals 100" }));
        for (const QString &statement : statements) {
            if (statement.contains("History"))
                QVERIFY2(statement.startsWith("INSERT INTO History") || statement.startsWith("SELECT"),
                    qPrintable(statement));
        }

        // Who, where, when; a whole row as its columns.
        QCOMPARE(rawRows(*db, "SELECT ChangedAt, Workstation, UserName FROM History WHERE HistoryID=100"),
            QStringList { "QString:2024-05-10T09:30:00.000Z|QString:" + Workstation::hostName()
                + "|QString:" + Workstation::userName() });
        const QJsonObject inserted = QJsonDocument::fromJson(
            rawValue(*db, "SELECT NewValue FROM History WHERE HistoryID=100").toByteArray())
                                         .object();
        QCOMPARE(inserted.value("LastName").toString(), QString("Petrov"));
        QCOMPARE(inserted.value("DOB").toString(), QString("1980-05-01"));
        QVERIFY(inserted.value("MiddleName").toString().isEmpty());
    }

    // A write the database refuses leaves no entry; nor does one whose history
    // cannot be written, which is refused itself.
    void refusedWritesLeaveNoEntry()
    {
        QCOMPARE(addPatient(*db, "A17", "Petrov"), 100);
        Patient *patient = db->patientById(100);
        QVERIFY(rawExec(
            *db, "CREATE TRIGGER keep BEFORE UPDATE ON Patients BEGIN SELECT RAISE(ABORT, 'kept'); END"));
        const int before = count();
        QVERIFY(!patient->setValue("City", "Tver"));
        QVERIFY(!patient->setValue("PatientID", "A18"));
        QCOMPARE(count(), before);

        QVERIFY(rawExec(*db, "DROP TRIGGER keep"));
        QVERIFY(rawExec(
            *db, "CREATE TRIGGER full BEFORE INSERT ON History BEGIN SELECT RAISE(ABORT, 'full'); END"));
        QVERIFY(!patient->setValue("City", "Tver"));
        QCOMPARE(rawValue(*db, "SELECT City FROM Patients").toString().trimmed(), QString());
        QCOMPARE(count(), before);
    }
};

KESTA_TEST_MAIN(TestChangeHistory)
#include "tst_changehistory.moc"
