#include "db/care/changehistory.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/schemamigrations.h"
#include "db/care/trash.h"
#include "support/settingsfiles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testserver.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <memory>

using namespace kestatest;

namespace
{

// Each table's columns, lower case, sorted, and the indexed columns.
QStringList layoutOf(Database &db, const QString &table)
{
    QStringList columns;
    const QSqlRecord record = db.database().record(table);
    for (int i = 0; i < record.count(); ++i)
        columns << record.fieldName(i).toLower();
    std::sort(columns.begin(), columns.end());
    return columns;
}

} // namespace

// The server backend: its layout made on an empty database and brought
// forward, ids from its sequences.
class TestPostgres : public QObject
{
    Q_OBJECT

    TestServer *server = nullptr;

private slots:
    void initTestCase()
    {
        server = TestServer::instance();
        QVERIFY2(server, qPrintable(TestServer::startError()));
        QVERIFY(resetDataFolder());
    }

    // The embedded file's tables, columns, limits and indexes, then the same
    // steps as on the file; a second start changes nothing.
    void anEmptyDatabaseGetsTheLayout()
    {
        PatientDatabase db(server->createDatabase());
        QCOMPARE(SchemaMigrations::storedVersion(&db), 1);
        QVERIFY(db.database().tables().isEmpty());
        QString reason;
        QVERIFY2(db.isUsable(&reason), qPrintable(reason));
        QCOMPARE(SchemaMigrations::storedVersion(&db), SchemaMigrations::CurrentVersion);
        QCOMPARE(statementsOf([&] { QVERIFY(SchemaMigrations::bringUpToDate(&db)); }),
            QStringList { "SELECT Version FROM SchemaVersion" });

        PatientDatabase file(DataLocations::databaseFile());
        for (const char *table : { "Patients", "Records", "Institutions", "Operators" })
            QCOMPARE(layoutOf(db, QString(table).toLower()), layoutOf(file, table));
        QStringList indexes;
        QSqlQuery query(db.database());
        QVERIFY(query.exec("SELECT indexname FROM pg_indexes WHERE schemaname = 'public' ORDER BY 1"));
        while (query.next())
            indexes << query.value(0).toString();
        QCOMPARE(indexes,
            QStringList({ "conclusions_pkey", "history_pkey", "historypatientref", "institutions_pkey",
                "operations_pkey", "operationsdoneat", "operators_pkey", "patientidkeys_pkey", "patientidkeysidkey",
                "patients_pkey", "patientspatientid", "patientviews_pkey",
                "patientviewspatientref", "records_pkey", "recordsarchiveid",
                "recordsoperatorid", "recordspatientid", "recordsreviewerid", "removals_pkey",
                "removalsremovedat" }));
        for (AbstractDatabaseRow *row :
            std::initializer_list<AbstractDatabaseRow *> { new Patient, new Record }) {
            QList<QPair<QString, int>> schema;
            QVERIFY(query.exec("SELECT pg_get_constraintdef(oid) FROM pg_constraint WHERE contype = 'c' AND "
                               "conrelid = '"
                + row->tableName() + "'::regclass"));
            const QRegularExpression check(R"(length\(\(?(\w+)\)?\) <= (\d+))");
            while (query.next()) {
                const auto found = check.match(query.value(0).toString());
                QVERIFY2(found.hasMatch(), qPrintable(query.value(0).toString()));
                schema.append({ found.captured(1), found.captured(2).toInt() });
            }
            QList<QPair<QString, int>> declared;
            for (const auto &limit : row->columnLimits())
                declared.append({ limit.first.toLower(), limit.second });
            std::sort(schema.begin(), schema.end());
            std::sort(declared.begin(), declared.end());
            QCOMPARE(schema, declared);
            delete row;
        }

        PatientDatabase again(db.location());
        QVERIFY(again.isUsable());
        QCOMPARE(rawValue(again, "SELECT count(*) FROM SchemaVersion").toInt(), 1);
    }

    // A database holding tables of another program is not taken over.
    void aForeignDatabaseIsLeftAlone()
    {
        PatientDatabase db(server->createDatabase());
        QVERIFY(rawExec(db, "CREATE TABLE Invoices (Id integer)"));
        QString reason;
        QVERIFY(!db.isUsable(&reason));
        QVERIFY2(reason.contains("patients"), qPrintable(reason));
        QCOMPARE(db.database().tables(), QStringList { "invoices" });
    }

    // Ids come from the server's sequences, from 100: two workstations
    // inserting at the same moment never take the same one, and a text over
    // its limit is refused as the file refuses it.
    void twoWorkstationsInsertingAtOnce()
    {
        const DatabaseLocation location = server->createDatabase();
        PatientDatabase db(location);
        QVERIFY(db.isUsable());
        QCOMPARE(addPatient(db, "A17", "Petrov", "Ivan"), 100);
        QCOMPARE(addPatient(db, QString(17, 'x'), "Petrov"), -1);
        constexpr int each = 1000;
        std::atomic<int> failures { 0 };
        const auto insertMany = [&](const QString &prefix) {
            PatientDatabase own(location);
            for (int i = 0; i < each; ++i) {
                Patient fresh;
                fresh.setPatientID(prefix + QString::number(i));
                if (own.insertPatient(&fresh) <= 0)
                    ++failures;
            }
        };
        std::unique_ptr<QThread> first(QThread::create(insertMany, QStringLiteral("A")));
        std::unique_ptr<QThread> second(QThread::create(insertMany, QStringLiteral("B")));
        first->start();
        second->start();
        QVERIFY(first->wait(300000) && second->wait(300000));
        QCOMPARE(failures.load(), 0);
        QCOMPARE(rawValue(db, "SELECT count(DISTINCT AutoID) FROM Patients").toInt(), 2 * each + 1);
    }

    // The trash and the history take the server as they take the file: ids
    // from its sequences, rows back exactly, an entry for every change.
    void theTrashAndTheHistoryOnTheServer()
    {
        PatientDatabase db(server->createDatabase());
        QVERIFY(db.isUsable());
        ChangeHistory::attach(&db);
        QCOMPARE(addPatient(db, "A17", "Petrov", "Ivan", 1, QDate(1980, 5, 1)), 100);
        const QString folder = DataLocations::patientFolder("PetrovIvan_A17") + "EEG_1";
        QVERIFY(QDir().mkpath(folder));
        writeFile(folder + "/rec.edf", "EEG");
        QVERIFY(db.insertRecord(db.patientById(100), QDateTime(QDate(2024, 3, 5), QTime(14, 25)),
                    "EEG_1\\rec.edf", "EEG", QString::fromUtf8("глаза закрыты"))
            > 0);
        const QStringList rows = rawRows(db, "SELECT * FROM Patients") + rawRows(db, "SELECT * FROM Records");
        QVERIFY(Trash(&db).removePatient(db.patientById(100)));
        QVERIFY(!QFileInfo::exists(folder) && db.patients().isEmpty());
        Trash trash(&db);
        QString why;
        QVERIFY2(trash.restore(trash.removals().value(0).id, &why), qPrintable(why));
        QCOMPARE(rawRows(db, "SELECT * FROM Patients") + rawRows(db, "SELECT * FROM Records"), rows);
        QCOMPARE(readFile(folder + "/rec.edf"), QByteArray("EEG"));
        QList<ChangeHistory::Entry> entries;
        QVERIFY(ChangeHistory::entriesOfPatient(&db, 100, &entries, &why));
        QStringList kinds;
        for (const ChangeHistory::Entry &entry : entries)
            kinds.prepend(entry.kind + " " + entry.table);
        QCOMPARE(kinds,
            QStringList({ "Insert Patients", "Insert Records", "Delete Records", "Delete Patients",
                "Insert Removals", "Insert Patients", "Insert Records", "Update Removals" }));
    }
};

KESTA_TEST_MAIN(TestPostgres)
#include "tst_postgres.moc"
