#pragma once

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QStringList>
#include <QVector>

struct EdfSamples;

// The theme colours of a trace picture, taken on the GUI thread and handed to the renderer.
struct TracePalette {
    QColor background;
    QColor trace;
    QColor label;
    QColor caption;
    QColor grid;
    QColor subGrid;
    QColor axis;
    QColor axisText;

    // The current theme's "--z-..." colours.
    static TracePalette fromTheme();
};

// Draws the start of a recording as an EEG strip: every EEG channel on a line of its own with
// its label, one amplitude scale for all (negative up, as EEG is read), a time axis in
// seconds, a scale bar in µV and a caption with the start, length and channels. Needs no GUI
// thread: meant for workers.
class TraceRenderer
{
    Q_DECLARE_TR_FUNCTIONS(TraceRenderer)
public:
    struct Picture {
        QImage image;
        // The channels drawn, top to bottom, as labelled; empty when there was none to draw.
        QStringList labels;
        // The scale bar: µV between two neighbouring lines.
        double microvoltsPerRow = 0;
        // Where the traces are, in logical pixels.
        QRectF traces;
    };

    // The channels to draw: those whose label names them EEG ("EEG Fp1-A1"); in a file that
    // names no channel so, every channel measured in volts that no label names as another kind
    // (ECG, EMG, EOG, respiration ...).
    static QVector<int> eegChannels(const EdfSamples &samples);

    // Microvolts in one unit of a voltage signal; 0 for other units. A signal without a unit
    // is taken as microvolts, as EEG nearly always is.
    static double microvoltsPer(const QString &unit);
    // "EEG Fp1-A1" reads as "Fp1-A1" on a strip of EEG.
    static QString shownLabel(const QString &label);

    // One scale for all lines: a 1-2-5 step at or above 1.5 times the typical channel's
    // amplitude (its 98th percentile about the mean), so that most waves keep to their line.
    static double microvoltsPerRow(const EdfSamples &samples, const QVector<int> &channels);

    // The first `seconds` of the samples over a picture of `size` logical pixels.
    static Picture render(const EdfSamples &samples, double seconds, const QSize &size, qreal pixelRatio,
        const TracePalette &palette, const QFont &font);
};
