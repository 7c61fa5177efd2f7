#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "support/settingsdeclarationcheck.h"
#include "support/testenvironment.h"
#include "toolkit/util/clock.h"

#include <algorithm>

// What a patient and a record declare and compute, without a database.
class TestPatient : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Clock::useSystemTime(); }

    // A misspelt class-info key shows up here, and so does a text without its
    // translation: Russian for all, English for identifier-like ones ("LastName").
    void declarationsAndCatalogues()
    {
        Patient patient;
        Record record;
        QCOMPARE(kestatest::settingsDeclarationProblems(&patient), QStringList());
        QCOMPARE(kestatest::settingsDeclarationProblems(&record), QStringList());
        QCOMPARE(kestatest::displayTextProblems(&patient, Patient::displayTexts(), "db"), QStringList());
        QCOMPARE(kestatest::displayTextProblems(&record, Record::displayTexts(), "db"), QStringList());
        // Hidden columns too: the tables' column menus offer them by name.
        const DisplayTexts texts = Patient::displayTexts() + Record::displayTexts();
        for (const QString &column : patient.columnNames() + record.columnNames()) {
            QVERIFY2(std::any_of(texts.cbegin(), texts.cend(),
                         [&](const DisplayText &text) { return column == QLatin1String(text.source); }),
                qPrintable(column));
        }
    }

    void ageAroundABirthday_data()
    {
        QTest::addColumn<QDate>("birth");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("age");
        QTest::newRow("day before") << QDate(2000, 1, 20) << QDate(2024, 1, 19) << "23";
        QTest::newRow("on the day") << QDate(2000, 1, 20) << QDate(2024, 1, 20) << "24";
        QTest::newRow("earlier month") << QDate(2000, 6, 1) << QDate(2024, 5, 31) << "23";
        QTest::newRow("leap day, 28 Feb") << QDate(2000, 2, 29) << QDate(2023, 2, 28) << "22";
        QTest::newRow("leap day, 1 Mar") << QDate(2000, 2, 29) << QDate(2023, 3, 1) << "23";
        QTest::newRow("no birth date") << QDate() << QDate(2024, 5, 10) << "-1";
        QTest::newRow("born today") << QDate(2024, 5, 10) << QDate(2024, 5, 10) << "0";
        QTest::newRow("born years ahead") << QDate(2030, 1, 1) << QDate(2024, 5, 10) << "-1";
    }
    void ageAroundABirthday()
    {
        QFETCH(QDate, birth);
        QFETCH(QDate, today);
        Clock::setTestTime(QDateTime(today, QTime(12, 0)));
        Patient patient;
        patient.setDOB(birth);
        QTEST(patient.getTextValue("Age"), "age");
    }

    // Last, first, middle name, PatientID, Subdirectory; then the full name,
    // the initials and the folder name.
    void namesAndFolders_data()
    {
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<QStringList>("texts");
        const auto row = [](const char *tag, const QStringList &parts, const QStringList &texts) {
            QTest::newRow(tag) << parts << texts;
        };
        row("all parts", { "Li", "Ivan", "Oleg", "A17", "" },
            { "Li Ivan Oleg", "Li I. O.", "LiIvanOleg_A17" });
        row("first name only", { "", "anna", "", "A 17", "" }, { "anna", "A.", "anna_A17" });
        row("one letter", { "Smith", "j", "", "B2", "" }, { "Smith j", "Smith j", "Smithj_B2" });
        row("blank parts", { " Li ", "  ", " Oleg", "A17", "" }, { "Li Oleg", "Li O.", "LiOleg_A17" });
        row("subdirectory", { "Li", "Ivan", "", "A17", " Old " }, { "Li Ivan", "Li I.", "Old" });
        row("blank subdirectory", { "Li", "Ivan", "", "A17", "  " }, { "Li Ivan", "Li I.", "LiIvan_A17" });
        row("cyrillic", { "Ли", "иван", "", "A17", "" }, { "Ли иван", "Ли И.", "Лииван_A17" });
    }
    void namesAndFolders()
    {
        QFETCH(QStringList, parts);
        QFETCH(QStringList, texts);
        Patient patient;
        const QStringList columns { "LastName", "FirstName", "MiddleName", "PatientID", "Subdirectory" };
        for (int i = 0; i < columns.size(); ++i)
            patient.setValue(columns[i], parts[i]);
        QCOMPARE(patient.getTextValue("FullName"), texts[0]);
        QCOMPARE(patient.getTextValue("initials"), texts[1]);
        QCOMPARE(patient.folderName(), texts[2]);
    }

    void otherTexts()
    {
        Patient patient;
        Record record;
        patient.setFirstVisit(QDateTime(QDate(2024, 3, 5), QTime(14, 5)));
        record.setRecordDate(QDateTime(QDate(2024, 3, 5), QTime(14, 25, 30)));
        QCOMPARE(patient.getTextValue("FirstVisit") + " " + record.getTextValue("RecordDate"),
            QStringLiteral("2024-03-05 2024-03-05 14:25"));
        const QList<QPair<double, QString>> temperatures
            = { { 0, "0" }, { 0.05, "0" }, { 36.64, "36.6" }, { 37, "37.0" } };
        for (const auto &temperature : temperatures) {
            record.setTemperature(temperature.first);
            QCOMPARE(record.getTextValue("Temperature"), temperature.second);
        }
    }
};

KESTA_TEST_MAIN(TestPatient)
#include "tst_patient.moc"
