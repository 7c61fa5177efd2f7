#include "app/printing/tracepage.h"

#include "app/printing/printframe.h"
#include "app/tracerenderer.h"
#include "db/edf/edfreader.h"
#include "db/edf/edfsamples.h"

#include <QAbstractTextDocumentLayout>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>
#include <cmath>
#include <memory>

namespace
{

constexpr double LabelMm = 20;
constexpr double CaptionMm = 7;
constexpr double AxisMm = 11;
// The share of the body that a conclusion may take under the traces; a
// longer one gets pages of its own.
constexpr double ConclusionShare = 0.3;

std::unique_ptr<QTextDocument> conclusionDocument(const Conclusions::Conclusion &conclusion)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(PrintFrame::font(9.5));
    document->setDocumentMargin(0);
    QTextCursor cursor(document.get());
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    if (conclusion.isEmpty()) {
        cursor.insertText(TracePage::tr("Conclusion: none written"), heading);
        return document;
    }
    cursor.insertText(TracePage::tr("Conclusion"), heading);
    QTextCharFormat note;
    note.setForeground(QColor(0x55, 0x55, 0x55));
    cursor.insertText(
        QStringLiteral(" (%1, %2)")
            .arg(conclusion.writtenBy, PrintFrame::dateTimeText(conclusion.writtenAt.toLocalTime())),
        note);
    cursor.insertBlock();
    cursor.insertText(conclusion.text, QTextCharFormat());
    return document;
}

QString secondsText(double seconds)
{
    return QLocale().toString(seconds, 'g', 6);
}

} // namespace

EdfSamples TracePage::read(const QString &path, const Options &options)
{
    return EdfReader::readSamples(path, options.start + options.seconds);
}

namespace
{

// One page's strip of traces: where it lies and which seconds it shows.
struct Strip {
    QRectF body;
    QRectF traces;
    double mm = 0;
    double from = 0;
    double to = 0;
    TracePage::Options options;

    double x(double second) const { return traces.left() + second * options.mmPerSecond * mm; }
};

void drawCaption(QPainter &painter, const Strip &strip, const EdfSamples &samples)
{
    painter.setFont(PrintFrame::font(8.5));
    QString caption
        = TracePage::tr("%1 mm/s, %2 µV/mm, %3 to %4 s")
              .arg(secondsText(strip.options.mmPerSecond), secondsText(strip.options.microvoltsPerMm),
                  secondsText(strip.from), secondsText(strip.to));
    if (samples.facts.start.isValid())
        caption = TracePage::tr("Recorded %1").arg(PrintFrame::dateTimeText(samples.facts.start))
            + QStringLiteral(";  ") + caption;
    painter.drawText(QRectF(strip.body.left(), strip.body.top(), strip.body.width(), CaptionMm * strip.mm),
        Qt::AlignLeft | Qt::AlignVCenter, caption);
}

// A light line every second under the traces.
void drawSecondLines(QPainter &painter, const Strip &strip)
{
    painter.setPen(QPen(QColor(0xCC, 0xCC, 0xCC), 0.1 * strip.mm));
    for (int second = 0; strip.from + second <= strip.to + 1e-9; ++second) {
        const double x = strip.x(second);
        painter.drawLine(QPointF(x, strip.traces.top()), QPointF(x, strip.traces.bottom()));
    }
}

void drawChannels(QPainter &painter, const Strip &strip, const EdfSamples &samples,
    const QVector<int> &channels, const QPen &pen)
{
    const double mm = strip.mm;
    const double row = strip.traces.height() / channels.size();
    painter.setFont(PrintFrame::font(7.5));
    for (int line = 0; line < channels.size(); ++line) {
        const EdfChannel &channel = samples.channels.at(channels.at(line));
        const double base = strip.traces.top() + (line + 0.5) * row;
        painter.setPen(pen);
        painter.drawText(QRectF(strip.body.left(), base - 3 * mm, (LabelMm - 1) * mm, 6 * mm),
            Qt::AlignRight | Qt::AlignVCenter, TraceRenderer::shownLabel(channel.label));
        const double factor = TraceRenderer::microvoltsPer(channel.unit) / strip.options.microvoltsPerMm * mm;
        const int first = qMax(0, int(std::floor(strip.from * channel.rate)));
        const int last = qMin(channel.values.size() - 1, int(std::ceil(strip.to * channel.rate)));
        if (last <= first || channel.rate <= 0)
            continue;
        QPolygonF points;
        points.reserve(last - first + 1);
        // Negative up, as EEG is read.
        for (int i = first; i <= last; ++i)
            points.append(
                QPointF(strip.x(i / channel.rate - strip.from), base + channel.values.at(i) * factor));
        painter.save();
        painter.setClipRect(strip.traces.adjusted(0, -row / 2, 0, row / 2));
        painter.drawPolyline(points);
        painter.restore();
    }
}

// The time axis, a tick each second counted from the recording's start, and the
// scale bar under the labels: the largest round amplitude that keeps within its 8 mm.
void drawAxisAndScale(QPainter &painter, const Strip &strip)
{
    const double mm = strip.mm;
    painter.setFont(PrintFrame::font(7.5));
    const double axis = strip.traces.bottom() + 1.5 * mm;
    painter.drawLine(QPointF(strip.traces.left(), axis), QPointF(strip.x(strip.to - strip.from), axis));
    for (int second = 0; strip.from + second <= strip.to + 1e-9; ++second) {
        const double x = strip.x(second);
        painter.drawLine(QPointF(x, axis), QPointF(x, axis + 2.5 * mm));
        painter.drawText(QRectF(x - 10 * mm, axis + 3 * mm, 20 * mm, 4 * mm), Qt::AlignHCenter | Qt::AlignTop,
            secondsText(strip.from + second) + QStringLiteral(" s"));
    }
    double barMicrovolts = 5;
    for (double value : { 500.0, 200.0, 100.0, 50.0, 20.0, 10.0 }) {
        if (value / strip.options.microvoltsPerMm <= 8) {
            barMicrovolts = value;
            break;
        }
    }
    const double bar = barMicrovolts / strip.options.microvoltsPerMm * mm;
    const double barX = strip.body.left() + 2 * mm;
    const double barTop = axis + mm;
    painter.drawLine(QPointF(barX, barTop), QPointF(barX, barTop + bar));
    painter.drawLine(QPointF(barX - mm, barTop), QPointF(barX + mm, barTop));
    painter.drawLine(QPointF(barX - mm, barTop + bar), QPointF(barX + mm, barTop + bar));
    painter.drawText(QRectF(barX + 1.5 * mm, barTop, 16 * mm, bar), Qt::AlignLeft | Qt::AlignVCenter,
        secondsText(barMicrovolts) + QString::fromUtf8(" µV"));
}

QString nothingToDraw(const EdfSamples &samples, const QVector<int> &channels, double start)
{
    if (!samples.facts.readable())
        return TracePage::tr("The recording cannot be read: %1").arg(samples.facts.problemText());
    return channels.isEmpty() ? TracePage::tr("The recording has no EEG channel to draw.")
                              : TracePage::tr("The recording ends before %1 s.").arg(secondsText(start));
}

void drawDocument(QPainter &painter, QTextDocument *document, const QPointF &at)
{
    painter.save();
    painter.translate(at);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    document->documentLayout()->draw(&painter, context);
    painter.restore();
}

} // namespace

int TracePage::print(
    QPagedPaintDevice *device, const EdfSamples &samples, const Options &options, const Content &content)
{
    const PrintFrame frame = PrintFrame::here(content.clinic, content.title);
    Strip strip;
    strip.mm = PrintFrame::pixelsPerMm(device);
    strip.body = frame.body(device);
    strip.options = options;
    const double mm = strip.mm;
    const QRectF body = strip.body;

    const QVector<int> channels = TraceRenderer::eegChannels(samples);
    const double start = qMax(0.0, options.start);
    const double end = qMin(start + qMax(0.0, options.seconds), samples.seconds);
    const double traceWidth = body.width() - (LabelMm + 2) * mm;
    // Whole seconds on each page, at least one.
    const double perPage = qMax(1.0, std::floor(traceWidth / (options.mmPerSecond * mm)));
    const int tracePages
        = channels.isEmpty() || end <= start ? 1 : int(std::ceil((end - start) / perPage - 1e-9));

    const std::unique_ptr<QTextDocument> conclusion = conclusionDocument(content.conclusion);
    conclusion->documentLayout()->setPaintDevice(device);
    conclusion->setTextWidth(body.width());
    const double conclusionHeight = conclusion->size().height();
    const bool conclusionBelow = conclusionHeight <= body.height() * ConclusionShare;
    const int conclusionPages = conclusionBelow ? 0 : frame.pageCount(conclusion.get(), device);
    const int pages = tracePages + conclusionPages;

    QPainter painter(device);
    if (!painter.isActive())
        return 0;
    painter.setRenderHint(QPainter::Antialiasing);
    const double reserve = conclusionBelow ? conclusionHeight + 3 * mm : 0;
    strip.traces = QRectF(body.left() + LabelMm * mm, body.top() + CaptionMm * mm, traceWidth,
        body.height() - (CaptionMm + AxisMm) * mm - reserve);
    const QPen black(Qt::black, 0.15 * mm);

    for (int page = 0; page < tracePages; ++page) {
        if (page > 0)
            device->newPage();
        frame.paint(&painter, device, page + 1, pages);
        strip.from = start + page * perPage;
        strip.to = qMin(strip.from + perPage, end);
        painter.setPen(black);
        drawCaption(painter, strip, samples);
        if (channels.isEmpty() || strip.to <= strip.from) {
            painter.drawText(
                strip.traces, Qt::AlignCenter | Qt::TextWordWrap, nothingToDraw(samples, channels, start));
            continue;
        }
        drawSecondLines(painter, strip);
        drawChannels(painter, strip, samples, channels, black);
        painter.setPen(black);
        drawAxisAndScale(painter, strip);
        if (conclusionBelow && page == tracePages - 1)
            drawDocument(painter, conclusion.get(), QPointF(body.left(), body.bottom() - conclusionHeight));
    }
    if (!conclusionBelow) {
        device->newPage();
        frame.paintDocument(&painter, device, conclusion.get(), tracePages + 1, pages);
    }
    return pages;
}

bool TracePage::writePdf(const QString &path, const EdfSamples &samples, const Options &options,
    const Content &content, QString *reason)
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(QCoreApplication::applicationName());
    writer.setTitle(content.title);
    PrintFrame::preparePage(&writer, true);
    if (print(&writer, samples, options, content) > 0)
        return true;
    if (reason)
        *reason = tr("The file cannot be written: %1").arg(path);
    return false;
}
