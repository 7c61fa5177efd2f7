// How long moving in takes, each beside its floor in the same run.
//
//     importbench [patients] [records-per-patient] [--rounds N]
//     importbench --server [patients] [records-per-patient]
//
// Without --server: a CSV pair in the program's own layout (10,000 patients
// with 10 records each by default) imported into an empty local database
// (Importer: reading, the check, the write with its history), beside a bare
// insert of the same rows through the same write path (one transaction, new
// ids, the history hook), alternating, N rounds (3), medians and their ratio;
// then every table of the Access test file read through MDB Tools' library.
// With --server (100,000 x 10 by default): a local database moved onto a
// private PostgreSQL server (DatabaseCopy, rows checked on both sides) beside
// psql loading a pg_dump of the same rows into another empty database.
// Run it from a Release build.

#include "db/care/changehistory.h"
#include "db/care/databasecopy.h"
#include "db/model/datalocations.h"
#include "db/moving/importer.h"
#include "db/moving/importsource.h"
#include "db/storage/patientdatabase.h"
#include "support/testserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

namespace
{

QTextStream out(stdout);

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

bool writeCsvPair(const QString &folder, int patients, int recordsEach)
{
    QFile p(folder + QStringLiteral("/Patients.csv"));
    QFile r(folder + QStringLiteral("/Records.csv"));
    if (!p.open(QIODevice::WriteOnly) || !r.open(QIODevice::WriteOnly))
        return false;
    QTextStream ps(&p);
    QTextStream rs(&r);
    ps.setCodec("UTF-8");
    rs.setCodec("UTF-8");
    ps << "PatientID,LastName,FirstName,MiddleName,Sex,DOB,City,Diagnosis\n";
    rs << "PatientID,RecordDate,FileName,RecordType,Comments\n";
    for (int i = 0; i < patients; ++i) {
        ps << "P" << i << ",Иванов" << i << ",Пётр,Сергеевич," << (i % 2 ? "M" : "F") << ","
           << QDate(1950, 1, 1).addDays(i % 20000).toString(Qt::ISODate) << ",Тверь,\"G40.1, ночные\"\n";
        for (int k = 0; k < recordsEach; ++k)
            rs << "P" << i << ","
               << QDateTime(QDate(2020, 1, 1).addDays(k), QTime(9, 30)).toString(Qt::ISODate) << ",EEG_" << k
               << "\\rec.edf,EEG,comment " << k << "\n";
    }
    return true;
}

// A fresh data folder with the empty database and its history attached.
std::unique_ptr<PatientDatabase> emptyDatabase(const QString &folder)
{
    QDir(folder).removeRecursively();
    DataLocations::setDataFolder(folder);
    if (DataLocations::prepareDataFolders() != DataLocations::DatabaseFileState::Created)
        return nullptr;
    auto db = std::make_unique<PatientDatabase>(DataLocations::databaseFile());
    ChangeHistory::attach(db.get());
    return db->isUsable() ? std::move(db) : nullptr;
}

double importOnce(const QString &csv, const QString &folder, int *patients)
{
    auto db = emptyDatabase(folder);
    QElapsedTimer timer;
    timer.start();
    QString reason;
    auto source = ImportSource::open(csv, &reason);
    bool own = false;
    Importer importer(db.get(), source.get(), ImportMapping::automatic(*source, &own));
    Importer::Plan plan;
    Importer::Report report;
    if (!importer.check(&plan, &reason) || !importer.write(plan, nullptr, &report, &reason)) {
        out << "import failed: " << reason << "\n";
        return -1;
    }
    *patients = report.patients;
    return timer.elapsed() / 1000.0;
}

// The floor: the same rows, already typed, through the same write path.
double bareOnce(const QString &folder, int patients, int recordsEach)
{
    auto db = emptyDatabase(folder);
    QElapsedTimer timer;
    timer.start();
    Database::Transaction write(db.get(), true);
    for (int i = 0; i < patients; ++i) {
        const int id = db->newId(QStringLiteral("Patients"), QStringLiteral("AutoID"));
        const QString patientId = QStringLiteral("P%1").arg(i);
        db->insertValues(QStringLiteral("Patients"), QStringLiteral("AutoID"),
            { { QStringLiteral("AutoID"), id }, { QStringLiteral("PatientID"), patientId },
                { QStringLiteral("LastName"), QStringLiteral("Иванов%1").arg(i) },
                { QStringLiteral("FirstName"), QStringLiteral("Пётр") },
                { QStringLiteral("MiddleName"), QStringLiteral("Сергеевич") },
                { QStringLiteral("Sex"), i % 2 ? QStringLiteral("M") : QStringLiteral("F") },
                { QStringLiteral("DOB"), QDate(1950, 1, 1).addDays(i % 20000) },
                { QStringLiteral("City"), QStringLiteral("Тверь") },
                { QStringLiteral("Diagnosis"), QStringLiteral("G40.1, ночные") } });
        for (int k = 0; k < recordsEach; ++k) {
            const int recordId = db->newId(QStringLiteral("Records"), QStringLiteral("RecordID"));
            db->insertValues(QStringLiteral("Records"), QStringLiteral("RecordID"),
                { { QStringLiteral("RecordID"), recordId }, { QStringLiteral("PatientID"), patientId },
                    { QStringLiteral("RecordDate"),
                        QDateTime(QDate(2020, 1, 1).addDays(k), QTime(9, 30)).toString(Qt::ISODate) },
                    { QStringLiteral("FileName"), QStringLiteral("EEG_%1\\rec.edf").arg(k) },
                    { QStringLiteral("RecordType"), QStringLiteral("EEG") },
                    { QStringLiteral("Comments"), QStringLiteral("comment %1").arg(k) } });
        }
    }
    QString reason;
    if (!write.commit(&reason)) {
        out << "bare insert failed: " << reason << "\n";
        return -1;
    }
    return timer.elapsed() / 1000.0;
}

int localBench(int patients, int recordsEach, int rounds)
{
    QTemporaryDir work;
    if (!writeCsvPair(work.path(), patients, recordsEach))
        return 1;
    out << "CSV pair in the program's layout: " << patients << " patients x " << recordsEach << " records\n";
    QVector<double> imports;
    QVector<double> bare;
    for (int round = 0; round < rounds; ++round) {
        int imported = 0;
        imports << importOnce(
            work.path() + QStringLiteral("/Patients.csv"), work.path() + QStringLiteral("/a"), &imported);
        bare << bareOnce(work.path() + QStringLiteral("/b"), patients, recordsEach);
        out << "round " << round + 1 << ": import " << imports.last() << " s (" << imported
            << " patients), bare insert " << bare.last() << " s\n";
        out.flush();
    }
    out << "median: import " << median(imports) << " s, bare insert " << median(bare) << " s, ratio "
        << median(imports) / median(bare) << "\n";

    QElapsedTimer timer;
    timer.start();
    QString reason;
    auto access = ImportSource::open(QStringLiteral(KESTA_TEST_DATA "/access/nwind.mdb"), &reason);
    qint64 rows = 0;
    for (const ImportSource::Table &table : access->tables())
        access->readRows(
            table.name, [&rows](const QVariantList &) { return ++rows > 0; }, &reason);
    out << "nwind.mdb, every table through the library: " << rows << " rows in " << timer.elapsed()
        << " ms\n";
    return 0;
}

int serverBench(int patients, int recordsEach)
{
    kestatest::TestServer *server = kestatest::TestServer::instance();
    if (!server) {
        out << "no server: " << kestatest::TestServer::startError() << "\n";
        return 1;
    }
    QTemporaryDir work;
    auto local = emptyDatabase(work.path() + QStringLiteral("/local"));
    const QString file = DataLocations::databaseFile();
    QSqlQuery fill(local->database());
    fill.exec(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                       "INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, Sex, DOB, City) "
                       "SELECT 100 + i, 'P' || i, 'Иванов' || i, 'Пётр', 'M', '1980-05-01', 'Тверь' FROM n")
            .arg(patients - 1));
    fill.exec(QStringLiteral(
        "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
        "INSERT INTO Records (RecordID, PatientID, RecordDate, FileName, RecordType, Comments) "
        "SELECT 100 + i, 'P' || (i / %2), '2024-03-05T14:25:30', 'EEG_' || i || '\\rec.edf', "
        "'EEG', 'comment' FROM n")
                  .arg(patients * recordsEach - 1)
                  .arg(recordsEach));
    local.reset();
    out << "local database: " << patients << " patients x " << recordsEach << " records\n";
    out.flush();

    const DatabaseLocation copyTarget = server->createDatabase(QStringLiteral("copy"));
    PatientDatabase target(copyTarget);
    QElapsedTimer timer;
    timer.start();
    QString report;
    if (!DatabaseCopy::copy(file, &target, &report)) {
        out << "copy failed: " << report << "\n";
        return 1;
    }
    const double copySeconds = timer.elapsed() / 1000.0;
    out << "copy onto the server (rows checked on both sides): " << copySeconds << " s\n";
    out.flush();

    const QString dump = work.path() + QStringLiteral("/dump.sql");
    const QStringList where { QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
        QString::number(server->port()), QStringLiteral("-U"), QStringLiteral("kesta") };
    QProcess pgDump;
    pgDump.start(QStringLiteral("pg_dump"),
        where + QStringList { QStringLiteral("-f"), dump, copyTarget.databaseName });
    if (!pgDump.waitForFinished(-1) || pgDump.exitCode() != 0) {
        out << "pg_dump failed: " << pgDump.readAllStandardError() << "\n";
        return 1;
    }
    const DatabaseLocation loadTarget = server->createDatabase(QStringLiteral("psql"));
    QProcess psql;
    timer.restart();
    psql.start(QStringLiteral("psql"),
        where
            + QStringList { QStringLiteral("-q"), QStringLiteral("-f"), dump, QStringLiteral("-d"),
                loadTarget.databaseName });
    if (!psql.waitForFinished(-1) || psql.exitCode() != 0) {
        out << "psql failed: " << psql.readAllStandardError() << "\n";
        return 1;
    }
    const double psqlSeconds = timer.elapsed() / 1000.0;
    out << "psql loading a pg_dump of the same rows: " << psqlSeconds << " s\n";
    out << "ratio: " << copySeconds / psqlSeconds << "\n";
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments().mid(1);
    const bool onServer = arguments.removeAll(QStringLiteral("--server")) > 0;
    int rounds = 3;
    const int at = arguments.indexOf(QStringLiteral("--rounds"));
    if (at >= 0 && at + 1 < arguments.size()) {
        rounds = arguments.at(at + 1).toInt();
        arguments.erase(arguments.begin() + at, arguments.begin() + at + 2);
    }
    const int patients
        = arguments.value(0, onServer ? QStringLiteral("100000") : QStringLiteral("10000")).toInt();
    const int recordsEach = arguments.value(1, QStringLiteral("10")).toInt();
    QTemporaryDir home;
    qputenv("HOME", home.path().toLocal8Bit());
    return onServer ? serverBench(patients, recordsEach) : localBench(patients, recordsEach, qMax(1, rounds));
}
