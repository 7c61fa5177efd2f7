#include "db/database.h"
#include "db/patient.h"
#include "db/record.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testserver.h"

#include <QSignalSpy>
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
    }
    void init()
    {
        const DatabaseLocation location = server->createDatabase();
        first = std::make_unique<Database>(location);
        second = std::make_unique<Database>(location);
        QVERIFY(first->isUsable() && second->isUsable());
        QCOMPARE(addPatient(*first, "A17", "Petrov", "Ivan", 0, QDate(1980, 5, 1), "Tver"), 100);
        QVERIFY(second->reloadPatients());
    }
    void cleanup()
    {
        second.reset();
        first.reset();
    }

    // The UPDATE holds only while the stored value is the one shown: the
    // later edit writes nothing, names the value stored meanwhile, and its
    // row shows that value again.
    void theLaterEditOfAColumnIsRefused()
    {
        Patient *mine = first->patientById(100);
        Patient *theirs = second->patientById(100);
        QStringList statements = statementsOf([&] { QVERIFY(mine->setValue("City", "Moscow")); });
        QCOMPARE(
            statements, QStringList { "UPDATE Patients SET City='Moscow' WHERE AutoID=100 AND City='Tver'" });

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
        QVERIFY(first->removePatient(mine));
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
        QVERIFY(theirs->copyFrom(edited.get(), shown.get()));
        QCOMPARE(stored("Street").toString() + stored("Phone").toString(), QStringLiteral("Lenina 1555"));

        shown.reset(theirs->clone());
        edited.reset(theirs->clone());
        edited->setCity("Kazan");
        edited->setFirstName("Petr");
        QVERIFY(first->patientById(100)->setValue("City", "Moscow"));
        {
            Database::Transaction write(second.get());
            QVERIFY(!theirs->copyFrom(edited.get(), shown.get()));
            QVERIFY(!write.commit());
        }
        QCOMPARE(stored("City").toString() + stored("FirstName").toString(), QStringLiteral("MoscowIvan"));
    }
};

KESTA_TEST_MAIN(TestWorkstations)
#include "tst_workstations.moc"
