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

using kestatest::addPatient;

namespace
{

QStringList menuTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *action : menu->actions())
        texts << action->text();
    return texts;
}

QAction *menuAction(QMenu *menu, const QString &column)
{
    return menu->findChild<QAction *>(QStringLiteral("columnAction_") + column);
}

int gridRowOf(QTableWidget *grid, int id)
{
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (grid->item(r, 0)->data(Qt::UserRole).toInt() == id)
            return r;
    }
    return -1;
}

// The colour of the icon's fully opaque pixels (drawn large enough for thin
// strokes to have some), invalid when there are none
// or when they differ.
QColor solidColour(const QIcon &icon)
{
    const QImage image = icon.pixmap(48, 48).toImage().convertToFormat(QImage::Format_ARGB32);
    QColor found;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() != 255)
                continue;
            if (found.isValid() && found != colour)
                return QColor();
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

private slots:
    void init()
    {
        QFile::remove("Settings.xml");
        QVERIFY(kestatest::resetDataFolder());
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
        QCOMPARE(table->objectName(), QStringLiteral("patientsTable"));
        QCOMPARE(table->availableColumns().size(), 7);
        table->setPatients(db()->patients());
        QCOMPARE(table->shownColumnNames(), QStringList { "FullName" });
        QCOMPARE(grid()->rowCount(), 3);
        QCOMPARE(grid()->horizontalHeader()->sectionResizeMode(0), QHeaderView::Stretch);

        QMenu menu;
        table->fillColumnMenu(&menu);
        QCOMPARE(menuTexts(&menu),
            QStringList({ "By name:", "FullName", "LastName", "Initials", "", "Other columns:", "PatientID",
                "Age", "LastVisit", "FirstVisit" }));
        QVERIFY(menuAction(&menu, "FullName")->isChecked());
        QVERIFY(!menuAction(&menu, "Initials")->isChecked());
        QVERIFY(menuAction(&menu, "Initials")->actionGroup()->isExclusive());
        QVERIFY(!menuAction(&menu, "Age")->isChecked() && menuAction(&menu, "Age")->isEnabled());
        QVERIFY(!menuAction(&menu, "Age")->actionGroup());

        settings()->setPatientsTableColumns("FullName;Age;PatientID;LastVisit");
        QTRY_COMPARE(table->shownColumnNames(), QStringList({ "FullName", "Age", "PatientID", "LastVisit" }));
        QHeaderView *header = grid()->horizontalHeader();
        QCOMPARE(header->sectionResizeMode(1), QHeaderView::Fixed);
        QCOMPARE(header->sectionSize(1), 9 * 3 + 40);
        QCOMPARE(header->sectionResizeMode(2), QHeaderView::ResizeToContents);
        QCOMPARE(grid()->item(gridRowOf(grid(), smirnova), 1)->text(), QStringLiteral("-"));
        QCOMPARE(grid()->item(gridRowOf(grid(), orlov), 1)->text(), QStringLiteral("10"));
        QCOMPARE(grid()->item(0, 1)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
    }

    void columnChoiceGoesThroughTheSettings()
    {
        settings()->setPatientsTableColumns("FullName;Age;PatientID");
        table->setPatients(db()->patients());
        QCoreApplication::processEvents();
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
        QCOMPARE(grid()->item(gridRowOf(grid(), petrov), 0)->text(), QStringLiteral("Petrov"));

        menu.clear();
        table->fillColumnMenu(&menu);
        menuAction(&menu, "Age")->trigger();
        QCOMPARE(settings()->getPatientsTableColumns(), QStringLiteral("LastName;PatientID"));
        QTRY_COMPARE(table->shownColumnNames(), QStringList({ "LastName", "PatientID" }));

        // Stored in the file, and a new table starts from it.
        KestaSettings reread("Settings.xml");
        QVERIFY(reread.reload());
        QCOMPARE(reread.getPatientsTableColumns(), QStringLiteral("LastName;PatientID"));
        PatientsListWidget another;
        another.setPatients(db()->patients());
        QCOMPARE(another.shownColumnNames(), QStringList({ "LastName", "PatientID" }));
    }

    void sortingGoesToTheSettingsWithoutARebuild()
    {
        settings()->setPatientsTableColumns("FullName;PatientID");
        table->setPatients(db()->patients());
        QCoreApplication::processEvents();
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
        QCOMPARE(another.grid()->horizontalHeader()->sortIndicatorSection(), 1);
        QCOMPARE(another.grid()->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
        QCOMPARE(another.grid()->item(0, 1)->text(), QStringLiteral("A3"));
    }

    void sexIconsColouredAndShared()
    {
        table->setPatients(db()->patients());
        const QIcon male = grid()->item(gridRowOf(grid(), petrov), 0)->icon();
        const QIcon female = grid()->item(gridRowOf(grid(), smirnova), 0)->icon();
        const QIcon unspecified = grid()->item(gridRowOf(grid(), orlov), 0)->icon();
        QCOMPARE(solidColour(male), QColor("#159"));
        QCOMPARE(solidColour(female), QColor("#915"));
        QCOMPARE(solidColour(unspecified), QColor("#999"));

        settings()->setPatientsTableColumns("PatientID;FullName");
        QTRY_COMPARE(table->shownColumnNames(), QStringList({ "PatientID", "FullName" }));
        QVERIFY(grid()->item(0, 1)->icon().isNull());
        PatientsListWidget another;
        another.setPatients(db()->patients());
        QCOMPARE(
            another.grid()->item(gridRowOf(another.grid(), petrov), 0)->icon().cacheKey(), male.cacheKey());

        // A value outside the enumeration shows no icon.
        Patient stranger;
        stranger.setAutoID(999);
        stranger.setSex(static_cast<Patient::PatientGender>(7));
        QVERIFY(another.rowIcon(&stranger).isNull());
        QVERIFY(another.rowIcon(nullptr).isNull());
    }

    void doubleClickEditsAndSelectionNamesThePatient()
    {
        table->setPatients(db()->patients());
        QSignalSpy edits(table.get(), &TableWidget::editRow);
        QSignalSpy selected(table.get(), &TableWidget::idSelected);
        const QPoint pos = grid()->visualItemRect(grid()->item(gridRowOf(grid(), smirnova), 0)).center();
        QTest::mouseClick(grid()->viewport(), Qt::LeftButton, {}, pos);
        QTest::mouseDClick(grid()->viewport(), Qt::LeftButton, {}, pos);
        QCOMPARE(selected.first().at(0).toInt(), smirnova);
        QCOMPARE(table->selectedPatient(), db()->patientById(smirnova));
        QCOMPARE(edits.count(), 1);
        QCOMPARE(edits.first().at(0).toInt(), smirnova);

        std::unique_ptr<QMenu> menu(table->createRowMenu(pos));
        QVERIFY(menu);
        QCOMPARE(menuTexts(menu.get()), QStringList({ "Edit", "Show in explorer", "Remove" }));
    }
};

KESTA_TEST_MAIN(TestPatientsListWidget)
#include "tst_patientslistwidget.moc"
