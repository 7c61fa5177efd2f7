#include "db/accessdialect.h"
#include "db/database.h"
#include "db/sqlitedialect.h"
#include "support/testenvironment.h"

#include <QDateTime>

// Date literals of both backends and the text rules shared by every statement.
class TestSqlDialect : public QObject
{
    Q_OBJECT
private slots:
    void accessLiteral_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("literal");
        QTest::newRow("date-time") << QVariant(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)))
                                   << "'05/03/2024 14:05:09'";
        QTest::newRow("date alone") << QVariant(QDate(2024, 3, 5)) << "'05/03/2024 00:00:00'";
        QTest::newRow("birth date") << QVariant(QDate(1980, 5, 1)) << "'01/05/1980 00:00:00'";
        QTest::newRow("milliseconds dropped")
            << QVariant(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59, 999))) << "'31/12/1999 23:59:59'";
        QTest::newRow("invalid date") << QVariant(QDate()) << "NULL";
        QTest::newRow("invalid date-time") << QVariant(QDateTime()) << "NULL";
        QTest::newRow("not a date") << QVariant(QStringLiteral("2024-03-05")) << "NULL";
        QTest::newRow("nothing") << QVariant() << "NULL";
    }
    void accessLiteral()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, literal);
        QCOMPARE(Database::sqlDateTime(value), literal);
        QCOMPARE(AccessDialect().dateLiteral(value), literal);
    }

    void sqliteLiteral_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("literal");
        QTest::newRow("date-time") << QVariant(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)))
                                   << "'2024-03-05T14:05:09'";
        QTest::newRow("date") << QVariant(QDate(1980, 5, 1)) << "'1980-05-01'";
        QTest::newRow("invalid date") << QVariant(QDate()) << "NULL";
        QTest::newRow("invalid date-time") << QVariant(QDateTime()) << "NULL";
        QTest::newRow("text") << QVariant(QStringLiteral("1980-05-01")) << "NULL";
    }
    void sqliteLiteral()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, literal);
        QCOMPARE(SqliteDialect().dateLiteral(value), literal);
    }

    void connectionDescriptions()
    {
        AccessDialect access;
        QCOMPARE(access.driverName(), QStringLiteral("QODBC"));
        QCOMPARE(access.databaseName(QStringLiteral("C:\\Orvalis Data\\patients.mdb")),
            QStringLiteral(
                "DRIVER={Microsoft Access Driver (*.mdb)};DSN='';DBQ=C:\\Orvalis Data\\patients.mdb"));

        // Characters that mean something in a URI stay part of the path.
        SqliteDialect sqlite;
        QCOMPARE(sqlite.driverName(), QStringLiteral("QSQLITE"));
        QCOMPARE(sqlite.databaseName(QStringLiteral("/home/a b/x?y#z%.sqlite")),
            QStringLiteral("file:///home/a%20b/x%3Fy%23z%25.sqlite?mode=rw"));
    }

    void quoting()
    {
        QCOMPARE(Database::quoted(QStringLiteral("Tver")), QStringLiteral("'Tver'"));
        QCOMPARE(Database::quoted(QStringLiteral("O'Brien")), QStringLiteral("'O''Brien'"));
        QCOMPARE(Database::quoted(QStringLiteral("''")), QStringLiteral("''''''"));
        QCOMPARE(Database::quoted(QString()), QStringLiteral("''"));
    }

    void statementShapes()
    {
        QCOMPARE(Database::highestIdStatement("Patients", "AutoID"),
            QStringLiteral("SELECT AutoID from Patients ORDER BY AutoID DESC"));
        QCOMPARE(Database::patientIdsStatement(), QStringLiteral("SELECT AutoID from Patients"));
        QCOMPARE(Database::insertStatement("Records", { "RecordID", "PatientID" }, { "101", "'A17'" }),
            QStringLiteral("INSERT into Records (RecordID, PatientID) VALUES (101, 'A17')"));
        QCOMPARE(
            Database::removePatientStatement(104), QStringLiteral("DELETE from Patients where AutoID=104"));
        QCOMPARE(Database::readColumnStatement("Patients", "LastName", "AutoID", 104),
            QStringLiteral("SELECT LastName from Patients where AutoID=104"));
        QCOMPARE(Database::writeColumnStatement("Patients", "City", "'Tver'", "AutoID", 104),
            QStringLiteral("UPDATE Patients SET City='Tver' WHERE AutoID=104"));
        QCOMPARE(Database::recordsOfPatientStatement("A17"),
            QStringLiteral("SELECT RecordID from Records where PatientID='A17'"));
        QCOMPARE(Database::recordsOfPatientStatement("x' OR '1'='1"),
            QStringLiteral("SELECT RecordID from Records where PatientID='x'' OR ''1''=''1'"));
        QCOMPARE(
            Database::removeRecordStatement(230), QStringLiteral("DELETE from Records where RecordID=230"));
    }
};

KESTA_TEST_MAIN(TestSqlDialect)
#include "tst_sqldialect.moc"
