// Times the two tables' rebuilds as the main window triggers them: setPatients
// on the patients table with N patients and four columns shown (FullName,
// PatientID, Age, LastVisit, sorted by name), and refreshRecords on the records
// table for one patient with R records, with all six columns shown and with the
// default two. Each figure
// is the median of several rebuilds after a warm-up, including the deletion of
// the grid each rebuild replaces; wall clock and CPU time are both given, since
// the machine may be shared.
//
//     tablebench [patients] [records] [runs]

#include "app/patientslistwidget.h"
#include "app/recordstable.h"
#include "db/database.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "db/patient.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <ctime>
#include <functional>

namespace
{

qint64 cpuMicroseconds()
{
    return qint64(std::clock()) * 1000000 / CLOCKS_PER_SEC;
}

struct Figures {
    double wallMs = 0;
    double cpuMs = 0;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

// One warm-up, then the median of runs, each followed by the deferred deletion
// of the grid it replaced.
Figures measure(int runs, const std::function<void()> &rebuild)
{
    rebuild();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QList<double> wall;
    QList<double> cpu;
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        timer.start();
        const qint64 cpuStart = cpuMicroseconds();
        rebuild();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        wall << timer.nsecsElapsed() / 1e6;
        cpu << (cpuMicroseconds() - cpuStart) / 1e3;
    }
    return { median(wall), median(cpu) };
}

QList<Patient *> makePatients(int count, QObject *owner)
{
    static const char *const lastNames[] = { "Petrov", "Ivanova", "Smirnov", "Kuznetsova", "Popov",
        "Sokolova", "Lebedev", "Kozlova", "Novikov", "Morozova" };
    static const char *const firstNames[] = { "Ivan", "Anna", "Sergey", "Maria", "Pavel", "Olga", "Dmitry" };
    QList<Patient *> patients;
    for (int i = 0; i < count; ++i) {
        auto *patient = new Patient(owner);
        patient->setAutoID(100 + i);
        patient->setPatientID(QStringLiteral("P%1").arg(i, 6, 10, QLatin1Char('0')));
        patient->setLastName(QString::fromLatin1(lastNames[(i * 7) % 10]));
        patient->setFirstName(QString::fromLatin1(firstNames[(i / 10) % 7]));
        patient->setMiddleName(QStringLiteral("N%1").arg(i % 97));
        patient->setSex(static_cast<Patient::PatientGender>(i % 3));
        if (i % 13)
            patient->setDOB(QDate(1940 + i % 80, 1 + i % 12, 1 + i % 28));
        patient->setLastVisit(QDateTime(QDate(2020, 1, 1).addDays(i % 1500), QTime(10, 0)));
        patients.append(patient);
    }
    return patients;
}

// One stored patient with `records` recordings; every second one has its file.
bool storeRecords(Database *database, int records, QTextStream &out)
{
    QSqlDatabase db = database->database();
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, Sex) "
                                   "VALUES (100, 'R1', 'Petrov', 'Ivan', 'M')"))) {
        out << "cannot store the patient: " << query.lastError().text() << "\n";
        return false;
    }
    db.transaction();
    query.prepare(
        QStringLiteral("INSERT INTO Records (RecordID, PatientID, RecordDate, FileName, RecordType, "
                       "Comments, Temperature) VALUES (?, 'R1', ?, ?, ?, ?, ?)"));
    const QString folder = DataLocations::patientFolder(QStringLiteral("PetrovIvan_R1"));
    const QByteArray bytes(4096, 'x');
    for (int r = 0; r < records; ++r) {
        const QDateTime date(QDate(2015, 1, 1).addDays(r), QTime(9, 0).addSecs(r * 37 % 3600));
        const QString recordFolder
            = QStringLiteral("EEG_") + date.toString(QStringLiteral("yyyy_MM_dd_HHmmss"));
        query.addBindValue(100 + r);
        query.addBindValue(date.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")));
        query.addBindValue(recordFolder + QStringLiteral("\\rec.edf"));
        query.addBindValue(r % 4 ? QStringLiteral("EEG") : QStringLiteral("PSG"));
        query.addBindValue(QStringLiteral("record %1, eyes closed").arg(r));
        query.addBindValue(r % 3 ? 36.6 : 0.0);
        if (!query.exec()) {
            out << "cannot store a record: " << query.lastError().text() << "\n";
            return false;
        }
        if (r % 2 == 0) {
            QDir().mkpath(folder + recordFolder);
            QFile file(folder + recordFolder + QStringLiteral("/rec.edf"));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
                out << "cannot write " << file.fileName() << "\n";
                return false;
            }
        }
    }
    db.commit();
    database->reloadPatients();
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/tablebench-XXXXXX"));
    if (!home.isValid())
        return 1;
    // The data folder lies under HOME, Settings.xml in the working directory.
    qputenv("HOME", home.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QDir::setCurrent(home.path());
    QApplication app(argc, argv);

    QList<int> numbers;
    for (const QString &argument : app.arguments().mid(1))
        numbers.append(argument.toInt());
    const int patientCount = numbers.value(0, 10000);
    const int recordCount = numbers.value(1, 1000);
    const int runs = qMax(1, numbers.value(2, 7));

    QTextStream out(stdout);
    if (DataLocations::prepareDataFolders() != DataLocations::DatabaseFileState::Created) {
        out << "cannot create the data folder\n";
        return 1;
    }
    KestaModel model;
    model.settings()->setPatientsTableColumns(QStringLiteral("FullName;PatientID;Age;LastVisit"));
    model.settings()->setPatientsTableSorting(QStringLiteral("+FullName"));
    QCoreApplication::processEvents();

    QObject owner;
    const QList<Patient *> patients = makePatients(patientCount, &owner);
    PatientsListWidget patientsTable(model.settings());
    patientsTable.resize(1000, 700);
    patientsTable.show();
    patientsTable.setSelectedId(100 + patientCount / 2, false);
    const Figures patientFigures = measure(runs, [&] { patientsTable.setPatients(patients); });
    out << "patients table, " << patients.size() << " patients, "
        << patientsTable.shownColumnNames().join(QLatin1Char(',')) << ": median of " << runs << " rebuilds "
        << QString::number(patientFigures.wallMs, 'f', 1) << " ms wall, "
        << QString::number(patientFigures.cpuMs, 'f', 1) << " ms CPU\n";
    out.flush();

    if (!storeRecords(model.database(), recordCount, out))
        return 1;
    Patient *patient = model.database()->patientById(100);
    if (!patient || patient->records().size() != recordCount) {
        out << "the records did not load\n";
        return 1;
    }
    RecordsTable recordsTable(model.settings());
    recordsTable.resize(1000, 400);
    recordsTable.show();
    recordsTable.setPatient(patient);
    recordsTable.setSelectedId(100 + recordCount / 2, false);
    for (const QString &columns :
        { QStringLiteral("RecordDate;RecordType;Size;Temperature;Comments;FileName"),
            QStringLiteral("RecordDate;Comments") }) {
        model.settings()->setRecordsTableColumns(columns);
        QCoreApplication::processEvents();
        const Figures recordFigures = measure(runs, [&] { recordsTable.refreshRecords(); });
        out << "records table, " << recordsTable.grid()->model()->rowCount() << " records, "
            << recordsTable.shownColumnNames().join(QLatin1Char(',')) << ": median of " << runs
            << " rebuilds " << QString::number(recordFigures.wallMs, 'f', 1) << " ms wall, "
            << QString::number(recordFigures.cpuMs, 'f', 1) << " ms CPU\n";
    }
    return 0;
}
