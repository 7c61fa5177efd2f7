#pragma once

#include <QObject>
#include <functional>

class Conclusions;
class KestaSettings;
class Patient;
class QAction;
class QMenu;
class QPrinter;
class QWidget;
class RecordsTable;
class TableWidget;

// Printing from the window: the selected patient's page (File > Print…,
// Ctrl+P, and Export as PDF…), the patient list as shown, and a recording's
// trace page from its row menu. Printing shows a preview first; a PDF needs
// no printer.
class PrintCommands : public QObject
{
    Q_OBJECT
public:
    PrintCommands(QWidget *window, Conclusions *conclusions, KestaSettings *settings, TableWidget *patients,
        RecordsTable *records, std::function<Patient *()> currentPatient);

    // The File menu's entries, inserted before `before`.
    void addTo(QMenu *file, QAction *before);
    // The patient's entries are on while a patient is selected.
    void setPatientSelected(bool selected);

    QAction *printAction() const { return printPatientAction; }
    QAction *pdfAction() const { return patientPdfAction; }
    QAction *printListAction() const { return listAction; }
    QAction *listPdfAction() const { return listPdf; }

    void printPatient();
    void exportPatientPdf();
    void printList();
    void exportListPdf();
    // The trace page of the records table's row: its options, then a preview or a PDF.
    void traceRecording(int id);

private:
    QString clinic() const;
    QString pdfPath(const QString &caption, const QString &name);
    void written(const QString &path);
    bool preview(const std::function<void(QPrinter *)> &paint, bool landscape, const QString &title);

    QWidget *window;
    Conclusions *conclusions;
    KestaSettings *settings;
    TableWidget *patients;
    RecordsTable *records;
    std::function<Patient *()> currentPatient;
    QAction *printPatientAction;
    QAction *patientPdfAction;
    QAction *listAction;
    QAction *listPdf;
};
