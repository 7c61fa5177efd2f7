#include "db/care/changehistory.h"
#include "db/care/patientviews.h"
#include "db/model/datalocations.h"
#include "db/rows/conclusions.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/postgresdialect.h"
#include "db/storage/schemamigrations.h"
#include "db/storage/serverroles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testserver.h"
#include "toolkit/util/clock.h"

#include <QFile>
#include <QSqlQuery>

using namespace kestatest;
using Role = ServerRoles::Role;
using Action = ServerRoles::Action;

// The rights of the four roles as the server enforces them, and the history
// the server writes itself.
class TestServerRoles : public QObject
{
    Q_OBJECT

    TestServer *server = nullptr;
    const QMap<QString, Role> logins { { "olga", Role::Administrator }, { "pavel", Role::Physician },
        { "tanya", Role::Technician }, { "rita", Role::Reception } };

    static DatabaseLocation as(DatabaseLocation location, const QString &login)
    {
        location.user = login;
        return location;
    }

    // A database of the clinic's server, set up for the roles by its superuser
    // as `kesta --server-setup` would, with `statements` run first.
    DatabaseLocation clinic(const QStringList &statements = {})
    {
        const DatabaseLocation location = server->createDatabase();
        PatientDatabase superuser(location);
        for (const QString &sql : statements + ServerRoles::setupStatements())
            if (!rawExec(superuser, sql))
                qWarning() << "Not run:" << sql;
        return location;
    }

private slots:
    void initTestCase()
    {
        server = TestServer::instance();
        QVERIFY2(server, qPrintable(TestServer::startError()));
        const DatabaseLocation first = clinic();
        PatientDatabase superuser(first);
        for (auto it = logins.cbegin(); it != logins.cend(); ++it)
            QVERIFY(rawExec(superuser,
                QStringLiteral("CREATE ROLE %1 LOGIN IN ROLE %2")
                    .arg(it.key(), ServerRoles::serverName(it.value()))));
        QVERIFY(rawExec(superuser, "CREATE ROLE nobody LOGIN"));
    }

    // Each role does through the data layer what the program lets it, and the
    // server refuses the rest; the administrator's login made the layout,
    // which its role owns.
    void eachRoleMayDoWhatItsRoleAllows()
    {
        const DatabaseLocation location = clinic();
        {
            PatientDatabase olga(as(location, "olga"));
            QString reason;
            QVERIFY2(olga.isUsable(&reason), qPrintable(reason));
            QCOMPARE(ServerRoles::roleOf(&olga), Role::Administrator);
            QCOMPARE(rawRows(olga, "SELECT DISTINCT tableowner FROM pg_tables WHERE schemaname = 'public'"),
                QStringList { "QString:kesta_administrator" });
        }
        int number = 0;
        for (auto it = logins.cbegin(); it != logins.cend(); ++it) {
            const Role role = it.value();
            PatientDatabase db(as(location, it.key()));
            Conclusions::of(&db);
            QString reason;
            QVERIFY2(db.isUsable(&reason), qPrintable(reason));
            QCOMPARE(ServerRoles::of(&db)->account(), it.key());
            QCOMPARE(ServerRoles::roleOf(&db), role);
            const QString id = QStringLiteral("R%1").arg(++number);

            const int autoId = addPatient(db, id, "Petrov");
            QCOMPARE(autoId > 0, ServerRoles::allows(role, Action::NewPatient));
            Patient *patient = db.patientById(autoId);
            QVERIFY(patient);
            patient->setCity("Tver");
            QCOMPARE(db.patientById(autoId)->getCity(), QString("Tver"));

            const int recordId
                = db.insertRecord(patient, QDateTime::currentDateTime(), "r.edf", "EEG", QString());
            QVERIFY2((recordId > 0) == ServerRoles::allows(role, Action::AddRecording), qPrintable(it.key()));
            if (recordId > 0) {
                std::unique_ptr<Record> record(db.loadRecord(recordId));
                QCOMPARE(Conclusions::of(&db)->write(record.get(), "Normal"),
                    ServerRoles::allows(role, Action::WriteConclusion));
            }
            QCOMPARE(
                db.insertValues("Removals", "RemovalID",
                    { { "RemovalID", 900 + number }, { "RemovedAt", "2024-01-01" }, { "Kind", "Patient" } }),
                ServerRoles::allows(role, Action::RemoveToTrash));
            QString why;
            const bool removed = db.deleteValues("Patients", "AutoID", autoId, {}, &why);
            QCOMPARE(removed, ServerRoles::allows(role, Action::RemoveToTrash));
            // A refusal says that it was the role's rights.
            QVERIFY2(ServerRoles::rightsNote(&db, why).isEmpty() == removed, qPrintable(why));
            if (role == Role::Physician) {
                QVERIFY(!db.deleteValues("Removals", "RemovalID", 900 + number, {}));
                QVERIFY(!ServerRoles::allows(role, Action::PurgeTrash));
            }
        }
        PatientDatabase olga(as(location, "olga"));
        QVERIFY(olga.isUsable());
        QVERIFY(olga.deleteValues("Removals", "RemovalID", 902, {}));
    }

    // The trigger writes the history with the server's login and the client's
    // address, as the program reads it; nobody but the administrator changes it.
    void theServerWritesTheHistory()
    {
        const DatabaseLocation location = clinic();
        PatientDatabase olga(as(location, "olga"));
        QVERIFY(olga.isUsable());
        PatientDatabase pavel(as(location, "pavel"));
        QVERIFY(pavel.isUsable());
        const int autoId = addPatient(pavel, "H1", "Petrov", "Ivan");
        QVERIFY(autoId > 0);
        pavel.patientById(autoId)->setSex(Patient::Gender_Female);
        pavel.patientById(autoId)->setLastName("Petrova");

        QList<ChangeHistory::Entry> entries;
        QVERIFY(ChangeHistory::entriesOfPatient(&pavel, autoId, &entries));
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries.at(0).column, QString("LastName"));
        QCOMPARE(entries.at(0).oldValue + '>' + entries.at(0).newValue, QString("Petrov>Petrova"));
        QCOMPARE(entries.at(1).newValue, QString("Gender_Female"));
        QCOMPARE(entries.at(2).kind, QString("Insert"));
        QVERIFY2(
            entries.at(2).newValue.contains(R"("LastName": "Petrov")"), qPrintable(entries.at(2).newValue));
        for (const ChangeHistory::Entry &entry : entries) {
            QCOMPARE(entry.user + '@' + entry.workstation, QString("pavel@127.0.0.1"));
            QVERIFY(qAbs(entry.changedAt.secsTo(QDateTime::currentDateTimeUtc())) < 600);
        }

        for (const char *forged : { "UPDATE History SET UserName = 'olga'", "DELETE FROM History",
                 "INSERT INTO History (ChangedAt, ChangeKind, TableName, ChangedRowID) VALUES ('x', "
                 "'Update', 'Patients', 1)" })
            QVERIFY2(!rawExec(pavel, forged), forged);
        QCOMPARE(rawValue(olga, "SELECT count(*) FROM History WHERE UserName = 'pavel'").toInt(), 3);
    }

    // A non-administrator meeting an older layout, or an account of no role,
    // changes nothing and is told who can; the administrator then brings it
    // forward for everyone.
    void anOlderLayoutWaitsForTheAdministrator()
    {
        QFile schema(":/resources/schema.sql");
        QVERIFY(schema.open(QIODevice::ReadOnly));
        const DatabaseLocation location
            = clinic(PostgresDialect().layoutStatements(QString::fromUtf8(schema.readAll()), 100));
        for (const char *login : { "pavel", "nobody" }) {
            PatientDatabase db(as(location, login));
            QString reason;
            QVERIFY(!db.isUsable(&reason));
            QVERIFY2(
                reason.contains(login == QString("nobody") ? "none of Kesta's roles" : "start Kesta once"),
                qPrintable(reason));
            QCOMPARE(SchemaMigrations::storedVersion(&db), 1);
        }
        PatientDatabase olga(as(location, "olga"));
        QVERIFY(olga.isUsable());
        PatientDatabase pavel(as(location, "pavel"));
        QVERIFY(pavel.isUsable());
        QCOMPARE(SchemaMigrations::storedVersion(&pavel), SchemaMigrations::CurrentVersion);
        QVERIFY(addPatient(pavel, "L1", "Lebedev") > 0);
    }

    // Who opened a card is noted once per patient, workstation and ten
    // minutes, by the server, and read by the administrator alone.
    void whoLookedIsNotedForTheAdministrator()
    {
        const DatabaseLocation location = clinic();
        PatientDatabase olga(as(location, "olga"));
        QVERIFY(olga.isUsable());
        PatientDatabase pavel(as(location, "pavel"));
        QVERIFY(pavel.isUsable());
        const int autoId = addPatient(pavel, "V1", "Volkov");
        for (const char *workstation : { "ward-1", "ward-1", "ward-2" })
            QVERIFY(PatientViews::note(&pavel, autoId, workstation));
        QList<PatientViews::View> views;
        QVERIFY(!PatientViews::read(&pavel, &views));
        QVERIFY(PatientViews::read(&olga, &views));
        QCOMPARE(views.size(), 2);
        QCOMPARE(views.at(0).workstation + ' ' + views.at(1).workstation, QString("ward-2 ward-1"));
        QCOMPARE(views.at(0).user + ' ' + views.at(0).address, QString("pavel 127.0.0.1"));
        QCOMPARE(views.at(0).patient, qint64(autoId));

        // A file database notes them itself, with the workstation's clock.
        QVERIFY(resetDataFolder());
        PatientDatabase file(DataLocations::databaseFile());
        QVERIFY(file.isUsable());
        Clock::setTestTime(QDateTime::currentDateTimeUtc());
        for (int step = 0; step < 3; ++step) {
            QVERIFY(PatientViews::note(&file, 100, "ward-1"));
            Clock::advance(step == 0 ? 60 * 1000 : PatientViews::QuietSeconds * 1000);
        }
        Clock::useSystemTime();
        QCOMPARE(rawValue(file, "SELECT count(*) FROM PatientViews").toInt(), 2);
    }
};

KESTA_TEST_MAIN(TestServerRoles)
#include "tst_serverroles.moc"
