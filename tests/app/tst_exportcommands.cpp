#include "app/exportcommands.h"
#include "app/tables/patientslistwidget.h"
#include "app/tables/recordstable.h"
#include "app/tabletesting.h"
#include "db/model/datalocations.h"
#include "support/settingsfiles.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/util/csvwriter.h"
#include "toolkit/util/filedialog.h"
#include "db/storage/patientdatabase.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QMainWindow>
#include <QProcess>
#include <QStatusBar>

using namespace kestatest;

namespace
{

// The file as an independent reader takes it: Python's csv module, told only
// that it is UTF-8 with a byte-order mark and which separator it has.
QList<QStringList> readBack(const QString &path, const QString &separator = ",")
{
    QProcess python;
    python.start("python3",
        { "-c",
            "import csv, json, sys\n"
            "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
            "    print(json.dumps(list(csv.reader(f, delimiter=sys.argv[2]))))",
            path, separator });
    python.waitForFinished();
    QList<QStringList> rows;
    for (const QJsonValue &row : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        QStringList fields;
        for (const QJsonValue &field : row.toArray())
            fields << field.toString();
        rows << fields;
    }
    return rows;
}

// What the grid shows, read from the view: the captions, then each row.
QList<QStringList> onScreen(QTableView *grid)
{
    QList<QStringList> rows { {} };
    for (int column = 0; column < grid->model()->columnCount(); ++column)
        rows[0] << grid->model()->headerData(column, Qt::Horizontal).toString();
    for (int row = 0; row < grid->model()->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < grid->model()->columnCount(); ++column)
            cells << grid->model()->index(row, column).data().toString();
        rows << cells;
    }
    return rows;
}

} // namespace

// The patients table and a patient's records to CSV, as they are shown.
class TestExportCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        LanguageContext::setLanguage("en_US");
        QVERIFY2(QProcess::execute("python3", { "-c", "import csv" }) == 0, "python3 is needed");
    }

    // From the records table's row menu; a cancelled chooser writes nothing.
    void recordsFromTheRowMenu()
    {
        QVERIFY(resetDataFolder());
        PatientDatabase db(DataLocations::databaseFile());
        QVERIFY(db.isUsable());
        QCOMPARE(addPatient(db, "A17", "Petrov", "Ivan"), 100);
        Patient *patient = db.patientById(100);
        QVERIFY(db.insertRecord(patient, QDateTime(QDate(2024, 3, 5), QTime(14, 25)), "EEG_1\\a.edf", "EEG",
                    QString::fromUtf8("глаза закрыты, \"покой\""))
            > 0);
        KestaSettings settings { QString() };
        PatientsListWidget patients(&settings);
        RecordsTable records(&settings);
        records.setPatient(patient);
        QVERIFY(tabletest::showTable(&records));
        QWidget window;
        ExportCommands commands(&patients, &records, &window);

        const QString path = QDir::tempPath() + "/records-export";
        for (const QString &answer : { QString(), path }) {
            FileDialog::setNextFileName(answer);
            std::unique_ptr<QMenu> menu(records.createRowMenu(tabletest::centre(records.grid(), 100)));
            tabletest::action(menu.get(), "rowAction_exportRecords")->trigger();
        }
        QCOMPARE(FileDialog::takeAsked().value(0).folder.section('/', -1),
            "PetrovIvan_A17-records-" + QDate::currentDate().toString("yyyy-MM-dd") + ".csv");
        QVERIFY(!QFileInfo::exists(path));
        const QList<QStringList> written = readBack(path + ".csv");
        QCOMPARE(written, onScreen(records.grid()));
        QCOMPARE(written.value(1).value(written.value(0).indexOf("Comments")),
            QString::fromUtf8("глаза закрыты, \"покой\""));
        QFile::remove(path + ".csv");
    }

    // Commas, quotes, line breaks, Cyrillic and blanks at the ends, read back
    // equal to the table's texts: visible columns only, filtered, in the order shown,
    // stored texts rather than their marks on screen, formulas as text; the
    // separator the language's own, or the one chosen.
    void patientsAsShown()
    {
        QVERIFY(resetDataFolder());
        PatientDatabase db(DataLocations::databaseFile());
        QVERIFY(db.isUsable());
        for (const QString &name : { QString("Smith, John"), QString("O\"Brien \"Bob\""),
                 QString("Line\nbreak"), QString::fromUtf8("Иванов Пётр"), QString(" padded "),
                 QString("Filtered out"), QString("=HYPERLINK(\"a\")"), QString("+cmd|' /C calc'!A0") })
            QVERIFY(
                addPatient(db, name == "Filtered out" ? "Z9" : "A" + QString::number(name.size()), name) > 0);
        KestaSettings settings { QString() };
        settings.setPatientsTableColumns("LastName;PatientID;Age");
        settings.setPatientsTableSorting("-PatientID");
        PatientsListWidget patients(&settings);
        RecordsTable records(&settings);
        patients.setPatients(db.patients());
        patients.setFilterText("a");
        QMainWindow window;
        ExportCommands commands(&patients, &records, &window);

        const QString path = QDir::tempPath() + "/patients-export.csv";
        FileDialog::setNextFileName(path);
        commands.exportPatientsAction()->trigger();
        const FileDialog::Asked asked = FileDialog::takeAsked().value(0);
        QVERIFY(asked.folder.endsWith(".csv")
            && asked.filter.startsWith("CSV, fields apart by commas (*.csv);;"));
        QList<QStringList> shown = onScreen(patients.grid());
        QCOMPARE(shown.size(), 8);
        QCOMPARE(shown.at(0), QStringList({ "Last name", "ID", "Age" }));
        QList<QStringList> stored = shown;
        for (QStringList &row : stored) {
            row[0].replace("<U+000A>", "\n");
            if (row[0].startsWith('=') || row[0].startsWith('+'))
                row[0].prepend('\'');
        }
        QVERIFY(stored != shown && stored.contains({ "'=HYPERLINK(\"a\")", "A15", "-" }));
        QCOMPARE(readBack(path), stored);
        const QByteArray bytes = readFile(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBFLast name,ID,Age\r\n") && bytes.endsWith("\r\n"));
        QVERIFY(bytes.contains("\n\"O\"\"Brien \"\"Bob\"\"\",A13,-\r\n"));
        QCOMPARE(window.statusBar()->currentMessage(),
            "Written: " + QDir::toNativeSeparators(path) + " (rows: 7)");
        // The tables show line breaks as visible marks; a field that holds one
        // is quoted all the same.
        const QList<QStringList> broken { { "a\nb", "c\r\nd", "\"" }, { "", " ", "e,f" } };
        QString why;
        QVERIFY(CsvWriter::save(path, broken, &why));
        QCOMPARE(readBack(path), broken);

        // Last, since English leaves what it does not translate to the Russian below.
        // Russian: semicolons first; formulas left live when that is chosen.
        LanguageContext::setLanguage("ru_RU");
        FileDialog::setNextFileName(path);
        commands.exportPatientsAction()->trigger();
        const QStringList filters = FileDialog::takeAsked().value(0).filter.split(";;");
        QCOMPARE(filters.size(), 4);
        QCOMPARE(readBack(path, ";").mid(1), stored.mid(1));
        FileDialog::setNextFileName(path, filters.at(2));
        commands.exportPatientsAction()->trigger();
        LanguageContext::setLanguage("en_US");
        FileDialog::takeAsked();
        QVERIFY(readFile(path).contains("\r\n\"=HYPERLINK(\"\"a\"\")\";A15;-\r\n"));
        QFile::remove(path);
    }
};

KESTA_TEST_MAIN(TestExportCommands)
#include "tst_exportcommands.moc"
