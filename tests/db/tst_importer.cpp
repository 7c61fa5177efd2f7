#include "db/care/changehistory.h"
#include "db/model/datalocations.h"
#include "db/moving/csvsource.h"
#include "db/moving/importer.h"
#include "db/moving/importsource.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/patientdatabase.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "support/testserver.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTextCodec>

using namespace kestatest;

namespace
{

QString accessFile(const char *name)
{
    return QStringLiteral(KESTA_TEST_DATA "/access/") + QLatin1String(name);
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// Moving a clinic in: real Access files and CSV exports read, mapped, checked
// and written all or nothing, with the recordings copied beside.
class TestImporter : public QObject
{
    Q_OBJECT

    std::unique_ptr<PatientDatabase> db;
    QTemporaryDir old;

    struct Run {
        Importer::Plan plan;
        Importer::Report report;
        bool written = false;
        QString reason;
    };

    Run import(ImportSource *source, const ImportMapping &mapping, Importer::Duplicate choice,
        const Importer::Progress &progress = nullptr, const QString &oldData = QString())
    {
        Run run;
        Importer importer(db.get(), source, mapping);
        importer.setOldDataFolder(oldData);
        if (!importer.check(&run.plan, &run.reason))
            return run;
        run.plan.chooseForAll(choice);
        run.written = importer.write(run.plan, progress, &run.report, &run.reason);
        return run;
    }

    static QStringList outcomes(const Importer::Report &report)
    {
        QStringList lines;
        for (const Importer::ReportLine &line : report.lines)
            lines << line.what + " | " + line.outcome + " | " + line.detail;
        return lines;
    }

    QString count(const char *table)
    {
        return rawValue(*db, QStringLiteral("SELECT count(*) FROM %1").arg(table)).toString();
    }

    // A clinic's own layout as two CSV files, and its recordings in the old data folder.
    QString designLayoutPair()
    {
        const QString folder = old.path() + "/export";
        writeBytes(folder + "/Patients.csv",
            "\xEF\xBB\xBFPatientID,LastName,FirstName,Sex,DOB,Street,Comments\r\n"
            "A17,Petrov,Ivan,M,1980-05-01,\"Main st. 1\",\"first line\nsecond line\"\r\n"
            "B2,Smirnova,Olga,F,1975-02-03,,\r\n");
        writeBytes(folder + "/Records.csv",
            "RecordID,PatientID,RecordDate,FileName,RecordType,Comments\r\n"
            "7,A17,2024-03-05T14:25:30,EEG_2024_03_05_142530\\rec.edf,EEG,sleep\r\n"
            "8,A17,2024-03-06T09:00:00,EEG_2024_03_06_090000\\rec.edf,EEG,\r\n"
            "9,B2,2024-04-01T10:00:00,EEG_2024_04_01_100000\\rec.edf,EEG,\r\n"
            "10,Z9,2024-04-01T10:00:00,x.edf,EEG,\r\n");
        writeBytes(
            old.path() + "/Data/PetrovIvan_A17/EEG_2024_03_05_142530/rec.edf", QByteArray(300000, 'a'));
        writeBytes(old.path() + "/Data/SmirnovaOlga_B2/EEG_2024_04_01_100000/rec.edf", "olga");
        writeBytes(old.path() + "/Data/SmirnovaOlga_B2/stray.edf", "stray");
        return folder + "/Patients.csv";
    }

private slots:
    void init()
    {
        db.reset();
        QVERIFY(resetDataFolder());
        db = std::make_unique<PatientDatabase>(DataLocations::databaseFile());
        ChangeHistory::attach(db.get());
        QVERIFY(db->isUsable());
        QDir(old.path()).removeRecursively();
        QDir().mkpath(old.path());
    }

    // The nine employees of a foreign Access layout, through a mapping saved
    // once and found again for the same layout.
    void foreignAccessTableThroughSavedMapping()
    {
        QString reason;
        auto source = ImportSource::open(accessFile("nwind.mdb"), &reason);
        QVERIFY2(source, qPrintable(reason));
        const ImportSource::Table employees = source->table("Employees");
        bool own = true;
        ImportMapping::automatic(*source, &own);
        QVERIFY(!own);
        ImportMapping mapping;
        mapping.patients.source = employees.name;
        mapping.patients.fields = { { "EmployeeID", "PatientID" }, { "LastName", "LastName" },
            { "FirstName", "FirstName" }, { "TitleOfCourtesy", "Sex" }, { "BirthDate", "DOB" },
            { "Address", "Street" }, { "City", "City" }, { "PostalCode", "ZIP" }, { "HomePhone", "Phone" },
            { "Notes", "Comments" } };
        QVERIFY(mapping.remember(employees));
        bool found = false;
        const ImportMapping saved = ImportMapping::saved(employees, &found);
        QVERIFY(found);

        const Run run = import(source.get(), saved, Importer::Duplicate::Skip);
        QVERIFY2(run.written, qPrintable(run.reason));
        QCOMPARE(run.report.patients, 9);
        QCOMPARE(db->patients().size(), 9);
        Patient *nancy = db->patientByPatientId("1");
        QVERIFY(nancy);
        QCOMPARE(nancy->getLastName(), QStringLiteral("Davolio"));
        QCOMPARE(nancy->getDOB(), QDate(1948, 12, 8));
        QCOMPARE(nancy->getStreet(), QStringLiteral("507 - 20th Ave. E., Apt. 2A"));
        QCOMPARE(nancy->getZIP(), QStringLiteral("98122"));
        QCOMPARE(nancy->getSex(), Patient::Gender_Female);
        QVERIFY(nancy->getComments().startsWith("Education includes"));
        QCOMPARE(db->patientByPatientId("2")->getSex(), Patient::Gender_Unspecified);
        QVERIFY(outcomes(run.report).join('\n').contains("column Employees.Photo | not imported"));
        int sales = 0;
        QVERIFY(source->readRows(
            QStringLiteral("Umsätze"), [&sales](const QVariantList &) { return ++sales > 0; }, &reason));
        QVERIFY2(sales > 100, qPrintable(reason));
        QCOMPARE(rawValue(*db,
                     "SELECT count(*) FROM History WHERE ChangeKind='Import' "
                     "AND NewValue LIKE '%nwind.mdb, Employees row %'")
                     .toInt(),
            9);
    }

    // Jet 4 dates (those the library cannot convert are refused, never
    // guessed), long texts, a text over its column; and the newer format.
    void accessDatesTextsAndAccdb()
    {
        QString reason;
        auto source = ImportSource::open(accessFile("DateTestDatabase.mdb"), &reason);
        QVERIFY2(source, qPrintable(reason));
        ImportMapping mapping;
        mapping.patients.source = "DateTest";
        mapping.patients.fields = { { "IDCol", "PatientID" }, { "DateCol", "DOB" },
            { "LongTextCol", "Comments" }, { "ShortTextCol", "City" } };
        const Run run = import(source.get(), mapping, Importer::Duplicate::Skip);
        QVERIFY2(run.written, qPrintable(run.reason));
        QCOMPARE(run.plan.refusedRows(), 4);
        const QString lines = outcomes(run.report).join('\n');
        QVERIFY2(lines.contains("patient 2 | refused | DOB: \"out of range\" is no date"), qPrintable(lines));
        QVERIFY2(lines.contains("patient 5 | refused | City:") && lines.contains("longer than 16"),
            qPrintable(lines));
        QCOMPARE(count("Patients"), QStringLiteral("2"));
        QCOMPARE(db->patientByPatientId("1")->getDOB(), QDate(2021, 12, 2));
        QCOMPARE(db->patientByPatientId("6")->getComments().size(), 18);

        auto accdb = ImportSource::open(accessFile("ASampleDatabase.accdb"), &reason);
        QVERIFY2(accdb, qPrintable(reason));
        const ImportSource::Table assets = accdb->table("Asset Items");
        QCOMPARE(assets.columns.first().name, QStringLiteral("Asset No"));
        QVariantList first;
        int rows = 0;
        QVERIFY(accdb->readRows(
            assets.name,
            [&](const QVariantList &values) {
                if (rows++ == 0)
                    first = values;
                return true;
            },
            &reason));
        QCOMPARE(rows, 65);
        QCOMPARE(first.value(0).toString(), QStringLiteral("30050"));
        QCOMPARE(first.value(7).toDate(), QDate(1997, 9, 2));
        QCOMPARE(first.value(8).toDouble(), 1995.5);
    }

    // The program's own layout maps itself; records follow their patients
    // with new ids, their recordings copied and checked, a missing one
    // reported, a stray one listed, the source left as it was.
    void designLayoutPairWithRecordings()
    {
        const QString patients = designLayoutPair();
        QFile records(QFileInfo(patients).dir().filePath("Records.csv"));
        QVERIFY(records.open(QIODevice::Append));
        records.write("11,A17,2024-04-02T10:00:00,..\\..\\escape.edf,EEG,\r\n");
        records.close();
        const QByteArray before = bytesOf(patients);
        QVERIFY(addPatient(*db, "C1", "Older") > 0);
        QString reason;
        auto source = ImportSource::open(patients, &reason);
        QVERIFY2(source, qPrintable(reason));
        bool own = false;
        const ImportMapping mapping = ImportMapping::automatic(*source, &own);
        QVERIFY(own);
        const Run run = import(source.get(), mapping, Importer::Duplicate::Skip, nullptr, old.path());
        QVERIFY2(run.written, qPrintable(run.reason));
        QCOMPARE(run.report.records, 3);
        QCOMPARE(run.report.files, 2);
        Patient *ivan = db->patientByPatientId("A17");
        QVERIFY(ivan);
        QVERIFY(ivan->getId() > db->patientByPatientId("C1")->getId());
        QCOMPARE(ivan->getComments(), QStringLiteral("first line\nsecond line"));
        QCOMPARE(ivan->records().size(), 2);
        QCOMPARE(ivan->records().first()->getRecordDate(), QDateTime(QDate(2024, 3, 5), QTime(14, 25, 30)));
        QCOMPARE(bytesOf(DataLocations::recordingPath(ivan->folderName(), "EEG_2024_03_05_142530\\rec.edf")),
            QByteArray(300000, 'a'));
        const QString lines = outcomes(run.report).join('\n');
        QVERIFY2(lines.contains("file | missing"), qPrintable(lines));
        QVERIFY2(lines.contains("no patient with the ID Z9"), qPrintable(lines));
        QVERIFY2(lines.contains("leads out of the patient's folder"), qPrintable(lines));
        QCOMPARE(run.plan.unreferencedFiles,
            QStringList { QFileInfo(old.path() + "/Data/SmirnovaOlga_B2/stray.edf").absoluteFilePath() });
        QCOMPARE(bytesOf(patients), before);
        QVERIFY(QFile::exists(old.path() + "/Data/PetrovIvan_A17/EEG_2024_03_05_142530/rec.edf"));

        const QString reportFile = Importer::reportFileFor(patients);
        QVERIFY(run.report.save(reportFile, &reason));
        const QList<QStringList> saved = CsvSource::parse(CsvSource::decode(bytesOf(reportFile)));
        QCOMPARE(saved.first(), (QStringList { "What", "Source", "Outcome", "Detail" }));
        QCOMPARE(saved.size(), run.report.lines.size() + 1);
    }

    // A patient stored already (the same ID after the fold, or the same name
    // and birth date): skipped, imported under a new ID, or given the records.
    void duplicatesInEachChoice_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<int>("patients");
        QTest::addColumn<int>("recordsOfStored");
        QTest::newRow("skip") << int(Importer::Duplicate::Skip) << 1 << 0;
        QTest::newRow("new patient") << int(Importer::Duplicate::NewPatient) << 3 << 0;
        QTest::newRow("add records") << int(Importer::Duplicate::AddRecords) << 1 << 3;
    }
    void duplicatesInEachChoice()
    {
        QFETCH(int, choice);
        QFETCH(int, patients);
        QFETCH(int, recordsOfStored);
        const int stored = addPatient(*db, "a 17", "Petrov", "Ivan", 1, QDate(1980, 5, 1));
        // B2 is the same person by name and birth date under another ID.
        QVERIFY(rawExec(*db,
            "UPDATE Patients SET LastName='Smirnova', FirstName='Olga', DOB='1975-02-03' WHERE AutoID="
                + QString::number(stored)));
        QVERIFY(rawExec(*db, "UPDATE Patients SET PatientID='a 17' WHERE AutoID=" + QString::number(stored)));
        QVERIFY(addPatient(*db, "X1", "Petrov", "Ivan", 1, QDate(1980, 5, 1)) > 0);
        QVERIFY(rawExec(*db, "DELETE FROM Patients WHERE PatientID='X1'"));
        QVERIFY(db->reloadPatients());
        QString reason;
        auto source = ImportSource::open(designLayoutPair(), &reason);
        bool own = false;
        const Run run
            = import(source.get(), ImportMapping::automatic(*source, &own), Importer::Duplicate(choice));
        QVERIFY2(run.written, qPrintable(run.reason));
        QCOMPARE(run.plan.duplicates(), 2);
        QCOMPARE(db->patients().size(), patients);
        QCOMPARE(count("Records"), QString::number(choice == int(Importer::Duplicate::Skip) ? 0 : 3));
        QCOMPARE(db->patientById(stored)->records().size(), recordsOfStored);
        if (choice == int(Importer::Duplicate::NewPatient)) {
            QVERIFY(db->patientByPatientId("A17-2"));
            QVERIFY(db->patientByPatientId("B2-2"));
        }
    }

    // Cancel, or a failure half-way (a recording whose place is taken), leave
    // the database and the folders as they were.
    void cancelAndFailureLeaveNothing()
    {
        QString reason;
        auto source = ImportSource::open(designLayoutPair(), &reason);
        bool own = false;
        const ImportMapping mapping = ImportMapping::automatic(*source, &own);
        const auto entries = [] {
            QStringList all;
            QDirIterator it(DataLocations::patientsFolder(), QDir::AllEntries | QDir::NoDotAndDotDot,
                QDirIterator::Subdirectories);
            while (it.hasNext())
                all << it.next();
            return all;
        };
        const QString history = count("History");

        Run run = import(
            source.get(), mapping, Importer::Duplicate::Skip, [](int done, int) { return done < 1; },
            old.path());
        QVERIFY(!run.written);
        QVERIFY(run.reason.contains("Cancelled"));
        QCOMPARE(count("Patients"), QStringLiteral("0"));
        QCOMPARE(entries(), QStringList());

        const QString taken
            = DataLocations::recordingPath("SmirnovaOlga_B2", "EEG_2024_04_01_100000/rec.edf");
        QVERIFY(writeBytes(taken, "another"));
        run = import(source.get(), mapping, Importer::Duplicate::Skip, nullptr, old.path());
        QVERIFY(!run.written);
        QVERIFY2(run.reason.contains("exists already"), qPrintable(run.reason));
        QCOMPARE(count("Patients"), QStringLiteral("0"));
        QCOMPARE(count("Records"), QStringLiteral("0"));
        QCOMPARE(count("History"), history);
        QCOMPARE(entries(),
            (QStringList { DataLocations::patientsFolder() + "SmirnovaOlga_B2",
                DataLocations::patientsFolder() + "SmirnovaOlga_B2/EEG_2024_04_01_100000", taken }));
        QCOMPARE(bytesOf(taken), QByteArray("another"));
    }

    // Another system's export: Windows-1251, semicolons, a quoted line break,
    // dates with two-digit years, one name column split, sex words.
    void windows1251SemicolonExport()
    {
        const QString file = old.path() + "/export.csv";
        QVERIFY(writeBytes(file,
            QTextCodec::codecForName("Windows-1251")
                ->fromUnicode(
                    QStringLiteral("Карта;ФИО;Пол;Дата рождения;Адрес\r\n"
                                   "17;Петров Иван Сергеевич;м;01.05.80;\"ул. Ленина, 1\r\nкв. 2\"\r\n"
                                   "18;Иванова, Анна;ж;31.02.81;\r\n"
                                   "19;Сидоров Пётр;м;03.04.05;\r\n"))));
        QString reason;
        auto source = ImportSource::open(file, &reason);
        QVERIFY2(source, qPrintable(reason));
        ImportMapping mapping;
        mapping.patients.source = "export";
        mapping.patients.fields = { { "Карта", "PatientID" }, { "ФИО", "FullName" }, { "Пол", "Sex" },
            { "Дата рождения", "DOB" }, { "Адрес", "Street" } };
        const Run run = import(source.get(), mapping, Importer::Duplicate::Skip);
        QVERIFY2(run.written, qPrintable(run.reason));
        Patient *ivan = db->patientByPatientId("17");
        QVERIFY(ivan);
        QCOMPARE(ivan->fullName(), QStringLiteral("Петров Иван Сергеевич"));
        QCOMPARE(ivan->getSex(), Patient::Gender_Male);
        QCOMPARE(ivan->getDOB(), QDate(1980, 5, 1));
        QCOMPARE(ivan->getStreet(), QStringLiteral("ул. Ленина, 1, кв. 2"));
        QVERIFY(
            outcomes(run.report).join('\n').contains("patient 18 | refused | DOB: \"31.02.81\" is no date"));
        QCOMPARE(db->patientByPatientId("19")->getDOB(), QDate(2005, 4, 3));
        QCOMPARE(db->patientByPatientId("19")->getFirstName(), QStringLiteral("Пётр"));
    }

    // Another workstation's own file onto a private PostgreSQL server through
    // the same importer: its layout maps itself, dates and letters arrive as
    // they were, its recordings follow.
    void workstationFileOntoTheServer()
    {
        TestServer *server = TestServer::instance();
        QVERIFY2(server, qPrintable(TestServer::startError()));
        const QString file = old.path() + "/patients.sqlite";
        QVERIFY(QFile::copy(DataLocations::databaseFile(), file));
        {
            PatientDatabase other(file);
            QVERIFY(other.isUsable());
            QVERIFY(addPatient(other, "A17", "Petrov", "Ivan", 2, QDate(1980, 5, 1), "Tver") > 0);
            QVERIFY(other.insertRecord(other.patientByPatientId("A17"),
                        QDateTime(QDate(2024, 3, 5), QTime(14, 25, 30)), "EEG_1\\rec.edf", "EEG", "sleep")
                > 0);
        }
        QVERIFY(writeBytes(old.path() + "/Data/PetrovIvan_A17/EEG_1/rec.edf", "recording"));
        db = std::make_unique<PatientDatabase>(server->createDatabase());
        ChangeHistory::attach(db.get());
        QVERIFY(db->isUsable());
        QString reason;
        auto source = ImportSource::open(file, &reason);
        QVERIFY2(source, qPrintable(reason));
        bool own = false;
        const Run run = import(source.get(), ImportMapping::automatic(*source, &own),
            Importer::Duplicate::Skip, nullptr, old.path());
        QVERIFY(own);
        QVERIFY2(run.written, qPrintable(run.reason));
        Patient *ivan = db->patientByPatientId("A17");
        QVERIFY(ivan);
        QCOMPARE(ivan->getDOB(), QDate(1980, 5, 1));
        QCOMPARE(ivan->getSex(), Patient::Gender_Female);
        QCOMPARE(ivan->getCity(), QStringLiteral("Tver"));
        QCOMPARE(ivan->records().size(), 1);
        QCOMPARE(ivan->records().first()->getRecordDate(), QDateTime(QDate(2024, 3, 5), QTime(14, 25, 30)));
        QCOMPARE(bytesOf(DataLocations::recordingPath("PetrovIvan_A17", "EEG_1\\rec.edf")),
            QByteArray("recording"));
        // The server's own history names the import and its source beside the insert.
        QCOMPARE(rawValue(*db,
                     "SELECT string_agg(ChangeKind, ' ' ORDER BY ChangeKind) FROM History "
                     "WHERE lower(TableName)='patients'")
                     .toString(),
            QStringLiteral("Import Insert"));
        QVERIFY(rawValue(*db, "SELECT NewValue FROM History WHERE ChangeKind='Import'")
                    .toString()
                    .contains("patients.sqlite, Patients row "));
    }
};

KESTA_TEST_MAIN(TestImporter)
#include "tst_importer.moc"
