#include "app/printing/printcommands.h"

#include "app/exportcommands.h"
#include "app/printing/listpage.h"
#include "app/printing/patientpage.h"
#include "app/printing/printframe.h"
#include "app/printing/tracepage.h"
#include "app/tables/recordstable.h"
#include "db/edf/edfsamples.h"
#include "db/model/kestasettings.h"
#include "db/rows/patient.h"
#include "db/rows/record.h"
#include "toolkit/util/apphelperdialogs.h"
#include "toolkit/util/clock.h"
#include "toolkit/util/filedialog.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QMainWindow>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStatusBar>

namespace
{

constexpr int MessageMs = 10000;

// Trace options: start, length, paper speed and gain.
class TraceOptionsDialog : public QDialog
{
public:
    enum Choice { Cancelled, Print, Pdf };

    TraceOptionsDialog(double length, QWidget *parent)
        : QDialog(parent)
    {
        setWindowTitle(PrintCommands::tr("Trace page"));
        auto *form = new QFormLayout(this);
        start->setRange(0, qMax(0.0, length));
        start->setSuffix(QStringLiteral(" s"));
        seconds->setRange(1, 600);
        seconds->setValue(10);
        seconds->setSuffix(QStringLiteral(" s"));
        for (int value : { 15, 30, 60 })
            speed->addItem(QStringLiteral("%1 mm/s").arg(value), value);
        speed->setCurrentIndex(1);
        for (int value : { 3, 5, 7, 10, 15, 20, 30, 50, 70, 100 })
            gain->addItem(QString::fromUtf8("%1 µV/mm").arg(value), value);
        gain->setCurrentIndex(gain->findData(10));
        form->addRow(PrintCommands::tr("Start"), start);
        form->addRow(PrintCommands::tr("Length"), seconds);
        form->addRow(PrintCommands::tr("Paper speed"), speed);
        form->addRow(PrintCommands::tr("Sensitivity"), gain);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
        QPushButton *print = buttons->addButton(PrintCommands::tr("Print…"), QDialogButtonBox::AcceptRole);
        QPushButton *pdf
            = buttons->addButton(PrintCommands::tr("Export as PDF…"), QDialogButtonBox::AcceptRole);
        connect(print, &QPushButton::clicked, this, [this] { done(Print); });
        connect(pdf, &QPushButton::clicked, this, [this] { done(Pdf); });
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        form->addRow(buttons);
    }
    TracePage::Options options() const
    {
        TracePage::Options chosen;
        chosen.start = start->value();
        chosen.seconds = seconds->value();
        chosen.mmPerSecond = speed->currentData().toDouble();
        chosen.microvoltsPerMm = gain->currentData().toDouble();
        return chosen;
    }

private:
    QDoubleSpinBox *start = new QDoubleSpinBox;
    QDoubleSpinBox *seconds = new QDoubleSpinBox;
    QComboBox *speed = new QComboBox;
    QComboBox *gain = new QComboBox;
};

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

QString fileNamePart(const QString &text)
{
    QString name = text.trimmed();
    name.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|]")), QStringLiteral("_"));
    return name;
}

} // namespace

PrintCommands::PrintCommands(QWidget *window, Conclusions *conclusions, KestaSettings *settings,
    TableWidget *patients, RecordsTable *records, std::function<Patient *()> currentPatient)
    : QObject(window)
    , window(window)
    , conclusions(conclusions)
    , settings(settings)
    , patients(patients)
    , records(records)
    , currentPatient(std::move(currentPatient))
    , printPatientAction(new QAction(tr("Print…"), this))
    , patientPdfAction(new QAction(tr("Export as PDF…"), this))
    , listAction(new QAction(tr("Print patient list…"), this))
    , listPdf(new QAction(tr("Export patient list as PDF…"), this))
{
    printPatientAction->setObjectName(QStringLiteral("actionPrint"));
    printPatientAction->setShortcut(QKeySequence::Print);
    patientPdfAction->setObjectName(QStringLiteral("actionExportPdf"));
    listAction->setObjectName(QStringLiteral("actionPrintList"));
    listPdf->setObjectName(QStringLiteral("actionExportListPdf"));
    connect(printPatientAction, &QAction::triggered, this, &PrintCommands::printPatient);
    connect(patientPdfAction, &QAction::triggered, this, &PrintCommands::exportPatientPdf);
    connect(listAction, &QAction::triggered, this, &PrintCommands::printList);
    connect(listPdf, &QAction::triggered, this, &PrintCommands::exportListPdf);
    setPatientSelected(this->currentPatient());
    connect(patients, &TableWidget::idSelected, this, [this] { setPatientSelected(this->currentPatient()); });
    connect(records, &RecordsTable::customAction, this, [this](const QString &action, int id) {
        if (action == RecordsTable::PrintTraceAction)
            traceRecording(id);
    });
}

void PrintCommands::setPatientSelected(bool selected)
{
    printPatientAction->setEnabled(selected);
    patientPdfAction->setEnabled(selected);
}

QString PrintCommands::clinic() const
{
    return settings ? settings->getClinicName() : QString();
}

QString PrintCommands::pdfPath(const QString &caption, const QString &name)
{
    QString path = FileDialog::saveFileName(window, caption,
        documentsFolder() + QLatin1Char('/') + fileNamePart(name) + QStringLiteral(".pdf"),
        tr("PDF document (*.pdf)"));
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    return path;
}

void PrintCommands::written(const QString &path)
{
    if (auto *main = qobject_cast<QMainWindow *>(window))
        main->statusBar()->showMessage(tr("Written: %1").arg(QDir::toNativeSeparators(path)), MessageMs);
}

bool PrintCommands::preview(
    const std::function<void(QPrinter *)> &paint, bool landscape, const QString &title)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(title);
    PrintFrame::preparePage(&printer, landscape);
    QPrintPreviewDialog dialog(&printer, window);
    dialog.setWindowTitle(title);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this, paint);
    return dialog.exec() == QDialog::Accepted;
}

void PrintCommands::printPatient()
{
    Patient *patient = currentPatient();
    if (!patient)
        return;
    preview([&](QPrinter *printer) { PatientPage::print(printer, patient, conclusions, clinic()); }, false,
        PatientPage::title(patient));
}

void PrintCommands::exportPatientPdf()
{
    Patient *patient = currentPatient();
    if (!patient)
        return;
    const QString path = pdfPath(tr("Export as PDF"), patient->fullName());
    if (path.isEmpty())
        return;
    QString reason;
    if (!PatientPage::writePdf(path, patient, conclusions, clinic(), &reason)) {
        AppHelper::warningMessage(reason);
        return;
    }
    written(path);
}

void PrintCommands::printList()
{
    const QList<QStringList> rows = ExportCommands::shownRows(patients);
    preview([&](QPrinter *printer) { ListPage::print(printer, rows, tr("Patients"), clinic()); },
        ListPage::landscape(rows), tr("Patients"));
}

void PrintCommands::exportListPdf()
{
    const QString path = pdfPath(tr("Export patient list as PDF"),
        tr("patients") + Clock::today().toString(QStringLiteral("-yyyy-MM-dd")));
    if (path.isEmpty())
        return;
    QString reason;
    if (!ListPage::writePdf(path, ExportCommands::shownRows(patients), tr("Patients"), clinic(), &reason)) {
        AppHelper::warningMessage(reason);
        return;
    }
    written(path);
}

void PrintCommands::traceRecording(int id)
{
    const QString path = records->recordingPath(id);
    if (path.isEmpty())
        return;
    Record *record = records->recordById(id);
    Patient *patient = currentPatient();
    TracePage::Content content;
    content.clinic = clinic();
    content.title = patient ? PatientPage::title(patient) : QFileInfo(path).fileName();
    if (record) {
        content.title += QStringLiteral(", ") + PrintFrame::dateTimeText(record->getRecordDate())
            + QLatin1Char(' ') + record->getRecordType();
        content.conclusion = conclusions->conclusionOf(id);
    }
    TraceOptionsDialog options(3600 * 24, window);
    const int choice = options.exec();
    if (choice == TraceOptionsDialog::Cancelled)
        return;
    const TracePage::Options chosen = options.options();
    const EdfSamples samples = TracePage::read(path, chosen);
    if (choice == TraceOptionsDialog::Print) {
        preview([&](QPrinter *printer) { TracePage::print(printer, samples, chosen, content); }, true,
            content.title);
        return;
    }
    const QString pdf = pdfPath(tr("Export as PDF"), QFileInfo(path).completeBaseName());
    if (pdf.isEmpty())
        return;
    QString reason;
    if (!TracePage::writePdf(pdf, samples, chosen, content, &reason)) {
        AppHelper::warningMessage(reason);
        return;
    }
    written(pdf);
}
