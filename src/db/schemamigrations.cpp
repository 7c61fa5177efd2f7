#include "db/schemamigrations.h"

#include "db/database.h"

#include <QDebug>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace
{

const QString versionTable = QStringLiteral("SchemaVersion");

struct Step {
    int toVersion;
    QStringList statements;
};

// The statements of each step, oldest first; every step after the first also
// records its version. Types and statements that every backend takes (TEXT,
// INTEGER, BIGINT, DOUBLE PRECISION); times are UTC ISO 8601 text.
QList<Step> steps()
{
    return {
        { 2,
            { QStringLiteral("CREATE TABLE SchemaVersion (Version INTEGER NOT NULL)"),
                QStringLiteral("INSERT INTO SchemaVersion (Version) VALUES (2)") } },
        // Every change of stored data, written in the change's own transaction;
        // the program only ever inserts here. PatientRef is the AutoID of the
        // patient a change concerns, so that a patient's history is one lookup.
        { 3,
            { QStringLiteral(
                  "CREATE TABLE History (HistoryID BIGINT NOT NULL PRIMARY KEY, ChangedAt TEXT NOT NULL, "
                  "Workstation TEXT, UserName TEXT, ChangeKind TEXT NOT NULL, TableName TEXT NOT NULL, "
                  "ChangedRowID BIGINT NOT NULL, ColumnName TEXT, OldValue TEXT, NewValue TEXT, "
                  "PatientRef BIGINT)"),
                QStringLiteral("CREATE INDEX HistoryPatientRef ON History (PatientRef)"),
                QStringLiteral("UPDATE SchemaVersion SET Version = 3") } },
        // The trash: one row per removal, holding the removed rows (RowsData)
        // and where their recordings went (FilesData), both as JSON.
        { 4,
            { QStringLiteral(
                  "CREATE TABLE Removals (RemovalID BIGINT NOT NULL PRIMARY KEY, RemovedAt TEXT NOT NULL, "
                  "Workstation TEXT, UserName TEXT, Kind TEXT NOT NULL, Description TEXT, "
                  "PatientRef BIGINT, PatientID TEXT, FolderName TEXT, TrashFolder TEXT, "
                  "SizeBytes BIGINT, RowsData TEXT, FilesData TEXT, RestoredAt TEXT)"),
                QStringLiteral("CREATE INDEX RemovalsRemovedAt ON Removals (RemovedAt)"),
                QStringLiteral("UPDATE SchemaVersion SET Version = 4") } },
    };
}

bool hasVersionTable(const QSqlDatabase &db)
{
    for (const QString &table : db.tables()) {
        if (table.compare(versionTable, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool runStep(Database *database, const Step &step, QString *reason)
{
    Database::Transaction write(database);
    for (const QString &statement : step.statements) {
        QSqlQuery query(database->database());
        if (!database->exec(query, statement)) {
            *reason = query.lastError().databaseText().isEmpty() ? query.lastError().text()
                                                                 : query.lastError().databaseText();
            qDebug() << "SCHEMA NOT MIGRATED" << step.toVersion << statement << *reason;
            return false;
        }
    }
    return write.commit(reason);
}

} // namespace

int SchemaMigrations::storedVersion(Database *database, QString *reason)
{
    const QSqlDatabase db = database->database();
    if (!db.isOpen()) {
        if (reason)
            *reason = db.lastError().text();
        return -1;
    }
    if (!hasVersionTable(db))
        return 1;
    QSqlQuery query(db);
    if (!database->exec(query, QStringLiteral("SELECT Version FROM SchemaVersion")) || !query.next()) {
        if (reason)
            *reason = query.lastError().isValid() ? query.lastError().text()
                                                  : tr("The database records no version of its layout");
        return -1;
    }
    return query.value(0).toInt();
}

bool SchemaMigrations::bringUpToDate(Database *database, QString *reason)
{
    QString why;
    int version = storedVersion(database, &why);
    if (version > CurrentVersion) {
        why = tr("The database has layout version %1; this program knows versions up to %2. "
                 "It was written by a newer version of the program and is left unchanged.")
                  .arg(version)
                  .arg(CurrentVersion);
        version = -1;
    }
    for (const Step &step : steps()) {
        if (version < 1)
            break;
        if (step.toVersion <= version)
            continue;
        if (!runStep(database, step, &why)) {
            version = -1;
            break;
        }
        version = step.toVersion;
    }
    if (version < 1 && reason)
        *reason = why;
    return version >= 1;
}
