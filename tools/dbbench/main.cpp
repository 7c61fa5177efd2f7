// How fast the patient database comes up, and what it costs.
//
//     dbbench [patients] [records-per-patient] [--no-files] [--varied] [--rounds N]
//     dbbench [patients] [records-per-patient] --server [--rounds N] [--inserts M]
//
// Fills a temporary data folder with the patients and their records (and a
// recording file for each unless --no-files), then measures in one process,
// side by side and alternating, N rounds (default 7) of:
//   load   the application model coming up: settings, connection and the
//          patient list ready to show
//   floor  a bare scan of the same rows into plain values, on the same file,
//          through Qt's driver and through the SQLite library itself (C floor)
// and prints the minimum and median of each, wall and CPU time, and their
// ratios (CPU time is the steadier figure on a machine busy with other work).
// Then: the statements of one load, the peak memory of the first load, and
// the time to bring up one patient's records with their file facts (the
// median over up to 200 patients, each asked for the first time).
// With --server the rows lie on a private PostgreSQL server on loopback (as the
// tests start theirs); the floor is a bare libpq scan, and two workstations
// then insert M records (and M/20 patients) each at once (none with --inserts 0).

#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "db/recordings/recordingfiles.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/database.h"
#include "serverbench.h"
#include "toolkit/util/platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstring>
#include <memory>
#include <sqlite3.h>
#include <time.h>

namespace
{

long statementCount = 0;
QtMessageHandler previousHandler = nullptr;

void countStatements(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (context.category && std::strcmp(context.category, "kesta.db.sql") == 0) {
        ++statementCount;
        return;
    }
    previousHandler(type, context, message);
}

// Peak resident memory of this process in MiB, from /proc.
long peakMemoryMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    }
    return -1;
}

// Varied: names, street and phone differ in every row, as a clinic's would
// more than this list's six names do; the repeated texts that the load holds
// once are then few.
bool fill(int patients, int recordsEach, bool withFiles, bool varied, QTextStream &out)
{
    static const char *const lastNames[]
        = { "Petrov", "Ivanova", "Smirnov", "Kuznetsova", "Popov", "O'Brien" };
    static const char *const firstNames[] = { "Ivan", "Anna", "Sergey", "Maria", "Pavel", "Olga" };
    if (DataLocations::prepareDataFolders() != DataLocations::DatabaseFileState::Created) {
        out << "cannot create the data folder\n";
        return false;
    }
    QByteArray recording(4096, 'x');
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(DataLocations::databaseFile());
        if (!db.open()) {
            out << "cannot open " << DataLocations::databaseFile() << "\n";
            return false;
        }
        db.transaction();
        QSqlQuery patient(db);
        patient.prepare(QStringLiteral("INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, "
                                       "MiddleName, Sex, DOB, Height, Weight, "
                                       "Hand, Referral, Diagnosis, Medication, Comments, NativeLanguage, "
                                       "Ethnicity, Street, City, State, ZIP, "
                                       "Phone, FirstVisit, LastVisit, Subdirectory, ArchiveFlag, "
                                       "ArchiveDate) VALUES (?, ?, ?, ?, ' ', ?, ?, "
                                       "?, ?, ?, 'Dr. Sokolov', 'G40.9', 'none', 'routine EEG', 'ru', ' ', "
                                       "?, 'Tver', 'Tverskaya', "
                                       "'170000', ?, NULL, NULL, ' ', 0, NULL)"));
        QSqlQuery record(db);
        record.prepare(QStringLiteral("INSERT INTO Records (RecordID, PatientID, RecordDate, FileName, "
                                      "RecordType, Comments, OperatorID, "
                                      "ReviewerID, ArchiveID, ReviewDate, ArchiveDate, ReviewFlag, "
                                      "ReportFlag, ArchiveFlag, Temperature, "
                                      "Conditions) VALUES (?, ?, ?, ?, 'EEG', 'good record', ' ', ' ', ' ', "
                                      "NULL, NULL, 0, 0, 0, 36.6, ' ')"));
        int recordId = 100;
        for (int i = 0; i < patients; ++i) {
            const QString patientId = QStringLiteral("P%1").arg(i, 6, 10, QLatin1Char('0'));
            Patient names;
            const QString unique = varied ? QString::number(i) : QString();
            names.setLastName(QString::fromLatin1(lastNames[i % 6]) + unique);
            names.setFirstName(QString::fromLatin1(firstNames[(i / 6) % 6]) + unique);
            names.setPatientID(patientId);
            patient.addBindValue(100 + i);
            patient.addBindValue(patientId);
            patient.addBindValue(names.getLastName());
            patient.addBindValue(names.getFirstName());
            patient.addBindValue(i % 2 ? QStringLiteral("M") : QStringLiteral("F"));
            patient.addBindValue(QDate(1950 + i % 60, 1 + i % 12, 1 + i % 28).toString(Qt::ISODate));
            patient.addBindValue(150 + i % 50);
            patient.addBindValue(50 + i % 40);
            patient.addBindValue(QStringLiteral("R"));
            patient.addBindValue(
                QStringLiteral("Lenina ") + (varied ? QString::number(i) : QStringLiteral("1")));
            patient.addBindValue(QStringLiteral("+7 900 ")
                + (varied ? QString::number(1000000 + i) : QStringLiteral("000 00 00")));
            if (!patient.exec()) {
                out << "fill failed: " << patient.lastError().text() << "\n";
                return false;
            }
            const QString folder = DataLocations::patientFolder(names.folderName());
            for (int r = 0; r < recordsEach; ++r, ++recordId) {
                const QDateTime date(QDate(2024, 1, 1).addDays(r), QTime(9, 0).addSecs(i % 3600));
                const QString recordFolder
                    = QStringLiteral("EEG_") + date.toString(QStringLiteral("yyyy_MM_dd_HHmmss"));
                record.addBindValue(recordId);
                record.addBindValue(patientId);
                record.addBindValue(date.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")));
                record.addBindValue(recordFolder + QStringLiteral("\\rec.edf"));
                if (!record.exec()) {
                    out << "fill failed: " << record.lastError().text() << "\n";
                    return false;
                }
                if (withFiles) {
                    QDir().mkpath(folder + recordFolder);
                    QFile file(folder + recordFolder + QStringLiteral("/rec.edf"));
                    if (!file.open(QIODevice::WriteOnly) || file.write(recording) != recording.size()) {
                        out << "cannot write " << file.fileName() << "\n";
                        return false;
                    }
                }
            }
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
    return true;
}

// CPU time of this process in ms: unlike the wall clock, it does not count
// time spent waiting for a core on a busy machine.
double cpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Forgets the peak so far, so that the next reading is the peak from now on.
void resetPeakMemory()
{
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

double milliseconds(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

double minimum(const QVector<double> &values)
{
    return values.isEmpty() ? 0 : *std::min_element(values.begin(), values.end());
}

// Every row of the patients table into plain values, as fast as Qt SQL goes,
// on a connection of its own to the same file; wall and CPU time.
QPair<double, double> scanFloor(long *values)
{
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMs();
    QVector<QVector<QVariant>> rows;
    {
        QSqlQuery query(QSqlDatabase::database(QStringLiteral("floor")));
        query.setForwardOnly(true);
        query.exec(QStringLiteral("SELECT * from Patients"));
        const int fields = query.record().count();
        while (query.next()) {
            QVector<QVariant> row(fields);
            for (int i = 0; i < fields; ++i)
                row[i] = query.value(i);
            rows.append(row);
        }
    }
    const QPair<double, double> times(milliseconds(timer), cpuMs() - cpuStart);
    *values = long(rows.size()) * (rows.isEmpty() ? 0 : rows.first().size());
    return times;
}

// The same rows through the SQLite library alone, every text copied into a
// QString, every blob into a QByteArray and every number kept: the floor a
// load cannot go below, whatever it does with the values after.
QPair<double, double> scanFloorInC(long *values)
{
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = cpuMs();
    sqlite3 *db = nullptr;
    const QByteArray file = DataLocations::databaseFile().toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return { -1, -1 };
    }
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, "SELECT * from Patients", -1, &statement, nullptr);
    const int fields = sqlite3_column_count(statement);
    struct Row {
        QVector<QString> texts;
        QVector<QByteArray> blobs;
        QVector<double> numbers;
    };
    QVector<Row> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        Row row;
        row.texts.reserve(fields);
        row.numbers.reserve(fields);
        for (int i = 0; i < fields; ++i) {
            switch (sqlite3_column_type(statement, i)) {
            case SQLITE_INTEGER:
                row.numbers.append(double(sqlite3_column_int64(statement, i)));
                break;
            case SQLITE_FLOAT:
                row.numbers.append(sqlite3_column_double(statement, i));
                break;
            case SQLITE_BLOB:
                row.blobs.append(QByteArray(static_cast<const char *>(sqlite3_column_blob(statement, i)),
                    sqlite3_column_bytes(statement, i)));
                break;
            case SQLITE_NULL:
                row.numbers.append(0);
                break;
            default:
                row.texts.append(
                    QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, i)),
                        sqlite3_column_bytes(statement, i)));
            }
        }
        rows.append(std::move(row));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    *values = long(rows.size()) * fields;
    return { milliseconds(timer), cpuMs() - cpuStart };
}

QString figure(double ms)
{
    return QString::number(ms, 'f', ms < 10 ? 2 : 0) + " ms";
}

} // namespace

int main(int argc, char *argv[])
{
    // As the program starts.
    Platform::readTimeZoneOnce();
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/dbbench-XXXXXX"));
    if (!home.isValid())
        return 1;
    // The data folder lies under HOME; Settings.xml in the working directory.
    qputenv("HOME", home.path().toUtf8());
    QDir::setCurrent(home.path());
    QCoreApplication app(argc, argv);

    int patients = 1000;
    int recordsEach = 10;
    int rounds = 7;
    bool withFiles = true;
    bool varied = false;
    bool onServer = false;
    int inserts = 2000;
    QList<int> numbers;
    const QStringList arguments = app.arguments().mid(1);
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--no-files"))
            withFiles = false;
        else if (arguments.at(i) == QLatin1String("--varied"))
            varied = true;
        else if (arguments.at(i) == QLatin1String("--server"))
            onServer = true;
        else if (arguments.at(i) == QLatin1String("--inserts") && i + 1 < arguments.size())
            inserts = qMax(0, arguments.at(++i).toInt());
        else if (arguments.at(i) == QLatin1String("--rounds") && i + 1 < arguments.size())
            rounds = qMax(1, arguments.at(++i).toInt());
        else
            numbers.append(arguments.at(i).toInt());
    }
    if (numbers.size() > 0)
        patients = numbers.at(0);
    if (numbers.size() > 1)
        recordsEach = numbers.at(1);

    QTextStream out(stdout);
    if (onServer) {
        out << "server: patients " << patients << ", records per patient " << recordsEach << ", rounds "
            << rounds << "\n";
        return runServerBench(patients, recordsEach, rounds, inserts, out);
    }
    out << "patients " << patients << ", records per patient " << recordsEach << ", recording files "
        << (withFiles ? "yes" : "no") << (varied ? ", varied texts" : "") << ", rounds " << rounds << "\n";
    QElapsedTimer timer;
    timer.start();
    if (!fill(patients, recordsEach, withFiles, varied, out))
        return 1;
    out << "fill: " << timer.elapsed() << " ms\n";
    out.flush();

    {
        QSqlDatabase floor = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("floor"));
        floor.setDatabaseName(DataLocations::databaseFile());
        if (!floor.open())
            return 1;
    }

    // The first load, for the peak memory and the statements.
    resetPeakMemory();
    auto model = std::make_unique<KestaModel>();
    const long peak = peakMemoryMiB();
    const int loadedPatients = model->database()->patients().size();
    model.reset();
    QLoggingCategory::setFilterRules(QStringLiteral("kesta.db.sql.debug=true"));
    previousHandler = qInstallMessageHandler(countStatements);
    model = std::make_unique<KestaModel>();
    const long loadStatements = statementCount;
    qInstallMessageHandler(previousHandler);
    QLoggingCategory::setFilterRules(QString());
    model.reset();

    QVector<double> loads;
    QVector<double> floors;
    QVector<double> loadCpu;
    QVector<double> floorCpu;
    QVector<double> cFloors;
    QVector<double> cFloorCpu;
    long scanned = 0;
    long scannedInC = 0;
    for (int round = 0; round < rounds; ++round) {
        const QPair<double, double> floor = scanFloor(&scanned);
        floors.append(floor.first);
        floorCpu.append(floor.second);
        const QPair<double, double> cFloor = scanFloorInC(&scannedInC);
        cFloors.append(cFloor.first);
        cFloorCpu.append(cFloor.second);
        const double cpuStart = cpuMs();
        timer.restart();
        model = std::make_unique<KestaModel>();
        loads.append(milliseconds(timer));
        loadCpu.append(cpuMs() - cpuStart);
        if (round + 1 < rounds)
            model.reset();
    }

    // One patient's records with their file facts, as the records table asks.
    QVector<double> perPatient;
    long loadedRecords = 0;
    statementCount = 0;
    const QList<Patient *> list = model->database()->patients();
    const int step = qMax(1, list.size() / 200);
    QLoggingCategory::setFilterRules(QStringLiteral("kesta.db.sql.debug=true"));
    previousHandler = qInstallMessageHandler(countStatements);
    for (int i = 0; i < list.size(); i += step) {
        timer.restart();
        const QString folderName = list.at(i)->folderName();
        for (Record *record : list.at(i)->records()) {
            RecordingFiles::factsOf(folderName, record->getFileName());
            ++loadedRecords;
        }
        perPatient.append(milliseconds(timer));
    }
    qInstallMessageHandler(previousHandler);
    QLoggingCategory::setFilterRules(QString());

    const auto ratio = [](double a, double b) { return QString::number(b > 0 ? a / b : 0, 'f', 2); };
    out << "load (settings, connection, patient list): median " << figure(median(loads)) << ", min "
        << figure(minimum(loads)) << "; CPU median " << figure(median(loadCpu)) << "\n";
    out << "floor (bare scan of " << scanned << " values through Qt): median " << figure(median(floors))
        << ", min " << figure(minimum(floors)) << "; CPU median " << figure(median(floorCpu)) << "\n";
    out << "ratio load/floor: wall medians " << ratio(median(loads), median(floors)) << ", wall minima "
        << ratio(minimum(loads), minimum(floors)) << ", CPU medians "
        << ratio(median(loadCpu), median(floorCpu)) << "\n";
    out << "C floor (" << scannedInC << " values through the SQLite library, each copied): median "
        << figure(median(cFloors)) << ", min " << figure(minimum(cFloors)) << "; CPU median "
        << figure(median(cFloorCpu)) << "\n";
    out << "ratio load/C floor: wall medians " << ratio(median(loads), median(cFloors)) << ", wall minima "
        << ratio(minimum(loads), minimum(cFloors)) << ", CPU medians "
        << ratio(median(loadCpu), median(cFloorCpu)) << " (target 1.2)\n";
    out << "statements of one load: " << loadStatements << "\n";
    out << "peak memory of the first load: " << peak << " MiB\n";
    out << "one patient's records with file facts: median " << figure(median(perPatient)) << ", max "
        << figure(perPatient.isEmpty() ? 0 : *std::max_element(perPatient.begin(), perPatient.end()))
        << " over " << perPatient.size() << " patients, " << statementCount << " statements\n";
    out << "loaded: " << loadedPatients << " patients\n";
    const int asked = perPatient.size();
    return loadedPatients == patients && loadedRecords == long(asked) * recordsEach ? 0 : 2;
}
