#pragma once

#include "db/storage/databaselocation.h"
#include "db/storage/patientlist.h"
#include "db/rows/rowchange.h"
#include "db/rows/rowstore.h"

#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

class AbstractDatabaseRow;
class Patient;
class QDateTime;
class QSqlDatabase;
class QSqlQuery;
class Record;
class RowCursor;
class SqlDialect;

// Every statement the program runs is logged here, at debug level, before it
// runs. Off unless enabled ("kesta.db.sql.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcSql)

// The program's connection to one patient database, and the one class that
// shapes, logs and runs SQL. Statements are built as text from fixed shapes
// and run once; every value reaches SQL through valueText. Patients are read
// in bulk, one statement for the whole list; a patient's records with one
// statement when they are first needed.
//
// Every change of stored data goes through one entry (applyChange), inside a
// transaction: a change of several statements lands whole or not at all, and
// whoever follows changes (addChangeHook) writes in the same transaction.
class Database : public QObject, public RowStore
{
    Q_OBJECT
public:
    static constexpr int FirstId = 100;

    ~Database() override;

    // The connection, opened on the spot if it is not open (the file may have
    // been created since the constructor ran).
    QSqlDatabase database() const;
    // The connection as it is, open or not.
    QSqlDatabase connectionAsIs() const;
    const SqlDialect &dialect() const;
    const DatabaseLocation &location() const { return where; }
    // The password for this session, kept in memory only; the connection opens
    // with it at the next statement.
    void setPassword(const QString &password);
    QString filePath() const { return where.filePath; }

    // Whether the database can be used: the connection opens, the open steps
    // pass (the schema is brought to this program's version; a newer one is
    // refused and left as it is), both tables can be read, and the patient
    // list has been read (it is read now when the last reading failed).
    // Otherwise false, with the reason, and the connection closed so that the
    // next check opens it afresh.
    bool isUsable(QString *reason = nullptr);

    // What isUsable runs at every check, in the order added: before both
    // tables are read (an empty server database gets its layout), or once
    // they could be read (only a database of ours is written to). False, with
    // the reason, makes the database unusable.
    enum class OpenStage { BeforeTablesRead, AfterTablesRead };
    using OpenStep = std::function<bool(Database *database, QString *reason)>;
    void addOpenStep(OpenStage stage, OpenStep step);

    // Where other workstations write, an edit of a shown value holds only
    // while that value is still stored. `condition` gives the statement's
    // clause that it is; when that held for no row, `readsAsShown` (called
    // inside the write) tells whether the stored row reads as shown all the
    // same, or gives the refusal. Without a check such edits are written as
    // they are.
    struct ShownValueCheck {
        std::function<QString(AbstractDatabaseRow *row, const QString &column, const QVariant &shown)> condition;
        std::function<bool(AbstractDatabaseRow *row, const QString &column, const QVariant &shown, QString *refusal)>
            readsAsShown;
    };
    void setShownValueCheck(ShownValueCheck check);
    // Writes a patient's changed PatientID with what it carries along (the
    // patient store attaches it); without one such a change is refused.
    using PatientIdWriter = std::function<bool(Patient *patient, const QString &previous, QString *reason)>;
    void setPatientIdWriter(PatientIdWriter writer);
    // An unstored row of the same table, to read into; null for another kind.
    static std::unique_ptr<AbstractDatabaseRow> blankLike(AbstractDatabaseRow *row);

    // Reads the patient list afresh with one statement, a consistent snapshot,
    // and emits patientsChanged, also when the read fails. A failed read keeps
    // the previous list and is reported by false and loadError. The replaced
    // patients are deleted once views have taken the new list.
    bool reloadPatients();
    // The driver's reason why the last reloadPatients failed; empty after one
    // that succeeded.
    QString loadError() const { return lastLoadError; }
    QList<Patient *> patients() const { return list.all(); }
    // Null for ids below 1.
    Patient *patientById(int autoId) const { return list.byId(autoId); }
    // The first patient with exactly this PatientID.
    Patient *patientByPatientId(const QString &patientId) const { return list.byPatientId(patientId); }
    // Whether another patient of the list has the patient's PatientID. Records
    // find their patient by that text alone, so such records belong to both.
    bool patientIdShared(const Patient *patient) const;
    // Lets go of a patient whose row is gone, announced by patientLeft; it is
    // deleted once views have taken the list without it.
    void forgetPatient(Patient *patient);
    // How many times the list has been read whole. A view that follows
    // patientJoined and patientLeft needs the whole list again only when this
    // has moved.
    int wholeReads() const { return wholeReadCount; }

    // A write of several statements: the changes made while the outermost
    // Transaction lives share one database transaction, committed by it and
    // undone, in the database and in the row objects, when it ends without a
    // commit or when any change inside was refused. A write made outside any
    // Transaction is a transaction of its own.
    class Transaction
    {
    public:
        // One that takes new ids locks what they are read from at once.
        explicit Transaction(Database *database, bool takesNewIds = false);
        ~Transaction();
        Transaction(const Transaction &) = delete;
        Transaction &operator=(const Transaction &) = delete;
        // False, with the reason, when the write as a whole did not land (an
        // inner Transaction only reports whether nothing has failed so far).
        bool commit(QString *reason = nullptr);
        // Whether the write has begun and nothing in it has failed so far:
        // what cannot be undone with the database (files) waits for this.
        bool isOpen() const;
        // After a refused commit: the answer to it was lost and a new
        // connection could not tell whether it landed. What was done on disk
        // is then left for the next start to make agree with the database.
        bool outcomeUnknown() const;
        // Then the id the write noted, for outcomeOf once the server answers.
        QString unsettledOperation() const;

    private:
        QPointer<Database> database;
        bool outermost = false;
        bool done = false;
    };

    // Follows every change inside its transaction, after its statement ran;
    // false (with a reason) refuses the change and undoes the whole write.
    using ChangeHook = std::function<bool(const RowChange &change, QString *reason)>;
    void addChangeHook(ChangeHook hook);

    // Stores a new row with the patient's values under a new id, taken inside
    // the insert's transaction; the object itself stays unstored. Returns the
    // new AutoID, or -1 (nothing reloaded). The values are stored as they are:
    // what comes from input goes through PatientStore, which checks the ID.
    int insertPatient(Patient *patient, QString *reason = nullptr);
    // A new row from the row's values under a new id taken inside the write;
    // the id, or -1. Nothing is read again.
    int insertRow(AbstractDatabaseRow *row, QString *reason = nullptr);
    // Shows the stored patient with this AutoID in the list, just stored.
    void showNewPatient(int autoId);
    // Stores a new record of the patient and reloads its records. Returns the
    // new RecordID, -1 on failure (with the driver's reason), 0 without a
    // patient (nothing executed).
    int insertRecord(Patient *patient, const QDateTime &recordDate, const QString &fileName,
        const QString &recordType, const QString &comments, QString *reason = nullptr);
    // A stored record, read with one statement; owned by the caller.
    Record *loadRecord(int recordId);
    // Reads the stored patient with this AutoID into the list, or null when
    // there is no such row; announced by patientJoined alone.
    Patient *readPatient(int autoId);
    // Shows the stored values of the row again, each changed column announced
    // and nothing written (after another workstation changed it). With gone,
    // tells whether the row is no longer stored.
    // False, with the reason, when the row could not be read.
    bool refreshRow(AbstractDatabaseRow *row, bool *gone = nullptr, QString *reason = nullptr);
    // Shows the values of `stored` (the same row, read afresh) in the row.
    void showStoredValues(AbstractDatabaseRow *row, AbstractDatabaseRow *stored);

    // RowStore: what the rows ask of their database.
    bool readRow(AbstractDatabaseRow *row) override;
    QList<Record *> readRecords(Patient *patient, bool *read = nullptr, QString *reason = nullptr) override;
    // Read for every patient at once when first asked, again once records changed.
    QPair<QDateTime, QDateTime> visitsOf(const QString &patientId) override;
    // The UPDATE of one column of a stored row. A changed PatientID takes the
    // patient's records along unless another patient shares the old one, and
    // is refused when another patient has the new one.
    // Refusals are announced by writeFailed.
    bool writeColumn(
        AbstractDatabaseRow *row, const QString &column, const QVariant &previous, QString *reason) override;
    bool writePatientId(Patient *patient, const QString &previous, QString *reason) override;
    void retire(const QList<QObject *> &rows) override;
    // The same UPDATE, for a caller that tells the refusal itself: where other
    // workstations write, it holds only while `previous` is still stored.
    bool storeColumn(AbstractDatabaseRow *row, const QString &column, const QVariant &previous, QString *reason);

    // The id for a new row: from the backend's sequence, or the highest id plus
    // one, FirstId for an empty table or a failed query. Call it inside the
    // write that inserts the row.
    int newId(const QString &table, const QString &idColumn);

    // Runs one statement on query (made on database()); true when it executed.
    // Every statement of the program goes through here or execBound.
    bool exec(QSqlQuery &query, const QString &statement) const;
    // The same for a statement whose values are bound, in order, to its "?".
    bool execBound(QSqlQuery &query, const QString &statement, const QVariantList &values) const;

    // Writes of rows that no row object stands for (rows put back from the
    // trash, the trash's own rows), through the same write path and hooks as
    // every other change. Values are bound; column names must be plain
    // identifiers. False with the reason; the write as a whole is then undone.
    bool insertValues(
        const QString &table, const QString &idColumn, const QVariantMap &values, QString *reason = nullptr);
    bool deleteValues(const QString &table, const QString &idColumn, int id, const QVariantMap &oldValues,
        QString *reason = nullptr);
    bool updateValue(const QString &table, const QString &idColumn, int id, const QString &column,
        const QVariant &oldValue, const QVariant &newValue, QString *reason = nullptr);
    // Closes the connection, so that the file can be replaced; the next
    // statement opens it again.
    void close();

    // The SQL text of a column's current value, the same for a new row and an
    // edit: numbers as they are, bool as true or false, dates by the dialect
    // (NULL when invalid), texts through SqlStatements::textLiteral; the row's
    // toDatabaseText hook first.
    QString valueText(AbstractDatabaseRow *row, const QString &column) const;

    // How to show a row object as stored again should its write be undone.
    struct Undo {
        QPointer<AbstractDatabaseRow> row;
        QString column;
        QVariant previous;
    };

    // The one entry of every change: runs the statement (which makes the
    // changes) inside the current write or one of its own, then the change
    // hooks. False, with the reason, when refused; the write is then undone
    // as a whole.
    // With unmatched, a statement whose condition held for no row is no
    // refusal: nothing is done, *unmatched is set and false returned.
    bool applyChange(const QList<RowChange> &changes, const QString &statement, const char *failureLine,
        QString *reason, const Undo &undo = Undo(), bool *unmatched = nullptr,
        const QVariantList &bound = QVariantList());
    // Runs one call on the connection (a statement, the open, a commit). A
    // server's call that does not answer at once runs on a thread of its own
    // while this thread's events go on (user input held back, serverWaiting
    // told), and is given up at the location's timeout by cutting the
    // connection, which the next action opens again. A call made while
    // another waits is refused at once. False when the call failed or was
    // refused; givenUp() then tells why when that was the cause.
    bool callServer(const std::function<bool()> &call) const;
    // Why the last call was given up or refused without an answer; empty
    // when it had one.
    QString givenUp() const { return givenUpReason; }
    // From now on every write on a server notes an operation id of its own in
    // the table Operations, inside its transaction, so that a write whose
    // COMMIT was answered by no one is known to have landed or not. Notes
    // older than a week are dropped.
    void keepOperations();
    // After the connection was lost at a COMMIT: whether the write with this
    // operation id landed. Once asked it can no longer land later.
    enum class Outcome { Committed, NotCommitted, Unknown };
    Outcome outcomeOf(const QString &operation);
    // The operation id of the last write when whether it landed is not known.
    QString unsettledOperation() const { return lastOutcomeUnknown ? operationId : QString(); }
    // The connection's tables, asked within the deadline; empty when it failed.
    QStringList tableNames() const;
    // Whether a call waits for the server now.
    bool isWaiting() const { return waiting; }
    // A statement that fails is written to the debug output with its reason.
    bool run(QSqlQuery &query, const QString &statement, const char *failureLine, QString *reason = nullptr,
        const QVariantList &bound = QVariantList()) const;

signals:
    // The list changed; read whole when wholeReads has moved.
    void patientsChanged();
    // One patient joined the list, or is leaving it, without the list being
    // read whole; patientsChanged follows where the change came from a write
    // or another workstation.
    void patientJoined(Patient *patient);
    void patientLeft(Patient *patient);
    // A write of a stored row was refused; the row holds the stored value again.
    void writeFailed(const QString &column, const QString &reason);
    // A write has committed: its changes, in order.
    void changesCommitted(const QList<RowChange> &changes);
    // A call to the server is taking long (true) or has ended (false).
    void serverWaiting(bool waiting) const;

protected:
    // Opens a connection of its own, so that several databases can be open in
    // one process. A missing file leaves it closed until the file exists.
    // Made as a PatientDatabase, which attaches what follows the database.
    explicit Database(const DatabaseLocation &location, QObject *parent = nullptr);
    Database(
        const DatabaseLocation &location, std::unique_ptr<SqlDialect> dialect, QObject *parent = nullptr);
    // The platform's file backend at this path.
    explicit Database(const QString &filePath, QObject *parent = nullptr);
    Database(const QString &filePath, std::unique_ptr<SqlDialect> dialect, QObject *parent = nullptr);

private:
    // Highest id in the table, 0 when it is empty, -1 when the query fails or
    // the id lies beyond the int range.
    int lastId(const QString &table, const QString &idColumn);
    // The UPDATE of a column that other workstations may have changed since
    // this one showed it (the ShownValueCheck).
    bool writeShownColumn(
        AbstractDatabaseRow *row, const RowChange &change, const QString &statement, QString *reason);
    bool beginWrite(bool takesNewIds);
    bool commitWrite(QString *reason);
    void rollbackWrite();
    // A new row from the row's values under a new id; the id, or -1.
    int insertRow(AbstractDatabaseRow *row, const char *failureLine, QString *reason);
    static QVariantMap valuesOf(AbstractDatabaseRow *row);
    void takeWhole(QSqlQuery &query) const;
    // Runs a reading statement, through the backend's own library where it has
    // one, else on query; null when it failed (written to the debug output).
    std::unique_ptr<RowCursor> openRows(
        QSqlQuery &query, const QString &statement, const char *failureLine, QString *reason = nullptr);

    DatabaseLocation where;
    QString connectionName;
    PatientList list;
    int wholeReadCount = 0;
    QString lastLoadError;
    std::unique_ptr<SqlDialect> sqlDialect;

    // The write in progress: how many Transactions are open, whether a change
    // inside was refused (and why), what it changed, and how to put the row
    // objects back should it be undone.
    int writeDepth = 0;
    bool writeOpen = false;
    // The write's own statements (false: the driver's transaction).
    bool writeByStatements = false;
    bool writeBroken = false;
    QString writeReason;
    QList<RowChange> pendingChanges;
    QList<Undo> undoList;
    QList<ChangeHook> changeHooks;
    QList<QPair<OpenStage, OpenStep>> openSteps;
    ShownValueCheck shownValueCheck;
    PatientIdWriter patientIdWriter;
    bool operationsKept = false;
    bool lastOutcomeUnknown = false;
    QString operationId;
    mutable bool waiting = false;
    // Rows retired while a call waited: a caller below the wait may hold them.
    mutable QList<QPointer<QObject>> retiredWhileWaiting;
    void retireWhenIdle(const QList<QPointer<QObject>> &rows) const;
    mutable QString givenUpReason;
};
