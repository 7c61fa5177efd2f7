#include "db/rows/conclusions.h"

#include "db/rows/record.h"
#include "db/rows/rowchange.h"
#include "db/storage/database.h"
#include "db/storage/liveupdates.h"
#include "toolkit/util/workstation.h"

#include <QSqlError>
#include <QSqlQuery>

namespace
{

const QString table = QStringLiteral("Conclusions");
const QString idColumn = QStringLiteral("RecordID");
const QString columns = QStringLiteral("RecordID, Conclusion, WrittenBy, WrittenAt");

Conclusions::Conclusion fromQuery(const QSqlQuery &query)
{
    Conclusions::Conclusion conclusion;
    conclusion.text = query.value(1).toString();
    conclusion.writtenBy = query.value(2).toString();
    conclusion.writtenAt = QDateTime::fromString(query.value(3).toString(), Qt::ISODateWithMs);
    conclusion.writtenAt.setTimeSpec(Qt::UTC);
    return conclusion;
}

} // namespace

Conclusions *Conclusions::of(Database *database)
{
    if (auto *existing = database->findChild<Conclusions *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new Conclusions(database);
}

Conclusions::Conclusions(Database *database)
    : QObject(database)
    , database(database)
{
    database->addChangeHook(
        [this](const RowChange &change, QString *reason) { return dropStale(change, reason); });
    // This workstation's writes once they landed; an undone write changed nothing.
    connect(database, &Database::changesCommitted, this, [this](const QList<RowChange> &changes) {
        for (const RowChange &change : changes) {
            if (change.table == table)
                readOne(change.rowId);
        }
    });
    // The list read anew may come from another file (a restored backup): so
    // may the conclusions, read again when next asked for.
    connect(database, &Database::patientsChanged, this, [this] {
        read = false;
        emit changed(-1);
    });
    if (auto *live = database->findChild<LiveUpdates *>()) {
        connect(live, &LiveUpdates::announced, this, [this](const QString &changed, int rowId) {
            if (changed == table)
                readOne(rowId);
            else if (changed == QLatin1String("*"))
                reload();
        });
    }
}

Conclusions::Conclusion Conclusions::conclusionOf(int recordId)
{
    if (!read)
        read = readAll();
    return known.value(recordId);
}

void Conclusions::reload()
{
    read = readAll();
    emit changed(-1);
}

bool Conclusions::readAll()
{
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->exec(query, QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + table))
        return false;
    known.clear();
    while (query.next())
        known.insert(query.value(0).toInt(), fromQuery(query));
    return true;
}

void Conclusions::readOne(int recordId)
{
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->execBound(query,
            QStringLiteral("SELECT ") + columns + QStringLiteral(" FROM ") + table
                + QStringLiteral(" WHERE RecordID=?"),
            { recordId }))
        return;
    if (query.next())
        known.insert(recordId, fromQuery(query));
    else
        known.remove(recordId);
    emit changed(recordId);
}

bool Conclusions::write(Record *record, const QString &text, QString *reason)
{
    const int recordId = record ? record->getId() : -1;
    if (recordId < 1) {
        if (reason)
            *reason = tr("The recording is not stored");
        return false;
    }
    // What is stored now, read inside the write: another workstation may have
    // written since this one showed it.
    Database::Transaction write(database);
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->execBound(query,
            QStringLiteral("SELECT ") + columns + QStringLiteral(", FileName FROM ") + table
                + QStringLiteral(" WHERE RecordID=?"),
            { recordId })) {
        if (reason)
            *reason = query.lastError().text();
        return false;
    }
    const bool stored = query.next();
    const Conclusion before = stored ? fromQuery(query) : Conclusion();
    const QString fileName = stored ? query.value(4).toString() : QString();
    query.finish();
    const QString by = Workstation::userName();
    const QString at = Workstation::nowText();
    bool ok = true;
    if (text.trimmed().isEmpty()) {
        if (stored) {
            ok = database->deleteValues(table, idColumn, recordId,
                { { idColumn, recordId }, { QStringLiteral("Conclusion"), before.text },
                    { QStringLiteral("WrittenBy"), before.writtenBy },
                    { QStringLiteral("WrittenAt"), before.writtenAt.toString(Qt::ISODateWithMs) },
                    { QStringLiteral("FileName"), fileName } },
                reason);
        }
    } else if (!stored) {
        ok = database->insertValues(table, idColumn,
            { { idColumn, recordId }, { QStringLiteral("Conclusion"), text },
                { QStringLiteral("WrittenBy"), by }, { QStringLiteral("WrittenAt"), at },
                { QStringLiteral("FileName"), record->getFileName() } },
            reason);
    } else if (text != before.text) {
        ok = database->updateValue(
                 table, idColumn, recordId, QStringLiteral("Conclusion"), before.text, text, reason)
            && database->updateValue(
                table, idColumn, recordId, QStringLiteral("WrittenBy"), before.writtenBy, by, reason)
            && database->updateValue(table, idColumn, recordId, QStringLiteral("WrittenAt"),
                before.writtenAt.toString(Qt::ISODateWithMs), at, reason);
    }
    return write.commit(reason) && ok;
}

bool Conclusions::dropStale(const RowChange &change, QString *reason)
{
    if (change.kind != RowChange::Kind::Insert || change.table != QLatin1String("Records"))
        return true;
    QSqlQuery query(database->database());
    query.setForwardOnly(true);
    if (!database->execBound(query,
            QStringLiteral("SELECT ") + columns + QStringLiteral(", FileName FROM ") + table
                + QStringLiteral(" WHERE RecordID=?"),
            { change.rowId })) {
        *reason = query.lastError().text();
        return false;
    }
    // None, or the record's own (put back from the trash).
    const QString fileName = change.newValue.toMap().value(QStringLiteral("FileName")).toString();
    if (!query.next() || query.value(4).toString() == fileName)
        return true;
    const Conclusion stale = fromQuery(query);
    const QVariantMap old { { idColumn, change.rowId }, { QStringLiteral("Conclusion"), stale.text },
        { QStringLiteral("WrittenBy"), stale.writtenBy },
        { QStringLiteral("WrittenAt"), stale.writtenAt.toString(Qt::ISODateWithMs) },
        { QStringLiteral("FileName"), query.value(4) } };
    query.finish();
    return database->deleteValues(table, idColumn, change.rowId, old, reason);
}
