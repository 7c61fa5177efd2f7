#include "app/patientslistwidget.h"
#include "app/recordstable.h"
#include "db/database.h"
#include "toolkit/util/clock.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "db/patient.h"
#include "db/record.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/style/mediahelper.h"
#include "toolkit/style/stylehelper.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableWidget>
#include <QTranslator>
#include <memory>

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

namespace
{

// Columns from names separated by blanks; "*" marks a fixed one.
QList<TableColumn> plain(const QString &names)
{
    QList<TableColumn> columns;
    for (const QString &name : names.split(' '))
        columns << TableColumn(name.mid(name.startsWith('*')), 0, Qt::AlignLeft, {}, name.startsWith('*'));
    return columns;
}

int addRecord(
    Database *db, Patient *patient, const QDateTime &date, const QString &fileName, bool withFile = false)
{
    QFile file(DataLocations::recordingPath(patient->folderName(), fileName));
    if (withFile && !(QDir().mkpath(QFileInfo(file).absolutePath()) && file.open(QIODevice::WriteOnly)))
        return -1;
    return db->insertRecord(patient, date, fileName, "EEG", QString());
}

// The cell in the row of the id (cells carry their row's id).
QTableWidgetItem *cell(QTableWidget *grid, int id, int column = 0)
{
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (grid->item(r, 0)->data(Qt::UserRole).toInt() == id)
            return grid->item(r, column);
    }
    return nullptr;
}

QStringList columnTexts(QTableWidget *grid, int column)
{
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r)
        texts << grid->item(r, column)->text();
    return texts;
}

QList<int> rowIds(QTableWidget *grid)
{
    QList<int> ids;
    for (int r = 0; r < grid->rowCount(); ++r)
        ids << grid->item(r, 0)->data(Qt::UserRole).toInt();
    return ids;
}

QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    return texts;
}

bool showTable(QWidget *table)
{
    table->resize(700, 400);
    table->show();
    return QTest::qWaitForWindowExposed(table);
}

} // namespace

// The row table and its two subclasses over real patients and records, settings and files.
class TestTableWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<KestaModel> model;
    std::unique_ptr<ProbeTable> table;
    int petrov = 0, smirnova = 0, orlov = 0, volkova = 0, stored = 0, missing = 0, other = 0;
    const QDateTime when { QDate(2024, 3, 5), QTime(14, 25) };

    Database *db() const { return model->database(); }
    KestaSettings *settings() const { return model->settings(); }
    Patient *patient(int id) const { return db()->patientById(id); }
    QTableWidget *grid() const { return table->grid(); }
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
        Clock::setTestTime(QDateTime(QDate(2024, 5, 10), QTime(12, 0)));
        QFile::remove("Settings.xml");
        QVERIFY(kestatest::resetDataFolder());
        model = std::make_unique<KestaModel>();
        petrov = kestatest::addPatient(*db(), "A1", "Petrov", {}, Patient::Gender_Male, QDate(1980, 5, 1), "Tver");
        smirnova = kestatest::addPatient(*db(), "-1", "Smirnova", {}, Patient::Gender_Female, QDate(), "0");
        orlov = kestatest::addPatient(*db(), "A3", "Orlov", {}, Patient::Gender_Unspecified, QDate(2014, 5, 1));
        kestatest::addPatient(*db(), "A4", "Kuznetsov", {}, Patient::Gender_Male, QDate(2015, 1, 1));
        volkova = kestatest::addPatient(*db(), "A5", "Volkova", {}, Patient::Gender_Female, QDate(1924, 1, 1));
        stored = addRecord(db(), patient(petrov), when, "EEG_1\\rec.edf", true);
        missing = addRecord(db(), patient(petrov), when.addDays(1), "EEG_2\\rec.edf");
        other = addRecord(db(), patient(smirnova), when, "EEG_3\\rec.edf");
        QVERIFY(volkova > 0 && stored > 0 && missing > 0 && other > 0);
        table = std::make_unique<ProbeTable>();
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
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("sortedBy");
        const auto row = [](const char *name, const char *all, const char *saved, const char *sorting,
                             const char *shown, const char *sortedBy) {
            QTest::newRow(name) << QString(all) << QString(saved) << QString(sorting) << QString(shown)
                                << QString(sortedBy);
        };
        const char *plainFour = "FullName PatientID Age City";
        row("empty list", plainFour, "", "", "FullName", "+FullName");
        row("unknown names, case counts", plainFour, "x;age", "", "FullName", "+FullName");
        row("order kept, named twice", plainFour, "Age;FullName;Age", "-FullName", "Age;FullName",
            "-FullName");
        row("fixed omitted", "FullName *PatientID Age", "Age", "", "PatientID;Age", "+PatientID");
        row("unknown with fixed", "FullName *PatientID Age", "x", "+Age", "PatientID", "+PatientID");
        row("two fixed, the last leads", "*FullName PatientID *Age", "FullName;PatientID", "+PatientID",
            "Age;FullName;PatientID", "+PatientID");
        row("bare name", plainFour, "FullName;Age", "Age", "FullName;Age", "+FullName");
        row("plus, not shown", plainFour, "FullName;Age", "+City", "FullName;Age", "+FullName");
    }

    void columnsAndSortingFromStoredTexts()
    {
        QFETCH(QString, all);
        QFETCH(QString, saved);
        QFETCH(QString, sorting);
        QFETCH(QString, shown);
        QFETCH(QString, sortedBy);
        QSignalSpy reports(table.get(), &TableWidget::sortingUpdated);
        rebuild(plain(all), saved, sorting);
        QCOMPARE(table->shownColumnNames().join(';'), shown);
        const int section = table->shownColumnNames().indexOf(sortedBy.mid(1));
        QCOMPARE(grid()->horizontalHeader()->sortIndicatorSection(), section);
        // Cells hold text, so ages sort as text: "100" before "44" before "9".
        QStringList expected = columnTexts(grid(), section);
        std::sort(expected.begin(), expected.end());
        if (sortedBy.startsWith('-'))
            std::reverse(expected.begin(), expected.end());
        QCOMPARE(columnTexts(grid(), section), expected);
        QCOMPARE(reports.count(), 0);
    }

    void cellsCaptionsAndSections()
    {
        const QList<TableColumn> columns { TableColumn("FullName", QHeaderView::Interactive, Qt::AlignLeft),
            TableColumn("PatientID", QHeaderView::ResizeToContents, Qt::AlignLeft),
            TableColumn("Age", QHeaderView::Fixed, Qt::AlignRight, {}, false, "Years"),
            TableColumn("City", QHeaderView::Stretch, Qt::AlignLeft) };
        QTranslator russian;
        QVERIFY(russian.load(":/translations/db_ru_RU.qm"));
        QCoreApplication::installTranslator(&russian);
        rebuild(columns, "FullName;PatientID;Age;City");
        QCoreApplication::removeTranslator(&russian);
        QCOMPARE(grid()->horizontalHeaderItem(0)->text(), QStringLiteral("ФИО"));

        // Only an unknown age reads "-"; "-1" or "0" in other columns stays.
        QCOMPARE(cell(grid(), smirnova, 1)->text(), QStringLiteral("-1"));
        QCOMPARE(cell(grid(), smirnova, 2)->text(), QStringLiteral("-"));
        QCOMPARE(cell(grid(), smirnova, 3)->text(), QStringLiteral("0"));
        QCOMPARE(cell(grid(), petrov, 2)->text(), QStringLiteral("44"));
        QVERIFY(!(cell(grid(), petrov, 2)->flags() & Qt::ItemIsEditable));
        QCOMPARE(cell(grid(), petrov, 2)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));

        // A fixed section is sized by its caption; the first stretches only when no other does.
        QHeaderView *header = grid()->horizontalHeader();
        QCOMPARE(header->sectionResizeMode(0), QHeaderView::Interactive);
        QCOMPARE(header->sectionSize(2), 9 * 5 + 40);
        QCOMPARE(header->sectionResizeMode(3), QHeaderView::Stretch);
        rebuild(columns.mid(1, 2), "PatientID;Age");
        QCOMPARE(grid()->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);
    }

    void patientsTable()
    {
        PatientsListWidget patients;
        QVERIFY(showTable(&patients));
        patients.setPatients(db()->patients());
        QCOMPARE(patients.shownColumnNames(), QStringList { "FullName" });
        QMenu menu;
        patients.fillColumnMenu(&menu);
        QCOMPARE(menuTexts(&menu),
            QStringList({ "By name:", "FullName", "LastName", "Initials", "", "Other columns:", "PatientID",
                "Age", "LastVisit", "FirstVisit" }));

        // LastName under "By name" replaces FullName, keeps the others, and rebuilds once, queued.
        settings()->setPatientsTableColumns("FullName;Age;PatientID");
        QTRY_COMPARE(patients.shownColumnNames(), QStringList({ "FullName", "Age", "PatientID" }));
        QSignalSpy rebuilds(&patients, &TableWidget::idSelected);
        menu.findChild<QAction *>("columnAction_LastName")->trigger();
        QCOMPARE(settings()->getPatientsTableColumns(), QStringLiteral("LastName;Age;PatientID"));
        QCOMPARE(patients.shownColumnNames(), QStringList({ "FullName", "Age", "PatientID" }));
        QTRY_COMPARE(patients.shownColumnNames(), QStringList({ "LastName", "Age", "PatientID" }));

        // A header click reports once and is stored without a rebuild; the next rebuild sorts by it.
        QSignalSpy sorts(&patients, &TableWidget::sortingUpdated);
        QHeaderView *header = patients.grid()->horizontalHeader();
        const QPoint id(header->sectionViewportPosition(2) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, id);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, id);
        QCOMPARE(QList<QVariantList>(sorts), QList<QVariantList>({ { "+PatientID" }, { "-PatientID" } }));
        QCOMPARE(settings()->getPatientsTableSorting(), QStringLiteral("-PatientID"));
        QCoreApplication::processEvents();
        QCOMPARE(rebuilds.count(), 1);
        patients.updateTable();
        QCOMPARE(columnTexts(patients.grid(), 2), QStringList({ "A5", "A4", "A3", "A1", "-1" }));

        // Coloured sex icons; a double click edits.
        const auto sexIcon = [](const char *image, const char *colour) {
            const QString path = QString(":/resources/images/gender-%1.svg").arg(image);
            return MediaHelper::iconColored(path, colour, "#000").pixmap(24).toImage();
        };
        QCOMPARE(cell(patients.grid(), petrov)->icon().pixmap(24).toImage(), sexIcon("male", "#159"));
        QCOMPARE(cell(patients.grid(), smirnova)->icon().pixmap(24).toImage(), sexIcon("female", "#915"));
        QCOMPARE(cell(patients.grid(), orlov)->icon().pixmap(24).toImage(), sexIcon("unspecified", "#999"));

        QSignalSpy edits(&patients, &TableWidget::editRow);
        const QPoint pos = patients.grid()->visualItemRect(cell(patients.grid(), smirnova)).center();
        QTest::mouseClick(patients.grid()->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(patients.grid()->viewport(), Qt::LeftButton, {}, pos);
        QCOMPARE(QList<QVariantList>(edits), QList<QVariantList>({ { smirnova } }));
    }

    void selectionFollowsClicksKeysAndRebuilds()
    {
        QSignalSpy selected(table.get(), &TableWidget::idSelected);
        rebuild(plain("FullName"), "FullName", "+FullName");
        QTest::mouseClick(
            grid()->viewport(), Qt::LeftButton, {}, grid()->visualItemRect(cell(grid(), orlov)).center());
        QTest::keyClick(grid(), Qt::Key_Down);
        QCOMPARE(QList<QVariantList>(selected), QList<QVariantList>({ { -1 }, { orlov }, { petrov } }));

        // A rebuild re-selects the same id, keeping the keyboard in the grid, or reports it gone.
        selected.clear();
        grid()->setFocus();
        table->setSelectedId(orlov, true);
        rebuild(table->columns, table->saved, "-FullName");
        QCOMPARE(table->selectedItemId(), orlov);
        QTRY_VERIFY(grid()->hasFocus());
        table->setRows({ patient(petrov), patient(volkova) });
        QCOMPARE(table->selectedItemId(), -1);
        QCOMPARE(QList<QVariantList>(selected), QList<QVariantList>({ { orlov }, { orlov }, { -1 } }));
    }

    void rowMenuOfTheClickedRow()
    {
        table->addCustomAction("zeta");
        table->addCustomAction("alpha");
        rebuild(plain("FullName"), "FullName");
        table->setSelectedId(petrov, true);
        QSignalSpy edits(table.get(), &TableWidget::editRow);
        QSignalSpy removals(table.get(), &TableWidget::removeRow);
        QSignalSpy custom(table.get(), &TableWidget::customAction);
        QVERIFY(!table->createRowMenu(QPoint(5, grid()->viewport()->height() - 2)));

        // A right click on Orlov's row: its menu, with the selection left on Petrov.
        const QPoint at = grid()->visualItemRect(cell(grid(), orlov)).center();
        QTest::mousePress(grid()->viewport(), Qt::RightButton, {}, at);
        QContextMenuEvent request(QContextMenuEvent::Mouse, at, grid()->viewport()->mapToGlobal(at));
        QCoreApplication::sendEvent(grid()->viewport(), &request);
        QTest::mouseRelease(grid()->viewport(), Qt::RightButton, {}, at);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QCOMPARE(menuTexts(menu), QStringList({ "alpha", "zeta", "Edit", "Show in explorer", "Remove" }));
        for (QAction *action : menu->actions().mid(2))
            QVERIFY(!action->icon().isNull());
        for (QAction *action : menu->actions())
            action->trigger();
        menu->close();
        QCOMPARE(QList<QVariantList>(custom),
            QList<QVariantList>({ { "alpha", orlov }, { "zeta", orlov }, { "show", orlov } }));
        QCOMPARE(edits.takeFirst().at(0).toInt(), orlov);
        QCOMPARE(removals.takeFirst().at(0).toInt(), orlov);
        QCOMPARE(table->selectedItemId(), petrov);
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
        const QList<QAction *> actions = menu->actions();
        QCOMPARE(menuTexts(menu),
            QStringList(
                { "By name:", "FullName", "LastName", "", "Other columns:", "PatientID", "Sex", "Age" }));
        for (int i : { 0, 3, 4, 7 })
            QVERIFY(!actions.at(i)->isEnabled());
        QVERIFY(actions.at(1)->isChecked() && actions.at(5)->isChecked() && actions.at(7)->isChecked());
        QVERIFY(!actions.at(2)->isChecked() && !actions.at(6)->isChecked());
        QVERIFY(actions.at(1)->actionGroup()->isExclusive());
        QCOMPARE(actions.at(2)->actionGroup(), actions.at(1)->actionGroup());

        QSignalSpy wishes(table.get(), &TableWidget::headerColumnsUpdated);
        for (int i : { 2, 5, 6, 7 })
            actions.at(i)->trigger();
        menu->close();
        QCOMPARE(wishes.count(), 3);
        QCOMPARE(wishes.at(0).at(0).toStringList(), QStringList({ "LastName", "Age", "PatientID" }));
        QCOMPARE(wishes.at(1).at(0).toStringList(), QStringList({ "Age", "FullName" }));
        QCOMPARE(wishes.at(2).at(0).toStringList(), QStringList({ "Age", "FullName", "PatientID", "Sex" }));
    }

    void recordsTableFilesColumnsAndSorting()
    {
        RecordsTable records;
        QVERIFY(showTable(&records));
        records.setPatient(patient(petrov));
        const QIcon play = StyleHelper::ColoredIcon(":/icons/play.svg", "#FFF");
        QCOMPARE(cell(records.grid(), stored)->icon().cacheKey(), play.cacheKey());
        const QIcon cross = StyleHelper::ColoredIcon(":/icons/circle_cross.svg", "#FFF");
        QCOMPARE(cell(records.grid(), missing)->icon().cacheKey(), cross.cacheKey());

        // Double click and the first row-menu entry both play the clicked record.
        QSignalSpy custom(&records, &TableWidget::customAction);
        const QPoint pos = records.grid()->visualItemRect(cell(records.grid(), missing)).center();
        QTest::mouseClick(records.grid()->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(records.grid()->viewport(), Qt::LeftButton, {}, pos);
        std::unique_ptr<QMenu> row(records.createRowMenu(pos));
        QCOMPARE(menuTexts(row.get()), QStringList({ "Open file", "Edit", "Show in explorer", "Remove" }));
        QVERIFY(!row->actions().first()->icon().isNull());
        row->actions().first()->trigger();
        QCOMPARE(
            QList<QVariantList>(custom), QList<QVariantList>({ { "play", missing }, { "play", missing } }));

        // RecordDate, shown by default, stays first even when the stored list leaves it out.
        QCOMPARE(records.shownColumnNames(), QStringList({ "RecordDate", "Comments" }));
        settings()->setRecordsTableColumns("Temperature;Size");
        QTRY_COMPARE(records.shownColumnNames(), QStringList({ "RecordDate", "Temperature", "Size" }));
        QCOMPARE(records.grid()->horizontalHeaderItem(1)->text(), QStringLiteral("T,°C"));
        QCOMPARE(cell(records.grid(), missing, 1)->text(), QStringLiteral("-"));
        QMenu menu;
        records.fillColumnMenu(&menu);
        QCOMPARE(menuTexts(&menu),
            QStringList({ "RecordDate", "RecordType", "Size", "Temperature", "Comments", "FileName" }));
        QVERIFY(menu.actions().first()->isChecked() && !menu.actions().first()->isEnabled());
        menu.actions().at(4)->trigger();
        QCOMPARE(
            settings()->getRecordsTableColumns(), QStringLiteral("RecordDate;Temperature;Size;Comments"));
        QTRY_COMPARE(records.shownColumnNames().size(), 4);

        QHeaderView *header = records.grid()->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(3) + 5, 5));
        QCOMPARE(settings()->getRecordsTableSorting(), QStringLiteral("+Comments"));
        records.setPatient(patient(smirnova));
        QCOMPARE(records.grid()->horizontalHeader()->sortIndicatorSection(), 3);
    }

    void recordsTableFollowsOnlyTheCurrentPatient()
    {
        RecordsTable records;
        QSignalSpy selected(&records, &TableWidget::idSelected);
        records.setPatient(patient(petrov));
        QCOMPARE(rowIds(records.grid()), QList<int>({ stored, missing }));
        records.setPatient(patient(smirnova));
        QCOMPARE(rowIds(records.grid()), QList<int>({ other }));

        // Only the current patient's changes arrive, from the event loop, keeping the selection.
        records.setSelectedId(other, true);
        selected.clear();
        QVERIFY(addRecord(db(), patient(petrov), when.addDays(2), "EEG_4\\rec.edf") > 0);
        const int added = addRecord(db(), patient(smirnova), when.addDays(3), "EEG_5\\rec.edf");
        QCOMPARE(rowIds(records.grid()), QList<int>({ other }));
        QTRY_COMPARE(rowIds(records.grid()), QList<int>({ other, added }));
        QCoreApplication::processEvents();
        QCOMPARE(QList<QVariantList>(selected), QList<QVariantList>({ { other } }));

        // No patient: an empty table and no selection.
        records.setPatient(nullptr);
        QCOMPARE(records.grid()->rowCount(), 0);
        QCOMPARE(selected.last().at(0).toInt(), -1);

        // Patients replaced by a reload take their records along.
        records.setPatient(patient(petrov));
        db()->reloadPatients();
        QTRY_COMPARE(records.grid()->rowCount(), 0);
        QCOMPARE(records.recordById(stored), nullptr);
    }
};

KESTA_TEST_MAIN(TestTableWidget)
#include "tst_tablewidget.moc"
