#pragma once

#include <QCoreApplication>
#include <QString>
#include <memory>

class Conclusions;
class Patient;
class QPagedPaintDevice;
class QTextDocument;

// A patient's page on paper: the card (every filled field under its card
// label, the age from the birth date), then the recordings with their
// conclusions, the table's header repeated on each page. A recording whose
// file is not found prints as "missing"; nothing stops the print.
class PatientPage
{
    Q_DECLARE_TR_FUNCTIONS(PatientPage)
public:
    // The card and the recordings' heading; the recordings follow as a table.
    static std::unique_ptr<QTextDocument> document(Patient *patient);
    // Prints it framed over as many pages as it takes; the number of pages,
    // 0 when the device cannot be painted on.
    static int print(
        QPagedPaintDevice *device, Patient *patient, Conclusions *conclusions, const QString &clinic);
    // The same into a PDF file; false with the reason when it cannot be written.
    static bool writePdf(const QString &path, Patient *patient, Conclusions *conclusions,
        const QString &clinic, QString *reason = nullptr);
    static QString title(Patient *patient);
};
