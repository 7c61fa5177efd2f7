// Times the printed pages a user waits for, each against the two seconds it may take:
//
// - the PDF of a patient with N records (5,000 by default), every other one with a
//   conclusion, in a fresh database file; the recording files are absent, so every row
//   reads "missing" and the figure is the layout and writing alone (a present file adds
//   the reading of its header, which edfbench times);
// - the trace page of a 2-hour, 32-channel recording at 256 Hz: reading its first ten
//   seconds and writing the page as PDF at 30 mm/s and 10 µV/mm.
//
// Figures are medians over the rounds; the files are written into a temporary folder first.
//
//     printbench [records] [rounds]
//     printbench --pages DIR [language]   writes the example pages (patient.pdf, trace.pdf) shown in the
//     README

#include "app/printing/patientpage.h"
#include "app/printing/tracepage.h"
#include "db/edf/edfsamples.h"
#include "db/model/datalocations.h"
#include "db/rows/conclusions.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "recorder/edfrecording.h"
#include "toolkit/i18n/languagecontext.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>

namespace
{

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

double milliseconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

namespace
{

// A small patient with a present recording, a missing one and conclusions.
int writePages(const QString &dir, QTemporaryDir &folder)
{
    DataLocations::setDataFolder(folder.path() + QLatin1Char('/'));
    DataLocations::prepareDataFolders();
    PatientDatabase db(DataLocations::databaseFile());
    if (!db.isUsable())
        return 1;
    Conclusions *conclusions = Conclusions::of(&db);
    auto *patient = new Patient;
    patient->setPatientID("A17");
    patient->setLastName("Petrov");
    patient->setFirstName("Ivan");
    patient->setMiddleName("Sergeevich");
    patient->setSex(Patient::Gender_Male);
    patient->setDOB(QDate(1980, 5, 1));
    patient->setHeight(178);
    patient->setWeight(76);
    patient->setReferral("Dr. Smirnova");
    patient->setDiagnosis("Episodes of loss of awareness");
    patient->setCity("Tver");
    db.insertPatient(patient);
    Patient *stored = db.patientById(Database::FirstId);
    const QString folderName = stored->folderName();
    QDir().mkpath(DataLocations::patientFolder(folderName));
    const QString present = DataLocations::recordingPath(folderName, "EEG_2\\routine.edf");
    QDir().mkpath(QFileInfo(present).path());
    EdfRecording::write(present, EdfRecording::scalpLayout(19, 1200), { "Petrov Ivan", "A17", {} },
        QDateTime(QDate(2024, 3, 5), QTime(14, 25)), "Routine");
    db.insertRecord(
        stored, QDateTime(QDate(2024, 3, 5), QTime(14, 25)), "EEG_2\\routine.edf", "EEG", "Routine");
    db.insertRecord(stored, QDateTime(QDate(2023, 11, 20), QTime(10, 5)), "EEG_1\\sleep.edf", "EEG", "Sleep");
    const QList<Record *> records = stored->records();
    conclusions->write(records.value(0),
        "Posterior dominant rhythm 10 Hz, reactive to eye opening. No epileptiform activity.\n"
        "Normal awake EEG.");
    conclusions->write(records.value(1), "Sleep spindles and vertex waves; no epileptiform discharges.");
    PatientPage::writePdf(dir + "/patient.pdf", stored, conclusions, "City Clinic, Neurophysiology");
    TracePage::Options options;
    TracePage::Content content;
    content.title = PatientPage::title(stored) + ", 05.03.2024 EEG";
    content.clinic = "City Clinic, Neurophysiology";
    content.conclusion = conclusions->conclusionOf(records.value(0)->getId());
    TracePage::writePdf(dir + "/trace.pdf", TracePage::read(present, options), options, content);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc > 2 && QString(argv[1]) == "--pages") {
        QTemporaryDir folder;
        LanguageContext::setLanguage(argc > 3 ? QString(argv[3]) : QStringLiteral("en_US"));
        return writePages(QString(argv[2]), folder);
    }
    const int records = argc > 1 ? QString(argv[1]).toInt() : 5000;
    const int rounds = argc > 2 ? QString(argv[2]).toInt() : 3;
    QTemporaryDir folder;
    DataLocations::setDataFolder(folder.path() + QLatin1Char('/'));
    DataLocations::prepareDataFolders();
    PatientDatabase db(DataLocations::databaseFile());
    QString reason;
    if (!db.isUsable(&reason)) {
        std::fprintf(stderr, "database: %s\n", qPrintable(reason));
        return 1;
    }
    Conclusions *conclusions = Conclusions::of(&db);
    auto *patient = new Patient;
    patient->setPatientID("B1");
    patient->setLastName(QString::fromUtf8("Петров"));
    patient->setFirstName(QString::fromUtf8("Иван"));
    patient->setDOB(QDate(1980, 5, 1));
    db.insertPatient(patient);
    Patient *stored = db.patientById(Database::FirstId);
    {
        Database::Transaction write(&db);
        for (int i = 0; i < records; ++i) {
            db.insertRecord(stored, QDateTime(QDate(2010, 1, 1), QTime(9, 0)).addSecs(i * 3600LL * 7),
                QString("EEG_%1\\r.edf").arg(i), "EEG", QString("take %1").arg(i));
        }
        write.commit();
    }
    const QList<Record *> list = stored->records();
    {
        Database::Transaction write(&db);
        for (int i = 0; i < list.size(); i += 2)
            conclusions->write(
                list.at(i), QString::fromUtf8("Альфа-ритм 10 Гц, без эпилептиформной активности."));
        write.commit();
    }
    std::printf(
        "patient with %d records (%d with a conclusion)\n", int(list.size()), int(list.size() + 1) / 2);

    const QString edf = folder.filePath("long.edf");
    const QString failure = EdfRecording::write(edf, EdfRecording::scalpLayout(32, 7200, 256),
        { "Petrov Ivan", "B1", {} }, QDateTime(QDate(2024, 3, 5), QTime(14, 25)), "Routine");
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "recording: %s\n", qPrintable(failure));
        return 1;
    }

    QVector<double> patientPage, traceRead, traceWrite, traceAll;
    qint64 patientBytes = 0, traceBytes = 0;
    for (int round = 0; round < rounds; ++round) {
        const QString pdf = folder.filePath("patient.pdf");
        patientPage << milliseconds([&] { PatientPage::writePdf(pdf, stored, conclusions, "Clinic"); });
        patientBytes = QFileInfo(pdf).size();

        const QString page = folder.filePath("trace.pdf");
        TracePage::Options options;
        TracePage::Content content;
        content.title = "Petrov Ivan";
        EdfSamples samples;
        traceAll << milliseconds([&] {
            traceRead << milliseconds([&] { samples = TracePage::read(edf, options); });
            traceWrite << milliseconds([&] { TracePage::writePdf(page, samples, options, content); });
        });
        traceBytes = QFileInfo(page).size();
    }
    std::printf("patient page PDF:   %8.0f ms  (%lld KiB)\n", median(patientPage), patientBytes / 1024);
    std::printf("trace page, read:   %8.0f ms\n", median(traceRead));
    std::printf("trace page, write:  %8.0f ms  (%lld KiB)\n", median(traceWrite), traceBytes / 1024);
    std::printf("trace page, total:  %8.0f ms   (2 h x 32 channels at 256 Hz; target 2000 ms each)\n",
        median(traceAll));
    return 0;
}
