#pragma once

#include "app/tablewidget.h"
#include "toolkit/util/connectionhelper.h"

#include <QPointer>

class KestaSettings;
class Patient;
class Record;

// The main window's records table: the recordings of one patient, followed
// as that patient's records change. Its column choice and sorting live in the
// application settings (RecordsTableColumns, RecordsTableSorting). A double
// click, like the first row-menu entry, asks to open the recording ("play").
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

protected:
    QString cellText(AbstractDatabaseRow *row, const QString &column) override;

private:
    // Guarded: a table may outlive the model in tests and tools.
    QPointer<KestaSettings> settings;
    QPointer<Patient> patient;
    ConnectionHelper patientConnections;
};
