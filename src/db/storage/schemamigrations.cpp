#include "db/storage/schemamigrations.h"

#include "db/storage/database.h"
#include "db/storage/databasesupport.h"
#include "db/storage/patientidkeys.h"
#include "db/storage/serverhistory.h"
#include "db/storage/serverroles.h"
#include "db/storage/sqldialect.h"

#include <QDebug>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <functional>

using DatabaseSupport::reasonOf;

namespace
{

const QString versionTable = QStringLiteral("SchemaVersion");

struct Step {
    int toVersion;
    QStringList statements;
    // What no statement can do, run after them in the same transaction.
    std::function<bool(Database *, QString *)> fill = nullptr;
};

// The statements of each step, oldest first; every step after the first also
// records its version. Types and statements that every backend takes (TEXT,
// INTEGER, BIGINT, DOUBLE PRECISION); times are UTC ISO 8601 text. An INTEGER
// PRIMARY KEY is numbered from a sequence on a server (the dialect adapts it),
// where the program's new ids come from.
QList<Step> steps(Database *database)
{
    // Who opened which patient card, when the setting asks for it; read by
    // the administrator alone. A server also writes its History itself.
    QStringList seven { QStringLiteral("CREATE TABLE PatientViews (ViewID INTEGER PRIMARY KEY, "
                                       "ViewedAt TEXT NOT NULL, UserName TEXT, Workstation TEXT, "
                                       "Address TEXT, PatientRef BIGINT NOT NULL)"),
        QStringLiteral("CREATE INDEX PatientViewsPatientRef ON PatientViews (PatientRef, ViewedAt)") };
    if (database->dialect().writesHistoryItself())
        seven << ServerHistory::triggerStatements() << ServerHistory::patientViewStatements();
    seven << QStringLiteral("UPDATE SchemaVersion SET Version = 7");
    return {
        { 2,
            { QStringLiteral("CREATE TABLE SchemaVersion (Version INTEGER NOT NULL)"),
                QStringLiteral("INSERT INTO SchemaVersion (Version) VALUES (2)") } },
        // Every change of stored data, written in the change's own transaction;
        // the program only ever inserts here. PatientRef is the AutoID of the
        // patient a change concerns, so that a patient's history is one lookup.
        { 3,
            { QStringLiteral(
                  "CREATE TABLE History (HistoryID INTEGER PRIMARY KEY, ChangedAt TEXT NOT NULL, "
                  "Workstation TEXT, UserName TEXT, ChangeKind TEXT NOT NULL, TableName TEXT NOT NULL, "
                  "ChangedRowID BIGINT NOT NULL, ColumnName TEXT, OldValue TEXT, NewValue TEXT, "
                  "PatientRef BIGINT)"),
                QStringLiteral("CREATE INDEX HistoryPatientRef ON History (PatientRef)"),
                QStringLiteral("UPDATE SchemaVersion SET Version = 3") } },
        // The trash: one row per removal, holding the removed rows (RowsData)
        // and where their recordings went (FilesData), both as JSON.
        { 4,
            { QStringLiteral(
                  "CREATE TABLE Removals (RemovalID INTEGER PRIMARY KEY, RemovedAt TEXT NOT NULL, "
                  "Workstation TEXT, UserName TEXT, Kind TEXT NOT NULL, Description TEXT, "
                  "PatientRef BIGINT, PatientID TEXT, FolderName TEXT, TrashFolder TEXT, "
                  "SizeBytes BIGINT, RowsData TEXT, FilesData TEXT, RestoredAt TEXT)"),
                QStringLiteral("CREATE INDEX RemovalsRemovedAt ON Removals (RemovedAt)"),
                QStringLiteral("UPDATE SchemaVersion SET Version = 4") } },
        // A recording's conclusion, one row per record that has one. FileName
        // is the record's when it was written: a record id taken again by a
        // new recording (a file database reuses the highest) does not inherit
        // the conclusion of the one removed.
        { 5,
            { QStringLiteral("CREATE TABLE Conclusions (RecordID BIGINT NOT NULL PRIMARY KEY, "
                             "Conclusion TEXT, WrittenBy TEXT, WrittenAt TEXT, FileName TEXT)"),
                QStringLiteral("UPDATE SchemaVersion SET Version = 5") } },
        // One row per write on a server, written in the write's own
        // transaction: when the answer to its COMMIT is lost, the next
        // connection finds out from here whether it landed.
        { 6,
            { QStringLiteral(
                  "CREATE TABLE Operations (OperationID TEXT NOT NULL PRIMARY KEY, DoneAt TEXT NOT NULL)"),
                QStringLiteral("CREATE INDEX OperationsDoneAt ON Operations (DoneAt)"),
                QStringLiteral("UPDATE SchemaVersion SET Version = 6") } },
        { 7, seven },
        // Each patient's ID as the ID rule compares it, so that a new ID is
        // checked by one lookup; the fold is no SQL function, so the program
        // writes the keys of the rows there are.
        { 8,
            { QStringLiteral("CREATE TABLE PatientIdKeys (AutoID BIGINT NOT NULL PRIMARY KEY, IdKey TEXT NOT NULL)"),
                QStringLiteral("CREATE INDEX PatientIdKeysIdKey ON PatientIdKeys (IdKey)"),
                QStringLiteral("UPDATE SchemaVersion SET Version = 8") },
            &PatientIdKeys::fillMissing },
    };
}

bool hasVersionTable(Database *database)
{
    for (const QString &table : database->tableNames()) {
        if (table.compare(versionTable, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool execute(Database *database, const QString &statement, int toVersion, QString *reason)
{
    QSqlQuery query(database->database());
    if (database->exec(query, statement))
        return true;
    *reason = reasonOf(query.lastError());
    qDebug() << "SCHEMA NOT MIGRATED" << toVersion << statement << *reason;
    return false;
}

// Whether another workstation has taken the step meanwhile: read again once
// the step holds the layout lock. Without a lock nobody else migrates.
bool alreadyTaken(Database *database, const Step &step)
{
    if (database->dialect().migrationLockStatement().isEmpty())
        return false;
    if (step.toVersion == 1)
        return !database->tableNames().isEmpty();
    return SchemaMigrations::storedVersion(database) >= step.toVersion;
}

// Statements written for the embedded file are adapted to the backend;
// the first layout comes adapted already.
bool runStep(Database *database, const Step &step, QString *reason, bool adapt = true, bool always = false)
{
    Database::Transaction write(database);
    const QString lock = database->dialect().migrationLockStatement();
    if (!lock.isEmpty() && !execute(database, lock, step.toVersion, reason))
        return false;
    // What the step makes belongs to the administrator role, whichever of
    // its members takes it.
    const ServerRoles *roles = ServerRoles::of(database);
    if (roles && roles->rolesSetUp()
        && !execute(database,
            QStringLiteral("SET LOCAL ROLE ") + ServerRoles::serverName(ServerRoles::Role::Administrator),
            step.toVersion, reason))
        return false;
    if (always || !alreadyTaken(database, step)) {
        for (const QString &statement : step.statements) {
            const QString sql = adapt ? database->dialect().adaptStatement(statement) : statement;
            if (!execute(database, sql, step.toVersion, reason))
                return false;
        }
        if (step.fill && !step.fill(database, reason))
            return false;
    }
    return write.commit(reason);
}

} // namespace

bool SchemaMigrations::mayChangeLayout(Database *database, int version, QString *reason)
{
    if (ServerRoles::allows(database, ServerRoles::Action::ChangeLayout))
        return true;
    if (reason) {
        const ServerRoles *roles = ServerRoles::of(database);
        *reason = (version < 1 ? tr("This server's database is empty.")
                               : tr("This server's database has the layout of an older version of Kesta (%1; "
                                    "this one needs %2).")
                                     .arg(version)
                                     .arg(CurrentVersion))
            + QLatin1Char(' ')
            + tr("Only the administrator may change it: start Kesta once signed in as a member of %1, then "
                 "here again. Nothing was changed. (Signed in as %2, %3.)")
                  .arg(ServerRoles::serverName(ServerRoles::Role::Administrator), roles->account(),
                      ServerRoles::title(roles->role()));
    }
    return false;
}

void SchemaMigrations::attach(Database *database)
{
    // An empty server database gets the layout first; a file has it from the template.
    database->addOpenStep(Database::OpenStage::BeforeTablesRead, &SchemaMigrations::createLayoutIfEmpty);
    // Only a database whose tables can be read is brought forward: nothing is
    // written to a file that is not one of ours.
    database->addOpenStep(Database::OpenStage::AfterTablesRead, &SchemaMigrations::bringUpToDate);
}

bool SchemaMigrations::createLayoutIfEmpty(Database *database, QString *reason)
{
    // A file has its layout from the template; a database that holds tables
    // of any kind is left to the checks that follow.
    if (database->dialect().migrationLockStatement().isEmpty())
        return true;
    const QSqlDatabase db = database->database();
    if (!db.isOpen() || !database->tableNames().isEmpty())
        return true;
    if (!mayChangeLayout(database, 0, reason))
        return false;
    QFile schema(QStringLiteral(":/resources/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = schema.errorString();
        return false;
    }
    const QStringList layout
        = database->dialect().layoutStatements(QString::fromUtf8(schema.readAll()), Database::FirstId);
    QString why;
    const bool made = runStep(database, { 1, layout }, &why, false);
    if (!made && reason)
        *reason = why;
    return made;
}

int SchemaMigrations::storedVersion(Database *database, QString *reason)
{
    const QSqlDatabase db = database->database();
    if (!db.isOpen()) {
        if (reason)
            *reason = db.lastError().text();
        return -1;
    }
    if (!hasVersionTable(database)) {
        if (database->givenUp().isEmpty())
            return 1;
        if (reason)
            *reason = database->givenUp();
        return -1;
    }
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
    const int found = version;
    if (version >= 1 && version < CurrentVersion && !mayChangeLayout(database, version, &why))
        version = -1;
    for (const Step &step : steps(database)) {
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
    // New tables get each role's rights.
    const ServerRoles *roles = ServerRoles::of(database);
    if (version > found && found >= 1 && roles && roles->rolesSetUp()) {
        const QStringList grants = ServerRoles::privilegeStatements();
        if (!runStep(database, { version, grants }, &why, false, true))
            version = -1;
    }
    if (version < 1 && reason)
        *reason = why;
    if (version >= 6)
        database->keepOperations();
    PatientIdKeys::setKept(database, version >= 8);
    return version >= 1;
}
