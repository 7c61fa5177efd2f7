#include "app/tracepreview.h"

#include "app/tracerenderer.h"
#include "db/edf/edfreader.h"
#include "toolkit/style/stylehelper.h"

#include <QAccessible>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>

namespace
{

// Long enough that a quick read shows no flash of text, short enough to say something is
// happening on a slow disk.
constexpr int BusyHintMs = 300;

} // namespace

TracePreview::TracePreview(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("tracePreview"));
    setAccessibleName(tr("Recording preview"));
    describe();
    worker.setMaxThreadCount(1);
    busyHint.setSingleShot(true);
    busyHint.setInterval(BusyHintMs);
    connect(&busyHint, &QTimer::timeout, this, [this] {
        showBusy = true;
        update();
    });
    connect(StyleHelper::Instance(), &StyleHelper::changed, this, [this] {
        redraw();
        update();
    });
}

TracePreview::~TracePreview()
{
    ++generation;
    worker.clear();
    worker.waitForDone();
}

void TracePreview::setRecordingPath(const QString &recording)
{
    if (recording.isEmpty()) {
        clear();
        return;
    }
    // The same recording again (a table refresh) keeps its picture until the new one is there.
    if (recording != path) {
        path = recording;
        image = QImage();
        labels.clear();
        scale = 0;
        failure.clear();
        showBusy = false;
        busyHint.start();
    }
    samples.reset();
    shownState = State::Reading;
    request(nullptr);
    describe();
    update();
}

void TracePreview::clear()
{
    ++generation;
    worker.clear();
    path.clear();
    shownState = State::Empty;
    image = QImage();
    labels.clear();
    scale = 0;
    failure.clear();
    samples.reset();
    busyHint.stop();
    describe();
    update();
}

void TracePreview::request(Samples read)
{
    const quint64 ticket = ++generation;
    worker.clear();
    const QString file = path;
    const QSize size = this->size();
    const qreal ratio = devicePixelRatioF();
    const TracePalette palette = TracePalette::fromTheme();
    const QFont font = this->font();
    worker.start([=] {
        if (generation != ticket)
            return;
        const Samples data
            = read ? read : std::make_shared<const EdfSamples>(EdfReader::readSamples(file, Seconds));
        if (generation != ticket)
            return;
        TraceRenderer::Picture picture;
        if (data->facts.readable())
            picture = TraceRenderer::render(*data, Seconds, size, ratio, palette, font);
        QMetaObject::invokeMethod(
            this, [=] { deliver(ticket, data, picture.image, picture.labels, picture.microvoltsPerRow); },
            Qt::QueuedConnection);
    });
}

void TracePreview::deliver(
    quint64 ticket, const Samples &read, const QImage &picture, const QStringList &drawn, double microvolts)
{
    if (ticket != generation)
        return;
    busyHint.stop();
    showBusy = false;
    samples = read;
    labels = drawn;
    scale = microvolts;
    if (!read->facts.readable()) {
        shownState = State::Failed;
        failure = tr("This recording cannot be shown. %1").arg(read->facts.problemText());
        image = QImage();
    } else if (drawn.isEmpty()) {
        shownState = State::Failed;
        failure = tr("This recording has no EEG channels to show.");
        image = QImage();
    } else {
        shownState = State::Shown;
        failure.clear();
        image = picture;
    }
    describe();
    update();
    emit previewReady(path);
}

void TracePreview::describe()
{
    const QString file = QFileInfo(path).fileName();
    QString text;
    switch (shownState) {
    case State::Empty:
        text = tr("No recording selected");
        break;
    case State::Reading:
        text = tr("Reading %1").arg(file);
        break;
    case State::Failed:
        text = file + QStringLiteral(": ") + failure;
        break;
    case State::Shown:
        text = tr("%1: %2 s of %3 channels: %4")
                   .arg(file)
                   .arg(QLocale().toString(qMin(Seconds, samples ? samples->seconds : Seconds), 'g', 3))
                   .arg(labels.size())
                   .arg(labels.join(QStringLiteral(", ")));
        break;
    }
    if (text == accessibleDescription())
        return;
    setAccessibleDescription(text);
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

QSize TracePreview::sizeHint() const
{
    return QSize(800, 360);
}

QSize TracePreview::minimumSizeHint() const
{
    return QSize(240, 180);
}

void TracePreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), StyleHelper::ThemeColor(QStringLiteral("--z-bg"), Qt::white));
    if (!image.isNull()) {
        // A redraw for a new size or theme is on its way; until then the old one, stretched.
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect(), image);
        return;
    }
    QString text;
    if (shownState == State::Failed)
        text = failure;
    else if (shownState == State::Empty)
        text = tr("Select a recording to see its first %1 seconds.").arg(Seconds);
    else if (showBusy)
        text = tr("Reading the recording…");
    painter.setPen(StyleHelper::ThemeColor(QStringLiteral("--z-sub-text"), Qt::darkGray));
    painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::AlignCenter | Qt::TextWordWrap, text);
}

void TracePreview::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    redraw();
}

void TracePreview::redraw()
{
    // A read under way draws at the size and in the colours it was given: it starts again.
    if (samples)
        request(samples);
    else if (shownState == State::Reading)
        request(nullptr);
}
