#pragma once

#include <QImage>
#include <QStringList>
#include <QThreadPool>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <memory>

struct EdfSamples;

// A strip showing the first ten seconds of a recording, so that a clinician sees at a glance
// that the right one is selected: every EEG channel on its line with its label, a time axis, a
// scale bar and the theme's colours (TraceRenderer draws it).
//
// Reading and drawing run on a worker thread of the widget's own; a newer request supersedes
// an older one, whose result is never shown. Choosing another recording blanks the strip at
// once, so that no trace is ever seen beside the wrong recording; a resize or a theme change
// redraws from the samples already read.
class TracePreview : public QWidget
{
    Q_OBJECT
public:
    static constexpr double Seconds = 10;

    enum class State {
        Empty, // no recording
        Reading, // read or drawn on the worker
        Shown, // the traces are on screen
        Failed, // message() says why there are none
    };

    explicit TracePreview(QWidget *parent = nullptr);
    // Waits for the worker's current step; nothing it made arrives afterwards.
    ~TracePreview() override;

    // Shows the start of that recording file; an empty path clears.
    void setRecordingPath(const QString &path);
    void clear();
    QString recordingPath() const { return path; }

    State state() const { return shownState; }
    // Why nothing is drawn: the file cannot be read, or it has no EEG channel.
    QString message() const { return failure; }
    // The channels drawn, top to bottom, and the scale bar's µV between two lines.
    QStringList channelLabels() const { return labels; }
    double microvoltsPerRow() const { return scale; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    // The traces or the message for `path` are on screen (again after each redraw).
    void previewReady(const QString &path);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    using Samples = std::shared_ptr<const EdfSamples>;
    // Reads (without samples) or redraws (with them) on the worker.
    void request(Samples samples);
    // For a new size or theme.
    void redraw();
    // Tells a screen reader in words what the strip shows.
    void describe();
    void deliver(quint64 ticket, const Samples &read, const QImage &picture, const QStringList &drawn,
        double microvolts);

    QString path;
    State shownState = State::Empty;
    QString failure;
    QImage image;
    QStringList labels;
    double scale = 0;
    Samples samples;
    // Shows "Reading" only when reading takes long enough to be noticed.
    QTimer busyHint;
    bool showBusy = false;

    QThreadPool worker;
    // The newest request; a worker that finds its own ticket outdated gives up.
    std::atomic<quint64> generation { 0 };
};
