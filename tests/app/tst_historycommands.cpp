#include "app/historycommands.h"
#include "app/historydialog.h"
#include "app/tables/patientslistwidget.h"
#include "app/tables/recordstable.h"
#include "app/tabletesting.h"
#include "app/trashdialog.h"
#include "db/care/changehistory.h"
#include "db/care/trash.h"
#include "db/model/datalocations.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "db/storage/database.h"
#include "db/storage/patientdatabase.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/i18n/languagecontext.h"
#include "toolkit/settings/datefield.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/workstation.h"

#include <QAction>
#include <QApplication>
#include <QTableWidget>
#include <QTimer>
#include <memory>

using namespace kestatest;

// "History…" on the card: the patient's changes, newest first, values before
// and after side by side, in the interface's language.
class TestHistoryCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;

    // The dialog's rows as "what | before | after", newest first.
    QStringList shownRows(HistoryCommands &commands)
    {
        QStringList rows;
        QTimer::singleShot(0, [&rows] {
            auto *dialog = qobject_cast<HistoryDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QTableWidget *list = dialog->list();
            for (int row = 0; row < list->rowCount(); ++row)
                rows << list->item(row, 2)->text() + " | " + list->item(row, 3)->text() + " | "
                        + list->item(row, 4)->text();
            QCOMPARE(list->item(0, 1)->text(), Workstation::userName() + "@" + Workstation::hostName());
            dialog->reject();
        });
        commands.historyAction()->trigger();
        return rows;
    }

private slots:
    void initTestCase() { LanguageContext::setLanguage("en_US"); }
    void init()
    {
        QVERIFY(resetDataFolder());
        db = std::make_unique<PatientDatabase>(DataLocations::databaseFile());
        QVERIFY(db->isUsable());
        ChangeHistory::attach(db.get());
        Clock::setTestTime(QDateTime(QDate(2024, 5, 10), QTime(9, 30)));
    }
    void cleanup() { db.reset(); }

    void thePatientsChangesNewestFirst()
    {
        QCOMPARE(addPatient(*db, "A17", "Petrov", "Ivan", 1), 100);
        QCOMPARE(addPatient(*db, "B2", "Sidorov"), 101);
        Patient *patient = db->patientById(100);
        patient->setCity("Tver");
        db->patientById(101)->setCity("Omsk");
        patient->setSex(Patient::Gender_Female);
        QVERIFY(
            db->insertRecord(patient, QDateTime(QDate(2024, 3, 5), QTime(14, 25)), "EEG_1\\a.edf", "EEG", "")
            > 0);
        patient->records().first()->setComments("eyes closed");

        QWidget window;
        QWidget card;
        HistoryCommands commands(db.get(), &window);
        commands.offerOn(&card, [&] { return db->patientById(100); });
        QCOMPARE(shownRows(commands),
            QStringList({ "Recording: Comments |  | eyes closed",
                "Recording added |  | File: EEG_1\\a.edf\nID: A17\nDate: 2024-03-05 14:25:00\nType: EEG",
                "Patient: Sex | Male | Female", "Patient: City |  | Tver",
                "Patient created |  | First name: Ivan\nLast name: Petrov\nID: A17\nSex: Male" }));

        LanguageContext::setLanguage("ru_RU");
        const QStringList russian = shownRows(commands);
        LanguageContext::setLanguage("en_US");
        QCOMPARE(russian.mid(0, 3),
            QStringList({ QString::fromUtf8("Запись: Комментарии |  | eyes closed"),
                QString::fromUtf8("Запись добавлена |  | Файл: EEG_1\\a.edf\nИдентификатор: A17\n"
                                  "Дата: 05.03.2024 14:25:00\nТип: EEG"),
                QString::fromUtf8("Пациент: Пол | Мужской | Женский") }));
    }

    // One form per language wherever a date shows: both tables, the card's field, History's
    // time and stored values, and the trash's time and description. English first, since
    // English leaves what it does not translate to the Russian below.
    void oneDateFormInEveryPlace_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("born");
        QTest::addColumn<QString>("recorded");
        QTest::addColumn<QString>("today");
        QTest::newRow("English") << "en_US"
                                 << "1990-04-12"
                                 << "2024-03-05 14:25"
                                 << "2024-05-10 09:30";
        QTest::newRow("Russian") << "ru_RU"
                                 << "12.04.1990"
                                 << "05.03.2024 14:25"
                                 << "10.05.2024 09:30";
    }
    void oneDateFormInEveryPlace()
    {
        QFETCH(QString, language);
        QFETCH(QString, born);
        QFETCH(QString, recorded);
        QFETCH(QString, today);
        LanguageContext::setLanguage(language);
        QCOMPARE(addPatient(*db, "E42", "Kuznetsova", "Maria", 2, QDate(1990, 4, 12)), 100);
        Patient *patient = db->patientById(100);
        QVERIFY(
            db->insertRecord(patient, QDateTime(QDate(2024, 3, 5), QTime(14, 25)), "EEG_1\\a.edf", "EEG", "")
            > 0);
        KestaSettings settings { QString() };
        settings.setPatientsTableColumns("DOB;LastVisit");
        PatientsListWidget patients(&settings);
        patients.setPatients(db->patients());
        RecordsTable records(&settings);
        records.setPatient(patient);
        QCOMPARE(tabletest::text(patients.grid(), 100), born + "|" + recorded.left(10));
        QCOMPARE(tabletest::text(records.grid(), patient->records().first()->getId(), 0), recorded);
        QCOMPARE(DateField::format(QDateTime(QDate(1990, 4, 12), QTime()), false), born);

        QWidget window;
        QWidget card;
        HistoryCommands commands(db.get(), &window);
        commands.offerOn(&card, [&] { return db->patientById(100); });
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<HistoryDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(dialog->list()->item(0, 0)->text(), today + ":00");
            QVERIFY(dialog->list()->item(0, 4)->text().contains(recorded + ":00"));
            dialog->reject();
        });
        commands.historyAction()->trigger();

        QVERIFY(Trash(db.get()).removeRecord(patient, patient->records().first()));
        TrashDialog trash(db.get());
        QCOMPARE(trash.list()->item(0, 1)->text(), today);
        QVERIFY(trash.list()->item(0, 0)->text().endsWith(recorded + " EEG_1\\a.edf"));
        LanguageContext::setLanguage("en_US");
    }
};

KESTA_TEST_MAIN(TestHistoryCommands)
#include "tst_historycommands.moc"
