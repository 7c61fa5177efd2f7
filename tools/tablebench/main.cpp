// Times the two tables as the main window drives them, the new way (one view
// over a row model and a sort/filter proxy) beside the old way (a QTableWidget
// rebuilt on every change, kept in this tool as ItemGridBaseline), in one run:
//
// - patients: setPatients with N patients and four columns shown (FullName,
//   PatientID, Age, LastVisit, sorted by name);
// - a filter keystroke: each of the keystrokes typing "petrov i" into the
//   filter, against the old way's only means, a rebuild with the matching rows;
// - clearing the filter back to all N rows, against a rebuild with all rows;
// - records: refreshRecords for one patient with R records, all six columns
//   shown and the default two.
//
// Each round runs a few steps the old way, then the same steps the new way,
// the order alternating by round: the medians leave out the first step of a
// turn, which pays for the heap and caches the other way left behind, while
// both ways still share the machine's state of the moment. Each step is
// followed by the events it leaves (layout, painting, deferred deletion),
// which belong to what the user waits for. Figures are medians over every
// round; wall clock and CPU time are both given, the worst new step, and the
// old/new ratio per round with its spread. Build it in Release.
//
// With --new-only the old way is built once, for its columns, and never timed:
// the new way's figures then include nothing of the heap and caches that the
// old way's tens of thousands of items leave behind.
//
//     tablebench [patients] [records] [rounds] [--new-only]

#include "app/tables/patientslistwidget.h"
#include "app/tables/recordstable.h"
#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "itemgridbaseline.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <functional>

namespace
{

double cpuMilliseconds()
{
    return double(std::clock()) * 1000 / CLOCKS_PER_SEC;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    const int n = values.size();
    return n % 2 ? values.at(n / 2) : (values.at(n / 2 - 1) + values.at(n / 2)) / 2;
}

// The events a step leaves behind: deferred deletions, the views' delayed
// layouts (zero timers, which a bare processEvents may leave for the next
// step to pay) and the painting they ask for.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (int turn = 0; turn < 2; ++turn) {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

// One timed step, with what must happen before it untimed.
struct Step {
    std::function<void()> timed;
    std::function<void()> prepare = {};
};

// One operation measured both ways, round by round.
struct Comparison {
    Comparison(const QString &what, double targetMs, bool newOnly)
        : what(what)
        , targetMs(targetMs)
        , newOnly(newOnly)
    {
    }

    QString what;
    double targetMs;
    bool newOnly;
    QList<double> oldWall, oldCpu, newWall, newCpu, ratio;

    void round(const QList<Step> &oldSteps, const QList<Step> &newSteps)
    {
        const bool oldFirst = ratio.size() % 2 == 0;
        QList<double> roundWall[2];
        for (int turn = 0; turn < 2; ++turn) {
            const bool old = (turn == 0) == oldFirst;
            if (old && newOnly)
                continue;
            for (const Step &step : old ? oldSteps : newSteps) {
                if (step.prepare) {
                    step.prepare();
                    settle();
                }
                QElapsedTimer timer;
                const double cpuStart = cpuMilliseconds();
                timer.start();
                step.timed();
                settle();
                const double wall = timer.nsecsElapsed() / 1e6;
                (old ? oldWall : newWall) << wall;
                (old ? oldCpu : newCpu) << cpuMilliseconds() - cpuStart;
                roundWall[old ? 1 : 0] << wall;
            }
        }
        if (!newOnly)
            ratio << median(roundWall[1]) / qMax(median(roundWall[0]), 0.001);
    }

    void print(QTextStream &out) const
    {
        const auto ms = [](double value) { return QString::number(value, 'f', 1); };
        out << what << " | "
            << (newOnly ? QStringLiteral("-") : ms(median(oldWall)) + " / " + ms(median(oldCpu))) << " | "
            << ms(median(newWall)) << " / " << ms(median(newCpu)) << " | "
            << ms(*std::max_element(newWall.cbegin(), newWall.cend())) << " | ";
        if (newOnly)
            out << "- | ";
        else
            out << ms(median(ratio)) << "x (" << ms(*std::min_element(ratio.cbegin(), ratio.cend())) << "-"
                << ms(*std::max_element(ratio.cbegin(), ratio.cend())) << ") | ";
        if (targetMs > 0)
            out << "< " << targetMs << " ms: " << (median(newWall) < targetMs ? "met" : "MISSED");
        else
            out << "-";
        out << "\n";
        out.flush();
    }
};

// The same step a few times: the medians leave the first out.
QList<Step> repeated(const std::function<void()> &timed)
{
    return { { timed }, { timed }, { timed } };
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

// What the old way showed for a filter: the patients whose name or ID held every word.
QList<AbstractDatabaseRow *> matching(const QList<Patient *> &patients, const QString &typed)
{
    const QStringList words = typed.toLower().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QList<AbstractDatabaseRow *> found;
    for (Patient *patient : patients) {
        const QString text = (patient->fullName() + QLatin1Char('\n') + patient->getPatientID()).toLower();
        if (std::all_of(
                words.cbegin(), words.cend(), [&](const QString &word) { return text.contains(word); }))
            found.append(patient);
    }
    return found;
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
    bool newOnly = false;
    for (const QString &argument : app.arguments().mid(1)) {
        if (argument == QLatin1String("--new-only"))
            newOnly = true;
        else
            numbers.append(argument.toInt());
    }
    const int patientCount = numbers.value(0, 10000);
    const int recordCount = numbers.value(1, 1000);
    const int rounds = qMax(1, numbers.value(2, 7));

    QTextStream out(stdout);
    if (DataLocations::prepareDataFolders() != DataLocations::DatabaseFileState::Created) {
        out << "cannot create the data folder\n";
        return 1;
    }
    KestaModel model;
    KestaSettings *settings = model.settings();
    settings->setPatientsTableColumns(QStringLiteral("FullName;PatientID;Age;LastVisit"));
    settings->setPatientsTableSorting(QStringLiteral("+FullName"));
    QCoreApplication::processEvents();
    out << "sorting in the locale " << QLocale::system().name() << "; medians over " << rounds
        << " rounds; ms wall / CPU\n"
        << "operation | old way | new way | new, worst | old/new (spread) | target\n";

    QObject owner;
    const QList<Patient *> patients = makePatients(patientCount, &owner);
    const QList<AbstractDatabaseRow *> allPatients(patients.cbegin(), patients.cend());
    const int selected = 100 + patientCount / 2;
    PatientsListWidget patientsTable(settings);
    patientsTable.resize(1000, 700);
    patientsTable.show();
    patientsTable.setSelectedId(selected, false);
    QWidget oldPatientsHost;
    oldPatientsHost.resize(1000, 700);
    oldPatientsHost.show();
    ItemGridBaseline oldPatients(&oldPatientsHost, &patientsTable);

    const auto resetOld = [&] { oldPatients.rebuild(allPatients, selected); };
    const auto resetNew = [&] { patientsTable.setPatients(patients); };
    // The new table first: the old way shows the columns it resolved.
    resetNew();
    resetOld();
    settle();

    const QString typed = QStringLiteral("petrov i");
    QList<Step> typingOld;
    QList<Step> typingNew;
    for (int length = 1; length <= typed.size(); ++length) {
        const QString prefix = typed.left(length);
        const QList<AbstractDatabaseRow *> found = matching(patients, prefix);
        typingOld.append({ [&oldPatients, found, selected] { oldPatients.rebuild(found, selected); } });
        typingNew.append({ [&patientsTable, prefix] { patientsTable.setFilterText(prefix); } });
    }
    // A user types into the field after giving it the focus (Ctrl+F or a click), untimed here.
    typingNew.first().prepare = [&] {
        patientsTable.setFilterText(QString());
        QApplication::setActiveWindow(&patientsTable);
        patientsTable.grid()->setFocus();
        patientsTable.searchField()->setFocus();
    };
    const QList<AbstractDatabaseRow *> found = matching(patients, typed);
    const Step clearOld { resetOld, [&] { oldPatients.rebuild(found, selected); } };
    const Step clearNew { [&] { patientsTable.setFilterText(QString()); },
        [&] { patientsTable.setFilterText(typed); } };

    Comparison reset(QStringLiteral("patients reset, %1 rows").arg(patients.size()), 60, newOnly);
    Comparison keystroke(QStringLiteral("filter keystroke (\"petrov i\")"), 20, newOnly);
    Comparison clearing(QStringLiteral("filter cleared"), 40, newOnly);
    for (int round = 0; round < rounds; ++round) {
        reset.round(repeated(resetOld), repeated(resetNew));
        keystroke.round(typingOld, typingNew);
        if (!newOnly && patientsTable.shownRowCount() != oldPatients.rowCount()) {
            out << "the filter shows " << patientsTable.shownRowCount() << " rows, the old way "
                << oldPatients.rowCount() << "\n";
            return 1;
        }
        clearing.round({ clearOld, clearOld, clearOld }, { clearNew, clearNew, clearNew });
    }
    reset.print(out);
    keystroke.print(out);
    clearing.print(out);

    if (!storeRecords(model.database(), recordCount, out))
        return 1;
    Patient *patient = model.database()->patientById(100);
    if (!patient || patient->records().size() != recordCount) {
        out << "the records did not load\n";
        return 1;
    }
    RecordsTable recordsTable(settings);
    recordsTable.resize(1000, 400);
    recordsTable.show();
    recordsTable.setPatient(patient);
    recordsTable.setSelectedId(100 + recordCount / 2, false);
    QWidget oldRecordsHost;
    oldRecordsHost.resize(1000, 400);
    oldRecordsHost.show();
    ItemGridBaseline oldRecords(&oldRecordsHost, &recordsTable);
    for (const QString &columns :
        { QStringLiteral("RecordDate;RecordType;Size;Temperature;Comments;FileName"),
            QStringLiteral("RecordDate;Comments") }) {
        settings->setRecordsTableColumns(columns);
        settle();
        const QList<Record *> records = patient->records();
        const QList<AbstractDatabaseRow *> rows(records.cbegin(), records.cend());
        Comparison refresh(QStringLiteral("records reset, %1 rows, %2 columns")
                               .arg(records.size())
                               .arg(recordsTable.shownColumnNames().size()),
            columns.count(QLatin1Char(';')) == 5 ? 30.0 : 0.0, newOnly);
        const auto refreshOld = [&] { oldRecords.rebuild(rows, 100 + recordCount / 2); };
        const auto refreshNew = [&] { recordsTable.refreshRecords(); };
        refreshNew();
        refreshOld();
        settle();
        for (int round = 0; round < rounds; ++round)
            refresh.round(repeated(refreshOld), repeated(refreshNew));
        refresh.print(out);
    }
    return 0;
}
