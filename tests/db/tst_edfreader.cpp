#include "db/edf/edfreader.h"
#include "recorder/edfrecording.h"
#include "support/testenvironment.h"

#include <QFile>
#include <QThreadPool>
#include <QTranslator>
#include <cmath>
#include <functional>

using EdfRecording::Signal;

namespace
{

const QDateTime Start(QDate(2024, 3, 5), QTime(14, 25, 30));
const RecordedPatient Patient { "Kuznetsova Maria", "E42", QDate(1990, 4, 12) };

Signal sine(const char *label, int rate, double microvolts, double hertz)
{
    return { label, rate, "uV", 500, [=](double t) { return microvolts * std::sin(2 * M_PI * hertz * t); } };
}

QString write(const QString &name, EdfRecording::Format format, const QVector<Signal> &channels, int seconds,
    const QString &comment = QString())
{
    const QString failure = EdfRecording::write(
        name, EdfRecording::Layout { format, channels, seconds }, Patient, Start, comment);
    return failure.isEmpty() ? name : QString();
}

// A cut, a patch or an addition to the bytes of a written file.
using Damage = std::function<void(QByteArray &)>;

void edit(const QString &path, const Damage &change)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    change(bytes);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

Q_DECLARE_METATYPE(Damage)

// Recording files as EDFlib writes them, read back: header facts, the reasons a file cannot
// be read, and the samples the preview draws.
class TestEdfReader : public QObject
{
    Q_OBJECT
private slots:
    void factsOfEachFormatLengthAndRate()
    {
        const QString simulated = "simulated.edf";
        QCOMPARE(EdfRecording::write(simulated, Patient, Start, 12, "Eyes closed"), QString());
        EdfFacts facts = EdfReader::readFacts(simulated);
        QVERIFY2(facts.readable(), qPrintable(facts.problemText()));
        QCOMPARE(facts.formatName(), QString("EDF+"));
        QCOMPARE(facts.durationSeconds, 12.0);
        QCOMPARE(facts.signalCount, 6);
        QCOMPARE(facts.labels.first(), QString("EEG Fp1-A1"));
        QCOMPARE(facts.highestRate, 256.0);
        QVERIFY(facts.ratesAgree);
        QCOMPARE(facts.start, Start);
        QCOMPARE(facts.patientCode + "|" + facts.patientName + "|" + facts.equipment,
            QString("E42|Kuznetsova Maria|Kesta recorder simulator"));
        QCOMPARE(facts.birthDate, QDate(1990, 4, 12));
        QVERIFY(facts.recording.startsWith("Startdate 05-MAR-2024"));
        QCOMPARE(facts.firstAnnotation, QString("Eyes closed"));

        // Mixed rates, ten minutes: the highest rate, and that they differ.
        facts = EdfReader::readFacts(write("mixed.edf", EdfRecording::EdfPlus,
            { sine("EEG Cz-A1", 500, 20, 10), sine("ECG", 250, 800, 1.2), sine("Resp", 10, 100, 0.3) }, 600));
        QCOMPARE(facts.durationSeconds, 600.0);
        QCOMPARE(facts.signalCount, 3);
        QCOMPARE(facts.highestRate, 500.0);
        QVERIFY(!facts.ratesAgree);
        QCOMPARE(facts.firstAnnotation, QString());

        // Plain EDF keeps the patient and recording as one field each; BDF has 24-bit samples.
        facts = EdfReader::readFacts(write("plain.edf", EdfRecording::Edf, { sine("Fp1", 128, 30, 8) }, 1));
        QCOMPARE(facts.formatName() + " " + QString::number(facts.durationSeconds), QString("EDF 1"));
        QVERIFY2(facts.patient.contains("Kuznetsova_Maria"), qPrintable(facts.patient));
        QCOMPARE(facts.patientName, QString());
        facts = EdfReader::readFacts(write("bdf.bdf", EdfRecording::Bdf, { sine("EEG O1", 2048, 30, 8) }, 3));
        QCOMPARE(facts.formatName() + " " + QString::number(facts.highestRate), QString("BDF 2048"));
        facts = EdfReader::readFacts(
            write("bdfplus.bdf", EdfRecording::BdfPlus, { sine("EEG O1", 1024, 30, 8) }, 2, "Photic"));
        QCOMPARE(facts.formatName() + " " + facts.firstAnnotation, QString("BDF+ Photic"));
    }

    // What a clinician reads in the row's tool tip when the file cannot be shown.
    void problemsNamed_data()
    {
        QTest::addColumn<Damage>("damage");
        QTest::addColumn<QString>("reason");
        const auto row = [](const char *name, Damage damage, const char *reason) {
            QTest::newRow(name) << damage << QString(reason);
        };
        // Ten records of 6 x 512 + 114 bytes after a 2048-byte header.
        row(
            "truncated", [](QByteArray &b) { b.chop(5000); },
            "The file is incomplete: it holds 8 of the 10 data records its header announces.");
        row(
            "ends in the header", [](QByteArray &b) { b.truncate(1000); },
            "The file ends inside its header.");
        row(
            "longer", [](QByteArray &b) { b.append(100, '\0'); }, "The file is longer than its header says.");
        row(
            "unfinished", [](QByteArray &b) { b.replace(236, 8, "-1      "); },
            "The recording was not finished: its header does not say how long it is.");
        row(
            "damaged", [](QByteArray &b) { b.replace(168, 8, "35.13.24"); }, "The file header is damaged.");
        row(
            "text", [](QByteArray &b) { b = "Patient: Ivanova\nNot a recording\n"; },
            "This is not an EDF or BDF file.");
        row(
            "empty", [](QByteArray &b) { b.clear(); }, "This is not an EDF or BDF file.");
    }
    void problemsNamed()
    {
        QFETCH(Damage, damage);
        const QString path = "damaged.edf";
        QCOMPARE(EdfRecording::write(path, Patient, Start, 10, "Eyes closed"), QString());
        edit(path, damage);
        const EdfFacts facts = EdfReader::readFacts(path);
        QVERIFY(!facts.readable());
        QTEST(facts.problemText(), "reason");
        QVERIFY(EdfReader::readSamples(path, 10).channels.isEmpty());
    }

    void missingFolderAndRussianReasons()
    {
        QCOMPARE(EdfReader::readFacts("nowhere.edf").problemText(), QString("The file does not exist."));
        QVERIFY(QDir().mkpath("folder.edf"));
        QCOMPARE(EdfReader::readFacts("folder.edf").problem, EdfFacts::Problem::NotEdf);
        QTranslator russian;
        QVERIFY(russian.load(":/translations/recordings_ru_RU.qm"));
        QCoreApplication::installTranslator(&russian);
        QCOMPARE(EdfReader::readFacts("nowhere.edf").problemText(), QString("Файла нет."));
        QCoreApplication::removeTranslator(&russian);
    }

    // EDFlib keeps 40 bytes of an annotation: the simulator writes the rest itself, and where
    // the annotation signal has no room for it, makes the signal longer.
    void wholeCommentsBetweenLetters_data()
    {
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("annotation");
        const QString fits = "Фоновая запись, глаза закрыты, спокойно лежит"; // 83 bytes
        QTest::newRow("within EDFlib's 40 bytes") << "Eyes closed"
                                                  << "Eyes closed";
        QTest::newRow("odd byte at 40") << "x" + fits << "x" + fits;
        QTest::newRow("beyond EDFlib's room")
            << fits + ", гипервентиляция 3 мин" << fits + ", гипервентиляция 3 мин"; // 115 bytes
        const QString longest = QString(64, QChar(0x0416)); // as long as a stored comment: 128 bytes
        QTest::newRow("the longest comment") << longest << longest;
    }
    void wholeCommentsBetweenLetters()
    {
        QFETCH(QString, comment);
        QCOMPARE(EdfRecording::write("comment.edf", Patient, Start, 2, comment), QString());
        const EdfFacts facts = EdfReader::readFacts("comment.edf");
        QVERIFY2(facts.readable(), qPrintable(facts.problemText()));
        QTEST(facts.firstAnnotation, "annotation");
    }

    // Physical values as written, per signal with its own rate, label and unit; a file shorter
    // than asked gives what it has.
    void samplesOfAKnownSine()
    {
        const QString path = write("sine.edf", EdfRecording::EdfPlus,
            { sine("EEG Cz-A1", 256, 50, 10), sine("EEG Pz-A1", 512, 120, 3) }, 30);
        const EdfSamples samples = EdfReader::readSamples(path, 10);
        QVERIFY(samples.facts.readable());
        QCOMPARE(samples.channels.size(), 2);
        const double step = 1000.0 / 65535; // one digital step of the +-500 uV range
        for (const auto &[index, rate, amplitude, hertz] :
            { std::tuple(0, 256, 50.0, 10.0), std::tuple(1, 512, 120.0, 3.0) }) {
            const EdfChannel &channel = samples.channels.at(index);
            QCOMPARE(channel.unit, QString("uV"));
            QCOMPARE(channel.rate, double(rate));
            QCOMPARE(channel.values.size(), rate * 10);
            double worst = 0;
            for (int n = 0; n < channel.values.size(); ++n)
                worst = qMax(
                    worst, std::abs(channel.values[n] - amplitude * std::sin(2 * M_PI * hertz * n / rate)));
            QVERIFY2(worst <= step, qPrintable(QString::number(worst)));
        }
        QCOMPARE(samples.channels.at(1).label, QString("EEG Pz-A1"));

        const QString shortOne = write("short.bdf", EdfRecording::BdfPlus, { sine("EEG O2", 256, 5, 20) }, 3);
        const EdfSamples three = EdfReader::readSamples(shortOne, 10);
        QCOMPARE(three.channels.at(0).values.size(), 768);
        QVERIFY(std::abs(three.channels.at(0).values[3] - 5 * std::sin(2 * M_PI * 20 * 3 / 256.0)) < 0.001);
    }

    // EDFlib refuses a file that is open already: readers on several threads must take turns.
    void readersOnSeveralThreads()
    {
        const QString a = write("a.edf", EdfRecording::EdfPlus, { sine("EEG Fz", 256, 40, 9) }, 20);
        const QString b = write("b.edf", EdfRecording::Edf, { sine("EEG Fz", 200, 40, 9) }, 7);
        QAtomicInt wrong;
        QThreadPool pool;
        pool.setMaxThreadCount(6);
        for (int i = 0; i < 60; ++i) {
            pool.start([&, i] {
                const bool even = i % 2 == 0;
                const EdfFacts facts = EdfReader::readSamples(even ? a : b, 5).facts;
                if (!facts.readable() || facts.durationSeconds != (even ? 20 : 7))
                    wrong.ref();
            });
        }
        pool.waitForDone();
        QCOMPARE(wrong.loadRelaxed(), 0);
    }
};

KESTA_TEST_MAIN(TestEdfReader)
#include "tst_edfreader.moc"
