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
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTranslator>
#include <memory>

using namespace tabletest;

// The patients table: its stored columns and sorting, sex icons, display rules and the search field.
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

    void filter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        const QStringList all { "Kuznetsov", "Orlov", "Petrov", "Smirnova", "Volkova", "Ёлкина", "Семенов" };
        QTest::newRow("name, any case") << "PETROV" << QStringList { "Petrov" };
        QTest::newRow("words in any order") << " ivan   petr " << QStringList { "Petrov" };
        QTest::newRow("every word must match") << "petrov orlov" << QStringList();
        QTest::newRow("Cyrillic, ё typed as е") << "елкина алена" << QStringList { "Ёлкина" };
        QTest::newRow("Cyrillic, е typed as Ё") << "СЁМЕНОВ" << QStringList { "Семенов" };
        QTest::newRow("Cyrillic and Latin differ") << "ов" << QStringList { "Семенов" };
        QTest::newRow("ID fragment") << "a3" << QStringList { "Orlov" };
        QTest::newRow("ID with a sign") << "-1" << QStringList { "Smirnova" };
        QTest::newRow("birth date as the card shows it") << "01.05.19" << QStringList { "Petrov" };
        QTest::newRow("birth date as tables show dates") << "2014/05" << QStringList { "Orlov" };
        QTest::newRow("birth year") << "1924" << QStringList { "Volkova" };
        QTest::newRow("blank") << "  " << all;
    }

    void filter()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        PatientsListWidget patients(settings());
        patients.setPatients(db()->patients());
        patients.searchField()->setText(typed);
        QStringList names = shownNames(patients);
        names.sort();
        QCOMPARE(names, found);
        QCOMPARE(patients.filterText(), typed);
    }

    void filterKeepsOrDropsTheSelection()
    {
        settings()->setPatientsTableColumns("FullName;PatientID");
        PatientsListWidget patients(settings());
        QVERIFY(showTable(&patients));
        patients.setPatients(latin());
        patients.setSelectedId(ids.value("Petrov"), true);
        QSignalSpy selected(&patients, &TableWidget::idSelected);

        // Still shown, still selected, and nothing announced.
        QTest::keyClicks(patients.searchField(), "petr");
        QCOMPARE(shownNames(patients), QStringList { "Petrov" });
        QCOMPARE(patients.selectedItemId(), ids.value("Petrov"));
        QTest::keyClick(patients.searchField(), Qt::Key_Escape);
        QCOMPARE(patients.searchField()->text(), QString());
        QCOMPARE(
            shownNames(patients), QStringList({ "Kuznetsov", "Orlov", "Petrov", "Smirnova", "Volkova" }));
        QCOMPARE(selected.count(), 0);

        // Hidden: nothing is selected.
        QTest::keyClicks(patients.searchField(), "k");
        QCOMPARE(shownNames(patients), QStringList({ "Kuznetsov", "Volkova" }));
        QCOMPARE(QList<QVariantList>(selected), QList<QVariantList>({ { -1 } }));
        QCOMPARE(patients.selectedPatient(), nullptr);

        // Sorting while filtered, and a reload keeps the filter.
        QHeaderView *header = patients.grid()->horizontalHeader();
        const QPoint idSection(header->sectionViewportPosition(1) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, idSection);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, idSection);
        QCOMPARE(columnTexts(patients.grid(), 1), QStringList({ "A5", "A4" }));
        QCOMPARE(settings()->getPatientsTableSorting(), QStringLiteral("-PatientID"));
        db()->reloadPatients();
        patients.setPatients(latin());
        QCOMPARE(patients.filterText(), QStringLiteral("k"));
        QCOMPARE(columnTexts(patients.grid(), 1), QStringList({ "A5", "A4" }));

        // Cleared: every row again, in the sorted order, the selection where the user left it.
        QTest::mouseClick(
            patients.grid()->viewport(), Qt::LeftButton, {}, centre(patients.grid(), ids.value("Volkova")));
        QTest::keyClick(patients.searchField(), Qt::Key_Escape);
        QCOMPARE(columnTexts(patients.grid(), 1), QStringList({ "A5", "A4", "A3", "A1", "-1" }));
        QCOMPARE(patients.selectedPatient(), patient("Volkova"));
        QCOMPARE(selected.last().at(0).toInt(), ids.value("Volkova"));
    }

    void searchField()
    {
        settings()->setPatientsTableColumns("FullName;PatientID");
        QFile stored("Settings.xml");
        QVERIFY(stored.open(QIODevice::ReadOnly));
        const QByteArray before = stored.readAll();
        stored.close();

        PatientsListWidget patients(settings());
        QCOMPARE(patients.searchField()->placeholderText(), QStringLiteral("Search patients"));
        QVERIFY(patients.searchField()->isClearButtonEnabled());
        QVERIFY(showTable(&patients));
        QApplication::setActiveWindow(&patients);
        QVERIFY(QTest::qWaitForWindowActive(&patients));
        patients.grid()->setFocus();
        QTest::keyClick(&patients, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(patients.searchField()->hasFocus());
        QTest::keyClicks(patients.searchField(), "volk");
        QCoreApplication::processEvents();
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), before);

        QTranslator russian;
        QVERIFY(russian.load(":/translations/tables_ru_RU.qm"));
        QCoreApplication::installTranslator(&russian);
        PatientsListWidget translated(settings());
        QCoreApplication::removeTranslator(&russian);
        QCOMPARE(translated.searchField()->placeholderText(), QStringLiteral("Поиск пациентов"));
    }
};

KESTA_TEST_MAIN(TestPatientsListWidget)
#include "tst_patientslistwidget.moc"
