#pragma once

#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <QString>
#include <QVector>
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

// The program's one connection to the patient database, and the one class that
// shapes, logs and runs SQL. Statements are built as text from the fixed
// shapes below and run once; every value reaches SQL through valueText.
// Patients are read in bulk, one statement for the whole list; a patient's
// records with one statement when they are first needed.
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
    QString filePath() const { return path; }

    // Whether the database can be used: the connection opens, both tables can
    // be read, and the patient list has been read (it is read now when the last
    // reading failed). Otherwise false, with the driver's reason, and the
    // connection closed so that the next check opens the file afresh. Changes
    // nothing on disk.
    bool isUsable(QString *reason = nullptr);

    // Reads the patient list afresh with one statement, a consistent snapshot,
    // and emits patientsChanged, also when the read fails. A failed read keeps
    // the previous list and is reported by false and loadError. The replaced
    // patients are deleted once views have taken the new list.
    bool reloadPatients();
    // The driver's reason why the last reloadPatients failed; empty after one
    // that succeeded.
    QString loadError() const { return lastLoadError; }
    QList<Patient *> patients() const { return patientList; }
    // Null for ids below 1.
    Patient *patientById(int autoId) const;
    // The first patient with exactly this PatientID.
    Patient *patientByPatientId(const QString &patientId) const;
    // Whether another patient of the list has the patient's PatientID. Records
    // find their patient by that text alone, so such records belong to both.
    bool patientIdShared(const Patient *patient) const;
    // Whether a patient of the list other than `except` (by object and by
    // AutoID) has this PatientID.
    bool patientIdInUse(const QString &patientId, const Patient *except) const;

    // Stores a new row with the patient's values; the object itself stays
    // unstored. Returns the new AutoID, or -1 (nothing reloaded).
    int insertPatient(Patient *patient);
    // Stores a new record of the patient and reloads its records. Returns the
    // new RecordID, -1 on failure (with the driver's reason), 0 without a
    // patient (nothing executed).
    int insertRecord(Patient *patient, const QDateTime &recordDate, const QString &fileName,
        const QString &recordType, const QString &comments, QString *reason = nullptr);
    // Removes the patient's records (files, then rows), then its row, then
    // reloads, also when a delete fails. Records whose PatientID another
    // patient shares stay, with their files (patientIdShared tells it before).
    // True when the patient's row was deleted.
    bool removePatient(Patient *patient);
    // A stored record, read with one statement; owned by the caller.
    Record *loadRecord(int recordId);

    // The row-level statements that Patient, Record and their base run.
    //
    // Reads every column of a stored row; false when it cannot be read.
    bool readRow(AbstractDatabaseRow *row);
    // The patient's records with one statement, owned by the caller.
    QList<Record *> readRecords(Patient *patient);
    // UPDATE of one column of a stored row; false with the driver's reason.
    bool writeColumn(AbstractDatabaseRow *row, const QString &column, QString *reason);
    // UPDATE of the patient's PatientID and, when carryRecords, of the PatientID
    // of the records that had oldPatientId; both or neither.
    bool writePatientId(Patient *patient, const QString &oldPatientId, bool carryRecords, QString *reason);
    // DELETE of a record's row.
    bool deleteRecord(int recordId);
    // Where every record's file lies, as stored: RecordID, PatientID, FileName.
    struct RecordFile {
        int recordId;
        QString patientId;
        QString fileName;
    };
    // False when they could not be read.
    bool readRecordFiles(QVector<RecordFile> *files);

    // Highest id in the table, 0 when it is empty, -1 when the query fails or
    // the id lies beyond the int range.
    int lastId(const QString &table, const QString &idColumn);
    // The id for a new row: the highest id plus one, FirstId for an empty table
    // or a failed query.
    int newId(const QString &table, const QString &idColumn);

    // Runs one statement on query (made on database()); true when it executed.
    // Every statement of the program goes through here.
    bool exec(QSqlQuery &query, const QString &statement) const;

    // The SQL text of a column's current value, the same for a new row and an
    // edit: numbers as they are, bool as true or false, dates by the dialect
    // (NULL when invalid), texts through textLiteral; the row's
    // toDatabaseText hook first.
    QString valueText(AbstractDatabaseRow *row, const QString &column) const;
    // A text between single quotes, each quote inside doubled. An empty text
    // is written as a single blank, ' ', since an Access text column may refuse
    // a zero-length text; reading turns the blank back into an empty text.
    static QString textLiteral(const QString &text);
    // The Access date literal, 'dd/MM/yyyy hh:mm:ss', or NULL for an invalid date.
    static QString sqlDateTime(const QVariant &value);

    // The statement shapes; a valueText is already SQL.
    static QString highestIdStatement(const QString &table, const QString &idColumn);
    static QString allRowsStatement(const QString &table);
    static QString rowStatement(const QString &table, const QString &idColumn, int id);
    static QString insertStatement(
        const QString &table, const QStringList &columns, const QStringList &valueTexts);
    static QString removePatientStatement(int autoId);
    static QString writeColumnStatement(const QString &table, const QString &column, const QString &valueText,
        const QString &idColumn, int id);
    static QString recordsOfPatientStatement(const QString &patientId);
    static QString recordFilesStatement();
    static QString removeRecordStatement(int recordId);
    static QString moveRecordsStatement(const QString &oldPatientId, const QString &newPatientId);

signals:
    void patientsChanged();
    // A write of a stored row was refused; the row holds the stored value again.
    void writeFailed(const QString &column, const QString &reason);

private:
    // INSERT of the row under a new id; the id, or -1.
    int insertRow(AbstractDatabaseRow *row, const char *failureLine, QString *reason = nullptr);
    // A statement that fails is written to the debug output with its reason.
    bool run(
        QSqlQuery &query, const QString &statement, const char *failureLine, QString *reason = nullptr) const;

    QString path;
    QString connectionName;
    QList<Patient *> patientList;
    bool patientsRead = false;
    QString lastLoadError;
    std::unique_ptr<SqlDialect> sqlDialect;
};
