#include "app/printing/printframe.h"

#include "toolkit/settings/datefield.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/workstation.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>

namespace
{

constexpr double HeaderMm = 14;
constexpr double FooterMm = 9;

} // namespace

PrintFrame PrintFrame::here(const QString &clinic, const QString &title)
{
    PrintFrame frame;
    frame.clinic = clinic.trimmed();
    frame.title = title;
    frame.printedAt = Clock::now();
    frame.workstation = Workstation::hostName();
    frame.user = Workstation::userName();
    return frame;
}

void PrintFrame::preparePage(QPagedPaintDevice *device, bool landscape)
{
    device->setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
            QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
}

QFont PrintFrame::font(double points, bool bold)
{
    // One face for every page, with Cyrillic, wherever the program runs.
    QFont face(QStringLiteral("DejaVu Sans"));
    face.setStyleHint(QFont::SansSerif);
    face.setPointSizeF(points);
    face.setBold(bold);
    // Without ligatures a PDF's text reads back letter for letter ("fi", not one glyph).
    face.setStyleStrategy(QFont::PreferNoShaping);
    return face;
}

// The card's own forms, so that a page never shows one date two ways.
QString PrintFrame::dateText(const QDate &date)
{
    return DateField::format(date.startOfDay(), false);
}

QString PrintFrame::dateTimeText(const QDateTime &time)
{
    return DateField::format(time, true);
}

double PrintFrame::pixelsPerMm(const QPagedPaintDevice *device)
{
    return device->logicalDpiX() / 25.4;
}

QRectF PrintFrame::body(const QPagedPaintDevice *device) const
{
    const double mm = pixelsPerMm(device);
    return QRectF(0, HeaderMm * mm, device->width(), device->height() - (HeaderMm + FooterMm) * mm);
}

void PrintFrame::paint(QPainter *painter, const QPagedPaintDevice *device, int page, int pages) const
{
    const double mm = pixelsPerMm(device);
    const double width = device->width();
    const double height = device->height();
    painter->save();
    painter->setPen(QPen(Qt::black, 0.2 * mm));
    painter->setFont(font(11, true));
    const QRectF top(0, 0, width, 6 * mm);
    painter->drawText(top, Qt::AlignLeft | Qt::AlignVCenter, clinic);
    painter->setFont(font(9));
    painter->drawText(top, Qt::AlignRight | Qt::AlignVCenter, tr("Printed %1").arg(dateTimeText(printedAt)));
    painter->setFont(font(10, true));
    painter->drawText(QRectF(0, 6 * mm, width, 6 * mm), Qt::AlignLeft | Qt::AlignVCenter, title);
    painter->drawLine(QPointF(0, 12.5 * mm), QPointF(width, 12.5 * mm));

    const QRectF bottom(0, height - 6 * mm, width, 6 * mm);
    painter->drawLine(QPointF(0, bottom.top() - mm), QPointF(width, bottom.top() - mm));
    painter->setFont(font(8));
    painter->drawText(
        bottom, Qt::AlignLeft | Qt::AlignVCenter, tr("Workstation %1, user %2").arg(workstation, user));
    painter->drawText(bottom, Qt::AlignRight | Qt::AlignVCenter, tr("page %1 of %2").arg(page).arg(pages));
    painter->restore();
}

int PrintFrame::pageCount(QTextDocument *document, QPagedPaintDevice *device) const
{
    document->documentLayout()->setPaintDevice(device);
    document->setPageSize(body(device).size());
    return document->pageCount();
}

void PrintFrame::paintDocument(
    QPainter *painter, QPagedPaintDevice *device, QTextDocument *document, int firstPage, int pages) const
{
    const QRectF area = body(device);
    const int count = pageCount(document, device);
    QAbstractTextDocumentLayout::PaintContext context;
    // Black on white whatever the theme.
    context.palette.setColor(QPalette::Text, Qt::black);
    context.palette.setColor(QPalette::Link, Qt::black);
    for (int page = 0; page < count; ++page) {
        if (page > 0)
            device->newPage();
        paint(painter, device, firstPage + page, pages);
        painter->save();
        painter->translate(area.left(), area.top() - page * area.height());
        context.clip = QRectF(0, page * area.height(), area.width(), area.height());
        painter->setClipRect(context.clip);
        document->documentLayout()->draw(painter, context);
        painter->restore();
    }
}
