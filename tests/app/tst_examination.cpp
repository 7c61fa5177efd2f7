#include "app/mainwindow.h"
#include "app/tables/recordstable.h"
#include "app/startup.h"
#include "db/storage/database.h"
#include "db/model/datalocations.h"
#include "db/edf/edfreader.h"
#include "db/model/kestamodel.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "exchange/orvalisexchange.h"
#include "support/testdatabase.h"
#include "support/testenvironment.h"
#include "toolkit/util/messagebox.h"

#include <QProcess>
#include <QPushButton>
#include <QTextCodec>

using namespace kestatest;

namespace
{

// Runs the recorder simulator on its own to its end: its exit code (-1 for a crash or a hang)
// and its output.
int runSimulator(const QString &argument, QString *output)
{
    QProcess recorder;
    recorder.setProcessChannelMode(QProcess::MergedChannels);
    recorder.start(QCoreApplication::applicationDirPath() + "/DI Duvi.exe", { argument });
    const bool ended = recorder.waitForFinished(60000);
    *output = QString::fromLocal8Bit(recorder.readAll());
    return ended && recorder.exitStatus() == QProcess::NormalExit ? recorder.exitCode() : -1;
}

} // namespace

// One examination as a technician runs it: a patient selected, "New examination" pressed,
// the recorder simulator found beside the program (this test is built there) and started,
// the window out of the way while it records, the recording in the records table after, and
// the simulator reading the EDF+ file back.
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
        // Cyrillic, two bytes a letter: 100 bytes, more than EDFlib writes of an annotation and
        // with its 40th byte inside a letter, yet within the annotation signal's room.
        const QString comment = "ЭЭГ, фон: глаза закрыты, 'спокойно', без гипервентиляции";
        qputenv("KESTA_RECORDER_COMMENT", comment.toUtf8());
        // Malformed and split requests first, which must go unanswered.
        qputenv("KESTA_RECORDER_MISBEHAVE", "1");

        KestaModel model;
        const int id = addPatient(*model.database(), "E42", "Kuznetsova", "Maria", 2, QDate(1990, 4, 12));
        model.settings()->setLastPatientId(id);
        model.settings()->setCheckForNewVersion(false);
        MainWindow window;
        QVERIFY(window.initialize());
        QVERIFY2(window.findChild<OrvalisExchange *>()->isListening(),
            "port 2700 is taken: is another test using it?");
        auto *records = window.findChild<RecordsTable *>();
        QVERIFY(records->getRows().isEmpty());

        const QDateTime started = QDateTime::currentDateTime().addSecs(-1);
        MessageBox::setNextAnswer(MessageBox::Ok);
        QTest::mouseClick(window.findChild<QPushButton *>("actionButton"), Qt::LeftButton);
        QVERIFY2(MessageBox::takeShown().isEmpty(), "the recorder was not started");
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 30000);

        QTRY_COMPARE(records->getRows().size(), 1);
        auto *record = qobject_cast<Record *>(records->getRows().at(0));
        QCOMPARE(record->getPatientID() + " " + record->getRecordType() + " " + record->getComments(),
            "E42 EEG " + comment);
        QVERIFY(
            record->getRecordDate() >= started && record->getRecordDate() <= QDateTime::currentDateTime());

        QString output;
        const QString path
            = DataLocations::recordingPath(window.currentPatient()->folderName(), record->getFileName());
        QVERIFY2(runSimulator(QString("\"%1\"").arg(path), &output) == 0, qPrintable(output));
        for (const char *fact : { "type: EDF+", "patient: Kuznetsova Maria", "patient code: E42",
                 "birth date: 12 apr 1990", "duration: 2 s", "channels: 6: EEG Fp1-A1 (256 Hz)" })
            QVERIFY2(output.contains(fact), qPrintable(fact + QString(" not in:\n") + output));

        // The annotation is valid UTF-8 on its own bytes (a strict reader refuses a file
        // otherwise) and holds the whole comment.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QByteArray start("+0\x14\x14\0+0\x14", 8);
        const int at = bytes.indexOf(start) + start.size();
        QVERIFY(at >= start.size());
        const QByteArray annotation = bytes.mid(at, bytes.indexOf('\x14', at) - at);
        QTextCodec::ConverterState state;
        const QString text
            = QTextCodec::codecForName("UTF-8")->toUnicode(annotation.constData(), annotation.size(), &state);
        QCOMPARE(state.invalidChars + state.remainingChars, 0);
        QCOMPARE(text, comment);
        const EdfFacts facts = EdfReader::readFacts(path);
        QVERIFY2(facts.readable(), qPrintable(facts.problemText()));
        QCOMPARE(facts.firstAnnotation, text);
        QCOMPARE(runSimulator(QString("\"%1\"").arg(DataLocations::databaseFile()), &output), 1);
        QVERIFY(output.contains("not a readable EDF file"));
    }
};

KESTA_TEST_MAIN(TestExamination)
#include "tst_examination.moc"
