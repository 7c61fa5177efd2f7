#include "db/database.h"
#include "db/datalocations.h"
#include "db/patient.h"
#include "db/record.h"
#include "exchange/orvalisexchange.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"

#include <QProcess>
#include <memory>

using namespace kestatest;

// The recorder simulator "DI Duvi.exe" from the build tree, in a whole examination against a
// started exchange: it asks, records an EDF+ file, reports it, and reads it back.
class TestRecorder : public QObject
{
    Q_OBJECT

    QString simulator() const { return qEnvironmentVariable("KESTA_BINARY_DIR") + "/src/DI Duvi.exe"; }

    // Runs the simulator to its end while the exchange keeps answering; its output, or why not.
    bool run(const QString &argument, const QStringList &environment, int *exitCode, QString *output)
    {
        QProcess recorder;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString &pair : environment)
            env.insert(pair.section('=', 0, 0), pair.section('=', 1));
        recorder.setProcessEnvironment(env);
        recorder.setProcessChannelMode(QProcess::MergedChannels);
        recorder.start(simulator(), { argument });
        const bool ended = QTest::qWaitFor([&] { return recorder.state() == QProcess::NotRunning; }, 60000);
        *output = QString::fromLocal8Bit(recorder.readAll());
        *exitCode = recorder.exitCode();
        return ended && recorder.exitStatus() == QProcess::NormalExit;
    }

private slots:
    void examinationLeavesOneReadableRecording()
    {
        QVERIFY2(QFile::exists(simulator()), qPrintable(simulator() + " is not built"));
        QVERIFY(resetDataFolder());
        Database db(DataLocations::databaseFile());
        QVERIFY(addPatient(db, "A17", "Petrov", "Ivan", 1, QDate(1984, 2, 29)) > 0);
        Patient *patient = db.patientByPatientId("A17");
        OrvalisExchange exchange;
        exchange.setDatabase(&db);
        exchange.setPatientSource([patient] { return patient; });
        exchange.start();
        QVERIFY2(exchange.isListening(), "port 2700 is taken: is another test using it?");

        int exitCode = -1;
        QString output;
        QVERIFY(run("/database",
            { "KESTA_RECORDER_HOLD_MS=0", "KESTA_RECORDER_SECONDS=2", "KESTA_RECORDER_MISBEHAVE=1",
                "KESTA_RECORDER_COMMENT=Eyes closed, 'calm'" },
            &exitCode, &output));
        QVERIFY2(exitCode == 0, qPrintable(output));
        // The comment comes after the recording; nothing tells when it has been stored.
        QTRY_COMPARE(rawValue(db, "SELECT Comments FROM Records").toString(), QString("Eyes closed, 'calm'"));

        patient->loadRecords();
        QCOMPARE(patient->records().size(), 1);
        Record *record = patient->records().at(0);
        QCOMPARE(record->getRecordType(), QString("EEG"));
        QVERIFY(record->getRecordDate().isValid());
        const QString path = DataLocations::recordingPath(patient->folderName(), record->getFileName());
        QVERIFY2(QFile::exists(path), qPrintable(path));

        QVERIFY(run(QString("\"%1\"").arg(path), {}, &exitCode, &output));
        QVERIFY2(exitCode == 0, qPrintable(output));
        for (const char *fact : { "type: EDF+", "patient: Petrov Ivan", "patient code: A17", "birth date: 29 feb 1984",
                 "duration: 2 s", "channels: 6: EEG Fp1-A1 (256 Hz)", "annotation: Eyes closed, 'calm'" })
            QVERIFY2(output.contains(fact), qPrintable(fact + QString(" not in:\n") + output));

        QVERIFY(run(QString("\"%1\"").arg(DataLocations::databaseFile()), {}, &exitCode, &output));
        QCOMPARE(exitCode, 1);
        QVERIFY(output.contains("not a readable EDF file"));
    }
};

KESTA_TEST_MAIN(TestRecorder)
#include "tst_recorder.moc"
