#include "app/importdialog.h"
#include "db/care/changehistory.h"
#include "db/model/datalocations.h"
#include "db/rows/patient.h"
#include "db/storage/patientdatabase.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/util/messagebox.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTextCodec>
#include <QTimer>

using namespace kestatest;

// File, Import on a foreign export: each column mapped in the table, the
// first rows shown as they will be stored, the mapping offered again for the
// same layout, and duplicates given a choice each.
class TestImportDialog : public QObject
{
    Q_OBJECT

    static QComboBox *fieldOf(QTableWidget *mapping, const QString &column)
    {
        for (int row = 0; row < mapping->rowCount(); ++row) {
            if (mapping->item(row, 0)->text().endsWith("." + column))
                return qobject_cast<QComboBox *>(mapping->cellWidget(row, 1));
        }
        return nullptr;
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }

private slots:
    void foreignExportMappedCheckedAndImported()
    {
        QVERIFY(resetDataFolder());
        PatientDatabase db(DataLocations::databaseFile());
        QVERIFY(db.isUsable());
        const QString file = QDir::current().filePath("export.csv");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(
            QTextCodec::codecForName("Windows-1251")
                ->fromUnicode(QStringLiteral(
                    "Карта;ФИО;Born;Photo\r\n17;Петров Иван;05/01/80;x\r\n18;Иванова Анна;13/31/81;\r\n")));
        out.close();

        ImportDialog dialog(&db);
        QVERIFY(dialog.openSource(file));
        auto *mapping = dialog.findChild<QTableWidget *>("importMapping");
        fieldOf(mapping, "Карта")->setCurrentIndex(fieldOf(mapping, "Карта")->findData("PatientID"));
        fieldOf(mapping, "ФИО")->setCurrentIndex(fieldOf(mapping, "ФИО")->findData("FullName"));
        fieldOf(mapping, "Born")->setCurrentIndex(fieldOf(mapping, "Born")->findData("DOB"));
        auto *order = dialog.findChild<QComboBox *>("importDateOrder");
        order->setCurrentIndex(order->findData(int(ImportMapping::DateOrder::MonthDayYear)));
        auto *preview = dialog.findChild<QTableWidget *>("importPreview");
        QCOMPARE(preview->rowCount(), 2);
        QStringList headers;
        for (int i = 0; i < preview->columnCount(); ++i)
            headers << preview->horizontalHeaderItem(i)->text();
        QCOMPARE(headers, (QStringList { "PatientID", "LastName", "FirstName", "MiddleName", "DOB" }));
        QCOMPARE(preview->item(0, 4)->text(), QStringLiteral("01.05.1980"));
        QCOMPARE(preview->item(0, 1)->text(), QStringLiteral("Петров"));
        QCOMPARE(preview->item(1, 4)->text(), QStringLiteral("13/31/81"));
        QCOMPARE(preview->item(1, 4)->foreground().color(), QColor(Qt::red));

        dialog.check();
        QVERIFY(dialog.findChild<QLabel *>("importSummary")
                    ->text()
                    .startsWith("1 patients will be imported; 1 rows refused"));
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(dialog.runImport());
        QVERIFY(MessageBox::takeShown().first().text.contains("Imported 1 patients"));
        QCOMPARE(db.patientByPatientId("17")->getDOB(), QDate(1980, 5, 1));

        // The same layout again: the mapping as saved, and a choice per duplicate.
        ImportDialog again(&db);
        QVERIFY(again.openSource(file));
        QCOMPARE(fieldOf(again.findChild<QTableWidget *>("importMapping"), "ФИО")->currentData().toString(),
            QStringLiteral("FullName"));
        again.check();
        auto *findings = again.findChild<QTableWidget *>("importFindings");
        auto *choice = qobject_cast<QComboBox *>(findings->cellWidget(0, 2));
        QVERIFY(choice);
        choice->setCurrentIndex(choice->findData(int(Importer::Duplicate::NewPatient)));
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(again.runImport());
        QVERIFY(db.patientByPatientId("17-2"));
        QCOMPARE(db.patients().size(), 2);
    }

    // Cancel in the progress box once two patients and a recording are
    // written: the database, its history and the data folder stay as they were.
    void cancelLeavesEverythingAsItWas()
    {
        QVERIFY(resetDataFolder());
        PatientDatabase db(DataLocations::databaseFile());
        ChangeHistory::attach(&db);
        QVERIFY(db.isUsable());
        const QString old = QDir::current().filePath("old");
        write(old + "/Patients.csv",
            "PatientID,LastName,FirstName\r\nA17,Petrov,Ivan\r\nB2,Orlov,Oleg\r\nC3,Ivanova,Anna\r\n");
        write(old + "/Records.csv",
            "RecordID,PatientID,RecordDate,FileName,RecordType,Comments\r\n7,A17,2024-03-05T14:25:30,EEG_"
            "1\\rec.edf,EEG,\r\n");
        write(old + "/Data/PetrovIvan_A17/EEG_1/rec.edf", "recording");
        const QStringList before
            = QDir(DataLocations::dataFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        ImportDialog dialog(&db);
        QVERIFY(dialog.openSource(old + "/Patients.csv"));
        dialog.findChild<QLineEdit *>("importDataFolder")->setText(old);
        dialog.check();
        MessageBox::takeShown();
        QTimer cancel;
        connect(&cancel, &QTimer::timeout, [&dialog] {
            auto *progress = dialog.findChild<QProgressDialog *>("importProgress");
            if (progress && progress->value() == 2)
                progress->cancel();
        });
        cancel.start(0);
        MessageBox::setNextAnswer(MessageBox::Ok);
        QVERIFY(!dialog.runImport());
        const QString shown = MessageBox::takeShown().first().text;
        QVERIFY2(shown.contains("Cancelled"), qPrintable(shown));
        QVERIFY(db.patients().isEmpty());
        QCOMPARE(rawValue(db,
                     "SELECT (SELECT count(*) FROM Patients) + (SELECT count(*) FROM Records) "
                     "+ (SELECT count(*) FROM History)")
                     .toInt(),
            0);
        QCOMPARE(
            QDir(DataLocations::dataFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QVERIFY(!QFileInfo::exists(DataLocations::patientsFolder() + "PetrovIvan_A17"));
    }
};

KESTA_TEST_MAIN(TestImportDialog)
#include "tst_importdialog.moc"
