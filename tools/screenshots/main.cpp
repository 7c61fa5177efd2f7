// Renders the main window over a demonstration database (a dozen patients with Cyrillic
// and Latin names, several recordings each) in the light and the dark theme and in
// Russian and English, and the patient dialog, to PNG files in the given folder:
//     cmake --build build --target screenshots
// writes build/screenshots/main-<theme>-<language>.png and
// patient-<theme>-<language>.png, and the import's mapping (import-mapping.png, light,
// English). Runs offscreen in a temporary home and working
// folder, so nothing of the user's data or settings is read or touched.
//
//     kesta_screenshots <folder> [<language>]
// Without a language it runs itself once for each: like the program, a process keeps
// the language it started in.

#include "app/aboutbox.h"
#include "app/mainwindow.h"
#include "app/importdialog.h"
#include "app/patientdialog.h"
#include "app/settingsdialog.h"
#include "app/startup.h"
#include "app/tables/patientslistwidget.h"
#include "app/tables/recordstable.h"
#include "app/tracepreview.h"
#include "db/model/datalocations.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "db/rows/patient.h"
#include "db/storage/database.h"
#include "recorder/edfrecording.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/style/stylehelper.h"

#include <QApplication>
#include <QComboBox>
#include <QTableWidget>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>

namespace
{

struct DemoPatient {
    const char *id;
    const char *lastName;
    const char *firstName;
    const char *middleName;
    Patient::PatientGender sex;
    QDate birth;
    const char *city;
    const char *diagnosis;
    int recordings;
};

const DemoPatient Patients[] = {
    { "A-1017", "Иванова", "Мария", "Петровна", Patient::Gender_Female, { 1984, 2, 29 }, "Москва",
        "Эпилепсия, фокальные приступы", 4 },
    { "A-1022", "Смирнов", "Алексей", "Игоревич", Patient::Gender_Male, { 1971, 11, 3 }, "Тверь",
        "Синкопальные состояния", 2 },
    { "A-1031", "Кузнецова", "Ольга", "Викторовна", Patient::Gender_Female, { 1996, 6, 17 }, "Казань",
        "Головные боли напряжения", 3 },
    { "A-1046", "Попов", "Дмитрий", "Сергеевич", Patient::Gender_Male, { 2012, 1, 9 }, "Самара",
        "Фебрильные судороги в анамнезе", 5 },
    { "A-1058", "Соколова", "Елена", "Андреевна", Patient::Gender_Female, { 1959, 9, 30 }, "Ярославль",
        "Дисциркуляторная энцефалопатия", 2 },
    { "A-1063", "Лебедев", "Николай", "", Patient::Gender_Unspecified, { 1988, 4, 21 }, "Пермь", "", 1 },
    { "B-2004", "Müller", "Anna", "", Patient::Gender_Female, { 1979, 8, 12 }, "Leipzig", "Absence epilepsy",
        3 },
    { "B-2011", "Novák", "Petr", "", Patient::Gender_Male, { 1965, 12, 1 }, "Brno", "Post-traumatic seizures",
        2 },
    { "B-2019", "García", "Lucía", "", Patient::Gender_Female, { 2005, 3, 25 }, "Valencia", "Sleep disorder",
        4 },
    { "B-2027", "O'Brien", "Sean", "", Patient::Gender_Male, { 1993, 7, 8 }, "Cork", "Migraine with aura",
        2 },
    { "B-2033", "Kowalska", "Zofia", "", Patient::Gender_Female, { 1950, 5, 14 }, "Kraków",
        "Cognitive decline", 3 },
    { "B-2045", "Lindqvist", "Erik", "", Patient::Gender_Male, { 2016, 10, 2 }, "Uppsala",
        "Developmental delay", 2 },
};

const char *const Comments[] = { "Фоновая запись", "Фотостимуляция", "Гипервентиляция 3 мин", "Eyes closed",
    "Sleep deprivation", "Routine EEG" };

// A recording file of some kilobytes, so the table shows its size and the play mark.
// A recording of 19 scalp channels, as the recorder writes them.
bool writeRecording(const QString &path, int seconds, const QDateTime &start, const QString &comment)
{
    return QDir().mkpath(QFileInfo(path).absolutePath())
        && EdfRecording::write(path, EdfRecording::scalpLayout(19, seconds), { "Demo", "", QDate() }, start, comment)
               .isEmpty();
}

bool fillDatabase(Database *db)
{
    int recordingNumber = 0;
    for (const DemoPatient &demo : Patients) {
        Patient patient;
        patient.setPatientID(demo.id);
        patient.setLastName(QString::fromUtf8(demo.lastName));
        patient.setFirstName(QString::fromUtf8(demo.firstName));
        patient.setMiddleName(QString::fromUtf8(demo.middleName));
        patient.setSex(demo.sex);
        patient.setDOB(demo.birth);
        patient.setCity(QString::fromUtf8(demo.city));
        patient.setDiagnosis(QString::fromUtf8(demo.diagnosis));
        patient.setHeight(demo.birth.year() > 2010 ? 128 : 172);
        patient.setWeight(demo.birth.year() > 2010 ? 27 : 71);
        const int id = db->insertPatient(&patient);
        Patient *stored = db->patientById(id);
        if (!stored)
            return false;
        for (int i = 0; i < demo.recordings; ++i, ++recordingNumber) {
            const QDateTime date = QDateTime(QDate(2024, 1, 15), QTime(9, 30))
                                       .addDays(recordingNumber * 3 + i * 40)
                                       .addSecs(recordingNumber * 1870);
            const QString folder
                = QStringLiteral("EEG_") + date.toString(QStringLiteral("yyyy_MM_dd_HHmmss"));
            const QString fileName = folder + QStringLiteral("\\") + QString::fromLatin1(demo.id).remove('-')
                + QStringLiteral(".edf");
            const QString comment = QString::fromUtf8(Comments[recordingNumber % std::size(Comments)]);
            if (!writeRecording(DataLocations::recordingPath(stored->folderName(), fileName),
                    20 + (recordingNumber * 37) % 100, date, comment))
                return false;
            if (db->insertRecord(stored, date, fileName, QStringLiteral("EEG"), comment) <= 0)
                return false;
        }
    }
    return true;
}

// Lets queued work and the card view's delayed splitter sizes run.
void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool save(QWidget *widget, const QString &path)
{
    settle(400);
    const bool saved = widget->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    return saved;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // A home and working folder of its own: the data folder and Settings.xml live there.
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    qputenv("HOME", home.path().toLocal8Bit());
    QDir::setCurrent(home.path());

    QApplication app(argc, argv);
    const QString folder = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(".")).absolutePath();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    if (argc < 3) {
        int failures = 0;
        for (const QString language : { "ru_RU", "en_US" })
            failures += QProcess::execute(QCoreApplication::applicationFilePath(), { folder, language }) != 0;
        return failures ? 1 : 0;
    }
    const QString language = QString::fromLocal8Bit(argv[2]);
    Startup::setApplicationVersion();
    StyleHelper::registerFontsAndStyles();
    LanguageContext::UseFilesInRootDir = false;
    LanguageContext::setLanguage(language);

    if (DataLocations::prepareDataFolders() == DataLocations::DatabaseFileState::Failed)
        return 1;
    KestaModel model;
    KestaSettings *settings = model.settings();
    settings->setCheckForNewVersion(false);
    settings->setStartMaximized(false);
    if (!fillDatabase(model.database())) {
        std::fprintf(stderr, "the demonstration database could not be filled\n");
        return 1;
    }
    Patient *shown = model.database()->patientByPatientId("A-1017");
    settings->setLastPatientId(shown->getId());
    // A recording copied into the folder by hand, which no record lists yet.
    if (!writeRecording(DataLocations::recordingPath(shown->folderName(), "EEG_2024_06_03_101500\\copied.edf"), 40,
            QDateTime(QDate(2024, 6, 3), QTime(10, 15)), QStringLiteral("Photic stimulation")))
        return 1;

    bool allSaved = true;
    for (const QString theme : { "light", "dark" }) {
        settings->setColorTheme(theme == "dark" ? ColorTheme::Dark : ColorTheme::Light);
        const QString suffix = theme + QLatin1Char('-') + language + QStringLiteral(".png");
        MainWindow window;
        window.resize(1400, 820);
        if (!window.initialize())
            return 1;
        // The newest registered recording selected, its preview drawn; the copied file above it.
        auto *records = window.findChild<RecordsTable *>();
        auto *preview = window.findChild<TracePreview *>();
        settle(300);
        records->setSelectedId(records->grid()->model()->index(1, 0).data(Qt::UserRole).toInt(), true);
        QElapsedTimer waited;
        waited.start();
        while (preview->state() == TracePreview::State::Reading && waited.elapsed() < 5000)
            settle(50);
        allSaved = save(&window, folder + QStringLiteral("/main-") + suffix) && allSaved;

        PatientDialog dialog(window.currentPatient(), model.database(), &window);
        dialog.resize(640, 560);
        dialog.show();
        allSaved = save(&dialog, folder + QStringLiteral("/patient-") + suffix) && allSaved;
        dialog.close();

        // File, Import over another system's export: its columns mapped, the check made.
        const QString export_ = home.filePath(QStringLiteral("export.csv"));
        QFile csv(export_);
        if (!csv.open(QIODevice::WriteOnly)
            || csv.write(QStringLiteral(
                   "Card;Patient;Sex;Born;Address;Phone;Photo\r\n"
                   "A-1017;Орлова Мария Павловна;ж;14.03.86;\"ул. Садовая, 5\r\nкв. 12\";+7 812 555-01-17;\r\n"
                   "77-310;Hartley, James Edward;m;02.11.59;14 Mill Lane;+44 20 7946 0310;\r\n"
                   "77-311;Ковалёв Дмитрий;м;31.02.74;;;\r\n"
                   "77-312;Brennan Siobhan;f;27.07.01;3 Quay Street;;\r\n")
                       .toUtf8())
                < 0)
            return 1;
        csv.close();
        ImportDialog import(model.database(), &window);
        if (!import.openSource(export_))
            return 1;
        auto *mapping = import.findChild<QTableWidget *>(QStringLiteral("importMapping"));
        const QStringList fields { "PatientID", "FullName", "Sex", "DOB", "Street", "Phone", QString() };
        for (int row = 0; row < mapping->rowCount() && row < fields.size(); ++row) {
            auto *field = qobject_cast<QComboBox *>(mapping->cellWidget(row, 1));
            field->setCurrentIndex(qMax(0, field->findData(fields.at(row))));
        }
        import.check();
        import.resize(1000, 760);
        import.show();
        if (language == QLatin1String("en_US") && theme == QLatin1String("light"))
            allSaved = save(&import, folder + QStringLiteral("/import-mapping.png")) && allSaved;
        import.close();
        window.close();
    }

    // In the light theme: the window as a small screen has it, with the columns that show
    // dates; the settings with a changed data folder; the About box; an empty patients list.
    settings->setColorTheme(ColorTheme::Light);
    const QString suffix = QStringLiteral("light-") + language + QStringLiteral(".png");
    settings->setPatientsTableColumns(QStringLiteral("FullName;PatientID;Age;LastVisit;DOB;Sex"));
    {
        MainWindow window;
        window.resize(1024, 768);
        if (!window.initialize())
            return 1;
        allSaved = save(&window, folder + QStringLiteral("/narrow-") + suffix) && allSaved;
        SettingsDialog dialog(settings, &window);
        dialog.show();
        settings->setDataFolder(QDir::homePath() + QStringLiteral("/share/kesta"));
        allSaved = save(&dialog, folder + QStringLiteral("/settings-") + suffix) && allSaved;
        // The server's group, below the common ones on a small screen.
        if (auto *list = dialog.findChild<PropertyListControl *>()) {
            QScrollBar *bar = list->getScrollArea()->verticalScrollBar();
            bar->setValue(bar->maximum());
            allSaved = save(&dialog, folder + QStringLiteral("/settings-server-") + suffix) && allSaved;
        }
        dialog.close();
        settings->setDataFolder(QString());
        AboutBox about(settings, &window);
        about.show();
        allSaved = save(&about, folder + QStringLiteral("/about-") + suffix) && allSaved;
        about.close();
        window.close();
    }
    PatientsListWidget empty(settings);
    empty.resize(420, 300);
    empty.show();
    allSaved = save(&empty, folder + QStringLiteral("/empty-list-") + suffix) && allSaved;
    return allSaved ? 0 : 1;
}
