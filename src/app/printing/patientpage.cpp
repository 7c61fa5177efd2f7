#include "app/printing/patientpage.h"

#include "app/printing/pagedtable.h"
#include "app/printing/printframe.h"
#include "app/recordingfactstext.h"
#include "db/edf/edfreader.h"
#include "db/recordings/recordingfiles.h"
#include "db/rows/conclusions.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"

#include <QAbstractTextDocumentLayout>
#include <QFileInfo>
#include <QLocale>
#include <QMetaProperty>
#include <QPainter>
#include <QPdfWriter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <algorithm>

namespace
{

QString generic(const char *text)
{
    return QCoreApplication::translate("Generic", text);
}

// A number's unit as the card shows it: " cm" is translated, "!-°C" taken as it stands.
QString suffixText(const QString &suffix)
{
    if (suffix.startsWith(QLatin1String("!-")))
        return suffix.mid(2);
    if (suffix.startsWith(QLatin1Char(' ')))
        return QLatin1Char(' ') + QCoreApplication::translate("Generic", suffix.mid(1).toUtf8().constData());
    return QCoreApplication::translate("Generic", suffix.toUtf8().constData());
}

QString classInfo(const QMetaObject *meta, const QString &name)
{
    const int index = meta->indexOfClassInfo(name.toLatin1().constData());
    return index < 0 ? QString() : QString::fromUtf8(meta->classInfo(index).value());
}

// The field's value as the card shows it; empty for a field not filled in.
QString fieldText(Patient *patient, const QMetaProperty &property)
{
    const QVariant value = property.read(patient);
    if (property.isEnumType()) {
        const QMetaEnum meta = property.enumerator();
        const char *key = meta.valueToKey(value.toInt());
        if (!key || QByteArray(key).endsWith("_Unspecified"))
            return QString();
        return QCoreApplication::translate(meta.name(), key);
    }
    switch (value.userType()) {
    case QMetaType::QDate:
        return value.toDate().isValid() ? PrintFrame::dateText(value.toDate()) : QString();
    case QMetaType::QDateTime:
        return value.toDateTime().isValid() ? PrintFrame::dateTimeText(value.toDateTime()) : QString();
    case QMetaType::Double:
        return value.toDouble() > 0 ? QLocale().toString(value.toDouble())
                + suffixText(classInfo(
                    patient->metaObject(), QString::fromLatin1(property.name()) + QStringLiteral("Suffix")))
                                    : QString();
    default:
        return value.toString().trimmed();
    }
}

QTextTableFormat tableFormat(double border)
{
    QTextTableFormat format;
    format.setBorder(border);
    format.setBorderStyle(
        border > 0 ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
    format.setBorderBrush(Qt::gray);
    format.setCellSpacing(0);
    format.setCellPadding(3);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    return format;
}

void addCard(QTextCursor &cursor, Patient *patient)
{
    QList<QPair<QString, QString>> fields;
    const QMetaObject *meta = patient->metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        const QString name = QString::fromLatin1(property.name());
        if (classInfo(meta, name + QStringLiteral("NotVisible")) == QLatin1String("true"))
            continue;
        const QString text = fieldText(patient, property);
        if (text.isEmpty())
            continue;
        fields.append({ generic(property.name()), text });
        if (name == QLatin1String("DOB") && patient->age() >= 0)
            fields.append({ generic("Age"), QString::number(int(patient->age())) });
    }
    if (fields.isEmpty())
        return;
    QTextTableFormat format = tableFormat(0);
    format.setColumnWidthConstraints(
        { QTextLength(QTextLength::PercentageLength, 28), QTextLength(QTextLength::PercentageLength, 72) });
    QTextTable *card = cursor.insertTable(fields.size(), 2, format);
    QTextCharFormat label;
    label.setForeground(QColor(0x55, 0x55, 0x55));
    for (int row = 0; row < fields.size(); ++row) {
        card->cellAt(row, 0).firstCursorPosition().insertText(fields.at(row).first, label);
        card->cellAt(row, 1).firstCursorPosition().insertText(fields.at(row).second);
    }
    cursor.movePosition(QTextCursor::End);
}

// The recordings, newest first as the records table shows them, each with
// its conclusion under it.
void addRecordings(PagedTable &table, Patient *patient, Conclusions *conclusions)
{
    QList<Record *> records = patient->records();
    std::stable_sort(records.begin(), records.end(),
        [](Record *a, Record *b) { return a->getRecordDate() > b->getRecordDate(); });
    const QString folder = patient->folderName();
    for (Record *record : qAsConst(records)) {
        const QString path = RecordingFiles::recordPath(folder, record->getFileName());
        QStringList cells { PrintFrame::dateTimeText(record->getRecordDate()), record->getRecordType(),
            QString(), QString(), record->getComments() };
        // A file not found is no reason to stop: it reads "missing".
        const bool present = !path.isEmpty() && QFileInfo(path).isFile();
        if (present) {
            const EdfFacts facts = EdfReader::readFacts(path);
            cells[2] = RecordingFactsText::duration(facts);
            cells[3] = facts.readable() ? QString::number(facts.signalCount) : QString();
        } else {
            cells[2] = PatientPage::tr("missing");
        }
        table.addRow(cells, present ? -1 : 2);
        const Conclusions::Conclusion conclusion
            = conclusions ? conclusions->conclusionOf(record->getId()) : Conclusions::Conclusion();
        if (!conclusion.isEmpty()) {
            table.addSpanningRow(
                PatientPage::tr("Conclusion (%1, %2):")
                    .arg(conclusion.writtenBy, PrintFrame::dateTimeText(conclusion.writtenAt.toLocalTime())),
                conclusion.text);
        }
    }
}

} // namespace

QString PatientPage::title(Patient *patient)
{
    const QString id = patient->getPatientID().trimmed();
    return id.isEmpty() ? patient->fullName()
                        : patient->fullName() + QStringLiteral(" (") + id + QLatin1Char(')');
}

std::unique_ptr<QTextDocument> PatientPage::document(Patient *patient)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(PrintFrame::font(9.5));
    document->setDocumentMargin(0);
    QTextCursor cursor(document.get());
    addCard(cursor, patient);
    QTextCharFormat heading;
    heading.setFontWeight(QFont::Bold);
    heading.setFontPointSize(11);
    QTextBlockFormat spaced;
    spaced.setTopMargin(12);
    spaced.setBottomMargin(4);
    cursor.insertBlock(spaced);
    cursor.insertText(tr("Recordings"), heading);
    if (patient->records().isEmpty()) {
        cursor.insertBlock();
        cursor.insertText(tr("No recordings"));
    }
    return document;
}

int PatientPage::print(
    QPagedPaintDevice *device, Patient *patient, Conclusions *conclusions, const QString &clinic)
{
    const PrintFrame frame = PrintFrame::here(clinic, title(patient));
    const QRectF body = frame.body(device);
    const std::unique_ptr<QTextDocument> card = document(patient);
    card->documentLayout()->setPaintDevice(device);
    card->setTextWidth(body.width());
    PagedTable table({ generic("RecordDate"), generic("RecordType"), generic("Duration"), generic("Channels"),
                         generic("Comments") },
        { 0.24, 0.10, 0.14, 0.14, 0.38 });
    addRecordings(table, patient, conclusions);
    const int pages = table.isEmpty() ? 1 : table.layout(device, body.size(), card->size().height());
    QPainter painter(device);
    if (!painter.isActive())
        return 0;
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            device->newPage();
        frame.paint(&painter, device, page + 1, pages);
        if (page == 0) {
            painter.save();
            painter.translate(body.topLeft());
            QAbstractTextDocumentLayout::PaintContext context;
            context.palette.setColor(QPalette::Text, Qt::black);
            card->documentLayout()->draw(&painter, context);
            painter.restore();
        }
        table.paintPage(&painter, page, body);
    }
    return pages;
}

bool PatientPage::writePdf(
    const QString &path, Patient *patient, Conclusions *conclusions, const QString &clinic, QString *reason)
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(QCoreApplication::applicationName());
    writer.setTitle(title(patient));
    PrintFrame::preparePage(&writer, false);
    // The writer says nothing of a file it could not write; its painter does not begin.
    if (print(&writer, patient, conclusions, clinic) > 0)
        return true;
    if (reason)
        *reason = tr("The file cannot be written: %1").arg(path);
    return false;
}
