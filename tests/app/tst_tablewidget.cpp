#include "app/tables/tablewidget.h"
#include "tabletesting.h"

#include <QTranslator>
#include <algorithm>

using namespace tabletest;

// A table whose stored choices the test sets, in the stored format.
class ProbeTable : public TableWidget
{
public:
    QList<TableColumn> columns;
    QString saved, sorting;

    QList<TableColumn> availableColumns() override { return columns; }
    QStringList savedColumns() override { return saved.split(';'); }
    QString savedSorting() override { return sorting; }
    void addCustomAction(const QString &key) { customActions.insert(key, new QAction(key, this)); }
};

// Columns from names separated by blanks; "*" marks a fixed one.
static QList<TableColumn> plain(const QString &names)
{
    QList<TableColumn> columns;
    for (const QString &name : names.split(' '))
        columns << TableColumn(name.mid(name.startsWith('*')), 0, Qt::AlignLeft, {}, name.startsWith('*'));
    return columns;
}

// The generic row table over real patients: columns, sorting, sizing, selection, menus, edits.
class TestTableWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<KestaModel> model;
    std::unique_ptr<ProbeTable> table;
    Patients p;

    Database *db() const { return model->database(); }
    Patient *patient(int id) const { return db()->patientById(id); }
    QTableView *grid() const { return table->grid(); }
    void rebuild(const QList<TableColumn> &columns, const QString &saved, const QString &sorting = {})
    {
        table->columns = columns;
        table->saved = saved;
        table->sorting = sorting;
        const QList<Patient *> patients = db()->patients();
        table->setRows({ patients.cbegin(), patients.cend() });
    }

private slots:
    void init()
    {
        QVERIFY(kestatest::resetDataFolder());
        model = std::make_unique<KestaModel>();
        QVERIFY(p.add(*db()));
        table = std::make_unique<ProbeTable>();
        table->setObjectName("probeTable");
        QVERIFY(showTable(table.get()));
    }

    void cleanup()
    {
        table.reset();
        model.reset();
    }

    void columnsAndSortingFromStoredTexts_data()
    {
        QTest::addColumn<QString>("all");
        QTest::addColumn<QString>("saved");
        QTest::addColumn<QString>("sorting");
        // The columns shown, the sorted one with its direction.
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const char *all, const char *saved, const char *sorting,
                             const char *shown) {
            QTest::newRow(name) << QString(all) << QString(saved) << QString(sorting) << QString(shown);
        };
        const char *four = "FullName PatientID Age City";
        row("unknown names, case counts", four, "x;age", "", "+FullName");
        row("order kept, named twice", four, "Age;FullName;Age", "-FullName", "Age;-FullName");
        row("fixed omitted", "FullName *PatientID Age", "Age", "", "+PatientID;Age");
        row("unknown with fixed", "FullName *PatientID Age", "x", "+Age", "+PatientID");
        row("two fixed, the last leads", "*FullName PatientID *Age", "FullName;PatientID", "+PatientID",
            "Age;FullName;+PatientID");
        row("plus, not shown", four, "FullName;Age", "+City", "+FullName;Age");
        row("descending age", four, "FullName;Age", "-Age", "FullName;-Age");
    }

    void columnsAndSortingFromStoredTexts()
    {
        QFETCH(QString, all);
        QFETCH(QString, saved);
        QFETCH(QString, sorting);
        QFETCH(QString, shown);
        QSignalSpy reports(table.get(), &TableWidget::sortingUpdated);
        // Sorted by something else first: the saved sorting replaces it.
        const QString first = all.section(' ', 0, 0).remove('*');
        rebuild(plain(all), first, "-" + first);
        rebuild(plain(all), saved, sorting);
        const int section = grid()->horizontalHeader()->sortIndicatorSection();
        const bool descending = grid()->horizontalHeader()->sortIndicatorOrder() == Qt::DescendingOrder;
        QStringList names = table->shownColumnNames();
        if (section >= 0 && section < names.size())
            names[section].prepend(descending ? '-' : '+');
        QCOMPARE(names.join(';'), shown);
        // A column the table knows no value of (the generic table computes no age) sorts by text.
        QStringList expected = columnTexts(grid(), section);
        std::sort(expected.begin(), expected.end(), [&](const QString &a, const QString &b) {
            return (descending ? b.localeAwareCompare(a) : a.localeAwareCompare(b)) < 0;
        });
        QCOMPARE(columnTexts(grid(), section), expected);
        QCOMPARE(reports.count(), 0);
    }

    void numbersAndDatesSortByValue()
    {
        const QList<int> ids { p.petrov, p.smirnova, p.orlov, p.kuznetsov, p.volkova };
        const QList<double> heights { 180, 9.5, 95, 0, 170 };
        for (int i = 0; i < ids.size(); ++i)
            patient(ids.at(i))->setHeight(heights.at(i));
        rebuild(plain("FullName Height DOB"), "FullName;Height;DOB", "+Height");
        // As texts: "0", "170", "180", "9.5", "95".
        QCOMPARE(columnTexts(grid(), 1), QStringList({ "0", "9.5", "95", "170", "180" }));
        // The newest birth date first; none at all last.
        grid()->sortByColumn(2, Qt::DescendingOrder);
        QCOMPARE(rowIds(grid()), QList<int>({ p.kuznetsov, p.orlov, p.petrov, p.volkova, p.smirnova }));
        // An edit takes its row to its new place.
        patient(p.volkova)->setDOB(QDate(2020, 1, 1));
        QTRY_COMPARE(rowIds(grid()).first(), p.volkova);
    }

    void cellsCaptionsAndSections()
    {
        const QList<TableColumn> columns { TableColumn("FullName", QHeaderView::Interactive, Qt::AlignLeft),
            TableColumn("Comments", QHeaderView::ResizeToContents, Qt::AlignLeft),
            TableColumn("Age", QHeaderView::Fixed, Qt::AlignRight, {}, false, "Years"),
            TableColumn("City", QHeaderView::Stretch, Qt::AlignLeft) };
        patient(p.orlov)->setComments("Referred by the district clinic for a sleep study");
        QTranslator russian;
        QVERIFY(russian.load(":/translations/db_ru_RU.qm"));
        QCoreApplication::installTranslator(&russian);
        rebuild(columns, "FullName;Comments;Age;City");
        QCoreApplication::removeTranslator(&russian);
        QCOMPARE(grid()->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("ФИО"));
        QCOMPARE(grid()->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Years"));

        // The generic table shows the rows' texts as they are, read-only and aligned by column.
        QCOMPARE(text(grid(), p.smirnova), QStringLiteral("Smirnova Anna||-1|"));
        QCOMPARE(cell(grid(), p.petrov, 2).flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        QCOMPARE(cell(grid(), p.petrov, 2).data(Qt::TextAlignmentRole).toInt(),
            int(Qt::AlignRight | Qt::AlignVCenter));

        // A fixed section is sized by its caption, a fitted one as the view would fit it; the first
        // stretches only when no other does.
        QHeaderView *header = grid()->horizontalHeader();
        QCOMPARE(header->sectionResizeMode(0), QHeaderView::Interactive);
        QCOMPARE(header->sectionSize(2), 9 * 5 + 40);
        QCOMPARE(header->sectionResizeMode(3), QHeaderView::Stretch);
        const int fitted = header->sectionSize(1);
        grid()->resizeColumnToContents(1);
        QVERIFY(fitted > header->sectionSizeHint(1) && fitted == header->sectionSize(1));
        rebuild(columns.mid(1, 2), "Comments;Age");
        QCOMPARE(header->sectionResizeMode(0), QHeaderView::Stretch);
    }

    void gridLinesAsQtDrawsThem()
    {
        rebuild(plain("FullName PatientID Age"), "FullName;PatientID;Age", "+FullName");
        table->selectRow(nullptr);
        grid()->setCurrentIndex(QModelIndex());
        QTableView qt;
        qt.setModel(grid()->model());
        qt.verticalHeader()->hide();
        qt.setIconSize(grid()->iconSize());
        qt.resize(grid()->size());
        for (int c = 0; c < 3; ++c)
            qt.setColumnWidth(c, grid()->columnWidth(c));
        QVERIFY(showTable(&qt) && qt.viewport()->size() == grid()->viewport()->size());
        QCOMPARE(grid()->viewport()->grab().toImage(), qt.viewport()->grab().toImage());
    }

    void selectionFollowsClicksKeysAndRebuilds()
    {
        QSignalSpy selected(table.get(), &TableWidget::idSelected);
        rebuild(plain("FullName"), "FullName", "+FullName");
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, centre(grid(), p.orlov));
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(QList<QVariantList>(selected), QList<QVariantList>({ { -1 }, { p.orlov }, { p.petrov } }));

        // A rebuild re-selects the same id, from which the keyboard goes on, or reports it gone.
        selected.clear();
        grid()->setFocus();
        table->setSelectedId(p.orlov, true);
        rebuild(table->columns, table->saved, "-FullName");
        QCOMPARE(table->selectedItemId(), p.orlov);
        QTest::keyClick(grid(), Qt::Key_Down);
        table->setRows({ patient(p.petrov), patient(p.volkova) });
        QCOMPARE(table->selectedItemId(), -1);
        QCOMPARE(QList<QVariantList>(selected),
            QList<QVariantList>({ { p.orlov }, { p.orlov }, { p.kuznetsov }, { -1 } }));
    }

    void rowMenuOfTheClickedRow()
    {
        table->addCustomAction("zeta");
        table->addCustomAction("alpha");
        rebuild(plain("FullName"), "FullName");
        table->setSelectedId(p.petrov, true);
        QSignalSpy edits(table.get(), &TableWidget::editRow);
        QSignalSpy removals(table.get(), &TableWidget::removeRow);
        QSignalSpy custom(table.get(), &TableWidget::customAction);
        QVERIFY(!table->createRowMenu(QPoint(5, grid()->viewport()->height() - 2)));

        // A right click on Orlov's row: its menu, with the selection left on Petrov.
        const QPoint at = centre(grid(), p.orlov);
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, grid()->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid()->viewport(), &request);
        QTest::mouseRelease(grid()->viewport(), Qt::RightButton, {}, at);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(
            menuEntries(menu), QStringList({ "alpha", "zeta", "*Edit", "*Show in file manager", "*Remove" }));
        for (QAction *action : menu->actions())
            action->trigger();
        menu->close();
        QCOMPARE(QList<QVariantList>(custom),
            QList<QVariantList>({ { "alpha", p.orlov }, { "zeta", p.orlov }, { "show", p.orlov } }));
        QCOMPARE(edits.takeFirst().at(0).toInt(), p.orlov);
        QCOMPARE(removals.takeFirst().at(0).toInt(), p.orlov);
        QCOMPARE(table->selectedItemId(), p.petrov);
    }

    void columnMenu()
    {
        QList<TableColumn> columns = plain("FullName LastName PatientID Sex *Age City");
        columns[0].group = columns[1].group = QStringLiteral("name");
        columns[5].group = QStringLiteral("hidden");
        rebuild(columns, "FullName;PatientID");
        emit grid()->horizontalHeader()->customContextMenuRequested(QPoint(5, 5));
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menuEntries(menu),
            QStringList({ "(By name:)", "[x]FullName", "[ ]LastName", "()", "(Other columns:)",
                "[x]PatientID", "[ ]Sex", "([x]Age)" }));
        const QList<QAction *> actions = menu->actions();
        QVERIFY(actions.at(1)->actionGroup()->isExclusive()
            && actions.at(2)->actionGroup() == actions.at(1)->actionGroup());

        QSignalSpy wishes(table.get(), &TableWidget::headerColumnsUpdated);
        for (int i : { 2, 5, 6, 7 })
            actions.at(i)->trigger();
        menu->close();
        QCOMPARE(QList<QVariantList>(wishes),
            QList<QVariantList>(
                { { QStringList({ "LastName", "Age", "PatientID" }) }, { QStringList({ "Age", "FullName" }) },
                    { QStringList({ "Age", "FullName", "PatientID", "Sex" }) } }));
    }

    void removalsAndEditsKeepTheSortedOrder()
    {
        rebuild(plain("FullName"), "FullName", "+FullName");
        QStringList names = columnTexts(grid(), 0);
        // The rows left after a removal keep their order, either way round.
        names.removeOne(text(grid(), p.orlov, 0));
        table->dropRow(patient(p.orlov));
        QCOMPARE(columnTexts(grid(), 0), names);
        grid()->sortByColumn(0, Qt::DescendingOrder);
        std::reverse(names.begin(), names.end());
        QCOMPARE(columnTexts(grid(), 0), names);
        // An edit then finds the row's place among the others' texts.
        patient(p.petrov)->setLastName("Aaronov");
        QTRY_COMPARE(rowIds(grid()).last(), p.petrov);
        patient(p.petrov)->setLastName("Zotov");
        QTRY_COMPARE(rowIds(grid()).first(), p.petrov);
    }

    void editedRowsAndRowsGone()
    {
        QList<TableColumn> columns = plain("FullName PatientID");
        columns[1].resizeMode = QHeaderView::ResizeToContents;
        rebuild(columns, "FullName;PatientID", "+FullName");
        table->setSelectedId(p.orlov, true);
        QSignalSpy selected(table.get(), &TableWidget::idSelected);
        const int idWidth = grid()->horizontalHeader()->sectionSize(1);

        // An edit shows in its row, which moves to its sorted place still selected; a longer
        // text widens its fitted column.
        patient(p.orlov)->setLastName("Aaronov");
        patient(p.orlov)->setPatientID("A3-WITH-LONG-ID");
        QTRY_COMPARE(text(grid(), p.orlov), QStringLiteral("Aaronov|A3-WITH-LONG-ID"));
        QCOMPARE(rowIds(grid()).first(), p.orlov);
        QCOMPARE(table->selectedItemId(), p.orlov);
        QVERIFY(grid()->horizontalHeader()->sectionSize(1) > idWidth);
        QCOMPARE(selected.count(), 0);

        // Rows destroyed by their owner are let go of; their texts stay until the next reset.
        db()->reloadPatients();
        QTRY_VERIFY(!table->rowById(p.orlov));
        QVERIFY(table->getRows().isEmpty());
        QCOMPARE(grid()->model()->rowCount(), 5);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, centre(grid(), p.volkova));
        QCOMPARE(selected.last().at(0).toInt(), -1);
        table->updateTable();
        QCOMPARE(grid()->model()->rowCount(), 0);
    }
};

KESTA_TEST_MAIN(TestTableWidget)
#include "tst_tablewidget.moc"
