#pragma once

#include "db/rows/conclusions.h"

#include <QCoreApplication>
#include <QString>

struct EdfSamples;
class QPagedPaintDevice;

// A recording on paper at clinical scale: every EEG channel labelled on its
// line, a time axis in seconds with a tick each second, a scale bar, and the
// conclusion under it. Drawn as lines in the device's own units, so that the
// scale is true on paper: at 30 mm/s a second is 30 mm. What does not fit one
// landscape page continues on the next.
class TracePage
{
    Q_DECLARE_TR_FUNCTIONS(TracePage)
public:
    struct Options {
        // Seconds from the recording's start.
        double start = 0;
        double seconds = 10;
        double mmPerSecond = 30;
        double microvoltsPerMm = 10;
    };

    // What the page is of: the title above (patient and recording) and the
    // recording's conclusion below.
    struct Content {
        QString title;
        QString clinic;
        Conclusions::Conclusion conclusion;
    };

    // Reads what the options ask of the recording file; the samples start at
    // the file's start.
    static EdfSamples read(const QString &path, const Options &options);
    // The pages, framed; samples without an EEG channel print why instead of
    // traces. The number of pages, 0 when the device cannot be painted on.
    static int print(
        QPagedPaintDevice *device, const EdfSamples &samples, const Options &options, const Content &content);
    static bool writePdf(const QString &path, const EdfSamples &samples, const Options &options,
        const Content &content, QString *reason = nullptr);
};
