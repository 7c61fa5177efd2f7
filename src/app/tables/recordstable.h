#pragma once

#include "app/tables/tablewidget.h"
#include "toolkit/util/connectionhelper.h"

#include <QHash>
#include <QMultiHash>
#include <QPointer>
#include <memory>
#include <vector>

class KestaSettings;
class Patient;
class Record;
class RecordingFacts;

// The main window's records table: the recordings of one patient, followed
// as that patient's records change. What lies on disk (whether a recording
// exists, its folder's size, what its header says) is found in the
// background: the rows show at once and their cells fill in as the facts
// arrive. Recording files in the patient's folder that no record lists show
// greyed, marked "Not registered", until they are registered ("register",
// "registerAll"). Its column choice and sorting live in the application
// settings (RecordsTableColumns, RecordsTableSorting); until the user sorts,
// the newest recording comes first. A double click, like the first row-menu
// entry, asks to open the recording ("play").
class Conclusions;

class RecordsTable : public TableWidget
{
    Q_OBJECT
public:
    // Found files take ids from here up, which no record of a database takes.
    static constexpr int FoundFileIds = 2000000000;
    // The row menu's key of the trace page.
    static const QString PrintTraceAction;

    // Without settings the table shows the date column alone and stores nothing.
    explicit RecordsTable(KestaSettings *settings, QWidget *parent = nullptr);
    ~RecordsTable() override;

    QList<TableColumn> availableColumns() override;
    QStringList savedColumns() override;
    QString savedSorting() override;
    QString doubleClickAction() override;
    QIcon rowIcon(AbstractDatabaseRow *row) override;
    QString rowIconText(AbstractDatabaseRow *row) override;
    bool rowActionAllowed(const QString &action, int id) override;

    // The conclusions the rows' tool tips show.
    void setConclusions(Conclusions *shown);

    // Shows this patient's records (none for null) and follows its changes
    // from now on, and no other patient's.
    void setPatient(Patient *patient);
    Patient *getPatient() const;
    void refreshRecords();
    // The patient's record of this id; null for a found file.
    Record *recordById(int id) const;
    // A file found in the patient's folder that no record lists, as the record
    // registering it would hold it (not stored); null for a record.
    Record *foundFileById(int id) const;
    QList<Record *> foundFiles() const;
    // The recording file of the row of this id, a record's or a found one.
    QString recordingPath(int id) const;
    // Where the recordings' facts are found; the table's own.
    RecordingFacts *facts() const { return recordingFacts; }

protected:
    QString cellText(AbstractDatabaseRow *row, const QString &column) override;
    QVariant sortValue(AbstractDatabaseRow *row, const QString &column) override;
    QString rowToolTip(AbstractDatabaseRow *row) override;
    bool rowDimmed(AbstractDatabaseRow *row) override;

private:
    bool isFound(AbstractDatabaseRow *row) const;
    void keep(AbstractDatabaseRow *row);
    void askForFacts();
    void takeFacts(const QStringList &keys);
    void takeFoundFiles();
    void appendRecord(Record *record);
    QList<AbstractDatabaseRow *> shownRows() const;
    void showRows();

    RecordingFacts *recordingFacts = nullptr;
    QPointer<Conclusions> conclusions;
    // Guarded: a table may outlive the model in tests and tools.
    QPointer<KestaSettings> settings;
    QPointer<Patient> patient;
    // The patient's folder name as the rows were shown, for their facts' keys.
    QString folderName;
    ConnectionHelper patientConnections;
    // The rows by the key of their facts.
    QMultiHash<QString, AbstractDatabaseRow *> rowsByKey;
    QHash<const AbstractDatabaseRow *, QString> rowKeys;
    std::vector<std::unique_ptr<Record>> found;
};
