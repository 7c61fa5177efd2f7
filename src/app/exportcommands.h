#pragma once

#include <QList>
#include <QObject>
#include <QStringList>

class QAction;
class QWidget;
class RecordsTable;
class TableWidget;

// Export of the tables to CSV files as they are shown: the visible columns
// in their order under their captions, the rows the filter lets through in
// the order they are sorted, each cell's text as the table shows it.
class ExportCommands : public QObject
{
    Q_OBJECT
public:
    ExportCommands(TableWidget *patients, RecordsTable *records, QWidget *window);

    // "Export patient list…", for the window's menu.
    QAction *exportPatientsAction() const { return patientsAction; }
    void exportPatients();
    // The records table's patient's records.
    void exportRecords();

    // The header captions, then every shown row.
    static QList<QStringList> shownRows(TableWidget *table);

private:
    void save(TableWidget *table, const QString &caption, const QString &suggestedName);

    TableWidget *patients;
    RecordsTable *records;
    QWidget *window;
    QAction *patientsAction;
};
