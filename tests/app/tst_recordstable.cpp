#include "app/recordstable.h"
#include "db/database.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "db/patient.h"
#include "db/record.h"
#include "support/tablerows.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/style/stylehelper.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTableWidget>
#include <memory>

using namespace kestatest;

// The records table following the patient it is given.
class TestRecordsTable : public QObject
{
    Q_OBJECT

    std::unique_ptr<KestaModel> model;
    std::unique_ptr<RecordsTable> table;
    int petrov = 0, smirnova = 0;
    int stored = 0, missing = 0, other = 0;
    const QDateTime when { QDate(2024, 3, 5), QTime(14, 25) };

    Database *db() const { return model->database(); }
    Patient *patient(int id) const { return db()->patientById(id); }
    QTableWidget *grid() const { return table->grid(); }

private slots:
    void init()
    {
        QFile::remove("Settings.xml");
        QVERIFY(resetDataFolder());
        model = std::make_unique<KestaModel>();
        petrov = addPatient(*db(), "A1", "Petrov", "Ivan");
        smirnova = addPatient(*db(), "A2", "Smirnova", "Anna");
        stored = addRecord(*db(), patient(petrov), when, "EEG_1\\rec.edf", "EEG", "calm", true);
        missing = addRecord(*db(), patient(petrov), when.addDays(1), "EEG_2\\rec.edf", "EEG", "gone");
        other = addRecord(*db(), patient(smirnova), when, "EEG_3\\rec.edf", "PSG", "night");
        QVERIFY(stored > 0 && missing > 0 && other > 0);
        table = std::make_unique<RecordsTable>();
        table->resize(700, 300);
        table->show();
        QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    }

    void cleanup()
    {
        table.reset();
        model.reset();
    }

    void columnsCaptionsMenuAndSorting()
    {
        table->setPatient(patient(petrov));
        QCOMPARE(table->shownColumnNames(), QStringList({ "RecordDate", "Comments" }));
        QCOMPARE(grid()->item(gridRow(grid(), stored), 0)->text(), QStringLiteral("2024/03/05 14:25"));

        // RecordDate stays first even when the stored list leaves it out.
        model->settings()->setRecordsTableColumns("Temperature;Size");
        QTRY_COMPARE(table->shownColumnNames(), QStringList({ "RecordDate", "Temperature", "Size" }));
        QCOMPARE(grid()->horizontalHeaderItem(1)->text(), QStringLiteral("T,°C"));
        QCOMPARE(grid()->item(gridRow(grid(), missing), 1)->text(), QStringLiteral("-"));

        QMenu menu;
        table->fillColumnMenu(&menu);
        QCOMPARE(menuTexts(&menu),
            QStringList({ "RecordDate", "RecordType", "Size", "Temperature", "Comments", "FileName" }));
        QVERIFY(menu.actions().first()->isChecked() && !menu.actions().first()->isEnabled());
        menu.actions().at(4)->trigger();
        QCOMPARE(model->settings()->getRecordsTableColumns(),
            QStringLiteral("RecordDate;Temperature;Size;Comments"));
        QTRY_COMPARE(table->shownColumnNames().size(), 4);

        QHeaderView *header = grid()->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(3) + 5, 5));
        QCOMPARE(model->settings()->getRecordsTableSorting(), QStringLiteral("+Comments"));
        table->setPatient(patient(smirnova));
        QCOMPARE(grid()->horizontalHeader()->sortIndicatorSection(), 3);
    }

    void followsOnlyTheCurrentPatient()
    {
        QSignalSpy selected(table.get(), &TableWidget::idSelected);
        table->setPatient(patient(petrov));
        QCOMPARE(gridIds(grid()), QList<int>({ stored, missing }));
        table->setPatient(patient(smirnova));
        QCOMPARE(gridIds(grid()), QList<int>({ other }));

        // The former patient's change no longer reaches the table.
        selected.clear();
        QVERIFY(addRecord(*db(), patient(petrov), when.addDays(2), "EEG_4\\rec.edf") > 0);
        QCoreApplication::processEvents();
        QCOMPARE(selected.count(), 0);
        QCOMPARE(gridIds(grid()), QList<int>({ other }));

        // The current one's arrives from the event loop, keeping the selection.
        table->setSelectedId(other, true);
        const int added = addRecord(*db(), patient(smirnova), when.addDays(3), "EEG_5\\rec.edf");
        QCOMPARE(gridIds(grid()), QList<int>({ other }));
        selected.clear();
        QTRY_COMPARE(gridIds(grid()), QList<int>({ other, added }));
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.first().at(0).toInt(), other);
        QCOMPARE(table->recordById(added)->getFileName(), QStringLiteral("EEG_5\\rec.edf"));

        // No patient: an empty table, no selection, no more updates.
        selected.clear();
        table->setPatient(nullptr);
        QCOMPARE(grid()->rowCount(), 0);
        QCOMPARE(selected.takeFirst().at(0).toInt(), -1);
        QVERIFY(addRecord(*db(), patient(smirnova), when.addDays(4), "EEG_6\\rec.edf") > 0);
        QCoreApplication::processEvents();
        QCOMPARE(grid()->rowCount(), 0);
    }

    void aReloadedPatientListEmptiesTheTable()
    {
        table->setPatient(patient(petrov));
        db()->reloadPatients();
        QTRY_COMPARE(grid()->rowCount(), 0);
        QCOMPARE(table->recordById(stored), nullptr);
    }

    void fileIconsAndPlay()
    {
        table->setPatient(patient(petrov));
        const QIcon play = StyleHelper::ColoredIcon(":/icons/play.svg", "#FFF");
        const QIcon cross = StyleHelper::ColoredIcon(":/icons/circle_cross.svg", "#FFF");
        QVERIFY(!play.isNull() && !cross.isNull());
        QCOMPARE(grid()->item(gridRow(grid(), stored), 0)->icon().cacheKey(), play.cacheKey());
        QCOMPARE(grid()->item(gridRow(grid(), missing), 0)->icon().cacheKey(), cross.cacheKey());
        QVERIFY(grid()->item(gridRow(grid(), missing), 1)->icon().isNull());

        QSignalSpy custom(table.get(), &TableWidget::customAction);
        QSignalSpy edits(table.get(), &TableWidget::editRow);
        const QPoint pos = cellCenter(grid(), missing);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, pos);
        QCOMPARE(custom.takeFirst(), QVariantList({ "play", missing }));
        QCOMPARE(edits.count(), 0);

        std::unique_ptr<QMenu> menu(table->createRowMenu(pos));
        QCOMPARE(menuTexts(menu.get()), QStringList({ "Open file", "Edit", "Show in explorer", "Remove" }));
        QVERIFY(!menu->actions().first()->icon().isNull());
        menu->actions().first()->trigger();
        QCOMPARE(custom.takeFirst(), QVariantList({ "play", missing }));
    }
};

KESTA_TEST_MAIN(TestRecordsTable)
#include "tst_recordstable.moc"
