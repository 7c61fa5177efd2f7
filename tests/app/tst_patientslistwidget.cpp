#include "app/patientslistwidget.h"
#include "db/database.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "db/patient.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "tabletesting.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/util/clock.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>
#include <memory>

using namespace tabletest;

// The patients table: its stored columns and sorting, sex icons and display rules.
class TestPatientsListWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<KestaModel> model;
    // Last name -> AutoID.
    QHash<QString, int> ids;

    Database *db() const { return model->database(); }
    KestaSettings *settings() const { return model->settings(); }
    Patient *patient(const QString &lastName) const { return db()->patientById(ids.value(lastName)); }
    QList<Patient *> latin() const
    {
        return { patient("Petrov"), patient("Smirnova"), patient("Orlov"), patient("Kuznetsov"),
            patient("Volkova") };
    }
    // The last names shown, in display order.
    QStringList shownNames(PatientsListWidget &table) const
    {
        QStringList names;
        for (int id : rowIds(table.grid()))
            names << db()->patientById(id)->getLastName();
        return names;
    }

private slots:
    void init()
    {
        Clock::setTestTime(QDateTime(QDate(2024, 5, 10), QTime(12, 0)));
        QFile::remove("Settings.xml");
        QVERIFY(kestatest::resetDataFolder());
        model = std::make_unique<KestaModel>();
        const auto add = [this](const QString &id, const QString &last, const QString &first, int sex,
                             const QDate &born) {
            ids.insert(last, kestatest::addPatient(*db(), id, last, first, sex, born));
        };
        add("A1", "Petrov", "Ivan", Patient::Gender_Male, QDate(1980, 5, 1));
        add("-1", "Smirnova", "Anna", Patient::Gender_Female, QDate());
        add("A3", "Orlov", {}, Patient::Gender_Unspecified, QDate(2014, 5, 1));
        add("A4", "Kuznetsov", {}, Patient::Gender_Male, QDate(2015, 1, 1));
        add("A5", "Volkova", {}, Patient::Gender_Female, QDate(1924, 1, 1));
        add("Б7", "Ёлкина", "Алёна", Patient::Gender_Female, QDate(1990, 12, 31));
        add("Б8", "Семенов", "Петр", Patient::Gender_Male, QDate(1971, 2, 3));
        QVERIFY(!ids.values().contains(-1));
    }

    void cleanup()
    {
        model.reset();
        ids.clear();
    }

    void columnsSortingIconsAndEditing()
    {
        PatientsListWidget patients(settings());
        QVERIFY(showTable(&patients));
        patients.setPatients(latin());
        QCOMPARE(patients.shownColumnNames(), QStringList { "FullName" });
        QMenu menu;
        patients.fillColumnMenu(&menu);
        QCOMPARE(menuTexts(&menu),
            QStringList({ "By name:", "FullName", "LastName", "Initials", "", "Other columns:", "PatientID",
                "Age", "LastVisit", "FirstVisit" }));

        // LastName under "By name" replaces FullName, keeps the others, and resets once, queued.
        settings()->setPatientsTableColumns("FullName;Age;PatientID");
        QTRY_COMPARE(patients.shownColumnNames(), QStringList({ "FullName", "Age", "PatientID" }));
        QSignalSpy resets(&patients, &TableWidget::idSelected);
        QAction *lastName = action(&menu, "columnAction_LastName");
        QVERIFY(lastName);
        lastName->trigger();
        QCOMPARE(settings()->getPatientsTableColumns(), QStringLiteral("LastName;Age;PatientID"));
        QCOMPARE(patients.shownColumnNames(), QStringList({ "FullName", "Age", "PatientID" }));
        QTRY_COMPARE(patients.shownColumnNames(), QStringList({ "LastName", "Age", "PatientID" }));

        // A header click reports once and is stored without a reset; the next reset sorts by it.
        QSignalSpy sorts(&patients, &TableWidget::sortingUpdated);
        QHeaderView *header = patients.grid()->horizontalHeader();
        const QPoint id(header->sectionViewportPosition(2) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, id);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, id);
        QCOMPARE(QList<QVariantList>(sorts), QList<QVariantList>({ { "+PatientID" }, { "-PatientID" } }));
        QCOMPARE(settings()->getPatientsTableSorting(), QStringLiteral("-PatientID"));
        QCoreApplication::processEvents();
        QCOMPARE(resets.count(), 1);
        patients.updateTable();
        QCOMPARE(columnTexts(patients.grid(), 2), QStringList({ "A5", "A4", "A3", "A1", "-1" }));

        // Coloured sex icons; a double click edits.
        const auto sexIcon = [](const char *image, const char *colour) {
            const QString path = QString(":/resources/images/gender-%1.svg").arg(image);
            return MediaHelper::iconColored(path, colour, "#000").pixmap(24).toImage();
        };
        const auto shownIcon = [&](const char *name) {
            const QModelIndex first = cell(patients.grid(), ids.value(name));
            return first.data(Qt::DecorationRole).value<QIcon>().pixmap(24).toImage();
        };
        QVERIFY(!sexIcon("male", "#159").isNull());
        QCOMPARE(shownIcon("Petrov"), sexIcon("male", "#159"));
        QCOMPARE(shownIcon("Smirnova"), sexIcon("female", "#915"));
        QCOMPARE(shownIcon("Orlov"), sexIcon("unspecified", "#999"));

        QSignalSpy edits(&patients, &TableWidget::editRow);
        const QPoint pos = centre(patients.grid(), ids.value("Smirnova"));
        QTest::mouseClick(patients.grid()->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(patients.grid()->viewport(), Qt::LeftButton, {}, pos);
        QCOMPARE(QList<QVariantList>(edits), QList<QVariantList>({ { ids.value("Smirnova") } }));
    }

    void unknownAgesAndHiddenCharacters()
    {
        const int hostile = kestatest::addPatient(*db(), "B9\u2066", "Nor\u202Emal", "Anna\u200B");
        settings()->setPatientsTableColumns("FullName;LastName;Initials;PatientID;Age");
        PatientsListWidget patients(settings());
        patients.setPatients(db()->patients());
        QCOMPARE(text(patients.grid(), ids.value("Smirnova"), 4), QStringLiteral("-"));
        QCOMPARE(text(patients.grid(), ids.value("Smirnova"), 3), QStringLiteral("-1"));
        QCOMPARE(text(patients.grid(), ids.value("Petrov"), 4), QStringLiteral("44"));
        // A name or ID cannot turn itself around or hide a character.
        const QStringList shown { text(patients.grid(), hostile, 0), text(patients.grid(), hostile, 1),
            text(patients.grid(), hostile, 2), text(patients.grid(), hostile, 3) };
        QCOMPARE(shown,
            QStringList(
                { "Nor<U+202E>mal Anna<U+200B>", "Nor<U+202E>mal", "Nor<U+202E>mal A.", "B9<U+2066>" }));
    }
};

KESTA_TEST_MAIN(TestPatientsListWidget)
#include "tst_patientslistwidget.moc"
