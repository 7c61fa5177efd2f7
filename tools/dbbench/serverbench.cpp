#include "serverbench.h"

#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/storage/rowcursor.h"
#include "db/storage/sqldialect.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "support/testserver.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <QTextStream>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <libpq-fe.h>
#include <memory>
#include <time.h>

namespace
{

double cpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

QString figure(double ms)
{
    return QString::number(ms, 'f', ms < 10 ? 2 : 0) + " ms";
}

// The rows of the file benchmark, made by the server itself.
bool fill(Database &db, int patients, int recordsEach)
{
    QSqlQuery query(db.database());
    // The history triggers off while the server writes the rows: on, a fill
    // of 100,000 patients took minutes.
    for (const char *table : { "Patients", "Records" }) {
        if (!query.exec(QStringLiteral("ALTER TABLE %1 DISABLE TRIGGER USER").arg(QLatin1String(table))))
            return false;
    }
    return query.exec(QStringLiteral(
               "INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, MiddleName, Sex, DOB, Height, "
               "Weight, Hand, Referral, Diagnosis, Medication, Comments, NativeLanguage, Ethnicity, Street, "
               "City, "
               "State, ZIP, Phone, FirstVisit, LastVisit, Subdirectory, ArchiveFlag, ArchiveDate) "
               "SELECT 100 + i, 'P' || lpad(i::text, 6, '0'), "
               "(ARRAY['Petrov','Ivanova','Smirnov','Kuznetsova',"
               "'Popov','O''Brien'])[i % 6 + 1], (ARRAY['Ivan','Anna','Sergey','Maria','Pavel','Olga'])[(i / "
               "6) % 6 "
               "+ 1], ' ', CASE WHEN i % 2 = 1 THEN 'M' ELSE 'F' END, make_date(1950 + i % 60, 1 + i % 12, 1 "
               "+ i "
               "% 28), 150 + i % 50, 50 + i % 40, 'R', 'Dr. Sokolov', 'G40.9', 'none', 'routine EEG', 'ru', "
               "' ', "
               "'Lenina 1', 'Tver', 'Tverskaya', '170000', '+7 900 000 00 00', NULL, NULL, ' ', 0, NULL "
               "FROM generate_series(0, %1) i")
                          .arg(patients - 1))
        && query.exec(QStringLiteral(
            "INSERT INTO Records (RecordID, PatientID, RecordDate, FileName, RecordType, Comments, "
            "OperatorID, "
            "ReviewerID, ArchiveID, ReviewDate, ArchiveDate, ReviewFlag, ReportFlag, ArchiveFlag, "
            "Temperature, "
            "Conditions) SELECT 100 + i * %2 + r, 'P' || lpad(i::text, 6, '0'), timestamp '2024-01-01 09:00' "
            "+ r * interval '1 day', 'EEG_' || r || '\\rec.edf', 'EEG', 'good record', ' ', ' ', ' ', NULL, "
            "NULL, 0, 0, 0, 36.6, ' ' FROM generate_series(0, %1) i, generate_series(0, %3) r")
                          .arg(patients - 1)
                          .arg(recordsEach)
                          .arg(recordsEach - 1))
        && query.exec(
            QStringLiteral("SELECT setval(pg_get_serial_sequence('patients', 'autoid'), max(AutoID)) "
                           "FROM Patients"))
        && query.exec(QStringLiteral("SELECT setval(pg_get_serial_sequence('records', 'recordid'), "
                                     "max(RecordID)) FROM Records"))
        && query.exec(QStringLiteral("ALTER TABLE Patients ENABLE TRIGGER USER"))
        && query.exec(QStringLiteral("ALTER TABLE Records ENABLE TRIGGER USER"))
        && query.exec(QStringLiteral("ANALYZE"));
}

// Every row of the patients table through libpq alone, each value copied out.
QPair<double, double> scanFloor(PGconn *server, long *values)
{
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMs();
    PGresult *result = PQexec(server, "SELECT * from Patients");
    const int rows = PQntuples(result);
    const int fields = PQnfields(result);
    QVector<QVector<QByteArray>> copied(rows);
    for (int row = 0; row < rows; ++row) {
        copied[row].resize(fields);
        for (int field = 0; field < fields; ++field)
            copied[row][field] = QByteArray(PQgetvalue(result, row, field), PQgetlength(result, row, field));
    }
    PQclear(result);
    *values = long(rows) * fields;
    return { timer.nsecsElapsed() / 1e6, cpuMs() - cpuStart };
}

// The same scan as a clinic's administrator would run it: psql started,
// connected and printing every row unaligned; -1 when psql is missing.
double scanThroughPsql(const QString &conninfo)
{
    QString psql = QStandardPaths::findExecutable(QStringLiteral("psql"));
    if (psql.isEmpty() && QFileInfo::exists(QStringLiteral("/usr/lib/postgresql/15/bin/psql")))
        psql = QStringLiteral("/usr/lib/postgresql/15/bin/psql");
    if (psql.isEmpty())
        return -1;
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(psql,
        { QStringLiteral("-At"), QStringLiteral("-c"), QStringLiteral("SELECT * from Patients"), conninfo });
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return -1;
    return timer.nsecsElapsed() / 1e6;
}

// The same scan through Qt's driver into QVariants, as the file's floor is
// taken: how much of the load the driver itself costs.
QPair<double, double> scanThroughQt(const DatabaseLocation &location)
{
    PatientDatabase db(location);
    QSqlQuery query(db.database());
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMs();
    query.exec(QStringLiteral("SELECT * from Patients"));
    QVector<QVector<QVariant>> rows;
    const int fields = query.record().count();
    while (query.next()) {
        QVector<QVariant> row(fields);
        for (int i = 0; i < fields; ++i)
            row[i] = query.value(i);
        rows.append(row);
    }
    return { timer.nsecsElapsed() / 1e6, cpuMs() - cpuStart };
}

// The load's own cursor on the load's connection, every value asked for once
// and no row object filled: how much of the load is the reading of values.
QPair<double, double> scanThroughCursor(Database &db)
{
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMs();
    QSqlDatabase connection = db.database();
    QString error;
    const std::unique_ptr<RowCursor> rows
        = db.dialect().openCursor(connection, QStringLiteral("SELECT * from Patients"), &error);
    long kept = 0;
    while (rows && rows->next()) {
        for (int field = 0; field < 27; ++field)
            kept += rows->value(field).isValid();
    }
    return { kept > 0 ? timer.nsecsElapsed() / 1e6 : -1, cpuMs() - cpuStart };
}

// Two workstations, each a connection of its own on a thread of its own,
// inserting at once once both have read the list; inserts per second of both
// together, from the first insert to the last.
double insertsPerSecond(const DatabaseLocation &location, int each, bool patients)
{
    std::atomic<int> failures { 0 };
    std::atomic<int> ready { 0 };
    QElapsedTimer timer;
    const auto insert = [&] {
        PatientDatabase own(location);
        if (!own.reloadPatients())
            ++failures;
        Patient *owner = own.patients().value(0);
        if (++ready == 2)
            timer.start();
        while (ready < 2)
            QThread::yieldCurrentThread();
        for (int i = 0; i < each; ++i) {
            Patient fresh;
            fresh.setPatientID(QStringLiteral("N%1").arg(i));
            if ((patients
                        ? own.insertPatient(&fresh)
                        : own.insertRecord(owner, QDateTime::currentDateTime(), "EEG_1\\rec.edf", "EEG", ""))
                <= 0)
                ++failures;
        }
    };
    std::unique_ptr<QThread> first(QThread::create(insert));
    std::unique_ptr<QThread> second(QThread::create(insert));
    first->start();
    second->start();
    first->wait();
    second->wait();
    return failures ? -1 : 2.0 * each / (timer.nsecsElapsed() / 1e9);
}

} // namespace

int runServerBench(int patients, int recordsEach, int rounds, int inserts, QTextStream &out)
{
    kestatest::TestServer *server = kestatest::TestServer::instance();
    if (!server) {
        out << "no server: " << kestatest::TestServer::startError() << "\n";
        return 1;
    }
    const DatabaseLocation location = server->createDatabase(QStringLiteral("bench"));
    QElapsedTimer timer;
    timer.start();
    {
        PatientDatabase db(location);
        if (!db.isUsable() || !fill(db, patients, recordsEach)) {
            out << "fill failed\n";
            return 1;
        }
    }
    out << "server fill: " << timer.elapsed() << " ms\n";
    {
        KestaSettings settings(QStringLiteral("Settings.xml"));
        settings.setServerHost(location.host);
        settings.setServerPort(location.port);
        settings.setServerDatabase(location.databaseName);
        settings.setServerUser(location.user);
        settings.setServerTlsMode(KestaSettings::disable);
    }
    const QByteArray conninfo = QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 sslmode=disable")
                                    .arg(location.host)
                                    .arg(location.port)
                                    .arg(location.databaseName, location.user)
                                    .toUtf8();
    PGconn *floorConnection = PQconnectdb(conninfo.constData());
    if (PQstatus(floorConnection) != CONNECTION_OK) {
        out << "floor connection: " << PQerrorMessage(floorConnection) << "\n";
        return 1;
    }

    QVector<double> loads, floors, loadCpu, floorCpu, qtScans, qtScanCpu, lists, listCpu, psqlScans, cursorScans,
        cursorCpu;
    long scanned = 0;
    int loaded = 0;
    for (int round = 0; round < rounds; ++round) {
        const QPair<double, double> floor = scanFloor(floorConnection, &scanned);
        floors.append(floor.first);
        floorCpu.append(floor.second);
        psqlScans.append(scanThroughPsql(QString::fromUtf8(conninfo)));
        const QPair<double, double> qtScan = scanThroughQt(location);
        qtScans.append(qtScan.first);
        qtScanCpu.append(qtScan.second);
        const double cpuStart = cpuMs();
        timer.restart();
        auto model = std::make_unique<KestaModel>();
        loads.append(timer.nsecsElapsed() / 1e6);
        loadCpu.append(cpuMs() - cpuStart);
        loaded = model->database()->patients().size();
        // The list alone, on the open connection the floor also has.
        const double listStart = cpuMs();
        timer.restart();
        model->database()->reloadPatients();
        lists.append(timer.nsecsElapsed() / 1e6);
        listCpu.append(cpuMs() - listStart);
        const QPair<double, double> cursorScan = scanThroughCursor(*model->database());
        cursorScans.append(cursorScan.first);
        cursorCpu.append(cursorScan.second);
    }
    PQfinish(floorConnection);
    const auto ratio = [](double a, double b) { return QString::number(b > 0 ? a / b : 0, 'f', 2); };
    out << "server load (settings, connection, patient list): median " << figure(median(loads))
        << "; CPU median " << figure(median(loadCpu)) << "\n";
    out << "libpq floor (bare scan of " << scanned << " values): median " << figure(median(floors))
        << "; CPU median " << figure(median(floorCpu)) << "\n";
    out << "psql floor (started, connected, every row printed): median " << figure(median(psqlScans))
        << "; ratio load/psql: wall medians " << ratio(median(loads), median(psqlScans)) << "\n";
    out << "the same scan through Qt's driver into QVariants: median " << figure(median(qtScans))
        << "; CPU median " << figure(median(qtScanCpu)) << "\n";
    out << "ratio load/floor: wall medians " << ratio(median(loads), median(floors)) << ", CPU medians "
        << ratio(median(loadCpu), median(floorCpu)) << " (target 1.5)\n";
    out << "patient list read again on the open connection: median " << figure(median(lists))
        << "; CPU median " << figure(median(listCpu)) << "; ratio list/floor: wall medians "
        << ratio(median(lists), median(floors)) << ", CPU medians "
        << ratio(median(listCpu), median(floorCpu)) << "\n";
    out << "the load's cursor alone, every value read, no row filled: median " << figure(median(cursorScans))
        << "; CPU median " << figure(median(cursorCpu)) << "; ratio cursor/floor: wall medians "
        << ratio(median(cursorScans), median(floors)) << ", CPU medians "
        << ratio(median(cursorCpu), median(floorCpu)) << "\n";
    out << "loaded: " << loaded << " patients\n";
    out.flush();
    if (inserts == 0)
        return loaded == patients ? 0 : 2;
    // With the server's history triggers and without them, alternating, each
    // on the same rows so far.
    PGconn *switcher = PQconnectdb(conninfo.constData());
    const auto triggers = [switcher](bool on) {
        for (const char *table : { "patients", "records", "removals", "conclusions" }) {
            const QByteArray sql
                = QStringLiteral("ALTER TABLE %1 %2 TRIGGER kesta_history")
                      .arg(QLatin1String(table), on ? QStringLiteral("ENABLE") : QStringLiteral("DISABLE"))
                      .toUtf8();
            PQclear(PQexec(switcher, sql.constData()));
        }
    };
    const int patientInserts = qMax(1, inserts / 20);
    QVector<double> records[2], newPatients[2];
    for (int round = 0; round < rounds; ++round) {
        for (int with = 1; with >= 0; --with) {
            triggers(with);
            records[with].append(insertsPerSecond(location, inserts, false));
            newPatients[with].append(insertsPerSecond(location, patientInserts, true));
        }
    }
    triggers(true);
    PQfinish(switcher);
    const auto rate = [](const QVector<double> &values) { return QString::number(median(values), 'f', 0); };
    out << "record inserts per second, two workstations at once (" << inserts << " each), medians of "
        << rounds << ": with the history triggers " << rate(records[1]) << ", without " << rate(records[0])
        << "\n";
    out << "patient inserts per second, two workstations at once (" << patientInserts
        << " each, only the new row read back): with the history triggers " << rate(newPatients[1])
        << ", without " << rate(newPatients[0]) << "\n";
    return loaded == patients ? 0 : 2;
}
