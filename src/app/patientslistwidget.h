#pragma once

#include "app/tablewidget.h"

class Patient;

// The main window's patients table. Its column choice and sorting live in the
// application settings (PatientsTableColumns, PatientsTableSorting); the first
// cell shows the patient's sex as a coloured icon.
class PatientsListWidget : public TableWidget
{
    Q_OBJECT
public:
    explicit PatientsListWidget(QWidget *parent = nullptr);

    QList<TableColumn> availableColumns() override;
    QStringList savedColumns() override;
    QString savedSorting() override;
    QIcon rowIcon(AbstractDatabaseRow *row) override;

    void setPatients(const QList<Patient *> &patients);
    Patient *selectedPatient() const;
};
