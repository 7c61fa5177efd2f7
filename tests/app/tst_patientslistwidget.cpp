#include "app/patientslistwidget.h"
#include "db/database.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "db/patient.h"
#include "support/tablerows.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTableWidget>
#include <memory>

using namespace kestatest;

namespace
{

QAction *menuAction(QMenu *menu, const QString &column)
{
    return menu->findChild<QAction *>(QStringLiteral("columnAction_") + column);
}

// The colour of the icon's fully opaque pixels (drawn large enough for thin
// strokes to have some); invalid when there are none or they differ.
QColor solidColour(const QIcon &icon)
{
    const QImage image = icon.pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32);
    QColor found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() == 255 && found.isValid() && found != colour)
                return QColor();
            if (colour.alpha() == 255)
                found = colour;
        }
    }
    return found;
}

} // namespace

// The patients table over the application's model: its columns and sorting
// go to the settings and come back from them.
class TestPatientsListWidget : public QObject
{
    Q_OBJECT

    std::unique_ptr<KestaModel> model;
    std::unique_ptr<PatientsListWidget> table;
    int petrov = 0, smirnova = 0, orlov = 0;

    Database *db() const { return model->database(); }
    KestaSettings *settings() const { return model->settings(); }
    QTableWidget *grid() const { return table->grid(); }
    // Shows the patients with these columns, the queued rebuild included.
    void show(const QString &columns)
    {
        settings()->setPatientsTableColumns(columns);
        table->setPatients(db()->patients());
        QCoreApplication::processEvents();
    }

private slots:
    void init()
    {
        QFile::remove("Settings.xml");
        QVERIFY(resetDataFolder());
        model = std::make_unique<KestaModel>();
        Patient::setToday(QDate(2024, 5, 10));
        petrov = addPatient(*db(), "A1", "Petrov", "Ivan", Patient::Gender_Male, QDate(1980, 5, 1));
        smirnova = addPatient(*db(), "A2", "Smirnova", "Anna", Patient::Gender_Female);
        orlov = addPatient(*db(), "A3", "Orlov", "Boris", Patient::Gender_Unspecified, QDate(2014, 5, 1));
        QVERIFY(orlov > 0);
        table = std::make_unique<PatientsListWidget>();
        table->resize(700, 400);
        table->show();
        QVERIFY(QTest::qWaitForWindowExposed(table.get()));
    }

    void cleanup()
    {
        table.reset();
        model.reset();
    }

    void sevenColumnsFullNameAloneByDefault()
    {
        table->setPatients(db()->patients());
        QCOMPARE(table->shownColumnNames(), QStringList { "FullName" });
        QCOMPARE(grid()->rowCount(), 3);
        QMenu menu;
        table->fillColumnMenu(&menu);
        QCOMPARE(menuTexts(&menu),
            QStringList({ "By name:", "FullName", "LastName", "Initials", "", "Other columns:", "PatientID",
                "Age", "LastVisit", "FirstVisit" }));
        QVERIFY(menuAction(&menu, "Initials")->actionGroup()->isExclusive());
        QVERIFY(!menuAction(&menu, "Age")->isChecked() && !menuAction(&menu, "Age")->actionGroup());

        show("FullName;Age;PatientID;LastVisit");
        QCOMPARE(grid()->horizontalHeader()->sectionSize(1), 9 * 3 + 40);
        QCOMPARE(grid()->horizontalHeader()->sectionResizeMode(2), QHeaderView::ResizeToContents);
        QCOMPARE(grid()->item(gridRow(grid(), smirnova), 1)->text(), QStringLiteral("-"));
        QCOMPARE(grid()->item(gridRow(grid(), orlov), 1)->text(), QStringLiteral("10"));
    }

    void columnChoiceGoesThroughTheSettings()
    {
        show("FullName;Age;PatientID");
        QSignalSpy rebuilds(table.get(), &TableWidget::idSelected);
        // LastName under "By name" replaces FullName and keeps the others.
        QMenu menu;
        table->fillColumnMenu(&menu);
        menuAction(&menu, "LastName")->trigger();
        QCOMPARE(settings()->getPatientsTableColumns(), QStringLiteral("LastName;Age;PatientID"));
        // The grid follows from the event loop, once.
        QCOMPARE(table->shownColumnNames(), QStringList({ "FullName", "Age", "PatientID" }));
        QTRY_COMPARE(table->shownColumnNames(), QStringList({ "LastName", "Age", "PatientID" }));
        QCoreApplication::processEvents();
        QCOMPARE(rebuilds.count(), 1);

        table->fillColumnMenu(&menu);
        menuAction(&menu, "Age")->trigger();
        QTRY_COMPARE(table->shownColumnNames(), QStringList({ "LastName", "PatientID" }));
        // Stored in the file, and a new table starts from it.
        KestaSettings reread("Settings.xml");
        QVERIFY(reread.reload());
        QCOMPARE(reread.getPatientsTableColumns(), QStringLiteral("LastName;PatientID"));
        PatientsListWidget another;
        another.setPatients(db()->patients());
        QCOMPARE(another.shownColumnNames(), QStringList({ "LastName", "PatientID" }));
    }

    void sortingIsStoredWithoutARebuild()
    {
        show("FullName;PatientID");
        QSignalSpy rebuilds(table.get(), &TableWidget::idSelected);
        QHeaderView *header = grid()->horizontalHeader();
        const QPoint id(header->sectionViewportPosition(1) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, id);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, id);
        QCOMPARE(settings()->getPatientsTableSorting(), QStringLiteral("-PatientID"));
        QCoreApplication::processEvents();
        QCOMPARE(rebuilds.count(), 0);

        PatientsListWidget another;
        another.setPatients(db()->patients());
        QCOMPARE(another.grid()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(another.grid()->item(0, 1)->text(), QStringLiteral("A3"));
    }

    void sexIconsColouredAndShared()
    {
        show("PatientID;FullName");
        QCOMPARE(solidColour(grid()->item(gridRow(grid(), petrov), 0)->icon()), QColor("#159"));
        QCOMPARE(solidColour(grid()->item(gridRow(grid(), smirnova), 0)->icon()), QColor("#915"));
        QCOMPARE(solidColour(grid()->item(gridRow(grid(), orlov), 0)->icon()), QColor("#999"));
        QVERIFY(grid()->item(0, 1)->icon().isNull());
        PatientsListWidget another;
        another.setPatients(db()->patients());
        QCOMPARE(another.grid()->item(gridRow(another.grid(), petrov), 0)->icon().cacheKey(),
            grid()->item(gridRow(grid(), petrov), 0)->icon().cacheKey());
        // A value outside the enumeration shows no icon.
        Patient stranger;
        stranger.setSex(static_cast<Patient::PatientGender>(7));
        QVERIFY(another.rowIcon(&stranger).isNull());
    }

    void doubleClickEdits()
    {
        table->setPatients(db()->patients());
        QSignalSpy edits(table.get(), &TableWidget::editRow);
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, cellCenter(grid(), smirnova));
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, cellCenter(grid(), smirnova));
        QCOMPARE(table->selectedPatient(), db()->patientById(smirnova));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.first().at(0).toInt(), smirnova);
    }
};

KESTA_TEST_MAIN(TestPatientsListWidget)
#include "tst_patientslistwidget.moc"
