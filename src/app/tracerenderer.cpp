#include "app/tracerenderer.h"

#include "app/recordingfactstext.h"
#include "db/edf/edfsamples.h"
#include "toolkit/style/stylehelper.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace
{

bool namedAs(const QString &label, const char *kind)
{
    return label.startsWith(QLatin1String(kind), Qt::CaseInsensitive);
}

double mean(const QVector<double> &values)
{
    double sum = 0;
    for (const double v : values)
        sum += v;
    return values.isEmpty() ? 0 : sum / values.size();
}

// The 98th percentile of the distance from the mean, in µV: a channel's amplitude that one
// artefact does not decide.
double amplitude(const QVector<double> &values, double scale)
{
    if (values.isEmpty())
        return 0;
    const double centre = mean(values);
    QVector<double> distances(values.size());
    for (int i = 0; i < values.size(); ++i)
        distances[i] = std::abs(values[i] - centre) * scale;
    const auto at = distances.begin() + int(0.98 * (distances.size() - 1));
    std::nth_element(distances.begin(), at, distances.end());
    return *at;
}

// Two points a device pixel column, the column's extremes in the order they came, so that a
// long recording at a high rate costs what the width costs and keeps its spikes.
QPolygonF trace(const QVector<double> &values, double rate, double toMicrovolts, double seconds,
    const QRectF &area, double centre, double pixelsPerMicrovolt, int columns)
{
    QPolygonF points;
    const int count = values.size();
    if (count == 0 || rate <= 0)
        return points;
    const double offset = mean(values);
    const double pixelsPerSecond = area.width() / seconds;
    // Negative up.
    const auto y = [&](double v) { return centre + (v - offset) * toMicrovolts * pixelsPerMicrovolt; };
    const double perColumn = rate * seconds / columns;
    if (perColumn <= 2) {
        points.reserve(count);
        for (int n = 0; n < count; ++n)
            points << QPointF(area.left() + n / rate * pixelsPerSecond, y(values[n]));
        return points;
    }
    points.reserve(2 * columns);
    for (int column = 0; column < columns; ++column) {
        const int first = int(column * perColumn);
        const int last = qMin(count, int((column + 1) * perColumn));
        if (first >= last)
            break;
        const auto [low, high] = std::minmax_element(values.cbegin() + first, values.cbegin() + last);
        const double x = area.left() + (column + 0.5) * area.width() / columns;
        const bool lowFirst = low < high;
        points << QPointF(x, y(lowFirst ? *low : *high)) << QPointF(x, y(lowFirst ? *high : *low));
    }
    return points;
}

QString microvoltsText(double microvolts)
{
    return TraceRenderer::tr("%1 µV").arg(microvolts, 0, 'g', 6);
}

} // namespace

TracePalette TracePalette::fromTheme()
{
    const auto color = [](const char *name, const char *fallback) {
        return StyleHelper::ThemeColor(QLatin1String(name), QColor(QLatin1String(fallback)));
    };
    return { color("--z-bg", "#FFF"), color("--z-text", "#000"), color("--z-text", "#000"),
        color("--z-sub-text", "#666"), color("--z-grid-line", "#E0E0E0"),
        color("--z-grid-sub-line", "#E9E9E9"), color("--z-grid-time", "#B9B9B9"),
        color("--z-grid-time-text", "#666666") };
}

QVector<int> TraceRenderer::eegChannels(const EdfSamples &samples)
{
    QVector<int> named;
    QVector<int> voltages;
    static const char *const OtherKinds[] = { "ECG", "EKG", "EMG", "EOG", "Resp", "SpO2", "Pleth", "Pulse",
        "Temp", "Event", "Marker", "Status", "Trigger", "Photic", "Position", "Light", "Sound", "Snore" };
    for (int i = 0; i < samples.channels.size(); ++i) {
        const EdfChannel &channel = samples.channels.at(i);
        if (namedAs(channel.label, "EEG"))
            named << i;
        else if (microvoltsPer(channel.unit) > 0
            && std::none_of(std::begin(OtherKinds), std::end(OtherKinds),
                [&](const char *kind) { return namedAs(channel.label, kind); }))
            voltages << i;
    }
    return named.isEmpty() ? voltages : named;
}

double TraceRenderer::microvoltsPer(const QString &unit)
{
    const QString u = unit.trimmed();
    if (u.isEmpty() || u.compare(QLatin1String("uV"), Qt::CaseInsensitive) == 0 || u == QStringLiteral("µV")
        || u == QStringLiteral("μV"))
        return 1;
    if (u == QLatin1String("mV"))
        return 1e3;
    if (u == QLatin1String("V"))
        return 1e6;
    if (u == QLatin1String("nV"))
        return 1e-3;
    return 0;
}

QString TraceRenderer::shownLabel(const QString &label)
{
    return namedAs(label, "EEG ") ? label.mid(4).trimmed() : label;
}

double TraceRenderer::microvoltsPerRow(const EdfSamples &samples, const QVector<int> &channels)
{
    QVector<double> amplitudes;
    for (const int i : channels) {
        const EdfChannel &channel = samples.channels.at(i);
        const double a = amplitude(channel.values, microvoltsPer(channel.unit));
        if (a > 0)
            amplitudes << a;
    }
    if (amplitudes.isEmpty())
        return 10;
    const auto middle = amplitudes.begin() + amplitudes.size() / 2;
    std::nth_element(amplitudes.begin(), middle, amplitudes.end());
    const double wanted = 1.5 * *middle;
    if (!std::isfinite(wanted))
        return 10;
    for (double decade = 1;; decade *= 10) {
        for (const double step : { 1, 2, 5 }) {
            if (step * decade >= wanted)
                return step * decade;
        }
    }
}

namespace
{

// Where the parts of a picture go, in logical pixels.
struct Layout {
    QSize size;
    double line = 0; // the height of a line of text
    double rowHeight = 0;
    QFont labelFont;
    QString scaleText;
    QRectF traces;
    double pixelsPerSecond = 0;
};

Layout layOut(const TraceRenderer::Picture &picture, const QSize &size, double seconds, const QFont &font)
{
    Layout layout;
    layout.size = size;
    const QFontMetricsF metrics(font);
    layout.line = metrics.height();
    const double top = layout.line + 4;
    const double bottom = size.height() - layout.line - 8;
    layout.rowHeight = (bottom - top) / picture.labels.size();
    // Labels shrink with their lines when many channels share a low strip.
    layout.labelFont = font;
    if (layout.rowHeight < layout.line)
        layout.labelFont.setPixelSize(
            qMax(7, int(QFontInfo(font).pixelSize() * layout.rowHeight / layout.line)));
    const QFontMetricsF labelMetrics(layout.labelFont);
    double labelWidth = 0;
    for (const QString &label : picture.labels)
        labelWidth = qMax(labelWidth, labelMetrics.horizontalAdvance(label));
    layout.scaleText = microvoltsText(picture.microvoltsPerRow);
    const double left = qMin(labelWidth + 10, size.width() / 4.0);
    const double right = size.width() - metrics.horizontalAdvance(layout.scaleText) - 16;
    layout.traces = QRectF(QPointF(left, top), QPointF(qMax(left + 1, right), bottom));
    layout.pixelsPerSecond = layout.traces.width() / seconds;
    return layout;
}

// When the recording started, how long it is and what it holds.
void drawCaption(QPainter &painter, const Layout &layout, const EdfFacts &facts, double seconds, int channels,
    const TracePalette &palette)
{
    const QFontMetricsF metrics(painter.font());
    const QRectF &traces = layout.traces;
    painter.setPen(palette.caption);
    const QString started = RecordingFactsText::startText(facts);
    const QString content = TraceRenderer::tr("%1 of %2, %n EEG channel(s), %3", nullptr, channels)
                                .arg(TraceRenderer::tr("first %1 s").arg(seconds),
                                    RecordingFactsText::duration(facts), RecordingFactsText::rate(facts));
    const double startedWidth = metrics.horizontalAdvance(started) + 16;
    painter.drawText(
        QRectF(traces.left(), 0, traces.width(), layout.line + 2), Qt::AlignLeft | Qt::AlignVCenter, started);
    painter.drawText(QRectF(traces.left() + startedWidth, 0, traces.width() - startedWidth, layout.line + 2),
        Qt::AlignRight | Qt::AlignVCenter,
        metrics.elidedText(content, Qt::ElideRight, traces.width() - startedWidth));
}

// Every second, and every fifth of one where there is room.
void drawGrid(QPainter &painter, const Layout &layout, double seconds, const TracePalette &palette)
{
    const bool fifths = layout.pixelsPerSecond / 5 >= 6;
    for (int step = 0; step <= seconds * 5; ++step) {
        if (step % 5 != 0 && !fifths)
            continue;
        painter.setPen(step % 5 == 0 ? palette.grid : palette.subGrid);
        const double x = layout.traces.left() + step * layout.pixelsPerSecond / 5;
        painter.drawLine(QPointF(x, layout.traces.top()), QPointF(x, layout.traces.bottom()));
    }
}

// Labelled as often as the labels fit.
void drawTimeAxis(QPainter &painter, const Layout &layout, double seconds, const TracePalette &palette)
{
    const QFontMetricsF metrics(painter.font());
    const QRectF &traces = layout.traces;
    painter.setPen(palette.axis);
    painter.drawLine(traces.bottomLeft(), traces.bottomRight());
    const double labelRoom = metrics.horizontalAdvance(QStringLiteral("00 s")) + 8;
    int every = 1;
    for (const int candidate : { 1, 2, 5, 10 }) {
        every = candidate;
        if (candidate * layout.pixelsPerSecond >= labelRoom)
            break;
    }
    for (int second = 0; second <= seconds; ++second) {
        const double x = traces.left() + second * layout.pixelsPerSecond;
        painter.setPen(palette.axis);
        painter.drawLine(QPointF(x, traces.bottom()), QPointF(x, traces.bottom() + 4));
        if (second % every != 0)
            continue;
        painter.setPen(palette.axisText);
        const QString text = TraceRenderer::tr("%1 s").arg(second);
        const double width = metrics.horizontalAdvance(text);
        const double left = qBound(0.0, x - width / 2, layout.size.width() - width);
        painter.drawText(QRectF(left, traces.bottom() + 4, width, layout.line), Qt::AlignCenter, text);
    }
}

// Labels at the left, traces clipped to their area.
void drawLines(QPainter &painter, const Layout &layout, const EdfSamples &samples, const QVector<int> &channels,
    const TraceRenderer::Picture &picture, double seconds, qreal pixelRatio, const TracePalette &palette)
{
    const QRectF &traces = layout.traces;
    const double pixelsPerMicrovolt = layout.rowHeight / picture.microvoltsPerRow;
    const QFont font = painter.font();
    painter.setFont(layout.labelFont);
    painter.setPen(palette.label);
    for (int row = 0; row < channels.size(); ++row) {
        const QRectF box(0, traces.top() + row * layout.rowHeight, traces.left() - 6, layout.rowHeight);
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter | Qt::TextDontClip, picture.labels.at(row));
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(traces);
    painter.setPen(QPen(palette.trace, 1));
    const int columns = qMax(1, int(traces.width() * pixelRatio));
    for (int row = 0; row < channels.size(); ++row) {
        const EdfChannel &channel = samples.channels.at(channels.at(row));
        const double scale = TraceRenderer::microvoltsPer(channel.unit);
        painter.drawPolyline(trace(channel.values, channel.rate, scale, seconds, traces,
            traces.top() + (row + 0.5) * layout.rowHeight, pixelsPerMicrovolt, columns));
    }
    painter.setClipping(false);
    painter.setFont(font);
}

// At the right: the height of one line, in µV.
void drawScaleBar(QPainter &painter, const Layout &layout, const TracePalette &palette)
{
    const double barX = layout.traces.right() + 8;
    const double barBottom = layout.traces.bottom() - 2;
    painter.setPen(QPen(palette.trace, 2));
    painter.drawLine(QPointF(barX, barBottom), QPointF(barX, barBottom - layout.rowHeight));
    painter.setPen(palette.caption);
    painter.drawText(
        QRectF(barX + 5, barBottom - layout.rowHeight, layout.size.width() - barX - 5, layout.rowHeight),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, layout.scaleText);
}

} // namespace

TraceRenderer::Picture TraceRenderer::render(const EdfSamples &samples, double seconds, const QSize &size,
    qreal pixelRatio, const TracePalette &palette, const QFont &font)
{
    Picture picture;
    const QSize logical = size.expandedTo(QSize(1, 1));
    picture.image = QImage(logical * pixelRatio, QImage::Format_ARGB32_Premultiplied);
    picture.image.setDevicePixelRatio(pixelRatio);
    picture.image.fill(palette.background);
    const QVector<int> channels = eegChannels(samples);
    if (channels.isEmpty() || seconds <= 0)
        return picture;
    for (const int i : channels)
        picture.labels << TraceRenderer::shownLabel(samples.channels.at(i).label);
    picture.microvoltsPerRow = microvoltsPerRow(samples, channels);

    const Layout layout = layOut(picture, logical, seconds, font);
    picture.traces = layout.traces;
    QPainter painter(&picture.image);
    painter.setFont(font);
    drawCaption(painter, layout, samples.facts, seconds, channels.size(), palette);
    drawGrid(painter, layout, seconds, palette);
    drawTimeAxis(painter, layout, seconds, palette);
    drawLines(painter, layout, samples, channels, picture, seconds, pixelRatio, palette);
    drawScaleBar(painter, layout, palette);
    return picture;
}
