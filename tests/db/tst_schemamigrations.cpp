#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/care/trash.h"
#include "db/storage/patientstore.h"
#include "db/storage/schemamigrations.h"
#include "support/settingsfiles.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QRegularExpression>
#include <algorithm>

using namespace kestatest;

// The layout's version: the empty template brought forward, a second run that
// changes nothing, a newer database refused and left exactly as it is.
class TestSchemaMigrations : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(resetDataFolder()); }

    void theTemplateIsBroughtForwardOnce()
    {
        const QString path = DataLocations::databaseFile();
        PatientDatabase db(path);
        QCOMPARE(SchemaMigrations::storedVersion(&db), 1);
        QVERIFY(db.isUsable());
        QCOMPARE(SchemaMigrations::storedVersion(&db), SchemaMigrations::CurrentVersion);
        QCOMPARE(rawValue(db, "SELECT count(*) FROM SchemaVersion").toInt(), 1);
        // On a local disk, a commit flushes one log.
        QCOMPARE(rawValue(db, "PRAGMA journal_mode").toString(), QStringLiteral("wal"));

        const QByteArray migrated = readFile(path);
        QStringList statements = statementsOf([&] { QVERIFY(SchemaMigrations::bringUpToDate(&db)); });
        QCOMPARE(statements, QStringList { "SELECT Version FROM SchemaVersion" });
        QCOMPARE(readFile(path), migrated);
    }

    // The limits the dialog checks are the ones the database enforces.
    void columnLimitsAreTheSchemas()
    {
        PatientDatabase db(DataLocations::databaseFile());
        const QRegularExpression check(R"(\b(\w+)\s+\w+\s+CHECK \(length\(\1\) <= (\d+)\))");
        for (AbstractDatabaseRow *row : std::initializer_list<AbstractDatabaseRow *> { new Patient, new Record }) {
            const QString sql
                = rawValue(db, "SELECT sql FROM sqlite_master WHERE name='" + row->tableName() + "'").toString();
            QList<QPair<QString, int>> schema;
            for (auto match = check.globalMatch(sql); match.hasNext();) {
                const QRegularExpressionMatch found = match.next();
                schema.append({ found.captured(1), found.captured(2).toInt() });
            }
            std::sort(schema.begin(), schema.end());
            QList<QPair<QString, int>> declared = row->columnLimits();
            std::sort(declared.begin(), declared.end());
            QVERIFY(!schema.isEmpty());
            QCOMPARE(declared, schema);
            delete row;
        }
    }

    void aNewerDatabaseIsRefusedUntouched()
    {
        const QString path = DataLocations::databaseFile();
        {
            OtherConnection other(path);
            QVERIFY(other.exec("CREATE TABLE SchemaVersion (Version INTEGER NOT NULL)")
                && other.exec("INSERT INTO SchemaVersion (Version) VALUES (70)"));
        }
        const QByteArray before = readFile(path);
        PatientDatabase db(path);
        QString reason;
        QVERIFY(!db.isUsable(&reason));
        QVERIFY2(reason.contains("layout version 70") && reason.contains(QString::number(SchemaMigrations::CurrentVersion)),
            qPrintable(reason));
        QVERIFY(db.patients().isEmpty());
        QCOMPARE(readFile(path), before);
    }

    // The ID rule looks keys up: an older database gets them for the rows it
    // holds (look-alikes it holds already stay), and every later write of an
    // ID keeps its key, so that what is refused stays the same.
    void patientIdKeysFollowTheIds()
    {
        const QString path = DataLocations::databaseFile();
        {
            OtherConnection other(path);
            QVERIFY(other.exec("INSERT INTO Patients (AutoID, PatientID, LastName) VALUES (100, 'A17', 'Petrov')")
                && other.exec("INSERT INTO Patients (AutoID, PatientID, LastName) VALUES (101, 'a 17', 'Sidorov')")
                && other.exec("INSERT INTO Patients (AutoID, PatientID, LastName) VALUES (102, 'B2', 'Ivanova')"));
        }
        PatientDatabase db(path);
        QVERIFY(db.isUsable());
        QCOMPARE(rawValue(db, "SELECT count(DISTINCT IdKey) || '/' || count(*) FROM PatientIdKeys").toString(),
            QStringLiteral("2/3"));
        const auto create = [&](const QString &id) {
            Patient values;
            values.setPatientID(id);
            values.setLastName("New");
            return PatientStore(&db).create(&values);
        };
        QVERIFY(create(QString(QChar(0x0410)) + "17").refusal.contains("already used"));
        QVERIFY(db.patientById(102)->setValue("PatientID", "C3"));
        QVERIFY(create("c3").refusal.contains("Ivanova"));
        const int b2 = create("b2").autoId;
        QVERIFY(b2 > 0);
        QVERIFY(create(" b 2").refusal.contains("New"));
        QString why;
        QVERIFY2(Trash(&db).removePatient(db.patientById(b2), &why), qPrintable(why));
        QVERIFY(create("B2").saved());
    }
};

KESTA_TEST_MAIN(TestSchemaMigrations)
#include "tst_schemamigrations.moc"
