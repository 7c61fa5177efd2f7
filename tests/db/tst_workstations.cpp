#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/patientstore.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testserver.h"
#include "db/care/trash.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QThread>
#include <memory>

using namespace kestatest;

// Two workstations on one server, each with a Database of its own: what one
// changes the other sees, and neither overwrites the other unawares.
class TestWorkstations : public QObject
{
    Q_OBJECT

    TestServer *server = nullptr;
    std::unique_ptr<Database> first;
    std::unique_ptr<Database> second;

    QVariant stored(const QString &column, int id = 100)
    {
        return rawValue(
            *first, QStringLiteral("SELECT %1 FROM Patients WHERE AutoID=%2").arg(column).arg(id));
    }

private slots:
    void initTestCase()
    {
        server = TestServer::instance();
        QVERIFY2(server, qPrintable(TestServer::startError()));
        qRegisterMetaType<Record *>();
    }
    void init()
    {
        const DatabaseLocation location = server->createDatabase();
        first = std::make_unique<PatientDatabase>(location);
        second = std::make_unique<PatientDatabase>(location);
        QVERIFY(first->isUsable() && second->isUsable());
        QCOMPARE(addPatient(*first, "A17", "Petrov", "Ivan", 0, QDate(1980, 5, 1), "Tver"), 100);
        QVERIFY(second->reloadPatients());
    }
    void cleanup()
    {
        second.reset();
        first.reset();
    }

    // Every change committed on one workstation shows on the other, in the
    // objects its views hold, without reading the list anew.
    void changesShowOnTheOtherWorkstation()
    {
        Patient *theirs = second->patientById(100);
        QSignalSpy listChanged(second.get(), &Database::patientsChanged);
        QCOMPARE(addPatient(*first, "B2", "Smirnova", "Anna"), 101);
        QTRY_VERIFY(second->patientById(101));
        QCOMPARE(listChanged.count(), 1);
        QCOMPARE(second->patientById(100), theirs);
        QCOMPARE(second->patientById(101)->getLastName(), QStringLiteral("Smirnova"));

        Patient *mine = first->patientById(100);
        QSignalSpy cityShown(theirs, &Patient::changedCity);
        QVERIFY(mine->setValue("City", "Moscow"));
        QTRY_COMPARE(theirs->getCity(), QStringLiteral("Moscow"));
        QCOMPARE(cityShown.count(), 1);

        // The recorder's new recording and its comment, then the record's removal.
        QVERIFY(theirs->records().isEmpty());
        QSignalSpy added(theirs, &Patient::recordAdded);
        const int recordId = first->insertRecord(
            mine, QDateTime(QDate(2024, 3, 5), QTime(14, 5)), "EEG_1\\a.edf", "EEG", "");
        QTRY_COMPARE(added.count(), 1);
        Record *record = theirs->records().value(0);
        QVERIFY(record && record->getId() == recordId);
        QVERIFY(mine->records().first()->setValue("Comments", "Sleep"));
        QTRY_COMPARE(record->getComments(), QStringLiteral("Sleep"));
        QVERIFY(Trash(first.get()).removeRecord(mine, mine->records().first()));
        QTRY_VERIFY(theirs->records().isEmpty());

        // A new ID takes the records along there too.
        QVERIFY(first->insertRecord(mine, QDateTime(), "b.edf", "EEG", "") > 0);
        QTRY_COMPARE(theirs->records().size(), 1);
        QVERIFY(mine->setValue("PatientID", "A18"));
        QTRY_COMPARE(theirs->getPatientID(), QStringLiteral("A18"));
        QCOMPARE(theirs->records().size(), 1);

        QVERIFY(Trash(first.get()).removePatient(first->patientById(101)));
        QTRY_VERIFY(!second->patientById(101));
        QCOMPARE(second->patients().size(), 1);
        QCOMPARE(listChanged.count(), 2);
    }

    // The server goes away during work: every write is refused and nothing
    // of a write lands half; once it is back, writing works again without a
    // restart, and the other workstation catches up with what it missed.
    void theServerGoesAwayAndComesBack()
    {
        Patient *mine = first->patientById(100);
        QSignalSpy refused(first.get(), &Database::writeFailed);
        {
            Database::Transaction write(first.get());
            QVERIFY(mine->setValue("Street", "Lenina 1"));
            QVERIFY(server->stop());
            QVERIFY(!mine->setValue("Phone", "555"));
            QVERIFY(!write.commit());
        }
        QCOMPARE(mine->getStreet(), QString());
        QVERIFY(!mine->setValue("City", "Kazan"));
        QCOMPARE(mine->getCity(), QStringLiteral("Tver"));
        QCOMPARE(refused.count(), 2);
        QCOMPARE(addPatient(*first, "B2", "Smirnova"), -1);

        QVERIFY(server->start());
        QVERIFY(mine->setValue("City", "Kazan"));
        QCOMPARE(stored("City").toString() + stored("Street").toString() + stored("Phone").toString(),
            QStringLiteral("Kazan  "));
        QCOMPARE(addPatient(*first, "B2", "Smirnova"), 101);
        QTRY_VERIFY_WITH_TIMEOUT(second->patientById(101), 20000);
        QCOMPARE(second->patientById(100)->getCity(), QStringLiteral("Kazan"));
    }

    // The UPDATE holds only while the stored value is the one shown: the
    // later edit writes nothing, names the value stored meanwhile, and its
    // row shows that value again.
    void theLaterEditOfAColumnIsRefused()
    {
        Patient *mine = first->patientById(100);
        Patient *theirs = second->patientById(100);
        QStringList statements = statementsOf([&] { QVERIFY(mine->setValue("City", "Moscow")); });
        QCOMPARE(statements,
            QStringList({ "UPDATE Patients SET City='Moscow' WHERE AutoID=100 AND City='Tver'",
                "SELECT pg_notify('kesta_changes', 'Patients U 100')",
                "INSERT INTO Operations (OperationID, DoneAt) VALUES (?, ?)" }));

        QSignalSpy refused(second.get(), &Database::writeFailed);
        QVERIFY(!theirs->setValue("City", "Kazan"));
        QCOMPARE(QList<QVariantList>(refused),
            QList<QVariantList>({ { "City", "Another workstation has changed it meanwhile to: Moscow" } }));
        QCOMPARE(stored("City").toString(), QStringLiteral("Moscow"));
        QTRY_COMPARE(theirs->getCity(), QStringLiteral("Moscow"));

        // Stored as another program writes it (NULL for an empty text, a small
        // letter): no conflict, the edit lands.
        QVERIFY(rawExec(*first, "UPDATE Patients SET Street=NULL, Sex='m' WHERE AutoID=100"));
        second->refreshRow(theirs);
        QCOMPARE(theirs->getSex(), Patient::Gender_Male);
        QVERIFY(theirs->setValue("Street", "Lenina 1"));
        QVERIFY(theirs->setValue("Sex", Patient::Gender_Female));
        QCOMPARE(stored("Street").toString() + stored("Sex").toString(), QStringLiteral("Lenina 1F"));

        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^NOT SET"));
        QVERIFY(Trash(first.get()).removePatient(mine));
        QVERIFY(!theirs->setValue("City", "Omsk"));
        QCOMPARE(refused.last().last().toString(),
            QStringLiteral("Another workstation has removed this entry meanwhile"));
    }

    // An edit saves the columns the user changed, checked against what the
    // form showed: a column another workstation changed meanwhile is kept,
    // and one both changed is refused, with the whole edit.
    void aSavedFormKeepsTheOtherWorkstationsColumns()
    {
        Patient *theirs = second->patientById(100);
        std::unique_ptr<Patient> shown(theirs->clone());
        std::unique_ptr<Patient> edited(theirs->clone());
        edited->setPhone("555");
        QVERIFY(first->patientById(100)->setValue("Street", "Lenina 1"));
        second->refreshRow(theirs);
        QVERIFY(PatientStore(second.get()).save(100, edited.get(), shown.get()).saved());
        QCOMPARE(stored("Street").toString() + stored("Phone").toString(), QStringLiteral("Lenina 1555"));

        shown.reset(theirs->clone());
        edited.reset(theirs->clone());
        edited->setCity("Kazan");
        edited->setFirstName("Petr");
        QVERIFY(first->patientById(100)->setValue("City", "Moscow"));
        const PatientStore::Outcome refused = PatientStore(second.get()).save(100, edited.get(), shown.get());
        QVERIFY(!refused.saved() && !refused.folderNotRenamed);
        QCOMPARE(refused.refusal, QStringLiteral("Another workstation has changed it meanwhile to: Moscow"));
        QCOMPARE(stored("City").toString() + stored("FirstName").toString(), QStringLiteral("MoscowIvan"));
    }

    // Two workstations save one new ID (in look-alike forms) at the same
    // moment, again and again: one is stored, the other refused naming it.
    void oneIdIsStoredOnceAcrossWorkstations()
    {
        const DatabaseLocation location = first->location();
        for (int round = 0; round < 12; ++round) {
            const QString id = QStringLiteral("Z%1").arg(round);
            QSemaphore ready;
            QSemaphore go;
            PatientStore::Outcome outcomes[2];
            const auto save = [&](int n) {
                PatientDatabase workstation(location);
                const bool usable = workstation.isUsable();
                Patient values;
                values.setPatientID(n == 0 ? id : id.toLower());
                values.setLastName(n == 0 ? QStringLiteral("Left") : QStringLiteral("Right"));
                ready.release();
                go.acquire();
                if (usable)
                    outcomes[n] = PatientStore(&workstation).create(&values);
            };
            std::unique_ptr<QThread> left(QThread::create(save, 0));
            std::unique_ptr<QThread> right(QThread::create(save, 1));
            left->start();
            right->start();
            ready.acquire(2);
            go.release(2);
            QVERIFY(left->wait(60000) && right->wait(60000));
            QCOMPARE(int(outcomes[0].saved()) + int(outcomes[1].saved()), 1);
            const PatientStore::Outcome &refused = outcomes[0].saved() ? outcomes[1] : outcomes[0];
            QVERIFY2(refused.refusal.startsWith("This patient id is already used: ")
                    && refused.refusal.contains(outcomes[0].saved() ? "Left" : "Right"),
                qPrintable(refused.refusal));
        }
        QCOMPARE(rawValue(*first, "SELECT count(*) FROM Patients").toInt(), 13);
    }
};

KESTA_TEST_MAIN(TestWorkstations)
#include "tst_workstations.moc"
