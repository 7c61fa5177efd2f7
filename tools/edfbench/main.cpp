// Times reading recording files the way the records table and the preview will, in one run,
// each beside what it is measured against:
//
// - header facts per file (EdfReader::readFacts) over F copies of a 20-minute, 19-channel
//   EDF+ recording, beside EDFlib opening the same files with all their annotations (a read
//   of the whole file) and beside a cache hit (EdfFactsCache, unchanged files: a stat);
// - the same for one 2-hour, 32-channel recording at 256 Hz;
// - the preview of that recording: reading its first ten seconds (EdfReader::readSamples),
//   drawing them at 1000 x 420 (TraceRenderer::render), and both through the widget, from
//   setRecordingPath to previewReady, against the 200 ms a clinician may wait.
//
// Each round runs every measurement once, in turn; figures are medians over the rounds.
// The files are written into a temporary folder first and read from the page cache: a cold
// disk adds its seek and transfer times to both sides of each comparison.
//
//     edfbench [files] [rounds]

#include "app/tracepreview.h"
#include "app/tracerenderer.h"
#include "db/edf/edffactscache.h"
#include "db/edf/edfreader.h"
#include "recorder/edfrecording.h"
#include "toolkit/style/stylehelper.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <edflib.h>
#include <functional>
#include <memory>

namespace
{

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

double milliseconds(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

// EDFlib alone, reading every annotation as it must to find the first one.
bool openWithAnnotations(const QString &path)
{
    auto header = std::make_unique<edf_hdr_struct>();
    if (edfopen_file_readonly(QFile::encodeName(path).constData(), header.get(), EDFLIB_READ_ALL_ANNOTATIONS)
        != 0)
        return false;
    edfclose_file(header->handle);
    return true;
}

bool write(const QString &path, int channels, int seconds)
{
    const QString failure = EdfRecording::write(path, EdfRecording::scalpLayout(channels, seconds),
        { QStringLiteral("Ivanova Maria"), QStringLiteral("A-1017"), QDate(1984, 2, 29) },
        QDateTime(QDate(2024, 3, 5), QTime(14, 25, 30)), QStringLiteral("Routine EEG"));
    if (!failure.isEmpty())
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(failure));
    return failure.isEmpty();
}

void row(const char *what, double value, const char *unit, const QString &note = QString())
{
    std::printf("  %-44s %10.3f %-3s %s\n", what, value, unit, qPrintable(note));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    StyleHelper::registerFontsAndStyles();
    StyleHelper::Instance()->selectTheme(QStringLiteral("light"));
    const int fileCount = argc > 1 ? qMax(1, atoi(argv[1])) : 40;
    const int rounds = argc > 2 ? qMax(1, atoi(argv[2])) : 15;

    QTemporaryDir folder;
    const QString shortOne = folder.filePath(QStringLiteral("short-0.edf"));
    const QString longOne = folder.filePath(QStringLiteral("long.edf"));
    QElapsedTimer writing;
    writing.start();
    if (!write(shortOne, 19, 20 * 60) || !write(longOne, 32, 2 * 3600))
        return 1;
    QStringList files { shortOne };
    for (int i = 1; i < fileCount; ++i) {
        files << folder.filePath(QStringLiteral("short-%1.edf").arg(i));
        if (!QFile::copy(shortOne, files.last()))
            return 1;
    }
    std::printf("%d files of 20 min x 19 channels (%.1f MB each), one of 2 h x 32 channels at 256 Hz "
                "(%.1f MB), written in %.1f s; %d rounds, medians\n\n",
        fileCount, QFileInfo(shortOne).size() / 1e6, QFileInfo(longOne).size() / 1e6, writing.elapsed() / 1e3,
        rounds);

    TracePreview preview;
    preview.resize(1000, 420);
    preview.show();
    const TracePalette palette = TracePalette::fromTheme();
    EdfFactsCache cache;
    QVector<double> facts, edflib, hits, longFacts, longEdflib, reading, drawing, widget;
    bool allRead = true;
    for (int round = 0; round < rounds; ++round) {
        facts << milliseconds([&] {
            for (const QString &file : qAsConst(files))
                allRead = EdfReader::readFacts(file).readable() && allRead;
        }) / fileCount;
        edflib << milliseconds([&] {
            for (const QString &file : qAsConst(files))
                allRead = openWithAnnotations(file) && allRead;
        }) / fileCount;
        for (const QString &file : qAsConst(files))
            cache.facts(file);
        hits << milliseconds([&] {
            for (const QString &file : qAsConst(files))
                cache.facts(file);
        }) / fileCount;
        longFacts << milliseconds([&] { allRead = EdfReader::readFacts(longOne).readable() && allRead; });
        longEdflib << milliseconds([&] { allRead = openWithAnnotations(longOne) && allRead; });

        EdfSamples samples;
        reading << milliseconds([&] { samples = EdfReader::readSamples(longOne, TracePreview::Seconds); });
        drawing << milliseconds([&] {
            allRead = !TraceRenderer::render(
                          samples, TracePreview::Seconds, preview.size(), 1, palette, preview.font())
                           .labels.isEmpty()
                && allRead;
        });
        preview.clear();
        QEventLoop loop;
        QObject::connect(&preview, &TracePreview::previewReady, &loop, &QEventLoop::quit);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        widget << milliseconds([&] {
            preview.setRecordingPath(longOne);
            loop.exec();
        });
        allRead = preview.state() == TracePreview::State::Shown && allRead;
    }
    if (!allRead) {
        std::fprintf(stderr, "a file was not read\n");
        return 1;
    }

    std::printf("Header facts, per file (20 min x 19 channels):\n");
    row("EdfReader::readFacts", median(facts), "ms");
    row("EDFlib with all annotations", median(edflib), "ms",
        QStringLiteral("%1 x readFacts").arg(median(edflib) / median(facts), 0, 'f', 1));
    row("EdfFactsCache, file unchanged", median(hits), "ms",
        QStringLiteral("readFacts / %1").arg(median(facts) / median(hits), 0, 'f', 1));
    std::printf("Header facts, 2 h x 32 channels:\n");
    row("EdfReader::readFacts", median(longFacts), "ms");
    row("EDFlib with all annotations", median(longEdflib), "ms",
        QStringLiteral("%1 x readFacts").arg(median(longEdflib) / median(longFacts), 0, 'f', 1));
    std::printf("Preview of the first 10 s of 2 h x 32 channels, 1000 x 420:\n");
    row("read (EdfReader::readSamples)", median(reading), "ms");
    row("draw (TraceRenderer::render)", median(drawing), "ms");
    row("read + draw", median(reading) + median(drawing), "ms",
        QStringLiteral("%1 % of the 200 ms target")
            .arg(100 * (median(reading) + median(drawing)) / 200, 0, 'f', 1));
    row("widget: setRecordingPath to previewReady", median(widget), "ms",
        QStringLiteral("%1 % of the 200 ms target").arg(100 * median(widget) / 200, 0, 'f', 1));
    return 0;
}
