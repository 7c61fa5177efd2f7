#pragma once

#include "app/tables/tablewidget.h"

#include <QPointer>

class KestaSettings;
class Patient;
class QLineEdit;

// The main window's patients table. Its column choice and sorting live in the
// application settings (PatientsTableColumns, PatientsTableSorting); the first
// cell shows the patient's sex as a coloured icon. A search field above the
// grid narrows the list to the patients whose name, ID or birth date holds
// every typed word (Ctrl+F goes to it, Escape empties it); what was typed is
// never stored.
class PatientsListWidget : public TableWidget
{
    Q_OBJECT
public:
    // Without settings the table shows its first column, sorted by it, and
    // stores nothing.
    explicit PatientsListWidget(KestaSettings *settings, QWidget *parent = nullptr);

    QList<TableColumn> availableColumns() override;
    QStringList savedColumns() override;
    QString savedSorting() override;
    QIcon rowIcon(AbstractDatabaseRow *row) override;
    QString rowIconText(AbstractDatabaseRow *row) override;

    void setPatients(const QList<Patient *> &patients);
    Patient *selectedPatient() const;
    QLineEdit *searchField() const { return search; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    QString cellText(AbstractDatabaseRow *row, const QString &column) override;
    QString searchText(AbstractDatabaseRow *row) override;
    QVariant sortValue(AbstractDatabaseRow *row, const QString &column) override;

private:
    // Guarded: a table may outlive the model in tests and tools.
    QPointer<KestaSettings> settings;
    QLineEdit *search;
};
