#include "app/tablewidget.h"
#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"
#include "db/record.h"
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

using kestatest::addPatient;

Q_DECLARE_METATYPE(TableColumn)

// A table whose hooks the test sets: the columns offered, the saved choice
// and sorting, the double-click action.
class ProbeTable : public TableWidget
{
public:
    QList<TableColumn> columns;
    QStringList saved;
    QString sorting;
    QString action = QStringLiteral("edit");

    QList<TableColumn> availableColumns() override { return columns; }
    QStringList savedColumns() override { return saved; }
    QString savedSorting() override { return sorting; }
    QString doubleClickAction() override { return action; }
    void addCustomAction(const QString &key, const QString &text)
    {
        customActions.insert(key, new QAction(text, this));
    }
};

namespace
{

TableColumn column(const QString &name, bool fixed = false, int mode = 0, const QString &group = QString())
{
    return TableColumn(name, mode, Qt::AlignLeft, group, fixed);
}

QStringList columnTexts(QTableWidget *grid, int column)
{
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r)
        texts << grid->item(r, column)->text();
    return texts;
}

int gridRowOf(QTableWidget *grid, int id)
{
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (grid->item(r, 0)->data(Qt::UserRole).toInt() == id)
            return r;
    }
    return -1;
}

QPoint cellCenter(QTableWidget *grid, int row)
{
    return grid->visualItemRect(grid->item(row, 0)).center();
}

QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    return texts;
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
    void initTestCase() { Patient::setToday(QDate(2024, 5, 10)); }

    void init()
    {
        QVERIFY(kestatest::resetDataFolder());
        db = std::make_unique<Database>(DataLocations::databaseFile());
        petrov = addPatient(*db, "A1", "Petrov", "Ivan", Patient::Gender_Male, QDate(1980, 5, 1), "Tver");
        smirnova = addPatient(*db, "-1", "Smirnova", "Anna", Patient::Gender_Female, QDate(), "0");
        orlov
            = addPatient(*db, "A3", "Orlov", "Boris", Patient::Gender_Unspecified, QDate(2014, 5, 1), "Omsk");
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
            column("Age", true), column("City") };
        QTest::newRow("empty saved text") << plain << QStringList { "" } << QStringList { "FullName" };
        QTest::newRow("only unknown names, case counts")
            << plain << QStringList { "Nope", "age" } << QStringList { "FullName" };
        QTest::newRow("saved order kept")
            << plain << QStringList { "Age", "FullName" } << QStringList { "Age", "FullName" };
        QTest::newRow("fixed first though omitted") << oneFixed << QStringList { "Age", "FullName" }
                                                    << QStringList { "PatientID", "Age", "FullName" };
        QTest::newRow("fixed named late is not doubled")
            << oneFixed << QStringList { "Age", "PatientID" } << QStringList { "PatientID", "Age" };
        QTest::newRow("several fixed, the last leads")
            << twoFixed << QStringList { "City" } << QStringList { "Age", "FullName", "City" };
        QTest::newRow("unknown names with a fixed column")
            << oneFixed << QStringList { "x" } << QStringList { "PatientID" };
        QTest::newRow("a name saved twice shows once")
            << plain << QStringList { "Age", "Age" } << QStringList { "Age" };
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
        for (int c = 0; c < shown.size(); ++c)
            QCOMPARE(grid()->horizontalHeaderItem(c)->text(), shown.at(c));
    }

    void captionsAndCellTexts()
    {
        QList<TableColumn> columns { column("FullName", false, 0, "name"), column("PatientID"), column("Age"),
            column("City") };
        columns[2].title = QStringLiteral("Years");
        // Column names come from the entities' catalogue, the menu's own texts
        // from the tables'.
        QTranslator names;
        QTranslator tables;
        QVERIFY(names.load(":/translations/db_ru_RU.qm"));
        QVERIFY(tables.load(":/translations/tables_ru_RU.qm"));
        QCoreApplication::installTranslator(&names);
        QCoreApplication::installTranslator(&tables);
        rebuild(columns, { "FullName", "PatientID", "Age", "City" });
        QMenu menu;
        table->fillColumnMenu(&menu);
        std::unique_ptr<QMenu> rowMenu(table->createRowMenu(cellCenter(grid(), 0)));
        QCoreApplication::removeTranslator(&tables);
        QCoreApplication::removeTranslator(&names);
        QCOMPARE(grid()->horizontalHeaderItem(0)->text(), QString::fromUtf8("ФИО"));
        QCOMPARE(grid()->horizontalHeaderItem(2)->text(), QStringLiteral("Years"));
        QCOMPARE(menuTexts(&menu).mid(0, 2), QStringList({ "Имя:", "ФИО" }));
        QCOMPARE(menuTexts(&menu).at(3), QString::fromUtf8("Другие столбцы:"));
        QCOMPARE(menuTexts(rowMenu.get()), QStringList({ "Редактировать", "Показать в папке", "Удалить" }));

        // An unknown age reads "-"; "-1" or "0" in any other column stays.
        const int r = gridRowOf(grid(), smirnova);
        QCOMPARE(grid()->item(r, 0)->text(), QStringLiteral("Smirnova Anna"));
        QCOMPARE(grid()->item(r, 1)->text(), QStringLiteral("-1"));
        QCOMPARE(grid()->item(r, 2)->text(), QStringLiteral("-"));
        QCOMPARE(grid()->item(r, 3)->text(), QStringLiteral("0"));
        QCOMPARE(grid()->item(gridRowOf(grid(), petrov), 2)->text(), QStringLiteral("44"));

        // Every cell carries its row's id and cannot be edited.
        QTableWidgetItem *cell = grid()->item(gridRowOf(grid(), orlov), 3);
        QCOMPARE(cell->data(Qt::UserRole).toInt(), orlov);
        QVERIFY(!(cell->flags() & Qt::ItemIsEditable));
        QCOMPARE(cell->textAlignment(), int(Qt::AlignLeft | Qt::AlignVCenter));
    }

    void temperatureZeroShowsDash()
    {
        Patient *patient = db->patientById(petrov);
        const QDateTime when(QDate(2024, 3, 5), QTime(14, 25));
        const int cold = kestatest::addRecord(*db, patient, when, "a.edf", "EEG", "0");
        const int warm = kestatest::addRecord(*db, patient, when.addDays(1), "b.edf", "EEG", "-1");
        QVERIFY(cold > 0 && warm > 0);
        for (Record *record : patient->records()) {
            if (record->getId() == warm)
                record->setTemperature(36.64);
        }
        table->columns = { column("Temperature"), column("Comments") };
        table->saved = QStringList { "Temperature", "Comments" };
        QList<AbstractDatabaseRow *> rows;
        for (Record *record : patient->records())
            rows << record;
        table->setRows(rows);
        QCOMPARE(grid()->item(gridRowOf(grid(), cold), 0)->text(), QStringLiteral("-"));
        QCOMPARE(grid()->item(gridRowOf(grid(), cold), 1)->text(), QStringLiteral("0"));
        QCOMPARE(grid()->item(gridRowOf(grid(), warm), 0)->text(), QStringLiteral("36.6"));
        QCOMPARE(grid()->item(gridRowOf(grid(), warm), 1)->text(), QStringLiteral("-1"));
    }

    void sortingFromSavedText_data()
    {
        QTest::addColumn<QString>("sorting");
        QTest::addColumn<int>("section");
        QTest::addColumn<int>("order");
        QTest::newRow("empty") << "" << 0 << int(Qt::AscendingOrder);
        QTest::newRow("minus and a shown name") << "-Age" << 2 << int(Qt::DescendingOrder);
        QTest::newRow("plus and a shown name") << "+Age" << 2 << int(Qt::AscendingOrder);
        QTest::newRow("bare name") << "Age" << 0 << int(Qt::AscendingOrder);
        QTest::newRow("plus and a name not shown") << "+City" << 0 << int(Qt::AscendingOrder);
        QTest::newRow("sign alone") << "-" << 0 << int(Qt::AscendingOrder);
        QTest::newRow("minus and the first column") << "-FullName" << 0 << int(Qt::DescendingOrder);
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
        QStringList texts = columnTexts(grid(), section);
        QStringList expected = texts;
        std::sort(expected.begin(), expected.end(),
            [](const QString &a, const QString &b) { return QString::localeAwareCompare(a, b) < 0; });
        if (order == Qt::DescendingOrder)
            std::reverse(expected.begin(), expected.end());
        QCOMPARE(texts, expected);
        QCOMPARE(reports.count(), 0);
    }

    void sortingComparesTextAndHeaderClicksReportOnce()
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
        QCOMPARE(columnTexts(grid(), 0).first(), QStringLiteral("Kuznetsov Oleg"));
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, fullName);
        QCOMPARE(reports.count(), 1);
        QCOMPARE(reports.takeFirst().at(0).toString(), QStringLiteral("-FullName"));
        QCOMPARE(columnTexts(grid(), 0).first(), QStringLiteral("Volkova Vera"));

        // The table stores nothing: a rebuild sorts by what it is handed and
        // reports nothing.
        table->updateTable();
        QCOMPARE(grid()->horizontalHeader()->sortIndicatorSection(), 1);
        QCOMPARE(reports.count(), 0);
    }

    void headerSectionsAndGrid()
    {
        QList<TableColumn> columns { column("FullName", false, QHeaderView::Interactive),
            column("Age", false, QHeaderView::Fixed),
            column("PatientID", false, QHeaderView::ResizeToContents),
            column("City", false, QHeaderView::Stretch) };
        columns[1].alignment = Qt::AlignRight;
        rebuild(columns, { "FullName", "Age", "PatientID", "City" });
        QHeaderView *header = grid()->horizontalHeader();
        QCOMPARE(header->sectionResizeMode(0), QHeaderView::Interactive);
        QCOMPARE(header->sectionResizeMode(1), QHeaderView::Fixed);
        QCOMPARE(header->sectionSize(1), 9 * 3 + 40);
        QCOMPARE(header->sectionResizeMode(2), QHeaderView::ResizeToContents);
        QCOMPARE(header->sectionResizeMode(3), QHeaderView::Stretch);
        QCOMPARE(grid()->horizontalHeaderItem(1)->textAlignment(), int(Qt::AlignRight));
        QVERIFY(grid()->verticalHeader()->isHidden());
        QCOMPARE(grid()->iconSize(), QSize(20, 20));
        QCOMPARE(grid()->objectName(), QStringLiteral("sortableTable"));
        QCOMPARE(grid()->selectionMode(), QAbstractItemView::SingleSelection);
        QCOMPARE(grid()->selectionBehavior(), QAbstractItemView::SelectRows);

        // Without a stretching column the first one stretches.
        rebuild(columns.mid(1, 2), { "Age", "PatientID" });
        QCOMPARE(grid()->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
        QCOMPARE(grid()->horizontalHeader()->sectionResizeMode(1), QHeaderView::ResizeToContents);
    }

    void selectionFollowsClicksKeysAndRebuilds()
    {
        QSignalSpy selected(table.get(), &TableWidget::idSelected);
        rebuild({ column("FullName") }, { "FullName" }, "+FullName");
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.takeFirst().at(0).toInt(), -1);

        const int row = gridRowOf(grid(), orlov);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCenter(grid(), row));
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.takeFirst().at(0).toInt(), orlov);
        QCOMPARE(table->getSelectedRow(), db->patientById(orlov));
        QCOMPARE(table->selectedItemId(), orlov);

        // The keyboard moves the selection as a click does.
        QTest::keyClick(grid(), Qt::Key_Down);
        const int next = grid()->item(row + 1, 0)->data(Qt::UserRole).toInt();
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.takeFirst().at(0).toInt(), next);

        // A rebuild re-selects the same id, or reports that it is gone.
        table->setSelectedId(orlov, true);
        QCOMPARE(selected.takeFirst().at(0).toInt(), orlov);
        rebuild(table->columns, table->saved, "-FullName");
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.takeFirst().at(0).toInt(), orlov);
        QCOMPARE(grid()->selectedItems().size(), 1);
        QCOMPARE(table->selectedItemId(), orlov);

        table->setRows({ db->patientById(petrov), db->patientById(volkova) });
        QCOMPARE(selected.count(), 1);
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

    void doubleClickRule()
    {
        rebuild({ column("FullName") }, { "FullName" });
        QSignalSpy edits(table.get(), &TableWidget::editRow);
        QSignalSpy custom(table.get(), &TableWidget::customAction);
        const int row = gridRowOf(grid(), kuznetsov);
        // A double click follows the click that pressed the row.
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCenter(grid(), row));
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCenter(grid(), row));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.takeFirst().at(0).toInt(), kuznetsov);

        table->action = QStringLiteral("play");
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCenter(grid(), row));
        QCOMPARE(edits.count(), 0);
        QCOMPARE(custom.count(), 1);
        QCOMPARE(custom.first().at(0).toString(), QStringLiteral("play"));
        QCOMPARE(custom.first().at(1).toInt(), kuznetsov);
    }

    void rowMenu()
    {
        table->addCustomAction("zeta", "Zeta");
        table->addCustomAction("alpha", "Alpha");
        rebuild({ column("FullName") }, { "FullName" }, "+FullName");
        table->setSelectedId(petrov, true);
        QSignalSpy edits(table.get(), &TableWidget::editRow);
        QSignalSpy removals(table.get(), &TableWidget::removeRow);
        QSignalSpy custom(table.get(), &TableWidget::customAction);
        QSignalSpy selected(table.get(), &TableWidget::idSelected);

        const QPoint onOrlov = cellCenter(grid(), gridRowOf(grid(), orlov));
        std::unique_ptr<QMenu> menu(table->createRowMenu(onOrlov));
        QVERIFY(menu);
        QCOMPARE(
            menuTexts(menu.get()), QStringList({ "Alpha", "Zeta", "Edit", "Show in explorer", "Remove" }));
        for (QAction *action : menu->actions().mid(2))
            QVERIFY(!action->icon().isNull());
        for (QAction *action : menu->actions())
            action->trigger();
        QCOMPARE(custom.count(), 3);
        QCOMPARE(custom.at(0), QVariantList({ "alpha", orlov }));
        QCOMPARE(custom.at(1), QVariantList({ "zeta", orlov }));
        QCOMPARE(custom.at(2), QVariantList({ "show", orlov }));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.first().at(0).toInt(), orlov);
        QCOMPARE(removals.count(), 1);
        QCOMPARE(removals.first().at(0).toInt(), orlov);

        // Nothing below the last row.
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
        QCOMPARE(popup->actions().size(), 5);
        popup->close();
        QCOMPARE(selected.count(), 0);
        QCOMPARE(table->selectedItemId(), petrov);
        QCOMPARE(table->getSelectedId(), petrov);
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
            QVERIFY2(!actions.at(i)->isEnabled(), qPrintable(actions.at(i)->text()));
        QVERIFY(actions.at(1)->isChecked() && actions.at(6)->isChecked());
        QVERIFY(!actions.at(2)->isChecked() && !actions.at(5)->isChecked());
        QVERIFY(actions.at(1)->actionGroup() && actions.at(1)->actionGroup()->isExclusive());
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
        menu.clear();
        table->fillColumnMenu(&menu);
        menu.actions().at(5)->trigger();
        QCOMPARE(wishes.takeFirst().at(0).toStringList(), QStringList({ "Age", "FullName" }));

        // A right click on the header pops the menu up.
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
