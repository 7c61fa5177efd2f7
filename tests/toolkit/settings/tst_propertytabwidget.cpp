#include "db/rows/patient.h"
#include "editorprobe.h"
#include "support/testenvironment.h"
#include "toolkit/settings/datefield.h"
#include "toolkit/settings/propertylistcontrol.h"
#include "toolkit/settings/propertytabwidget.h"

#include <QtWidgets>

using namespace editortest;

// The tabbed form: one tab per category, over the tests' own settings and a patient.
class PropertyTabWidgetTest : public QObject
{
    Q_OBJECT

private slots:
    void tabsFollowTheirRows()
    {
        EditorProbeSettings probe;
        PropertyTabWidget tabs(&probe);
        QVERIFY(activated(&tabs));
        QTabWidget *widget = tabs.getTabWidget();
        QCOMPARE(widget->tabText(3), QString("Other"));
        QCOMPARE(tabs.tabIndex("3.Expert"), 2);
        // Priority first, then name; hidden and non-editable settings are left out.
        QCOMPARE(rowNames(*tabs.page("1.Main")), QStringList({ "Mode", "Enabled", "Level", "Limit" }));
        QCOMPARE(rowNames(*tabs.page("3.Expert")), QStringList({ "Depth", "Trace" }));
        QCOMPARE(
            rowNames(*tabs.page(QString())), QStringList({ "Copies", "Origin", "Preset", "Tint", "Volume" }));

        // Every row of "3.Expert" hidden: the tab is out of the bar; one shown brings it back.
        QVERIFY(!widget->isTabVisible(2));
        probe.setMode(EditorProbeSettings::Expert);
        QVERIFY(widget->isTabVisible(2));
        widget->setCurrentIndex(2);
        probe.setMode(EditorProbeSettings::Simple);
        QVERIFY(!widget->isTabVisible(2));
        QVERIFY(widget->currentIndex() != 2);

        // Focusing a field on another tab brings its tab forward.
        tabs.setFocusAt("Name");
        QCOMPARE(widget->currentIndex(), tabs.tabIndex("2.Extra"));
    }

    void anotherObjectInTheSameRows()
    {
        EditorProbeSettings first, second;
        second.setMode(EditorProbeSettings::Expert);
        second.setName("second");
        PropertyTabWidget tabs(&first);
        QVERIFY(activated(&tabs));
        QTabWidget *widget = tabs.getTabWidget();
        const QList<QWidget *> widgets = tabs.findChildren<QWidget *>();
        Patient patient;
        QVERIFY(!tabs.showObject(&patient) && tabs.getSettings() == &first);

        // The same widgets show the second object, its conditions and its edits, and write to it.
        QVERIFY(tabs.showObject(&second));
        QCOMPARE(tabs.findChildren<QWidget *>(), widgets);
        QCOMPARE(editorOf<QLineEdit>(tabs, "Name")->text(), QString("second"));
        QVERIFY(widget->isTabVisible(2));
        editorOf<QSpinBox>(tabs, "Depth")->setValue(7);
        QVERIFY(second.getDepth() == 7 && first.getDepth() == 1);
        first.setMode(EditorProbeSettings::Expert);
        second.setMode(EditorProbeSettings::Simple);
        QVERIFY(!widget->isTabVisible(2));
    }

    void patientTabsComeInCategoryOrderAndBirthDateMayBeBlank()
    {
        Patient patient;
        PropertyTabWidget tabs(&patient);
        const QStringList categories = { "1.PatientMain", "2.PatientPhysicalInfo", "3.PatientLocalityInfo" };
        QCOMPARE(tabs.tabCount(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(tabs.getTabWidget()->tabBar()->tabData(i).toString(), categories.at(i));
            QVERIFY(tabs.getTabWidget()->isTabVisible(i));
        }
        // No column offers a default.
        for (int i = 0; i < tabs.widgetInfoCount(); ++i)
            QVERIFY(!tabs.getWidgetInfo(i).view->getDefaultButton());
        QVERIFY(tabs.findChildren<QLabel *>("propertyCategoryLabel").isEmpty());

        // No birth date shows as an empty field, not some date, and is written back as none.
        auto *dob = editorOf<DateField>(tabs, "DOB");
        QCOMPARE(dob->text(), QString());
        patient.setDOB(QDate(1980, 5, 17));
        QCOMPARE(dob->text(), QString("1980-05-17"));
        dob->clear();
        QTest::keyClick(dob, Qt::Key_Tab);
        QVERIFY(!patient.getDOB().isValid());

        // Height and weight not taken read as nothing, not "0 cm", and cannot go below it.
        auto *height = editorOf<QDoubleSpinBox>(tabs, "Height");
        QVERIFY(height->text().trimmed().isEmpty()
            && editorOf<QDoubleSpinBox>(tabs, "Weight")->text().trimmed().isEmpty());
        patient.setHeight(170);
        QCOMPARE(height->text(), QString("170 cm"));
        height->setValue(-5);
        QCOMPARE(patient.getHeight(), 0.0);
    }
};

KESTA_TEST_MAIN(PropertyTabWidgetTest)
#include "tst_propertytabwidget.moc"
