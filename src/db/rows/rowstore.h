#pragma once

#include <QDateTime>
#include <QList>
#include <QPair>

class AbstractDatabaseRow;
class Patient;
class QObject;
class QString;
class QVariant;
class Record;

// What a stored row needs of its database: reading itself and its records,
// and writing a changed column. Database implements it; rows depend on this
// alone, so that the row classes and the database do not include each other.
class RowStore
{
public:
    virtual ~RowStore() = default;

    // Every column of the stored row; false when it cannot be read.
    virtual bool readRow(AbstractDatabaseRow *row) = 0;
    // The patient's records, owned by the caller.
    // With read, false when they could not be read (none are returned then),
    // and why in reason.
    virtual QList<Record *> readRecords(Patient *patient, bool *read = nullptr, QString *reason = nullptr) = 0;
    // The first and the last date of the records with this PatientID; invalid
    // dates for none.
    virtual QPair<QDateTime, QDateTime> visitsOf(const QString &patientId) = 0;
    // Stores the column's current value; `previous` is the value it replaces
    // (invalid when not known). False with the database's reason.
    virtual bool writeColumn(
        AbstractDatabaseRow *row, const QString &column, const QVariant &previous, QString *reason)
        = 0;
    // Stores the patient's changed PatientID (it was `previous`) with the
    // records filed under the old one.
    virtual bool writePatientId(Patient *patient, const QString &previous, QString *reason) = 0;
    // Deletes rows no longer shown, once views have taken what replaced them
    // (queued) and no caller waits for the database below.
    virtual void retire(const QList<QObject *> &rows) = 0;
};
