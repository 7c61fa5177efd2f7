#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QList>
#include <QString>

class Database;
struct RowChange;

// The history of every change of stored data: who changed what, where and
// when, with the values before and after. Written by a change hook inside the
// change's own transaction, so a change that does not land leaves no entry;
// the program only ever inserts into it. On a shared server the server's
// own triggers write it instead (ServerHistory).
class ChangeHistory
{
    Q_DECLARE_TR_FUNCTIONS(ChangeHistory)
public:
    struct Entry {
        qint64 id = 0;
        // UTC.
        QDateTime changedAt;
        QString workstation;
        QString user;
        // "Insert", "Update" or "Delete".
        QString kind;
        QString table;
        qint64 rowId = 0;
        // Updates only.
        QString column;
        // Texts as stored; a whole row (insert, delete) is a JSON object.
        QString oldValue;
        QString newValue;
    };

    // From now on every change of the database is written to its history
    // (by the program unless the database writes it itself).
    static void attach(Database *database);

    // The entries of the patient (its row, its records, its removals), newest
    // first. False with the reason when they cannot be read.
    static bool entriesOfPatient(
        Database *database, int autoId, QList<Entry> *entries, QString *reason = nullptr);

    // How a value is kept: NULL for none, dates as ISO 8601, enumerations by
    // key, a row as a JSON object of its columns.
    static QString valueText(const QVariant &value);

    // Names where an inserted row came from (ChangeKind "Import", the source in
    // NewValue), inside the insert's write. A server writes its history
    // itself: there the source is named before the insert (importFrom) and
    // its triggers write the same row.
    static bool noteImport(Database *database, const QString &table, int rowId, const QString &source,
        QString *reason);
    static bool importFrom(Database *database, const QString &source, QString *reason);

private:
    static bool write(Database *database, const RowChange &change, QString *reason,
        const QString &kind = QString());
    static QVariant patientOf(Database *database, const RowChange &change);
};
