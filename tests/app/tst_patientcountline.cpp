#include "app/patientcountline.h"
#include "app/tables/patientslistwidget.h"
#include "tabletesting.h"

#include <QLineEdit>

using namespace tabletest;

// The status line's count over a patients table as the list and the search change.
class TestPatientCountLine : public QObject
{
    Q_OBJECT

    std::unique_ptr<KestaModel> model;
    Patients p;

private slots:
    void init()
    {
        QFile::remove("Settings.xml");
        QVERIFY(kestatest::resetDataFolder());
        model = std::make_unique<KestaModel>();
        QVERIFY(p.add(*model->database()));
    }
    void cleanup() { model.reset(); }

    void countsTheListAndWhatTheSearchFinds()
    {
        PatientsListWidget patients(nullptr);
        PatientCountLine line(&patients);
        QVERIFY(showTable(&patients));
        QCOMPARE(line.text(), QString("Patients: 0"));
        patients.setPatients(model->database()->patients());
        QTRY_COMPARE(line.text(), QString("Patients: 5"));

        QLineEdit *search = patients.searchField();
        search->setText("orl");
        QTRY_COMPARE(line.text(), QString("Found: 1 of 5"));
        QVERIFY(!line.emptyListNote()->isVisible());
        search->setText("orlx");
        QTRY_COMPARE(line.text(), QString("No patients match"));
        QVERIFY(line.emptyListNote()->isVisible());
        search->clear();
        QTRY_COMPARE(line.text(), QString("Patients: 5"));
        QVERIFY(!line.emptyListNote()->isVisible());

        // A reload brings a new patient along.
        QVERIFY(kestatest::addPatient(*model->database(), "B1", "Belova") > 0);
        patients.setPatients(model->database()->patients());
        QTRY_COMPARE(line.text(), QString("Patients: 6"));
    }
};

KESTA_TEST_MAIN(TestPatientCountLine)
#include "tst_patientcountline.moc"
