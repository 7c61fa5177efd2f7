// Drives the real main window over a prepared data folder and times what a user
// waits for, each step followed by the events it leaves (layout, painting,
// deferred deletion):
//
//     windowbench fill DIR PATIENTS RECORDS [--no-files]
//         Writes a data folder: PATIENTS patients with RECORDS recordings each
//         (a 4 KiB file each unless --no-files), one patient with 5,000 and one
//         with 2,000 recordings. One patient in eight is called Kuznetsova, the
//         only name with a "z", so typing "z" narrows the list to an eighth.
//     windowbench run DIR STEP... [--rounds K]
//         Starts as the program does (styles, language, model, window) with
//         DIR as home, in a fresh working folder, and prints one line per
//         sample: "step <name> <wall ms> <CPU ms>". Every run times
//         "model" (the patient list read) and "shown" (model and window up,
//         the last patient selected, painted). Steps:
//           select  K key presses Down in the patients list, each a patient
//                   selected for the first time, card and records shown
//           big     the first selection of the patient with 5,000 records
//           sfn     K recordings reported over the exchange for the patient
//                   with 2,000 records, each until the records table shows it
//                   (the sample is per recording; "sfn-rate" per second)
//           focus   the search field takes the focus (Ctrl+F)
//           type    the keystroke "z" into the empty field ("rows" gives how
//                   many it leaves), then Escape empties it ("clear"); K times,
//                   the first keystroke as "type-first"
//           idle    waits until the window has no more work queued between
//                   events (zero-interval timers, such as the one reading
//                   search texts, stopped): the time a user must leave before
//                   the next step finds that work done
//           live    K patients inserted over a second connection, each read
//                   and announced as a change from another workstation is,
//                   until the list shows it
//           create  K patients created in the patient dialog, each from the
//                   click on its button until the list shows it selected
//           sort    a click on each shown column's header, twice, K times;
//                   a column's first sort is "sort-first"
//     windowbench run DIR STEP... --server [N] [--rounds K]
//         The same over a private PostgreSQL server on loopback, started as
//         the tests start theirs and filled with N patients (100,000) and the
//         two with many recordings; DIR holds only the home. "live" is then a
//         patient inserted by a second workstation (a connection of its own),
//         timed from its commit until the list shows it.
//
// The lines are meant for tools/windowbench/compare.sh, which runs this
// program as built from two sources, alternating, and prints the medians side
// by side. The program listens on the exchange port: run it where no other
// Kesta does.

#include "app/mainwindow.h"
#include "app/patientdialog.h"
#include "app/tables/patientslistwidget.h"
#include "app/tables/recordstable.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "db/rows/patient.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/basepropertyview.h"
#include "toolkit/settings/propertytabwidget.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/platform.h"
#include "support/testserver.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>

namespace
{

const char *const LastNames[]
    = { "Petrov", "Ivanova", "Smirnov", "Kuznetsova", "Popov", "Sokolova", "Lebedev", "Volkova" };
const char *const FirstNames[] = { "Ivan", "Anna", "Sergey", "Maria", "Pavel", "Olga", "Dmitry" };
const int BigRecords = 5000;
const int SfnRecords = 2000;

double cpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (int turn = 0; turn < 2; ++turn) {
        QEventLoop loop;
        QTimer::singleShot(0, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

// Times one step with the events it leaves, and prints it.
void timed(QTextStream &out, const QString &name, const std::function<void()> &step)
{
    QElapsedTimer timer;
    const double cpuStart = cpuMs();
    timer.start();
    step();
    settle();
    out << "step " << name << ' ' << timer.nsecsElapsed() / 1e6 << ' ' << cpuMs() - cpuStart << '\n';
    out.flush();
}

bool waitFor(const std::function<bool()> &done, int timeoutMs = 20000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

QString folderOf(const QString &id, const QString &lastName, const QString &firstName)
{
    Patient names;
    names.setPatientID(id);
    names.setLastName(lastName);
    names.setFirstName(firstName);
    return names.folderName();
}

bool fill(int patients, int recordsEach, bool withFiles, QTextStream &out)
{
    if (DataLocations::prepareDataFolders() != DataLocations::DatabaseFileState::Created) {
        out << "the data folder exists already or cannot be made\n";
        return false;
    }
    const QByteArray recording(4096, 'x');
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
    db.setDatabaseName(DataLocations::databaseFile());
    if (!db.open())
        return false;
    db.transaction();
    QSqlQuery patient(db);
    patient.prepare(
        QStringLiteral("INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, MiddleName, "
                       "Sex, DOB, Height, Weight, Hand, City, Diagnosis, LastVisit) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 'R', 'Tver', 'G40.9', ?)"));
    QSqlQuery record(db);
    record.prepare(
        QStringLiteral("INSERT INTO Records (RecordID, PatientID, RecordDate, FileName, RecordType, "
                       "Comments, Temperature) VALUES (?, ?, ?, ?, 'EEG', 'good record', 36.6)"));
    int recordId = 100;
    const auto addPatient = [&](int autoId, const QString &id, const QString &last, const QString &first,
                                int index, int records) {
        patient.addBindValue(autoId);
        patient.addBindValue(id);
        patient.addBindValue(last);
        patient.addBindValue(first);
        patient.addBindValue(QStringLiteral("N%1").arg(index % 97));
        patient.addBindValue(index % 2 ? QStringLiteral("M") : QStringLiteral("F"));
        patient.addBindValue(QDate(1940 + index % 80, 1 + index % 12, 1 + index % 28).toString(Qt::ISODate));
        patient.addBindValue(150 + index % 50);
        patient.addBindValue(50 + index % 40);
        patient.addBindValue(QDate(2020, 1, 1).addDays(index % 1500).toString(Qt::ISODate));
        if (!patient.exec()) {
            out << "fill failed: " << patient.lastError().text() << "\n";
            return false;
        }
        const QString folder = DataLocations::patientFolder(folderOf(id, last, first));
        for (int r = 0; r < records; ++r, ++recordId) {
            const QDateTime date(QDate(2010, 1, 1).addDays(r), QTime(9, 0).addSecs(index % 3600));
            const QString recordFolder
                = QStringLiteral("EEG_") + date.toString(QStringLiteral("yyyy_MM_dd_HHmmss"));
            record.addBindValue(recordId);
            record.addBindValue(id);
            record.addBindValue(date.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")));
            record.addBindValue(recordFolder + QStringLiteral("\\rec.edf"));
            if (!record.exec()) {
                out << "fill failed: " << record.lastError().text() << "\n";
                return false;
            }
            if (withFiles) {
                QDir().mkpath(folder + recordFolder);
                QFile file(folder + recordFolder + QStringLiteral("/rec.edf"));
                if (!file.open(QIODevice::WriteOnly) || file.write(recording) != recording.size())
                    return false;
            }
        }
        return true;
    };
    for (int i = 0; i < patients; ++i) {
        if (!addPatient(100 + i, QStringLiteral("P%1").arg(i, 6, 10, QLatin1Char('0')),
                QString::fromLatin1(LastNames[i % 8]), QString::fromLatin1(FirstNames[(i / 8) % 7]), i,
                recordsEach))
            return false;
    }
    // Named so that they sort first and the filter's "z" leaves them out.
    if (!addPatient(100 + patients, QStringLiteral("BIG"), QStringLiteral("Aarons"), QStringLiteral("Big"), 1,
            BigRecords)
        || !addPatient(101 + patients, QStringLiteral("SFN"), QStringLiteral("Abbot"), QStringLiteral("Sfn"),
            2, SfnRecords))
        return false;
    db.commit();
    return true;
}

// The rows the file's fill writes, made by the server itself; the history
// triggers are off meanwhile (they would make the fill take minutes), as rows
// moved in by a copy are.
bool fillServer(const DatabaseLocation &location, int patients, QTextStream &out)
{
    PatientDatabase db(location);
    QString reason;
    if (!db.isUsable(&reason)) {
        out << "server database not usable: " << reason << "\n";
        return false;
    }
    QSqlQuery query(db.database());
    QStringList last, first;
    for (const char *name : LastNames)
        last << QStringLiteral("'%1'").arg(QLatin1String(name));
    for (const char *name : FirstNames)
        first << QStringLiteral("'%1'").arg(QLatin1String(name));
    const QStringList statements {
        QStringLiteral("ALTER TABLE Patients DISABLE TRIGGER USER"),
        QStringLiteral("ALTER TABLE Records DISABLE TRIGGER USER"),
        QStringLiteral("INSERT INTO Patients (AutoID, PatientID, LastName, FirstName, MiddleName, Sex, DOB, "
                       "Height, Weight, Hand, City, Diagnosis, LastVisit) SELECT 100 + i, 'P' || lpad(i::text, "
                       "6, '0'), (ARRAY[%2])[i %% 8 + 1], (ARRAY[%3])[(i / 8) %% 7 + 1], 'N' || (i %% 97), "
                       "CASE WHEN i %% 2 = 1 THEN 'M' ELSE 'F' END, make_date(1940 + i %% 80, 1 + i %% 12, "
                       "1 + i %% 28), 150 + i %% 50, 50 + i %% 40, 'R', 'Tver', 'G40.9', date '2020-01-01' + "
                       "i %% 1500 FROM generate_series(0, %1) i")
            .arg(patients - 1)
            .arg(last.join(QLatin1Char(',')), first.join(QLatin1Char(',')))
            .replace(QLatin1String("%%"), QLatin1String("%")),
        QStringLiteral("INSERT INTO Patients (AutoID, PatientID, LastName, FirstName) VALUES "
                       "(%1, 'BIG', 'Aarons', 'Big'), (%2, 'SFN', 'Abbot', 'Sfn')")
            .arg(100 + patients)
            .arg(101 + patients),
        QStringLiteral("INSERT INTO Records (RecordID, PatientID, RecordDate, FileName, RecordType, Comments, "
                       "Temperature) SELECT 100 + i, CASE WHEN i < %1 THEN 'BIG' ELSE 'SFN' END, timestamp "
                       "'2010-01-01 09:00' + i * interval '1 day', 'EEG_' || i || '\\rec.edf', 'EEG', "
                       "'good record', 36.6 FROM generate_series(0, %2) i")
            .arg(BigRecords)
            .arg(BigRecords + SfnRecords - 1),
        QStringLiteral("ALTER TABLE Patients ENABLE TRIGGER USER"),
        QStringLiteral("ALTER TABLE Records ENABLE TRIGGER USER"),
        QStringLiteral("SELECT setval(pg_get_serial_sequence('patients', 'autoid'), max(AutoID)) FROM Patients"),
        QStringLiteral("SELECT setval(pg_get_serial_sequence('records', 'recordid'), max(RecordID)) FROM Records"),
        QStringLiteral("ANALYZE"),
    };
    for (const QString &statement : statements) {
        if (!query.exec(statement)) {
            out << "server fill failed: " << query.lastError().text() << "\n";
            return false;
        }
    }
    return true;
}

void writeSettings(int lastPatientId, const DatabaseLocation *server)
{
    QFile file(QStringLiteral("Settings.xml"));
    if (!file.open(QIODevice::WriteOnly))
        return;
    QTextStream xml(&file);
    xml << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<KestaSettings>\n"
        << "<Language>ru_RU</Language>\n"
        << "<CheckForNewVersion>false</CheckForNewVersion>\n"
        << "<StartMaximized>false</StartMaximized>\n"
        << "<PatientsTableColumns>FullName;PatientID;Age</PatientsTableColumns>\n"
        << "<PatientsTableSorting>+FullName</PatientsTableSorting>\n"
        << "<LastPatientId>" << lastPatientId << "</LastPatientId>\n";
    if (server)
        xml << "<ServerHost>" << server->host << "</ServerHost>\n"
            << "<ServerPort>" << server->port << "</ServerPort>\n"
            << "<ServerDatabase>" << server->databaseName << "</ServerDatabase>\n"
            << "<ServerUser>" << server->user << "</ServerUser>\n"
            << "<ServerTlsMode>disable</ServerTlsMode>\n";
    xml << "</KestaSettings>\n";
}

int run(const QStringList &steps, int rounds, const DatabaseLocation *server, QTextStream &out)
{
    QElapsedTimer started;
    started.start();
    const double cpuStart = cpuMs();
    std::unique_ptr<KestaModel> model;
    std::unique_ptr<MainWindow> window;
    timed(out, QStringLiteral("model"), [&] { model = std::make_unique<KestaModel>(); });
    const int patientCount = model->database()->patients().size();
    window = std::make_unique<MainWindow>();
    window->resize(1400, 900);
    if (!window->initialize())
        return 1;
    if (!QTest::qWaitForWindowExposed(window.get()))
        return 1;
    settle();
    out << "step shown " << started.nsecsElapsed() / 1e6 << ' ' << cpuMs() - cpuStart << '\n';

    auto *patients = window->findChild<PatientsListWidget *>(QStringLiteral("patientsTable"));
    auto *records = window->findChild<RecordsTable *>(QStringLiteral("recordsTable"));
    QLineEdit *search = patients ? patients->searchField() : nullptr;
    if (!patients || !records || !search)
        return 1;
    QApplication::setActiveWindow(window.get());
    const int firstId = Database::FirstId;
    const int bigId = Database::FirstId + patientCount - 2;

    for (const QString &step : steps) {
        if (step == QLatin1String("select")) {
            patients->grid()->setFocus();
            patients->setSelectedId(firstId + 1, true);
            settle();
            for (int i = 0; i < rounds; ++i)
                timed(out, step, [&] { QTest::keyClick(patients->grid(), Qt::Key_Down); });
        } else if (step == QLatin1String("big")) {
            timed(out, step, [&] { patients->setSelectedId(bigId, true); });
            if (records->grid()->model()->rowCount() != BigRecords)
                return 2;
        } else if (step == QLatin1String("sfn")) {
            patients->setSelectedId(bigId + 1, true);
            settle();
            QTcpSocket peer;
            peer.connectToHost(QStringLiteral("127.0.0.1"), 2700);
            if (!peer.waitForConnected(5000))
                return 3;
            QElapsedTimer all;
            all.start();
            for (int i = 0; i < rounds; ++i) {
                const QString folder = QDateTime(QDate(2030, 1, 1).addDays(i), QTime(8, 0))
                                           .toString(QStringLiteral("'EEG_'yyyy_MM_dd_HHmmss"));
                const int expected = records->grid()->model()->rowCount() + 1;
                timed(out, step, [&] {
                    peer.write(QStringLiteral("SFN\\%1\\rec.edf").arg(folder).toUtf8() + '\0');
                    peer.flush();
                    waitFor([&] { return records->grid()->model()->rowCount() == expected; });
                });
                if (records->grid()->model()->rowCount() != expected)
                    return 4;
            }
            out << "step sfn-rate " << rounds * 1000.0 / qMax<qint64>(1, all.elapsed()) << " 0\n";
        } else if (step == QLatin1String("idle")) {
            timed(out, step, [&] {
                waitFor([&] {
                    const QList<QTimer *> timers = window->findChildren<QTimer *>();
                    return std::none_of(timers.cbegin(), timers.cend(),
                        [](const QTimer *timer) { return timer->isActive() && timer->interval() == 0; });
                });
            });
        } else if (step == QLatin1String("focus")) {
            patients->grid()->setFocus();
            settle();
            timed(out, step, [&] { QTest::keySequence(window.get(), QKeySequence::Find); });
            if (!search->hasFocus())
                return 5;
        } else if (step == QLatin1String("type")) {
            search->setFocus();
            search->clear();
            settle();
            for (int i = 0; i < rounds; ++i) {
                timed(out, i == 0 ? QStringLiteral("type-first") : step,
                    [&] { QTest::keyClick(search, Qt::Key_Z); });
                out << "step rows " << patients->shownRowCount() << " 0\n";
                timed(out, QStringLiteral("clear"), [&] { QTest::keyClick(search, Qt::Key_Escape); });
                if (patients->shownRowCount() != patientCount)
                    return 6;
            }
        } else if (step == QLatin1String("live") && server) {
            // The other workstation: a database of its own on the same server,
            // whose write announces the patient as every workstation's does.
            PatientDatabase other(*server);
            for (int i = 0; i < rounds; ++i) {
                Patient fresh;
                fresh.setPatientID(QStringLiteral("LIVE%1").arg(i));
                fresh.setLastName(QStringLiteral("Lebedeva"));
                fresh.setFirstName(QStringLiteral("Live"));
                const int before = patients->totalRowCount();
                if (other.insertPatient(&fresh) <= 0)
                    return 7;
                timed(out, step, [&] { waitFor([&] { return patients->totalRowCount() == before + 1; }); });
                if (patients->totalRowCount() != before + 1)
                    return 8;
            }
        } else if (step == QLatin1String("live")) {
            // The other workstation: a connection of its own to the same file.
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            other.setDatabaseName(DataLocations::databaseFile());
            if (!other.open())
                return 7;
            Database *database = model->database();
            QSqlQuery last(other);
            if (!last.exec(QStringLiteral("SELECT MAX(AutoID) FROM Patients")) || !last.next())
                return 7;
            const int lastId = last.value(0).toInt();
            for (int i = 0; i < rounds; ++i) {
                const int id = lastId + 1 + i;
                QSqlQuery insert(other);
                if (!insert.exec(QStringLiteral("INSERT INTO Patients (AutoID, PatientID, LastName, FirstName) "
                                                "VALUES (%1, 'LIVE%1', 'Lebedeva', 'Live')")
                            .arg(id)))
                    return 7;
                const int before = patients->totalRowCount();
                // What the live updates do with a row another workstation announced.
                timed(out, step, [&] {
                    database->readPatient(id);
                    emit database->patientsChanged();
                });
                if (patients->totalRowCount() != before + 1)
                    return 8;
            }
        } else if (step == QLatin1String("create")) {
            auto *newPatient = window->findChild<QAction *>(QStringLiteral("actionNewPatient"));
            if (!newPatient)
                return 9;
            for (int i = 0; i < rounds; ++i) {
                const int before = patients->totalRowCount();
                const QString id = QStringLiteral("NEW%1").arg(before);
                QTimer::singleShot(0, [&] {
                    auto *dialog = qobject_cast<PatientDialog *>(QApplication::activeModalWidget());
                    if (!dialog)
                        return;
                    const auto type = [dialog](const QString &column, const QString &text) {
                        if (auto *edit = qobject_cast<QLineEdit *>(
                                dialog->form()->getWidgetInfo(column).view->getEditor()))
                            edit->setText(text);
                        QCoreApplication::processEvents();
                    };
                    type(QStringLiteral("PatientID"), id);
                    type(QStringLiteral("LastName"), QStringLiteral("Lebedeva"));
                    type(QStringLiteral("FirstName"), QStringLiteral("New"));
                    timed(out, step, [&] {
                        dialog->findChild<QPushButton *>(QStringLiteral("positive"))->click();
                    });
                });
                newPatient->trigger();
                settle();
                if (patients->totalRowCount() != before + 1
                    || !patients->selectedPatient()
                    || patients->selectedPatient()->getPatientID() != id)
                    return 10;
            }
            QApplication::setActiveWindow(window.get());
        } else if (step == QLatin1String("sort")) {
            QHeaderView *header = patients->grid()->horizontalHeader();
            QSet<int> sorted { header->sortIndicatorSection() };
            for (int i = 0; i < rounds; ++i) {
                for (int section = 0; section < header->count(); ++section) {
                    for (int click = 0; click < 2; ++click) {
                        const QPoint at(header->sectionViewportPosition(section) + 5, header->height() / 2);
                        const bool first = !sorted.contains(section);
                        sorted.insert(section);
                        timed(out, first ? QStringLiteral("sort-first") : QStringLiteral("sort"),
                            [&] { QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at); });
                    }
                }
            }
        } else {
            out << "unknown step " << step << '\n';
            return 1;
        }
    }
    out.flush();
    return 0;
}

} // namespace

// Weak: compare.sh builds this file into older trees too, which start without it.
namespace Platform
{
void readTimeZoneOnce() __attribute__((weak));
}

int main(int argc, char *argv[])
{
    // As the program starts.
    if (Platform::readTimeZoneOnce)
        Platform::readTimeZoneOnce();
    const QStringList arguments = [&] {
        QStringList list;
        for (int i = 1; i < argc; ++i)
            list << QString::fromLocal8Bit(argv[i]);
        return list;
    }();
    if (arguments.size() < 2
        || (arguments.at(0) != QLatin1String("fill") && arguments.at(0) != QLatin1String("run"))) {
        QTextStream(stderr) << "usage: windowbench fill DIR PATIENTS RECORDS [--no-files]\n"
                               "       windowbench run DIR STEP... [--rounds K]\n";
        return 1;
    }
    const QString home = QDir(arguments.at(1)).absolutePath();
    QDir().mkpath(home);
    // The data folder lies under HOME, Settings.xml in the working folder.
    qputenv("HOME", home.toUtf8());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Names sort as a Russian clinic's workstation sorts them.
    qputenv("LC_ALL", "ru_RU.UTF-8");
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/windowbench-XXXXXX"));
    if (!work.isValid())
        return 1;
    QDir::setCurrent(work.path());
    QApplication app(argc, argv);
    QTextStream out(stdout);

    if (arguments.at(0) == QLatin1String("fill")) {
        QElapsedTimer timer;
        timer.start();
        const bool ok = fill(arguments.value(2).toInt(), arguments.value(3).toInt(),
            !arguments.contains(QLatin1String("--no-files")), out);
        out << (ok ? "filled in " : "failed after ") << timer.elapsed() << " ms\n";
        return ok ? 0 : 1;
    }

    QStringList steps;
    int rounds = 20;
    int serverPatients = 0;
    for (int i = 2; i < arguments.size(); ++i) {
        if (arguments.at(i) == QLatin1String("--rounds") && i + 1 < arguments.size())
            rounds = qMax(1, arguments.at(++i).toInt());
        else if (arguments.at(i) == QLatin1String("--server"))
            serverPatients = i + 1 < arguments.size() && arguments.at(i + 1).toInt() > 0
                ? arguments.at(++i).toInt()
                : 100000;
        else
            steps << arguments.at(i);
    }
    DatabaseLocation server;
    if (serverPatients > 0) {
        kestatest::TestServer *instance = kestatest::TestServer::instance();
        if (!instance) {
            out << "no server: " << kestatest::TestServer::startError() << "\n";
            return 1;
        }
        server = instance->createDatabase(QStringLiteral("windowbench"));
        QElapsedTimer timer;
        timer.start();
        if (!fillServer(server, serverPatients, out))
            return 1;
        QTextStream(stderr) << "server filled in " << timer.elapsed() << " ms\n";
    }
    // The last patient selected before: a start shows one card.
    writeSettings(Database::FirstId + 7, serverPatients > 0 ? &server : nullptr);
    StyleHelper::registerFontsAndStyles();
    LanguageContext::UseFilesInRootDir = false;
    LanguageContext::setLanguage(LanguageContext::startupLanguage(QStringLiteral("Settings.xml")));
    return run(steps, rounds, serverPatients > 0 ? &server : nullptr, out);
}
