#include "app/recordingfactstext.h"
#include "app/tracepreview.h"
#include "app/tracerenderer.h"
#include "db/edf/edfreader.h"
#include "recorder/edfrecording.h"
#include "support/testenvironment.h"
#include "toolkit/style/stylehelper.h"

#include <QFile>
#include <QSignalSpy>
#include <QTranslator>
#include <cmath>

using EdfRecording::Signal;

namespace
{

Signal sine(const char *label, double microvolts, double hertz, const char *unit = "uV")
{
    return { label, 256, unit, 500, [=](double t) { return microvolts * std::sin(2 * M_PI * hertz * t); } };
}

QString write(const QString &path, const QVector<Signal> &channels, int seconds)
{
    const QString failure = EdfRecording::write(path, { EdfRecording::EdfPlus, channels, seconds },
        { "Petrov Ivan", "A17", {} }, QDateTime(QDate(2024, 3, 5), QTime(14, 25, 30)), "Routine");
    return failure.isEmpty() ? path : failure;
}

// The highest and lowest red pixel of each pixel column of a band; -1 where there is none.
QVector<QPair<int, int>> tracePath(const QImage &image, const QRectF &band)
{
    QVector<QPair<int, int>> path;
    for (int x = int(band.left()) + 2; x < int(band.right()) - 2; ++x) {
        QPair<int, int> extent(-1, -1);
        for (int y = int(band.top()); y < int(band.bottom()); ++y) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.red() > 200 && pixel.green() < 100 && pixel.blue() < 100)
                extent = { extent.first < 0 ? y : extent.first, y };
        }
        path << extent;
    }
    return path;
}

} // namespace

// The preview strip: what it draws of a signal whose shape is known, and how the widget keeps
// the picture to the recording asked for last.
class TestTracePreview : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        StyleHelper::registerFontsAndStyles();
        StyleHelper::Instance()->selectTheme("light");
    }

    // A 50 uV sine fills one line at 100 uV a line, peaks once a cycle across ten seconds and
    // goes down first (negative up); other kinds of signal are left out.
    void knownSinesDrawnToScale()
    {
        const QString path = write("sines.edf",
            { sine("EEG Cz-A1", 50, 10), sine("ECG", 800, 1.2), sine("EEG Pz-A1", 50, 2),
                sine("Resp", 80, 0.2, "mV") },
            12);
        const EdfSamples samples = EdfReader::readSamples(path, TracePreview::Seconds);
        TracePalette palette { Qt::white, Qt::red, Qt::black, Qt::black, Qt::white, Qt::white, Qt::gray,
            Qt::gray };
        const TraceRenderer::Picture picture
            = TraceRenderer::render(samples, TracePreview::Seconds, QSize(1000, 300), 1, palette, QFont());
        QCOMPARE(picture.labels, QStringList({ "Cz-A1", "Pz-A1" }));
        QCOMPARE(picture.microvoltsPerRow, 100.0);

        // Each on its own, so that no neighbour reaches into its line.
        for (const auto &[index, hertz] : { std::pair(0, 10), std::pair(2, 2) }) {
            EdfSamples one = samples;
            one.channels.remove(2 - index);
            const TraceRenderer::Picture alone
                = TraceRenderer::render(one, TracePreview::Seconds, QSize(1000, 300), 1, palette, QFont());
            const QRectF traces = alone.traces;
            const double row = traces.height();
            const double centre = traces.center().y();
            const QVector<QPair<int, int>> path = tracePath(alone.image, traces);
            int high = int(centre);
            int low = int(centre);
            for (const auto &[top, bottom] : path) {
                high = top < 0 ? high : qMin(high, top);
                low = qMax(low, bottom);
            }
            // Peaks drawn up, one a cycle: runs of columns reaching the top.
            int peaks = 0;
            for (int i = 0; i < path.size(); ++i)
                peaks += path[i].first >= 0 && path[i].first <= high + 3
                    && (i == 0 || path[i - 1].first > high + 3);
            QVERIFY2(
                std::abs((low - high) - row) <= 5, qPrintable(QString("%1 of %2").arg(low - high).arg(row)));
            QVERIFY2(std::abs(peaks - 10 * hertz) <= 1, qPrintable(QString::number(peaks)));
            // A quarter cycle in, the sine is at its positive peak: drawn below the baseline.
            const int quarter = int(traces.width() / TracePreview::Seconds / hertz / 4) - 2;
            QVERIFY2(path.value(quarter).first > centre + row / 4,
                qPrintable(QString::number(path.value(quarter).first)));
        }
    }

    void showsTheRecordingAskedForLast()
    {
        const QString first = write("first.edf", EdfRecording::scalpLayout(19, 20).channels, 20);
        const QString second = write("second.edf", EdfRecording::scalpLayout(8, 12).channels, 12);
        QFile text("notes.edf");
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("Notes about the patient\n") > 0);
        text.close();
        const QString heart = write("heart.edf", { sine("ECG", 800, 1.2) }, 5);

        TracePreview preview;
        preview.resize(900, 320);
        preview.show();
        QSignalSpy ready(&preview, &TracePreview::previewReady);
        preview.setRecordingPath(first);
        preview.clear();
        preview.setRecordingPath(first);
        preview.setRecordingPath(second);
        QCOMPARE(preview.state(), TracePreview::State::Reading);
        QTRY_COMPARE(preview.state(), TracePreview::State::Shown);
        QCOMPARE(ready.takeFirst().at(0).toString(), second);
        QCOMPARE(preview.channelLabels().size(), 8);
        QCOMPARE(preview.channelLabels().first(), QString("Fp1-A1"));
        QCOMPARE(preview.grab().toImage().pixelColor(2, 2), QColor("#FFF"));

        // The theme's colours, redrawn from the samples already read.
        StyleHelper::Instance()->selectTheme("dark");
        QTRY_VERIFY(!ready.isEmpty());
        QCOMPARE(preview.grab().toImage().pixelColor(2, 2), QColor("#222"));
        StyleHelper::Instance()->selectTheme("light");
        QTRY_COMPARE(ready.size(), 2);
        QVERIFY(ready.at(1).at(0).toString() == second);

        ready.clear();
        preview.setRecordingPath("notes.edf");
        QTRY_COMPARE(preview.state(), TracePreview::State::Failed);
        QCOMPARE(
            preview.message(), QString("This recording cannot be shown. This is not an EDF or BDF file."));
        preview.setRecordingPath(heart);
        QTRY_COMPARE(ready.size(), 2);
        QCOMPARE(preview.message(), QString("This recording has no EEG channels to show."));
        QVERIFY(preview.channelLabels().isEmpty());

        preview.clear();
        QCOMPARE(preview.state(), TracePreview::State::Empty);
        // Gone while reading: the worker's result has nowhere to go, and does not try.
        auto *leaving = new TracePreview;
        leaving->setRecordingPath(first);
        delete leaving;
    }

    void factsAsText()
    {
        QTranslator english;
        QVERIFY(english.load(":/translations/recordings_en_US.qm"));
        QCoreApplication::installTranslator(&english);
        const QString path = write("facts.edf", EdfRecording::scalpLayout(4, 3725, 128).channels, 3725);
        const EdfFacts facts = EdfReader::readFacts(path);
        QCOMPARE(RecordingFactsText::duration(facts), QString("1:02:05"));
        QCOMPARE(RecordingFactsText::rate(facts), QString("128 Hz"));
        const QString tip = RecordingFactsText::toolTip(facts);
        for (const char *line : { "EDF+, 1:02:05", "4 signals, 128 Hz", "Patient: Petrov Ivan, A17",
                 "Equipment: Kesta recorder simulator", "Annotation: Routine" })
            QVERIFY2(tip.contains(line), qPrintable(tip));
        const EdfFacts missing = EdfReader::readFacts("gone.edf");
        QCOMPARE(RecordingFactsText::duration(missing), QString());
        QCOMPARE(RecordingFactsText::toolTip(missing),
            QString("The recording cannot be read.\nThe file does not exist."));
        QCoreApplication::removeTranslator(&english);
    }
};

KESTA_TEST_MAIN(TestTracePreview)
#include "tst_tracepreview.moc"
