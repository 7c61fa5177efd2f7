#include "db/patient.h"
#include "db/record.h"
#include "support/settingsdeclarationcheck.h"
#include "support/testenvironment.h"
#include "toolkit/settings/metadescription.h"

#include <QMetaEnum>
#include <QRegularExpression>
#include <QTranslator>

// What a patient and a record declare and compute, without a database.
class TestPatient : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { Patient::setToday(QDate()); }

    void columnsInOrder()
    {
        Patient patient;
        QCOMPARE(patient.columnNames(),
            QStringList({ "AutoID", "PatientID", "LastName", "FirstName", "MiddleName", "Sex", "DOB",
                "Height", "Weight", "Hand", "Referral", "Diagnosis", "Medication", "Comments",
                "NativeLanguage", "Ethnicity", "Street", "City", "State", "ZIP", "Phone", "FirstVisit",
                "LastVisit", "Subdirectory", "ArchiveFlag", "ArchiveDate" }));
        Record record;
        QCOMPARE(record.columnNames(),
            QStringList({ "RecordID", "PatientID", "RecordDate", "FileName", "RecordType", "Comments",
                "OperatorID", "ReviewerID", "ArchiveID", "ReviewDate", "ArchiveDate", "ReviewFlag",
                "ReportFlag", "ArchiveFlag", "Temperature", "Conditions" }));
        QCOMPARE(record.getRecordID(), -1);
        QCOMPARE(record.getId(), -1);
    }

    // Every column is editable, its default matches what the constructor set,
    // and resetting brings it back: a misspelt class-info key shows up here.
    void declarationsAgreeWithValues()
    {
        Patient patient;
        Record record;
        for (ZTSettings *row : { static_cast<ZTSettings *>(&patient), static_cast<ZTSettings *>(&record) }) {
            QCOMPARE(kestatest::settingsDeclarationProblems(row), QStringList());
            // Not editable would keep a column out of the forms and the value map.
            for (const QString &name : row->getPropertiesNames())
                QVERIFY2(row->getPropertyByName(name)->editable, qPrintable(name));
        }
        QCOMPARE(patient.getPropertyByName("Sex")->defaultValue, QStringLiteral("Gender_Unspecified"));
        MetaDescription *temperature = record.getPropertyByName("Temperature");
        QVERIFY(temperature->hasMinimum && temperature->hasMaximum && temperature->hasStep);
        QCOMPARE(temperature->step, 0.1);
    }

    // Every column, category and enumerator has a Russian text, and every
    // identifier-like one ("LastName", "Gender_Male") an English one.
    void catalogues()
    {
        QList<QPair<QString, QString>> texts = Patient::displayTexts() + Record::displayTexts();
        QStringList named;
        for (const auto &text : texts)
            named << text.second;
        Patient patient;
        Record record;
        for (const QString &column : patient.columnNames() + record.columnNames())
            QVERIFY2(named.contains(column), qPrintable(column));
        for (const auto &enumeration : { QMetaEnum::fromType<Patient::PatientGender>(),
                 QMetaEnum::fromType<Patient::PatientHandness>() }) {
            for (int i = 0; i < enumeration.keyCount(); ++i)
                QVERIFY(texts.contains({ enumeration.name(), enumeration.key(i) }));
        }
        for (const char *category : { "1.PatientMain", "2.PatientPhysicalInfo", "3.PatientLocalityInfo" })
            QVERIFY(texts.contains({ "Generic", QString::fromLatin1(category) }));

        QTranslator russian;
        QTranslator english;
        QVERIFY(russian.load(":/translations/db_ru_RU.qm"));
        QVERIFY(english.load(":/translations/db_en_US.qm"));
        const QRegularExpression identifier("^.[^ ]*([A-Z_.]|ID)");
        for (const auto &text : texts) {
            const QByteArray context = text.first.toLatin1();
            const QByteArray source = text.second.toLatin1();
            QVERIFY2(!russian.translate(context, source).isEmpty(), source.constData());
            if (identifier.match(text.second).hasMatch())
                QVERIFY2(!english.translate(context, source).isEmpty(), source.constData());
        }
        QCOMPARE(english.translate("Generic", "RecordDate"), QStringLiteral("Date"));
        QCOMPARE(russian.translate("PatientGender", "Gender_Female"), QStringLiteral("Женский"));
    }

    void lettersOfTheEnumerations()
    {
        QCOMPARE(Patient::genderLetter(Patient::Gender_Female), QStringLiteral("F"));
        QCOMPARE(Patient::handLetter(Patient::Hand_Ambidextrous), QStringLiteral("A"));
        QCOMPARE(Patient::handLetter(Patient::PatientHandness(7)), QString());
        QCOMPARE(Patient::genderFromLetter("m"), Patient::Gender_Male);
        QCOMPARE(Patient::genderFromLetter("X"), Patient::Gender_Unspecified);
        QCOMPARE(Patient::genderFromLetter(""), Patient::Gender_Unspecified);
        QCOMPARE(Patient::handFromLetter("r"), Patient::Hand_Right);
        QCOMPARE(Patient::handFromLetter("LR"), Patient::Hand_Unspecified);

        Patient patient;
        QString text;
        QVERIFY(!patient.toDatabaseText("Sex", nullptr));
        QVERIFY(!patient.toDatabaseText("City", &text));
        patient.setHand(Patient::Hand_Right);
        QVERIFY(patient.toDatabaseText("Hand", &text));
        QCOMPARE(text, QStringLiteral("R"));
        QVERIFY(patient.fromDatabaseValue("Sex", QStringLiteral("f")));
        QCOMPARE(patient.getSex(), Patient::Gender_Female);
        QVERIFY(!patient.fromDatabaseValue("City", QStringLiteral("Tver")));
        QCOMPARE(QMetaEnum::fromType<Patient::PatientGender>().valueToKey(2), "Gender_Female");
    }

    void ageAroundABirthday_data()
    {
        QTest::addColumn<QDate>("birth");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("age");
        QTest::newRow("after birthday") << QDate(2000, 1, 20) << QDate(2024, 5, 10) << "24";
        QTest::newRow("day before") << QDate(2000, 1, 20) << QDate(2024, 1, 19) << "23";
        QTest::newRow("on the day") << QDate(2000, 1, 20) << QDate(2024, 1, 20) << "24";
        QTest::newRow("earlier month") << QDate(2000, 6, 1) << QDate(2024, 5, 31) << "23";
        QTest::newRow("leap day, 28 Feb") << QDate(2000, 2, 29) << QDate(2023, 2, 28) << "22";
        QTest::newRow("leap day, 1 Mar") << QDate(2000, 2, 29) << QDate(2023, 3, 1) << "23";
        QTest::newRow("newborn") << QDate(2024, 5, 10) << QDate(2024, 5, 10) << "0";
        QTest::newRow("no birth date") << QDate() << QDate(2024, 5, 10) << "-1";
    }
    void ageAroundABirthday()
    {
        QFETCH(QDate, birth);
        QFETCH(QDate, today);
        QFETCH(QString, age);
        Patient::setToday(today);
        Patient patient;
        patient.setDOB(birth);
        QCOMPARE(patient.getTextValue("Age"), age);
        QCOMPARE(patient.getTextValue("age"), age);
    }

    void namesAndFolders_data()
    {
        QTest::addColumn<QString>("last");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("middle");
        QTest::addColumn<QString>("patientId");
        QTest::addColumn<QString>("subdirectory");
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<QString>("initials");
        QTest::addColumn<QString>("folder");
        QTest::newRow("all parts") << "Petrov"
                                   << "Ivan"
                                   << "Sergeevich"
                                   << "A17"
                                   << ""
                                   << "Petrov Ivan Sergeevich"
                                   << "Petrov I. S."
                                   << "PetrovIvanSergeevich_A17";
        QTest::newRow("first name only") << ""
                                         << "anna"
                                         << ""
                                         << "A 17"
                                         << ""
                                         << "anna"
                                         << "A."
                                         << "anna_A17";
        QTest::newRow("one letter") << "Smith"
                                    << "j"
                                    << ""
                                    << "B2"
                                    << ""
                                    << "Smith j"
                                    << "Smith j"
                                    << "Smithj_B2";
        QTest::newRow("blank parts") << "  Petrov "
                                     << "  "
                                     << " Ivan"
                                     << "A17"
                                     << ""
                                     << "Petrov Ivan"
                                     << "Petrov I."
                                     << "PetrovIvan_A17";
        QTest::newRow("double surname") << "Rimsky Korsakov"
                                        << "Nikolai"
                                        << ""
                                        << ""
                                        << ""
                                        << "Rimsky Korsakov Nikolai"
                                        << "Rimsky Korsakov N."
                                        << "RimskyKorsakovNikolai_";
        QTest::newRow("subdirectory") << "Petrov"
                                      << "Ivan"
                                      << ""
                                      << "A17"
                                      << "  PetrovArchive "
                                      << "Petrov Ivan"
                                      << "Petrov I."
                                      << "PetrovArchive";
        QTest::newRow("blank subdirectory") << "Petrov"
                                            << "Ivan"
                                            << ""
                                            << "A17"
                                            << "   "
                                            << "Petrov Ivan"
                                            << "Petrov I."
                                            << "PetrovIvan_A17";
        QTest::newRow("cyrillic") << "Петров"
                                  << "иван"
                                  << ""
                                  << "A17"
                                  << ""
                                  << "Петров иван"
                                  << "Петров И."
                                  << "Петровиван_A17";
    }
    void namesAndFolders()
    {
        QFETCH(QString, last);
        QFETCH(QString, first);
        QFETCH(QString, middle);
        QFETCH(QString, patientId);
        QFETCH(QString, subdirectory);
        Patient patient;
        patient.setLastName(last);
        patient.setFirstName(first);
        patient.setMiddleName(middle);
        patient.setPatientID(patientId);
        patient.setSubdirectory(subdirectory);
        QTEST(patient.fullName(true), "fullName");
        QTEST(patient.getTextValue("FullName"), "fullName");
        QTEST(patient.fullName(false), "initials");
        QTEST(patient.getTextValue("initials"), "initials");
        QTEST(patient.folderName(), "folder");
    }

    void otherTexts()
    {
        Patient patient;
        QCOMPARE(patient.getTextValue("FirstVisit"), QString());
        patient.setFirstVisit(QDateTime(QDate(2024, 3, 5), QTime(14, 5)));
        QCOMPARE(patient.getTextValue("FirstVisit"), QStringLiteral("2024/03/05"));
        patient.setSex(Patient::Gender_Male);
        QCOMPARE(patient.getTextValue("Sex"), QStringLiteral("Gender_Male"));

        Record record;
        QCOMPARE(record.getTextValue("RecordDate"), QString());
        record.setRecordDate(QDateTime(QDate(2024, 3, 5), QTime(14, 25, 30)));
        QCOMPARE(record.getTextValue("RecordDate"), QStringLiteral("2024/03/05 14:25"));
        QCOMPARE(record.getTextValue("Temperature"), QStringLiteral("0"));
        record.setTemperature(0.05);
        QCOMPARE(record.getTextValue("Temperature"), QStringLiteral("0"));
        record.setTemperature(36.64);
        QCOMPARE(record.getTextValue("Temperature"), QStringLiteral("36.6"));
        record.setTemperature(37);
        QCOMPARE(record.getTextValue("Temperature"), QStringLiteral("37.0"));
        QCOMPARE(record.getTextValue("Size"), QStringLiteral("0 B"));
        QCOMPARE(record.temperatureMaximum(), 60.0);
    }

    void cloneCopiesEverythingButTheId()
    {
        Patient patient;
        patient.setAutoID(104);
        patient.setPatientID("A17");
        patient.setSex(Patient::Gender_Female);
        patient.setDOB(QDate(1980, 5, 1));
        patient.setArchiveDate(QDateTime(QDate(2020, 1, 1), QTime(8, 0)));
        patient.setSubdirectory("Old");
        QScopedPointer<Patient> copy(patient.clone());
        QCOMPARE(copy->getAutoID(), 0);
        QCOMPARE(copy->parent(), nullptr);
        for (const QString &column : patient.columnNames()) {
            if (column != "AutoID")
                QCOMPARE(copy->getValue(column), patient.getValue(column));
        }
        Patient target;
        target.setAutoID(5);
        target.copyFrom(copy.data());
        QCOMPARE(target.getAutoID(), 5);
        QCOMPARE(target.getSex(), Patient::Gender_Female);
        QCOMPARE(target.getSubdirectory(), QStringLiteral("Old"));
    }
};

KESTA_TEST_MAIN(TestPatient)
#include "tst_patient.moc"
