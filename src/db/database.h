#pragma once

#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include <memory>

class QDateTime;
class QSqlDatabase;
class QSqlQuery;
class QVariant;
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
    static QString insertStatement(const QString &table, const QStringList &columns, const QStringList &valueTexts);
    static QString removePatientStatement(int autoId);
    static QString readColumnStatement(const QString &table, const QString &column, const QString &idColumn, int id);
    static QString writeColumnStatement(const QString &table, const QString &column, const QString &valueText,
                                        const QString &idColumn, int id);
    static QString recordsOfPatientStatement(const QString &patientId);
    static QString removeRecordStatement(int recordId);

signals:
    void patientsChanged();

private:
    QString connectionName;
    std::unique_ptr<SqlDialect> sqlDialect;
};
