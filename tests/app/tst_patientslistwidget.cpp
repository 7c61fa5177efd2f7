#include "app/tables/patientslistwidget.h"
#include "app/tables/tablegrid.h"
#include "tabletesting.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/style/stylehelper.h"

#include <QLineEdit>
#include <QTranslator>

using namespace tabletest;

// The patients table: its stored columns and sorting, display rules, sex icons and the search field.
class TestPatientsListWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<KestaModel> model;
    Patients p;

    Database *db() const { return model->database(); }
    KestaSettings *settings() const { return model->settings(); }

private slots:
    void init()
    {
        QFile::remove("Settings.xml");
        QVERIFY(kestatest::resetDataFolder());
        model = std::make_unique<KestaModel>();
        QVERIFY(p.add(*db()));
    }

    void cleanup() { model.reset(); }

    void columnsTextsIconsAndEditing()
    {
        const int hostile = kestatest::addPatient(*db(), "B9\u2066", "Nor\u202Emal", "Anna\u200B");
        QTranslator russian;
        QVERIFY(russian.load(":/translations/tables_ru_RU.qm"));
        QCoreApplication::installTranslator(&russian);
        PatientsListWidget patients(settings());
        QCoreApplication::removeTranslator(&russian);
        QCOMPARE(patients.searchField()->placeholderText(), QStringLiteral("Поиск пациентов"));
        QVERIFY(showTable(&patients));
        patients.setPatients(db()->patients());
        QMenu menu;
        patients.fillColumnMenu(&menu);
        QCOMPARE(menuEntries(&menu),
            QStringList({ "(By name:)", "[x]FullName", "[ ]LastName", "[ ]Initials", "()", "(Other columns:)",
                "[ ]PatientID", "[ ]Age", "[ ]LastVisit", "[ ]FirstVisit", "[ ]DOB", "[ ]Sex" }));

        // The choice is stored at once; the table is rebuilt once the menu has closed.
        action(&menu, "columnAction_LastName")->trigger();
        QCOMPARE(settings()->getPatientsTableColumns(), QStringLiteral("LastName"));
        QCOMPARE(patients.shownColumnNames(), QStringList { "FullName" });
        QTRY_COMPARE(patients.shownColumnNames(), QStringList { "LastName" });

        // A name or ID cannot turn itself around or hide a character; an unknown age reads "-".
        settings()->setPatientsTableColumns("FullName;LastName;Initials;PatientID;Age");
        QTRY_COMPARE(text(patients.grid(), hostile),
            QStringLiteral("Nor<U+202E>mal Anna<U+200B>|Nor<U+202E>mal|Nor<U+202E>mal A.|B9<U+2066>|-"));
        QCOMPARE(
            text(patients.grid(), p.smirnova), QStringLiteral("Smirnova Anna|Smirnova|Smirnova A.|-1|-"));
        QCOMPARE(text(patients.grid(), p.petrov, 4), QStringLiteral("44"));
        // Ages sort by value (as texts "-", "10", "100", "44", "9"), the unknown first.
        patients.grid()->sortByColumn(4, Qt::AscendingOrder);
        QCOMPARE(columnTexts(patients.grid(), 4), QStringList({ "-", "-", "9", "10", "44", "100" }));
        // Visits sort as they show, from the records rather than the stored column.
        db()->patientById(p.petrov)->setLastVisit(QDateTime(QDate(2030, 1, 1), QTime(9, 0)));
        for (const int id : { p.petrov, p.orlov }) {
            const QDateTime recorded(QDate(id == p.petrov ? 2010 : 2020, 1, 1), QTime(9, 0));
            QVERIFY(db()->insertRecord(db()->patientById(id), recorded, "EEG_1\\a.edf", "EEG", {}) > 0);
        }
        settings()->setPatientsTableColumns("FullName;LastVisit");
        QTRY_COMPARE(patients.shownColumnNames().size(), 2);
        patients.grid()->sortByColumn(1, Qt::DescendingOrder);
        QCOMPARE(rowIds(patients.grid()).mid(0, 2), QList<int>({ p.orlov, p.petrov }));

        // On a selected row the icon takes the selection's text colour; shown rows follow the theme.
        const QHash<int, QString> icons { { p.petrov, "male #159" }, { p.smirnova, "female #915" },
            { p.orlov, "unspecified #999" } };
        QVERIFY(StyleHelper::registerFontsAndStyles());
        for (const char *theme : { "dark", "light" }) {
            StyleHelper::Instance()->selectTheme(theme);
            for (auto icon = icons.cbegin(); icon != icons.cend(); ++icon) {
                const auto drawn = [&icon](const QString &color) {
                    const QString image = ":/resources/images/gender-" + icon->section(' ', 0, 0) + ".svg";
                    return MediaHelper::iconColored(image, color, "#000").pixmap(24).toImage();
                };
                const QIcon shown = cell(patients.grid(), icon.key()).data(Qt::DecorationRole).value<QIcon>();
                QVERIFY(!drawn(icon->section(' ', 1)).isNull());
                QCOMPARE(shown.pixmap(24).toImage(), drawn(icon->section(' ', 1)));
                QCOMPARE(
                    shown.pixmap(24, QIcon::Selected).toImage(), drawn(StyleHelper::ThemeValue("--z-text")));
            }
        }
        QSignalSpy edits(&patients, &TableWidget::editRow);
        const QPoint pos = centre(patients.grid(), p.smirnova);
        QTest::mouseClick(patients.grid()->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(patients.grid()->viewport(), Qt::LeftButton, {}, pos);
        QCOMPARE(QList<QVariantList>(edits), QList<QVariantList>({ { p.smirnova } }));
    }

    // Where the room is short the name keeps its own and a long ID gives up its; date of
    // birth and sex may be shown, an unknown sex as nothing.
    void namesKeepTheirRoomFirst()
    {
        const int archived
            = kestatest::addPatient(*db(), "A-2024-0017-ARCH", "Konstantinopolskaya-Rimskaya", "Alexandra");
        settings()->setPatientsTableColumns("FullName;PatientID;Age;LastVisit;DOB;Sex");
        PatientsListWidget patients(settings());
        QVERIFY(showTable(&patients));
        patients.resize(1024, 400);
        patients.setPatients(db()->patients());
        auto *grid = static_cast<TableGrid *>(patients.grid());
        QHeaderView *header = grid->horizontalHeader();
        const auto fits = [&](int column) {
            return header->sectionSize(column) >= grid->cellWidth(cell(grid, archived, column));
        };
        QTRY_VERIFY(fits(0) && fits(1));
        QCOMPARE(text(grid, p.volkova).section('|', 4), QStringLiteral("1924-01-01|Female"));
        QCOMPARE(text(grid, archived).section('|', 4), QStringLiteral("|"));
        patients.resize(740, 400);
        QTRY_VERIFY(!fits(1));
        QVERIFY(fits(0));
    }

    void filter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("words in any order") << " ivan   petr " << QStringList { "Petrov Ivan" };
        QTest::newRow("every word must match") << "petrov orlov" << QStringList();
        QTest::newRow("Cyrillic, ё typed as е") << "елкина алена" << QStringList { "Ёлкина Алёна" };
        QTest::newRow("Cyrillic, е typed as Ё") << "СЁМЕНОВ" << QStringList { "Семенов Петр" };
        QTest::newRow("Cyrillic and Latin differ") << "ов" << QStringList { "Иванов Ян", "Семенов Петр" };
        QTest::newRow("ID fragment") << "a3" << QStringList { "Orlov" };
        QTest::newRow("birth date as the card shows it") << "01.05.19" << QStringList { "Petrov Ivan" };
        QTest::newRow("birth date as tables show dates") << "2014/05" << QStringList { "Orlov" };
        QTest::newRow("accents and letters folded")
            << "lukasz MULLER" << QStringList { "Müller-Weiß Łukasz" };
        QTest::newRow("ß, ø, punctuation and blanks")
            << "weiss obrien soren" << QStringList { "O'Brien Weiß Søren" };
        QTest::newRow("Cyrillic in the Latin layout") << "Bdfyjd" << QStringList { "Иванов Ян" };
        QTest::newRow("Latin in the Russian layout") << "Шмфт" << QStringList { "Petrov Ivan" };
        QTest::newRow("Cyrillic transliterated") << "ivanov yan" << QStringList { "Иванов Ян" };
        QTest::newRow("beyond Latin and Cyrillic") << "煱" << QStringList { "煱" };
        // U+7171: "q" is in no name, only in that character's code.
        QTest::newRow("no letter inside another's code") << "q" << QStringList();
        QTest::newRow("blank") << "  "
                               << QStringList { "Kuznetsov", "Müller-Weiß Łukasz", "O'Brien Weiß Søren",
                                      "Orlov", "Petrov Ivan", "Smirnova Anna", "Volkova", "Ёлкина Алёна",
                                      "Иванов Ян", "Семенов Петр", "煱" };
    }

    void filter()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, found);
        QVERIFY(kestatest::addPatient(*db(), "Б7", "Ёлкина", "Алёна") > 0);
        QVERIFY(kestatest::addPatient(*db(), "Б8", "Семенов", "Петр") > 0);
        QVERIFY(kestatest::addPatient(*db(), "Б9", "Müller-Weiß", "Łukasz") > 0);
        QVERIFY(kestatest::addPatient(*db(), "Б10", "O'Brien Weiß", "Søren") > 0);
        QVERIFY(kestatest::addPatient(*db(), "Б11", "Иванов", "Ян") > 0);
        QVERIFY(kestatest::addPatient(*db(), "Б12", "煱", "") > 0);
        PatientsListWidget patients(settings());
        patients.setPatients(db()->patients());
        patients.searchField()->setText(typed);
        QStringList names = columnTexts(patients.grid(), 0);
        names.sort(); // the display order depends on the locale's collation
        QCOMPARE(names, found);
    }

    void filterKeepsOrDropsTheSelection()
    {
        settings()->setPatientsTableColumns("FullName;PatientID");
        PatientsListWidget patients(settings());
        QVERIFY(showTable(&patients));
        patients.setPatients(db()->patients());
        patients.setSelectedId(p.petrov, true);
        QSignalSpy selected(&patients, &TableWidget::idSelected);

        // Ctrl+F reaches the search field; a patient still shown stays selected, and nothing is
        // announced or stored.
        QApplication::setActiveWindow(&patients);
        QVERIFY(QTest::qWaitForWindowActive(&patients));
        patients.grid()->setFocus();
        QTest::keyClick(&patients, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(patients.searchField()->hasFocus());
        QTest::keyClicks(patients.searchField(), "petr");
        QCOMPARE(columnTexts(patients.grid(), 0), QStringList { "Petrov Ivan" });
        QCOMPARE(patients.selectedItemId(), p.petrov);
        QTest::keyClick(patients.searchField(), Qt::Key_Escape);
        QCOMPARE(patients.shownRowCount(), 5);
        QCOMPARE(selected.count(), 0);

        // Hidden: nothing is selected.
        QTest::keyClicks(patients.searchField(), "k");
        QCOMPARE(columnTexts(patients.grid(), 0), QStringList({ "Kuznetsov", "Volkova" }));
        QCOMPARE(patients.selectedPatient(), nullptr);

        // Sorting while filtered, stored without a reset; a reload keeps the filter and the sorting.
        QHeaderView *header = patients.grid()->horizontalHeader();
        const QPoint idSection(header->sectionViewportPosition(1) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, idSection);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, idSection);
        QCOMPARE(QList<QVariantList>(selected), QList<QVariantList>({ { -1 } }));
        QCOMPARE(columnTexts(patients.grid(), 1), QStringList({ "A5", "A4" }));
        db()->reloadPatients();
        patients.setPatients(db()->patients());
        QCOMPARE(columnTexts(patients.grid(), 1), QStringList({ "A5", "A4" }));
        QFile stored("Settings.xml");
        QVERIFY(stored.open(QIODevice::ReadOnly));
        const QByteArray saved = stored.readAll();
        QVERIFY(saved.contains("-PatientID") && !saved.contains("petr"));

        // Cleared: every row again, in the sorted order, the selection where the user left it.
        QTest::mouseClick(
            patients.grid()->viewport(), Qt::LeftButton, {}, centre(patients.grid(), p.volkova));
        QTest::keyClick(patients.searchField(), Qt::Key_Escape);
        QCOMPARE(columnTexts(patients.grid(), 1), QStringList({ "A5", "A4", "A3", "A1", "-1" }));
        QCOMPARE(patients.selectedPatient(), db()->patientById(p.volkova));

        // Edited so that it no longer matches: shown and selected until the search changes.
        QTest::keyClicks(patients.searchField(), "volk");
        QSignalSpy refreshed(patients.grid()->model(), &QAbstractItemModel::dataChanged);
        db()->patientById(p.volkova)->setLastName("Sokolova");
        QTRY_VERIFY(!refreshed.isEmpty());
        QCOMPARE(columnTexts(patients.grid(), 0), QStringList { "Sokolova" });
        QCOMPARE(patients.selectedPatient(), db()->patientById(p.volkova));
        QTest::keyClick(patients.searchField(), Qt::Key_A);
        QCOMPARE(patients.shownRowCount(), 0);

        // The list's own keys: End, Home, Page Down and Page Up select whole rows.
        QTest::keyClick(patients.searchField(), Qt::Key_Escape);
        patients.grid()->setFocus();
        const QList<int> order = rowIds(patients.grid());
        for (const auto &step :
            { qMakePair(Qt::Key_End, order.last()), qMakePair(Qt::Key_Home, order.first()),
                qMakePair(Qt::Key_PageDown, order.last()), qMakePair(Qt::Key_PageUp, order.first()) }) {
            QTest::keyClick(patients.grid(), step.first);
            QVERIFY2(patients.selectedItemId() == step.second, qPrintable(QString::number(step.first, 16)));
        }
    }
};

KESTA_TEST_MAIN(TestPatientsListWidget)
#include "tst_patientslistwidget.moc"
