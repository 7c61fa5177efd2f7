// Fills a temporary data folder with N patients and R records each (rows and
// recording files), then times the application model's construction: the
// settings, the connection and reloadPatients, which reads every column of
// every patient and record one statement at a time. Run twice: once plain for
// the time, once with the statement log on to count statements.
//
//     dbbench [patients] [records-per-patient] [--no-files]

#include "db/database.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/patient.h"
#include "db/record.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstring>
#include <ctime>

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

bool fill(int patients, int recordsEach, bool withFiles, QTextStream &out)
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
                                       "'Lenina 1', 'Tver', 'Tverskaya', "
                                       "'170000', '+7 900 000 00 00', NULL, NULL, ' ', 0, NULL)"));
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
            names.setLastName(QString::fromLatin1(lastNames[i % 6]));
            names.setFirstName(QString::fromLatin1(firstNames[(i / 6) % 6]));
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
qint64 cpuMs()
{
    return qint64(std::clock()) * 1000 / CLOCKS_PER_SEC;
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/dbbench-XXXXXX"));
    if (!home.isValid())
        return 1;
    // The data folder lies under HOME; Settings.xml in the working directory.
    qputenv("HOME", home.path().toUtf8());
    QDir::setCurrent(home.path());
    QCoreApplication app(argc, argv);

    int patients = 1000;
    int recordsEach = 10;
    bool withFiles = true;
    QList<int> numbers;
    for (const QString &argument : app.arguments().mid(1)) {
        if (argument == QLatin1String("--no-files"))
            withFiles = false;
        else
            numbers.append(argument.toInt());
    }
    if (numbers.size() > 0)
        patients = numbers.at(0);
    if (numbers.size() > 1)
        recordsEach = numbers.at(1);

    QTextStream out(stdout);
    out << "patients " << patients << ", records per patient " << recordsEach << ", recording files "
        << (withFiles ? "yes" : "no") << "\n";
    QElapsedTimer timer;
    timer.start();
    if (!fill(patients, recordsEach, withFiles, out))
        return 1;
    out << "fill: " << timer.elapsed() << " ms\n";
    out.flush();

    long loadedRecords = 0;
    int loadedPatients = 0;
    qint64 plainMs = 0;
    qint64 plainCpuMs = 0;
    {
        timer.restart();
        const qint64 cpuStart = cpuMs();
        KestaModel model;
        plainMs = timer.elapsed();
        plainCpuMs = cpuMs() - cpuStart;
        loadedPatients = model.database()->patients().size();
        for (Patient *patient : model.database()->patients())
            loadedRecords += patient->records().size();
    }
    const long peak = peakMemoryMiB();

    QLoggingCategory::setFilterRules(QStringLiteral("kesta.db.sql.debug=true"));
    previousHandler = qInstallMessageHandler(countStatements);
    timer.restart();
    {
        KestaModel model;
    }
    const qint64 loggedMs = timer.elapsed();
    qInstallMessageHandler(previousHandler);

    out << "model construction (settings, connect, reloadPatients): " << plainMs << " ms wall, " << plainCpuMs
        << " ms CPU\n";
    out << "  per patient: " << QString::number(patients ? double(plainMs) / patients : 0, 'f', 3)
        << " ms wall, " << QString::number(patients ? double(plainCpuMs) / patients : 0, 'f', 3)
        << " ms CPU\n";
    out << "  again with the statement log on: " << loggedMs << " ms\n";
    out << "statements: " << statementCount << "\n";
    out << "loaded: " << loadedPatients << " patients, " << loadedRecords << " records\n";
    out << "peak memory: " << peak << " MiB\n";
    return loadedPatients == patients && loadedRecords == long(patients) * recordsEach ? 0 : 2;
}
