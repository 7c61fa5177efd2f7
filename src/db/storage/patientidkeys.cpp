#include "db/storage/patientidkeys.h"

#include "db/rows/patientidmatch.h"
#include "db/rows/rowchange.h"
#include "db/storage/database.h"
#include "db/storage/databasesupport.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariantList>

using namespace DatabaseSupport;

namespace
{

// Rows per INSERT while filling: one round trip per row would make a
// server's first start slow.
constexpr int fillBatch = 200;

bool isIdColumn(const QString &column)
{
    return column.compare(QLatin1String("PatientID"), Qt::CaseInsensitive) == 0;
}

// The PatientID of an inserted row's values, whichever case the backend names it in.
bool idOf(const QVariant &values, QString *patientId)
{
    const QVariantMap map = values.toMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (isIdColumn(it.key())) {
            *patientId = it.value().toString();
            return true;
        }
    }
    return false;
}

bool runBound(Database *database, const QString &statement, const QVariantList &values, QString *reason)
{
    QSqlQuery query(database->database());
    return database->run(query, statement, "PATIENT ID KEY NOT WRITTEN", reason, values);
}

bool keep(Database *database, const RowChange &change, QString *reason)
{
    if (change.table != patientsTable)
        return true;
    const QVariantList row { change.rowId };
    QString patientId;
    switch (change.kind) {
    case RowChange::Kind::Insert:
        if (!idOf(change.newValue, &patientId))
            return true;
        break;
    case RowChange::Kind::Delete:
        return runBound(database, QStringLiteral("DELETE FROM PatientIdKeys WHERE AutoID=?"), row, reason);
    default:
        if (!isIdColumn(change.column))
            return true;
        patientId = change.newValue.toString();
        break;
    }
    return runBound(database, QStringLiteral("DELETE FROM PatientIdKeys WHERE AutoID=?"), row, reason)
        && runBound(database, QStringLiteral("INSERT INTO PatientIdKeys (AutoID, IdKey) VALUES (?, ?)"),
            { change.rowId, PatientIdMatch::key(patientId) }, reason);
}

bool insertBatch(Database *database, const QVariantList &values, QString *reason)
{
    if (values.isEmpty())
        return true;
    QStringList marks;
    for (int i = 0; i < values.size() / 2; ++i)
        marks << QStringLiteral("(?, ?)");
    return runBound(database,
        QStringLiteral("INSERT INTO PatientIdKeys (AutoID, IdKey) VALUES ")
            + marks.join(QStringLiteral(", ")),
        values, reason);
}

// Set on the database once its layout has the table.
const char *const keptProperty = "kestaPatientIdKeysKept";

} // namespace

void PatientIdKeys::attach(Database *database)
{
    database->addChangeHook([database](const RowChange &change, QString *reason) {
        return !kept(database) || keep(database, change, reason);
    });
}

void PatientIdKeys::setKept(Database *database, bool kept)
{
    database->setProperty(keptProperty, kept);
}

bool PatientIdKeys::kept(Database *database)
{
    return database->property(keptProperty).toBool();
}

bool PatientIdKeys::fillMissing(Database *database, QString *reason)
{
    QString why;
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    QVariantList keys;
    bool ok = database->run(query,
        QStringLiteral("DELETE FROM PatientIdKeys WHERE AutoID NOT IN (SELECT AutoID FROM Patients)"),
        "PATIENT ID KEYS NOT WRITTEN", &why)
        && database->run(query,
            QStringLiteral("SELECT p.AutoID, p.PatientID FROM Patients p "
                           "LEFT JOIN PatientIdKeys k ON k.AutoID = p.AutoID WHERE k.AutoID IS NULL"),
            "PATIENT IDS NOT READ", &why);
    while (ok && query.next())
        keys << query.value(0).toInt() << PatientIdMatch::key(query.value(1).toString());
    query.finish();
    for (int at = 0; ok && at < keys.size(); at += 2 * fillBatch)
        ok = insertBatch(database, keys.mid(at, 2 * fillBatch), &why);
    if (!ok && reason)
        *reason = why;
    return ok;
}

bool PatientIdKeys::select(Database *database, const QString &patientId, QSqlQuery *query, QString *reason)
{
    query->setForwardOnly(true);
    if (!kept(database))
        return database->run(*query,
            QStringLiteral("SELECT AutoID, PatientID, LastName, FirstName, MiddleName from Patients"),
            "PATIENT IDS NOT READ", reason);
    if (!database->run(*query,
            QStringLiteral("SELECT (SELECT count(*) FROM Patients), (SELECT count(*) FROM PatientIdKeys)"),
            "PATIENT IDS NOT READ", reason)
        || !query->next())
        return false;
    const bool whole = query->value(0).toLongLong() == query->value(1).toLongLong();
    query->finish();
    if (!whole && !fillMissing(database, reason))
        return false;
    return database->run(*query,
        QStringLiteral("SELECT p.AutoID, p.PatientID, p.LastName, p.FirstName, p.MiddleName "
                       "FROM PatientIdKeys k JOIN Patients p ON p.AutoID = k.AutoID WHERE k.IdKey = ?"),
        "PATIENT IDS NOT READ", reason, { PatientIdMatch::key(patientId) });
}
