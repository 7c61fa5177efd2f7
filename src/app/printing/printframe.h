#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QFont>
#include <QRectF>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class QTextDocument;

// What frames every printed page: the clinic and the print date above with
// the page's title, the workstation and the user below with "page N of M".
// Pages are black on white whatever the screen's theme. Works on any paged
// device: a PDF file or a printer.
class PrintFrame
{
    Q_DECLARE_TR_FUNCTIONS(PrintFrame)
public:
    QString clinic;
    QString title;
    QDateTime printedAt;
    QString workstation;
    QString user;

    // This workstation and user, now.
    static PrintFrame here(const QString &clinic, const QString &title);
    // A4 with 15 mm margins.
    static void preparePage(QPagedPaintDevice *device, bool landscape);
    // The text of printed pages, in points of the device.
    static QFont font(double points, bool bold = false);
    // Dates and times in the interface language's short form, with the whole
    // year: paper outlives the century.
    static QString dateText(const QDate &date);
    static QString dateTimeText(const QDateTime &time);
    // Device pixels per millimetre.
    static double pixelsPerMm(const QPagedPaintDevice *device);

    // Where the page's content goes: the page within its margins, less the
    // header and the footer, in device pixels.
    QRectF body(const QPagedPaintDevice *device) const;
    // The header and footer of one page.
    void paint(QPainter *painter, const QPagedPaintDevice *device, int page, int pages) const;

    // The pages the document takes in the body.
    int pageCount(QTextDocument *document, QPagedPaintDevice *device) const;
    // Paints the document over pages, each framed, the first numbered
    // firstPage of pages; the device is on a new page between them. The
    // caller has begun the painter on the device and is on a fresh page.
    void paintDocument(QPainter *painter, QPagedPaintDevice *device, QTextDocument *document, int firstPage,
        int pages) const;
};
