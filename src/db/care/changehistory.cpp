#include "db/care/changehistory.h"

#include "db/storage/database.h"
#include "db/storage/sqldialect.h"
#include "db/rows/rowchange.h"
#include "toolkit/util/workstation.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>

namespace
{

const QString historyTable = QStringLiteral("History");

QString kindText(RowChange::Kind kind)
{
    switch (kind) {
    case RowChange::Kind::Insert:
        return QStringLiteral("Insert");
    case RowChange::Kind::Delete:
        return QStringLiteral("Delete");
    case RowChange::Kind::Update:
        break;
    }
    return QStringLiteral("Update");
}

QVariant nullText()
{
    return QVariant(QVariant::String);
}

// The first value of a bound query, or nothing.
QVariant firstValue(Database *database, const QString &statement, const QVariantList &values)
{
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (database->execBound(query, statement, values) && query.next())
        return query.value(0);
    return QVariant();
}

} // namespace

void ChangeHistory::attach(Database *database)
{
    // A server's own triggers write it, with its clock and the signed-in login.
    if (database->dialect().writesHistoryItself())
        return;
    database->addChangeHook(
        [database](const RowChange &change, QString *reason) { return write(database, change, reason); });
}

QString ChangeHistory::valueText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.userType()) {
    case QMetaType::QVariantMap: {
        // The trash's own rows carry their removed rows and moves, which the
        // history holds already as changes of their own.
        QJsonObject object;
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (it.key() == QLatin1String("RowsData") || it.key() == QLatin1String("FilesData"))
                continue;
            const QString text = valueText(it.value());
            object.insert(it.key(), text.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(text));
        }
        return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
    }
    case QMetaType::QDate:
        return value.toDate().isValid() ? value.toDate().toString(Qt::ISODate) : QString();
    case QMetaType::QDateTime:
        return value.toDateTime().isValid() ? value.toDateTime().toString(Qt::ISODate) : QString();
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default:
        // Enumerations give their key.
        return value.toString();
    }
}

QVariant ChangeHistory::patientOf(Database *database, const RowChange &change)
{
    const QVariantMap row
        = change.kind == RowChange::Kind::Insert ? change.newValue.toMap() : change.oldValue.toMap();
    if (change.table == QLatin1String("Patients"))
        return change.rowId;
    if (change.table == QLatin1String("Removals")) {
        if (change.kind != RowChange::Kind::Update)
            return row.value(QStringLiteral("PatientRef"));
        return firstValue(
            database, QStringLiteral("SELECT PatientRef FROM Removals WHERE RemovalID=?"), { change.rowId });
    }
    const bool conclusion = change.table == QLatin1String("Conclusions");
    if (change.table != QLatin1String("Records") && !conclusion)
        return QVariant();
    QVariant patientId = row.value(QStringLiteral("PatientID"));
    if (change.kind == RowChange::Kind::Update || conclusion) {
        patientId = change.column == QLatin1String("PatientID") && !conclusion
            ? change.newValue
            : firstValue(
                database, QStringLiteral("SELECT PatientID FROM Records WHERE RecordID=?"), { change.rowId });
    }
    if (patientId.isNull())
        return QVariant();
    return firstValue(database,
        QStringLiteral("SELECT AutoID FROM Patients WHERE PatientID=? ORDER BY AutoID"), { patientId });
}

bool ChangeHistory::noteImport(
    Database *database, const QString &table, int rowId, const QString &source, QString *reason)
{
    // A server's triggers write its history, and no workstation role may add
    // to it (importFrom).
    if (database->dialect().writesHistoryItself())
        return true;
    RowChange change;
    change.kind = RowChange::Kind::Insert;
    change.table = table;
    change.rowId = rowId;
    change.newValue = source;
    return write(database, change, reason, QStringLiteral("Import"));
}

bool ChangeHistory::importFrom(Database *database, const QString &source, QString *reason)
{
    if (!database->dialect().writesHistoryItself())
        return true;
    // Until the write ends; the triggers note it beside each patient inserted.
    QSqlQuery query(database->database());
    if (database->execBound(query, QStringLiteral("SELECT set_config('kesta.origin', ?, true)"), { source }))
        return true;
    *reason = query.lastError().text();
    return false;
}

bool ChangeHistory::write(Database *database, const RowChange &change, QString *reason, const QString &kind)
{
    // Inside the change's write, which already holds the lock.
    const int id = database->newId(historyTable, QStringLiteral("HistoryID"));
    if (id <= 0) {
        *reason = tr("The history cannot be written");
        return false;
    }
    const QString column = change.column;
    const QString oldText = valueText(change.oldValue);
    const QString newText = valueText(change.newValue);
    const QVariant patient = patientOf(database, change);
    QSqlQuery query(database->database());
    const bool written = database->execBound(query,
        QStringLiteral(
            "INSERT INTO History (HistoryID, ChangedAt, Workstation, UserName, ChangeKind, TableName, "
            "ChangedRowID, ColumnName, OldValue, NewValue, PatientRef) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        { id, Workstation::nowText(), Workstation::hostName(), Workstation::userName(),
            kind.isEmpty() ? kindText(change.kind) : kind,
            change.table, change.rowId, column.isEmpty() ? nullText() : column,
            oldText.isNull() ? nullText() : oldText, newText.isNull() ? nullText() : newText,
            patient.isNull() || !patient.isValid() ? QVariant(QVariant::LongLong)
                                                   : QVariant(patient.toLongLong()) });
    if (!written) {
        const QSqlError error = query.lastError();
        *reason = tr("The history cannot be written") + QStringLiteral(": ")
            + (error.databaseText().isEmpty() ? error.text() : error.databaseText());
    }
    return written;
}

bool ChangeHistory::entriesOfPatient(Database *database, int autoId, QList<Entry> *entries, QString *reason)
{
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->execBound(query,
            QStringLiteral(
                "SELECT HistoryID, ChangedAt, Workstation, UserName, ChangeKind, TableName, ChangedRowID, "
                "ColumnName, OldValue, NewValue FROM History WHERE PatientRef=? ORDER BY HistoryID DESC"),
            { autoId })) {
        if (reason)
            *reason = query.lastError().text();
        return false;
    }
    while (query.next()) {
        Entry entry;
        entry.id = query.value(0).toLongLong();
        entry.changedAt = QDateTime::fromString(query.value(1).toString(), Qt::ISODateWithMs);
        entry.workstation = query.value(2).toString();
        entry.user = query.value(3).toString();
        entry.kind = query.value(4).toString();
        entry.table = query.value(5).toString();
        entry.rowId = query.value(6).toLongLong();
        entry.column = query.value(7).toString();
        entry.oldValue = query.value(8).toString();
        entry.newValue = query.value(9).toString();
        entries->append(entry);
    }
    return true;
}
