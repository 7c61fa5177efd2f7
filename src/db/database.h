#pragma once

#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <memory>

class AbstractDatabaseRow;
class Patient;
class QDateTime;
class QSqlDatabase;
class QSqlQuery;
class QVariant;
class Record;
class SqlDialect;

// Every statement the program runs is logged here, at debug level, before it
// runs. Off unless enabled ("kesta.db.sql.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcSql)

// The program's one connection to the patient database and the rules by which
// values become SQL text. All SQL is built as text from the fixed shapes below
// and run once; failures are written to the debug output and reported by
// return values.
class Database : public QObject
{
    Q_OBJECT
public:
    static constexpr int FirstId = 100;

    // Opens the database file with the platform's backend (SqlDialect).
    explicit Database(const QString &filePath, QObject *parent = nullptr);
    Database(const QString &filePath, std::unique_ptr<SqlDialect> dialect, QObject *parent = nullptr);
    ~Database() override;

    // The connection, opened on the spot if it is not open (the file may have
    // been created since the constructor ran).
    QSqlDatabase database() const;
    const SqlDialect &dialect() const;

    // Reads the patient list afresh (every patient's columns and records) and
    // emits patientsChanged, also when the read fails. The replaced patients
    // are deleted once views have taken the new list.
    void reloadPatients();
    QList<Patient *> patients() const { return patientList; }
    // Null for ids below 1.
    Patient *patientById(int autoId) const;
    // The first patient with exactly this PatientID.
    Patient *patientByPatientId(const QString &patientId) const;
    // Stores a new row with the patient's values; the object itself stays
    // unstored. Returns the new AutoID, or -1 (nothing reloaded).
    int insertPatient(Patient *patient);
    // Stores a new record of the patient and reloads its records. Returns the
    // new RecordID, -1 on failure, 0 without a patient.
    int insertRecord(Patient *patient, const QDateTime &recordDate, const QString &fileName,
        const QString &recordType, const QString &comments);
    // Removes the patient's records (files, then rows), then its row, then
    // reloads, also when a delete fails.
    void removePatient(Patient *patient);
    // A stored record, owned by the caller.
    Record *loadRecord(int recordId);

    // Highest id in the table, 0 when it is empty, -1 when the query fails.
    int lastId(const QString &table, const QString &idColumn);
    // The id for a new row: the highest id plus one, FirstId for an empty table
    // or a failed query.
    int newId(const QString &table, const QString &idColumn);

    // Runs one statement on query (made on database()); true when it executed.
    // Every statement of the program goes through here.
    bool exec(QSqlQuery &query, const QString &statement) const;

    // The Access date literal, 'dd/MM/yyyy hh:mm:ss', or NULL for an invalid date.
    static QString sqlDateTime(const QVariant &value);
    // The text between single quotes, each quote inside doubled.
    static QString quoted(const QString &text);

    // The statement shapes; a valueText is already SQL (quoted when text).
    static QString highestIdStatement(const QString &table, const QString &idColumn);
    static QString patientIdsStatement();
    static QString insertStatement(
        const QString &table, const QStringList &columns, const QStringList &valueTexts);
    static QString removePatientStatement(int autoId);
    static QString readColumnStatement(
        const QString &table, const QString &column, const QString &idColumn, int id);
    static QString writeColumnStatement(const QString &table, const QString &column, const QString &valueText,
        const QString &idColumn, int id);
    static QString recordsOfPatientStatement(const QString &patientId);
    static QString removeRecordStatement(int recordId);
    static QString moveRecordsStatement(const QString &oldPatientId, const QString &newPatientId);

signals:
    void patientsChanged();

private:
    // The SQL text of one column's value for a new row.
    QString newRowValueText(AbstractDatabaseRow *row, const QString &column);
    // INSERT of the row under a new id; the id, or -1.
    int insertRow(AbstractDatabaseRow *row, const char *failureLine);

    QString connectionName;
    QList<Patient *> patientList;
    std::unique_ptr<SqlDialect> sqlDialect;
};
