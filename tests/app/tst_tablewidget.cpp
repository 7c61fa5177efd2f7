#include "app/tablewidget.h"
#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"
#include "support/tablerows.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTranslator>
#include <memory>

using namespace kestatest;

Q_DECLARE_METATYPE(TableColumn)

// A table whose hooks the test sets.
class ProbeTable : public TableWidget
{
public:
    QList<TableColumn> columns;
    QStringList saved;
    QString sorting;

    QList<TableColumn> availableColumns() override { return columns; }
    QStringList savedColumns() override { return saved; }
    QString savedSorting() override { return sorting; }
    void addCustomAction(const QString &key) { customActions.insert(key, new QAction(key, this)); }
};

namespace
{

TableColumn column(const QString &name, bool fixed = false, int mode = 0, const QString &group = QString())
{
    return TableColumn(name, mode, Qt::AlignLeft, group, fixed);
}

} // namespace

// The configurable row table over real patients from a fresh database.
class TestTableWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<Database> db;
    std::unique_ptr<ProbeTable> table;
    int petrov = 0, smirnova = 0, orlov = 0, kuznetsov = 0, volkova = 0;

    void rebuild(
        const QList<TableColumn> &columns, const QStringList &saved, const QString &sorting = QString())
    {
        table->columns = columns;
        table->saved = saved;
        table->sorting = sorting;
        QList<AbstractDatabaseRow *> rows;
        for (Patient *patient : db->patients())
            rows << patient;
        table->setRows(rows);
    }
    QTableWidget *grid() const { return table->grid(); }

private slots:
    void init()
    {
        Patient::setToday(QDate(2024, 5, 10));
        QVERIFY(resetDataFolder());
        db = std::make_unique<Database>(DataLocations::databaseFile());
        petrov = addPatient(*db, "A1", "Petrov", "Ivan", Patient::Gender_Male, QDate(1980, 5, 1), "Tver");
        smirnova = addPatient(*db, "-1", "Smirnova", "Anna", Patient::Gender_Female, QDate(), "0");
        orlov = addPatient(*db, "A3", "Orlov", "Boris", Patient::Gender_Unspecified, QDate(2014, 5, 1));
        kuznetsov = addPatient(*db, "A4", "Kuznetsov", "Oleg", Patient::Gender_Male, QDate(2015, 1, 1));
        volkova = addPatient(*db, "A5", "Volkova", "Vera", Patient::Gender_Female, QDate(1924, 1, 1));
        QVERIFY(volkova > 0);
        table = std::make_unique<ProbeTable>();
        table->resize(700, 400);
        table->show();
        QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    }

    void cleanup()
    {
        table.reset();
        db.reset();
    }

    void columnResolution_data()
    {
        QTest::addColumn<QList<TableColumn>>("all");
        QTest::addColumn<QStringList>("saved");
        QTest::addColumn<QStringList>("shown");
        const QList<TableColumn> plain { column("FullName"), column("PatientID"), column("Age") };
        const QList<TableColumn> oneFixed { column("FullName"), column("PatientID", true), column("Age") };
        const QList<TableColumn> twoFixed { column("FullName", true), column("PatientID"),
            column("Age", true) };
        QTest::newRow("empty text") << plain << QStringList { "" } << QStringList { "FullName" };
        QTest::newRow("unknown names, case counts")
            << plain << QStringList { "x", "age" } << QStringList { "FullName" };
        QTest::newRow("order kept") << plain << QStringList { "Age", "FullName" }
                                    << QStringList { "Age", "FullName" };
        QTest::newRow("fixed omitted")
            << oneFixed << QStringList { "Age" } << QStringList { "PatientID", "Age" };
        QTest::newRow("fixed named late")
            << oneFixed << QStringList { "Age", "PatientID" } << QStringList { "PatientID", "Age" };
        QTest::newRow("two fixed, the last leads")
            << twoFixed << QStringList { "PatientID" } << QStringList { "Age", "FullName", "PatientID" };
        QTest::newRow("unknown with fixed") << oneFixed << QStringList { "x" } << QStringList { "PatientID" };
        QTest::newRow("named twice") << plain << QStringList { "Age", "Age" } << QStringList { "Age" };
    }

    void columnResolution()
    {
        QFETCH(QList<TableColumn>, all);
        QFETCH(QStringList, saved);
        QFETCH(QStringList, shown);
        rebuild(all, saved);
        QCOMPARE(table->shownColumnNames(), shown);
        QCOMPARE(grid()->columnCount(), shown.size());
        QCOMPARE(grid()->rowCount(), 5);
    }

    void captionsCellsAndSections()
    {
        QList<TableColumn> columns { column("FullName", false, QHeaderView::Interactive, "name"),
            column("PatientID", false, QHeaderView::ResizeToContents),
            column("Age", false, QHeaderView::Fixed), column("City", false, QHeaderView::Stretch) };
        columns[2].title = QStringLiteral("Years");
        columns[2].alignment = Qt::AlignRight;
        // Column names come from the entities' catalogue, the menus' texts from the tables'.
        QTranslator names, tables;
        QVERIFY(names.load(":/translations/db_ru_RU.qm") && tables.load(":/translations/tables_ru_RU.qm"));
        QCoreApplication::installTranslator(&names);
        QCoreApplication::installTranslator(&tables);
        rebuild(columns, { "FullName", "PatientID", "Age", "City" });
        QMenu menu;
        table->fillColumnMenu(&menu);
        std::unique_ptr<QMenu> rowMenu(table->createRowMenu(cellCenter(grid(), petrov)));
        QCoreApplication::removeTranslator(&tables);
        QCoreApplication::removeTranslator(&names);
        QCOMPARE(grid()->horizontalHeaderItem(0)->text(), QStringLiteral("ФИО"));
        QCOMPARE(grid()->horizontalHeaderItem(2)->text(), QStringLiteral("Years"));
        QCOMPARE(menuTexts(&menu).mid(0, 4), QStringList({ "Имя:", "ФИО", "", "Другие столбцы:" }));
        QCOMPARE(menuTexts(rowMenu.get()), QStringList({ "Редактировать", "Показать в папке", "Удалить" }));

        // An unknown age reads "-"; "-1" or "0" in other columns stays.
        const int r = gridRow(grid(), smirnova);
        QCOMPARE(columnTexts(grid(), 0).at(r), QStringLiteral("Smirnova Anna"));
        QCOMPARE(grid()->item(r, 1)->text(), QStringLiteral("-1"));
        QCOMPARE(grid()->item(r, 2)->text(), QStringLiteral("-"));
        QCOMPARE(grid()->item(r, 3)->text(), QStringLiteral("0"));
        QCOMPARE(grid()->item(gridRow(grid(), petrov), 2)->text(), QStringLiteral("44"));
        QTableWidgetItem *cell = grid()->item(r, 2);
        QCOMPARE(cell->data(Qt::UserRole).toInt(), smirnova);
        QVERIFY(!(cell->flags() & Qt::ItemIsEditable));
        QCOMPARE(cell->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));

        QHeaderView *header = grid()->horizontalHeader();
        QCOMPARE(header->sectionResizeMode(0), QHeaderView::Interactive);
        QCOMPARE(header->sectionResizeMode(1), QHeaderView::ResizeToContents);
        QCOMPARE(header->sectionSize(2), 9 * 5 + 40);
        QCOMPARE(header->sectionResizeMode(3), QHeaderView::Stretch);
        QCOMPARE(grid()->horizontalHeaderItem(2)->textAlignment(), int(Qt::AlignRight));
        QVERIFY(grid()->verticalHeader()->isHidden());
        QCOMPARE(grid()->iconSize(), QSize(20, 20));
        QCOMPARE(grid()->objectName(), QStringLiteral("sortableTable"));
        // Without a stretching column the first one stretches.
        rebuild(columns.mid(1, 2), { "PatientID", "Age" });
        QCOMPARE(grid()->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
    }

    void sortingFromSavedText_data()
    {
        QTest::addColumn<QString>("sorting");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("order");
        QTest::newRow("empty") << "" << 0 << int(Qt::AscendingOrder);
        QTest::newRow("minus, shown") << "-Age" << 2 << int(Qt::DescendingOrder);
        QTest::newRow("plus, shown") << "+Age" << 2 << int(Qt::AscendingOrder);
        QTest::newRow("bare name") << "Age" << 0 << int(Qt::AscendingOrder);
        QTest::newRow("plus, not shown") << "+City" << 0 << int(Qt::AscendingOrder);
        QTest::newRow("sign alone") << "-" << 0 << int(Qt::AscendingOrder);
    }

    void sortingFromSavedText()
    {
        QFETCH(QString, sorting);
        QFETCH(int, section);
        QFETCH(int, order);
        QSignalSpy reports(table.get(), &TableWidget::sortingUpdated);
        rebuild({ column("FullName"), column("PatientID"), column("Age"), column("City") },
            { "FullName", "PatientID", "Age" }, sorting);
        QCOMPARE(grid()->horizontalHeader()->sortIndicatorSection(), section);
        QCOMPARE(int(grid()->horizontalHeader()->sortIndicatorOrder()), order);
        const QStringList texts = columnTexts(grid(), section);
        QStringList expected = texts;
        std::sort(expected.begin(), expected.end(),
            [](const QString &a, const QString &b) { return QString::localeAwareCompare(a, b) < 0; });
        if (order == Qt::DescendingOrder)
            std::reverse(expected.begin(), expected.end());
        QCOMPARE(texts, expected);
        QCOMPARE(reports.count(), 0);
    }

    void sortingComparesTextAndClicksReportOnce()
    {
        QSignalSpy reports(table.get(), &TableWidget::sortingUpdated);
        rebuild({ column("FullName"), column("Age") }, { "FullName", "Age" }, "+Age");
        QStringList ages = columnTexts(grid(), 1);
        ages.removeAll("-");
        QCOMPARE(ages, QStringList({ "10", "100", "44", "9" }));

        QHeaderView *header = grid()->horizontalHeader();
        const QPoint fullName(header->sectionViewportPosition(0) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, fullName);
        QCOMPARE(reports.count(), 1);
        QCOMPARE(reports.takeFirst().at(0).toString(), QStringLiteral("+FullName"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, fullName);
        QCOMPARE(reports.takeFirst().at(0).toString(), QStringLiteral("-FullName"));
        QCOMPARE(columnTexts(grid(), 0).first(), QStringLiteral("Volkova Vera"));
        // A rebuild sorts by what it is handed and reports nothing.
        table->updateTable();
        QCOMPARE(grid()->horizontalHeader()->sortIndicatorSection(), 1);
        QCOMPARE(reports.count(), 0);
    }

    void selectionFollowsClicksKeysAndRebuilds()
    {
        QSignalSpy selected(table.get(), &TableWidget::idSelected);
        rebuild({ column("FullName") }, { "FullName" }, "+FullName");
        QCOMPARE(selected.takeFirst().at(0).toInt(), -1);

        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCenter(grid(), orlov));
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.takeFirst().at(0).toInt(), orlov);
        QCOMPARE(table->getSelectedRow(), db->patientById(orlov));
        // The keyboard moves the selection as a click does.
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(selected.takeFirst().at(0).toInt(), petrov);

        // A rebuild re-selects the same id, or reports that it is gone, and
        // keeps the keyboard in the grid.
        grid()->setFocus();
        table->setSelectedId(orlov, true);
        QCOMPARE(selected.takeFirst().at(0).toInt(), orlov);
        rebuild(table->columns, table->saved, "-FullName");
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.takeFirst().at(0).toInt(), orlov);
        QCOMPARE(grid()->selectedItems().size(), 1);
        QCOMPARE(table->selectedItemId(), orlov);
        QTRY_VERIFY(grid()->hasFocus());
        table->setRows({ db->patientById(petrov), db->patientById(volkova) });
        QCOMPARE(selected.takeFirst().at(0).toInt(), -1);
        QVERIFY(grid()->selectedItems().isEmpty());
        QCOMPARE(table->getSelectedRow(), nullptr);

        // Without apply the id waits for the next rebuild.
        table->setSelectedId(volkova, false);
        QCOMPARE(selected.count(), 0);
        table->updateTable();
        QCOMPARE(selected.takeFirst().at(0).toInt(), volkova);
        QCOMPARE(table->selectedItemId(), volkova);
        table->setRows({});
        QCOMPARE(grid()->rowCount(), 0);
        QCOMPARE(grid()->columnCount(), 1);
        QCOMPARE(selected.takeFirst().at(0).toInt(), -1);
    }

    void rowMenu()
    {
        table->addCustomAction("zeta");
        table->addCustomAction("alpha");
        rebuild({ column("FullName") }, { "FullName" });
        table->setSelectedId(petrov, true);
        QSignalSpy edits(table.get(), &TableWidget::editRow);
        QSignalSpy removals(table.get(), &TableWidget::removeRow);
        QSignalSpy custom(table.get(), &TableWidget::customAction);
        QSignalSpy selected(table.get(), &TableWidget::idSelected);

        const QPoint onOrlov = cellCenter(grid(), orlov);
        std::unique_ptr<QMenu> menu(table->createRowMenu(onOrlov));
        QVERIFY(menu);
        QCOMPARE(
            menuTexts(menu.get()), QStringList({ "alpha", "zeta", "Edit", "Show in explorer", "Remove" }));
        for (QAction *action : menu->actions().mid(2))
            QVERIFY(!action->icon().isNull());
        for (QAction *action : menu->actions())
            action->trigger();
        QCOMPARE(custom.count(), 3);
        QCOMPARE(custom.at(0), QVariantList({ "alpha", orlov }));
        QCOMPARE(custom.at(1), QVariantList({ "zeta", orlov }));
        QCOMPARE(custom.at(2), QVariantList({ "show", orlov }));
        QCOMPARE(edits.takeFirst().at(0).toInt(), orlov);
        QCOMPARE(removals.takeFirst().at(0).toInt(), orlov);
        QVERIFY(!table->createRowMenu(QPoint(5, grid()->viewport()->height() - 2)));

        // The right click itself pops the menu up and leaves the selection alone.
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, onOrlov);
        QContextMenuEvent request(
            QContextMenuEvent::Mouse, onOrlov, grid()->viewport()->mapToGlobal(onOrlov));
        QCoreApplication::sendEvent(grid()->viewport(), &request);
        QTest::mouseRelease(grid()->viewport(), Qt::RightButton, {}, onOrlov);
        auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(popup->objectName(), QStringLiteral("rowMenu"));
        popup->close();
        QCOMPARE(selected.count(), 0);
        QCOMPARE(table->selectedItemId(), petrov);
    }

    void columnMenu()
    {
        const QString name = QStringLiteral("name");
        rebuild({ column("FullName", false, 1, name), column("LastName", false, 1, name), column("PatientID"),
                    column("Age", true), column("City", false, 0, "hidden") },
            { "FullName" });
        QCOMPARE(table->shownColumnNames(), QStringList({ "Age", "FullName" }));
        QMenu menu;
        table->fillColumnMenu(&menu);
        const QList<QAction *> actions = menu.actions();
        QCOMPARE(menuTexts(&menu),
            QStringList({ "By name:", "FullName", "LastName", "", "Other columns:", "PatientID", "Age" }));
        for (int i : { 0, 3, 4, 6 })
            QVERIFY(!actions.at(i)->isEnabled());
        QVERIFY(actions.at(1)->isChecked() && actions.at(6)->isChecked());
        QVERIFY(!actions.at(2)->isChecked() && !actions.at(5)->isChecked());
        QVERIFY(actions.at(1)->actionGroup()->isExclusive());
        QCOMPARE(actions.at(2)->actionGroup(), actions.at(1)->actionGroup());

        QSignalSpy wishes(table.get(), &TableWidget::headerColumnsUpdated);
        actions.at(2)->trigger();
        QCOMPARE(wishes.takeFirst().at(0).toStringList(), QStringList({ "LastName", "Age" }));
        actions.at(5)->trigger();
        QCOMPARE(wishes.takeFirst().at(0).toStringList(), QStringList({ "Age", "FullName", "PatientID" }));
        actions.at(6)->trigger();
        QCOMPARE(wishes.count(), 0);
        // The table only announces: the grid waits for its owner's rebuild.
        QCOMPARE(table->shownColumnNames(), QStringList({ "Age", "FullName" }));
        table->saved = QStringList { "FullName", "PatientID" };
        table->updateTable();
        table->fillColumnMenu(&menu);
        menu.actions().at(5)->trigger();
        QCOMPARE(wishes.takeFirst().at(0).toStringList(), QStringList({ "Age", "FullName" }));

        emit grid()->horizontalHeader()->customContextMenuRequested(QPoint(5, 5));
        auto *popup = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(popup);
        QCOMPARE(popup->objectName(), QStringLiteral("columnMenu"));
        QCOMPARE(popup->actions().size(), 7);
        popup->close();
    }
};

KESTA_TEST_MAIN(TestTableWidget)
#include "tst_tablewidget.moc"
