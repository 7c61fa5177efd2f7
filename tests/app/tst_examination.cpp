#include "app/mainwindow.h"
#include "app/recordstable.h"
#include "app/startup.h"
#include "db/database.h"
#include "db/datalocations.h"
#include "db/kestamodel.h"
#include "db/kestasettings.h"
#include "db/patient.h"
#include "db/record.h"
#include "exchange/orvalisexchange.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/style/stylehelper.h"
#include "toolkit/util/messagebox.h"

#include <QPushButton>

using namespace kestatest;

// One examination as a technician runs it: a patient selected, "New examination" pressed,
// the recorder simulator found beside the program (this test is built there) and started,
// the window out of the way while it records, the recording in the records table after.
class TestExamination : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { Startup::setApplicationVersion(); }

    void newExaminationEndToEnd()
    {
        QVERIFY2(QFile::exists(QCoreApplication::applicationDirPath() + "/DI Duvi.exe"),
            "the simulator is not built");
        QVERIFY(resetDataFolder());
        qputenv("KESTA_RECORDER_HOLD_MS", "1500");
        qputenv("KESTA_RECORDER_SECONDS", "2");
        qputenv("KESTA_RECORDER_COMMENT", "Photic stimulation");

        KestaModel model;
        const int id = addPatient(*model.database(), "E42", "Kuznetsova", "Maria", 2, QDate(1990, 4, 12));
        model.settings()->setLastPatientId(id);
        model.settings()->setCheckForNewVersion(false);
        MainWindow window;
        QVERIFY(window.initialize());
        QVERIFY2(window.findChild<OrvalisExchange *>()->isListening(),
            "port 2700 is taken: is another test using it?");
        QVERIFY(window.isMaximized());
        Patient *patient = window.currentPatient();
        QVERIFY(patient && patient->getPatientID() == "E42");
        auto *records = window.findChild<RecordsTable *>();
        QVERIFY(records->getRows().isEmpty());

        const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
        QTest::mouseClick(window.findChild<QPushButton *>("actionButton"), Qt::LeftButton);
        QVERIFY2(MessageBox::takeShown().isEmpty(), "the recorder was not started");

        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 15000);
        QCOMPARE(window.windowType(), Qt::ToolTip);
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 30000);
        QVERIFY(window.isMaximized());

        QTRY_COMPARE(records->getRows().size(), 1);
        auto *record = qobject_cast<Record *>(records->getRows().at(0));
        QCOMPARE(record->getPatientID() + " " + record->getRecordType() + " " + record->getComments(),
            QString("E42 EEG Photic stimulation"));
        QVERIFY(
            record->getRecordDate() >= started && record->getRecordDate() <= QDateTime::currentDateTime());
        QFile file(
            DataLocations::recordingPath(window.currentPatient()->folderName(), record->getFileName()));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        QCOMPARE(file.read(8), QByteArray("0       ")); // the EDF header's version field
    }
};

KESTA_TEST_MAIN(TestExamination)
#include "tst_examination.moc"
