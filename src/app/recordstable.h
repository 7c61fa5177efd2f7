#pragma once

#include "app/tablewidget.h"
#include "toolkit/util/connectionhelper.h"

#include <QPointer>

class KestaSettings;
class Patient;
class Record;
class RecordingFacts;

// The main window's records table: the recordings of one patient, followed
// as that patient's records change. What lies on disk (whether a recording
// exists, its folder's size) is found in the background: the rows show at
// once and their cells fill in as the facts arrive. Its column choice and sorting live in the
// application settings (RecordsTableColumns, RecordsTableSorting); until the
// user sorts, the newest recording comes first. A double click, like the
// first row-menu entry, asks to open the recording ("play").
class RecordsTable : public TableWidget
{
    Q_OBJECT
public:
    // Without settings the table shows the date column alone and stores nothing.
    explicit RecordsTable(KestaSettings *settings, QWidget *parent = nullptr);

    QList<TableColumn> availableColumns() override;
    QStringList savedColumns() override;
    QString savedSorting() override;
    QString doubleClickAction() override;
    QIcon rowIcon(AbstractDatabaseRow *row) override;

    // Shows this patient's records (none for null) and follows its changes
    // from now on, and no other patient's.
    void setPatient(Patient *patient);
    Patient *getPatient() const;
    void refreshRecords();
    Record *recordById(int id) const;
    // Where the recordings' facts are found; the table's own.
    RecordingFacts *facts() const { return recordingFacts; }

protected:
    QString cellText(AbstractDatabaseRow *row, const QString &column) override;
    QVariant sortValue(AbstractDatabaseRow *row, const QString &column) override;

private:
    void askForFacts();
    void takeFacts(const QStringList &keys);
    void appendRecord(Record *record);

    RecordingFacts *recordingFacts = nullptr;
    // Guarded: a table may outlive the model in tests and tools.
    QPointer<KestaSettings> settings;
    QPointer<Patient> patient;
    ConnectionHelper patientConnections;
};
